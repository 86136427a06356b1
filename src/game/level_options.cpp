// The options dialog over a running level, and the settings a running game takes from it.

#include "game/game.h"
#include "combat/combat.h"
#include "game/state.h"
#include "common/common.h"

namespace quorvel {

void ShowLevelOptions() {
    ShowOptionsDialog();
    // Closing the dialog brings back a rear view switched off by key, unless the detail is low.
    Flight.MiniViewShown = Options.Graphics.Value() != 1;
    Campaign.DifficultyLevel = Options.Difficulty.Value();
    ApplyAlienDifficulty();
    Flight.MouseSensitivity = float(Options.Slider1.Value()) * 0.12f;
    Flight.GamePadOn = Options.GamePadCheck.Value() != 0;
}

}  // namespace quorvel
