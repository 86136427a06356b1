// The forms host's frame: the forms on screen laid out with ImGui, their hints, and
// the frame drawn over whatever the window shows.

#include <backends/imgui_impl_opengl3.h>

#include "platform/sdl/forms_host_impl.h"
#include "platform/sdl/window.h"

namespace quorvel::sdl {

using namespace forms_ui;

void ImGuiFormsHost::Impl::DrawForm(Form& form, ImVec2 pos, bool blocked) {
    const ImVec2 size = OuterSize(form);
    const bool active = form.Active();
    ImGuiWindowFlags flags =
        ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse |
        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
        ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoNav | ImGuiWindowFlags_NoFocusOnAppearing;
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

void ImGuiFormsHost::Impl::DrawHint() {
    const ImVec2 m = ImGui::GetIO().MousePos;
    const Control* control = nullptr;
    int part = -1;
    std::string hint;
    ImRect over;
    if (Form* f = FormAt(m)) {
        const auto& list = hovers[f];
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if (it->rect.Contains(m)) {
                control = it->control;
                part = it->part;
                hint = it->hint;
                over = it->rect;
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
        // Long hints wrap, so they stay inside a small window.
        const ImVec2 view = ImGui::GetIO().DisplaySize;
        const float wrap = std::min(300.0f, view.x - 12);
        const ImVec2 text = ImGui::CalcTextSize(hint.c_str(), nullptr, false, wrap - 4);
        const ImVec2 size{text.x + 10, text.y + 6};
        // Below the pointer, as the system places hints, yet never over the control it
        // is about (the words beside a button name it): just below that control when it
        // is short, and the same way above when there is no room below.
        float y = std::min(over.Max.y + 2, m.y + kPointerHeight);
        if (y + size.y > view.y) y = std::max(0.0f, std::max(over.Min.y, m.y - kPointerHeight) - 2 - size.y);
        const float x = std::clamp(m.x + 12, 0.0f, std::max(0.0f, view.x - size.x));
        ImGui::SetNextWindowPos({x, y}, ImGuiCond_Always);
        ImGui::BeginTooltip();
        ImGui::PushTextWrapPos(wrap);
        ImGui::TextUnformatted(hint.c_str());
        ImGui::PopTextWrapPos();
        ImGui::EndTooltip();
        ImGui::PopStyleVar();
        ImGui::PopStyleColor(2);
    }
}

void ImGuiFormsHost::Impl::FeedImGui() {
    ImGuiIO& io = ImGui::GetIO();
    int w = 0, h = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(Window(), &w, &h);
    SDL_GL_GetDrawableSize(Window(), &dw, &dh);
    io.DisplaySize = {float(std::max(1, w)), float(std::max(1, h))};
    io.DisplayFramebufferScale = {w > 0 ? float(dw) / float(w) : 1.0f, h > 0 ? float(dh) / float(h) : 1.0f};
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

bool ImGuiFormsHost::Impl::BuildFrame() {
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
    if (!engineRunning) OutlineWindow();
    ++frames;
    if (busyFrames > 0) --busyFrames;
    built = true;
    return true;
}

std::uint64_t ImGuiFormsHost::Impl::LookOfFrame() const {
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

void ImGuiFormsHost::Impl::DrawFrame() {
    if (drawing || (!built && !BuildFrame())) return;
    built = false;
    ImGui::SetCurrentContext(context);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    if (captureTo) ReadBack();
}

void ImGuiFormsHost::Impl::ReadBack() {
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

}  // namespace quorvel::sdl
