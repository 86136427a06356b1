#pragma once
// The engine's effect sounds played on a sound device (by default the program's
// shared one, so effects, music and positional sounds come out of one output).

#include <memory>

#include "platform/engine/backends.h"
#include "platform/sound/audio_device.h"

namespace quorvel::al {

// Wave files only, as the engine's effects are.
std::shared_ptr<engine::AudioSink> MakeEngineAudioSink(std::shared_ptr<sound::AudioDevice> device = nullptr);

}  // namespace quorvel::al
