// Ray tests against the mesh pool: a bounding-sphere check first, then the
// triangles (or the sprite's quad). A frame makes several hundred of these, so they
// go through a cached hierarchy of the meshes' bounds (below the plain test).

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/engine/bvh.h"
#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/math3d.h"
#include "platform/engine/ray_index.h"

namespace quorvel {

using engine::MeshItem;
using engine::MeshKind;

namespace {

struct Ray {
    Vector origin;
    Vector dir;  // unit
};

// Nearest t in [0, limit] where the ray meets the triangle, or a negative value.
float HitTriangle(const Vector& o, const Vector& d, const Vector& a, const Vector& b, const Vector& c,
                  float limit) {
    const Vector e1 = b - a, e2 = c - a;
    const Vector p = Cross(d, e2);
    const float det = Dot(e1, p);
    if (std::fabs(det) < 1e-12f) return -1;
    const float inv = 1.0f / det;
    const Vector s = o - a;
    const float u = Dot(s, p) * inv;
    if (u < 0 || u > 1) return -1;
    const Vector q = Cross(s, e1);
    const float v = Dot(d, q) * inv;
    if (v < 0 || u + v > 1) return -1;
    const float t = Dot(e2, q) * inv;
    return t >= 0 && t <= limit ? t : -1;
}

// Slab test of the ray against a box with the reach left open; `enter` is where the ray
// enters it (0 when it starts inside).
bool BoxSpan(const Vector& o, const Vector& d, const Vector& lo, const Vector& hi, float& enter) {
    float t0 = 0, t1 = std::numeric_limits<float>::infinity();
    const float os[3] = {o.x, o.y, o.z}, ds[3] = {d.x, d.y, d.z};
    const float los[3] = {lo.x, lo.y, lo.z}, his[3] = {hi.x, hi.y, hi.z};
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(ds[i]) < 1e-20f) {
            if (os[i] < los[i] || os[i] > his[i]) return false;
            continue;
        }
        float ta = (los[i] - os[i]) / ds[i], tb = (his[i] - os[i]) / ds[i];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    enter = t0;
    return true;
}

// True when the ray meets the box within [0, limit].
bool HitsBox(const Vector& o, const Vector& d, const Vector& lo, const Vector& hi, float limit) {
    float enter = 0;
    return BoxSpan(o, d, lo, hi, enter) && enter <= limit;
}

// Where the ray first meets the sphere within [0, limit]; negative when it does not.
float HitSphere(const Ray& ray, const Vector& centre, float radius, float limit) {
    const Vector oc = centre - ray.origin;
    const float tc = Dot(oc, ray.dir);
    const float d2 = Dot(oc, oc) - tc * tc;
    const float r2 = radius * radius;
    if (d2 > r2) return -1;
    const float half = std::sqrt(r2 - d2);
    const float tEnter = tc - half, tLeave = tc + half;
    if (tLeave < 0 || tEnter > limit) return -1;
    return std::max(tEnter, 0.0f);
}

float MaxScale(const Vector& s) {
    return std::max(std::fabs(s.x), std::max(std::fabs(s.y), std::fabs(s.z)));
}

// A model: sphere, then its box and triangles in the model's own space.
float HitModel(const MeshItem& m, const Ray& ray, float limit, bool exact) {
    const MeshData& g = *m.geometry;
    const Vector& s = m.scale;
    const Vector c = (g.boundsMin + g.boundsMax) * 0.5f + m.offset;
    const Vector centre = m.place.position + m.place.right * (c.x * s.x) + m.place.up * (c.y * s.y) +
                          m.place.front * (c.z * s.z);
    const float radius = Length(g.boundsMax - g.boundsMin) * 0.5f * MaxScale(s);
    const float tSphere = HitSphere(ray, centre, radius, limit);
    if (tSphere < 0 || !exact) return tSphere;
    if (s.x == 0 || s.y == 0 || s.z == 0) return -1;

    // The ray in model space: the same t measures world distance along it.
    const Vector q = ray.origin - m.place.position;
    const Vector lo =
        Vector{Dot(q, m.place.right) / s.x, Dot(q, m.place.up) / s.y, Dot(q, m.place.front) / s.z} - m.offset;
    const Vector ld{Dot(ray.dir, m.place.right) / s.x, Dot(ray.dir, m.place.up) / s.y,
                    Dot(ray.dir, m.place.front) / s.z};
    if (!HitsBox(lo, ld, g.boundsMin, g.boundsMax, limit)) return -1;

    float best = -1;
    float reach = limit;
    const auto& p = g.positions;
    const std::size_t n = p.size();
    for (std::size_t i = 0; i + 2 < g.indices.size(); i += 3) {
        const std::uint32_t a = g.indices[i], b = g.indices[i + 1], cc = g.indices[i + 2];
        if (a >= n || b >= n || cc >= n) continue;
        const float t = HitTriangle(lo, ld, p[a], p[b], p[cc], reach);
        if (t >= 0) {
            best = t;
            reach = t;
        }
    }
    return best;
}

// A sprite's quad: the distance along the ray to where it meets the quad within
// `limit`, or -1. A quad that faces the camera lies in the main camera's plane (in the
// ray's own when there is none).
float HitQuad(const Ray& ray, const engine::Placement& place, bool facing, float halfW, float halfH,
              float limit, const engine::Scene& scene) {
    Vector right = place.right, up = place.up, normal = place.front;
    if (facing) {
        if (const engine::CameraItem* cam = scene.cameras.Find(0)) {
            right = cam->place.right;
            up = cam->place.up;
            normal = cam->place.front;
        } else {
            normal = ray.dir;
            right = Normalise(Cross(Vector{0, 1, 0}, normal));
            if (Length(right) == 0) right = {1, 0, 0};
            up = Cross(normal, right);
        }
    }
    const float denom = Dot(ray.dir, normal);
    if (std::fabs(denom) < 1e-6f) return -1;  // edge-on: a quad has no thickness
    const float t = Dot(place.position - ray.origin, normal) / denom;
    if (t < 0 || t > limit) return -1;
    const Vector hit = ray.origin + ray.dir * t - place.position;
    return std::fabs(Dot(hit, right)) <= halfW && std::fabs(Dot(hit, up)) <= halfH ? t : -1;
}

// A sprite: its quad, turned to the main camera when it faces the camera.
float HitSprite(const MeshItem& m, const Ray& ray, float limit, bool exact, const engine::Scene& scene) {
    const float halfW = std::fabs(m.spriteWidth * m.scale.x) / 2;
    const float halfH = std::fabs(m.spriteHeight * m.scale.y) / 2;
    if (halfW <= 0 || halfH <= 0) return -1;
    const float tSphere = HitSphere(ray, m.place.position, std::sqrt(halfW * halfW + halfH * halfH), limit);
    if (tSphere < 0 || !exact) return tSphere;
    return HitQuad(ray, m.place, m.spriteFacing, halfW, halfH, limit, scene);
}

}  // namespace

