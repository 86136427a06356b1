#include <gtest/gtest.h>

#include "common/texts.h"
#include "platform/engine/input_feed.h"
#include "platform/engine/scancodes.h"
#include "platform/forms/forms.h"
#include "platform/forms/shell_recorder.h"
#include "platform/system/process.h"
#include "platform/system/settings.h"
#include "shell/difficulty.h"
#include "shell/launch_pad.h"
#include "common/options.h"
#include "shell/tip.h"
#include "shell_fixture.h"
#include "support/http_server.h"

namespace quorvel {
namespace {

using test::ShellTest;

class LaunchPad : public ShellTest {
  protected:
    // Starts the program as main() does: showing the start-up object loads it.
    void Start() { ASSERT_TRUE(VeltorInitial.Show()); }
    std::vector<std::string> Modes() const { return VeltorInitial.comModes.Items(); }
};

TEST_F(LaunchPad, StartUpListsAdaptersAndModesAndShowsItsDialogs) {
    display->adapters = {test::FiveModes("First card"), {"Second card", {{800, 600, 32}, {1280, 720, 24}}}};
    test::HttpServer server(200, "3.03");
    MakerSite = server.Url("");
    Start();

    // The splash stands while the version is checked, then the tip and the launch pad show.
    EXPECT_EQ(host.windows,
              (std::vector<std::string>{"+frmSplash", "-frmSplash", "+frmTip", "+VeltorInitial"}));
    EXPECT_TRUE(frmSplash.Loaded());
    EXPECT_EQ(server.LastPath(), "/veltor303/curversion.txt");
    EXPECT_EQ(VeltorInitial.Caption(), "Veltor - Launch Pad");
    EXPECT_EQ(VeltorInitial.comAdapters.Items(), (std::vector<std::string>{"First card", "Second card"}));
    EXPECT_EQ(VeltorInitial.comAdapters.ListIndex(), 0);
    EXPECT_EQ(Modes(), (std::vector<std::string>{"640x480x16", "1024x768x16", "1024x768x32", "1280x1024x32",
                                                 "1600x1200x32"}));
    EXPECT_TRUE(frmTip.Visible());
    EXPECT_TRUE(GameWindow.Loaded());
    EXPECT_FALSE(GameWindow.Visible());
    EXPECT_TRUE(GameWindow.Topmost());
    EXPECT_TRUE(VeltorInitial.cmdControl(0).HasFocus());
    EXPECT_TRUE(boxes.empty());

    // The player closes the tip and picks the second adapter.
    ASSERT_TRUE(host.Click(frmTip.cmdOK));
    EXPECT_TRUE(VeltorInitial.Active());
    ASSERT_TRUE(host.Choose(VeltorInitial.comAdapters, 1));
    EXPECT_EQ(Modes(), (std::vector<std::string>{"800x600x32", "1280x720x24"}));
    EXPECT_EQ(VeltorInitial.comModes.ListIndex(), 1);
}

// The tip is modeless over a launch pad still in use: it must leave the pad's lists
// and buttons uncovered, and both stay on the screen.
TEST_F(LaunchPad, TheTipStandsBesideTheLaunchPad) {
    host.SetScreen(1024, 768);
    Start();
    ASSERT_TRUE(frmTip.Visible());
    const forms::Form& pad = VeltorInitial;
    EXPECT_GE(frmTip.Left(), pad.Left() + pad.Width()) << "the tip covers the launch pad";
    EXPECT_GE(pad.Left(), 0);
    EXPECT_LE(frmTip.Left() + frmTip.Width(), 1024 * 15);
    EXPECT_EQ(frmTip.Top(), pad.Top());
    EXPECT_GE(pad.Top(), 0);
    EXPECT_LE(pad.Top() + pad.Height(), 768 * 15);
    // Centred together.
    EXPECT_NEAR(pad.Left(), 1024 * 15 - (frmTip.Left() + frmTip.Width()), 15);
}

TEST_F(LaunchPad, EveryActivationReadsTheGameTextsAgain) {
    dir.Write("txt/level.txt", "Level ");
    Start();
    EXPECT_EQ(GameTexts[0], "Level ");
    dir.Write("txt/level.txt", "Stage ");
    host.Click(frmTip.cmdOK);  // the launch pad becomes active again
    EXPECT_EQ(GameTexts[0], "Stage ");
    dir.Write("txt/level.txt", "Round ");
    host.Click(VeltorInitial.Optionsbtn);
    host.Click(Options.Command1);
    EXPECT_EQ(GameTexts[0], "Round ");
}

TEST_F(LaunchPad, StartModeComesFromItsFileByTheRestoreRules) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: no file
        int expected;
    };
    const Case cases[] = {
        {"missing: the adapter's last mode", nullptr, 4},
        {"empty: the last 1024-wide mode", "", 2},
        {"saved index", "3\r\n", 3},
        {"last line counts", "1\r\n0\r\n", 0},
        {"beyond the list", "7\r\n", 4},
        {"minus one", "-1\r\n", 4},
        {"not a number", "abc\r\n", 4},
    };
    Start();
    for (const Case& c : cases) {
        if (c.file)
            dir.Write("startmode.vlx", c.file);
        else
            std::filesystem::remove(dir.path() / "startmode.vlx");
        VeltorInitial.GetDisplayModes();
        EXPECT_EQ(VeltorInitial.comModes.ListIndex(), c.expected) << c.name;
    }

