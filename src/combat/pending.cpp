// Routines that the level start already calls and the later combat work fills in
// (station smoke, collision-only meshes, the scout). Empty until then.

#include "combat/combat.h"

namespace quorvel {

void HideMothershipDebris() {}
void ResetMothershipDebris() {}
void SetStationDamageSmoke() {}
void ResetScout() {}

}  // namespace quorvel
