#pragma once
// A device that plays nothing audible but keeps time like a real one: sources
// run for their buffer's length and streams pull their samples at the pace they
// would be heard. The program falls back to it when no output opens.

#include <memory>

#include "platform/sound/audio_device.h"

namespace quorvel::sound {

std::shared_ptr<AudioDevice> MakeNullAudioDevice();

}  // namespace quorvel::sound
