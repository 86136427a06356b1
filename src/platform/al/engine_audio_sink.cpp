#include "platform/al/engine_audio_sink.h"

#include <map>
#include <mutex>

#include "platform/sound/wave_file.h"

namespace quorvel::al {
namespace {

class DeviceAudioSink : public engine::AudioSink {
  public:
    explicit DeviceAudioSink(std::shared_ptr<sound::AudioDevice> device) : device_(std::move(device)) {}

    bool Load(int handle, const std::string& path, std::string* reason) override {
        std::lock_guard lock(mutex_);
        sounds_.erase(handle);
        const auto wave = sound::ReadWaveFile(path, reason);
        if (!wave) return false;
        auto buffer = Device()->CreateBuffer(wave->pcm);
        if (!buffer) {
            if (reason) *reason = "no buffer for its samples";
            return false;
        }
        auto source = Device()->CreateSource();
        source->SetBuffer(std::move(buffer));
        sounds_[handle] = std::move(source);
        return true;
    }
    void Play(int handle, bool loop) override {
        std::lock_guard lock(mutex_);
        if (auto* s = Find(handle)) {
            s->Rewind();
            s->Play(loop);
        }
    }
    void Stop(int handle) override {
        std::lock_guard lock(mutex_);
        if (auto* s = Find(handle)) {
            s->Halt();
            s->Rewind();
        }
    }
    void Release(int handle) override {
        std::lock_guard lock(mutex_);
        sounds_.erase(handle);
    }

  private:
    // The shared device is looked up late, so a sink made at start-up follows it.
    const std::shared_ptr<sound::AudioDevice>& Device() {
        if (!device_) device_ = sound::SharedAudioDevice();
        return device_;
    }
    sound::AudioSource* Find(int handle) {
        const auto it = sounds_.find(handle);
        return it == sounds_.end() ? nullptr : it->second.get();
    }

    std::mutex mutex_;
    std::shared_ptr<sound::AudioDevice> device_;
    std::map<int, std::unique_ptr<sound::AudioSource>> sounds_;
};

}  // namespace

std::shared_ptr<engine::AudioSink> MakeEngineAudioSink(std::shared_ptr<sound::AudioDevice> device) {
    return std::make_shared<DeviceAudioSink>(std::move(device));
}

}  // namespace quorvel::al
