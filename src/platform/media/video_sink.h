#pragma once
// Where a playing file's pictures go: the area of a window that the caller owns.
// The window layer installs a factory for sinks that draw into its windows; until
// then pictures go nowhere.

#include <functional>
#include <memory>

#include "platform/media/decoder.h"

namespace quorvel::media {

inline constexpr int WS_VISIBLE = 0x10000000;

struct VideoWindow {
    int owner = 0;  // the owner window's handle; 0 = detached
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int style = 0;  // window style bits; WS_VISIBLE shows it
};

class VideoSink {
  public:
    virtual ~VideoSink() = default;
    // The area moved, resized, re-owned or shown or hidden (the caller's thread).
    virtual void Place(const VideoWindow& window) = 0;
    // A picture is due now. Called from the playback thread: copy what is needed.
    virtual void Present(const VideoFrame& frame) = 0;
};

class NullVideoSink : public VideoSink {
  public:
    void Place(const VideoWindow&) override {}
    void Present(const VideoFrame&) override {}
};

using VideoSinkFactory = std::function<std::shared_ptr<VideoSink>()>;
void SetVideoSinkFactory(VideoSinkFactory factory);  // null: the null sink
std::shared_ptr<VideoSink> MakeVideoSink();

}  // namespace quorvel::media
