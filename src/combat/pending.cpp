// Routines that the level start already calls and the later combat work fills in
// (station smoke, collision-only meshes, the scout, the asteroid reserve, the flaming
// asteroid). Empty until then.

#include "combat/combat.h"

namespace quorvel {

void HideMothershipDebris() {}
void ResetMothershipDebris() {}
void SetStationDamageSmoke() {}
void ResetScout() {}
void SetActiveAsteroidCount() {}
void clsFlamingAsteroid::ResetPosition() {}
void clsFlamingAsteroid::Hit(float) {}

}  // namespace quorvel
