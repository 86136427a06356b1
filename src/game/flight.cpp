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
#include "shell/shell.h"

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
    return GamePadOn && pad.Buttons[std::size_t(button)] != 0;
}

std::string GameText(const std::string& name) {
    for (int i = 0; i < GameTextCount; ++i)
        if (GameTextFiles[std::size_t(i)] == name + ".txt") return GameTexts[std::size_t(i)];
    return {};
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
            return OwnsIon;
        case 4:
            return OwnsMion;
        case 5:
            return OwnsEplas;
        case 6:
            return OwnsDisperse;
        case 7:
            return OwnsGamma;
        case 8:
            return OwnsGravBeam;
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
    rate = std::clamp(rate, -MaxTurnStep * FrameFactor, MaxTurnStep * FrameFactor);
    driven = true;
}

void MiniViewport() {
    const float W = float(ScreenWidth);
    CameraObj->SetViewport(
        MathObj->MakeVector2(W - float(MiniViewWidth) * ScaleX - 25 * ScaleX, 25 * ScaleY),
        MathObj->MakeVector2(W - 25 * ScaleX, 25 * ScaleY + float(MiniViewHeight) * ScaleY));
}

void SelectWeapon(int weapon) {
    CurrentWeapon = weapon;
    GravBeamSelected = weapon == 8;
}

void StepWeapon(bool next) {
    int w = CurrentWeapon;
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
    const bool thrust = Key(key::W) || Key(key::Up) || (GamePadOn && pad.Y >= 8001 && pad.Y <= 14999);
    if (thrust) {
        ShipSpeed += ShipAccel * FrameFactor;
        if (!afterburner && ShipSpeed > ForwardLimit) ShipSpeed = ForwardLimit;
        SpeedDriven = false;
        PlaySound("engine", true);
        if (!TutorialSteps[TutFlyingPassed]) TutorialSteps[TutAccelerated] = true;
    } else {
        StopSound("engine");
        SpeedDriven = true;
    }
    if (Key(key::S) || Key(key::Down) || (GamePadOn && pad.Y >= 40001)) {
        BrakeRate = ShipAccel;
        if (ShipSpeed > 0) BrakeRate *= 2;
        ShipSpeed -= BrakeRate * FrameFactor;
        if (ShipSpeed < ReverseLimit) ShipSpeed = ReverseLimit;
        SpeedDriven = false;
        if (TutorialSteps[TutRollingPassed]) TutorialSteps[TutBraked] = true;
    }
}

void RollAndStrafe(const GamePadState& pad) {
    const float F = FrameFactor;
    if (Key(key::Q) || PadButton(pad, 6)) {
        if (RollRate < RollLimit * F) RollRate += RollStep * F;
        RollDriven = true;
        if (TutorialSteps[TutTurningPassed]) TutorialSteps[TutRolledQ] = true;
    }
    if (Key(key::E) || PadButton(pad, 7)) {
        if (RollRate > -RollLimit * F) RollRate -= RollStep * F;
        RollDriven = true;
        if (TutorialSteps[TutTurningPassed]) TutorialSteps[TutRolledE] = true;
    }
    if (Key(key::A) || Key(key::Left) || (GamePadOn && pad.X < 15000)) {
        if (StrafeRate > -StrafeLimit * F) StrafeRate -= StrafeStep * F;
        StrafeDriven = true;
        if (TutorialSteps[TutShieldPassed]) TutorialSteps[TutTurnedLeft] = true;
    }
    if (Key(key::D) || Key(key::Right) || (GamePadOn && pad.X >= 40001)) {
        if (StrafeRate < StrafeLimit * F) StrafeRate += StrafeStep * F;
        StrafeDriven = true;
        if (TutorialSteps[TutShieldPassed]) TutorialSteps[TutTurnedRight] = true;
    }
}

