// The generated content drawn by the engine's own OpenGL back end on Mesa's software
// renderer, placed the way the game places it, compared with golden pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/window.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/engine_start.h"
#include "support/golden.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel::test {
namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

// The middle of a frame at full resolution: small golden files, pixels as drawn.
Picture Crop(const Picture& full, int width, int height) {
    Picture out{width, height, {}};
    const int x0 = (full.width - width) / 2, y0 = (full.height - height) / 2;
    for (int y = 0; y < height; ++y) {
        const auto* row = &full.rgba[(std::size_t(y0 + y) * std::size_t(full.width) + std::size_t(x0)) * 4];
        out.rgba.insert(out.rgba.end(), row, row + std::size_t(width) * 4);
    }
    return out;
}

// One frame of the scene as it stands, and the picture shown.
Picture Draw() {
    EngineFrame frame;
    frame.BeginFrame();
    frame.RenderScene();
    frame.EndFrame();
    Picture shot;
    EXPECT_TRUE(sdl::ReadLastFrame(shot.rgba, shot.width, shot.height));
    return shot;
}

class ContentPicture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(std::string(QUORVEL_GAME_DIR) + "/mesh/albattle.3ds"))
            GTEST_SKIP() << "the build generates no content set";
        setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 0);
        sys::SetProgramFolder(QUORVEL_GAME_DIR);  // read only
        sys::UseVirtualClock(0);
        sys::SeedRandom(7);
        sys::SetEndThrows(true);
        engine::ResetEngine();
        ASSERT_TRUE(sdl::InstallSdlBackEnd());
        sdl::SetFrameLimit(0);
        started_ = true;
    }
    void TearDown() override {
        if (!started_) return;
        engine::InstallNullBackEnds();
        engine::ResetEngine();
        sys::UseRealClock();
    }

    void Start(int width, int height) { ASSERT_GE(StartEngineInMode(width, height), 0); }

    static std::string Path(const std::string& gamePath) { return sys::ProgramFolder() + "\\" + gamePath; }

    void Texture(const std::string& key, const std::string& file, int flag = 0) {
        EngineTextures().LoadTexture(key, Path("tex\\" + file), flag, 0);
    }

    // As the game loads a model: centred, textured, scaled, placed and turned.
    void Model(const std::string& key, const std::string& file, const std::string& texture, float scale,
               Vector at, Vector rotation = {}, bool effect = false) {
        EngineMeshImporter importer;
        ASSERT_GE(importer.OpenModelFile(Path("mesh\\" + file + ".3ds")), 0) << file;
        importer.BuildMesh(key);
        importer.CloseModelFile();
        EngineMeshes meshes;
        meshes.SetMeshMode(effect ? 2 : 1);
        if (effect) meshes.SetMeshFlags(1);
        meshes.SetTexture(0, texture);
        meshes.SetMaterial("plain");
        meshes.SetScale(Vector{scale, scale, scale});
        meshes.SetPosition(at);
        meshes.SetRotation(rotation);
    }

    void Scene(const Vector& camera, const Vector& lookAt, float fov = 70) {
        EngineMaterials().CreateMaterial("plain");
        EngineLights lights;
        lights.CreateLight("sun", 0, 3, 0, 0, 0);
        lights.SetLightColour(255, 245, 230, 255);
        lights.SetLightDirection(-0.5f, -0.6f, 0.6f);
        EngineFrame frame;
        frame.SetSceneColourA(Colour{0, 0, 0, 255});
        frame.SetSceneColourB(Colour{40, 40, 48, 255});
        EngineCameras cams;
        cams.SelectCamera("main");
        cams.SetCameraPosition(camera);
        cams.CameraLookAt(lookAt);
        cams.SetLens(EngineMath().MakeLens(1, 150000, fov, -1, 0));
    }

    static void ExpectGolden(const std::string& name, const Picture& shot) {
        test::ExpectGolden(std::string(QUORVEL_SOURCE_DIR) + "/tests/content/golden/" + name + ".png",
                           shot.width, shot.height, shot.rgba);
    }

    bool started_ = false;
};