    // No 1024-wide mode and an empty file: the first mode.
    display->adapters = {{"Small card", {{640, 480, 16}, {800, 600, 32}}}};
    VeltorInitial.Enumeration->Enumerate();
    dir.Write("startmode.vlx", "");
    VeltorInitial.GetDisplayModes();
    EXPECT_EQ(VeltorInitial.comModes.ListIndex(), 0);
}

TEST_F(LaunchPad, ListingModesRestoresTheSavedOptions) {
    Start();
    // A fresh installation: the design values.
    EXPECT_EQ(Options.ParticleCheck.Value(), 1);
    EXPECT_EQ(Options.GamePadCheck.Value(), 0);
    EXPECT_EQ(Options.Graphics.Value(), 2);
    EXPECT_EQ(Options.Slider1.Value(), 13);
    EXPECT_EQ(Options.Difficulty.Value(), 2);

    dir.Write("particles.vlx", "0\r\n");
    dir.Write("gamepad.vlx", "1\r\n");
    dir.Write("graphics.vlx", "1\r\n");
    dir.Write("mousesens.vlx", "10\r\n20\r\n");
    dir.Write("difficulty.vlx", "4\r\n");
    VeltorInitial.GetDisplayModes();
    EXPECT_EQ(Options.ParticleCheck.Value(), 0);
    EXPECT_EQ(Options.GamePadCheck.Value(), 1);
    EXPECT_EQ(Options.Graphics.Value(), 1);
    EXPECT_EQ(Options.Slider1.Value(), 20);
    EXPECT_EQ(Options.Difficulty.Value(), 4);

    // Values a control cannot hold, junk and empty files leave the controls alone.
    dir.Write("particles.vlx", "7\r\n");
    dir.Write("gamepad.vlx", "file missing or corrupt - x\r\n");
    dir.Write("graphics.vlx", "5\r\n");
    dir.Write("mousesens.vlx", "");
    dir.Write("difficulty.vlx", "0\r\n");
    VeltorInitial.GetDisplayModes();
    EXPECT_EQ(Options.ParticleCheck.Value(), 0);
    EXPECT_EQ(Options.GamePadCheck.Value(), 1);
    EXPECT_EQ(Options.Graphics.Value(), 1);
    EXPECT_EQ(Options.Slider1.Value(), 20);
    EXPECT_EQ(Options.Difficulty.Value(), 4);

    // Picking an adapter reads the files again over changes not saved with "Done".
    dir.Write("difficulty.vlx", "3\r\n");
    Options.Difficulty.SetValue(5);
    host.Choose(VeltorInitial.comAdapters, 0);
    EXPECT_EQ(Options.Difficulty.Value(), 3);
}

