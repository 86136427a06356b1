#pragma once
// What the rest of the game may call of the game run and its campaign. The shared
// records and variables are in game/state.h.

#include "game/play_level.h"
#include "game/save_file.h"
#include "game/state.h"

namespace quorvel {

// ---- Level table and level start ----------------------------------------------------
// Fills the table, clears GameWon, puts CurrentLevel one below StartingLevel and
// starts that level.
void InitLevelTable();
// Moves on to the next level (never past 50: the step after it sets GameWon) and
// sets up everything the level needs, its asteroid field and sounds included.
void StartLevel();
void SpawnAsteroidField();
// How far an asteroid moves this frame.
float AsteroidSpeed();
// The sky and the station's smoke points of the level (level 1 keeps the loaded sky).
void SetupLevelSkybox();

// ---- Level loading ---------------------------------------------------------------------
// Builds the run's scene behind the loading screen; once per game run.
void LoadLevel();

// ---- Weapons of the run ------------------------------------------------------------------
// Record 0 of each shot array: reload rate, damage, shot speed, reload 0.
void SetWeaponStartValues();
// Every weapon's reload grows by FrameFactor x ReloadRate; once per frame during play.
void AdvanceWeaponReload();

// ---- Alien difficulty --------------------------------------------------------------------
// Strength of aliens 1 to 10 by DifficultyLevel and ship type, AlienShotSpeed and
// DifficultyFactor; a difficulty outside 1 to 5 changes nothing.
void ApplyAlienDifficulty();

// ---- Built by the later game-run work (bodies in pending.cpp until then) ------------------
void CreateInGameMenus();
void CheckShield();
// Puts the player's ship holder back at the origin and the main camera to its view.
void ResetCamera();
// Kill money: value x 40, 35, 30, 25 or 20 for DifficultyLevel 1 to 5.
void AddKillMoney(float value);
// Ends the level when every goal of it is met; otherwise nothing.
void CheckLevelComplete();
// The player's ship is lost: hides the ship and shows its debris.
void ExplodeShip();

}  // namespace quorvel
