// Forms drawn with Dear ImGui in the game window: the host, its window and its
// place among the engine's back ends.

#include <backends/imgui_impl_opengl3.h>

#include <filesystem>

#include "platform/engine/backends.h"
#include "platform/engine/input_feed.h"
#include "platform/sdl/forms_host_impl.h"
#include "platform/sdl/window.h"
#include "platform/system/process.h"

namespace quorvel::sdl {

using namespace forms_ui;

namespace {

// A proportional face close to the dialog font the forms were laid out for; ImGui's
// own font when none is installed.
void LoadFonts() {
    static const char* const kFaces[][2] = {
        {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
         "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"},
        {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
         "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
    };
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    for (const auto& face : kFaces) {
        if (!std::filesystem::exists(face[0]) || !atlas->AddFontFromFileTTF(face[0], kFontSize)) continue;
        if (std::filesystem::exists(face[1])) atlas->AddFontFromFileTTF(face[1], kFontSize);
        return;
    }
    atlas->AddFontDefault();
}

}  // namespace

namespace forms_ui {

class FollowingDisplay : public engine::Display {
  public:
    FollowingDisplay(std::shared_ptr<engine::Display> inner,
                     std::function<void(bool, std::uintptr_t)> changed)
        : inner_(std::move(inner)), changed_(std::move(changed)) {}
    std::vector<engine::DisplayAdapter> Adapters() override { return inner_->Adapters(); }
    void AttachWindow(std::uintptr_t window) override {
        attached_ = window;
        inner_->AttachWindow(window);
    }
    int Start(int adapter, const engine::DisplayMode& mode) override {
        const int status = inner_->Start(adapter, mode);
        if (status >= 0) changed_(true, attached_);
        return status;
    }
    void Stop() override {
        inner_->Stop();
        changed_(false, 0);
    }
    const std::shared_ptr<engine::Display>& Inner() const { return inner_; }

