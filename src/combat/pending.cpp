// Routines that the level start already calls and the later combat work fills in
// (the scout, the asteroid reserve, the flaming asteroid). Empty until then.

#include "combat/combat.h"

namespace quorvel {

void SetActiveAsteroidCount() {}
void clsFlamingAsteroid::ResetPosition() {}
void clsFlamingAsteroid::Hit(float) {}

}  // namespace quorvel
