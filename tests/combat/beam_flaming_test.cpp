// The gravity beam's mover (grab distance, pull, hold, throw and its fall-off) and the
// flaming asteroid (damage scale, money, speed, waits, passes, and when it comes).

#include <gtest/gtest.h>

#include <cmath>

#include "combat/weapons_fixture.h"
#include "platform/system/clock.h"

namespace quorvel {
namespace {

class GravityBeamTest : public test::WeaponsTest {
  protected:
    void SetUp() override {
        test::WeaponsTest::SetUp();
        beam = std::make_unique<clsZeroPoint>();
    }
    void Poll() { beam->Poll({}, 1, axes.AxisRight, axes.AxisUp, axes.AxisFront); }
    float Distance(int id) {
        const Vector p = PositionOf(id);
        return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    }
    std::unique_ptr<clsZeroPoint> beam;
    AxisSet axes;  // the holder's axes; its forward axis points back at the player
};

TEST_F(GravityBeamTest, NothingIsHeldAtFirstOrAfterARelease) {
    EXPECT_EQ(beam->GrabbedMeshIndex(), -1);
    beam->Grab(Node("rock"));
    beam->Init();
    EXPECT_EQ(beam->GrabbedMeshIndex(), -1);
    EXPECT_FALSE(beam->BeingGrabbed() || beam->Holding() || beam->BeingThrown());
}

TEST_F(GravityBeamTest, PullSpeedGrowsWithTheGrabsUpToItsLimit) {
    struct Case {
        int grabs;
        float step;  // per frame at frame factor 1
    };
    for (const Case c : {Case{1, 36}, Case{4, 144}, Case{5, 200}, Case{9, 200}}) {
        beam = std::make_unique<clsZeroPoint>();
        const int rock = Node("rock", {0, 0, 3000});
        Poll();  // the beam learns the frame time
        for (int g = 0; g < c.grabs; ++g)
            beam->Grab(rock);
        Poll();
        EXPECT_NEAR(Distance(rock), 3000 - c.step, 1e-2) << c.grabs;
        EXPECT_TRUE(beam->BeingGrabbed());
        EXPECT_FALSE(beam->Holding());
        test::ExpectNear(beam->CurrentPosition(), {0, 0, 3000});
    }
}

TEST_F(GravityBeamTest, CloserThan350ItIsHeld350AheadOfTheCamera) {
    const int rock = Node("rock", {0, 0, 340});
    beam->Grab(rock);
    Poll();
    EXPECT_TRUE(beam->Holding()) << "straight to the hold, without pulling";
    EXPECT_FALSE(beam->BeingGrabbed());
    test::ExpectNear(PositionOf(rock), {0, 0, -350});
    // Still pulling at exactly 350.
    const int far = Node("far", {0, 350, 0});
    beam->Grab(far);
    Poll();
    EXPECT_TRUE(beam->BeingGrabbed());
}

TEST_F(GravityBeamTest, AThrowFliesFullSpeedThenSlowsAndEndsBeyondItsRange) {
    const int rock = Node("rock", {0, 0, 100});
    beam->Grab(rock);
    Poll();
    ASSERT_TRUE(beam->Holding());
    beam->Throw(2800);
    std::vector<float> steps;
    float last = Distance(rock);
    int frames = 0;
    while (beam->BeingThrown() && frames < 400) {
        Poll();
        steps.push_back(Distance(rock) - last);
        last = Distance(rock);
        ++frames;
    }
    EXPECT_EQ(beam->GrabbedMeshIndex(), -1);
    EXPECT_GT(last, 2800);
    test::ExpectNear(beam->CurThrowVD(), axes.AxisFront);
    // Full speed while within 0.8 of the range; then 20 less each frame, at least 10.
    int i = 0;
    for (float d = 350; d <= 2240; d += 225, ++i)
        EXPECT_NEAR(steps[std::size_t(i)], 225, 1e-2) << i;
    EXPECT_NEAR(steps[std::size_t(i)], 205, 1e-2);
    EXPECT_NEAR(steps[std::size_t(i + 1)], 185, 1e-2);
    EXPECT_NEAR(steps.back(), 0, 1e-3) << "the frame that ends the throw moves nothing";
}

class FlamingAsteroidTest : public test::WeaponsTest {
  protected:
    void SetUp() override {
        test::WeaponsTest::SetUp();
        sys::UseVirtualClock(36000);
        Level.FlamingAsteroid = std::make_unique<clsFlamingAsteroid>();
        Level.StationPos = {600, 100, -3100};
        Level.StationId = Node("spacestation", Level.StationPos);
        Level.LavaroidId = Node("lavaroid");
        Level.FlamingAsteroidParticleId = ParticleObj->CreateSystem("fireastpar");
        Field(5);
        for (auto& p : Hud.HudPointers)
            p = PointerSlot{};
    }
    void TearDown() override { sys::UseRealClock(); }
    clsFlamingAsteroid& fa() { return *Level.FlamingAsteroid; }

