#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/engine/md2.h"
#include "platform/engine/import/bytes.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

using test::Put16;
using test::Put32;
using test::PutF;

struct Md2Frame {
    float scale[3];
    float move[3];
    std::string name;
    std::vector<std::array<std::uint8_t, 3>> verts;
};

struct Md2Model {
    int skinWidth = 64, skinHeight = 32;
    std::vector<std::array<std::int16_t, 2>> st;
    std::vector<std::array<std::uint16_t, 6>> tris;  // three vertex, then three st indices
    std::vector<Md2Frame> frames;
};

// Header offsets of the fields the damaged variants rewrite.
enum Field {
    kVersion = 4,
    kFrameSize = 16,
    kNumVerts = 24,
    kNumTris = 32,
    kNumFrames = 40,
    kOfsFrames = 56,
    kOfsEnd = 64
};

std::string Write(const Md2Model& m) {
    const int nv = int(m.frames.front().verts.size());
    const int frameSize = 40 + 4 * nv;
    const int ofsSkins = 68, ofsSt = ofsSkins, ofsTris = ofsSt + 4 * int(m.st.size());
    const int ofsFrames = ofsTris + 12 * int(m.tris.size());
    const int ofsGl = ofsFrames + frameSize * int(m.frames.size());
    std::string s = "IDP2";
    for (int v : {8, m.skinWidth, m.skinHeight, frameSize, 0, nv, int(m.st.size()), int(m.tris.size()), 0,
                  int(m.frames.size()), ofsSkins, ofsSt, ofsTris, ofsFrames, ofsGl, ofsGl})
        Put32(s, std::uint32_t(v));
    for (auto& st : m.st)
        for (auto c : st)
            Put16(s, std::uint16_t(c));
    for (auto& t : m.tris)
        for (auto i : t)
            Put16(s, i);
    for (auto& f : m.frames) {
        for (float v : f.scale)
            PutF(s, v);
        for (float v : f.move)
            PutF(s, v);
        std::string name = f.name;
        name.resize(16, '\0');
        s += name;
        for (auto& v : f.verts)
            s += {char(v[0]), char(v[1]), char(v[2]), char(0)};
    }
    return s;
}

// A square in the file's ground plane (Z up), two triangles wound clockwise seen from
// above; vertex 2 carries two texture coordinates across a seam. Frame 2 is lifted
// and stretched.
Md2Model TwoFrames() {
    Md2Model m;
    m.st = {{0, 0}, {64, 0}, {64, 32}, {0, 32}, {32, 16}};
    m.tris = {{0, 3, 2, 0, 3, 2}, {0, 2, 1, 0, 4, 1}};
    const std::vector<std::array<std::uint8_t, 3>> square = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
    m.frames = {{{1, 1, 1}, {0, 0, 0}, "stand01", square}, {{2, 0.5f, 1}, {1, 2, 3}, "stand02", square}};
    return m;
}

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

