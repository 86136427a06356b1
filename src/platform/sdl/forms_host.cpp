// Forms drawn with Dear ImGui in the game window; mouse and keys into the controls.

#include "platform/sdl/forms_host.h"

#include <SDL.h>
#include <backends/imgui_impl_opengl3.h>
#include <epoxy/gl.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/engine/backends.h"
#include "platform/engine/image.h"
#include "platform/engine/input_feed.h"
#include "platform/sdl/window.h"
#include "platform/system/process.h"

namespace quorvel::sdl {

using forms::Control;
using forms::ControlKind;
using forms::Form;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kFramePeriod = 1.0 / 60.0;  // while the player acts; the pump runs far more often
constexpr double kIdlePeriod = 0.1;          // otherwise: what code changes still shows at once to the eye
constexpr double kHintDelay = 0.5;           // seconds the pointer rests before a hint shows
constexpr forms::Colour kDesk = forms::RGB(58, 110, 165);  // behind the forms while only forms are up
constexpr float kFontSize = 13.0f;
const ImVec2 kFramePadding{4.0f, 3.0f};

ImU32 Col(forms::Colour c, int alpha = 255) {
    return IM_COL32(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, alpha);
}
ImVec4 ColV(forms::Colour c) {
    return ImGui::ColorConvertU32ToFloat4(Col(c));
}

const ImU32 kWhite = IM_COL32(255, 255, 255, 255);
const ImU32 kBlack = IM_COL32(0, 0, 0, 255);
const ImU32 kShadow = IM_COL32(128, 128, 128, 255);
const ImU32 kLight = IM_COL32(223, 223, 223, 255);
const ImU32 kGreyText = IM_COL32(128, 128, 128, 255);

// "&Next Tip" shows as "Next Tip"; "&&" is a plain ampersand.
std::string Shown(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        out += caption[i];
    }
    return out;
}

// Windows virtual-key codes for SDL's key codes; 0 for keys the forms never see.
int VirtualKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return 112 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 97 + (k - SDLK_KP_1);
    switch (k) {
        case SDLK_BACKSPACE:
            return forms::keys::Back;
        case SDLK_TAB:
            return forms::keys::Tab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return forms::keys::Return;
        case SDLK_ESCAPE:
            return forms::keys::Escape;
        case SDLK_SPACE:
            return forms::keys::Space;
        case SDLK_PAGEUP:
            return forms::keys::PageUp;
        case SDLK_PAGEDOWN:
            return forms::keys::PageDown;
        case SDLK_END:
            return forms::keys::End;
        case SDLK_HOME:
            return forms::keys::Home;
        case SDLK_LEFT:
            return forms::keys::Left;
        case SDLK_UP:
            return forms::keys::Up;
        case SDLK_RIGHT:
            return forms::keys::Right;
        case SDLK_DOWN:
            return forms::keys::Down;
        case SDLK_INSERT:
            return 45;
        case SDLK_DELETE:
            return 46;
        case SDLK_KP_0:
            return 96;
        case SDLK_KP_MULTIPLY:
            return 106;
        case SDLK_KP_PLUS:
            return 107;
        case SDLK_KP_MINUS:
            return 109;
        case SDLK_KP_PERIOD:
            return 110;
        case SDLK_KP_DIVIDE:
            return 111;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return 16;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return 17;
        case SDLK_LALT:
        case SDLK_RALT:
            return 18;
        case SDLK_SEMICOLON:
            return 186;
        case SDLK_EQUALS:
            return 187;
        case SDLK_COMMA:
            return 188;
        case SDLK_MINUS:
            return 189;
        case SDLK_PERIOD:
            return 190;
        case SDLK_SLASH:
            return 191;
        case SDLK_BACKQUOTE:
            return 192;
        case SDLK_LEFTBRACKET:
            return 219;
        case SDLK_BACKSLASH:
            return 220;
        case SDLK_RIGHTBRACKET:
            return 221;
        case SDLK_QUOTE:
            return 222;
        default:
            return 0;
    }
}

// Shift 1, Ctrl 2, Alt 4, as the key events report them on Windows.
int ShiftState(Uint16 mod) {
    return ((mod & KMOD_SHIFT) ? forms::keys::ShiftMask : 0) | ((mod & KMOD_CTRL) ? 2 : 0) |
           ((mod & KMOD_ALT) ? 4 : 0);
}

// Keys that type a character SDL sends no text for.
int KeyCharacter(int vk) {
    switch (vk) {
        case forms::keys::Return:
        case forms::keys::Escape:
        case forms::keys::Back:
            return vk;
        default:
            return 0;
    }
}

// The characters of SDL's UTF-8 text that fit one byte (the forms keep bytes).
std::vector<int> TextCharacters(const char* text) {
    std::vector<int> out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned code = *p;
        int extra = code < 0x80 ? 0 : (code & 0xE0) == 0xC0 ? 1 : (code & 0xF0) == 0xE0 ? 2 : 3;
        if (extra > 0) code &= 0x3Fu >> extra;
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p)
            code = (code << 6) | (*p & 0x3Fu);
        if (code >= 32 && code <= 255 && code != 127) out.push_back(int(code));
    }
    return out;
}

bool Lightweight(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::Image;
}

// Kinds with nothing to draw (they are never visible on Windows either).
bool Invisible(ControlKind kind) {
    return kind == ControlKind::Timer || kind == ControlKind::ImageList ||
           kind == ControlKind::CommonDialog || kind == ControlKind::Inet || kind == ControlKind::Menu;
}

bool ChainEnabled(const Control& c) {
    for (const Control* p = &c; p; p = p->Container())
        if (!p->Enabled()) return false;
    return true;
}

bool HasMenus(const Form& form) {
    for (const Control* c : form.Controls())
        if (c->Kind() == ControlKind::Menu && c->Container() == nullptr && c->Visible()) return true;
    return false;
}

bool Captioned(const Form& form) {
    return form.Border() != forms::BorderStyle::None && !form.Caption().empty();
}

