#include "mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>
#include <stdexcept>

#include "noise.h"

namespace quorvel::content {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Little-endian byte writer.
struct Bytes {
    std::string b;
    void U8(std::uint8_t v) { b.push_back(char(v)); }
    void U16(std::uint16_t v) {
        U8(std::uint8_t(v & 0xFF));
        U8(std::uint8_t(v >> 8));
    }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            U8(std::uint8_t((v >> (8 * i)) & 0xFF));
    }
    void I32(std::int32_t v) { U32(std::uint32_t(v)); }
    void F32(double value) {
        const float f = float(value);
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        U32(u);
    }
    void Text(const std::string& s, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            U8(i < s.size() ? std::uint8_t(s[i]) : 0);
    }
};

std::string Chunk(std::uint16_t id, const std::string& body) {
    Bytes w;
    w.U16(id);
    w.U32(std::uint32_t(6 + body.size()));
    return w.b + body;
}

V3 Apply(const Mesh& m, std::uint32_t i) {
    return m.positions[i];
}

// The one place where engine axes become file axes. Both file formats are right-handed
// with Z up (X right, Y front, Z up), so the engine's (X, Y, Z) is stored as (X, Z, Y).
V3 ToFileAxes(V3 p) {
    return {p.x, p.z, p.y};
}

// That swap is a mirror: a triangle that is clockwise seen from its front in the engine
// is still clockwise seen from its (mirrored) front in file axes. Formats whose front
// faces are counter-clockwise get each triangle reversed.
enum class FileFront { Clockwise, CounterClockwise };
std::array<std::uint32_t, 3> ToFileOrder(const Triangle& t, FileFront front) {
    if (front == FileFront::CounterClockwise) return {t.a, t.c, t.b};
    return {t.a, t.b, t.c};
}

}  // namespace

double Dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 Cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(V3 a) {
    return std::sqrt(Dot(a, a));
}
V3 Normalize(V3 a) {
    const double l = Length(a);
    return l > 1e-12 ? a * (1.0 / l) : V3{0, 1, 0};
}

std::uint32_t Mesh::AddVertex(V3 p, V2 uv) {
    positions.push_back(p);
    uvs.push_back(uv);
    return std::uint32_t(positions.size() - 1);
}

void Mesh::AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t smooth) {
    const V3 n = Cross(positions[b] - positions[a], positions[c] - positions[a]);
    if (Length(n) < 1e-12) return;  // degenerate slivers at poles add nothing
    triangles.push_back({a, b, c, smooth});
}

void Mesh::AddTwoSided(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t smooth) {
    AddTriangle(a, b, c, smooth);
    AddTriangle(a, c, b, smooth);
}

void Mesh::Append(const Mesh& other) {
    const auto base = std::uint32_t(positions.size());
    positions.insert(positions.end(), other.positions.begin(), other.positions.end());
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    for (Triangle t : other.triangles)
        triangles.push_back({t.a + base, t.b + base, t.c + base, t.smooth});
}

void Mesh::Bounds(V3& lo, V3& hi) const {
    lo = hi = positions.empty() ? V3{} : positions.front();
    for (const V3& p : positions) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
}

void OrientOutward(Mesh& m, const std::function<V3(V3)>& inside) {
    for (Triangle& t : m.triangles) {
        const V3 a = Apply(m, t.a), b = Apply(m, t.b), c = Apply(m, t.c);
        const V3 centre = (a + b + c) * (1.0 / 3);
        if (Dot(Cross(b - a, c - a), centre - inside(centre)) < 0) std::swap(t.b, t.c);
    }
}

