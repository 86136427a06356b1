#pragma once
// Effects and HUD on the headless engine: the run's engine objects and shock waves,
// the fade materials, a 1280 x 1024 screen, and helpers that make just the engine
// items a routine touches and read back what it did to them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/assets.h"
#include "common/common.h"
#include "game/game_run.h"
#include "platform/engine/fixtures.h"
#include "platform/engine/scene.h"
#include "support/temp_folder.h"

namespace quorvel::test {

class EffectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UseAsProgramFolder(folder);
        MakeRunObjects();
        LoadMaterials();
        Display.ScreenWidth = 1280;
        Display.ScreenHeight = 1024;
        Display.ScaleX = 1;
        Display.ScaleY = 1;
        Campaign.FrameFactor = 1;
    }

    // An empty node under the key (enough for placing, showing and scaling).
    int Node(const std::string& key, bool visible = false) {
        const int id = MeshObj->CreateMesh(key);
        MeshObj->SetVisible(visible);
        return id;
    }
    const engine::MeshItem& Mesh(const std::string& key) const {
        const engine::MeshItem* m = h.Scene().meshes.Find(key);
        EXPECT_NE(m, nullptr) << key;
        static const engine::MeshItem none;
        return m ? *m : none;
    }
    const engine::MeshItem& Mesh(int id) const {
        const engine::MeshItem* m = h.Scene().meshes.Find(id);
        EXPECT_NE(m, nullptr) << id;
        static const engine::MeshItem none;
        return m ? *m : none;
    }
    // Key of the mesh's material ("" for none).
    std::string MaterialOf(const std::string& key) const {
        const engine::MaterialItem* m = h.Scene().materials.Find(Mesh(key).materialId);
        return m ? m->key : "";
    }
    const engine::ImageItem& Image(int id) const {
        const engine::ImageItem* i = h.Scene().images.Find(id);
        EXPECT_NE(i, nullptr) << id;
        static const engine::ImageItem none;
        return i ? *i : none;
    }

    // The 2D calls that `draw` queues in one frame.
    template <class F>
    std::vector<engine::Draw2DCall> Drawn(F draw) {
        FrameObj->BeginFrame();
        draw();
        FrameObj->EndFrame();
        return h.LastQueue();
    }

    TempFolder folder;
    Harness h;
};

inline void ExpectNear(const Vector& a, const Vector& b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace quorvel::test
