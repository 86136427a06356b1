#include "platform/al/openal_device.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/al/mix_limiter.h"

namespace quorvel::al {
namespace {

using Clock = std::chrono::steady_clock;
using sound::StreamPull;

// The engine's axes are left-handed (right +X, up +Y, front +Z); OpenAL's are
// right-handed with the listener facing -Z. Mirroring Z keeps right, up and front
// where they belong; every position and direction goes through here.
struct AlVec {
    ALfloat x, y, z;
};
AlVec ToAl(const Vector& v) {
    return {v.x, v.y, -v.z};
}

bool IsZero(const Vector& v) {
    return v.x == 0 && v.y == 0 && v.z == 0;
}

enum class Kind { Output, Silent, Loopback };

constexpr std::size_t kStreamBlockFrames = 2048;
constexpr int kStreamBuffers = 6;
// The limited mix goes to the loudspeakers in blocks this size, this many queued: about
// 93 ms at 44.1 kHz to start with, so the effects are not delayed much. Each time the
// speakers run dry (a busy machine wakes the mixing thread late) a few more blocks are
// queued from then on, up to about 370 ms: late sound is better than broken sound.
constexpr std::size_t kSpeakerBlockFrames = 512;
constexpr int kSpeakerBuffers = 8;
constexpr int kSpeakerMoreBuffers = 4;
constexpr int kSpeakerMostBuffers = 32;

struct StreamState {
    StreamPull pull;
    int sampleRate = 0;
    std::mutex pullMutex;  // held while the pull runs
    // The rest is guarded by the core's mutex.
    ALuint source = 0;
    std::vector<ALuint> freeBuffers;
    std::deque<std::pair<ALuint, std::size_t>> queued;  // buffer, frames
    std::int64_t processedFrames = 0;
    std::uint64_t generation = 0;
    bool wantPlaying = false;
    bool ended = false;              // the pull ran dry
    std::atomic<bool> dead = false;  // also read while pulling, without the device lock
};
PFNALCSETTHREADCONTEXTPROC setThreadContext = nullptr;

// One ALC device and its context, shared by everything made on it.
struct Core {
    std::mutex mutex;
    Kind kind = Kind::Output;
    int sampleRate = 44100;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
    std::vector<std::shared_ptr<StreamState>> streams;

    ~Core() {
        if (setThreadContext) setThreadContext(nullptr);
        if (context) alcDestroyContext(context);
        if (device) alcCloseDevice(device);
    }
};

// Holds the core's lock with its context current on this thread, so several
// devices can live side by side and be used from any thread.
class Locked {
  public:
    explicit Locked(Core& core) : lock_(core.mutex) { setThreadContext(core.context); }

  private:
    std::unique_lock<std::mutex> lock_;
};

ALint SourceState(ALuint source) {
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

// Takes the buffers the source has finished with off its queue. Core locked.
void Unqueue(StreamState& s) {
    ALint processed = 0;
    alGetSourcei(s.source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0 && !s.queued.empty()) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(s.source, 1, &buffer);
        s.processedFrames += std::int64_t(s.queued.front().second);
        s.queued.pop_front();
        s.freeBuffers.push_back(buffer);
    }
}

// Keeps a stream's queue full. The pull runs without the core's lock, so it may
// lock its owner's state while that owner calls into the device.
void TopUp(Core& core, StreamState& s, std::vector<float>& scratch, std::vector<std::int16_t>& pcm) {
    std::size_t room = 0;
    std::uint64_t generation = 0;
    {
        Locked lock(core);
        if (s.dead) return;
        Unqueue(s);
        if (!s.ended) room = s.freeBuffers.size();
        generation = s.generation;
    }
    for (std::size_t i = 0; i < room; ++i) {
        std::size_t got = 0;
        {
            std::lock_guard pulling(s.pullMutex);
            if (s.dead) return;
            scratch.assign(kStreamBlockFrames * 2, 0.0f);
            got = std::min(s.pull(scratch.data(), kStreamBlockFrames), kStreamBlockFrames);
        }
        pcm.resize(got * 2);
        for (std::size_t k = 0; k < got * 2; ++k)
            pcm[k] = static_cast<std::int16_t>(std::lround(std::clamp(scratch[k], -1.0f, 1.0f) * 32767.0f));
        Locked lock(core);
        if (s.dead || s.generation != generation) return;
        if (got > 0 && !s.freeBuffers.empty()) {
            const ALuint buffer = s.freeBuffers.back();
            s.freeBuffers.pop_back();
            alBufferData(buffer, AL_FORMAT_STEREO16, pcm.data(), ALsizei(pcm.size() * sizeof(std::int16_t)),
                         s.sampleRate);
            alSourceQueueBuffers(s.source, 1, &buffer);
            s.queued.emplace_back(buffer, got);
        }
        if (got < kStreamBlockFrames) s.ended = true;
        if (s.wantPlaying && !s.queued.empty() && SourceState(s.source) != AL_PLAYING) alSourcePlay(s.source);
        if (s.ended) return;
    }
    Locked lock(core);
    // A source that ran dry before more came is started again.
    if (!s.dead && s.wantPlaying && !s.queued.empty() && SourceState(s.source) != AL_PLAYING)
        alSourcePlay(s.source);
}

void TopUpAll(Core& core, std::vector<float>& scratch, std::vector<std::int16_t>& pcm) {
    std::vector<std::shared_ptr<StreamState>> streams;
    {
        std::lock_guard lock(core.mutex);
        streams = core.streams;
    }
    for (const auto& s : streams)
        TopUp(core, *s, scratch, pcm);
}

class AlBuffer : public sound::AudioBuffer {
  public:
    AlBuffer(std::shared_ptr<Core> core, ALuint id, double seconds)
        : core_(std::move(core)), id_(id), seconds_(seconds) {}
    ~AlBuffer() override {
        Locked lock(*core_);
        alDeleteBuffers(1, &id_);
    }
    double Seconds() const override { return seconds_; }
    ALuint Id() const { return id_; }

