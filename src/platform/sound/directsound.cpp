#include "platform/sound/directsound.h"

#include "platform/system/paths.h"

namespace quorvel::sound {
namespace {

// Positional sources are heard from one point: two channels become one.
PcmData ToMono(const PcmData& pcm) {
    if (pcm.channels != 2) return pcm;
    PcmData mono;
    mono.sampleRate = pcm.sampleRate;
    mono.channels = 1;
    mono.samples.resize(pcm.Frames());
    for (std::size_t i = 0; i < mono.samples.size(); ++i)
        mono.samples[i] = static_cast<std::int16_t>((int(pcm.samples[2 * i]) + pcm.samples[2 * i + 1]) / 2);
    return mono;
}

}  // namespace

void DirectSound3DListener8::SetPosition(float x, float y, float z) {
    device_->SetListenerPosition({x, y, z});
}

void DirectSound3DListener8::SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz) {
    device_->SetListenerOrientation({fx, fy, fz}, {tx, ty, tz});
}

std::shared_ptr<DirectSound3DListener8> DirectSoundPrimaryBuffer8::GetDirectSound3DListener() {
    if (!(flags_ & DSBCAPS_CTRL3D)) return nullptr;
    return std::make_shared<DirectSound3DListener8>(device_);
}

DirectSound3DBuffer8::DirectSound3DBuffer8(std::shared_ptr<AudioSource> source) : source_(std::move(source)) {
    source_->SetDistances(minDistance_, maxDistance_);
    ApplyCone();
}

void DirectSound3DBuffer8::SetPosition(float x, float y, float z) {
    source_->SetPosition({x, y, z});
}

void DirectSound3DBuffer8::SetMinDistance(float distance) {
    if (distance <= 0) return;
    minDistance_ = distance;
    source_->SetDistances(minDistance_, maxDistance_);
}

void DirectSound3DBuffer8::SetMaxDistance(float distance) {
    if (distance <= 0) return;
    maxDistance_ = distance;
    source_->SetDistances(minDistance_, maxDistance_);
}

void DirectSound3DBuffer8::SetConeAngles(int insideDegrees, int outsideDegrees) {
    if (insideDegrees < 0 || outsideDegrees > 360 || insideDegrees > outsideDegrees) return;
    insideDegrees_ = insideDegrees;
    outsideDegrees_ = outsideDegrees;
    ApplyCone();
}

void DirectSound3DBuffer8::SetConeOutsideVolume(int volume) {
    if (volume < -10000 || volume > 0) return;
    outsideVolume_ = volume;
    ApplyCone();
}

void DirectSound3DBuffer8::SetConeOrientation(float x, float y, float z) {
    coneOrientation_ = {x, y, z};
    ApplyCone();
}

void DirectSound3DBuffer8::ApplyCone() {
    source_->SetCone(float(insideDegrees_), float(outsideDegrees_), GainFromHundredthsDb(outsideVolume_),
                     coneOrientation_);
}

DirectSoundSecondaryBuffer8::DirectSoundSecondaryBuffer8(std::shared_ptr<AudioSource> source,
                                                         const WAVEFORMATEX& format, int flags)
    : source_(std::move(source)), format_(format), flags_(flags) {}

DirectSoundSecondaryBuffer8::~DirectSoundSecondaryBuffer8() {
    source_->Halt();
}

void DirectSoundSecondaryBuffer8::Play(int flags) {
    source_->Play((flags & DSBPLAY_LOOPING) != 0);
}

void DirectSoundSecondaryBuffer8::Stop() {
    source_->Halt();
}

void DirectSoundSecondaryBuffer8::SetCurrentPosition(int position) {
    // Only the start is ever asked for.
    if (position == 0) source_->Rewind();
}

bool DirectSoundSecondaryBuffer8::Playing() {
    return source_->Playing();
}

std::shared_ptr<DirectSound3DBuffer8> DirectSoundSecondaryBuffer8::GetDirectSound3DBuffer() {
    if (!(flags_ & DSBCAPS_CTRL3D)) return nullptr;
    return std::make_shared<DirectSound3DBuffer8>(source_);
}

bool DirectSound8::SetCooperativeLevel(int, int level) {
    return level >= 1 && level <= 3;
}

std::shared_ptr<DirectSoundSecondaryBuffer8> DirectSound8::CreateSoundBufferFromFile(
    const std::string& path, const DSBUFFERDESC& desc) {
    if (desc.lFlags & DSBCAPS_PRIMARYBUFFER) return nullptr;
    auto wave = ReadWaveFile(sys::ResolvePath(path));
    if (!wave) return nullptr;
    const bool positional = (desc.lFlags & DSBCAPS_CTRL3D) != 0;
    const PcmData pcm = positional ? ToMono(wave->pcm) : wave->pcm;
    auto buffer = device_->CreateBuffer(pcm);
    if (!buffer) return nullptr;
    std::shared_ptr<AudioSource> source = device_->CreateSource();
    source->SetBuffer(buffer);
    source->SetPositional(positional);

    WAVEFORMATEX format;
    format.nFormatTag = wave->format.formatTag;
    format.nChannels = pcm.channels;
    format.lSamplesPerSec = wave->format.samplesPerSec;
    format.nBitsPerSample = wave->format.bitsPerSample;
    format.nSize = wave->format.extraSize;
    return std::make_shared<DirectSoundSecondaryBuffer8>(std::move(source), format, desc.lFlags);
}

std::shared_ptr<DirectSoundPrimaryBuffer8> DirectSound8::CreatePrimarySoundBuffer(const DSBUFFERDESC& desc) {
    if (!(desc.lFlags & DSBCAPS_PRIMARYBUFFER)) return nullptr;
    return std::make_shared<DirectSoundPrimaryBuffer8>(device_, desc.lFlags);
}

std::shared_ptr<DirectSound8> DirectX8::DirectSoundCreate(const std::string& device) {
    if (!device.empty()) return nullptr;
    auto shared = SharedAudioDevice();
    if (!shared) return nullptr;
    return std::make_shared<DirectSound8>(std::move(shared));
}

}  // namespace quorvel::sound
