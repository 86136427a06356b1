#pragma once
// How input reaches the engine: a window back end (or a test script) reports key
// changes, mouse motion, buttons, wheel and game pads here; EngineInput reads the
// state back. Everything runs on the engine's one thread.

#include <functional>
#include <string>

#include "platform/engine/records.h"

namespace quorvel::engine {

// Key by scan code (platform/engine/scancodes.h).
void FeedKey(int scanCode, bool down);
// Relative mouse motion in pixels; the pointer moves by it and stays on the screen.
void FeedMouseMotion(int dx, int dy);
// Where the system pointer is, in a window area of width x height: the pointer goes
// there, scaled to screen pixels. Mice, tablets and remote pointers all arrive so.
void FeedMousePosition(int x, int y, int areaWidth, int areaHeight);
// Called with the screen point that EngineInput::SetMousePosition placed the pointer
// at, so the back end moves the system pointer there too and later positions count
// from it. Empty by default.
void SetPointerPlacer(std::function<void(int x, int y)> placer);
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