  private:
    std::shared_ptr<Core> core_;
    ALuint id_;
    double seconds_;
};

class AlSource : public sound::AudioSource {
  public:
    explicit AlSource(std::shared_ptr<Core> core) : core_(std::move(core)) {
        Locked lock(*core_);
        alGenSources(1, &id_);
        ApplyPlacement();
    }
    ~AlSource() override {
        Locked lock(*core_);
        alSourceStop(id_);
        alSourcei(id_, AL_BUFFER, 0);
        alDeleteSources(1, &id_);
    }
    void SetBuffer(std::shared_ptr<sound::AudioBuffer> buffer) override {
        // Released after the lock: a buffer's last owner deletes it, which takes the lock too.
        std::shared_ptr<sound::AudioBuffer> previous;
        Locked lock(*core_);
        alSourceStop(id_);
        alSourceRewind(id_);
        auto* al = dynamic_cast<AlBuffer*>(buffer.get());
        alSourcei(id_, AL_BUFFER, al ? ALint(al->Id()) : 0);
        previous = std::exchange(buffer_, al ? std::move(buffer) : nullptr);
    }
    void Play(bool looping) override {
        Locked lock(*core_);
        if (!buffer_) return;
        alSourcei(id_, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
        if (SourceState(id_) != AL_PLAYING) alSourcePlay(id_);
    }
    void Halt() override {
        Locked lock(*core_);
        if (SourceState(id_) == AL_PLAYING) alSourcePause(id_);
    }
    void Rewind() override {
        Locked lock(*core_);
        if (SourceState(id_) == AL_PLAYING)
            alSourcef(id_, AL_SEC_OFFSET, 0.0f);
        else
            alSourceRewind(id_);
    }
    bool Playing() override {
        Locked lock(*core_);
        return SourceState(id_) == AL_PLAYING;
    }
    double Offset() override {
        Locked lock(*core_);
        ALfloat seconds = 0;
        alGetSourcef(id_, AL_SEC_OFFSET, &seconds);
        return seconds;
    }
    void SetPositional(bool positional) override {
        Locked lock(*core_);
        positional_ = positional;
        ApplyPlacement();
    }
    void SetPosition(const Vector& position) override {
        Locked lock(*core_);
        position_ = position;
        ApplyPlacement();
    }
    void SetDistances(float minimum, float maximum) override {
        Locked lock(*core_);
        alSourcef(id_, AL_REFERENCE_DISTANCE, minimum);
        alSourcef(id_, AL_MAX_DISTANCE, maximum);
    }
    void SetCone(float insideDegrees, float outsideDegrees, float outsideGain,
                 const Vector& direction) override {
        Locked lock(*core_);
        alSourcef(id_, AL_CONE_INNER_ANGLE, insideDegrees);
        alSourcef(id_, AL_CONE_OUTER_ANGLE, outsideDegrees);
        alSourcef(id_, AL_CONE_OUTER_GAIN, outsideGain);
        direction_ = direction;
        ApplyPlacement();
    }
    void SetGain(float gain) override {
        Locked lock(*core_);
        alSourcef(id_, AL_GAIN, std::max(gain, 0.0f));
    }

  private:
    // A flat source sits on the listener, with no cone, so it is heard centred.
    void ApplyPlacement() {
        alSourcei(id_, AL_SOURCE_RELATIVE, positional_ ? AL_FALSE : AL_TRUE);
        const AlVec p = positional_ ? ToAl(position_) : AlVec{0, 0, 0};
        alSource3f(id_, AL_POSITION, p.x, p.y, p.z);
        const AlVec d = positional_ ? ToAl(direction_) : AlVec{0, 0, 0};
        alSource3f(id_, AL_DIRECTION, d.x, d.y, d.z);
    }

    std::shared_ptr<Core> core_;
    ALuint id_ = 0;
    std::shared_ptr<sound::AudioBuffer> buffer_;
    bool positional_ = false;
    Vector position_;
    Vector direction_;
};

class AlStream : public sound::AudioStream {
  public:
    AlStream(std::shared_ptr<Core> core, std::shared_ptr<StreamState> state)
        : core_(std::move(core)), state_(std::move(state)) {}
    ~AlStream() override {
        {
            Locked lock(*core_);
            StreamState& s = *state_;
            s.dead = true;
            std::erase(core_->streams, state_);
            alSourceStop(s.source);
            alSourcei(s.source, AL_BUFFER, 0);
            alDeleteSources(1, &s.source);
            for (const auto& q : s.queued)
                s.freeBuffers.push_back(q.first);
            alDeleteBuffers(ALsizei(s.freeBuffers.size()), s.freeBuffers.data());
        }
        std::lock_guard wait(state_->pullMutex);  // let a pull in flight finish
    }
    void Play() override {
        Locked lock(*core_);
        StreamState& s = *state_;
        s.wantPlaying = true;
        if (!s.queued.empty() && SourceState(s.source) != AL_PLAYING) alSourcePlay(s.source);
    }
    void Halt() override {
        Locked lock(*core_);
        state_->wantPlaying = false;
        if (SourceState(state_->source) == AL_PLAYING) alSourcePause(state_->source);
    }
    void Flush() override {
        Locked lock(*core_);
        StreamState& s = *state_;
        s.generation++;
        alSourceStop(s.source);
        Unqueue(s);
        s.processedFrames = 0;
        s.ended = false;
    }
    void SetGain(float gain) override {
        Locked lock(*core_);
        alSourcef(state_->source, AL_GAIN, std::max(gain, 0.0f));
    }
    void SetPitch(float pitch) override {
        Locked lock(*core_);
        // OpenAL takes pitch factors up to 10 (and never 0).
        alSourcef(state_->source, AL_PITCH, std::clamp(pitch, 0.01f, 10.0f));
    }
    std::int64_t PlayedFrames() override {
        Locked lock(*core_);
        StreamState& s = *state_;
        Unqueue(s);
        ALint offset = 0;
        if (!s.queued.empty()) alGetSourcei(s.source, AL_SAMPLE_OFFSET, &offset);
        return s.processedFrames + offset;
    }
    bool Finished() override {
        Locked lock(*core_);
        Unqueue(*state_);
        return state_->ended && state_->queued.empty();
    }