// Windows' raised (or, pressed, sunken) edge of buttons.
void Edge3D(ImDrawList* dl, ImVec2 a, ImVec2 b, bool sunken) {
    const ImU32 outerTL = sunken ? kShadow : kLight, outerBR = sunken ? kWhite : kBlack;
    const ImU32 innerTL = sunken ? kBlack : kWhite, innerBR = sunken ? kLight : kShadow;
    b = {b.x - 1, b.y - 1};
    dl->AddLine({a.x, a.y}, {b.x, a.y}, outerTL);
    dl->AddLine({a.x, a.y}, {a.x, b.y}, outerTL);
    dl->AddLine({a.x, b.y}, {b.x + 1, b.y}, outerBR);
    dl->AddLine({b.x, a.y}, {b.x, b.y}, outerBR);
    dl->AddLine({a.x + 1, a.y + 1}, {b.x - 1, a.y + 1}, innerTL);
    dl->AddLine({a.x + 1, a.y + 1}, {a.x + 1, b.y - 1}, innerTL);
    dl->AddLine({a.x + 1, b.y - 1}, {b.x, b.y - 1}, innerBR);
    dl->AddLine({b.x - 1, a.y + 1}, {b.x - 1, b.y - 1}, innerBR);
}

void DottedRect(ImDrawList* dl, ImVec2 a, ImVec2 b, ImU32 col) {
    for (float x = a.x; x < b.x; x += 2) {
        dl->AddRectFilled({x, a.y}, {x + 1, a.y + 1}, col);
        dl->AddRectFilled({x, b.y - 1}, {x + 1, b.y}, col);
    }
    for (float y = a.y; y < b.y; y += 2) {
        dl->AddRectFilled({a.x, y}, {a.x + 1, y + 1}, col);
        dl->AddRectFilled({b.x - 1, y}, {b.x, y + 1}, col);
    }
}

// The bold face is the second font loaded, when a bold file was found.
ImFont* FontFor(bool bold) {
    const ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    return bold && atlas->Fonts.Size > 1 ? atlas->Fonts[1] : atlas->Fonts[0];
}

ImVec2 TextSize(const std::string& text, bool bold) {
    return FontFor(bold)->CalcTextSizeA(kFontSize, FLT_MAX, 0.0f, text.c_str(), text.c_str() + text.size());
}

void Text(ImDrawList* dl, ImVec2 pos, ImU32 col, const std::string& text, bool bold, float wrap = 0.0f) {
    ImFont* font = FontFor(bold);
    dl->AddText(font, kFontSize, pos, col, text.c_str(), text.c_str() + text.size(), wrap);
    // Without a bold face a second pass one pixel over reads as bold.
    if (bold && font == FontFor(false))
        dl->AddText(font, kFontSize, {pos.x + 1, pos.y}, col, text.c_str(), text.c_str() + text.size(), wrap);
}

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

// Finds a control by address without touching it: forms of a test may be gone.
bool Alive(const Control* control) {
    for (const Form* f : forms::AllForms())
        for (const Control* c : f->Controls())
            if (c == control) return true;
    return false;
}

bool Alive(const Form* form) {
    const auto& all = forms::AllForms();
    return std::find(all.begin(), all.end(), form) != all.end();
}

// Passes the engine's display through and tells the host when the engine starts and stops.
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

struct Texture {
    GLuint id = 0;
    int width = 0, height = 0;
};

struct Hover {
    const Control* control;
    int part;
    ImRect rect;
    std::string hint;
};

}  // namespace

// ---- Implementation ---------------------------------------------------------------

struct ImGuiFormsHost::Impl {
    ImGuiContext* context = nullptr;
    bool glReady = false;
    Form* mainForm = nullptr;
    std::vector<Form*> zOrder;  // bottom first
    bool engineRunning = false;
    std::uintptr_t renderWindow = 0;
    std::shared_ptr<FollowingDisplay> display;

    // Pointer state from SDL's events (pushed events included, which SDL's own mouse
    // state never sees).
    ImVec2 mouse{-FLT_MAX, -FLT_MAX};
    bool down[3] = {};
    bool pressed[3] = {};  // went down since the last frame: a click shorter than a frame still counts
    float wheel = 0;

    int frames = 0;
    int busyFrames = 0;           // frames to draw at the full rate: input came or forms changed
    bool built = false;           // an ImGui frame waits for the next Present
    std::uint64_t shownLook = 0;  // LookOfFrame of the frame last shown from the pump
    bool drawing = false;
    Clock::time_point lastDraw{};
    std::deque<std::function<void()>> actions;
    std::map<std::string, std::optional<Texture>> textures;

    std::map<const Form*, PixelRect> formRects;
    std::map<std::pair<const Control*, int>, PixelRect> controlRects;
    std::map<const Form*, std::vector<Hover>> hovers;  // in drawing order
    const Control* hintControl = nullptr;
    int hintPart = -1;
    Clock::time_point hintSince{};
    ImGuiWindow* popup = nullptr;
    const Control* openCombo = nullptr;
    const Control* dragging = nullptr;  // the slider whose thumb is held
    std::optional<bool> pointerShown;
    bool dialogWasOpen = false;

    // What the window was last given, so the player may still move it.
    int placedX = INT32_MIN, placedY = INT32_MIN;
    std::string title;

    std::vector<unsigned char>* captureTo = nullptr;
    int captureW = 0, captureH = 0;
    bool captured = false;

    // ---- forms and geometry ----

    int Tpp() const { return 15; }
    float Px(int twips) const { return std::round(float(twips) / float(Tpp())); }
    float BarHeight() const { return kFontSize + kFramePadding.y * 2; }
    float FrameTop(const Form& f) const {
        return (Captioned(f) ? BarHeight() : 0.0f) + (HasMenus(f) ? BarHeight() : 0.0f);
    }
    ImVec2 OuterSize(const Form& f) const { return {Px(f.Width()), Px(f.Height()) + FrameTop(f)}; }

    // Where a form stands on the screen, in pixels; a form not yet shown stands where
    // showing will place it.
    ImVec2 ScreenPos(const Form& f) const {
        if (!f.Visible() && f.StartPosition() == forms::StartUpPosition::CenterScreen) {
            const forms::ScreenInfo s = ScreenInfoNow();
            return {Px((s.Width - f.Width()) / 2), Px((s.Height - f.Height()) / 2)};
        }
        return {Px(f.Left()), Px(f.Top())};
    }

