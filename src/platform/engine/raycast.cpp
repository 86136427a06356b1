// Ray tests against the mesh pool: a bounding-sphere check first, then the
// triangles (or the sprite's quad). A frame makes several hundred of these.

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/math3d.h"

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

// Slab test of the ray against a box; true when it meets the box within [0, limit].
bool HitsBox(const Vector& o, const Vector& d, const Vector& lo, const Vector& hi, float limit) {
    float t0 = 0, t1 = limit;
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
    return true;
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

// A sprite: its quad, turned to the main camera when it faces the camera.
float HitSprite(const MeshItem& m, const Ray& ray, float limit, bool exact, const engine::Scene& scene) {
    const float halfW = std::fabs(m.spriteWidth * m.scale.x) / 2;
    const float halfH = std::fabs(m.spriteHeight * m.scale.y) / 2;
    if (halfW <= 0 || halfH <= 0) return -1;
    const float tSphere = HitSphere(ray, m.place.position, std::sqrt(halfW * halfW + halfH * halfH), limit);
    if (tSphere < 0 || !exact) return tSphere;

    Vector right = m.place.right, up = m.place.up, normal = m.place.front;
    if (m.spriteFacing) {
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
    const float t = Dot(m.place.position - ray.origin, normal) / denom;
    if (t < 0 || t > limit) return -1;
    const Vector hit = ray.origin + ray.dir * t - m.place.position;
    return std::fabs(Dot(hit, right)) <= halfW && std::fabs(Dot(hit, up)) <= halfH ? t : -1;
}

}  // namespace

HitInfoRec EngineMeshes::RayHit(const RayRec& rayRec, int mode, float reach, int, int, bool) const {
    HitInfoRec result;
    const Vector dir = Normalise(rayRec.Dir);
    if (Length(dir) == 0 || !engine::Finite(rayRec.Origin) || !std::isfinite(reach) || reach < 0)
        return result;
    const Ray ray{rayRec.Origin, dir};
    const bool exact = mode == 3;
    const engine::Scene& scene = engine::State().scene;

    float best = reach;
    for (const MeshItem& m : scene.meshes.Items()) {
        if (!m.visible) continue;
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

}  // namespace quorvel
