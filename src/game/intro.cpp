// The intro: a camera orbit around the gold ship on its platform, to the intro music,
// before the first game run of the program; then a run of its own from level 1.

#include <cmath>
#include <string>

#include "audio/audio.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "common/texts.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"

namespace quorvel {
namespace {

// Seconds into the scene: the keys act after SkipFrom, the ship lifts off after
// LiftOff, and the scene ends after SceneEnd.
constexpr double SkipFrom = 8;
constexpr double LiftOff = 42;
constexpr double SceneEnd = 53;

// A new game starts with this money; the training level replaces it with its own.
constexpr double IntroRunMoney = 999999;

struct IntroMesh {
    const char* key;
    const char* file;
    const char* texture;
    Vector position;
    float scale;
    Vector rotation;
    bool cloudLayer;  // drawn over the planet: switch A and the mode switch
};

constexpr IntroMesh IntroMeshes[] = {
    {"platform", "SameName", "platformtxt", {0, -100, 0}, 1, {0, 180, 0}, false},
    {"back1", "goldship", "shiptxt", {200, -100, -300}, 1, {0, 120, 0}, false},
    {"back2", "goldship", "shiptxt", {-100, -150, -300}, 1, {0, 250, 35}, false},
    {"back3", "goldship", "shiptxt", {-400, -100, 190}, 1, {0, 310, 0}, false},
    {"bigship", "SameName", "biggreyship", {-50, -3, -50}, 1, {0, 180, 0}, false},
    {"goldship", "SameName", "shiptxt", {50, -2, -50}, 1, {0, 180, 0}, false},
    {"blueplanet", "SameName", "blueplanet", {-1000, -200, -5000}, 140, {0, 0, 0}, false},
    {"blueplanetclouds", "SameName", "blueplanet", {-1000, -200, -5000}, 130, {0, 0, 0}, true},
};

// The sky cube of the detail level; its item id.
int LoadIntroSky(bool low) {
    struct Face {
        const char* key;
        const char* file;
    };
    // Faces 0 to 5, in this order.
    constexpr Face faces[6] = {{"sd_back", "space002"},  {"sd_left", "space003"},   {"sd_front", "space004"},
                               {"sd_right", "space001"}, {"sd_bottom", "sbbottom"}, {"sd_top", "sbtop"}};
    int ids[6] = {-1, -1, -1, -1, -1, -1};
    for (int face = 0; face < 6; ++face)
        ids[face] = TextureObj->LoadTexture(
            faces[face].key,
            sys::ProgramFolder() + "\\tex\\" + faces[face].file + (low ? "_low.jpg" : ".jpg"), 0, 0);
    const int sky = SkyObj->CreateSkyItem("MySkyCube", 1, low ? 25000.0f : 50000.0f);
    for (int face = 0; face < 6; ++face)
        if (ids[face] >= 0) SkyObj->SetSkyFace(face, ids[face]);
    return sky;
}

void ShowFrame() {
    FrameObj->BeginFrame();
    FrameObj->RenderScene();
    FrameObj->EndFrame();
}

void Play(const char* clip) {
    if (DXAudioObj) DXAudioObj->PlayForeground(clip);
}

void MoveMesh(const char* key, float distance) {
    if (MeshObj->SelectMesh(key)) MeshObj->MoveForward(distance);
}

// The orbit and the ships until a key or the scene's end stops it.
void RunIntroScene() {
    float angle = 0;
    float previousReading = 0;
    bool voicePlayed = false;
    bool jumpPlayed = false;
    // Whole seconds, so the scene lasts 52.5 to 53.5 s; the clock never wraps at
    // midnight, so the scene ends then too.
    const double start = WallClockSecond();
    bool running = true;
    while (running) {
        FrameObj->BeginFrame();
        const float reading = TimerObj->GetFrameFactor(1.0f);
        // A zero reading takes the previous pass's reading, itself possibly zero.
        const float f = reading == 0 ? previousReading : reading;
        previousReading = reading;

        if (DXAudioObj) DXAudioObj->Poll();

        angle += 0.25f * f;
        if (angle > 360) angle -= 360;
        CameraObj->CameraLookAt(Vector{0, 0, 0});
        CameraObj->SetCameraPosition(
            Vector{90 * std::cos(angle * DegreesToRadians), 70, 160 * std::sin(angle * DegreesToRadians)});

        const double t = sys::WallClock() - start;
        if (t > SkipFrom && (InputObj->IsKeyDown(key::Escape) || InputObj->IsKeyDown(key::Return)))
            running = false;
        if (t > SceneEnd) running = false;
        if (t > LiftOff) {
            if (!voicePlayed) {
                Play("vto1.wav");
                voicePlayed = true;
            }
            if (MeshObj->SelectMesh("goldship")) {
                MeshObj->MoveUp(0.09f * f);
                if (MeshObj->GetPosition().y > 5) {
                    if (!jumpPlayed) {
                        Play("hyperspace_to.wav");
                        jumpPlayed = true;
                    }
                    MeshObj->MoveForward(-8 * f);
                }
            }
        }
        MoveMesh("back1", -f);
        MoveMesh("back2", -0.75f * f);
        MoveMesh("back3", -0.7f * f);

        FrameObj->RenderScene();
        FrameObj->EndFrame();
    }
}

}  // namespace

void LoadIntroTextures() {
    const std::string tex = sys::ProgramFolder() + "\\tex\\";
    TextureObj->LoadTexture("blueplanet", tex + "blueplnt.jpg", 0, 0);
    TextureObj->LoadTexture("shiptxt", tex + "sstxt.jpg", 0, 0);
    TextureObj->LoadTexture("biggreyship", tex + "biggrey.jpg", 0, 0);
    TextureObj->LoadTexture("platformtxt", tex + "platform.jpg", 0, 0);
}

void LoadIntroMeshes() {
    for (const IntroMesh& m : IntroMeshes) {
        const Vector& p = m.position;
        const Vector& r = m.rotation;
        LoadMesh(m.key, m.texture, m.file, "matmax", p.x, p.y, p.z, m.scale, r.x, r.y, r.z, m.cloudLayer,
                 false, 0, 0, 0, 0, m.cloudLayer, true, false);
    }
}

void PlayIntro() {
    Campaign.IntroSeen = true;
    // Handles are thin views of the one engine: making the full set costs nothing.
    CreateEngineObjects();
    Display.GraphicsLevel = Options.Graphics.Value();
    const bool low = Display.GraphicsLevel == 1;
    ApplyRenderSwitches(low);

    int width = 0, height = 0, depth = 0;
    CoreObj->GetScreenSize(width, height, depth);
    const int centreX = width / 2;
    const int centreY = height / 2;

    // The logo shows while the rest loads.
    if (Draw2DObj->LoadImage(sys::ProgramFolder() + "\\tex\\narvologo.jpg", "logo") >= 0)
        Draw2DObj->SetImagePosition(Vector2{width / 2.0f - 256, height / 2.0f - 256});
    const int sky = LoadIntroSky(low);
    ShowFrame();

    LoadIntroTextures();
    LoadIntroMeshes();
    if (DXAudioObj) DXAudioObj->PlayBackground(sys::ProgramFolder() + "\\sound\\cutscene1_1.wma");

    CameraObj->SelectCameraById(0);
    CameraObj->SetCameraPosition(Vector{0, 100, 100});
    CameraObj->CameraLookAt(Vector{0, 0, 0});
    CameraObj->SetLens(MathObj->MakeLens(1.0f, 500000.0f, 55.0f, -1.0f, 0));

    if (Draw2DObj->SelectImage("logo")) Draw2DObj->SetImageVisible(false);
    Draw2DObj->ClearImages();

    RunIntroScene();

    // The loading text stays on screen through the clean-up; it needs a frame of its own.
    FrameObj->BeginFrame();
    FrameObj->RenderScene();
    Draw2DObj->DrawText(Vector2{float(centreX - 80), float(centreY)}, GameText("loading"));
    FrameObj->EndFrame();
    WaitPast(WallClockSecond(), 1.0);
    sys::PumpMessages();

    TextureObj->ClearTextures();
    Draw2DObj->ClearImages();
    MeshObj->ClearMeshes();
    if (SkyObj->SelectSkyItemById(sky)) SkyObj->RemoveSkyItem();
    SkyObj->ClearSky();
    sys::PumpMessages();
    WaitPast(WallClockSecond(), 1.0);
    sys::PumpMessages();

    PlayLevel(1, false, false, false, false, false, IntroRunMoney, false, 1);
}

}  // namespace quorvel
