// The scene of a game run, built once behind the loading screen: sky, materials,
// textures, lens flare, particle systems, pooled objects, cameras, light and HUD.

#include <algorithm>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/engine/prefetch.h"
#include "platform/system/convert.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

void LoadingStep(const std::string& caption) {
    SetLoadingCaption(caption);
    DrawLoadingScreen(*CoreObj, *FrameObj, *Draw2DObj);
    AdvanceLoading(1);
}

void LoadSkyCube(bool low) {
    struct Face {
        const char* key;
        const char* file;
        int face;
    };
    static const Face faces[6] = {{"sd_back", "space002", 0},   {"sd_left", "space003", 2},
                                  {"sd_front", "space004", 1},  {"sd_right", "space001", 3},
                                  {"sd_bottom", "sbbottom", 4}, {"sd_top", "sbtop", 5}};
    std::array<int, 6> SkyFaceTextures{-1, -1, -1, -1, -1, -1};
    for (const Face& f : faces)
        SkyFaceTextures[std::size_t(f.face)] = TextureObj->LoadTexture(
            f.key, sys::ProgramFolder() + "\\tex\\" + f.file + (low ? "_low.jpg" : ".jpg"), 0, 0);
    SkyObj->CreateSkyItem("MySkyCube", 1, low ? 25000.0f : 50000.0f);
    for (int face = 0; face < 6; ++face)
        if (SkyFaceTextures[std::size_t(face)] >= 0)
            SkyObj->SetSkyFace(face, SkyFaceTextures[std::size_t(face)]);
    SkyObj->SetItemVisible(false);  // shown when everything is loaded
}

void CreateLensFlare() {
    SkyObj->CreateSkyItem("flare", 3, 1.0f);
    SkyObj->SetItemTexture(0, "flare1");
    SkyObj->SetFlareMode(0);
    SkyObj->SetFlareSource(MathObj->MakeVector(-50000, 0, 0));
    SkyObj->SetFlareSetup(MathObj->MakeFlareSetup(6, 1, 5.0f, 1));
    struct Element {
        const char* texture;
        float a, b;
    };
    static const Element elements[6] = {{"flare2", 0.7f, 0.7f},    {"flare1", 0.45f, 0.5f},
                                        {"flare2", 0.8f, 0.2f},    {"flare1", 0.6f, -0.5f},
                                        {"flare1", 0.35f, -0.25f}, {"flare3", 0.25f, -0.18f}};
    for (int k = 0; k < 6; ++k)
        SkyObj->SetFlareElement(k,
                                MathObj->MakeFlareElement(elements[k].a, elements[k].b,
                                                          TextureObj->GetTextureId(elements[k].texture), -1));
}

void SetScreenMetrics() {
    CoreObj->GetScreenSize(Display.ScreenWidth, Display.ScreenHeight, Display.ScreenDepth);
    Display.ScreenCentreX = int(sys::RoundHalfEven(Display.ScreenWidth / 2.0));
    Display.ScreenCentreY = int(sys::RoundHalfEven(Display.ScreenHeight / 2.0));
    Display.ScaleX = float(Display.ScreenWidth) / 1280.0f;
    Display.ScaleY = float(Display.ScreenHeight) / 1024.0f;
}

void SetCamerasAndLight() {
    const float W = float(Display.ScreenWidth), sx = Display.ScaleX, sy = Display.ScaleY;
    CameraObj->ClearCameras();
    sys::PumpMessages();
    CameraObj->SelectCamera("main");
    CameraObj->SetCameraPosition(0, 0, 1);
    CameraObj->CameraLookAt(0, 0, 0);
    CameraObj->SetLens(MathObj->MakeLens(1.0f, 150000.0f, 70.0f, -1.0f, 0));
    CameraObj->SelectCamera("miniCam");
    CameraObj->SetCameraPosition(0, 0, -1);
    CameraObj->CameraLookAt(0, 0, 0);
    CameraObj->SetViewport(MathObj->MakeVector2(W - float(Display.MiniViewWidth) * sx - 25 * sx, 25 * sy),
                           MathObj->MakeVector2(W - 25 * sx, 25 * sy + float(Display.MiniViewHeight) * sy));
    CameraObj->SetLens(MathObj->MakeLens(20.0f, 100000.0f, 70.0f, -1.0f, 0));
    CameraObj->SelectCameraById(0);

    LightObj->CreateLight("bigsun", 200000.0f, 3, 0.1f, 25.0f, 18.0f);
    LightObj->SetLightPosition(0, 0, 50000);
    LightObj->SetLightColour(255, 255, 255, 255);
    LightObj->SetLightDirection(-0.79f, -0.47f, 0.38f);
}

