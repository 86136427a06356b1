// Scenes drawn through the engine on the OpenGL back end, compared with golden pictures.

#include <stb_image.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "platform/sdl/window.h"
#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/sdl/gl_draw.h"
#include "platform/sdl/glyphs.h"
#include "platform/system/paths.h"
#include "sdl_fixture.h"

namespace quorvel::test {
namespace {

using Px = std::array<std::uint8_t, 4>;

Px Checker(int x, int y) {
    return ((x / 8 + y / 8) % 2) ? Px{230, 40, 40, 255} : Px{240, 240, 240, 255};
}

// A soft round spot, white, its alpha falling off from the centre.
Px Blob(int x, int y, int size) {
    const float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
    const float a = std::clamp(1.0f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
    return {255, 255, 255, std::uint8_t(255 * a)};
}

class RenderTest : public SdlTest {
  protected:
    // The box model as the mesh "box", made current, with `texture` on its first stage.
    void BuildBox(EngineMeshes& meshes, const std::string& texture) {
        EngineMeshImporter importer;
        ASSERT_GE(importer.OpenModelFile(BoxModel()), 0);
        importer.BuildMesh("box");
        importer.CloseModelFile();
        meshes.SelectMesh("box");
        meshes.SetTexture(0, texture);
    }
    // A bitmap font picture: 16 x 16 cells of 16 pixels, cell n holding character n,
    // white on black (its alpha comes from the brightness when loaded with flag 1).
    std::string FontPicture() {
        int aw = 0, ah = 0;
        const std::vector<std::uint8_t> atlas = sdl::GlyphAtlas(aw, ah);
        return Png("tex\\font.png", 256, 256, [&](int x, int y) -> Px {
            const int code = (y / 16) * 16 + x / 16;
            const int g = code - sdl::kGlyphFirst;
            if (g < 0 || g >= sdl::kGlyphCount) return {0, 0, 0, 255};
            const int gx = (g % sdl::kGlyphColumns) * sdl::kGlyphCellWidth + (x % 16) / 2;
            const int gy = (g / sdl::kGlyphColumns) * sdl::kGlyphCellHeight + (y % 16) / 2;
            if ((x % 16) / 2 >= sdl::kGlyphCellWidth || (y % 16) / 2 >= sdl::kGlyphCellHeight)
                return {0, 0, 0, 255};
            const std::uint8_t ink = atlas[(std::size_t(gy) * std::size_t(aw) + std::size_t(gx)) * 4 + 3];
            return {ink, ink, ink, 255};
        });
    }

    void MainCamera(const Vector& at, const Vector& lookAt) {
        EngineCameras cams;
        cams.SelectCamera("main");
        cams.SetCameraPosition(at);
        cams.CameraLookAt(lookAt);
        cams.SetLens(EngineMath().MakeLens(1, 1000, 60, -1, 0));
    }
};

// A textured box lit by a sun, a glowing sprite beside it, a 2D picture, rectangles,
// bitmap-font text and plain text over it all.
TEST_F(RenderTest, LitMeshWithSpriteAndTwoDimensionalLayer) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("checker", Png("tex\\checker.png", 64, 64, Checker));
    textures.LoadTexture("blob", Png("tex\\blob.png", 64, 64, [](int x, int y) { return Blob(x, y, 64); }));
    EngineMaterials materials;
    materials.CreateMaterialWithColour("glow", Colour{255, 200, 120, 255});

    EngineMeshes meshes;
    BuildBox(meshes, "checker");
    meshes.SetPosition(0, 0, 6);
    meshes.SetRotation(25, 35, 0);
    meshes.SetScale(1.4f, 1.4f, 1.4f);
    meshes.CreateMesh("spark");
    meshes.CreateSprite(2.5f, 2.5f, "blob", "glow", 1, true, 3);
    meshes.SetPosition(-2.6f, 1.2f, 7);

    EngineLights lights;
    lights.CreateLight("sun", 0, 3, 0, 0, 0);
    lights.SetLightColour(255, 240, 220, 255);
    lights.SetLightDirection(0.6f, -0.5f, 0.6f);
    EngineFrame frame;
    frame.SetSceneColourA(Colour{10, 20, 45, 255});
    frame.SetSceneColourB(Colour{50, 50, 50, 255});
    MainCamera({0, 0, 0}, {0, 0, 6});

    EngineDraw2D draw;
    draw.LoadImage(Png("tex\\badge.png", 32, 32,
                       [](int x, int y) -> Px {
                           return {std::uint8_t(x * 8), std::uint8_t(y * 8), 200, 255};
                       }),
                   "badge", 0);
    draw.SetImagePosition({16, 16});
    draw.SetImageSize({64, 64});
    draw.SetImageMode(1);
    draw.LoadImage(FontPicture(), "font", 1);
    draw.SetFontCell({16, 16}, 0);
    draw.SetImagePosition({20, 400});
    draw.SetFontColour(Colour{255, 220, 60, 255}, 255);

    frame.BeginFrame();
    frame.RenderScene();
    draw.SetDrawColour(Colour{60, 220, 90, 255});
    draw.SetDrawMode(0);
    draw.DrawRectangle({440, 20}, {620, 80}, false);
    draw.SetDrawColour(Colour{255, 255, 255, 128});
    draw.SetDrawMode(1);
    draw.DrawRectangle({450, 30}, {610, 70}, true);
    draw.SelectImage("font");
    draw.DrawFontText("Score 1234", {0, 0}, 3, 100);
    draw.DrawFontText("small", {0, 30}, 0, 50);
    draw.SetDrawColour(Colour{255, 255, 255, 255});
    draw.DrawText({300, 440}, "Plain text");
    frame.EndFrame();
    ExpectGolden("lit_mesh_sprite_2d", Grab());
}

// Six differently coloured sky faces around the camera, the lens flare of a sun in
// view, and plain text in the renderer's own glyphs (no font is loaded).
TEST_F(RenderTest, SkyCubeAndLensFlare) {
    Start(640, 480);
    EngineTextures textures;
    const Px faces[6] = {{90, 30, 30, 255}, {30, 40, 90, 255}, {30, 80, 30, 255},
                         {90, 80, 20, 255}, {40, 40, 40, 255}, {60, 20, 80, 255}};
    EngineSky sky;
    std::array<int, 6> ids{};
    for (int f = 0; f < 6; ++f) {
        const Px base = faces[f];
        ids[std::size_t(f)] = textures.LoadTexture(
            "face" + std::to_string(f),
            Png("tex\\face" + std::to_string(f) + ".png", 32, 32, [base](int x, int y) -> Px {
                // A lighter band along the top edge shows which way up each face is.
                const int lift = y < 6 ? 80 : (x / 4 % 2) * 12;
                return {std::uint8_t(base[0] + lift), std::uint8_t(base[1] + lift),
                        std::uint8_t(base[2] + lift), 255};
            }));
    }
    sky.CreateSkyItem("cube", 1, 500);
    for (int f = 0; f < 6; ++f)
        sky.SetSkyFace(f, ids[std::size_t(f)]);

    textures.LoadTexture("sun", Png("tex\\sun.png", 64, 64, [](int x, int y) { return Blob(x, y, 64); }));
    textures.LoadTexture("ring", Png("tex\\ring.png", 64, 64, [](int x, int y) -> Px {
                             const float d = std::hypot(x - 31.5f, y - 31.5f) / 32;
                             const float a = std::clamp(1 - std::abs(d - 0.75f) * 6, 0.0f, 1.0f);
                             return {255, 255, 255, std::uint8_t(255 * a)};
                         }));
    EngineMath math;
    sky.CreateSkyItem("flare", 3, 1);
    sky.SetItemTexture(0, "sun");
    sky.SetFlareMode(0);
    sky.SetFlareSource({-111, 271, 624});  // up and to the right of the view's centre
    sky.SetFlareSetup(math.MakeFlareSetup(3, 1, 20, 1));
    const int ring = textures.GetTextureId("ring"), sun = textures.GetTextureId("sun");
    sky.SetFlareElement(0, math.MakeFlareElement(0.3f, 0.5f, ring, -1));
    sky.SetFlareElement(1, math.MakeFlareElement(0.12f, -0.3f, sun, int(0xC0FF8040u)));
    sky.SetFlareElement(2, math.MakeFlareElement(0.25f, -0.8f, ring, int(0x8040C0FFu)));

    // Looking a little up and to the left, so the front, left and top faces meet in view.
    MainCamera({0, 0, 0}, {-0.5f, 0.3f, 1});
    Frame();
    EngineFrame frame;
    frame.BeginFrame();
    frame.RenderScene();
    EngineDraw2D draw;
    draw.SetDrawColour(Colour{255, 255, 255, 255});
    draw.DrawText({10, 10}, "Sky & flare: 0123456789 !?");
    frame.EndFrame();
    ExpectGolden("sky_flare", Grab());
}

// At low detail (nearest filter, a third of the resolution) the sky stays smooth:
// its faces are small pictures already, seen many times enlarged, so neither a further
// reduction nor the nearest filter may turn them into blocks.
TEST_F(RenderTest, SkyAtLowDetailIsSmooth) {
    Start(640, 480);
    EngineTextures textures;
    const int id = textures.LoadTexture("face", Png("tex\\face.png", 256, 256, [](int x, int y) -> Px {
                                            const double k = 2 * 3.14159265 / 32;
                                            return {std::uint8_t(128 + 100 * std::sin(k * x)),
                                                    std::uint8_t(128 + 100 * std::sin(k * y)), 90, 255};
                                        }));
    EngineSky sky;
    sky.CreateSkyItem("cube", 1, 500);
    for (int f = 0; f < 6; ++f)
        sky.SetSkyFace(f, id);
    EngineFrame frame;
    frame.SetRenderSwitchE(3);
    frame.SetRenderSwitchF(1);
    MainCamera({0, 0, 0}, {0, 0, 1});
    Frame();
    const Shot shot = Grab();
    ExpectGolden("sky_low_detail", shot);
    // Across the middle row no step between neighbours is as large as a block edge.
    int largest = 0;
    const int y = shot.height / 2;
    for (int x = 1; x < shot.width; ++x)
        largest = std::max(largest, std::abs(shot.At(x, y)[0] - shot.At(x - 1, y)[0]));
    EXPECT_LT(largest, 12);
}

// The renderer keeps uploaded pictures itself and lets the engine's copy go; a change
// of detail that needs the picture again reads it back from its file.
TEST_F(RenderTest, APictureLetGoAfterUploadIsReadAgainForAnotherDetail) {
    Start(640, 480);
    EngineTextures textures;
    const int id = textures.LoadTexture("face", Png("tex\\face.png", 768, 768, [](int x, int) -> Px {
                                            return {200, std::uint8_t(x / 4), 40, 255};
                                        }));
    EngineSky sky;
    sky.CreateSkyItem("cube", 1, 500);
    for (int f = 0; f < 6; ++f)
        sky.SetSkyFace(f, id);
    MainCamera({0, 0, 0}, {0, 0, 1});
    Frame();
    const auto full = Grab().At(320, 240);
    const engine::TextureItem* item = engine::State().scene.textures.Find(id);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->picture->rgba.empty()) << "the engine's copy is let go once uploaded";
    EngineFrame().SetRenderSwitchF(1);
    Frame();
    const auto low = Grab().At(320, 240);
    EXPECT_NEAR(low[0], full[0], 12);
    EXPECT_NEAR(low[1], full[1], 12);
    EXPECT_NEAR(low[2], full[2], 12);
    EXPECT_GT(low[0], 150) << "the face, not an empty texture";
}

// The renderer's copies of pictures: pictures read from one file share one copy; the
// 2D layer's copy has no mipmaps, and a mipmapped use of the same picture gets its own;
// a copy goes with the last picture that held it.
TEST_F(RenderTest, PictureCopiesAreSharedByFileAndMipmappedOnlyWhereDrawnIn3D) {
    Start(640, 480);
    auto picture = [](const std::string& file) {
        auto p = std::make_shared<engine::Picture>();
        p->width = p->height = 8;
        p->rgba.assign(8 * 8 * 4, 200);
        p->file = file;
        return p;
    };
    auto levelWidth = [](GLuint texture, int level) {
        GLint w = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        return w;
    };
    sdl::TextureCache cache;
    std::shared_ptr<engine::Picture> first = picture("tex/a.png"), second = picture("tex/a.png");
    const std::shared_ptr<engine::Picture> other = picture("tex/b.png"), made = picture("");
    const GLuint shared = cache.Get(first, 1);
    ASSERT_NE(shared, 0u);
    EXPECT_EQ(cache.Get(second, 1), shared) << "the same file: one copy";
    EXPECT_NE(cache.Get(other, 1), shared);
    EXPECT_EQ(levelWidth(shared, 3), 1) << "drawn in 3D: every mipmap level";

    const GLuint flat = cache.Get(made, 1, false);
    EXPECT_EQ(levelWidth(flat, 0), 8);
    EXPECT_EQ(levelWidth(flat, 1), 0) << "2D only: no mipmaps";
    const GLuint mipmapped = cache.Get(made, 1);
    EXPECT_NE(mipmapped, flat);
    EXPECT_EQ(levelWidth(mipmapped, 1), 4);
    EXPECT_EQ(cache.Get(made, 1, false), flat);
    EXPECT_EQ(cache.Get(other, 1, false), cache.Get(other, 1)) << "a mipmapped copy serves the 2D layer too";
    EXPECT_EQ(cache.Textures(), 4u);

    first.reset();
    cache.Sweep();
    EXPECT_EQ(cache.Textures(), 4u) << "the second picture of the file still holds the copy";
    EXPECT_TRUE(glIsTexture(shared));
    second.reset();
    cache.Sweep();
    EXPECT_EQ(cache.Textures(), 3u);
    EXPECT_FALSE(glIsTexture(shared));
    cache.Release();
}

// A fountain of particles half way through its first second.
TEST_F(RenderTest, ParticleSystemMidFlight) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("spark", Png("par\\spark.png", 32, 32, [](int x, int y) { return Blob(x, y, 32); }));
    EngineParticles particles;
    particles.CreateSystem("fountain");
    particles.SetTexture("spark");
    particles.SetParGroup01(400, 0, 0);
    particles.SetParGroup02(150);
    particles.SetParGroup03(1500);
    particles.SetParGroup06({255, 230, 80}, {255, 40, 10});
    particles.SetParGroup07({255, 40, 0});
    particles.SetParGroup08({0.5f, 0, 0}, {1.2f, 0, 0});
    particles.SetParGroup11(9, 1, 0);
    particles.SetParGroup12({0, 1, 0});
    particles.SetParGroup13(25);
    particles.SetParGroup14({0, -6, 0});
    particles.SetEmitterPosition({0, -3, 12});
    MainCamera({0, 0, 0}, {0, 0, 12});
    engine::UpdateScene(0.8);
    Frame();
    ExpectGolden("particles_mid_flight", Grab());
}

