#include "common/mesh_loading.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

void ExpectVector(const Vector& got, const Vector& want, const std::string& what) {
    EXPECT_NEAR(got.x, want.x, 1e-5f) << what;
    EXPECT_NEAR(got.y, want.y, 1e-5f) << what;
    EXPECT_NEAR(got.z, want.z, 1e-5f) << what;
}

// A program folder with two models, their textures and materials, on the engine the
// game runs on (with the null back ends).
class LoadMeshTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(dir_);
        // Off centre, so the engine's own centring of the model shows.
        dir_.Write("mesh/blueplanet.3ds", test::Box3ds(0, 0, 0, 2, 4, 6));
        dir_.Write("mesh/Asteroid1.3DS", test::Box3ds(0, 0, 0, 2, 4, 6));
        dir_.Write("tex/pic.bmp", test::SolidBmp(2, 2, 10, 20, 30));
        for (const char* key : {"blueplanet", "ast1txt"})
            textures_.LoadTexture(key, dir_.str() + "\\tex\\pic.bmp");
        for (const char* key : {"matmax", "fade100"})
            materials_.CreateMaterial(key);
    }

    static const engine::MeshItem* Mesh(const std::string& key) {
        return engine::GetScene().meshes.Find(key);
    }

    test::TempFolder dir_;
    EngineTextures textures_;
    EngineMaterials materials_;
    EngineMeshes meshes_;
};

TEST_F(LoadMeshTest, PlanetWithDefaultExtrasIsSetUpAsAsked) {
    LoadMesh("blueplanet", "blueplanet", "SameName", "matmax", 1000, -500, -30000, 7000, 0, 0, 0, false,
             false, 0, 0, 0, 0, false, true, false);
    const engine::MeshItem* m = Mesh("blueplanet");
    ASSERT_TRUE(m);
    EXPECT_EQ(meshes_.GetCurrentId(), m->id) << "the new mesh stays current";
    ASSERT_TRUE(m->geometry);
    EXPECT_FALSE(engine::State().openModel) << "the model file is closed again";
    EXPECT_EQ(m->mode, 1);
    EXPECT_EQ(m->flags, 0);
    EXPECT_EQ(m->stages[0].textureId, textures_.GetTextureId("blueplanet"));
    EXPECT_EQ(m->materialId, engine::GetScene().materials.IdOf("matmax"));
    ExpectVector(m->scale, {7000, 7000, 7000}, "scale");
    ExpectVector(m->offset, {-1, -2, -3}, "the model stays centred on the item");
    ExpectVector(m->place.position, {1000, -500, -30000}, "position");
    ExpectVector(m->place.front, {0, 0, 1}, "front");
    ExpectVector(m->spinAxis, {}, "no spin");
    EXPECT_EQ(m->spinRate, 0);
}

TEST_F(LoadMeshTest, EverySwitchOnShowsInTheMesh) {
    meshes_.CreateMesh("turned");
    meshes_.SetRotation(Vector{10, 20, 30});
    const AxisSet turned = meshes_.GetOrientation();
    LoadMesh("rock", "ast1txt", "asteroid1", "fade100", 1, 2, 3, 2, 10, 20, 30, true, true, 1, 0, 1, 0.25f,
             true, false, true);
    const engine::MeshItem* m = Mesh("rock");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->mode, 2);
    EXPECT_EQ(m->flags, 4) << "switch C's flags are set last";
    EXPECT_EQ(m->stages[0].textureId, textures_.GetTextureId("ast1txt"));
    EXPECT_EQ(m->materialId, engine::GetScene().materials.IdOf("fade100"));
    ExpectVector(m->scale, {2, 2, 2}, "scale");
    ExpectVector(m->offset, {}, "the file's own origin on the item's");
    ExpectVector(m->place.position, {1, 2, 3}, "position");
    ExpectVector(m->place.right, turned.AxisRight, "right");
    ExpectVector(m->place.up, turned.AxisUp, "up");
    ExpectVector(m->place.front, turned.AxisFront, "front");
    ExpectVector(m->spinAxis, {1, 0, 1}, "spin axis");
    EXPECT_FLOAT_EQ(m->spinRate, 0.25f);
    EXPECT_EQ(m->spinSpace, 1) << "about the mesh's own axes";
}

TEST_F(LoadMeshTest, SwitchesAAndBGiveTheirFlagsInTurn) {
    struct Case {
        bool a, b;
        int flags;
    };
    for (const Case& c : {Case{true, false, 1}, Case{false, true, 7}, Case{true, true, 7}}) {
        LoadMesh("rock", "ast1txt", "asteroid1", "fade100", 0, 0, 0, 1, 0, 0, 0, c.a, c.b, 0, 0, 0, 0, false,
                 true, false);
        ASSERT_TRUE(Mesh("rock"));
        EXPECT_EQ(Mesh("rock")->flags, c.flags) << c.a << c.b;
    }
}

TEST_F(LoadMeshTest, AFileThatCannotBeReadCreatesNothingAndKeepsTheCurrentMesh) {
    const int hold = meshes_.CreateMesh("hold");
    struct Case {
        const char* what;
        std::string key, file;
    };
    const Case cases[] = {
        {"missing file", "gone", "missing"},
        // Only the exact "SameName" means the key's own file.
        {"other spelling of SameName", "blueplanet", "samename"},
    };
    for (const Case& c : cases) {
        LoadMesh(c.key, "blueplanet", c.file, "matmax", 0, 0, 0, 1, 0, 0, 0, true, false, 0, 0, 0, 0, false,
                 true, false);
        EXPECT_FALSE(Mesh(c.key)) << c.what;
        EXPECT_EQ(meshes_.GetCurrentId(), hold) << c.what;
        EXPECT_EQ(engine::GetScene().meshes.Items().size(), 1u) << c.what;
    }
    EXPECT_EQ(Mesh("hold")->flags, 0) << "the switches went nowhere";
}

}  // namespace
}  // namespace quorvel