Mesh Grid(int nu, int nv, const Surface& surface, bool capEnds, double uvScaleU, double uvScaleV) {
    Mesh m;
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            const double u = double(i) / nu, v = double(j) / nv;
            m.AddVertex(surface(u, v), {u * uvScaleU, v * uvScaleV});
        }
    auto at = [nu](int i, int j) { return std::uint32_t(j * (nu + 1) + i); };
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            m.AddTriangle(at(i, j), at(i + 1, j), at(i + 1, j + 1));
            m.AddTriangle(at(i, j), at(i + 1, j + 1), at(i, j + 1));
        }
    if (capEnds) {
        for (int end = 0; end < 2; ++end) {
            const int j = end == 0 ? 0 : nv;
            V3 c{};
            for (int i = 0; i < nu; ++i)
                c = c + m.positions[at(i, j)];
            c = c * (1.0 / nu);
            const std::uint32_t centre = m.AddVertex(c, {0.5 * uvScaleU, end * uvScaleV});
            for (int i = 0; i < nu; ++i)
                m.AddTriangle(centre, at(i, j), at(i + 1, j), 0);
        }
    }
    return m;
}

Mesh Sphere(double radius, int nu, int nv) {
    Mesh m = Grid(
        nu, nv,
        [radius](double u, double v) {
            const double az = u * 2 * kPi, el = (v - 0.5) * kPi;
            return V3{radius * std::cos(el) * std::cos(az), radius * std::sin(el),
                      radius * std::cos(el) * std::sin(az)};
        },
        false);
    OrientOutward(m, [](V3) { return V3{}; });
    return m;
}

Mesh Box(V3 lo, V3 hi) {
    Mesh m;
    const V3 c = (lo + hi) * 0.5;
    // Each face on its own vertices and its own smoothing group: hard edges.
    const V3 corners[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                           {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    const int faces[6][4] = {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7},
                             {1, 5, 6, 2}, {4, 5, 1, 0}, {3, 2, 6, 7}};
    for (const auto& f : faces) {
        const std::uint32_t a = m.AddVertex(corners[f[0]], {0, 0});
        const std::uint32_t b = m.AddVertex(corners[f[1]], {1, 0});
        const std::uint32_t d = m.AddVertex(corners[f[2]], {1, 1});
        const std::uint32_t e = m.AddVertex(corners[f[3]], {0, 1});
        m.AddTriangle(a, b, d, 0);
        m.AddTriangle(a, d, e, 0);
    }
    OrientOutward(m, [c](V3) { return c; });
    return m;
}

Mesh Lathe(const std::vector<V2>& profile, int segments, bool caps) {
    const int nv = int(profile.size()) - 1;
    Mesh m;
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= segments; ++i) {
            const double az = double(i) / segments * 2 * kPi;
            m.AddVertex({profile[j].u * std::cos(az), profile[j].v, profile[j].u * std::sin(az)},
                        {double(i) / segments, double(j) / nv});
        }
    auto at = [segments](int i, int j) { return std::uint32_t(j * (segments + 1) + i); };
    for (int j = 0; j < nv; ++j) {
        // The profile runs from the bottom end to the top end, so its outside lies
        // along (dy, -dr) in the (radius, height) plane.
        const double dr = profile[j + 1].u - profile[j].u, dy = profile[j + 1].v - profile[j].v;
        for (int i = 0; i < segments; ++i) {
            const double az = (i + 0.5) / segments * 2 * kPi;
            const V3 out{dy * std::cos(az), -dr, dy * std::sin(az)};
            for (int half = 0; half < 2; ++half) {
                std::uint32_t a = at(i, j), b = at(i + 1, j + half),
                              c = half ? at(i, j + 1) : at(i + 1, j + 1);
                const V3 n = Cross(m.positions[b] - m.positions[a], m.positions[c] - m.positions[a]);
                if (Dot(n, out) < 0) std::swap(b, c);
                m.AddTriangle(a, b, c);
            }
        }
    }
    // Caps on open ends, facing out along the axis.
    for (int end = 0; end < 2 && caps; ++end) {
        const V2 rim = end == 0 ? profile.front() : profile.back();
        if (rim.u < 1e-9) continue;
        const std::uint32_t centre = m.AddVertex({0, rim.v, 0}, {0.5, 0.5});
        std::vector<std::uint32_t> ring;
        for (int i = 0; i <= segments; ++i) {
            const double az = double(i) / segments * 2 * kPi;
            ring.push_back(m.AddVertex({rim.u * std::cos(az), rim.v, rim.u * std::sin(az)},
                                       {0.5 + 0.5 * std::cos(az), 0.5 + 0.5 * std::sin(az)}));
        }
        for (int i = 0; i < segments; ++i) {
            std::uint32_t a = centre, b = ring[i], c = ring[i + 1];
            const V3 n = Cross(m.positions[b] - m.positions[a], m.positions[c] - m.positions[a]);
            if ((n.y > 0) != (end == 1)) std::swap(b, c);
            m.AddTriangle(a, b, c, 0);
        }
    }
    return m;
}