// A box in "fade50" (half its full colour) blended over a solid one: the one behind
// shows through by half.
TEST_F(RenderTest, FadeMaterialAtFifty) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("checker", Png("tex\\checker.png", 64, 64, Checker));
    EngineMaterials materials;
    materials.CreateMaterial("fade50");
    materials.SetColourSlot1(Colour{96, 96, 96, 255});
    materials.SetColourSlot2(Colour{110, 110, 110, 255});
    materials.SetColourSlot3(Colour{82, 82, 82, 255});
    materials.SetColourSlot4(Colour{128, 128, 128, 255});
    EngineMeshImporter importer;
    ASSERT_GE(importer.OpenModelFile(BoxModel()), 0);
    EngineMeshes meshes;
    importer.BuildMesh("back");
    meshes.SetTexture(0, "checker");
    meshes.SetPosition(0.8f, 0, 9);
    meshes.SetScale(2, 2, 0.2f);
    importer.BuildMesh("front");
    meshes.SetPosition(-0.8f, -0.5f, 6);
    meshes.SetScale(1.5f, 1.5f, 0.2f);
    meshes.SetMaterial("fade50");
    meshes.SetMeshFlags(4);
    EngineFrame frame;
    frame.SetSceneColourA(Colour{0, 0, 0, 255});
    MainCamera({0, 0, 0}, {0, 0, 1});
    Frame();
    const Shot shot = Grab();
    ExpectGolden("fade50", shot);
    // Where the fading box is over the black background, half its white shows.
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(shot.At(200, 300)[std::size_t(c)], 128, 4);
}

