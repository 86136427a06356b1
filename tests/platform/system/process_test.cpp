#include <gtest/gtest.h>

#include "platform/system/clock.h"
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

}  // namespace
}  // namespace quorvel::sys
