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
#include "shell/shell.h"

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
    GravityBeam = std::make_unique<clsZeroPoint>();
    FlamingAsteroid = std::make_unique<clsFlamingAsteroid>();
    SoundDevice = std::make_unique<clsDirectSound8>();
    SoundDevice->Startup(RenderWindowHandle());
    for (auto& sound : PositionalSounds)
        sound = std::make_unique<clsDSWave8>();
}

void SetShipStartValues() {
    ShipSpeed = 0;
    ShipAccel = 0.1f;
    ShipDrag = 0.1f;
    BoostAccel = 0.25f;
    CruiseTopSpeed = 20.0f;
    ShipMaxSpeed = 25.0f;
    MouseSensitivity = 0.6f;
    HullDamage = 1.0f;
    HullCapacity = 100.0f;
    ExplosionActive = false;
    SetWeaponStartValues();
    CurrentWeapon = 1;
    ShipDestroyed = false;
}

// The run's event state: nothing of an earlier run may carry over into this one.
void ClearRunEvents() {
    ClearBoundsAndFlyby();
    LevelEnding = false;
    MenuRequested = false;
    ShopRequested = false;
    DeathDone = false;
    QuickSaveLatch = false;
    EscTimer = 0;
    Invincible = false;
    ResetFlightState();
    GameWonStarted = false;
    GameWonPage = 1;
    LastFightStarted = false;
    FlipFrame = 1;
    FlipTimer = 99;
    StarscapeIndex = 1;
    StarscapeAnchor = Vector{};
    AsteroidsLeft = AsteroidCount;
}

void SetEnemyStartValues() {
    ScoutHP = 2000.0f;
    StationHitPoints = 100;
    MothershipEnergy = 10000.0f;
    MothershipChargeTime = 0;
    MothershipShotSlot = 1;
    MothershipChargeStep = 1;
    MothershipChargeInterval = 1.0f;
    MothershipLevel = MothershipArmed = MothershipInRange = MothershipBreakingUp = false;
    MothershipInbound = MothershipCharging = MothershipFireReady = MothershipKillHold = false;
    ShipCollisionsOff = false;
    BattleshipActive = BattleshipPending = BattleshipDestroyed = false;
    ScoutActive = false;
    AlienShotSpeed = 35;
    MusicPollDue = true;
    DrawEventLevels();
    BattleshipTimer = FrameStartTime;
}

void SetScreenMetrics() {
    CoreObj->GetScreenSize(ScreenWidth, ScreenHeight, ScreenDepth);
    ScreenCentreX = N(ScreenWidth / 2.0);
    ScreenCentreY = N(ScreenHeight / 2.0);
    ScaleX = float(ScreenWidth) / 1280.0f;
    ScaleY = float(ScreenHeight) / 1024.0f;
}

void ShowMissionText() {
    const std::string& text = GameTexts[std::size_t(GameTextIndex("protect"))];
    const Vector2 centre{float(ScreenWidth) / 2.0f, float(ScreenHeight) / 2.0f};
    DrawFontText(text, centre, true);
    ShowFontMessage(text);
    DrawFontText(text, centre, false);
}

void SetUpGamePad() {
    PadIndex = 0;
    InputObj->OpenGamePad(PadIndex);
    InputObj->EnableGamePad(true);
    InputObj->SetupGamePadAxes(PadIndex);
    InputObj->SetupGamePadButtons(PadIndex);
    GamePadOn = Options.GamePadCheck.Value() == 1;
    PadToggleTimer = 51.0f;
}

}  // namespace

void DrawEventLevels() {
    const int L = CurrentLevel;
    ScoutNextLevel = L > 2 ? L + N(2.0 * RandomRange() + 1.0) : 2;
    BattleshipNextLevel = L + N(2.0 * RandomRange() + 2.0);
    if (BattleshipNextLevel < 4 || L == 1) BattleshipNextLevel = 4;
}

void TakeOwnedWeapons(const PlayLevelArgs& values) {
    OwnsIon = values.ownsIon;
    OwnsMion = values.ownsMion;
    OwnsEplas = values.ownsEplas;
    OwnsDisperse = values.ownsDisperse;
    OwnsGamma = values.ownsGamma;
    OwnsGravBeam = values.ownsGravBeam;
}

void StartGameRun(const PlayLevelArgs& start) {
    if (start.level == 1 && !IntroSeen) PlayIntro();

    MakeRunEngineObjects();
    FrameStartTime = sys::WallClock();
    StartingLevel = start.level;
    MiniViewWidth = 250;
    MiniViewHeight = 210;
    GameRunning = true;
    AsteroidCount = 10;
    MakePerRunObjects();
    GraphicsLevel = Options.Graphics.Value();

    CurrentLevel = StartingLevel - 1;
    LoadLevel();
    sys::FrameLogEventOnNextFrame("level-first-frame");

    FrameStartTime = sys::WallClock();  // loading takes long
    ProbeReach = 15.0f;
    ShotHitMargin = 15.0f;
    SetShipStartValues();
    ClearRunEvents();

    Money = start.money;
    TakeOwnedWeapons(start);
    CapacityLevel = start.capacityLevel;

    SetEnemyStartValues();
    DifficultyLevel = Options.Difficulty.Value();
    ApplyAlienDifficulty();
    MouseSensitivity = float(Options.Slider1.Value()) * 0.12f;
    SetScreenMetrics();

    if (StartingLevel > 25) SwitchToStation2();
    InitLevelTable();
    engine::DropPrefetched();  // the scene and the first level are loaded
    LoadFont(sys::ProgramFolder() + "\\tex\\font.jpg");
    ShowMissionText();

    if (CurrentLevel == 1) {
        // The training level: the voice guides, and the money is the tutorial's own.
        if (DXAudioObj) DXAudioObj->PlayForeground2("tutorial\\tut1.wma");
        TutorialHint = GameTexts[std::size_t(GameTextIndex("welcome"))];
        Money = 600000;
        TutorialClock = FrameStartTime;
    }

    SetUpGamePad();
    MiniViewShown = Options.Graphics.Value() == 1;
    MiniViewLarge = false;
    ResetMothershipDebris();
    SetWeaponEnergy(0, 0);
    CentreSteeringPointer();
    ResetFrameLoop();
}

void PlayLevel(int level, bool ownsIon, bool ownsMion, bool ownsEplas, bool ownsDisperse, bool ownsGamma,
               double money, bool ownsGravBeam, int capacityLevel) {
    StartGameRun(
        {level, ownsIon, ownsMion, ownsEplas, ownsDisperse, ownsGamma, money, ownsGravBeam, capacityLevel});
    while (GameRunning)
        RunGameFrame();
    // GameRunning is never cleared: a run ends only inside the screens it chains into.
    sys::EndProcess(0);
}

}  // namespace quorvel