Mesh Loft(const std::vector<Section>& sections) {
    Mesh m;
    const int n = int(sections.front().ring.size());
    std::vector<V2> centres;
    std::vector<std::vector<std::uint32_t>> rings;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const Section& sec = sections[s];
        V2 c{};
        for (const V2& p : sec.ring)
            c = {c.u + p.u / n, c.v + p.v / n};
        centres.push_back(c);
        std::vector<std::uint32_t> ring;
        for (int i = 0; i <= n; ++i) {
            const V2 p = sec.ring[i % n];
            ring.push_back(
                m.AddVertex({p.u, p.v, sec.z}, {double(i) / n, double(s) / (sections.size() - 1)}));
        }
        rings.push_back(ring);
    }
    for (std::size_t s = 0; s + 1 < sections.size(); ++s)
        for (int i = 0; i < n; ++i) {
            m.AddTriangle(rings[s][i], rings[s][i + 1], rings[s + 1][i + 1]);
            m.AddTriangle(rings[s][i], rings[s + 1][i + 1], rings[s + 1][i]);
        }
    auto centreAt = [&sections, &centres](double z) {
        for (std::size_t s = 0; s + 1 < sections.size(); ++s) {
            const double z0 = sections[s].z, z1 = sections[s + 1].z;
            if ((z >= z0 && z <= z1) || (z <= z0 && z >= z1)) {
                const double t = std::abs(z1 - z0) < 1e-12 ? 0 : (z - z0) / (z1 - z0);
                return V2{centres[s].u + (centres[s + 1].u - centres[s].u) * t,
                          centres[s].v + (centres[s + 1].v - centres[s].v) * t};
            }
        }
        return z < sections.front().z ? centres.front() : centres.back();
    };
    OrientOutward(m, [&centreAt](V3 p) {
        const V2 c = centreAt(p.z);
        return V3{c.u, c.v, p.z};
    });
    // End caps facing out along Z.
    for (int end = 0; end < 2; ++end) {
        const std::size_t s = end == 0 ? 0 : sections.size() - 1;
        const double dir = (sections.back().z > sections.front().z) == (end == 1) ? 1 : -1;
        const std::uint32_t c = m.AddVertex({centres[s].u, centres[s].v, sections[s].z}, {0.5, 0.5});
        for (int i = 0; i < n; ++i) {
            std::uint32_t a = rings[s][i], b = rings[s][i + 1];
            const V3 nrm = Cross(m.positions[a] - m.positions[c], m.positions[b] - m.positions[c]);
            if (nrm.z * dir < 0) std::swap(a, b);
            m.AddTriangle(c, a, b, 0);
        }
    }
    return m;
}

Mesh Quad(double halfW, double halfH, V2 uv0, V2 uv1) {
    // A viewer on the +Z side looks along -Z and has -X on the right (left-handed).
    Mesh m;
    const std::uint32_t a = m.AddVertex({halfW, -halfH, 0}, {uv0.u, uv0.v});
    const std::uint32_t b = m.AddVertex({-halfW, -halfH, 0}, {uv1.u, uv0.v});
    const std::uint32_t c = m.AddVertex({-halfW, halfH, 0}, {uv1.u, uv1.v});
    const std::uint32_t d = m.AddVertex({halfW, halfH, 0}, {uv0.u, uv1.v});
    m.AddTwoSided(a, b, c);
    m.AddTwoSided(a, c, d);
    return m;
}

