// The generated content set: every file the game reads is in the program folder in
// the format its name says, the shapes fit the roles the game gives them, and the
// generator writes the same bytes on every run.

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

#include "content_formats.h"
#include "contentgen/inventory.h"
#include "platform/system/paths.h"
#include "support/temp_folder.h"

extern char** environ;

namespace quorvel::test {
namespace {

using content::ContentInventory;
using content::Format;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The build writes the set into the program folder unless it was configured not to.
#ifdef QUORVEL_CONTENT_IN_PROGRAM_FOLDER
#define REQUIRE_CONTENT_SET()
#else
#define REQUIRE_CONTENT_SET() \
    GTEST_SKIP() << "the build does not generate the content set (QUORVEL_CONTENT is off)"
#endif

// A file of the set as the game opens it: through the program folder, any case.
std::string GameFile(const std::string& gamePath) {
    sys::SetProgramFolder(QUORVEL_GAME_DIR);
    return ReadAll(sys::ResolvePath(sys::ProgramFolder() + "\\" + gamePath));
}

struct Bounds {
    aiVector3D lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    aiVector2D uvLo{1e30f, 1e30f}, uvHi{-1e30f, -1e30f};
    unsigned faces = 0;
};

// Reads a model the way the engine does (nodes merged with their transforms).
std::optional<Bounds> ReadModel(const std::string& gamePath) {
    sys::SetProgramFolder(QUORVEL_GAME_DIR);
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(sys::ResolvePath(sys::ProgramFolder() + "\\" + gamePath),
                                             aiProcess_Triangulate | aiProcess_PreTransformVertices);
    if (!scene || scene->mNumMeshes == 0) return std::nullopt;
    Bounds b;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        b.faces += mesh->mNumFaces;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D& p = mesh->mVertices[v];
            b.lo = {std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z)};
            b.hi = {std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z)};
            if (mesh->HasTextureCoords(0)) {
                const aiVector3D& t = mesh->mTextureCoords[0][v];
                b.uvLo = {std::min(b.uvLo.x, t.x), std::min(b.uvLo.y, t.y)};
                b.uvHi = {std::max(b.uvHi.x, t.x), std::max(b.uvHi.y, t.y)};
            }
        }
    }
    return b;
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

TEST(ContentSet, EveryFileIsThereInTheFormatItsNameSays) {
    REQUIRE_CONTENT_SET();
    for (const auto& entry : ContentInventory()) {
        SCOPED_TRACE(entry.path);
        const std::string bytes = GameFile(entry.path);
        ASSERT_FALSE(bytes.empty()) << "missing";
        EXPECT_TRUE(HasFormat(entry.format, bytes));
    }
}

TEST(ContentSet, EveryModelReadsBackWithFacesAndTextureCoordinates) {
    REQUIRE_CONTENT_SET();
    for (const auto& entry : ContentInventory()) {
        if (entry.format != Format::Model) continue;
        SCOPED_TRACE(entry.path);
        const auto model = ReadModel(entry.path);
        ASSERT_TRUE(model.has_value());
        EXPECT_GT(model->faces, 0u);
        EXPECT_LE(model->uvLo.x, model->uvHi.x) << "no texture coordinates";
    }
}

TEST(ContentShapes, CollisionBoxesEncloseTheirHullsAtTheirScales) {
    REQUIRE_CONTENT_SET();
    struct Case {
        const char* box;
        float boxScale;
        const char* hull;
        float hullScale;
    };
    const Case cases[] = {{"mesh\\albattlebox.3ds", 7, "mesh\\albattle.3ds", 1},
                          {"mesh\\albattlebox.3ds", 7, "mesh\\albattle_low.3ds", 1},
                          {"mesh\\mas2box.3ds", 9, "mesh\\mas2.3ds", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hull);
        const auto box = ReadModel(c.box), hull = ReadModel(c.hull);
        ASSERT_TRUE(box && hull);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_LE(box->lo[axis] * c.boxScale, hull->lo[axis] * c.hullScale) << "axis " << axis;
            EXPECT_GE(box->hi[axis] * c.boxScale, hull->hi[axis] * c.hullScale) << "axis " << axis;
        }
    }
}

