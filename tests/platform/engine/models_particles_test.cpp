// Animated models (frame ranges and blending), particle systems and the sky items.

#include <gtest/gtest.h>

#include <functional>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "platform/system/paths.h"
#include "support/harness.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

class EngineModels : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(folder_);
        folder_.Write("mesh/ff.md2", test::TriangleMd2(5));
    }
    float Position() const { return harness_.Scene().models.Current()->framePosition; }
    test::TempFolder folder_;
    test::Harness harness_;
    EngineAnimatedModels models_;
};

TEST_F(EngineModels, AbsoluteBlendShowsTheGivenFrameAndStopsAtTheEndWithoutLoop) {
    ASSERT_GE(models_.LoadModel(sys::ProgramFolder() + "\\mesh\\ff.md2", "ffmd"), 0);
    EXPECT_EQ(models_.GetFrameCount(), 5);
    models_.SetFrameOptions(0, 0);
    models_.SetFrameRange(1, std::to_string(models_.GetFrameCount() - 1));
    models_.SetFrameBlend(0, 1, 2.5f);
    EXPECT_FLOAT_EQ(Position(), 2.5f) << "half way from frame 2 to frame 3";
    models_.SetFrameBlend(0, 1, 9);
    EXPECT_FLOAT_EQ(Position(), 4) << "held on the last frame";
}

TEST_F(EngineModels, AdvancingBlendLoopsThroughTheRange) {
    models_.LoadModel(sys::ProgramFolder() + "\\mesh\\ff.md2", "radar");
    models_.SetFrameRange(0, "1");
    models_.SetFrameRange(1, "frame4");  // a keyframe may be named too
    models_.SetFrameBlend(0, 1, 0);
    EXPECT_FLOAT_EQ(Position(), 1);
    for (int i = 0; i < 5; ++i)
        models_.SetFrameBlend(0, 0, 0.75f);
    // 3.75 frames on from frame 1 over a loop of frames 1 to 3 (and back to 1): 1.75.
    EXPECT_NEAR(Position(), 1.75f, 1e-4);
    models_.SetFrameRange(1, "no such frame");
    EXPECT_NEAR(Position(), 1.75f, 1e-4) << "an unknown frame changes nothing";
}

TEST(EngineParticleSystems, SettingsAndEmitterReachTheSimulationWhenScenesRender) {
    test::Harness h;
    EngineParticles particles;
    const int id = particles.CreateSystem("smoke1");
    particles.SetParGroup01(50, 0, 0);
    particles.SetParGroup02(600);  // ten a frame at 60 frames a second
    particles.SetParGroup03(5000);
    particles.SetParGroup11(0, 0, 0);
    particles.SetEmitterPosition({100, 200, 300});
    EXPECT_EQ(particles.GetCurrentSystemId(), id);
    h.RunFrames(4);
    const engine::ParticleItem* p = h.Scene().particles.Find(id);
    ASSERT_NE(p, nullptr);
    ASSERT_GT(p->sim->Count(), 0);
    EXPECT_LE(p->sim->Count(), 50);
    for (const ParticleView& v : p->sim->Particles())
        EXPECT_NEAR(v.position.x, 100, 1e-3);

    // Switched off, it stops adding particles; the live ones still age and go.
    particles.SetEmitting(false);
    h.RunFrames(1);
    const int before = p->sim->Count();
    h.RunFrames(2);
    EXPECT_LE(p->sim->Count(), before);
    h.RunFrames(400);
    EXPECT_EQ(p->sim->Count(), 0);

    // The emission-rate override applies, and is taken back with its flag.
    particles.SetSystemParamA(0, 1);
    particles.SetEmitting(true);
    h.RunFrames(10);
    EXPECT_EQ(p->sim->Count(), 0);
    particles.SetSystemParamA(0, 0);
    h.RunFrames(2);
    EXPECT_GT(p->sim->Count(), 0);
}

