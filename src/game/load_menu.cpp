// Loading a saved game while a run goes on: the saved campaign state goes into the
// running game and the saved level is set up again from its beginning, inside the
// running frame loop.

#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "game/game.h"
#include "game/in_game_menu.h"
#include "game/state.h"

namespace quorvel {
namespace {

void ShowImage(const char* key, bool visible) {
    if (Draw2DObj->SelectImage(key)) Draw2DObj->SetImageVisible(visible);
}

void StopSystem(const std::string& name) {
    if (ParticleObj->SelectSystem(name)) ParticleObj->SetEmitting(false);
}

void StopSmoke(std::size_t first, std::size_t last) {
    for (std::size_t k = first; k <= last; ++k) {
        Effects.SmokeFx[k].Active = false;
        if (ParticleObj->SelectSystemById(Effects.SmokeFx[k].SystemId)) ParticleObj->SetEmitting(false);
    }
}

// Ends every boss fight as if it had never started. A kill would pay its money, test
// the old level for completion, change the music or start the next boss; none of that
// belongs to a load.
void EndBossFights() {
    Mothership.MothershipLevel = Mothership.MothershipInbound = Mothership.MothershipArriving =
        Mothership.MothershipArmed = Mothership.MothershipInRange = false;
    Mothership.MothershipBreakingUp = Mothership.MothershipCharging = Mothership.MothershipFireReady =
        Mothership.MothershipKillHold = false;
    Mothership.MothershipMusicOn = false;
    for (const char* name : {"enginemas1b", "enginemas2b"})
        StopSystem(name);
    for (int k = 1; k <= 4; ++k)
        StopSystem("mastipb" + std::to_string(k));
    StopSmoke(5, 8);
    Hud.HudPointers[18].PointerOn = false;

    Battleship.BattleshipActive = Battleship.BattleshipPending = false;
    for (int k = 1; k <= 4; ++k)
        StopSystem("battle" + std::to_string(k));
    StopSmoke(9, 12);
    if (Campaign.PositionalSounds[1]) Campaign.PositionalSounds[1]->StopSound();
    Hud.HudPointers[19].PointerOn = false;

    GiantAsteroid.GiantAsteroidPending = GiantAsteroid.GiantAsteroidFlying =
        GiantAsteroid.GiantAsteroidActive = false;
    GiantAsteroid.GiantAsteroidId = -1;
}

// The ship back in play: a load from the game-over menu ends the loss, its explosion and
// its music; the bounds enforcer and the fly-by stop.
void EndShipLoss() {
    Level.ShipDestroyed = false;
    Screens.DeathDone = false;
    Level.ExplosionActive = false;
    Effects.SparksActive = false;
    Effects.BreakupRunning = false;
    for (auto* wave : {&Effects.ShockWave, &Effects.MothershipShockWave})
        if (*wave) (*wave)->Active = false;
    for (auto& wave : Effects.WeaponShockWaves)
        if (wave) wave->Active = false;
    ClearBoundsAndFlyby();
    if (InGameMenu.GameOverMusicOn && DXAudioObj) {
        DXAudioObj->StopForeground();
        DXAudioObj->ResumeBackground();
    }
    InGameMenu.GameOverMusicOn = false;
}

// A level starts with its music: a warp-out, a cut-scene or a boss's arrival that paused
// it for a clip of its own has ended with the load, clip and all.
void ResumeLevelMusic() {
    if (!DXAudioObj || !DXAudioObj->BackgroundPaused()) return;
    DXAudioObj->StopForeground();
    DXAudioObj->ResumeBackground();
}

void PutIntoRunningGame(const SaveGameValues& saved) {
    TakeOwnedWeapons(saved);
    HideAllAliens();
    EndBossFights();
    EndShipLoss();
    ResumeLevelMusic();
    // Whatever the beam holds goes with the level's meshes.
    if (Arsenal.GravityBeam) Arsenal.GravityBeam->Init();

    Campaign.CurrentLevel = saved.level - 1;
    ReloadEffectObjects();
    StartLevel();  // the saved level, from its beginning
    Ship.HullDamage = 1.0f;
    ResetShield();
    CheckShield();
    LevelEnd.LevelEnding = false;
    Campaign.GameWon = false;
    LevelEnd.GameWonStarted = false;
    ResetCamera();
    // From its beginning means at rest too: the speed of the ship before the load would
    // carry it off the start pose at once.
    StopShip();
    Campaign.Money = saved.money;
    Screens.MenuRequested = false;
    ShowImage("menu", false);
    CloseMenuPointer();
    ResetScout();
    Level.AsteroidsLeft = Level.AsteroidCount;
    Arsenal.CapacityLevel = saved.capacityLevel;
    SetWeaponEnergy(0, 0);
}

}  // namespace

void LoadGameMenu(int slot, bool reload) {
    // The frame loop refills the weapon stores at its next frame, also after Escape.
    Arsenal.CapacityApplied = false;
    const SaveSlotList slots = ReadSaveSlots();
    ShowImage("menu", false);
    ShowImage("mouse", false);

    bool chosen = false;
    if (slot > 0) {
        chosen = RunSaveSlotList(InGameSlotListPlace(), SlotListUse::Load, slots, slot);
        // Back to the pause menu that opened the list; a load closes it again below.
        ShowImage("menu", true);
        ShowImage("mouse", true);
    } else {
        // Only a good quick save loads; an empty or damaged one changes nothing. The
        // load key is also pressed in flight, where the menu picture and the pointer
        // stay hidden (an open pause menu shows them again itself).
        chosen = slot == 0 && slots[0].state == SaveSlotState::Good;
    }
    if (!chosen) return;

    Draw2DObj->DrawText(
        Vector2{Display.ScreenCentreX - 80.0f, Display.ScreenCentreY - Display.ScreenCentreY / 2.0f},
        GameText("loading"));
    FrameObj->EndFrame();
    if (reload) PutIntoRunningGame(slots[std::size_t(slot)].values);
    // The caller draws and ends its frame on the loaded level.
    FrameObj->BeginFrame();
    FrameObj->RenderScene();
}

}  // namespace quorvel
