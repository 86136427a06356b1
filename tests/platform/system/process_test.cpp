#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/system/clock.h"
#include "platform/system/exit_report.h"
#include "platform/system/process.h"

namespace quorvel::sys {
namespace {

TEST(Process, EndRunsEndHooksThenThrowsUnderTest) {
    SetEndThrows(true);
    std::vector<int> order;
    AtProcessEnd([&] { order.push_back(1); });
    AtProcessEnd([&] { order.push_back(2); });
    try {
        EndProcess(3);
        FAIL() << "EndProcess returned";
    } catch (const ProcessEnded& e) {
        EXPECT_EQ(e.code, 3);
    }
    EXPECT_EQ(order, (std::vector<int>{2, 1})) << "latest hook first, each once";
}

TEST(Process, IdleWaitPumpsAndMovesTheVirtualClockOn) {
    UseVirtualClock(0.0);
    int pumps = 0;
    SetPumpHook([&] { ++pumps; });
    const double t0 = WallClock();
    int passes = 0;
    while (WallClock() - t0 < 1.0) {
        IdleWait();
        ++passes;
        ASSERT_LT(passes, 1000) << "a wait on the virtual clock must end";
    }
    EXPECT_EQ(pumps, passes);
    SetPumpHook(nullptr);
}

// Every way out of the program leaves one line saying why on stderr: what ended it, the
// status or signal, and where (a backtrace where no caller says so itself).
TEST(ProcessEndDeathTest, EveryEndSaysWhy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string frame = R"(\[0x[0-9a-f]+\])";  // a backtrace line
    const std::string here = "tests/platform/system/process_test.cpp";

    // The program's own end: a normal one in plain words; any other with its caller.
    EXPECT_EXIT(EndProcess(0, "exit chosen"), ::testing::ExitedWithCode(0),
                ": exit chosen; ends with status 0\n");
    EXPECT_EXIT(EndProcess(3, "the test is done"), ::testing::ExitedWithCode(3),
                ": ends with status 3: the test is done \\(TestBody, " + here + ":[0-9]+\\)");
    EXPECT_EXIT(EndProcess(0), ::testing::ExitedWithCode(0), ": ends with status 0 \\(.*" + here);
    // With the display gone: the same line, and no end hook runs.
    EXPECT_EXIT(
        {
            AtProcessEnd([] { std::fputs("end hooks ran\n", stderr); });
            EndProcessWithoutHooks(1, "the connection is lost");
        },
        ::testing::ExitedWithCode(1),
        ": ends with status 1: the connection is lost \\(TestBody, " + here + ":[0-9]+\\)\n$");

    // Asked to end from outside: the next pump ends the program through the end hooks
    // (which put the display back), by the same signal.
    EXPECT_EXIT(
        {
            ReportEveryEnd();
            AtProcessEnd([] { std::fputs("end hooks ran\n", stderr); });
            kill(getpid(), SIGTERM);
            PumpMessages();
        },
        ::testing::KilledBySignal(SIGTERM),
        "ends on signal 15 \\(SIGTERM, Terminated\\) sent by process [0-9]+\n(.|\n)*end hooks ran");

    const struct {
        const char* what;
        void (*end)();
        int signal;
        std::string said;
    } signals[] = {
        {"a second request before the pump",
         [] {
             kill(getpid(), SIGINT);
             kill(getpid(), SIGINT);
         },
         SIGINT, "ends on signal 2 \\(SIGINT, Interrupt\\) sent by process [0-9]+ \\(itself\\); backtrace:"},
        {"abort", [] { std::abort(); }, SIGABRT, "ends on signal 6 \\(SIGABRT, Aborted\\) sent by process"},
        {"a fault", [] { raise(SIGILL); }, SIGILL, "ends on signal 4 \\(SIGILL, Illegal instruction\\)"},
    };
    for (const auto& c : signals) {
        EXPECT_EXIT(
            {
                ReportEveryEnd();
                c.end();
                for (;;)
                    pause();
            },
            ::testing::KilledBySignal(c.signal), c.said + "(.|\n)*" + frame)
            << c.what;
    }

    // A write to a closed pipe fails; the program goes on.
    EXPECT_EXIT(
        {
            ReportEveryEnd();
            int ends[2];
            if (pipe(ends) == 0) {
                close(ends[0]);
                const char byte = 0;
                if (write(ends[1], &byte, 1) < 0) EndProcess(7, "the write failed");
            }
        },
        ::testing::ExitedWithCode(7), "the write failed");

    // Ends that bypass the program's own: an exception nobody caught, an exit() call.
    EXPECT_EXIT(
        {
            ReportEveryEnd();
            std::thread([] { throw std::runtime_error("lost"); }).join();
        },
        ::testing::KilledBySignal(SIGABRT),
        "ends on an uncaught exception std::runtime_error: lost; backtrace:\n(.|\n)*" + frame);
    EXPECT_EXIT(
        {
            ReportEveryEnd();
            std::exit(5);
        },
        ::testing::ExitedWithCode(5), "ends with status 5 through exit\\(\\)(.|\n)*" + frame);
}

}  // namespace
}  // namespace quorvel::sys
