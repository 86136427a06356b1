#pragma once
// The state the game's folders share: the campaign run, the display, the level and its station,
// the ship, its weapons, each boss, the alien fleet and the power-ups. Each record is one
// concern's module-level data. They are defined once, with the game run's own records,
// in game/state.cpp, which sees every type they own. Flags are bool, engine ids int (-1
// is none), counters and levels int, single-precision values float.

#include <array>
#include <memory>
#include <string>

#include "platform/engine/records.h"
#include "platform/engine/types.h"

namespace quorvel {

class clsDirectSound8;
class clsDSWave8;
class clsFlamingAsteroid;
class clsZeroPoint;
class clsSWave;

constexpr int LevelCountMax = 50;
constexpr int AsteroidRecords = 250;

// A row of engine ids that name nothing yet.
template <std::size_t N>
constexpr std::array<int, N> NoIds() {
    std::array<int, N> ids{};
    ids.fill(-1);
    return ids;
}

struct LevelRec {
    float SpeedFactor = 0;
    int AsteroidCount = 0;
    int KindCount = 0;
};

struct AsteroidRec {
    int Index = 0;
    int MeshId = -1;
    std::string MeshKey;
    Vector Pos;
    bool Active = false;
    bool Parked = false;  // switched off because the level allows fewer active asteroids
    int HitPoints = 0;
    int Damage = 0;
    std::string TextureKey;
    int Kind = 0;  // 1 to 10
};

// One projectile. Record 0 of each array holds the weapon's state (ReloadRate,
// Reload, ShotSpeed, DamagePerHit); records 1 up are the shots.
struct ShotRec {
    int Index = 0;
    int MeshId = -1;
    std::string MeshKey;
    Vector LaunchPos;
    Vector CurrentPos;
    Vector StepPos;  // written each frame by the flight update, read by nothing
    Vector OrientRight, OrientUp, OrientFront;
    bool Active = false;
    HitInfoRec LastHit;
    RayRec AimRay;
    float ReloadRate = 0;
    float Reload = 0;
    float ShotSpeed = 0;
    int AnimFrame = 0;
    bool AnimForward = false;
    float AnimTimer = 0;
    int DamagePerHit = 0;
};

struct SparkRec {
    int MeshId = -1;
    bool Active = false;
    Vector Pos;
};

struct DebrisRec {
    int MeshId = -1;
    std::string Name;
    bool Shown = false;
    bool Marked = false;
    bool InUse = false;
};

struct SmokeRec {
    int SystemId = -1;
    std::string Name;
    bool Active = false;
    Vector Pos;  // applied when the entry is switched on
};

struct CamBasisRec {
    Vector CamRight, CamUp, CamFront, CamPos, CamBack;
    Matrix4 CamMatrix;
};

struct PointerSlot {
    Vector PointerTarget;
    int PointerIcon = -1;  // 2D image id
    bool PointerOn = false;
};

struct WeaponEnergyRecord {
    float MaxEnergy = 0;
    float Energy = 0;
    float RegenRate = 0;
    float RegenAccum = 0;
    float ShotCost = 0;
};

// One alien fighter (entries 1 to 10 of Aliens; 1 to 5 the first wave).
struct AlienShip {
    bool Active = false;
    float ShotDamage = 0;
    float ShipHitPoints = 0;
    float DamageTaken = 0;
    int BodyMesh = -1;
    int HoldMesh = -1;
    Vector Position;
    Vector RearPoint;
    Vector BeyondPoint;
    float CloseTimer1 = 0;
    float CloseTimer2 = 0;
    bool BreakOff = false;
    bool BreakOffReset = false;
    int BreakOffDir = 0;
    bool BreakOffDirSet = false;
    bool Extending = false;
    bool AvoidState = false;
    Vector AvoidPoint;
    float AvoidRadius = 0;
    bool Boosting = false;
    float BoostTimer = 0;
    float Accel = 0;
    float MaxSpeed = 0;
    float Speed = 0;
    int FlareMesh = -1;
    int FlareMesh2 = -1;
    int MirrorMesh = -1;
    std::array<bool, 11> ShotActive{};
    std::array<int, 11> ShotSprite = NoIds<11>();
    std::array<int, 11> ShotHold = NoIds<11>();
    std::array<Vector, 11> ShotPosition{};
    std::array<Vector, 11> ShotStart{};
    Vector AttachOffset;
    int ShotSlot = 0;
    float FireTimer = 0;
    bool MayShoot = false;
    int ShipType = 0;  // 1 to 5
};

// The campaign run: its level, money, weapons owned, difficulty, the frame's clock, and the
// run's sound objects.
struct CampaignRecord {
    std::unique_ptr<clsDirectSound8> SoundDevice;
    std::array<std::unique_ptr<clsDSWave8>, 20> PositionalSounds;
    std::array<LevelRec, LevelCountMax + 1> LevelTable;  // index 0 not used
    int StartingLevel = 0;
    int CurrentLevel = 0;  // while a level loads it still holds the previous level
    bool GameRunning = false;
    bool GameWon = false;
    double Money = 0;
    bool OwnsIon = false, OwnsMion = false, OwnsEplas = false, OwnsDisperse = false, OwnsGamma = false,
         OwnsGravBeam = false;
    int CurrentWeapon = 1;  // 1 to 8
    int DifficultyLevel = 2;
    float DifficultyFactor = 0.875f;
    float FrameFactor = 0;
    double FrameStartTime = 0;  // wall clock, seconds since midnight
    bool IntroSeen = false;     // the intro has played in this program run
    bool MusicPollDue = false;
};
extern CampaignRecord Campaign;

// The display the run draws on, the rear view, and the detail settings a scene is built with.
struct DisplayRecord {
    int RenderWindow = 0;  // the window the 3D view is drawn on, for the devices that attach to it
    int ScreenWidth = 0, ScreenHeight = 0, ScreenDepth = 0;
    int ScreenCentreX = 0, ScreenCentreY = 0;
    float ScaleX = 1, ScaleY = 1;
    int MiniViewWidth = 250, MiniViewHeight = 210;
    // The options' detail slider when the main menu started: 1 is low detail ("_low"
    // files, no extra texture stages).
    int GraphicsLevel = 0;
    // The options' particle box when the main menu started: exactly 1 selects the full
    // particle files.
    int ParticleLevel = 0;
};
extern DisplayRecord Display;

// The level in play: its asteroids, its station, the ids of its special meshes, the
// flaming asteroid, and its running tallies.
struct LevelRecord {
    int AsteroidCount = 0;
    int AsteroidsLeft = 0;
    float LevelSpeedFactor = 0;
    int LevelKindCount = 0;
    std::array<AsteroidRec, AsteroidRecords + 2> Asteroids;  // 1 to 250 (+1 spare)
    double LevelStartTime = 0;
    float LevelTimeLimit = 0;
    bool CutsceneRunning = false;
    bool GoldShipStarted = false;
    bool CutsceneDone = false;  // false on level 25 until its cut-scene has run
    bool GoldCutsceneArmed = false;
    float ShotsFired = 0, ShotsHit = 0, HitRatio = 0;
    bool ShipCollisionsOff = false;
    bool ShipDestroyed = false;
    bool ExplosionActive = false;
    bool PlayerHitPending = false;
    std::array<bool, 64> TutorialSteps{};  // the tutorial's step flags
    int StationId = -1, Station2Id = -1;
    std::string StationMeshName = "spacestation";
    Vector StationPos{600, 100, -3100};
    int StationHitPoints = 100;
    int StationDamageLevel = 0;  // impacts on the station this level
    int ScoutId = -1, BattleshipId = -1, MothershipId = -1, LavaroidId = -1, VirtualMeshId = -1;
    int ActiveAsteroidTarget = 0;
    int ActiveAsteroidCount = 0;
    int LastCloseVoice = 0;  // 1 to 3, 0 before the first
    std::unique_ptr<clsFlamingAsteroid> FlamingAsteroid;
    bool FlamingLaunched = false;
    bool FlamingFirstWarned = false;
    bool FlamingWaitStarted = false;  // the wait before the current pass runs
    bool FlamingWarned = false;       // the current pass has been announced
    bool FlamingStationHit = false;   // the current pass has reached the station
    int FlamingAsteroidParticleId = -1;
    int ForceFieldTexture = -1;
};
extern LevelRecord Level;

// The player's ship: its motion, hull, camera axes and shield.
struct ShipRecord {
    float ShipSpeed = 0, ShipAccel = 0.1f, ShipDrag = 0.1f, BoostAccel = 0.25f, CruiseTopSpeed = 20,
          ShipMaxSpeed = 25, MaxTurnRate = 20;
    float HullDamage = 1, HullCapacity = 100;
    CamBasisRec CamBasis;
    AxisSet CamAxes;
    float ShotHitMargin = 15;
    bool Invincible = false;
    float ShieldDamage = 0;  // 0 is a full shield
    float ShieldMax = 0;
    bool InForceField = false;
};
extern ShipRecord Ship;

// The ship's weapons: each projectile weapon's shots, the energy stores and the gravity beam.
struct ArsenalRecord {
    std::array<ShotRec, 15> PlasmaShots, LaserShots, IonShots, MionShots, EplasShots, GammaShots;
    std::array<ShotRec, 71> DisperseShots;
    std::array<int, 65> MionAnimMeshes = NoIds<65>();  // 1 to 64
    std::array<int, 65> EPlasmaMeshes = NoIds<65>();   // 1 to 64
    std::array<WeaponEnergyRecord, 9> WeaponEnergy;    // index = weapon, 1 to 7 used
    bool InfiniteEnergy = false;
    int CapacityLevel = 1;  // 1 to 4
    bool CapacityApplied = false;
    bool FastRecharge = false;
    std::unique_ptr<clsZeroPoint> GravityBeam;
    bool EnergyTableReady = false;
    bool RefillDone = false;
    float CapacityFactor = 0;
    float RepairTimer = 0;
    bool Repairing = false;
};
extern ArsenalRecord Arsenal;

// The mothership boss.
struct MothershipRecord {
    bool MothershipLevel = false, MothershipInbound = false, MothershipArriving = false,
         MothershipArmed = false, MothershipInRange = false, MothershipBreakingUp = false,
         MothershipCharging = false, MothershipFireReady = false, MothershipKillHold = false;
    double MothershipStartTime = 0, MothershipKillTime = 0;
    float MothershipEnergy = 10000, MothershipEnergyMax = 10000, MothershipChargeInterval = 1;
    double MothershipChargeTime = 0;
    int MothershipShotSlot = 1, MothershipChargeStep = 1;
    double MothershipChargeStepTime = 0, MothershipBreakupStart = 0;
    bool MothershipMusicOn = false;
};
extern MothershipRecord Mothership;

// The giant asteroid boss.
struct GiantAsteroidRecord {
    bool GiantAsteroidPending = false, GiantAsteroidFlying = false, GiantAsteroidActive = false;
    float GiantAsteroidHP = 0, GiantAsteroidHPMax = 0;
    int GiantAsteroidId = -1;
    Vector GiantAsteroidStart;
};
extern GiantAsteroidRecord GiantAsteroid;

// The scout, and the lightning it shares with the battleship.
struct ScoutRecord {
    bool ScoutActive = false;
    int ScoutState = 0;
    float ScoutHP = 2000;
    int ScoutNextLevel = 2;
    double ScoutShotTime = 0, ScoutL50Timer = 0;
    int ScoutShotSlot = 1;
    int LightningFrame = 1;  // 1 to 4, shared by the scout and the battleship
    double LightningFrameTime = 0;
    bool LightningSoundPlayed = false;
};
extern ScoutRecord Scout;

// The battleship boss.
struct BattleshipRecord {
    bool BattleshipActive = false, BattleshipPending = false, BattleshipDestroyed = false,
         BattleshipLeaveSoundPlayed = false, BattleMusicStarted = false;
    int BattleshipNextLevel = 4;
    double BattleshipTimer = 0, BattleshipShotTime = 0, BattleshipBurstTime = 0;
    double BattleshipHP = 0, BattleshipHPMax = 0;
    int BattleshipShotSlot = 1, BattleshipGunSide = 0;
};
extern BattleshipRecord Battleship;

// The alien fighters (entries 1 to 10), their two waves and the steering of the one in hand.
struct AlienFleetRecord {
    std::array<AlienShip, 11> Aliens;
    int AlienShotSpeed = 35;
    int FirstWaveShipType = 1;
    int SecondWaveShipType = 1;
    // Wave state of the per-frame alien update, cleared by every load.
    float Wave1Timer = 0, Wave2Timer = 0;
    bool Wave1Started = false, Wave2Started = false, Wave2Pending = false;
    // Direction values of the ship being updated.
    float RearDistance = 0, BeyondDistance = 0, FacingMeasure = 0, TrialFacingMeasure = 0, TurnRate = 0;
    bool FacingTarget = false;
};
extern AlienFleetRecord AlienFleet;

// The power-ups: which run, their meshes and timers, and the kill count that drops them.
struct PowerUpRecord {
    std::array<double, 5> PowerUpStart{};           // kinds 1 to 4
    std::array<bool, 5> PowerUpOn{};                // kinds 1 to 4
    std::array<int, 5> PowerUpMeshes = NoIds<5>();  // 1 to 4
    std::array<double, 5> DropTime{};
    int KillCount = 0;
    int DropThreshold = 0;
    int DropKind = 0;
    int LastDropKind = 0;
    bool BobUp = false;
    double BobTime = 0;
};
extern PowerUpRecord PowerUps;

// Calls the lower folders make into the ones above them: the combat and the effects
// never include the game run, nor the effects the combat. Filled in once, where the
// records are defined (game/state.cpp).
struct CallbackRecord {
    void (*CheckLevelComplete)();      // the game run: the level may be complete
    void (*ExplodeShip)();             // the game run: the ship is lost
    void (*ExplodeStation)();          // the game run: the station is lost, the ship with it
    void (*ResetCamera)();             // the game run: the cameras back to their start
    void (*CheckShield)();             // the game run: the shield after a hit
    void (*LoadAlienShips)();          // the combat: the alien fighters' meshes
    void (*LoadForceFieldAndRadar)();  // the combat: the force field's and the radar's meshes
};
extern const CallbackRecord Callbacks;

}  // namespace quorvel
