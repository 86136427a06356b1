// Entry points of the game run that are not built yet: each is empty here until its
// own file takes it over.

#include "game/game.h"
#include "game/state.h"

namespace quorvel {

// The run and its frame loop
void RunGameFrame() {}
void SelectHudTargets() {}
void ReturnToMainMenu() {}

// Flight controls and camera
void ResetCamera() {}
void UpdateCameraVectors() {}
void ResetFlightState() {}
void SteerShip() {}
void HandleTuningKeys() {}
void UpdateLensFlare() {}
void ProbeCollisionsAndPickup() {}
void HandleShipCommands() {}
void RunGravityBeamControl() {}
void UpdateMiniView() {}
void SwitchMiniCameraOff() {}
void DrawCollisionFlash() {}
void DrawFlightMessages() {}

// Station defence, ship destruction, bounds, fly-by
void CheckShipCollisions() {}
void CheckShield() {}
void BuildProbeRays() {}
void CheckForwardCollision(float&) {}
void ExplodeShip() {}
void RunShipDeath(bool&) {}
void AnimateShipDebris() {}
void CheckPlayfieldBounds() {}
void AlienApproachWarning() {}
void AlienFlybyAttack() {}
void ClearBoundsAndFlyby() {}

// In-game screens
void RunPauseMenu() {}
void RunWeaponShop() {}
void ShowLevelOptions() {}

// Intro, cut-scenes, tutorial
void PlayIntro() {}
void StartGoldShipCutscene() {}
void UpdateGoldShipCutscene() {}
void StartEndCutscene() {}
void UpdateEndCutscene() {}
void SwitchToStation2() {}
void RunTutorialSteps() {}

}  // namespace quorvel
