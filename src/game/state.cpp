#include "game/state.h"

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"

namespace quorvel {

std::unique_ptr<clsDirectSound8> SoundDevice;
std::array<std::unique_ptr<clsDSWave8>, 20> PositionalSounds;
std::unique_ptr<clsFlamingAsteroid> FlamingAsteroid;

std::array<LevelRec, LevelCountMax + 1> LevelTable;
int StartingLevel = 0;
int CurrentLevel = 0;
bool GameRunning = false;
bool GameWon = false;
double Money = 0;
bool OwnsIon = false, OwnsMion = false, OwnsEplas = false, OwnsDisperse = false, OwnsGamma = false,
     OwnsGravBeam = false;
int CurrentWeapon = 1;
int DifficultyLevel = 2;
float DifficultyFactor = 0.875f;

float FrameFactor = 0;
double FrameStartTime = 0;
int ScreenWidth = 0, ScreenHeight = 0, ScreenDepth = 0;
int ScreenCentreX = 0, ScreenCentreY = 0;
float ScaleX = 1, ScaleY = 1;
int MiniViewWidth = 250, MiniViewHeight = 210;

int AsteroidCount = 0;
int AsteroidsLeft = 0;
float LevelSpeedFactor = 0;
int LevelKindCount = 0;
std::array<AsteroidRec, AsteroidRecords + 2> Asteroids;
double LevelStartTime = 0;
float LevelTimeLimit = 0;
std::array<double, 5> PowerUpStart{};
bool CutsceneRunning = false;
bool GoldShipStarted = false;
bool CutsceneDone = false;
bool GoldCutsceneArmed = false;
bool FlamingLaunched = false;
bool FlamingFirstWarned = false;
float ShotsFired = 0, ShotsHit = 0, HitRatio = 0;
bool ShipCollisionsOff = false;
bool ShipDestroyed = false;
bool ExplosionActive = false;
bool PlayerHitPending = false;
bool MusicPollDue = false;
std::array<bool, 64> TutorialSteps{};

bool LevelEnding = false;
int WarpOutStart = 0;
Vector ShipPos;
float TimeLeft = 1;
double LevelBonus = 0;
bool GameWonStarted = false;
int GameWonPage = 1;
double GameWonPageTime = 0;

float ShipSpeed = 0, ShipAccel = 0.1f, ShipDrag = 0.1f, BoostAccel = 0.25f, CruiseTopSpeed = 20,
      ShipMaxSpeed = 25, MaxTurnRate = 20;
float HullDamage = 1, HullCapacity = 100;
CamBasisRec CamBasis;
AxisSet CamAxes;
float ShotHitMargin = 15;

std::array<ShotRec, 15> PlasmaShots, LaserShots, IonShots, MionShots, EplasShots, GammaShots;
std::array<ShotRec, 71> DisperseShots;
std::array<int, 65> MionAnimMeshes = NoIds<65>();
std::array<int, 65> EPlasmaMeshes = NoIds<65>();

std::array<SparkRec, 21> Sparks;
// The station's smoke points start where the level start puts them for the first
// station, so a level that does not set them (level 1) still has them on the hull.
std::array<SmokeRec, 13> SmokeFx = [] {
    std::array<SmokeRec, 13> s{};
    s[1].Pos = {456, -82, -3252};
    s[2].Pos = {323, 340, -3300};
    s[3].Pos = {648.8f, 147.2f, -3052};
    s[4].Pos = {877, 458.4f, -3099};
    return s;
}();
std::array<DebrisRec, 11> ShipDebris;
std::array<PointerSlot, 21> HudPointers;
std::array<int, 65> ExplosionSprites = NoIds<65>();
std::array<int, 7> ExplosionTextures = NoIds<7>();
int ExplosionMode = 1;
bool ExplosionRepick = false;
std::array<int, 5> PowerUpMeshes = NoIds<5>();
int FlamingAsteroidParticleId = -1;

int StationId = -1, Station2Id = -1;
std::string StationMeshName = "spacestation";
Vector StationPos{600, 100, -3100};
int StationHitPoints = 100;
int StationDamageLevel = 0;
int ScoutId = -1, BattleshipId = -1, MothershipId = -1, LavaroidId = -1, VirtualMeshId = -1;

bool MothershipLevel = false, MothershipInbound = false, MothershipArriving = false, MothershipArmed = false,
     MothershipInRange = false, MothershipBreakingUp = false, MothershipCharging = false,
     MothershipFireReady = false, MothershipKillHold = false;
double MothershipStartTime = 0, MothershipKillTime = 0;
float MothershipEnergy = 10000, MothershipEnergyMax = 10000, MothershipChargeInterval = 1;
double MothershipChargeTime = 0;
int MothershipShotSlot = 1, MothershipChargeStep = 1;

bool GiantAsteroidPending = false, GiantAsteroidFlying = false, GiantAsteroidActive = false;
float GiantAsteroidHP = 0, GiantAsteroidHPMax = 0;
int GiantAsteroidId = -1;
Vector GiantAsteroidStart;

bool ScoutActive = false;
int ScoutState = 0;
float ScoutHP = 2000;
int ScoutNextLevel = 2;
double ScoutShotTime = 0, ScoutL50Timer = 0;
int ScoutShotSlot = 1;

bool BattleshipActive = false, BattleshipPending = false, BattleshipDestroyed = false,
     BattleshipLeaveSoundPlayed = false, BattleMusicStarted = false;
int BattleshipNextLevel = 4;
double BattleshipTimer = 0, BattleshipShotTime = 0, BattleshipBurstTime = 0;
double BattleshipHP = 0, BattleshipHPMax = 0;
int BattleshipShotSlot = 1, BattleshipGunSide = 0;

std::array<AlienShip, 11> Aliens;
int AlienShotSpeed = 35;

std::array<WeaponEnergyRecord, 9> WeaponEnergy;
bool InfiniteEnergy = false;
int CapacityLevel = 1;
bool CapacityApplied = false;
bool Invincible = false;
float ShieldDamage = 0;
float ShieldMax = 0;
bool FastRecharge = false;
bool InForceField = false;
int ForceFieldTexture = -1;

std::unique_ptr<clsSWave> ShockWave;
std::unique_ptr<clsSWave> MothershipShockWave;
std::array<std::unique_ptr<clsSWave>, 8> WeaponShockWaves;

bool BreakupRunning = false;
int BreakupKind = 0;
int PrevBreakupKind = 0;
double BreakupStartTime = 0;
bool BreakupFading = false;
float BreakupFade = 100;

int FlipFrame = 1;
float FlipTimer = 99;
bool SparksActive = false;
float SparkTimer = 0;

int StarscapeIndex = 1;
Vector StarscapeAnchor;
std::array<RayRec, 5> BeamQuad;

std::array<bool, 5> PowerUpOn{};

double MothershipChargeStepTime = 0, MothershipBreakupStart = 0;
bool MothershipMusicOn = false;
int LightningFrame = 1;
double LightningFrameTime = 0;
bool LightningSoundPlayed = false;
std::unique_ptr<clsZeroPoint> GravityBeam;
bool FlamingWaitStarted = false;
bool FlamingWarned = false;
bool FlamingStationHit = false;
int ActiveAsteroidTarget = 0;
int ActiveAsteroidCount = 0;
int LastCloseVoice = 0;

bool MenuRequested = false;
bool ShopRequested = false;
bool DeathDone = false;
float EscTimer = 0;
bool OutOfBounds = false;
bool FlybyActive = false;
bool QuickSaveLatch = false;
bool LastFightStarted = false;
float MusicPollTimer = 0;
bool RewardSoundPlayed = false;
double RewardTime = 0;
bool IntroSeen = false;
std::string TutorialHint;
double TutorialClock = 0;
float MouseSensitivity = 0.6f;
int PadIndex = 0;
bool GamePadOn = false;
float PadToggleTimer = 51;
bool MiniViewShown = false, MiniViewLarge = false;
float ProbeReach = 15;
std::array<RayRec, 9> ProbeRays;
Vector CamPosNow;

float ForwardLimit = 0, ReverseLimit = 0;
float PitchRate = 0, YawRate = 0, RollRate = 0, StrafeRate = 0;
bool PitchDriven = false, YawDriven = false, RollDriven = false, StrafeDriven = false;
bool SpeedDriven = false;
float BrakeRate = 0.1f;
bool CollisionFlash = false;
bool BumpActive = false;
float BumpTimer = 0;
int LastCollisionMesh = -1;
bool GravBeamSelected = false;
bool GravBeamFiring = false;
bool ThrowArmed = false;
int GrabCandidate = -1;
std::array<RayRec, 5> ThrowRays;
// Station defence, ship destruction, bounds, fly-by
bool NearStation = false;
float CloseVoiceTimer = 0;
RayRec ForwardRay;
std::array<HitInfoRec, 1> ProbeHits;
bool DeathSeqFlag = false;
bool ShipWreckPlaced = false;
bool PastWarnBound = false;
bool TooFarSounded = false;
bool WarningSounded = false;
bool FlybySounded = false;
int FlybyShotCount = 0;
bool FlybyShipHit = false;
double FlybyExplosionTime = 0;
bool FlybyExplosionOver = false;
bool EndCutsceneStarted = false;
double CutsceneStartTime = 0;
double EndCutsceneStartTime = 0;
float CutsceneAngle = 0;
Vector CutsceneCamPos;
bool GoldHyperspacePlayed = false, EndHyperspacePlayed = false;
bool StepWaitActive = false, StepWaitSeen = false;
double StepWaitStart = 0;
float StepWaitLength = 0;
MouseState GameMouse;
int GameMenuX = 0, GameMenuY = 0;
bool InGameHoverSounded = false;
int MenuChoice = 0;
float MenuClickTimer = 0;
bool HelpShown = false;
bool GameOverMusicOn = false;
double PauseLastTime = 0;
int ShopChoice = 1;
std::array<clsMenu, 4> InGameMenus;

}  // namespace quorvel
