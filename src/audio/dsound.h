#pragma once
// The positional sounds: a sound device, and sound buffers loaded from wave files,
// plain or placed in the world and heard from the one listener they share.
// Positions and directions are in the engine's axes.

#include <memory>
#include <string>

#include "platform/sound/directsound.h"

namespace quorvel {

class clsDirectSound8 {
  public:
    // Releases the sound object, then the DirectX object.
    ~clsDirectSound8();

    std::shared_ptr<sound::DirectSound8> DSObj() const { return ds_; }
    std::shared_ptr<sound::DirectX8> DXObj();
    // Opens the default sound device for the window. False when there is none;
    // callers go on without positional sounds.
    bool Startup(int window);

  private:
    std::shared_ptr<sound::DirectX8> dx_;
    std::shared_ptr<sound::DirectSound8> ds_;
};

class clsDSWave8 {
  public:
    // Stops the sound and lets the buffers go.
    ~clsDSWave8();

    std::shared_ptr<sound::DirectSoundSecondaryBuffer8> DSBObj() const { return SecondaryBuffer; }
    void DSBObj(std::shared_ptr<sound::DirectSoundSecondaryBuffer8> buffer) {
        SecondaryBuffer = std::move(buffer);
    }
    // Stop and rewind before every play.
    bool Interrupt() const { return InterruptFlag; }
    void Interrupt(bool value) { InterruptFlag = value; }
    bool Looping() const { return LoopingFlag; }
    void Looping(bool value) { LoopingFlag = value; }
    // Takes effect at the next LoadSound.
    bool Positional() const { return PositionalFlag; }
    void Positional(bool value) { PositionalFlag = value; }

    // The loaded sound's format; 0 without one.
    int Frequency() const;
    int Channels();
    int Samples();
    int BitsPerSample();
    int Size();

    // Moves a positional sound at once; whole world units.
    void SetPosition(int x, int y, int z);
    // `file` is a full Windows-style path. A file that cannot be loaded leaves no sound.
    void LoadSound(clsDirectSound8& device, const std::string& file, float maximumDistance,
                   float minimumDistance);
    void PlaySound();
    // Stops and rewinds.
    void StopSound();
    void setListenerPos(float x, float y, float z);
    // The listener's front and top vectors (the camera's front and up axes).
    void SetListenerOrientation(float a, float b, float c, float d, float e, float f);
    void SetDistances(float maximumDistance, float minimumDistance);

  private:
    std::shared_ptr<sound::DirectSoundSecondaryBuffer8> SecondaryBuffer;
    std::shared_ptr<sound::DirectSound3DBuffer8> Buffer3D;
    std::shared_ptr<sound::DirectSoundPrimaryBuffer8> PrimaryBuffer;
    std::shared_ptr<sound::DirectSound3DListener8> Listener;
    sound::WAVEFORMATEX WaveFormat;
    sound::DSBUFFERDESC BufferDesc;
    sound::DSBUFFERDESC PrimaryDesc;
    float PosX = 0, PosY = 0, PosZ = 0;
    bool InterruptFlag = false;
    bool LoopingFlag = false;
    bool PositionalFlag = false;
};

}  // namespace quorvel
