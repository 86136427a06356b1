// The game-won pages after the last level: Enter turns a page, at most one a second.

#include <string>

#include "audio/audio.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"

namespace quorvel {

void ShowGameWon() {
    if (GameWonPage > 4) {
        ReturnToMainMenu();
        return;
    }
    if (!GameWonStarted) {
        GameWonStarted = true;
        GameWonPageTime = FrameStartTime;
    }
    if (Draw2DObj->SelectImage("cpit")) Draw2DObj->SetImageVisible(false);
    if (DXAudioObj) DXAudioObj->PauseBackground();
    if (Draw2DObj->SelectImage("gamewon")) {
        Draw2DObj->SetImageTexture(0, "won" + std::to_string(GameWonPage));
        Draw2DObj->SetImageVisible(true);
    }
    // An Enter still held from the screen before turns the first page only after a second.
    const bool enter = InputObj->IsKeyDown(key::Return) || InputObj->IsKeyDown(key::NumpadEnter);
    if (enter && FrameStartTime - GameWonPageTime > 1.0) {
        GameWonPageTime = FrameStartTime;
        GameWonPage += 1;
        if (GameWonPage > 4) ReturnToMainMenu();
    }
}

}  // namespace quorvel
