// Shock waves, asteroid break-up, the explosion flip-book, hit sparks, explosion
// sounds, the starscape and the beam quads, on just the engine items each touches.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "effects_fixture.h"
#include "platform/engine/records.h"
#include "platform/system/random.h"

namespace quorvel {
namespace {

using EffectSteps = test::EffectsTest;
using test::ExpectNear;

Vector Plus(const Vector& a, const Vector& b, float k = 1) {
    return {a.x + k * b.x, a.y + k * b.y, a.z + k * b.z};
}

// ---- Shock waves --------------------------------------------------------------------

TEST_F(EffectSteps, ShockWaveGrowsAndFadesStepByStep) {
    struct Case {
        float frames, fade, speed, scale;
        int step;  // polls at frame factor 1 (each takes a step at these speeds)
        float size;
        const char* material;
    };
    const Case cases[] = {
        {30, 5, 3, 2, 1, 4, "fade100"},
        {30, 5, 3, 2, 4, 10, "fade100"},  // not past the fade start
        {30, 5, 3, 2, 5, 12, "fade96"},
        {30, 5, 3, 2, 17, 36, "fade48"},
        {30, 5, 3, 2, 30, 62, "fade1"},  // (30 - 31) / 25: raised to 1
        {25, 20, 300, 0.05f, 21, 1.1f, "fade60"},
        {10, 2, 3, 1, 8, 9, "fade12"},  // 12.5: the even neighbour
        {10, 2, 3, 1, 6, 7, "fade38"},  // 37.5
        {5, 5, 3, 1, 5, 6, "fade1"},    // no fade range: the faintest, no division by zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << "," << c.fade << " step " << c.step);
        MeshObj->ClearMeshes();
        Node("shock");
        clsSWave wave;
        wave.Init("shock");
        wave.MakeShockWave({1, 2, 3}, c.frames, c.fade, c.speed, c.scale);
        for (int i = 0; i < c.step; ++i)
            wave.Poll(1);
        EXPECT_TRUE(wave.Active);
        EXPECT_FLOAT_EQ(wave.CurrFrame, float(c.step + 1));
        EXPECT_NEAR(Mesh("shock").scale.x, c.size, 1e-4);
        EXPECT_EQ(MaterialOf("shock"), c.material);
        EXPECT_TRUE(Mesh("shock").visible);
        ExpectNear(Mesh("shock").place.position, {1, 2, 3});
    }
}

TEST_F(EffectSteps, ShockWaveLastsItsSizesAndAHidingStep) {
    Node("shock");
    Effects.ShockWave->MakeShockWave({0, 0, 0}, 30, 5, 3, 2);
    EXPECT_EQ(MaterialOf("shock"), "fade100");
    EXPECT_FLOAT_EQ(Mesh("shock").scale.x, 1);
    for (int i = 0; i < 30; ++i)
        Effects.ShockWave->Poll(1);
    EXPECT_TRUE(Mesh("shock").visible);
    Effects.ShockWave->Poll(1);  // the 31st step hides it
    EXPECT_FALSE(Effects.ShockWave->Active);
    EXPECT_FALSE(Mesh("shock").visible);
    EXPECT_FLOAT_EQ(Effects.ShockWave->CurrFrame, 1);

    // Restarting a running wave starts it over.
    Effects.ShockWave->MakeShockWave({5, 0, 0}, 30, 5, 3, 2);
    Effects.ShockWave->Poll(1);
    Effects.ShockWave->Poll(1);
    Effects.ShockWave->MakeShockWave({9, 0, 0}, 30, 5, 3, 2);
    EXPECT_FLOAT_EQ(Effects.ShockWave->CurrFrame, 1);
    EXPECT_FLOAT_EQ(Mesh("shock").scale.x, 1);
    ExpectNear(Mesh("shock").place.position, {9, 0, 0});
}

TEST_F(EffectSteps, ShockWaveStepsOnlyWhenItsTimerPassesTen) {
    Node("shock2");
    clsSWave& wave = *Effects.MothershipShockWave;
    wave.MakeShockWave({}, 30, 5, 1, 1);
    // Speed 1 at frame factor 1: exactly 10 is no step, 20 is.
    wave.Poll(1);
    EXPECT_FLOAT_EQ(wave.CurrFrame, 1);
    wave.Poll(1);
    EXPECT_FLOAT_EQ(wave.CurrFrame, 2);
    for (int i = 0; i < 200 && wave.Active; ++i)
        wave.Poll(1);
    ASSERT_FALSE(wave.Active);
    // An idle wave changes nothing, not even its timer: the next wave still waits.
    for (int i = 0; i < 5; ++i)
        wave.Poll(1);
    wave.MakeShockWave({}, 30, 5, 1, 1);
    wave.Poll(1);
    EXPECT_FLOAT_EQ(wave.CurrFrame, 1);
    // A fast wave still takes one step a frame: the timer is reset, not reduced.
    wave.MakeShockWave({}, 30, 5, 300, 1);
    wave.Poll(1);
    wave.Poll(1);
    EXPECT_FLOAT_EQ(wave.CurrFrame, 3);
}

TEST_F(EffectSteps, RunShockWavesNameTheirMeshes) {
    for (int weapon = 1; weapon <= 7; ++weapon)
        Node("wepshock" + std::to_string(weapon));
    for (int weapon = 1; weapon <= 7; ++weapon) {
        ASSERT_TRUE(Effects.WeaponShockWaves[std::size_t(weapon)]);
        EXPECT_FALSE(Effects.WeaponShockWaves[std::size_t(weapon)]->Active);
        Effects.WeaponShockWaves[std::size_t(weapon)]->MakeShockWave({}, 25, 20, 300, 0.05f);
        EXPECT_TRUE(Mesh("wepshock" + std::to_string(weapon)).visible);
    }
}

// ---- Explosion flip-book --------------------------------------------------------------

class Flipbook : public EffectSteps {
  protected:
    void SetUp() override {
        EffectSteps::SetUp();
        for (int i = 1; i <= 64; ++i)
            Effects.ExplosionSprites[std::size_t(i)] = Node("expani" + std::to_string(i));
        Node("shock");
        Effects.FlipFrame = 1;
    }
    int VisibleSprites() const {
        int n = 0;
        for (int i = 1; i <= 64; ++i)
            n += Mesh(Effects.ExplosionSprites[std::size_t(i)]).visible ? 1 : 0;
        return n;
    }
};

TEST_F(Flipbook, StepsWhenItsTimerPassesTen) {
    struct Case {
        float factor;
        int steps;  // in 12 frames from a timer of 0
    };
    for (const Case c : {Case{0.25f, 4}, Case{0.5f, 6}, Case{0.6f, 12}, Case{1, 12}}) {
        SCOPED_TRACE(c.factor);
        Effects.FlipFrame = 1;
        Effects.FlipTimer = 0;
        Level.ExplosionActive = true;
        Campaign.FrameFactor = c.factor;
        for (int f = 0; f < 12; ++f)
            AnimateExplosionFlipbook();
        EXPECT_EQ(Effects.FlipFrame, 1 + c.steps);
        EXPECT_TRUE(Mesh(Effects.ExplosionSprites[std::size_t(c.steps)]).visible);
        EXPECT_EQ(VisibleSprites(), 1);
        for (int i = 1; i <= 64; ++i)
            MeshObj->SelectMeshById(Effects.ExplosionSprites[std::size_t(i)]), MeshObj->SetVisible(false);
    }
}

TEST_F(Flipbook, RunsSixtyFiveStepsThenHidesAllAndAsksForANewSet) {
    ASSERT_FLOAT_EQ(Effects.FlipTimer, 99);  // the run's first explosion steps at once
    Level.Asteroids[4].Pos = {10, 20, 30};
    StartExplosionAtAsteroid(4);
    EXPECT_TRUE(Level.ExplosionActive);
    EXPECT_EQ(Effects.ExplosionMode, 1);
    EXPECT_TRUE(Effects.ShockWave->Active);
    ExpectNear(Mesh("shock").place.position, {10, 20, 30});
    ExpectNear(Mesh(Effects.ExplosionSprites[64]).place.position, {10, 20, 30});
    Campaign.FrameFactor = 0.01f;
    AnimateExplosionFlipbook();
    EXPECT_EQ(Effects.FlipFrame, 2);
    EXPECT_TRUE(Mesh(Effects.ExplosionSprites[1]).visible);

    Campaign.FrameFactor = 1;
    for (int step = 2; step <= 64; ++step)
        AnimateExplosionFlipbook();
    EXPECT_TRUE(Mesh(Effects.ExplosionSprites[64]).visible);
    EXPECT_EQ(VisibleSprites(), 1);
    MeshObj->SelectMeshById(Effects.ExplosionSprites[3]);
    MeshObj->SetVisible(true);  // something showed a sprite meanwhile
    Effects.ExplosionRepick = false;
    AnimateExplosionFlipbook();  // step 65
    EXPECT_FALSE(Level.ExplosionActive);
    EXPECT_EQ(Effects.FlipFrame, 1);
    EXPECT_FLOAT_EQ(Effects.FlipTimer, 0);
    EXPECT_TRUE(Effects.ExplosionRepick);
    EXPECT_EQ(VisibleSprites(), 0);
}

TEST_F(Flipbook, ExplosionAtAPointFacesTheCameraAndComesTenUnitsNearer) {
    Ship.CamBasis.CamPos = {0, 0, -100};
    StartExplosionAt({0, 0, 100});
    for (int i : {1, 64}) {
        const engine::MeshItem& sprite = Mesh(Effects.ExplosionSprites[std::size_t(i)]);
        ExpectNear(sprite.place.position, {0, 0, 90});
        ExpectNear(sprite.place.front, {0, 0, -1});
    }
    EXPECT_FALSE(Level.ExplosionActive);  // the caller's to set
}

TEST_F(Flipbook, ExplosionSetByModeAtItsBoundaries) {
    struct Case {
        int mode;
        float r;
        int set;
    };
    const Case cases[] = {
        {1, 0, 1},       {1, 0.2499f, 1}, {1, 0.25f, 2}, {1, 0.75f, 2},   {1, 0.7501f, 3},
        {1, 0.9999f, 3}, {2, 0, 4},       {2, 0.25f, 4}, {2, 0.2501f, 5}, {2, 0.7499f, 5},
        {2, 0.75f, 6},   {2, 0.9999f, 6}, {3, 0.5f, 0},  {0, 0.5f, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExplosionSetFor(c.mode, c.r), c.set) << c.mode << " " << c.r;
}

TEST_F(Flipbook, PickedSetStaysInItsFamilyAndGoesOnEverySprite) {
    folder.Write("tex/e.bmp", test::SolidBmp(2, 2, 200, 80, 0));
    for (int n = 1; n <= 6; ++n)
        Effects.ExplosionTextures[std::size_t(n)] =
            TextureObj->LoadTexture("explosion" + std::to_string(n), sys::ProgramFolder() + "\\tex\\e.bmp");
    sys::SeedRandom(5);
    for (int mode : {1, 2}) {
        Effects.ExplosionMode = mode;
        std::set<int> seen;
        for (int i = 0; i < 200; ++i) {
            Effects.ExplosionRepick = true;
            PickExplosionSet();
            EXPECT_FALSE(Effects.ExplosionRepick);
            seen.insert(Effects.PickedSet);
            EXPECT_EQ(Effects.ExplosionTexture, Effects.ExplosionTextures[std::size_t(Effects.PickedSet)]);
        }
        const std::set<int> family = mode == 1 ? std::set<int>{1, 2, 3} : std::set<int>{4, 5, 6};
        EXPECT_EQ(seen, family);
        EXPECT_EQ(Mesh(Effects.ExplosionSprites[1]).stages[0].textureId, Effects.ExplosionTexture);
        EXPECT_EQ(Mesh(Effects.ExplosionSprites[64]).stages[0].textureId, Effects.ExplosionTexture);
    }
    // Another mode keeps the last pick and still applies it.
    const int last = Effects.ExplosionTexture;
    Effects.ExplosionMode = 7;
    MeshObj->SelectMeshById(Effects.ExplosionSprites[9]);
    MeshObj->SetTextureById(0, Effects.ExplosionTextures[1]);
    PickExplosionSet();
    EXPECT_EQ(Effects.ExplosionTexture, last);
    EXPECT_EQ(Mesh(Effects.ExplosionSprites[9]).stages[0].textureId, last);
}

// ---- Explosion sounds --------------------------------------------------------------------

TEST_F(EffectSteps, ExplosionSoundIsOneOfThree) {
    struct Case {
        float r;
        int n;
    };
    for (const Case c :
         {Case{0, 1}, Case{0.2f, 1}, Case{0.21f, 2}, Case{0.59f, 2}, Case{0.61f, 3}, Case{0.9999f, 3}})
        EXPECT_EQ(ExplosionSoundFor(c.r), c.n) << c.r;

    std::map<int, int> handleOf;  // sound handle -> number
    for (int n = 1; n <= 3; ++n) {
        const std::string key = "explode" + std::to_string(n);
        folder.Write(key + ".wav", test::SoundBytes());
        SoundObj->LoadSound(key, sys::ProgramFolder() + "\\" + key + ".wav", 0, 0);
    }
    for (const auto& e : h.Audio().Events())
        if (e.kind == engine::NullAudioSink::Event::Kind::Load)
            handleOf[e.handle] = e.path[e.path.find("explode") + 7] - '0';
    sys::SeedRandom(3);
    for (int i = 0; i < 60; ++i)
        PlayExplosionSound();
    std::map<int, int> plays;
    for (const auto& e : h.Audio().Events())
        if (e.kind == engine::NullAudioSink::Event::Kind::Play) {
            EXPECT_FALSE(e.loop);
            ++plays[handleOf.at(e.handle)];
        }
    EXPECT_EQ(plays.size(), 3u);
    EXPECT_EQ(plays[1] + plays[2] + plays[3], 60);
}

// ---- Hit sparks --------------------------------------------------------------------------

class Sparks_ : public EffectSteps {
  protected:
    void SetUp() override {
        EffectSteps::SetUp();
        for (int n = 1; n <= 20; ++n)
            Effects.Sparks[std::size_t(n)].MeshId = Node("smallastexp" + std::to_string(n));
        for (int weapon = 1; weapon <= 7; ++weapon)
            Node("wepshock" + std::to_string(weapon));
        Effects.SparkTimer = 0;
        Effects.SparksActive = false;
    }
    // Updates until the burst ends (at most 100).
    int Lifetime(float factor) {
        Campaign.FrameFactor = factor;
        int frames = 0;
        while (Effects.SparksActive && frames < 100) {
            UpdateHitSparks();
            ++frames;
        }
        return frames;
    }
};

TEST_F(Sparks_, BurstLifetimeAndFlight) {
    struct Case {
        float factor;
        int frames;
    };
    for (const Case c : {Case{1, 7}, Case{2, 4}, Case{0.5f, 14}}) {
        SCOPED_TRACE(c.factor);
        int weapon = 8;
        SpawnHitSparks("ast1txt", {50, 0, 0}, 1, weapon);
        EXPECT_TRUE(Effects.SparksActive);
        EXPECT_TRUE(Mesh(Effects.Sparks[20].MeshId).visible);
        EXPECT_EQ(Lifetime(c.factor), c.frames);
        for (int n = 1; n <= 20; ++n) {
            EXPECT_FALSE(Mesh(Effects.Sparks[std::size_t(n)].MeshId).visible);
            EXPECT_TRUE(Effects.Sparks[std::size_t(n)].Active);  // the records' flags stay set
        }
    }
    // At frame factor 1 each spark flies 35 units along its random heading.
    int weapon = 8;
    SpawnHitSparks("ast1txt", {50, 0, 0}, 1, weapon);
    const engine::MeshItem& spark = Mesh(Effects.Sparks[3].MeshId);
    const Vector front = spark.place.front;
    Lifetime(1);
    ExpectNear(spark.place.position, Plus({50, 0, 0}, front, 35), 1e-2f);
}

TEST_F(Sparks_, ASecondBurstEndsWithTheFirst) {
    int weapon = 8;
    SpawnHitSparks("ast1txt", {}, 1, weapon);
    Campaign.FrameFactor = 1;
    for (int i = 0; i < 4; ++i)
        UpdateHitSparks();
    SpawnHitSparks("ast1txt", {}, 1, weapon);
    EXPECT_EQ(Lifetime(1), 3);
}

TEST_F(Sparks_, WeaponShockWaveByWeapon) {
    struct Case {
        int weapon, current, expectWeapon, wave;  // wave 0: none
    };
    const Case cases[] = {{3, 1, 3, 3}, {-1, 2, 2, 2}, {-1, 8, 8, 0}, {8, 1, 8, 0}, {7, 1, 7, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.weapon);
        MakeShockWaves();
        for (int w = 1; w <= 7; ++w)
            MeshObj->SelectMesh("wepshock" + std::to_string(w)), MeshObj->SetVisible(false);
        Campaign.CurrentWeapon = c.current;
        int weapon = c.weapon;
        SpawnHitSparks("mas2txt", {7, 8, 9}, 1, weapon);
        EXPECT_EQ(weapon, c.expectWeapon);
        EXPECT_TRUE(Mesh(Effects.Sparks[1].MeshId).visible);
        for (int w = 1; w <= 7; ++w) {
            EXPECT_EQ(Effects.WeaponShockWaves[std::size_t(w)]->Active, w == c.wave) << w;
            EXPECT_EQ(Mesh("wepshock" + std::to_string(w)).visible, w == c.wave) << w;
        }
        if (c.wave) ExpectNear(Mesh("wepshock" + std::to_string(c.wave)).place.position, {7, 8, 9});
    }
}

// ---- Asteroid break-up --------------------------------------------------------------------

class Breakup : public EffectSteps {
  protected:
    void SetUp() override {
        EffectSteps::SetUp();
        for (int kind : {3, 5}) {
            for (int k = 1; k <= 4; ++k)
                Node("ast" + std::to_string(kind) + "exp" + std::to_string(k), kind == 5);
        }
        for (int n = 1; n <= 40; ++n)
            Node("expsm" + std::to_string(n));
        Node("ast12");
        MeshObj->SetRotation(0, 90, 30);
        AsteroidRec& rock = Level.Asteroids[1];
        rock.Kind = 3;
        rock.MeshKey = "ast12";
        rock.Pos = {100, 200, 300};
        rock.TextureKey = "ast2txt";
        Effects.PrevBreakupKind = 0;
        Effects.BreakupRunning = false;
        Effects.BreakupFade = 100;
        Campaign.FrameStartTime = 0;
    }
    std::string Fragment(int kind, int k) const {
        return "ast" + std::to_string(kind) + "exp" + std::to_string(k);
    }
};

TEST_F(Breakup, FragmentsDriftDiagonallyAndDebrisFliesBack) {
    StartAsteroidBreakup(1);
    EXPECT_TRUE(Effects.BreakupRunning);
    EXPECT_EQ(Effects.BreakupKind, 3);
    EXPECT_EQ(Effects.PrevBreakupKind, 3);
    // The first break-up hides no other kind's fragments.
    EXPECT_TRUE(Mesh(Fragment(5, 1)).visible);
    const engine::MeshItem& rock = Mesh("ast12");
    struct Case {
        int fragment;
        float right, up;
    };
    for (const Case c : {Case{1, -8, 8}, Case{2, 8, 8}, Case{3, -8, -8}, Case{4, 8, -8}}) {
        const engine::MeshItem& piece = Mesh(Fragment(3, c.fragment));
        EXPECT_TRUE(piece.visible);
        EXPECT_EQ(MaterialOf(Fragment(3, c.fragment)), "fade100");
        EXPECT_EQ(piece.flags, 0);
        ExpectNear(piece.place.front, rock.place.front);
        ExpectNear(piece.place.position, {100, 200, 300});
    }
    const Vector debrisFront = Mesh("expsm17").place.front;
    EXPECT_TRUE(Mesh("expsm40").visible);

    Campaign.FrameFactor = 1;
    UpdateAsteroidBreakup();
    for (const Case c : {Case{1, -8, 8}, Case{2, 8, 8}, Case{3, -8, -8}, Case{4, 8, -8}}) {
        SCOPED_TRACE(c.fragment);
        const Vector expect = Plus(Plus({100, 200, 300}, rock.place.right, c.right), rock.place.up, c.up);
        ExpectNear(Mesh(Fragment(3, c.fragment)).place.position, expect);
    }
    ExpectNear(Mesh("expsm17").place.position, Plus({100, 200, 300}, debrisFront, -11));
}

TEST_F(Breakup, FadesAfterSixTenthsAndEndsBelowOne) {
    StartAsteroidBreakup(1);
    Campaign.FrameFactor = 0.5f;
    Campaign.FrameStartTime = 0.6;  // exactly 0.6: not fading yet
    UpdateAsteroidBreakup();
    EXPECT_FALSE(Effects.BreakupFading);
    EXPECT_FLOAT_EQ(Effects.BreakupFade, 100);
    Campaign.FrameStartTime = 1.6;  // exactly 1.6: fading, the mode not yet changed
    UpdateAsteroidBreakup();
    EXPECT_TRUE(Effects.BreakupFading);
    EXPECT_EQ(Mesh(Fragment(3, 2)).flags, 0);
    EXPECT_EQ(MaterialOf(Fragment(3, 2)), "fade100");
    EXPECT_FLOAT_EQ(Effects.BreakupFade, 99);
    Campaign.FrameStartTime = 1.7;
    for (int i = 0; i < 98; ++i)
        UpdateAsteroidBreakup();
    EXPECT_EQ(Mesh(Fragment(3, 2)).flags, 4);
    EXPECT_FLOAT_EQ(Effects.BreakupFade, 1);  // 1 is not below 1: one more step
    EXPECT_TRUE(Effects.BreakupRunning);
    EXPECT_EQ(MaterialOf(Fragment(3, 4)), "fade2");
    UpdateAsteroidBreakup();
    EXPECT_FALSE(Effects.BreakupRunning);
    EXPECT_FALSE(Effects.BreakupFading);
    EXPECT_FLOAT_EQ(Effects.BreakupFade, 100);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FALSE(Mesh(Fragment(3, k)).visible);
        EXPECT_EQ(MaterialOf(Fragment(3, k)), "fade100");
    }
    EXPECT_FALSE(Mesh("expsm1").visible);
    EXPECT_FALSE(Mesh("expsm40").visible);
}

TEST_F(Breakup, RunsOnAcrossMidnightOnTheGameClock) {
    // The game's clock counts on past a day's end: a break-up started just before
    // midnight fades and ends as any other.
    Campaign.FrameStartTime = 86399.8;
    StartAsteroidBreakup(1);
    Campaign.FrameFactor = 1;
    Campaign.FrameStartTime = 86400.5;
    int frames = 0;
    while (Effects.BreakupRunning && frames < 100) {
        UpdateAsteroidBreakup();
        ++frames;
    }
    EXPECT_EQ(frames, 50);
}

TEST_F(Breakup, ASecondBreakupTakesOverTheDebrisAndTheTimeline) {
    StartAsteroidBreakup(1);
    Campaign.FrameStartTime = 1.0;
    Campaign.FrameFactor = 1;
    UpdateAsteroidBreakup();
    EXPECT_FLOAT_EQ(Effects.BreakupFade, 98);
    Level.Asteroids[2] = Level.Asteroids[1];
    Level.Asteroids[2].Kind = 5;
    Level.Asteroids[2].Pos = {-5, 0, 0};
    StartAsteroidBreakup(2);
    EXPECT_EQ(Effects.PrevBreakupKind, 5);
    EXPECT_FLOAT_EQ(Effects.BreakupFade, 100);
    EXPECT_DOUBLE_EQ(Effects.BreakupStartTime, 1.0);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FALSE(Mesh(Fragment(3, k)).visible);
        EXPECT_TRUE(Mesh(Fragment(5, k)).visible);
    }
    ExpectNear(Mesh("expsm40").place.position, {-5, 0, 0});
    UpdateAsteroidBreakup();
    EXPECT_FALSE(Effects.BreakupFading);  // the new timeline starts at 0
}

TEST_F(EffectSteps, RandomDirectionIsThreeAnglesBelow359) {
    sys::SeedRandom(9);
    for (int i = 0; i < 200; ++i) {
        const Vector v = RandomDirection();
        for (float a : {v.x, v.y, v.z}) {
            EXPECT_GE(a, 0);
            EXPECT_LT(a, 359);
        }
    }
}

// ---- Starscape, gravity beam, beam quads ----------------------------------------------

TEST_F(EffectSteps, StarscapeLeapFrogsBehindTheCamera) {
    Node("starscape1");
    Node("starscape2");
    Node("axes");
    MeshObj->SetRotation(20, 90, 0);
    const AxisSet axes = MeshObj->GetOrientation();
    Ship.CamAxes = axes;
    Effects.StarscapeIndex = 1;
    Effects.StarscapeAnchor = {0, 0, 0};
    Ship.ShipSpeed = 10;

    Ship.CamBasis.CamPos = {0, 0, 399};  // within range: nothing placed
    UpdateStarscape();
    EXPECT_EQ(Effects.StarscapeIndex, 1);
    EXPECT_TRUE(Mesh("starscape1").visible);
    EXPECT_FALSE(Mesh("starscape2").visible);

    struct Case {
        Vector cam;
        int index;
    };
    // Exactly 400 away is out of range; the index runs 2, 1, 2.
    for (const Case c : {Case{{0, 0, 400}, 2}, Case{{0, 0, 800}, 1}, Case{{0, 500, 800}, 2}}) {
        Ship.CamBasis.CamPos = c.cam;
        UpdateStarscape();
        EXPECT_EQ(Effects.StarscapeIndex, c.index);
        const engine::MeshItem& dust = Mesh("starscape" + std::to_string(c.index));
        // 350 units behind the camera along its view, turned like it: the cloud
        // reaches ahead, so the ship flies through it.
        const Vector behind = Plus(c.cam, axes.AxisFront, -350);
        ExpectNear(dust.place.position, behind, 1e-2f);
        ExpectNear(Effects.StarscapeAnchor, behind, 1e-2f);
        ExpectNear(dust.place.front, axes.AxisFront);
    }
    UpdateStarscape();
    EXPECT_TRUE(Mesh("starscape2").visible);
    EXPECT_TRUE(Mesh("starscape1").visible);  // the earlier one stays until the ship stops

    Ship.ShipSpeed = 0;
    UpdateStarscape();
    EXPECT_FALSE(Mesh("starscape1").visible);
    EXPECT_FALSE(Mesh("starscape2").visible);
    Ship.ShipSpeed = -3;  // any speed but 0 shows the current one
    UpdateStarscape();
    EXPECT_FALSE(Mesh("starscape1").visible);
    EXPECT_TRUE(Mesh("starscape2").visible);
}

TEST_F(EffectSteps, GravityBeamImagesSpinInOppositeSenses) {
    folder.Write("tex/g.bmp", test::SolidBmp(4, 4, 0, 120, 255));
    const int one = Draw2DObj->LoadImage(sys::ProgramFolder() + "\\tex\\g.bmp", "gravbeam1", 0);
    Draw2DObj->SetImageVisible(false);
    const int two = Draw2DObj->LoadImage(sys::ProgramFolder() + "\\tex\\g.bmp", "gravbeam2", 0);
    Draw2DObj->SetImageVisible(false);
    Campaign.FrameFactor = 1.5f;
    for (int i = 0; i < 3; ++i)
        ScrollGravityBeam(Ship.CamAxes);
    EXPECT_FLOAT_EQ(Image(one).angle, 9);
    EXPECT_FLOAT_EQ(Image(two).angle, -4.5f);
    EXPECT_TRUE(Image(one).visible);
    EXPECT_TRUE(Image(two).visible);
}

TEST_F(EffectSteps, BeamQuadSpreadsInWorldXAndY) {
    for (const Vector dir : {Vector{0, 0, 1}, Vector{1, 0.5f, 0}}) {
        BuildBeamQuad({1, 2, 3}, dir);
        const float d = 0.01f;
        const Vector expect[5] = {dir,
                                  {dir.x + d, dir.y + d, dir.z},
                                  {dir.x - d, dir.y - d, dir.z},
                                  {dir.x - d, dir.y + d, dir.z},
                                  {dir.x + d, dir.y - d, dir.z}};
        std::set<std::pair<float, float>> distinct;
        for (std::size_t i = 0; i < 5; ++i) {
            ExpectNear(Effects.BeamQuad[i].Origin, {1, 2, 3}, 0);
            ExpectNear(Effects.BeamQuad[i].Dir, expect[i], 0);
            distinct.insert({Effects.BeamQuad[i].Dir.x, Effects.BeamQuad[i].Dir.y});
        }
        EXPECT_EQ(distinct.size(), 5u);
    }
}

}  // namespace
}  // namespace quorvel
