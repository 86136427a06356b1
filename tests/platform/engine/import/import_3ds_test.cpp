#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/engine/import/bytes.h"
#include "platform/engine/import_3ds.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

using test::Put16;
using test::Put32;
using test::PutF;

std::string Chunk(std::uint16_t id, const std::string& body) {
    std::string s;
    Put16(s, id);
    Put32(s, std::uint32_t(6 + body.size()));
    return s + body;
}

struct Object {
    std::vector<Vector> verts;  // file axes
    std::vector<std::array<std::uint16_t, 3>> faces;
    std::vector<Vector2> uvs;
    Vector origin;  // the object's local frame: a translation
};

std::string Write3ds(const std::vector<Object>& objects) {
    std::string edit;
    for (std::size_t o = 0; o < objects.size(); ++o) {
        const Object& ob = objects[o];
        std::string verts, faces, uvs, local;
        Put16(verts, std::uint16_t(ob.verts.size()));
        for (const Vector& v : ob.verts)
            for (float f : {v.x, v.y, v.z})
                PutF(verts, f);
        Put16(faces, std::uint16_t(ob.faces.size()));
        for (const auto& f : ob.faces) {
            for (auto i : f)
                Put16(faces, i);
            Put16(faces, 0);
        }
        Put16(uvs, std::uint16_t(ob.uvs.size()));
        for (const Vector2& uv : ob.uvs) {
            PutF(uvs, uv.x);
            PutF(uvs, uv.y);
        }
        for (float f : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, ob.origin.x, ob.origin.y, ob.origin.z})
            PutF(local, f);
        const std::string mesh = Chunk(0x4110, verts) + Chunk(0x4120, faces) +
                                 (ob.uvs.empty() ? "" : Chunk(0x4140, uvs)) + Chunk(0x4160, local);
        const std::string name = "obj" + std::to_string(o);
        edit += Chunk(0x4000, name + '\0' + Chunk(0x4100, mesh));
    }
    std::string version;
    Put32(version, 3);
    return Chunk(0x4d4d, Chunk(0x0002, version) + Chunk(0x3d3d, edit));
}

// Two objects: a triangle lying in the file's ground plane, counter-clockwise seen
// from above (the file's front-face rule), and one standing up, with its local frame
// moved away from the origin. Points are stored in world space either way.
std::vector<Object> TwoObjects() {
    return {
        {{{0, 0, 0}, {4, 0, 0}, {0, 2, 0}}, {{0, 1, 2}}, {{0, 0}, {1, 0}, {0, 0.25f}}, {}},
        {{{0, 5, 0}, {1, 5, 0}, {0, 5, 3}}, {{0, 1, 2}}, {}, {100, 50, 20}},
    };
}

bool Has(const MeshData& m, float x, float y, float z) {
    for (const Vector& p : m.positions)
        if (std::abs(p.x - x) < 1e-4f && std::abs(p.y - y) < 1e-4f && std::abs(p.z - z) < 1e-4f) return true;
    return false;
}

