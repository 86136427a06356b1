#pragma once
// Services of the shell: what the other folders may call here.
//   this header       the detail settings a scene is built with, the options dialog
//                     over the 3D view
//   options.h         the options dialog Options, whose controls are the live settings
//   loading_screen.h  the progress screen of a level load
//   bitmap_font.h     messages in the large bitmap font
//   waits.h           timed waits: WallClockSecond, WaitPast
//   screenshot.h      SaveNumberedScreenshot

#include "shell/bitmap_font.h"
#include "shell/loading_screen.h"
#include "shell/options.h"
#include "shell/screenshot.h"
#include "shell/waits.h"

namespace quorvel {

// The options dialog over the 3D view: pointer shown, dialog on top without its
// detail slider, shown modally; returns when it is closed.
void ShowOptionsDialog();

// The 3D main menu (shell/main_menu.h): the game run goes back to it at its end.
[[noreturn]] void MainMenu(int Item, bool ShowLogos, bool MakeParticles);

// The window the 3D view is drawn on, for the devices that attach to it.
int RenderWindowHandle();

}  // namespace quorvel
