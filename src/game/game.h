#pragma once
// Services of the game run and campaign: what the other folders may call here.
//   play_level.h  PlayLevel: one game run from a level and the player's possessions;
//                 it never returns (SetPlayLevelObserver: a test seam until the game
//                 run is in place)
//   save_file.h   the ten save slots: SaveSlotPath, ReadSaveSlot, WriteSaveSlot

#include "game/play_level.h"
#include "game/save_file.h"
