#pragma once
// The SDL and OpenGL back end of the engine: one window, the renderer, the display
// adapters and modes, keyboard, mouse and game-controller input.

namespace quorvel::sdl {

// Starts SDL and plugs the renderer and the display into the engine, installs the
// message pump (SDL events, input) and restores the display when the process ends.
// False when SDL has no video at all; the null back ends then stay in place.
// Call once, before the launch pad shows.
bool InstallSdlBackEnd();

// Frames per second that Present() holds to when the display gives no vertical sync
// (off-screen drivers); 0 shows every frame at once (benchmarks). Default 60.
void SetFrameLimit(int framesPerSecond);

}  // namespace quorvel::sdl
