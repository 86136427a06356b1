#include "platform/forms/controls.h"

#include <algorithm>

#include "platform/forms/host.h"
#include "platform/system/clock.h"
#include "platform/system/http.h"
#include "platform/system/shell.h"

namespace quorvel::forms {

// ---- Control ---------------------------------------------------------------

Control::Control(Form& form, std::string name, int index)
    : form_(form),
      name_(std::move(name)),
      index_(index),
      tabIndex_(static_cast<int>(form.Controls().size())) {
    form_.Register(this);
}

Control::~Control() {
    form_.Unregister(this);
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
}

void Control::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    SetWidth(width);
    SetHeight(height);
}

bool Control::HasFocus() const {
    return form_.ActiveControl() == this;
}

void Control::SetFocus() {
    if (form_.FocusUsable(this)) form_.SetActiveControl(this);
}

void Control::UserClick() {
    SetFocus();
    Fire(Click);
}

void Control::UserKeyDown(int keyCode, int shift) {
    int code = keyCode;
    if (KeyDown) KeyDown(code, shift);
    if (code != 0) KeyAction(code, shift);
}

void Control::UserKeyPress(int keyAscii) {
    int ascii = keyAscii;
    if (KeyPress) KeyPress(ascii);
    if (ascii != 0) CharAction(ascii);
}

// ---- Button ----------------------------------------------------------------

void Button::KeyAction(int keyCode, int) {
    if (keyCode == keys::Space) Fire(Click);
}

// ---- Label -----------------------------------------------------------------

Label::Label(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
}

// ---- ComboBox --------------------------------------------------------------

ComboBox::ComboBox(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetBackColor(RGB(255, 255, 255));
}

void ComboBox::AddItem(std::string text) {
    items_.push_back(std::move(text));
}

void ComboBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    text_.clear();
}

bool ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) return false;
    if (index == listIndex_) return true;
    listIndex_ = index;
    if (index >= 0)
        text_ = items_[static_cast<size_t>(index)];
    else if (!editable_)
        text_.clear();
    Fire(Click);
    return true;
}

void ComboBox::SetText(std::string text) {
    if (!editable_) {
        const auto it = std::find(items_.begin(), items_.end(), text);
        if (it != items_.end()) {
            SetListIndex(static_cast<int>(it - items_.begin()));
            return;
        }
    }
    if (text == text_) return;
    text_ = std::move(text);
    Fire(Change);
}

void ComboBox::UserChoose(int index) {
    if (index < 0 || index >= ListCount()) return;
    listIndex_ = index;
    text_ = items_[static_cast<size_t>(index)];
    Fire(Click);
}

void ComboBox::KeyAction(int keyCode, int) {
    if (keyCode == keys::Down && listIndex_ + 1 < ListCount()) UserChoose(listIndex_ + 1);
    if (keyCode == keys::Up && listIndex_ > 0) UserChoose(listIndex_ - 1);
}

void ComboBox::CharAction(int keyAscii) {
    if (!editable_) return;
    if (keyAscii == keys::Back) {
        if (!text_.empty()) {
            text_.pop_back();
            Fire(Change);
        }
    } else if (keyAscii >= 32 && keyAscii < 256) {
        text_.push_back(static_cast<char>(keyAscii));
        Fire(Change);
    }
}

// ---- CheckBox --------------------------------------------------------------

CheckBox::CheckBox(Form& form, std::string name, int index) : Control(form, std::move(name), index) {}

bool CheckBox::SetValue(int value) {
    if (value < 0 || value > 2) return false;
    if (value == value_) return true;
    value_ = value;
    Fire(Click);
    return true;
}

void CheckBox::UserClick() {
    SetFocus();
    SetValue(value_ == 1 ? 0 : 1);
}

void CheckBox::KeyAction(int keyCode, int) {
    if (keyCode == keys::Space) SetValue(value_ == 1 ? 0 : 1);
}

// ---- OptionButton ----------------------------------------------------------

void OptionButton::SetValue(bool value) {
    if (value == value_) return;
    value_ = value;
    if (!value) return;
    for (Control* c : Parent().Controls()) {
        if (c == this || c->Kind() != ControlKind::OptionButton || c->Container() != Container()) continue;
        static_cast<OptionButton*>(c)->value_ = false;
    }
    Fire(Click);
}

void OptionButton::UserClick() {
    SetFocus();
    SetValue(true);
}

// ---- Slider ----------------------------------------------------------------

Slider::Slider(Form& form, std::string name, int index) : Control(form, std::move(name), index) {}

void Slider::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    value_ = std::clamp(value_, min_, max_);
}

bool Slider::SetValue(int value) {
    if (value < min_ || value > max_) return false;
    if (value == value_) return true;
    value_ = value;
    Fire(Change);
    return true;
}

void Slider::UserSlide(int value) {
    value = std::clamp(value, min_, max_);
    if (value == value_) return;
    value_ = value;
    Fire(Scroll);
    Fire(Change);
}

