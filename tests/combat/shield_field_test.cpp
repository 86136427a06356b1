// The shield gauge, its meter and sounds; the force-field reach; the alien kinds of a
// level.

#include <gtest/gtest.h>

#include "combat/combat_fixture.h"

namespace quorvel {
namespace {

using ShieldTest = test::CombatTest;

TEST_F(ShieldTest, DamageSoundsBelowACollisionsWorth) {
    ResetShield();
    AddShieldDamage(17.5f);
    AddShieldDamage(18);
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 35.5f);
    EXPECT_EQ(Plays("camcollide"), (std::vector<bool>{false}));
}

TEST_F(ShieldTest, RechargeRatesAndTheChargeSound) {
    ResetShield();
    Campaign.FrameFactor = 2;
    Ship.ShieldDamage = 50;
    UpdateShield();
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 49.95f);
    EXPECT_TRUE(Plays("shcharge").empty());

    Arsenal.FastRecharge = true;
    UpdateShield();
    UpdateShield();
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 46.75f);
    EXPECT_EQ(Plays("shcharge"), (std::vector<bool>{true}));  // the loop goes on
    EXPECT_EQ(Stops("shcharge"), 0);

    // Leaving the force field ends the charge sound at once, and only once.
    Arsenal.FastRecharge = false;
    UpdateShield();
    UpdateShield();
    EXPECT_EQ(Stops("shcharge"), 1);
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 46.65f);

    Ship.ShieldDamage = 0.01f;
    UpdateShield();
    EXPECT_EQ(Ship.ShieldDamage, 0);
    Arsenal.FastRecharge = true;
    Ship.ShieldDamage = 1;
    UpdateShield();
    EXPECT_EQ(Ship.ShieldDamage, 0);
}

TEST_F(ShieldTest, MeterBarAndColourByDamage) {
    struct Case {
        float damage, max;
        float top;  // (145 x ratio + 872)
        Colour colour;
    };
    const Colour blue{0, 100, 255, 255}, yellow{254, 248, 0, 255}, red{255, 26, 0, 255};
    const Case cases[] = {
        {0, 100, 873.45f, blue}, {75, 100, 980.75f, blue}, {80, 100, 988, yellow}, {85, 100, 995.25f, yellow},
        {90, 100, 1002.5f, red}, {150, 100, 1017, red},    {10, 0, 1017, red},
    };
    for (const Case& c : cases) {
        Ship.ShieldDamage = c.damage;
        Ship.ShieldMax = c.max;
        const auto calls = Drawn([] { DrawShieldMeter(); });
        ASSERT_EQ(calls.size(), 1u);
        const engine::Draw2DCall& r = calls[0];
        EXPECT_FLOAT_EQ(r.a.x, 20);
        EXPECT_NEAR(r.a.y, c.top, 0.01f) << c.damage;
        EXPECT_FLOAT_EQ(r.b.x, 56);
        EXPECT_FLOAT_EQ(r.b.y, 1017);
        EXPECT_EQ(r.colour.r, c.colour.r) << c.damage;
        EXPECT_EQ(r.colour.g, c.colour.g) << c.damage;
        EXPECT_EQ(r.drawMode, 1);
    }
}

TEST_F(ShieldTest, MeterMovesTheTutorialOnOnceTheShieldIsBack) {
    ResetShield();
    Level.TutorialSteps[TutorialShieldWaiting] = true;
    Ship.ShieldDamage = 20;
    Drawn([] { DrawShieldMeter(); });
    EXPECT_TRUE(Level.TutorialSteps[TutorialShieldWaiting]);
    Ship.ShieldDamage = 19.9f;
    Drawn([] { DrawShieldMeter(); });
    EXPECT_FALSE(Level.TutorialSteps[TutorialShieldWaiting]);
    EXPECT_TRUE(Level.TutorialSteps[TutorialShieldDone]);
}

// The fixture's program folder holds no models: the force field and the radar are
// loaded from files that are not there, which these tests do not look at.
class ForceFieldTest : public test::CombatTest {
  protected:
    ForceFieldTest() { h.ExpectFailedLoad("\\mesh\\ff.md2").ExpectFailedLoad("\\mesh\\radar.md2"); }
};

TEST_F(ForceFieldTest, FieldPointsAndReach) {
    struct Case {
        int nextLevel;
        Vector camera;
        bool inside;
        int point;
    };
    const Case cases[] = {
        {1, {928, -375.12f, -3000}, false, 0},    // exactly 100 away
        {1, {928, -375.12f, -3000.1f}, true, 1},  // 99.9
        {25, {600, -375.12f, -3100}, false, 0},   // between points 2 and 3
        {25, {600, -375.12f, -2700}, true, 2},
        {26, {272, -385.12f, -3100}, false, 0},  // the second station's points stand higher
        {26, {272, -275.12f, -3100}, true, 4},
        {50, {600, -275.12f, -3400}, true, 3},
    };
    for (const Case& c : cases) {
        Campaign.CurrentLevel = c.nextLevel - 1;
        LoadForceFieldAndRadar();  // no models here: the points are set all the same
        EXPECT_EQ(ForceField.FieldMesh, -1);
        EXPECT_EQ(ForceField.RadarMesh, -1);
        Ship.CamBasis.CamPos = c.camera;
        UpdateForceFieldAnim();
        EXPECT_EQ(Ship.InForceField, c.inside) << c.nextLevel << " " << c.camera.z;
        if (c.inside) {
            EXPECT_FLOAT_EQ(ForceField.FieldPoint.x, ForceField.FieldPoints[std::size_t(c.point)].x);
            EXPECT_FLOAT_EQ(ForceField.FieldPoint.z, ForceField.FieldPoints[std::size_t(c.point)].z);
        }
    }
}