  private:
    std::shared_ptr<Core> core_;
    std::shared_ptr<StreamState> state_;
};

// The system's output, which plays one stream: the mix made on the loopback core,
// after the limiter.
struct Speaker {
    std::shared_ptr<Core> core;  // the output device and its context
    ALuint source = 0;
    std::vector<ALuint> freeBuffers;
    int buffers = 0;  // queued or free
    bool started = false;
    bool floats = false;  // the output takes float samples
};

class Device : public OpenALDevice {
  public:
    // `speaker`: the Output kind's loudspeakers; the mix is made on `core`, a loopback one.
    explicit Device(std::shared_ptr<Core> core, std::unique_ptr<Speaker> speaker = nullptr)
        : core_(std::move(core)), speaker_(std::move(speaker)), limiter_(core_->sampleRate) {
        if (core_->kind != Kind::Loopback) thread_ = std::thread([this] { Run(); });
        if (speaker_) speakerThread_ = std::thread([this] { Speak(); });
    }
    ~Device() override {
        {
            std::lock_guard lock(threadMutex_);
            quit_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
        if (speakerThread_.joinable()) speakerThread_.join();
        if (speaker_) {
            Locked lock(*speaker_->core);
            alSourceStop(speaker_->source);  // every queued block counts as processed now
            ALint processed = 0;
            alGetSourcei(speaker_->source, AL_BUFFERS_PROCESSED, &processed);
            for (; processed > 0; --processed) {
                ALuint buffer = 0;
                alSourceUnqueueBuffers(speaker_->source, 1, &buffer);
                speaker_->freeBuffers.push_back(buffer);
            }
            alDeleteSources(1, &speaker_->source);
            alDeleteBuffers(ALsizei(speaker_->freeBuffers.size()), speaker_->freeBuffers.data());
        }
    }

    bool Silent() const override { return core_->kind != Kind::Output; }
    int SampleRate() const override { return core_->sampleRate; }

    std::shared_ptr<sound::AudioBuffer> CreateBuffer(const sound::PcmData& pcm) override {
        if (pcm.channels < 1 || pcm.channels > 2 || pcm.sampleRate <= 0 || pcm.Frames() == 0) return nullptr;
        Locked lock(*core_);
        ALuint id = 0;
        alGetError();
        alGenBuffers(1, &id);
        alBufferData(id, pcm.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.samples.data(),
                     ALsizei(pcm.Frames() * std::size_t(pcm.channels) * sizeof(std::int16_t)),
                     pcm.sampleRate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &id);
            return nullptr;
        }
        return std::make_shared<AlBuffer>(core_, id, pcm.Seconds());
    }

