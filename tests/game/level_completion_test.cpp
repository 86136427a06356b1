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

class LevelEnd : public test::LevelRecordsTest {
  protected:
    void StartAt(int level, int difficulty = 2) {
        LevelRecordsTest::StartAt(level, difficulty);
        LevelEnding = false;
    }
    // Every goal of the level met but the one a case keeps.
    void ClearLevel() {
        AsteroidsLeft = 0;
        MothershipLevel = GiantAsteroidPending = BattleshipActive = false;
        CutsceneDone = true;
        Wave2Pending = false;
        for (AlienShip& a : Aliens)
            a.Active = false;
    }
};

TEST_F(LevelEnd, KillMoneyFallsWithTheDifficulty) {
    struct Row {
        int difficulty;
        float hitPoints;
        double money;
    };
    const Row rows[] = {{1, 375, 15000},  {2, 560, 19600}, {3, 1350, 40500}, {4, 1400 + 75, 36875},
                        {5, 1800, 36000}, {0, 1000, 0},    {6, 1000, 0}};
    for (const Row& r : rows) {
        DifficultyLevel = r.difficulty;
        Money = 100;
        AddKillMoney(r.hitPoints);
        EXPECT_DOUBLE_EQ(Money, 100 + r.money) << r.difficulty;
    }
}

TEST_F(LevelEnd, KillMoneyOfTheLevelsOwnAsteroids) {
    // An asteroid's hit points grow with the difficulty faster than the pay falls.
    struct Row {
        int level, difficulty;
    };
    const double perHitPoint[6] = {0, 40, 35, 30, 25, 20};
    for (const Row r : {Row{2, 1}, Row{12, 3}, Row{33, 5}}) {
        StartAt(r.level, r.difficulty);
        const AsteroidRec& a = Asteroids[1];
        Money = 0;
        AddKillMoney(float(a.HitPoints));
        EXPECT_DOUBLE_EQ(Money, a.HitPoints * perHitPoint[r.difficulty]) << r.level;
    }
}

TEST_F(LevelEnd, TheBonusComesFromTheTimeLeftAndTheHitRatio) {
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
        CurrentLevel = r.level;
        LevelStartTime = 5000;
        FrameStartTime = 5000 + r.elapsed;
        LevelTimeLimit = r.limit;
        ShotsFired = r.fired;
        ShotsHit = r.hit;
        ComputeLevelBonus();
        EXPECT_FLOAT_EQ(TimeLeft, r.timeLeft) << r.level << " " << r.elapsed;
        EXPECT_FLOAT_EQ(HitRatio, r.ratio) << r.fired << "/" << r.hit;
        EXPECT_DOUBLE_EQ(LevelBonus, r.bonus) << r.fired << "/" << r.hit;
    }
}

TEST_F(LevelEnd, EachGoalLeftKeepsTheLevelRunning) {
    struct Row {
        const char* what;
        void (*keep)();
    };
    const Row rows[] = {
        {"an asteroid", [] { AsteroidsLeft = 1; }},
        {"the mothership", [] { MothershipLevel = true; }},
        {"the giant asteroid", [] { GiantAsteroidPending = true; }},
        {"the battleship", [] { BattleshipActive = true; }},
        {"the cut-scene", [] { CutsceneDone = false; }},
        {"an alien", [] { Aliens[3].Active = true; }},
        {"the second wave", [] { Wave2Pending = true; }},
    };
    StartAt(3);
    for (const Row& r : rows) {
        ClearLevel();
        r.keep();
        Money = 500;
        CheckLevelComplete();
        EXPECT_FALSE(LevelEnding) << r.what;
        EXPECT_EQ(Money, 500) << r.what;
    }
    // The mothership's end clears its flag and the next call completes the level.
    ClearLevel();
    MothershipLevel = true;
    CheckLevelComplete();
    EXPECT_FALSE(LevelEnding);
    MothershipLevel = false;
    CheckLevelComplete();
    EXPECT_TRUE(LevelEnding);
}

TEST_F(LevelEnd, ALevelCompletesOnceAndPaysTheBonusItShows) {
    StartAt(4);
    ClearLevel();
    ShotsFired = 20;
    ShotsHit = 15;
    FrameStartTime += 40.4;  // 154 s allowed: 113 left
    Money = 10000;
    CheckLevelComplete();
    ASSERT_TRUE(LevelEnding);
    EXPECT_FLOAT_EQ(TimeLeft, 113);
    EXPECT_FLOAT_EQ(HitRatio, 75);
    EXPECT_DOUBLE_EQ(LevelBonus, (113 + 75) * 2000.0);
    EXPECT_DOUBLE_EQ(Money, 10000 + LevelBonus);
    EXPECT_EQ(WarpOutStart, 1040);

    // Later callers in the same warp-out (a last shot, a break-up's end) change nothing.
    const double paid = Money;
    FrameStartTime += 3;
    CheckLevelComplete();
    EXPECT_DOUBLE_EQ(Money, paid);
    EXPECT_EQ(WarpOutStart, 1040);
    EXPECT_FLOAT_EQ(TimeLeft, 113);
}

