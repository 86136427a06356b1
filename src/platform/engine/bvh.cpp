#include "platform/engine/bvh.h"

#include <array>

namespace quorvel::engine {
namespace {

// Deep enough for any balanced tree; a deeper branch becomes one larger leaf, so the
// walk's fixed stack never overflows.
constexpr int kMaxDepth = 48;
constexpr int kBins = 12;

float Area(const Aabb& b) {
    if (b.Empty()) return 0;
    const float x = b.hi.x - b.lo.x, y = b.hi.y - b.lo.y, z = b.hi.z - b.lo.z;
    return x * y + y * z + z * x;
}

float Axis(const Vector& v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

float Centre(const Aabb& b, int axis) {
    return (Axis(b.lo, axis) + Axis(b.hi, axis)) * 0.5f;
}

}  // namespace

void Bvh::Build(const std::vector<Aabb>& boxes, std::vector<int> prims, int leafSize) {
    nodes_.clear();
    parent_.clear();
    // An empty build leaves nothing behind for a walk to read.
    wide_.clear();
    wideLane_.clear();
    cost_ = builtCost_ = 0;
    changed_.clear();
    primBox_ = boxes;
    order_ = std::move(prims);
    leafOf_.assign(boxes.size(), -1);
    if (order_.empty()) return;
    nodes_.reserve(order_.size() * 2);
    parent_.reserve(order_.size() * 2);
    BuildNode(boxes, 0, int(order_.size()), std::max(leafSize, 1), -1, 0);
    cost_ = 0;
    for (const Node& n : nodes_)
        cost_ += Area(n.box);
    builtCost_ = cost_;
    wideLane_.assign(nodes_.size(), {-1, -1});
    if (nodes_[0].count > 0) {
        // A single leaf: one wide node with one lane.
        wide_.emplace_back();
        WideNode& w = wide_.back();
        for (int lane = 0; lane < 4; ++lane) {
            w.child[lane] = ~0;
            for (int a = 0; a < 3; ++a) {
                w.box[0][a][lane] = std::numeric_limits<float>::infinity();
                w.box[1][a][lane] = -std::numeric_limits<float>::infinity();
            }
        }
        wideLane_[0] = {0, 0};
        SetLane(0);
    } else {
        BuildWide(0);
    }
}

int Bvh::BuildWide(int node) {
    const int index = int(wide_.size());
    wide_.emplace_back();
    int kids[4] = {node + 1, nodes_[std::size_t(node)].first, -1, -1};
    int count = 2;
    // Open the largest inner child until there are four.
    while (count < 4) {
        int pick = -1;
        float area = -1;
        for (int k = 0; k < count; ++k) {
            const Node& c = nodes_[std::size_t(kids[k])];
            if (c.count == 0 && Area(c.box) > area) {
                area = Area(c.box);
                pick = k;
            }
        }
        if (pick < 0) break;
        const int opened = kids[pick];
        kids[pick] = opened + 1;
        kids[count++] = nodes_[std::size_t(opened)].first;
    }
    for (int lane = 0; lane < 4; ++lane) {
        WideNode& w = wide_[std::size_t(index)];
        w.child[lane] = ~0;
        for (int a = 0; a < 3; ++a) {
            w.box[0][a][lane] = std::numeric_limits<float>::infinity();
            w.box[1][a][lane] = -std::numeric_limits<float>::infinity();
        }
    }
    for (int lane = 0; lane < count; ++lane) {
        const int kid = kids[lane];
        wideLane_[std::size_t(kid)] = {index, lane};
        SetLane(kid);
        const int child = nodes_[std::size_t(kid)].count > 0 ? ~kid : BuildWide(kid);
        wide_[std::size_t(index)].child[lane] = child;
    }
    return index;
}

void Bvh::SetLane(int node) {
    const auto [w, lane] = wideLane_[std::size_t(node)];
    if (w < 0) return;
    const Aabb& b = nodes_[std::size_t(node)].box;
    WideNode& wn = wide_[std::size_t(w)];
    const float lo[3] = {b.lo.x, b.lo.y, b.lo.z}, hi[3] = {b.hi.x, b.hi.y, b.hi.z};
    for (int a = 0; a < 3; ++a) {
        wn.box[0][a][lane] = lo[a];
        wn.box[1][a][lane] = hi[a];
    }
}

int Bvh::BuildNode(const std::vector<Aabb>& boxes, int begin, int end, int leafSize, int parent, int depth) {
    const int index = int(nodes_.size());
    nodes_.emplace_back();
    parent_.push_back(parent);
    Aabb box, centres;
    for (int i = begin; i < end; ++i) {
        const Aabb& b = boxes[std::size_t(order_[std::size_t(i)])];
        box.Add(b);
        if (!b.Empty()) centres.Add(Vector{Centre(b, 0), Centre(b, 1), Centre(b, 2)});
    }
    nodes_[std::size_t(index)].box = box;

    auto makeLeaf = [&] {
        Node& n = nodes_[std::size_t(index)];
        n.first = begin;
        n.count = end - begin;
        for (int i = begin; i < end; ++i)
            leafOf_[std::size_t(order_[std::size_t(i)])] = index;
        return index;
    };
    const int count = end - begin;
    if (count <= leafSize || depth >= kMaxDepth) return makeLeaf();

    // Binned surface-area split over the widest useful axis set; empty boxes go left.
    float bestCost = std::numeric_limits<float>::infinity();
    int bestAxis = -1, bestBin = 0;
    for (int axis = 0; axis < 3 && !centres.Empty(); ++axis) {
        const float lo = Axis(centres.lo, axis), hi = Axis(centres.hi, axis);
        if (!(hi > lo)) continue;
        std::array<Aabb, kBins> binBox{};
        std::array<int, kBins> binCount{};
        const float scale = kBins / (hi - lo);
        for (int i = begin; i < end; ++i) {
            const Aabb& b = boxes[std::size_t(order_[std::size_t(i)])];
            const int bin = b.Empty() ? 0 : std::clamp(int((Centre(b, axis) - lo) * scale), 0, kBins - 1);
            binBox[std::size_t(bin)].Add(b);
            ++binCount[std::size_t(bin)];
        }
        std::array<float, kBins> rightArea{};
        std::array<int, kBins> rightCount{};
        Aabb acc;
        int n = 0;
        for (int b = kBins - 1; b > 0; --b) {
            acc.Add(binBox[std::size_t(b)]);
            n += binCount[std::size_t(b)];
            rightArea[std::size_t(b)] = Area(acc);
            rightCount[std::size_t(b)] = n;
        }
        acc = Aabb{};
        n = 0;
        for (int b = 0; b < kBins - 1; ++b) {
            acc.Add(binBox[std::size_t(b)]);
            n += binCount[std::size_t(b)];
            const int rn = rightCount[std::size_t(b + 1)];
            if (n == 0 || rn == 0) continue;
            const float cost = Area(acc) * float(n) + rightArea[std::size_t(b + 1)] * float(rn);
            if (cost < bestCost) {
                bestCost = cost;
                bestAxis = axis;
                bestBin = b;
            }
        }
    }

    int mid = begin + count / 2;
    if (bestAxis >= 0) {
        const float lo = Axis(centres.lo, bestAxis), hi = Axis(centres.hi, bestAxis);
        const float scale = kBins / (hi - lo);
        auto left = [&](int prim) {
            const Aabb& b = boxes[std::size_t(prim)];
            return b.Empty() || std::clamp(int((Centre(b, bestAxis) - lo) * scale), 0, kBins - 1) <= bestBin;
        };
        mid = int(std::partition(order_.begin() + begin, order_.begin() + end, left) - order_.begin());
        if (mid == begin || mid == end) mid = begin + count / 2;
    }
    // else: every centre in one spot (or all empty): an even split keeps leaves small.

    BuildNode(boxes, begin, mid, leafSize, index, depth + 1);
    const int second = BuildNode(boxes, mid, end, leafSize, index, depth + 1);
    nodes_[std::size_t(index)].first = second;
    nodes_[std::size_t(index)].count = 0;
    return index;
}

void Bvh::SetBox(int prim, const Aabb& box) {
    if (!Contains(prim)) return;
    primBox_[std::size_t(prim)] = box;
    changed_.push_back(leafOf_[std::size_t(prim)]);
}

void Bvh::Refit() {
    if (changed_.empty()) return;
    auto fitLeaf = [&](int node) {
        Node& n = nodes_[std::size_t(node)];
        Aabb box;
        for (int i = n.first; i < n.first + n.count; ++i)
            box.Add(primBox_[std::size_t(order_[std::size_t(i)])]);
        cost_ += double(Area(box)) - Area(n.box);
        n.box = box;
        SetLane(node);
    };
    auto fitInner = [&](int node) {
        Node& n = nodes_[std::size_t(node)];
        Aabb box = nodes_[std::size_t(node + 1)].box;
        box.Add(nodes_[std::size_t(n.first)].box);
        const bool same = box == n.box;
        cost_ += double(Area(box)) - Area(n.box);
        n.box = box;
        if (!same) SetLane(node);
        return !same;
    };
    if (changed_.size() * 8 > nodes_.size()) {
        // Many changes: one pass from the bottom up (children follow their parent).
        for (int node : changed_)
            fitLeaf(node);
        for (int node = int(nodes_.size()) - 1; node >= 0; --node)
            if (nodes_[std::size_t(node)].count == 0) fitInner(node);
    } else {
        for (int node : changed_) {
            fitLeaf(node);
            for (int p = parent_[std::size_t(node)]; p >= 0; p = parent_[std::size_t(p)])
                if (!fitInner(p)) break;
        }
    }
    changed_.clear();
}

}  // namespace quorvel::engine
