// The player's flight: the two cameras and the holder mesh "hold" turn and move
// together from mouse, keys and game pad; probe rays bounce the ship off what it
// meets, the lens flare hides behind objects, and the rear view follows the camera.

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "common/texts.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"

namespace quorvel {
namespace {

constexpr float MaxTurnStep = 6.5f;  // per frame unit
constexpr float TurnDecay = 0.0515f;
constexpr float RollStep = 0.12f;
constexpr float RollLimit = 2.0f;
constexpr float StrafeStep = 0.15f;
constexpr float StrafeLimit = 7.0f;

// Tutorial trigger flags the flight reports (the script reads and clears them).
constexpr int TutTurnedLeft = 17, TutTurnedRight = 18, TutRolledQ = 19, TutRolledE = 20, TutBraked = 21,
              TutAccelerated = 23;
constexpr int TutFlyingPassed = 0, TutShieldPassed = 1, TutTurningPassed = 2, TutRollingPassed = 3;

// Prices of weapons 3 to 8, for the "reward" hint that one is affordable.
constexpr double WeaponPrice[9] = {0, 0, 0, 600000, 2400000, 4800000, 8000000, 16000000, 20000000};

MouseState Mouse;            // read once a frame by the steering, used by the commands
bool SensMessageOn = false;  // the sensitivity message shows
float SensMessageTimer = 0;
std::string PadName;
bool NextLatch = false, PreviousLatch = false;
bool AfterburnerOn = false;
int FlashTimerFrame = 1;  // next frame of the 16-frame shield flash
float FlashTimer = 0;
std::array<int, 8> FireRing{};  // shot ring of each projectile weapon, 1 to 7

bool Key(int code) {
    return InputObj->IsKeyDown(code);
}

bool PadButton(const GamePadState& pad, int button) {
    return Flight.GamePadOn && pad.Buttons[std::size_t(button)] != 0;
}

// A single-precision value the way the game prints numbers: up to seven digits.
std::string Printed(float value) {
    std::ostringstream out;
    out.precision(7);
    out << value;
    return out.str();
}

bool Owned(int weapon) {
    switch (weapon) {
        case 1:
        case 2:
            return true;
        case 3:
            return Campaign.OwnsIon;
        case 4:
            return Campaign.OwnsMion;
        case 5:
            return Campaign.OwnsEplas;
        case 6:
            return Campaign.OwnsDisperse;
        case 7:
            return Campaign.OwnsGamma;
        case 8:
            return Campaign.OwnsGravBeam;
        default:
            return false;
    }
}

void PlaySound(const std::string& key, bool loop = false) {
    if (SoundObj->SelectSound(key)) SoundObj->PlaySound(0, loop);
}
void StopSound(const std::string& key) {
    if (SoundObj->SelectSound(key)) SoundObj->StopSound();
}

// One steering step: doubled while the rate is at rest, then kept within the turn limit.
void ApplyTurnStep(float& rate, bool& driven, float step) {
    if (rate == 0) step *= 2;
    rate += step;
    rate = std::clamp(rate, -MaxTurnStep * Campaign.FrameFactor, MaxTurnStep * Campaign.FrameFactor);
    driven = true;
}

void MiniViewport() {
    const float W = float(Display.ScreenWidth);
    CameraObj->SetViewport(
        MathObj->MakeVector2(W - float(Display.MiniViewWidth) * Display.ScaleX - 25 * Display.ScaleX,
                             25 * Display.ScaleY),
        MathObj->MakeVector2(W - 25 * Display.ScaleX,
                             25 * Display.ScaleY + float(Display.MiniViewHeight) * Display.ScaleY));
}

void SelectWeapon(int weapon) {
    Campaign.CurrentWeapon = weapon;
    Flight.GravBeamSelected = weapon == 8;
}

void StepWeapon(bool next) {
    int w = Campaign.CurrentWeapon;
    if (next) {
        w += 1;
        for (int k = 3; k <= 8; ++k)
            if (w == k && !Owned(k)) w += 1;
        if (w > 8) w = 1;
    } else {
        w -= 1;
        if (w < 1) w = 8;
        for (int k = 8; k >= 3; --k)
            if (w == k && !Owned(k)) w -= 1;
    }
    SelectWeapon(w);
    PlaySound("wchange");
}

void Thrust(const GamePadState& pad, bool afterburner) {
    const bool thrust = Key(key::W) || Key(key::Up) || (Flight.GamePadOn && pad.Y >= 8001 && pad.Y <= 14999);
    if (thrust) {
        Ship.ShipSpeed += Ship.ShipAccel * Campaign.FrameFactor;
        if (!afterburner && Ship.ShipSpeed > Flight.ForwardLimit) Ship.ShipSpeed = Flight.ForwardLimit;
        Flight.SpeedDriven = false;
        PlaySound("engine", true);
        if (!Level.TutorialSteps[TutFlyingPassed]) Level.TutorialSteps[TutAccelerated] = true;
    } else {
        StopSound("engine");
        Flight.SpeedDriven = true;
    }
    if (Key(key::S) || Key(key::Down) || (Flight.GamePadOn && pad.Y >= 40001)) {
        Flight.BrakeRate = Ship.ShipAccel;
        if (Ship.ShipSpeed > 0) Flight.BrakeRate *= 2;
        Ship.ShipSpeed -= Flight.BrakeRate * Campaign.FrameFactor;
        if (Ship.ShipSpeed < Flight.ReverseLimit) Ship.ShipSpeed = Flight.ReverseLimit;
        Flight.SpeedDriven = false;
        if (Level.TutorialSteps[TutRollingPassed]) Level.TutorialSteps[TutBraked] = true;
    }
}

void RollAndStrafe(const GamePadState& pad) {
    const float F = Campaign.FrameFactor;
    if (Key(key::Q) || PadButton(pad, 6)) {
        if (Flight.RollRate < RollLimit * F) Flight.RollRate += RollStep * F;
        Flight.RollDriven = true;
        if (Level.TutorialSteps[TutTurningPassed]) Level.TutorialSteps[TutRolledQ] = true;
    }
    if (Key(key::E) || PadButton(pad, 7)) {
        if (Flight.RollRate > -RollLimit * F) Flight.RollRate -= RollStep * F;
        Flight.RollDriven = true;
        if (Level.TutorialSteps[TutTurningPassed]) Level.TutorialSteps[TutRolledE] = true;
    }
    if (Key(key::A) || Key(key::Left) || (Flight.GamePadOn && pad.X < 15000)) {
        if (Flight.StrafeRate > -StrafeLimit * F) Flight.StrafeRate -= StrafeStep * F;
        Flight.StrafeDriven = true;
        if (Level.TutorialSteps[TutShieldPassed]) Level.TutorialSteps[TutTurnedLeft] = true;
    }
    if (Key(key::D) || Key(key::Right) || (Flight.GamePadOn && pad.X >= 40001)) {
        if (Flight.StrafeRate < StrafeLimit * F) Flight.StrafeRate += StrafeStep * F;
        Flight.StrafeDriven = true;
        if (Level.TutorialSteps[TutShieldPassed]) Level.TutorialSteps[TutTurnedRight] = true;
    }
}

void SpecialKeys() {
    if (Key(key::Period) && Effects.ExplosionRepick) {
        const Vector origin{0, 0, 0};
        StartExplosionAt(origin);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(origin, 30.0f, 5.0f, 3.0f, 2.0f);
        Effects.ExplosionMode = 2;
        Level.ExplosionActive = true;
    }
    if (Key(key::Backslash)) {
        ShowLevelOptions();
        // Opened in flight, it hands the pointer back to the steering; over the pause
        // menu, the menu's pointer stays where the player left it.
        CentreSteeringPointer();
    }
    if (Key(key::Space)) Flight.SpeedDriven = true;
    // The developers' shortcuts.
    if (Key(key::LControl) && Key(key::LShift) && Key(key::M) && Key(key::O)) {
        Campaign.OwnsIon = Campaign.OwnsMion = Campaign.OwnsEplas = Campaign.OwnsDisperse =
            Campaign.OwnsGamma = Campaign.OwnsGravBeam = true;
        Campaign.Money = 99999999;
        if (DXAudioObj) DXAudioObj->PlayForeground("wchange.wav");
    }
    if (Key(key::LControl) && Key(key::LShift) && Key(key::X)) Ship.ShipMaxSpeed = 120;
}

void SensitivityKeys() {
    const bool down = Key(key::Minus), up = Key(key::Equals);
    if (down) Flight.MouseSensitivity -= Campaign.FrameFactor * 0.04f;
    if (up) Flight.MouseSensitivity += Campaign.FrameFactor * 0.04f;
    Flight.MouseSensitivity = std::clamp(Flight.MouseSensitivity, 0.2f, 2.4f);
    if (down || up) {
        SensMessageOn = true;
        SensMessageTimer = 0;
    } else if (SensMessageOn) {
        SensMessageTimer += 2 * Campaign.FrameFactor;
        if (SensMessageTimer > 25) SensMessageOn = false;
    }
}

void GamePadToggle() {
    if (Flight.PadToggleTimer <= 50) {
        Flight.PadToggleTimer += Campaign.FrameFactor * 1.2f;
        return;
    }
    if (!Key(key::G)) return;
    if (!Flight.GamePadOn) {
        Flight.GamePadOn = true;
        if (!InputObj->OpenGamePad(Flight.PadIndex)) {
            Flight.PadIndex = 0;
            InputObj->OpenGamePad(Flight.PadIndex);
            PadName = InputObj->GetGamePadText(Flight.PadIndex);
        } else {
            PadName = InputObj->GetGamePadText(Flight.PadIndex);
            Flight.PadIndex += 1;  // the next switch-on tries the next pad
        }
    } else {
        Flight.GamePadOn = false;
    }
    Flight.PadToggleTimer = 0;
}

void MiniViewKeys() {
    if (Key(key::F1)) {
        Flight.MiniViewLarge = false;
        Flight.MiniViewShown = true;
        Display.MiniViewWidth = 250;
        Display.MiniViewHeight = 210;
    }
    if (Key(key::F2)) {
        Flight.MiniViewLarge = true;
        Flight.MiniViewShown = true;
        Display.MiniViewWidth = 320;
        Display.MiniViewHeight = 290;
    }
    if (Key(key::F3)) Flight.MiniViewShown = false;
}

void RewardSounds() {
    if (Campaign.CurrentLevel <= 1 || Screens.RewardSoundPlayed) return;
    Screens.RewardTime = Campaign.FrameStartTime;
    for (int w = 3; w <= 8; ++w)
        if (!Owned(w) && WeaponPrice[w] < Campaign.Money) {
            PlaySound("reward");
            Screens.RewardSoundPlayed = true;
        }
}

void WeaponChoice(const GamePadState& pad) {
    const bool next = Mouse.Wheel > 0 || PadButton(pad, 3);
    const bool previous = Mouse.Wheel < 0 || PadButton(pad, 2);
    if (next && !NextLatch) StepWeapon(true);
    if (previous && !PreviousLatch) StepWeapon(false);
    NextLatch = next;
    PreviousLatch = previous;
    const int keys[9] = {0, key::D1, key::D2, key::D3, key::D4, key::D5, key::D6, key::D7, key::D8};
    for (int w = 1; w <= 8; ++w)
        if (Key(keys[w]) && Owned(w)) SelectWeapon(w);
}

void Fire(const GamePadState& pad) {
    Flight.GravBeamFiring = false;
    if (!Mouse.Button0 && !PadButton(pad, 5)) return;
    const AxisSet axes = GetMeshAxes("hold");
    const Vector &r = axes.AxisRight, &u = axes.AxisUp, &f = axes.AxisFront;
    int& ring = FireRing[std::size_t(std::clamp(Campaign.CurrentWeapon, 0, 7))];
    switch (Campaign.CurrentWeapon) {
        case 1:
            FirePlasma(ring, r, u, f);
            break;
        case 2:
            FireLaser(ring, r, u, f);
            break;
        case 3:
            FireIon(ring, r, u, f);
            break;
        case 4:
            FireMion(ring, r, u, f);
            break;
        case 5:
            FireEplas(ring, r, u, f);
            break;
        case 6:
            FireDisperse(ring, r, u, f);
            break;
        case 7:
            FireGamma(ring, r, u, f);
            break;
        case 8:
            Flight.GravBeamSelected = true;
            Flight.GravBeamFiring = true;
            break;
        default:
            break;
    }
}

void Afterburner(bool on) {
    if (on) {
        Ship.ShipSpeed += Ship.BoostAccel * Campaign.FrameFactor;
        if (Ship.ShipSpeed > Ship.ShipMaxSpeed * Campaign.FrameFactor)
            Ship.ShipSpeed = Ship.ShipMaxSpeed * Campaign.FrameFactor;
        if (!AfterburnerOn) PlaySound("afterburn");
    } else if (AfterburnerOn) {
        StopSound("afterburn");
    }
    AfterburnerOn = on;
}

void Move() {
    const float F = Campaign.FrameFactor;
    DecayToZero(Flight.SpeedDriven, Ship.ShipSpeed, F, Ship.ShipDrag);
    if (Ship.ShipSpeed != 0) {
        MeshObj->SelectMesh("hold");
        MeshObj->MoveForward(Ship.ShipSpeed, true, true);
        CameraObj->SelectCameraById(0);
        CameraObj->MoveCameraForward(Ship.ShipSpeed, true, true);
        Flight.CamPosNow = CameraObj->GetCameraPosition();
    }
    if (Flight.RollRate != 0) {
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraRoll(-Flight.RollRate, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraRoll(Flight.RollRate, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnRoll(-Flight.RollRate, 2);
        DecayToZero(Flight.RollDriven, Flight.RollRate, F, F * RollStep);
    }
    if (Flight.StrafeRate != 0) {
        CheckForwardCollision(Flight.StrafeRate);
        CameraObj->SelectCameraById(0);
        CameraObj->MoveCameraRight(Flight.StrafeRate, true, true);
        DecayToZero(Flight.StrafeDriven, Flight.StrafeRate, F, F * StrafeStep);
    }
    Ship.ShipSpeed = std::clamp(Ship.ShipSpeed, -Ship.ShipMaxSpeed * F, Ship.ShipMaxSpeed * F);
}

}  // namespace

void UpdateCameraVectors() {
    CameraObj->SelectCameraById(0);
    Ship.CamBasis.CamPos = CameraObj->GetCameraPosition();
    Ship.CamBasis.CamMatrix = CameraObj->GetCameraMatrix();
    const auto& m = Ship.CamBasis.CamMatrix.m;
    Ship.CamBasis.CamRight = MathObj->MakeVector(m[0], m[1], m[2]);
    Ship.CamBasis.CamUp = MathObj->MakeVector(m[4], m[5], m[6]);
    Ship.CamBasis.CamFront = MathObj->MakeVector(m[8], m[9], m[10]);
    Ship.CamBasis.CamBack = {-Ship.CamBasis.CamFront.x, -Ship.CamBasis.CamFront.y, -Ship.CamBasis.CamFront.z};
}

void ResetCamera() {
    if (MeshObj->SelectMesh("hold")) {
        MeshObj->SetPosition(0, 0, 0);
        MeshObj->SetRotation(0, 0, 0);
    }
    CameraObj->ResetCameras();
    CameraObj->SelectCamera("camera");
    CameraObj->SetCameraPosition(0, 0, 1);
    CameraObj->CameraLookAt(0, 0, 0);
    CameraObj->SetLens(MathObj->MakeLens(1.0f, 150000.0f, 70.0f, -1.0f, 0));
    CameraObj->SelectCameraById(1);
    CameraObj->ResetCameras();
    CameraObj->SelectCamera("miniCam");
    MiniViewport();
    CameraObj->SetLens(MathObj->MakeLens(20.0f, 100000.0f, 70.0f, -1.0f, 0));
    // The rear view looks backwards.
    CameraObj->SetCameraPosition(0, 0, -1);
    CameraObj->CameraLookAt(0, 0, 0);
    CameraObj->SelectCameraById(0);
}

void StopShip() {
    Ship.ShipSpeed = 0;
    Flight.PitchRate = Flight.YawRate = Flight.RollRate = Flight.StrafeRate = 0;
    Flight.PitchDriven = Flight.YawDriven = Flight.RollDriven = Flight.StrafeDriven = Flight.SpeedDriven =
        false;
    Flight.CollisionFlash = Flight.BumpActive = false;
    Flight.BumpTimer = 0;
}

void ResetFlightState() {
    StopShip();
    Ship.ShipAccel = 0.1f;
    Flight.BrakeRate = Ship.ShipAccel;
    Ship.ShipDrag = 0.1f;
    Ship.BoostAccel = 0.25f;
    Ship.CruiseTopSpeed = 20.0f;
    Ship.ShipMaxSpeed = 25.0f;
    Flight.ProbeReach = 15.0f;
    Flight.LastCollisionMesh = -1;
    FlashTimer = 0;
    FlashTimerFrame = 1;
    SensMessageOn = false;
    SensMessageTimer = 0;
    PadName.clear();
    NextLatch = PreviousLatch = false;
    AfterburnerOn = false;
    FireRing.fill(0);
    Flight.GravBeamSelected = Flight.GravBeamFiring = Flight.ThrowArmed = false;
    Flight.GrabCandidate = -1;
    Mouse = MouseState{};
    // The rear view starts with the low-detail setting.
    Flight.MiniViewShown = Options.Graphics.Value() == 1;
    Flight.MiniViewLarge = false;
    Display.MiniViewWidth = 250;
    Display.MiniViewHeight = 210;
}

void CentreSteeringPointer() {
    InputObj->SetMousePosition(100, 100, 0);
}

void SteerShip() {
    const float F = Campaign.FrameFactor, S = Flight.MouseSensitivity;
    Mouse = InputObj->GetMouseState(0);
    CentreSteeringPointer();
    const GamePadState pad = InputObj->GetGamePadState();

    if (Mouse.Y != 0) ApplyTurnStep(Flight.PitchRate, Flight.PitchDriven, float(Mouse.Y - 100) * F * S / 20);
    if (Flight.GamePadOn && (pad.RotationZ > 45000 || pad.RotationZ < 15000))
        ApplyTurnStep(Flight.PitchRate, Flight.PitchDriven,
                      float(pad.RotationZ - 32767) / 12000 * F * S / 20);
    if (Flight.PitchDriven) {
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraPitch(-Flight.PitchRate, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraPitch(Flight.PitchRate, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnPitch(-Flight.PitchRate, 2);
        DecayToZero(Flight.PitchDriven, Flight.PitchRate, F, TurnDecay);
    }

    if (Mouse.X != 0) ApplyTurnStep(Flight.YawRate, Flight.YawDriven, float(Mouse.X - 100) * F * S / 20);
    if (Flight.GamePadOn && (pad.Z > 40000 || pad.Z < 15000))
        ApplyTurnStep(Flight.YawRate, Flight.YawDriven, float(pad.Z - 32767) / 12000 * F * S / 20);
    if (Flight.YawDriven) {
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraYaw(Flight.YawRate, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraYaw(Flight.YawRate, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnYaw(Flight.YawRate, 2);
        DecayToZero(Flight.YawDriven, Flight.YawRate, F, TurnDecay);
    }

    UpdateCameraVectors();
    Flight.CamPosNow = CameraObj->GetCameraPosition();
}

void HandleTuningKeys() {
    if (Key(key::Prior)) AdjustWeaponRegenRate(true);
    if (Key(key::Next)) AdjustWeaponRegenRate(false);
    if (Key(key::Home)) AdjustWeaponShotCost(true);
    if (Key(key::End)) AdjustWeaponShotCost(false);
}

void UpdateLensFlare() {
    if (!SkyObj->SelectSkyItem("flare")) return;
    const Vector sun = SkyObj->GetItemPosition();
    const Vector toSun = sun - Ship.CamBasis.CamPos;
    const float length = Length(toSun);
    const HitInfoRec hit =
        MeshObj->RayHit(RayRec{Ship.CamBasis.CamPos, Normalise(toSun)}, 3, length, 0, 0, true);
    const bool hidden = hit.HitFlag && !IsSkipEntity(hit.HitId);
    SkyObj->SelectSkyItem("flare");
    SkyObj->SetFlareVisible(!hidden);
}

void ProbeCollisionsAndPickup() {
    for (const RayRec& ray : Flight.ProbeRays) {
        const HitInfoRec hit = MeshObj->RayHit(ray, 3, Ship.ShipSpeed + Flight.ProbeReach, SkipFilter());
        if (!hit.HitFlag || IsSkipEntity(hit.HitId) || CheckPowerUpPickup(hit.HitId)) continue;
        if (Arsenal.GravityBeam && hit.HitId == Arsenal.GravityBeam->GrabbedMeshIndex()) continue;

        Flight.LastCollisionMesh = hit.HitId;
        Flight.SpeedDriven = true;
        if (!Ship.Invincible) {
            Flight.CollisionFlash = true;
            PlaySound("camcollide");
        }
        // Bounce: back the way the ship came, never faster than the cruise limit.
        if (Ship.ShipSpeed > 0)
            Ship.ShipSpeed = Ship.ShipSpeed < Flight.ForwardLimit ? -Ship.ShipSpeed : Flight.ReverseLimit;
        else if (Ship.ShipSpeed < 0)
            Ship.ShipSpeed = Ship.ShipSpeed > Flight.ReverseLimit ? -Ship.ShipSpeed : Flight.ForwardLimit;
        else
            Ship.ShipSpeed = Flight.ReverseLimit;
        MeshObj->SelectMesh("hold");
        MeshObj->MoveForward(Ship.ShipSpeed, true, true);
        Flight.BumpActive = true;
        Flight.BumpTimer = 0;
        break;
    }
}

void HandleShipCommands() {
    const GamePadState pad = InputObj->GetGamePadState();
    const bool afterburner = Mouse.Button1 || PadButton(pad, 4) || (Flight.GamePadOn && pad.Y < 8000);
    Thrust(pad, afterburner);
    RollAndStrafe(pad);
    SpecialKeys();
    SensitivityKeys();
    GamePadToggle();
    MiniViewKeys();
    RewardSounds();
    WeaponChoice(pad);
    Fire(pad);
    SpawnFlamingAsteroid();
    RunGravityBeamControl();
    Afterburner(afterburner);
    Move();
}

void UpdateMiniView() {
    CameraObj->SelectCameraById(1);
    if (Flight.MiniViewShown) {
        CameraObj->SetCameraActive(true);
        MiniViewport();
        CameraObj->SetCameraPosition(Ship.CamBasis.CamPos);
    } else {
        CameraObj->SetCameraPosition(Ship.CamBasis.CamPos);
        CameraObj->SetCameraActive(false);
    }
    CameraObj->SelectCameraById(0);
}

void SwitchMiniCameraOff() {
    CameraObj->SelectCameraById(1);
    CameraObj->SetCameraActive(false);
    CameraObj->SelectCameraById(0);
}

void DrawCollisionFlash() {
    const float F = Campaign.FrameFactor;
    if (Ship.Invincible && Flight.CollisionFlash) {
        if (Draw2DObj->SelectImage("shield")) Draw2DObj->SetImageVisible(false);
        Flight.CollisionFlash = false;
    }
    if (Flight.BumpActive) {
        Flight.BumpTimer += F * 10;
        if (Flight.BumpTimer >= 10) Flight.BumpActive = false;
        return;
    }
    if (!Flight.CollisionFlash || Ship.Invincible) return;
    FlashTimer += F * 10;
    if (FlashTimer < 10) return;
    FlashTimer = 0;
    if (Draw2DObj->SelectImage("shield")) {
        Draw2DObj->SetImageVisible(true);
        Draw2DObj->SetImageStep(1);
    }
    FlashTimerFrame += 1;
    if (FlashTimerFrame <= 16) return;
    FlashTimerFrame = 1;
    Flight.CollisionFlash = false;
    Level.PlayerHitPending = false;
    if (Draw2DObj->SelectImage("shield")) Draw2DObj->SetImageVisible(false);
    AddShieldDamage(18);
    if (Ship.ShieldDamage >= Ship.ShieldMax) {
        ResetShield();
        Level.ShipDestroyed = true;
        ExplodeShip();
    }
    CheckShield();
}

void DrawFlightMessages() {
    if (SensMessageOn)
        Draw2DObj->DrawText(MathObj->MakeVector2(float(Display.ScreenCentreX) - 75, 30),
                            GameText("mousesensitive") + " " + Printed(Flight.MouseSensitivity));
    if (Flight.PadToggleTimer < 50)
        Draw2DObj->DrawText(MathObj->MakeVector2(float(Display.ScreenCentreX) - 100, 30),
                            GameText(Flight.GamePadOn ? "gpadon" : "gpadoff") + " " + PadName);
    if (Flight.MiniViewShown) {
        const float W = float(Display.ScreenWidth);
        Draw2DObj->DrawRectangle(
            MathObj->MakeVector2(W - float(Display.MiniViewWidth) * Display.ScaleX - 25 * Display.ScaleX,
                                 25 * Display.ScaleY),
            MathObj->MakeVector2(W - 25 * Display.ScaleX,
                                 25 * Display.ScaleY + float(Display.MiniViewHeight) * Display.ScaleY),
            false);
    }
}

}  // namespace quorvel
