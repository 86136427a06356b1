// The options dialog over a running level: what the game takes from it when it
// closes, from the options key and from the pause and game-over menus.

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/engine_objects.h"
#include "game/game.h"
#include "game/menu_screens.h"
#include "platform/engine/input_feed.h"
#include "platform/forms/forms.h"
#include "platform/forms/null_host.h"
#include "platform/system/clock.h"
#include "shell/shell.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

class LevelOptions : public test::MenuScreenTest {
  protected:
    void SetUp() override {
        test::MenuScreenTest::SetUp();
        if (IsSkipped()) return;
        MakeMenuRun();
        // The dialog's "Done" writes the settings files: into a folder of the test's own.
        test::UseAsProgramFolder(dir);
        setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
        Options.Load();
    }
    struct Choice {
        int graphics, sensitivity, difficulty;
        bool pad;
    };
    // The detail level as the launch pad left it; the player sets the other controls
    // and presses "Done" once the dialog is up, `seconds` later.
    void ScriptDialog(const Choice& c, double seconds = 0) {
        Options.Graphics.SetValue(c.graphics);
        host.When([] { return Options.Visible(); },
                  [this, c, seconds] {
                      sys::AdvanceVirtualClock(seconds);
                      sliderShown = Options.Graphics.Visible();
                      cursorShown = forms::CursorVisible();
                      host.Slide(Options.Slider1, c.sensitivity);
                      host.Slide(Options.Difficulty, c.difficulty);
                      if ((Options.GamePadCheck.Value() != 0) != c.pad) host.Click(Options.GamePadCheck);
                      host.Click(Options.Command1);
                  });
    }
    test::TempFolder dir, config;
    forms::NullHost host;
    bool sliderShown = true, cursorShown = false;
};

TEST_F(LevelOptions, ClosingTheDialogSetsTheRunningGame) {
    struct Case {
        Choice choice;
        bool miniViewBefore;
        bool miniView;
        float sensitivity;
        float difficultyFactor;
    };
    const Case cases[] = {
        {{2, 13, 2, false}, false, true, 1.56f, 0.875f},  // a rear view switched off by key comes back
        {{1, 3, 1, true}, true, false, 0.36f, 0.75f},     // low detail has none
        {{2, 23, 5, true}, true, true, 2.76f, 1.25f},    {{2, 8, 4, false}, true, true, 0.96f, 1.125f},
        {{2, 10, 3, false}, true, true, 1.2f, 1.0f},
    };
    forms::ShowCursor(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.choice.graphics) + " " + std::to_string(c.choice.sensitivity) + " " +
                     std::to_string(c.choice.difficulty));
        Flight.MiniViewShown = c.miniViewBefore;
        Flight.MouseSensitivity = 0.6f;  // as changed in flight by its keys
        Flight.GamePadOn = !c.choice.pad;
        ScriptDialog(c.choice);
        ShowLevelOptions();
        EXPECT_TRUE(host.ScriptDone());
        EXPECT_FALSE(Options.Visible());
        EXPECT_FALSE(sliderShown) << "the detail level cannot change in a running game";
        EXPECT_TRUE(cursorShown);
        EXPECT_FALSE(forms::CursorVisible());
        EXPECT_EQ(Flight.MiniViewShown, c.miniView);
        EXPECT_EQ(Campaign.DifficultyLevel, c.choice.difficulty);
        EXPECT_FLOAT_EQ(Campaign.DifficultyFactor, c.difficultyFactor);
        EXPECT_FLOAT_EQ(Flight.MouseSensitivity, c.sensitivity);
        EXPECT_EQ(Flight.GamePadOn, c.choice.pad);
        EXPECT_EQ(dir.Read("difficulty.vlx"), std::to_string(c.choice.difficulty) + "\r\n");
        EXPECT_EQ(dir.Read("mousesens.vlx"), std::to_string(c.choice.sensitivity) + "\r\n");
    }
}

TEST_F(LevelOptions, AnOpenDialogIsReadAtOnce) {
    Options.Show();
    host.Slide(Options.Slider1, 20);
    host.Slide(Options.Difficulty, 5);
    Flight.MiniViewShown = false;
    ShowLevelOptions();  // nothing to wait for: the host would report a stalled modal form
    EXPECT_TRUE(Options.Visible());
    EXPECT_FLOAT_EQ(Flight.MouseSensitivity, 2.4f);
    EXPECT_EQ(Campaign.DifficultyLevel, 5);
    EXPECT_TRUE(Flight.MiniViewShown);
}

TEST_F(LevelOptions, ThePauseAndGameOverMenusOpenItAndHoldTheLevelTimeMeanwhile) {
    struct Case {
        bool gameOver;
        int row;
    };
    for (const Case c : {Case{false, 4}, Case{true, 3}}) {
        SCOPED_TRACE(c.gameOver ? "game over" : "pause");
        Level.ShipDestroyed = c.gameOver;
        Screens.MenuRequested = true;
        InGameMenu.MenuClickTimer = 3.5f;
        sys::AdvanceVirtualClock(2);  // play between two openings of the menu
        test::MenuFrame([] {});
        Level.LevelStartTime = Campaign.FrameStartTime - 40;
        ScriptDialog({2, 5, 3, false}, 30);  // the player takes half a minute
        test::PointAtRow(c.gameOver ? 1 : 0, c.row);
        engine::FeedMouseButton(0, true);
        test::MenuFrame(RunPauseMenu);
        engine::FeedMouseButton(0, false);
        test::MenuFrame(RunPauseMenu);
        EXPECT_TRUE(host.ScriptDone());
        EXPECT_TRUE(Screens.MenuRequested) << "the menu is still open behind the dialog";
        EXPECT_NEAR(Campaign.FrameStartTime - Level.LevelStartTime, 40 + 1.0 / 60, 1e-6);
        EXPECT_FLOAT_EQ(Flight.MouseSensitivity, 0.6f);
        EXPECT_EQ(Campaign.DifficultyLevel, 3);
        Flight.MouseSensitivity = 0;
    }
}

}  // namespace
}  // namespace quorvel