// ---- The cached path --------------------------------------------------------------
//
// Each mesh keeps a snapshot of what its test reads, and the box around its bounding
// sphere sits in a hierarchy that a ray walks from near to far. To give exactly the
// plain test's answer, every mesh the walk reaches is tested once at the full reach,
// giving its hit distance g and the least reach theta at which the plain test would
// report it (the sphere and box checks pass a little before or after g by rounding).
// The plain test's loop is then replayed in id order over those meshes alone. Meshes
// the walk never reached cannot change the answer: their hits lie beyond the bound the
// walk stopped at, and the answer's own distance (or the last of the meshes whose
// [g, theta) straddles it) lies within that bound. When it does not, the plain test
// runs instead.

namespace engine {
namespace {

// Relative slack against rounding: the walk never skips a box a hit could lie in.
constexpr float kSlack = 1e-5f;
// Large models get a triangle hierarchy; small ones are tested triangle by triangle.
constexpr std::size_t kTriangleTreeFrom = 16;
// Room in a tree's box around a mesh, as a part of the box's width.
constexpr float kLoose = 0.0625f;
// A mesh that moved within this many frames stays in the moving set when the resting
// tree is built again.
constexpr int kSettled = 120;

float AbsMax(const Vector& v) {
    return std::max(std::fabs(v.x), std::max(std::fabs(v.y), std::fabs(v.z)));
}

// One model's shared ray data, made once per model.
struct ModelInfo {
    std::weak_ptr<const MeshData> data;
    bool boundsHold = true;  // every vertex lies in the model's box
    float extent = 0;        // largest coordinate of the box
    Bvh triangles;           // large models only
    bool hasTree = false;
};

struct Entry {
    int id = -1;
    bool shaped = false;    // a model with geometry or a sprite with a size
    bool hittable = false;  // shaped and visible
    bool odd = false;       // bounds unusable for the walk: tested on every ray
    bool inTree = false;
    MeshKind kind = MeshKind::Node;
    std::shared_ptr<const MeshData> geometry;
    const ModelInfo* model = nullptr;
    Placement place;
    Vector scale{1, 1, 1};
    Vector offset{};
    float halfW = 0, halfH = 0;
    bool facing = false;
    Vector centre{};  // bounding sphere, as the plain test computes it
    float radius = 0;
    Aabb box;
    Aabb loose;  // the box a tree holds: room to move a little without a refit
    Vector looseCentre{};
    float room = 0;       // how far the loose box reaches past the entry's own
    bool moving = false;  // in the moving set; the resting tree's box is stale
    int movingIndex = -1;
    int born = -1000000;       // the sync that took it in
    int lastMoved = -1000000;  // the sync that last saw it leave its loose box
};

struct Probe {
    bool hit = false;
    float g = 0;      // hit distance
    float theta = 0;  // the least reach at which the plain test reports it
};

struct Candidate {
    int id;
    float g;
    float theta;
};

// The sphere check of HitSphere, with the reach left open: `enter` is what must not
// exceed the reach.
bool SphereSpan(const Ray& ray, const Vector& centre, float radius, float& enter, float& value) {
    const Vector oc = centre - ray.origin;
    const float tc = Dot(oc, ray.dir);
    const float d2 = Dot(oc, oc) - tc * tc;
    const float r2 = radius * radius;
    if (d2 > r2) return false;
    const float half = std::sqrt(r2 - d2);
    const float tEnter = tc - half, tLeave = tc + half;
    if (tLeave < 0) return false;
    enter = tEnter;
    value = std::max(tEnter, 0.0f);
    return true;
}

// theta from g and the checks' entries; a NaN entry never stops the plain test.
Probe Found(float g, float reach, std::initializer_list<float> enters) {
    Probe p;
    if (!(g >= 0) || !(g <= reach)) return p;
    float theta = g;
    for (float e : enters)
        if (e > theta) theta = e;
    if (!(theta <= reach)) return p;
    p.hit = true;
    p.g = g;
    p.theta = theta;
    return p;
}

Probe ProbeModel(const Entry& e, const Ray& ray, float reach, bool exact) {
    float sphereEnter = 0, tSphere = 0;
    if (!SphereSpan(ray, e.centre, e.radius, sphereEnter, tSphere)) return {};
    if (!exact) return Found(tSphere, reach, {sphereEnter});
    const Vector& s = e.scale;
    if (s.x == 0 || s.y == 0 || s.z == 0) return {};
    const Placement& pl = e.place;
    const MeshData& g = *e.geometry;

    const Vector q = ray.origin - pl.position;
    const Vector lo = Vector{Dot(q, pl.right) / s.x, Dot(q, pl.up) / s.y, Dot(q, pl.front) / s.z} - e.offset;
    const Vector ld{Dot(ray.dir, pl.right) / s.x, Dot(ray.dir, pl.up) / s.y, Dot(ray.dir, pl.front) / s.z};
    float boxEnter = 0;
    if (!BoxSpan(lo, ld, g.boundsMin, g.boundsMax, boxEnter)) return {};

    float best = -1;
    const auto& p = g.positions;
    const std::size_t n = p.size();
    const float ldMax = AbsMax(ld);
    if (e.model && e.model->hasTree && ldMax > 0 && std::isfinite(ldMax) && Finite(lo)) {
        // Triangles whose boxes start past the nearest hit so far cannot beat it.
        const float far = (AbsMax(lo) + e.model->extent) / ldMax;
        auto bound = [&](float t) { return t + kSlack * (t + far) + 1e-6f; };
        float limit = bound(reach);
        const BoxRay boxRay(lo, ld);
        e.model->triangles.Walk(boxRay, limit, [&](int tri) {
            const std::size_t i = std::size_t(tri) * 3;
            const float t =
                HitTriangle(lo, ld, p[g.indices[i]], p[g.indices[i + 1]], p[g.indices[i + 2]], reach);
            if (t >= 0 && (best < 0 || t < best)) {
                best = t;
                limit = bound(t);
            }
        });
    } else {
        float limit = reach;
        for (std::size_t i = 0; i + 2 < g.indices.size(); i += 3) {
            const std::uint32_t a = g.indices[i], b = g.indices[i + 1], cc = g.indices[i + 2];
            if (a >= n || b >= n || cc >= n) continue;
            const float t = HitTriangle(lo, ld, p[a], p[b], p[cc], limit);
            if (t >= 0) {
                best = t;
                limit = t;
            }
        }
    }
    if (best < 0) return {};
    return Found(best, reach, {sphereEnter, boxEnter});
}

Probe ProbeSprite(const Entry& e, const Ray& ray, float reach, bool exact, const Scene& scene) {
    float sphereEnter = 0, tSphere = 0;
    if (!SphereSpan(ray, e.centre, e.radius, sphereEnter, tSphere)) return {};
    if (!exact) return Found(tSphere, reach, {sphereEnter});
    const float t = HitQuad(ray, e.place, e.facing, e.halfW, e.halfH, reach, scene);
    if (t < 0) return {};
    return Found(t, reach, {sphereEnter});
}

}  // namespace

// Meshes that move keep the tree of resting meshes as it was built: a mesh whose box
// leaves the loose box the tree holds for it goes over to a small tree of moving
// meshes, refitted and rebuilt on its own. The resting tree keeps the old box, which
// the walk passes over, until it is built again.
class RayIndex {
  public:
    void Changed(int id) {
        if (rebuild_) return;
        dirty_.push_back(id);
        // Nobody cast a ray for a long while: start afresh instead of replaying it all.
        if (dirty_.size() > 4 * entries_.size() + 256) rebuild_ = true;
    }
    // Hidden meshes keep their bounds in the trees and are passed over by the walk, so
    // hiding and showing them again costs no refit.
    void VisibilityChanged(int id, bool visible) {
        if (rebuild_) return;
        const int slot = SlotOf(id);
        if (slot < 0) {
            Changed(id);  // not taken in yet
            return;
        }
        Entry& e = entries_[std::size_t(slot)];
        const bool was = e.hittable;
        e.hittable = e.shaped && visible;
        if (e.hittable != was) Reboxed(slot);
    }
    void ClearedAll() { rebuild_ = true; }
    int Fallbacks() const { return fallbacks_; }

