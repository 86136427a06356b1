#pragma once
// Shared between the parts of the SDL back end; nothing outside src/platform/sdl uses it.

#include <SDL.h>

namespace quorvel::sdl::detail {

// SDL's video is up (InstallSdlBackEnd succeeded).
bool VideoReady();
// The video driver shows nothing on a real screen (offscreen, dummy): the display
// then offers a fixed list of window sizes and never goes full screen.
bool Headless();
// The window and its context exist and the context is current.
bool EnsureContext();
// Counts the contexts made so far: GL objects of an older context are gone.
int ContextGeneration();

// Binds the off-screen frame the engine draws into, (re)made at this size; false when
// it cannot be made (no context, a size the driver refuses).
bool BindFrameTarget(int width, int height);
// Shows the whole window black, nothing drawn over it.
void ShowBlack();
// The frame in the off-screen target is complete and may be shown.
void FrameDrawn();

// The engine started (pointer held) or stopped (pointer free, window left windowed).
void EngineRunning(bool running);

// The X window system's errors (x11_errors.cpp). Installs the program's own handlers on
// the x11 driver, after SDL_Init: an error is noted and ends the program at the next
// pump; a lost connection ends it at once.
void CatchWindowSystemErrors();
// The game window, whose destruction an error then names as such.
void WatchGameWindow(SDL_Window* window);
// What the error handler notes: the first error only, until it is acted on.
void NoteWindowSystemError(int code, int request, int minor, unsigned long resource);
// Ends the program (status 1, saying which error) when an error was noted.
void EndOnWindowSystemError();
// Waits for the replies to every request so far, their errors going to our handler
// (before SDL_Quit, which puts Xlib's own handler back).
void CatchPendingWindowSystemErrors();

// One pass of the message pump.
void Pump();
// Restores the display and stops SDL (process end).
void Shutdown();

// Input (input.cpp).
int KeyFromScancode(SDL_Scancode code);
void HandleInputEvent(const SDL_Event& event);
void RefreshGamePads();
void CloseGamePads();

}  // namespace quorvel::sdl::detail
