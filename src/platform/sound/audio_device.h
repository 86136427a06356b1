#pragma once
// The sound output that everything audible goes through.
//
// A device plays sources (whole buffers, either flat and centred or placed in the
// world around its one listener) and streams (stereo samples pulled from a
// callback while they play). Positions and directions are given in the engine's
// axes (right +X, up +Y, front +Z); each device converts them for itself.
//
// Calls may come from any thread; devices lock inside. A stream's pull callback
// runs on whatever thread feeds the device, never while the device holds its own
// lock, so the callback may lock its owner's state.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/system/values.h"

namespace quorvel::sound {

// 16-bit samples, interleaved.
struct PcmData {
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    std::size_t Frames() const { return channels > 0 ? samples.size() / std::size_t(channels) : 0; }
    double Seconds() const { return sampleRate > 0 ? double(Frames()) / sampleRate : 0.0; }
};

// Sample data held by a device, shared by the sources that play it.
class AudioBuffer {
  public:
    virtual ~AudioBuffer() = default;
    virtual double Seconds() const = 0;
};

class AudioSource {
  public:
    virtual ~AudioSource() = default;
    // Halts the source and rewinds it; null leaves it without sound.
    virtual void SetBuffer(std::shared_ptr<AudioBuffer> buffer) = 0;
    // Plays from the current offset; a source already playing goes on where it
    // is (only the looping flag changes). A source that played to its end starts again.
    virtual void Play(bool looping) = 0;
    // Halts and keeps the offset, so the next Play goes on from there.
    virtual void Halt() = 0;
    // Offset 0; a playing source goes on from the start.
    virtual void Rewind() = 0;
    virtual bool Playing() = 0;
    virtual double Offset() = 0;  // seconds into the buffer

    // A positional source is heard from its place relative to the listener; any
    // other source is heard centred at full level.
    virtual void SetPositional(bool positional) = 0;
    virtual void SetPosition(const Vector& position) = 0;
    // Full level up to `minimum`, falling as minimum/distance up to `maximum`, no further beyond.
    virtual void SetDistances(float minimum, float maximum) = 0;
    // Level falls from 1 inside the inner cone to `outsideGain` at the outer cone's edge.
    virtual void SetCone(float insideDegrees, float outsideDegrees, float outsideGain,
                         const Vector& direction) = 0;
    virtual void SetGain(float gain) = 0;
};

// Fills `stereo` with up to `frames` interleaved left/right float frames and
// returns how many it wrote; fewer than asked means the stream has ended.
using StreamPull = std::function<std::size_t(float* stereo, std::size_t frames)>;

class AudioStream {
  public:
    virtual ~AudioStream() = default;
    virtual void Play() = 0;
    virtual void Halt() = 0;
    // Drops everything queued, counts played frames from 0 again and pulls afresh
    // (after a seek).
    virtual void Flush() = 0;
    virtual void SetGain(float gain) = 0;
    // Playback speed factor (1 = normal).
    virtual void SetPitch(float pitch) = 0;
    // Frames heard since creation or the last Flush.
    virtual std::int64_t PlayedFrames() = 0;
    // The pull ran dry and everything it gave has been heard.
    virtual bool Finished() = 0;
};

class AudioDevice {
  public:
    virtual ~AudioDevice() = default;
    // Null when the data cannot be held (empty, or not 1 or 2 channels).
    virtual std::shared_ptr<AudioBuffer> CreateBuffer(const PcmData& pcm) = 0;
    virtual std::unique_ptr<AudioSource> CreateSource() = 0;
    virtual std::unique_ptr<AudioStream> CreateStream(int sampleRate, StreamPull pull) = 0;
    virtual void SetListenerPosition(const Vector& position) = 0;
    virtual void SetListenerOrientation(const Vector& front, const Vector& up) = 0;
};

// The device the whole program shares. Made on first use by the installed
// factory; without one (or when it gives nothing) a silent device that keeps
// time like a real one.
std::shared_ptr<AudioDevice> SharedAudioDevice();
void SetAudioDeviceFactory(std::function<std::shared_ptr<AudioDevice>()> factory);
// Replaces the shared device at once (tests put a loopback device here).
void UseAudioDevice(std::shared_ptr<AudioDevice> device);

// Attenuation in hundredths of a decibel (-10000 silent .. 0 full) as a gain factor.
float GainFromHundredthsDb(int volume);

}  // namespace quorvel::sound