    HitInfoRec Hit(const Scene& scene, const Ray& ray, int mode, float reach, const RayRec& rayRec,
                   const MeshIdSet* passThrough) {
        Sync(scene);
        const bool exact = mode == 3;
        candidates_.clear();
        float bound = reach;  // no reach below this can turn up a nearer answer
        const float originSize = AbsMax(ray.origin);
        auto slacked = [&](float b) { return b + kSlack * (originSize + b) + 1e-6f; };
        float limit = slacked(bound);
        auto visit = [&](int slot) {
            const Entry& e = entries_[std::size_t(slot)];
            if (!e.hittable || (passThrough && passThrough->Contains(e.id))) return;
            const Probe p = e.kind == MeshKind::Model ? ProbeModel(e, ray, reach, exact)
                                                      : ProbeSprite(e, ray, reach, exact, scene);
            if (!p.hit) return;
            candidates_.push_back({e.id, p.g, p.theta});
            const float b = p.theta + kSlack * p.theta + 1e-6f;
            if (b < bound) {
                bound = b;
                limit = slacked(bound);
            }
        };
        for (int slot : extras_)
            visit(slot);
        // Each walk skips only boxes entered past the bound so far, and the bound only
        // falls: the two walks together pass over nothing the answer could come from.
        const BoxRay boxRay(ray.origin, ray.dir);
        moving_.Walk(boxRay, limit, [&](int k) { visit(movingSlots_[std::size_t(k)]); });
        tree_.Walk(boxRay, limit, [&](int slot) {
            if (!entries_[std::size_t(slot)].moving) visit(slot);
        });

        // The plain test's loop over the meshes met.
        std::sort(candidates_.begin(), candidates_.end(),
                  [](const Candidate& a, const Candidate& b) { return a.id < b.id; });
        HitInfoRec result;
        float best = reach;
        for (const Candidate& c : candidates_) {
            if (c.theta > best) continue;
            if (!result.HitFlag || c.g < best) {
                best = c.g;
                result.HitFlag = true;
                result.HitId = c.id;
            }
        }
        float settled = best;
        for (bool moved = true; moved;) {
            moved = false;
            for (const Candidate& c : candidates_)
                if (c.g <= settled && settled < c.theta) {
                    settled = c.theta;
                    moved = true;
                }
        }
        if (settled > bound) {
            ++fallbacks_;
            return RayHitBruteForce(rayRec, mode, reach, passThrough);
        }
        return result;
    }

