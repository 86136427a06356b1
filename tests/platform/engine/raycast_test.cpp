// Ray tests: the nearest visible mesh or sprite within the reach.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "platform/engine/ray_index.h"
#include "platform/system/paths.h"
#include "support/harness.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

class EngineRayHit : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(folder_);
        folder_.Write("mesh/box.3ds", test::Box3ds(-1, -1, -1, 1, 1, 1));
        // Off-centre in its file: the corner (0, 0, 0) to (2, 2, 2).
        folder_.Write("mesh/corner.3ds", test::Box3ds(0, 0, 0, 2, 2, 2));
        folder_.Write("mesh/plank.3ds", test::Box3ds(-5, -0.1f, -1, 5, 0.1f, 1));
        folder_.Write("mesh/rock.3ds", Rock());
    }

    // A lumpy ball of a few hundred triangles, off-centre in its file.
    static std::string Rock() {
        std::mt19937 rng(5);
        std::uniform_real_distribution<float> lump(0.7f, 1.3f);
        const int rings = 10, segments = 16;
        std::vector<std::array<float, 3>> points;
        for (int r = 0; r <= rings; ++r)
            for (int s = 0; s < segments; ++s) {
                const float a = 3.14159265f * float(r) / rings, b = 6.2831853f * float(s) / segments;
                const float k = r == 0 || r == rings ? 1 : lump(rng);
                points.push_back(
                    {3 + k * std::sin(a) * std::cos(b), k * std::cos(a), k * std::sin(a) * std::sin(b)});
            }
        std::vector<std::array<std::uint16_t, 3>> triangles;
        for (int r = 0; r < rings; ++r)
            for (int s = 0; s < segments; ++s) {
                const auto at = [&](int rr, int ss) { return std::uint16_t(rr * segments + ss % segments); };
                triangles.push_back({at(r, s), at(r + 1, s), at(r + 1, s + 1)});
                triangles.push_back({at(r, s), at(r + 1, s + 1), at(r, s + 1)});
            }
        return test::Mesh3ds(points, triangles);
    }

    // A box of half size `half` (scale) at a point; returns its id.
    int Box(const std::string& key, const Vector& at, float half = 1, const char* file = "box") {
        importer_.OpenModelFile(sys::ProgramFolder() + "\\mesh\\" + file + ".3ds");
        const int id = importer_.BuildMesh(key, -1, 0, 0, 0, -1);
        importer_.CloseModelFile();
        meshes_.SetScale(half, half, half);
        meshes_.SetPosition(at);
        return id;
    }

    HitInfoRec Cast(const Vector& origin, const Vector& dir, float reach, int mode = 3) {
        return meshes_.RayHit(RayRec{origin, dir}, mode, reach, 0, 0, true);
    }

    test::TempFolder folder_;
    test::Harness harness_;
    EngineMeshes meshes_;
    EngineMeshImporter importer_;
};

TEST_F(EngineRayHit, TheNearestVisibleMeshWithinTheReachWins) {
    const int far = Box("far", {0, 0, 100});
    const int near = Box("near", {0, 0, 50});
    const int aside = Box("aside", {30, 0, 20});

    struct Case {
        const char* what;
        Vector origin, dir;
        float reach;
        bool hit;
        int id;
    };
    const Case cases[] = {
        {"nearest of two in line", {0, 0, 0}, {0, 0, 1}, 1000, true, near},
        {"from the other end the far one is nearer", {0, 0, 200}, {0, 0, -1}, 1000, true, far},
        {"reach just short of the face", {0, 0, 0}, {0, 0, 1}, 48.9f, false, -1},
        {"reach just past the face", {0, 0, 0}, {0, 0, 1}, 49.1f, true, near},
        {"reach counts along the normalised direction", {0, 0, 0}, {0, 0, 25}, 49.1f, true, near},
        {"pointing away", {0, 0, 0}, {0, 0, -1}, 1000, false, -1},
        {"sideways", {0, 0, 20}, {1, 0, 0}, 1000, true, aside},
        {"starting inside a box", {0, 0, 50}, {0, 0, 1}, 1000, true, near},
        {"a zero direction hits nothing", {0, 0, 0}, {0, 0, 0}, 1000, false, -1},
    };
    for (const Case& c : cases) {
        const HitInfoRec r = Cast(c.origin, c.dir, c.reach);
        EXPECT_EQ(r.HitFlag, c.hit) << c.what;
        EXPECT_EQ(r.HitId, c.id) << c.what;
    }
}

