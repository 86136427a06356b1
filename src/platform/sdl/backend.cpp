#include "platform/sdl/backend.h"

#include <SDL.h>
#include <malloc.h>

#include <cstring>
#include <memory>

#include "platform/engine/backends.h"
#include "platform/engine/engine_state.h"
#include "platform/sdl/display.h"
#include "platform/sdl/gl_renderer.h"
#include "platform/sdl/internal.h"
#include "platform/system/process.h"

namespace quorvel::sdl {
namespace {

bool videoReady = false;
bool headless = false;

}  // namespace

namespace detail {
bool VideoReady() {
    return videoReady;
}
bool Headless() {
    return headless;
}
}  // namespace detail

bool InstallSdlBackEnd() {
    if (!videoReady) {
        // The software renderer takes fresh memory for every frame's geometry, bins and
        // streamed buffers and gives it back at the frame's end; the allocator would hand
        // those pages back to the system each time and fault them in again on the next
        // frame, on the thread that builds the frame. Keep freed memory in the process.
        // Blocks of half a megabyte and more (decoded pictures, read on the loading
        // threads and let go once uploaded) are mapped on their own and go back at once:
        // kept in the loading threads' heaps they stayed as large as all of a level's
        // pictures. A fixed threshold, since the allocator would otherwise raise it to
        // the size of the first such block freed.
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
        mallopt(M_MMAP_THRESHOLD, 512 << 10);
        // SDL would turn Ctrl+C and SIGTERM into a quit event that cannot tell who sent
        // it; the program's own handlers (sys::ReportEveryEnd) end it and say so.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            SDL_Log("video: %s", SDL_GetError());
            return false;
        }
        detail::CatchWindowSystemErrors();
        // Without controllers the game still runs; it only finds no pad.
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) SDL_Log("game controllers: %s", SDL_GetError());
        const char* driver = SDL_GetCurrentVideoDriver();
        headless = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
        videoReady = true;
        // Controllers present at start come as added-device events on the first pump.
    }
    auto renderer = std::make_shared<GlRenderer>();
    engine::InstallBackEnds(renderer, std::make_shared<SdlDisplay>(), nullptr);
    // Between frames (the logo waits above all) the renderer readies what the next
    // frames will need, a few milliseconds a pump so the window stays responsive.
    sys::SetPumpHook([weak = std::weak_ptr<GlRenderer>(renderer)] {
        detail::Pump();
        const engine::EngineState& state = engine::State();
        if (auto r = weak.lock(); r && state.started && !state.frameOpen) r->Prepare(state.scene, 4.0);
    });
    sys::AtProcessEnd([] {
        detail::Shutdown();
        SDL_Quit();
        videoReady = false;
    });
    return true;
}

}  // namespace quorvel::sdl
