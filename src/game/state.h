#pragma once
// The game run's shared state: every record type and module-level variable that more
// than one part of the game (game run, level assets and effects, combat) reads or
// writes. Each is defined once in state.cpp. Flags are bool, engine ids int (-1 is
// none), counters and levels int, single-precision values float.
//
// The detail and particle settings (GraphicsLevel, ParticleLevel) live with the main
// menu, which copies them from the options too (shell/main_menu.h).

#include <array>
#include <memory>
#include <string>

#include "common/common.h"
#include "platform/engine/records.h"
#include "platform/engine/types.h"

namespace quorvel {

class clsDirectSound8;
class clsDSWave8;
class clsFlamingAsteroid;
class clsZeroPoint;
class clsSWave;

// ---- Records ------------------------------------------------------------------------

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

// ---- Per-run objects ----------------------------------------------------------------

extern std::unique_ptr<clsDirectSound8> SoundDevice;
extern std::array<std::unique_ptr<clsDSWave8>, 20> PositionalSounds;
extern std::unique_ptr<clsFlamingAsteroid> FlamingAsteroid;

// ---- Level, money, possessions --------------------------------------------------------

constexpr int LevelCountMax = 50;
constexpr int AsteroidRecords = 250;

extern std::array<LevelRec, LevelCountMax + 1> LevelTable;  // index 0 not used
extern int StartingLevel;
extern int CurrentLevel;  // while a level loads it still holds the previous level
extern bool GameRunning;
extern bool GameWon;
extern double Money;
extern bool OwnsIon, OwnsMion, OwnsEplas, OwnsDisperse, OwnsGamma, OwnsGravBeam;
extern int CurrentWeapon;  // 1 to 8
extern int DifficultyLevel;
extern float DifficultyFactor;

// ---- Timing and screen ----------------------------------------------------------------

extern float FrameFactor;
extern double FrameStartTime;  // wall clock, seconds since midnight
extern int ScreenWidth, ScreenHeight, ScreenDepth;
extern int ScreenCentreX, ScreenCentreY;
extern float ScaleX, ScaleY;
extern int MiniViewWidth, MiniViewHeight;

// ---- The level --------------------------------------------------------------------------

extern int AsteroidCount;
extern int AsteroidsLeft;
extern float LevelSpeedFactor;
extern int LevelKindCount;
extern std::array<AsteroidRec, AsteroidRecords + 2> Asteroids;  // 1 to 250 (+1 spare)
extern double LevelStartTime;
extern float LevelTimeLimit;
extern std::array<double, 5> PowerUpStart;  // kinds 1 to 4
extern bool CutsceneRunning;
extern bool GoldShipStarted;
extern bool CutsceneDone;  // false on level 25 until its cut-scene has run
extern bool GoldCutsceneArmed;
extern bool FlamingLaunched;
extern bool FlamingFirstWarned;
extern float ShotsFired, ShotsHit, HitRatio;
extern bool ShipCollisionsOff;
extern bool ShipDestroyed;
extern bool ExplosionActive;
extern bool PlayerHitPending;
extern bool MusicPollDue;

// ---- Level end, warp-out, game won -----------------------------------------------------

extern bool LevelEnding;     // the level is finished and the warp-out runs
extern int WarpOutStart;     // FrameStartTime in whole seconds when the warp-out began
extern Vector ShipPos;       // the camera position when the warp-out began
extern float TimeLeft;       // seconds left for the time bonus, at least 1
extern double LevelBonus;    // the bonus paid at the level's end
extern bool GameWonStarted;  // the game-won pages are showing
extern int GameWonPage;      // 1 to 4
extern double GameWonPageTime;
extern std::array<bool, 64> TutorialSteps;  // the tutorial's step flags

// ---- Ship ----------------------------------------------------------------------------

extern float ShipSpeed, ShipAccel, ShipDrag, BoostAccel, CruiseTopSpeed, ShipMaxSpeed, MaxTurnRate;
extern float HullDamage, HullCapacity;
extern CamBasisRec CamBasis;
extern AxisSet CamAxes;
extern float ShotHitMargin;

// ---- Projectiles ---------------------------------------------------------------------

extern std::array<ShotRec, 15> PlasmaShots, LaserShots, IonShots, MionShots, EplasShots, GammaShots;
extern std::array<ShotRec, 71> DisperseShots;
extern std::array<int, 65> MionAnimMeshes;  // 1 to 64
extern std::array<int, 65> EPlasmaMeshes;   // 1 to 64

// ---- Effects ----------------------------------------------------------------------------

extern std::array<SparkRec, 21> Sparks;       // 1 to 20
extern std::array<SmokeRec, 13> SmokeFx;      // 1-4 station, 5-8 mothership, 9-12 battleship
extern std::array<DebrisRec, 11> ShipDebris;  // only entry 2 is used
extern std::array<PointerSlot, 21> HudPointers;
extern std::array<int, 65> ExplosionSprites;  // 1 to 64
extern std::array<int, 7> ExplosionTextures;  // 1 to 6
extern int ExplosionMode;
extern bool ExplosionRepick;
extern std::array<int, 5> PowerUpMeshes;  // 1 to 4
extern int FlamingAsteroidParticleId;

// ---- Stations and special enemies ----------------------------------------------------------

extern int StationId, Station2Id;
extern std::string StationMeshName;
extern Vector StationPos;
extern int StationHitPoints;
extern int StationDamageLevel;  // impacts on the station this level
extern int ScoutId, BattleshipId, MothershipId, LavaroidId, VirtualMeshId;

extern bool MothershipLevel, MothershipInbound, MothershipArriving, MothershipArmed, MothershipInRange,
    MothershipBreakingUp, MothershipCharging, MothershipFireReady, MothershipKillHold;
extern double MothershipStartTime, MothershipKillTime;
extern float MothershipEnergy, MothershipEnergyMax, MothershipChargeInterval;
extern double MothershipChargeTime;
extern int MothershipShotSlot, MothershipChargeStep;

extern bool GiantAsteroidPending, GiantAsteroidFlying, GiantAsteroidActive;
extern float GiantAsteroidHP, GiantAsteroidHPMax;
extern int GiantAsteroidId;
extern Vector GiantAsteroidStart;

extern bool ScoutActive;
extern int ScoutState;
extern float ScoutHP;
extern int ScoutNextLevel;
extern double ScoutShotTime, ScoutL50Timer;
extern int ScoutShotSlot;

extern bool BattleshipActive, BattleshipPending, BattleshipDestroyed, BattleshipLeaveSoundPlayed,
    BattleMusicStarted;
extern int BattleshipNextLevel;
extern double BattleshipTimer, BattleshipShotTime, BattleshipBurstTime;
extern double BattleshipHP, BattleshipHPMax;
extern int BattleshipShotSlot, BattleshipGunSide;

// ---- Aliens (entries 1 to 10) ------------------------------------------------------------

extern std::array<AlienShip, 11> Aliens;
extern int AlienShotSpeed;

// ---- Weapon energy, shield, force fields -----------------------------------------------------

extern std::array<WeaponEnergyRecord, 9> WeaponEnergy;  // index = weapon, 1 to 7 used
extern bool InfiniteEnergy;
extern int CapacityLevel;  // 1 to 4
extern bool CapacityApplied;
extern bool Invincible;
extern float ShieldDamage;  // 0 is a full shield
extern float ShieldMax;
extern bool FastRecharge;
extern bool InForceField;
extern int ForceFieldTexture;

// ---- Effects and HUD: shock waves, break-up, flip-book, sparks, starscape --------------

// The run's shock waves: big explosions ("shock"), the mothership ("shock2") and one
// per projectile weapon ("wepshock" 1 to 7, index = weapon).
extern std::unique_ptr<clsSWave> ShockWave;
extern std::unique_ptr<clsSWave> MothershipShockWave;
extern std::array<std::unique_ptr<clsSWave>, 8> WeaponShockWaves;

extern bool BreakupRunning;
extern int BreakupKind;
extern int PrevBreakupKind;  // 0: no fragment set shown yet
extern double BreakupStartTime;
extern bool BreakupFading;
extern float BreakupFade;

extern int FlipFrame;    // next flip-book sprite, 1 to 65
extern float FlipTimer;  // starts high so the run's first explosion steps at once
extern bool SparksActive;
extern float SparkTimer;

extern int StarscapeIndex;  // 1 or 2
extern Vector StarscapeAnchor;
extern std::array<RayRec, 5> BeamQuad;

extern std::array<bool, 5> PowerUpOn;  // kinds 1 to 4

// ---- Enemies: boss, scout and battleship timelines ---------------------------------------
extern double MothershipChargeStepTime, MothershipBreakupStart;
extern bool MothershipMusicOn;
extern int LightningFrame;  // 1 to 4, shared by the scout and the battleship
extern double LightningFrameTime;
extern bool LightningSoundPlayed;
// ---- Weapons' targets: gravity beam, flaming asteroid, asteroid budget ------------------

extern std::unique_ptr<clsZeroPoint> GravityBeam;
extern bool FlamingWaitStarted;  // the wait before the current pass runs
extern bool FlamingWarned;       // the current pass has been announced
extern bool FlamingStationHit;   // the current pass has reached the station
extern int ActiveAsteroidTarget;
extern int ActiveAsteroidCount;
extern int LastCloseVoice;  // 1 to 3, 0 before the first

// ---- Frame loop and the screens it chains into ----------------------------------------------

extern bool MenuRequested;     // the pause or game-over menu shows this frame
extern bool ShopRequested;     // the weapon shop shows this frame
extern bool DeathDone;         // the ship-death sequence has finished
extern float EscTimer;         // Escape re-arms above 5
extern bool OutOfBounds;       // the bounds sequence runs; aliens are warned in
extern bool FlybyActive;       // the alien fly-by attack runs
extern bool QuickSaveLatch;    // F5 was pressed; the quick save runs at the frame's end
extern bool LastFightStarted;  // the level-50 battle music has started
extern float MusicPollTimer;
extern bool RewardSoundPlayed;  // a "reward" sound played; the next-weapon hint shows
extern double RewardTime;       // FrameStartTime when it played
extern bool IntroSeen;          // the intro has played in this program run
extern std::string TutorialHint;
extern double TutorialClock;
extern float MouseSensitivity;
extern int PadIndex;
extern bool GamePadOn;
extern float PadToggleTimer;
extern bool MiniViewShown, MiniViewLarge;  // the rear view and its size
extern float ProbeReach;                   // reach of the probe rays beyond the ship's speed
extern std::array<RayRec, 9> ProbeRays;    // 0 straight back from the camera, 1 to 8 around it
extern Vector CamPosNow;                   // the camera position after this frame's steering

// ---- Frame loop: this frame's limits ------------------------------------------------------
extern float ForwardLimit, ReverseLimit;  // speed limits of the frame: +/- FrameFactor x CruiseTopSpeed

// ---- Flight controls, camera and the gravity beam's control ------------------------------
// Steering rates of this frame; each moves back to 0 while its Driven flag is set.
extern float PitchRate, YawRate, RollRate, StrafeRate;
extern bool PitchDriven, YawDriven, RollDriven, StrafeDriven;
extern bool SpeedDriven;  // the ship coasts: ShipSpeed decays to 0
extern float BrakeRate;
extern bool CollisionFlash;  // a probe collision's shield flash is due or running
extern bool BumpActive;      // the ship has just bounced off something
extern float BumpTimer;
extern int LastCollisionMesh;  // engine id of what the probe rays struck last
extern bool GravBeamSelected;  // weapon 8 is chosen
extern bool GravBeamFiring;    // fire is held with weapon 8 this frame
extern bool ThrowArmed;        // fire was let go while holding: the next press throws
extern int GrabCandidate;      // the last probe hit looked at for a grab
extern std::array<RayRec, 5> ThrowRays;

// ---- Station defence, ship destruction, bounds, fly-by ------------------------------------------

extern bool NearStation;                     // the camera is within 2500 of the station
extern float CloseVoiceTimer;                // gate of the voice warning of asteroids near the station
extern RayRec ForwardRay;                    // the ray of the sideways collision test
extern std::array<HitInfoRec, 1> ProbeHits;  // what that ray met
extern bool DeathSeqFlag;                    // the ship's explosion has started
extern bool ShipWreckPlaced;                 // the wreck of this loss is in place (one per loss)
extern bool PastWarnBound;                   // beyond 12000 on an axis
extern bool TooFarSounded;                   // the too-far warning runs until the ship comes back in
extern bool WarningSounded;                  // the enforcer's warning has played
extern bool FlybySounded;                    // the fly-by's opening sounds have played
extern int FlybyShotCount;                   // further shots sounded, at most 3
extern bool FlybyShipHit;                    // the enforcer has reached the ship
extern double FlybyExplosionTime;            // FrameStartTime when the ship's explosion began
extern bool FlybyExplosionOver;              // that explosion has ended

// ---- Cut-scenes and the tutorial's pacing ------------------------------------------------

extern bool EndCutsceneStarted;      // the end cut-scene has begun
extern double CutsceneStartTime;     // FrameStartTime when the gold-ship cut-scene began
extern double EndCutsceneStartTime;  // FrameStartTime when the end cut-scene began
extern float CutsceneAngle;          // the orbit's angle in degrees; carries on between cut-scenes
extern Vector CutsceneCamPos;
extern bool GoldHyperspacePlayed, EndHyperspacePlayed;  // each cut-scene's jump sound has started
extern bool StepWaitActive, StepWaitSeen;               // the tutorial's one pacing timer
extern double StepWaitStart;
extern float StepWaitLength;

// ---- In-game menus, the weapon shop and the pause ---------------------------------------------

extern MouseState GameMouse;      // the menus' copy of the mouse, read at each call
extern int GameMenuX, GameMenuY;  // the pointer in the space of the list under test
extern bool InGameHoverSounded;   // "click" has sounded for the item under the pointer
extern int MenuChoice;            // item under the pointer this frame, from 1; 0 none
extern float MenuClickTimer;      // a click counts only above 3 (menus and shop)
extern bool HelpShown;            // the help picture replaces the menu picture
extern bool GameOverMusicOn;      // the game-over clip has started; a restart re-arms it
extern double PauseLastTime;      // FrameStartTime of the menu's previous frame
extern int ShopChoice;            // the shop item last pointed at, 1 to 9

// ---- In-game menus: hit lists, pointer, save and load slots -----------------------------------

// The in-game hit lists: 0 pause menu, 1 game-over menu, 2 weapon shop, 3 save and load
// slots. CreateInGameMenus fills them once per run.
extern std::array<clsMenu, 4> InGameMenus;

}  // namespace quorvel