// Meshes over a blue background and over each other, under a light that leaves lit
// faces dark: one-sided self-lit (mode 2) ones are solid rocks that hide what is behind
// them; two-sided ones are flames or flashes that add to it unlit in either mode (the
// lightning is mode 1); a fade material (a breaking rock's fragments) or flag 4 blends
// a rock by the material's opacity; a one-sided lit body stays solid and lit.
TEST_F(RenderTest, SelfLitMeshesHideOrAddToWhatIsBehind) {
    struct Case {
        const char* name;
        int mode;
        int flags;
        const char* material;
        std::array<int, 3> nearOnly;  // near box over the background
        std::array<int, 3> overlap;   // near box over the far one
    };
    // Near box red (200, 40, 40), far box green (40, 200, 40), background (0, 0, 160);
    // a two-sided flame adds both its front and its back.
    const Case cases[] = {
        {"one-sided rock", 2, 0, "", {200, 40, 40}, {200, 40, 40}},
        {"two-sided flame", 2, 1, "", {255, 80, 240}, {255, 255, 255}},
        {"two-sided lit flash", 1, 1, "", {255, 80, 240}, {255, 255, 255}},
        {"rock at fade50", 2, 0, "fade50", {100, 20, 100}, {110, 70, 70}},
        {"rock blended by flag 4", 2, 4, "half", {100, 20, 100}, {110, 70, 70}},
        {"one-sided lit body", 1, 0, "", {0, 0, 0}, {0, 0, 0}},
    };
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("red", Png("tex\\red.png", 8, 8, [](int, int) { return Px{200, 40, 40, 255}; }));
    textures.LoadTexture("green", Png("tex\\green.png", 8, 8, [](int, int) { return Px{40, 200, 40, 255}; }));
    EngineMaterials materials;
    materials.CreateMaterial("half");
    materials.SetColourSlot1(Colour{255, 255, 255, 128});
    materials.CreateMaterial("fade50");
    materials.SetColourSlot1(Colour{96, 96, 96, 255});
    materials.SetColourSlot2(Colour{110, 110, 110, 255});
    materials.SetColourSlot3(Colour{82, 82, 82, 255});
    materials.SetColourSlot4(Colour{128, 128, 128, 255});
    EngineFrame frame;
    frame.SetSceneColourA(Colour{0, 0, 160, 255});
    frame.SetSceneColourB(Colour{0, 0, 0, 255});
    EngineLights lights;
    lights.CreateLight("behind", 0, 3, 0, 0, 0);  // shines on the faces turned away
    lights.SetLightColour(255, 255, 255, 255);
    lights.SetLightDirection(0, 0, -1);
    MainCamera({0, 0, 0}, {0, 0, 1});
    EngineMeshImporter importer;
    ASSERT_GE(importer.OpenModelFile(BoxModel()), 0);
    EngineMeshes meshes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        meshes.ClearMeshes();
        for (const bool near : {false, true}) {
            importer.BuildMesh(near ? "near" : "far");
            meshes.SetMeshMode(c.mode);
            meshes.SetMeshFlags(c.flags);
            meshes.SetTexture(0, near ? "red" : "green");
            if (*c.material) meshes.SetMaterial(c.material);
            meshes.SetPosition(near ? -0.6f : 0.6f, 0, near ? 6.0f : 9.0f);
            meshes.SetScale(near ? 1.2f : 2.0f, near ? 1.2f : 2.0f, 0.2f);
        }
        Frame();
        const Shot shot = Grab();
        for (const auto& [x, want] : {std::pair{225, c.nearOnly}, std::pair{320, c.overlap}})
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(shot.At(x, 240)[k], want[k], 6) << "x " << x << ", channel " << k;
    }
}

