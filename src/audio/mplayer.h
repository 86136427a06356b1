#pragma once
// Plays one media file, sound or video, with its pictures in an area of an owner
// window: play, pause, stop, seeking, rate, volume and balance. Times are in
// seconds, volume in hundredths of a decibel (-10000..0), balance -10000 (left)
// to 10000 (right).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/media/filter_graph.h"

namespace quorvel {

class MPlayer {
  public:
    // Stops the file and detaches its pictures from the owner window.
    void DS_Remove();
    // Closes any previous file and opens this one (a Windows-style path) without
    // starting it; a file that cannot be played leaves none open.
    void DS_OpenFile(const std::string& fileName, std::int16_t top, std::int16_t left, std::int16_t width,
                     std::int16_t height, std::int64_t owner);
    // Starts, or goes on; a file that has played to its end starts again.
    void DS_Play();
    void DS_Pause();
    // Stops and rewinds.
    void DS_Stop();
    void DS_Seek(double delta);
    // Waits at most the time-out; true while the file has not played to its end,
    // false once it has or when none is open.
    bool DS_StillPlaying(std::int32_t timeoutMs);
    double DS_GetRate();
    // A rate of 0 or below becomes 0.1, in `rate` too.
    void DS_SetRate(double& rate);
    double DS_GetDuration();
    double DS_GetPosition();
    // Clamped to 0..duration, in `position` too.
    void DS_SetPosition(double& position);
    std::int32_t DS_GetVolume();
    void DS_SetVolume(std::int32_t& volume);
    std::int32_t DS_GetBalance();
    void DS_SetBalance(std::int32_t& balance);

  private:
    std::unique_ptr<media::FilterGraph> graph_;
};

}  // namespace quorvel