// The hull and its collision mesh together, both shown, as the level loader places
// them: only the hull is seen.
TEST_F(ContentPicture, BattleshipWithItsCollisionMesh) {
    Start(640, 480);
    Texture("mas2txt", "abstxt.jpg");
    Model("masbattle", "albattle", "mas2txt", 1, {0, 0, 0});
    Model("masbattlesm", "albattlebox", "mas2txt", 7, {0, 0, 0});
    Scene({1500, 700, 1800}, {0, 0, -150});
    ExpectGolden("battleship", Draw());
}

// A wave of the five kinds loaded as the game loads them, turned (180, 0, 0), seen
// from above and behind as they fly away along the world's -Z.
TEST_F(ContentPicture, AlienWaveFliesRightWayUp) {
    Start(640, 480);
    Texture("mas2txt", "abstxt.jpg");
    Texture("alstxt", "alstxt.jpg", 1);
    const char* files[] = {"asnoglass", "aship2", "as3", "as4", "as5"};
    for (int k = 0; k < 5; ++k)
        Model(std::to_string(k + 1) + "alien", files[k], k == 0 || k == 4 ? "mas2txt" : "alstxt", 7,
              {float(k - 2) * 150, float(k % 2) * 40, 0}, {180, 0, 0});
    Scene({0, 210, 340}, {0, 0, -40});
    ExpectGolden("alien_wave", Draw());
}

// All ten asteroid kinds and the four pieces of one, at the field's scales.
TEST_F(ContentPicture, RockField) {
    Start(640, 480);
    for (int n = 1; n <= 3; ++n)
        Texture("ast" + std::to_string(n) + "txt", "ast" + std::to_string(n) + "txt.jpg");
    for (int i = 1; i <= 10; ++i) {
        const float x = float((i - 1) % 5) * 170 - 340, y = i <= 5 ? 90 : -90;
        Model("asteroid" + std::to_string(i), "asteroid" + std::to_string(i),
              "ast" + std::to_string((i - 1) % 3 + 1) + "txt", 7, {x, y, 0},
              {float(i) * 37, float(i) * 53, 0});
    }
    for (int k = 1; k <= 4; ++k)
        Model("piece" + std::to_string(k), "anim\\ast3exp" + std::to_string(k), "ast3txt", 9,
              {float(k - 2.5f) * 120, -260, 60});
    Scene({0, 0, -700}, {0, -40, 0});
    ExpectGolden("rock_field", Draw());
}

// One ship explosion early, midway and late, added to a black scene as the game shows
// its flip-book frames.
TEST_F(ContentPicture, ExplosionAtThreeFrames) {
    Start(640, 480);
    Texture("explosion4", "exp4.png", 1);
    const int frames[3] = {6, 24, 60};
    for (int k = 0; k < 3; ++k)
        Model("expani" + std::to_string(frames[k]), "anim\\exp" + std::to_string(frames[k]), "explosion4", 50,
              {float(1 - k) * 210, 0, 0}, {}, true);
    Scene({0, 0, 400}, {0, 0, 0});
    ExpectGolden("explosion_frames", Draw());
}

// The first station as a level shows it: its skin, the hull detail map multiplied in
// twice and the view-mapped reflection added; solid plating, no grid drawn over it.
TEST_F(ContentPicture, StationAsALevelShowsIt) {
    Start(640, 480);
    Texture("spacest", "ssttxt1.jpg");
    Texture("shipbump", "shipbump.jpg");
    Texture("masshock", "masswave.png", 1);
    Model("spacestation", "spacest1", "spacest", 8, {0, 0, 0});
    EngineMeshes meshes;
    meshes.SetStageMode(1, 8);
    meshes.SetStageMode(2, 9);
    meshes.SetTexture(1, "shipbump");
    meshes.SetTexture(2, "masshock");
    Scene({520, 260, 700}, {0, 0, 0});
    ExpectGolden("station_in_play", Draw());
}

// The first sky at the game's resolution and lens: stars stay points.
TEST_F(ContentPicture, SkyAtFullResolution) {
    Start(1280, 1024);
    const char* files[6] = {"space002", "space004", "space003", "space001", "sbbottom", "sbtop"};
    EngineSky sky;
    sky.CreateSkyItem("MySkyCube", 1, 500);
    for (int f = 0; f < 6; ++f) {
        EngineTextures textures;
        const std::string file = Path(std::string("tex\\") + files[f] + ".jpg");
        sky.SetSkyFace(f, textures.LoadTexture("sd" + std::to_string(f), file, 0, 0));
    }
    Scene({0, 0, 0}, {0.3f, 0.2f, 1});
    ExpectGolden("sky_1280x1024", Crop(Draw(), 640, 512));
}

