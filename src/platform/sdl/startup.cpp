#include "platform/sdl/startup.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/backend.h"
#include "platform/sdl/window.h"
#include "platform/system/msgbox.h"
#include "platform/system/process.h"

namespace quorvel::sdl {
namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Ends the program with a message the player can read in the terminal.
[[noreturn]] void Fail(const std::string& message) {
    sys::EndProcess(1, message);
}

}  // namespace

void StartOnDesktop() {
    // SDL falls back to drawing off screen when no desktop answers; a game that nobody
    // can see would look like a hang, so that is only allowed when asked for by name.
    const bool driverChosen = Set("SDL_VIDEODRIVER");
    if (!driverChosen && !Set("DISPLAY") && !Set("WAYLAND_DISPLAY"))
        Fail("no display to open the game window on (DISPLAY is not set)");
    if (!InstallSdlBackEnd()) EndForStartFailure("the video system does not start");
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driverChosen && driver &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        Fail(std::string("cannot reach the display ") + (Set("DISPLAY") ? std::getenv("DISPLAY") : "") +
             (Set("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : ""));

    // Message boxes are real boxes over the game window (and still go to the terminal).
    sys::SetMessageBoxHook([](const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), Window());
    });
}

void EndForStartFailure(const std::string& reason) {
    Fail(reason + ": " + SDL_GetError());
}

}  // namespace quorvel::sdl
