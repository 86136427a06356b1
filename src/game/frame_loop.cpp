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
#include "shell/shell.h"

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
    return GameTexts[std::size_t(GameTextIndex(name))];
}

bool KeyDown(int scanCode) {
    return InputObj->IsKeyDown(scanCode);
}

void ShowImage(const char* key, bool visible) {
    if (Draw2DObj->SelectImage(key)) Draw2DObj->SetImageVisible(visible);
}

bool PlayHeld() {
    return ShipDestroyed || OutOfBounds || LevelEnding || MenuRequested || ShopRequested || GameWon ||
           GiantAsteroidFlying || CutsceneRunning;
}

// ---- Phase A ---------------------------------------------------------------------------

void UpdateListener() {
    const Vector& p = CamBasis.CamPos;
    for (int i = 0; i <= 8; ++i) {
        clsDSWave8* sound = PositionalSounds[std::size_t(i)].get();
        if (!sound) continue;
        sound->setListenerPos(p.x, p.y, p.z);
        sound->SetListenerOrientation(CamAxes.AxisFront.x, CamAxes.AxisFront.y, CamAxes.AxisFront.z,
                                      CamAxes.AxisUp.x, CamAxes.AxisUp.y, CamAxes.AxisUp.z);
    }
}

void TakeFrameFactor() {
    // A frame the engine could not time moves by the last factor it could.
    const float factor = TimerObj->GetFrameFactor(1.0f);
    if (factor != 0.0f) FrameFactor = factor;
}

void PollMusic() {
    if (MusicPollDue) {
        if (DXAudioObj) DXAudioObj->Poll();
        MusicPollDue = false;
        MusicPollTimer = 0;
    } else {
        MusicPollTimer += FrameFactor * 1.5f;
        if (MusicPollTimer >= 10) MusicPollDue = true;
    }
}

// ---- Phase B ---------------------------------------------------------------------------

void LastFightMusic() {
    if (CurrentLevel != LevelCountMax || !DXAudioObj) return;
    if (!LastFightStarted) {
        MusicPollDue = false;
        DXAudioObj->StopBackground();
        LastFightStarted = true;
        DXAudioObj->PlayBackground(sys::ProgramFolder() + "\\sound\\lastfight.wma");
    }
    if (DXAudioObj->BackgroundIsStopped())
        DXAudioObj->PlayBackground(sys::ProgramFolder() + "\\sound\\alienbattleloop.wma");
}

void TutorialLevel() {
    if (CurrentLevel != 1) return;
    Money = 600000;
    RunTutorialSteps();
    // A fresh Enter skips the training level.
    if (KeyDown(key::Return) && !EnterWasDown) {
        AsteroidsLeft = 0;
        CheckLevelComplete();
    }
}

void TakeShipAxes() {
    ShipAxes = GetMeshAxes("hold");
    CamAxes = ShipAxes;
    ProbeRays[0] = RayRec{CamPosNow, Vector{0, 0, 0} - CamAxes.AxisFront};
    BuildProbeRays();
}

void UpdateShots() {
    UpdatePlasmaShots(PlasmaShots[0].ShotSpeed);
    UpdateLaserShots(LaserShots[0].ShotSpeed);
    UpdateIonShots(IonShots[0].ShotSpeed);
    UpdateMionShots(MionShots[0].ShotSpeed);
    UpdateGammaShots(GammaShots[0].ShotSpeed);
    UpdateEplasShots(EplasShots[0].ShotSpeed);
    UpdateDisperseShots(DisperseShots[0].ShotSpeed);
}

void RunMothershipBlock() {
    if (MothershipLevel && !MothershipBreakingUp) {
        const bool last = CurrentLevel == LevelCountMax;
        if (!MothershipInbound && (last || AsteroidsLeft < 12)) {
            MothershipStartTime = FrameStartTime;
            MothershipInbound = true;
            if (!last && DXAudioObj) {
                DXAudioObj->PlayForeground("masinbound.wav");
                DXAudioObj->PauseBackground();
            }
        }
        const double wait = last ? 50.0 : 11.0;
        if (MothershipInbound && (last || AsteroidsLeft < 12) &&
            FrameStartTime - MothershipStartTime > wait) {
            if (!MothershipArmed) {
                ResetMothership();
                StartMothershipHyperspaceIn();
            }
            if (MothershipInRange)
                UpdateMothership();
            else
                MothershipApproach();
        }
    }
    if (MothershipBreakingUp) RunMothershipBreakup();
}

