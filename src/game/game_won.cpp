// The game-won pages after the last level: Enter turns a page, at most one a second,
// and the Enter on the last page ends the program.

#include <string>

#include "audio/audio.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/system/process.h"

namespace quorvel {

void ShowGameWon() {
    if (!LevelEnd.GameWonStarted) {
        LevelEnd.GameWonStarted = true;
        LevelEnd.GameWonPageTime = Campaign.FrameStartTime;
    }
    if (Draw2DObj->SelectImage("cpit")) Draw2DObj->SetImageVisible(false);
    if (DXAudioObj) DXAudioObj->PauseBackground();
    if (Draw2DObj->SelectImage("gamewon")) {
        Draw2DObj->SetImageTexture(0, "won" + std::to_string(LevelEnd.GameWonPage));
        Draw2DObj->SetImageVisible(true);
    }
    // An Enter still held from the screen before turns the first page only after a second.
    const bool enter = InputObj->IsKeyDown(key::Return) || InputObj->IsKeyDown(key::NumpadEnter);
    if (enter && Campaign.FrameStartTime - LevelEnd.GameWonPageTime > 1.0) {
        LevelEnd.GameWonPageTime = Campaign.FrameStartTime;
        LevelEnd.GameWonPage += 1;
        // Past the last page the campaign is over, and so is the program.
        if (LevelEnd.GameWonPage > 4) sys::EndProcess(0, "the campaign is won and its last page read");
    }
}

}  // namespace quorvel
