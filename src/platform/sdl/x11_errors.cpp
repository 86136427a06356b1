// What the X window system reports as an error or a lost connection, on SDL's x11 driver.
//
// SDL's own error handler puts the desktop's display mode back through XRandR and then
// calls Xlib's default handler (which ends the process). Xlib calls error handlers with
// its lock held, so that XRandR call waits for the lock for ever: a window destroyed
// under the game (its next frame's swap fails) hung the game, signals and all. Ours
// only notes the error; the next pump ends the program, and the end hooks put the
// display back once Xlib is free again.

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "platform/sdl/internal.h"
#include "platform/system/process.h"

namespace quorvel::sdl::detail {
namespace {

// The first error reported, noted by the handler for the next pump. Xlib may call the
// handler on whichever thread reads the reply, so the fields are atomic: `claimed`
// picks the first error, `noted` says its fields are written.
std::atomic<bool> claimed{false};
std::atomic<bool> noted{false};
std::atomic<int> errorCode{0};
std::atomic<int> requestCode{0};
std::atomic<int> minorCode{0};
std::atomic<unsigned long> errorResource{0};
std::atomic<unsigned long> gameWindow{0};
// SDL's connection, known once the game window is: SDL puts Xlib's default handler
// back when it closes it.
Display* connection = nullptr;

// The core protocol's error names (X.h); an extension's own errors get a number only,
// since naming them would ask Xlib.
const char* ErrorName(int code) {
    static const char* const names[] = {
        "Success",   "BadRequest", "BadValue",    "BadWindow",   "BadPixmap", "BadAtom",
        "BadCursor", "BadFont",    "BadMatch",    "BadDrawable", "BadAccess", "BadAlloc",
        "BadColor",  "BadGC",      "BadIDChoice", "BadName",     "BadLength", "BadImplementation"};
    return code >= 0 && code < int(std::size(names)) ? names[code] : nullptr;
}

std::string Hex(unsigned long n) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", n);
    return text;
}

int OnError(Display*, XErrorEvent* event) {
    // Called with Xlib's lock held: no Xlib call (nor SDL's, which makes them) from here.
    NoteWindowSystemError(event->error_code, event->request_code, event->minor_code, event->resourceid);
    return 0;
}

// Xlib ends the process when this returns, and every Xlib call would fail again here:
// the end hooks need the connection to restore anything, so they are skipped.
[[noreturn]] int OnIOError(Display*) {
    sys::EndProcessWithoutHooks(1, "the connection to the window system was lost");
}

}  // namespace

void CatchWindowSystemErrors() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return;
    // After SDL_Init: SDL installs its handler when it opens the display. SDL's own
    // short-lived handlers (around context creation and the like) put ours back after.
    XSetErrorHandler(OnError);
    XSetIOErrorHandler(OnIOError);
}

void WatchGameWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        gameWindow = info.info.x11.window;
        connection = info.info.x11.display;
    } else {
        gameWindow = 0;
    }
}

void CatchPendingWindowSystemErrors() {
    // The errors of the requests so far reach our handler now, not the default one that
    // SDL_Quit puts back before its last round trip: that one exits from inside Xlib,
    // and the clean-up made with a window destroyed under the game raises a few.
    if (connection) XSync(connection, False);
}

void NoteWindowSystemError(int code, int request, int minor, unsigned long resource) {
    if (claimed.exchange(true)) return;
    errorCode = code;
    requestCode = request;
    minorCode = minor;
    errorResource = resource;
    noted = true;
}

void EndOnWindowSystemError() {
    if (!noted) return;
    // Cleared first: under a test's throwing end, the pumps after do not end again.
    noted = false;
    claimed = false;
    const int code = errorCode;
    const unsigned long resource = errorResource;
    const char* name = ErrorName(code);
    std::string error = std::string("X error ") + (name ? name : std::to_string(code)) + " on request " +
                        std::to_string(requestCode) + "." + std::to_string(minorCode);
    // The game destroys its window only on its way out: a window or drawing surface of
    // that id that is gone was destroyed by someone else.
    if (resource != 0 && resource == gameWindow && (code == BadWindow || code == BadDrawable))
        sys::EndProcess(1, "the game window was destroyed from outside the game (" + error + ")");
    sys::EndProcess(1, "the window system reported an error (" + error + " for " + Hex(resource) + ")");
}

}  // namespace quorvel::sdl::detail