void RunExplosions() {
    if (ExplosionActive) {
        if (ExplosionRepick) PickExplosionSet();
        AnimateExplosionFlipbook();
    }
    if (SparksActive) UpdateHitSparks();
    if (ShockWave) ShockWave->Poll(FrameFactor);
    if (MothershipShockWave) MothershipShockWave->Poll(FrameFactor);
    for (int w = 1; w <= 7; ++w)
        if (WeaponShockWaves[std::size_t(w)]) WeaponShockWaves[std::size_t(w)]->Poll(FrameFactor);
}

void RunScoutBlock() {
    if (CurrentLevel == LevelCountMax) {
        if (FrameStartTime - ScoutL50Timer > 25.0) {
            if (ScoutActive)
                UpdateScout();
            else
                StartScoutInbound();
        }
        return;
    }
    if (AsteroidsLeft >= 18) return;
    if (ScoutActive) {
        UpdateScout();
        if (AsteroidsLeft < 1) {
            // The field is cleared: the scout's pass ends with it.
            ScoutActive = false;
            for (int n = 1; n <= 20; ++n)
                if (MeshObj->SelectMesh("scouthold" + std::to_string(n))) MeshObj->SetVisible(false);
            if (MeshObj->SelectMesh("scout")) MeshObj->SetVisible(false);
            if (CurrentLevel == 2)
                for (const char* key : {"masbattle", "lightanim"})
                    if (MeshObj->SelectMesh(key)) MeshObj->SetVisible(false);
            if (PositionalSounds[1]) PositionalSounds[1]->StopSound();
        }
    } else {
        if (ScoutNextLevel > 47) ScoutNextLevel = LevelCountMax;
        if (CurrentLevel == ScoutNextLevel) StartScoutInbound();
    }
}

void RunBattleshipBlock() {
    const bool last = CurrentLevel == LevelCountMax;
    const double wait = last ? 3.0 : 10.0;
    if (FrameStartTime - BattleshipTimer > wait && (!last || !MothershipLevel)) {
        if (BattleshipActive) UpdateBattleship();
        ReleaseBattleshipPointer();
        if (!last && BattleshipNextLevel > 47) BattleshipNextLevel = LevelCountMax;
        if ((last || CurrentLevel == BattleshipNextLevel) && !BattleshipPending) {
            StartBattleship();
            BattleshipPending = true;
        }
    }
    // Five seconds after the mothership's fall its level ends (level 25: the gold
    // ship's cut-scene comes first).
    if (MothershipKillHold && FrameStartTime - MothershipKillTime > 5.0) {
        MothershipKillHold = false;
        AsteroidsLeft = 0;
        if (DXAudioObj) DXAudioObj->StopForeground();
        if (!MothershipBreakingUp) {
            if (CurrentLevel == 25)
                GoldCutsceneArmed = true;
            else
                CheckLevelComplete();
        }
    }
}

// What the play does between the ship's steering and the rest of its flight: the
// collisions, the aliens, the level's end and the weapon stores. False when the play
// is held from here on.
bool RunPlayAroundTheShip() {
    if (!ShipCollisionsOff) CheckShipCollisions();
    DrawHudPointers(ShipAxes);
    UpdateAliens();
    if (!AlienBattlePending()) CheckLevelComplete();
    // A level ended or a ship lost in this frame has put the ship's model at the camera:
    // the rest of the play would fly into it. The collision boxes still go for the render.
    if (PlayHeld()) return false;
    RegenerateWeaponEnergy();
    if (!CapacityApplied) {
        SetWeaponEnergy(0, 0);
        CapacityApplied = true;
    }
    SetActiveAsteroidCount();
    return true;
}

