#pragma once
// How input reaches the engine: a window back end (or a test script) reports key
// changes, mouse motion, buttons, wheel and game pads here; EngineInput reads the
// state back. Everything runs on the engine's one thread.

#include <string>

#include "platform/engine/records.h"

namespace quorvel::engine {

// Key by scan code (platform/engine/scancodes.h).
void FeedKey(int scanCode, bool down);
// Relative mouse motion in pixels; the pointer moves by it and stays on the screen.
void FeedMouseMotion(int dx, int dy);
// Button 0 left, 1 right.
void FeedMouseButton(int button, bool down);
// Wheel clicks, positive away from the user; summed until the next GetMouseState.
void FeedMouseWheel(int clicks);
// Lets go of every key and button (the window lost the focus).
void ReleaseAllInput();

// A game pad the back end found, with its name, axis and button counts.
void ConnectGamePad(int pad, const std::string& name, int axes, int buttons);
void DisconnectGamePad(int pad);
// The pad's latest state.
void FeedGamePad(int pad, const GamePadState& state);

}  // namespace quorvel::engine
