// The special enemies across a level start and the pause.

#include "combat/combat.h"
#include "common/common.h"
#include "game/state.h"
#include "platform/system/convert.h"

namespace quorvel {

void PrepareLevelEnemies() {
    GiantAsteroidId = -1;
    // A game loaded past the level drawn for the scout or the battleship would never
    // see them again: draw the level anew from here, by the run-start rules.
    const int before = CurrentLevel - 1;
    if (ScoutNextLevel < CurrentLevel)
        ScoutNextLevel = before + int(sys::RoundHalfEven(2.0 * double(RandomRange()) + 1.0));
    if (BattleshipNextLevel < CurrentLevel) {
        BattleshipNextLevel = before + int(sys::RoundHalfEven(2.0 * double(RandomRange()) + 2.0));
        if (BattleshipNextLevel < 4) BattleshipNextLevel = 4;
    }
}

void ShiftEnemyTimers(double seconds) {
    for (double* mark : {&MothershipStartTime, &MothershipKillTime, &MothershipChargeTime,
                         &MothershipChargeStepTime, &MothershipBreakupStart, &ScoutShotTime, &ScoutL50Timer,
                         &LightningFrameTime, &BattleshipTimer, &BattleshipShotTime, &BattleshipBurstTime})
        *mark += seconds;
}

}  // namespace quorvel
