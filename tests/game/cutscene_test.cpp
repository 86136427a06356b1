// The gold-ship and end cut-scenes: the camera's orbit, the ship's jump and the end of
// the level on the clock of the game (across midnight too), the move to the second
// station, and the end of the campaign.

#include <gtest/gtest.h>

#include <cmath>

#include "game/clip_log.h"
#include "game/game_run.h"
#include "platform/system/clock.h"

namespace quorvel {
namespace {

class Cutscene : public test::GameRunTest {
  protected:
    struct Timeline {
        double firstMove = -1;  // t of the first frame the ship moved
        double ended = -1;      // t of the frame that ended the cut-scene
        double jumpSound = -1;  // t at which "hyperspace_to.wav" was asked for
        bool onOrbit = true;    // the camera stayed on its ellipse, looking at the ship
    };

    // Frames of the game clock, the cut-scene's update each frame, until it ends.
    Timeline Run(void (*update)(), double start, float factor) {
        Timeline tl;
        const std::size_t jumps = clips.Count("hyperspace_to.wav");
        for (int frame = 0; frame < 60 * 40 && Level.CutsceneRunning; ++frame) {
            h.RunFrames(1);
            Campaign.FrameStartTime = sys::WallClock();
            Campaign.FrameFactor = factor;
            update();
            const double t = Campaign.FrameStartTime - start;
            // The warp-out puts the ship elsewhere at the end: only the scene's own moves count.
            if (tl.firstMove < 0 && Level.CutsceneRunning && MeshObj->SelectMesh("goldship") &&
                Length(MeshObj->GetPosition()) > 0.001f)
                tl.firstMove = t;
            if (tl.jumpSound < 0 && clips.Count("hyperspace_to.wav") > jumps)
                tl.jumpSound = clips.Opened("hyperspace_to.wav").back().time - start;
            if (!Level.CutsceneRunning) tl.ended = t;
            CameraObj->SelectCameraById(0);
            const Vector c = CameraObj->GetCameraPosition();
            const float a = LevelEnd.CutsceneAngle * 0.01745f;
            if (std::abs(c.x - 65 * std::cos(a)) > 0.01f || std::abs(c.y - 70) > 0.01f ||
                std::abs(c.z - 160 * std::sin(a)) > 0.01f || LevelEnd.CutsceneAngle < 0 ||
                LevelEnd.CutsceneAngle > 360)
                tl.onOrbit = false;
        }
        return tl;
    }
    static bool Visible(const char* mesh) { return MeshObj->SelectMesh(mesh) && MeshObj->GetVisible(); }

    // The level's fight is over and the cut-scene is due.
    static void FightOver() {
        Level.AsteroidsLeft = 0;
        Mothership.MothershipLevel = false;
        Battleship.BattleshipActive = false;
        LevelEnd.LevelEnding = false;
        Campaign.Money = 0;
        Level.ShotsFired = 10;
        Level.ShotsHit = 5;
    }

    void ExpectFirstFrameAfter(double t, double limit, const char* what) {
        EXPECT_GT(t, limit) << what;
        EXPECT_LE(t, limit + 1.0 / 60 + 1e-6) << what;
    }

