#pragma once
// The game run's own state, by concern: the ship's flight controls, the frame loop's
// screens, the in-game menus, the level's end and the cut-scenes, the tutorial's pacing,
// and the hazards around the station and the playfield. What the combat and the effects
// share with the run lives in common/world.h; both are defined in state.cpp. Flags are
// bool, engine ids int (-1 is none), counters and levels int, single-precision values
// float.

#include <array>
#include <string>

#include "common/common.h"
#include "common/world.h"
#include "platform/engine/records.h"
#include "platform/engine/types.h"

namespace quorvel {

// The flight controls of this frame: steering, probe rays, bumps, the game pad and the
// gravity beam's control.
struct FlightRecord {
    float MouseSensitivity = 0.6f;
    int PadIndex = 0;
    bool GamePadOn = false;
    float PadToggleTimer = 51;
    bool MiniViewShown = false, MiniViewLarge = false;  // the rear view and its size
    float ProbeReach = 15;                              // reach of the probe rays beyond the ship's speed
    std::array<RayRec, 9> ProbeRays;                    // 0 straight back from the camera, 1 to 8 around it
    Vector CamPosNow;                                   // the camera position after this frame's steering
    float ForwardLimit = 0, ReverseLimit = 0;  // speed limits of the frame: +/- FrameFactor x CruiseTopSpeed
    // Steering rates of this frame; each moves back to 0 while its Driven flag is set.
    float PitchRate = 0, YawRate = 0, RollRate = 0, StrafeRate = 0;
    bool PitchDriven = false, YawDriven = false, RollDriven = false, StrafeDriven = false;
    bool SpeedDriven = false;  // the ship coasts: ShipSpeed decays to 0
    float BrakeRate = 0.1f;
    bool CollisionFlash = false;  // a probe collision's shield flash is due or running
    bool BumpActive = false;      // the ship has just bounced off something
    float BumpTimer = 0;
    int LastCollisionMesh = -1;     // engine id of what the probe rays struck last
    bool GravBeamSelected = false;  // weapon 8 is chosen
    bool GravBeamFiring = false;    // fire is held with weapon 8 this frame
    bool ThrowArmed = false;        // fire was let go while holding: the next press throws
    int GrabCandidate = -1;         // the last probe hit looked at for a grab
    std::array<RayRec, 5> ThrowRays;
};
extern FlightRecord Flight;

// The screens the frame loop chains into, and its timers.
struct ScreensRecord {
    bool MenuRequested = false;     // the pause or game-over menu shows this frame
    bool ShopRequested = false;     // the weapon shop shows this frame
    bool DeathDone = false;         // the ship-death sequence has finished
    float EscTimer = 0;             // Escape re-arms above 5
    bool QuickSaveLatch = false;    // F5 was pressed; the quick save runs at the frame's end
    bool LastFightStarted = false;  // the level-50 battle music has started
    float MusicPollTimer = 0;
    bool RewardSoundPlayed = false;  // a "reward" sound played; the next-weapon hint shows
    double RewardTime = 0;           // FrameStartTime when it played
};
extern ScreensRecord Screens;

// The in-game menus, the weapon shop and the pause.
struct InGameMenuRecord {
    // The in-game hit lists: 0 pause menu, 1 game-over menu, 2 weapon shop, 3 save and load
    // slots. CreateInGameMenus fills them once per run.
    std::array<clsMenu, 4> InGameMenus;
    MouseState GameMouse;              // the menus' copy of the mouse, read at each call
    int GameMenuX = 0, GameMenuY = 0;  // the pointer in the space of the list under test
    bool InGameHoverSounded = false;   // "click" has sounded for the item under the pointer
    int MenuChoice = 0;                // item under the pointer this frame, from 1; 0 none
    float MenuClickTimer = 0;          // a click counts only above 3 (menus and shop)
    bool HelpShown = false;            // the help picture replaces the menu picture
    bool GameOverMusicOn = false;      // the game-over clip has started; a restart re-arms it
    double PauseLastTime = 0;          // FrameStartTime of the menu's previous frame
    int ShopChoice = 1;                // the shop item last pointed at, 1 to 9
};
extern InGameMenuRecord InGameMenu;

// The level's end, the warp-out, the game-won pages and the cut-scenes.
struct LevelEndRecord {
    bool LevelEnding = false;     // the level is finished and the warp-out runs
    int WarpOutStart = 0;         // FrameStartTime in whole seconds when the warp-out began
    Vector ShipPos;               // the camera position when the warp-out began
    float TimeLeft = 1;           // seconds left for the time bonus, at least 1
    double LevelBonus = 0;        // the bonus paid at the level's end
    bool GameWonStarted = false;  // the game-won pages are showing
    int GameWonPage = 1;          // 1 to 4
    double GameWonPageTime = 0;
    bool EndCutsceneStarted = false;  // the end cut-scene has begun
    double CutsceneStartTime = 0;     // FrameStartTime when the gold-ship cut-scene began
    double EndCutsceneStartTime = 0;  // FrameStartTime when the end cut-scene began
    float CutsceneAngle = 0;          // the orbit's angle in degrees; carries on between cut-scenes
    Vector CutsceneCamPos;
    bool GoldHyperspacePlayed = false,
         EndHyperspacePlayed = false;  // each cut-scene's jump sound has started
};
extern LevelEndRecord LevelEnd;

// The tutorial's hint and pacing.
struct TutorialRecord {
    std::string TutorialHint;
    double TutorialClock = 0;
    bool StepWaitActive = false, StepWaitSeen = false;  // the tutorial's one pacing timer
    double StepWaitStart = 0;
    float StepWaitLength = 0;
};
extern TutorialRecord Tutorial;

// Station defence, the ship's destruction, the playfield bounds and the fly-by.
struct HazardsRecord {
    // the camera is within 2500 of the station
    // Station defence, ship destruction, bounds, fly-by
    bool NearStation = false;
    float CloseVoiceTimer = 0;            // gate of the voice warning of asteroids near the station
    RayRec ForwardRay;                    // the ray of the sideways collision test
    std::array<HitInfoRec, 1> ProbeHits;  // what that ray met
    bool DeathSeqFlag = false;            // the ship's explosion has started
    bool ShipWreckPlaced = false;         // the wreck of this loss is in place (one per loss)
    bool StationLost = false;             // this loss is the station's: it is the one shown
    bool PastWarnBound = false;           // beyond 12000 on an axis
    bool TooFarSounded = false;           // the too-far warning runs until the ship comes back in
    bool OutOfBounds = false;             // the bounds sequence runs; aliens are warned in
    bool FlybyActive = false;             // the alien fly-by attack runs
    bool WarningSounded = false;          // the enforcer's warning has played
    bool FlybySounded = false;            // the fly-by's opening sounds have played
    int FlybyShotCount = 0;               // further shots sounded, at most 3
    bool FlybyShipHit = false;            // the enforcer has reached the ship
    double FlybyExplosionTime = 0;        // FrameStartTime when the ship's explosion began
    bool FlybyExplosionOver = false;      // that explosion has ended
};
extern HazardsRecord Hazards;

}  // namespace quorvel
