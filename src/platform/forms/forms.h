#pragma once
// Retained forms: windows with controls, properties and events, shown modeless or
// modal, drawn and fed by a FormsHost (the window back end or, in tests, NullHost).
//
// A form is a long-lived object (usually a global of the module that owns it). Its
// constructor sets the design values; Load() runs Form_Load once; Show/Hide/Unload
// work as on Windows. Control values live in the objects, so they survive hiding
// and unloading until the process ends.
//
// Sizes and positions are in twips (15 per pixel on a usual screen). A form's
// Width and Height are its client area; the host adds any frame around it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::forms {

class Control;
class Button;
class FormsHost;

using Colour = std::uint32_t;  // 0x00BBGGRR, as RGB() builds it
constexpr Colour RGB(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Key codes as the key events report them (Windows virtual-key numbering).
namespace keys {
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Return = 13;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
// Letters use their capital ASCII code ('A' = 65), digits theirs ('0' = 48).
inline constexpr int ShiftMask = 1;
}  // namespace keys

enum class BorderStyle { None, FixedSingle, Sizable, FixedDialog, FixedToolWindow, SizableToolWindow };
enum class StartUpPosition { Manual, CenterOwner, CenterScreen };
enum class ShowMode { Modeless, Modal };

class Form {
  public:
    explicit Form(std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }

    // Runs Form_Initialize (first time only) and Form_Load when not loaded. False when
    // the form is not loaded afterwards (its Form_Load unloaded it again).
    bool Load();
    // Loads and shows the form and makes it the active form. Modal: returns only once
    // the form is hidden or unloaded, pumping messages meanwhile. False when the form
    // unloaded itself while loading, or when a visible form is asked to show modally.
    bool Show(ShowMode mode = ShowMode::Modeless, Form* owner = nullptr);
    void Hide();
    // Runs Form_Unload (which may cancel), hides the form and marks it unloaded.
    bool Unload();

    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);  // true shows modeless, false hides
    bool Modal() const { return visible_ && modal_; }
    Form* Owner() const { return owner_; }
    bool Active() const;

    // The window handle; 0 is never a form's.
    int Handle() const { return handle_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int ScaleWidth() const { return width_; }
    int ScaleHeight() const { return height_; }
    void SetLeft(int left) { left_ = left; }
    void SetTop(int top) { top_ = top; }
    void SetWidth(int width);
    void SetHeight(int height);
    void Move(int left, int top, int width, int height);

    BorderStyle Border() const { return border_; }
    void SetBorder(BorderStyle border) { border_ = border; }
    StartUpPosition StartPosition() const { return startPosition_; }
    void SetStartPosition(StartUpPosition position) { startPosition_ = position; }
    Colour BackColor() const { return backColor_; }
    void SetBackColor(Colour colour) { backColor_ = colour; }
    bool Topmost() const { return topmost_; }
    void SetTopmost(bool topmost) { topmost_ = topmost; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool preview) { keyPreview_ = preview; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // Controls in creation order; the tab order is by TabIndex.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* ActiveControl() const { return activeControl_; }
    Button* DefaultButton() const;
    Button* CancelButton() const;

    // Player input, through a host. Keys go to the form as a whole: dialog keys first
    // (Tab, Enter, Escape), then the focused control or the form's own handlers.
    // `character` is the text character the key types (0 for none).
    void UserKey(int keyCode, int shift, int character);
    // Moves the focus to the next (or previous) control in the tab order.
    void MoveFocus(bool backwards);

  protected:
    // Events; the forms of the game override the ones they handle.
    virtual void Form_Initialize() {}
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Deactivate() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }
    virtual void Form_Resize() {}
    virtual void Form_KeyDown(int& keyCode, int shift) { (void)keyCode, (void)shift; }
    virtual void Form_KeyPress(int& keyAscii) { (void)keyAscii; }

  private:
    friend class Control;
    friend void Activate(Form& form);
    friend void ActivateNext();

    void Register(Control* control);
    void Unregister(Control* control);
    void Place();
    bool FocusUsable(const Control* control) const;
    std::vector<Control*> TabOrder() const;
    void SetActiveControl(Control* control);

    std::string name_;
    std::string caption_;
    int handle_;
    int left_ = 0, top_ = 0, width_ = 4800, height_ = 3600;
    BorderStyle border_ = BorderStyle::Sizable;
    StartUpPosition startPosition_ = StartUpPosition::Manual;
    Colour backColor_ = RGB(212, 208, 200);
    bool topmost_ = false;
    bool keyPreview_ = false;
    bool enabled_ = true;
    bool initialized_ = false;
    bool loaded_ = false;
    bool visible_ = false;
    bool modal_ = false;
    bool placed_ = false;
    Form* owner_ = nullptr;
    std::vector<Control*> controls_;
    Control* activeControl_ = nullptr;
};

// ---- the forms as a whole --------------------------------------------------

// Every form object that exists, in creation order.
const std::vector<Form*>& AllForms();
Form* ActiveForm();
// Makes the form the active one (its Form_Activate runs when it was not active).
void Activate(Form& form);
// The active form hid: the top visible form (its owner first) becomes active.
void ActivateNext();
// The modal forms now showing, innermost last.
const std::vector<Form*>& ModalForms();

// Whether the player can reach a control now: it and its containers are visible and
// enabled, its form is loaded, visible and enabled, and no modal form shows over it.
bool AcceptsInput(const Control& control);
bool AcceptsInput(const Form& form);

// The forms' part of a message pump: the host's own pass, then work posted for
// later, then timers that are due by the clock. sys::PumpMessages() calls it
// through the pump hook that the host installs.
void DoEvents();
// Runs `work` on the next DoEvents.
void Post(std::function<void()> work);

struct ScreenInfo {
    int Width = 0;  // twips
    int Height = 0;
    int TwipsPerPixelX = 15;
    int TwipsPerPixelY = 15;
};
ScreenInfo Screen();

// The system mouse pointer's display count, as on Windows: shown while >= 0.
int ShowCursor(bool show);
bool CursorVisible();

// A fresh window handle (forms and picture boxes have one each).
int NewWindowHandle();

// The host that draws the forms and feeds them input; without one set, a silent
// null host with nothing scripted stands in.
void SetHost(FormsHost* host);
FormsHost& Host();

}  // namespace quorvel::forms