    // Frames of the level until the asteroid flies (or `limit` frames pass).
    bool FliesWithin(double seconds) {
        const double end = sys::WallClock() + seconds;
        while (sys::WallClock() < end) {
            SpawnFlamingAsteroid();
            if (Visible(Level.LavaroidId)) return true;
            sys::AdvanceVirtualClock(0.5);
        }
        return false;
    }
};

TEST_F(FlamingAsteroidTest, DamageIsScaledByTheLevelItComesOn) {
    struct Case {
        int level;
        float factor;
    };
    for (const Case c :
         {Case{0, 1}, Case{1, 1}, Case{2, 4}, Case{7, 4}, Case{8, 1.5f}, Case{14, 1.5f}, Case{15, 1},
          Case{20, 1}, Case{21, 0.7f}, Case{25, 0.7f}, Case{26, 0.35f}, Case{51, 0.35f}}) {
        fa().NextLevel_ = c.level;
        EXPECT_FLOAT_EQ(fa().Hit(100), 100 * c.factor) << c.level;
    }
    // 25000 scaled destroys it: 6250 raw on level 5, 25000 / 0.35 raw on level 30.
    struct Kill {
        int level;
        float raw;
    };
    for (const Kill k : {Kill{5, 6250}, Kill{30, 25000 / 0.35f + 1}}) {
        fa() = clsFlamingAsteroid{};
        fa().NextLevel_ = k.level;
        fa().Hit(k.raw - 10);
        EXPECT_FALSE(fa().BlowUp_) << k.level;
        fa().Hit(10);
        EXPECT_TRUE(fa().BlowUp_) << k.level;
    }
    fa() = clsFlamingAsteroid{};
    fa().NextLevel_ = 40;
    fa().Hit(99999);
    EXPECT_TRUE(fa().BlowUp_) << "the level start's blow always destroys";
}

TEST_F(FlamingAsteroidTest, HitsNeededByLevelAndWeapon) {
    struct Case {
        int level;
        int damage;  // one weapon's shot
        int hits;
    };
    // plasma 110, gamma 2500 on levels scaled 4.0, 1.5 and 0.35
    for (const Case c : {Case{5, 110, 57}, Case{5, 2500, 3}, Case{10, 2500, 7}, Case{30, 2500, 29}}) {
        Campaign.CurrentLevel = c.level;
        fa() = clsFlamingAsteroid{};
        SpawnFlamingAsteroid();
        fa().NextLevel_ = c.level;
        Campaign.Money = 0;
        int hits = 0;
        while (Campaign.Money == 0 && hits < 500) {
            FlamingAsteroidHit(Level.LavaroidId, c.damage, {1, 2, 3});
            ++hits;
        }
        EXPECT_EQ(hits, c.hits) << c.level << " " << c.damage;
        EXPECT_DOUBLE_EQ(Campaign.Money, 250000);
        EXPECT_TRUE(Level.ExplosionActive);
        EXPECT_EQ(Effects.ExplosionMode, 1);
        EXPECT_FALSE(fa().BlowUp_);
        EXPECT_FALSE(Visible(Level.LavaroidId));
    }
    // Other meshes are not it.
    Campaign.Money = 0;
    FlamingAsteroidHit(Node("rock"), 99999, {});
    FlamingAsteroidHit(-1, 99999, {});
    EXPECT_DOUBLE_EQ(Campaign.Money, 0);
}

TEST_F(FlamingAsteroidTest, ItsBreakUpShowsWhereItWasStruck) {
    Campaign.CurrentLevel = 6;
    fa().NextLevel_ = 6;
    SpawnFlamingAsteroid();
    ASSERT_TRUE(FliesWithin(40));
    for (int frame = 0; frame < 10; ++frame)
        SpawnFlamingAsteroid();
    const Vector struck = fa().Position_;
    FlamingAsteroidHit(Level.LavaroidId, 99999, {0, 0, 0});
    EXPECT_DOUBLE_EQ(Campaign.Money, 250000);
    test::ExpectNear(Level.Asteroids[6].Pos, struck);
    EXPECT_GT(std::abs(fa().Position_.x - struck.x) + std::abs(fa().Position_.z - struck.z), 100)
        << "the asteroid itself went back to a start zone";
}

TEST_F(FlamingAsteroidTest, ItWaitsThenFliesAtTheStation16UnitsAFrame) {
    Campaign.CurrentLevel = 6;
    fa().NextLevel_ = 6;
    // Init: start zone and point, "this level" (0.1); then the wait: 20 x 0.5 + 15 = 25 seconds.
    sys::QueueRandom({0.5, 0.5, 0.5, 0.5, 0.1, 0.5});
    SpawnFlamingAsteroid();
    ASSERT_EQ(fa().NextLevel_, 6);
    sys::AdvanceVirtualClock(25);
    SpawnFlamingAsteroid();
    EXPECT_FALSE(Visible(Level.LavaroidId)) << "not before the wait is over";
    EXPECT_FALSE(Hud.HudPointers[17].PointerOn);
    sys::AdvanceVirtualClock(0.01);
    SpawnFlamingAsteroid();
    EXPECT_TRUE(Visible(Level.LavaroidId));
    EXPECT_TRUE(Hud.HudPointers[17].PointerOn);
    EXPECT_TRUE(Level.FlamingFirstWarned);
    const auto distance = [&] {
        const Vector p = fa().Position_;
        const Vector t = PositionOf(Level.StationId);
        return std::sqrt((p.x - t.x) * (p.x - t.x) + (p.y - t.y) * (p.y - t.y) + (p.z - t.z) * (p.z - t.z));
    };
    const float before = distance();
    SpawnFlamingAsteroid();
    EXPECT_NEAR(before - distance(), 16, 1e-2);
    test::ExpectNear(Hud.HudPointers[17].PointerTarget, fa().Position_);

    // It does not move while the mothership arrives.
    Mothership.MothershipArriving = true;
    const float held = distance();
    SpawnFlamingAsteroid();
    EXPECT_FLOAT_EQ(distance(), held);
    Mothership.MothershipArriving = false;

    // Reaching the station: two impacts and the penalty, once per pass.
    Level.StationDamageLevel = 1;
    Campaign.Money = 0;
    bool struck = false;
    for (int frame = 0; frame < 2000 && !struck; ++frame) {
        SpawnFlamingAsteroid();
        struck = CheckFlamingAsteroidImpact();
    }
    ASSERT_TRUE(struck);
    EXPECT_FALSE(CheckFlamingAsteroidImpact()) << "once per pass";
    EXPECT_EQ(Level.StationDamageLevel, 3);
    EXPECT_DOUBLE_EQ(Campaign.Money, -150000);
    EXPECT_FALSE(Hud.HudPointers[17].PointerOn);
    EXPECT_FALSE(fa().Active_);
    EXPECT_GT(fa().NextLevel_, 6) << "its one pass is over";
}

TEST_F(FlamingAsteroidTest, TwoPassesComeOnTheSameLevelWithOneInit) {
    Campaign.CurrentLevel = 30;
    fa().NextLevel_ = 30;
    sys::QueueRandom({0.9});  // passes: nearest(2 x 0.9) + 1 = 3
    SpawnFlamingAsteroid();
    ASSERT_EQ(fa().TimesPerLevel_, 3);
    for (int pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(FliesWithin(40)) << pass;
        EXPECT_EQ(fa().TimesPerLevel_, 3) << "not drawn again within the level";
        EXPECT_EQ(fa().NextLevel_, 30);
        FlamingAsteroidHit(Level.LavaroidId, 99999, {});
        SpawnFlamingAsteroid();
        EXPECT_FALSE(Visible(Level.LavaroidId));
    }
    EXPECT_DOUBLE_EQ(Campaign.Money, 3 * 250000.0);
    EXPECT_GE(fa().NextLevel_, 32);
    EXPECT_LE(fa().NextLevel_, 33);
    EXPECT_FALSE(FliesWithin(60)) << "no fourth pass";
}

TEST_F(FlamingAsteroidTest, LeavingALevelIsNoPass) {
    // Due on level 8 and not yet come when level 7 ends: it still comes on level 8.
    Campaign.CurrentLevel = 7;
    fa().NextLevel_ = 8;
    SpawnFlamingAsteroid();
    fa().LevelStartReset();
    Campaign.CurrentLevel = 8;
    SpawnFlamingAsteroid();
    EXPECT_EQ(fa().NextLevel_, 8);
    EXPECT_TRUE(FliesWithin(40));
    // Left while flying: no money, no pass counted, and it owes the next level.
    fa().LevelStartReset();
    EXPECT_FALSE(Visible(Level.LavaroidId));
    EXPECT_FALSE(fa().Active_);
    EXPECT_EQ(fa().NextLevel_, 8);
    Campaign.CurrentLevel = 9;
    sys::QueueRandom({0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.1});  // zone draws, then "this level"
    SpawnFlamingAsteroid();
    EXPECT_EQ(fa().NextLevel_, 9);
}

TEST_F(FlamingAsteroidTest, ACampaignFromLevelOneMeetsItFromLevelFourAndBeforeSixteen) {
    std::vector<int> firstLevels;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        sys::SeedRandom(seed);
        Level.FlamingAsteroid = std::make_unique<clsFlamingAsteroid>();
        Level.FlamingWarned = Level.FlamingWaitStarted = Level.FlamingFirstWarned = false;
        int met = 0;
        for (int level = 1; level <= 15 && met == 0; ++level) {
            // The level start, then the level's first frame; the levels are played through.
            fa().LevelStartReset();
            Level.FlamingFirstWarned = false;
            Campaign.CurrentLevel = level;
            SpawnFlamingAsteroid();
            if (fa().NextLevel_ == level && FliesWithin(40)) met = level;
        }
        firstLevels.push_back(met);
        EXPECT_GE(met, 4) << "seed " << seed;
    }
    const int earliest = *std::min_element(firstLevels.begin(), firstLevels.end());
    EXPECT_EQ(earliest, 4);
}

}  // namespace
}  // namespace quorvel
