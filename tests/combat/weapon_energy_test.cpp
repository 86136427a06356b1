// Weapon energy as tables: spending and refusing, regeneration per weapon, the refill
// rules, the meter and the hull repair.

#include <gtest/gtest.h>

#include <cmath>

#include "combat/combat_fixture.h"

namespace quorvel {
namespace {

class WeaponEnergyTest : public test::CombatTest {
  protected:
    void SetUp() override {
        test::CombatTest::SetUp();
        Arsenal.CapacityLevel = 1;
        InitWeaponTable();
        SetWeaponEnergy(0, 0);
    }
    WeaponEnergyRecord& Store(int w) { return Arsenal.WeaponEnergy[std::size_t(w)]; }
};

TEST_F(WeaponEnergyTest, AShotNeedsMoreThanItsCostAndSpendsIt) {
    struct Case {
        int weapon;
        float energy;
        bool canFire;
    };
    for (const Case c : {Case{1, 2.2f, false}, Case{1, 2.21f, true}, Case{6, 20, false}, Case{6, 20.5f, true},
                         Case{7, 25, false}, Case{7, 100, true}}) {
        Campaign.CurrentWeapon = c.weapon;
        Store(c.weapon).Energy = c.energy;
        EXPECT_EQ(HasWeaponEnergy(c.weapon), c.canFire) << c.weapon << " " << c.energy;
    }
    // Equal to the cost: refused now, fires after one regeneration step.
    Campaign.CurrentWeapon = 1;
    Store(1).Energy = 2.2f;
    Store(1).RegenAccum = 9.5f;
    Campaign.FrameFactor = 1;
    RegenerateWeaponEnergy();
    EXPECT_TRUE(HasWeaponEnergy(1));

    Store(1).Energy = 50;
    UseWeaponEnergy(1, 1.0f);
    EXPECT_FLOAT_EQ(Store(1).Energy, 47.8f);
    EXPECT_FALSE(Arsenal.RefillDone);
    EXPECT_FALSE(HasWeaponEnergy(8));  // the gravity beam has no store
}

TEST_F(WeaponEnergyTest, InfiniteEnergyShotsCostNothingAndKeepTheLatch) {
    Campaign.CurrentWeapon = 3;
    Arsenal.InfiniteEnergy = true;
    UseWeaponEnergy(3, 1.0f);
    EXPECT_FLOAT_EQ(Store(3).Energy, 70);
    EXPECT_TRUE(Arsenal.RefillDone);
}

TEST_F(WeaponEnergyTest, RegenerationPerWeaponKeepsItsRemainder) {
    struct Case {
        int weapon;
        int units;  // after 39 frames at frame factor 1: floor(39 x rate / 10)
    };
    for (int w = 1; w <= 7; ++w) {
        Store(w).MaxEnergy = 1000;
        Store(w).Energy = 0;
        Store(w).RegenAccum = 0;
    }
    Campaign.FrameFactor = 1;
    for (int i = 0; i < 39; ++i)
        RegenerateWeaponEnergy();
    for (const Case c :
         {Case{1, 6}, Case{2, 6}, Case{3, 7}, Case{4, 8}, Case{5, 9}, Case{6, 58}, Case{7, 11}})
        EXPECT_FLOAT_EQ(Store(c.weapon).Energy, float(c.units)) << c.weapon;

    // The same frame time in fewer, longer frames gives the same energy.
    for (float factor : {1.0f, 2.0f, 4.0f}) {
        Store(6).Energy = 0;
        Store(6).RegenAccum = 0;
        Campaign.FrameFactor = factor;
        for (int i = 0; i < int(40 / factor); ++i)
            RegenerateWeaponEnergy();
        EXPECT_FLOAT_EQ(Store(6).Energy, 60) << factor;
    }

    // Regeneration stops at the capacity.
    Store(2).MaxEnergy = 75;
    Store(2).Energy = 74.5f;
    Store(2).RegenAccum = 9.99f;
    Campaign.FrameFactor = 1;
    RegenerateWeaponEnergy();
    EXPECT_FLOAT_EQ(Store(2).Energy, 75);
}

TEST_F(WeaponEnergyTest, RefillRules) {
    struct Case {
        const char* what;
        bool shotSince;
        int newCapacity;
        bool infinite;
        float expectedMax;  // of plasma afterwards
        bool refilled;
    };
    const Case cases[] = {
        {"no shot since the last refill", false, 1, false, 80, false},
        {"a shot since", true, 1, false, 80, true},
        {"capacity bought, no shot since", false, 3, false, 240, true},
        {"capacity out of range", true, 5, false, 80, true},
        {"infinite energy running", true, 1, true, 80, true},
    };
    for (const Case& c : cases) {
        Arsenal.CapacityLevel = 1;
        Arsenal.InfiniteEnergy = false;
        Arsenal.RefillDone = false;
        SetWeaponEnergy(0, 0);
        Store(1).Energy = 10;
        Arsenal.RepairTimer = 0;
        Campaign.CurrentWeapon = 1;
        if (c.shotSince) UseWeaponEnergy(1, 1.0f);
        Arsenal.CapacityLevel = c.newCapacity;
        Arsenal.InfiniteEnergy = c.infinite;
        SetWeaponEnergy(0, 0);
        EXPECT_FLOAT_EQ(Store(1).MaxEnergy, c.expectedMax) << c.what;
        EXPECT_FLOAT_EQ(Store(1).Energy, c.refilled ? c.expectedMax : 10) << c.what;
        EXPECT_FLOAT_EQ(Arsenal.RepairTimer, c.refilled ? 1000 : 0) << c.what;
        EXPECT_TRUE(Arsenal.RefillDone) << c.what;
        EXPECT_EQ(Arsenal.InfiniteEnergy, c.infinite) << c.what;  // a refill leaves the power-up running
        EXPECT_GE(Arsenal.CapacityLevel, 1);
        EXPECT_LE(Arsenal.CapacityLevel, 4);
    }
    Arsenal.CapacityLevel = 4;
    SetWeaponEnergy(0, 0);
    for (int w = 1; w <= 7; ++w)
        EXPECT_FLOAT_EQ(Store(w).Energy, WeaponTable[std::size_t(w)].BaseCapacity * 4) << w;
}

TEST_F(WeaponEnergyTest, TuningKeysChangeTheCurrentWeaponOnly) {
    Campaign.CurrentWeapon = 4;
    Campaign.FrameFactor = 2;
    AdjustWeaponRegenRate(true);
    AdjustWeaponShotCost(false);
    EXPECT_FLOAT_EQ(Store(4).RegenRate, 2.27f);
    EXPECT_FLOAT_EQ(Store(4).ShotCost, 3.98f);
    EXPECT_FLOAT_EQ(Store(3).RegenRate, 2.0f);
}

TEST_F(WeaponEnergyTest, NoEnergySoundPlaysOnceNotLooping) {
    PlayNoEnergySound();
    PlayNoEnergySound();
    EXPECT_EQ(Plays("noavail"), (std::vector<bool>{false, false}));
}

TEST_F(WeaponEnergyTest, MeterRectangleAndColour) {
    struct Case {
        int weapon;
        float energy;  // of a store of 80 (plasma) or 75 (laser)
        int capacity;
        bool drawn;
        float left;
        Colour colour;
    };
    const Colour blue{0, 0, 255, 255}, yellow{254, 248, 0, 255}, red{255, 26, 0, 255};
    const Case cases[] = {
        {1, 80, 1, true, 763, blue},
        {1, 20, 1, true, 523 + 60, blue},
        {1, 19.9f, 2, true, 523 + 59.7f, yellow},
        {1, 8, 3, true, 547, red},
        {1, 0, 4, true, 523 + 2.4f, red},
        {2, -5, 1, true, 523 + 2.4f, red},
        {1, 40, 0, false, 0, blue},
        {1, 40, 5, false, 0, blue},
        {8, 40, 1, false, 0, blue},
    };
    for (const Case& c : cases) {
        Campaign.CurrentWeapon = c.weapon;
        Arsenal.CapacityLevel = c.capacity;
        if (c.weapon <= 7) {
            Store(c.weapon).MaxEnergy = WeaponTable[std::size_t(c.weapon)].BaseCapacity;
            Store(c.weapon).Energy = c.energy * Store(c.weapon).MaxEnergy / 80;
        }
        const auto calls = Drawn([] { DrawEnergyMeter(); });
        if (!c.drawn) {
            EXPECT_TRUE(calls.empty()) << c.weapon << " " << c.capacity;
            continue;
        }
        ASSERT_EQ(calls.size(), 1u);
        const engine::Draw2DCall& r = calls[0];
        EXPECT_TRUE(r.filled);
        EXPECT_FLOAT_EQ(r.a.x, 763);
        EXPECT_FLOAT_EQ(r.a.y, 1024 - 54);
        EXPECT_NEAR(r.b.x, c.left, 0.01f) << c.energy;
        EXPECT_FLOAT_EQ(r.b.y, 1024 - 38);
        EXPECT_EQ(r.colour.r, c.colour.r) << c.energy;
        EXPECT_EQ(r.colour.g, c.colour.g) << c.energy;
        EXPECT_EQ(r.colour.b, c.colour.b) << c.energy;
        EXPECT_EQ(r.drawMode, 0);
    }
    // A store that was never filled has no capacity to divide by.
    Campaign.CurrentWeapon = 5;
    Arsenal.CapacityLevel = 1;
    Store(5) = {};
    const auto calls = Drawn([] { DrawEnergyMeter(); });
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FLOAT_EQ(calls[0].b.x, 523 + 2.4f);
}

TEST_F(WeaponEnergyTest, HullRepairStepsDownToOne) {
    struct Case {
        float hull, timer, frameFactor;
        float hullAfter, timerAfter;
    };
    for (const Case c : {Case{1.5f, 50, 1, 1, 0}, Case{5, 49, 1, 5, 50}, Case{5, 50, 0, 5, 50},
                         Case{1, 1000, 1, 1, 1001}, Case{30, 1000, 1, 29, 0}}) {
        Ship.HullDamage = c.hull;
        Arsenal.RepairTimer = c.timer;
        Campaign.FrameFactor = c.frameFactor;
        RepairHullTick();
        EXPECT_FLOAT_EQ(Ship.HullDamage, c.hullAfter) << c.hull << " " << c.timer;
        EXPECT_FLOAT_EQ(Arsenal.RepairTimer, c.timerAfter) << c.hull << " " << c.timer;
        EXPECT_FALSE(Arsenal.Repairing);
    }
}

}  // namespace
}  // namespace quorvel