TEST_F(ForceFieldTest, TheAnimationRunsOnceAndRewindsOutside) {
    Campaign.CurrentLevel = 4;
    LoadForceFieldAndRadar();
    ForceField.FieldFrameMax = 3;
    Campaign.FrameFactor = 1;
    Ship.CamBasis.CamPos = ForceField.FieldPoints[2];
    for (float expected : {1.0f, 2.0f, 3.0f}) {
        UpdateForceFieldAnim();
        EXPECT_FLOAT_EQ(ForceField.FieldFrame, expected);
        EXPECT_FALSE(ForceField.FieldAnimDone);
    }
    UpdateForceFieldAnim();
    EXPECT_TRUE(ForceField.FieldAnimDone);
    EXPECT_FLOAT_EQ(ForceField.FieldFrame, 3);
    Ship.CamBasis.CamPos = {0, 0, 0};
    UpdateForceFieldAnim();
    EXPECT_FALSE(ForceField.FieldAnimDone);
    EXPECT_EQ(ForceField.FieldFrame, 0);
}

using AlienLoadingTest = test::CombatTest;

TEST_F(AlienLoadingTest, WaveKindsByTheLevelAboutToStart) {
    struct Case {
        int nextLevel, first, second;
        bool alienFree;
    };
    const Case cases[] = {{1, 1, 1, true},   {2, 1, 1, false},  {4, 1, 1, false},  {5, 1, 2, true},
                          {12, 1, 2, false}, {13, 2, 3, false}, {24, 2, 3, false}, {25, 3, 4, true},
                          {39, 3, 4, false}, {40, 4, 5, true},  {45, 4, 5, true},  {50, 4, 5, false}};
    for (const Case& c : cases) {
        Campaign.CurrentLevel = c.nextLevel - 1;
        SetAlienTypeForLevel();
        EXPECT_EQ(AlienFleet.FirstWaveShipType, c.first) << c.nextLevel;
        EXPECT_EQ(AlienFleet.SecondWaveShipType, c.second) << c.nextLevel;
        EXPECT_EQ(IsNextLevelAlienFree(), c.alienFree) << c.nextLevel;
        Campaign.CurrentLevel = c.nextLevel;
        EXPECT_EQ(IsAlienFreeLevel(), c.alienFree) << c.nextLevel;
    }
}

TEST_F(AlienLoadingTest, AnAlienFreeLevelHasNoShipObjects) {
    AlienFleet.Wave1Started = AlienFleet.Wave2Started = true;
    AlienFleet.Wave1Timer = 5;
    AlienFleet.Aliens[3].BodyMesh = 42;
    AlienFleet.Aliens[3].Active = true;
    Campaign.CurrentLevel = 9;  // level 10 is about to start
    const int before = MeshObj->CreateMesh("marker");
    LoadAlienShips();
    EXPECT_FALSE(AlienFleet.Wave1Started || AlienFleet.Wave2Started);
    EXPECT_EQ(AlienFleet.Wave1Timer, 0);
    for (int j = 1; j <= 10; ++j) {
        const AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        EXPECT_FALSE(a.Active);
        for (int id : {a.BodyMesh, a.HoldMesh, a.FlareMesh, a.FlareMesh2, a.MirrorMesh})
            EXPECT_EQ(id, -1);
    }
    EXPECT_EQ(MeshObj->CreateMesh("marker2"), before + 1);  // nothing was created between
    EXPECT_FALSE(MeshObj->SelectMesh("1aahold"));
}

TEST_F(AlienLoadingTest, ShipsWithoutModelsStillGetTheirNodesAndStrength) {
    h.ExpectFailedLoad("\\mesh\\as4.3ds").ExpectFailedLoad("\\mesh\\as5.3ds");
    Campaign.CurrentLevel = 40;  // level 41: kinds 4 and 5
    Campaign.DifficultyLevel = 3;
    ClearSkipList();
    LoadAlienShips();
    for (int j = 1; j <= 10; ++j) {
        const AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        EXPECT_EQ(a.BodyMesh, -1);  // no model file here
        EXPECT_TRUE(MeshObj->SelectMeshById(a.HoldMesh));
        EXPECT_TRUE(MeshObj->SelectMeshById(a.MirrorMesh));
        EXPECT_TRUE(IsSkipEntity(a.FlareMesh));
        EXPECT_TRUE(IsSkipEntity(a.FlareMesh2));
        EXPECT_EQ(a.ShipType, j <= 5 ? 4 : 5);
        EXPECT_FLOAT_EQ(a.ShipHitPoints, j <= 5 ? 2000 : 2500);
        EXPECT_FLOAT_EQ(a.Accel, 0.2f);
        EXPECT_TRUE(a.Extending);
    }
    EXPECT_FLOAT_EQ(AlienFleet.Aliens[1].AttachOffset.x, 0);
    EXPECT_FLOAT_EQ(AlienFleet.Aliens[1].AttachOffset.z, -81.2f);
    EXPECT_TRUE(MeshObj->SelectMesh("26aaflare"));
    EXPECT_TRUE(MeshObj->SelectMesh("35aaflare"));
    EXPECT_EQ(Effects.SkipCount, 20);
}

}  // namespace
}  // namespace quorvel
