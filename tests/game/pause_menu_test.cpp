// The pause and game-over menu as the frame loop runs it, one call a frame: hover,
// the click timer, help, resume, restart after a lost ship, the exit from either menu, and the
// level's clocks standing still while the menu is open.

#include <gtest/gtest.h>

#include <cmath>

#include "combat/combat.h"
#include "common/engine_objects.h"
#include "game/clip_log.h"
#include "game/game.h"
#include "game/menu_screens.h"
#include "platform/engine/input_feed.h"
#include "platform/forms/forms.h"
#include "platform/system/clock.h"
#include "platform/system/process.h"

namespace quorvel {
namespace {

using test::MenuFrame;
using test::PointAtPicture;
using test::PointAtRow;

class PauseMenu : public test::MenuScreenTest {
  protected:
    void Open(bool gameOver) {
        Level.ShipDestroyed = gameOver;
        Screens.MenuRequested = true;
    }
    void Frames(int n) {
        for (int i = 0; i < n && Screens.MenuRequested; ++i)
            MenuFrame(RunPauseMenu);
    }
    void Button(bool down) { engine::FeedMouseButton(0, down); }
    // A click once the timer has passed 3 again: released for three frames (1.5 each),
    // then pressed for one frame.
    void ClickRow(int list, int row) {
        PointAtRow(list, row);
        Button(false);
        Frames(3);
        Button(true);
        Frames(1);
        Button(false);
    }
    int Clicks() const { return SoundsPlayed("menuselect.wav"); }
    bool MeshVisible(const std::string& key) const {
        const auto* m = h.Scene().meshes.Find(key);
        return m && m->visible;
    }
};

TEST_F(PauseMenu, HoverClickTimerHelpAndResume) {
    LoadLevelAt(3);
    Open(false);
    PointAtPicture(20, 20);
    Frames(1);
    EXPECT_TRUE(h.ImageVisible("menu"));
    EXPECT_EQ(h.ImageTexture("menu"), "menu1");
    EXPECT_TRUE(h.ImageVisible("mouse"));
    EXPECT_EQ(h.ImageTexture("mouse"), "ms1");
    EXPECT_EQ(InGameMenu.MenuChoice, 0);

    // "click" once per item entered through the gaps between them; a jump straight
    // from one item onto the next stays silent, only a point off every item re-arms it.
    const int before = Clicks();
    PointAtRow(0, 0);
    Frames(2);
    EXPECT_EQ(InGameMenu.MenuChoice, 1);
    EXPECT_EQ(h.ImageTexture("mouse"), "ms2");
    PointAtPicture(250, 265);  // between items 1 and 2
    Frames(1);
    EXPECT_EQ(InGameMenu.MenuChoice, 0);
    EXPECT_EQ(h.ImageTexture("mouse"), "ms1");
    PointAtRow(0, 1);
    Frames(1);
    EXPECT_EQ(InGameMenu.MenuChoice, 2);
    PointAtRow(0, 2);
    Frames(1);
    EXPECT_EQ(InGameMenu.MenuChoice, 3);
    EXPECT_EQ(Clicks() - before, 2);
    PointAtPicture(250, 315);  // between items 2 and 3
    Frames(1);
    PointAtRow(0, 1);
    Frames(1);
    EXPECT_EQ(Clicks() - before, 3);

    // A button held from the start never clicks: the timer grows only while it is up,
    // and two frames up (3.0) are not enough.
    InGameMenu.MenuClickTimer = 0;
    PointAtRow(0, 3);
    Button(true);
    Frames(5);
    Button(false);
    Frames(2);
    Button(true);
    Frames(1);
    EXPECT_FALSE(InGameMenu.HelpShown);
    EXPECT_FLOAT_EQ(InGameMenu.MenuClickTimer, 3.0f);
    Button(false);
    Frames(1);
    Button(true);
    Frames(6);  // held: one click
    EXPECT_TRUE(InGameMenu.HelpShown);
    EXPECT_EQ(h.ImageTexture("menu"), "help");
    EXPECT_EQ(InGameMenu.MenuChoice, 0) << "nothing is highlighted under the help picture";
    EXPECT_EQ(h.ImageTexture("mouse"), "ms2") << "the pointer keeps its texture";

    // The next click only puts the picture away, even on "resume".
    ClickRow(0, 0);
    EXPECT_FALSE(InGameMenu.HelpShown);
    EXPECT_TRUE(Screens.MenuRequested);
    EXPECT_EQ(h.ImageTexture("menu"), "menu1");
    ClickRow(0, 0);
    EXPECT_FALSE(Screens.MenuRequested);
    EXPECT_FALSE(h.ImageVisible("mouse"));
}

TEST_F(PauseMenu, GameOverMusicHelpAndRestart) {
    LoadLevelAt(3);
    test::ClipLog clips;
    // A lost ship on a level whose goals are all met, so the restart's completion test
    // pays the bonus.
    Level.AsteroidsLeft = 0;
    Mothership.MothershipLevel = GiantAsteroid.GiantAsteroidPending = Battleship.BattleshipActive = false;
    Level.CutsceneDone = true;
    AlienFleet.Wave2Pending = false;
    for (AlienShip& a : AlienFleet.Aliens)
        a.Active = false;
    Ship.HullDamage = 6;
    Ship.ShieldDamage = 100;
    Hazards.DeathSeqFlag = true;
    Campaign.Money = 5000;
    for (const char* key : {"redexp1", "redexp4", "shipchk1", "shipchk20"})
        if (MeshObj->SelectMesh(key)) MeshObj->SetVisible(true);

    Open(true);
    PointAtPicture(20, 20);
    Frames(3);
    EXPECT_EQ(clips.Count("gameover.wma"), 1u) << "once per game over";
    EXPECT_TRUE(InGameMenu.GameOverMusicOn);
    EXPECT_EQ(h.ImageTexture("menu"), "gomenu1");

    ClickRow(1, 2);  // help
    EXPECT_TRUE(InGameMenu.HelpShown);
    EXPECT_EQ(h.ImageTexture("menu"), "help");
    EXPECT_EQ(h.ImageTexture("mouse"), "ms1");
    ClickRow(1, 0);  // only puts the help away
    EXPECT_FALSE(InGameMenu.HelpShown);
    EXPECT_TRUE(Level.ShipDestroyed);

    const std::size_t loadsBefore = h.Audio().Events().size();
    ClickRow(1, 0);  // restart
    EXPECT_FALSE(Screens.MenuRequested);
    EXPECT_FALSE(Level.ShipDestroyed);
    EXPECT_FALSE(Level.ExplosionActive);
    EXPECT_FALSE(Hazards.DeathSeqFlag);
    EXPECT_FALSE(InGameMenu.GameOverMusicOn);
    EXPECT_TRUE(LevelEnd.LevelEnding) << "the completion test ran";
    EXPECT_EQ(Campaign.Money, 0) << "and the bonus it paid is lost";
    EXPECT_FLOAT_EQ(Ship.HullDamage, 1.0f);
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 0.0f);
    EXPECT_EQ(Campaign.CurrentLevel, 3);
    for (const char* key : {"redexp1", "redexp4", "shipchk1", "shipchk20"})
        EXPECT_FALSE(MeshVisible(key)) << key;
    int soundLoads = 0;
    const auto& events = h.Audio().Events();
    for (std::size_t i = loadsBefore; i < events.size(); ++i)
        soundLoads += events[i].kind == engine::NullAudioSink::Event::Kind::Load;
    EXPECT_GT(soundLoads, 10) << "the sounds are loaded again";

