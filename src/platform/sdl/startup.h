#pragma once
// The game's start on the player's desktop: the SDL back end in a window the player
// can see, and message boxes as real boxes over it.

#include <string>

namespace quorvel::sdl {

// Installs the SDL back end (InstallSdlBackEnd) and shows the game's message boxes
// over the game window (and on the terminal). A game that nobody can see would look
// like a hang, so drawing off screen is allowed only when SDL_VIDEODRIVER asks for it
// by name; without a display, or when video does not start, the program ends (code 1)
// with the reason on the terminal.
void StartOnDesktop();

// Ends the program (code 1) with "quorvel: <reason>: <what SDL reported last>" on the
// terminal: for what fails later in the start-up, such as the window's OpenGL context.
[[noreturn]] void EndForStartFailure(const std::string& reason);

}  // namespace quorvel::sdl