  private:
    std::shared_ptr<engine::Display> inner_;
    std::function<void(bool, std::uintptr_t)> changed_;
    std::uintptr_t attached_ = 0;
};

}  // namespace forms_ui

// ---- Window -------------------------------------------------------------------------

float ImGuiFormsHost::Impl::FrameTop(const Form& f) const {
    return (Captioned(f) ? BarHeight() : 0.0f) + (HasMenus(f) ? BarHeight() : 0.0f);
}

ImVec2 ImGuiFormsHost::Impl::ScreenPos(const Form& f) const {
    if (!f.Visible() && f.StartPosition() == forms::StartUpPosition::CenterScreen) {
        const forms::ScreenInfo s = ScreenInfoNow();
        return {Px((s.Width - f.Width()) / 2), Px((s.Height - f.Height()) / 2)};
    }
    return {Px(f.Left()), Px(f.Top())};
}

forms::ScreenInfo ImGuiFormsHost::Impl::ScreenInfoNow() const {
    int w = 1024, h = 768;
    SDL_Window* win = engineRunning ? Window() : nullptr;
    SDL_DisplayMode mode{};
    if (win) {
        SDL_GetWindowSize(win, &w, &h);
    } else if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0) {
        w = mode.w;
        h = mode.h;
    }
    return {w * Tpp(), h * Tpp(), Tpp(), Tpp()};
}

std::vector<Form*> ImGuiFormsHost::Impl::VisibleForms() {
    zOrder.erase(
        std::remove_if(zOrder.begin(), zOrder.end(), [](Form* f) { return !Alive(f) || !f->Visible(); }),
        zOrder.end());
    for (Form* f : forms::AllForms())
        if (f->Visible() && std::find(zOrder.begin(), zOrder.end(), f) == zOrder.end()) zOrder.push_back(f);
    std::vector<Form*> out = zOrder;
    std::stable_partition(out.begin(), out.end(), [](Form* f) { return !f->Topmost(); });
    return out;
}

bool ImGuiFormsHost::Impl::IsRenderWindow(const Form& f) const {
    return engineRunning && renderWindow != 0 && std::uintptr_t(f.Handle()) == renderWindow;
}

std::vector<Form*> ImGuiFormsHost::Impl::DrawnForms() {
    std::vector<Form*> out;
    for (Form* f : VisibleForms()) {
        if (IsRenderWindow(*f)) continue;
        if (engineRunning && !f->Topmost() && !f->Modal()) continue;
        out.push_back(f);
    }
    return out;
}

Form* ImGuiFormsHost::Impl::Desk() {
    // A main form still loading is not on screen yet: a dialog its loading shows (the
    // splash, the tip of the day) gets a window of its own size until it is, never an
    // empty window of the main form's size.
    if (mainForm && Alive(mainForm) && mainForm->Loaded() && mainForm->Visible()) return mainForm;
    const auto shown = DrawnForms();
    return shown.empty() ? nullptr : shown.front();
}

void ImGuiFormsHost::Impl::ArrangeWindow() {
    SDL_Window* win = Window();
    if (!win || engineRunning) return;
    Form* desk = Desk();
    if (!desk || DrawnForms().empty()) {
        if (SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN) SDL_HideWindow(win);
        return;
    }
    if (!desk->Caption().empty() && desk->Caption() != title) {
        title = desk->Caption();
        SDL_SetWindowTitle(win, title.c_str());
    }
    if (SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(win, 0);
    // Large enough for every form drawn where it stands beside the form the window
    // stands for, so a dialog taller or wider than it, or placed next to it, is still
    // shown whole. (A form above or left of it is drawn from the window's edge.)
    const ImVec2 deskAt = ScreenPos(*desk);
    ImVec2 size = OuterSize(*desk);
    for (Form* f : DrawnForms()) {
        const ImVec2 s = OuterSize(*f);
        const ImVec2 at = ScreenPos(*f);
        size = {std::max(size.x, std::max(0.0f, at.x - deskAt.x) + s.x),
                std::max(size.y, std::max(0.0f, at.y - deskAt.y) + s.y)};
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(win, &w, &h);
    if (w != int(size.x) || h != int(size.y)) SDL_SetWindowSize(win, int(size.x), int(size.y));
    const ImVec2 pos = deskAt;
    if (int(pos.x) != placedX || int(pos.y) != placedY) {
        placedX = int(pos.x);
        placedY = int(pos.y);
        SDL_SetWindowPosition(win, placedX, placedY);
    }
    if (!(SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN)) SDL_ShowWindow(win);
}

void ImGuiFormsHost::Impl::EngineChanged(bool running, std::uintptr_t window) {
    engineRunning = running;
    renderWindow = window;
    pointerShown.reset();
    placedX = placedY = INT32_MIN;
    // The 3D view fills the whole window; the forms outline it again once it stops.
    if (outline) SetWindowOutline(Window(), nullptr);
    outline.reset();
    if (running) {
        // The render window takes the caption of the form it stands for.
        for (const Form* f : forms::AllForms())
            if (std::uintptr_t(f->Handle()) == window && !f->Caption().empty() && Window())
                SDL_SetWindowTitle(Window(), f->Caption().c_str());
        title.clear();
    }
    SyncPointer();
}

void ImGuiFormsHost::Impl::OutlineWindow() {
    if (outlineFailed) return;
    std::vector<OutlineRect> rects;
    for (const ImGuiWindow* w : ImGui::GetCurrentContext()->Windows)
        if (w->Active && !w->Hidden)
            rects.push_back({int(std::floor(w->Pos.x)), int(std::floor(w->Pos.y)), int(std::ceil(w->Size.x)),
                             int(std::ceil(w->Size.y))});
    if (outline == rects) return;
    if (SetWindowOutline(Window(), &rects))
        outline = std::move(rects);
    else
        outlineFailed = true;
}

void ImGuiFormsHost::Impl::SyncPointer() {
    if (!engineRunning) return;
    const bool dialog = DialogOpenOverEngine();
    // Keys and buttons held when a dialog opens would otherwise stay down for the
    // engine: their release goes to the dialog.
    if (dialog && !dialogWasOpen) engine::ReleaseAllInput();
    dialogWasOpen = dialog;
    const bool want = forms::CursorVisible() || dialog;
    if (pointerShown != want) {
        pointerShown = want;
        ShowSystemPointer(want);
    }
}

void ImGuiFormsHost::Impl::PresentNow() {
    ArrangeWindow();
    sdl::Present();
}

// ---- ImGuiFormsHost -----------------------------------------------------------------

ImGuiFormsHost::ImGuiFormsHost() : impl_(std::make_shared<Impl>()) {
    Impl& m = *impl_;
    ImGuiContext* previous = ImGui::GetCurrentContext();
    m.context = ImGui::CreateContext();
    ImGui::SetCurrentContext(m.context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
    LoadFonts();
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 0;
    style.ChildRounding = 0;
    style.FrameRounding = 0;
    style.PopupRounding = 0;
    style.ScrollbarRounding = 0;
    style.GrabRounding = 0;
    style.WindowBorderSize = 1;
    style.PopupBorderSize = 1;
    style.WindowPadding = {0, 0};
    style.FramePadding = kFramePadding;
    style.ItemSpacing = {4, 2};
    style.DisabledAlpha = 0.6f;
    style.WindowMinSize = {1, 1};
    style.Colors[ImGuiCol_Border] = ImVec4(0.25f, 0.25f, 0.25f, 1);
    style.Colors[ImGuiCol_PopupBg] = ImVec4(1, 1, 1, 1);
    style.Colors[ImGuiCol_Header] = ImVec4(0, 0, 0.5f, 1);
    style.Colors[ImGuiCol_HeaderHovered] = ImVec4(0.2f, 0.2f, 0.7f, 0.5f);
    style.Colors[ImGuiCol_Button] = ImVec4(0.83f, 0.82f, 0.78f, 1);
    style.Colors[ImGuiCol_MenuBarBg] = ImVec4(0.83f, 0.82f, 0.78f, 1);
    if (Window() && MakeCurrent()) m.glReady = ImGui_ImplOpenGL3_Init("#version 330 core");
    (void)previous;

    std::weak_ptr<Impl> weak = impl_;
    m.display = std::make_shared<FollowingDisplay>(engine::InstalledDisplay(),
                                                   [weak](bool running, std::uintptr_t window) {
                                                       if (auto p = weak.lock())
                                                           p->EngineChanged(running, window);
                                                   });
    engine::InstallBackEnds(nullptr, m.display, nullptr);
    SetEventHook([weak](const SDL_Event& e) {
        auto p = weak.lock();
        return p && p->OnEvent(e);
    });
    SetOverlayHook([weak] {
        if (auto p = weak.lock()) p->DrawFrame();
    });
    SetPumpTail([] { forms::DoEvents(); });
    // The GL objects go before the window's context does (hooks run last-in first).
    sys::AtProcessEnd([weak] {
        if (auto p = weak.lock()) p->ReleaseGl();
    });
    forms::SetHost(this);
}

ImGuiFormsHost::~ImGuiFormsHost() {
    Impl& m = *impl_;
    if (&forms::Host() == this) forms::SetHost(nullptr);
    SetEventHook(nullptr);
    SetOverlayHook(nullptr);
    SetPumpTail(nullptr);
    if (engine::InstalledDisplay() == m.display)
        engine::InstallBackEnds(nullptr, m.display->Inner(), nullptr);
    m.ReleaseGl();
    ImGui::DestroyContext(m.context);
}

bool ImGuiFormsHost::Ready() const {
    return impl_->glReady;
}

void ImGuiFormsHost::SetMainForm(forms::Form* form) {
    impl_->mainForm = form;
}

void ImGuiFormsHost::Pump() {
    Impl& m = *impl_;
    m.SyncPointer();
    if (!m.drawing && Window()) {
        // Without the engine nothing else shows frames; over the 3D view a modal dialog
        // holds the engine's loop, so its frames come from here too.
        const bool ours = !m.engineRunning || (!forms::ModalForms().empty() && m.DialogOpenOverEngine());
        const double since = std::chrono::duration<double>(Clock::now() - m.lastDraw).count();
        m.ArrangeWindow();
        // A still dialog is drawn a few times a second only: nothing spins while it waits.
        const bool busy = m.busyFrames > 0 || m.down[0] || m.dragging;
        const bool first = m.frames == 0;
        if (ours && (first || since >= (busy ? kFramePeriod : kIdlePeriod)) && m.BuildFrame()) {
            const std::uint64_t look = m.LookOfFrame();
            if (first || busy || look != m.shownLook) {
                m.shownLook = look;
                sdl::Present();
            }
            m.built = false;
        }
    }
    if (!m.actions.empty()) m.busyFrames = 4;
    m.RunActions();
}

forms::ScreenInfo ImGuiFormsHost::Screen() const {
    return impl_->ScreenInfoNow();
}

void ImGuiFormsHost::FormShown(forms::Form& form) {
    Impl& m = *impl_;
    m.busyFrames = 4;
    m.zOrder.erase(std::remove(m.zOrder.begin(), m.zOrder.end(), &form), m.zOrder.end());
    m.zOrder.push_back(&form);
    m.SyncPointer();
    // Painted at once, as Windows paints a form it shows: start-up may not pump for a while.
    if (!m.engineRunning && !m.drawing && Window()) m.PresentNow();
}

void ImGuiFormsHost::FormHidden(forms::Form& form) {
    Impl& m = *impl_;
    m.busyFrames = 4;
    m.zOrder.erase(std::remove(m.zOrder.begin(), m.zOrder.end(), &form), m.zOrder.end());
    m.SyncPointer();
}

void ImGuiFormsHost::FormActivated(forms::Form& form) {
    Impl& m = *impl_;
    m.busyFrames = 4;
    m.zOrder.erase(std::remove(m.zOrder.begin(), m.zOrder.end(), &form), m.zOrder.end());
    m.zOrder.push_back(&form);
}

void ImGuiFormsHost::CursorVisibilityChanged(bool) {
    impl_->SyncPointer();
}

int ImGuiFormsHost::Frames() const {
    return impl_->frames;
}

std::optional<PixelRect> ImGuiFormsHost::WhereDrawn(const forms::Form& form) const {
    const auto it = impl_->formRects.find(&form);
    if (it == impl_->formRects.end()) return std::nullopt;
    return it->second;
}

std::optional<PixelRect> ImGuiFormsHost::WhereDrawn(const forms::Control& control, int part) const {
    const auto it = impl_->controlRects.find({&control, part});
    if (it == impl_->controlRects.end()) return std::nullopt;
    return it->second;
}

bool ImGuiFormsHost::Capture(std::vector<unsigned char>& rgba, int& width, int& height) {
    Impl& m = *impl_;
    if (!Window() || !m.glReady || m.drawing) return false;
    m.captureTo = &rgba;
    m.captured = false;
    m.PresentNow();
    m.captureTo = nullptr;
    width = m.captureW;
    height = m.captureH;
    return m.captured;
}

}  // namespace quorvel::sdl
