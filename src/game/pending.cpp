// Routines that level loading and the weapon repair already call and the later
// game-run work fills in (the in-game menus, the shield check, the camera, the way
// back to the main menu). Empty until then.

#include "game/game.h"
#include "game/state.h"

namespace quorvel {

void CreateInGameMenus() {}
void CheckShield() {}
void ResetCamera() {}
void ExplodeShip() {}
void UpdateCameraVectors() {}
void ReturnToMainMenu() {}

}  // namespace quorvel
