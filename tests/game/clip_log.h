#pragma once
// Which music and clip files the game asked to play, and when: every media file opened
// for playback is noted (with the wall clock) and plays a second of silence.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/decoder.h"
#include "platform/system/clock.h"

namespace quorvel::test {

class ClipLog {
  public:
    struct Entry {
        std::string path;
        double time;
    };

    ClipLog() {
        media::SetDecoderFactory(
            [this](const std::string& path, std::string*) -> std::unique_ptr<media::MediaDecoder> {
                entries_.push_back({path, sys::WallClock()});
                return std::make_unique<Silence>();
            });
    }
    ~ClipLog() { media::SetDecoderFactory(nullptr); }
    ClipLog(const ClipLog&) = delete;
    ClipLog& operator=(const ClipLog&) = delete;

    // The files opened whose path ends with the whole components `name` ("vto1.wav",
    // "tutorial/tut2.wma"): "vto1.wav" is not found in "xvto1.wav".
    std::vector<Entry> Opened(const std::string& name) const {
        std::vector<Entry> found;
        for (const Entry& e : entries_)
            if (e.path == name || e.path.ends_with("/" + name)) found.push_back(e);
        return found;
    }
    std::size_t Count(const std::string& name) const { return Opened(name).size(); }
    const std::vector<Entry>& All() const { return entries_; }
    void Clear() { entries_.clear(); }

  private:
    class Silence : public media::MediaDecoder {
      public:
        Silence() {
            info_.duration = 1;
            info_.hasAudio = true;
            info_.sampleRate = 22050;
        }
        const media::MediaInfo& Info() const override { return info_; }
        std::size_t ReadAudio(float* stereo, std::size_t frames) override {
            const std::size_t n = std::min(frames, left_);
            std::fill(stereo, stereo + 2 * n, 0.0f);
            left_ -= n;
            return n;
        }
        bool ReadVideo(media::VideoFrame&) override { return false; }
        bool Seek(double seconds) override {
            left_ = std::size_t(22050 * std::max(0.0, 1 - seconds));
            return true;
        }

      private:
        media::MediaInfo info_;
        std::size_t left_ = 22050;
    };
    std::vector<Entry> entries_;
};

}  // namespace quorvel::test
