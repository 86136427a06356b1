#include "platform/sdl/display.h"

#include <SDL.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "platform/sdl/internal.h"
#include "platform/sdl/window.h"

namespace quorvel::sdl {
namespace {

int Depth(Uint32 format) {
    const int bits = int(SDL_BITSPERPIXEL(format));
    return bits > 16 ? 32 : 16;
}

}  // namespace

std::vector<engine::DisplayAdapter> SdlDisplay::Adapters() {
    std::vector<engine::DisplayAdapter> adapters;
    if (!detail::VideoReady()) return adapters;
    const int displays = SDL_GetNumVideoDisplays();
    for (int d = 0; d < displays; ++d) {
        engine::DisplayAdapter adapter;
        const char* name = SDL_GetDisplayName(d);
        adapter.name = name && *name ? name : "Display " + std::to_string(d + 1);
        if (detail::Headless()) {
            for (auto [w, h] : {std::pair{640, 480},
                                {800, 600},
                                {1024, 768},
                                {1152, 864},
                                {1280, 960},
                                {1280, 1024},
                                {1600, 1200}}) {
                adapter.modes.push_back({w, h, 16});
                adapter.modes.push_back({w, h, 32});
            }
        } else {
            const int count = SDL_GetNumDisplayModes(d);
            for (int m = 0; m < count; ++m) {
                SDL_DisplayMode mode{};
                if (SDL_GetDisplayMode(d, m, &mode) != 0 || mode.w <= 0 || mode.h <= 0) continue;
                adapter.modes.push_back({mode.w, mode.h, Depth(mode.format)});
            }
            auto key = [](const engine::DisplayMode& m) { return std::tuple(m.width, m.height, m.depth); };
            std::sort(adapter.modes.begin(), adapter.modes.end(),
                      [&](const auto& a, const auto& b) { return key(a) < key(b); });
            // SDL lists a mode once per refresh rate.
            adapter.modes.erase(std::unique(adapter.modes.begin(), adapter.modes.end(),
                                            [&](const auto& a, const auto& b) { return key(a) == key(b); }),
                                adapter.modes.end());
        }
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

namespace {

void ResizeWindow(SDL_Window* window, int width, int height) {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w != width || h != height) SDL_SetWindowSize(window, width, height);
}

}  // namespace

int SdlDisplay::Start(int adapter, const engine::DisplayMode& mode) {
    if (!detail::VideoReady() || mode.width <= 0 || mode.height <= 0) return -1;
    if (adapter < 0 || adapter >= SDL_GetNumVideoDisplays()) return -1;
    SDL_Window* window = Window();
    if (!window || !detail::EnsureContext()) return -2;
    // Black before the window changes size and after: what it held (the launch pad)
    // would otherwise stay in a corner of the grown window until the first frame.
    detail::ShowBlack();
    if (!detail::Headless()) {
        SDL_DisplayMode wanted{};
        wanted.w = mode.width;
        wanted.h = mode.height;
        SDL_DisplayMode found{};
        if (!SDL_GetClosestDisplayMode(adapter, &wanted, &found) || found.w != mode.width ||
            found.h != mode.height)
            return -3;
        SDL_SetWindowFullscreen(window, 0);
        // Size first: centring uses the window's size as it stands. SDL's X11 calls
        // wait up to 100 ms for a change that never comes when nothing changes, so
        // only what differs is asked for.
        ResizeWindow(window, mode.width, mode.height);
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(adapter, &bounds) == 0) {
            const int x = bounds.x + (bounds.w - mode.width) / 2, y = bounds.y + (bounds.h - mode.height) / 2;
            int nowX = 0, nowY = 0;
            SDL_GetWindowPosition(window, &nowX, &nowY);
            if (nowX != x || nowY != y) SDL_SetWindowPosition(window, x, y);
        } else {
            SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(adapter),
                                  SDL_WINDOWPOS_CENTERED_DISPLAY(adapter));
        }
        if (SDL_SetWindowDisplayMode(window, &found) != 0 ||
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
            SDL_Log("display mode %dx%d: %s", mode.width, mode.height, SDL_GetError());
            SDL_SetWindowFullscreen(window, 0);
            return -3;
        }
    } else {
        ResizeWindow(window, mode.width, mode.height);
    }
    if (!detail::BindFrameTarget(mode.width, mode.height)) return -4;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    detail::EngineRunning(true);
    detail::ShowBlack();
    return 0;
}

void SdlDisplay::Stop() {
    if (!detail::VideoReady()) return;
    if (SDL_Window* window = Window()) SDL_SetWindowFullscreen(window, 0);
    detail::EngineRunning(false);
}

}  // namespace quorvel::sdl
