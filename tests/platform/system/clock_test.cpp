#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/system/clock.h"

namespace quorvel::sys {
namespace {

TEST(Clock, VirtualClockCrossesMidnightWithoutWrapping) {
    UseVirtualClock(86399.5);  // half a second before midnight
    const double start = WallClock();
    double previous = start;
    for (int frame = 0; frame < 120; ++frame) {
        AdvanceVirtualClock(1.0 / 60.0);
        const double now = WallClock();
        ASSERT_GT(now, previous) << "frame " << frame;
        previous = now;
    }
    EXPECT_NEAR(previous - start, 2.0, 1e-9);
    EXPECT_GT(previous, 86400.0);  // past midnight and still counting up
}

TEST(Clock, RealClockIsMonotonicAndStartsAtTimeOfDay) {
    UseRealClock();
    const double first = WallClock();
    EXPECT_GE(first, 0.0);
    EXPECT_LT(first, 86400.0 + 60.0);
    double previous = first;
    for (int i = 0; i < 1000; ++i) {
        const double now = WallClock();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

// The production clock across midnight: started so that midnight comes a few
// milliseconds from now, it runs on past 86400 without a step back.
TEST(Clock, RealClockCrossesMidnightWithoutWrapping) {
    UseRealClock();
    const double startOfDay = 86400.0 - 0.02 - MonotonicSeconds();
    SetStartOfDay(startOfDay);
    const double start = WallClock();
    EXPECT_LT(start, 86400.0);
    double previous = start;
    while (previous < 86400.0 + 0.02) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        const double now = WallClock();
        ASSERT_GE(now, previous);
        ASSERT_GT(now, 86399.0) << "wrapped at midnight";
        previous = now;
    }
    // Still the time of day at start plus the time since.
    EXPECT_NEAR(WallClock() - MonotonicSeconds(), startOfDay, 1e-3);
}

TEST(Clock, VirtualClockIgnoresNegativeSteps) {
    UseVirtualClock(100.0);
    AdvanceVirtualClock(-5.0);
    EXPECT_DOUBLE_EQ(WallClock(), 100.0);
}

}  // namespace
}  // namespace quorvel::sys
