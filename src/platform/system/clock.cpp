#include "platform/system/clock.h"

#include <chrono>
#include <ctime>

namespace quorvel::sys {
namespace {

using Steady = std::chrono::steady_clock;

struct RealClockBase {
    Steady::time_point start = Steady::now();
    double startOfDay = 0.0;
    RealClockBase() {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        startOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    }
};

RealClockBase& Base() {
    static RealClockBase base;
    return base;
}

bool virtualActive = false;
double virtualStartOfDay = 0.0;
double virtualElapsed = 0.0;

}  // namespace

double MonotonicSeconds() {
    if (virtualActive) return virtualElapsed;
    return std::chrono::duration<double>(Steady::now() - Base().start).count();
}

double WallClock() {
    if (virtualActive) return virtualStartOfDay + virtualElapsed;
    return Base().startOfDay + MonotonicSeconds();
}

void SetStartOfDay(double secondsSinceMidnight) {
    Base().startOfDay = secondsSinceMidnight;
}

void UseVirtualClock(double startOfDay) {
    virtualActive = true;
    virtualStartOfDay = startOfDay;
    virtualElapsed = 0.0;
}

void AdvanceVirtualClock(double seconds) {
    if (seconds > 0) virtualElapsed += seconds;
}

void UseRealClock() {
    virtualActive = false;
}

bool VirtualClockActive() {
    return virtualActive;
}

}  // namespace quorvel::sys
