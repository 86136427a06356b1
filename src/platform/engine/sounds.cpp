// Effect sounds, played through the installed audio sink.

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/system/paths.h"

namespace quorvel {

using engine::SoundItem;
using engine::State;

namespace {
engine::Pool<SoundItem>& Sounds() {
    return State().scene.sounds;
}
}  // namespace

int EngineSounds::LoadSound(const std::string& key, const std::string& path, int, int) {
    auto& s = State();
    // The sink loads under the id the new item will get, so a failure uses up no id.
    const int id = Sounds().NextId();
    std::string reason;
    if (key.empty() || !s.audio->Load(id, sys::ResolvePath(path), &reason)) {
        engine::RecordFailedLoad("sounds", key, path, "sound", reason);
        Sounds().Fail();
        return -1;
    }
    SoundItem& item = Sounds().Create(key);
    item.path = path;
    return item.id;
}

bool EngineSounds::SelectSound(const std::string& key) {
    return Sounds().Select(key);
}
bool EngineSounds::SelectSoundById(int id) {
    return Sounds().SelectId(id);
}
int EngineSounds::GetSoundCount() const {
    return Sounds().Count();
}

void EngineSounds::PlaySound(int, bool loop) {
    SoundItem* item = Sounds().Current();
    if (!item) return;
    // A looping sound that already loops goes on; anything else starts from the start.
    if (loop && item->looping) return;
    State().audio->Play(item->id, loop);
    item->looping = loop;
}

void EngineSounds::StopSound() {
    SoundItem* item = Sounds().Current();
    if (!item) return;
    State().audio->Stop(item->id);
    item->looping = false;
}

void EngineSounds::RemoveSound() {
    SoundItem* item = Sounds().Current();
    if (!item) return;
    State().audio->Release(item->id);
    Sounds().RemoveCurrent();
}

void EngineSounds::PrepareSoundPool(int) {}

void EngineSounds::ClearSounds() {
    for (const SoundItem& item : Sounds().Items())
        State().audio->Release(item.id);
    Sounds().Clear();
}

}  // namespace quorvel