  private:
    const ModelInfo* ModelFor(const std::shared_ptr<const MeshData>& data) {
        auto it = models_.find(data.get());
        if (it != models_.end() && it->second.data.lock() == data) return &it->second;
        ModelInfo& info = models_[data.get()];
        info = ModelInfo{};
        info.data = data;
        const MeshData& g = *data;
        info.extent = std::max(AbsMax(g.boundsMin), AbsMax(g.boundsMax));
        for (const Vector& v : g.positions)
            if (!(v.x >= g.boundsMin.x && v.x <= g.boundsMax.x && v.y >= g.boundsMin.y &&
                  v.y <= g.boundsMax.y && v.z >= g.boundsMin.z && v.z <= g.boundsMax.z))
                info.boundsHold = false;
        if (!std::isfinite(info.extent)) info.boundsHold = false;
        const std::size_t triangles = g.indices.size() / 3;
        if (info.boundsHold && triangles >= kTriangleTreeFrom) {
            std::vector<Aabb> boxes(triangles);
            std::vector<int> prims;
            const float pad = kSlack * info.extent;
            for (std::size_t t = 0; t < triangles; ++t) {
                const std::uint32_t a = g.indices[3 * t], b = g.indices[3 * t + 1], c = g.indices[3 * t + 2];
                if (a >= g.positions.size() || b >= g.positions.size() || c >= g.positions.size()) continue;
                Aabb& box = boxes[t];
                for (std::uint32_t v : {a, b, c})
                    box.Add(g.positions[v]);
                box.lo = box.lo - Vector{pad, pad, pad};
                box.hi = box.hi + Vector{pad, pad, pad};
                prims.push_back(int(t));
            }
            info.triangles.Build(boxes, std::move(prims), 4);
            info.hasTree = true;
        }
        return &info;
    }

