#pragma once
// What the rest of the game may call of combat, enemies and hazards.

#include <array>
#include <string>

#include "common/world.h"
#include "platform/engine/records.h"
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

// The force field's mesh, radar and animation.
struct ForceFieldRecord {
    int FieldMesh = -1;
    int RadarMesh = -1;
    std::array<Vector, 5> FieldPoints{};  // 1 to 4
    Vector FieldPoint;
    bool FieldAnimDone = false;
    float FieldFrame = 0;
    float FieldFrameMax = 0;
};
extern ForceFieldRecord ForceField;

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

void LoadForceFieldAndRadar();
void FindNearForceField();
void UpdateForceFieldAnim();

// ---- Alien ships: loading and types ------------------------------------------------

void SetAlienTypeForLevel();
bool IsAlienFreeLevel();
bool IsNextLevelAlienFree();
void LoadAlienShips();

// ---- Projectile firing --------------------------------------------------------------
// One shot (five for disperse) when the weapon is reloaded and has the energy. The ring
// counter is the frame loop's; the axes are those of the ship holder "hold".
void FirePlasma(int& ring, const Vector& right, const Vector& up, const Vector& front);
void FireLaser(int& ring, const Vector& right, const Vector& up, const Vector& front);
void FireIon(int& ring, const Vector& right, const Vector& up, const Vector& front);
void FireMion(int& ring, const Vector& right, const Vector& up, const Vector& front);
void FireEplas(int& ring, const Vector& right, const Vector& up, const Vector& front);
void FireDisperse(int& ring, const Vector& right, const Vector& up, const Vector& front);
void FireGamma(int& ring, const Vector& right, const Vector& up, const Vector& front);

// ---- Projectile flight --------------------------------------------------------------------
// Once a frame: every shot of the weapon flies its step, and a hit goes to each target's
// routine. The caller passes the weapon's own record-0 ShotSpeed.
void UpdatePlasmaShots(float& speed);
void UpdateLaserShots(float& speed);
void UpdateIonShots(float& speed);
void UpdateMionShots(float& speed);
void UpdateEplasShots(float& speed);
void UpdateGammaShots(float& speed);
void UpdateDisperseShots(float& speed);

// ---- Asteroid hits by projectiles ------------------------------------------------------
// End shot s of the weapon; when it struck an asteroid, damage it and destroy it at its
// hit points.
void PlasmaHitAsteroid(int s);
void LaserHitAsteroid(int s);
void IonHitAsteroid(int s);
void MionHitAsteroid(int s);
void EplasHitAsteroid(int s);
void DisperseHitAsteroid(int s);
void GammaHitAsteroid(int s);

// ---- Station hits ----------------------------------------------------------------------
void StationHit(int id, const Vector& point);

// ---- Asteroid field --------------------------------------------------------------------
// Asteroid hit points by difficulty and kind; false for a difficulty outside 1 to 5.
bool AsteroidHitPoints(int difficulty, int kind, int& hitPoints);
void PlaceAsteroids();
void SetActiveAsteroidCount();
void GravityBeamHitAsteroid(int id);
void DestroyAsteroid(int index);
bool IsTargetMesh(int id);
bool IsAlienMesh(int id);
void PlayAsteroidCloseVoice();

// ---- Power-ups (kinds 1 infinite energy, 2 extreme speed, 3 invincibility, 4 rapid fire) --
constexpr std::array<double, 5> PowerUpDuration = {0, 30, 45, 45, 60};

void MaybeDropPowerUp(int index);
bool CheckPowerUpPickup(int id);
void UpdatePowerUps();

// ---- Gravity beam ------------------------------------------------------------------------
// Pulls a grabbed object in, holds it 350 ahead of the camera and flies it when thrown.
class clsZeroPoint {
  public:
    bool BeingGrabbed() const { return BeingGrabbed_; }
    bool BeingThrown() const { return BeingThrown_; }
    bool Holding() const { return Holding_; }
    Vector CurrentPosition() const { return CurrentPosition_; }
    Vector CurThrowVR() const { return CurThrowVR_; }
    Vector CurThrowVD() const { return CurThrowVD_; }
    Vector CurThrowUP() const { return CurThrowUP_; }
    int GrabbedMeshIndex() const { return GrabbedMeshIndex_; }

    void Init();
    void Throw(float range);
    void Grab(int meshId);
    void Poll(const Vector& target, float frameTime, const Vector& right, const Vector& up,
              const Vector& forward);
    void Drop() {}
    void StopGrabbing() { StopRequested = true; }

  private:
    bool BeingGrabbed_ = false;
    bool BeingThrown_ = false;
    bool Holding_ = false;
    Vector CurrentPosition_;
    Vector CurThrowVR_, CurThrowVD_, CurThrowUP_;
    int GrabbedMeshIndex_ = -1;  // -1: nothing held
    bool ThrowStarted = false;
    bool StopRequested = false;  // read by nothing
    float PullRate = 0;
    float ThrowRange = 0;
    AxisSet SavedAxes;
    float ThrowSpeed = 0;
    float LastFrameTime = 0;
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
// Shows the ship and takes where it is, its rear and beyond points toward the player,
// and the direction values from them.
void MeasureAlienToPlayer(int ship);
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
// ---- Flaming asteroid ------------------------------------------------------------------------
class clsFlamingAsteroid {
  public:
    // Properties (the game run reads them; it writes only Initialized_, BlowUp_ and
    // NextLevel_).
    int TimesPerLevel_ = 0;
    int TimesDone_ = 0;
    bool Initialized_ = false;
    bool Active_ = false;
    bool LevelNotDone_ = false;
    bool LevelNotDoneReset_ = false;
    bool BlowUp_ = false;
    int NextLevel_ = 0;
    Vector Position_;
    int MeshIndex_ = -1;
    bool InitFirst_ = false;

    void Init(int meshId, int targetMeshId, int level, int fireSystemId, int passes);
    void Poll(float frameTime, int level);
    // Adds the damage scaled by NextLevel_; 25000 in total destroys it and ends the pass.
    // Returns the scaled damage.
    float Hit(float damage);
    void InitWait(float seconds);
    bool DoneWaiting() const;
    void ResetPosition();
    void setResetfalse() { LevelNotDoneReset_ = false; }
    // At every level start: out of play and back to a start zone, its Init to come again
    // on the new level; no pass is counted.
    void LevelStartReset();

  private:
    void MoveAsteroid(float frameTime);
    void PickNextLevel();
    void EndPass();
    void GoOutOfPlay();

    int TargetMesh = -1;
    int FireSystem = -1;
    Vector TargetPoint;
    float DamageSum = 0;
    int LevelNow = 0;
    double WaitStart = 0;
    float WaitSeconds = 0;
    bool Waiting = false;
};

// Once per frame: starts, times, announces and moves the passes.
void SpawnFlamingAsteroid();
// A shot struck mesh `id` at `point`.
void FlamingAsteroidHit(int id, int damage, const Vector& point);
// The collision step's test: the asteroid within 300 of the station counts two impacts.
// True when it struck (the caller then updates the smoke and tests for the station's loss).
bool CheckFlamingAsteroidImpact();

// Kill money: value x 40, 35, 30, 25 or 20 for DifficultyLevel 1 to 5.
void AddKillMoney(float value);
// Strength of aliens 1 to 10 by DifficultyLevel and ship type, AlienShotSpeed and
// DifficultyFactor; a difficulty outside 1 to 5 changes nothing.
void ApplyAlienDifficulty();

}  // namespace quorvel
