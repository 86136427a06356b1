// The generated content set: every file the game reads is in the program folder and
// loads with the reader the game uses for it, the shapes come out of those readers the
// way the game places and flies them, and the generator writes the same bytes on every
// run.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <tuple>

#include "content_formats.h"
#include "contentgen/inventory.h"
#include "contentgen/loudness.h"
#include "contentgen/oscillator.h"
#include "platform/engine/image.h"
#include "platform/engine/import_3ds.h"
#include "platform/engine/math3d.h"
#include "platform/engine/md2.h"
#include "platform/sound/wave_file.h"
#include "platform/system/paths.h"
#include "support/temp_folder.h"

extern char** environ;

namespace quorvel::test {
namespace {

using content::ContentEntry;
using content::ContentInventory;
using content::Format;

// The build writes the set into the program folder unless it was configured not to.
#ifdef QUORVEL_CONTENT_IN_PROGRAM_FOLDER
#define REQUIRE_CONTENT_SET() sys::SetProgramFolder(QUORVEL_GAME_DIR)
#else
#define REQUIRE_CONTENT_SET() \
    GTEST_SKIP() << "the build does not generate the content set (QUORVEL_CONTENT is off)"
#endif

// A model as the engine loads it: program folder + "\mesh\...".
MeshData Model(const std::string& gamePath) {
    auto mesh = Load3ds(sys::ProgramFolder() + "\\" + gamePath);
    EXPECT_TRUE(mesh.has_value()) << gamePath;
    return mesh.value_or(MeshData{});
}

// A picture as the engine loads it: program folder + "\tex\...".
std::optional<ImageData> Picture(const std::string& gamePath) {
    return LoadImageFile(sys::ProgramFolder() + "\\" + gamePath);
}

struct D3 {
    double x, y, z;
};
D3 Sub(const Vector& a, const Vector& b) {
    return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}
double Dot(D3 a, D3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
D3 Cross(D3 a, D3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(D3 a) {
    return std::sqrt(Dot(a, a));
}

// Six times the volume enclosed by the triangles, counted positive where the front of
// every triangle (mesh_data.h: (b - a) x (c - a)) faces away from it.
double SignedVolume6(const MeshData& m) {
    double v = 0;
    for (std::size_t t = 0; t + 2 < m.indices.size(); t += 3) {
        const D3 a = Sub(m.positions[m.indices[t]], {}), b = Sub(m.positions[m.indices[t + 1]], {}),
                 c = Sub(m.positions[m.indices[t + 2]], {});
        v += Dot(a, Cross(b, c));
    }
    return v;
}

// How many times the outward-facing triangles wrap round `p`: 1 inside a closed part,
// 0 outside, about 1/2 on its surface; parts that overlap add up.
double WindingNumber(const MeshData& m, const Vector& p) {
    double sum = 0;
    for (std::size_t t = 0; t + 2 < m.indices.size(); t += 3) {
        const D3 a = Sub(m.positions[m.indices[t]], p), b = Sub(m.positions[m.indices[t + 1]], p),
                 c = Sub(m.positions[m.indices[t + 2]], p);
        const double la = Length(a), lb = Length(b), lc = Length(c);
        sum += 2 * std::atan2(Dot(a, Cross(b, c)),
                              la * lb * lc + Dot(a, b) * lc + Dot(a, c) * lb + Dot(b, c) * la);
    }
    return sum / (4 * std::numbers::pi);
}

int RunGenerator(const std::vector<std::string>& args) {
    std::vector<std::string> all = {QUORVEL_CONTENTGEN};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, QUORVEL_CONTENTGEN, nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(ContentSet, EveryFileLoadsWithTheReaderTheGameUsesForIt) {
    REQUIRE_CONTENT_SET();
    for (const ContentEntry& entry : ContentInventory()) {
        SCOPED_TRACE(entry.path);
        ASSERT_TRUE(sys::FileExists(sys::ProgramFolder() + "\\" + entry.path)) << "missing";
        EXPECT_TRUE(LoadsAsItsFormat(entry));
    }
}

TEST(ContentShapes, ClosedModelsFaceOutward) {
    REQUIRE_CONTENT_SET();
    // Flat sprites, strips and speck clouds are drawn from both sides and enclose nothing.
    const std::set<std::string> open = {"atlas_frame8", "atlas_frame4", "laser",
                                        "disperse",     "starscape",    "lightning"};
    for (const ContentEntry& entry : ContentInventory()) {
        if (entry.format != Format::Model || open.count(entry.recipe)) continue;
        SCOPED_TRACE(entry.path);
        const MeshData m = Model(entry.path);
        ASSERT_FALSE(m.Empty());
        // The winding the engine culls by: fronts outward, so the enclosed volume counts positive.
        const Vector size = m.boundsMax - m.boundsMin;
        EXPECT_GT(SignedVolume6(m), 0.01 * 6 * double(size.x) * size.y * size.z) << "faces turned inward";
        // The shading normals the reader hands on lean the same way as the fronts (at
        // hard corners they are averaged, so they do not lie along them).
        double along = 0, area = 0;
        for (std::size_t t = 0; t + 2 < m.indices.size(); t += 3) {
            const Vector &a = m.positions[m.indices[t]], &b = m.positions[m.indices[t + 1]],
                         &c = m.positions[m.indices[t + 2]];
            const D3 front = Cross(Sub(b, a), Sub(c, a));
            for (int k = 0; k < 3; ++k)
                along += Dot(front, Sub(m.normals[m.indices[t + k]], {})) / 3;
            area += Length(front);
        }
        EXPECT_GT(along / area, 0.25) << "normals point inward";
    }
}

// The parts of a model: sets of triangles joined through shared corners.
std::vector<std::vector<std::size_t>> Parts(const MeshData& m) {
    const Vector size = m.boundsMax - m.boundsMin;
    const double q = 1e-5 * std::max({double(size.x), double(size.y), double(size.z), 1e-6});
    std::map<std::tuple<long long, long long, long long>, std::size_t> corner;
    std::vector<std::size_t> id(m.positions.size());
    for (std::size_t i = 0; i < m.positions.size(); ++i) {
        const Vector& p = m.positions[i];
        id[i] =
            corner
                .emplace(std::make_tuple(std::llround(p.x / q), std::llround(p.y / q), std::llround(p.z / q)),
                         corner.size())
                .first->second;
    }
    std::vector<std::size_t> up(corner.size());
    for (std::size_t i = 0; i < up.size(); ++i)
        up[i] = i;
    const std::function<std::size_t(std::size_t)> root = [&](std::size_t i) {
        return up[i] == i ? i : up[i] = root(up[i]);
    };
    for (std::size_t t = 0; t + 2 < m.indices.size(); t += 3)
        for (int k = 1; k < 3; ++k)
            up[root(id[m.indices[t + std::size_t(k)]])] = root(id[m.indices[t]]);
    std::map<std::size_t, std::vector<std::size_t>> byRoot;
    for (std::size_t t = 0; t + 2 < m.indices.size(); t += 3)
        byRoot[root(id[m.indices[t]])].push_back(t);
    std::vector<std::vector<std::size_t>> parts;
    for (auto& [r, triangles] : byRoot)
        parts.push_back(std::move(triangles));
    return parts;
}

struct Box3 {
    Vector lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    void Add(const Vector& p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    bool Meets(const Box3& o, float slack) const {
        return lo.x <= o.hi.x + slack && o.lo.x <= hi.x + slack && lo.y <= o.hi.y + slack &&
               o.lo.y <= hi.y + slack && lo.z <= o.hi.z + slack && o.lo.z <= hi.z + slack;
    }
};

// Whether the segment p0-p1 meets the triangle abc, `tol` (a fraction of their sizes)
// allowed for parts laid exactly against each other.
bool SegmentMeetsTriangle(const Vector& p0, const Vector& p1, const Vector& a, const Vector& b,
                          const Vector& c, double tol) {
    const D3 d = Sub(p1, p0), e1 = Sub(b, a), e2 = Sub(c, a), s = Sub(p0, a);
    const D3 h = Cross(d, e2);
    const double det = Dot(e1, h);
    if (std::abs(det) < 1e-12 * Length(d) * Length(e1) * Length(e2)) return false;  // parallel
    const D3 q = Cross(s, e1);
    const double u = Dot(s, h) / det, v = Dot(d, q) / det, t = Dot(e2, q) / det;
    return u >= -tol && v >= -tol && u + v <= 1 + tol && t >= -tol && t <= 1 + tol;
}

// Two parts touch where the surface of one reaches the other's, or one lies inside
// the other (then no surface meets, and any one corner is inside).
bool PartsTouch(const MeshData& m, const std::vector<std::size_t>& a, const std::vector<std::size_t>& b,
                float slack) {
    auto box = [&m](std::size_t t) {
        Box3 bx;
        for (int k = 0; k < 3; ++k)
            bx.Add(m.positions[m.indices[t + std::size_t(k)]]);
        return bx;
    };
    auto edgesMeet = [&](const std::vector<std::size_t>& from, const std::vector<std::size_t>& to) {
        for (const std::size_t t : from) {
            const Box3 bt = box(t);
            for (const std::size_t u : to) {
                if (!bt.Meets(box(u), slack)) continue;
                const Vector &p = m.positions[m.indices[u]], &q = m.positions[m.indices[u + 1]],
                             &r = m.positions[m.indices[u + 2]];
                for (int k = 0; k < 3; ++k)
                    if (SegmentMeetsTriangle(m.positions[m.indices[t + std::size_t(k)]],
                                             m.positions[m.indices[t + std::size_t(k + 1) % 3]], p, q, r,
                                             1e-3))
                        return true;
            }
        }
        return false;
    };
    auto inside = [&](const std::vector<std::size_t>& outer, const Vector& p) {
        MeshData part;
        part.positions = m.positions;
        for (const std::size_t t : outer)
            part.indices.insert(part.indices.end(), m.indices.begin() + std::ptrdiff_t(t),
                                m.indices.begin() + std::ptrdiff_t(t + 3));
        return WindingNumber(part, p) > 0.5;
    };
    return edgesMeet(a, b) || edgesMeet(b, a) || inside(b, m.positions[m.indices[a[0]]]) ||
           inside(a, m.positions[m.indices[b[0]]]);
}

// Every part reached from the first through parts that touch.
void ExpectNoPartFloats(const MeshData& m) {
    const std::vector<std::vector<std::size_t>> parts = Parts(m);
    std::vector<Box3> boxes(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i)
        for (const std::size_t t : parts[i])
            for (int k = 0; k < 3; ++k)
                boxes[i].Add(m.positions[m.indices[t + std::size_t(k)]]);
    const float slack = 1e-3f * Length(Sub(m.boundsMax, m.boundsMin));
    // Spread from the first part to every part it touches, and on.
    std::vector<bool> reached(parts.size(), false);
    std::vector<std::size_t> open = {0};
    reached[0] = true;
    while (!open.empty()) {
        const std::size_t i = open.back();
        open.pop_back();
        for (std::size_t j = 0; j < parts.size(); ++j)
            if (!reached[j] && boxes[i].Meets(boxes[j], slack) && PartsTouch(m, parts[i], parts[j], slack)) {
                reached[j] = true;
                open.push_back(j);
            }
    }
    for (std::size_t j = 0; j < parts.size(); ++j)
        EXPECT_TRUE(reached[j]) << "a part of " << parts[j].size() << " triangles floats free between ("
                                << boxes[j].lo.x << ", " << boxes[j].lo.y << ", " << boxes[j].lo.z
                                << ") and (" << boxes[j].hi.x << ", " << boxes[j].hi.y << ", "
                                << boxes[j].hi.z << ")";
}

TEST(ContentShapes, NoPartOfAModelFloatsFreeOfTheRest) {
    REQUIRE_CONTENT_SET();
    // Models built from parts, where a part that touches nothing would hang in space.
    // (The battleship's hit mesh is left out: its parts are shrunk apart on purpose, to
    // stay hidden inside the hull.)
    const std::set<std::string> built = {"goldship",   "bigship",        "platform",   "scout",
                                         "battleship", "battleship_low", "mothership", "mothership_piece",
                                         "alien",      "alien_low",      "station",    "station_low",
                                         "energycore", "powerup",        "wreck"};
    for (const ContentEntry& entry : ContentInventory()) {
        if (entry.format != Format::Model || !built.count(entry.recipe)) continue;
        SCOPED_TRACE(entry.path);
        const MeshData m = Model(entry.path);
        ASSERT_FALSE(m.Empty());
        ExpectNoPartFloats(m);
    }
    // The radar's dish on its mast, as its first frame shows it.
    const auto radar = LoadMd2(sys::ProgramFolder() + "\\mesh\\radar.md2");
    ASSERT_TRUE(radar.has_value());
    MeshData dish;
    dish.positions = radar->frames[0].positions;
    dish.indices = radar->indices;
    ComputeBounds(dish.positions, dish.boundsMin, dish.boundsMax, dish.radius);
    SCOPED_TRACE("mesh\\radar.md2");
    ExpectNoPartFloats(dish);
}

TEST(ContentShapes, ShipsPointTheWayTheGameFliesThem) {
    REQUIRE_CONTENT_SET();
    // The gold ship is flown along its -Z, the scout along its +Z; the nose is the narrow
    // end, the engines the wide one, and the tail fin stands up.
    struct Case {
        const char* path;
        bool noseAtMinusZ;
    };
    for (const Case c : {Case{"mesh\\goldship.3ds", true}, Case{"mesh\\scout.3ds", false}}) {
        SCOPED_TRACE(c.path);
        const MeshData m = Model(c.path);
        ASSERT_FALSE(m.Empty());
        const float len = m.boundsMax.z - m.boundsMin.z;
        float nearMinusZ = 0, nearPlusZ = 0;
        for (const Vector& p : m.positions) {
            if (p.z < m.boundsMin.z + len * 0.1f) nearMinusZ = std::max(nearMinusZ, std::abs(p.x));
            if (p.z > m.boundsMax.z - len * 0.1f) nearPlusZ = std::max(nearPlusZ, std::abs(p.x));
        }
        EXPECT_EQ(nearMinusZ < nearPlusZ, c.noseAtMinusZ)
            << "widths near -Z " << nearMinusZ << ", near +Z " << nearPlusZ;
        EXPECT_GT(m.boundsMax.y, -m.boundsMin.y) << "upside down";
    }
}

TEST(ContentShapes, AlienFightersFlyRightWayUpAfterTheirLoadRotation) {
    REQUIRE_CONTENT_SET();
    // The game loads every fighter turned (180, 0, 0) and then flies it with the turns
    // and moves of its own axes: the canopy and fins must end up above the ship.
    engine::Placement turned;
    engine::SetRotation(turned, {180, 0, 0});
    for (const char* name : {"asnoglass", "aship2", "as3", "as4", "as5"}) {
        for (const char* detail : {"", "_low"}) {
            const std::string path = std::string("mesh\\") + name + detail + ".3ds";
            SCOPED_TRACE(path);
            const MeshData m = Model(path);
            ASSERT_FALSE(m.Empty());
            float top = 0, bottom = 0;
            for (const Vector& p : m.positions) {
                const float y = p.x * turned.right.y + p.y * turned.up.y + p.z * turned.front.y;
                top = std::max(top, y);
                bottom = std::min(bottom, y);
            }
            EXPECT_GT(top, 1.3f * -bottom)
                << "flies belly-up: reaches " << top << " up, " << -bottom << " down";
        }
    }
}

TEST(ContentShapes, TheGameAttachesFlamesAndGunsWhereTheHullHasThem) {
    REQUIRE_CONTENT_SET();
    // Points that the game reaches from a ship's origin along its own right, up and
    // front axes, in world units at the scale it loads the model with: engine flares and
    // plumes must sit in the engines, shots leave from the gun muzzles.
    struct Case {
        const char* path;
        float scale;
        Vector point;
    };
    const Case cases[] = {
        {"mesh\\asnoglass.3ds", 7, {32.13f, 1.19f, -52.0f}},
        {"mesh\\asnoglass_low.3ds", 7, {32.13f, 1.19f, -52.0f}},
        {"mesh\\aship2.3ds", 7, {6.33f, 1.215f, -56.0f}},
        {"mesh\\aship2_low.3ds", 7, {6.33f, 1.215f, -56.0f}},
        {"mesh\\as3.3ds", 7, {6.72f, 2.45f, -25.13f}},
        {"mesh\\as3_low.3ds", 7, {6.72f, 2.45f, -25.13f}},
        {"mesh\\as4.3ds", 7, {0, -1.4f, -81.2f}},
        {"mesh\\as4_low.3ds", 7, {0, -1.4f, -81.2f}},
        {"mesh\\as5.3ds", 7, {11.0f, -0.63f, -35.3f}},
        {"mesh\\as5_low.3ds", 7, {11.0f, -0.63f, -35.3f}},
        {"mesh\\albattle.3ds", 1, {-244, 165, -1586}},
        {"mesh\\albattle.3ds", 1, {243, -151, -1586}},
        {"mesh\\albattle.3ds", 1, {245, -72, 1400}},
        {"mesh\\albattle.3ds", 1, {-245, -72, 1400}},
        {"mesh\\albattle_low.3ds", 1, {243, 167, -1586}},
        {"mesh\\albattle_low.3ds", 1, {-245, -72, 1400}},
        {"mesh\\mas2.3ds", 1, {-0.57f, 94.29f, 925.41f}},
        {"mesh\\mas2.3ds", 1, {-0.57f, -95.25f, 926.23f}},
        {"mesh\\mas2.3ds", 1, {-5.13f, 333.21f, -728.91f}},
        {"mesh\\mas2.3ds", 1, {359.98f, 8.77f, -755.76f}},
        {"mesh\\mas2.3ds", 1, {-5.13f, -333.4f, -728.91f}},
        {"mesh\\mas2.3ds", 1, {-358.97f, 8.77f, -755.76f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " at (" + std::to_string(c.point.x) + ", " +
                     std::to_string(c.point.y) + ", " + std::to_string(c.point.z) + ")");
        const MeshData m = Model(c.path);
        ASSERT_FALSE(m.Empty());
        const Vector p{c.point.x / c.scale, c.point.y / c.scale, c.point.z / c.scale};
        EXPECT_GT(WindingNumber(m, p), 0.25) << "the point is off the hull";
    }
}

TEST(ContentShapes, CollisionMeshesMeetShotsWhereTheirHullsAre) {
    REQUIRE_CONTENT_SET();
    // The mothership's box is never drawn: it encloses the hull. The battleship's is
    // shown with the ship, so it must hide inside the hull of either detail level, yet
    // reach nearly as far on every side for shots to meet it close to the hull.
    struct Case {
        const char* mesh;
        float meshScale;
        const char* hull;
        float hullScale;
        bool shown;
    };
    const Case cases[] = {{"mesh\\albattlebox.3ds", 7, "mesh\\albattle.3ds", 1, true},
                          {"mesh\\albattlebox.3ds", 7, "mesh\\albattle_low.3ds", 1, true},
                          {"mesh\\mas2box.3ds", 9, "mesh\\mas2.3ds", 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hull);
        const MeshData mesh = Model(c.mesh), hull = Model(c.hull);
        ASSERT_FALSE(mesh.Empty() || hull.Empty());
        for (float Vector::*axis : {&Vector::x, &Vector::y, &Vector::z}) {
            const float lo = mesh.boundsMin.*axis * c.meshScale, hi = mesh.boundsMax.*axis * c.meshScale;
            const float hullLo = hull.boundsMin.*axis * c.hullScale,
                        hullHi = hull.boundsMax.*axis * c.hullScale;
            if (c.shown) {
                EXPECT_GT(hi - lo, 0.85f * (hullHi - hullLo));
            } else {
                EXPECT_LE(lo, hullLo);
                EXPECT_GE(hi, hullHi);
            }
        }
        if (!c.shown) continue;
        int outside = 0;
        for (const Vector& p : mesh.positions) {
            const float k = c.meshScale / c.hullScale;
            outside += WindingNumber(hull, {p.x * k, p.y * k, p.z * k}) < 0.9;
        }
        EXPECT_EQ(outside, 0) << "of " << mesh.positions.size() << " corners show through the hull";
    }
}

TEST(ContentShapes, FlipBookFramesEachShowOneAtlasCellTheRightWayRound) {
    REQUIRE_CONTENT_SET();
    // Frame i shows cell i - 1, counted row by row from the top left of the picture. The
    // game turns each frame's +Z to the camera, and a viewer on that side has +X on the
    // left: the cell's top-left corner goes to the frame's top +X corner.
    struct Family {
        const char* prefix;
        int cells;
    };
    for (const Family f : {Family{"mesh\\anim\\exp", 8}, Family{"mesh\\anim\\ion", 4}}) {
        for (int i = 1; i <= f.cells * f.cells; ++i) {
            const std::string path = f.prefix + std::to_string(i) + ".3ds";
            SCOPED_TRACE(path);
            const MeshData m = Model(path);
            ASSERT_FALSE(m.Empty());
            const float n = float(f.cells), col = float((i - 1) % f.cells), row = float((i - 1) / f.cells);
            for (std::size_t v = 0; v < m.positions.size(); ++v) {
                EXPECT_NEAR(m.uvs[v].x, (m.positions[v].x > 0 ? col : col + 1) / n, 1e-4);
                EXPECT_NEAR(m.uvs[v].y, (m.positions[v].y > 0 ? row : row + 1) / n, 1e-4);
            }
        }
    }
}

TEST(ContentShapes, TheStationDwarfsTheShipAtTheirLoadScales) {
    REQUIRE_CONTENT_SET();
    const MeshData station = Model("mesh\\spacest1.3ds"), ship = Model("mesh\\goldship.3ds");
    ASSERT_FALSE(station.Empty() || ship.Empty());
    EXPECT_GT((station.boundsMax.x - station.boundsMin.x) * 8, 4 * (ship.boundsMax.x - ship.boundsMin.x) * 5);
}

TEST(ContentShapes, AnimatedModelsMoveTheWayTheGameShowsThem) {
    REQUIRE_CONTENT_SET();
    // The radar dish turns about the upright mast: every frame spans the same heights,
    // and the dish stands above the mast's foot.
    const auto radar = LoadMd2(sys::ProgramFolder() + "\\mesh\\radar.md2");
    ASSERT_TRUE(radar.has_value());
    float firstLow = 0, firstHigh = 0;
    for (std::size_t f = 0; f < radar->frames.size(); ++f) {
        SCOPED_TRACE(radar->frames[f].name);
        Vector lo, hi;
        float r;
        ComputeBounds(radar->frames[f].positions, lo, hi, r);
        if (f == 0) firstLow = lo.y, firstHigh = hi.y;
        EXPECT_NEAR(lo.y, firstLow, 0.05f);
        EXPECT_NEAR(hi.y, firstHigh, 0.05f);
    }
    EXPECT_GT(firstHigh, -firstLow) << "the mast hangs from the dish";
    const Vector& a = radar->frames[0].positions[0];
    const Vector& b = radar->frames[4].positions[0];
    EXPECT_GT(std::abs(a.x - b.x) + std::abs(a.z - b.z), 0.5f) << "the dish does not turn";

    // The force-field bubble swells over its frames to a radius of 10.
    const auto field = LoadMd2(sys::ProgramFolder() + "\\mesh\\ff.md2");
    ASSERT_TRUE(field.has_value());
    double previous = 0;
    for (const Keyframe& frame : field->frames) {
        double mean = 0;
        for (const Vector& p : frame.positions)
            mean += Length(Sub(p, {})) / double(frame.positions.size());
        EXPECT_GT(mean, previous) << frame.name;
        previous = mean;
    }
    EXPECT_NEAR(previous, 10, 0.3);
}

TEST(ContentShapes, AsteroidsAreRocksOfTheirOwnShape) {
    REQUIRE_CONTENT_SET();
    // No point gathers a fan of slivers (a grid sphere has poles of 28), every kind has
    // its own proportions and spread of radii, and each break-up piece is a part of its
    // rock's size at the scales the game shows them (7 and 9).
    std::vector<std::array<float, 5>> shapes;
    for (int kind = 1; kind <= 10; ++kind) {
        const std::string path = "mesh\\asteroid" + std::to_string(kind) + ".3ds";
        SCOPED_TRACE(path);
        const MeshData m = Model(path);
        ASSERT_FALSE(m.Empty());
        std::map<std::tuple<float, float, float>, int> meeting;
        for (const std::uint32_t i : m.indices)
            ++meeting[{m.positions[i].x, m.positions[i].y, m.positions[i].z}];
        int most = 0;
        for (const auto& [p, n] : meeting)
            most = std::max(most, n);
        EXPECT_LE(most, 8) << "triangles meeting at one point";

        const Vector c{(m.boundsMin.x + m.boundsMax.x) / 2, (m.boundsMin.y + m.boundsMax.y) / 2,
                       (m.boundsMin.z + m.boundsMax.z) / 2};
        std::vector<float> radii;
        for (const Vector& p : m.positions)
            radii.push_back(float(Length(Sub(p, c))));
        std::sort(radii.begin(), radii.end());
        const float big = std::max(
            {m.boundsMax.x - m.boundsMin.x, m.boundsMax.y - m.boundsMin.y, m.boundsMax.z - m.boundsMin.z});
        const float mid = radii[radii.size() / 2];
        shapes.push_back({(m.boundsMax.x - m.boundsMin.x) / big, (m.boundsMax.y - m.boundsMin.y) / big,
                          (m.boundsMax.z - m.boundsMin.z) / big, radii[radii.size() / 10] / mid,
                          radii[radii.size() * 9 / 10] / mid});
        for (int piece = 1; piece <= 4; ++piece) {
            const MeshData f =
                Model("mesh\\anim\\ast" + std::to_string(kind) + "exp" + std::to_string(piece) + ".3ds");
            for (float Vector::*axis : {&Vector::x, &Vector::y}) {
                const float share = (f.boundsMax.*axis - f.boundsMin.*axis) * 9 /
                                    ((m.boundsMax.*axis - m.boundsMin.*axis) * 7);
                EXPECT_GT(share, 0.35f) << "piece " << piece;
                EXPECT_LT(share, 0.8f) << "piece " << piece;
            }
        }
    }
    for (std::size_t a = 0; a < shapes.size(); ++a)
        for (std::size_t b = a + 1; b < shapes.size(); ++b) {
            float apart = 0;
            for (std::size_t k = 0; k < 5; ++k)
                apart = std::max(apart, std::abs(shapes[a][k] - shapes[b][k]));
            EXPECT_GT(apart, 0.03f) << "asteroid kinds " << a + 1 << " and " << b + 1 << " look alike";
        }
}

TEST(ContentShapes, ExplosionFramesBurnAsFireToTheLastFrame) {
    REQUIRE_CONTENT_SET();
    // The flip-books are added to the scene: what shows is colour times alpha. Every
    // frame shows something and the last still shows a tenth of the brightest, and the
    // light is fire (red over green over blue), in all six sets. At its largest the
    // fireball with its smoke fills most of its cell, so a big explosion reads as big,
    // yet leaves the cell's border clear: filtering would bleed it into the next frame.
    for (int n = 1; n <= 6; ++n) {
        const std::string path = "tex\\exp" + std::to_string(n) + ".png";
        SCOPED_TRACE(path);
        const auto atlas = Picture(path);
        ASSERT_TRUE(atlas.has_value());
        // 8 x 8 cells, whatever size the atlas is kept at.
        const int side = atlas->width, cell = side / 8;
        ASSERT_EQ(atlas->height, side);
        ASSERT_EQ(cell * 8, side);
        std::array<double, 64> shown{}, filled{};
        double r = 0, g = 0, b = 0, onBorder = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const std::uint8_t* p =
                    &atlas->rgba[(std::size_t(y) * std::size_t(side) + std::size_t(x)) * 4];
                const double a = p[3] / 255.0;
                const std::size_t frame = std::size_t((y / cell) * 8 + x / cell);
                shown[frame] += a * (p[0] + p[1] + p[2]) / 765.0;
                // A pixel that shows over black space: its brightest channel at 6 %.
                const double light = a * std::max({p[0], p[1], p[2]}) / 255.0;
                filled[frame] += light >= 0.06 ? 1.0 / (cell * cell) : 0.0;
                if (x % cell == 0 || x % cell == cell - 1 || y % cell == 0 || y % cell == cell - 1)
                    onBorder = std::max(onBorder, light);
                r += a * p[0], g += a * p[1], b += a * p[2];
            }
        const double largest = *std::max_element(filled.begin(), filled.end());
        RecordProperty(path + " largest", std::to_string(largest));
        EXPECT_GE(largest, 0.6) << "the fireball fills only " << largest << " of its cell at its largest";
        EXPECT_LT(onBorder, 0.02) << "a frame reaches the border of its cell";
        const double brightest = *std::max_element(shown.begin(), shown.end());
        for (std::size_t f = 0; f < 64; ++f)
            EXPECT_GT(shown[f], 0.05 * brightest) << "frame " << f + 1 << " is nearly empty";
        EXPECT_GT(shown[63], 0.1 * brightest) << "the last frame";
        EXPECT_GT(r, g);
        EXPECT_GT(g, b);
        EXPECT_GT(r, 1.6 * b) << "not the colour of fire";
    }
}

TEST(ContentShapes, SkyStarsArePointsOfManyBrightnesses) {
    REQUIRE_CONTENT_SET();
    // The game shows a sky face of s texels over 90 degrees through a 70-degree lens on
    // 1024 rows: one texel spans 512 / tan(35 deg) / (s / 2) pixels at the centre.
    const char* faces[] = {"space001",     "space002",     "space003",  "space004", "sbbottom", "sbtop",
                           "space001_low", "space004_low", "sbtop_low", "space201", "space204", "sbtop2"};
    for (const char* face : faces) {
        const std::string path = std::string("tex\\") + face + ".jpg";
        SCOPED_TRACE(path);
        const auto img = Picture(path);
        ASSERT_TRUE(img.has_value());
        const int w = img->width, h = img->height;
        const double pixelsPerTexel = 512 / std::tan(35 * std::numbers::pi / 180) / (w / 2.0);
        auto lum = [&](int x, int y) {
            x = std::clamp(x, 0, w - 1), y = std::clamp(y, 0, h - 1);
            const std::uint8_t* p = &img->rgba[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4];
            return (p[0] + p[1] + p[2]) / 765.0;
        };
        std::vector<double> widths, peaks;
        int warm = 0, cool = 0;
        for (int y = 3; y < h - 3; ++y)
            for (int x = 3; x < w - 3; ++x) {
                const double peak = lum(x, y);
                double ground = 1;
                bool highest = true;
                for (int dy = -3; dy <= 3; ++dy)
                    for (int dx = -3; dx <= 3; ++dx) {
                        ground = std::min(ground, lum(x + dx, y + dy));
                        if ((dx || dy) && std::abs(dx) <= 1 && std::abs(dy) <= 1 &&
                            lum(x + dx, y + dy) >= peak)
                            highest = false;
                    }
                if (!highest || peak - ground < 0.15) continue;
                int area = 0;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        area += lum(x + dx, y + dy) - ground > (peak - ground) / 2;
                widths.push_back(2 * std::sqrt(area / std::numbers::pi) * pixelsPerTexel);
                peaks.push_back(peak - ground);
                const std::uint8_t* p = &img->rgba[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4];
                warm += p[0] > p[2] + 20;
                cool += p[2] > p[0] + 12;
            }
        ASSERT_GT(widths.size(), 300u) << "stars";
        std::sort(widths.begin(), widths.end());
        std::sort(peaks.begin(), peaks.end());
        EXPECT_LE(widths[widths.size() / 2], 4.0) << "median star width in screen pixels at 1280 x 1024";
        EXPECT_LE(widths[widths.size() * 95 / 100], 6.0) << "the widest stars, in screen pixels";
        EXPECT_GT(peaks[peaks.size() * 9 / 10], 2.5 * peaks[peaks.size() / 10]) << "one brightness for all";
        EXPECT_GT(warm, int(widths.size() / 50)) << "no warm stars";
        EXPECT_GT(cool, int(widths.size() / 50)) << "no blue stars";
    }
}

TEST(ContentSounds, LoopedEffectsJoinWithoutADipOrAClick) {
    REQUIRE_CONTENT_SET();
    // The game loops these buffers. Faded ends would pull the sound to silence at
    // every seam; a loop that does not join would jump there by more than any step
    // within the sound.
    for (const char* path : {"sound\\engine.wav", "sound\\masengine.wav", "sound\\maseng.wav",
                             "sound\\gravitybeam.wav", "sound\\fireball.wav"}) {
        SCOPED_TRACE(path);
        const auto wave = sound::ReadWaveFile(sys::ResolvePath(sys::ProgramFolder() + "\\" + path));
        ASSERT_TRUE(wave.has_value());
        const std::vector<std::int16_t>& s = wave->pcm.samples;
        const std::size_t n = s.size();
        ASSERT_GT(n, 1000u);
        double level = 0, steepest = 0;
        for (std::size_t i = 1; i < n; ++i) {
            level += std::abs(double(s[i])) / double(n);
            steepest = std::max(steepest, std::abs(double(s[i]) - s[i - 1]));
        }
        double ends = 0;
        for (std::size_t i = 0; i < 3; ++i)
            ends += std::abs(double(s[i])) + std::abs(double(s[n - 1 - i]));
        EXPECT_GT(ends, 0.3 * level) << "the sound fades to silence at the seam";
        EXPECT_LE(std::abs(double(s[0]) - s[n - 1]), steepest) << "a click at the seam";
    }
}

// The meter against signals whose loudness is known: a full-scale 997 Hz sine in one
// channel reads -3.01 LUFS, in two channels 0; silence and much quieter passages fall
// below the gates and leave the reading where the loud part puts it.
TEST(ContentSounds, TheLoudnessMeterReadsKnownSignals) {
    auto tone = [](int rate, int channels, double seconds, double amplitude, double quietAfter) {
        std::vector<float> s;
        const auto n = std::size_t(seconds * rate);
        for (std::size_t i = 0; i < 2 * n; ++i) {
            const double a = i < n ? amplitude : quietAfter;
            for (int c = 0; c < channels; ++c)
                s.push_back(float(a * std::sin(2 * std::numbers::pi * 997 * double(i) / rate)));
        }
        return s;
    };
    struct Case {
        int rate, channels;
        double amplitude, quietAfter, lufs;
    };
    for (const Case& c :
         {Case{48000, 1, 1.0, 1.0, -3.01}, Case{48000, 2, 1.0, 1.0, 0.0}, Case{22050, 1, 1.0, 1.0, -3.01},
          Case{44100, 2, 0.1, 0.0, -20.0}, Case{44100, 1, 0.1, 0.01, -23.01}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels, " << c.amplitude);
        const std::vector<float> s = tone(c.rate, c.channels, 5, c.amplitude, c.quietAfter);
        EXPECT_NEAR(content::IntegratedLufs(s.data(), s.size() / std::size_t(c.channels), c.channels, c.rate),
                    c.lufs, 0.15);  // the blocks across a change count in part
    }
    const std::vector<float> silence(44100, 0.0f);
    EXPECT_LT(content::IntegratedLufs(silence.data(), silence.size(), 1, 44100), -70);
}

// Power in the partials that are not harmonics of `hz` (the ones folded back from
// above half the sample rate), against all the power, in dB. A Blackman-Harris window
// keeps a harmonic's leakage far below the levels that matter here.
double FoldedPowerDb(const std::vector<double>& x, double hz, int rate) {
    const std::size_t n = x.size();
    std::vector<double> windowed(n), cosine(n), sine(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double u = 2 * std::numbers::pi * double(i) / double(n);
        windowed[i] =
            x[i] * (0.35875 - 0.48829 * std::cos(u) + 0.14128 * std::cos(2 * u) - 0.01168 * std::cos(3 * u));
        cosine[i] = std::cos(u);
        sine[i] = std::sin(u);
    }
    const double binHz = double(rate) / double(n);
    double folded = 0, all = 0;
    for (std::size_t k = 1; k < n / 2; ++k) {
        double re = 0, im = 0;
        for (std::size_t i = 0; i < n; ++i) {
            re += windowed[i] * cosine[k * i % n];
            im -= windowed[i] * sine[k * i % n];
        }
        const double power = re * re + im * im, at = double(k) * binHz;
        all += power;
        if (std::abs(at - std::round(at / hz) * hz) > 5 * binHz) folded += power;
    }
    return 10 * std::log10(folded / all);
}

// A naive saw or square leaves its harmonics above half the sample rate to fold back
// as whistles at 10 to 13 dB under the tone at these pitches; band-limited, they stay
// 25 dB under.
TEST(ContentSounds, SawAndSquareWavesDoNotFoldBack) {
    constexpr int kRate = 22050;
    for (const double hz : {1234.5, 2637.0}) {
        for (const int percent : {0, 50, 30}) {  // the pulse's duty; 0: the saw
            SCOPED_TRACE(testing::Message() << hz << " Hz, duty " << percent << " % (0: saw)");
            const double duty = percent / 100.0;
            std::vector<double> x(2048);
            double phase = 0;
            const double dt = content::PhaseStep(hz, kRate);
            for (double& v : x) {
                v = duty > 0 ? content::Pulse(phase, dt, duty) : content::Saw(phase, dt);
                phase += dt;
                phase -= std::floor(phase);
            }
            EXPECT_LT(FoldedPowerDb(x, hz, kRate), -20);
        }
    }
}

std::vector<const ContentEntry*> Entries(const std::function<bool(const ContentEntry&)>& pick) {
    std::vector<const ContentEntry*> out;
    for (const ContentEntry& e : ContentInventory())
        if (pick(e)) out.push_back(&e);
    return out;
}

// Music under the fighting: played as the background track at -9 dB. The music
// folder's General MIDI track is rendered by the synthesizer the game plays it with.
const std::set<std::string> kLevelMusic = {"sound\\lastfight.wma",       "sound\\alienbattlebegin.wma",
                                           "sound\\alienbattleloop.wma", "sound\\ms_begin.wma",
                                           "sound\\ms_song.wma",         "sound\\astloop.wma",
                                           "music\\orbit.wma",           "music\\nebula.mp3",
                                           "music\\frontier.ogg",        "music\\patrol.mid"};
constexpr double kMusicGainDb = -9;

// The music folder's tracks take turns as a level's background: the synthesized one
// plays as loud as the recorded ones, so neither stands out nor sinks under the voices.
TEST(ContentSounds, TheGeneralMidiTrackPlaysAsLoudAsTheRecordedOnes) {
    REQUIRE_CONTENT_SET();
    const double midi = PlayedLoudness("music\\patrol.mid", Played::AsClip, kMusicGainDb);
    RecordProperty("music\\patrol.mid", std::to_string(midi));
    for (const char* recorded : {"music\\orbit.wma", "music\\nebula.mp3", "music\\frontier.ogg"}) {
        const double lufs = PlayedLoudness(recorded, Played::AsClip, kMusicGainDb);
        EXPECT_NEAR(midi, lufs, 1.0) << "the General MIDI track against " << recorded;
    }
}

// Each voice at the volume it is played with, against the loudest music under it.
TEST(ContentSounds, VoicesStandClearOfTheMusic) {
    REQUIRE_CONTENT_SET();
    double loudestMusic = -1000;
    for (const std::string& path : kLevelMusic) {
        const double lufs = PlayedLoudness(path, Played::AsClip, kMusicGainDb);
        RecordProperty(path, std::to_string(lufs));  // the figures, in the XML report
        EXPECT_GT(lufs, -30) << path << " is hardly heard";
        loudestMusic = std::max(loudestMusic, lufs);
    }
    for (const ContentEntry* e : Entries([](const ContentEntry& x) { return x.recipe == "voice"; })) {
        const std::string file = e->path.substr(e->path.find_last_of('\\') + 1),
                          name = file.substr(0, file.find('.'));
        // The tutorial and the flaming-asteroid warnings play 3 dB down; "reward" is an
        // effect buffer; every other voice is a clip at full volume.
        const bool softer = e->path.find("tutorial") != std::string::npos || name.rfind("lavaast", 0) == 0;
        const double lufs =
            PlayedLoudness(e->path, name == "reward" ? Played::AsEffect : Played::AsClip, softer ? -3 : 0);
        RecordProperty(e->path, std::to_string(lufs));
        EXPECT_GE(lufs, loudestMusic + 6)
            << e->path << " at " << lufs << " LUFS, music up to " << loudestMusic;
        EXPECT_LE(lufs, loudestMusic + 10) << e->path << " shouts over the music";
    }
}

// Every generated sound as the decoders hand it on (the video's sound included): no
// true peak, the level between the samples as well as at them, passes -1 dBTP, so
// nothing is clipped on its way to the speakers before the game even mixes it.
TEST(ContentSounds, NoFilePeaksOverMinusOneDbTruePeak) {
    REQUIRE_CONTENT_SET();
    for (const ContentEntry& e : ContentInventory()) {
        std::vector<float> samples;
        int rate = 0, channels = 2;
        if (e.format == Format::Wav) {
            const auto wave = sound::ReadWaveFile(sys::ResolvePath(sys::ProgramFolder() + "\\" + e.path));
            ASSERT_TRUE(wave) << e.path;
            rate = int(wave->format.samplesPerSec);
            channels = wave->format.channels;
            for (std::int16_t v : wave->pcm.samples)
                samples.push_back(float(v) / 32768.0f);
        } else if (e.format == Format::Wma || e.format == Format::Mp3 || e.format == Format::Ogg ||
                   e.format == Format::Wmv || e.format == Format::Midi) {
            samples = DecodedStereo(e.path, rate);
        } else {
            continue;  // pictures, models, texts
        }
        ASSERT_FALSE(samples.empty()) << e.path;
        const double peak =
            content::TruePeakDb(samples.data(), samples.size() / std::size_t(channels), channels, rate);
        RecordProperty(e.path, std::to_string(peak));
        EXPECT_LE(peak, -1.0) << e.path << " peaks at " << peak << " dBTP";
    }
}

// The energy above `hz`, as a share of all of it.
double ShareAbove(const std::string& gamePath, double hz) {
    const auto wave = sound::ReadWaveFile(sys::ResolvePath(sys::ProgramFolder() + "\\" + gamePath));
    if (!wave) return 0;
    const double w = 2 * std::numbers::pi * hz / wave->format.samplesPerSec, c = std::cos(w),
                 alpha = std::sin(w) / (2 * 0.7071), a0 = 1 + alpha;
    const double b0 = (1 + c) / 2 / a0, b1 = -(1 + c) / a0, b2 = b0, a1 = -2 * c / a0, a2 = (1 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0, all = 0, high = 0;
    for (std::int16_t v : wave->pcm.samples) {
        const double x = v / 32768.0, y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        all += x * x, high += y * y;
    }
    return all > 0 ? high / all : 0;
}

TEST(ContentSounds, ExplosionsPunchAboveThePlayersGuns) {
    REQUIRE_CONTENT_SET();
    double loudestGun = -1000;
    for (const char* gun : {"sound\\laser.wav", "sound\\plasma1.wav", "sound\\ion.wav", "sound\\mion.wav",
                            "sound\\gammasfx.wav", "sound\\eplasmasfx.wav", "sound\\dispersercannon.wav"}) {
        const double lufs = PlayedLoudness(gun, Played::AsEffect, 0);
        RecordProperty(gun, std::to_string(lufs));
        EXPECT_GT(lufs, -30) << gun << " is hardly heard";
        loudestGun = std::max(loudestGun, lufs);
    }
    for (const char* boom : {"Sound\\explosion1.wav", "Sound\\explosion2.wav", "Sound\\explosion3.wav"}) {
        SCOPED_TRACE(boom);
        const double lufs = PlayedLoudness(boom, Played::AsEffect, 0);
        RecordProperty(boom, std::to_string(lufs));
        EXPECT_GE(lufs, loudestGun + 3) << lufs << " LUFS, guns up to " << loudestGun;
        // A crack and a body, not only a rumble that small speakers cannot give.
        EXPECT_GT(ShareAbove(boom, 150), 0.35);
        EXPECT_GT(ShareAbove(boom, 2000), 0.03);
    }
}

// The station crew, the scream included, come over a radio channel: nothing under
// its low cut or over its top worth hearing.
TEST(ContentSounds, StationVoicesComeOverARadio) {
    REQUIRE_CONTENT_SET();
    for (const char* path :
         {"sound\\vto1.wav", "sound\\stationvoices\\badman.wav", "sound\\stationvoices\\fallen.wav",
          "sound\\stationvoices\\feelspecial.wav", "sound\\stationvoices\\itblowsup.wav",
          "sound\\stationvoices\\nancyboy.wav", "sound\\stationvoices\\scream.wav"}) {
        SCOPED_TRACE(path);
        EXPECT_GT(ShareAbove(path, 200), 0.9);
        EXPECT_LT(ShareAbove(path, 5000), 0.02);
    }
}

// The background tracks that are started again each time they end, and the openings
// that lead into them: full from the first bar to the last, so the restart cannot sag.
TEST(ContentSounds, MusicLoopsRunAtFullLevelAcrossTheSeam) {
    REQUIRE_CONTENT_SET();
    for (const char* path : {"sound\\alienbattleloop.wma", "sound\\ms_song.wma", "sound\\astloop.wma",
                             "sound\\lastfight.wma", "sound\\alienbattlebegin.wma", "sound\\ms_begin.wma"}) {
        SCOPED_TRACE(path);
        int rate = 0;
        const std::vector<float> s = DecodedStereo(path, rate);
        ASSERT_GT(rate, 0);
        const std::size_t frames = s.size() / 2;
        ASSERT_GT(frames, std::size_t(rate) * 20);
        const double whole = content::IntegratedLufs(s.data(), frames, 2, rate);
        const bool opening = std::string(path).find("begin") != std::string::npos;
        // Every second of the first and last four, on its own.
        for (std::size_t second = 0; second < 8; ++second) {
            if (opening && second < 4) continue;  // an opening may build up
            const std::size_t at =
                second < 4 ? second * std::size_t(rate) : frames - (8 - second) * std::size_t(rate);
            const double lufs = content::IntegratedLufs(s.data() + 2 * at, std::size_t(rate), 2, rate);
            EXPECT_GT(lufs, whole - 6)
                << "second " << second << " of the ends sags to " << lufs << " from " << whole;
        }
        // No gap at the very ends: the first and last 50 ms carry sound (a gap reads
        // near zero; the beat before a bar line may be quiet).
        auto rms = [&s](std::size_t from, std::size_t n) {
            double sum = 0;
            for (std::size_t i = 2 * from; i < 2 * (from + n); ++i)
                sum += double(s[i]) * s[i];
            return std::sqrt(sum / double(2 * n));
        };
        const std::size_t edge = std::size_t(rate) / 20;
        const double level = rms(0, frames);
        if (!opening) {
            EXPECT_GT(rms(0, edge), 0.05 * level) << "silence at the start";
        }
        EXPECT_GT(rms(frames - edge, edge), 0.05 * level) << "silence at the end";
    }
}

TEST(ContentShapes, FontCellsHoldTheirCharacters) {
    REQUIRE_CONTENT_SET();
    const auto font = Picture("tex\\font.jpg");
    ASSERT_TRUE(font.has_value());
    ASSERT_EQ(font->width, 512);
    ASSERT_EQ(font->height, 512);
    auto ink = [&font](int cell) {
        int lit = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                lit += font->rgba[std::size_t(((cell / 16) * 32 + y) * 512 + (cell % 16) * 32 + x) * 4] > 128;
        return lit;
    };
    for (int c = 0; c < 256; ++c) {
        const bool printable = c > 32 && c < 127;
        EXPECT_EQ(ink(c) > 20, printable) << "cell " << c;
    }
    EXPECT_GT(ink('W'), ink('I'));  // the cells hold their own glyphs, not one shape
    EXPECT_GT(ink('#'), ink('.'));
}

TEST(ContentShapes, EnergyMeterLabelIsWholeAndClearOfTheEdges) {
    REQUIRE_CONTENT_SET();
    // The game shows the picture 256 x 32 and paints over the gauge (y 8 to 24) with the
    // energy it lacks, so the label has the seven rows above it. Filtering blends the
    // edge rows with the opposite edge: a label reaching the edge reads as cut off.
    for (int level = 1; level <= 4; ++level) {
        const std::string path = "tex\\energymeter" + std::to_string(level) + ".png";
        SCOPED_TRACE(path);
        const auto img = Picture(path);
        ASSERT_TRUE(img.has_value());
        ASSERT_EQ(img->width, 256);
        ASSERT_EQ(img->height, 32);
        auto light = [&img](int x, int y) {
            const unsigned char* p = &img->rgba[std::size_t(y * 256 + x) * 4];
            return p[0] > 160 && p[1] > 160 && p[2] > 160 && p[3] > 160;
        };
        // The label's columns: light pixels above the gauge's frame.
        std::vector<int> columns;
        for (int x = 0; x < 256; ++x)
            for (int y = 0; y < 7; ++y)
                if (light(x, y)) {
                    columns.push_back(x);
                    break;
                }
        ASSERT_FALSE(columns.empty()) << "no label";
        int top = 32, bottom = -1;
        for (const int x : columns)
            for (int y = 0; y < 8; ++y)
                if (light(x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        EXPECT_GE(columns.front(), 1);
        EXPECT_LE(columns.back(), 254);
        EXPECT_GE(top, 1) << "the label touches the top edge";
        EXPECT_EQ(bottom - top + 1, 7) << "the capitals are seven dots tall: the label is cut or squeezed";
        for (const int x : {0, 255})
            for (int y = 0; y < 32; ++y)
                EXPECT_FALSE(light(x, y)) << x << ", " << y;
        for (int x = 0; x < 256; ++x)
            EXPECT_FALSE(light(x, 0) || light(x, 31)) << x;
    }
}

TEST(ContentGenerator, WritesTheSameBytesOnEveryRun) {
    const std::vector<std::string> sample = {"mesh\\anim\\exp12.3ds",
                                             "mesh\\asteroid4.3ds",
                                             "mesh\\ff.md2",
                                             "tex\\ast2txt.jpg",
                                             "tex\\anim\\shieldhit.png",
                                             "par\\particle11.bmp",
                                             "par\\core.par",
                                             "Sound\\hit.wav",
                                             "sound\\tutorial\\tut3.wma",
                                             "music\\frontier.ogg",
                                             "music\\nebula.mp3",
                                             "music\\patrol.mid",
                                             "txt\\level.txt",
                                             "video\\veltorvideo.wmv",
                                             "tex\\launchpad.jpg",
                                             "tex\\font.jpg",
                                             "tex\\exp5.png",
                                             "Sound\\explosion2.wav",
                                             "sound\\vto1.wav"};
    std::string list;
    for (const std::string& s : sample)
        list += (list.empty() ? "" : ",") + s;
    TempFolder first, second;
    ASSERT_EQ(RunGenerator({first.str(), "--only", list}), 0);
    ASSERT_EQ(RunGenerator({second.str(), "--only", list}), 0);
    for (const std::string& s : sample) {
        SCOPED_TRACE(s);
        const std::string a = first.Read(content::DiskPath(s)), b = second.Read(content::DiskPath(s));
        ASSERT_FALSE(a.empty());
        EXPECT_TRUE(a == b) << "the two runs differ";
    }
}

TEST(ContentGenerator, RefusesNamesOutsideTheInventoryAndWritesNothing) {
    TempFolder out;
    EXPECT_EQ(RunGenerator({out.str(), "--only", "tex\\font.jpg,tex\\nosuch.jpg"}), 2);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

}  // namespace
}  // namespace quorvel::test
