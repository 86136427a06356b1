// The fire routines as tables: cadence per weapon with fire held, ring slots and gun
// sides, the disperse volley, and the refusals.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "combat/weapons_fixture.h"

namespace quorvel {
namespace {

using FireRoutine = void (*)(int&, const Vector&, const Vector&, const Vector&);

struct WeaponRow {
    int number;
    FireRoutine fire;
    std::array<ShotRec, 15>* shots;
    const char* sound;
};
const WeaponRow SingleShotWeapons[] = {
    {1, FirePlasma, &Arsenal.PlasmaShots, "plasma"}, {2, FireLaser, &Arsenal.LaserShots, "laser"},
    {3, FireIon, &Arsenal.IonShots, "ion"},          {4, FireMion, &Arsenal.MionShots, "mion"},
    {5, FireEplas, &Arsenal.EplasShots, "eplasfx"},  {7, FireGamma, &Arsenal.GammaShots, "gamma"},
};

class FiringTest : public test::WeaponsTest {
  protected:
    void SetUp() override {
        test::WeaponsTest::SetUp();
        Arsenal.CapacityLevel = 1;
        InitWeaponTable();
        SetWeaponEnergy(0, 0);
        SetWeaponStartValues();
        for (const WeaponRow& w : SingleShotWeapons)
            for (int i = 1; i <= 14; ++i) {
                ShotRec& s = (*w.shots)[std::size_t(i)];
                s.MeshKey = std::string(w.sound) + std::to_string(i);
                s.MeshId = Node(s.MeshKey);
                MeshObj->SetVisible(false);
            }
        for (int i = 1; i <= 70; ++i) {
            ShotRec& s = Arsenal.DisperseShots[std::size_t(i)];
            s.MeshKey = "disp" + std::to_string(i);
            s.MeshId = Node(s.MeshKey);
            MeshObj->SetVisible(false);
        }
    }
    AxisSet axes;  // the ship holder's axes: identity unless a case turns them
};

TEST_F(FiringTest, HeldFireShootsEveryFewFramesByReloadRateAlsoUnderRapidFire) {
    struct Case {
        int weapon;
        bool rapid;
        int frames;  // between two shots: the first n with n x rate above 100
    };
    const Case cases[] = {{1, false, 7}, {2, false, 7},  {3, false, 6}, {4, false, 5}, {5, false, 5},
                          {6, false, 5}, {7, false, 26}, {1, true, 4},  {2, true, 4},  {3, true, 3},
                          {4, true, 3},  {5, true, 3},   {6, true, 3},  {7, true, 13}};
    Arsenal.InfiniteEnergy = true;  // cadence only
    for (const Case& c : cases) {
        SetWeaponStartValues();
        PowerUps.PowerUpOn = {};
        if (c.rapid) {
            PowerUps.PowerUpMeshes[4] = Node("rapid");
            ASSERT_TRUE(CheckPowerUpPickup(PowerUps.PowerUpMeshes[4]));
        }
        FireRoutine fire = c.weapon == 6 ? FireDisperse : FirePlasma;
        for (const WeaponRow& w : SingleShotWeapons)
            if (w.number == c.weapon) fire = w.fire;
        int ring = 0;
        std::vector<int> shotFrames;
        for (int frame = 1; frame <= 60; ++frame) {
            AdvanceWeaponReload();
            const float before = Level.ShotsFired;
            fire(ring, axes.AxisRight, axes.AxisUp, axes.AxisFront);
            if (Level.ShotsFired > before) shotFrames.push_back(frame);
        }
        ASSERT_GE(shotFrames.size(), 2u) << c.weapon;
        for (std::size_t i = 1; i < shotFrames.size(); ++i)
            EXPECT_EQ(shotFrames[i] - shotFrames[i - 1], c.frames)
                << "weapon " << c.weapon << " rapid " << c.rapid;
        EXPECT_EQ(shotFrames[0], c.frames) << "the first shot waits for a full reload";
    }
}

TEST_F(FiringTest, ReloadMustPassAHundred) {
    int ring = 0;
    Arsenal.PlasmaShots[0].Reload = 100;
    FirePlasma(ring, axes.AxisRight, axes.AxisUp, axes.AxisFront);
    EXPECT_EQ(ring, 0);
    EXPECT_TRUE(Plays("plasma").empty());
    Arsenal.PlasmaShots[0].Reload = 100.01f;
    FirePlasma(ring, axes.AxisRight, axes.AxisUp, axes.AxisFront);
    EXPECT_EQ(ring, 1);
    EXPECT_EQ(Arsenal.PlasmaShots[0].Reload, 0);
    EXPECT_EQ(Plays("plasma").size(), 1u);
    EXPECT_FLOAT_EQ(Arsenal.WeaponEnergy[1].Energy, 80 - 2.2f);
}

TEST_F(FiringTest, ShotsTakeTheSharedRingAndAlternateGuns) {
    struct Case {
        int weapon;
        int ringBefore;
        int record;
        Vector launch;  // from the camera at the origin, identity axes
    };
    const Case cases[] = {
        {1, 0, 1, {15, -5, -1}},   {1, 1, 2, {-15, -5, -1}}, {2, 5, 6, {-10, 3, -1}},
        {3, 6, 7, {15, 3, -1}},    {4, 7, 8, {-18, 3, -1}},  {5, 8, 9, {15, -4, -1}},
        {7, 9, 10, {-15, -8, -1}}, {1, 14, 1, {15, -5, -1}},  // wraps, and a shot still flying there starts
                                                              // anew
    };
    for (const Case& c : cases) {
        const WeaponRow* w = nullptr;
        for (const WeaponRow& row : SingleShotWeapons)
            if (row.number == c.weapon) w = &row;
        (*w->shots)[0].Reload = 101;
        (*w->shots)[std::size_t(c.record)].Active = true;
        int ring = c.ringBefore;
        w->fire(ring, axes.AxisRight, axes.AxisUp, axes.AxisFront);
        ASSERT_EQ(ring, c.record) << c.weapon;
        const ShotRec& shot = (*w->shots)[std::size_t(c.record)];
        EXPECT_TRUE(shot.Active);
        EXPECT_TRUE(Visible(shot.MeshId));
        test::ExpectNear(shot.LaunchPos, c.launch);
        test::ExpectNear(PositionOf(shot.MeshId), c.launch);
        test::ExpectNear(shot.AimRay.Dir, {0, 0, -1});
        EXPECT_EQ(Plays(w->sound).size(), c.weapon == 1 ? (c.ringBefore == 14 ? 3u : c.ringBefore + 1u) : 1u);
    }
}

TEST_F(FiringTest, GunsSitOnTheShipsOwnAxes) {
    // The ship turned to face +X, camera at (100, 200, 300).
    const Vector right{0, 0, -1}, up{0, 1, 0}, front{1, 0, 0};
    Ship.CamBasis.CamPos = {100, 200, 300};
    for (int ringBefore : {0, 1}) {
        Arsenal.PlasmaShots[0].Reload = 101;
        int ring = ringBefore;
        FirePlasma(ring, right, up, front);
        const ShotRec& shot = Arsenal.PlasmaShots[std::size_t(ring)];
        const float side = ring == 1 ? 15.0f : -15.0f;
        test::ExpectNear(shot.LaunchPos, {100 - 1, 200 - 5, 300 - side});
        test::ExpectNear(shot.AimRay.Dir, {-1, 0, 0});
        test::ExpectNear(shot.AimRay.Origin, Ship.CamBasis.CamPos);
        test::ExpectNear(shot.OrientFront, front);
    }
    // The laser keeps no axes: its flight does not use them.
    Arsenal.LaserShots[0].Reload = 101;
    int ring = 0;
    FireLaser(ring, right, up, front);
    test::ExpectNear(Arsenal.LaserShots[1].OrientFront, {});
}

TEST_F(FiringTest, ADisperseVolleyIsFiveShotsOneSoundAndOneCost) {
    Campaign.CurrentWeapon = 6;
    Arsenal.WeaponEnergy[6].Energy = 20.5f;  // just above one shot's cost
    Arsenal.DisperseShots[0].Reload = 101;
    int ring = 68;
    FireDisperse(ring, axes.AxisRight, axes.AxisUp, axes.AxisFront);
    EXPECT_EQ(ring, 3) << "the ring of 70 wraps";
    EXPECT_FLOAT_EQ(Level.ShotsFired, 5);
    EXPECT_FLOAT_EQ(Arsenal.WeaponEnergy[6].Energy, 0.5f);
    EXPECT_EQ(Plays("disperse").size(), 1u);
    const int records[6] = {0, 69, 70, 1, 2, 3};
    const float side[6] = {0, -1, -1, 0, 1, 1};
    for (int k = 1; k <= 5; ++k) {
        const ShotRec& shot = Arsenal.DisperseShots[std::size_t(records[k])];
        EXPECT_TRUE(shot.Active) << k;
        test::ExpectNear(shot.LaunchPos, {side[k], -2, -1});
        const Vector d = shot.AimRay.Dir;
        EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1, 1e-4);
        if (k == 3) {
            test::ExpectNear(d, {0, 0, -1});
        } else {
            // 7 degrees to its side, 2 degrees up or down.
            EXPECT_NEAR(std::acos(-d.z) * 180 / 3.14159265f,
                        std::acos(std::cos(0.0349066f) * std::cos(0.122173f)) * 180 / 3.14159265f, 0.05)
                << k;
            EXPECT_EQ(d.x > 0, side[k] > 0) << k;
        }
    }
    EXPECT_NEAR(Arsenal.DisperseShots[69].AimRay.Dir.y, -Arsenal.DisperseShots[70].AimRay.Dir.y, 1e-5);
    EXPECT_NE(Arsenal.DisperseShots[69].AimRay.Dir.y, 0);

    // Not enough for another volley: the no-energy sound and nothing fired.
    Arsenal.DisperseShots[0].Reload = 101;
    FireDisperse(ring, axes.AxisRight, axes.AxisUp, axes.AxisFront);
    EXPECT_EQ(ring, 3);
    EXPECT_EQ(Plays("noavail").size(), 1u);
}

TEST_F(FiringTest, PlasmaWithoutEnergyPlaysTheNoEnergySound) {
    Campaign.CurrentWeapon = 1;
    Arsenal.WeaponEnergy[1].Energy = 2.2f;
    Arsenal.PlasmaShots[0].Reload = 101;
    int ring = 0;
    FirePlasma(ring, axes.AxisRight, axes.AxisUp, axes.AxisFront);
    EXPECT_EQ(ring, 0);
    EXPECT_FLOAT_EQ(Arsenal.PlasmaShots[0].Reload, 101) << "the weapon stays ready";
    EXPECT_EQ(Plays("noavail").size(), 1u);
    EXPECT_TRUE(Plays("plasma").empty());
}

}  // namespace
}  // namespace quorvel
