// Flying the ship: mouse, keys and game pad steer the main camera, the rear view and
// the holder mesh together; thrust, brake and the afterburner keep their limits; the
// probe rays bounce the ship; the weapon wheel passes weapons not owned; the gravity
// beam grabs, holds and throws.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "combat/weapons_fixture.h"
#include "common/common.h"
#include "common/texts.h"
#include "assets/assets.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "platform/engine/input_feed.h"
#include "platform/engine/scancodes.h"

namespace quorvel {
namespace {

using test::ExpectNear;

Vector CameraFront(int id) {
    CameraObj->SelectCameraById(id);
    const Matrix4 m = CameraObj->GetCameraMatrix();
    CameraObj->SelectCameraById(0);
    return {m(2, 0), m(2, 1), m(2, 2)};
}

Vector CameraPosition(int id) {
    CameraObj->SelectCameraById(id);
    const Vector p = CameraObj->GetCameraPosition();
    CameraObj->SelectCameraById(0);
    return p;
}

float AngleBetween(const Vector& a, const Vector& b) {
    const float c = std::clamp(Dot(Normalise(a), Normalise(b)), -1.0f, 1.0f);
    return std::acos(c) * 180.0f / 3.14159265f;
}

class ShipFlight : public test::WeaponsTest {
  protected:
    void SetUp() override {
        WeaponsTest::SetUp();
        for (const char* key :
             {"engine", "wchange", "reward", "afterburn", "gravbeam", "gravgrab", "gravshoot", "aliengib"}) {
            folder.Write(std::string(key) + ".wav", test::SoundBytes());
            SoundObj->LoadSound(key, sys::ProgramFolder() + "\\" + key + ".wav", 0, 0);
        }
        folder.Write("mesh/box.3ds", test::Box3ds(-5, -5, -5, 5, 5, 5));
        CameraObj->ClearCameras();
        CameraObj->SelectCamera("main");
        CameraObj->SelectCamera("miniCam");
        Node("hold");
        Node("virtualast");
        Effects.SkipList.assign(1, SkipEntry{});
        Effects.SkipCount = 0;
        Level.TutorialSteps = {};
        ResetShield();
        ResetFlightState();
        ResetCamera();
        Flight.MouseSensitivity = 1.56f;
        Flight.GamePadOn = false;
        Flight.PadToggleTimer = 51;
        Flight.PadIndex = 0;
        Campaign.OwnsIon = Campaign.OwnsMion = Campaign.OwnsEplas = Campaign.OwnsDisperse =
            Campaign.OwnsGamma = Campaign.OwnsGravBeam = false;
        Arsenal.GravityBeam->Init();
        InputObj->SetMousePosition(100, 100, 0);
    }

    // A solid box 10 units across, centred on the point.
    int Box(const std::string& key, const Vector& at) {
        const int id = LoadLevelMesh(key, "", "box", "", at, 1, false, false, {}, 0, false, false, false);
        MeshObj->SetVisible(true);
        return id;
    }

    // The ship's axes and the probe rays, for a probe step tried on its own.
    void ShipAxes() {
        Ship.CamAxes = GetMeshAxes("hold");
        BuildProbeRays();
    }

