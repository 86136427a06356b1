// Ray tests: the nearest visible mesh or sprite within the reach.

#include <gtest/gtest.h>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
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

}  // namespace
}  // namespace quorvel
