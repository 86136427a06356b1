#pragma once
// The step between the main menu and a game run: the list of the ten save slots
// (Load Game) or the new-game values (New Game), then the hand-over to PlayLevel.

#include <string>

#include "game/game.h"

namespace quorvel {

inline constexpr int NewGameSlot = 99;

// Slot 99: a new game at once. Any other value: the slot list (shown when Slot is
// above 0), where only good slots can be chosen; the chosen slot is written back.
// Called inside a begun menu frame; it returns only when the list is left with
// Escape, with a frame begun and the scene rendered. Otherwise the menu scene is torn
// down and PlayLevel runs the game.
void MainMenuLoadGame(int& Slot);

}  // namespace quorvel
