#include "platform/sdl/startup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/engine/backends.h"
#include "platform/sdl/gl_renderer.h"
#include "platform/system/exit_report.h"
#include "platform/system/process.h"

namespace quorvel {
namespace {

class StartOnDesktopTest : public ::testing::Test {
  protected:
    void SetUp() override { sys::SetEndThrows(true); }
    void TearDown() override { sys::SetEndThrows(false); }

    // Runs the start and gives its exit code (-1: it went on) and what it printed.
    static int Start(std::string& printed) {
        int code = -1;
        ::testing::internal::CaptureStderr();
        try {
            sdl::StartOnDesktop();
        } catch (const sys::ProcessEnded& e) {
            code = e.code;
        }
        printed = ::testing::internal::GetCapturedStderr();
        return code;
    }
};

TEST_F(StartOnDesktopTest, WithoutADisplayTheProgramEndsAndSaysWhy) {
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"})
        unsetenv(name);
    std::string printed;
    EXPECT_EQ(Start(printed), 1);
    EXPECT_NE(printed.find(": ends with status 1: no display to open the game window on"), std::string::npos)
        << printed;
    EXPECT_FALSE(dynamic_cast<sdl::GlRenderer*>(engine::InstalledRenderer().get())) << "nothing was started";
}

TEST_F(StartOnDesktopTest, OffScreenDrawingAskedForByNameStartsTheBackEnd) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        unsetenv(name);
    std::string printed;
    EXPECT_EQ(Start(printed), -1) << printed;
    EXPECT_TRUE(dynamic_cast<sdl::GlRenderer*>(engine::InstalledRenderer().get()));
}

// A kill from outside once the video system runs ends the game by that signal and names
// the sender, whichever started first: the video system does not take the signal for a
// quit event that would end the game with status 0 and no word of why.
TEST(StartOnDesktopDeathTest, AKillEndsTheGameByThatSignalAndSaysWho) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    for (const bool reportFirst : {true, false}) {
        EXPECT_EXIT(
            {
                if (reportFirst) sys::ReportEveryEnd();
                sdl::StartOnDesktop();
                if (!reportFirst) sys::ReportEveryEnd();
                kill(getpid(), SIGTERM);
                for (;;)
                    sys::IdleWait();
            },
            ::testing::KilledBySignal(SIGTERM),
            ": ends on signal 15 \\(SIGTERM, Terminated\\) sent by process")
            << (reportFirst ? "reports installed before the video system" : "after it");
    }
}

}  // namespace
}  // namespace quorvel
