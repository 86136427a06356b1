#pragma once
// The display as the engine sees it: SDL's video displays and their modes, and the
// engine start on the one window.

#include "platform/engine/backends.h"

namespace quorvel::sdl {

class SdlDisplay : public engine::Display {
  public:
    // On a real screen: each video display with its modes (bits per pixel as 16 or 32),
    // smallest first. Off-screen drivers have no modes of their own: they offer the
    // usual window sizes.
    std::vector<engine::DisplayAdapter> Adapters() override;
    void AttachWindow(std::uintptr_t window) override { attached_ = window; }
    // Full screen in that mode on a real screen, a window of that size off-screen;
    // negative when the mode cannot be set or OpenGL 3.3 is missing.
    int Start(int adapter, const engine::DisplayMode& mode) override;
    void Stop() override;

  private:
    std::uintptr_t attached_ = 0;  // the game's window handle; there is only the one window
};

}  // namespace quorvel::sdl
