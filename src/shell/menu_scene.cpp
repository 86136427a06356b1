#include "shell/menu_scene.h"

#include <string>

#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/main_menu.h"
#include "shell/shell.h"

namespace quorvel {
namespace {

// LoadMesh with the values callers pass when they need none of the extras, except
// the ones named.
struct MeshSetup {
    std::string key, texture, file, material;
    Vector position{};
    float scale = 1;
    Vector rotation{};
    bool switchA = false;
    Vector motion{};
    float motionRate = 0;
    bool modeSwitch = false;
    bool keepVector = true;
};

void Load(const MeshSetup& m) {
    LoadMesh(m.key, m.texture, m.file, m.material, m.position.x, m.position.y, m.position.z, m.scale,
             m.rotation.x, m.rotation.y, m.rotation.z, m.switchA, false, int(m.motion.x), int(m.motion.y),
             int(m.motion.z), m.motionRate, m.modeSwitch, m.keepVector, false);
}

// Bump and reflection stages of the full-detail ships.
void AddDetailStages() {
    if (Display.GraphicsLevel == 1) return;
    MeshObj->SetStageMode(1, 8);
    MeshObj->SetStageMode(2, 9);
    MeshObj->SetTexture(1, "shipbump");
    MeshObj->SetTexture(2, "masshock");
}

struct EmitterPlace {
    const char* system;
    float right, up, forward;
};

constexpr EmitterPlace Emitters[] = {
    {"enginemas1", -0.57f, 94.29f, 925.41f}, {"enginemas2", -0.57f, -95.25f, 926.23f},
    {"mastip1", -5.13f, 333.21f, -728.91f},  {"mastip2", 359.98f, 8.77f, -755.76f},
    {"mastip3", -5.13f, -333.4f, -728.91f},  {"mastip4", -358.97f, 8.77f, -755.76f},
};

}  // namespace

void LoadMenuTextures() {
    const std::string tex = sys::ProgramFolder() + "\\tex\\";
    struct TextureFile {
        const char* key;
        std::string path;
        int flag;
    };
    const TextureFile textures[] = {
        {"spacefighter3", tex + "sstxt.jpg", 1},
        {"spacest", tex + "platform.jpg", 0},
        {"blueplanet", tex + "blueplnt.jpg", 0},
        {"menu1", tex + "mainmenu.jpg", 1},
        {"menu4", tex + "keyboard.jpg", 1},
        {"menu5", tex + "congrats2.jpg", 1},
        {"ms1", tex + "msicon1.jpg", 0},
        {"ms2", tex + "msicon2.jpg", 0},
        {"mastxt", tex + "abstxt.jpg", 0},
        {"masshock", tex + "masswave.jpg", 0},
        {"ast1txt", tex + "ast1txt.jpg", 0},
        {"ast2txt", tex + "ast2txt.jpg", 0},
        {"ast3txt", tex + "ast3txt.jpg", 0},
        {"shipbump", tex + "shipbump.jpg", 0},
        {"particle", sys::ProgramFolder() + "\\par\\particle11.bmp", 1},
    };
    for (const TextureFile& t : textures)
        TextureObj->LoadTexture(t.key, t.path, t.flag, 0);

    // The six items, in the 512 x 512 space of the menu picture.
    MainMenuScreen.Menus[0] = clsMenu{};
    MainMenuScreen.Menus[0].Init(5);
    constexpr int itemTops[] = {270, 307, 342, 382, 417, 457};
    constexpr int itemBottoms[] = {303, 338, 378, 413, 453, 490};
    for (int i = 0; i < 6; ++i)
        MainMenuScreen.Menus[0].AddMenuItem(45, itemTops[i], 450, itemBottoms[i]);

    // The ten load-list rows, in screen pixels: 18 reference pixels high, 2 apart.
    MainMenuScreen.Menus[1] = clsMenu{};
    MainMenuScreen.Menus[1].Init(9);
    for (int k = 0; k < 10; ++k) {
        MainMenuScreen.Menus[1].AddMenuItem(
            Nearest(MainMenuScreen.MenuCentreX - 82.0 * MainMenuScreen.MenuScaleX),
            Nearest(MainMenuScreen.MenuCentreY - (220.0 - 20 * k) * MainMenuScreen.MenuScaleY),
            Nearest(MainMenuScreen.MenuCentreX + 80.0 * MainMenuScreen.MenuScaleX),
            Nearest(MainMenuScreen.MenuCentreY - (202.0 - 20 * k) * MainMenuScreen.MenuScaleY));
    }

    SoundObj->LoadSound("click", sys::ProgramFolder() + "\\sound\\menuselect.wav", 0, 0);
}

void LoadMenuMeshes() {
    const Vector fighterTurn{-45, -85, -60};
    const Vector fighterPlaces[] = {
        {-11300, 400, -1590}, {-11000, 500, -1500}, {-11500, 600, -1400}, {-10600, 700, -1700}};
    for (int i = 0; i < 4; ++i) {
        Load({.key = "back" + std::to_string(i + 1),
              .texture = "spacefighter3",
              .file = "goldship",
              .material = "matmax",
              .position = fighterPlaces[i],
              .scale = 15,
              .rotation = fighterTurn});
        AddDetailStages();
    }

    const Vector planet{1000, -500, -30000};
    Load({.key = "blueplanet",
          .texture = "blueplanet",
          .file = "SameName",
          .material = "matmax",
          .position = planet,
          .scale = 7000});
    Load({.key = "blueplanetclouds",
          .texture = "blueplanet",
          .file = "SameName",
          .material = "matmax",
          .position = planet,
          .scale = 6500,
          .switchA = true,
          .modeSwitch = true});
    Load({.key = "spacestation",
          .texture = "spacest",
          .file = "platform",
          .material = "matmax",
          .position = {-600, -400, -700},
          .scale = 2});
    Load({.key = "mshell",
          .texture = "mastxt",
          .file = "mas2",
          .material = "fade70",
          .position = {400, -100, 1000},
          .scale = 1,
          .keepVector = false});
    AddDetailStages();

    // An empty node: the probe that finds the emitters' places on the mothership.
    MeshObj->CreateMesh("virtual");
    MeshObj->SetPosition(Vector{0, 0, 0});

    for (int i = 1; i <= 5; ++i) {
        auto r = [] { return static_cast<float>(sys::Rnd()); };
        MeshSetup a;
        a.key = a.file = "asteroid" + std::to_string(i);
        a.texture = "ast" + std::to_string(i <= 3 ? i : i - 3) + "txt";
        a.material = "fade100";
        a.position.x = 1000 * r() - 1200;
        a.position.y = 1000 * r() - 700;
        a.position.z = 1000 * r() - 2000;
        a.rotation.x = 359 * r();
        a.rotation.y = 359 * r();
        a.rotation.z = 359 * r();
        a.motion.x = float(sys::RoundHalfEven(r()));
        a.motion.y = float(sys::RoundHalfEven(r()));
        a.motion.z = float(sys::RoundHalfEven(r()));
        a.motionRate = 0.5f * r();
        a.scale = 2;
        a.modeSwitch = true;
        Load(a);
    }
}

void UpdateMothershipEmitters() {
    MeshObj->SelectMesh("mshell");
    const AxisSet axes = MeshObj->GetOrientation();
    const Vector mothership = MeshObj->GetPosition();
    for (const EmitterPlace& e : Emitters) {
        MeshObj->SelectMesh("virtual");
        MeshObj->SetPosition(mothership);
        MeshObj->SetOrientation(axes);
        MeshObj->MoveRight(e.right, true, true);
        MeshObj->MoveUp(e.up, true, true);
        MeshObj->MoveForward(e.forward, true, true);
        const Vector place = MeshObj->GetPosition();

        ParticleObj->SelectSystem(e.system);
        ParticleObj->SetEmitting(true);
        ParticleObj->SetEmitterPosition(place);
        ParticleObj->SetParGroup09(place);
        ParticleObj->SetParGroup25(place);
        ParticleObj->SetEmitterAxes(axes.AxisRight, axes.AxisUp, axes.AxisFront);
    }
}

void TearDownMenuScene(MenuSceneEnd end) {
    StopAllEmitters();
    WaitPast(WallClockSecond(), 1.0);
    if (end == MenuSceneEnd::ProgramExit) ClearEngineLibraries();
    sys::PumpMessages();
    TextureObj->ClearTextures();
    Draw2DObj->ClearImages();
    if (end == MenuSceneEnd::GameStart) MaterialObj->ClearMaterials();
    MeshObj->ClearMeshes();
    SkyObj->ClearSky();
}

}  // namespace quorvel
