#include "audio/dsound.h"

namespace quorvel {

clsDirectSound8::~clsDirectSound8() {
    ds_.reset();
    dx_.reset();
}

std::shared_ptr<sound::DirectX8> clsDirectSound8::DXObj() {
    if (!dx_) dx_ = std::make_shared<sound::DirectX8>();
    return dx_;
}

bool clsDirectSound8::Startup(int window) {
    dx_ = std::make_shared<sound::DirectX8>();
    ds_ = dx_->DirectSoundCreate("");
    if (!ds_) return false;
    return ds_->SetCooperativeLevel(window, sound::DSSCL_PRIORITY);
}

clsDSWave8::~clsDSWave8() {
    StopSound();
    Buffer3D.reset();
    SecondaryBuffer.reset();
}

int clsDSWave8::Frequency() const {
    return SecondaryBuffer ? SecondaryBuffer->GetFrequency() : 0;
}

int clsDSWave8::Channels() {
    if (!SecondaryBuffer) return 0;
    SecondaryBuffer->GetFormat(WaveFormat);
    return WaveFormat.nChannels;
}

int clsDSWave8::Samples() {
    if (!SecondaryBuffer) return 0;
    SecondaryBuffer->GetFormat(WaveFormat);
    return WaveFormat.lSamplesPerSec;
}

int clsDSWave8::BitsPerSample() {
    if (!SecondaryBuffer) return 0;
    SecondaryBuffer->GetFormat(WaveFormat);
    return WaveFormat.nBitsPerSample;
}

int clsDSWave8::Size() {
    if (!SecondaryBuffer) return 0;
    SecondaryBuffer->GetFormat(WaveFormat);
    return WaveFormat.nSize;
}

void clsDSWave8::SetPosition(int x, int y, int z) {
    PosX = float(x);
    PosY = float(y);
    PosZ = float(z);
    if (Buffer3D) Buffer3D->SetPosition(PosX, PosY, PosZ);
}

void clsDSWave8::LoadSound(clsDirectSound8& device, const std::string& file, float maximumDistance,
                           float minimumDistance) {
    if (PositionalFlag) {
        BufferDesc.lFlags = sound::DSBCAPS_CTRL3D | sound::DSBCAPS_CTRLVOLUME;
        BufferDesc.guid3DAlgorithm = "DS3DALG_HRTF_LIGHT";
    } else {
        BufferDesc.lFlags = sound::DSBCAPS_STATIC;
    }
    SecondaryBuffer.reset();
    Buffer3D.reset();
    const auto ds = device.DSObj();
    if (!ds) return;
    SecondaryBuffer = ds->CreateSoundBufferFromFile(file, BufferDesc);
    if (!SecondaryBuffer || !PositionalFlag) return;

    Buffer3D = SecondaryBuffer->GetDirectSound3DBuffer();
    if (!Buffer3D) return;
    Buffer3D->SetConeAngles(0, 360);
    Buffer3D->SetConeOutsideVolume(-400);
    Buffer3D->SetMaxDistance(maximumDistance);
    Buffer3D->SetMinDistance(minimumDistance);
    PrimaryDesc.lFlags = sound::DSBCAPS_PRIMARYBUFFER | sound::DSBCAPS_CTRL3D;
    PrimaryBuffer = ds->CreatePrimarySoundBuffer(PrimaryDesc);
    if (!PrimaryBuffer) return;
    Listener = PrimaryBuffer->GetDirectSound3DListener();
    if (Listener) Listener->SetPosition(0, 0, 0);
}

void clsDSWave8::PlaySound() {
    if (InterruptFlag) StopSound();
    if (PositionalFlag && Buffer3D) Buffer3D->SetPosition(PosX, PosY, PosZ);
    if (SecondaryBuffer) SecondaryBuffer->Play(LoopingFlag ? sound::DSBPLAY_LOOPING : 0);
}

void clsDSWave8::StopSound() {
    if (!SecondaryBuffer) return;
    SecondaryBuffer->Stop();
    SecondaryBuffer->SetCurrentPosition(0);
}

void clsDSWave8::setListenerPos(float x, float y, float z) {
    if (Listener) Listener->SetPosition(x, y, z);
}

void clsDSWave8::SetListenerOrientation(float a, float b, float c, float d, float e, float f) {
    // Given in the engine's axes, as the camera holds them; the device converts
    // them to its own, so left stays left whichever way the camera faces.
    if (Listener) Listener->SetOrientation(a, b, c, d, e, f);
}

void clsDSWave8::SetDistances(float maximumDistance, float minimumDistance) {
    if (!Buffer3D) return;
    Buffer3D->SetMaxDistance(maximumDistance);
    Buffer3D->SetMinDistance(minimumDistance);
}

}  // namespace quorvel