    // Copies what the ray test reads, with the sums the plain test makes.
    void Snapshot(Entry& e, const MeshItem& m) {
        e.id = m.id;
        e.kind = m.kind;
        // The model's shared data is looked up only when the mesh takes another model.
        const std::shared_ptr<const MeshData>* geometry = m.kind == MeshKind::Model ? &m.geometry : nullptr;
        if (!geometry || !*geometry) {
            e.geometry.reset();
            e.model = nullptr;
        } else if (e.geometry != *geometry || !e.model) {
            e.geometry = *geometry;
            e.model = ModelFor(e.geometry);
        }
        e.place = m.place;
        e.scale = m.scale;
        e.offset = m.offset;
        e.facing = m.spriteFacing;
        e.shaped = false;
        e.hittable = false;
        e.odd = false;
        e.box = Aabb{};
        if (e.geometry) {
            const MeshData& g = *e.geometry;
            const Vector& s = m.scale;
            const Vector c = (g.boundsMin + g.boundsMax) * 0.5f + m.offset;
            e.centre = m.place.position + m.place.right * (c.x * s.x) + m.place.up * (c.y * s.y) +
                       m.place.front * (c.z * s.z);
            e.radius = Length(g.boundsMax - g.boundsMin) * 0.5f * MaxScale(s);
            e.odd = !e.model->boundsHold;
            e.shaped = true;
        } else if (m.kind == MeshKind::Sprite) {
            e.halfW = std::fabs(m.spriteWidth * m.scale.x) / 2;
            e.halfH = std::fabs(m.spriteHeight * m.scale.y) / 2;
            if (e.halfW <= 0 || e.halfH <= 0) return;
            e.centre = m.place.position;
            e.radius = std::sqrt(e.halfW * e.halfW + e.halfH * e.halfH);
            e.shaped = true;
        } else {
            return;
        }
        e.hittable = m.visible;
        // Every hit lies in the bounding sphere; the box around it has room for rounding.
        const float r = e.radius + kSlack * (e.radius + AbsMax(e.centre)) + 1e-6f;
        if (!(std::isfinite(r) && Finite(e.centre) && r < 1e18f && AbsMax(e.centre) < 1e18f)) {
            e.odd = true;
            return;
        }
        e.box.lo = e.centre - Vector{r, r, r};
        e.box.hi = e.centre + Vector{r, r, r};
    }

