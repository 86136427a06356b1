#include "platform/forms/forms.h"

#include <algorithm>

#include "platform/forms/controls.h"
#include "platform/forms/host.h"
#include "platform/system/process.h"

namespace quorvel::forms {
namespace {

// Stands in until a host is set: draws nothing, scripts nothing.
class SilentHost : public FormsHost {
  public:
    void Pump() override {}
    ScreenInfo Screen() const override { return {1024 * 15, 768 * 15, 15, 15}; }
};

struct State {
    std::vector<Form*> forms;
    std::vector<Form*> zOrder;  // visible forms, top last
    std::vector<Form*> modal;
    Form* active = nullptr;
    std::vector<std::function<void()>> posted;
    int cursorCount = 0;
    FormsHost* host = nullptr;
    int nextHandle = 1;
};

State& S() {
    static State state;
    return state;
}

void Erase(std::vector<Form*>& list, const Form* form) {
    list.erase(std::remove(list.begin(), list.end(), form), list.end());
}

bool Registered(const Form* form) {
    const auto& all = S().forms;
    return std::find(all.begin(), all.end(), form) != all.end();
}

// Visible and enabled, with every container.
bool Usable(const Control& control) {
    for (const Control* c = &control; c; c = c->Container())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

}  // namespace

int NewWindowHandle() {
    return S().nextHandle++;
}

// ---- Form ------------------------------------------------------------------

Form::Form(std::string name) : name_(std::move(name)), handle_(NewWindowHandle()) {
    S().forms.push_back(this);
}

Form::~Form() {
    auto& s = S();
    Erase(s.forms, this);
    Erase(s.zOrder, this);
    Erase(s.modal, this);
    if (s.active == this) s.active = nullptr;
}

void Form::Register(Control* control) {
    controls_.push_back(control);
}

void Form::Unregister(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (activeControl_ == control) activeControl_ = nullptr;
}

bool Form::Load() {
    if (loaded_) return true;
    if (!initialized_) {
        initialized_ = true;
        Form_Initialize();
        if (loaded_) return true;
    }
    loaded_ = true;
    for (Control* c : controls_)
        c->FormLoaded();
    Form_Load();
    return loaded_;
}

void Form::Place() {
    placed_ = true;
    const ScreenInfo screen = forms::Screen();
    if (startPosition_ == StartUpPosition::CenterScreen ||
        (startPosition_ == StartUpPosition::CenterOwner && owner_ == nullptr)) {
        left_ = (screen.Width - width_) / 2;
        top_ = (screen.Height - height_) / 2;
    } else if (startPosition_ == StartUpPosition::CenterOwner) {
        left_ = owner_->left_ + (owner_->width_ - width_) / 2;
        top_ = owner_->top_ + (owner_->height_ - height_) / 2;
    }
}

bool Form::Show(ShowMode mode, Form* owner) {
    if (!Load()) return false;
    const bool modal = mode == ShowMode::Modal;
    if (modal && visible_) return false;  // a form on screen cannot turn modal
    owner_ = owner;
    modal_ = modal;
    if (!placed_) Place();
    auto& s = S();
    if (!visible_) {
        visible_ = true;
        s.zOrder.push_back(this);
        Host().FormShown(*this);
    } else {
        Erase(s.zOrder, this);
        s.zOrder.push_back(this);
    }
    Activate(*this);
    if (visible_ && (activeControl_ == nullptr || !FocusUsable(activeControl_))) {
        const auto order = TabOrder();
        if (!order.empty()) SetActiveControl(order.front());
    }
    if (!modal) return true;

    s.modal.push_back(this);
    struct PopModal {
        Form* form;
        ~PopModal() { Erase(S().modal, form); }
    } pop{this};
    while (visible_ && loaded_)
        sys::IdleWait();
    return true;
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    auto& s = S();
    Erase(s.zOrder, this);
    Host().FormHidden(*this);
    if (s.active == this) {
        s.active = nullptr;
        Form_Deactivate();
        ActivateNext();
    }
}

bool Form::Unload() {
    if (!loaded_) return true;
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0) return false;
    Hide();
    loaded_ = false;
    activeControl_ = nullptr;
    return true;
}

void Form::SetVisible(bool visible) {
    if (visible)
        Show();
    else
        Hide();
}

bool Form::Active() const {
    return S().active == this;
}

void Form::SetWidth(int width) {
    width_ = std::max(0, width);
    if (loaded_) Form_Resize();
}

void Form::SetHeight(int height) {
    height_ = std::max(0, height);
    if (loaded_) Form_Resize();
}

void Form::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (loaded_) Form_Resize();
}

Button* Form::DefaultButton() const {
    for (Control* c : controls_)
        if (c->Kind() == ControlKind::Button && static_cast<Button*>(c)->Default())
            return static_cast<Button*>(c);
    return nullptr;
}

Button* Form::CancelButton() const {
    for (Control* c : controls_)
        if (c->Kind() == ControlKind::Button && static_cast<Button*>(c)->Cancel())
            return static_cast<Button*>(c);
    return nullptr;
}