// The rest of the play after the ship's flight: enemies and events.
void RunFight() {
    if (BreakupRunning) UpdateAsteroidBreakup();
    UpdateStarscape();

    RunMothershipBlock();
    RunExplosions();
    CheckPlayfieldBounds();
    SelectHudTargets();
    UpdatePowerUps();
    RunScoutBlock();
    RunBattleshipBlock();
    // Back at the start pose no collision flash is due.
    if (InRange(CamBasis.CamPos, Vector{0, 0, 0}, 11)) CollisionFlash = false;
    if (GiantAsteroidActive) UpdateGiantAsteroid();
    // A boss's, the scout's or the battleship's shot that reached the ship costs the
    // shield through the collision flash; the flash's end clears the hit.
    if (PlayerHitPending && !Invincible) CollisionFlash = true;
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
    if (!GiantAsteroidPending || AsteroidsLeft >= 1) return;
    if (!GiantAsteroidFlying && !GiantAsteroidActive)
        StartGiantAsteroid();
    else if (GiantAsteroidFlying && !GiantAsteroidActive)
        UpdateGiantAsteroidHold();
}

void RunCutscenes() {
    // A cut-scene starts once per level: CutsceneDone is set when it has run.
    const bool waiting = AsteroidsLeft < 1 && !CutsceneRunning && !CutsceneDone && !MothershipLevel;
    if (CurrentLevel == 25) {
        if (waiting && !GoldShipStarted && GoldCutsceneArmed) StartGoldShipCutscene();
        if (CutsceneRunning) UpdateGoldShipCutscene();
    } else if (CurrentLevel == LevelCountMax) {
        if (waiting && BattleshipDestroyed && !BattleshipActive) StartEndCutscene();
        if (CutsceneRunning) UpdateEndCutscene();
    }
}

void RunShipLoss() {
    if (!ShipDestroyed) return;
    RunShipDeath(DeathDone);
    if (DeathDone) {
        MenuRequested = true;
        DeathDone = false;
    }
}

void RunScreens() {
    if (MenuRequested) {
        RunPauseMenu();
        if (!MenuRequested) ShowImage("menu", false);
    }
    if (ShopRequested) {
        RunWeaponShop();
        if (!ShopRequested) {
            ShowImage("buymenu", false);
            EscapeFromShop = KeyDown(key::Escape);
        }
    }
    ShowImage("cpit", !(MenuRequested || ShopRequested));

    if (KeyDown(key::B)) {
        ShopRequested = true;
        if (TutorialSteps[4]) TutorialSteps[22] = true;
    }
    if (EscapeFromShop && !KeyDown(key::Escape)) EscapeFromShop = false;
    if (KeyDown(key::Escape) && EscTimer > 5 && !EscapeFromShop) {
        ShowImage("cpit", false);
        EscTimer = 0;
        MenuRequested = true;
    }
    EscTimer += FrameFactor * 1.5f;
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
    if (RewardSoundPlayed) {
        if (FrameStartTime - RewardTime > 30.0)
            RewardSoundPlayed = false;
        else
            DrawRewardText(Vector2{float(ScreenCentreX) - 150 * ScaleX, 80 * ScaleY});
    }
    DrawFlightMessages();
    DrawEnergyMeter();
    DrawShieldMeter();
}

void DrawStatusLine() {
    if (GameWon || !Draw2DObj->SelectImage("font")) return;
    Draw2DObj->SetFontColour(Colour{255, 255, 255, 255}, 255);
    const Vector2 at{32 * ScaleX, 32 * ScaleY};
    if (LevelEnding) {
        Draw2DObj->SetImagePosition(Vector2{1 * ScaleX, 400 * ScaleY});
        Draw2DObj->DrawFontText(LevelEndText(), at, 3, 50);
        return;
    }
    Draw2DObj->SetImagePosition(Vector2{0, 0});
    Draw2DObj->DrawFontText(RunningStatusText(), at, 3, 50);
    if (CurrentLevel == 1) {
        Draw2DObj->SetImagePosition(Vector2{0, 300 * ScaleY});
        Draw2DObj->DrawFontText(TutorialHint, at, 3, 50);
        Draw2DObj->SetImagePosition(Vector2{0, 0});
    }
}