    std::unique_ptr<sound::AudioSource> CreateSource() override { return std::make_unique<AlSource>(core_); }

    std::unique_ptr<sound::AudioStream> CreateStream(int sampleRate, StreamPull pull) override {
        auto s = std::make_shared<StreamState>();
        s->pull = std::move(pull);
        s->sampleRate = sampleRate > 0 ? sampleRate : 44100;
        {
            Locked lock(*core_);
            alGenSources(1, &s->source);
            alSourcei(s->source, AL_SOURCE_RELATIVE, AL_TRUE);
            alSourcef(s->source, AL_ROLLOFF_FACTOR, 0.0f);
            s->freeBuffers.resize(kStreamBuffers);
            alGenBuffers(kStreamBuffers, s->freeBuffers.data());
            core_->streams.push_back(s);
        }
        wake_.notify_all();
        return std::make_unique<AlStream>(core_, std::move(s));
    }

    void SetListenerPosition(const Vector& position) override {
        Locked lock(*core_);
        const AlVec p = ToAl(position);
        alListener3f(AL_POSITION, p.x, p.y, p.z);
    }

    void SetListenerOrientation(const Vector& front, const Vector& up) override {
        if (IsZero(front) || IsZero(up)) return;
        Locked lock(*core_);
        const AlVec f = ToAl(front), u = ToAl(up);
        const ALfloat orientation[6] = {f.x, f.y, f.z, u.x, u.y, u.z};
        alListenerfv(AL_ORIENTATION, orientation);
    }

    std::vector<float> Render(std::size_t frames) override {
        std::vector<float> out;
        if (core_->kind != Kind::Loopback) return out;
        out.resize(frames * 2);
        MixInto(out.data(), frames, true);
        limiter_.Process(out.data(), frames);
        return out;
    }

  private:
    // Mixes in slices small enough that every stream is fed between them, unless another
    // thread feeds them.
    void MixInto(float* out, std::size_t frames, bool feedStreams) {
        constexpr std::size_t kSlice = 512;
        for (std::size_t done = 0; done < frames;) {
            const std::size_t n = std::min(kSlice, frames - done);
            if (feedStreams) TopUpAll(*core_, scratch_, pcm_);
            Locked lock(*core_);
            core_->renderSamples(core_->device, out + done * 2, ALCsizei(n));
            done += n;
        }
    }

