// The station's damage shown as up to four smoke plumes on its hull.

#include "combat/combat.h"
#include "assets/assets.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {

void SetStationDamageSmoke() {
    // Plume k burns while the impact count is above its bound.
    static constexpr int kBound[5] = {0, 0, 2, 3, 4};
    for (int k = 1; k <= 4; ++k)
        Effects.SmokeFx[std::size_t(k)].Active = Level.StationDamageLevel > kBound[k];
    for (int k = 1; k <= 4; ++k) {
        const SmokeRec& plume = Effects.SmokeFx[std::size_t(k)];
        ParticleObj->SelectSystemById(plume.SystemId);
        if (plume.Active) {
            ParticleObj->SetEmitting(true);
            ParticleObj->SetEmitterPosition(plume.Pos);
        } else {
            ParticleObj->SetEmitting(false);
        }
    }
}

}  // namespace quorvel