    // The next game over plays its music again.
    Open(true);
    Frames(1);
    EXPECT_EQ(clips.Count("gameover.wma"), 2u);
}

// Both menus' exit items wait two seconds for the click, let go of the engine and end
// the program; neither goes back to the main menu.
TEST_F(PauseMenu, ExitEndsTheProgramFromEitherMenu) {
    struct Case {
        bool gameOver;
        int row;
    };
    for (const Case c : {Case{false, 5}, Case{true, 4}}) {
        SCOPED_TRACE(c.gameOver ? "game over" : "pause");
        MakeMenuRun();
        Open(c.gameOver);
        PointAtRow(c.gameOver ? 1 : 0, c.row);
        InGameMenu.MenuClickTimer = 0;
        Frames(3);
        engine::FeedMouseButton(0, true);
        forms::ShowCursor(false);
        const double start = sys::WallClock();
        const auto code = h.RunUntilEnded([&] { Frames(1); });
        engine::FeedMouseButton(0, false);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0);
        EXPECT_GE(sys::WallClock() - start, 1.0);
        EXPECT_FALSE(CoreObj || InputObj || FrameObj || MeshObj || CameraObj || MaterialObj || TextureObj ||
                     MathObj || Draw2DObj || TimerObj || LightObj || ImporterObj || ParticleObj || SkyObj);
        EXPECT_TRUE(SoundObj);
        EXPECT_TRUE(forms::CursorVisible());
    }
}

