#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/al/engine_audio_sink.h"
#include "platform/al/openal_device.h"
#include "platform/engine/backends.h"
#include "platform/ff/decoders.h"
#include "platform/forms/forms.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/forms_host.h"
#include "platform/sdl/window.h"
#include "platform/system/msgbox.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/launch_pad.h"
#include "shell/tip.h"

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Ends the program with a message the player can read in the terminal.
[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "quorvel: %s\n", message.c_str());
    quorvel::sys::EndProcess(1);
}

}  // namespace

// The launch pad is the start-up object: showing it loads it, and from then on the
// program lives in its event handlers until one of them ends the process.
int main() {
    using namespace quorvel;
    sys::Randomize();

    // SDL falls back to drawing off screen when no desktop answers; a game that nobody
    // can see would look like a hang, so that is only allowed when asked for by name.
    const bool driverChosen = Set("SDL_VIDEODRIVER");
    if (!driverChosen && !Set("DISPLAY") && !Set("WAYLAND_DISPLAY"))
        Fail("no display to open the game window on (DISPLAY is not set)");
    if (!sdl::InstallSdlBackEnd()) Fail(std::string("the video system does not start: ") + SDL_GetError());
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driverChosen && driver &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        Fail(std::string("cannot reach the display ") + (Set("DISPLAY") ? std::getenv("DISPLAY") : "") +
             (Set("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : ""));

    // Message boxes are real boxes over the game window (and still go to the terminal).
    sys::SetMessageBoxHook([](const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), sdl::Window());
    });

    // Sound: the real output device (a silent one when none opens), every media format,
    // and the engine's short effects on the same device.
    al::UseOpenAL();
    ff::UseFFmpegDecoders();
    engine::InstallBackEnds(nullptr, nullptr, al::MakeEngineAudioSink());

    // Its pump tail runs forms::DoEvents(): the forms need it on every pump.
    sdl::ImGuiFormsHost host;
    if (!host.Ready()) Fail(std::string("cannot open an OpenGL 3.3 window: ") + SDL_GetError());
    host.SetMainForm(&VeltorInitial);

    VeltorInitial.Show();
    // The tip of the day showed itself while the launch pad loaded; the launch pad came up
    // over it when it appeared, so bring the tip back in front where the player sees it.
    if (frmTip.Visible()) forms::Activate(frmTip);
    for (;;)
        sys::IdleWait();
}
