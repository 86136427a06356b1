#pragma once
// The frame log, for reports of slow frames. With QUORVEL_FRAME_LOG=<file> in the
// environment the program writes, line by line as it runs:
//
//   frame <n> <wall ms> <cpu ms>   for every frame shown: the time since the frame
//                                  before was shown (for the first one, since it
//                                  began) and the processor time of all the
//                                  program's threads in that time;
//   event <name> <seconds>         at a milestone of the start-up and loading, on the
//                                  system's monotonic clock (CLOCK_MONOTONIC).
//
// Without the variable nothing is written and every call costs next to nothing.

#include <string>

namespace quorvel::sys {

// Writes the log to `path` from now on, replacing the file; an empty path stops it.
// False when the file cannot be written. The environment variable is read at the
// first call of any function here unless this came first.
bool OpenFrameLog(const std::string& path);

// The engine's frames: one begins, one has been shown.
void FrameBegun();
void FrameShown();

// A key or mouse button went down (the engine's input calls this).
void FrameLogPress();

// A milestone reached now.
void FrameLogEvent(const std::string& name);
// A milestone the player's latest key or button press set off: stamped with the time
// that press reached the program (now, if there was none), not the later time at which
// a frame got round to reading it.
void FrameLogEventAtLastPress(const std::string& name);
// A milestone that the next frame shown reaches: stamped once that frame is shown.
void FrameLogEventOnNextFrame(const std::string& name);

}  // namespace quorvel::sys