TEST_F(PauseMenu, OpenMenuHoldsTheLevelsClocksStill) {
    MakeMenuRun();
    MenuFrame([] {});
    const double t0 = Campaign.FrameStartTime;
    // The marks of the level time, power-ups, bosses, cut-scenes, fly-by, tutorial
    // (its clips and its lesson waits) and break-up, each some seconds old.
    struct Mark {
        const char* name;
        double* mark;
        double age;
    };
    const Mark marks[] = {{"level", &Level.LevelStartTime, 100.3},
                          {"power-up 1", &PowerUps.PowerUpStart[1], 12},
                          {"power-up 4", &PowerUps.PowerUpStart[4], 50},
                          {"mothership", &Mothership.MothershipStartTime, 9},
                          {"battleship", &Battleship.BattleshipTimer, 2},
                          {"scout shot", &Scout.ScoutShotTime, 0.5},
                          {"gold cut-scene", &LevelEnd.CutsceneStartTime, 17},
                          {"end cut-scene", &LevelEnd.EndCutsceneStartTime, 22},
                          {"fly-by explosion", &Hazards.FlybyExplosionTime, 8},
                          {"tutorial", &Tutorial.TutorialClock, 41},
                          {"tutorial step wait", &Tutorial.StepWaitStart, 3},
                          {"break-up", &Effects.BreakupStartTime, 1}};
    for (const Mark& m : marks)
        *m.mark = t0 - m.age;
    LevelEnd.LevelEnding = true;
    LevelEnd.WarpOutStart = Nearest(t0) - 5;
    const double warpAge = t0 - LevelEnd.WarpOutStart;

    // Ten seconds of menu: the first frame of an opening adds nothing (the time before
    // it was play), every later one holds the marks still.
    Open(false);
    PointAtPicture(20, 20);
    Frames(600);
    const double open = Campaign.FrameStartTime - t0;
    ASSERT_GT(open, 9.9);
    for (const Mark& m : marks)
        EXPECT_NEAR(Campaign.FrameStartTime - *m.mark, m.age + 1.0 / 60, 1e-6) << m.name;
    EXPECT_LT(std::abs((Campaign.FrameStartTime - LevelEnd.WarpOutStart) - (warpAge + 1.0 / 60)), 1.0)
        << "the warp-out's whole-second start moves by whole seconds";

    // A single frame of a second or more is not held.
    sys::AdvanceVirtualClock(3);
    Frames(1);
    EXPECT_NEAR(Campaign.FrameStartTime - Level.LevelStartTime, 100.3 + 1.0 / 60 + 3 + 1.0 / 60, 1e-6);
}

}  // namespace
}  // namespace quorvel