    test::ClipLog clips;
};

TEST_F(Cutscene, TheGoldShipJumpsAndTheRunMovesToTheSecondStation) {
    test::LoadRunAt(25);
    ASSERT_EQ(Campaign.CurrentLevel, 25);
    EXPECT_TRUE(Visible("spacestation"));
    EXPECT_FALSE(Visible("spacestation2"));
    FightOver();

    Campaign.FrameStartTime = sys::WallClock();
    const double start = Campaign.FrameStartTime;
    StartGoldShipCutscene();
    EXPECT_TRUE(Level.CutsceneRunning);
    EXPECT_TRUE(Level.GoldShipStarted);
    EXPECT_EQ(clips.Count("sound/cutscene2.wma"), 1u);
    ASSERT_TRUE(MeshObj->SelectMesh("goldship"));
    EXPECT_TRUE(MeshObj->GetVisible());
    EXPECT_LT(Length(MeshObj->GetPosition()), 0.001f);

    const Timeline tl = Run(UpdateGoldShipCutscene, start, 1);
    ExpectFirstFrameAfter(tl.firstMove, 18, "the jump");
    ExpectFirstFrameAfter(tl.jumpSound, 18, "the jump sound");
    ExpectFirstFrameAfter(tl.ended, 23, "the end");
    EXPECT_TRUE(tl.onOrbit);
    EXPECT_EQ(clips.Count("hyperspace_to.wav"), 1u);
    const float angleAfterFirst = LevelEnd.CutsceneAngle;
    EXPECT_NEAR(angleAfterFirst, 0.25f * 60 * tl.ended, 0.5f);

    // The level ends once, with its bonus.
    EXPECT_TRUE(LevelEnd.LevelEnding);
    EXPECT_TRUE(Level.CutsceneDone);
    EXPECT_GT(LevelEnd.LevelBonus, 0);
    EXPECT_DOUBLE_EQ(Campaign.Money, LevelEnd.LevelBonus);
    UpdateGoldShipCutscene();
    CheckLevelComplete();
    EXPECT_DOUBLE_EQ(Campaign.Money, LevelEnd.LevelBonus);

    // The first station went with the ship; the second is the one defended from here.
    EXPECT_EQ(Level.StationId, Level.Station2Id);
    EXPECT_EQ(Level.StationMeshName, "spacestation2");
    EXPECT_FALSE(Visible("spacestation"));
    while (LevelEnd.LevelEnding && h.Frame() < 60 * 60) {
        h.RunFrames(1);
        Campaign.FrameStartTime = sys::WallClock();
        RunLevelTransition();
    }
    ASSERT_EQ(Campaign.CurrentLevel, 26);
    EXPECT_TRUE(Visible("spacestation2"));
    EXPECT_FALSE(Visible("spacestation"));
    ASSERT_TRUE(MeshObj->SelectMeshById(Level.StationId));
    EXPECT_TRUE(MeshObj->GetVisible());

    // Level 25 played again later in the program run (a loaded game), across midnight
    // and with frames that took no time: the scene stands still and still ends on
    // time, and the jump sound of the first cut-scene does not come again.
    Campaign.CurrentLevel = 24;
    StartLevel();
    FightOver();
    ASSERT_FALSE(Level.CutsceneDone);
    ASSERT_FALSE(Level.GoldShipStarted);
    sys::UseVirtualClock(86400 - 10);
    Campaign.FrameStartTime = sys::WallClock();
    const double again = Campaign.FrameStartTime;
    StartGoldShipCutscene();
    const Timeline still = Run(UpdateGoldShipCutscene, again, 0);
    ExpectFirstFrameAfter(still.ended, 23, "the end across midnight");
    EXPECT_LT(still.firstMove, 0) << "the ship does not move without frame time";
    EXPECT_FLOAT_EQ(LevelEnd.CutsceneAngle, angleAfterFirst);
    EXPECT_EQ(clips.Count("sound/cutscene2.wma"), 2u);
    EXPECT_EQ(clips.Count("hyperspace_to.wav"), 1u);
    EXPECT_TRUE(LevelEnd.LevelEnding);
    EXPECT_TRUE(Level.CutsceneDone);
}

TEST_F(Cutscene, TheEndCutsceneAcrossMidnightShowsTheFirstPageAndEndsTheLastLevel) {
    test::LoadRunAt(50);
    ASSERT_EQ(Campaign.CurrentLevel, 50);
    EXPECT_TRUE(Visible("spacestation2"));
    FightOver();
    CheckLevelComplete();
    EXPECT_FALSE(LevelEnd.LevelEnding) << "the last level waits for its cut-scene";

    sys::UseVirtualClock(86400 - 12);
    Campaign.FrameStartTime = sys::WallClock();
    const double start = Campaign.FrameStartTime;
    StartEndCutscene();
    EXPECT_TRUE(Level.CutsceneRunning);
    EXPECT_TRUE(LevelEnd.EndCutsceneStarted);
    EXPECT_EQ(clips.Count("sound/end.wma"), 1u);

    const Timeline tl = Run(UpdateEndCutscene, start, 1);
    ExpectFirstFrameAfter(tl.firstMove, 23, "the jump");
    ExpectFirstFrameAfter(tl.jumpSound, 23, "the jump sound");
    ExpectFirstFrameAfter(tl.ended, 27, "the end");
    EXPECT_TRUE(tl.onOrbit);  // the orbit's angle went past 360 and started again
    EXPECT_EQ(clips.Count("hyperspace_to.wav"), 1u);

    // The first congratulations page, and the level's end with its bonus, once.
    EXPECT_TRUE(LevelEnd.GameWonStarted);
    EXPECT_EQ(LevelEnd.GameWonPage, 1);
    const auto* page = h.Scene().images.Find("gamewon");
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->visible);
    EXPECT_TRUE(LevelEnd.LevelEnding);
    EXPECT_TRUE(Level.CutsceneDone);
    EXPECT_DOUBLE_EQ(Campaign.Money, LevelEnd.LevelBonus);
    EXPECT_GT(LevelEnd.LevelBonus, 0);
    UpdateEndCutscene();
    EXPECT_DOUBLE_EQ(Campaign.Money, LevelEnd.LevelBonus);

    while (LevelEnd.LevelEnding && h.Frame() < 60 * 60) {
        h.RunFrames(1);
        Campaign.FrameStartTime = sys::WallClock();
        RunLevelTransition();
    }
    EXPECT_FALSE(LevelEnd.LevelEnding);
    EXPECT_TRUE(Campaign.GameWon);
}

}  // namespace
}  // namespace quorvel
