#include "shell/main_menu.h"

#include <string>

#include "audio/audio.h"
#include "common/common.h"
#include "platform/engine/scancodes.h"
#include "platform/forms/forms.h"
#include "platform/system/clock.h"
#include "platform/system/frame_log.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/load_game.h"
#include "shell/menu_scene.h"
#include "shell/shell.h"

namespace quorvel {

namespace {

constexpr int ItemNewGame = 1;
constexpr int ItemLoadGame = 2;
constexpr int ItemOptions = 3;
constexpr int ItemKeysOverlay = 4;
constexpr int ItemSecondOverlay = 5;
constexpr int ItemExit = 6;

std::string MenuMusicPath() {
    return sys::ProgramFolder() + "\\sound\\new_opt_menu.wma";
}

void StartMenuMusic() {
    DXAudioObj->PlayBackground(MenuMusicPath());
    DXAudioObj->BackgroundVolume(-100);
}

void DrawOneFrame() {
    FrameObj->BeginFrame();
    FrameObj->RenderScene();
    FrameObj->EndFrame();
}

// The fifteen shared objects the menu works with, made anew in this order.
void LoadSky() {
    const std::string tex = sys::ProgramFolder() + "\\tex\\";
    const std::string suffix = Display.GraphicsLevel == 1 ? "_low.jpg" : ".jpg";
    struct Face {
        const char* key;
        const char* file;
        int face;
    };
    // Loaded in this order; the cube's faces are numbered back, front, left, right,
    // bottom, top.
    constexpr Face faces[] = {{"sd_back", "space002", 0},   {"sd_left", "space003", 2},
                              {"sd_front", "space004", 1},  {"sd_right", "space001", 3},
                              {"sd_bottom", "sbbottom", 4}, {"sd_top", "sbtop", 5}};
    int ids[6] = {-1, -1, -1, -1, -1, -1};
    for (const Face& f : faces)
        ids[f.face] = TextureObj->LoadTexture(f.key, tex + f.file + suffix, 0, 0);
    SkyObj->CreateSkyItem("MySkyCube", 1, Display.GraphicsLevel == 1 ? 25000.0f : 50000.0f);
    for (int face = 0; face < 6; ++face)
        SkyObj->SetSkyFace(face, ids[face]);
}

void CreateMothershipParticles() {
    const bool full = Display.ParticleLevel == 1;
    const struct {
        const char* key;
        const char* fullFile;
    } systems[] = {{"enginemas1", "enginemas.par"}, {"enginemas2", "enginemas.par"},
                   {"mastip1", "masgreentips.par"}, {"mastip2", "masgreentips.par"},
                   {"mastip3", "masgreentips.par"}, {"mastip4", "masgreentips.par"}};
    // Parked far below the scene until the loop puts them on the mothership.
    const Vector parked{0, -150000, 0};
    for (const auto& s : systems) {
        LoadParticleFile(*ParticleObj, s.key, full ? s.fullFile : "particlelow.par");
        ParticleObj->SetEmitterPosition(parked);
        ParticleObj->SetParGroup09(parked);
        ParticleObj->SetParGroup25(parked);
        ParticleObj->SetEmitting(false);
    }
}

void SetUpCamera() {
    CameraObj->ClearCameras();
    sys::PumpMessages();
    CameraObj->SelectCamera("main");
    CameraObj->SetCameraPosition(Vector{0, 100, 100});
    CameraObj->CameraLookAt(Vector{0, 0, 0});
    CameraObj->SetLens(MathObj->MakeLens(1.0f, 500000.0f, 65.0f, -1.0f, 0));
}

void LoadMenuImages(float w, float h) {
    const std::string tex = sys::ProgramFolder() + "\\tex\\";
    Draw2DObj->LoadImage(tex + "mainmenu.jpg", "menu", 0);
    Draw2DObj->SetImagePosition(
        Vector2{w / 2 - 256 * MainMenuScreen.MenuScaleX, h / 2 - 256 * MainMenuScreen.MenuScaleY});
    Draw2DObj->SetImageSize(Vector2{512 * MainMenuScreen.MenuScaleX, 512 * MainMenuScreen.MenuScaleY});
    Draw2DObj->SetImageMode(1);
    Draw2DObj->SetImageFlag(false);
    Draw2DObj->LoadImage(tex + "msicon1.jpg", "mouse", 1);
    Draw2DObj->SetImageMode(5);
    Draw2DObj->SetImageFlag(false);
    Draw2DObj->SetImageSize(Vector2{64 * MainMenuScreen.MenuScaleX, 64 * MainMenuScreen.MenuScaleY});
    Draw2DObj->SetImageVisible(false);
}

// One timeline row: applies while T lies strictly inside (from, to).
bool During(double t, double from, double to) {
    return from < t && t < to;
}

void EachFighter(void (*step)(float), float f) {
    for (const char* key : {"back1", "back2", "back3", "back4"}) {
        MeshObj->SelectMesh(key);
        step(f);
    }
}

// The fighters and the mothership follow a fixed script of T seconds since the
// loop began; after 250 s the fighters stand and the mothership is gone.
void RunTimeline(double t, float f) {
    if (t < 46) EachFighter([](float ff) { MeshObj->MoveForward(-6 * ff, true, true); }, f);
    if (During(t, 46, 53.5)) EachFighter([](float ff) { MeshObj->MoveForward(-30 * ff, true, true); }, f);
    if (During(t, 53.5, 69)) EachFighter([](float ff) { MeshObj->MoveForward(-10 * ff, true, true); }, f);
    if (During(t, 69, 71)) {
        EachFighter(
            [](float ff) {
                MeshObj->MoveForward(-10 * ff, true, true);
                MeshObj->TurnYaw(-4 * ff, 2);
                MeshObj->TurnRoll(0.3f * ff, 2);
                MeshObj->TurnPitch(0.5f * ff, 2);
            },
            f);
    }
    if (During(t, 71, 250)) EachFighter([](float ff) { MeshObj->MoveForward(-30 * ff, true, true); }, f);

    MeshObj->SelectMesh("mshell");
    if (t < 52) MeshObj->MoveForward(-2.7f * f, true, true);
    if (During(t, 52, 54)) {
        MeshObj->TurnYaw(-2 * f, 2);
        MeshObj->TurnRoll(0.3f * f, 2);
        MeshObj->TurnPitch(0.5f * f, 2);
        MeshObj->MoveForward(-30 * f, true, true);
    }
    if (During(t, 54, 104)) MeshObj->MoveForward(-120 * f, true, true);
    if (During(t, 104, 106.22)) {
        MeshObj->MoveForward(-10 * f, true, true);
        MeshObj->TurnYaw(-4 * f, 2);
        MeshObj->TurnPitch(-0.71f * f, 2);
    }
    if (During(t, 106.22, 250)) MeshObj->MoveForward(-550 * f, true, true);
    if (t > 250) MeshObj->SetVisible(false);
}

// Enter and keypad Enter act as a click on the selected item.
bool EnterDown() {
    return InputObj->IsKeyDown(key::Return) || InputObj->IsKeyDown(key::NumpadEnter);
}

bool ActivationDown() {
    return MainMenuScreen.MenuMouse.Button0 || EnterDown();
}

void RunMenuLoop(double timelineStart) {
    bool menuRunning = true;
    int selectedItem = ItemNewGame;
    float activationDelay = 0;
    float orbitAngle = 0;
    int shotNumber = 0;
    float lastFactor = 0;

    while (menuRunning) {
        // The menu music repeats.
        if (DXAudioObj->BackgroundIsStopped()) StartMenuMusic();

        FrameObj->BeginFrame();
        float f = TimerObj->GetFrameFactor(1.0f);
        if (f == 0)
            f = lastFactor;
        else
            lastFactor = f;

        // The camera circles the scene.
        orbitAngle += 0.4f * f;
        if (orbitAngle > 360) orbitAngle -= 360;
        const float a = orbitAngle * DegreesToRadians;
        CameraObj->CameraLookAt(Vector{0, 0, -150});
        CameraObj->SetCameraPosition(Vector{250 * std::cos(a), 50 * std::sin(a), 40 * std::sin(a)});

        if (InputObj->IsKeyDown(key::P)) SaveNumberedScreenshot(*FrameObj, shotNumber);

        MainMenuScreen.MenuMouse = InputObj->GetMouseState(0);
        Draw2DObj->SelectImage("mouse");
        Draw2DObj->SetImagePosition(Vector2{MainMenuScreen.MenuMouse.X - 11 * MainMenuScreen.MenuScaleX,
                                            MainMenuScreen.MenuMouse.Y - 13 * MainMenuScreen.MenuScaleY});
        Draw2DObj->SetImageVisible(true);
        MainMenuScreen.MenuMouseX = Nearest(
            (MainMenuScreen.MenuMouse.X - MainMenuScreen.MenuCentreX) / MainMenuScreen.MenuScaleX + 256);
        MainMenuScreen.MenuMouseY = Nearest(
            (MainMenuScreen.MenuMouse.Y - MainMenuScreen.MenuCentreY) / MainMenuScreen.MenuScaleY + 256);

        if (!MainMenuScreen.OverlayShown) {
            if (MainMenuScreen.Menus[0].OverMenu(MainMenuScreen.MenuMouseX, MainMenuScreen.MenuMouseY)) {
                Draw2DObj->SetImageTexture(0, "ms2");
                selectedItem = MainMenuScreen.Menus[0].MenuSelected(MainMenuScreen.MenuMouseX,
                                                                    MainMenuScreen.MenuMouseY) +
                               1;
                if (!MainMenuScreen.HoverSounded) PlayClick();
                MainMenuScreen.HoverSounded = true;
            } else {
                // Outside every item the keyboard overlay is the one a click opens.
                selectedItem = ItemKeysOverlay;
                Draw2DObj->SetImageTexture(0, "ms1");
                MainMenuScreen.HoverSounded = false;
            }
        }

        if (ActivationDown() && activationDelay > 100 * f) {
            activationDelay = 0;
            switch (selectedItem) {
                case ItemOptions:
                    ShowOptionsDialog();
                    break;
                case ItemKeysOverlay:
                    MainMenuScreen.OverlayShown = !MainMenuScreen.OverlayShown;
                    MainMenuScreen.OverlayImage = 1;
                    break;
                case ItemSecondOverlay:
                    MainMenuScreen.OverlayShown = !MainMenuScreen.OverlayShown;
                    MainMenuScreen.OverlayImage = 2;
                    break;
                case ItemExit:
                    menuRunning = false;
                    break;
                default:
                    break;
            }
            PlayClick();
        }

        RunTimeline(sys::WallClock() - timelineStart, f);
        UpdateMothershipEmitters();

        for (const char* key : {"asteroid1", "asteroid2", "asteroid3"}) {
            MeshObj->SelectMesh(key);
            MeshObj->MoveForward(-(float(sys::Rnd()) + 0.2f) * f, true, true);
        }

        FrameObj->RenderScene();

        Draw2DObj->SelectImage("menu");
        Draw2DObj->SetImageTexture(0, !MainMenuScreen.OverlayShown       ? "menu1"
                                      : MainMenuScreen.OverlayImage == 1 ? "menu4"
                                                                         : "menu5");

        activationDelay += 2 * f;

        // New Game and Load Game go without the delay. Return and keypad Enter open the
        // slot list whatever is selected: the keyboard's way in.
        bool listed = false;
        if ((selectedItem == ItemLoadGame && MainMenuScreen.MenuMouse.Button0) || EnterDown()) {
            int slot = 1;
            MainMenuLoadGame(slot);
            listed = true;
        }
        // An Enter still held when the list comes back is the one that opened it (or
        // pressed in it), not a wish for a new game.
        MainMenuScreen.MenuMouse = InputObj->GetMouseState(0);
        if ((selectedItem == ItemNewGame && MainMenuScreen.MenuMouse.Button0) || (!listed && EnterDown())) {
            int slot = NewGameSlot;
            MainMenuLoadGame(slot);
        }

        FrameObj->EndFrame();
    }
}

[[noreturn]] void ExitMainMenu() {
    TearDownMenuScene(MenuSceneEnd::ProgramExit);
    DropEngineObjects({.materials = true, .particles = true});
    sys::PumpMessages();
    forms::ShowCursor(true);
    sys::EndProcess(0, "exit chosen in the main menu");
}

}  // namespace

void UpdateMenuScreenMetrics() {
    CoreObj->GetScreenSize(MainMenuScreen.MenuWidth, MainMenuScreen.MenuHeight, MainMenuScreen.MenuDepth);
    MainMenuScreen.MenuCentreX = Nearest(MainMenuScreen.MenuWidth / 2.0);
    MainMenuScreen.MenuCentreY = Nearest(MainMenuScreen.MenuHeight / 2.0);
    MainMenuScreen.MenuScaleX = MainMenuScreen.MenuWidth / 1280.0f;
    MainMenuScreen.MenuScaleY = MainMenuScreen.MenuHeight / 1024.0f;
}

void MainMenu(int, bool ShowLogos, bool MakeParticles) {
    CreateEngineObjects();
    MainMenuScreen.OverlayImage = 1;
    MainMenuScreen.OverlayShown = false;
    MainMenuScreen.HoverSounded = false;

    Options.Load();
    Display.GraphicsLevel = Options.Graphics.Value();
    Display.ParticleLevel = Options.ParticleCheck.Value();
    ApplyRenderSwitches(Display.GraphicsLevel == 1);

    UpdateMenuScreenMetrics();
    const float w = float(MainMenuScreen.MenuWidth), h = float(MainMenuScreen.MenuHeight);

    const std::string tex = sys::ProgramFolder() + "\\tex\\";
    TextureObj->LoadTexture("narvo", tex + "narvologo.jpg", 0, 0);
    Draw2DObj->LoadImage(tex + (ShowLogos ? "engine_small.jpg" : "narvologo.jpg"), "logo", 0);
    Draw2DObj->SetImagePosition(Vector2{w / 2 - 256, h / 2 - 191});
    double logoStart = WallClockSecond();
    DrawOneFrame();

    DXAudioObj = std::make_unique<DXAudio>();
    DXAudioObj->InitDXAudio();

    LoadSky();

    if (ShowLogos) {
        WaitPast(logoStart, 3.5);
        logoStart = WallClockSecond();
        Draw2DObj->SelectImage("logo");
        Draw2DObj->SetImageTexture(0, "narvo");
        Draw2DObj->SetImageMode(0);
        Draw2DObj->SetImagePosition(Vector2{w / 2 - 256, h / 2 - 256});
        Draw2DObj->SetImageSize(Vector2{512, 512});
        DrawOneFrame();
    }

    LoadMaterials();
    LoadMenuTextures();
    LoadMenuMeshes();

    // What the last logo wait hides from the player: the menu's pictures, the
    // mothership's particle systems and the camera make no difference to the screen
    // until the menu's first frame, and a frame drawn unseen readies the renderer for
    // it. The music starts after the wait, where it is heard.
    LoadMenuImages(w, h);
    if (MakeParticles) CreateMothershipParticles();
    SetUpCamera();
    if (ShowLogos) {
        FrameObj->DrawHiddenFrame();
        WaitPast(logoStart, 3.3);
        sys::FrameLogEvent("logo-waits-done");
    }
    Draw2DObj->SelectImage("logo");
    Draw2DObj->SetImageVisible(false);

    StartMenuMusic();

    sys::FrameLogEventOnNextFrame("menu-first-frame");
    RunMenuLoop(WallClockSecond());
    ExitMainMenu();
}

MainMenuRecord MainMenuScreen;

}  // namespace quorvel
