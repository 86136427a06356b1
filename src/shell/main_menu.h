#pragma once
// The 3D main menu: start-up logos, the menu scene with its orbiting camera and
// timeline, music, the pointer and its six items, the help overlays, screenshots,
// and the way into the load-game screen. It never returns: Exit ends the process,
// and a game started from it ends the process itself.

#include <array>

#include "common/common.h"
#include "platform/engine/records.h"

namespace quorvel {

// Menu-module state, shared with the load-game screen and the scene loaders. The
// detail settings GraphicsLevel and ParticleLevel are in shell/shell.h.
extern int MenuWidth, MenuHeight, MenuDepth;
extern int MenuCentreX, MenuCentreY;
extern float MenuScaleX, MenuScaleY;  // display size / 1280 x 1024
// 0: the six main-menu items in menu-picture space; 1: the ten load-list rows in pixels.
extern std::array<clsMenu, 2> Menus;
extern MouseState MenuMouse;
extern int MenuMouseX, MenuMouseY;  // the pointer in the space of the list tested
extern bool OverlayShown;
extern int OverlayImage;  // 1: "menu4", otherwise "menu5"
extern bool HoverSounded;

// Reads the screen size into MenuWidth, MenuHeight and MenuDepth, and the centre and
// the scale from it.
void UpdateMenuScreenMetrics();

// Item is kept for its caller and not used. ShowLogos: show the two start-up logos
// with their waits; MakeParticles: create the mothership's six particle systems.
[[noreturn]] void MainMenu(int Item, bool ShowLogos, bool MakeParticles);

}  // namespace quorvel