// Relative luminance of an sRGB pixel.
double Luminance(const unsigned char* c) {
    auto linear = [](unsigned char v) {
        const double u = v / 255.0;
        return u <= 0.04045 ? u / 12.92 : std::pow((u + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2]);
}

// The menu and overlay pictures as the game lays them over the 3D scene: alpha from
// each pixel's brightest channel, 512 x 512 scaled by the screen against 1280 x 1024,
// centred. Over the two brightest things behind the menus (the green mothership, the
// pale planet) every box of text must hide the scene and its letters stand out from
// the box at a contrast ratio of 3 or more.
void ExpectOverlayTextReadable(int width, int height) {
    struct Box {
        int x0, y0, x1, y1;  // in picture pixels
    };
    auto rows = [](int x0, int x1, std::vector<std::pair<int, int>> ys, std::vector<Box> more) {
        for (const auto& [y0, y1] : ys)
            more.push_back({x0, y0, x1, y1});
        return more;
    };
    const std::vector<Box> pressEnter = {{36, 40, 476, 400}, {168, 460, 344, 490}};
    const std::vector<std::pair<std::string, std::vector<Box>>> pictures = {
        {"mainmenu", rows(45, 450, {{270, 303}, {307, 338}, {342, 378}, {382, 413}, {417, 453}, {457, 490}},
                          {{60, 40, 452, 190}})},
        {"keyboard", {{24, 14, 488, 482}}},
        {"congrats1", pressEnter},
        {"congrats2", pressEnter},
        {"congrats3", pressEnter},
        {"congrats4", {{36, 40, 476, 400}, {108, 460, 404, 490}}},
        {"restart",
         rows(100, 400, {{290, 323}, {327, 368}, {372, 405}, {409, 443}, {447, 485}}, {{50, 133, 462, 216}})},
        {"resume", rows(90, 410, {{225, 263}, {267, 313}, {317, 363}, {367, 403}, {407, 448}, {452, 490}},
                        {{113, 103, 399, 186}})}};
    const Colour green{40, 200, 80, 255}, pale{200, 220, 255, 255};
    const float sx = float(width) / 1280, sy = float(height) / 1024;
    const float left = float(width) / 2 - 256 * sx, top = float(height) / 2 - 256 * sy;
    for (const auto& [file, boxes] : pictures) {
        SCOPED_TRACE(file);
        EngineDraw2D draw;
        draw.ClearImages();
        ASSERT_GE(draw.LoadImage(sys::ProgramFolder() + "\\tex\\" + file + ".jpg", file, 1), 0);
        draw.SetImageMode(1);
        draw.SetImageSize(Vector2{512 * sx, 512 * sy});
        draw.SetImagePosition(Vector2{left, top});
        auto over = [](const Colour& scene) {
            EngineFrame().SetSceneColourA(scene);
            return Draw();
        };
        const Picture onGreen = over(green), onPale = over(pale);
        ASSERT_EQ(onGreen.rgba.size(), std::size_t(width) * std::size_t(height) * 4);
        for (const Box& b : boxes) {
            SCOPED_TRACE(testing::Message()
                         << "box (" << b.x0 << ", " << b.y0 << ") at " << width << " x " << height);
            // Inside the box's frame, in screen pixels.
            const int x0 = int(std::ceil(left + float(b.x0 + 4) * sx)),
                      x1 = int(std::floor(left + float(b.x1 - 4) * sx)),
                      y0 = int(std::ceil(top + float(b.y0 + 4) * sy)),
                      y1 = int(std::floor(top + float(b.y1 - 4) * sy));
            double through = 0;
            std::vector<double> lumGreen, lumPale;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
                    for (std::size_t c = 0; c < 3; ++c)
                        through += std::abs(double(onGreen.rgba[i + c]) - onPale.rgba[i + c]);
                    lumGreen.push_back(Luminance(&onGreen.rgba[i]));
                    lumPale.push_back(Luminance(&onPale.rgba[i]));
                }
            const double span =
                std::abs(green.r - pale.r) + std::abs(green.g - pale.g) + std::abs(green.b - pale.b);
            const double seen = through / span / double(lumGreen.size());
            EXPECT_LT(seen, 0.1) << "the scene shows through";
            for (std::vector<double>* lum : {&lumGreen, &lumPale}) {
                std::sort(lum->begin(), lum->end());
                const double ground = (*lum)[lum->size() / 2], letters = (*lum)[lum->size() * 98 / 100];
                EXPECT_GE((letters + 0.05) / (ground + 0.05), 3.0)
                    << "letters " << letters << " on " << ground;
            }
        }
    }
}