TEST(EngineParticleSystems, RemovingTheCurrentSystemHandsItsNameBackAndLeavesNoneCurrent) {
    test::Harness h;
    EngineParticles particles;
    const int older = particles.CreateSystem("smoke1");
    const int newer = particles.CreateSystem("smoke1");
    particles.RemoveSystem();
    EXPECT_EQ(particles.GetCurrentSystemId(), -1);
    EXPECT_FALSE(particles.SelectSystemById(newer));
    ASSERT_TRUE(particles.SelectSystem("smoke1"));
    EXPECT_EQ(particles.GetCurrentSystemId(), older);
    particles.RemoveSystem();
    EXPECT_FALSE(particles.SelectSystem("smoke1"));
    particles.RemoveSystem();  // nothing current: nothing happens
}

TEST(EngineLoadHints, SoundPoolAndTextureLoadingHintsChangeNothing) {
    test::Harness h;
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    folder.Write("a.wav", test::SoundBytes());
    folder.Write("a.bmp", test::SolidBmp(2, 2, 1, 2, 3));
    EngineSounds sounds;
    EngineTextures textures;
    sounds.PrepareSoundPool(5);
    const int sound = sounds.LoadSound("a", sys::ProgramFolder() + "\\a.wav");
    const int texture = textures.LoadTexture("a", sys::ProgramFolder() + "\\a.bmp");
    textures.FinishTextureLoading();
    EXPECT_GE(sound, 0);
    EXPECT_EQ(textures.GetTextureId("a"), texture);
    EXPECT_EQ(textures.GetLastTextureId(), texture);
    EXPECT_TRUE(sounds.SelectSound("a"));
}

TEST(EngineSkyItems, FlareSettersActOnFlaresOnlyAndTheSourceIsItsPosition) {
    test::Harness h;
    EngineSky sky;
    const int cube = sky.CreateSkyItem("MySkyCube", 1, 50000);
    sky.SetFlareSource({1, 2, 3});
    EXPECT_EQ(h.Scene().sky.Find(cube)->flareSource.x, 0) << "a cube is no flare";
    EXPECT_EQ(sky.CreateSkyItem("odd", 2, 1), -1) << "kinds are 1 (cube) and 3 (flare)";
    sky.CreateSkyItem("flare", 3, 1);
    sky.SetFlareSource({-50000, 0, 0});
    sky.SetFlareSetup(EngineMath().MakeFlareSetup(6, 1, 5, 1));
    sky.SetFlareElement(5, EngineMath().MakeFlareElement(0.25f, -0.18f, 7, -1));
    sky.SetFlareElement(99, EngineMath().MakeFlareElement(1, 1, 1, 1));  // out of range: ignored
    EXPECT_EQ(sky.GetItemPosition().x, -50000);
    sky.SetFlareVisible(false);
    const engine::SkyItem* f = h.Scene().sky.Current();
    EXPECT_FALSE(f->visible);
    EXPECT_EQ(f->flareSetup.ElementCount, 6);
    EXPECT_EQ(f->flareElements[5].Place, -0.18f);
}

TEST(EngineMaterialOpacity, TheFadeSeriesFadesThroughSlotFourAndColourMaterialsStayOpaque) {
    test::Harness h;
    EngineMaterials materials;
    struct Case {
        const char* what;
        std::function<void()> make;
        float opacity;
    };
    const Case cases[] = {
        {"fade100",
         [&] {
             materials.CreateMaterial("fade100");
             materials.SetColourSlot4({255, 255, 255, 255});
         },
         1.0f},
        {"fade50",
         [&] {
             materials.CreateMaterial("fade50");
             materials.SetColourSlot1({96, 96, 96, 255});
             materials.SetColourSlot4({128, 128, 128, 255});
         },
         128 / 255.0f},
        {"mat_light: slot 1 alpha, slot 4 unset",
         [&] {
             materials.CreateMaterial("mat_light");
             materials.SetColourSlot1({72, 72, 72, 32});
         },
         32 / 255.0f},
        {"matblack: one colour, no slot set",
         [&] {
             materials.CreateMaterialWithColour("matblack", {0, 0, 0, 255});
         },
         1.0f},
    };
    for (const Case& c : cases) {
        c.make();
        EXPECT_NEAR(engine::MaterialOpacity(*h.Scene().materials.Current()), c.opacity, 1e-6) << c.what;
    }
}

}  // namespace
}  // namespace quorvel
