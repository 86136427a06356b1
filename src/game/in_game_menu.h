#pragma once
// What the pause and game-over menu and the weapon shop share: the pointer over the
// centred 512 x 512 menu picture and the hover over a hit list.

#include <array>

#include "common/common.h"
#include "game/state.h"

namespace quorvel {

// Shows the pointer image at the mouse and gives the mouse in the picture's space.
void PlaceMenuPointer(const MouseState& mouse, int& pictureX, int& pictureY);

// Over an item of the list: the pointer's "over" texture, "click" once per item
// entered, and the row under the pointer. Elsewhere: the plain pointer, re-armed
// sound and -1.
int HoverMenuRow(const clsMenu& list, int pictureX, int pictureY);

// Hides the pointer image and hands the pointer back to the steering.
void CloseMenuPointer();

// Holds the level's clocks still for the time the menu has been open since its last
// frame: power-ups, the level time, and the sequences that run through a pause.
void AdjustTimersAfterPause();

}  // namespace quorvel