// The game run's messages in the bitmap font ("Level 1 complete! ..."), white at the
// level its fade-in ends on, over the two brightest scenes: round every letter the
// font's outline gives a ground that the letter stands out from at a contrast ratio of
// 4.5 or more, where the scene alone would give less than 2.5 (and the font without
// its outline about 2 to 3).
TEST_F(ContentPicture, FontTextStandsOutOverTheBrightestScene) {
    Start(1280, 1024);
    Scene({0, 0, 0}, {0, 0, 1});
    EngineDraw2D draw;
    const int font = draw.LoadImage(Path("tex\\font.jpg"), "font_a", 1);
    ASSERT_GE(font, 0);
    draw.SetImageMode(1);
    draw.SetFontCell(Vector2{32, 32}, 0);
    draw.SetImageStyle(2);
    draw.SetFontColour(Colour{254, 254, 254, 254}, 255);
    const Colour green{40, 200, 80, 255}, pale{200, 220, 255, 255};
    for (const Colour& scene : {green, pale}) {
        SCOPED_TRACE(testing::Message()
                     << "scene " << int(scene.r) << ", " << int(scene.g) << ", " << int(scene.b));
        EngineFrame().SetSceneColourA(scene);
        draw.SelectImageById(font);
        draw.DrawFontText("Level 1 complete! Money: $600000", Vector2{40, 40}, 3, 70);
        const Picture shot = Draw();
        const Picture bare = Draw();
        ASSERT_EQ(shot.rgba.size(), bare.rgba.size());
        const auto lum = [&shot](int x, int y) {
            return Luminance(&shot.rgba[(std::size_t(y) * std::size_t(shot.width) + std::size_t(x)) * 4]);
        };
        const double ground = Luminance(&bare.rgba[(std::size_t(60) * std::size_t(bare.width) + 60) * 4]);
        std::vector<double> contrast;
        for (int y = 36; y < 90; ++y)
            for (int x = 36; x < 1000; ++x) {
                const double l = lum(x, y);
                if (l < 0.85 || l < ground + 0.1) continue;  // not a letter
                double darkest = l;
                for (int dy = -3; dy <= 3; ++dy)
                    for (int dx = -3; dx <= 3; ++dx)
                        darkest = std::min(darkest, lum(x + dx, y + dy));
                contrast.push_back((l + 0.05) / (darkest + 0.05));
            }
        ASSERT_GT(contrast.size(), 500u) << "the text was not drawn";
        std::sort(contrast.begin(), contrast.end());
        EXPECT_LT((1 + 0.05) / (ground + 0.05), 2.5) << "the scene itself is not bright enough to test";
        RecordProperty(scene.g == green.g ? "on green" : "on pale",
                       std::to_string(contrast[contrast.size() / 10]));
        EXPECT_GE(contrast[contrast.size() / 10], 4.5) << "letters without a dark edge round them";
    }
}

TEST_F(ContentPicture, OverlayTextStaysReadableOverTheSceneAt1280x1024) {
    Start(1280, 1024);
    Scene({0, 0, 0}, {0, 0, 1});
    ExpectOverlayTextReadable(1280, 1024);
}

TEST_F(ContentPicture, OverlayTextStaysReadableOverTheSceneAt1024x768) {
    Start(1024, 768);
    Scene({0, 0, 0}, {0, 0, 1});
    ExpectOverlayTextReadable(1024, 768);
}

}  // namespace
}  // namespace quorvel::test