    // The box a tree holds for the entry: its own, with room to move by a part of its
    // size and, for a moving mesh, by the stride it just made, so a steady mover leaves
    // it seldom.
    static void Loosen(Entry& e, float stride) {
        e.room = kLoose * (e.box.hi.x - e.box.lo.x) + stride;
        e.loose.lo = e.box.lo - Vector{e.room, e.room, e.room};
        e.loose.hi = e.box.hi + Vector{e.room, e.room, e.room};
        e.looseCentre = e.centre;
    }
    static bool Inside(const Aabb& in, const Aabb& out) {
        return in.lo.x >= out.lo.x && in.lo.y >= out.lo.y && in.lo.z >= out.lo.z && in.hi.x <= out.hi.x &&
               in.hi.y <= out.hi.y && in.hi.z <= out.hi.z;
    }

    int SlotOf(int id) const {
        return id >= 0 && std::size_t(id) < slotById_.size() ? slotById_[std::size_t(id)] : -1;
    }
    void SetSlot(int id, int slot) {
        if (id < 0) return;
        if (std::size_t(id) >= slotById_.size()) slotById_.resize(std::size_t(id) + 1, -1);
        slotById_[std::size_t(id)] = slot;
    }

    void JoinMoving(int slot) {
        Entry& e = entries_[std::size_t(slot)];
        e.moving = true;
        e.movingIndex = int(movingSlots_.size());
        movingSlots_.push_back(slot);
        movingBuilt_ = false;
    }
    void LeaveMoving(int slot) {
        Entry& e = entries_[std::size_t(slot)];
        const int last = movingSlots_.back();
        movingSlots_[std::size_t(e.movingIndex)] = last;
        entries_[std::size_t(last)].movingIndex = e.movingIndex;
        movingSlots_.pop_back();
        e.moving = false;
        e.movingIndex = -1;
        movingBuilt_ = false;
    }

    // The entry's box left its loose box. A mesh that crept out has its box refitted in
    // the tree that holds it; a resting one that leapt far past its room starts moving.
    void Moved(int slot, bool counts) {
        Entry& e = entries_[std::size_t(slot)];
        float step = Length(e.centre - e.looseCentre);
        if (!std::isfinite(step)) step = 0;
        const bool leapt = step > 2 * e.room;
        Loosen(e, e.moving || leapt ? step : 0);
        if (counts && leapt) e.lastMoved = epoch_;
        if (e.moving) {
            Reboxed(slot);
        } else if (e.inTree && !leapt) {
            Reboxed(slot);
        } else {
            if (e.inTree) ++stale_;
            JoinMoving(slot);
        }
    }

    // What a tree holds for an entry: a hidden mesh is never met, so the walk need not
    // go near it (effects wait hidden in heaps).
    static Aabb TreeBox(const Entry& e) { return e.hittable ? e.loose : Aabb{}; }

    // The entry's tree box changed: refitted before the next walk.
    void Reboxed(int slot) {
        const Entry& e = entries_[std::size_t(slot)];
        if (e.moving) {
            if (!movingBuilt_) return;
            moving_.SetBox(e.movingIndex, TreeBox(e));
            movingRefit_ = true;
        } else if (e.inTree && !e.odd) {
            tree_.SetBox(slot, TreeBox(e));
            treeRefit_ = true;
        }
    }

