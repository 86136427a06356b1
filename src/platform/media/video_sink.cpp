#include "platform/media/video_sink.h"

#include <mutex>

namespace quorvel::media {
namespace {

std::mutex factoryMutex;
VideoSinkFactory factory;

}  // namespace

void SetVideoSinkFactory(VideoSinkFactory f) {
    std::lock_guard lock(factoryMutex);
    factory = std::move(f);
}

std::shared_ptr<VideoSink> MakeVideoSink() {
    VideoSinkFactory f;
    {
        std::lock_guard lock(factoryMutex);
        f = factory;
    }
    std::shared_ptr<VideoSink> sink = f ? f() : nullptr;
    return sink ? sink : std::make_shared<NullVideoSink>();
}

}  // namespace quorvel::media
