#pragma once
// Starts the engine as the launch pad would: adapter 0, the listed mode of the given
// size at 32 bits, on whatever display back end is installed.

namespace quorvel::test {

// The engine's start status (negative: it failed), or -100 when no such mode is listed.
int StartEngineInMode(int width, int height);

}  // namespace quorvel::test