Mesh Torus(double major, double minor, int nu, int nv) {
    Mesh m = Grid(
        nu, nv,
        [major, minor](double u, double v) {
            const double a = u * 2 * kPi, b = v * 2 * kPi;
            const double r = major + minor * std::cos(b);
            return V3{r * std::cos(a), minor * std::sin(b), r * std::sin(a)};
        },
        false, 4, 1);
    OrientOutward(m, [major](V3 p) {
        const double l = std::sqrt(p.x * p.x + p.z * p.z);
        return l < 1e-9 ? V3{} : V3{p.x / l * major, 0, p.z / l * major};
    });
    return m;
}

// A sphere of evenly spread triangles: an icosahedron split `levels` times.
static std::pair<std::vector<V3>, std::vector<std::array<std::uint32_t, 3>>> IcoSphere(int levels) {
    const double g = (1 + std::sqrt(5.0)) / 2;
    std::vector<V3> v = {{-1, g, 0},  {1, g, 0},  {-1, -g, 0}, {1, -g, 0}, {0, -1, g},  {0, 1, g},
                         {0, -1, -g}, {0, 1, -g}, {g, 0, -1},  {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
    for (V3& p : v)
        p = Normalize(p);
    std::vector<std::array<std::uint32_t, 3>> f = {
        {0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int l = 0; l < levels; ++l) {
        std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> mids;
        auto mid = [&](std::uint32_t a, std::uint32_t b) {
            const auto key = std::minmax(a, b);
            const auto it = mids.find(key);
            if (it != mids.end()) return it->second;
            v.push_back(Normalize((v[a] + v[b]) * 0.5));
            return mids[key] = std::uint32_t(v.size() - 1);
        };
        std::vector<std::array<std::uint32_t, 3>> next;
        for (const auto& t : f) {
            const std::uint32_t ab = mid(t[0], t[1]), bc = mid(t[1], t[2]), ca = mid(t[2], t[0]);
            next.push_back({t[0], ab, ca});
            next.push_back({t[1], bc, ab});
            next.push_back({t[2], ca, bc});
            next.push_back({ab, bc, ca});
        }
        f = std::move(next);
    }
    return {v, f};
}

Mesh Rock(double radius, V3 stretch, double roughness, int detail, std::uint64_t seed) {
    Random rnd(seed);
    // A few flat cuts make it look broken rather than merely lumpy.
    struct Cut {
        V3 n;
        double d;
    };
    std::vector<Cut> cuts;
    for (int i = 0; i < 5; ++i) {
        const V3 n = Normalize({rnd.Range(-1, 1), rnd.Range(-1, 1), rnd.Range(-1, 1)});
        cuts.push_back({n, rnd.Range(0.72, 0.92)});
    }
    // Craters: bowls with raised rims, bigger ones on bigger rocks.
    struct Crater {
        V3 at;
        double size, depth;
    };
    std::vector<Crater> craters;
    for (int i = 0; i < (detail >= 8 ? 4 + detail / 3 : 0); ++i) {
        const V3 at = Normalize({rnd.Range(-1, 1), rnd.Range(-1, 1), rnd.Range(-1, 1)});
        const double size = rnd.Range(0.15, 0.42);
        craters.push_back({at, size, size * rnd.Range(0.25, 0.45)});
    }
    const double off = rnd.Range(0, 100);
    const int levels = detail >= 20 ? 4 : (detail >= 10 ? 3 : (detail >= 6 ? 2 : 1));
    auto [dirs, faces] = IcoSphere(levels);
    std::vector<V3> at;
    for (const V3& d : dirs) {
        double r = 1 + roughness * (Fbm3(d.x * 1.3 + off, d.y * 1.3, d.z * 1.3, 2, seed) - 0.5) * 2.4;
        r += roughness * 0.35 * (Fbm3(d.x * 5 + off, d.y * 5, d.z * 5, 3, seed + 1) - 0.5);
        for (const Crater& c : craters) {
            const double k = std::acos(std::clamp(Dot(d, c.at), -1.0, 1.0)) / c.size;
            if (k < 1) r -= c.depth * (1 - k * k);
            r += c.depth * 0.35 * std::exp(-std::pow((k - 1) / 0.22, 2));
        }
        for (const Cut& c : cuts) {
            const double along = Dot(d, c.n);
            if (along > 1e-6) r = std::min(r, c.d / along);
        }
        at.push_back(
            {d.x * r * radius * stretch.x, d.y * r * radius * stretch.y, d.z * r * radius * stretch.z});
    }
    // Box-mapped skin: each triangle takes the face of the cube its direction points
    // to, so the texture keeps its scale everywhere and no point gathers a pole.
    Mesh m;
    std::map<std::pair<std::uint32_t, int>, std::uint32_t> made;
    const double tile = 1.0 / (radius * 1.2);
    for (const auto& t : faces) {
        const V3 n = dirs[t[0]] + dirs[t[1]] + dirs[t[2]];
        const int axis = std::abs(n.x) > std::abs(n.y) ? (std::abs(n.x) > std::abs(n.z) ? 0 : 2)
                                                       : (std::abs(n.y) > std::abs(n.z) ? 1 : 2);
        std::array<std::uint32_t, 3> idx{};
        for (int k = 0; k < 3; ++k) {
            const auto key = std::make_pair(t[k], axis);
            auto it = made.find(key);
            if (it == made.end()) {
                const V3 p = at[t[k]];
                const V2 uv = axis == 0
                                  ? V2{p.z * tile, p.y * tile}
                                  : (axis == 1 ? V2{p.x * tile, p.z * tile} : V2{p.x * tile, p.y * tile});
                it = made.emplace(key, m.AddVertex(p, uv)).first;
            }
            idx[std::size_t(k)] = it->second;
        }
        m.AddTriangle(idx[0], idx[1], idx[2]);
    }
    OrientOutward(m, [](V3) { return V3{}; });
    return m;
}

void Translate(Mesh& m, V3 d) {
    for (V3& p : m.positions)
        p = p + d;
}
void Scale(Mesh& m, V3 s) {
    for (V3& p : m.positions)
        p = {p.x * s.x, p.y * s.y, p.z * s.z};
    if (s.x * s.y * s.z < 0)
        for (Triangle& t : m.triangles)
            std::swap(t.b, t.c);
}
void RotateY(Mesh& m, double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    for (V3& p : m.positions)
        p = {p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
}
void RotateX(Mesh& m, double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    for (V3& p : m.positions)
        p = {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}
void RotateZ(Mesh& m, double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    for (V3& p : m.positions)
        p = {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}
void Mirror(Mesh& m) {
    Scale(m, {-1, 1, 1});
}

std::string Write3ds(const Mesh& mesh, const std::string& objectName) {
    if (mesh.positions.size() > 65535 || mesh.triangles.size() > 65535)
        throw std::runtime_error("model too large for .3ds: " + objectName);
    Bytes v;
    v.U16(std::uint16_t(mesh.positions.size()));
    for (const V3& p : mesh.positions) {
        const V3 f = ToFileAxes(p);
        v.F32(f.x);
        v.F32(f.y);
        v.F32(f.z);
    }
    Bytes smooth;
    Bytes f;
    f.U16(std::uint16_t(mesh.triangles.size()));
    for (const Triangle& t : mesh.triangles) {
        for (std::uint32_t i : ToFileOrder(t, FileFront::CounterClockwise))
            f.U16(std::uint16_t(i));
        f.U16(0);
        smooth.U32(t.smooth);
    }
    Bytes uv;
    uv.U16(std::uint16_t(mesh.uvs.size()));
    for (const V2& t : mesh.uvs) {
        uv.F32(t.u);
        uv.F32(t.v);
    }
    const std::string faces = Chunk(0x4120, f.b + Chunk(0x4150, smooth.b));
    const std::string trimesh = Chunk(0x4100, Chunk(0x4110, v.b) + Chunk(0x4140, uv.b) + faces);
    const std::string object = Chunk(0x4000, objectName + std::string(1, '\0') + trimesh);
    Bytes version;
    version.U32(3);
    Bytes scale;
    scale.F32(1.0);
    const std::string editor = Chunk(0x3D3D, Chunk(0x3D3E, version.b) + Chunk(0x0100, scale.b) + object);
    return Chunk(0x4D4D, Chunk(0x0002, version.b) + editor);
}

std::string WriteMd2(const Mesh& topology, const std::vector<Md2Frame>& frames, int skinWidth, int skinHeight,
                     const std::string& skinName) {
    const int nv = int(topology.positions.size());
    const int nt = int(topology.triangles.size());
    const int nf = int(frames.size());
    const int frameSize = 40 + 4 * nv;
    const int ofsSkins = 68, ofsSt = ofsSkins + 64, ofsTris = ofsSt + 4 * nv, ofsFrames = ofsTris + 12 * nt;
    // The drawing-command list holds only its terminating zero: readers build
    // triangles from the triangle list.
    const int ofsGlCommands = ofsFrames + frameSize * nf, ofsEnd = ofsGlCommands + 4;
    Bytes w;
    w.Text("IDP2", 4);
    for (int value : {8, skinWidth, skinHeight, frameSize, 1, nv, nv, nt, 1, nf, ofsSkins, ofsSt, ofsTris,
                      ofsFrames, ofsGlCommands, ofsEnd})
        w.I32(value);
    w.Text(skinName, 64);
    for (const V2& t : topology.uvs) {
        w.U16(std::uint16_t(std::lround(std::clamp(t.u, 0.0, 1.0) * skinWidth)));
        w.U16(std::uint16_t(std::lround(std::clamp(1 - t.v, 0.0, 1.0) * skinHeight)));  // rows from the top
    }
    for (const Triangle& t : topology.triangles) {
        const auto order = ToFileOrder(t, FileFront::Clockwise);
        for (std::uint32_t i : order)  // vertex indices
            w.U16(std::uint16_t(i));
        for (std::uint32_t i : order)  // texture-coordinate indices: one per vertex
            w.U16(std::uint16_t(i));
    }
    for (const Md2Frame& fr : frames) {
        if (int(fr.positions.size()) != nv) throw std::runtime_error("md2 frame size mismatch");
        std::vector<V3> p;
        for (const V3& q : fr.positions)
            p.push_back(ToFileAxes(q));
        V3 lo = p.front(), hi = p.front();
        for (const V3& q : p) {
            lo = {std::min(lo.x, q.x), std::min(lo.y, q.y), std::min(lo.z, q.z)};
            hi = {std::max(hi.x, q.x), std::max(hi.y, q.y), std::max(hi.z, q.z)};
        }
        const V3 scale{std::max((hi.x - lo.x) / 255, 1e-6), std::max((hi.y - lo.y) / 255, 1e-6),
                       std::max((hi.z - lo.z) / 255, 1e-6)};
        w.F32(scale.x);
        w.F32(scale.y);
        w.F32(scale.z);
        w.F32(lo.x);
        w.F32(lo.y);
        w.F32(lo.z);
        w.Text(fr.name, 16);
        for (const V3& q : p) {
            w.U8(std::uint8_t(std::clamp<long>(std::lround((q.x - lo.x) / scale.x), 0, 255)));
            w.U8(std::uint8_t(std::clamp<long>(std::lround((q.y - lo.y) / scale.y), 0, 255)));
            w.U8(std::uint8_t(std::clamp<long>(std::lround((q.z - lo.z) / scale.z), 0, 255)));
            w.U8(0);  // readers derive normals from the geometry
        }
    }
    w.I32(0);
    return w.b;
}

}  // namespace quorvel::content