void SpecialKeys() {
    if (Key(key::Period) && ExplosionRepick) {
        const Vector origin{0, 0, 0};
        StartExplosionAt(origin);
        if (ShockWave) ShockWave->MakeShockWave(origin, 30.0f, 5.0f, 3.0f, 2.0f);
        ExplosionMode = 2;
        ExplosionActive = true;
    }
    if (Key(key::Backslash)) {
        ShowLevelOptions();
        // Opened in flight, it hands the pointer back to the steering; over the pause
        // menu, the menu's pointer stays where the player left it.
        CentreSteeringPointer();
    }
    if (Key(key::Space)) SpeedDriven = true;
    // The developers' shortcuts.
    if (Key(key::LControl) && Key(key::LShift) && Key(key::M) && Key(key::O)) {
        OwnsIon = OwnsMion = OwnsEplas = OwnsDisperse = OwnsGamma = OwnsGravBeam = true;
        Money = 99999999;
        if (DXAudioObj) DXAudioObj->PlayForeground("wchange.wav");
    }
    if (Key(key::LControl) && Key(key::LShift) && Key(key::X)) ShipMaxSpeed = 120;
}

void SensitivityKeys() {
    const bool down = Key(key::Minus), up = Key(key::Equals);
    if (down) MouseSensitivity -= FrameFactor * 0.04f;
    if (up) MouseSensitivity += FrameFactor * 0.04f;
    MouseSensitivity = std::clamp(MouseSensitivity, 0.2f, 2.4f);
    if (down || up) {
        SensMessageOn = true;
        SensMessageTimer = 0;
    } else if (SensMessageOn) {
        SensMessageTimer += 2 * FrameFactor;
        if (SensMessageTimer > 25) SensMessageOn = false;
    }
}

void GamePadToggle() {
    if (PadToggleTimer <= 50) {
        PadToggleTimer += FrameFactor * 1.2f;
        return;
    }
    if (!Key(key::G)) return;
    if (!GamePadOn) {
        GamePadOn = true;
        if (!InputObj->OpenGamePad(PadIndex)) {
            PadIndex = 0;
            InputObj->OpenGamePad(PadIndex);
            PadName = InputObj->GetGamePadText(PadIndex);
        } else {
            PadName = InputObj->GetGamePadText(PadIndex);
            PadIndex += 1;  // the next switch-on tries the next pad
        }
    } else {
        GamePadOn = false;
    }
    PadToggleTimer = 0;
}

void MiniViewKeys() {
    if (Key(key::F1)) {
        MiniViewLarge = false;
        MiniViewShown = true;
        MiniViewWidth = 250;
        MiniViewHeight = 210;
    }
    if (Key(key::F2)) {
        MiniViewLarge = true;
        MiniViewShown = true;
        MiniViewWidth = 320;
        MiniViewHeight = 290;
    }
    if (Key(key::F3)) MiniViewShown = false;
}

