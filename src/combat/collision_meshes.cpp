// Meshes that the shots' ray tests must find but that are never drawn (the
// mothership's collision box): shown for the frame's hit tests, hidden for the render.

#include "combat/combat.h"
#include "assets/assets.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {

void ResetMothershipDebris() {
    for (int i = 1; i <= 10; ++i)
        Effects.ShipDebris[std::size_t(i)].Marked = false;
}

void HideMothershipDebris() {
    for (int i = 1; i <= 10; ++i) {
        DebrisRec& entry = Effects.ShipDebris[std::size_t(i)];
        if (!entry.InUse) continue;
        MeshObj->SelectMeshById(entry.MeshId);
        MeshObj->SetVisible(false);
        // Unmarked too: a box hidden at a level start or load must not come back on
        // its own at the next early pass.
        entry.Marked = false;
    }
}

void ShowMothershipDebris() {
    for (int i = 1; i <= 10; ++i) {
        const DebrisRec& entry = Effects.ShipDebris[std::size_t(i)];
        if (!entry.InUse || !entry.Marked) continue;
        MeshObj->SelectMeshById(entry.MeshId);
        MeshObj->SetVisible(true);
    }
}

void CheckMothershipDebris() {
    for (int i = 1; i <= 10; ++i) {
        DebrisRec& entry = Effects.ShipDebris[std::size_t(i)];
        if (!entry.InUse) continue;
        MeshObj->SelectMeshById(entry.MeshId);
        if (MeshObj->GetVisible()) {
            entry.Marked = true;
            MeshObj->SetVisible(false);
        } else {
            entry.Marked = false;
        }
    }
}

}  // namespace quorvel
