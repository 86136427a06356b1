// The forms host's controls, drawn as Windows draws them, one family at a time.

#include "platform/sdl/forms_host_impl.h"

namespace quorvel::sdl {

using namespace forms_ui;

namespace {

bool Lightweight(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::Image;
}

// Kinds with nothing to draw (they are never visible on Windows either).
bool Invisible(ControlKind kind) {
    return kind == ControlKind::Timer || kind == ControlKind::ImageList ||
           kind == ControlKind::CommonDialog || kind == ControlKind::Inet || kind == ControlKind::Menu;
}

}  // namespace

void ImGuiFormsHost::Impl::Record(const Form& form, const Control& c, int part, ImVec2 a, ImVec2 b) {
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

bool ImGuiFormsHost::Impl::LooksDefault(const Form& form, const forms::Button& b) const {
    const Control* focus = form.Active() ? form.ActiveControl() : nullptr;
    if (focus && focus->Kind() == ControlKind::Button) return focus == &b;
    return form.DefaultButton() == &b;
}

bool ImGuiFormsHost::Impl::ShowsFocus(const Form& form, const Control& c) const {
    return form.Active() && form.ActiveControl() == &c;
}

void ImGuiFormsHost::Impl::DrawButtonFace(ImDrawList* dl, const Control& c, ImVec2 a, ImVec2 b, bool sunken,
                                          bool enabled, const std::string& picture,
                                          const std::string& caption, bool isDefault, bool focus) {
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

void ImGuiFormsHost::Impl::DrawButton(const Form& form, const forms::Button& c, ImVec2 a, ImVec2 b,
                                      bool enabled) {
    const bool clicked = ImGui::InvisibleButton("##button", {b.x - a.x, b.y - a.y});
    const bool held = ImGui::IsItemActive() && ImGui::IsItemHovered();
    const std::string picture = c.Graphical() ? c.Picture() : "";
    DrawButtonFace(ImGui::GetWindowDrawList(), c, a, b, held, enabled, picture, c.Caption(),
                   LooksDefault(form, c), ShowsFocus(form, c));
    if (clicked) Act(&c, [](Control& x) { x.UserClick(); });
}

void ImGuiFormsHost::Impl::DrawLabel(const forms::Label& c, ImVec2 a, ImVec2 b, bool enabled) {
    // Labels are see-through: the game puts them on its pictures and coloured forms.
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const std::string text = Shown(c.Caption());
    const float size = FittingFontSize(text, c.FontBold(), b.x - a.x, b.y - a.y);
    dl->PushClipRect(a, b, true);
    Text(dl, a, enabled ? Col(c.ForeColor()) : kGreyText, text, c.FontBold(), b.x - a.x, size);
    dl->PopClipRect();
}

void ImGuiFormsHost::Impl::DrawCombo(const forms::ComboBox& c, ImVec2 a, ImVec2 b, bool focus) {
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
            // The chosen entry is white on the navy bar, as on Windows.
            const bool chosen = i == c.ListIndex();
            if (chosen) ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1, 1, 1, 1));
            const bool picked = ImGui::Selectable(c.List(i).c_str(), chosen);
            if (chosen) ImGui::PopStyleColor();
            if (picked)
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

void ImGuiFormsHost::Impl::DrawCheck(const forms::CheckBox& c, ImVec2 a, ImVec2 b, bool enabled, bool focus) {
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

void ImGuiFormsHost::Impl::DrawOption(const forms::OptionButton& c, ImVec2 a, ImVec2 b, bool enabled,
                                      bool focus) {
    const bool clicked = ImGui::InvisibleButton("##option", {b.x - a.x, b.y - a.y});
    const bool held = ImGui::IsItemActive() && ImGui::IsItemHovered();
    ImDrawList* dl = ImGui::GetWindowDrawList();
    if (c.Graphical()) {
        // A graphical option button looks like a button that stays pressed while chosen.
        // A sunken edge alone is lost on a small coloured face: the chosen one is also
        // darker, framed in black and marked in the middle.
        DrawButtonFace(dl, c, a, b, held || c.Value(), enabled, "", c.Caption(), false, focus);
        if (c.Value()) {
            dl->AddRectFilled({a.x + 2, a.y + 2}, {b.x - 1, b.y - 1}, IM_COL32(0, 0, 0, 96));
            dl->AddRect(a, b, kBlack, 0.0f, 0, 2.0f);
            const float r = std::max(2.0f, std::floor(std::min(b.x - a.x, b.y - a.y) / 4));
            const ImVec2 centre{std::floor((a.x + b.x) / 2) + 1, std::floor((a.y + b.y) / 2) + 1};
            dl->AddCircleFilled(centre, r + 1, kBlack);
            dl->AddCircleFilled(centre, r, enabled ? kWhite : kLight);
        }
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

void ImGuiFormsHost::Impl::DrawSlider(const forms::Slider& c, ImVec2 a, ImVec2 b, bool enabled, bool focus) {
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
    const float tx = std::floor(xOf(c.Value()));
    const float thumbH = std::min(h - 10, 14.0f);
    // Tick marks just under the thumb, clear of the labels the forms put below.
    const float tickY = std::min(channelY + thumbH / 2 + 1, b.y - 4);
    if (range <= 50)
        for (int v = c.Min(); v <= c.Max(); ++v)
            dl->AddLine({std::floor(xOf(v)), tickY}, {std::floor(xOf(v)), tickY + 3}, kBlack);
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
            // A press on the thumb focuses the slider too, so the arrow keys move it.
            dragging = &c;
            Act(&c, [](Control& x) { x.SetFocus(); });
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

void ImGuiFormsHost::Impl::DrawTextBox(const forms::TextBox& c, ImVec2 a, ImVec2 b, bool enabled,
                                       bool focus) {
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

void ImGuiFormsHost::Impl::DrawToolbar(const forms::Toolbar& c, ImVec2 a, ImVec2 b) {
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
            Text(dl, {ba.x + 6, std::floor((ba.y + bb.y - kFontSize) / 2)}, tb.Enabled ? kBlack : kGreyText,
                 tb.Key, false);
        Record(c.Parent(), c, i, ba, bb);
        if (clicked) {
            const std::string key = tb.Key;
            Act(&c, [key](Control& bar) { static_cast<forms::Toolbar&>(bar).UserPress(key); });
        }
        x += w + 1;
    }
}

void ImGuiFormsHost::Impl::DrawControl(const Form& form, const Control& c, ImVec2 a, ImVec2 b,
                                       bool formBlocked) {
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

void ImGuiFormsHost::Impl::DrawControls(const Form& form, const Control* container, ImVec2 origin,
                                        bool blocked) {
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

void ImGuiFormsHost::Impl::DrawMenus(const Form& form) {
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

}  // namespace quorvel::sdl
