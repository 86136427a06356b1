#pragma once
// The step between the main menu and a game run: the list of the ten save slots
// (Load Game) or the new-game values (New Game), then the hand-over to PlayLevel.

#include <optional>
#include <string>

#include "game/play_level.h"

namespace quorvel {

inline constexpr int NewGameSlot = 99;
inline constexpr int SaveSlotCount = 10;

// What a save slot holds: the values a game run starts from.
using SaveGameValues = PlayLevelArgs;

// "VeltorSave<slot>.vlx" in the program folder.
std::string SaveSlotPath(int slot);

// The slot's values, or nothing for a slot that is missing, empty or damaged (a
// level outside 1 to 50). Any non-zero flag counts as owned, money that is not a
// finite number as 0, and the capacity level is brought into 1 to 4. Reading never
// creates or changes a file.
std::optional<SaveGameValues> ReadSaveSlot(int slot);

// Slot 99: a new game at once. Any other value: the slot list (shown when Slot is
// above 0); the chosen slot is written back. Called inside a begun menu frame; it
// returns only when the list is left with Escape, with a frame begun and the scene
// rendered. Otherwise the menu scene is torn down and PlayLevel runs the game.
void MainMenuLoadGame(int& Slot);

}  // namespace quorvel