void SaveAndLoadKeys() {
    const bool f5 = KeyDown(key::F5), f6 = KeyDown(key::F6);
    if (f5 && !F5WasDown) QuickSaveLatch = true;
    F5WasDown = f5;
    if (QuickSaveLatch) {
        int slot = 0;
        SaveGameMenu(slot);
    }
    if (f6 && !F6WasDown) LoadGameMenu(0, true);
    F6WasDown = f6;
}

void DrawHudMap() {
    const float W = float(ScreenWidth), H = float(ScreenHeight);
    auto mark = [&](const Vector& p, float k, const Colour& colour) {
        Draw2DObj->SetDrawColour(colour);
        Draw2DObj->DrawRectangle(Vector2{p.x / 75 + W - 128 * ScaleX, p.z / 75 + H - 128 * ScaleY},
                                 Vector2{p.x / 75 + W - k * ScaleX, p.z / 75 + H - k * ScaleY}, true);
    };
    const Vector& cam = CamBasis.CamPos;
    for (int i = 1; i <= AsteroidCount && i <= AsteroidRecords; ++i) {
        const AsteroidRec& a = Asteroids[std::size_t(i)];
        if (!a.Active) continue;
        mark(a.Pos, 132, a.Pos.y > cam.y ? Colour{0, 255, 0, 255} : Colour{255, 0, 0, 255});
    }
    const Colour own{100, 0, 255, 255};
    mark(cam, 134, own);
    if (MeshObj->SelectMeshById(StationId)) mark(MeshObj->GetPosition(), 136, own);
    if (FlamingAsteroid && FlamingAsteroid->Active_ && !FlamingAsteroid->BlowUp_ &&
        FlamingAsteroid->NextLevel_ == CurrentLevel)
        mark(FlamingAsteroid->Position_, 133, Colour{254, 248, 0, 255});
}

void RunEverFrame() {
    RunGiantAsteroidEvent();
    RunCutscenes();
    if (KeyDown(key::P)) SaveNumberedScreenshot(*FrameObj, ScreenshotCounter);
    RunShipLoss();
    RunScreens();
    if (OutOfBounds) AlienApproachWarning();
    if (FlybyActive) AlienFlybyAttack();
    if (LevelEnding) RunLevelTransition();
    if (GameWon) {
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
    ForwardLimit = FrameFactor * CruiseTopSpeed;
    ReverseLimit = -ForwardLimit;
    SteerShip();
    UpdateCameraVectors();
    CameraObj->SelectCameraById(0);
    CamPosNow = CameraObj->GetCameraPosition();
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

int GameTextIndex(const std::string& name) {
    for (int i = 0; i < GameTextCount; ++i)
        if (GameTextFiles[std::size_t(i)] == name + ".txt") return i;
    return 0;
}

std::string RunningStatusText() {
    TimeLeft = std::floor(LevelTimeLimit - float(FrameStartTime - LevelStartTime));
    if (TimeLeft < 1) TimeLeft = 1;
    return Text("level") + ": " + std::to_string(CurrentLevel) + "   " + Text("money") + ": $" +
           MoneyText(Money) + "  " + Text("time") + ": " + std::to_string(int(TimeLeft));
}

std::string LevelEndText() {
    return Text("level") + " " + std::to_string(CurrentLevel) + " " + Text("complete") + ": " +
           std::to_string(int(TimeLeft)) + " " + Text("secsaccur") + ": " + std::to_string(int(HitRatio)) +
           Text("pctbonus") + MoneyText(LevelBonus);
}

void ResetFrameLoop() {
    ScreenshotCounter = 0;
    EnterWasDown = true;
    F5WasDown = F6WasDown = false;
    EscapeFromShop = false;
    ShipAxes = AxisSet{};
    if (FrameFactor <= 0) FrameFactor = 1;
}

void RunGameFrame() {
    FrameStartTime = sys::WallClock();
    UpdateListener();
    FrameObj->BeginFrame();
    TakeFrameFactor();
    PollMusic();

    if (!PlayHeld()) RunPlay();
    RunEverFrame();
}

}  // namespace quorvel
