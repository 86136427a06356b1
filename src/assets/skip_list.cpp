// The entities that the hit tests pass through: effect sprites, projectiles, flares.

#include "assets/assets.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {
// The listed ids as the hit tests read them, and how many entries of the list it
// holds.
MeshIdSet Filter;
int FilterCount = 0;
}  // namespace

void AddSkipEntity(int entityId) {
    ++Effects.SkipCount;
    Effects.SkipList.resize(std::size_t(Effects.SkipCount) + 1);
    Effects.SkipList[std::size_t(Effects.SkipCount)] = SkipEntry{entityId, 0};
    Effects.SkipList[0].ListCount = Effects.SkipCount;
    // A list reset by hand since the filter was made is read anew when asked for.
    if (FilterCount == Effects.SkipCount - 1) {
        Filter.Add(entityId);
        FilterCount = Effects.SkipCount;
    } else {
        FilterCount = -1;
    }
}

// The header goes too, so no scan reads entries of the list before.
void ClearSkipList() {
    Effects.SkipCount = 0;
    Effects.SkipList.assign(1, SkipEntry{});
    Filter.Clear();
    FilterCount = 0;
}

// Entry 0 is the header, not an entity: the scans start at 1.
bool IsSkipEntity(int entityId) {
    for (int i = 1; i <= Effects.SkipCount; ++i)
        if (Effects.SkipList[std::size_t(i)].EntityId == entityId) return true;
    return false;
}

const MeshIdSet& SkipFilter() {
    if (FilterCount != Effects.SkipCount) {
        Filter.Clear();
        for (int i = 1; i <= Effects.SkipCount && std::size_t(i) < Effects.SkipList.size(); ++i)
            Filter.Add(Effects.SkipList[std::size_t(i)].EntityId);
        FilterCount = Effects.SkipCount;
    }
    return Filter;
}

}  // namespace quorvel
