// One frame of a game run. Phase A (clock, listener, frame factor, music) and phase C
// (cut-scenes, screens, transition, render, HUD, keys, map) run in every frame; phase B,
// the play itself, only while nothing holds the game (death, bounds, level end, menu,
// shop, game won, giant asteroid, cut-scene).

#include <array>
#include <cmath>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "common/texts.h"
#include "game/game.h"
#include "game/run_loop.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"

namespace quorvel {

namespace {

int ScreenshotCounter = 0;
// Keys that act once per press: each remembers whether it was down last frame.
bool EnterWasDown = true;  // an Enter held into the run does not skip the tutorial
bool F5WasDown = false;
bool F6WasDown = false;
// The Escape that closed the shop is still down: it re-arms only when let go, or a key
// held a little longer than the re-arm time would open the pause menu as well.
bool EscapeFromShop = false;
AxisSet ShipAxes;  // the holder's axes, as the HUD pointers and weapons receive them

const std::string& Text(const char* name) {
    return GameText(name);
}

bool KeyDown(int scanCode) {
    return InputObj->IsKeyDown(scanCode);
}

void ShowImage(const char* key, bool visible) {
    if (Draw2DObj->SelectImage(key)) Draw2DObj->SetImageVisible(visible);
}

bool PlayHeld() {
    return Level.ShipDestroyed || Hazards.OutOfBounds || LevelEnd.LevelEnding || Screens.MenuRequested ||
           Screens.ShopRequested || Campaign.GameWon || GiantAsteroid.GiantAsteroidFlying ||
           Level.CutsceneRunning;
}

// ---- Phase A ---------------------------------------------------------------------------

void UpdateListener() {
    const Vector& p = Ship.CamBasis.CamPos;
    for (int i = 0; i <= 8; ++i) {
        clsDSWave8* sound = Campaign.PositionalSounds[std::size_t(i)].get();
        if (!sound) continue;
        sound->setListenerPos(p.x, p.y, p.z);
        sound->SetListenerOrientation(Ship.CamAxes.AxisFront.x, Ship.CamAxes.AxisFront.y,
                                      Ship.CamAxes.AxisFront.z, Ship.CamAxes.AxisUp.x, Ship.CamAxes.AxisUp.y,
                                      Ship.CamAxes.AxisUp.z);
    }
}

void TakeFrameFactor() {
    // A frame the engine could not time moves by the last factor it could.
    const float factor = TimerObj->GetFrameFactor(1.0f);
    if (factor != 0.0f) Campaign.FrameFactor = factor;
}

void PollMusic() {
    if (Campaign.MusicPollDue) {
        if (DXAudioObj) DXAudioObj->Poll();
        Campaign.MusicPollDue = false;
        Screens.MusicPollTimer = 0;
    } else {
        Screens.MusicPollTimer += Campaign.FrameFactor * 1.5f;
        if (Screens.MusicPollTimer >= 10) Campaign.MusicPollDue = true;
    }
}

// ---- Phase B ---------------------------------------------------------------------------

void LastFightMusic() {
    if (Campaign.CurrentLevel != LevelCountMax || !DXAudioObj) return;
    if (!Screens.LastFightStarted) {
        Campaign.MusicPollDue = false;
        DXAudioObj->StopBackground();
        Screens.LastFightStarted = true;
        DXAudioObj->PlayBackground(sys::ProgramFolder() + "\\sound\\lastfight.wma");
    }
    if (DXAudioObj->BackgroundIsStopped())
        DXAudioObj->PlayBackground(sys::ProgramFolder() + "\\sound\\alienbattleloop.wma");
}

void TutorialLevel() {
    if (Campaign.CurrentLevel != 1) return;
    Campaign.Money = 600000;
    RunTutorialSteps();
    // A fresh Enter skips the training level.
    if (KeyDown(key::Return) && !EnterWasDown) {
        Level.AsteroidsLeft = 0;
        CheckLevelComplete();
    }
}

void TakeShipAxes() {
    ShipAxes = GetMeshAxes("hold");
    Ship.CamAxes = ShipAxes;
    Flight.ProbeRays[0] = RayRec{Flight.CamPosNow, Vector{0, 0, 0} - Ship.CamAxes.AxisFront};
    BuildProbeRays();
}

void UpdateShots() {
    UpdatePlasmaShots(Arsenal.PlasmaShots[0].ShotSpeed);
    UpdateLaserShots(Arsenal.LaserShots[0].ShotSpeed);
    UpdateIonShots(Arsenal.IonShots[0].ShotSpeed);
    UpdateMionShots(Arsenal.MionShots[0].ShotSpeed);
    UpdateGammaShots(Arsenal.GammaShots[0].ShotSpeed);
    UpdateEplasShots(Arsenal.EplasShots[0].ShotSpeed);
    UpdateDisperseShots(Arsenal.DisperseShots[0].ShotSpeed);
}

void RunMothershipBlock() {
    if (Mothership.MothershipLevel && !Mothership.MothershipBreakingUp) {
        const bool last = Campaign.CurrentLevel == LevelCountMax;
        if (!Mothership.MothershipInbound && (last || Level.AsteroidsLeft < 12)) {
            Mothership.MothershipStartTime = Campaign.FrameStartTime;
            Mothership.MothershipInbound = true;
            if (!last && DXAudioObj) {
                DXAudioObj->PlayForeground("masinbound.wav");
                DXAudioObj->PauseBackground();
            }
        }
        const double wait = last ? 50.0 : 11.0;
        if (Mothership.MothershipInbound && (last || Level.AsteroidsLeft < 12) &&
            Campaign.FrameStartTime - Mothership.MothershipStartTime > wait) {
            if (!Mothership.MothershipArmed) {
                ResetMothership();
                StartMothershipHyperspaceIn();
            }
            if (Mothership.MothershipInRange)
                UpdateMothership();
            else
                MothershipApproach();
        }
    }
    if (Mothership.MothershipBreakingUp) RunMothershipBreakup();
}

void RunExplosions() {
    if (Level.ExplosionActive) {
        if (Effects.ExplosionRepick) PickExplosionSet();
        AnimateExplosionFlipbook();
    }
    if (Effects.SparksActive) UpdateHitSparks();
    if (Effects.ShockWave) Effects.ShockWave->Poll(Campaign.FrameFactor);
    if (Effects.MothershipShockWave) Effects.MothershipShockWave->Poll(Campaign.FrameFactor);
    for (int w = 1; w <= 7; ++w)
        if (Effects.WeaponShockWaves[std::size_t(w)])
            Effects.WeaponShockWaves[std::size_t(w)]->Poll(Campaign.FrameFactor);
}

void RunScoutBlock() {
    if (Campaign.CurrentLevel == LevelCountMax) {
        if (Campaign.FrameStartTime - Scout.ScoutL50Timer > 25.0) {
            if (Scout.ScoutActive)
                UpdateScout();
            else
                StartScoutInbound();
        }
        return;
    }
    if (Level.AsteroidsLeft >= 18) return;
    if (Scout.ScoutActive) {
        UpdateScout();
        if (Level.AsteroidsLeft < 1) {
            // The field is cleared: the scout's pass ends with it.
            Scout.ScoutActive = false;
            for (int n = 1; n <= 20; ++n)
                if (MeshObj->SelectMesh("scouthold" + std::to_string(n))) MeshObj->SetVisible(false);
            if (MeshObj->SelectMesh("scout")) MeshObj->SetVisible(false);
            if (Campaign.CurrentLevel == 2)
                for (const char* key : {"masbattle", "lightanim"})
                    if (MeshObj->SelectMesh(key)) MeshObj->SetVisible(false);
            if (Campaign.PositionalSounds[1]) Campaign.PositionalSounds[1]->StopSound();
        }
    } else {
        if (Scout.ScoutNextLevel > 47) Scout.ScoutNextLevel = LevelCountMax;
        if (Campaign.CurrentLevel == Scout.ScoutNextLevel) StartScoutInbound();
    }
}

void RunBattleshipBlock() {
    const bool last = Campaign.CurrentLevel == LevelCountMax;
    const double wait = last ? 3.0 : 10.0;
    if (Campaign.FrameStartTime - Battleship.BattleshipTimer > wait &&
        (!last || !Mothership.MothershipLevel)) {
        if (Battleship.BattleshipActive) UpdateBattleship();
        ReleaseBattleshipPointer();
        if (!last && Battleship.BattleshipNextLevel > 47) Battleship.BattleshipNextLevel = LevelCountMax;
        if ((last || Campaign.CurrentLevel == Battleship.BattleshipNextLevel) &&
            !Battleship.BattleshipPending) {
            StartBattleship();
            Battleship.BattleshipPending = true;
        }
    }
    // Five seconds after the mothership's fall its level ends (level 25: the gold
    // ship's cut-scene comes first).
    if (Mothership.MothershipKillHold && Campaign.FrameStartTime - Mothership.MothershipKillTime > 5.0) {
        Mothership.MothershipKillHold = false;
        Level.AsteroidsLeft = 0;
        if (DXAudioObj) DXAudioObj->StopForeground();
        if (!Mothership.MothershipBreakingUp) {
            if (Campaign.CurrentLevel == 25)
                Level.GoldCutsceneArmed = true;
            else
                CheckLevelComplete();
        }
    }
}

// What the play does between the ship's steering and the rest of its flight: the
// collisions, the aliens, the level's end and the weapon stores. False when the play
// is held from here on.
bool RunPlayAroundTheShip() {
    if (!Level.ShipCollisionsOff) CheckShipCollisions();
    DrawHudPointers(ShipAxes);
    UpdateAliens();
    if (!AlienBattlePending()) CheckLevelComplete();
    // A level ended or a ship lost in this frame has put the ship's model at the camera:
    // the rest of the play would fly into it. The collision boxes still go for the render.
    if (PlayHeld()) return false;
    RegenerateWeaponEnergy();
    if (!Arsenal.CapacityApplied) {
        SetWeaponEnergy(0, 0);
        Arsenal.CapacityApplied = true;
    }
    SetActiveAsteroidCount();
    return true;
}

// The rest of the play after the ship's flight: enemies and events.
void RunFight() {
    if (Effects.BreakupRunning) UpdateAsteroidBreakup();
    UpdateStarscape();

    RunMothershipBlock();
    RunExplosions();
    CheckPlayfieldBounds();
    SelectHudTargets();
    UpdatePowerUps();
    RunScoutBlock();
    RunBattleshipBlock();
    // Back at the start pose no collision flash is due.
    if (InRange(Ship.CamBasis.CamPos, Vector{0, 0, 0}, 11)) Flight.CollisionFlash = false;
    if (GiantAsteroid.GiantAsteroidActive) UpdateGiantAsteroid();
    // A boss's, the scout's or the battleship's shot that reached the ship costs the
    // shield through the collision flash; the flash's end clears the hit.
    if (Level.PlayerHitPending && !Ship.Invincible) Flight.CollisionFlash = true;
}

void RunPlay() {
    LastFightMusic();
    ShowMothershipDebris();
    TutorialLevel();
    if (RunShipFlight(RunPlayAroundTheShip)) RunFight();
    CheckMothershipDebris();
}

// ---- Phase C ---------------------------------------------------------------------------

void RunGiantAsteroidEvent() {
    if (!GiantAsteroid.GiantAsteroidPending || Level.AsteroidsLeft >= 1) return;
    if (!GiantAsteroid.GiantAsteroidFlying && !GiantAsteroid.GiantAsteroidActive)
        StartGiantAsteroid();
    else if (GiantAsteroid.GiantAsteroidFlying && !GiantAsteroid.GiantAsteroidActive)
        UpdateGiantAsteroidHold();
}

void RunCutscenes() {
    // A cut-scene starts once per level: CutsceneDone is set when it has run.
    const bool waiting = Level.AsteroidsLeft < 1 && !Level.CutsceneRunning && !Level.CutsceneDone &&
                         !Mothership.MothershipLevel;
    if (Campaign.CurrentLevel == 25) {
        if (waiting && !Level.GoldShipStarted && Level.GoldCutsceneArmed) StartGoldShipCutscene();
        if (Level.CutsceneRunning) UpdateGoldShipCutscene();
    } else if (Campaign.CurrentLevel == LevelCountMax) {
        if (waiting && Battleship.BattleshipDestroyed && !Battleship.BattleshipActive) StartEndCutscene();
        if (Level.CutsceneRunning) UpdateEndCutscene();
    }
}

void RunShipLoss() {
    if (!Level.ShipDestroyed) return;
    RunShipDeath(Screens.DeathDone);
    if (Screens.DeathDone) {
        Screens.MenuRequested = true;
        Screens.DeathDone = false;
    }
}

void RunScreens() {
    if (Screens.MenuRequested) {
        RunPauseMenu();
        if (!Screens.MenuRequested) ShowImage("menu", false);
    }
    if (Screens.ShopRequested) {
        RunWeaponShop();
        if (!Screens.ShopRequested) {
            ShowImage("buymenu", false);
            EscapeFromShop = KeyDown(key::Escape);
        }
    }
    ShowImage("cpit", !(Screens.MenuRequested || Screens.ShopRequested));

    if (KeyDown(key::B)) {
        Screens.ShopRequested = true;
        if (Level.TutorialSteps[4]) Level.TutorialSteps[22] = true;
    }
    if (EscapeFromShop && !KeyDown(key::Escape)) EscapeFromShop = false;
    if (KeyDown(key::Escape) && Screens.EscTimer > 5 && !EscapeFromShop) {
        ShowImage("cpit", false);
        Screens.EscTimer = 0;
        Screens.MenuRequested = true;
    }
    Screens.EscTimer += Campaign.FrameFactor * 1.5f;
}

namespace {

// The colour is whatever the HUD drew last (often the shield meter's blue, lost on
// space): warm yellow inside a dark rim instead reads over space and the pale station.
void DrawRewardText(const Vector2& at) {
    Draw2DObj->SetDrawColour(Colour{0, 0, 0, 255});
    for (const Vector2 rim : {Vector2{-2, 0}, Vector2{2, 0}, Vector2{0, -2}, Vector2{0, 2}})
        Draw2DObj->DrawText(Vector2{at.x + rim.x, at.y + rim.y}, Text("nextweap"));
    Draw2DObj->SetDrawColour(Colour{255, 224, 64, 255});
    Draw2DObj->DrawText(at, Text("nextweap"));
}

}  // namespace

void DrawHudOverlays() {
    DrawPowerUpTimers();
    UpdateProgressBar();
    // The messages and the rear view's outline draw in the colour they find, so they
    // come before the hint's yellow; the meters after it set their own colours.
    DrawFlightMessages();
    if (Screens.RewardSoundPlayed) {
        if (Campaign.FrameStartTime - Screens.RewardTime > 30.0)
            Screens.RewardSoundPlayed = false;
        else
            DrawRewardText(Vector2{float(Display.ScreenCentreX) - 150 * Display.ScaleX, 80 * Display.ScaleY});
    }
    DrawEnergyMeter();
    DrawShieldMeter();
}

void DrawStatusLine() {
    if (Campaign.GameWon || !Draw2DObj->SelectImage("font")) return;
    Draw2DObj->SetFontColour(Colour{255, 255, 255, 255}, 255);
    const Vector2 at{32 * Display.ScaleX, 32 * Display.ScaleY};
    if (LevelEnd.LevelEnding) {
        Draw2DObj->SetImagePosition(Vector2{1 * Display.ScaleX, 400 * Display.ScaleY});
        Draw2DObj->DrawFontText(LevelEndText(), at, 3, 50);
        return;
    }
    Draw2DObj->SetImagePosition(Vector2{0, 0});
    Draw2DObj->DrawFontText(RunningStatusText(), at, 3, 50);
    if (Campaign.CurrentLevel == 1) {
        Draw2DObj->SetImagePosition(Vector2{0, 300 * Display.ScaleY});
        Draw2DObj->DrawFontText(Tutorial.TutorialHint, at, 3, 50);
        Draw2DObj->SetImagePosition(Vector2{0, 0});
    }
}

void SaveAndLoadKeys() {
    const bool f5 = KeyDown(key::F5), f6 = KeyDown(key::F6);
    if (f5 && !F5WasDown) Screens.QuickSaveLatch = true;
    F5WasDown = f5;
    if (Screens.QuickSaveLatch) {
        int slot = 0;
        SaveGameMenu(slot);
    }
    if (f6 && !F6WasDown) LoadGameMenu(0, true);
    F6WasDown = f6;
}

void DrawHudMap() {
    const float W = float(Display.ScreenWidth), H = float(Display.ScreenHeight);
    auto mark = [&](const Vector& p, float k, const Colour& colour) {
        Draw2DObj->SetDrawColour(colour);
        Draw2DObj->DrawRectangle(
            Vector2{p.x / 75 + W - 128 * Display.ScaleX, p.z / 75 + H - 128 * Display.ScaleY},
            Vector2{p.x / 75 + W - k * Display.ScaleX, p.z / 75 + H - k * Display.ScaleY}, true);
    };
    const Vector& cam = Ship.CamBasis.CamPos;
    for (int i = 1; i <= Level.AsteroidCount && i <= AsteroidRecords; ++i) {
        const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        if (!a.Active) continue;
        mark(a.Pos, 132, a.Pos.y > cam.y ? Colour{0, 255, 0, 255} : Colour{255, 0, 0, 255});
    }
    const Colour own{100, 0, 255, 255};
    mark(cam, 134, own);
    if (MeshObj->SelectMeshById(Level.StationId)) mark(MeshObj->GetPosition(), 136, own);
    if (Level.FlamingAsteroid && Level.FlamingAsteroid->Active_ && !Level.FlamingAsteroid->BlowUp_ &&
        Level.FlamingAsteroid->NextLevel_ == Campaign.CurrentLevel)
        mark(Level.FlamingAsteroid->Position_, 133, Colour{254, 248, 0, 255});
}

void RunEverFrame() {
    RunGiantAsteroidEvent();
    RunCutscenes();
    if (KeyDown(key::P)) SaveNumberedScreenshot(*FrameObj, ScreenshotCounter);
    RunShipLoss();
    RunScreens();
    if (Hazards.OutOfBounds) AlienApproachWarning();
    if (Hazards.FlybyActive) AlienFlybyAttack();
    if (LevelEnd.LevelEnding) RunLevelTransition();
    if (Campaign.GameWon) {
        ShowImage("cpit", false);
        SwitchMiniCameraOff();
        ShowGameWon();
    }
    FrameObj->RenderScene();
    DrawCollisionFlash();
    DrawHudOverlays();
    DrawStatusLine();
    SaveAndLoadKeys();
    DrawHudMap();
    EnterWasDown = KeyDown(key::Return);
    FrameObj->EndFrame();
}

}  // namespace

bool RunShipFlight(bool (*between)()) {
    Flight.ForwardLimit = Campaign.FrameFactor * Ship.CruiseTopSpeed;
    Flight.ReverseLimit = -Flight.ForwardLimit;
    SteerShip();
    UpdateCameraVectors();
    CameraObj->SelectCameraById(0);
    Flight.CamPosNow = CameraObj->GetCameraPosition();
    if (between && !between()) return false;
    HandleTuningKeys();
    TakeShipAxes();
    UpdateLensFlare();
    ProbeCollisionsAndPickup();
    AdvanceWeaponReload();
    HandleShipCommands();
    UpdateShots();
    UpdateMiniView();
    return true;
}

std::string RunningStatusText() {
    LevelEnd.TimeLeft =
        std::floor(Level.LevelTimeLimit - float(Campaign.FrameStartTime - Level.LevelStartTime));
    if (LevelEnd.TimeLeft < 1) LevelEnd.TimeLeft = 1;
    return Text("level") + ": " + std::to_string(Campaign.CurrentLevel) + "   " + Text("money") + ": $" +
           MoneyText(Campaign.Money) + "  " + Text("time") + ": " + std::to_string(int(LevelEnd.TimeLeft));
}

std::string LevelEndText() {
    return Text("level") + " " + std::to_string(Campaign.CurrentLevel) + " " + Text("complete") + ": " +
           std::to_string(int(LevelEnd.TimeLeft)) + " " + Text("secsaccur") + ": " +
           std::to_string(int(Level.HitRatio)) + Text("pctbonus") + MoneyText(LevelEnd.LevelBonus);
}

void ResetFrameLoop() {
    ScreenshotCounter = 0;
    EnterWasDown = true;
    F5WasDown = F6WasDown = false;
    EscapeFromShop = false;
    ShipAxes = AxisSet{};
    if (Campaign.FrameFactor <= 0) Campaign.FrameFactor = 1;
}

void RunGameFrame() {
    Campaign.FrameStartTime = sys::WallClock();
    UpdateListener();
    FrameObj->BeginFrame();
    TakeFrameFactor();
    PollMusic();

    if (!PlayHeld()) RunPlay();
    RunEverFrame();
}

}  // namespace quorvel