    // Output: mixes, limits and hands the result to the loudspeakers as fast as they
    // take it. The streams are fed by Run, so a slow decoder never starves the speakers.
    void Speak() {
        Speaker& sp = *speaker_;
        std::vector<float> block(kSpeakerBlockFrames * 2);
        std::vector<std::int16_t> pcm;
        std::unique_lock lock(threadMutex_);
        while (!quit_) {
            lock.unlock();
            std::size_t room = 0;
            {
                Locked speaking(*sp.core);
                ALint processed = 0;
                alGetSourcei(sp.source, AL_BUFFERS_PROCESSED, &processed);
                for (; processed > 0; --processed) {
                    ALuint buffer = 0;
                    alSourceUnqueueBuffers(sp.source, 1, &buffer);
                    sp.freeBuffers.push_back(buffer);
                }
                if (sp.started && SourceState(sp.source) != AL_PLAYING && sp.buffers < kSpeakerMostBuffers) {
                    ALuint more[kSpeakerMoreBuffers] = {};
                    alGetError();
                    alGenBuffers(kSpeakerMoreBuffers, more);
                    if (alGetError() == AL_NO_ERROR) {
                        sp.freeBuffers.insert(sp.freeBuffers.end(), more, more + kSpeakerMoreBuffers);
                        sp.buffers += kSpeakerMoreBuffers;
                    }
                }
                room = sp.freeBuffers.size();
            }
            for (std::size_t i = 0; i < room; ++i) {
                MixInto(block.data(), kSpeakerBlockFrames, false);
                limiter_.Process(block.data(), kSpeakerBlockFrames);
                Locked speaking(*sp.core);
                const ALuint buffer = sp.freeBuffers.back();
                sp.freeBuffers.pop_back();
                if (sp.floats) {
                    alBufferData(buffer, AL_FORMAT_STEREO_FLOAT32, block.data(),
                                 ALsizei(block.size() * sizeof(float)), core_->sampleRate);
                } else {
                    pcm.resize(block.size());
                    for (std::size_t k = 0; k < block.size(); ++k)
                        pcm[k] = static_cast<std::int16_t>(
                            std::lround(std::clamp(block[k], -1.0f, 1.0f) * 32767.0f));
                    alBufferData(buffer, AL_FORMAT_STEREO16, pcm.data(),
                                 ALsizei(pcm.size() * sizeof(std::int16_t)), core_->sampleRate);
                }
                alSourceQueueBuffers(sp.source, 1, &buffer);
            }
            if (room > 0) {
                // Started at first, and again after the speakers ran dry.
                Locked speaking(*sp.core);
                if (SourceState(sp.source) != AL_PLAYING) alSourcePlay(sp.source);
                sp.started = true;
            }
            lock.lock();
            wake_.wait_for(lock, std::chrono::milliseconds(3));
        }
    }

    // Output: keeps the streams fed. Silent: also mixes in real time and drops the result.
    void Run() {
        std::vector<float> discard;
        auto last = Clock::now();
        double owed = 0;
        std::unique_lock lock(threadMutex_);
        while (!quit_) {
            wake_.wait_for(lock, std::chrono::milliseconds(10));
            if (quit_) break;
            lock.unlock();
            if (core_->kind == Kind::Silent) {
                const auto now = Clock::now();
                owed += std::chrono::duration<double>(now - last).count() * core_->sampleRate;
                owed = std::min(owed, 0.25 * core_->sampleRate);  // after a stall, catch up only a little
                last = now;
                const auto frames = static_cast<std::size_t>(owed);
                owed -= double(frames);
                discard.resize(frames * 2);
                MixInto(discard.data(), frames, true);
            } else {
                TopUpAll(*core_, scratch_, pcm_);
            }
            lock.lock();
        }
    }

