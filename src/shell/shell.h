#pragma once
// Services of the shell: what the program's start calls here.
//   launch_pad.h  the launch pad, the start-up form
//   tip.h         the tip of the day and the splash

namespace quorvel {

// The 3D main menu (shell/main_menu.h): it never returns; the game run it starts ends
// the program.
[[noreturn]] void MainMenu(int Item, bool ShowLogos, bool MakeParticles);

}  // namespace quorvel