// A solid body whose picture carries alpha (a hull loaded with "black is clear") covers
// what is behind it in full, and the frame reads back opaque, as the window shows it.
TEST_F(RenderTest, ASolidBodyWithAnAlphaPictureLeavesTheFrameOpaque) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("faint", Png("tex\\faint.png", 8, 8, [](int, int) { return Px{60, 90, 120, 40}; }));
    EngineMeshes meshes;
    BuildBox(meshes, "faint");
    meshes.SetPosition(0, 0, 6);
    meshes.SetScale(1.5f, 1.5f, 0.2f);
    EngineFrame frame;
    frame.SetSceneColourA(Colour{0, 0, 160, 255});
    MainCamera({0, 0, 0}, {0, 0, 1});
    Frame();
    const Shot shot = Grab();
    for (const auto& [x, y, want] : {std::tuple{320, 240, std::array<int, 4>{60, 90, 120, 255}},
                                     std::tuple{10, 10, std::array<int, 4>{0, 0, 160, 255}}})
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(shot.At(x, y)[k], want[k], 3) << x << ", " << y << ", channel " << k;
}

// The flare shows only while its sun is in front of the camera and nothing covers it.
TEST_F(RenderTest, LensFlareHidesBehindTheCameraAndBehindMeshes) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("sun", Png("tex\\sun.png", 16, 16, [](int, int) -> Px {
                             return {255, 255, 255, 255};
                         }));
    EngineMath math;
    EngineSky sky;
    sky.CreateSkyItem("flare", 3, 1);
    sky.SetItemTexture(0, "sun");
    sky.SetFlareSource({0, 0, 500});
    sky.SetFlareSetup(math.MakeFlareSetup(0, 0, 10, 1));
    MainCamera({0, 0, 0}, {0, 0, 1});
    auto glowAtCentre = [&] {
        Frame();
        return Grab().At(320, 240)[0];
    };
    EXPECT_GT(glowAtCentre(), 200);

    MainCamera({0, 0, 0}, {0, 0, -1});  // the sun behind the camera
    EXPECT_LT(glowAtCentre(), 20);

    MainCamera({0, 0, 0}, {0, 0, 1});
    EngineMeshImporter importer;
    ASSERT_GE(importer.OpenModelFile(BoxModel()), 0);
    importer.BuildMesh("wall");
    EngineMeshes meshes;
    meshes.SetPosition(0, 0, 20);
    meshes.SetScale(5, 5, 1);
    textures.LoadTexture("dark", Png("tex\\dark.png", 4, 4, [](int, int) -> Px { return {0, 0, 0, 255}; }));
    meshes.SetTexture(0, "dark");
    EXPECT_LT(glowAtCentre(), 20);

    // A sun that stays in view is read a frame late: covered, it may show for one more
    // frame; uncovered, it comes back a frame later, and stays.
    meshes.SetPosition(0, 0, -20);  // the wall behind the camera
    glowAtCentre();
    EXPECT_GT(glowAtCentre(), 200);
    EXPECT_GT(glowAtCentre(), 200);
    meshes.SetPosition(0, 0, 20);
    glowAtCentre();
    EXPECT_LT(glowAtCentre(), 20);
    EXPECT_LT(glowAtCentre(), 20);
}