// One HUD image; its set-up runs only when it loaded. Its id, or -1.
struct ImageSetup {
    int mode = -1;       // -1: not called
    int imageFlag = -1;  // -1: not called, else 0 or 1
    Vector2 size{-1, -1};
    Vector2 position{-1e9f, -1e9f};
    int visible = -1;  // -1: not called
};
int HudImage(const std::string& key, const std::string& file, int loadFlag, const ImageSetup& s) {
    const int id = Draw2DObj->LoadImage(sys::ProgramFolder() + file, key, loadFlag);
    if (id < 0) return -1;
    if (s.mode >= 0) Draw2DObj->SetImageMode(s.mode);
    if (s.imageFlag >= 0) Draw2DObj->SetImageFlag(s.imageFlag != 0);
    if (s.size.x >= 0) Draw2DObj->SetImageSize(s.size);
    if (s.position.x > -1e8f) Draw2DObj->SetImagePosition(s.position);
    if (s.visible >= 0) Draw2DObj->SetImageVisible(s.visible != 0);
    return Draw2DObj->GetImageId();
}

void LoadHudImages() {
    const float W = float(Display.ScreenWidth), H = float(Display.ScreenHeight), sx = Display.ScaleX,
                sy = Display.ScaleY;
    HudImage("cpit", "\\tex\\huddisplay.jpg", 1,
             {1, 0, {256 * sx, 256 * sy}, {W / 2 - 128 * sx, H / 2 - 128 * sy}, -1});

    // The shield flash is a 16-frame sheet of 4 columns.
    if (Draw2DObj->LoadImage(sys::ProgramFolder() + "\\tex\\anim\\shieldhit.png", "shield", 1) >= 0) {
        Draw2DObj->SetImageCells(MathObj->MakeVector2(256, 256), MathObj->MakeVector2(256, 256));
        Draw2DObj->SetImageFrameCount(16);
        Draw2DObj->SetImageFlag(true);
        Draw2DObj->SetImageColumns(4);
        Draw2DObj->SetImageFrame(0);
        Draw2DObj->SetImageMode(1);
        Draw2DObj->SetImageVisible(false);
    }

    const ImageSetup beam{1, -1, {1.7f * W, 1.7f * H}, {-0.35f * W, -0.35f * H}, 0};
    HudImage("gravbeam1", "\\tex\\anim\\grav1.jpg", 1, beam);
    HudImage("gravbeam2", "\\tex\\anim\\grav2.jpg", 1, beam);
    HudImage("shieldind", "\\tex\\shieldbar.jpg", 1, {1, 0, {75 * sx, 165 * sy}, {0, H - 165 * sy}, 1});
    HudImage("pwrmeter", "\\tex\\energymeter1.png", 1,
             {1, 0, {256 * sx, 32 * sy}, {512 * sx, H - 62 * sy}, 1});

    const ImageSetup pointer{1, 0, {64 * sx, 64 * sy}, {20 * sx, 20 * sy}, 0};
    auto pointerSlot = [&](int slot, const std::string& key, const char* file) {
        Hud.HudPointers[std::size_t(slot)].PointerIcon = HudImage(key, file, 1, pointer);
    };
    pointerSlot(0, "pointerstation", "\\tex\\pointerstation.png");
    for (int slot = 1; slot <= 5; ++slot)
        pointerSlot(slot, "pointerast" + std::to_string(slot), "\\tex\\pointerasteroid.png");
    for (int slot = 6; slot <= 16; ++slot)
        pointerSlot(slot, "pointeralien" + std::to_string(slot), "\\tex\\pointeralien.png");
    pointerSlot(17, "pointerlava", "\\tex\\pointerlava.png");
    pointerSlot(18, "pointermas", "\\tex\\pointermas.png");
    pointerSlot(19, "pointerbatship", "\\tex\\pointerbat.png");

    const ImageSetup centred512{-1, 0, {512 * sx, 512 * sy}, {W / 2 - 256 * sx, H / 2 - 256 * sy}, 0};
    HudImage("menu", "\\tex\\restart.jpg", 1, centred512);
    HudImage("map", "\\tex\\mapdis.jpg", 1, {1, 0, {256 * sx, 256 * sy}, {W - 256 * sx, H - 256 * sy}, 1});
    ImageSetup shop = centred512;
    shop.mode = 0;
    HudImage("buymenu", "\\tex\\weapmenu.jpg", 0, shop);
    HudImage("gamewon", "\\tex\\congrats1.jpg", 1, {1, 1, {-1, -1}, {-1e9f, -1e9f}, 0});
    HudImage("mouse", "\\tex\\msicon1.jpg", 1, {5, 0, {64 * sx, 64 * sy}, {-1e9f, -1e9f}, 0});

    if (Draw2DObj->LoadImage(sys::ProgramFolder() + "\\tex\\font.jpg", "font", 1) >= 0)
        Draw2DObj->SetFontCell(MathObj->MakeVector2(32, 32), 0);
}

}  // namespace

