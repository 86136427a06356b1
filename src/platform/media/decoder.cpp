#include "platform/media/decoder.h"

#include <algorithm>
#include <mutex>

#include "platform/sound/wave_file.h"

namespace quorvel::media {
namespace {

std::mutex factoryMutex;
DecoderFactory factory;

class WaveDecoder : public MediaDecoder {
  public:
    explicit WaveDecoder(sound::PcmData pcm) : pcm_(std::move(pcm)) {
        info_.hasAudio = true;
        info_.sampleRate = pcm_.sampleRate;
        info_.duration = pcm_.Seconds();
    }
    const MediaInfo& Info() const override { return info_; }
    std::size_t ReadAudio(float* stereo, std::size_t frames) override {
        const std::size_t n = std::min(frames, pcm_.Frames() - next_);
        const auto channels = std::size_t(pcm_.channels);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = (next_ + i) * channels;
            stereo[2 * i] = float(pcm_.samples[at]) / 32768.0f;
            stereo[2 * i + 1] = float(pcm_.samples[at + channels - 1]) / 32768.0f;
        }
        next_ += n;
        return n;
    }
    bool ReadVideo(VideoFrame&) override { return false; }
    bool Seek(double seconds) override {
        next_ = std::min(pcm_.Frames(), static_cast<std::size_t>(std::max(seconds, 0.0) * pcm_.sampleRate));
        return true;
    }

  private:
    sound::PcmData pcm_;
    MediaInfo info_;
    std::size_t next_ = 0;
};

}  // namespace

void SetDecoderFactory(DecoderFactory f) {
    std::lock_guard lock(factoryMutex);
    factory = std::move(f);
}

std::unique_ptr<MediaDecoder> OpenMediaFile(const std::string& path, std::string* reason) {
    DecoderFactory f;
    {
        std::lock_guard lock(factoryMutex);
        f = factory;
    }
    return f ? f(path, reason) : OpenWaveFile(path, reason);
}

std::unique_ptr<MediaDecoder> OpenWaveFile(const std::string& path, std::string* reason) {
    auto wave = sound::ReadWaveFile(path, reason);
    if (!wave) return nullptr;
    if (wave->pcm.Frames() == 0) {
        if (reason) *reason = "a wave file of no samples";
        return nullptr;
    }
    return std::make_unique<WaveDecoder>(std::move(wave->pcm));
}

}  // namespace quorvel::media
