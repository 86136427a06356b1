// The special enemies across a level start and the pause.

#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"

namespace quorvel {

void PrepareLevelEnemies() {
    GiantAsteroid.GiantAsteroidId = -1;
    // A game loaded past the level drawn for the scout or the battleship would never
    // see them again: draw the level anew from here, by the run-start rules.
    const int before = Campaign.CurrentLevel - 1;
    if (Scout.ScoutNextLevel < Campaign.CurrentLevel)
        Scout.ScoutNextLevel = before + int(sys::RoundHalfEven(2.0 * double(RandomRange()) + 1.0));
    if (Battleship.BattleshipNextLevel < Campaign.CurrentLevel) {
        Battleship.BattleshipNextLevel = before + int(sys::RoundHalfEven(2.0 * double(RandomRange()) + 2.0));
        if (Battleship.BattleshipNextLevel < 4) Battleship.BattleshipNextLevel = 4;
    }
}

void ShiftEnemyTimers(double seconds) {
    for (double* mark :
         {&Mothership.MothershipStartTime, &Mothership.MothershipKillTime, &Mothership.MothershipChargeTime,
          &Mothership.MothershipChargeStepTime, &Mothership.MothershipBreakupStart, &Scout.ScoutShotTime,
          &Scout.ScoutL50Timer, &Scout.LightningFrameTime, &Battleship.BattleshipTimer,
          &Battleship.BattleshipShotTime, &Battleship.BattleshipBurstTime})
        *mark += seconds;
}

}  // namespace quorvel
