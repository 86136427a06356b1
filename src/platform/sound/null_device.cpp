#include "platform/sound/null_device.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quorvel::sound {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

class NullBuffer : public AudioBuffer {
  public:
    explicit NullBuffer(double seconds) : seconds_(seconds) {}
    double Seconds() const override { return seconds_; }

  private:
    double seconds_;
};

class NullSource : public AudioSource {
  public:
    void SetBuffer(std::shared_ptr<AudioBuffer> buffer) override {
        std::lock_guard lock(mutex_);
        length_ = buffer ? buffer->Seconds() : 0.0;
        playing_ = false;
        offset_ = 0.0;
    }
    void Play(bool looping) override {
        std::lock_guard lock(mutex_);
        Update();
        looping_ = looping;
        if (playing_ || length_ <= 0.0) return;
        playing_ = true;
        started_ = Clock::now();
        startOffset_ = offset_;
    }
    void Halt() override {
        std::lock_guard lock(mutex_);
        Update();
        playing_ = false;
    }
    void Rewind() override {
        std::lock_guard lock(mutex_);
        Update();
        offset_ = 0.0;
        startOffset_ = 0.0;
        started_ = Clock::now();
    }
    bool Playing() override {
        std::lock_guard lock(mutex_);
        Update();
        return playing_;
    }
    double Offset() override {
        std::lock_guard lock(mutex_);
        Update();
        return offset_;
    }
    void SetPositional(bool) override {}
    void SetPosition(const Vector&) override {}
    void SetDistances(float, float) override {}
    void SetCone(float, float, float, const Vector&) override {}
    void SetGain(float) override {}

  private:
    // Moves the offset on by the time played since the last look.
    void Update() {
        if (!playing_) return;
        const auto now = Clock::now();
        double at = startOffset_ + std::chrono::duration<double>(now - started_).count();
        if (looping_) {
            // Counted from this pass, so a loop told to play once ends this pass, not at once.
            at = std::fmod(at, length_);
            startOffset_ = at;
            started_ = now;
        } else if (at >= length_) {
            // Played to its end: the next Play starts from the beginning.
            playing_ = false;
            at = 0.0;
        }
        offset_ = at;
    }

    std::mutex mutex_;
    double length_ = 0.0;
    double offset_ = 0.0;
    double startOffset_ = 0.0;
    Clock::time_point started_;
    bool playing_ = false;
    bool looping_ = false;
};

struct StreamState {
    StreamPull pull;
    int sampleRate = 0;
    std::mutex pullMutex;  // held while the pull runs
    // The rest is guarded by the device's mutex.
    std::atomic<bool> dead = false;  // also read while pulling, without the device lock
    bool playing = false;
    bool ended = false;
    float pitch = 1.0f;
    double owed = 0.0;  // frames due but not yet pulled
    std::int64_t played = 0;
    std::uint64_t generation = 0;
};

struct DeviceState {
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<std::shared_ptr<StreamState>> streams;
    bool quit = false;
};

class NullStream : public AudioStream {
  public:
    NullStream(std::shared_ptr<DeviceState> device, std::shared_ptr<StreamState> state)
        : device_(std::move(device)), state_(std::move(state)) {}
    ~NullStream() override {
        {
            std::lock_guard lock(device_->mutex);
            state_->dead = true;
            std::erase(device_->streams, state_);
        }
        std::lock_guard wait(state_->pullMutex);  // let a pull in flight finish
    }
    void Play() override {
        std::lock_guard lock(device_->mutex);
        state_->playing = true;
        device_->wake.notify_all();
    }
    void Halt() override {
        std::lock_guard lock(device_->mutex);
        state_->playing = false;
    }
    void Flush() override {
        std::lock_guard lock(device_->mutex);
        state_->generation++;
        state_->played = 0;
        state_->owed = 0;
        state_->ended = false;
    }
    void SetGain(float) override {}
    void SetPitch(float pitch) override {
        std::lock_guard lock(device_->mutex);
        state_->pitch = std::max(pitch, 0.0f);
    }
    std::int64_t PlayedFrames() override {
        std::lock_guard lock(device_->mutex);
        return state_->played;
    }
    bool Finished() override {
        std::lock_guard lock(device_->mutex);
        return state_->ended;
    }

  private:
    std::shared_ptr<DeviceState> device_;
    std::shared_ptr<StreamState> state_;
};

class NullDevice : public AudioDevice {
  public:
    NullDevice() : state_(std::make_shared<DeviceState>()) {}
    ~NullDevice() override {
        {
            std::lock_guard lock(state_->mutex);
            state_->quit = true;
            state_->wake.notify_all();
        }
        if (thread_.joinable()) thread_.join();
    }

    std::shared_ptr<AudioBuffer> CreateBuffer(const PcmData& pcm) override {
        if (pcm.channels < 1 || pcm.channels > 2 || pcm.sampleRate <= 0 || pcm.Frames() == 0) return nullptr;
        return std::make_shared<NullBuffer>(pcm.Seconds());
    }
    std::unique_ptr<AudioSource> CreateSource() override { return std::make_unique<NullSource>(); }
    std::unique_ptr<AudioStream> CreateStream(int sampleRate, StreamPull pull) override {
        auto stream = std::make_shared<StreamState>();
        stream->pull = std::move(pull);
        stream->sampleRate = sampleRate;
        std::lock_guard lock(state_->mutex);
        state_->streams.push_back(stream);
        if (!thread_.joinable()) thread_ = std::thread([s = state_] { Run(*s); });
        return std::make_unique<NullStream>(state_, stream);
    }
    void SetListenerPosition(const Vector&) override {}
    void SetListenerOrientation(const Vector&, const Vector&) override {}

  private:
    // Pulls from each playing stream what it would have played since the last pass.
    static void Run(DeviceState& device) {
        std::vector<float> scratch;
        auto last = Clock::now();
        std::unique_lock lock(device.mutex);
        while (!device.quit) {
            device.wake.wait_for(lock, std::chrono::milliseconds(20));
            const double elapsed = SecondsSince(last);
            last = Clock::now();
            const auto streams = device.streams;
            for (const auto& s : streams) {
                if (s->dead || !s->playing || s->ended) continue;
                s->owed += elapsed * s->sampleRate * s->pitch;
                const auto want = static_cast<std::size_t>(s->owed);
                if (want == 0) continue;
                const std::uint64_t generation = s->generation;
                lock.unlock();
                std::size_t got = 0;
                {
                    std::lock_guard pulling(s->pullMutex);
                    if (!s->dead) {
                        scratch.resize(want * 2);
                        got = s->pull(scratch.data(), want);
                    }
                }
                lock.lock();
                if (s->dead || s->generation != generation) continue;
                s->owed -= double(want);
                s->played += std::int64_t(got);
                if (got < want) s->ended = true;
            }
        }
    }

    std::shared_ptr<DeviceState> state_;
    std::thread thread_;
};

}  // namespace

std::shared_ptr<AudioDevice> MakeNullAudioDevice() {
    return std::make_shared<NullDevice>();
}

}  // namespace quorvel::sound
