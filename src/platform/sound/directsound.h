#pragma once
// A small DirectSound-like layer over the shared AudioDevice: a device object,
// static secondary buffers loaded from wave files (optionally with 3D controls),
// and the primary buffer whose 3D listener all positional buffers share.
//
// Calls report failure through their results (null or false); callers that do
// not care simply go on. Positions are in the engine's axes.

#include <memory>
#include <string>

#include "platform/sound/audio_device.h"
#include "platform/sound/wave_file.h"

namespace quorvel::sound {

// Buffer capability bits and play flags, with their usual values.
inline constexpr int DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr int DSBCAPS_STATIC = 0x2;
inline constexpr int DSBCAPS_CTRL3D = 0x10;
inline constexpr int DSBCAPS_CTRLVOLUME = 0x80;
inline constexpr int DSBPLAY_LOOPING = 0x1;
inline constexpr int DSSCL_PRIORITY = 2;

struct DSBUFFERDESC {
    int lFlags = 0;
    std::string guid3DAlgorithm;  // kept, not used: every positional sound is panned the same way
};

struct WAVEFORMATEX {
    int nFormatTag = 0;
    int nChannels = 0;
    int lSamplesPerSec = 0;
    int nBitsPerSample = 0;
    int nSize = 0;  // bytes of format data beyond the basic record
};

class DirectSound3DListener8 {
  public:
    explicit DirectSound3DListener8(std::shared_ptr<AudioDevice> device) : device_(std::move(device)) {}
    void SetPosition(float x, float y, float z);
    // Front and top vectors.
    void SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz);

  private:
    std::shared_ptr<AudioDevice> device_;
};

class DirectSoundPrimaryBuffer8 {
  public:
    DirectSoundPrimaryBuffer8(std::shared_ptr<AudioDevice> device, int flags)
        : device_(std::move(device)), flags_(flags) {}
    // Only for a primary buffer made with 3D control.
    std::shared_ptr<DirectSound3DListener8> GetDirectSound3DListener();

  private:
    std::shared_ptr<AudioDevice> device_;
    int flags_;
};

class DirectSound3DBuffer8 {
  public:
    explicit DirectSound3DBuffer8(std::shared_ptr<AudioSource> source);
    void SetPosition(float x, float y, float z);
    void SetMinDistance(float distance);
    void SetMaxDistance(float distance);
    void SetConeAngles(int insideDegrees, int outsideDegrees);
    void SetConeOutsideVolume(int volume);  // hundredths of a decibel
    void SetConeOrientation(float x, float y, float z);

  private:
    void ApplyCone();

    std::shared_ptr<AudioSource> source_;
    float minDistance_ = 1.0f;
    float maxDistance_ = 1.0e9f;
    int insideDegrees_ = 360;
    int outsideDegrees_ = 360;
    int outsideVolume_ = 0;
    Vector coneOrientation_{0, 0, 1};
};

class DirectSoundSecondaryBuffer8 {
  public:
    DirectSoundSecondaryBuffer8(std::shared_ptr<AudioSource> source, const WAVEFORMATEX& format, int flags);
    ~DirectSoundSecondaryBuffer8();
    DirectSoundSecondaryBuffer8(const DirectSoundSecondaryBuffer8&) = delete;
    DirectSoundSecondaryBuffer8& operator=(const DirectSoundSecondaryBuffer8&) = delete;

    // Plays from the current position; a playing buffer goes on where it is.
    void Play(int flags);
    // Halts and keeps the position.
    void Stop();
    void SetCurrentPosition(int position);
    bool Playing();
    void GetFormat(WAVEFORMATEX& format) const { format = format_; }
    int GetFrequency() const { return format_.lSamplesPerSec; }
    // Only for a buffer made with 3D control.
    std::shared_ptr<DirectSound3DBuffer8> GetDirectSound3DBuffer();

  private:
    std::shared_ptr<AudioSource> source_;
    WAVEFORMATEX format_;
    int flags_;
};

class DirectSound8 {
  public:
    explicit DirectSound8(std::shared_ptr<AudioDevice> device) : device_(std::move(device)) {}
    bool SetCooperativeLevel(int window, int level);
    // `path` is a Windows-style path. Null when the file is missing or not a
    // readable wave, or the flags ask for a primary buffer.
    std::shared_ptr<DirectSoundSecondaryBuffer8> CreateSoundBufferFromFile(const std::string& path,
                                                                           const DSBUFFERDESC& desc);
    // Null unless the flags ask for a primary buffer.
    std::shared_ptr<DirectSoundPrimaryBuffer8> CreatePrimarySoundBuffer(const DSBUFFERDESC& desc);
    const std::shared_ptr<AudioDevice>& Device() const { return device_; }

  private:
    std::shared_ptr<AudioDevice> device_;
};

// The root object that sound devices are made from.
class DirectX8 {
  public:
    // An empty device text means the default device, the program's shared one.
    // Null when no device is there.
    std::shared_ptr<DirectSound8> DirectSoundCreate(const std::string& device);
};

}  // namespace quorvel::sound