TEST_F(LevelEnd, ALevelWithACutsceneCompletesWhenItHasRun) {
    for (int level : {25, 50}) {
        StartAt(level);
        EXPECT_FALSE(CutsceneDone) << level;
        ClearLevel();
        CutsceneDone = false;  // the fight is over, the cut-scene still to come
        CheckLevelComplete();
        EXPECT_FALSE(LevelEnding) << level;

        Money = 0;
        FrameStartTime += 30;
        Aliens[1].Active = true;  // a fighter left over: cleared, unpaid
        FinishCutsceneLevel();
        EXPECT_TRUE(LevelEnding) << level;
        EXPECT_FALSE(Aliens[1].Active);
        EXPECT_TRUE(CutsceneDone);
        EXPECT_GT(LevelBonus, 0) << level;  // the last level pays its bonus too
        EXPECT_DOUBLE_EQ(Money, LevelBonus);
        FinishCutsceneLevel();
        CheckLevelComplete();
        EXPECT_DOUBLE_EQ(Money, LevelBonus) << level;
    }
}

TEST_F(LevelEnd, AWarpOutStartedJustBeforeMidnightEndsInTheNextLevel) {
    StartAt(6);
    ClearLevel();
    sys::UseVirtualClock(86400 - 2);
    FrameStartTime = sys::WallClock();
    CheckLevelComplete();
    ASSERT_TRUE(LevelEnding);
    EXPECT_EQ(WarpOutStart, 86398);
    int frames = 0;
    while (LevelEnding && frames < 60 * 10) {
        h.RunFrames(1);
        FrameStartTime = sys::WallClock();
        RunLevelTransition();
        ++frames;
    }
    EXPECT_FALSE(LevelEnding);
    EXPECT_EQ(CurrentLevel, 7);
    // More than 7 s after the start, in whole frames of 1/60 s.
    EXPECT_GE(frames, 7 * 60);
    EXPECT_LE(frames, 7 * 60 + 2);
}

TEST_F(LevelEnd, GameWonTurnsAPageASecond) {
    GameWonStarted = false;
    GameWonPage = 1;
    // Enter held from the screen before: the first page stays for a second.
    h.KeyDown(0, key::Return);
    h.RunFrames(1);
    struct Step {
        double time;
        int page;
    };
    for (const Step s :
         {Step{500, 1}, Step{501, 1}, Step{501.02, 2}, Step{501.5, 2}, Step{502.1, 3}, Step{503.2, 4}}) {
        FrameStartTime = s.time;
        ShowGameWon();
        EXPECT_EQ(GameWonPage, s.page) << s.time;
    }
    EXPECT_DOUBLE_EQ(GameWonPageTime, 503.2);
}

// A whole run's first level, with the content set.
class WarpOut : public test::GameRunTest {};

TEST_F(WarpOut, LeavingTheTrainingLevelTakesTheMoneyAndTheBoughtWeapons) {
    test::LoadRunAt(1);
    ASSERT_EQ(CurrentLevel, 1);
    Money = 600000;
    OwnsIon = OwnsMion = OwnsEplas = OwnsDisperse = OwnsGamma = OwnsGravBeam = true;
    CurrentWeapon = 5;
    AsteroidsLeft = 0;
    FrameFactor = 1;
    CameraObj->SelectCameraById(0);
    CameraObj->SetCameraPosition(100, 50, -20);
    CamBasis.CamPos = {100, 50, -20};
    FrameStartTime = sys::WallClock();

    CheckLevelComplete();
    ASSERT_TRUE(LevelEnding);
    EXPECT_EQ(Money, 0);
    for (bool owned : {OwnsIon, OwnsMion, OwnsEplas, OwnsDisperse, OwnsGamma, OwnsGravBeam})
        EXPECT_FALSE(owned);
    EXPECT_EQ(CurrentWeapon, 2);
    ASSERT_TRUE(MeshObj->SelectMesh("goldship"));
    EXPECT_TRUE(MeshObj->GetVisible());
    EXPECT_LT(Distance(MeshObj->GetPosition(), CamBasis.CamPos), 0.01f);

    // The camera backs away from the ship and stops beyond 600 units.
    float farthest = 0;
    while (LevelEnding && h.Frame() < 60 * 10) {
        h.RunFrames(1);
        FrameStartTime = sys::WallClock();
        RunLevelTransition();
        if (!LevelEnding) break;
        CameraObj->SelectCameraById(0);
        farthest = std::max(farthest, Distance(CameraObj->GetCameraPosition(), ShipPos));
    }
    EXPECT_GE(farthest, 600);
    EXPECT_LT(farthest, 603);

    ASSERT_FALSE(LevelEnding);
    EXPECT_EQ(CurrentLevel, 2);
    EXPECT_EQ(AsteroidCount, 18);
    EXPECT_EQ(AsteroidsLeft, 18);
    EXPECT_EQ(Money, 0);
    EXPECT_EQ(CurrentWeapon, 2);
    ASSERT_TRUE(MeshObj->SelectMesh("goldship"));
    EXPECT_FALSE(MeshObj->GetVisible());
}

}  // namespace
}  // namespace quorvel
