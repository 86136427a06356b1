#pragma once
// A filter-graph stand-in: one media file rendered for playback, with the
// controls a DirectShow graph offers through its media-control, position, event,
// basic-audio and video-window interfaces.
//
// Audio plays as a stream on a sound device (by default the program's shared
// one), which feeds itself, so playback goes on while nobody polls. Pictures are
// handed to a video sink by a playback thread at their times. All calls are
// meant for one thread; the graph locks inside against its own playback.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/media/decoder.h"
#include "platform/media/video_sink.h"
#include "platform/sound/audio_device.h"

namespace quorvel::media {

enum class GraphState { Stopped, Paused, Running };

// Event code of a file that has played to its end.
inline constexpr long EC_COMPLETE = 1;

class FilterGraph {
  public:
    explicit FilterGraph(std::shared_ptr<sound::AudioDevice> device = nullptr);
    ~FilterGraph();
    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    // Builds playback for a Windows-style path. False when the file is missing or
    // cannot be played, or the graph already holds a file, with the reason in `reason`
    // when given; a file that is there but does not play also goes to the load log
    // (QUORVEL_LOAD_LOG, see platform/engine/failed_loads.h) as a failed media load.
    bool RenderFile(const std::string& path, std::string* reason = nullptr);

    // Media control.
    void Run();
    void Pause();
    // Halts playback; the position stays where it is.
    void Stop();
    GraphState State() const;

    // Media event: waits at most `timeoutMs` and gives EC_COMPLETE once the file
    // has played to its end while running, else 0.
    long WaitForCompletion(int timeoutMs);

    // Media position, in seconds of the file.
    double Duration() const;
    double CurrentPosition();
    void SetCurrentPosition(double seconds);  // clamped to 0..Duration; NaN is ignored
    double Rate() const;
    void SetRate(double rate);  // ignored unless finite and above 0

    // Basic audio: volume in hundredths of a decibel (-10000..0), balance from
    // -10000 (left only) to 10000 (right only). Ignored without an audio stream.
    bool HasAudio() const;
    int Volume() const;
    void SetVolume(int volume);
    int Balance() const;
    void SetBalance(int balance);

    // Video window. Ignored without a video stream.
    bool HasVideo() const;
    void SetVideoWindow(const VideoWindow& window);
    VideoWindow GetVideoWindow() const;

  private:
    using Clock = std::chrono::steady_clock;

    std::size_t PullAudio(float* stereo, std::size_t frames);
    void VideoLoop();
    // Everything below expects the lock held.
    double PositionLocked();
    double ClockLocked() const;
    void RebaseClockLocked();
    bool CompleteLocked();

    std::shared_ptr<sound::AudioDevice> device_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::unique_ptr<MediaDecoder> decoder_;
    MediaInfo info_;
    std::unique_ptr<sound::AudioStream> stream_;
    std::shared_ptr<VideoSink> sink_;
    VideoWindow window_;
    std::thread videoThread_;
    bool quit_ = false;

    GraphState state_ = GraphState::Stopped;
    bool complete_ = false;
    double audioBase_ = 0;  // file position of the audio stream's first frame
    // Wall-clock time base for video without audio (and after the audio ended).
    double clockBase_ = 0;
    Clock::time_point clockStart_ = Clock::now();
    double rate_ = 1.0;
    int volume_ = 0;
    int balance_ = 0;

    std::optional<VideoFrame> nextFrame_;
    bool videoEnded_ = false;
    double videoEnd_ = 0;  // end time of the last picture shown
};

}  // namespace quorvel::media