TEST_F(EngineRayHit, HiddenMeshesAreNeverMetAndShowingThemAgainRestoresThem) {
    const int near = Box("near", {0, 0, 50});
    const int far = Box("far", {0, 0, 100});
    meshes_.SelectMeshById(near);
    meshes_.SetVisible(false);
    EXPECT_EQ(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitId, far);
    meshes_.SelectMeshById(far);
    meshes_.SetVisible(false);
    EXPECT_FALSE(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitFlag);
    meshes_.SelectMeshById(near);
    meshes_.SetVisible(true);
    EXPECT_EQ(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitId, near);
}

// The ray test keeps an index of the meshes between rays: it must follow a mesh that
// leaps away and back, and a pool emptied after a ray leaves nothing to meet.
TEST_F(EngineRayHit, TheIndexFollowsMovesAndAnEmptiedPool) {
    const int rock = Box("rock", {0, 0, 50});
    EXPECT_EQ(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitId, rock);
    meshes_.SelectMeshById(rock);
    meshes_.SetPosition({0, 500, 50});
    EXPECT_FALSE(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitFlag) << "left the ray";
    EXPECT_EQ(Cast({0, 500, 0}, {0, 0, 1}, 1000).HitId, rock) << "met where it went";
    meshes_.MoveUp(-500);
    EXPECT_EQ(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitId, rock) << "back on the ray";
    meshes_.ClearMeshes();
    EXPECT_FALSE(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitFlag);
    EXPECT_FALSE(Cast({0, 500, 0}, {0, 0, 1}, 1000).HitFlag);
}

TEST_F(EngineRayHit, TrianglesDecideNotTheBoundingSphere) {
    // Scaled and turned: the box is 2 x 20 x 2 standing up, rotated 45 degrees about Y.
    const int post = Box("post", {0, 0, 50});
    meshes_.SetScale(1, 10, 1);
    meshes_.SetRotation(0, 45, 0);
    // Past the box's edge but well inside its bounding sphere (radius about 10).
    EXPECT_FALSE(Cast({1.6f, 5, 0}, {0, 0, 1}, 1000).HitFlag);
    EXPECT_TRUE(Cast({1.6f, 5, 0}, {0, 0, 1}, 1000, 0).HitFlag) << "other modes test the sphere only";
    const HitInfoRec top = Cast({0, 9.5f, 0}, {0, 0, 1}, 1000);
    EXPECT_EQ(top.HitId, post) << "the scaled height counts";
    EXPECT_FALSE(Cast({0, 10.5f, 0}, {0, 0, 1}, 1000).HitFlag);
}

TEST_F(EngineRayHit, TheMeshVectorMovesTheModelAgainstItsOrigin) {
    // Built models turn about their box centre; SetMeshVector(0,0,0) puts the file
    // origin on the item instead.
    Box("corner", {0, 0, 50}, 1, "corner");
    EXPECT_TRUE(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitFlag) << "centred: the ray goes through the middle";
    EXPECT_TRUE(Cast({-0.9f, 0, 0}, {0, 0, 1}, 1000).HitFlag);
    meshes_.SetMeshVector({0, 0, 0});
    EXPECT_FALSE(Cast({-0.5f, 0.5f, 0}, {0, 0, 1}, 1000).HitFlag) << "now the box starts at the origin";
    EXPECT_TRUE(Cast({1.5f, 1.5f, 0}, {0, 0, 1}, 1000).HitFlag);
}

