#pragma once
// Whole runs of the program on the headless harness, played through the real screens
// as a player gets there, so a test starts where its story starts and scripts the
// rest by condition (Harness::When / After):
//
//   h.When(test::InMainMenu, [&] { ... the menu's first frame ... });
//   const auto code = test::RunFromLaunchPad(h, host);
//
//   test::ContentFolder folder;                 // the content set, writable
//   h.When([&] { return test::InFrameLoop(h); }, [&] { ... the level's first frame ... });
//   test::RunFromLevelStart(h, {.level = 7, .money = 600000, .capacityLevel = 1});
//
// Steps for dialogs that come later (the options over the menu, ...) are added to the
// forms host from a harness step, once the run is there: the host runs its steps in
// the order they were added, and the difficulty dialog comes first.

#include <optional>

#include "game/play_level.h"
#include "platform/forms/null_host.h"
#include "support/harness.h"
#include "support/temp_folder.h"

namespace quorvel::test {

// Whether the main menu's loop runs: true from the loop's first frame (as it begins)
// until the menu's scene is torn down. The logo frames before it do not count.
bool InMainMenu();

// Whether a game run has started its level: the possessions are taken and the level
// table built (the mission text's frames come next).
bool GameRunStarted();

// Whether the last frame shown was one of the game run's frame loop (it draws the
// HUD map, whose camera mark nothing else draws).
bool InFrameLoop(const Harness& h);

// A program folder of its own that reads the generated content set and takes what a
// run writes (settings, save slots, screenshots); made the program folder.
class ContentFolder {
  public:
    ContentFolder();
    TempFolder folder;
};

// The launch pad as a player starts the game: shown, its tip of the day closed, the
// harness's screen size chosen (at 32 bits), Start pressed, "GO!!!" on the difficulty
// dialog; the main menu then shows its two logos and runs. Runs until the program
// ends: the exit code, or nothing when Start came back (the mode would not start).
// A screen size the launch pad does not list fails the test.
std::optional<int> RunFromLaunchPad(Harness& h, forms::NullHost& host);

// What the main menu leaves for a game run: the game texts and the options loaded,
// the shared engine objects and the music player made.
void PrepareGameStart();

// The game run started at `start.level` with `start`'s possessions through the
// load-game screen, as a saved game in the quick-save slot of the program folder: the
// game texts loaded and the shared engine objects that the menu leaves made. Runs
// until the program ends: the exit code.
std::optional<int> RunFromLevelStart(Harness& h, const PlayLevelArgs& start);

}  // namespace quorvel::test