// A sun almost beside the camera projects millions of pixels off the screen: no flare,
// and nothing that breaks on the way.
TEST_F(RenderTest, ASunBesideTheCameraDrawsNoFlare) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("sun", Png("tex\\sun.png", 16, 16, [](int, int) -> Px {
                             return {255, 255, 255, 255};
                         }));
    EngineSky sky;
    sky.CreateSkyItem("flare", 3, 1);
    sky.SetItemTexture(0, "sun");
    sky.SetFlareSource({1e9f, 0, 0.001f});
    sky.SetFlareSetup(EngineMath().MakeFlareSetup(0, 0, 10, 1));
    MainCamera({0, 0, 0}, {0, 0, 1});
    Frame();
    EXPECT_LT(Grab().At(639, 240)[0], 20);
}

// A keyframed model half way between two keyframes sits half way between their poses.
TEST_F(RenderTest, AnimatedModelBlendsBetweenKeyframes) {
    Start(640, 480);
    // Keyframe f moves the triangle f units along the file's x.
    folder_.Write("mesh/tri.md2", [] {
        std::string s = "IDP2";
        auto le32 = [&](std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                s += char((v >> (8 * i)) & 0xff);
        };
        auto lef = [&](float f) { le32(std::bit_cast<std::uint32_t>(f)); };
        const int nv = 3, frameSize = 40 + 4 * nv, ofsSt = 68, ofsTris = ofsSt + 12, ofsFrames = ofsTris + 12;
        const int ofsEnd = ofsFrames + frameSize * 2;
        for (int v :
             {8, 64, 64, frameSize, 0, nv, 3, 1, 0, 2, ofsSt, ofsSt, ofsTris, ofsFrames, ofsEnd, ofsEnd})
            le32(std::uint32_t(v));
        for (int st : {0, 0, 64, 0, 0, 64}) {
            s += char(st & 0xff);
            s += char(st >> 8);
        }
        for (int i : {0, 1, 2, 0, 1, 2}) {
            s += char(i);
            s += char(0);
        }
        for (int f = 0; f < 2; ++f) {
            for (float v : {0.1f, 0.1f, 0.1f, float(f) * 4 - 2, 0.0f, -1.0f})
                lef(v);
            std::string name = "pose" + std::to_string(f);
            name.resize(16, '\0');
            s += name;
            // Three corners in file axes (x, y front, z up), scaled by 0.1.
            for (auto [x, y, z] : {std::array{0, 0, 0}, std::array{0, 0, 20}, std::array{10, 0, 0}})
                s += {char(x), char(y), char(z), char(0)};
        }
        return s;
    }());
    EngineAnimatedModels models;
    ASSERT_GE(models.LoadModel(sys::ProgramFolder() + "\\mesh\\tri.md2", "tri"), 0);
    models.SetPosition(0, 0, 8);
    MainCamera({0, 0, 0}, {0, 0, 8});
    auto litColumns = [&](float pose) {
        models.SelectModel("tri");
        models.SetFrameRange(0, "0");
        models.SetFrameRange(1, "1");
        models.SetFrameBlend(0, 1, pose);
        Frame();
        const Shot shot = Grab();
        int first = -1, last = -1;
        for (int x = 0; x < shot.width; ++x)
            for (int y = 0; y < shot.height; ++y)
                if (shot.At(x, y)[0] > 128) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return (first + last) / 2;
    };
    const int at0 = litColumns(0), at1 = litColumns(1), atHalf = litColumns(0.5f);
    ASSERT_GE(at0, 0);
    EXPECT_GT(std::abs(at1 - at0), 40);
    EXPECT_NEAR(atHalf, (at0 + at1) / 2, 3);
}

