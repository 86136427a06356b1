// The entities that the hit tests pass through: effect sprites, projectiles, flares.

#include "assets/assets.h"
#include "common/engine_objects.h"

namespace quorvel {

std::vector<SkipEntry> SkipList(1);
int SkipCount = 0;

void AddSkipEntity(int entityId) {
    ++SkipCount;
    SkipList.resize(std::size_t(SkipCount) + 1);
    SkipList[std::size_t(SkipCount)] = SkipEntry{entityId, 0, false};
    SkipList[0].ListCount = SkipCount;
}

// The header goes too, so no scan reads entries of the list before.
void ClearSkipList() {
    SkipCount = 0;
    SkipList.assign(1, SkipEntry{});
}

// Entry 0 is the header, not an entity: the scans start at 1.
bool IsSkipEntity(int entityId) {
    for (int i = 1; i <= SkipCount; ++i)
        if (SkipList[std::size_t(i)].EntityId == entityId) return true;
    return false;
}

void HideSkipEntities() {
    for (int i = 1; i <= SkipCount; ++i) {
        SkipEntry& e = SkipList[std::size_t(i)];
        if (e.EntityId <= -1) continue;
        MeshObj->SelectMeshById(e.EntityId);
        e.WasHidden = MeshObj->GetVisible();
        if (e.WasHidden) MeshObj->SetVisible(false);
    }
}

void RestoreSkipEntities() {
    for (int i = 1; i <= SkipCount; ++i) {
        const SkipEntry& e = SkipList[std::size_t(i)];
        if (e.EntityId <= -1) continue;
        MeshObj->SelectMeshById(e.EntityId);
        if (e.WasHidden) MeshObj->SetVisible(true);
    }
}

}  // namespace quorvel
