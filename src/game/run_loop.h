#pragma once
// The game run's own frame-loop helpers (inside the game folder only).

#include <string>

namespace quorvel {

// The loop's own state at the start of a run: the screenshot counter, the last frame
// factor, the key latches.
void ResetFrameLoop();

// When the scout and the battleship first come, drawn once per run from CurrentLevel
// (the level before the starting one): the scout's draw first, made only above 2.
void DrawEventLevels();

// The status line while the level runs; updates TimeLeft.
std::string RunningStatusText();
// The status line while the level ends: the values its bonus was paid with.
std::string LevelEndText();

// Money as the HUD shows it: whole units, no decimals.
std::string MoneyText(double money);

}  // namespace quorvel