// The rear view draws its own camera's picture in its viewport only, over its own
// background.
TEST_F(RenderTest, SecondCameraDrawsIntoItsViewport) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("red", Png("tex\\red.png", 4, 4, [](int, int) -> Px { return {255, 0, 0, 255}; }));
    textures.LoadTexture("green", Png("tex\\green.png", 4, 4, [](int, int) -> Px {
                             return {0, 255, 0, 255};
                         }));
    EngineMeshImporter importer;
    ASSERT_GE(importer.OpenModelFile(BoxModel()), 0);
    EngineMeshes meshes;
    importer.BuildMesh("ahead");
    meshes.SetTexture(0, "red");
    meshes.SetPosition(0, 0, 10);
    meshes.SetScale(20, 20, 1);
    importer.BuildMesh("behind");
    meshes.SetTexture(0, "green");
    meshes.SetPosition(0, 0, -10);
    EngineFrame().SetSceneColourA(Colour{0, 0, 80, 255});
    MainCamera({0, 0, 0}, {0, 0, 1});
    EngineCameras cams;
    cams.SelectCamera("rear");
    cams.SetCameraPosition(0, 0, 0);
    cams.CameraLookAt(0, 0, -1);
    cams.SetViewport({400, 20}, {620, 200});
    cams.SetLens(EngineMath().MakeLens(1, 1000, 60, -1, 0));
    Frame();
    const Shot shot = Grab();
    EXPECT_EQ(shot.At(320, 300), (std::array<int, 4>{255, 0, 0, 255}));  // main view
    EXPECT_EQ(shot.At(510, 110)[1], 255);                                // the box behind, in the rear view
    EXPECT_EQ(shot.At(405, 25)[2], 80);                                  // the rear view's own background
    EXPECT_EQ(shot.At(395, 110)[0], 255);                                // just outside it: the main view
}