    forms::ScreenInfo ScreenInfoNow() const {
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

    // Visible forms, bottom first: forms shown before this host came along join on top.
    std::vector<Form*> VisibleForms() {
        zOrder.erase(
            std::remove_if(zOrder.begin(), zOrder.end(), [](Form* f) { return !Alive(f) || !f->Visible(); }),
            zOrder.end());
        for (Form* f : forms::AllForms())
            if (f->Visible() && std::find(zOrder.begin(), zOrder.end(), f) == zOrder.end())
                zOrder.push_back(f);
        std::vector<Form*> out = zOrder;
        std::stable_partition(out.begin(), out.end(), [](Form* f) { return !f->Topmost(); });
        return out;
    }

    bool IsRenderWindow(const Form& f) const {
        return engineRunning && renderWindow != 0 && std::uintptr_t(f.Handle()) == renderWindow;
    }

    // The forms on screen now: over the 3D view only those above the render window.
    std::vector<Form*> DrawnForms() {
        std::vector<Form*> out;
        for (Form* f : VisibleForms()) {
            if (IsRenderWindow(*f)) continue;
            if (engineRunning && !f->Topmost() && !f->Modal()) continue;
            out.push_back(f);
        }
        return out;
    }

    bool DialogOpenOverEngine() { return engineRunning && !DrawnForms().empty(); }
    // Whether the player's input belongs to the forms now (and not to the engine).
    bool FormsTakeInput() { return !engineRunning || DialogOpenOverEngine(); }

    Form* Desk() {
        if (mainForm && Alive(mainForm) && mainForm->Loaded()) return mainForm;
        const auto shown = DrawnForms();
        return shown.empty() ? nullptr : shown.front();
    }

    // ---- the window ----

    void ArrangeWindow() {
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
        const ImVec2 size = OuterSize(*desk);
        int w = 0, h = 0;
        SDL_GetWindowSize(win, &w, &h);
        if (w != int(size.x) || h != int(size.y)) SDL_SetWindowSize(win, int(size.x), int(size.y));
        const ImVec2 pos = ScreenPos(*desk);
        if (int(pos.x) != placedX || int(pos.y) != placedY) {
            placedX = int(pos.x);
            placedY = int(pos.y);
            SDL_SetWindowPosition(win, placedX, placedY);
        }
        if (!(SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN)) SDL_ShowWindow(win);
    }

    void EngineChanged(bool running, std::uintptr_t window) {
        engineRunning = running;
        renderWindow = window;
        pointerShown.reset();
        placedX = placedY = INT32_MIN;
        if (running) {
            // The render window takes the caption of the form it stands for.
            for (const Form* f : forms::AllForms())
                if (std::uintptr_t(f->Handle()) == window && !f->Caption().empty() && Window())
                    SDL_SetWindowTitle(Window(), f->Caption().c_str());
            title.clear();
        }
        SyncPointer();
    }

    // Over the 3D view the pointer shows while the game asks for it or a dialog is open:
    // a dialog cannot be used without one.
    void SyncPointer() {
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

    // ---- input ----

    Form* FormAt(ImVec2 p) {
        const auto shown = DrawnForms();
        for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
            const auto r = formRects.find(*it);
            if (r != formRects.end() && p.x >= r->second.x && p.y >= r->second.y &&
                p.x < r->second.x + r->second.w && p.y < r->second.y + r->second.h)
                return *it;
        }
        return nullptr;
    }

    bool OnEvent(const SDL_Event& e) {
        // A click takes ImGui two frames and a list opens on the one after; a window
        // uncovered or shown again needs its picture back.
        if ((e.type >= SDL_KEYDOWN && e.type <= SDL_TEXTINPUT) ||
            (e.type >= SDL_MOUSEMOTION && e.type <= SDL_MOUSEWHEEL) || e.type == SDL_WINDOWEVENT)
            busyFrames = 4;
        switch (e.type) {
            case SDL_MOUSEMOTION:
                mouse = {float(e.motion.x), float(e.motion.y)};
                return FormsTakeInput();
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                mouse = {float(e.button.x), float(e.button.y)};
                const int b = e.button.button == SDL_BUTTON_LEFT    ? 0
                              : e.button.button == SDL_BUTTON_RIGHT ? 1
                                                                    : 2;
                const bool isDown = e.type == SDL_MOUSEBUTTONDOWN;
                down[b] = isDown;
                if (isDown) pressed[b] = true;
                if (!FormsTakeInput()) return false;
                // A press on a window makes its form the active one, unless a modal form stands over it.
                if (isDown)
                    if (Form* f = FormAt(mouse))
                        actions.push_back([f] {
                            if (Alive(f) && forms::AcceptsInput(*f)) forms::Activate(*f);
                        });
                return true;
            }
            case SDL_MOUSEWHEEL:
                wheel += float(e.wheel.y);
                return FormsTakeInput();
            case SDL_KEYDOWN: {
                if (!FormsTakeInput()) return false;
                const int vk = VirtualKey(e.key.keysym.sym);
                const int shift = ShiftState(e.key.keysym.mod);
                if (vk != 0) actions.push_back([this, vk, shift] { Key(vk, shift, KeyCharacter(vk)); });
                return true;
            }
            case SDL_KEYUP:
                return FormsTakeInput();
            case SDL_TEXTINPUT: {
                if (!FormsTakeInput()) return false;
                for (int c : TextCharacters(e.text.text))
                    actions.push_back([this, c] { Key(0, 0, c); });
                return true;
            }
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_LEAVE) mouse = {-FLT_MAX, -FLT_MAX};
                // A button let go in another window never comes back as released here.
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                    std::fill(std::begin(down), std::end(down), false);
                return false;
            default:
                return false;
        }
    }

    // Keys go to the active form, as on Windows, when the player can see and reach it.
    void Key(int vk, int shift, int character) {
        Form* f = forms::ActiveForm();
        if (!f || !forms::AcceptsInput(*f)) return;
        const auto shown = DrawnForms();
        if (std::find(shown.begin(), shown.end(), f) == shown.end()) return;
        f->UserKey(vk, shift, character);
    }

    // The player's act on a control, run after the frame: the control must still be
    // there and reachable then.
    void Act(const Control* control, std::function<void(Control&)> act) {
        actions.push_back([control, act = std::move(act)] {
            if (!Alive(control)) return;
            auto& c = const_cast<Control&>(*control);
            if (!forms::AcceptsInput(c)) return;
            forms::Activate(c.Parent());
            if (forms::AcceptsInput(c)) act(c);
        });
    }

    void RunActions() {
        // One at a time: an action may pump (a modal form) and the nested pump goes on with the rest.
        while (!actions.empty()) {
            auto action = std::move(actions.front());
            actions.pop_front();
            action();
        }
    }

    // ---- pictures ----

    const Texture* Picture(const std::string& path) {
        if (path.empty() || !glReady) return nullptr;
        auto it = textures.find(path);
        if (it == textures.end()) {
            std::optional<Texture> t;
            if (auto image = LoadImageFile(path); image && image->width > 0 && image->height > 0) {
                GLint bound = 0, alignment = 4;
                glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
                glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
                Texture tex{0, image->width, image->height};
                glGenTextures(1, &tex.id);
                glBindTexture(GL_TEXTURE_2D, tex.id);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
                glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tex.width, tex.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                             image->rgba.data());
                glBindTexture(GL_TEXTURE_2D, GLuint(bound));
                glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
                t = tex;
            }
            it = textures.emplace(path, t).first;  // a picture that fails is not tried every frame
        }
        return it->second ? &*it->second : nullptr;
    }

    void DrawPicture(ImDrawList* dl, const std::string& path, ImVec2 a, ImVec2 b, bool stretch) {
        const Texture* t = Picture(path);
        if (!t) return;
        const ImTextureID id = reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(t->id));
        dl->PushClipRect(a, b, true);
        dl->AddImage(id, a, stretch ? b : ImVec2{a.x + float(t->width), a.y + float(t->height)});
        dl->PopClipRect();
    }

    void ReleaseGl() {
        if (!glReady) return;
        if (MakeCurrent())
            for (auto& [path, t] : textures)
                if (t) glDeleteTextures(1, &t->id);
        // Without a context the deletes inside go nowhere, which is all that is left to do.
        ImGui::SetCurrentContext(context);
        ImGui_ImplOpenGL3_Shutdown();
        textures.clear();
        glReady = false;
    }

    // ---- drawing ----

    void Record(const Form& form, const Control& c, int part, ImVec2 a, ImVec2 b) {
        controlRects[{&c, part}] = {int(a.x), int(a.y), int(b.x - a.x), int(b.y - a.y)};
        const std::string* hint = &c.ToolTipText();
        std::string partHint;
        if (part >= 0 && c.Kind() == ControlKind::Toolbar) {
            const auto& buttons = static_cast<const forms::Toolbar&>(c).Buttons();
            if (part < int(buttons.size())) partHint = buttons[size_t(part)].ToolTipText;
            hint = &partHint;
        }
        hovers[&form].push_back({&c, part, ImRect(a, b), *hint});
    }

    bool LooksDefault(const Form& form, const forms::Button& b) const {
        const Control* focus = form.Active() ? form.ActiveControl() : nullptr;
        if (focus && focus->Kind() == ControlKind::Button) return focus == &b;
        return form.DefaultButton() == &b;
    }

    bool ShowsFocus(const Form& form, const Control& c) const {
        return form.Active() && form.ActiveControl() == &c;
    }

    void DrawButtonFace(ImDrawList* dl, const Control& c, ImVec2 a, ImVec2 b, bool sunken, bool enabled,
                        const std::string& picture, const std::string& caption, bool isDefault, bool focus) {
        dl->AddRectFilled(a, b, Col(c.BackColor()));
        if (!picture.empty()) DrawPicture(dl, picture, a, b, true);
        ImVec2 ea = a, eb = b;
        if (isDefault) {
            dl->AddRect(a, b, kBlack);
            ea = {a.x + 1, a.y + 1};
            eb = {b.x - 1, b.y - 1};
        }
        Edge3D(dl, ea, eb, sunken);
        if (!caption.empty()) {
            const std::string text = Shown(caption);
            const bool bold = c.FontBold() || c.FontName().find("Black") != std::string::npos;
            const ImVec2 size = TextSize(text, bold);
            const float off = sunken ? 1.0f : 0.0f;
            ImVec2 p{std::floor((a.x + b.x - size.x) / 2) + off, std::floor((a.y + b.y - size.y) / 2) + off};
            dl->PushClipRect(a, b, true);
            if (!enabled) Text(dl, {p.x + 1, p.y + 1}, kWhite, text, bold);
            Text(dl, p, enabled ? Col(c.ForeColor()) : kGreyText, text, bold);
            dl->PopClipRect();
        }
        if (focus) DottedRect(dl, {a.x + 4, a.y + 4}, {b.x - 4, b.y - 4}, kBlack);
    }

    void DrawButton(const Form& form, const forms::Button& c, ImVec2 a, ImVec2 b, bool enabled) {
        const bool clicked = ImGui::InvisibleButton("##button", {b.x - a.x, b.y - a.y});
        const bool held = ImGui::IsItemActive() && ImGui::IsItemHovered();
        const std::string picture = c.Graphical() ? c.Picture() : "";
        DrawButtonFace(ImGui::GetWindowDrawList(), c, a, b, held, enabled, picture, c.Caption(),
                       LooksDefault(form, c), ShowsFocus(form, c));
        if (clicked) Act(&c, [](Control& x) { x.UserClick(); });
    }

    void DrawLabel(const forms::Label& c, ImVec2 a, ImVec2 b, bool enabled) {
        // Labels are see-through: the game puts them on its pictures and coloured forms.
        ImDrawList* dl = ImGui::GetWindowDrawList();
        dl->PushClipRect(a, b, true);
        Text(dl, a, enabled ? Col(c.ForeColor()) : kGreyText, Shown(c.Caption()), c.FontBold(), b.x - a.x);
        dl->PopClipRect();
    }

    void DrawCombo(const forms::ComboBox& c, ImVec2 a, ImVec2 b, bool focus) {
        ImGui::PushStyleColor(ImGuiCol_FrameBg, ColV(c.BackColor()));
        ImGui::PushStyleColor(ImGuiCol_FrameBgHovered, ColV(c.BackColor()));
        ImGui::PushStyleColor(ImGuiCol_Text, ColV(c.ForeColor()));
        ImGui::SetNextItemWidth(b.x - a.x);
        const std::string preview = c.Text();
        const bool open = ImGui::BeginCombo("##combo", preview.c_str());
        const ImVec2 fb{b.x, a.y + ImGui::GetFrameHeight()};
        ImGui::PopStyleColor(3);
        if (open) {
            popup = ImGui::GetCurrentWindow();
            // Opening the list focuses the box, as a click on it does on Windows.
            if (openCombo != &c) Act(&c, [](Control& x) { x.SetFocus(); });
            openCombo = &c;
            for (int i = 0; i < c.ListCount(); ++i) {
                ImGui::PushID(i);
                if (ImGui::Selectable(c.List(i).c_str(), i == c.ListIndex()))
                    Act(&c, [i](Control& x) {
                        auto& combo = static_cast<forms::ComboBox&>(x);
                        combo.SetFocus();
                        combo.UserChoose(i);
                    });
                if (i == c.ListIndex()) ImGui::SetItemDefaultFocus();
                const Form& form = c.Parent();
                Record(form, c, i, ImGui::GetItemRectMin(), ImGui::GetItemRectMax());
                ImGui::PopID();
            }
            ImGui::EndCombo();
        } else if (openCombo == &c) {
            openCombo = nullptr;
        }
        ImDrawList* dl = ImGui::GetWindowDrawList();
        dl->AddRect(a, fb, kShadow);
        if (focus) DottedRect(dl, {a.x + 2, a.y + 2}, {fb.x - ImGui::GetFrameHeight(), fb.y - 2}, kBlack);
        Record(c.Parent(), c, -1, a, fb);
    }

    void DrawCheck(const forms::CheckBox& c, ImVec2 a, ImVec2 b, bool enabled, bool focus) {
        const bool clicked = ImGui::InvisibleButton("##check", {b.x - a.x, b.y - a.y});
        const bool held = ImGui::IsItemActive() && ImGui::IsItemHovered();
        ImDrawList* dl = ImGui::GetWindowDrawList();
        const float box = std::min(13.0f, b.y - a.y);
        const ImVec2 ba{a.x, std::floor((a.y + b.y - box) / 2)}, bb{ba.x + box, ba.y + box};
        dl->AddRectFilled(ba, bb, held || !enabled || c.Value() == 2 ? kLight : kWhite);
        dl->AddRect(ba, bb, kShadow);
        if (c.Value() != 0) {
            const ImU32 tick = c.Value() == 2 || !enabled ? kShadow : kBlack;
            const ImVec2 pts[3] = {{ba.x + box * 0.2f, ba.y + box * 0.5f},
                                   {ba.x + box * 0.42f, ba.y + box * 0.72f},
                                   {ba.x + box * 0.8f, ba.y + box * 0.25f}};
            dl->AddPolyline(pts, 3, tick, 0, 2.0f);
        }
        const std::string text = Shown(c.Caption());
        if (!text.empty()) {
            const ImVec2 p{bb.x + 4, std::floor((a.y + b.y - kFontSize) / 2)};
            dl->PushClipRect(a, b, true);
            Text(dl, p, enabled ? Col(c.ForeColor()) : kGreyText, text, c.FontBold());
            dl->PopClipRect();
            if (focus)
                DottedRect(dl, {p.x - 1, p.y - 1},
                           {p.x + TextSize(text, c.FontBold()).x + 1, p.y + kFontSize + 1}, kBlack);
        } else if (focus) {
            DottedRect(dl, {ba.x - 1, ba.y - 1}, {bb.x + 1, bb.y + 1}, kBlack);
        }
        if (clicked) Act(&c, [](Control& x) { x.UserClick(); });
    }

    void DrawOption(const forms::OptionButton& c, ImVec2 a, ImVec2 b, bool enabled, bool focus) {
        const bool clicked = ImGui::InvisibleButton("##option", {b.x - a.x, b.y - a.y});
        const bool held = ImGui::IsItemActive() && ImGui::IsItemHovered();
        ImDrawList* dl = ImGui::GetWindowDrawList();
        if (c.Graphical()) {
            // A graphical option button looks like a button that stays pressed while chosen.
            DrawButtonFace(dl, c, a, b, held || c.Value(), enabled, "", c.Caption(), false, focus);
        } else {
            const float r = std::min(6.0f, (b.y - a.y) / 2);
            const ImVec2 centre{a.x + r, (a.y + b.y) / 2};
            dl->AddCircleFilled(centre, r, held || !enabled ? kLight : kWhite);
            dl->AddCircle(centre, r, kShadow);
            if (c.Value()) dl->AddCircleFilled(centre, r * 0.45f, enabled ? kBlack : kShadow);
            const std::string text = Shown(c.Caption());
            const ImVec2 p{a.x + 2 * r + 4, std::floor((a.y + b.y - kFontSize) / 2)};
            dl->PushClipRect(a, b, true);
            Text(dl, p, enabled ? Col(c.ForeColor()) : kGreyText, text, c.FontBold());
            dl->PopClipRect();
            if (focus && !text.empty())
                DottedRect(dl, {p.x - 1, p.y - 1},
                           {p.x + TextSize(text, c.FontBold()).x + 1, p.y + kFontSize + 1}, kBlack);
        }
        if (clicked) Act(&c, [](Control& x) { x.UserClick(); });
    }

    void DrawSlider(const forms::Slider& c, ImVec2 a, ImVec2 b, bool enabled, bool focus) {
        ImGui::InvisibleButton("##slider", {b.x - a.x, b.y - a.y});
        const bool activated = ImGui::IsItemActivated(), active = ImGui::IsItemActive();
        ImDrawList* dl = ImGui::GetWindowDrawList();
        const float margin = 8.0f, x0 = a.x + margin, x1 = std::max(x0 + 1, b.x - margin);
        const int range = std::max(1, c.Max() - c.Min());
        const auto xOf = [&](int v) { return x0 + (x1 - x0) * float(v - c.Min()) / float(range); };
        const float h = b.y - a.y, channelY = std::floor(a.y + std::min(h * 0.4f, 10.0f));
        // Opaque on the form's colour: whatever lies under a slider stays hidden.
        dl->AddRectFilled(a, b, Col(c.Parent().BackColor()));
        dl->AddRectFilled({x0 - 2, channelY - 2}, {x1 + 2, channelY + 2}, kWhite);
        Edge3D(dl, {x0 - 2, channelY - 2}, {x1 + 2, channelY + 2}, true);
        if (range <= 50)
            for (int v = c.Min(); v <= c.Max(); ++v)
                dl->AddLine({std::floor(xOf(v)), b.y - 5}, {std::floor(xOf(v)), b.y - 2}, kBlack);
        const float tx = std::floor(xOf(c.Value()));
        const float thumbH = std::min(h - 6, 18.0f);
        const ImVec2 ta{tx - 5, channelY - thumbH / 2}, tb{tx + 6, channelY + thumbH / 2};
        dl->AddRectFilled(ta, tb, Col(c.BackColor()));
        Edge3D(dl, ta, tb, false);
        if (focus) DottedRect(dl, a, b, kBlack);
        (void)enabled;

        const float mx = ImGui::GetIO().MousePos.x;
        const auto valueAt = [&](float x) {
            return c.Min() + int(std::lround((std::clamp(x, x0, x1) - x0) / (x1 - x0) * float(range)));
        };
        if (activated) {
            if (mx >= ta.x - 1 && mx <= tb.x + 1) {
                dragging = &c;
            } else {
                // A press beside the thumb pages toward the pointer, as on Windows.
                const int step = mx > tx ? c.LargeChange() : -c.LargeChange();
                const int to = c.Value() + step;
                Act(&c, [to](Control& x) {
                    x.SetFocus();
                    static_cast<forms::Slider&>(x).UserSlide(to);
                });
            }
        }
        if (active && dragging == &c) {
            const int to = valueAt(mx);
            if (to != c.Value())
                Act(&c, [to](Control& x) {
                    x.SetFocus();
                    static_cast<forms::Slider&>(x).UserSlide(to);
                });
        } else if (!active && dragging == &c) {
            dragging = nullptr;
        }
    }

    void DrawTextBox(const forms::TextBox& c, ImVec2 a, ImVec2 b, bool enabled, bool focus) {
        const bool clicked = ImGui::InvisibleButton("##text", {b.x - a.x, b.y - a.y});
        ImDrawList* dl = ImGui::GetWindowDrawList();
        dl->AddRectFilled(a, b, enabled ? Col(c.BackColor()) : kLight);
        Edge3D(dl, a, b, true);
        const ImVec2 p{a.x + 3, std::floor((a.y + b.y - kFontSize) / 2)};
        dl->PushClipRect({a.x + 2, a.y + 2}, {b.x - 2, b.y - 2}, true);
        Text(dl, p, enabled ? Col(c.ForeColor()) : kGreyText, c.Text(), c.FontBold());
        if (focus && std::fmod(ImGui::GetTime(), 1.0) < 0.5) {
            const float x = p.x + TextSize(c.Text(), c.FontBold()).x + 1;
            dl->AddLine({x, p.y}, {x, p.y + kFontSize}, Col(c.ForeColor()));
        }
        dl->PopClipRect();
        if (clicked) Act(&c, [](Control& x) { x.UserClick(); });
    }

    void DrawToolbar(const forms::Toolbar& c, ImVec2 a, ImVec2 b) {
        ImDrawList* dl = ImGui::GetWindowDrawList();
        dl->AddRectFilled(a, b, Col(c.BackColor()));
        const float h = std::max(22.0f, std::min(b.y - a.y, 30.0f));
        float x = a.x + 2;
        const auto& buttons = c.Buttons();
        for (int i = 0; i < int(buttons.size()); ++i) {
            const forms::ToolbarButton& tb = buttons[size_t(i)];
            const std::string picture = c.Images() ? c.Images()->Picture(tb.Image) : "";
            const float w = picture.empty() ? TextSize(tb.Key, false).x + 12 : h + 1;
            const ImVec2 ba{x, a.y + 2}, bb{x + w, a.y + h};
            ImGui::SetCursorScreenPos(ba);
            ImGui::PushID(i);
            ImGui::BeginDisabled(!tb.Enabled);
            const bool clicked = ImGui::InvisibleButton("##tool", {w, h - 2});
            const bool hovered = ImGui::IsItemHovered(), held = ImGui::IsItemActive() && hovered;
            ImGui::EndDisabled();
            ImGui::PopID();
            if (hovered || held) Edge3D(dl, ba, bb, held);
            if (!picture.empty())
                DrawPicture(dl, picture, {ba.x + (w - 16) / 2, ba.y + (h - 2 - 16) / 2},
                            {ba.x + (w + 16) / 2, ba.y + (h - 2 + 16) / 2}, true);
            else
                Text(dl, {ba.x + 6, std::floor((ba.y + bb.y - kFontSize) / 2)},
                     tb.Enabled ? kBlack : kGreyText, tb.Key, false);
            Record(c.Parent(), c, i, ba, bb);
            if (clicked) {
                const std::string key = tb.Key;
                Act(&c, [key](Control& bar) { static_cast<forms::Toolbar&>(bar).UserPress(key); });
            }
            x += w + 1;
        }
    }

    void DrawControl(const Form& form, const Control& c, ImVec2 a, ImVec2 b, bool formBlocked) {
        ImDrawList* dl = ImGui::GetWindowDrawList();
        const bool enabled = ChainEnabled(c);
        const bool focus = ShowsFocus(form, c);
        ImGui::PushID(&c);
        ImGui::SetCursorScreenPos(a);
        ImGui::BeginDisabled(!enabled && !formBlocked);
        switch (c.Kind()) {
            case ControlKind::Button:
                DrawButton(form, static_cast<const forms::Button&>(c), a, b, enabled);
                break;
            case ControlKind::Label:
                DrawLabel(static_cast<const forms::Label&>(c), a, b, enabled);
                break;
            case ControlKind::ComboBox:
                DrawCombo(static_cast<const forms::ComboBox&>(c), a, b, focus);
                break;
            case ControlKind::CheckBox:
                DrawCheck(static_cast<const forms::CheckBox&>(c), a, b, enabled, focus);
                break;
            case ControlKind::OptionButton:
                DrawOption(static_cast<const forms::OptionButton&>(c), a, b, enabled, focus);
                break;
            case ControlKind::Slider:
                DrawSlider(static_cast<const forms::Slider&>(c), a, b, enabled, focus);
                break;
            case ControlKind::TextBox:
                DrawTextBox(static_cast<const forms::TextBox&>(c), a, b, enabled, focus);
                break;
            case ControlKind::Image: {
                const auto& image = static_cast<const forms::Image&>(c);
                DrawPicture(dl, image.Picture(), a, b, image.Stretch());
                break;
            }
            case ControlKind::PictureBox: {
                const auto& box = static_cast<const forms::PictureBox&>(c);
                dl->AddRectFilled(a, b, Col(c.BackColor()));
                DrawPicture(dl, box.Picture(), a, b, false);
                Edge3D(dl, a, b, true);
                break;
            }
            case ControlKind::Toolbar:
                DrawToolbar(static_cast<const forms::Toolbar&>(c), a, b);
                break;
            case ControlKind::WebBrowser: {
                // Pages open in the user's own browser; the control shows where it went.
                const auto& web = static_cast<const forms::WebBrowser&>(c);
                dl->AddRectFilled(a, b, kWhite);
                Edge3D(dl, a, b, true);
                dl->PushClipRect(a, b, true);
                Text(dl, {a.x + 6, a.y + 6}, kGreyText, web.LocationURL(), false, b.x - a.x - 12);
                dl->PopClipRect();
                break;
            }
            default:
                break;
        }
        ImGui::EndDisabled();
        ImGui::PopID();
        if (c.Kind() != ControlKind::ComboBox && c.Kind() != ControlKind::Toolbar) Record(form, c, -1, a, b);
    }

    // The controls held by `container` (the form itself for null): pictures and labels
    // lie on the surface under the others, and a panel's controls lie on the panel.
    void DrawControls(const Form& form, const Control* container, ImVec2 origin, bool blocked) {
        for (int pass = 0; pass < 2; ++pass) {
            for (const Control* c : form.Controls()) {
                if (c->Container() != container || Invisible(c->Kind()) || !c->Visible()) continue;
                if (Lightweight(c->Kind()) != (pass == 0)) continue;
                const ImVec2 a{origin.x + Px(c->Left()), origin.y + Px(c->Top())};
                const ImVec2 b{a.x + Px(c->Width()), a.y + Px(c->Height())};
                if (b.x - a.x < 1 || b.y - a.y < 1) continue;
                DrawControl(form, *c, a, b, blocked);
                if (c->Kind() == ControlKind::PictureBox) {
                    ImGui::PushClipRect(a, b, true);
                    DrawControls(form, c, a, blocked);
                    ImGui::PopClipRect();
                }
            }
        }
    }

    void DrawMenus(const Form& form) {
        if (!ImGui::BeginMenuBar()) return;
        for (const Control* head : form.Controls()) {
            if (head->Kind() != ControlKind::Menu || head->Container() || !head->Visible()) continue;
            const auto& menu = static_cast<const forms::MenuItem&>(*head);
            ImGui::PushID(head);
            std::vector<const forms::MenuItem*> items;
            for (const Control* c : form.Controls())
                if (c->Kind() == ControlKind::Menu && c->Container() == head && c->Visible())
                    items.push_back(static_cast<const forms::MenuItem*>(c));
            if (items.empty()) {
                if (ImGui::MenuItem(Shown(menu.Caption()).c_str(), nullptr, false, ChainEnabled(menu)))
                    Act(&menu, [](Control& x) { x.UserClick(); });
                Record(form, menu, -1, ImGui::GetItemRectMin(), ImGui::GetItemRectMax());
            } else {
                const bool open = ImGui::BeginMenu(Shown(menu.Caption()).c_str(), ChainEnabled(menu));
                Record(form, menu, -1, ImGui::GetItemRectMin(), ImGui::GetItemRectMax());
                if (open) {
                    popup = ImGui::GetCurrentWindow();
                    for (int i = 0; i < int(items.size()); ++i) {
                        const forms::MenuItem& item = *items[size_t(i)];
                        ImGui::PushID(i);
                        if (item.Separator()) {
                            ImGui::Separator();
                        } else if (ImGui::MenuItem(Shown(item.Caption()).c_str(), nullptr, item.Checked(),
                                                   ChainEnabled(item))) {
                            Act(&item, [](Control& x) { x.UserClick(); });
                        }
                        Record(form, menu, i, ImGui::GetItemRectMin(), ImGui::GetItemRectMax());
                        ImGui::PopID();
                    }
                    ImGui::EndMenu();
                }
            }
            ImGui::PopID();
        }
        ImGui::EndMenuBar();
    }

    void DrawForm(Form& form, ImVec2 pos, bool blocked) {
        const ImVec2 size = OuterSize(form);
        const bool active = form.Active();
        ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                                 ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                                 ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoNav |
                                 ImGuiWindowFlags_NoFocusOnAppearing;
        if (!Captioned(form)) flags |= ImGuiWindowFlags_NoTitleBar;
        if (HasMenus(form)) flags |= ImGuiWindowFlags_MenuBar;
        ImGui::SetNextWindowPos(pos, ImGuiCond_Always);
        ImGui::SetNextWindowSize(size, ImGuiCond_Always);
        // The caption bar shows which form is active, whatever ImGui's own focus says.
        const ImVec4 bar = active ? ImVec4(0, 0, 0.5f, 1) : ImVec4(0.5f, 0.5f, 0.5f, 1);
        ImGui::PushStyleColor(ImGuiCol_TitleBg, bar);
        ImGui::PushStyleColor(ImGuiCol_TitleBgActive, bar);
        ImGui::PushStyleColor(ImGuiCol_Text, active ? ImVec4(1, 1, 1, 1) : ImVec4(0.83f, 0.82f, 0.78f, 1));
        const std::string name = form.Caption() + "###form" + std::to_string(form.Handle());
        ImGui::Begin(name.c_str(), nullptr, flags);
        ImGui::PopStyleColor(3);
        ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
        formRects[&form] = {int(pos.x), int(pos.y), int(size.x), int(size.y)};

        // A form under a modal one takes no input but looks as it did, as on Windows.
        ImGui::PushStyleVar(ImGuiStyleVar_DisabledAlpha, 1.0f);
        ImGui::BeginDisabled(blocked);
        if (HasMenus(form)) DrawMenus(form);
        const ImVec2 client{pos.x, pos.y + FrameTop(form)};
        ImGui::GetWindowDrawList()->AddRectFilled(client, {client.x + size.x, pos.y + size.y},
                                                  Col(form.BackColor()));
        DrawControls(form, nullptr, client, blocked);
        ImGui::EndDisabled();
        ImGui::PopStyleVar();
        ImGui::End();
    }

    void DrawHint() {
        const ImVec2 m = ImGui::GetIO().MousePos;
        const Control* control = nullptr;
        int part = -1;
        std::string hint;
        if (Form* f = FormAt(m)) {
            const auto& list = hovers[f];
            for (auto it = list.rbegin(); it != list.rend(); ++it)
                if (it->rect.Contains(m)) {
                    control = it->control;
                    part = it->part;
                    hint = it->hint;
                    break;
                }
        }
        if (control != hintControl || part != hintPart) {
            hintControl = control;
            hintPart = part;
            hintSince = Clock::now();
        }
        const double rested = std::chrono::duration<double>(Clock::now() - hintSince).count();
        if (control && !hint.empty() && rested >= kHintDelay && !ImGui::IsAnyMouseDown()) {
            ImGui::PushStyleColor(ImGuiCol_PopupBg, ImVec4(1.0f, 1.0f, 0.88f, 1.0f));
            ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0, 0, 0, 1));
            ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, {4, 2});
            ImGui::BeginTooltip();
            // Long hints wrap, so they stay inside a small window.
            ImGui::PushTextWrapPos(std::min(300.0f, ImGui::GetIO().DisplaySize.x - 12));
            ImGui::TextUnformatted(hint.c_str());
            ImGui::PopTextWrapPos();
            ImGui::EndTooltip();
            ImGui::PopStyleVar();
            ImGui::PopStyleColor(2);
        }
    }

    void FeedImGui() {
        ImGuiIO& io = ImGui::GetIO();
        int w = 0, h = 0, dw = 0, dh = 0;
        SDL_GetWindowSize(Window(), &w, &h);
        SDL_GL_GetDrawableSize(Window(), &dw, &dh);
        io.DisplaySize = {float(std::max(1, w)), float(std::max(1, h))};
        io.DisplayFramebufferScale = {w > 0 ? float(dw) / float(w) : 1.0f,
                                      h > 0 ? float(dh) / float(h) : 1.0f};
        const auto now = Clock::now();
        const double dt = frames == 0 ? kFramePeriod : std::chrono::duration<double>(now - lastDraw).count();
        io.DeltaTime = float(std::clamp(dt, 1e-4, 0.5));
        lastDraw = now;
        io.MousePos = mouse;
        for (int b = 0; b < 3; ++b) {
            io.MouseDown[b] = down[b] || pressed[b];
            pressed[b] = false;
        }
        io.MouseWheel = wheel;
        wheel = 0;
    }

    // Lays out one ImGui frame of the forms on screen (and runs ImGui's input logic);
    // false when there is nothing to draw.
    bool BuildFrame() {
        if (drawing || !glReady || !MakeCurrent()) return false;
        const auto shown = DrawnForms();
        if (engineRunning && shown.empty()) {
            formRects.clear();
            return false;
        }
        drawing = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{drawing};
        ImGui::SetCurrentContext(context);
        ImGui_ImplOpenGL3_NewFrame();
        FeedImGui();
        ImGui::NewFrame();
        formRects.clear();
        controlRects.clear();
        hovers.clear();
        popup = nullptr;

        const ImVec2 view = ImGui::GetIO().DisplaySize;
        ImVec2 origin{0, 0};
        if (!engineRunning) {
            ImGui::GetBackgroundDrawList()->AddRectFilled({0, 0}, view, Col(kDesk));
            if (Form* desk = Desk()) origin = ScreenPos(*desk);
        }
        for (Form* f : shown) {
            const ImVec2 size = OuterSize(*f);
            const ImVec2 at = ScreenPos(*f);
            // Kept inside the window: a form is never out of the player's reach.
            const ImVec2 pos{std::max(0.0f, std::min(at.x - origin.x, view.x - size.x)),
                             std::max(0.0f, std::min(at.y - origin.y, view.y - size.y))};
            DrawForm(*f, pos, !forms::AcceptsInput(*f));
        }
        if (popup) ImGui::BringWindowToDisplayFront(popup);
        DrawHint();
        ImGui::Render();
        ++frames;
        if (busyFrames > 0) --busyFrames;
        built = true;
        return true;
    }

    // What the frame built last looks like, to leave out frames that change nothing.
    std::uint64_t LookOfFrame() const {
        std::uint64_t h = 1469598103934665603ull;
        const auto mix = [&h](const void* data, size_t size) {
            for (size_t i = 0; i < size; ++i)
                h = (h ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
        };
        const ImDrawData* data = ImGui::GetDrawData();
        for (int l = 0; data && l < data->CmdListsCount; ++l) {
            const ImDrawList* list = data->CmdLists[l];
            mix(list->VtxBuffer.Data, size_t(list->VtxBuffer.Size) * sizeof(ImDrawVert));
            mix(list->IdxBuffer.Data, size_t(list->IdxBuffer.Size) * sizeof(ImDrawIdx));
            for (const ImDrawCmd& cmd : list->CmdBuffer) {
                mix(&cmd.ClipRect, sizeof(cmd.ClipRect));
                mix(&cmd.TextureId, sizeof(cmd.TextureId));
                mix(&cmd.ElemCount, sizeof(cmd.ElemCount));
            }
        }
        return h;
    }

    // The overlay: called by every Present, ours or the engine's. Draws the frame built
    // for this Present, or builds one.
    void DrawFrame() {
        if (drawing || (!built && !BuildFrame())) return;
        built = false;
        ImGui::SetCurrentContext(context);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        if (captureTo) ReadBack();
    }

    void ReadBack() {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(Window(), &w, &h);
        std::vector<unsigned char> up(size_t(w) * size_t(h) * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, up.data());
        const size_t row = size_t(w) * 4;
        captureTo->resize(up.size());
        for (int y = 0; y < h; ++y)
            std::copy_n(up.data() + size_t(h - 1 - y) * row, row, captureTo->data() + size_t(y) * row);
        captureW = w;
        captureH = h;
        captured = true;
    }

    void PresentNow() {
        ArrangeWindow();
        sdl::Present();
    }
};

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