TEST(Import3ds, ObjectsMergeInEngineAxesWithFrontFacesClockwise) {
    test::TempFolder dir;
    dir.Write("mesh/Pair.3DS", Write3ds(TwoObjects()));
    const auto mesh = Load3ds(dir.str() + "\\mesh\\pair.3ds");
    ASSERT_TRUE(mesh);
    ASSERT_EQ(mesh->indices.size(), 6u);
    ASSERT_EQ(mesh->normals.size(), mesh->positions.size());
    ASSERT_EQ(mesh->uvs.size(), mesh->positions.size());
    // File (x, y, z) is engine (x, z, y); the moved local frame does not move the points.
    for (auto [x, y, z] : {std::array{0.f, 0.f, 0.f},
                           {4.f, 0.f, 0.f},
                           {0.f, 0.f, 2.f},
                           {0.f, 0.f, 5.f},
                           {1.f, 0.f, 5.f},
                           {0.f, 3.f, 5.f}})
        EXPECT_TRUE(Has(*mesh, x, y, z)) << x << ' ' << y << ' ' << z;
    EXPECT_FLOAT_EQ(mesh->boundsMax.x, 4);
    EXPECT_FLOAT_EQ(mesh->boundsMax.y, 3);
    EXPECT_FLOAT_EQ(mesh->boundsMax.z, 5);
    EXPECT_NEAR(mesh->radius, std::sqrt(9.f + 25.f), 1e-4f);

    // Per triangle: the stored normals and the clockwise winding agree on the front side.
    for (std::size_t t = 0; t < 6; t += 3) {
        const Vector& a = mesh->positions[mesh->indices[t]];
        const Vector& b = mesh->positions[mesh->indices[t + 1]];
        const Vector& c = mesh->positions[mesh->indices[t + 2]];
        const Vector cw = Cross(b - a, c - a);
        const Vector& n = mesh->normals[mesh->indices[t]];
        EXPECT_GT(Dot(cw, n), 0) << "triangle " << t / 3;
    }
    // The ground triangle faced up in the file and faces up here; v counts from the top.
    for (std::size_t i = 0; i < mesh->positions.size(); ++i) {
        const Vector& p = mesh->positions[i];
        if (p.z < 4) {
            EXPECT_NEAR(mesh->normals[i].y, 1, 1e-5f);
        }
        if (p.x == 4 && p.z == 0) {
            EXPECT_FLOAT_EQ(mesh->uvs[i].x, 1);
            EXPECT_FLOAT_EQ(mesh->uvs[i].y, 1);
        }
        if (p.z == 2) {
            EXPECT_FLOAT_EQ(mesh->uvs[i].y, 0.75f);
        }
    }
}

// A closed cube whose faces belong to no smoothing group keeps its hard edges: every
// corner normal is the normal of its own face, pointing out of the cube.
TEST(Import3ds, FlatFacesKeepTheirEdges) {
    Object cube;
    for (int i = 0; i < 8; ++i)
        cube.verts.push_back({float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)});
    // Counter-clockwise seen from outside, the file's front-face rule.
    const std::uint16_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                       {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads) {
        cube.faces.push_back({q[0], q[1], q[2]});
        cube.faces.push_back({q[0], q[2], q[3]});
    }
    test::TempFolder dir;
    dir.Write("cube.3ds", Write3ds({cube}));
    const auto mesh = Load3ds(dir.str() + "\\cube.3ds");
    ASSERT_TRUE(mesh);
    ASSERT_EQ(mesh->indices.size(), 36u);
    for (std::size_t t = 0; t < mesh->indices.size(); t += 3) {
        const Vector& a = mesh->positions[mesh->indices[t]];
        const Vector& b = mesh->positions[mesh->indices[t + 1]];
        const Vector& c = mesh->positions[mesh->indices[t + 2]];
        const Vector centre = (a + b + c) / 3 - Vector{0.5f, 0.5f, 0.5f};
        for (std::size_t k = 0; k < 3; ++k) {
            const Vector& n = mesh->normals[mesh->indices[t + k]];
            // The face's outward axis: the largest component of its centre's offset.
            const float out = std::max({std::abs(centre.x), std::abs(centre.y), std::abs(centre.z)});
            const float along = Dot(n, centre);
            EXPECT_NEAR(along, out, 1e-4f) << "triangle " << t / 3 << " corner " << k;
        }
    }
}

TEST(Import3ds, MissingOrDamagedFilesGiveNothing) {
    test::TempFolder dir;
    const std::string good = Write3ds(TwoObjects());
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"not a model", "this is plain text, not a model at all"},
        {"cut in the vertex list", good.substr(0, 60)},
        {"no objects", Write3ds({})},
        {"a vertex not a number",
         [] {
             auto objects = TwoObjects();
             objects[0].verts[1].y = std::nanf("");
             return Write3ds(objects);
         }()},
        {"an infinite texture coordinate",
         [] {
             auto objects = TwoObjects();
             objects[0].uvs[2].x = INFINITY;
             return Write3ds(objects);
         }()},
    };
    for (const Case& c : cases) {
        dir.Write("mesh/bad.3ds", c.bytes);
        std::string reason;
        EXPECT_FALSE(Load3ds(dir.str() + "\\mesh\\bad.3ds", &reason)) << c.what;
        EXPECT_FALSE(reason.empty()) << c.what;
    }
    EXPECT_FALSE(Load3ds(dir.str() + "\\mesh\\missing.3ds"));
}

}  // namespace
}  // namespace quorvel
