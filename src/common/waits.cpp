#include "common/waits.h"

#include "platform/system/clock.h"
#include "platform/system/convert.h"
#include "platform/system/process.h"

namespace quorvel {

double WallClockSecond() {
    return sys::RoundHalfEven(sys::WallClock());
}

void WaitPast(double start, double seconds) {
    while (sys::WallClock() - start < seconds)
        sys::IdleWait();
}

}  // namespace quorvel
