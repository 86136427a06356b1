// Level scenes with their effects as the OpenGL back end draws them on Mesa's software
// renderer, with the generated content and the game's own loading, compared with
// golden pictures: an explosion half-way through its flip-book with its shock wave,
// the space dust and three HUD pointers (a target ahead on the screen, one off to the
// side, one behind); the lightning round the battleship of level 2 in front of the sky.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "game/game.h"
#include "game/run_objects.h"
#include "platform/engine/engine_state.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/window.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/engine_start.h"
#include "support/golden.h"
#include "support/temp_folder.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel {
namespace {

class LevelEffectsPicture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::ContentSetBuilt()) GTEST_SKIP() << "the build generates no content set";
        setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 0);
        setenv("XDG_CONFIG_HOME", config_.str().c_str(), 1);
        sys::SetProgramFolder(QUORVEL_GAME_DIR);  // read only: nothing here writes a file
        sys::UseVirtualClock(12 * 3600.0);
        sys::SetEndThrows(true);
        engine::ResetEngine();
        ASSERT_TRUE(sdl::InstallSdlBackEnd());
        started_ = true;
        sdl::SetFrameLimit(0);
        ASSERT_GE(test::StartEngineInMode(640, 480), 0);
        Display.ScreenWidth = 640;
        Display.ScreenHeight = 480;
        Display.ScaleX = 640.0f / 1280;
        Display.ScaleY = 480.0f / 1024;
    }
    void TearDown() override {
        if (!started_) return;
        engine::InstallNullBackEnds();
        engine::ResetEngine();
        sys::UseRealClock();
    }

    // The main camera at `cam` looking at `target`, and the ship's view axes with it.
    static void Look(const Vector& cam, const Vector& target) {
        CameraObj->SelectCamera("main");
        CameraObj->SetCameraPosition(cam);
        CameraObj->CameraLookAt(target);
        const Matrix4 view = CameraObj->GetCameraMatrix();
        Ship.CamAxes.AxisRight = {view(0, 0), view(0, 1), view(0, 2)};
        Ship.CamAxes.AxisUp = {view(1, 0), view(1, 1), view(1, 2)};
        Ship.CamAxes.AxisFront = {view(2, 0), view(2, 1), view(2, 2)};
        Ship.CamBasis.CamPos = cam;
    }

    // One frame with the HUD's progress bar, compared with golden/<name>.png.
    static void ExpectFrame(const std::string& name) {
        FrameObj->BeginFrame();
        FrameObj->RenderScene();
        UpdateProgressBar();
        FrameObj->EndFrame();
        std::vector<unsigned char> rgba;
        int width = 0, height = 0;
        ASSERT_TRUE(sdl::ReadLastFrame(rgba, width, height));
        test::ExpectGolden(std::string(QUORVEL_SOURCE_DIR) + "/tests/assets/golden/" + name + ".png", width,
                           height, rgba);
    }

    test::TempFolder config_;
    bool started_ = false;
};

TEST_F(LevelEffectsPicture, ExplosionShockWaveDustAndPointers) {
    test::LoadRunAt(3);
    // The load seeds the random sequence from the time: the rocks go again from a
    // fixed seed so the picture is the same every run.
    for (int i = 1; i <= Level.AsteroidCount + 1; ++i)
        if (MeshObj->SelectMeshById(Level.Asteroids[std::size_t(i)].MeshId)) MeshObj->SetVisible(false);
    sys::SeedRandom(21);
    SpawnAsteroidField();

    // The camera looks from near the station out towards where the rocks fly.
    const Vector blast{560, 160, -2200};
    Look({600, 150, -2500}, blast);

    // Space dust: the ship moves, the last placement far behind.
    Ship.ShipSpeed = 10;
    Effects.StarscapeAnchor = {0, 0, 0};
    UpdateStarscape();
    UpdateStarscape();

    // An explosion with its shock wave, half-way through the flip-book.
    Effects.ExplosionMode = 1;  // a rock's blast
    PickExplosionSet();
    StartExplosionAt(blast);
    Level.ExplosionActive = true;
    Campaign.FrameFactor = 1;
    for (int i = 0; i < 24; ++i) {
        AnimateExplosionFlipbook();
        if (i == 17) Effects.ShockWave->MakeShockWave(blast, 30, 5, 3, 2);
        Effects.ShockWave->Poll(Campaign.FrameFactor);
    }
    ASSERT_TRUE(Level.ExplosionActive);
    ASSERT_TRUE(Effects.ShockWave->Active);
    for (const char* dust : {"starscape1", "starscape2"}) {
        const engine::MeshItem* m = engine::GetScene().meshes.Find(std::string(dust));
        ASSERT_TRUE(m && m->visible) << dust;
    }

    // Pointers: a rock ahead right of the blast, an alien far off to the left ahead,
    // and the mothership behind the camera, up and to the left (thrown to the lower
    // right corner of its rectangle).
    for (auto& slot : Hud.HudPointers)
        slot.PointerOn = false;
    Level.AsteroidsLeft = 5;
    Hud.HudPointers[1].PointerOn = true;
    Hud.HudPointers[1].PointerTarget = {700, 120, -2150};
    Hud.HudPointers[6].PointerOn = true;
    Hud.HudPointers[6].PointerTarget = {-2000, 150, -2000};
    Hud.HudPointers[18].PointerOn = true;
    Hud.HudPointers[18].PointerTarget = {500, 400, -3200};
    Mothership.MothershipEnergy = 60;
    Mothership.MothershipEnergyMax = 100;
    DrawHudPointers(Ship.CamAxes);
    ExpectFrame("level_effects");
}

// Level 2's battleship arriving in its lightning, seen side on with the sky and the
// space station beyond, and the HUD pointer on it: the flash adds its bolts and glow
// to the hull and the stars, and the black of its pictures hides nothing.
TEST_F(LevelEffectsPicture, LightningRoundTheBattleshipInFrontOfTheSky) {
    test::LoadRunAt(2);
    const Vector ship{-2400, 300, 1500};
    for (const char* key : {"masbattle", "lightanim"}) {
        ASSERT_TRUE(MeshObj->SelectMesh(key)) << key;
        MeshObj->SetPosition(ship);
        MeshObj->LookAt(-600, -100, -3100);
        MeshObj->SetVisible(true);
    }
    Campaign.FrameStartTime = 1;
    Scout.LightningFrameTime = 0;
    Scout.LightningFrame = 1;
    AnimateLightning();  // the second of its four pictures
    Look({600, 150, -2500}, ship);
    Ship.ShipSpeed = 0;
    UpdateStarscape();
    for (auto& slot : Hud.HudPointers)
        slot.PointerOn = false;
    Hud.HudPointers[19].PointerOn = true;
    Hud.HudPointers[19].PointerTarget = ship;
    DrawHudPointers(Ship.CamAxes);
    ExpectFrame("battleship_lightning");
}

}  // namespace
}  // namespace quorvel
