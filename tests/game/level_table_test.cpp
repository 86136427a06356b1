// The level table, the start of a level and its asteroid field, and the run's weapon
// and alien values: tables of cases against the campaign's numbers. No content is
// needed: a model that cannot be read only leaves its id at -1.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "game/game_run.h"
#include "platform/system/random.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

using LevelStart = test::LevelRecordsTest;

// What a level's row does in play, at the edges of its bands: the asteroids dealt to the
// field (each under a key of the level, and one spare) and left to clear, the last of
// the level's kinds, which the highest pick gives the first asteroid, and the step an
// asteroid flies at the station in a whole frame (difficulty 3 takes the level's pace
// as it is; the training level's asteroids stand still).
TEST_F(LevelStart, EachLevelDealsItsFieldAndSetsItsPace) {
    struct Row {
        int level, asteroids, kinds;
        float step;
    };
    const Row rows[] = {{1, 50, 2, 0},     {2, 18, 2, 2.8f},  {4, 22, 2, 2.8f},   {5, 24, 2, 2.8f},
                        {6, 21, 2, 2.9f},  {10, 25, 2, 2.9f}, {11, 21, 3, 3.1f},  {16, 26, 4, 3.3f},
                        {25, 35, 5, 3.5f}, {26, 31, 6, 3.6f}, {31, 31, 7, 3.8f},  {36, 31, 8, 3.9f},
                        {40, 35, 8, 3.9f}, {41, 41, 9, 4.0f}, {46, 41, 10, 4.2f}, {49, 44, 10, 4.2f},
                        {50, 50, 10, 4.0f}};
    Campaign.FrameFactor = 1;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.level);
        StartAt(r.level, 3);
        EXPECT_EQ(Campaign.CurrentLevel, r.level);
        // The field dealt again with the level's kinds drawn as 1, 2, 3 ..., and the first
        // asteroid's pick at the top.
        std::vector<double> draws;
        for (int k = 1; k <= r.kinds; ++k)
            draws.push_back((k - 1 + 0.01) / 9);
        draws.push_back(0.999);
        sys::QueueRandom(draws);
        SpawnAsteroidField();
        auto key = [&](int i) { return "asteroid" + std::to_string(r.level) + "_" + std::to_string(i); };
        int dealt = 0;
        while (dealt + 1 < int(Level.Asteroids.size()) &&
               Level.Asteroids[std::size_t(dealt + 1)].MeshKey == key(dealt + 1))
            ++dealt;
        EXPECT_EQ(dealt, r.asteroids + 1);
        EXPECT_EQ(Level.AsteroidsLeft, r.asteroids);
        EXPECT_EQ(Level.Asteroids[1].Kind, r.kinds);
        EXPECT_FLOAT_EQ(AsteroidSpeed(), r.step);
    }
}

struct BossRow {
    int level;
    bool mothership, giant, cutsceneDone;
    float timeLimit;
};

TEST_F(LevelStart, BossLevelsArmTheirBossAndTimeLimit) {
    const BossRow rows[] = {{4, false, false, true, 7 * 22},       {5, true, false, true, 198},
                            {10, false, true, true, 7 * 25},       {20, false, true, true, 7 * 30},
                            {25, true, false, false, 7 * 35 + 30}, {26, false, false, true, 7 * 31},
                            {50, true, false, false, 7 * 50 + 30}};
    for (const BossRow& r : rows) {
        Mothership.MothershipLevel = false;
        GiantAsteroid.GiantAsteroidPending = false;
        StartAt(r.level, 3);
        EXPECT_EQ(Mothership.MothershipLevel, r.mothership) << r.level;
        EXPECT_EQ(GiantAsteroid.GiantAsteroidPending, r.giant) << r.level;
        EXPECT_EQ(Level.CutsceneDone, r.cutsceneDone) << r.level;
        EXPECT_FLOAT_EQ(Level.LevelTimeLimit, r.timeLimit) << r.level;
        EXPECT_DOUBLE_EQ(Battleship.BattleshipHP, 3 * 175000.0);
        EXPECT_DOUBLE_EQ(Level.LevelStartTime, 1000);
        EXPECT_DOUBLE_EQ(PowerUps.PowerUpStart[1], 970);
        EXPECT_DOUBLE_EQ(PowerUps.PowerUpStart[4], 940);
    }
}