void Slider::KeyAction(int keyCode, int) {
    switch (keyCode) {
        case keys::Left:
        case keys::Up:
            UserSlide(value_ - smallChange_);
            break;
        case keys::Right:
        case keys::Down:
            UserSlide(value_ + smallChange_);
            break;
        case keys::PageUp:
            UserSlide(value_ - largeChange_);
            break;
        case keys::PageDown:
            UserSlide(value_ + largeChange_);
            break;
        case keys::Home:
            UserSlide(min_);
            break;
        case keys::End:
            UserSlide(max_);
            break;
        default:
            break;
    }
}

// ---- TextBox ---------------------------------------------------------------

TextBox::TextBox(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetBackColor(RGB(255, 255, 255));
}

void TextBox::SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    Fire(Change);
}

void TextBox::CharAction(int keyAscii) {
    if (keyAscii == keys::Back) {
        if (!text_.empty()) SetText(text_.substr(0, text_.size() - 1));
    } else if (keyAscii >= 32 && keyAscii < 256) {
        SetText(text_ + static_cast<char>(keyAscii));
    }
}

// ---- Image, PictureBox -----------------------------------------------------

Image::Image(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
}

PictureBox::PictureBox(Form& form, std::string name, int index)
    : Control(form, std::move(name), index), handle_(NewWindowHandle()) {
    SetTabStop(false);
}

// ---- Timer -----------------------------------------------------------------

Timer::Timer(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
    SetVisible(false);
}

void Timer::Arm() {
    due_ = sys::MonotonicSeconds() + interval_ / 1000.0;
}

void Timer::SetInterval(int milliseconds) {
    interval_ = std::max(0, milliseconds);
    Arm();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled && !Enabled()) Arm();
    Control::SetEnabled(enabled);
}

void Timer::Poll() {
    if (!Parent().Loaded() || !Enabled() || interval_ <= 0 || firing_) return;
    const double now = sys::MonotonicSeconds();
    if (now + 1e-9 < due_) return;
    due_ = now + interval_ / 1000.0;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{firing_};
    firing_ = true;
    Fire(Tick);
}

// ---- ImageList, Toolbar, CommonDialog, MenuItem ----------------------------

ImageList::ImageList(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
    SetVisible(false);
}

void ImageList::Add(std::string key, std::string picture) {
    images_.emplace_back(std::move(key), std::move(picture));
}

std::string ImageList::Picture(const std::string& key) const {
    for (const auto& [k, picture] : images_)
        if (k == key) return picture;
    return "";
}

Toolbar::Toolbar(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
}

bool Toolbar::UserPress(const std::string& key) {
    for (const ToolbarButton& b : buttons_) {
        if (b.Key != key) continue;
        if (!b.Enabled) return false;
        const ToolbarButton pressed = b;  // the handler may change the buttons
        if (ButtonClick) ButtonClick(pressed);
        return true;
    }
    return false;
}

CommonDialog::CommonDialog(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
    SetVisible(false);
}

bool CommonDialog::ShowOpen() {
    const auto file = Host().ChooseFile(*this);
    if (!file) return false;
    fileName_ = *file;
    return true;
}

MenuItem::MenuItem(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
}

// ---- WebBrowser ------------------------------------------------------------

WebBrowser::WebBrowser(Form& form, std::string name, int index) : Control(form, std::move(name), index) {}

WebBrowser::~WebBrowser() {
    *alive_ = false;
}

void WebBrowser::Navigate(const std::string& address) {
    if (address.empty()) return;
    history_.resize(static_cast<size_t>(position_ + 1));
    history_.push_back(address);
    position_ = static_cast<int>(history_.size()) - 1;
    Open(address);
}

void WebBrowser::Open(const std::string& address) {
    sys::OpenWithShell(address);
    Reached(address);
}

void WebBrowser::Reached(const std::string& address) {
    location_ = address;
    busy_ = true;
    const int generation = ++generation_;
    Post([this, generation, alive = alive_] {
        if (!*alive || generation != generation_) return;
        busy_ = false;
        if (NavigateComplete2) NavigateComplete2(location_);
        Fire(DownloadComplete);
    });
}

void WebBrowser::GoBack() {
    if (position_ <= 0) return;
    --position_;
    Open(history_[static_cast<size_t>(position_)]);
}

void WebBrowser::GoForward() {
    if (position_ + 1 >= static_cast<int>(history_.size())) return;
    ++position_;
    Open(history_[static_cast<size_t>(position_)]);
}

void WebBrowser::Refresh() {
    // The page itself lives in the user's browser; only the control's own round trip repeats.
    if (!location_.empty()) Reached(location_);
}

void WebBrowser::GoSearch() {
    Navigate(SearchPage);
}

void WebBrowser::Stop() {
    busy_ = false;
    ++generation_;
}

// ---- Inet ------------------------------------------------------------------

Inet::Inet(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
    SetVisible(false);
}

std::string Inet::OpenURL(const std::string& address) {
    return sys::HttpGet(address, timeout_).value_or("");
}

}  // namespace quorvel::forms
