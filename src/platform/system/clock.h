#pragma once
// The program's clocks.
//
// WallClock() is "seconds since midnight" as the game reads it: local time of day
// taken once at start-up plus monotonic time since then. It never jumps back and
// never wraps at midnight, so every wait and timeline keeps working across it.
//
// Tests switch to a virtual clock that moves only when told to.

namespace quorvel::sys {

// Seconds since local midnight at program start plus monotonic seconds since start.
double WallClock();

// Monotonic seconds since program start (or the virtual clock's own count).
double MonotonicSeconds();

// Virtual clock for tests: WallClock() returns startOfDay + the time advanced since.
void UseVirtualClock(double startOfDay);
void AdvanceVirtualClock(double seconds);
void UseRealClock();
bool VirtualClockActive();

}  // namespace quorvel::sys