    std::shared_ptr<Core> core_;
    std::unique_ptr<Speaker> speaker_;
    MixLimiter limiter_;
    std::vector<float> scratch_;
    std::vector<std::int16_t> pcm_;
    std::thread thread_;
    std::thread speakerThread_;
    std::mutex threadMutex_;
    std::condition_variable wake_;
    bool quit_ = false;
};

bool LoadThreadContext() {
    if (!setThreadContext)
        setThreadContext =
            reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(alcGetProcAddress(nullptr, "alcSetThreadContext"));
    return setThreadContext != nullptr;
}

// A loopback device and its context: where every kind of device mixes.
std::shared_ptr<Core> OpenMixCore(Kind kind, int sampleRate) {
    if (!LoadThreadContext() || !alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return nullptr;
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto render =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!open || !render) return nullptr;
    auto core = std::make_shared<Core>();
    core->kind = kind;
    core->sampleRate = sampleRate;
    core->renderSamples = render;
    core->device = open(nullptr);
    if (!core->device) return nullptr;
    // Plain stereo panning (no head-related filtering), so left is left and nothing else colours it.
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,
                                 sampleRate,
                                 ALC_HRTF_SOFT,
                                 ALC_FALSE,
                                 0};
    core->context = alcCreateContext(core->device, attributes);
    if (!core->context) return nullptr;
    return core;
}

std::shared_ptr<OpenALDevice> OpenLoopbackKind(Kind kind, int sampleRate) {
    auto core = OpenMixCore(kind, sampleRate);
    if (!core) return nullptr;
    return std::make_shared<Device>(std::move(core));
}

// The opened output device plays one stream, the mix from a loopback core at its rate:
// the limiter can only reach a mix it makes itself.
std::shared_ptr<OpenALDevice> SpeakTo(std::shared_ptr<Core> output) {
    auto mix = OpenMixCore(Kind::Output, output->sampleRate);
    if (!mix) return nullptr;
    auto speaker = std::make_unique<Speaker>();
    speaker->core = std::move(output);
    {
        Locked lock(*speaker->core);
        alGetError();
        alGenSources(1, &speaker->source);
        speaker->freeBuffers.resize(kSpeakerBuffers);
        speaker->buffers = kSpeakerBuffers;
        alGenBuffers(kSpeakerBuffers, speaker->freeBuffers.data());
        if (alGetError() != AL_NO_ERROR) return nullptr;
        alSourcei(speaker->source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(speaker->source, AL_ROLLOFF_FACTOR, 0.0f);
        // Left to the left speaker and right to the right, untouched.
        if (alIsExtensionPresent("AL_SOFT_direct_channels"))
            alSourcei(speaker->source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
        speaker->floats = alIsExtensionPresent("AL_EXT_FLOAT32");
    }
    return std::make_shared<Device>(std::move(mix), std::move(speaker));
}

// OpenAL Soft reports a missing sound card in a line of its own unless the user asked
// for its log; it reads that setting once, at its first use, so it is set before any.
[[maybe_unused]] const bool openAlLogQuiet = [] {
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    return true;
}();

// ALSA prints its own lines about a missing sound card while OpenAL tries it; the
// player gets one line from us instead. ALSA is looked up at run time, as OpenAL
// itself does, so nothing links it.
class AlsaErrorsMuted {
  public:
    AlsaErrorsMuted() {
        alsa_ = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (alsa_) setHandler_ = reinterpret_cast<SetHandler>(dlsym(alsa_, "snd_lib_error_set_handler"));
        if (setHandler_) setHandler_(&Quiet);
    }
    ~AlsaErrorsMuted() {
        if (setHandler_) setHandler_(nullptr);  // ALSA's own printer again
        if (alsa_) dlclose(alsa_);
    }
    AlsaErrorsMuted(const AlsaErrorsMuted&) = delete;
    AlsaErrorsMuted& operator=(const AlsaErrorsMuted&) = delete;

  private:
    using Handler = void (*)(const char* file, int line, const char* function, int err, const char* fmt, ...);
    using SetHandler = int (*)(Handler);
    static void Quiet(const char*, int, const char*, int, const char*, ...) {}

    void* alsa_ = nullptr;
    SetHandler setHandler_ = nullptr;
};

}  // namespace

std::shared_ptr<OpenALDevice> OpenOutputDevice(const std::string& name) {
    auto core = std::make_shared<Core>();
    {
        AlsaErrorsMuted muted;
        if (LoadThreadContext()) core->device = alcOpenDevice(name.empty() ? nullptr : name.c_str());
    }
    if (core->device) {
        core->context = alcCreateContext(core->device, nullptr);
        if (core->context) {
            ALCint rate = 44100;
            alcGetIntegerv(core->device, ALC_FREQUENCY, 1, &rate);
            core->sampleRate = rate;
            if (auto device = SpeakTo(std::move(core))) return device;
        }
    }
    static std::once_flag told;
    std::call_once(
        told, [] { std::fputs("quorvel: no sound device opened; the game plays without sound\n", stderr); });
    return OpenSilentDevice();
}

std::shared_ptr<OpenALDevice> OpenSilentDevice() {
    return OpenLoopbackKind(Kind::Silent, 44100);
}

std::shared_ptr<OpenALDevice> OpenLoopbackDevice(int sampleRate) {
    return OpenLoopbackKind(Kind::Loopback, sampleRate);
}

void UseOpenAL() {
    sound::SetAudioDeviceFactory([]() -> std::shared_ptr<sound::AudioDevice> { return OpenOutputDevice(); });
}

}  // namespace quorvel::al
