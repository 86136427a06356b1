// Display, frames, timer and input.

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/input_feed.h"
#include "platform/engine/math3d.h"
#include "platform/system/clock.h"
#include "platform/system/frame_log.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"

namespace quorvel {

using engine::State;

// ---- EngineCore --------------------------------------------------------------

void EngineCore::SelectDisplayMode(int adapter, int mode) {
    State().adapter = adapter;
    State().mode = mode;
}

void EngineCore::AttachWindow(std::uintptr_t window) {
    State().display->AttachWindow(window);
}

int EngineCore::StartEngine(int) {
    auto& s = State();
    if (s.adapters.empty()) s.adapters = s.display->Adapters();
    if (s.adapter < 0 || s.adapter >= int(s.adapters.size())) return -1;
    const auto& modes = s.adapters[std::size_t(s.adapter)].modes;
    if (s.mode < 0 || s.mode >= int(modes.size())) return -1;
    const engine::DisplayMode& mode = modes[std::size_t(s.mode)];
    const int status = s.display->Start(s.adapter, mode);
    if (status < 0) return status;
    s.started = true;
    s.scene.screenWidth = mode.width;
    s.scene.screenHeight = mode.height;
    s.scene.screenDepth = mode.depth;
    s.input.mouseX = mode.width / 2;
    s.input.mouseY = mode.height / 2;
    return status;
}

void EngineCore::StopEngine() {
    auto& s = State();
    if (s.started) s.display->Stop();
    s.started = false;
}

void EngineCore::GetScreenSize(int& width, int& height, int& depth) const {
    const auto& scene = State().scene;
    width = scene.screenWidth;
    height = scene.screenHeight;
    depth = scene.screenDepth;
}

// ---- EngineDisplayModes ------------------------------------------------------

void EngineDisplayModes::Enumerate() {
    State().adapters = State().display->Adapters();
}

int EngineDisplayModes::GetAdapterCount() const {
    return int(State().adapters.size());
}

std::string EngineDisplayModes::GetAdapterName(int adapter) const {
    const auto& a = State().adapters;
    return adapter >= 0 && adapter < int(a.size()) ? a[std::size_t(adapter)].name : std::string();
}

int EngineDisplayModes::GetModeCount(int adapter) const {
    const auto& a = State().adapters;
    return adapter >= 0 && adapter < int(a.size()) ? int(a[std::size_t(adapter)].modes.size()) : 0;
}

bool EngineDisplayModes::GetMode(int adapter, int mode, int& width, int& height, int& depth) const {
    if (mode < 0 || mode >= GetModeCount(adapter)) return false;
    const engine::DisplayMode& m = State().adapters[std::size_t(adapter)].modes[std::size_t(mode)];
    width = m.width;
    height = m.height;
    depth = m.depth;
    return true;
}

// ---- EngineFrame ---------------------------------------------------------------

void EngineFrame::BeginFrame() {
    auto& s = State();
    const double now = sys::MonotonicSeconds();
    s.previousBeginTime = s.lastBeginTime;
    s.lastBeginTime = now;
    ++s.scene.frameNumber;
    // 2D calls made while no frame was open belong to this one, after any calls of a
    // frame that was begun but never ended.
    s.scene.queue.insert(s.scene.queue.end(), s.pendingQueue.begin(), s.pendingQueue.end());
    s.pendingQueue.clear();
    s.frameOpen = true;
    sys::FrameBegun();
    s.renderer->BeginFrame(s.scene);
}

void EngineFrame::RenderScene() {
    auto& s = State();
    const double now = sys::MonotonicSeconds();
    // Scene motion runs on wall time; a long pause (loading) does not jump it ahead.
    const double seconds = s.lastUpdateTime < 0 ? 0 : std::clamp(now - s.lastUpdateTime, 0.0, 0.25);
    s.lastUpdateTime = now;
    engine::UpdateScene(seconds);
    s.renderer->RenderScene(s.scene);
}

void EngineFrame::EndFrame() {
    auto& s = State();
    s.renderer->EndFrame(s.scene);
    sys::FrameShown();
    s.scene.queue.clear();
    s.frameOpen = false;
    sys::PumpMessages();
}

void EngineFrame::DrawHiddenFrame() {
    auto& s = State();
    s.renderer->DrawHidden(s.scene);
}

bool EngineFrame::SaveScreenshot(const std::string& path, int) {
    auto& s = State();
    return s.renderer->SaveScreenshot(s.scene, sys::ResolvePath(path));
}

void EngineFrame::SetSceneColourA(const Colour& colour) {
    State().scene.frame.sceneColourA = colour;
}
void EngineFrame::SetSceneColourB(const Colour& colour) {
    State().scene.frame.sceneColourB = colour;
}
void EngineFrame::SetRenderSwitchA(bool on) {
    State().scene.frame.switchA = on;
}
void EngineFrame::SetRenderSwitchB(bool on) {
    State().scene.frame.switchB = on;
}
void EngineFrame::SetRenderSwitchC(int value) {
    State().scene.frame.switchC = value;
}
void EngineFrame::SetRenderSwitchD(int value) {
    State().scene.frame.switchD = value;
}
void EngineFrame::SetRenderSwitchE(int value) {
    State().scene.frame.switchE = value;
}
void EngineFrame::SetRenderSwitchF(int value) {
    State().scene.frame.switchF = value;
}

// ---- EngineTimer ---------------------------------------------------------------

float EngineTimer::GetFrameFactor(float rate) const {
    const auto& s = State();
    if (s.previousBeginTime < 0) return 0;
    return float(double(rate) * 60.0 * (s.lastBeginTime - s.previousBeginTime));
}

// ---- EngineInput ---------------------------------------------------------------

bool EngineInput::IsKeyDown(int scanCode) const {
    return scanCode >= 0 && scanCode < 256 && State().input.keys[std::size_t(scanCode)];
}

MouseState EngineInput::GetMouseState(int) {
    auto& in = State().input;
    MouseState m;
    m.X = in.mouseX;
    m.Y = in.mouseY;
    m.Wheel = in.wheel;
    m.Button0 = in.button0;
    m.Button1 = in.button1;
    in.wheel = 0;
    return m;
}

namespace {
void KeepPointerOnScreen() {
    auto& s = State();
    s.input.mouseX = std::clamp(s.input.mouseX, 0, std::max(0, s.scene.screenWidth - 1));
    s.input.mouseY = std::clamp(s.input.mouseY, 0, std::max(0, s.scene.screenHeight - 1));
}

std::function<void(int, int)>& PointerPlacer() {
    static std::function<void(int, int)> placer;
    return placer;
}
}  // namespace

void EngineInput::SetMousePosition(int x, int y, int) {
    auto& in = State().input;
    in.mouseX = x;
    in.mouseY = y;
    KeepPointerOnScreen();
    if (const auto& placer = PointerPlacer()) placer(in.mouseX, in.mouseY);
}

bool EngineInput::OpenGamePad(int pad) {
    auto& in = State().input;
    if (pad < 0 || pad >= int(in.pads.size()) || !in.pads[std::size_t(pad)].connected) return false;
    in.openPad = pad;
    return true;
}

void EngineInput::EnableGamePad(bool on) {
    State().input.padEnabled = on;
}

GamePadState EngineInput::GetGamePadState() const {
    auto& in = State().input;
    if (in.padEnabled && in.openPad >= 0 && in.pads[std::size_t(in.openPad)].connected)
        in.lastPadState = in.pads[std::size_t(in.openPad)].state;
    return in.lastPadState;
}

std::string EngineInput::GetGamePadText(int pad) const {
    const auto& in = State().input;
    return pad >= 0 && pad < int(in.pads.size()) && in.pads[std::size_t(pad)].connected
               ? in.pads[std::size_t(pad)].name
               : std::string();
}

int EngineInput::SetupGamePadAxes(int pad) {
    const auto& in = State().input;
    return pad >= 0 && pad < int(in.pads.size()) && in.pads[std::size_t(pad)].connected
               ? in.pads[std::size_t(pad)].axes
               : 0;
}

int EngineInput::SetupGamePadButtons(int pad) {
    const auto& in = State().input;
    return pad >= 0 && pad < int(in.pads.size()) && in.pads[std::size_t(pad)].connected
               ? in.pads[std::size_t(pad)].buttons
               : 0;
}

namespace engine {

void FeedKey(int scanCode, bool down) {
    if (scanCode < 0 || scanCode >= 256) return;
    bool& key = State().input.keys[std::size_t(scanCode)];
    if (down && !key) sys::FrameLogPress();
    key = down;
}

void FeedMouseMotion(int dx, int dy) {
    auto& in = State().input;
    in.mouseX += dx;
    in.mouseY += dy;
    KeepPointerOnScreen();
}

void FeedMousePosition(int x, int y, int areaWidth, int areaHeight) {
    auto& s = State();
    auto scale = [](int v, int area, int screen) {
        return area > 0 && screen > 0 && area != screen ? int(std::lround(double(v) * screen / area)) : v;
    };
    s.input.mouseX = scale(x, areaWidth, s.scene.screenWidth);
    s.input.mouseY = scale(y, areaHeight, s.scene.screenHeight);
    KeepPointerOnScreen();
}

void SetPointerPlacer(std::function<void(int x, int y)> placer) {
    PointerPlacer() = std::move(placer);
}

void FeedMouseButton(int button, bool down) {
    auto& in = State().input;
    bool* pressed = button == 0 ? &in.button0 : button == 1 ? &in.button1 : nullptr;
    if (!pressed) return;
    if (down && !*pressed) sys::FrameLogPress();
    *pressed = down;
}

void FeedMouseWheel(int clicks) {
    State().input.wheel += clicks;
}

void ReleaseAllInput() {
    auto& in = State().input;
    in.keys.fill(false);
    in.button0 = in.button1 = false;
}

void ConnectGamePad(int pad, const std::string& name, int axes, int buttons) {
    auto& pads = State().input.pads;
    if (pad < 0 || pad >= int(pads.size())) return;
    GamePad& p = pads[std::size_t(pad)];
    p.connected = true;
    p.name = name;
    p.axes = axes;
    p.buttons = buttons;
}

void DisconnectGamePad(int pad) {
    auto& in = State().input;
    if (pad < 0 || pad >= int(in.pads.size())) return;
    in.pads[std::size_t(pad)] = GamePad{};
    if (in.openPad == pad) in.openPad = -1;
}

void FeedGamePad(int pad, const GamePadState& state) {
    auto& pads = State().input.pads;
    if (pad >= 0 && pad < int(pads.size())) pads[std::size_t(pad)].state = state;
}

}  // namespace engine
}  // namespace quorvel