// Render switches: fill, shading and fog, on a box whose face to the camera is turned
// away from the only light.
TEST_F(RenderTest, RenderSwitchesChangeFillShadingAndFog) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("white", Png("tex\\white.png", 4, 4, [](int, int) -> Px {
                             return {255, 255, 255, 255};
                         }));
    EngineMeshImporter importer;
    ASSERT_GE(importer.OpenModelFile(BoxModel()), 0);
    importer.BuildMesh("box");
    EngineMeshes meshes;
    meshes.SetTexture(0, "white");
    meshes.SetPosition(0, 0, 10);
    meshes.SetScale(2, 2, 2);
    EngineLights lights;
    lights.CreateLight("sun", 0, 3, 0, 0, 0);
    lights.SetLightDirection(0, 0, -1);  // shining toward the camera
    MainCamera({0, 0, 0}, {0, 0, 1});
    EngineCameras().SetLens(EngineMath().MakeLens(1, 10, 60, -1, 0));

    struct Case {
        const char* name;
        bool fog;
        int fill, shading;
        int low, high;  // red at the screen centre
    };
    const Case cases[] = {
        {"smooth shading: the face away from the light is dark", false, 0, 3, 0, 10},
        {"unlit: full brightness", false, 0, 1, 250, 255},
        {"flat shading lights the same way", false, 0, 2, 0, 10},
        {"wireframe leaves the face's inside empty", false, 1, 1, 0, 0},
        {"fog draws the box toward the background", true, 0, 1, 60, 90},
    };
    EngineFrame frame;
    frame.SetSceneColourA(Colour{0, 0, 80, 255});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame.SetRenderSwitchB(c.fog);
        frame.SetRenderSwitchC(c.fill);
        frame.SetRenderSwitchD(c.shading);
        Frame();
        const int red = Grab().At(320, 240)[0];
        EXPECT_GE(red, c.low);
        EXPECT_LE(red, c.high);
    }
}

TEST_F(RenderTest, ScreenshotWritesTheFrameShownAsJpeg) {
    Start(640, 480);
    EngineFrame frame;
    frame.SetSceneColourA(Colour{200, 100, 50, 255});
    Frame();
    folder_.Write("screenshot/keep", "");
    ASSERT_TRUE(frame.SaveScreenshot(sys::ProgramFolder() + "\\screenshot\\Snap0.jpg", 1));
    int w = 0, h = 0, n = 0;
    unsigned char* jpg = stbi_load((folder_.path() / "screenshot/Snap0.jpg").c_str(), &w, &h, &n, 3);
    ASSERT_NE(jpg, nullptr);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_NEAR(jpg[0], 200, 6);
    EXPECT_NEAR(jpg[1], 100, 6);
    EXPECT_NEAR(jpg[2], 50, 6);
    stbi_image_free(jpg);

    // A missing folder saves nothing and is not created.
    EXPECT_FALSE(frame.SaveScreenshot(sys::ProgramFolder() + "\\nofolder\\Snap1.jpg", 1));
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "nofolder"));
}

