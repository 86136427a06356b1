#pragma once
// The ray tests' cache of mesh bounds. Whatever changes a mesh's place, turn, scale,
// model, sprite size or visibility, or creates or removes a mesh, tells it here; the
// next ray test brings the cache up to date.

#include <memory>

#include "platform/engine/records.h"

namespace quorvel::engine {

class RayIndex;

// The mesh with this id changed, appeared or went away.
void MeshChanged(int id);
// The mesh with this id was shown or hidden, nothing else: its bounds stay as they are
// (the game hides and shows whole lists of meshes around single ray tests).
void MeshVisibilityChanged(int id, bool visible);
// Every mesh went away at once.
void MeshesCleared();

// The plain ray test: every mesh in id order, no cache. The cached test gives the same
// answer; tests and benchmarks compare the two.
HitInfoRec RayHitBruteForce(const RayRec& ray, int mode, float reach, const MeshIdSet* passThrough = nullptr);

// Ray tests since the engine started that the cache could not settle alone and left
// to the plain test (rare: hits within rounding of one another).
int RayHitFallbacks();

}  // namespace quorvel::engine
