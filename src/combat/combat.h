#pragma once
// What the rest of the game may call of combat, enemies and hazards.

#include <array>

#include "platform/engine/types.h"

namespace quorvel {

// ---- Weapon energy ---------------------------------------------------------------
// Base capacity, regeneration rate and cost per shot of weapons 1 to 7.
struct WeaponSpec {
    float BaseCapacity;
    float RegenRate;
    float ShotCost;
};
extern const std::array<WeaponSpec, 8> WeaponTable;  // index = weapon, 1 to 7

extern bool EnergyTableReady;
extern bool RefillDone;
extern float CapacityFactor;
extern float RepairTimer;
extern bool Repairing;

void InitWeaponTable();
void RegenerateWeaponEnergy();
void AdjustWeaponRegenRate(bool raise);
void AdjustWeaponShotCost(bool raise);
// Every caller passes (0, 0): refill every store to its capacity.
void SetWeaponEnergy(int weapon, int amount);
void UseWeaponEnergy(int weapon, float shots);
bool HasWeaponEnergy(int weapon);
void PlayNoEnergySound();
void DrawEnergyMeter();
void RepairHullTick();

// ---- Shield ----------------------------------------------------------------------
void ResetShield();
void UpdateShield();
void ShieldSlowRecharge();
void ShieldFastRecharge();
void AddShieldDamage(float amount);
void DrawShieldMeter();
// The tutorial's shield step: waiting for the recharge, and done.
constexpr int TutorialShieldWaiting = 27;
constexpr int TutorialShieldDone = 24;

// ---- Force fields and radar -------------------------------------------------------
extern int FieldMesh;
extern int RadarMesh;
extern std::array<Vector, 5> FieldPoints;  // 1 to 4
extern Vector FieldPoint;
extern bool FieldAnimDone;
extern float FieldFrame;
extern float FieldFrameMax;

void LoadForceFieldAndRadar();
void FindNearForceField();
void UpdateForceFieldAnim();

// ---- Alien ships: loading and types ------------------------------------------------
extern int FirstWaveShipType;
extern int SecondWaveShipType;
// Wave state of the per-frame alien update, cleared by every load.
extern float Wave1Timer, Wave2Timer;
extern bool Wave1Started, Wave2Started, Wave2Pending;

void SetAlienTypeForLevel();
bool IsAlienFreeLevel();
bool IsNextLevelAlienFree();
void LoadAlienShips();

// ---- Built by the later combat work (bodies in pending.cpp until then) ---------------
void ResetScout();
void SetActiveAsteroidCount();

// The flaming asteroid (one per run). Only what the level start calls is here yet.
class clsFlamingAsteroid {
  public:
    void ResetPosition();
    void Hit(float damage);
    bool Initialized_ = false;
    bool BlowUp_ = false;
    bool Active_ = false;
    int NextLevel_ = 0;
    Vector Position_;
};

// ---- Collision-only meshes and station smoke ------------------------------------------
// Clears the marks (game run set-up).
void ResetMothershipDebris();
// Hides the listed meshes and clears their marks (every level start).
void HideMothershipDebris();
// Early in a frame's play: shows the meshes the last late pass hid.
void ShowMothershipDebris();
// Last in a frame's play: hides the visible ones for the render and marks them.
void CheckMothershipDebris();
// Smoke plumes on the station's hull by StationDamageLevel.
void SetStationDamageSmoke();

}  // namespace quorvel
