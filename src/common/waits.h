#pragma once
// Timed waits of the screens: nothing is drawn, window messages keep running.

namespace quorvel {

// The start of a timed wait or timeline: the wall clock to the nearest whole second.
double WallClockSecond();

// Waits until the wall clock is `seconds` past `start`, pumping messages and giving
// the processor away between looks. The wall clock never wraps, so a wait across
// midnight ends like any other.
void WaitPast(double start, double seconds);

}  // namespace quorvel
