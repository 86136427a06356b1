#pragma once
// Plays one media file, sound or video, with its pictures in an area of an owner
// window: play, pause, stop, seeking, rate, volume and balance. Times are in
// seconds, volume in hundredths of a decibel (-10000..0), balance -10000 (left)
// to 10000 (right).

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
    void DS_OpenFile(const std::string& fileName, int top, int left, int width, int height, int owner);
    // Starts, or goes on; a file that has played to its end starts again.
    void DS_Play();
    void DS_Pause();
    // Stops and rewinds.
    void DS_Stop();
    void DS_Seek(double delta);
    // Waits at most the time-out; true while the file has not played to its end,
    // false once it has or when none is open.
    bool DS_StillPlaying(int timeoutMs);
    double DS_GetRate();
    // A rate of 0 or below becomes 0.1, in `rate` too.
    void DS_SetRate(double& rate);
    double DS_GetDuration();
    double DS_GetPosition();
    // Clamped to 0..duration, in `position` too.
    void DS_SetPosition(double& position);
    int DS_GetVolume();
    void DS_SetVolume(int& volume);
    int DS_GetBalance();
    void DS_SetBalance(int& balance);

  private:
    std::unique_ptr<media::FilterGraph> graph_;
};

}  // namespace quorvel
