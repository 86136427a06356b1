// The entities that the hit tests pass through: effect sprites, projectiles, flares.

#include "assets/assets.h"
#include "common/engine_objects.h"

namespace quorvel {

std::vector<SkipEntry> SkipList(1);
int SkipCount = 0;

namespace {
// The listed ids as the hit tests read them, and how many entries of the list it
// holds.
MeshIdSet Filter;
int FilterCount = 0;
}  // namespace

void AddSkipEntity(int entityId) {
    ++SkipCount;
    SkipList.resize(std::size_t(SkipCount) + 1);
    SkipList[std::size_t(SkipCount)] = SkipEntry{entityId, 0};
    SkipList[0].ListCount = SkipCount;
    // A list reset by hand since the filter was made is read anew when asked for.
    if (FilterCount == SkipCount - 1) {
        Filter.Add(entityId);
        FilterCount = SkipCount;
    } else {
        FilterCount = -1;
    }
}

// The header goes too, so no scan reads entries of the list before.
void ClearSkipList() {
    SkipCount = 0;
    SkipList.assign(1, SkipEntry{});
    Filter.Clear();
    FilterCount = 0;
}

// Entry 0 is the header, not an entity: the scans start at 1.
bool IsSkipEntity(int entityId) {
    for (int i = 1; i <= SkipCount; ++i)
        if (SkipList[std::size_t(i)].EntityId == entityId) return true;
    return false;
}

const MeshIdSet& SkipFilter() {
    if (FilterCount != SkipCount) {
        Filter.Clear();
        for (int i = 1; i <= SkipCount && std::size_t(i) < SkipList.size(); ++i)
            Filter.Add(SkipList[std::size_t(i)].EntityId);
        FilterCount = SkipCount;
    }
    return Filter;
}

}  // namespace quorvel