void RewardSounds() {
    if (CurrentLevel <= 1 || RewardSoundPlayed) return;
    RewardTime = FrameStartTime;
    for (int w = 3; w <= 8; ++w)
        if (!Owned(w) && WeaponPrice[w] < Money) {
            PlaySound("reward");
            RewardSoundPlayed = true;
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
    GravBeamFiring = false;
    if (!Mouse.Button0 && !PadButton(pad, 5)) return;
    const AxisSet axes = GetMeshAxes("hold");
    const Vector &r = axes.AxisRight, &u = axes.AxisUp, &f = axes.AxisFront;
    int& ring = FireRing[std::size_t(std::clamp(CurrentWeapon, 0, 7))];
    switch (CurrentWeapon) {
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
            GravBeamSelected = true;
            GravBeamFiring = true;
            break;
        default:
            break;
    }
}

void Afterburner(bool on) {
    if (on) {
        ShipSpeed += BoostAccel * FrameFactor;
        if (ShipSpeed > ShipMaxSpeed * FrameFactor) ShipSpeed = ShipMaxSpeed * FrameFactor;
        if (!AfterburnerOn) PlaySound("afterburn");
    } else if (AfterburnerOn) {
        StopSound("afterburn");
    }
    AfterburnerOn = on;
}

void Move() {
    const float F = FrameFactor;
    DecayToZero(SpeedDriven, ShipSpeed, F, ShipDrag);
    if (ShipSpeed != 0) {
        MeshObj->SelectMesh("hold");
        MeshObj->MoveForward(ShipSpeed, true, true);
        CameraObj->SelectCameraById(0);
        CameraObj->MoveCameraForward(ShipSpeed, true, true);
        CamPosNow = CameraObj->GetCameraPosition();
    }
    if (RollRate != 0) {
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraRoll(-RollRate, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraRoll(RollRate, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnRoll(-RollRate, 2);
        DecayToZero(RollDriven, RollRate, F, F * RollStep);
    }
    if (StrafeRate != 0) {
        CheckForwardCollision(StrafeRate);
        CameraObj->SelectCameraById(0);
        CameraObj->MoveCameraRight(StrafeRate, true, true);
        DecayToZero(StrafeDriven, StrafeRate, F, F * StrafeStep);
    }
    ShipSpeed = std::clamp(ShipSpeed, -ShipMaxSpeed * F, ShipMaxSpeed * F);
}

}  // namespace

void UpdateCameraVectors() {
    CameraObj->SelectCameraById(0);
    CamBasis.CamPos = CameraObj->GetCameraPosition();
    CamBasis.CamMatrix = CameraObj->GetCameraMatrix();
    const auto& m = CamBasis.CamMatrix.m;
    CamBasis.CamRight = MathObj->MakeVector(m[0], m[1], m[2]);
    CamBasis.CamUp = MathObj->MakeVector(m[4], m[5], m[6]);
    CamBasis.CamFront = MathObj->MakeVector(m[8], m[9], m[10]);
    CamBasis.CamBack = {-CamBasis.CamFront.x, -CamBasis.CamFront.y, -CamBasis.CamFront.z};
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
    ShipSpeed = 0;
    PitchRate = YawRate = RollRate = StrafeRate = 0;
    PitchDriven = YawDriven = RollDriven = StrafeDriven = SpeedDriven = false;
    CollisionFlash = BumpActive = false;
    BumpTimer = 0;
}

void ResetFlightState() {
    StopShip();
    ShipAccel = 0.1f;
    BrakeRate = ShipAccel;
    ShipDrag = 0.1f;
    BoostAccel = 0.25f;
    CruiseTopSpeed = 20.0f;
    ShipMaxSpeed = 25.0f;
    ProbeReach = 15.0f;
    LastCollisionMesh = -1;
    FlashTimer = 0;
    FlashTimerFrame = 1;
    SensMessageOn = false;
    SensMessageTimer = 0;
    PadName.clear();
    NextLatch = PreviousLatch = false;
    AfterburnerOn = false;
    FireRing.fill(0);
    GravBeamSelected = GravBeamFiring = ThrowArmed = false;
    GrabCandidate = -1;
    Mouse = MouseState{};
    // The rear view starts with the low-detail setting.
    MiniViewShown = Options.Graphics.Value() == 1;
    MiniViewLarge = false;
    MiniViewWidth = 250;
    MiniViewHeight = 210;
}

void CentreSteeringPointer() {
    InputObj->SetMousePosition(100, 100, 0);
}

void SteerShip() {
    const float F = FrameFactor, S = MouseSensitivity;
    Mouse = InputObj->GetMouseState(0);
    CentreSteeringPointer();
    const GamePadState pad = InputObj->GetGamePadState();

    if (Mouse.Y != 0) ApplyTurnStep(PitchRate, PitchDriven, float(Mouse.Y - 100) * F * S / 20);
    if (GamePadOn && (pad.RotationZ > 45000 || pad.RotationZ < 15000))
        ApplyTurnStep(PitchRate, PitchDriven, float(pad.RotationZ - 32767) / 12000 * F * S / 20);
    if (PitchDriven) {
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraPitch(-PitchRate, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraPitch(PitchRate, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnPitch(-PitchRate, 2);
        DecayToZero(PitchDriven, PitchRate, F, TurnDecay);
    }

    if (Mouse.X != 0) ApplyTurnStep(YawRate, YawDriven, float(Mouse.X - 100) * F * S / 20);
    if (GamePadOn && (pad.Z > 40000 || pad.Z < 15000))
        ApplyTurnStep(YawRate, YawDriven, float(pad.Z - 32767) / 12000 * F * S / 20);
    if (YawDriven) {
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraYaw(YawRate, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraYaw(YawRate, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnYaw(YawRate, 2);
        DecayToZero(YawDriven, YawRate, F, TurnDecay);
    }

    UpdateCameraVectors();
    CamPosNow = CameraObj->GetCameraPosition();
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
    const Vector toSun = sun - CamBasis.CamPos;
    const float length = Length(toSun);
    const HitInfoRec hit = MeshObj->RayHit(RayRec{CamBasis.CamPos, Normalise(toSun)}, 3, length, 0, 0, true);
    const bool hidden = hit.HitFlag && !IsSkipEntity(hit.HitId);
    SkyObj->SelectSkyItem("flare");
    SkyObj->SetFlareVisible(!hidden);
}

void ProbeCollisionsAndPickup() {
    for (const RayRec& ray : ProbeRays) {
        const HitInfoRec hit = MeshObj->RayHit(ray, 3, ShipSpeed + ProbeReach, SkipFilter());
        if (!hit.HitFlag || IsSkipEntity(hit.HitId) || CheckPowerUpPickup(hit.HitId)) continue;
        if (GravityBeam && hit.HitId == GravityBeam->GrabbedMeshIndex()) continue;

        LastCollisionMesh = hit.HitId;
        SpeedDriven = true;
        if (!Invincible) {
            CollisionFlash = true;
            PlaySound("camcollide");
        }
        // Bounce: back the way the ship came, never faster than the cruise limit.
        if (ShipSpeed > 0)
            ShipSpeed = ShipSpeed < ForwardLimit ? -ShipSpeed : ReverseLimit;
        else if (ShipSpeed < 0)
            ShipSpeed = ShipSpeed > ReverseLimit ? -ShipSpeed : ForwardLimit;
        else
            ShipSpeed = ReverseLimit;
        MeshObj->SelectMesh("hold");
        MeshObj->MoveForward(ShipSpeed, true, true);
        BumpActive = true;
        BumpTimer = 0;
        break;
    }
}

void HandleShipCommands() {
    const GamePadState pad = InputObj->GetGamePadState();
    const bool afterburner = Mouse.Button1 || PadButton(pad, 4) || (GamePadOn && pad.Y < 8000);
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
    if (MiniViewShown) {
        CameraObj->SetCameraActive(true);
        MiniViewport();
        CameraObj->SetCameraPosition(CamBasis.CamPos);
    } else {
        CameraObj->SetCameraPosition(CamBasis.CamPos);
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
    const float F = FrameFactor;
    if (Invincible && CollisionFlash) {
        if (Draw2DObj->SelectImage("shield")) Draw2DObj->SetImageVisible(false);
        CollisionFlash = false;
    }
    if (BumpActive) {
        BumpTimer += F * 10;
        if (BumpTimer >= 10) BumpActive = false;
        return;
    }
    if (!CollisionFlash || Invincible) return;
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
    CollisionFlash = false;
    PlayerHitPending = false;
    if (Draw2DObj->SelectImage("shield")) Draw2DObj->SetImageVisible(false);
    AddShieldDamage(18);
    if (ShieldDamage >= ShieldMax) {
        ResetShield();
        ShipDestroyed = true;
        ExplodeShip();
    }
    CheckShield();
}

void DrawFlightMessages() {
    if (SensMessageOn)
        Draw2DObj->DrawText(MathObj->MakeVector2(float(ScreenCentreX) - 75, 30),
                            GameText("mousesensitive") + " " + Printed(MouseSensitivity));
    if (PadToggleTimer < 50)
        Draw2DObj->DrawText(MathObj->MakeVector2(float(ScreenCentreX) - 100, 30),
                            GameText(GamePadOn ? "gpadon" : "gpadoff") + " " + PadName);
    if (MiniViewShown) {
        const float W = float(ScreenWidth);
        Draw2DObj->DrawRectangle(
            MathObj->MakeVector2(W - float(MiniViewWidth) * ScaleX - 25 * ScaleX, 25 * ScaleY),
            MathObj->MakeVector2(W - 25 * ScaleX, 25 * ScaleY + float(MiniViewHeight) * ScaleY), false);
    }
}

}  // namespace quorvel
