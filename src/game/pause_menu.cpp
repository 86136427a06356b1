// The pause menu and, while the ship is lost, the game-over menu: one frame per call
// from the frame loop for as long as MenuRequested is set.

#include <cmath>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/in_game_menu.h"
#include "game/state.h"
#include "platform/forms/forms.h"
#include "platform/system/clock.h"
#include "platform/system/process.h"
#include "common/common.h"

namespace quorvel {

namespace {

// The warp-out's start is kept in whole seconds; the pause's share waits here until
// it makes a whole second, so a long pause still holds the warp-out within a second.
double WarpOutCarry = 0;
int WarpOutCarryFor = 0;

void ShiftRunningSequences(double seconds) {
    ShiftEnemyTimers(seconds);
    LevelEnd.CutsceneStartTime += seconds;
    LevelEnd.EndCutsceneStartTime += seconds;
    Hazards.FlybyExplosionTime += seconds;
    Tutorial.TutorialClock += seconds;
    Tutorial.StepWaitStart += seconds;
    Effects.BreakupStartTime += seconds;
    if (!LevelEnd.LevelEnding || LevelEnd.WarpOutStart != WarpOutCarryFor) WarpOutCarry = 0;
    if (LevelEnd.LevelEnding) {
        WarpOutCarry += seconds;
        const double whole = std::floor(WarpOutCarry);
        LevelEnd.WarpOutStart += int(whole);
        WarpOutCarry -= whole;
        WarpOutCarryFor = LevelEnd.WarpOutStart;
    }
}

// Moves every running clock of the level on by a time spent in the menu.
void HoldClocks(double seconds) {
    for (int kind = 1; kind <= 4; ++kind)
        PowerUps.PowerUpStart[std::size_t(kind)] += seconds;
    Level.LevelStartTime += seconds;
    ShiftRunningSequences(seconds);
}

// A screen opened from the menu (options, save list, load list) is pause too, however
// long it stays: its time is held like the menu's own frames. A game loaded there has
// closed the menu and set up clocks of its own.
template <typename Screen>
void RunScreenOverMenu(Screen screen) {
    const double start = sys::WallClock();
    screen();
    const double took = sys::WallClock() - start;
    if (!Screens.MenuRequested || took <= 0) return;
    HoldClocks(took);
    InGameMenu.PauseLastTime += took;
}

// The lost ship back in the level where it was lost; the level goes on as it stood.
void RestartShip() {
    InGameMenu.GameOverMusicOn = false;
    if (DXAudioObj) {
        DXAudioObj->StopForeground();
        DXAudioObj->ResumeBackground();
    }
    Hazards.DeathSeqFlag = false;
    // Otherwise the enforcer's finished fly-by would count the ship as lost again.
    ClearBoundsAndFlyby();
    CheckLevelComplete();
    Ship.HullDamage = 1.0f;
    ResetShield();
    CheckShield();
    Level.ShipDestroyed = false;
    Level.ExplosionActive = false;
    // After the completion test on purpose: a bonus it paid is lost with the rest.
    Campaign.Money = 0;
    SoundObj->ClearSounds();
    LoadGameSounds();
    for (int i = 1; i <= 4; ++i)
        if (MeshObj->SelectMesh("redexp" + std::to_string(i))) MeshObj->SetVisible(false);
    for (int i = 1; i <= 20; ++i)
        if (MeshObj->SelectMesh("shipchk" + std::to_string(i))) MeshObj->SetVisible(false);
    ResetCamera();
}

// Two seconds for the click to be heard, then the program ends.
[[noreturn]] void ExitProgram(const char* why) {
    WaitPast(WallClockSecond(), 1.0);
    WaitPast(WallClockSecond(), 1.0);
    sys::PumpMessages();
    DropEngineObjects({.sounds = true});
    forms::ShowCursor(true);
    sys::EndProcess(0, why);
}

// Acts on the clicked item, the tests in this order on the then current choice: a
// click on any item but help, or on the help picture, puts the help picture away.
// False when this call ends here.
bool ActOnChoice(bool gameOver) {
    int& c = InGameMenu.MenuChoice;
    if (c == 1) {
        if (gameOver) RestartShip();
        Screens.MenuRequested = false;
        InGameMenu.HelpShown = false;
        CloseMenuPointer();
        return false;
    }
    if (c == 2) RunScreenOverMenu([] { LoadGameMenu(1, true); });
    if (!gameOver) {
        if (c == 3) {
            RunScreenOverMenu([] {
                int slot = 1;
                SaveGameMenu(slot);
            });
        }
        InGameMenu.HelpShown = c == 4;
        if (c == 5) RunScreenOverMenu(ShowLevelOptions);
    } else {
        InGameMenu.HelpShown = c == 3;
        if (InGameMenu.HelpShown && Draw2DObj->SelectImage("mouse")) Draw2DObj->SetImageTexture(0, "ms1");
        if (c == 4) RunScreenOverMenu(ShowLevelOptions);
        if (c == 5) c = 6;
    }
    if (c == 6) {
        ExitProgram(gameOver ? "exit chosen in the game-over menu" : "exit chosen in the pause menu");
    }
    return true;
}

}  // namespace

void AdjustTimersAfterPause() {
    const double d = Campaign.FrameStartTime - InGameMenu.PauseLastTime;
    // The gap between two openings and a frame of a second or more are not pause.
    if (InGameMenu.PauseLastTime > 0 && InGameMenu.PauseLastTime < Campaign.FrameStartTime && d < 1.0) {
        HoldClocks(d);
    }
    InGameMenu.PauseLastTime = Campaign.FrameStartTime;
}

void RunPauseMenu() {
    AdjustTimersAfterPause();
    const bool gameOver = Level.ShipDestroyed;
    if (gameOver && !InGameMenu.GameOverMusicOn) {
        if (DXAudioObj) {
            DXAudioObj->PauseBackground();
            DXAudioObj->PlayForeground("gameover.wma");
        }
        InGameMenu.GameOverMusicOn = true;
    }

    InGameMenu.GameMouse = InputObj->GetMouseState(0);
    PlaceMenuPointer(InGameMenu.GameMouse, InGameMenu.GameMenuX, InGameMenu.GameMenuY);

    int choice = 0;
    if (!InGameMenu.HelpShown)
        choice = HoverMenuRow(InGameMenu.InGameMenus[gameOver ? 1 : 0], InGameMenu.GameMenuX,
                              InGameMenu.GameMenuY) +
                 1;
    InGameMenu.MenuChoice = choice;

    if (InGameMenu.GameMouse.Button0) {
        if (InGameMenu.MenuClickTimer > 3.0f) {
            InGameMenu.MenuClickTimer = 0;
            PlayClick();
            if (!ActOnChoice(gameOver)) return;
        }
    } else {
        InGameMenu.MenuClickTimer += Campaign.FrameFactor * 1.5f;
    }

    // A game loaded from the menu has closed it: no picture over the loaded level.
    if (Screens.MenuRequested && Draw2DObj->SelectImage("menu")) {
        Draw2DObj->SetImageVisible(true);
        Draw2DObj->SetImageTexture(0, Level.ShipDestroyed ? "gomenu1" : "menu1");
        if (InGameMenu.HelpShown) Draw2DObj->SetImageTexture(0, "help");
    }
}

}  // namespace quorvel
