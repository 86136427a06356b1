#include "shell/main_menu.h"

#include "platform/engine/engine.h"
#include "platform/engine/scancodes.h"
#include "platform/forms/forms.h"
#include "platform/system/process.h"

namespace quorvel {

// Stand-in until the menu itself is written: shows the running engine frame after
// frame and leaves the program on Escape.
void MainMenu(int, bool, bool) {
    EngineFrame frame;
    EngineInput input;
    while (!input.IsKeyDown(key::Escape)) {
        frame.BeginFrame();
        frame.RenderScene();
        frame.EndFrame();
    }
    EngineCore().StopEngine();
    forms::ShowCursor(true);
    sys::EndProcess(0);
}

}  // namespace quorvel
