#pragma once
// The 3D main menu: start-up logos, the menu scene with its orbiting camera and
// timeline, music, the pointer and its six items, the help overlays, screenshots,
// and the way into the load-game screen. It never returns: Exit ends the process,
// and a game started from it ends the process itself.

#include <array>

#include "common/common.h"
#include "platform/engine/records.h"

namespace quorvel {

// The 3D main menu's screen metrics, hit lists and pointer.
struct MainMenuRecord {
    // Shared with the load-game screen and the scene loaders. The detail settings
    // GraphicsLevel and ParticleLevel are in the display record (common/world.h).
    int MenuWidth = 0, MenuHeight = 0, MenuDepth = 0;
    int MenuCentreX = 0, MenuCentreY = 0;
    float MenuScaleX = 1, MenuScaleY = 1;  // display size / 1280 x 1024
    // 0: the six main-menu items in menu-picture space; 1: the ten load-list rows in pixels.
    std::array<clsMenu, 2> Menus;
    MouseState MenuMouse;
    int MenuMouseX = 0, MenuMouseY = 0;  // the pointer in the space of the list tested
    bool OverlayShown = false;
    int OverlayImage = 1;  // 1: "menu4", otherwise "menu5"
    bool HoverSounded = false;
};
extern MainMenuRecord MainMenuScreen;

// Reads the screen size into MenuWidth, MenuHeight and MenuDepth, and the centre and
// the scale from it.
void UpdateMenuScreenMetrics();

// Item is kept for its caller and not used. ShowLogos: show the two start-up logos
// with their waits; MakeParticles: create the mothership's six particle systems.
[[noreturn]] void MainMenu(int Item, bool ShowLogos, bool MakeParticles);

}  // namespace quorvel
