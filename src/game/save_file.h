#pragma once
// The ten save slots: small binary files "VeltorSave<n>.vlx" in the program folder,
// slot 0 the quick save. Nine fields, each alone at the start of a 128-byte record,
// little-endian: the level (16-bit), the six owned flags (16-bit, True = -1; the
// gravity beam's comes before the money, unlike PlayLevel's order), the money (a
// double) and the capacity level (16-bit). The last record holds only its field.

#include <string>

#include "game/play_level.h"

namespace quorvel {

inline constexpr int SaveSlotCount = 10;

// What a save slot holds: the values a game run starts from, in PlayLevel's order.
using SaveGameValues = PlayLevelArgs;

enum class SaveSlotState {
    Empty,    // no file, or a file of length 0: a slot never saved
    Damaged,  // a file that is not a whole save of a playable level
    Good,
};

struct SaveSlotContents {
    SaveSlotState state = SaveSlotState::Empty;
    SaveGameValues values;  // only for a good slot
};

// "VeltorSave<slot>.vlx" in the program folder.
std::string SaveSlotPath(int slot);

// A good slot is a file of the whole format's length (or longer) with a level from 1
// to 50. Its flags count as owned when not zero, money that is not a finite number
// counts as 0 and the capacity level is brought into 1 to 4. Reading never creates
// or changes a file.
SaveSlotContents ReadSaveSlot(int slot);

// Writes the values into the slot whole or not at all: the file is written beside
// the slot and renamed over it. False when that failed; the slot is then as before.
bool WriteSaveSlot(int slot, const SaveGameValues& values);

}  // namespace quorvel
