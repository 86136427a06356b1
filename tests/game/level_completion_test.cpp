// The end of a level: kill money, the level bonus, the completion test (once), the
// warp-out and the step to the next level, across midnight too, and the game-won
// pages.

#include <gtest/gtest.h>

#include <algorithm>

#include "game/game_run.h"
#include "platform/engine/scancodes.h"
#include "platform/system/clock.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

class LevelFinish : public test::LevelRecordsTest {
  protected:
    void StartAt(int level, int difficulty = 2) {
        LevelRecordsTest::StartAt(level, difficulty);
        LevelEnd.LevelEnding = false;
    }
    // Every goal of the level met but the one a case keeps.
    void ClearLevel() {
        Level.AsteroidsLeft = 0;
        Mothership.MothershipLevel = GiantAsteroid.GiantAsteroidPending = Battleship.BattleshipActive = false;
        Level.CutsceneDone = true;
        AlienFleet.Wave2Pending = false;
        for (AlienShip& a : AlienFleet.Aliens)
            a.Active = false;
    }
};

TEST_F(LevelFinish, KillMoneyFallsWithTheDifficulty) {
    struct Row {
        int difficulty;
        float hitPoints;
        double money;
    };
    const Row rows[] = {{1, 375, 15000},  {2, 560, 19600}, {3, 1350, 40500}, {4, 1400 + 75, 36875},
                        {5, 1800, 36000}, {0, 1000, 0},    {6, 1000, 0}};
    for (const Row& r : rows) {
        Campaign.DifficultyLevel = r.difficulty;
        Campaign.Money = 100;
        AddKillMoney(r.hitPoints);
        EXPECT_DOUBLE_EQ(Campaign.Money, 100 + r.money) << r.difficulty;
    }
}

TEST_F(LevelFinish, KillMoneyOfTheLevelsOwnAsteroids) {
    // An asteroid's hit points grow with the difficulty faster than the pay falls.
    struct Row {
        int level, difficulty;
    };
    const double perHitPoint[6] = {0, 40, 35, 30, 25, 20};
    for (const Row r : {Row{2, 1}, Row{12, 3}, Row{33, 5}}) {
        StartAt(r.level, r.difficulty);
        const AsteroidRec& a = Level.Asteroids[1];
        Campaign.Money = 0;
        AddKillMoney(float(a.HitPoints));
        EXPECT_DOUBLE_EQ(Campaign.Money, a.HitPoints * perHitPoint[r.difficulty]) << r.level;
    }
}

TEST_F(LevelFinish, TheBonusComesFromTheTimeLeftAndTheHitRatio) {
    struct Row {
        int level;
        float limit;
        double elapsed;
        float fired, hit;
        float timeLeft, ratio;
        double bonus;
    };
    const Row rows[] = {
        {7, 154, 100.3, 10, 7, 53, 70, 246000},  // the status line's example
        {7, 154, 100.3, 0, 0, 53, 0, 106000},    // no shot fired: no accuracy
        {7, 154, 100.3, 0, 3, 53, 0, 106000},    // only beam throws
        {7, 154, 100.3, 2, 5, 53, 100, 306000},  // throws push the hits past the shots
        {7, 154, 100.3, 3, 1, 53, 33, 172000},
        {9, 168, 400, 4, 4, 1, 100, 202000},  // time up: one second is left
        {9, 168, 167.5, 4, 0, 1, 0, 2000},
        {1, 357, 10, 10, 10, 347, 100, 0},  // the training level pays no bonus
    };
    for (const Row& r : rows) {
        Campaign.CurrentLevel = r.level;
        Level.LevelStartTime = 5000;
        Campaign.FrameStartTime = 5000 + r.elapsed;
        Level.LevelTimeLimit = r.limit;
        Level.ShotsFired = r.fired;
        Level.ShotsHit = r.hit;
        ComputeLevelBonus();
        EXPECT_FLOAT_EQ(LevelEnd.TimeLeft, r.timeLeft) << r.level << " " << r.elapsed;
        EXPECT_FLOAT_EQ(Level.HitRatio, r.ratio) << r.fired << "/" << r.hit;
        EXPECT_DOUBLE_EQ(LevelEnd.LevelBonus, r.bonus) << r.fired << "/" << r.hit;
    }
}

