#pragma once
// The game's one window and its OpenGL 3.3 core context, for whatever else draws in
// it (the forms host draws the launch pad and the dialogs with Dear ImGui here).
//
// How a frame reaches the window: the engine's renderer draws each frame into an
// off-screen picture of the display mode's size. Present() shows the last finished
// picture scaled to the window (black before the first frame), calls the
// overlay hook, then swaps. EndFrame presents every engine frame; a loop that draws
// no engine frames (the launch pad, a modal dialog over the 3D view) calls Present()
// itself, after its pump.
//
// Input: every SDL event goes to the event hook first (ImGui_ImplSDL2_ProcessEvent
// belongs there). When the hook returns true the event is taken and the engine's
// input does not see it. A request to close the window ends the program whatever
// the hook answers.
//
// All of this runs on the one game thread; InstallSdlBackEnd() (backend.h) comes first.

#include <functional>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace quorvel::sdl {

// The window, created hidden at the first call (the forms host shows and sizes it as
// it needs; the engine start sizes it to the display mode and shows it). Null when
// SDL has no video or no OpenGL.
SDL_Window* Window();
// The window's OpenGL context (an SDL_GLContext), current on the game thread.
void* GLContext();
// Makes the context current again (after another library changed it).
bool MakeCurrent();

// Sees every SDL event before the engine does; returns true to take it.
void SetEventHook(std::function<bool(const SDL_Event&)> hook);
// Draws over every frame shown, after the engine's 2D layer, with the window's own
// framebuffer bound and the viewport covering the drawable.
void SetOverlayHook(std::function<void()> draw);
// Runs at the end of every message pump, after the SDL events (forms::DoEvents).
void SetPumpTail(std::function<void()> tail);

// Shows the last engine frame again with the overlay on top, and swaps.
void Present();

// The last engine frame: RGBA rows from the top, of the display mode's size, opaque as
// the window shows it. False before the first frame.
bool ReadLastFrame(std::vector<unsigned char>& rgba, int& width, int& height);

// The system pointer: shown (free to leave the window; the engine's pointer stays
// where it is) or hidden and held in the window while the engine runs, its relative
// motion moving the engine's pointer. Hidden is the default once the engine starts;
// the forms host shows it while a dialog is open over the 3D view.
void ShowSystemPointer(bool show);

}  // namespace quorvel::sdl
