#pragma once
// Geometry as the model readers hand it to the engine and the renderer.
// Vertices are indexed: positions, normals and uvs run in parallel, and every three
// entries of `indices` make one triangle, wound clockwise seen from the front
// (left-handed axes: right +X, up +Y, front +Z). Texture coordinate (0,0) is the
// texture's top-left corner, (1,1) its bottom-right.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/engine/types.h"

namespace quorvel {

struct MeshData {
    std::vector<Vector> positions;
    std::vector<Vector> normals;  // unit length, one per position
    std::vector<Vector2> uvs;     // one per position (0,0 when the file has none)
    std::vector<std::uint32_t> indices;
    Vector boundsMin{};  // axis-aligned bounds of the positions
    Vector boundsMax{};
    float radius = 0;  // distance from the mesh origin to its farthest vertex

    bool Empty() const { return positions.empty() || indices.empty(); }
};

// One pose of an animated model; `positions` and `normals` match the model's uvs.
struct Keyframe {
    std::string name;
    std::vector<Vector> positions;
    std::vector<Vector> normals;
};

// An animated model: all keyframes share the uvs and the triangles.
struct AnimatedModelData {
    std::vector<Vector2> uvs;
    std::vector<std::uint32_t> indices;
    std::vector<Keyframe> frames;
    Vector boundsMin{};  // bounds and radius over every keyframe
    Vector boundsMax{};
    float radius = 0;

    bool Empty() const { return frames.empty() || indices.empty(); }
};

// Bounds and origin-centred radius of a set of points; all zero when there are none.
inline void ComputeBounds(const std::vector<Vector>& points, Vector& boundsMin, Vector& boundsMax,
                          float& radius) {
    boundsMin = boundsMax = Vector{};
    radius = 0;
    if (points.empty()) return;
    boundsMin = boundsMax = points.front();
    double r2 = 0;
    for (const Vector& p : points) {
        boundsMin = {std::min(boundsMin.x, p.x), std::min(boundsMin.y, p.y), std::min(boundsMin.z, p.z)};
        boundsMax = {std::max(boundsMax.x, p.x), std::max(boundsMax.y, p.y), std::max(boundsMax.z, p.z)};
        r2 = std::max(r2, double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z);
    }
    radius = static_cast<float>(std::sqrt(r2));
}

inline void ComputeBounds(MeshData& mesh) {
    ComputeBounds(mesh.positions, mesh.boundsMin, mesh.boundsMax, mesh.radius);
}

// Smooth normals: each vertex gets the area-weighted mean of its triangles' normals
// (for clockwise-front triangles in left-handed axes). Vertices that share a position
// through `weld` (same id) are smoothed together, so uv seams do not show as creases;
// pass an empty `weld` to treat every vertex on its own. Degenerate spots get +Y.
inline std::vector<Vector> ComputeSmoothNormals(const std::vector<Vector>& positions,
                                                const std::vector<std::uint32_t>& indices,
                                                const std::vector<std::uint32_t>& weld = {}) {
    const std::size_t n = positions.size();
    auto group = [&](std::uint32_t v) -> std::size_t { return weld.empty() ? v : weld[v]; };
    std::size_t groups = n;
    if (!weld.empty()) {
        groups = 0;
        for (std::uint32_t w : weld)
            groups = std::max<std::size_t>(groups, std::size_t(w) + 1);
    }
    std::vector<Vector> sum(groups);
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        const std::uint32_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= n || i1 >= n || i2 >= n) continue;
        const Vector& a = positions[i0];
        const Vector& b = positions[i1];
        const Vector& c = positions[i2];
        // Left-handed, clockwise front faces: the front normal is e1 x e2.
        const Vector f = Cross(b - a, c - a);
        for (std::uint32_t i : {i0, i1, i2})
            sum[group(i)] += f;
    }
    std::vector<Vector> normals(n);
    for (std::size_t v = 0; v < n; ++v) {
        const Vector& s = sum[group(std::uint32_t(v))];
        const double len = std::sqrt(double(s.x) * s.x + double(s.y) * s.y + double(s.z) * s.z);
        normals[v] =
            len > 1e-12 ? Vector{float(s.x / len), float(s.y / len), float(s.z / len)} : Vector{0, 1, 0};
    }
    return normals;
}

}  // namespace quorvel