TEST_F(EngineRayHit, SpritesAreHitAsTheirQuadsAndEmptyNodesNever) {
    EngineCameras cams;
    cams.SelectCamera("main");
    cams.SetCameraPosition(0, 0, 0);
    cams.CameraLookAt(0, 0, 1);

    const int node = meshes_.CreateMesh("node");
    meshes_.SetPosition(0, 0, 20);
    const int sprite = meshes_.CreateMesh("sprite");
    meshes_.CreateSprite(10, 4, "none", "none", 1, true, 3);
    meshes_.SetPosition(0, 0, 40);
    const int flat = meshes_.CreateMesh("flat");
    meshes_.CreateSprite(10, 10, "none", "none", 1, false, 3);
    meshes_.SetPosition(100, 0, 40);
    meshes_.TurnYaw(90);  // lies in the world's Y-Z plane now

    EXPECT_EQ(Cast({0, 0, 0}, {0, 0, 1}, 1000).HitId, sprite) << "the node in front is not met";
    EXPECT_EQ(Cast({4.9f, 1.9f, 0}, {0, 0, 1}, 1000).HitId, sprite) << "inside the 10 x 4 quad";
    EXPECT_FALSE(Cast({0, 2.1f, 0}, {0, 0, 1}, 1000).HitFlag) << "above the quad";
    meshes_.SelectMeshById(sprite);
    meshes_.SetScale(1, 2, 1);
    EXPECT_EQ(Cast({0, 3.9f, 0}, {0, 0, 1}, 1000).HitId, sprite) << "the scale stretches the quad";
    // A flat sprite is met from its face, not edge-on.
    EXPECT_EQ(Cast({0, 0, 40}, {1, 0, 0}, 1000).HitId, flat);
    EXPECT_FALSE(Cast({100, 0, 0}, {0, 0, 1}, 1000).HitFlag);
    (void)node;
}