void PrefetchLevelFiles() {
    const bool low = Options.Graphics.Value() == 1;
    std::vector<std::string> paths;
    // Every picture and model of the folders the scene is built from; the few that it
    // does not use are let go again when the run has started.
    for (const char* folder :
         {"\\tex", "\\tex\\anim", "\\par", "\\mesh", "\\mesh\\anim", "\\mesh\\shipexp"}) {
        const std::string base = sys::ProgramFolder() + folder + "\\";
        const std::vector<std::string> names = sys::ListFiles(base);
        auto stem = [](const std::string& name) { return name.substr(0, name.find_last_of('.')); };
        auto extension = [](const std::string& name) {
            const std::size_t dot = name.find_last_of('.');
            return dot == std::string::npos ? std::string() : name.substr(dot);
        };
        for (const std::string& name : names) {
            // One of a picture's two detail versions: "x_low" at low detail, "x" at full.
            const bool lowVersion = stem(name).ends_with("_low");
            if (lowVersion != low &&
                (lowVersion ||
                 std::binary_search(names.begin(), names.end(), stem(name) + "_low" + extension(name))))
                continue;
            paths.push_back(base + name);
        }
    }
    engine::PrefetchFiles(paths);
}

void LoadLevel() {
    const bool low = Display.GraphicsLevel == 1;
    ApplyRenderSwitches(low);

    InitLoadingScreen(sys::ProgramFolder() + "\\tex\\keyboard.jpg", *CoreObj, *TextureObj, *Draw2DObj);
    SetLoadingMax(6);

    LoadingStep("loading Skybox ...");
    LoadSkyCube(low);

    LoadingStep("Loading Materials ...");
    LoadMaterials();

    LoadingStep("Loading Textures ...");
    LoadGameTextures();

    LoadingStep("Creating Lens Flares ...");
    if (!low) CreateLensFlare();

    LoadingStep("Loading Meshes ...");
    LoadParticleSystems();
    LoadEffectObjects();

    LoadingStep("Setting Cameras, Lights ...");
    SetScreenMetrics();
    SetCamerasAndLight();

    LoadingStep("Loading Bitmaps and Sounds ...");
    LoadHudImages();

    CreateInGameMenus();

    if (Draw2DObj->SelectImage("splash")) Draw2DObj->SetImageVisible(false);
    if (SkyObj->SelectSkyItem("MySkyCube")) SkyObj->SetItemVisible(true);
    InitMusic();
    if (DXAudioObj) DXAudioObj->StartBackground();
    SetWeaponEnergy(0, 0);
    ResetShield();
}

}  // namespace quorvel
