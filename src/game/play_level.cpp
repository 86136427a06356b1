// A game run: the run's objects and scene are built once, the first level starts, and
// the frame loop runs for as long as the program lives.

#include "game/play_level.h"

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "common/texts.h"
#include "game/game.h"
#include "game/run_loop.h"
#include "game/state.h"
#include "platform/engine/prefetch.h"
#include "platform/system/clock.h"
#include "platform/system/convert.h"
#include "platform/system/frame_log.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"

namespace quorvel {
namespace {

int N(double value) {
    return int(sys::RoundHalfEven(value));
}

void MakeRunEngineObjects() {
    MeshObj = std::make_unique<EngineMeshes>();
    MaterialObj = std::make_unique<EngineMaterials>();
    TextureObj = std::make_unique<EngineTextures>();
    Draw2DObj = std::make_unique<EngineDraw2D>();
    SkyObj = std::make_unique<EngineSky>();
    AnimMeshObj = std::make_unique<EngineAnimatedModels>();
}

void MakePerRunObjects() {
    MakeShockWaves();
    Arsenal.GravityBeam = std::make_unique<clsZeroPoint>();
    Level.FlamingAsteroid = std::make_unique<clsFlamingAsteroid>();
    Campaign.SoundDevice = std::make_unique<clsDirectSound8>();
    Campaign.SoundDevice->Startup(Display.RenderWindow);
    for (auto& sound : Campaign.PositionalSounds)
        sound = std::make_unique<clsDSWave8>();
}

void SetShipStartValues() {
    Ship.ShipSpeed = 0;
    Ship.ShipAccel = 0.1f;
    Ship.ShipDrag = 0.1f;
    Ship.BoostAccel = 0.25f;
    Ship.CruiseTopSpeed = 20.0f;
    Ship.ShipMaxSpeed = 25.0f;
    Flight.MouseSensitivity = 0.6f;
    Ship.HullDamage = 1.0f;
    Ship.HullCapacity = 100.0f;
    Level.ExplosionActive = false;
    SetWeaponStartValues();
    Campaign.CurrentWeapon = 1;
    Level.ShipDestroyed = false;
}

// The run's event state: nothing of an earlier run may carry over into this one.
void ClearRunEvents() {
    ClearBoundsAndFlyby();
    LevelEnd.LevelEnding = false;
    Screens.MenuRequested = false;
    Screens.ShopRequested = false;
    Screens.DeathDone = false;
    Screens.QuickSaveLatch = false;
    Screens.EscTimer = 0;
    Ship.Invincible = false;
    ResetFlightState();
    LevelEnd.GameWonStarted = false;
    LevelEnd.GameWonPage = 1;
    Screens.LastFightStarted = false;
    Effects.FlipFrame = 1;
    Effects.FlipTimer = 99;
    Effects.StarscapeIndex = 1;
    Effects.StarscapeAnchor = Vector{};
    Level.AsteroidsLeft = Level.AsteroidCount;
}

void SetEnemyStartValues() {
    Scout.ScoutHP = 2000.0f;
    Level.StationHitPoints = 100;
    Mothership.MothershipEnergy = 10000.0f;
    Mothership.MothershipChargeTime = 0;
    Mothership.MothershipShotSlot = 1;
    Mothership.MothershipChargeStep = 1;
    Mothership.MothershipChargeInterval = 1.0f;
    Mothership.MothershipLevel = Mothership.MothershipArmed = Mothership.MothershipInRange =
        Mothership.MothershipBreakingUp = false;
    Mothership.MothershipInbound = Mothership.MothershipCharging = Mothership.MothershipFireReady =
        Mothership.MothershipKillHold = false;
    Level.ShipCollisionsOff = false;
    Battleship.BattleshipActive = Battleship.BattleshipPending = Battleship.BattleshipDestroyed = false;
    Scout.ScoutActive = false;
    AlienFleet.AlienShotSpeed = 35;
    Campaign.MusicPollDue = true;
    DrawEventLevels();
    Battleship.BattleshipTimer = Campaign.FrameStartTime;
}

void SetScreenMetrics() {
    CoreObj->GetScreenSize(Display.ScreenWidth, Display.ScreenHeight, Display.ScreenDepth);
    Display.ScreenCentreX = N(Display.ScreenWidth / 2.0);
    Display.ScreenCentreY = N(Display.ScreenHeight / 2.0);
    Display.ScaleX = float(Display.ScreenWidth) / 1280.0f;
    Display.ScaleY = float(Display.ScreenHeight) / 1024.0f;
}

void ShowMissionText() {
    const std::string& text = GameText("protect");
    const Vector2 centre{float(Display.ScreenWidth) / 2.0f, float(Display.ScreenHeight) / 2.0f};
    DrawFontText(text, centre, true);
    ShowFontMessage(text);
    DrawFontText(text, centre, false);
}

void SetUpGamePad() {
    Flight.PadIndex = 0;
    InputObj->OpenGamePad(Flight.PadIndex);
    InputObj->EnableGamePad(true);
    InputObj->SetupGamePadAxes(Flight.PadIndex);
    InputObj->SetupGamePadButtons(Flight.PadIndex);
    Flight.GamePadOn = Options.GamePadCheck.Value() == 1;
    Flight.PadToggleTimer = 51.0f;
}

}  // namespace

void DrawEventLevels() {
    const int L = Campaign.CurrentLevel;
    Scout.ScoutNextLevel = L > 2 ? L + N(2.0 * RandomRange() + 1.0) : 2;
    Battleship.BattleshipNextLevel = L + N(2.0 * RandomRange() + 2.0);
    if (Battleship.BattleshipNextLevel < 4 || L == 1) Battleship.BattleshipNextLevel = 4;
}

void TakeOwnedWeapons(const PlayLevelArgs& values) {
    Campaign.OwnsIon = values.ownsIon;
    Campaign.OwnsMion = values.ownsMion;
    Campaign.OwnsEplas = values.ownsEplas;
    Campaign.OwnsDisperse = values.ownsDisperse;
    Campaign.OwnsGamma = values.ownsGamma;
    Campaign.OwnsGravBeam = values.ownsGravBeam;
}

void StartGameRun(const PlayLevelArgs& start) {
    if (start.level == 1 && !Campaign.IntroSeen) PlayIntro();

    MakeRunEngineObjects();
    Campaign.FrameStartTime = sys::WallClock();
    Campaign.StartingLevel = start.level;
    Display.MiniViewWidth = 250;
    Display.MiniViewHeight = 210;
    Campaign.GameRunning = true;
    Level.AsteroidCount = 10;
    MakePerRunObjects();
    Display.GraphicsLevel = Options.Graphics.Value();

    Campaign.CurrentLevel = Campaign.StartingLevel - 1;
    LoadLevel();
    sys::FrameLogEventOnNextFrame("level-first-frame");

    Campaign.FrameStartTime = sys::WallClock();  // loading takes long
    Flight.ProbeReach = 15.0f;
    Ship.ShotHitMargin = 15.0f;
    SetShipStartValues();
    ClearRunEvents();

    Campaign.Money = start.money;
    TakeOwnedWeapons(start);
    Arsenal.CapacityLevel = start.capacityLevel;

    SetEnemyStartValues();
    Campaign.DifficultyLevel = Options.Difficulty.Value();
    ApplyAlienDifficulty();
    Flight.MouseSensitivity = float(Options.Slider1.Value()) * 0.12f;
    SetScreenMetrics();

    if (Campaign.StartingLevel > 25) SwitchToStation2();
    InitLevelTable();
    engine::DropPrefetched();  // the scene and the first level are loaded
    LoadFont(sys::ProgramFolder() + "\\tex\\font.jpg");
    ShowMissionText();

    if (Campaign.CurrentLevel == 1) {
        // The training level: the voice guides, and the money is the tutorial's own.
        if (DXAudioObj) DXAudioObj->PlayForeground2("tutorial\\tut1.wma");
        Tutorial.TutorialHint = GameText("welcome");
        Campaign.Money = 600000;
        Tutorial.TutorialClock = Campaign.FrameStartTime;
    }

    SetUpGamePad();
    Flight.MiniViewShown = Options.Graphics.Value() == 1;
    Flight.MiniViewLarge = false;
    ResetMothershipDebris();
    SetWeaponEnergy(0, 0);
    CentreSteeringPointer();
    ResetFrameLoop();
}

void PlayLevel(int level, bool ownsIon, bool ownsMion, bool ownsEplas, bool ownsDisperse, bool ownsGamma,
               double money, bool ownsGravBeam, int capacityLevel) {
    StartGameRun(
        {level, ownsIon, ownsMion, ownsEplas, ownsDisperse, ownsGamma, money, ownsGravBeam, capacityLevel});
    while (Campaign.GameRunning)
        RunGameFrame();
    // GameRunning is never cleared: a run ends only inside the screens it chains into.
    sys::EndProcess(0);
}

}  // namespace quorvel
