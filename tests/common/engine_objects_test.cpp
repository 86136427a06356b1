// The teardown of the engine libraries walks ids 0 .. count - 1; it must reach items
// made after an earlier removal left a hole.

#include "common/engine_objects.h"

#include <gtest/gtest.h>

#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "platform/system/paths.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

TEST(ClearEngineLibraries, EmptiesPoolsWithHolesAndKeepsTheOthers) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    folder.Write("tex/a.bmp", test::SolidBmp(2, 2, 10, 20, 30));
    folder.Write("sound/a.wav", test::SoundBytes());
    const std::string tex = sys::ProgramFolder() + "\\tex\\a.bmp";
    const std::string wav = sys::ProgramFolder() + "\\sound\\a.wav";

    EngineMeshes meshes;
    EngineTextures textures;
    EngineDraw2D images;
    EngineSky sky;
    EngineSounds sounds;
    EngineMaterials materials;
    // Three of each, the middle one removed, then one more: ids 0, 2 and 3 live.
    for (int i = 0; i < 4; ++i) {
        const std::string key = "k" + std::to_string(i);
        meshes.CreateMesh(key);
        textures.LoadTexture(key, tex);
        images.LoadImage(tex, key);
        sky.CreateSkyItem(key, 3, 1);
        sounds.LoadSound(key, wav);
        if (i == 1) {
            meshes.RemoveMesh();
            textures.RemoveTexture();
            images.RemoveImage();
            sky.RemoveSkyItem();
            sounds.RemoveSound();
        }
    }
    materials.CreateMaterial("m");

    ClearEngineLibraries();

    const engine::Scene& scene = engine::GetScene();
    EXPECT_EQ(scene.meshes.Size(), 0);
    EXPECT_EQ(scene.textures.Size(), 0);
    EXPECT_EQ(scene.images.Size(), 0);
    EXPECT_EQ(scene.sky.Size(), 0);
    EXPECT_EQ(scene.sounds.Size(), 0);
    EXPECT_EQ(scene.materials.Size(), 1);
}

}  // namespace
}  // namespace quorvel