TEST(ContentShapes, ShipsPointTheWayTheGameFliesThem) {
    REQUIRE_CONTENT_SET();
    // The gold ship is flown along its -Z, the enemies along their +Z; the nose is the
    // narrow end and the engines or swept wings the wide one.
    struct Case {
        const char* path;
        bool noseAtMinusZ;
    };
    const Case cases[] = {{"mesh\\goldship.3ds", true},
                          {"mesh\\scout.3ds", false},
                          {"mesh\\albattle.3ds", false},
                          {"mesh\\asnoglass.3ds", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        sys::SetProgramFolder(QUORVEL_GAME_DIR);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(sys::ResolvePath(sys::ProgramFolder() + "\\" + c.path),
                                                 aiProcess_PreTransformVertices);
        ASSERT_TRUE(scene);
        // Width of the hull near each end.
        const auto bounds = ReadModel(c.path);
        const float len = bounds->hi.z - bounds->lo.z;
        float front = 0, back = 0;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m)
            for (unsigned v = 0; v < scene->mMeshes[m]->mNumVertices; ++v) {
                const aiVector3D& p = scene->mMeshes[m]->mVertices[v];
                if (p.z < bounds->lo.z + len * 0.1f) front = std::max(front, std::abs(p.x));
                if (p.z > bounds->hi.z - len * 0.1f) back = std::max(back, std::abs(p.x));
            }
        EXPECT_EQ(front < back, c.noseAtMinusZ) << "widths near -Z " << front << ", near +Z " << back;
    }
}

TEST(ContentShapes, FlipBookFramesEachShowOneAtlasCell) {
    REQUIRE_CONTENT_SET();
    // Frame i shows cell i - 1, counted row by row from the top left; v runs upward.
    struct Family {
        const char* prefix;
        int cells;
    };
    for (const Family f : {Family{"mesh\\anim\\exp", 8}, Family{"mesh\\anim\\ion", 4}}) {
        for (int i = 1; i <= f.cells * f.cells; ++i) {
            const std::string path = f.prefix + std::to_string(i) + ".3ds";
            SCOPED_TRACE(path);
            const auto m = ReadModel(path);
            ASSERT_TRUE(m.has_value());
            const float n = float(f.cells), col = float((i - 1) % f.cells), row = float((i - 1) / f.cells);
            EXPECT_NEAR(m->uvLo.x, col / n, 1e-4);
            EXPECT_NEAR(m->uvHi.x, (col + 1) / n, 1e-4);
            EXPECT_NEAR(m->uvLo.y, 1 - (row + 1) / n, 1e-4);
            EXPECT_NEAR(m->uvHi.y, 1 - row / n, 1e-4);
        }
    }
}

TEST(ContentShapes, TheStationDwarfsTheShipAtTheirLoadScales) {
    REQUIRE_CONTENT_SET();
    const auto station = ReadModel("mesh\\spacest1.3ds"), ship = ReadModel("mesh\\goldship.3ds");
    ASSERT_TRUE(station && ship);
    EXPECT_GT((station->hi.x - station->lo.x) * 8, 4 * (ship->hi.x - ship->lo.x) * 5);
}

TEST(ContentShapes, FontCellsHoldTheirCharacters) {
    REQUIRE_CONTENT_SET();
    const std::string bytes = GameFile("tex\\font.jpg");
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()),
                                            &w, &h, &channels, 1);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(w, 512);
    ASSERT_EQ(h, 512);
    auto ink = [pixels](int cell) {
        int lit = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                lit += pixels[((cell / 16) * 32 + y) * 512 + (cell % 16) * 32 + x] > 128;
        return lit;
    };
    for (int c = 0; c < 256; ++c) {
        const bool printable = c > 32 && c < 127;
        EXPECT_EQ(ink(c) > 20, printable) << "cell " << c;
    }
    EXPECT_GT(ink('W'), ink('I'));  // the cells hold their own glyphs, not one shape
    EXPECT_GT(ink('#'), ink('.'));
    stbi_image_free(pixels);
}

TEST(ContentGenerator, WritesTheSameBytesOnEveryRun) {
    const std::vector<std::string> sample = {
        "mesh\\anim\\exp12.3ds", "mesh\\asteroid4.3ds",      "mesh\\ff.md2",
        "tex\\ast2txt.jpg",      "tex\\anim\\shieldhit.png", "par\\particle11.bmp",
        "par\\core.par",         "Sound\\hit.wav",           "sound\\tutorial\\tut3.wma",
        "music\\frontier.ogg",   "music\\nebula.mp3",        "music\\patrol.mid",
        "txt\\level.txt",        "video\\veltorvideo.wmv"};
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
