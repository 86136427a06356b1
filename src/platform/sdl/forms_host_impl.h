#pragma once
// The forms host's parts, shared by its files: the host and its window
// (forms_host.cpp), input and focus (forms_input.cpp), pictures (forms_images.cpp),
// the controls (forms_controls.cpp) and the frame (forms_frame.cpp). Nothing
// outside the forms host includes it.

#include <SDL.h>
#include <epoxy/gl.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/sdl/forms_host.h"
#include "platform/sdl/forms_shape.h"

namespace quorvel::sdl {

using forms::Control;
using forms::ControlKind;
using forms::Form;
using Clock = std::chrono::steady_clock;

namespace forms_ui {

inline constexpr double kFramePeriod = 1.0 / 60.0;  // while the player acts; the pump runs far more often
inline constexpr double kIdlePeriod = 0.1;      // otherwise: what code changes still shows at once to the eye
inline constexpr double kHintDelay = 0.5;       // seconds the pointer rests before a hint shows
inline constexpr float kPointerHeight = 20.0f;  // a hint stands at most this far below the pointer
inline constexpr forms::Colour kDesk = forms::RGB(58, 110, 165);  // behind the forms while only forms are up
inline constexpr float kFontSize = 13.0f;
inline const ImVec2 kFramePadding{4.0f, 3.0f};

inline ImU32 Col(forms::Colour c, int alpha = 255) {
    return IM_COL32(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, alpha);
}
inline ImVec4 ColV(forms::Colour c) {
    return ImGui::ColorConvertU32ToFloat4(Col(c));
}

inline constexpr ImU32 kWhite = IM_COL32(255, 255, 255, 255);
inline constexpr ImU32 kBlack = IM_COL32(0, 0, 0, 255);
inline constexpr ImU32 kShadow = IM_COL32(128, 128, 128, 255);
inline constexpr ImU32 kLight = IM_COL32(223, 223, 223, 255);
inline constexpr ImU32 kGreyText = IM_COL32(128, 128, 128, 255);

// "&Next Tip" shows as "Next Tip"; "&&" is a plain ampersand.
inline std::string Shown(const std::string& caption) {
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

inline bool ChainEnabled(const Control& c) {
    for (const Control* p = &c; p; p = p->Container())
        if (!p->Enabled()) return false;
    return true;
}

inline bool HasMenus(const Form& form) {
    for (const Control* c : form.Controls())
        if (c->Kind() == ControlKind::Menu && c->Container() == nullptr && c->Visible()) return true;
    return false;
}

inline bool Captioned(const Form& form) {
    return form.Border() != forms::BorderStyle::None && !form.Caption().empty();
}

// Windows' raised (or, pressed, sunken) edge of buttons.
inline void Edge3D(ImDrawList* dl, ImVec2 a, ImVec2 b, bool sunken) {
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

inline void DottedRect(ImDrawList* dl, ImVec2 a, ImVec2 b, ImU32 col) {
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
inline ImFont* FontFor(bool bold) {
    const ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    return bold && atlas->Fonts.Size > 1 ? atlas->Fonts[1] : atlas->Fonts[0];
}

inline ImVec2 TextSize(const std::string& text, bool bold) {
    return FontFor(bold)->CalcTextSizeA(kFontSize, FLT_MAX, 0.0f, text.c_str(), text.c_str() + text.size());
}

inline void Text(ImDrawList* dl, ImVec2 pos, ImU32 col, const std::string& text, bool bold, float wrap = 0.0f,
                 float size = kFontSize) {
    ImFont* font = FontFor(bold);
    dl->AddText(font, size, pos, col, text.c_str(), text.c_str() + text.size(), wrap);
    // Without a bold face a second pass one pixel over reads as bold.
    if (bold && font == FontFor(false))
        dl->AddText(font, size, {pos.x + 1, pos.y}, col, text.c_str(), text.c_str() + text.size(), wrap);
}

// The largest font size, up to the usual one, at which the text wrapped at `width`
// fits a box of that width and height; the host's face is larger than the one the
// forms were laid out for, and a caption must still show whole.
inline float FittingFontSize(const std::string& text, bool bold, float width, float height) {
    const ImFont* font = FontFor(bold);
    float size = kFontSize;
    for (; size > 8.0f; size -= 0.5f) {
        const ImVec2 need =
            font->CalcTextSizeA(size, FLT_MAX, width, text.c_str(), text.c_str() + text.size());
        if (need.x <= width + 0.5f && need.y <= height + 0.5f) break;
    }
    return size;
}

// Finds a control by address without touching it: forms of a test may be gone.
inline bool Alive(const Control* control) {
    for (const Form* f : forms::AllForms())
        for (const Control* c : f->Controls())
            if (c == control) return true;
    return false;
}

inline bool Alive(const Form* form) {
    const auto& all = forms::AllForms();
    return std::find(all.begin(), all.end(), form) != all.end();
}

// Passes the engine's display through and tells the host when the engine starts and
// stops (forms_host.cpp).
class FollowingDisplay;

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

}  // namespace forms_ui

struct ImGuiFormsHost::Impl {
    ImGuiContext* context = nullptr;
    bool glReady = false;
    Form* mainForm = nullptr;
    std::vector<Form*> zOrder;  // bottom first
    bool engineRunning = false;
    std::uintptr_t renderWindow = 0;
    std::shared_ptr<forms_ui::FollowingDisplay> display;

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
    std::map<std::string, std::optional<forms_ui::Texture>> textures;

    std::map<const Form*, PixelRect> formRects;
    std::map<std::pair<const Control*, int>, PixelRect> controlRects;
    std::map<const Form*, std::vector<forms_ui::Hover>> hovers;  // in drawing order
    const Control* hintControl = nullptr;
    int hintPart = -1;
    Clock::time_point hintSince{};
    ImGuiWindow* popup = nullptr;
    const Control* openCombo = nullptr;
    const Control* dragging = nullptr;  // the slider whose thumb is held
    std::optional<bool> pointerShown;
    bool dialogWasOpen = false;
    // The window's outline as last set: the rectangles of the forms and popups drawn.
    std::optional<std::vector<OutlineRect>> outline;
    bool outlineFailed = false;  // the windowing system keeps windows whole: stop asking

    // What the window was last given, so the player may still move it.
    int placedX = INT32_MIN, placedY = INT32_MIN;
    std::string title;

    std::vector<unsigned char>* captureTo = nullptr;
    int captureW = 0, captureH = 0;
    bool captured = false;

    int Tpp() const { return 15; }
    float Px(int twips) const { return std::round(float(twips) / float(Tpp())); }
    float BarHeight() const { return forms_ui::kFontSize + forms_ui::kFramePadding.y * 2; }
    ImVec2 OuterSize(const Form& f) const { return {Px(f.Width()), Px(f.Height()) + FrameTop(f)}; }

    bool DialogOpenOverEngine() { return engineRunning && !DrawnForms().empty(); }
    // Whether the player's input belongs to the forms now (and not to the engine).
    bool FormsTakeInput() { return !engineRunning || DialogOpenOverEngine(); }

    // The window and the host's place in the program (forms_host.cpp).
    float FrameTop(const Form& f) const;
    // Where a form stands on the screen, in pixels; a form not yet shown stands where
    // showing will place it.
    ImVec2 ScreenPos(const Form& f) const;
    forms::ScreenInfo ScreenInfoNow() const;
    // Visible forms, bottom first: forms shown before this host came along join on top.
    std::vector<Form*> VisibleForms();
    bool IsRenderWindow(const Form& f) const;
    // The forms on screen now: over the 3D view only those above the render window.
    std::vector<Form*> DrawnForms();
    Form* Desk();
    void ArrangeWindow();
    void EngineChanged(bool running, std::uintptr_t window);
    // Over the 3D view the pointer shows while the game asks for it or a dialog is open:
    // a dialog cannot be used without one.
    void SyncPointer();
    void PresentNow();
    // Without the engine the window is only what the frame just built covers, so no
    // empty ground shows between forms that stand apart.
    void OutlineWindow();

    // Input and focus (forms_input.cpp).
    Form* FormAt(ImVec2 p);
    bool OnEvent(const SDL_Event& e);
    // Keys go to the active form, as on Windows, when the player can see and reach it.
    void Key(int vk, int shift, int character);
    // The player's act on a control, run after the frame: the control must still be
    // there and reachable then.
    void Act(const Control* control, std::function<void(Control&)> act);
    void RunActions();

    // Pictures (forms_images.cpp).
    const forms_ui::Texture* Picture(const std::string& path);
    void DrawPicture(ImDrawList* dl, const std::string& path, ImVec2 a, ImVec2 b, bool stretch);
    void ReleaseGl();

    // Drawing the controls, one family at a time (forms_controls.cpp).
    void Record(const Form& form, const Control& c, int part, ImVec2 a, ImVec2 b);
    bool LooksDefault(const Form& form, const forms::Button& b) const;
    bool ShowsFocus(const Form& form, const Control& c) const;
    void DrawButtonFace(ImDrawList* dl, const Control& c, ImVec2 a, ImVec2 b, bool sunken, bool enabled,
                        const std::string& picture, const std::string& caption, bool isDefault, bool focus);
    void DrawButton(const Form& form, const forms::Button& c, ImVec2 a, ImVec2 b, bool enabled);
    void DrawLabel(const forms::Label& c, ImVec2 a, ImVec2 b, bool enabled);
    void DrawCombo(const forms::ComboBox& c, ImVec2 a, ImVec2 b, bool focus);
    void DrawCheck(const forms::CheckBox& c, ImVec2 a, ImVec2 b, bool enabled, bool focus);
    void DrawOption(const forms::OptionButton& c, ImVec2 a, ImVec2 b, bool enabled, bool focus);
    void DrawSlider(const forms::Slider& c, ImVec2 a, ImVec2 b, bool enabled, bool focus);
    void DrawTextBox(const forms::TextBox& c, ImVec2 a, ImVec2 b, bool enabled, bool focus);
    void DrawToolbar(const forms::Toolbar& c, ImVec2 a, ImVec2 b);
    void DrawControl(const Form& form, const Control& c, ImVec2 a, ImVec2 b, bool formBlocked);
    // The controls held by `container` (the form itself for null): pictures and labels
    // lie on the surface under the others, and a panel's controls lie on the panel.
    void DrawControls(const Form& form, const Control* container, ImVec2 origin, bool blocked);
    void DrawMenus(const Form& form);

    // Building and drawing a frame (forms_frame.cpp).
    void DrawForm(Form& form, ImVec2 pos, bool blocked);
    void DrawHint();
    void FeedImGui();
    // Lays out one ImGui frame of the forms on screen (and runs ImGui's input logic);
    // false when there is nothing to draw.
    bool BuildFrame();
    // What the frame built last looks like, to leave out frames that change nothing.
    std::uint64_t LookOfFrame() const;
    // The overlay: called by every Present, ours or the engine's. Draws the frame built
    // for this Present, or builds one.
    void DrawFrame();
    void ReadBack();
};

}  // namespace quorvel::sdl