    void Rebuild(const Scene& scene) {
        // Meshes that moved lately will move again: they stay out of the resting tree.
        std::vector<std::pair<int, int>> recent;  // id, frame last moved
        if (!rebuild_)
            for (const Entry& e : entries_)
                if (e.moving && e.shaped && epoch_ - e.lastMoved < kSettled)
                    recent.push_back({e.id, e.lastMoved});
        std::sort(recent.begin(), recent.end());
        entries_.clear();
        extras_.clear();
        movingSlots_.clear();
        dirty_.clear();
        for (auto it = models_.begin(); it != models_.end();)
            it = it->second.data.expired() ? models_.erase(it) : std::next(it);
        const auto& pool = scene.meshes;
        const auto& items = pool.Items();
        slotById_.assign(std::size_t(std::max(pool.NextId(), 0)), -1);
        entries_.resize(items.size());
        std::vector<Aabb> boxes(items.size());
        std::vector<int> prims;
        prims.reserve(items.size());
        auto next = recent.begin();
        for (std::size_t i = 0; i < items.size(); ++i) {
            Entry& e = entries_[i];
            Snapshot(e, items[i]);
            Loosen(e, 0);
            SetSlot(e.id, int(i));
            while (next != recent.end() && next->first < e.id)
                ++next;
            if (e.odd) {
                extras_.push_back(int(i));
            } else if (next != recent.end() && next->first == e.id) {
                e.lastMoved = next->second;
                JoinMoving(int(i));
            } else {
                e.inTree = true;
                boxes[i] = TreeBox(e);
                prims.push_back(int(i));
            }
        }
        tree_.Build(boxes, std::move(prims), 1);
        live_ = items.size();
        dead_ = stale_ = 0;
        movingAtBuild_ = movingSlots_.size();
        movingBuilt_ = false;
        rebuild_ = false;
    }

    void FitMoving() {
        if (movingBuilt_ && movingRefit_) {
            moving_.Refit();
            if (moving_.Cost() > 1.5 * moving_.BuiltCost() + 1) movingBuilt_ = false;
        }
        movingRefit_ = false;
        if (movingBuilt_) return;
        std::vector<Aabb>& boxes = movingBoxes_;
        boxes.resize(movingSlots_.size());
        std::vector<int> prims(movingSlots_.size());
        for (std::size_t k = 0; k < movingSlots_.size(); ++k) {
            boxes[k] = TreeBox(entries_[std::size_t(movingSlots_[k])]);
            prims[k] = int(k);
        }
        moving_.Build(boxes, std::move(prims), 1);
        movingBuilt_ = true;
    }

    void Sync(const Scene& scene) {
        const auto& pool = scene.meshes;
        if (!rebuild_ && !dirty_.empty()) {
            ++epoch_;
            for (int id : dirty_) {
                const MeshItem* m = pool.Find(id);
                const int slot = SlotOf(id);
                if (m && slot < 0) {
                    // New since the tree was built: moving until the next build.
                    const int s = int(entries_.size());
                    entries_.emplace_back();
                    SetSlot(id, s);
                    Entry& e = entries_.back();
                    Snapshot(e, *m);
                    Loosen(e, 0);
                    e.born = epoch_;
                    e.lastMoved = epoch_ - kSettled;
                    ++live_;
                    if (e.odd)
                        extras_.push_back(s);
                    else
                        JoinMoving(s);
                } else if (m) {
                    Entry& e = entries_[std::size_t(slot)];
                    const bool wasOdd = e.odd, wasHittable = e.hittable;
                    Snapshot(e, *m);
                    if (e.odd != wasOdd)
                        rebuild_ = true;
                    else if (!e.odd && !Inside(e.box, e.loose))
                        Moved(slot, e.born != epoch_);  // placed as it was made: not a move
                    else if (e.hittable != wasHittable)
                        Reboxed(slot);
                } else if (slot >= 0) {
                    Entry& e = entries_[std::size_t(slot)];
                    e.shaped = e.hittable = false;
                    e.geometry.reset();
                    e.model = nullptr;
                    if (e.odd) std::erase(extras_, slot);
                    if (e.moving) {
                        LeaveMoving(slot);
                    } else if (e.inTree) {
                        Reboxed(slot);
                        ++stale_;
                    }
                    SetSlot(id, -1);
                    --live_;
                    ++dead_;
                }
            }
            dirty_.clear();
        }
        if (treeRefit_) tree_.Refit();
        treeRefit_ = false;
        // A change nobody announced shows in the count; start afresh then, and also once
        // the resting tree holds many boxes that are no longer there or has grown out
        // of shape by refits, or the moving set has grown well past what it held at the
        // build.
        if (rebuild_ || live_ != pool.Items().size() || stale_ > 16 + live_ / 2 || dead_ > 64 + live_ ||
            tree_.Cost() > 1.5 * tree_.BuiltCost() + 1 ||
            movingSlots_.size() > 2 * movingAtBuild_ + 32 + live_ / 8)
            Rebuild(scene);
        FitMoving();
    }

