#pragma once
// A bounding-volume hierarchy over boxes, for ray tests: the meshes of a scene and
// the triangles of a large model. Built top-down with binned surface-area splits;
// a primitive's box can be changed later and the boxes above it refitted.

#include <algorithm>
#include <cmath>
#include <xmmintrin.h>
#include <limits>
#include <utility>
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
    // enters past `limit`. The near plane is chosen by the direction's sign, so an
    // empty box (lo above hi) is never entered.
    float Enter(const Aabb& b, float limit) const {
        const float lo[3] = {b.lo.x, b.lo.y, b.lo.z}, hi[3] = {b.hi.x, b.hi.y, b.hi.z};
        float t0 = 0, t1 = limit;
        for (int i = 0; i < 3; ++i) {
            const bool back = inv[i] < 0;
            t0 = std::max(t0, ((back ? hi[i] : lo[i]) - o[i]) * inv[i]);
            t1 = std::min(t1, ((back ? lo[i] : hi[i]) - o[i]) * inv[i]);
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

    // The summed surface of the boxes, now and just after the build: a tree whose
    // boxes have grown well past their built size is worth building again.
    double Cost() const { return cost_; }
    double BuiltCost() const { return builtCost_; }

    bool Contains(int prim) const { return prim >= 0 && prim < int(leafOf_.size()) && leafOf_[prim] >= 0; }
    int Size() const { return int(order_.size()); }

    // Walks the tree from near to far along the ray, visiting every primitive of each
    // leaf whose box the ray enters before `bound` (visit(prim) may lower the bound as
    // it goes).
    template <class Visit>
    void Walk(const BoxRay& ray, float& bound, Visit&& visit) const {
        if (wide_.empty()) return;
        struct Item {
            int child;  // >= 0 a wide node, < 0 ~leaf of the binary tree
            float enter;
        };
        Item stack[kStack];
        int top = 0;
        stack[top++] = {0, 0};
        const __m128 zero = _mm_setzero_ps();
        const __m128 o[3] = {_mm_set1_ps(ray.o[0]), _mm_set1_ps(ray.o[1]), _mm_set1_ps(ray.o[2])};
        const __m128 inv[3] = {_mm_set1_ps(ray.inv[0]), _mm_set1_ps(ray.inv[1]), _mm_set1_ps(ray.inv[2])};
        const int back[3] = {ray.inv[0] < 0, ray.inv[1] < 0, ray.inv[2] < 0};
        while (top > 0) {
            const Item it = stack[--top];
            if (!(it.enter <= bound)) continue;
            if (it.child < 0) {
                const Node& n = nodes_[std::size_t(~it.child)];
                for (int i = n.first; i < n.first + n.count; ++i)
                    visit(order_[std::size_t(i)]);
                continue;
            }
            const WideNode& w = wide_[std::size_t(it.child)];
            __m128 t0 = zero, t1 = _mm_set1_ps(bound);
            for (int a = 0; a < 3; ++a) {
                const __m128 nearPlane = _mm_load_ps(w.box[back[a]][a]);
                const __m128 farPlane = _mm_load_ps(w.box[1 - back[a]][a]);
                t0 = _mm_max_ps(t0, _mm_mul_ps(_mm_sub_ps(nearPlane, o[a]), inv[a]));
                t1 = _mm_min_ps(t1, _mm_mul_ps(_mm_sub_ps(farPlane, o[a]), inv[a]));
            }
            int mask = _mm_movemask_ps(_mm_cmple_ps(t0, t1));
            if (!mask) continue;
            alignas(16) float enter[4];
            _mm_store_ps(enter, t0);
            // Nearest last on the stack, so it is taken first. Most nodes let one or two
            // children through.
            const int first = __builtin_ctz(unsigned(mask));
            mask &= mask - 1;
            if (!mask) {
                stack[top++] = {w.child[first], enter[first]};
                continue;
            }
            Item hit[4];
            int n = 1;
            hit[0] = {w.child[first], enter[first]};
            while (mask) {
                const int lane = __builtin_ctz(unsigned(mask));
                mask &= mask - 1;
                const Item item{w.child[lane], enter[lane]};
                int k = n++;
                for (; k > 0 && hit[k - 1].enter < item.enter; --k)
                    hit[k] = hit[k - 1];
                hit[k] = item;
            }
            for (int k = 0; k < n; ++k)
                stack[top++] = hit[k];
        }
    }

  private:
    // Four children's boxes side by side, tested at once.
    struct alignas(16) WideNode {
        float box[2][3][4];  // [lo, hi][axis][child]
        int child[4];        // >= 0 a wide node, < 0 ~leaf of the binary tree
    };
    static constexpr int kStack = 256;

    int BuildWide(int node);
    void SetLane(int node);
    int BuildNode(const std::vector<Aabb>& boxes, int begin, int end, int leafSize, int parent, int depth);

    std::vector<Node> nodes_;
    std::vector<int> parent_;  // per node, -1 for the root
    std::vector<int> order_;   // primitives, leaf by leaf
    std::vector<int> leafOf_;  // per primitive index, its leaf node or -1
    std::vector<Aabb> primBox_;
    std::vector<int> changed_;  // leaves to refit
    // The walk uses a four-wide tree collapsed from the binary one; the binary one
    // keeps the refits, and each of its nodes that is a wide child copies its box on.
    std::vector<WideNode> wide_;
    std::vector<std::pair<int, int>> wideLane_;  // per binary node: wide node and lane, or -1
    double cost_ = 0, builtCost_ = 0;
};

}  // namespace quorvel::engine
