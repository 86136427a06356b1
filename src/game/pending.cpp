// Routines that level loading and the weapon repair already call and the later
// game-run work fills in (the in-game menus, the shield check). Empty until then.

#include "game/game.h"
#include "game/state.h"

namespace quorvel {

void CreateInGameMenus() {}
void CheckShield() {}
void ResetCamera() {}
void AddKillMoney(float value) {
    constexpr double perDifficulty[6] = {0, 40, 35, 30, 25, 20};
    if (DifficultyLevel >= 1 && DifficultyLevel <= 5) Money += double(value) * perDifficulty[DifficultyLevel];
}
void CheckLevelComplete() {}
void ExplodeShip() {}

}  // namespace quorvel
