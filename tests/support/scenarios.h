#pragma once
// Whole runs of the program on the headless harness, played through the real screens
// as a player gets there, so a test starts where its story starts and scripts the
// rest by condition (Harness::When / After):
//
//   h.When(test::InMainMenu, [&] { ... the menu's first frame ... });
//   const auto code = test::RunFromLaunchPad(h, host);
//
// Steps for dialogs that come later (the options over the menu, ...) are added to the
// forms host from a harness step, once the run is there: the host runs its steps in
// the order they were added, and the difficulty dialog comes first.

#include <optional>

#include "game/play_level.h"
#include "platform/forms/null_host.h"
#include "support/harness.h"

namespace quorvel::test {

// Whether the main menu's loop runs: true from the loop's first frame (as it begins)
// until the menu's scene is torn down. The logo frames before it do not count.
bool InMainMenu();

// The launch pad as a player starts the game: shown, its tip of the day closed, the
// harness's screen size chosen (at 32 bits), Start pressed, "GO!!!" on the difficulty
// dialog; the main menu then shows its two logos and runs. Runs until the program
// ends: the exit code, or nothing when Start came back (the mode would not start).
// A screen size the launch pad does not list fails the test.
std::optional<int> RunFromLaunchPad(Harness& h, forms::NullHost& host);

// The game run started at `start.level` with `start`'s possessions, as the load-game
// screen hands over to it: the game texts loaded, the menu's scene gone, and the
// shared engine objects that the menu leaves (core, input, frame, cameras, maths,
// timer, lights, importer, particles, sounds, the music player) made. Until the game run exists
// it is the stand-in PlayLevel. Runs until the program ends: the exit code.
std::optional<int> RunFromLevelStart(Harness& h, const PlayLevelArgs& start);

}  // namespace quorvel::test
