// The window, its OpenGL context, the off-screen frame, presenting and the pump.

#include "platform/sdl/window.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "platform/engine/input_feed.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/internal.h"
#include "platform/system/process.h"

namespace quorvel::sdl {
namespace {

// The engine draws into one of two pictures while the window shows the other, the
// last finished frame; they swap roles when a frame is finished, so no frame is ever
// copied but to the window. A dialog opened in the middle of a frame (options over the
// menu) then still has the last whole frame behind it, not a half-drawn one.
struct FrameTarget {
    GLuint fbo[2] = {};
    GLuint colour[2] = {};
    GLuint depth = 0;  // shared: every frame clears it before it draws
    int drawing = 0;   // the picture the engine draws into; the other one is shown
    int width = 0;
    int height = 0;
    bool drawn = false;  // the shown picture holds a finished frame
    GLuint Fbo() const { return fbo[drawing]; }
    GLuint ShownFbo() const { return fbo[1 - drawing]; }
};

struct WindowState {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    int contextGeneration = 0;
    FrameTarget target;
    std::function<bool(const SDL_Event&)> eventHook;
    std::function<void()> overlayHook;
    std::function<void()> pumpTail;
    bool engineRunning = false;
    bool pointerShown = false;
    bool vsync = false;
    int frameLimit = 60;
    std::chrono::steady_clock::time_point lastPresent{};
};

WindowState& W() {
    static WindowState state;
    return state;
}

void ApplyPointer() {
    WindowState& w = W();
    const bool hold = w.engineRunning && !w.pointerShown;
    // The grab keeps the hidden system pointer inside the window. No relative mode: it
    // would report motion only, and absolute devices (tablets, virtual machines, remote
    // desktops) would never move the pointer. Steering that places the pointer and
    // reads the movement since gets it through PlacePointer.
    if (w.window) SDL_SetWindowMouseGrab(w.window, hold ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(hold ? SDL_DISABLE : SDL_ENABLE);
}

// EngineInput::SetMousePosition: the system pointer goes to the same point, so the next
// position the window reports counts from there. Motion still queued happened before
// the placing and is dropped. A window without the mouse is left alone: the pointer
// belongs to another program then.
void PlacePointer(int x, int y) {
    WindowState& w = W();
    if (!w.window || !w.engineRunning || w.pointerShown || SDL_GetMouseFocus() != w.window) return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(w.window, &width, &height);
    // The frame is drawn at the screen size; the window may be shown larger or smaller.
    if (w.target.width > 0) x = int(std::lround(double(x) * width / w.target.width));
    if (w.target.height > 0) y = int(std::lround(double(y) * height / w.target.height));
    SDL_PumpEvents();
    SDL_FlushEvent(SDL_MOUSEMOTION);
    SDL_WarpMouseInWindow(w.window, x, y);
}

void DeleteTarget(FrameTarget& t) {
    for (int i = 0; i < 2; ++i) {
        if (t.fbo[i]) glDeleteFramebuffers(1, &t.fbo[i]);
        if (t.colour[i]) glDeleteTextures(1, &t.colour[i]);
    }
    if (t.depth) glDeleteRenderbuffers(1, &t.depth);
    t = FrameTarget{};
}

// Waits out the rest of the frame time when the display gives no vertical sync, so a
// loop that renders as fast as it can does not hold a core for frames nobody sees.
void PaceFrame() {
    WindowState& w = W();
    const auto now = std::chrono::steady_clock::now();
    if (!w.vsync && w.frameLimit > 0 && w.lastPresent.time_since_epoch().count() != 0) {
        const auto period = std::chrono::nanoseconds(1'000'000'000LL / w.frameLimit);
        const auto due = w.lastPresent + period;
        if (now < due) {
            std::this_thread::sleep_until(due);
            w.lastPresent = due;
            return;
        }
    }
    w.lastPresent = now;
}

}  // namespace

// ---- Public --------------------------------------------------------------------

SDL_Window* Window() {
    WindowState& w = W();
    if (w.window || !detail::VideoReady()) return w.window;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);  // the engine draws into its own target with depth
    w.window = SDL_CreateWindow("quorvel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!w.window) {
        SDL_Log("window: %s", SDL_GetError());
        return nullptr;
    }
    detail::WatchGameWindow(w.window);
    engine::SetPointerPlacer(PlacePointer);
    w.context = SDL_GL_CreateContext(w.window);
    if (!w.context) {
        SDL_Log("OpenGL 3.3 core context: %s", SDL_GetError());
        return w.window;
    }
    ++w.contextGeneration;
    SDL_GL_MakeCurrent(w.window, w.context);
    // Off-screen drivers accept any interval but never wait for a screen.
    w.vsync = !detail::Headless() && SDL_GL_SetSwapInterval(1) == 0;
    return w.window;
}

void* GLContext() {
    Window();
    return W().context;
}

bool MakeCurrent() {
    WindowState& w = W();
    if (!Window() || !w.context) return false;
    if (SDL_GL_GetCurrentContext() == w.context) return true;
    return SDL_GL_MakeCurrent(w.window, w.context) == 0;
}

void SetEventHook(std::function<bool(const SDL_Event&)> hook) {
    W().eventHook = std::move(hook);
}
void SetOverlayHook(std::function<void()> draw) {
    W().overlayHook = std::move(draw);
}
void SetPumpTail(std::function<void()> tail) {
    W().pumpTail = std::move(tail);
}

// Makes the window's own surface, whole, the drawing target and gives its size in
// pixels; false without a context.
bool DrawToWindow(int& dw, int& dh) {
    if (!MakeCurrent()) return false;
    SDL_GL_GetDrawableSize(W().window, &dw, &dh);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, dw, dh);
    return true;
}

void Present() {
    WindowState& w = W();
    int dw = 0, dh = 0;
    if (!DrawToWindow(dw, dh)) return;
    if (w.target.drawn) {
        // The frame covers the whole window: no clear under it. Nothing here waits for
        // the frame: the copy queues behind its drawing.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, w.target.ShownFbo());
        glBlitFramebuffer(0, 0, w.target.width, w.target.height, 0, 0, dw, dh, GL_COLOR_BUFFER_BIT,
                          w.target.width == dw && w.target.height == dh ? GL_NEAREST : GL_LINEAR);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    } else {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (w.overlayHook) w.overlayHook();
    SDL_GL_SwapWindow(w.window);
    PaceFrame();
}

bool ReadLastFrame(std::vector<unsigned char>& rgba, int& width, int& height) {
    WindowState& w = W();
    if (!w.target.drawn || !MakeCurrent()) return false;
    width = w.target.width;
    height = w.target.height;
    const std::size_t row = std::size_t(width) * 4;
    std::vector<unsigned char> bottomUp(row * std::size_t(height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, w.target.ShownFbo());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    rgba.resize(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(rgba.data() + std::size_t(y) * row, bottomUp.data() + std::size_t(height - 1 - y) * row,
                    row);
    // Opaque surfaces leave their textures' alpha in the frame; the window shows no
    // alpha, so neither does the picture read back.
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = 255;
    return true;
}

void ShowSystemPointer(bool show) {
    W().pointerShown = show;
    if (detail::VideoReady()) ApplyPointer();
}

void SetFrameLimit(int framesPerSecond) {
    W().frameLimit = framesPerSecond > 0 ? framesPerSecond : 0;
}

// ---- Back end --------------------------------------------------------------------

namespace detail {

bool EnsureContext() {
    return MakeCurrent();
}

int ContextGeneration() {
    return W().contextGeneration;
}

bool BindFrameTarget(int width, int height) {
    WindowState& w = W();
    if (width <= 0 || height <= 0 || !MakeCurrent()) return false;
    FrameTarget& t = w.target;
    if (t.fbo[0] && t.width == width && t.height == height) {
        glBindFramebuffer(GL_FRAMEBUFFER, t.Fbo());
        return true;
    }
    DeleteTarget(t);
    // Errors that other drawing in this context left behind are not this target's:
    // clear them (a few at most: a lost context keeps reporting one).
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width > maxSize || height > maxSize) return false;
    glGenRenderbuffers(1, &t.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, t.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    bool complete = true;
    for (int i = 0; i < 2; ++i) {
        glGenTextures(1, &t.colour[i]);
        glBindTexture(GL_TEXTURE_2D, t.colour[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glGenFramebuffers(1, &t.fbo[i]);
        glBindFramebuffer(GL_FRAMEBUFFER, t.fbo[i]);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.colour[i], 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, t.depth);
        complete = complete && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, t.Fbo());
    if (!complete || glGetError() != GL_NO_ERROR) {
        DeleteTarget(t);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return false;
    }
    t.width = width;
    t.height = height;
    return true;
}

void FrameDrawn() {
    FrameTarget& t = W().target;
    if (!t.fbo[0]) return;
    // The finished picture is shown; the next frame draws into the other one.
    t.drawing = 1 - t.drawing;
    glBindFramebuffer(GL_FRAMEBUFFER, t.Fbo());
    t.drawn = true;
}

void ShowBlack() {
    WindowState& w = W();
    int dw = 0, dh = 0;
    if (!DrawToWindow(dw, dh)) return;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(w.window);
}

void EngineRunning(bool running) {
    WindowState& w = W();
    w.engineRunning = running;
    if (!running) w.pointerShown = false;
    ApplyPointer();
}

void Pump() {
    WindowState& w = W();
    if (!VideoReady()) return;
    // The last frame's swap, or anything since, may have failed in the window system.
    EndOnWindowSystemError();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        const bool closed = event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
                            w.window && event.window.windowID == SDL_GetWindowID(w.window);
        const bool taken = w.eventHook && w.eventHook(event);
        if (closed) sys::EndProcess(0, "the window system closed the game window");
        if (event.type == SDL_QUIT) sys::EndProcess(0, "the window system asked the program to quit");
        if (taken) continue;
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            engine::ReleaseAllInput();
        HandleInputEvent(event);
    }
    // Reading the events brings in the errors of the requests before them.
    EndOnWindowSystemError();
    RefreshGamePads();
    if (w.pumpTail) w.pumpTail();
}

void Shutdown() {
    WindowState& w = W();
    if (!VideoReady()) return;
    if (w.window) SDL_SetWindowMouseGrab(w.window, SDL_FALSE);
    engine::SetPointerPlacer(nullptr);
    SDL_ShowCursor(SDL_ENABLE);
    CloseGamePads();
    if (w.window) SDL_SetWindowFullscreen(w.window, 0);
    if (w.context) {
        if (MakeCurrent()) DeleteTarget(w.target);
        SDL_GL_DeleteContext(w.context);
    }
    if (w.window) SDL_DestroyWindow(w.window);
    CatchPendingWindowSystemErrors();
    WatchGameWindow(nullptr);
    w.window = nullptr;
    w.context = nullptr;
    w.target = FrameTarget{};
    w.engineRunning = false;
}

}  // namespace detail
}  // namespace quorvel::sdl
