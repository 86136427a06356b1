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

// ---- Alien waves, steering, shots and hits ----------------------------------------------
// Direction values of the ship being updated.
extern float RearDistance, BeyondDistance, FacingMeasure, TrialFacingMeasure, TurnRate;
extern bool FacingTarget;

void UpdateAliens();
void SpawnFirstWave();
void SpawnSecondWave();
bool AnyAlienActive();
bool AlienBattlePending();
void HideAllAliens();

void CheckAlienObstacles(int ship);
void SteerAlienApproach(int ship);
void SteerAlienExtend(int ship);
void AlienBreakOff(int ship);
void SteerAlienAvoid(int ship);
void MeasureAlienToPlayer(int ship);
void MeasureAlienToAvoidPoint(int ship);
void UpdateAlienBoost(int ship);
void PlaceAlienAttachments(int ship);
// Break-off pattern 1 to 8 for a random value r in [0, 1).
int BreakOffDirFor(float r);

void AlienShoot(int ship);
void UpdateAlienShots(int ship);
void AlienHit(int id, float damage, const Vector& position);

// ---- Mothership ------------------------------------------------------------------------
// Energy of an arrival on the current level and difficulty.
float MothershipEnergyFor(int level, int difficulty);
void ResetMothership();
void StartMothershipHyperspaceIn();
void MothershipApproach();
void UpdateMothership();
void MothershipEnergyAttack();
void UpdateMothershipDamage(const Vector& position, const Vector& right, const Vector& up,
                            const Vector& front);
void MothershipHit(int id, float damage, const Vector& point);
void DestroyMothership();
void RunMothershipBreakup();

// ---- Giant asteroid ----------------------------------------------------------------------
// Hit points on the level (times DifficultyFactor); 0 on a level without one.
float GiantAsteroidHPFor(int level);
void StartGiantAsteroid();
void UpdateGiantAsteroidHold();
void UpdateGiantAsteroid();
void GiantAsteroidHit(int id, float damage, const Vector& point);

// ---- Scout -------------------------------------------------------------------------------
// ScoutNextLevel after a pass starts on `level` with random value r in [0, 1).
int ScoutLevelAfter(int level, float r);
void StartScoutInbound();
void UpdateScout();
void ScoutHit(int id, float damage, const Vector& point);
void ResetScout();
// One step of the lightning flash texture (the scout's level-2 sequence and the battleship).
void AnimateLightning();

// ---- Battleship -------------------------------------------------------------------------
// BattleshipNextLevel after an arrival on `level` with random value r in [0, 1).
int BattleshipLevelAfter(int level, float r);
void StartBattleship();
void UpdateBattleship();
void UpdateBattleshipDamage(const Vector& position, Vector& attach, const Vector& right, const Vector& up,
                            const Vector& front);
void BattleshipHit(int id, double damage, const Vector& point);

// ---- Enemy timelines across a level start and the pause ----------------------------------
// Level start: no giant asteroid id yet; a scout or battleship level already passed
// (a game loaded past it) is drawn again from this level.
void PrepareLevelEnemies();
// The pause moves every wall-clock mark of the bosses, the scout and the battleship by
// the time it lasted, as it moves the level's own.
void ShiftEnemyTimers(double seconds);

}  // namespace quorvel