    // One frame of play: the ship's flight as the frame loop runs it, then what the
    // frame draws of it.
    void Frame() {
        FrameObj->BeginFrame();
        RunShipFlight();
        FrameObj->RenderScene();
        DrawCollisionFlash();
        DrawFlightMessages();
        FrameObj->EndFrame();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // Keys held together for `frames` frames from the next one.
    void Hold(const std::vector<int>& keys, int frames) {
        for (int k : keys)
            h.KeyPress(h.Frame() + 1, k, frames);
        Frames(frames);
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const auto& call : h.LastQueue())
            if (call.kind == engine::Draw2DCall::Kind::Text) texts.push_back(call.text);
        return texts;
    }
};

TEST_F(ShipFlight, MouseAndPadSteeringSteps) {
    struct Row {
        const char* what;
        int dx, dy;
        float sensitivity, factor;
        bool pad;
        int padZ, padRotZ;
        float turnPitch, turnYaw;  // the turn of the frame
    };
    const float padStep = (60000.0f - 32767) / 12000 * 1.56f / 20;
    const Row rows[] = {
        {"10 px down at 1.56 doubles the first step", 0, 10, 1.56f, 1, false, 32767, 32767, 1.56f, 0},
        {"10 px up", 0, -10, 1.56f, 1, false, 32767, 32767, -1.56f, 0},
        {"10 px right", 10, 0, 1.56f, 1, false, 32767, 32767, 0, 1.56f},
        {"a big move is held to 6.5", 0, 200, 2.4f, 1, false, 32767, 32767, 6.5f, 0},
        {"the limit scales with the frame", 0, -99, 2.4f, 0.5f, false, 32767, 32767, -3.25f, 0},
        {"the pad alone", 0, 0, 1.56f, 1, true, 32767, 60000, 2 * padStep, 0},
        {"mouse then pad: only the first is doubled", 0, 10, 1.56f, 1, true, 32767, 60000, 1.56f + padStep,
         0},
        {"the pad's pitch rests within 15000 to 45000", 0, 0, 1.56f, 1, true, 32767, 44000, 0, 0},
        {"its yaw axis already counts above 40000", 0, 0, 1.56f, 1, true, 41000, 32767, 0,
         2 * (41000.0f - 32767) / 12000 * 1.56f / 20},
        {"a pad switched off is not read", 0, 0, 1.56f, 1, false, 60000, 60000, 0, 0},
    };
    engine::ConnectGamePad(0, "Pad A", 8, 12);
    InputObj->OpenGamePad(0);
    InputObj->EnableGamePad(true);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ResetFlightState();
        ResetCamera();
        Flight.MouseSensitivity = r.sensitivity;
        Campaign.FrameFactor = r.factor;
        Flight.GamePadOn = r.pad;
        GamePadState pad;
        pad.Z = r.padZ;
        pad.RotationZ = r.padRotZ;
        engine::FeedGamePad(0, pad);
        h.MouseMove(h.Frame() + 1, r.dx, r.dy);
        const Vector front = CameraFront(0);
        Frame();
        // Positive pitch turns the front down, positive yaw to the right.
        const Vector now = CameraFront(0);
        EXPECT_NEAR(AngleBetween(front, now), std::fabs(r.turnPitch) + std::fabs(r.turnYaw), 1e-3f);
        // What is left for the next frame: the turn less its decay.
        const float decay = r.factor * 0.0515f;
        auto rest = [&](float turn) { return turn == 0 ? 0 : turn - std::copysign(decay, turn); };
        EXPECT_NEAR(Flight.PitchRate, rest(r.turnPitch), 1e-4f);
        EXPECT_NEAR(Flight.YawRate, rest(r.turnYaw), 1e-4f);
        if (r.turnPitch != 0) {
            EXPECT_EQ(now.y<front.y, r.turnPitch> 0);
        }
        if (r.turnYaw != 0) {
            EXPECT_EQ(now.x > front.x, r.turnYaw < 0);
        }
    }
    engine::DisconnectGamePad(0);
}

TEST_F(ShipFlight, ASteadyMouseKeepsTurningWithoutDoubling) {
    h.MouseMove(1, 0, 10).MouseMove(2, 0, 10);
    Frames(2);
    // 1.56 doubled at rest, then 0.78 on top of what the decay left.
    EXPECT_NEAR(Flight.PitchRate, 1.56f - 0.0515f + 0.78f - 0.0515f, 1e-4f);
    Frames(60);
    EXPECT_EQ(Flight.PitchRate, 0);
}

TEST_F(ShipFlight, TheRearViewAndTheHolderTurnAndMoveWithTheCamera) {
    for (int f = 1; f <= 40; f += 4)
        h.MouseMove(f, (f % 3) * 7 - 5, 9 - (f % 5) * 4);
    h.KeyPress(5, key::Q, 10).KeyPress(20, key::E, 4).KeyPress(1, key::W, 30).KeyPress(12, key::D, 6);
    Frames(45);
    const Vector front = CameraFront(0);
    // The holder and the rear view look backwards from the cockpit.
    ExpectNear(CameraFront(1), -1 * front);
    const AxisSet hold = GetMeshAxes("hold");
    ExpectNear(hold.AxisFront, -1 * front);
    // The rear view was put where the camera stood before this frame's move.
    ExpectNear(CameraPosition(1), Ship.CamBasis.CamPos);
    UpdateCameraVectors();
    ExpectNear(Ship.CamBasis.CamFront, front);
    ExpectNear(Ship.CamBasis.CamBack, -1 * front);
    ExpectNear(Flight.CamPosNow, CameraPosition(0));
    EXPECT_GT(Distance(CameraPosition(0), Vector{0, 0, 1}), 5.0f);
}

TEST_F(ShipFlight, ThrustBrakeAfterburnerAndCoasting) {
    struct Row {
        const char* what;
        float start;
        std::vector<int> keys;
        bool afterburner;
        int frames;
        float speed;
    };
    const Row rows[] = {
        {"thrust adds 0.1 a frame", 0, {key::W}, false, 10, 1.0f},
        {"the arrow key thrusts too", 0, {key::Up}, false, 10, 1.0f},
        {"plain thrust stops at 20", 0, {key::W}, false, 300, 20},
        {"the afterburner goes on to 25", 0, {key::W}, true, 300, 25},
        {"braking from rest goes backwards", 0, {key::S}, false, 5, -0.5f},
        {"braking while moving forward is doubled", 10, {key::S}, false, 1, 9.8f},
        {"backwards no faster than 20", 0, {key::Down}, false, 400, -20},
        {"without input the ship coasts", 10, {}, false, 1, 9.9f},
        {"space cuts the engines while thrusting", 10, {key::W, key::Space}, false, 1, 10.0f},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ResetFlightState();
        Ship.ShipSpeed = r.start;
        if (r.afterburner) h.MouseButton(h.Frame() + 1, 1, true);
        Hold(r.keys, r.frames);
        if (r.afterburner) h.MouseButton(h.Frame() + 1, 1, false);
        EXPECT_NEAR(Ship.ShipSpeed, r.speed, 1e-3f);
    }
    // The afterburner sound starts once and ends with it.
    const std::size_t before = Plays("afterburn").size();
    h.MouseButton(h.Frame() + 1, 1, true);
    Frames(3);
    h.MouseButton(h.Frame() + 1, 1, false);
    Frame();
    EXPECT_EQ(Plays("afterburn").size() - before, 1u);
    EXPECT_EQ(Stops("afterburn"), 1);
}

TEST_F(ShipFlight, ThrustMovesTheCameraAlongItsView) {
    Hold({key::W}, 10);
    // 0.1 + 0.2 + ... + 1.0 toward where the camera looks (it starts at z 1 looking at -z).
    ExpectNear(CameraPosition(0), {0, 0, 1 - 5.5f});
    EXPECT_EQ(Plays("engine").front(), true);
    Frame();
    EXPECT_GE(Stops("engine"), 1);
}

TEST_F(ShipFlight, RollAndStrafeDecayAsTheyBuild) {
    struct Row {
        const char* what;
        int key;
        float factor;
        int frames;
        float roll, strafe;  // the rate left after the frames
        float sideways;      // the camera's move along its right axis
    };
    const Row rows[] = {
        // At a full frame the decay takes back all of a frame's step.
        {"Q", key::Q, 1, 10, 0, 0, 0},
        {"D", key::D, 1, 10, 0, 0, 1.5f},
        {"A", key::A, 1, 10, 0, 0, -1.5f},
        // At half a frame the rate builds by 0.03 a frame.
        {"Q at half frames", key::Q, 0.5f, 10, 0.3f, 0, 0},
        {"E at half frames stops at its limit", key::E, 0.5f, 100, -1.0f, 0, 0},
        {"D at half frames", key::D, 0.5f, 4, 0, 0.15f, 0.075f + 0.1125f + 0.15f + 0.1875f},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ResetFlightState();
        ResetCamera();
        Campaign.FrameFactor = r.factor;
        Hold({r.key}, r.frames);
        EXPECT_NEAR(Flight.RollRate, r.roll, 0.035f);
        EXPECT_NEAR(Flight.StrafeRate, r.strafe, 1e-3f);
        EXPECT_NEAR(CameraPosition(0).x, -r.sideways, 1e-3f);  // the camera's right is -x
    }
}

TEST_F(ShipFlight, SensitivityKeysAndTheirMessage) {
    GameTexts[2] = "Mouse sensitivity";
    struct Row {
        float start;
        int key;
        int frames;
        float factor;
        float result;
    };
    const Row rows[] = {{0.21f, key::Minus, 1, 1, 0.2f},
                        {2.39f, key::Equals, 1, 1, 2.4f},
                        {1.0f, key::Equals, 5, 1, 1.2f},
                        {1.0f, key::Minus, 5, 2, 0.6f},
                        {0.2f, key::Minus, 30, 1, 0.2f}};
    for (const Row& r : rows) {
        Flight.MouseSensitivity = r.start;
        Campaign.FrameFactor = r.factor;
        Hold({r.key}, r.frames);
        EXPECT_NEAR(Flight.MouseSensitivity, r.result, 1e-4f) << r.start;
    }
    Campaign.FrameFactor = 1;
    Hold({key::Equals}, 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Mouse sensitivity 0.24"});
    // Two units a frame after the key: gone once past 25.
    Frames(12);
    EXPECT_EQ(Texts().size(), 1u);
    Frame();
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ShipFlight, GamePadToggleTakesOnePressPer50Units) {
    GameTexts[3] = "Pad on:";
    GameTexts[4] = "Pad off:";
    engine::ConnectGamePad(0, "Pad A", 8, 12);
    Hold({key::G}, 1);
    EXPECT_TRUE(Flight.GamePadOn);
    EXPECT_EQ(Flight.PadIndex, 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Pad on: Pad A"});
    // Within 50 units (1.2 a frame) a second press changes nothing.
    Frames(20);
    Hold({key::G}, 1);
    EXPECT_TRUE(Flight.GamePadOn);
    Frames(22);
    Hold({key::G}, 1);
    EXPECT_FALSE(Flight.GamePadOn);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Pad off: Pad A"});
    // There is no second pad: the next switch-on falls back to the first.
    Frames(43);
    Hold({key::G}, 1);
    EXPECT_TRUE(Flight.GamePadOn);
    EXPECT_EQ(Flight.PadIndex, 0);
    Frames(43);
    EXPECT_TRUE(Texts().empty());
    engine::DisconnectGamePad(0);
}

TEST_F(ShipFlight, TheWeaponWheelPassesWeaponsNotOwned) {
    enum Kind { Wheel, Number, PadNext, PadPrevious };
    struct Input {
        Kind kind;
        int value;
        int weapon;  // CurrentWeapon after it
    };
    struct Row {
        const char* what;
        std::vector<int> owned;
        int start;
        std::vector<Input> inputs;
    };
    const Row rows[] = {
        {"only plasma and laser", {}, 1, {{Wheel, 1, 2}, {Wheel, 1, 1}, {Wheel, -1, 2}, {Wheel, -1, 1}}},
        {"mion and the beam owned",
         {4, 8},
         2,
         {{Wheel, 1, 4}, {Wheel, 1, 8}, {Wheel, 1, 1}, {Wheel, -1, 8}, {Wheel, -1, 4}, {Wheel, -1, 2}}},
        {"gamma owned, backwards from plasma", {7}, 1, {{Wheel, -1, 7}, {Wheel, -1, 2}}},
        {"number keys only for weapons owned",
         {6},
         1,
         {{Number, key::D5, 1}, {Number, key::D6, 6}, {Number, key::D2, 2}, {Number, key::D8, 2}}},
        {"pad buttons 3 and 2", {3}, 1, {{PadNext, 0, 2}, {PadNext, 0, 3}, {PadPrevious, 0, 2}}},
    };
    engine::ConnectGamePad(0, "Pad A", 8, 12);
    InputObj->OpenGamePad(0);
    InputObj->EnableGamePad(true);
    Flight.GamePadOn = true;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Campaign.OwnsIon = Campaign.OwnsMion = Campaign.OwnsEplas = Campaign.OwnsDisperse =
            Campaign.OwnsGamma = Campaign.OwnsGravBeam = false;
        bool* flags[9] = {nullptr,
                          nullptr,
                          nullptr,
                          &Campaign.OwnsIon,
                          &Campaign.OwnsMion,
                          &Campaign.OwnsEplas,
                          &Campaign.OwnsDisperse,
                          &Campaign.OwnsGamma,
                          &Campaign.OwnsGravBeam};
        for (int w : r.owned)
            *flags[w] = true;
        Campaign.CurrentWeapon = r.start;
        for (const Input& in : r.inputs) {
            const int next = h.Frame() + 1;
            GamePadState pad;
            if (in.kind == Wheel) h.MouseWheel(next, in.value);
            if (in.kind == Number) h.KeyPress(next, in.value);
            if (in.kind == PadNext) pad.Buttons[3] = 1;
            if (in.kind == PadPrevious) pad.Buttons[2] = 1;
            engine::FeedGamePad(0, pad);
            // Held for three frames: one step per press.
            Frames(3);
            engine::FeedGamePad(0, GamePadState{});
            Frame();
            EXPECT_EQ(Campaign.CurrentWeapon, in.weapon);
            EXPECT_EQ(Flight.GravBeamSelected, in.weapon == 8);
        }
    }
    engine::DisconnectGamePad(0);
}

TEST_F(ShipFlight, TheLeftButtonFiresTheCurrentWeapon) {
    struct Row {
        int weapon;
        std::span<ShotRec> shots;
        float fired;
    };
    const Row rows[] = {{1, Arsenal.PlasmaShots, 1}, {2, Arsenal.LaserShots, 1},
                        {3, Arsenal.IonShots, 1},    {4, Arsenal.MionShots, 1},
                        {5, Arsenal.EplasShots, 1},  {6, Arsenal.DisperseShots, 5},
                        {7, Arsenal.GammaShots, 1}};
    Arsenal.InfiniteEnergy = true;
    for (const Row& r : rows) {
        Campaign.CurrentWeapon = r.weapon;
        Arsenal.WeaponEnergy[std::size_t(r.weapon)].Energy = 1000;
        r.shots[0].Reload = 101;
        Level.ShotsFired = 0;
        h.MouseButton(h.Frame() + 1, 0, true);
        Frame();
        h.MouseButton(h.Frame() + 1, 0, false);
        EXPECT_EQ(Level.ShotsFired, r.fired) << r.weapon;
        EXPECT_TRUE(r.shots[1].Active) << r.weapon;
        EXPECT_FALSE(Flight.GravBeamFiring);
    }
    // The beam fires no shot: it holds its fire flag for the beam's control.
    Campaign.OwnsGravBeam = true;
    Campaign.CurrentWeapon = 8;
    Level.ShotsFired = 0;
    h.MouseButton(h.Frame() + 1, 0, true);
    Frame();
    EXPECT_EQ(Level.ShotsFired, 0);
    EXPECT_TRUE(Flight.GravBeamFiring);
    EXPECT_TRUE(Flight.GravBeamSelected);
}

TEST_F(ShipFlight, ProbeCollisionsBounceTheShip) {
    struct Row {
        const char* what;
        float speed;
        float reach;
        bool invincible;
        float after;
    };
    const Row rows[] = {
        {"full speed ahead goes back at the limit", 20, 15, false, -20},
        {"below the limit the speed turns round", 10, 15, false, -10},
        {"standing still it is pushed back", 0, 15, false, -20},
        {"backing slowly turns round", -5, 15, false, 5},
        {"backing at the limit goes forward at it", -20, 40, false, 20},
        {"invincible ships bounce too", 20, 15, true, -20},
    };
    // A box 12 units ahead of the camera (its near face at 7).
    const int box = Box("wall", {0, 0, 1 - 12.0f});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ResetFlightState();
        ResetShield();
        Flight.ForwardLimit = Campaign.FrameFactor * Ship.CruiseTopSpeed;  // the frame loop's speed limits
        Flight.ReverseLimit = -Flight.ForwardLimit;
        Ship.ShipSpeed = r.speed;
        Flight.ProbeReach = r.reach;
        Ship.Invincible = r.invincible;
        const std::size_t sounds = Plays("camcollide").size();
        FrameObj->BeginFrame();
        SteerShip();
        ShipAxes();
        ProbeCollisionsAndPickup();
        FrameObj->EndFrame();
        EXPECT_FLOAT_EQ(Ship.ShipSpeed, r.after);
        EXPECT_EQ(Flight.LastCollisionMesh, box);
        EXPECT_TRUE(Flight.SpeedDriven);
        EXPECT_TRUE(Flight.BumpActive);
        EXPECT_EQ(Flight.CollisionFlash, !r.invincible);
        EXPECT_EQ(Plays("camcollide").size() - sounds, r.invincible ? 0u : 1u);
    }
    Ship.Invincible = false;
}

TEST_F(ShipFlight, WhatTheProbeRaysPassThrough) {
    const int box = Box("wall", {0, 0, -11});
    struct Row {
        const char* what;
        bool skip, powerUp, held, hidden;
    };
    const Row rows[] = {{"a skip-list entity", true, false, false, false},
                        {"a power-up, which is collected", false, true, false, false},
                        {"what the gravity beam holds", false, false, true, false},
                        {"a hidden mesh", false, false, false, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ResetFlightState();
        Effects.SkipList.assign(1, SkipEntry{});
        Effects.SkipCount = 0;
        if (r.skip) AddSkipEntity(box);
        PowerUps.PowerUpMeshes = NoIds<5>();
        if (r.powerUp) PowerUps.PowerUpMeshes[1] = box;
        Arsenal.GravityBeam->Init();
        if (r.held) Arsenal.GravityBeam->Grab(box);
        MeshObj->SelectMeshById(box);
        MeshObj->SetVisible(!r.hidden);
        Ship.ShipSpeed = 10;
        FrameObj->BeginFrame();
        SteerShip();
        ShipAxes();
        ProbeCollisionsAndPickup();
        FrameObj->EndFrame();
        EXPECT_EQ(Ship.ShipSpeed, 10);
        EXPECT_FALSE(Flight.CollisionFlash);
    }
}

TEST_F(ShipFlight, TheShieldFlashCostsEighteenAfterItsSixteenFrames) {
    struct Row {
        const char* what;
        float damageBefore;
        bool invincible;
        float damageAfter;
        bool destroyed;
    };
    const Row rows[] = {{"a plain bump", 0, false, 18, false},
                        {"invincible: no flash, no damage", 0, true, 0, false},
                        {"the last of the shield", 85, false, 0, true}};
    Box("wall", {0, 0, -11});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ResetFlightState();
        ResetShield();
        Ship.ShieldDamage = r.damageBefore;
        Level.ShipDestroyed = false;
        Ship.Invincible = r.invincible;
        Ship.ShipSpeed = 10;
        FrameObj->BeginFrame();
        SteerShip();
        ShipAxes();
        ProbeCollisionsAndPickup();
        FrameObj->EndFrame();
        MeshObj->SelectMesh("wall");
        MeshObj->SetVisible(false);  // one bump only
        // The bump's frame, then sixteen flash frames.
        for (int f = 0; f < 16; ++f) {
            DrawCollisionFlash();
            EXPECT_NEAR(Ship.ShieldDamage, r.damageBefore, 1e-4f) << f;
        }
        DrawCollisionFlash();
        EXPECT_NEAR(Ship.ShieldDamage, r.damageAfter, 1e-4f);
        EXPECT_FALSE(Flight.CollisionFlash);
        EXPECT_EQ(Level.ShipDestroyed, r.destroyed);
        MeshObj->SelectMesh("wall");
        MeshObj->SetVisible(true);
    }
    Ship.Invincible = false;
}

TEST_F(ShipFlight, TheLensFlareHidesBehindWhatIsNotSkipped) {
    SkyObj->CreateSkyItem("flare", 3, 1.0f);
    SkyObj->SetFlareSource({0, 0, -5000});
    const int box = Box("moon", {0, 0, -2000});
    auto flareShown = [&] {
        UpdateCameraVectors();
        UpdateLensFlare();
        return h.Scene().sky.Find("flare")->visible;
    };
    EXPECT_FALSE(flareShown());
    AddSkipEntity(box);
    EXPECT_TRUE(flareShown());
    Effects.SkipList.assign(1, SkipEntry{});
    Effects.SkipCount = 0;
    MeshObj->SelectMeshById(box);
    MeshObj->SetPosition({500, 0, -2000});
    EXPECT_TRUE(flareShown());
}

TEST_F(ShipFlight, TheRearViewFollowsItsKeys) {
    struct Row {
        int key;
        bool shown, large;
        int width, height;
    };
    const Row rows[] = {
        {key::F2, true, true, 320, 290}, {key::F3, false, true, 320, 290}, {key::F1, true, false, 250, 210}};
    for (const Row& r : rows) {
        Hold({r.key}, 1);
        EXPECT_EQ(Flight.MiniViewShown, r.shown);
        EXPECT_EQ(Flight.MiniViewLarge, r.large);
        EXPECT_EQ(Display.MiniViewWidth, r.width);
        EXPECT_EQ(Display.MiniViewHeight, r.height);
        const engine::CameraItem* cam = h.Scene().cameras.Find(1);
        ASSERT_NE(cam, nullptr);
        EXPECT_EQ(cam->active, r.shown);
        // Its frame is drawn around it, 25 pixels in from the top right.
        std::vector<engine::Draw2DCall> frames;
        for (const auto& call : h.LastQueue())
            if (call.kind == engine::Draw2DCall::Kind::Rectangle) frames.push_back(call);
        ASSERT_EQ(frames.size(), r.shown ? 1u : 0u);
        if (r.shown) {
            EXPECT_FLOAT_EQ(cam->viewTopLeft.x, 1280 - 25 - float(r.width));
            EXPECT_FLOAT_EQ(cam->viewBottomRight.y, 25 + float(r.height));
            EXPECT_FLOAT_EQ(frames[0].a.x, cam->viewTopLeft.x);
            EXPECT_FLOAT_EQ(frames[0].b.y, cam->viewBottomRight.y);
        }
    }
    SwitchMiniCameraOff();
    EXPECT_FALSE(h.Scene().cameras.Find(1)->active);
}

TEST_F(ShipFlight, TheRunStartsWithTheRearViewOfTheDetailSetting) {
    for (int graphics : {1, 2, 3}) {
        Options.Graphics.SetValue(graphics);
        Flight.MiniViewShown = !(graphics == 1);
        Flight.MiniViewLarge = true;
        ResetFlightState();
        EXPECT_EQ(Flight.MiniViewShown, graphics == 1) << graphics;
        EXPECT_FALSE(Flight.MiniViewLarge);
        EXPECT_EQ(Display.MiniViewWidth, 250);
    }
}

TEST_F(ShipFlight, ResetCameraPutsBothCamerasBack) {
    h.MouseMove(1, 30, 20);
    Hold({key::W, key::Q}, 20);
    ResetCamera();
    // The main camera answers to "camera" too.
    EXPECT_TRUE(CameraObj->SelectCamera("camera"));
    ExpectNear(CameraObj->GetCameraPosition(), {0, 0, 1});
    ExpectNear(CameraFront(0), {0, 0, -1});
    ExpectNear(CameraPosition(1), {0, 0, -1});
    ExpectNear(CameraFront(1), {0, 0, 1});
    ExpectNear(GetMeshAxes("hold").AxisFront, {0, 0, 1});
    EXPECT_EQ(h.Scene().cameras.Size(), 2);
}

// The gravity beam on a field of two solid targets: a rock 300 ahead to grab and a
// slab further on, whose near face the thrown rock reaches on its fourth frame.
class GravityBeamControl : public ShipFlight {
  protected:
    void SetUp() override {
        ShipFlight::SetUp();
        for (const char* key : {"hit"}) {
            folder.Write(std::string(key) + ".wav", test::SoundBytes());
            SoundObj->LoadSound(key, sys::ProgramFolder() + "\\" + key + ".wav", 0, 0);
        }
        folder.Write("mesh/rock.3ds", test::Box3ds(-40, -40, -40, 40, 40, 40));
        folder.Write("mesh/slab.3ds", test::Box3ds(-300, -300, -100, 300, 300, 100));
        Field(2);
        rock =
            LoadLevelMesh("rockA", "", "rock", "", {0, 0, -300}, 1, false, false, {}, 0, false, false, false);
        slab = LoadLevelMesh("slabB", "", "slab", "", {0, 0, -1300}, 1, false, false, {}, 0, false, false,
                             false);
        for (int i : {1, 2}) {
            Level.Asteroids[std::size_t(i)].MeshId = i == 1 ? rock : slab;
            Level.Asteroids[std::size_t(i)].HitPoints = 1000000;
        }
        Campaign.OwnsGravBeam = true;
        Campaign.CurrentWeapon = 8;
        Flight.GravBeamSelected = true;
        Level.ShotsHit = 0;
    }
    void Fire(bool down, int frames) {
        h.MouseButton(h.Frame() + 1, 0, down);
        Frames(frames);
    }
    // Grab, let go, press again: the rock flies until it strikes (at most 20 frames).
    void GrabAndThrow() {
        Fire(true, 3);
        ASSERT_TRUE(Arsenal.GravityBeam->Holding());
        Fire(false, 2);
        Fire(true, 1);
        ASSERT_TRUE(Arsenal.GravityBeam->BeingThrown());
        Fire(false, 1);
        for (int f = 0; f < 20 && Arsenal.GravityBeam->GrabbedMeshIndex() != -1; ++f)
            Frame();
    }
    int rock = -1, slab = -1;
};

TEST_F(GravityBeamControl, GrabHoldAndThrowIntoAnAsteroid) {
    Fire(true, 1);
    EXPECT_EQ(Arsenal.GravityBeam->GrabbedMeshIndex(), rock);
    EXPECT_EQ(Flight.GrabCandidate, rock);
    EXPECT_EQ(Plays("gravgrab").size(), 1u);
    EXPECT_TRUE(Plays("aliengib").empty());
    EXPECT_TRUE(Level.TutorialSteps[25]);
    // Fire kept held: held 350 ahead, never thrown.
    Fire(true, 30);
    EXPECT_TRUE(Arsenal.GravityBeam->Holding());
    EXPECT_FALSE(Arsenal.GravityBeam->BeingThrown());
    ExpectNear(PositionOf(rock), {0, 0, 1 - 350.0f});
    EXPECT_FALSE(Flight.ThrowArmed);
    Fire(false, 1);
    EXPECT_TRUE(Flight.ThrowArmed);
    Fire(true, 1);
    EXPECT_TRUE(Arsenal.GravityBeam->BeingThrown());
    EXPECT_FALSE(Flight.ThrowArmed);
    EXPECT_EQ(Plays("gravshoot").size(), 1u);
    Fire(false, 1);
    for (int f = 0; f < 20 && Arsenal.GravityBeam->GrabbedMeshIndex() != -1; ++f)
        Frame();
    EXPECT_EQ(Arsenal.GravityBeam->GrabbedMeshIndex(), -1);
    EXPECT_TRUE(Level.TutorialSteps[26]);
    // Both rocks take the beam's blow; the throw is a hit but no shot.
    EXPECT_EQ(Level.Asteroids[2].Damage, 10000);
    EXPECT_EQ(Level.Asteroids[1].Damage, 10000);
    EXPECT_EQ(Level.ShotsHit, 1);
    EXPECT_EQ(Level.ShotsFired, 0);
}

TEST_F(GravityBeamControl, WhatTheThrownRockStrikes) {
    struct Row {
        const char* what;
        int* role;  // the id that names the slab
    };
    int alienBody = -1;
    const Row rows[] = {{"the mothership takes 10000", &Level.MothershipId},
                        {"the battleship takes 10000", &Level.BattleshipId},
                        {"the station takes one of its points", &Level.StationId},
                        {"an alien takes 25000", &alienBody}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Level.Asteroids[2].MeshId = -1;
        Level.MothershipId = Level.BattleshipId = Level.StationId = -1;
        AlienFleet.Aliens[2] = AlienShip{};
        *r.role = slab;
        if (r.role == &alienBody) {
            AlienFleet.Aliens[2].Active = true;
            AlienFleet.Aliens[2].BodyMesh = slab;
            AlienFleet.Aliens[2].ShipHitPoints = 1000000;
        }
        Mothership.MothershipEnergy = 50000;
        Battleship.BattleshipHP = 50000;
        Level.StationHitPoints = 100;
        Arsenal.GravityBeam->Init();
        Level.Asteroids[1].Damage = 0;
        MeshObj->SelectMeshById(rock);
        MeshObj->SetPosition({0, 0, -300});
        MeshObj->SetVisible(true);
        ResetCamera();
        GrabAndThrow();
        EXPECT_EQ(Arsenal.GravityBeam->GrabbedMeshIndex(), -1);
        EXPECT_EQ(Mothership.MothershipEnergy, r.role == &Level.MothershipId ? 40000 : 50000);
        EXPECT_EQ(Battleship.BattleshipHP, r.role == &Level.BattleshipId ? 40000 : 50000);
        EXPECT_EQ(Level.StationHitPoints, r.role == &Level.StationId ? 99 : 100);
        EXPECT_EQ(AlienFleet.Aliens[2].DamageTaken, r.role == &alienBody ? 25000 : 0);
        EXPECT_EQ(Level.Asteroids[1].Damage, 10000);
    }
}

TEST_F(GravityBeamControl, AThrownAlienTakes25000AndSilencesItsCry) {
    Level.Asteroids[1].MeshId = -1;
    AlienFleet.Aliens[1].Active = true;
    AlienFleet.Aliens[1].BodyMesh = rock;
    AlienFleet.Aliens[1].ShipHitPoints = 1000000;
    GrabAndThrow();
    EXPECT_EQ(Plays("aliengib").size(), 1u);
    EXPECT_EQ(Stops("aliengib"), 1);
    EXPECT_EQ(AlienFleet.Aliens[1].DamageTaken, 25000);
    EXPECT_EQ(Level.Asteroids[2].Damage, 10000);
}

TEST_F(GravityBeamControl, NothingWithinReachIsGrabbed) {
    MeshObj->SelectMeshById(rock);
    MeshObj->SetPosition({0, 0, -800});
    Fire(true, 10);
    EXPECT_EQ(Arsenal.GravityBeam->GrabbedMeshIndex(), -1);
    EXPECT_TRUE(Plays("gravgrab").empty());
    // The beam hums while it is chosen and falls silent with another weapon.
    EXPECT_FALSE(Plays("gravbeam").empty());
    EXPECT_EQ(Plays("gravbeam").front(), true);
    Fire(false, 1);
    Hold({key::D1}, 1);
    EXPECT_FALSE(Flight.GravBeamSelected);
    EXPECT_EQ(Stops("gravbeam"), 1);
}

// The swirl is the beam waiting for something to grab: it shows whenever the beam is
// chosen and holds nothing, with fire held or not, and goes while it holds a rock and
// once another weapon is chosen.
TEST_F(GravityBeamControl, TheSwirlShowsWhileTheChosenBeamHoldsNothing) {
    folder.Write("tex/g.bmp", test::SolidBmp(4, 4, 0, 120, 255));
    int ids[2] = {};
    for (int k : {0, 1}) {
        ids[k] = Draw2DObj->LoadImage(sys::ProgramFolder() + "\\tex\\g.bmp",
                                      "gravbeam" + std::to_string(k + 1), 1);
        Draw2DObj->SetImageVisible(false);
    }
    auto swirl = [&] {
        const bool one = h.Scene().images.Find(ids[0])->visible;
        EXPECT_EQ(one, h.Scene().images.Find(ids[1])->visible);
        return one;
    };
    MeshObj->SelectMeshById(rock);
    MeshObj->SetPosition({0, 0, -800});  // out of reach for now
    Frames(2);
    EXPECT_TRUE(swirl()) << "chosen, fire never pressed";
    Fire(true, 3);
    EXPECT_TRUE(swirl()) << "fire held, nothing in reach";
    Fire(false, 3);
    EXPECT_TRUE(swirl()) << "fire let go";
    MeshObj->SelectMeshById(rock);
    MeshObj->SetPosition({0, 0, -300});
    Fire(true, 3);
    Fire(false, 2);
    ASSERT_TRUE(Arsenal.GravityBeam->Holding());
    EXPECT_FALSE(swirl()) << "holding the rock";
    Arsenal.GravityBeam->Init();
    Hold({key::D1}, 2);
    EXPECT_FALSE(swirl()) << "another weapon";
}

}  // namespace
}  // namespace quorvel