TEST_F(LevelFinish, EachGoalLeftKeepsTheLevelRunning) {
    struct Row {
        const char* what;
        void (*keep)();
    };
    const Row rows[] = {
        {"an asteroid", [] { Level.AsteroidsLeft = 1; }},
        {"the mothership", [] { Mothership.MothershipLevel = true; }},
        {"the giant asteroid", [] { GiantAsteroid.GiantAsteroidPending = true; }},
        {"the battleship", [] { Battleship.BattleshipActive = true; }},
        {"the cut-scene", [] { Level.CutsceneDone = false; }},
        {"an alien", [] { AlienFleet.Aliens[3].Active = true; }},
        {"the second wave", [] { AlienFleet.Wave2Pending = true; }},
    };
    StartAt(3);
    for (const Row& r : rows) {
        ClearLevel();
        r.keep();
        Campaign.Money = 500;
        CheckLevelComplete();
        EXPECT_FALSE(LevelEnd.LevelEnding) << r.what;
        EXPECT_EQ(Campaign.Money, 500) << r.what;
    }
    // The mothership's end clears its flag and the next call completes the level.
    ClearLevel();
    Mothership.MothershipLevel = true;
    CheckLevelComplete();
    EXPECT_FALSE(LevelEnd.LevelEnding);
    Mothership.MothershipLevel = false;
    CheckLevelComplete();
    EXPECT_TRUE(LevelEnd.LevelEnding);
}

TEST_F(LevelFinish, ALevelCompletesOnceAndPaysTheBonusItShows) {
    StartAt(4);
    ClearLevel();
    Level.ShotsFired = 20;
    Level.ShotsHit = 15;
    Campaign.FrameStartTime += 40.4;  // 154 s allowed: 113 left
    Campaign.Money = 10000;
    CheckLevelComplete();
    ASSERT_TRUE(LevelEnd.LevelEnding);
    EXPECT_FLOAT_EQ(LevelEnd.TimeLeft, 113);
    EXPECT_FLOAT_EQ(Level.HitRatio, 75);
    EXPECT_DOUBLE_EQ(LevelEnd.LevelBonus, (113 + 75) * 2000.0);
    EXPECT_DOUBLE_EQ(Campaign.Money, 10000 + LevelEnd.LevelBonus);
    EXPECT_EQ(LevelEnd.WarpOutStart, 1040);

    // Later callers in the same warp-out (a last shot, a break-up's end) change nothing.
    const double paid = Campaign.Money;
    Campaign.FrameStartTime += 3;
    CheckLevelComplete();
    EXPECT_DOUBLE_EQ(Campaign.Money, paid);
    EXPECT_EQ(LevelEnd.WarpOutStart, 1040);
    EXPECT_FLOAT_EQ(LevelEnd.TimeLeft, 113);
}

TEST_F(LevelFinish, ALevelWithACutsceneCompletesWhenItHasRun) {
    for (int level : {25, 50}) {
        StartAt(level);
        EXPECT_FALSE(Level.CutsceneDone) << level;
        ClearLevel();
        Level.CutsceneDone = false;  // the fight is over, the cut-scene still to come
        CheckLevelComplete();
        EXPECT_FALSE(LevelEnd.LevelEnding) << level;

        Campaign.Money = 0;
        Campaign.FrameStartTime += 30;
        AlienFleet.Aliens[1].Active = true;  // a fighter left over: cleared, unpaid
        FinishCutsceneLevel();
        EXPECT_TRUE(LevelEnd.LevelEnding) << level;
        EXPECT_FALSE(AlienFleet.Aliens[1].Active);
        EXPECT_TRUE(Level.CutsceneDone);
        EXPECT_GT(LevelEnd.LevelBonus, 0) << level;  // the last level pays its bonus too
        EXPECT_DOUBLE_EQ(Campaign.Money, LevelEnd.LevelBonus);
        FinishCutsceneLevel();
        CheckLevelComplete();
        EXPECT_DOUBLE_EQ(Campaign.Money, LevelEnd.LevelBonus) << level;
    }
}

