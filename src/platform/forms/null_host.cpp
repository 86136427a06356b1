#include "platform/forms/null_host.h"

#include <cctype>

#include "platform/system/process.h"

namespace quorvel::forms {

NullHost::NullHost() {
    SetScreen(1024, 768);
    SetHost(this);
    sys::SetPumpHook([] { DoEvents(); });
}

NullHost::~NullHost() {
    sys::SetPumpHook(nullptr);
    SetHost(nullptr);
}

void NullHost::SetScreen(int widthPixels, int heightPixels, int twipsPerPixel) {
    screen_ = {widthPixels * twipsPerPixel, heightPixels * twipsPerPixel, twipsPerPixel, twipsPerPixel};
}

std::optional<std::string> NullHost::ChooseFile(const CommonDialog&) {
    return fileChoice_;
}

void NullHost::When(std::function<bool()> ready, std::function<void()> action) {
    script_.push_back({std::move(ready), std::move(action)});
}

void NullHost::Pump() {
    ++pumps_;
    if (!script_.empty() && (!script_.front().ready || script_.front().ready())) {
        // Taken off first: the action may open a modal form whose loop runs the next steps.
        Step step = std::move(script_.front());
        script_.pop_front();
        idlePumps_ = 0;
        step.action();
        return;
    }
    if (!ModalForms().empty() && ++idlePumps_ > stallLimit_) {
        idlePumps_ = 0;
        throw ModalStall();
    }
}

bool NullHost::Reach(Control& control) {
    if (!AcceptsInput(control)) return false;
    Activate(control.Parent());
    return AcceptsInput(control);
}

bool NullHost::Click(Control& control) {
    if (!Reach(control)) return false;
    control.UserClick();
    return true;
}

bool NullHost::Choose(ComboBox& combo, int index) {
    if (!Reach(combo) || index < 0 || index >= combo.ListCount()) return false;
    combo.SetFocus();
    combo.UserChoose(index);
    return true;
}

bool NullHost::Slide(Slider& slider, int value) {
    if (!Reach(slider)) return false;
    slider.SetFocus();
    slider.UserSlide(value);
    return true;
}

bool NullHost::PressToolbarButton(Toolbar& toolbar, const std::string& key) {
    return Reach(toolbar) && toolbar.UserPress(key);
}

bool NullHost::ActivateForm(Form& form) {
    if (!AcceptsInput(form)) return false;
    Activate(form);
    return true;
}

bool NullHost::Key(int keyCode, int shift, int character) {
    Form* form = ActiveForm();
    if (form == nullptr || !AcceptsInput(*form)) return false;
    form->UserKey(keyCode, shift, character);
    return true;
}

bool NullHost::PressKey(int keyCode, int shift) {
    int character = 0;
    if (keyCode >= 'A' && keyCode <= 'Z')
        character = (shift & keys::ShiftMask) ? keyCode : std::tolower(keyCode);
    else if ((keyCode >= '0' && keyCode <= '9') || keyCode == keys::Space || keyCode == keys::Return ||
             keyCode == keys::Escape || keyCode == keys::Back)
        character = keyCode;
    return Key(keyCode, shift, character);
}

bool NullHost::Type(const std::string& text) {
    for (unsigned char c : text) {
        // Letters, digits and space have keys of their own; other characters arrive as text only.
        const int code = std::isalpha(c) ? std::toupper(c) : (std::isdigit(c) || c == ' ') ? c : 0;
        const int shift = std::isupper(c) ? keys::ShiftMask : 0;
        if (!Key(code, shift, c)) return false;
    }
    return true;
}

}  // namespace quorvel::forms
