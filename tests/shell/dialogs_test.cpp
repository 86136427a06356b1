#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/engine/input_feed.h"
#include "platform/forms/forms.h"
#include "platform/system/settings.h"
#include "platform/forms/shell_recorder.h"
#include "shell/browser.h"
#include "shell/difficulty.h"
#include "shell/gamepad_test.h"
#include "common/options.h"
#include "shell/tip.h"
#include "shell_fixture.h"

namespace quorvel {
namespace {

using test::ShellTest;

std::string TipOption() {
    return sys::GetSetting("quorvel", "Options", "Show Tips at Startup", "(missing)");
}

class Dialogs : public ShellTest {};

TEST_F(Dialogs, OptionsDoneWritesTheFiveSettingsFiles) {
    Options.Show();
    EXPECT_EQ(Options.Caption(), "Game Options");
    ASSERT_TRUE(host.Click(Options.Command1));
    EXPECT_FALSE(Options.Visible());
    const std::pair<const char*, const char*> files[] = {{"particles.vlx", "1\r\n"},
                                                         {"gamepad.vlx", "0\r\n"},
                                                         {"graphics.vlx", "2\r\n"},
                                                         {"mousesens.vlx", "13\r\n"},
                                                         {"difficulty.vlx", "2\r\n"}};
    for (const auto& [file, bytes] : files)
        EXPECT_EQ(dir.Read(file), bytes) << file;

    // The player changes things the way the controls allow.
    Options.Show();
    host.Click(Options.ParticleCheck);
    host.Click(Options.GamePadCheck);
    host.Slide(Options.Graphics, 1);
    host.Slide(Options.Slider1, 99);  // the thumb stops at the end
    Options.Difficulty.SetFocus();
    host.PressKey(forms::keys::Right);
    host.PressKey(forms::keys::Right);
    host.PressKey(forms::keys::Return);  // not the default button: "Done" wants a click
    EXPECT_TRUE(Options.Visible());
    host.Click(Options.Command1);
    const std::pair<const char*, const char*> changed[] = {{"particles.vlx", "0\r\n"},
                                                           {"gamepad.vlx", "1\r\n"},
                                                           {"graphics.vlx", "1\r\n"},
                                                           {"mousesens.vlx", "23\r\n"},
                                                           {"difficulty.vlx", "4\r\n"}};
    for (const auto& [file, bytes] : changed)
        EXPECT_EQ(dir.Read(file), bytes) << file;
}

TEST_F(Dialogs, TipOptionIsSharedByBothCheckBoxesThroughTheStore) {
    // Missing from the store: checked, and written back at once.
    Options.Load();
    EXPECT_EQ(Options.Check1.Value(), 1);
    EXPECT_EQ(TipOption(), "1");
    Options.Show();
    host.Click(Options.Check1);
    EXPECT_EQ(TipOption(), "0");
    // Switched off: the tip dialog unloads itself while loading and never shows.
    EXPECT_FALSE(frmTip.Show());
    EXPECT_FALSE(frmTip.Loaded());
    EXPECT_FALSE(frmTip.Visible());
}

TEST_F(Dialogs, DamagedTipOptionKeepsTheTipsOn) {
    sys::SaveSetting("quorvel", "Options", "Show Tips at Startup", "yes please");
    EXPECT_TRUE(frmTip.Show());
    EXPECT_EQ(frmTip.chkLoadTipsAtStartup.Value(), 1);
    EXPECT_EQ(TipOption(), "1");
}

TEST_F(Dialogs, DifficultyDialogStartsAtTheSliderAndGoWritesTheChoice) {
    bool secondSelected = false;
    host.When([] { return InitialLevel.Visible(); },
              [&] {
                  secondSelected = InitialLevel.Option1(1).Value();
                  host.Click(InitialLevel.Option1(4));
                  EXPECT_EQ(Options.Difficulty.Value(), 5);         // at once, before "GO!!!"
                  EXPECT_TRUE(host.PressKey(forms::keys::Escape));  // no way out but "GO!!!"
                  EXPECT_TRUE(InitialLevel.Visible());
                  InitialLevel.Command1.SetFocus();
                  host.PressKey(forms::keys::Return);
              });
    ASSERT_TRUE(InitialLevel.Show(forms::ShowMode::Modal));
    EXPECT_TRUE(secondSelected);
    EXPECT_EQ(InitialLevel.ChosenDifficulty(), 5);
    EXPECT_EQ(dir.Read("difficulty.vlx"), "5\r\n");

    // Shown again it keeps the last selection.
    host.When([] { return InitialLevel.Visible(); }, [&] { host.Click(InitialLevel.Command1); });
    InitialLevel.Show(forms::ShowMode::Modal);
    EXPECT_TRUE(InitialLevel.Option1(4).Value());
    EXPECT_EQ(InitialLevel.Option1(0).ToolTipText(), "Easy--relax through the game.");
}

TEST_F(Dialogs, TipOfTheDayShowsRandomTipsFromItsFile) {
    dir.Write("tipofday.txt", "First tip\r\nSecond tip\nThird tip\r\n");  // found whatever its case
    ASSERT_TRUE(frmTip.Show());
    EXPECT_EQ(frmTip.Caption(), "Veltor - Tip of the Day");
    EXPECT_EQ(frmTip.chkLoadTipsAtStartup.Value(), 1);
    EXPECT_EQ(frmTip.Tips(), (std::vector<std::string>{"First tip", "Second tip", "Third tip"}));
    std::set<std::string> seen;
    for (int i = 0; i < 60; ++i) {
        host.Click(frmTip.cmdNextTip);
        const std::string shown = frmTip.lblTipText.Caption();
        ASSERT_TRUE(shown == "First tip" || shown == "Second tip" || shown == "Third tip") << shown;
        seen.insert(shown);
    }
    EXPECT_EQ(seen.size(), 3u);

    // Enter and Escape both close it; unchecking switches it off for later starts.
    host.Click(frmTip.chkLoadTipsAtStartup);
    EXPECT_EQ(TipOption(), "0");
    host.PressKey(forms::keys::Escape);
    EXPECT_FALSE(frmTip.Loaded());
}

TEST_F(Dialogs, TipOfTheDayWithoutItsFile) {
    ASSERT_TRUE(frmTip.Show());
    const std::string notFound =
        "That the TIPOFDAY.TXT file was not found? \r\n\r\nCreate a text file named TIPOFDAY.TXT using "
        "NotePad "
        "with 1 tip per line. Then place it in the same directory as the application. ";
    EXPECT_EQ(frmTip.lblTipText.Caption(), notFound);
    host.Click(frmTip.cmdNextTip);
    EXPECT_EQ(frmTip.lblTipText.Caption(), notFound);
    frmTip.chkLoadTipsAtStartup.SetFocus();  // Enter on a button would press that button
    host.PressKey(forms::keys::Return);
    EXPECT_FALSE(frmTip.Visible());
}

TEST_F(Dialogs, EmptyTipsFileShowsNoTip) {
    dir.Write("TIPOFDAY.TXT", "");
    ASSERT_TRUE(frmTip.Show());
    host.Click(frmTip.cmdNextTip);
    EXPECT_EQ(frmTip.lblTipText.Caption(), "");
}

TEST_F(Dialogs, AnyKeyClosesTheSplash) {
    frmSplash.Show();
    EXPECT_EQ(frmSplash.lblCompanyProduct.Caption(), "Narvo Games presents");
    host.PressKey('X');
    EXPECT_FALSE(frmSplash.Loaded());
}

TEST_F(Dialogs, KeyCaptureShowsTheKeyCaughtLast) {
    host.When([] { return frmKeyMapping.Visible(); },
              [&] {
                  EXPECT_TRUE(frmKeyMapping.Text1.HasFocus());
                  EXPECT_TRUE(frmKeyMapping.Label6.Visible());  // the prompt shows with the focus
              });
    // The timer overwrites the design text within its first tick.
    host.When([] { return sys::MonotonicSeconds() >= 0.06; },
              [&] {
                  EXPECT_EQ(frmKeyMapping.Text1.Text(), "");
                  host.PressKey('K');
                  EXPECT_FALSE(frmKeyMapping.Label6.Visible());
              });
    std::string afterTick;
    host.When([] { return sys::MonotonicSeconds() >= 0.12; },
              [&] {
                  afterTick = frmKeyMapping.Text1.Text();
                  host.PressKey(forms::keys::Escape);  // no cancel button: Escape is a key like any other
              });
    host.Then([&] { host.Click(frmKeyMapping.Command1); });
    Options.Command2_Click();  // the options dialog's hidden button

    EXPECT_EQ(afterTick, "k");
    EXPECT_EQ(frmKeyMapping.CapturedKey(), "k");
    EXPECT_FALSE(frmKeyMapping.Visible());
    EXPECT_EQ(frmKeyMapping.Caption(), "Veltor - Key Mapping");
}

TEST_F(Dialogs, GamePadTestWindowShowsThePadsRawValues) {
    engine::ConnectGamePad(1, "Test pad", 2, 4);
    GamePadState state;
    state.X = 1234;
    state.Buttons[0] = 128;
    engine::FeedGamePad(1, state);

    GamePadMap.Show();
    ASSERT_EQ(boxes.size(), 1u);  // what the engine says about the pad
    EXPECT_EQ(GamePadMap.Caption(), "Form1");
    sys::AdvanceVirtualClock(0.05);
    sys::PumpMessages();
    EXPECT_EQ(GamePadMap.Text1.Text(), "1");
    EXPECT_EQ(GamePadMap.PadState.Buttons[0], 128);
    sys::AdvanceVirtualClock(0.05);
    sys::PumpMessages();
    EXPECT_EQ(GamePadMap.Text1.Text(), "2");
    host.Click(GamePadMap.Command2);
    EXPECT_EQ(GamePadMap.Text1.Text(), "1234");
    host.Click(GamePadMap.Command1);
    EXPECT_FALSE(GamePadMap.Visible());
}

TEST_F(Dialogs, BrowserWindowFollowsItsAddressesInTheUsersBrowser) {
    test::ShellRecorder shell;
    frmBrowser.StartingAddress = "http://start.invalid/";
    ASSERT_TRUE(frmBrowser.Load());
    EXPECT_TRUE(frmBrowser.Visible());
    EXPECT_EQ(frmBrowser.cboAddress.Text(), "http://start.invalid/");
    sys::AdvanceVirtualClock(0.005);
    sys::PumpMessages();  // the navigation completes, then the timer reads the name
    sys::AdvanceVirtualClock(0.005);
    sys::PumpMessages();
    EXPECT_EQ(frmBrowser.Caption(), "http://start.invalid/");
    EXPECT_FALSE(frmBrowser.timTimer.Enabled());

    host.PressToolbarButton(frmBrowser.tbToolBar, "Home");
    sys::PumpMessages();
    EXPECT_EQ(frmBrowser.Caption(), ProductPage());

    frmBrowser.cboAddress.SetFocus();
    frmBrowser.cboAddress.SetText("");
    host.Type("http://typed.invalid/");
    host.PressKey(forms::keys::Return);
    sys::PumpMessages();
    host.PressToolbarButton(frmBrowser.tbToolBar, "Back");
    sys::PumpMessages();
    EXPECT_EQ(frmBrowser.Caption(), ProductPage());
    // Each address once in the list, however often it was reached.
    EXPECT_EQ(frmBrowser.cboAddress.Items(),
              (std::vector<std::string>{"http://start.invalid/", ProductPage(), "http://typed.invalid/"}));
    auto opened = shell.Opened(4);
    std::sort(opened.begin(), opened.end());
    auto expected = std::vector<std::string>{"http://start.invalid/", ProductPage(), "http://typed.invalid/",
                                             ProductPage()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened, expected);

    // Shrunk below its bars the browser area is empty, not negative.
    frmBrowser.SetHeight(600);
    EXPECT_EQ(frmBrowser.brwWebBrowser.Height(), 0);
}

}  // namespace
}  // namespace quorvel