void ExpectNear(const Vector& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

TEST(Md2, EveryFrameIsReadWithItsNameInEngineAxes) {
    test::TempFolder dir;
    dir.Write("mesh/ff.md2", Write(TwoFrames()));
    const auto model = LoadMd2(dir.str() + "\\MESH\\ff.md2");
    ASSERT_TRUE(model);
    ASSERT_EQ(model->frames.size(), 2u);
    EXPECT_EQ(model->frames[0].name, "stand01");
    EXPECT_EQ(model->frames[1].name, "stand02");

    // The seam vertex is split: five vertices, shared by every frame.
    ASSERT_EQ(model->uvs.size(), 5u);
    ASSERT_EQ(model->indices.size(), 6u);
    for (const Keyframe& f : model->frames) {
        EXPECT_EQ(f.positions.size(), 5u);
        EXPECT_EQ(f.normals.size(), 5u);
    }
    // File (x, y, z) lands at engine (x, z, y), after scale and translate.
    const auto& idx = model->indices;
    ExpectNear(model->frames[0].positions[idx[2]], 10, 0, 10);  // file vertex 2
    ExpectNear(model->frames[1].positions[idx[2]], 21, 3, 7);   // 10*2+1, 0+3, 10*0.5+2
    ExpectNear(model->frames[1].positions[idx[0]], 1, 3, 2);
    // Texture coordinates divided by the skin size; the seam vertex keeps both.
    EXPECT_FLOAT_EQ(model->uvs[idx[2]].x, 1.0f);
    EXPECT_FLOAT_EQ(model->uvs[idx[2]].y, 1.0f);
    EXPECT_FLOAT_EQ(model->uvs[idx[4]].x, 0.5f);
    EXPECT_FLOAT_EQ(model->uvs[idx[4]].y, 0.5f);
    // The square faced up in the file, so it faces up here, smoothly across the seam.
    for (const Keyframe& f : model->frames)
        for (const Vector& n : f.normals)
            ExpectNear(n, 0, 1, 0);
    // Bounds cover both frames.
    ExpectNear(model->boundsMin, 0, 0, 0);
    ExpectNear(model->boundsMax, 21, 3, 10);
    EXPECT_NEAR(model->radius, std::sqrt(21.f * 21 + 9 + 49), 1e-4f);
}

// A model of `vertices` in `frames`, each triangle with texture coordinates of its own
// at every corner, as exporters write them. Frame f is moved f units along file X.
Md2Model Sized(int vertices, int triangles, int frames) {
    Md2Model m;
    m.skinWidth = 256;
    m.skinHeight = 128;
    for (int t = 0; t < triangles; ++t) {
        std::array<std::uint16_t, 6> tri{};
        for (int k = 0; k < 3; ++k) {
            tri[std::size_t(k)] = std::uint16_t((t + k) % vertices);
            tri[std::size_t(k) + 3] = std::uint16_t(3 * t + k);
            m.st.push_back({std::int16_t((3 * t + k) % 256), std::int16_t((3 * t + k) / 256)});
        }
        m.tris.push_back(tri);
    }
    for (int f = 0; f < frames; ++f) {
        Md2Frame frame{{1, 1, 1}, {float(f), 0, 0}, "f" + std::to_string(f), {}};
        for (int v = 0; v < vertices; ++v)
            frame.verts.push_back({std::uint8_t(v % 256), std::uint8_t(v / 256), std::uint8_t(v % 7)});
        m.frames.push_back(frame);
    }
    return m;
}

// Models as large as real ones and as the format allows are read whole: every
// frame, every corner's own texture coordinates, positions where the file puts them.
TEST(Md2, ModelsUpToTheFormatsBoundsAreRead) {
    const struct {
        const char* what;
        int vertices, triangles, frames;
    } cases[] = {
        {"a player model's size, one texture coordinate per corner", 346, 690, 12},
        {"the most vertices and triangles", MaxMd2Vertices, MaxMd2Triangles, 2},
        {"the most frames", 40, 30, MaxMd2Frames},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Md2Model m = Sized(c.vertices, c.triangles, c.frames);
        std::string reason;
        const auto model = ParseMd2(Bytes(Write(m)), &reason);
        ASSERT_TRUE(model) << reason;
        ASSERT_EQ(model->frames.size(), std::size_t(c.frames));
        ASSERT_EQ(model->indices.size(), std::size_t(3 * c.triangles));
        ASSERT_EQ(model->uvs.size(), std::size_t(3 * c.triangles));  // a vertex per corner
        for (const int f : {0, c.frames - 1})
            for (const int t : {0, c.triangles / 2, c.triangles - 1})
                for (int k = 0; k < 3; ++k) {
                    const std::uint32_t i = model->indices[std::size_t(3 * t + k)];
                    const auto& file = m.frames[std::size_t(f)].verts[m.tris[std::size_t(t)][std::size_t(k)]];
                    ExpectNear(model->frames[std::size_t(f)].positions[i], float(file[0] + f), float(file[2]),
                               float(file[1]));
                    const auto& st = m.st[std::size_t(3 * t + k)];
                    EXPECT_FLOAT_EQ(model->uvs[i].x, st[0] / 256.0f);
                    EXPECT_FLOAT_EQ(model->uvs[i].y, st[1] / 128.0f);
                }
    }
}

TEST(Md2, DamagedFilesFailCleanly) {
    const std::string good = Write(TwoFrames());
    auto with = [&](int at, std::uint32_t value) {
        std::string s = good;
        std::string v;
        Put32(v, value);
        s.replace(std::size_t(at), 4, v);
        return s;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"header only half", good.substr(0, 40)},
        {"bad magic", "IDP3" + good.substr(4)},
        {"version 7", with(kVersion, 7)},
        {"truncated in the frames", good.substr(0, good.size() - 10)},
        {"frames beyond the end", with(kOfsFrames, std::uint32_t(good.size()))},
        {"negative frame offset", with(kOfsFrames, 0xfffffff0u)},
        {"huge frame count", with(kNumFrames, 0x7fffffffu)},
        {"no frames", with(kNumFrames, 0)},
        {"negative vertex count", with(kNumVerts, 0xffffffffu)},
        {"frame too small for its vertices", with(kFrameSize, 40)},
        {"triangle count beyond the data", with(kNumTris, 1000)},
        {"end offset beyond the file", with(kOfsEnd, std::uint32_t(good.size() + 1))},
        {"vertex index out of range",
         [&] {
             Md2Model m = TwoFrames();
             m.tris[1][1] = 4;
             return Write(m);
         }()},
        {"texture index out of range",
         [&] {
             Md2Model m = TwoFrames();
             m.tris[0][4] = 5;
             return Write(m);
         }()},
        {"scale not a number",
         [&] {
             Md2Model m = TwoFrames();
             m.frames[1].scale[1] = std::nanf("");
             return Write(m);
         }()},
        {"zero skin width",
         [&] {
             Md2Model m = TwoFrames();
             m.skinWidth = 0;
             return Write(m);
         }()},
        // Finite factors whose product overflows: the positions would be infinite.
        {"positions beyond a float",
         [&] {
             Md2Model m = TwoFrames();
             m.frames[1].scale[0] = 3e38f;
             return Write(m);
         }()},
        {"more texture coordinates than the format's triangles have corners",
         [&] {
             Md2Model m = TwoFrames();
             m.st.resize(MaxMd2TexCoords + 1, m.st[0]);
             return Write(m);
         }()},
        {"more frames than the format allows",
         [&] {
             Md2Model m = TwoFrames();
             m.frames.resize(MaxMd2Frames + 1, m.frames[0]);
             return Write(m);
         }()},
        // Few bytes a frame, many uv-split vertices: memory would grow with their product.
        {"frames times vertices beyond the budget",
         [&] {
             Md2Model m;
             m.frames.resize(MaxMd2Frames, Md2Frame{{1, 1, 1}, {0, 0, 0}, "f", {{0, 0, 0}}});
             for (int i = 0; i < MaxMd2TexCoords; ++i)
                 m.st.push_back({std::int16_t(i), 0});
             for (int i = 0; i + 2 < MaxMd2TexCoords; i += 3)
                 m.tris.push_back({0, 0, 0, std::uint16_t(i), std::uint16_t(i + 1), std::uint16_t(i + 2)});
             return Write(m);
         }()},
    };
    ASSERT_TRUE(ParseMd2(Bytes(good)));
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_FALSE(ParseMd2(Bytes(c.bytes), &reason)) << c.what;
        EXPECT_FALSE(reason.empty()) << c.what;
    }

    test::TempFolder dir;
    EXPECT_FALSE(LoadMd2(dir.str() + "\\mesh\\missing.md2"));
}

}  // namespace
}  // namespace quorvel
