// Station hits by their roll, and power-ups: drops, pick-ups, durations, and effects
// that no longer undo each other.

#include <gtest/gtest.h>

#include "combat/weapons_fixture.h"

namespace quorvel {
namespace {

class StationHitTest : public test::WeaponsTest {
  protected:
    void SetUp() override {
        test::WeaponsTest::SetUp();
        Level.StationMeshName = "spacestation";
        Level.StationId = Node(Level.StationMeshName, {600, 100, -3100});
    }
    // One hit whose roll is `roll` (0 to 20).
    void HitWithRoll(float roll, int id = -2) {
        sys::QueueRandom({0.5, roll / 20.0});
        StationHit(id == -2 ? Level.StationId : id, {600, 100, -3000});
    }
};

TEST_F(StationHitTest, TheRollDecidesWhatAHitShows) {
    struct Case {
        float roll;
        bool sounds;  // "hit" and sparks
    };
    int hitPoints = 100;
    for (const Case c :
         {Case{0, false}, Case{1, false}, Case{1.01f, true}, Case{2, true}, Case{19.9f, true}}) {
        const std::size_t before = Plays("hit").size();
        HitWithRoll(c.roll);
        EXPECT_EQ(Level.StationHitPoints, --hitPoints) << "every hit costs a point, roll " << c.roll;
        EXPECT_EQ(Plays("hit").size() - before, c.sounds ? 1u : 0u) << c.roll;
    }
    // Other meshes, and no mesh at all, are not the station.
    for (int id : {Node("rock"), -1}) {
        HitWithRoll(10, id);
        EXPECT_EQ(Level.StationHitPoints, hitPoints);
    }
    Level.StationId = -1;
    HitWithRoll(10, -1);
    EXPECT_EQ(Level.StationHitPoints, hitPoints) << "a missing station is not hit by a ray that met nothing";
}

TEST_F(StationHitTest, TheHundredthCountingHitDestroysStationAndShip) {
    for (int i = 1; i <= 99; ++i)
        HitWithRoll(10);
    EXPECT_EQ(Level.StationHitPoints, 1);
    EXPECT_FALSE(Level.ShipDestroyed);
    HitWithRoll(0.5f);  // glancing: the last point goes, nothing is tested
    EXPECT_EQ(Level.StationHitPoints, 0);
    EXPECT_FALSE(Level.ShipDestroyed);
    HitWithRoll(10);
    EXPECT_TRUE(Level.ShipDestroyed);
    EXPECT_TRUE(Level.ExplosionActive);
    EXPECT_EQ(Effects.ExplosionMode, 2);
    EXPECT_EQ(Level.StationHitPoints, 100) << "the count starts again";
    EXPECT_TRUE(Visible(Level.StationId)) << "the station stays";
    HitWithRoll(10);
    EXPECT_EQ(Level.StationHitPoints, 99);
}

class PowerUpTest : public test::WeaponsTest {
  protected:
    void SetUp() override {
        test::WeaponsTest::SetUp();
        SetWeaponStartValues();
        for (int k = 1; k <= 4; ++k) {
            PowerUps.PowerUpMeshes[std::size_t(k)] = Node("powerup" + std::to_string(k));
            MeshObj->SetVisible(false);
        }
        Field(1);
    }
    std::array<float, 7> ShotSpeeds() {
        return {Arsenal.PlasmaShots[0].ShotSpeed, Arsenal.LaserShots[0].ShotSpeed,
                Arsenal.IonShots[0].ShotSpeed,    Arsenal.MionShots[0].ShotSpeed,
                Arsenal.EplasShots[0].ShotSpeed,  Arsenal.DisperseShots[0].ShotSpeed,
                Arsenal.GammaShots[0].ShotSpeed};
    }
    std::array<float, 7> Speeds(float factor, float add) {
        const float base[7] = {32, 37, 37, 39, 37, 32, 32};
        std::array<float, 7> out{};
        for (int i = 0; i < 7; ++i)
            out[std::size_t(i)] = base[i] * factor + add;
        return out;
    }
    int VisibleKinds() {
        int kinds = 0;
        for (int k = 1; k <= 4; ++k)
            kinds = kinds * 10 + (Visible(PowerUps.PowerUpMeshes[std::size_t(k)]) ? k : 0);
        return kinds;
    }
};

TEST_F(PowerUpTest, DropsByLevelAndDraw) {
    struct Case {
        int level;
        int lastSlot;
        std::vector<double> draws;
        int threshold;
        int kinds;  // digits of the kinds shown, 1 to 4 in order
    };
    // Kinds shown as digits: kind 1 -> 1000, 2 -> 200, 3 -> 30, 4 -> 4.
    const Case cases[] = {
        // threshold, slot, extra, extra again below level 18, then the draws of the level rules
        {2, 0, {0.5, 0.3, 0.1, 0.1}, 9, 1000},           // slot 1: infinite energy; level 2 waits 7 to 12
        {3, 0, {0.0, 0.0, 0.1, 0.1}, 12, 0},             // slot 0: nothing
        {3, 0, {0.0, 0.9, 0.1, 0.1, 0.2}, 12, 1000},     // slot 4 below level 6 becomes 1 ...
        {3, 0, {0.0, 0.9, 0.1, 0.1, 0.8}, 12, 4},        // ... or 2: rapid fire
        {8, 0, {0.0, 0.7, 0.1, 0.1}, 12, 200},           // slot 3: extreme speed from level 6
        {12, 0, {0.0, 0.9, 0.1, 0.1}, 12, 30},           // slot 4: invincibility from level 11
        {12, 3, {0.0, 0.7, 0.1, 0.1}, 12, 30},           // the last slot again moves on by one ...
        {12, 4, {0.0, 0.9, 0.1, 0.1}, 12, 1000},         // ... and past 4 to 1
        {30, 0, {1.0 - 1e-9, 0.3, 0.9, 0.5}, 25, 1200},  // two at once from level 18: slots 1 and 1 + 1 + 1
        {30, 0, {0.5, 0.9, 0.9, 0.0}, 22, 230},          // slot 4 + 0 + 1 is above 4: slot 3 instead
    };
    for (const Case& c : cases) {
        Campaign.CurrentLevel = c.level;
        PowerUps.KillCount = 0;
        PowerUps.DropThreshold = 0;
        PowerUps.LastDropKind = c.lastSlot;
        for (int k = 1; k <= 4; ++k) {
            MeshObj->SelectMeshById(PowerUps.PowerUpMeshes[std::size_t(k)]);
            MeshObj->SetVisible(false);
        }
        sys::QueueRandom(c.draws);
        MaybeDropPowerUp(1);
        EXPECT_EQ(PowerUps.DropThreshold, c.threshold) << c.level;
        EXPECT_EQ(VisibleKinds(), c.kinds) << c.level << " " << c.draws[1];
    }
}

TEST_F(PowerUpTest, TheNextDropComesAfterTheThreshold) {
    PowerUps.DropThreshold = 12;
    for (int kill = 1; kill <= 12; ++kill)
        MaybeDropPowerUp(1);
    EXPECT_EQ(VisibleKinds(), 0);
    sys::QueueRandom({0.0, 0.3, 0.1, 0.1});
    MaybeDropPowerUp(1);
    EXPECT_EQ(VisibleKinds(), 1000);
    EXPECT_EQ(PowerUps.KillCount, 0);
    EXPECT_DOUBLE_EQ(PowerUps.DropTime[1], Campaign.FrameStartTime);
    // It stays 45 seconds.
    Campaign.FrameStartTime += 45;
    UpdatePowerUps();
    EXPECT_EQ(VisibleKinds(), 1000);
    Campaign.FrameStartTime += 0.01;
    UpdatePowerUps();
    EXPECT_EQ(VisibleKinds(), 0);
}

TEST_F(PowerUpTest, EachKindActsForItsDuration) {
    struct Case {
        int kind;
        const char* sound;
        double seconds;
    };
    for (const Case c :
         {Case{1, "pushield", 30}, Case{2, "puspeed", 45}, Case{3, "puinvinc", 45}, Case{4, "pufire", 60}}) {
        Campaign.FrameStartTime = 1000;
        MeshObj->SelectMeshById(PowerUps.PowerUpMeshes[std::size_t(c.kind)]);
        MeshObj->SetVisible(true);
        EXPECT_FALSE(CheckPowerUpPickup(Node("notapowerup")));
        EXPECT_TRUE(CheckPowerUpPickup(PowerUps.PowerUpMeshes[std::size_t(c.kind)]));
        EXPECT_FALSE(Visible(PowerUps.PowerUpMeshes[std::size_t(c.kind)]));
        EXPECT_EQ(Plays(c.sound).size(), 1u);
        auto on = [&] {
            switch (c.kind) {
                case 1:
                    return Arsenal.InfiniteEnergy;
                case 2:
                    return Ship.ShipMaxSpeed == 37.5f && Ship.ShipAccel == 1.0f && Ship.ShipDrag == 1.0f &&
                           Ship.BoostAccel == 1.0f && Ship.MaxTurnRate == 30 &&
                           ShotSpeeds() == Speeds(1, 12.5f);
                case 3:
                    return Ship.Invincible;
                default:
                    return Arsenal.PlasmaShots[0].ReloadRate == 30 && Arsenal.GammaShots[0].ReloadRate == 8 &&
                           Arsenal.DisperseShots[0].ReloadRate == 50 && ShotSpeeds() == Speeds(2, 0);
            }
        };
        auto off = [&] {
            switch (c.kind) {
                case 1:
                    return !Arsenal.InfiniteEnergy;
                case 2:
                    return Ship.ShipMaxSpeed == 25 && Ship.ShipAccel == 0.1f && Ship.ShipDrag == 0.1f &&
                           Ship.BoostAccel == 0.25f && Ship.MaxTurnRate == 20 && ShotSpeeds() == Speeds(1, 0);
                case 3:
                    return !Ship.Invincible;
                default:
                    return Arsenal.PlasmaShots[0].ReloadRate == 15 && Arsenal.GammaShots[0].ReloadRate == 4 &&
                           ShotSpeeds() == Speeds(1, 0);
            }
        };
        EXPECT_TRUE(on()) << c.kind;
        Campaign.FrameStartTime = 1000 + c.seconds;
        UpdatePowerUps();
        EXPECT_TRUE(on()) << c.kind << ": still on at exactly its duration";
        Campaign.FrameStartTime += 0.01;
        UpdatePowerUps();
        EXPECT_TRUE(off()) << c.kind;
        EXPECT_FALSE(PowerUps.PowerUpOn[std::size_t(c.kind)]);
    }
}

TEST_F(PowerUpTest, EffectsNoLongerUndoEachOther) {
    // Rapid fire and extreme speed together: doubled and raised.
    CheckPowerUpPickup(PowerUps.PowerUpMeshes[4]);
    CheckPowerUpPickup(PowerUps.PowerUpMeshes[2]);
    EXPECT_EQ(ShotSpeeds(), Speeds(2, 12.5f));
    UpdatePowerUps();
    EXPECT_EQ(ShotSpeeds(), Speeds(2, 12.5f));
    // Extreme speed ends first: rapid fire keeps its doubled speeds.
    Campaign.FrameStartTime += 46;
    UpdatePowerUps();
    EXPECT_EQ(ShotSpeeds(), Speeds(2, 0));
    EXPECT_EQ(Arsenal.PlasmaShots[0].ReloadRate, 30);
    Campaign.FrameStartTime += 15;
    UpdatePowerUps();
    EXPECT_EQ(ShotSpeeds(), Speeds(1, 0));

    // An effect that ended long ago is not undone again while another one runs: the top
    // speed that the hidden key set stays.
    Ship.ShipMaxSpeed = 120;
    Campaign.FrameStartTime += 100;
    CheckPowerUpPickup(PowerUps.PowerUpMeshes[1]);
    for (int frame = 0; frame < 3; ++frame) {
        Campaign.FrameStartTime += 1;
        UpdatePowerUps();
    }
    EXPECT_EQ(Ship.ShipMaxSpeed, 120);
    EXPECT_EQ(ShotSpeeds(), Speeds(1, 0));
}

TEST_F(PowerUpTest, PowerUpsBobOnceASecond) {
    const Vector start = PositionOf(PowerUps.PowerUpMeshes[1]);
    PowerUps.BobTime = Campaign.FrameStartTime;
    PowerUps.BobUp = true;
    UpdatePowerUps();
    test::ExpectNear(PositionOf(PowerUps.PowerUpMeshes[1]), {start.x, start.y + 10, start.z});
    Campaign.FrameStartTime += 1.01;
    UpdatePowerUps();
    test::ExpectNear(PositionOf(PowerUps.PowerUpMeshes[1]), start);
}

}  // namespace
}  // namespace quorvel