// The cached ray test against the plain one, over random scenes that change between
// rays: several models (shared by many meshes), sprites facing the camera or lying
// flat, empty nodes, odd scales, hidden and removed meshes, short and long reaches,
// meshes that creep and meshes that leap, and rays that pass through listed meshes.
TEST_F(EngineRayHit, TheCachedTestAgreesWithThePlainOneOverRandomScenes) {
    std::mt19937 rng(20);
    std::uniform_real_distribution<float> unit(0, 1), around(-1, 1);
    auto chance = [&](float p) { return unit(rng) < p; };
    auto point = [&](float size) {
        return Vector{around(rng) * size, around(rng) * size, around(rng) * size};
    };
    const char* files[] = {"box", "corner", "plank", "rock"};
    EngineCameras cams;
    std::vector<int> ids;

    auto scaleFor = [&]() -> Vector {
        if (chance(0.05f)) return {0, 1, 1};
        if (chance(0.1f)) return {-2, 1.5f, 3};
        const float s = 0.2f + unit(rng) * 8;
        return chance(0.5f) ? Vector{s, s, s} : Vector{s, s * (0.2f + unit(rng) * 3), s * (0.2f + unit(rng))};
    };
    auto place = [&]() {
        meshes_.SetPosition(point(100));
        meshes_.SetScale(scaleFor());
        meshes_.SetRotation({unit(rng) * 360, unit(rng) * 360, unit(rng) * 360});
        if (chance(0.2f)) meshes_.SetMeshVector(point(3));
        if (chance(0.15f)) meshes_.SetVisible(false);
    };
    auto add = [&](int n) {
        const int kind = int(unit(rng) * 7);
        if (kind < 4) {
            importer_.OpenModelFile(sys::ProgramFolder() + "\\mesh\\" + files[kind] + ".3ds");
            ids.push_back(importer_.BuildMesh("m" + std::to_string(n), -1, 0, 0, 0, -1));
            importer_.CloseModelFile();
        } else {
            ids.push_back(meshes_.CreateMesh("m" + std::to_string(n)));
            if (kind < 6)
                meshes_.CreateSprite(1 + unit(rng) * 20, 1 + unit(rng) * 20, "none", "none", 1, kind == 4, 3);
        }
        place();
    };
    // Something changes between rays, as a game frame moves things between its tests.
    auto change = [&]() {
        if (ids.empty()) return;
        meshes_.SelectMeshById(ids[std::size_t(unit(rng) * float(ids.size())) % ids.size()]);
        switch (int(unit(rng) * 9)) {
            case 0:
                meshes_.SetPosition(point(100));
                break;
            case 1:
                meshes_.MoveForward(around(rng) * 30);
                break;
            case 8:  // creeping, as a drifting rock does from frame to frame
                meshes_.MoveForward(around(rng) * 0.5f);
                break;
            case 2:
                meshes_.TurnYaw(unit(rng) * 90);
                break;
            case 3:
                meshes_.SetScale(scaleFor());
                break;
            case 4:
                meshes_.SetVisible(!meshes_.GetVisible());
                break;
            case 5:
                meshes_.RemoveMesh();
                break;
            case 6:
                add(int(1000 + unit(rng) * 1e6f));
                break;
            default:
                meshes_.SetMeshMotion({0, 1, 0}, 3);
                engine::UpdateScene(1.0 / 60);
        }
    };

    int rays = 0, hits = 0;
    for (int scene = 0; scene < 30; ++scene) {
        meshes_.ClearMeshes();
        ids.clear();
        cams.SelectCamera("main");
        cams.SetCameraPosition(point(150));
        cams.CameraLookAt(point(50));
        const int count = 5 + int(unit(rng) * 150);
        for (int n = 0; n < count; ++n)
            add(n);
        // Some rays pass through a few listed meshes, as shots pass through effects.
        MeshIdSet listed;
        for (int id : ids)
            if (chance(0.2f)) listed.Add(id);
        for (int r = 0; r < 400; ++r) {
            if (chance(0.15f)) change();
            if (chance(0.03f))  // a frame's worth of moves between two rays
                for (int k = 0; k < 30; ++k)
                    change();
            Vector origin = point(150), dir = point(1);
            if (chance(0.5f) && !ids.empty()) {
                // Aimed at a mesh, so hits are common.
                meshes_.SelectMeshById(ids[std::size_t(unit(rng) * float(ids.size())) % ids.size()]);
                const Vector at = meshes_.GetPosition(), off = point(4);
                dir = {at.x + off.x - origin.x, at.y + off.y - origin.y, at.z + off.z - origin.z};
            }
            if (chance(0.1f)) dir = {0, 0, chance(0.5f) ? 1.f : -1.f};  // along an axis
            if (chance(0.05f)) origin = {1, 1, origin.z};               // on a unit box's edge line
            const float reach = chance(0.3f) ? unit(rng) * 20 : chance(0.5f) ? unit(rng) * 300 : 1e5f;
            const int mode = chance(0.8f) ? 3 : 0;
            const RayRec ray{origin, dir};
            const bool filtered = chance(0.3f);
            const HitInfoRec want = engine::RayHitBruteForce(ray, mode, reach, filtered ? &listed : nullptr);
            const HitInfoRec got = filtered ? meshes_.RayHit(ray, mode, reach, listed)
                                            : meshes_.RayHit(ray, mode, reach, 0, 0, true);
            ++rays;
            hits += want.HitFlag;
            ASSERT_EQ(got.HitFlag, want.HitFlag) << "scene " << scene << " ray " << r;
            ASSERT_EQ(got.HitId, want.HitId) << "scene " << scene << " ray " << r;
        }
    }
    EXPECT_GT(hits, rays / 4) << "the scenes should be busy enough to hit often";
    // Near-ties are left to the plain test; they must stay rare or the cache is useless.
    EXPECT_LT(engine::RayHitFallbacks(), rays / 100);
}

}  // namespace
}  // namespace quorvel