TEST_F(LevelStart, TheLevelStartKeepsTheMoneyAndTheLastOneWinsTheGame) {
    // A saved game at level 2 starts with its money: only the warp-out off level 1
    // takes it.
    Campaign.Money = 1234;
    StartAt(2);
    EXPECT_EQ(Campaign.Money, 1234);
    StartAt(1);
    StartLevel();
    EXPECT_EQ(Campaign.CurrentLevel, 2);
    EXPECT_EQ(Campaign.Money, 1234);

    StartAt(50);
    EXPECT_FALSE(Campaign.GameWon);
    StartLevel();
    EXPECT_EQ(Campaign.CurrentLevel, 50);
    EXPECT_TRUE(Campaign.GameWon);
    EXPECT_EQ(Level.AsteroidCount, 50);  // the level is still set up
}

// Zone of a point dealt to the field: 1 +z, 2 +x, 3 -x, 4 -z.
int ZoneOf(const Vector& p) {
    if (p.z > 2900) return 1;
    if (p.x > 2900) return 2;
    if (p.x < -2900) return 3;
    if (p.z < -2900) return 4;
    return 0;
}

TEST_F(LevelStart, AsteroidsAreDealtToTheZonesOfTheLevel) {
    struct Case {
        int level, zones;
    };
    for (const Case c : {Case{2, 1}, Case{6, 2}, Case{15, 3}, Case{25, 4}, Case{49, 4}}) {
        StartAt(c.level);
        const float d = 50.0f * float(c.level);
        for (int i = 1; i <= Level.AsteroidCount; ++i) {
            const Vector p = Level.Asteroids[std::size_t(i)].Pos;
            const int zone = (i - 1) % c.zones + 1;
            EXPECT_EQ(ZoneOf(p), zone) << c.level << " " << i;
            const float far = zone == 1   ? p.z
                              : zone == 2 ? p.x - 3100
                              : zone == 3 ? -p.x - 3100
                                          : -p.z - 6100;
            EXPECT_GE(far, 3000 + d - 0.01f);
            EXPECT_LE(far, 4500 + d + 0.01f);
            for (float v : {p.x, p.y, p.z})
                EXPECT_GE(std::abs(v), 200.0f);
        }
    }
}

TEST_F(LevelStart, FirstAndLastLevelKeepTheirAsteroidsCloseAround) {
    for (int level : {1, 50}) {
        StartAt(level);
        for (int i = 1; i <= Level.AsteroidCount + 1; ++i)
            for (float v : {Level.Asteroids[std::size_t(i)].Pos.x, Level.Asteroids[std::size_t(i)].Pos.y,
                            Level.Asteroids[std::size_t(i)].Pos.z}) {
                EXPECT_LE(std::abs(v), 1000.0f);
                EXPECT_GE(std::abs(v), 200.0f);
            }
    }
}

TEST_F(LevelStart, AsteroidRecordsCarryKindTextureAndHitPointsByDifficulty) {
    struct Rule {
        int difficulty, a, b;
    };
    for (const Rule r :
         {Rule{1, 25, 250}, Rule{2, 30, 500}, Rule{3, 50, 1100}, Rule{4, 75, 1400}, Rule{5, 100, 1700}}) {
        StartAt(30, r.difficulty);
        std::set<int> kinds;
        for (int i = 1; i <= Level.AsteroidCount + 1; ++i) {
            const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
            ASSERT_GE(a.Kind, 1);
            ASSERT_LE(a.Kind, 10);
            if (i <= Level.AsteroidCount) kinds.insert(a.Kind);
            EXPECT_EQ(a.HitPoints, a.Kind * r.a + r.b);
            const int texture = a.Kind <= 3   ? a.Kind
                                : a.Kind <= 6 ? a.Kind - 3
                                : a.Kind <= 9 ? a.Kind - 6
                                              : 1;
            EXPECT_EQ(a.TextureKey, "ast" + std::to_string(texture) + "txt");
            EXPECT_EQ(a.MeshKey, "asteroid30_" + std::to_string(i));
            EXPECT_EQ(a.Index, i);
            if (i <= Level.AsteroidCount) {
                EXPECT_NE(a.Active, a.Parked) << "flying or in the reserve";
            }
            EXPECT_EQ(a.Damage, 0);
            EXPECT_EQ(a.MeshId, -1);  // no model files here
        }
        EXPECT_LE(int(kinds.size()), Level.LevelKindCount);
        EXPECT_EQ(Level.Asteroids[std::size_t(Level.AsteroidCount + 1)].Kind, 1);  // the spare
        int flying = 0;
        for (int i = 1; i <= Level.AsteroidCount; ++i)
            flying += Level.Asteroids[std::size_t(i)].Active ? 1 : 0;
        EXPECT_EQ(flying, 14) << "the budget of level 30";
    }
}

