#pragma once
// What the rest of the game may call of the game run and its campaign. The run's own
// records are in game/state.h, those the folders share in common/world.h.

#include <array>
#include <string>

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
// Starts reading the pictures and models a run's scene is built from, at the detail
// level the run will read, on background threads: the pause before a run starts
// does the decoding that LoadLevel would otherwise wait for. The run's start lets go
// of whatever it did not use.
void PrefetchLevelFiles();

// ---- Weapons of the run ------------------------------------------------------------------
// Record 0 of each shot array: reload rate, damage, shot speed, reload 0.
void SetWeaponStartValues();
// Every weapon's reload grows by FrameFactor x ReloadRate; once per frame during play.
void AdvanceWeaponReload();

// ---- Level end and game won ---------------------------------------------------------------
// Ends the level when every goal of it is met: pays the level bonus, plays the jingle
// and starts the warp-out. Nothing while the level is already ending.
void CheckLevelComplete();
// TimeLeft, HitRatio and LevelBonus of the level as it stands now.
void ComputeLevelBonus();
// The end of the gold-ship or end cut-scene completes its level: the bonus, the
// warp-out and LevelEnding (once).
void FinishCutsceneLevel();
// Shows the player's ship where the camera is; leaving level 1 takes the money and the
// bought weapons.
void StartShipWarpOut();
// One frame of the warp-out while LevelEnding is set; more than 7 s after it began the
// next level starts.
void RunLevelTransition();
// One frame of the game-won pages while GameWon is set; Enter turns a page, and the
// Enter on the fourth ends the program.
void ShowGameWon();

// ---- The run and its frame loop (run.cpp, frame_loop.cpp) -------------------------------
// One frame of the game run: phases A, B and C, the screens it chains into, the end of
// frame. PlayLevel runs it for as long as the program lives.
void RunGameFrame();
// The ship's flight in a frame's play, as RunGameFrame runs it: the speed limits of the
// frame factor, the steering and the camera; then `between` (the frame loop's own
// collisions, aliens, level end and weapon stores), and only when it gives true (or is
// null) the tuning keys, the ship's axes and probe rays, the lens flare, the probe
// collisions, the weapon reload, the ship's commands, the shots and the rear view. True
// when the flight ran to its end. The frame must have begun; nothing is drawn.
bool RunShipFlight(bool (*between)() = nullptr);
// Picks which targets the HUD pointers follow this frame.
void SelectHudTargets();

// ---- Flight controls and camera (flight.cpp, gravity_beam_control.cpp) ----------------------
// Puts the player's ship holder back at the origin and the main camera to its view.
void ResetCamera();
// Rebuilds CamBasis from the main camera.
void UpdateCameraVectors();
// Puts the pointer back at the point the steering reads as no movement. A screen that
// let the player move the pointer calls it when it closes, or its first steering frame
// would read the way to wherever the pointer was left as one big turn.
void CentreSteeringPointer();
// The ship at rest: no speed, no turn, roll or strafe, no collision bounce or flash.
void StopShip();
// The flight state a run starts with (speeds, messages, collision flag, mini view).
void ResetFlightState();
void SteerShip();                 // mouse, re-centring, game pad: pitch and yaw
void HandleTuningKeys();          // the weapon-tuning keys
void UpdateLensFlare();           // is the sun hidden behind something
void ProbeCollisionsAndPickup();  // probe rays against the scene, power-up pickup
void HandleShipCommands();        // thrust, brake, roll, strafe, keys, weapons, movement
void RunGravityBeamControl();     // grab, hold, throw with the gravity beam
void UpdateMiniView();            // the rear view
void SwitchMiniCameraOff();
void DrawCollisionFlash();
void DrawFlightMessages();  // sensitivity and game-pad messages, the rear view's frame

// ---- Station defence, ship destruction, bounds, fly-by ----------------------------------------
void CheckShipCollisions();
void CheckShield();
void BuildProbeRays();
// Sets distance to 0 when the way ahead is blocked.
void CheckForwardCollision(float& distance);
// The player's ship is lost: hides the ship and shows its debris.
void ExplodeShip();
// The station is lost (and the ship with it): the destruction sequence shows the station
// going up.
void ExplodeStation();
// One frame of the ship's death; sets done once the explosion has ended.
void RunShipDeath(bool& done);
void AnimateShipDebris();
void CheckPlayfieldBounds();
void AlienApproachWarning();
void AlienFlybyAttack();
// Clears the bounds, warning and fly-by state (a run's start, a restart, a load).
void ClearBoundsAndFlyby();

// ---- In-game screens: save, load, menus, shop, options ------------------------------------------
void CreateInGameMenus();
// Slot 0 saves straight into the quick-save slot; above 0 shows the list and returns the
// chosen slot in slot.
void SaveGameMenu(int& slot);
// Slot 0 loads the quick save; above 0 shows the list. Reload: put the values into the
// running game.
void LoadGameMenu(int slot, bool reload);
void RunPauseMenu();
void RunWeaponShop();
void ShowLevelOptions();

// ---- Intro, cut-scenes, tutorial ------------------------------------------------------------------
// The intro, then a game run of its own from level 1.
void PlayIntro();
void StartGoldShipCutscene();
void UpdateGoldShipCutscene();
void StartEndCutscene();
void UpdateEndCutscene();
// From here on the second station is the one defended.
void SwitchToStation2();
void RunTutorialSteps();
// The intro's own textures and its eight models, placed.
void LoadIntroTextures();
void LoadIntroMeshes();
// The tutorial's pacing timer: a positive wait of that many seconds starts when none
// runs; -1 probes. True once the running wait is over.
bool TutorialWaitStep(float seconds);

// ---- Save slot lists (the in-game save and load menus, the main menu's load screen) ----------
using SaveSlotList = std::array<SaveSlotContents, SaveSlotCount>;
// Every slot as it stands; reading creates no file.
SaveSlotList ReadSaveSlots();
// A row of a slot list: "0--Quick Save - Level:  12", "4--Save - empty", "7--Save - damaged".
std::string SaveSlotRowText(int slot, const SaveSlotContents& contents);

// Where a slot list shows, over the running scene, and the globals it works with: the
// hit rows (screen pixels), the mouse copy and pointer, the hover flag and the screen
// metrics.
struct SlotListPlace {
    const clsMenu& rows;
    MouseState& mouse;
    int& pointerX;
    int& pointerY;
    bool& hoverSounded;
    float centreX = 0, centreY = 0, scaleX = 1, scaleY = 1;
};
// The in-game lists' place: the pause menu's slot rows over the running level.
SlotListPlace InGameSlotListPlace();
// The save list's green, also that of the save's message after it.
inline constexpr Colour SaveListGreen{62, 254, 145, 255};
// The load list: yellow text with a blue shadow, only good slots can be chosen. The
// save list: green text under a longer title, any slot can be saved over.
enum class SlotListUse { Load, Save };
// Ends the caller's frame and shows the list, a frame per pass, until a digit key or a
// click on a row picks a slot that can be chosen (true, into `slot`) or Escape leaves it
// (false); digits are tested 0 to 9 and Escape last, the last that holds wins. Returns
// with a frame begun and the scene rendered.
bool RunSaveSlotList(const SlotListPlace& place, SlotListUse use, const SaveSlotList& slots, int& slot);

}  // namespace quorvel