    std::vector<Entry> entries_;
    std::vector<int> slotById_;  // mesh id -> entry, -1 for none
    std::vector<int> dirty_;     // ids changed since the last ray
    std::vector<int> extras_;    // entries whose bounds no tree can hold
    std::unordered_map<const MeshData*, ModelInfo> models_;
    std::vector<Candidate> candidates_;
    Bvh tree_;                       // resting meshes, by entry
    Bvh moving_;                     // moving meshes, by place in movingSlots_
    std::vector<int> movingSlots_;   // the moving set's entries
    std::vector<Aabb> movingBoxes_;  // scratch for building the moving tree
    bool movingBuilt_ = false, movingRefit_ = false, treeRefit_ = false;
    std::size_t movingAtBuild_ = 0;
    std::size_t live_ = 0, dead_ = 0, stale_ = 0;
    int epoch_ = 0;  // counts the syncs that had changes: about one a frame
    bool rebuild_ = true;
    int fallbacks_ = 0;
};

void MeshChanged(int id) {
    if (const auto& index = State().rayIndex) index->Changed(id);
}

void MeshVisibilityChanged(int id, bool visible) {
    if (const auto& index = State().rayIndex) index->VisibilityChanged(id, visible);
}

void MeshesCleared() {
    if (const auto& index = State().rayIndex) index->ClearedAll();
}

int RayHitFallbacks() {
    const auto& index = State().rayIndex;
    return index ? index->Fallbacks() : 0;
}

// The plain test, kept as the reference the cached one must match.
HitInfoRec RayHitBruteForce(const RayRec& rayRec, int mode, float reach, const MeshIdSet* passThrough) {
    HitInfoRec result;
    const Vector dir = Normalise(rayRec.Dir);
    if (Length(dir) == 0 || !engine::Finite(rayRec.Origin) || !std::isfinite(reach) || reach < 0)
        return result;
    const Ray ray{rayRec.Origin, dir};
    const bool exact = mode == 3;
    const engine::Scene& scene = engine::State().scene;

    float best = reach;
    for (const MeshItem& m : scene.meshes.Items()) {
        if (!m.visible || (passThrough && passThrough->Contains(m.id))) continue;
        float t = -1;
        if (m.kind == MeshKind::Model && m.geometry)
            t = HitModel(m, ray, best, exact);
        else if (m.kind == MeshKind::Sprite)
            t = HitSprite(m, ray, best, exact, scene);
        // Strictly nearer: of two items at one distance the older one wins.
        if (t >= 0 && (!result.HitFlag || t < best)) {
            best = t;
            result.HitFlag = true;
            result.HitId = m.id;
        }
    }
    return result;
}

}  // namespace engine

namespace {

HitInfoRec CachedRayHit(const RayRec& rayRec, int mode, float reach, const MeshIdSet* passThrough) {
    const Vector dir = Normalise(rayRec.Dir);
    if (Length(dir) == 0 || !engine::Finite(rayRec.Origin) || !std::isfinite(reach) || reach < 0) return {};
    auto& state = engine::State();
    if (!state.rayIndex) state.rayIndex = std::make_shared<engine::RayIndex>();
    return state.rayIndex->Hit(state.scene, Ray{rayRec.Origin, dir}, mode, reach, rayRec, passThrough);
}

}  // namespace

HitInfoRec EngineMeshes::RayHit(const RayRec& rayRec, int mode, float reach, int, int, bool) const {
    return CachedRayHit(rayRec, mode, reach, nullptr);
}

HitInfoRec EngineMeshes::RayHit(const RayRec& rayRec, int mode, float reach,
                                const MeshIdSet& passThrough) const {
    return CachedRayHit(rayRec, mode, reach, &passThrough);
}
}  // namespace quorvel
