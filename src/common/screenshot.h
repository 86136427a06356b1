#pragma once
// Numbered screenshots: "\screenshot\Snap<n>.jpg" in the program folder.

#include "platform/engine/engine.h"

namespace quorvel {

inline constexpr int LastScreenshotNumber = 9999;

// Saves the last frame shown under the first number from `counter` on whose file
// does not exist yet, creating the folder when it is missing, and moves `counter`
// past it. Earlier pictures are never overwritten: once every number up to 9999 is
// taken, nothing more is saved.
void SaveNumberedScreenshot(EngineFrame& frame, int& counter);

}  // namespace quorvel
