#pragma once
// A bounding-volume hierarchy over boxes, for ray tests: the meshes of a scene and
// the triangles of a large model. Built top-down with binned surface-area splits;
// a primitive's box can be changed later and the boxes above it refitted.

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/engine/types.h"

namespace quorvel::engine {

struct Aabb {
    Vector lo{std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(),
              std::numeric_limits<float>::infinity()};
    Vector hi{-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
              -std::numeric_limits<float>::infinity()};

    // An empty box (the default) is never entered.
    void Add(const Aabb& b) {
        lo = {std::min(lo.x, b.lo.x), std::min(lo.y, b.lo.y), std::min(lo.z, b.lo.z)};
        hi = {std::max(hi.x, b.hi.x), std::max(hi.y, b.hi.y), std::max(hi.z, b.hi.z)};
    }
    void Add(const Vector& p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    bool Empty() const { return !(lo.x <= hi.x && lo.y <= hi.y && lo.z <= hi.z); }
    bool operator==(const Aabb& b) const {
        return lo.x == b.lo.x && lo.y == b.lo.y && lo.z == b.lo.z && hi.x == b.hi.x && hi.y == b.hi.y &&
               hi.z == b.hi.z;
    }
};

// A ray prepared for box tests: parameter t along `dir` as given (not normalised).
struct BoxRay {
    float o[3];
    float inv[3];

    BoxRay(const Vector& origin, const Vector& dir) {
        const float d[3] = {dir.x, dir.y, dir.z};
        o[0] = origin.x, o[1] = origin.y, o[2] = origin.z;
        for (int i = 0; i < 3; ++i) {
            // A zero component becomes a tiny one of the same sign: the box test then
            // stays free of 0 * infinity.
            const float di = std::fabs(d[i]) < 1e-30f ? std::copysign(1e-30f, d[i]) : d[i];
            inv[i] = 1.0f / di;
        }
    }

    // Where the ray enters the box (at least 0), or infinity when it misses it or
    // enters past `limit`.
    float Enter(const Aabb& b, float limit) const {
        const float lo[3] = {b.lo.x, b.lo.y, b.lo.z}, hi[3] = {b.hi.x, b.hi.y, b.hi.z};
        float t0 = 0, t1 = limit;
        for (int i = 0; i < 3; ++i) {
            const float ta = (lo[i] - o[i]) * inv[i], tb = (hi[i] - o[i]) * inv[i];
            t0 = std::max(t0, std::min(ta, tb));
            t1 = std::min(t1, std::max(ta, tb));
        }
        return t0 <= t1 ? t0 : std::numeric_limits<float>::infinity();
    }
};

class Bvh {
  public:
    struct Node {
        Aabb box;
        int first = 0;  // leaf: first entry in order(); inner: the second child
        int count = 0;  // leaf: primitives; inner: 0 (the first child follows the node)
    };

    // Builds over the primitives listed (indices into boxes); boxes of other indices
    // are ignored. Leaves hold up to leafSize primitives.
    void Build(const std::vector<Aabb>& boxes, std::vector<int> prims, int leafSize);

    // Sets one primitive's box; call Refit afterwards.
    void SetBox(int prim, const Aabb& box);
    // Refits the boxes above the primitives changed since the last refit.
    void Refit();

    bool Contains(int prim) const { return prim >= 0 && prim < int(leafOf_.size()) && leafOf_[prim] >= 0; }
    int Size() const { return int(order_.size()); }

    // Walks the tree from near to far along the ray, visiting every leaf whose box the
    // ray enters before `bound` (visit(prim) may lower the bound as it goes).
    template <class Visit>
    void Walk(const BoxRay& ray, float& bound, Visit&& visit) const {
        if (nodes_.empty()) return;
        struct Item {
            int node;
            float enter;
        };
        Item stack[64];
        int top = 0;
        float enter = ray.Enter(nodes_[0].box, bound);
        if (!(enter <= bound)) return;
        stack[top++] = {0, enter};
        while (top > 0) {
            const Item it = stack[--top];
            if (!(it.enter <= bound)) continue;
            const Node& n = nodes_[std::size_t(it.node)];
            if (n.count > 0) {
                for (int i = n.first; i < n.first + n.count; ++i)
                    visit(order_[std::size_t(i)]);
                continue;
            }
            int a = it.node + 1, b = n.first;
            float ea = ray.Enter(nodes_[std::size_t(a)].box, bound);
            float eb = ray.Enter(nodes_[std::size_t(b)].box, bound);
            if (eb < ea) {
                std::swap(a, b);
                std::swap(ea, eb);
            }
            // The far child waits under the near one.
            if (eb <= bound && top < 64) stack[top++] = {b, eb};
            if (ea <= bound && top < 64) stack[top++] = {a, ea};
        }
    }

  private:
    int BuildNode(const std::vector<Aabb>& boxes, int begin, int end, int leafSize, int parent, int depth);

    std::vector<Node> nodes_;
    std::vector<int> parent_;  // per node, -1 for the root
    std::vector<int> order_;   // primitives, leaf by leaf
    std::vector<int> leafOf_;  // per primitive index, its leaf node or -1
    std::vector<Aabb> primBox_;
    std::vector<int> changed_;  // leaves to refit
};

}  // namespace quorvel::engine