// Hundreds of copies of one model go out in slices of one instanced draw: every copy
// is drawn once, where it stands, in the first frame and in the next (whose slices are
// sized by the first frame's count).
TEST_F(RenderTest, EveryCopyOfAModelInALongRunIsDrawnWhereItStands) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("checker", Png("tex\\checker.png", 64, 64, Checker));
    EngineMeshImporter importer;
    ASSERT_GE(importer.OpenModelFile(BoxModel()), 0);
    constexpr int columns = 30, rows = 20;
    constexpr float depth = 100, spacing = 4;
    EngineMeshes meshes;
    for (int i = 0; i < columns * rows; ++i) {
        importer.BuildMesh("box" + std::to_string(i));
        meshes.SetTexture(0, "checker");
        meshes.SetPosition((float(i % columns) - (columns - 1) / 2.0f) * spacing,
                           (float(i / columns) - (rows - 1) / 2.0f) * spacing, depth);
        meshes.SetScale(0.8f, 0.8f, 0.8f);
    }
    importer.CloseModelFile();
    EngineFrame frame;
    frame.SetSceneColourA(Colour{0, 0, 0, 255});
    MainCamera({0, 0, 0}, {0, 0, 1});

    // Where a point at the boxes' depth shows: the lens is 60 degrees high.
    const float pixelsPerUnit = 240.0f / std::tan(30.0f * 3.14159265f / 180.0f) / depth;
    auto lit = [](const Shot& shot, float x, float y) {
        const auto p = shot.At(int(std::lround(x)), int(std::lround(y)));
        return p[0] + p[1] + p[2] > 0;
    };
    for (int round = 0; round < 2; ++round) {
        Frame();
        const Shot shot = Grab();
        for (int i = 0; i < columns * rows; ++i) {
            const float x = 320 + (float(i % columns) - (columns - 1) / 2.0f) * spacing * pixelsPerUnit;
            const float y = 240 - (float(i / columns) - (rows - 1) / 2.0f) * spacing * pixelsPerUnit;
            EXPECT_TRUE(lit(shot, x, y)) << "box " << i << ", frame " << round;
            // Halfway to the next box along the row and the column: nothing.
            EXPECT_FALSE(lit(shot, x + spacing * pixelsPerUnit / 2, y + spacing * pixelsPerUnit / 2))
                << "beside box " << i << ", frame " << round;
        }
    }
}

// A dialog opened between BeginFrame and EndFrame (options over the menu) shows over
// the last whole frame, not over a frame that is half drawn.
TEST_F(RenderTest, PresentInTheMiddleOfAFrameShowsTheLastWholeFrame) {
    Start(640, 480);
    EngineFrame frame;
    frame.SetSceneColourA(Colour{200, 100, 50, 255});
    Frame();
    frame.SetSceneColourA(Colour{0, 0, 255, 255});
    frame.BeginFrame();
    frame.RenderScene();
    sdl::Present();
    EXPECT_EQ(Grab().At(320, 240)[0], 200);
    frame.EndFrame();
    EXPECT_EQ(Grab().At(320, 240)[2], 255);
}

// A frame drawn hidden (while the game waits) is never shown and leaves nothing in the
// frames that follow: not a picture shown over them, not the frame before.
TEST_F(RenderTest, AHiddenFrameShowsNothingAndLeavesNothingBehind) {
    Start(640, 480);
    EngineTextures textures;
    textures.LoadTexture("checker", Png("tex\\checker.png", 64, 64, Checker));
    EngineMeshes meshes;
    BuildBox(meshes, "checker");
    meshes.SetPosition(0, 0, 6);
    EngineFrame frame;
    frame.SetSceneColourA(Colour{10, 20, 45, 255});
    MainCamera({0, 0, 0}, {0, 0, 6});
    Frame();
    const Shot before = Grab();

    EngineDraw2D draw;
    draw.LoadImage(Png("tex\\cover.png", 8, 8,
                       [](int, int) -> Px {
                           return {250, 0, 250, 255};
                       }),
                   "cover", 0);
    draw.SetImageSize({640, 480});
    meshes.SetPosition(0, 0, -6);  // behind the camera: drawn all the same
    frame.DrawHiddenFrame();
    EXPECT_EQ(Grab().rgba, before.rgba) << "the frame shown is still the one before";

    draw.SetImageVisible(false);
    meshes.SetPosition(0, 0, 6);
    Frame();
    EXPECT_EQ(Grab().rgba, before.rgba) << "the next frame shows no trace of the hidden one";
}

}  // namespace
}  // namespace quorvel::test