TEST_F(LaunchPad, VersionCheckShowsTheUpdateOnlyForANewerRelease) {
    struct Case {
        int status;
        const char* body;
        bool notice;
        const char* version;
    };
    const Case cases[] = {
        {200, "3.03", false, ""},
        {200, "3.10", true, "3.10"},
        {200, "3.03\r\n", false, ""},
        {200, "3.10\r\n", true, "3.10"},
        {200, "3.02", false, ""},
        {404, "3.10", false, ""},
        {200, "<html>busy</html>", false, ""},
        {200, "", false, ""},
    };
    Start();
    for (const Case& c : cases) {
        test::HttpServer server(c.status, c.body);
        MakerSite = server.Url("");
        VeltorInitial.CheckVersion();
        const std::string label = c.notice ? std::string("Current Version 3.03  -  Version ") + c.version +
                                                 " now available, click Update to download"
                                           : "Version 3.03";
        EXPECT_EQ(VeltorInitial.Label5.Caption(), label) << c.status << " " << c.body;
        EXPECT_EQ(VeltorInitial.Command2.Visible(), c.notice) << c.status << " " << c.body;
    }
    // No server at all: the version, no button, no message.
    MakerSite = "http://127.0.0.1:9";
    VeltorInitial.CheckVersion();
    EXPECT_EQ(VeltorInitial.Label5.Caption(), "Version 3.03");
    EXPECT_FALSE(VeltorInitial.Command2.Visible());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LaunchPad, UpdateButtonOpensTheDownloadInTheUsersBrowser) {
    test::ShellRecorder shell;
    test::HttpServer server(200, "3.04");
    MakerSite = server.Url("");
    Start();
    ASSERT_TRUE(host.Click(VeltorInitial.Command2));
    // Each opener runs as a process of its own: wait for the first before starting the second.
    EXPECT_EQ(shell.Opened(1), (std::vector<std::string>{MakerSite + "/veltor/VeltorSetup.exe"}));
    VeltorInitial.OpenForum();
    EXPECT_EQ(shell.Opened(2), (std::vector<std::string>{MakerSite + "/veltor/VeltorSetup.exe",
                                                         MakerSite + "/forum4/index.php"}));
    EXPECT_TRUE(VeltorInitial.Visible());
}

TEST_F(LaunchPad, StartRunsTheEngineInTheChosenModeAndSavesIt) {
    host.SetScreen(1024, 768, 15);
    Start();
    host.Click(frmTip.cmdOK);
    host.Choose(VeltorInitial.comModes, 3);

    bool cursorHiddenWhileRunning = false;
    host.When([] { return InitialLevel.Visible(); }, [&] { host.Click(InitialLevel.Command1); });
    host.When([&] { return display->starts == 1; },
              [&] {
                  cursorHiddenWhileRunning = !forms::CursorVisible();
                  sys::EndProcess(0);  // the menu runs on until Exit; the start is what counts here
              });
    EXPECT_THROW(host.Click(VeltorInitial.cmdControl(0)), sys::ProcessEnded);

    EXPECT_TRUE(cursorHiddenWhileRunning);
    EXPECT_EQ(dir.Read("startmode.vlx"), "3\r\n");
    EXPECT_EQ(dir.Read("difficulty.vlx"), "2\r\n");
    EXPECT_EQ(display->window, static_cast<std::uintptr_t>(GameWindow.Handle()));
    EXPECT_EQ(GameWindow.Width(), 9600);
    EXPECT_EQ(GameWindow.Height(), 7200);
    EXPECT_EQ(GameWindow.Left(), 2880);
    EXPECT_EQ(GameWindow.Top(), 2160);
}

TEST_F(LaunchPad, ModeThatFailsToStartReportsWhyAndStaysOnTheLaunchPad) {
    dir.Write("startmode.vlx", "1\r\n");
    display->failing = "1280x1024x32";
    Start();
    host.Click(frmTip.cmdOK);
    host.Choose(VeltorInitial.comModes, 3);
    host.When([] { return InitialLevel.Visible(); }, [&] { host.Click(InitialLevel.Command1); });
    ASSERT_TRUE(host.Click(VeltorInitial.cmdControl(0)));

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("1280x1024x32"), std::string::npos) << boxes[0];
    EXPECT_EQ(dir.Read("startmode.vlx"), "1\r\n");  // still the mode that last worked
    EXPECT_TRUE(VeltorInitial.Visible());
    EXPECT_TRUE(forms::AcceptsInput(VeltorInitial.cmdControl(0)));
    EXPECT_TRUE(forms::CursorVisible());
    EXPECT_EQ(display->starts, 0);
}

TEST_F(LaunchPad, StartWithoutAdapterOnlyAsksForTheDifficulty) {
    display->adapters.clear();
    Start();
    EXPECT_TRUE(VeltorInitial.comAdapters.Items().empty());
    EXPECT_TRUE(Modes().empty());
    int asked = 0;
    for (int press = 0; press < 2; ++press) {
        host.When([] { return InitialLevel.Visible(); },
                  [&] {
                      ++asked;
                      host.Click(InitialLevel.Command1);
                  });
        ASSERT_TRUE(host.Click(VeltorInitial.cmdControl(0)));
    }
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(dir.Read("startmode.vlx"), "");
    EXPECT_EQ(display->starts, 0);
}

TEST_F(LaunchPad, ExitEndsTheProgram) {
    Start();
    EXPECT_THROW(host.Click(VeltorInitial.cmdExit), sys::ProcessEnded);
}

}  // namespace
}  // namespace quorvel