TEST_F(LevelStart, AsteroidSpeedScalesByLevelAndDifficulty) {
    Campaign.FrameFactor = 2;
    const float byDifficulty[6] = {0, 0.4f, 0.6f, 1.0f, 1.15f, 1.3f};
    for (int d = 1; d <= 5; ++d) {
        StartAt(11, d);
        EXPECT_FLOAT_EQ(AsteroidSpeed(), 2 * 3.1f * byDifficulty[d]) << d;
        StartAt(1, d);
        EXPECT_EQ(AsteroidSpeed(), 0);
    }
}

TEST_F(LevelStart, TheSkyAndTheSmokePointsFollowTheStationOfTheLevel) {
    Effects.SmokeFx[1].Pos = {1, 2, 3};
    StartAt(1);
    EXPECT_FLOAT_EQ(Effects.SmokeFx[1].Pos.x, 1);  // the first level keeps what it had
    StartAt(26);
    EXPECT_FLOAT_EQ(Effects.SmokeFx[2].Pos.y, 363.2f);
    EXPECT_FLOAT_EQ(Effects.SmokeFx[4].Pos.x, 975.04f);
    StartAt(25);
    EXPECT_FLOAT_EQ(Effects.SmokeFx[3].Pos.x, 648.8f);
    EXPECT_FLOAT_EQ(Effects.SmokeFx[4].Pos.y, 458.4f);
}

// The weapons' own numbers show in play elsewhere: the frames between two shots in the
// firing tests, the damage of a hit and the frames a shot flies to its range in the
// shots' flight tests. Here: the reload grows by the frame factor and has no cap.
TEST(WeaponRecords, TheReloadGrowsByTheFrameFactorWithoutACap) {
    const std::span<const ShotRec> stores[] = {Arsenal.PlasmaShots, Arsenal.LaserShots, Arsenal.IonShots,
                                               Arsenal.MionShots,   Arsenal.EplasShots, Arsenal.DisperseShots,
                                               Arsenal.GammaShots};
    SetWeaponStartValues();
    Campaign.FrameFactor = 1;
    AdvanceWeaponReload();
    std::vector<float> oneFrame;
    for (const auto& shots : stores)
        oneFrame.push_back(shots[0].Reload);

    SetWeaponStartValues();
    Campaign.FrameFactor = 0.5f;
    AdvanceWeaponReload();
    AdvanceWeaponReload();
    Campaign.FrameFactor = 1;
    for (int f = 0; f < 19; ++f)
        AdvanceWeaponReload();
    for (std::size_t w = 0; w < std::size(stores); ++w) {
        ASSERT_GT(oneFrame[w], 0) << w;
        // Two half frames and nineteen whole ones: twenty frames' growth, past 100 and on.
        EXPECT_FLOAT_EQ(stores[w][0].Reload, 20 * oneFrame[w]) << w;
    }
}

TEST(AlienDifficulty, StrengthByDifficultyAndShipType) {
    for (int j = 1; j <= 10; ++j)
        AlienFleet.Aliens[std::size_t(j)].ShipType = (j - 1) % 5 + 1;
    struct Row {
        int difficulty, type;
        float hp, damage, speed;
        int shotSpeed;
        float factor;
    };
    const Row rows[] = {{1, 1, 350, 1, 16, 28, 0.75f},  {2, 3, 1000, 4, 21, 31, 0.875f},
                        {3, 5, 2500, 8, 25, 35, 1.0f},  {4, 2, 1300, 6, 21, 41, 1.125f},
                        {5, 4, 3000, 9, 27, 41, 1.25f}, {5, 5, 3700, 10, 29, 41, 1.25f}};
    for (const Row& r : rows) {
        Campaign.DifficultyLevel = r.difficulty;
        ApplyAlienDifficulty();
        const AlienShip& a = AlienFleet.Aliens[std::size_t(r.type)];
        EXPECT_FLOAT_EQ(a.ShipHitPoints, r.hp);
        EXPECT_FLOAT_EQ(a.ShotDamage, r.damage);
        EXPECT_FLOAT_EQ(a.MaxSpeed, r.speed);
        EXPECT_FLOAT_EQ(AlienFleet.Aliens[std::size_t(r.type + 5)].ShipHitPoints, r.hp);
        EXPECT_EQ(AlienFleet.AlienShotSpeed, r.shotSpeed);
        EXPECT_FLOAT_EQ(Campaign.DifficultyFactor, r.factor);
    }
    Campaign.DifficultyLevel = 6;  // outside the table: nothing changes
    ApplyAlienDifficulty();
    EXPECT_EQ(AlienFleet.AlienShotSpeed, 41);
    EXPECT_FLOAT_EQ(AlienFleet.Aliens[5].ShipHitPoints, 3700);
}

}  // namespace
}  // namespace quorvel