bool Form::FocusUsable(const Control* control) const {
    return control != nullptr && control->CanFocus() && Usable(*control);
}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> order;
    for (Control* c : controls_)
        if (c->TabStop() && FocusUsable(c)) order.push_back(c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->TabIndex() < b->TabIndex(); });
    return order;
}

void Form::SetActiveControl(Control* control) {
    if (control == activeControl_) return;
    Control* old = activeControl_;
    activeControl_ = control;
    if (old) Control::Fire(old->LostFocus);
    if (control) Control::Fire(control->GotFocus);
}

void Form::MoveFocus(bool backwards) {
    const auto order = TabOrder();
    if (order.empty()) return;
    const auto n = static_cast<long>(order.size());
    const auto it = std::find(order.begin(), order.end(), activeControl_);
    long next = 0;
    if (it == order.end()) {
        next = backwards ? n - 1 : 0;
    } else {
        const long at = it - order.begin();
        next = backwards ? (at + n - 1) % n : (at + 1) % n;
    }
    SetActiveControl(order[static_cast<size_t>(next)]);
}

void Form::UserKey(int keyCode, int shift, int character) {
    int code = keyCode;
    if (keyPreview_ && code != 0) Form_KeyDown(code, shift);
    Control* focus = FocusUsable(activeControl_) ? activeControl_ : nullptr;
    if (code != 0) {
        if (code == keys::Tab) {
            MoveFocus((shift & keys::ShiftMask) != 0);
            return;
        }
        if (code == keys::Return) {
            Button* button =
                focus && focus->Kind() == ControlKind::Button ? static_cast<Button*>(focus) : DefaultButton();
            if (button && Usable(*button)) {
                Control::Fire(button->Click);
                return;
            }
        }
        if (code == keys::Escape) {
            Button* button = CancelButton();
            if (button && Usable(*button)) {
                Control::Fire(button->Click);
                return;
            }
        }
        if (focus)
            focus->UserKeyDown(code, shift);
        else if (!keyPreview_)
            Form_KeyDown(code, shift);
    }
    if (character == 0 || !loaded_ || !visible_) return;
    int ascii = character;
    if (keyPreview_) Form_KeyPress(ascii);
    if (ascii == 0) return;
    focus = FocusUsable(activeControl_) ? activeControl_ : nullptr;
    if (focus)
        focus->UserKeyPress(ascii);
    else if (!keyPreview_)
        Form_KeyPress(ascii);
}

// ---- the forms as a whole --------------------------------------------------

const std::vector<Form*>& AllForms() {
    return S().forms;
}

Form* ActiveForm() {
    return S().active;
}

void Activate(Form& form) {
    auto& s = S();
    if (s.active == &form || !form.visible_) return;
    Form* old = s.active;
    s.active = &form;
    if (old) old->Form_Deactivate();
    if (s.active != &form) return;  // the deactivation moved on elsewhere
    Erase(s.zOrder, &form);
    s.zOrder.push_back(&form);
    Host().FormActivated(form);
    form.Form_Activate();
}

void ActivateNext() {
    auto& s = S();
    if (s.active) return;
    // Inside a modal loop the innermost modal form takes over; otherwise the top window.
    Form* next = nullptr;
    for (auto it = s.modal.rbegin(); it != s.modal.rend() && !next; ++it)
        if ((*it)->visible_) next = *it;
    if (!next && !s.zOrder.empty()) next = s.zOrder.back();
    if (next) Activate(*next);
}

const std::vector<Form*>& ModalForms() {
    return S().modal;
}

bool AcceptsInput(const Form& form) {
    if (!form.Loaded() || !form.Visible() || !form.Enabled()) return false;
    const auto& modal = S().modal;
    for (auto it = modal.rbegin(); it != modal.rend(); ++it)
        if ((*it)->Visible()) return *it == &form;
    return true;
}

bool AcceptsInput(const Control& control) {
    return AcceptsInput(control.Parent()) && Usable(control);
}

void DoEvents() {
    auto& s = S();
    Host().Pump();
    auto work = std::move(s.posted);
    s.posted.clear();
    for (auto& w : work)
        w();
    const auto forms = s.forms;
    for (Form* form : forms) {
        if (!Registered(form) || !form->Loaded()) continue;
        const auto controls = form->Controls();
        for (Control* c : controls)
            if (c->Kind() == ControlKind::Timer) static_cast<Timer*>(c)->Poll();
    }
}

void Post(std::function<void()> work) {
    S().posted.push_back(std::move(work));
}

ScreenInfo Screen() {
    return Host().Screen();
}

int ShowCursor(bool show) {
    auto& s = S();
    s.cursorCount += show ? 1 : -1;
    Host().CursorVisibilityChanged(s.cursorCount >= 0);
    return s.cursorCount;
}

bool CursorVisible() {
    return S().cursorCount >= 0;
}

void SetHost(FormsHost* host) {
    S().host = host;
}

FormsHost& Host() {
    static SilentHost silent;
    return S().host ? *S().host : silent;
}

}  // namespace quorvel::forms