TEST_F(LevelFinish, AWarpOutStartedJustBeforeMidnightEndsInTheNextLevel) {
    StartAt(6);
    ClearLevel();
    sys::UseVirtualClock(86400 - 2);
    Campaign.FrameStartTime = sys::WallClock();
    CheckLevelComplete();
    ASSERT_TRUE(LevelEnd.LevelEnding);
    EXPECT_EQ(LevelEnd.WarpOutStart, 86398);
    int frames = 0;
    while (LevelEnd.LevelEnding && frames < 60 * 10) {
        h.RunFrames(1);
        Campaign.FrameStartTime = sys::WallClock();
        RunLevelTransition();
        ++frames;
    }
    EXPECT_FALSE(LevelEnd.LevelEnding);
    EXPECT_EQ(Campaign.CurrentLevel, 7);
    // More than 7 s after the start, in whole frames of 1/60 s.
    EXPECT_GE(frames, 7 * 60);
    EXPECT_LE(frames, 7 * 60 + 2);
}

TEST_F(LevelFinish, GameWonTurnsAPageASecond) {
    LevelEnd.GameWonStarted = false;
    LevelEnd.GameWonPage = 1;
    // Enter held from the screen before: the first page stays for a second.
    h.KeyDown(0, key::Return);
    h.RunFrames(1);
    struct Step {
        double time;
        int page;
    };
    for (const Step s :
         {Step{500, 1}, Step{501, 1}, Step{501.02, 2}, Step{501.5, 2}, Step{502.1, 3}, Step{503.2, 4}}) {
        Campaign.FrameStartTime = s.time;
        ShowGameWon();
        EXPECT_EQ(LevelEnd.GameWonPage, s.page) << s.time;
    }
    EXPECT_DOUBLE_EQ(LevelEnd.GameWonPageTime, 503.2);
}

// A whole run's first level, with the content set.
class WarpOut : public test::GameRunTest {};

TEST_F(WarpOut, LeavingTheTrainingLevelTakesTheMoneyAndTheBoughtWeapons) {
    test::LoadRunAt(1);
    ASSERT_EQ(Campaign.CurrentLevel, 1);
    Campaign.Money = 600000;
    Campaign.OwnsIon = Campaign.OwnsMion = Campaign.OwnsEplas = Campaign.OwnsDisperse = Campaign.OwnsGamma =
        Campaign.OwnsGravBeam = true;
    Campaign.CurrentWeapon = 5;
    Level.AsteroidsLeft = 0;
    Campaign.FrameFactor = 1;
    CameraObj->SelectCameraById(0);
    CameraObj->SetCameraPosition(100, 50, -20);
    Ship.CamBasis.CamPos = {100, 50, -20};
    Campaign.FrameStartTime = sys::WallClock();

    CheckLevelComplete();
    ASSERT_TRUE(LevelEnd.LevelEnding);
    EXPECT_EQ(Campaign.Money, 0);
    for (bool owned : {Campaign.OwnsIon, Campaign.OwnsMion, Campaign.OwnsEplas, Campaign.OwnsDisperse,
                       Campaign.OwnsGamma, Campaign.OwnsGravBeam})
        EXPECT_FALSE(owned);
    EXPECT_EQ(Campaign.CurrentWeapon, 2);
    ASSERT_TRUE(MeshObj->SelectMesh("goldship"));
    EXPECT_TRUE(MeshObj->GetVisible());
    EXPECT_LT(Distance(MeshObj->GetPosition(), Ship.CamBasis.CamPos), 0.01f);

    // The camera backs away from the ship and stops beyond 600 units.
    float farthest = 0;
    while (LevelEnd.LevelEnding && h.Frame() < 60 * 10) {
        h.RunFrames(1);
        Campaign.FrameStartTime = sys::WallClock();
        RunLevelTransition();
        if (!LevelEnd.LevelEnding) break;
        CameraObj->SelectCameraById(0);
        farthest = std::max(farthest, Distance(CameraObj->GetCameraPosition(), LevelEnd.ShipPos));
    }
    EXPECT_GE(farthest, 600);
    EXPECT_LT(farthest, 603);

    ASSERT_FALSE(LevelEnd.LevelEnding);
    EXPECT_EQ(Campaign.CurrentLevel, 2);
    EXPECT_EQ(Level.AsteroidCount, 18);
    EXPECT_EQ(Level.AsteroidsLeft, 18);
    EXPECT_EQ(Campaign.Money, 0);
    EXPECT_EQ(Campaign.CurrentWeapon, 2);
    ASSERT_TRUE(MeshObj->SelectMesh("goldship"));
    EXPECT_FALSE(MeshObj->GetVisible());
}

}  // namespace
}  // namespace quorvel
