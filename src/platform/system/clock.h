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

// The real clock's time of day at program start, in seconds since local midnight. It
// is read from the system at start-up; a test sets it to bring midnight within reach
// of the real clock.
void SetStartOfDay(double secondsSinceMidnight);

// Virtual clock for tests: WallClock() returns startOfDay + the time advanced since.
void UseVirtualClock(double startOfDay);
void AdvanceVirtualClock(double seconds);
void UseRealClock();
bool VirtualClockActive();

}  // namespace quorvel::sys
