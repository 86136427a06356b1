#pragma once
// The standard controls. Each belongs to one form for its whole life and is made in
// that form's constructor with its design values; events are plain function members
// that the form wires to its handlers (Command1.Click = [this] { Command1_Click(); }).
//
// Setting a value in code fires the same event as on Windows (a check box's or
// option button's Click, a combo box's Click, a slider's or text box's Change) when
// the value changes. The User... members are what a host calls for the player.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/forms.h"

namespace quorvel::forms {

enum class ControlKind {
    Button,
    Label,
    ComboBox,
    CheckBox,
    OptionButton,
    Slider,
    TextBox,
    Image,
    PictureBox,
    Timer,
    Toolbar,
    ImageList,
    CommonDialog,
    Menu,
    WebBrowser,
    Inet
};

class Control {
  public:
    // `index` is the element number inside a control array, -1 for a plain control.
    Control(Form& form, std::string name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual ControlKind Kind() const = 0;
    Form& Parent() const { return form_; }
    const std::string& Name() const { return name_; }
    int Index() const { return index_; }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { left_ = left; }
    void SetTop(int top) { top_ = top; }
    void SetWidth(int width) { width_ = width < 0 ? 0 : width; }
    void SetHeight(int height) { height_ = height < 0 ? 0 : height; }
    void Move(int left, int top, int width, int height);

    // The hint shown while the pointer rests on the control.
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(std::string text) { toolTip_ = std::move(text); }
    Colour ForeColor() const { return foreColor_; }
    void SetForeColor(Colour colour) { foreColor_ = colour; }
    Colour BackColor() const { return backColor_; }
    void SetBackColor(Colour colour) { backColor_ = colour; }
    const std::string& FontName() const { return fontName_; }
    bool FontBold() const { return fontBold_; }
    void SetFont(std::string name, bool bold) { fontName_ = std::move(name), fontBold_ = bold; }
    // A spare text that the program keeps for its own use.
    const std::string& Tag() const { return tag_; }
    void SetTag(std::string tag) { tag_ = std::move(tag); }

    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index) { tabIndex_ = index; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool stop) { tabStop_ = stop; }
    // A panel or menu that holds this control; hiding it hides what it holds.
    Control* Container() const { return container_; }
    void SetContainer(Control& container) { container_ = &container; }

    virtual bool CanFocus() const { return false; }
    bool HasFocus() const;
    // Moves the keyboard focus here (nothing happens for a control that cannot take it).
    void SetFocus();

    std::function<void()> Click;
    std::function<void()> GotFocus;
    std::function<void()> LostFocus;
    std::function<void(int& keyCode, int shift)> KeyDown;
    std::function<void(int& keyAscii)> KeyPress;

    // Player input (the host has checked AcceptsInput).
    virtual void UserClick();
    void UserKeyDown(int keyCode, int shift);
    void UserKeyPress(int keyAscii);

  protected:
    // What the control does with a key after its event has seen it.
    virtual void KeyAction(int keyCode, int shift) { (void)keyCode, (void)shift; }
    virtual void CharAction(int keyAscii) { (void)keyAscii; }
    static void Fire(const std::function<void()>& event) {
        if (event) event();
    }

  private:
    friend class Form;
    virtual void FormLoaded() {}

    Form& form_;
    std::string name_;
    int index_;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0, top_ = 0, width_ = 1215, height_ = 375;
    std::string toolTip_;
    Colour foreColor_ = RGB(0, 0, 0);
    Colour backColor_ = RGB(212, 208, 200);
    std::string fontName_ = "MS Sans Serif";
    bool fontBold_ = false;
    std::string tag_;
    int tabIndex_;
    bool tabStop_ = true;
    Control* container_ = nullptr;
};

// Control arrays: elements share a name and are told apart by their index.
template <class T>
class ControlArray {
  public:
    ControlArray(Form& form, std::string name) : form_(form), name_(std::move(name)) {}
    T& Add(int index) {
        auto& slot = elements_[index];
        slot = std::make_unique<T>(form_, name_, index);
        return *slot;
    }
    T& operator()(int index) const { return *elements_.at(index); }
    bool Has(int index) const { return elements_.count(index) != 0; }
    std::vector<int> Indexes() const {
        std::vector<int> out;
        for (const auto& [i, e] : elements_)
            out.push_back(i);
        return out;
    }

  private:
    Form& form_;
    std::string name_;
    std::map<int, std::unique_ptr<T>> elements_;
};

class Button : public Control {
  public:
    using Control::Control;
    ControlKind Kind() const override { return ControlKind::Button; }
    bool CanFocus() const override { return true; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    // A picture button shows its picture instead of the plain face.
    const std::string& Picture() const { return picture_; }
    void SetPicture(std::string path) { picture_ = std::move(path); }
    bool Graphical() const { return graphical_; }
    void SetGraphical(bool graphical) { graphical_ = graphical; }
    // Enter presses the default button, Escape the cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault) { default_ = isDefault; }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel) { cancel_ = isCancel; }

  protected:
    void KeyAction(int keyCode, int shift) override;

  private:
    std::string caption_;
    std::string picture_;
    bool graphical_ = false;
    bool default_ = false;
    bool cancel_ = false;
};

class Label : public Control {
  public:
    Label(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::Label; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }

  private:
    std::string caption_;
};

class ComboBox : public Control {
  public:
    ComboBox(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::ComboBox; }
    bool CanFocus() const override { return true; }

    // A drop-down list only offers its entries; an editable one also takes typed text.
    bool Editable() const { return editable_; }
    void SetEditable(bool editable) { editable_ = editable; }

    void AddItem(std::string text);
    void Clear();
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const { return items_.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& Items() const { return items_; }
    // The selected entry, -1 for none. Setting it fires Click when it changes; an
    // index outside -1 .. ListCount()-1 is rejected (false) and changes nothing.
    int ListIndex() const { return listIndex_; }
    bool SetListIndex(int index);
    // The shown text: the selected entry, or what was typed or set.
    const std::string& Text() const { return text_; }
    void SetText(std::string text);

    std::function<void()> Change;

    // The player picks an entry (Click fires even when it was already selected).
    void UserChoose(int index);

  protected:
    void KeyAction(int keyCode, int shift) override;
    void CharAction(int keyAscii) override;

  private:
    bool editable_ = false;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::string text_;
};

class CheckBox : public Control {
  public:
    CheckBox(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::CheckBox; }
    bool CanFocus() const override { return true; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    // 0 unchecked, 1 checked, 2 greyed; any other value is rejected (false).
    int Value() const { return value_; }
    bool SetValue(int value);

    void UserClick() override;

  protected:
    void KeyAction(int keyCode, int shift) override;

  private:
    std::string caption_;
    int value_ = 0;
};

class OptionButton : public Control {
  public:
    using Control::Control;
    ControlKind Kind() const override { return ControlKind::OptionButton; }
    bool CanFocus() const override { return true; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    bool Graphical() const { return graphical_; }
    void SetGraphical(bool graphical) { graphical_ = graphical; }
    // Selecting one clears the others of its group (same form, same container) and
    // fires its Click.
    bool Value() const { return value_; }
    void SetValue(bool value);

    void UserClick() override;

  private:
    std::string caption_;
    bool graphical_ = false;
    bool value_ = false;
};

class Slider : public Control {
  public:
    Slider(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::Slider; }
    bool CanFocus() const override { return true; }

    int Min() const { return min_; }
    int Max() const { return max_; }
    // Sets the range; a value outside it moves to the nearer end.
    void SetRange(int min, int max);
    int SmallChange() const { return smallChange_; }
    int LargeChange() const { return largeChange_; }
    void SetSteps(int small, int large) { smallChange_ = small, largeChange_ = large; }
    int Value() const { return value_; }
    // A value outside Min..Max is rejected (false) and the slider keeps its value.
    bool SetValue(int value);

    // Scroll fires while the player moves the thumb, Change once the value changed.
    std::function<void()> Scroll;
    std::function<void()> Change;

    // The player moves the thumb to a value (kept within the range).
    void UserSlide(int value);

  protected:
    void KeyAction(int keyCode, int shift) override;

  private:
    int min_ = 0, max_ = 10, value_ = 0;
    int smallChange_ = 1, largeChange_ = 5;
};

class TextBox : public Control {
  public:
    TextBox(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::TextBox; }
    bool CanFocus() const override { return true; }

    const std::string& Text() const { return text_; }
    void SetText(std::string text);  // fires Change when it differs
    std::function<void()> Change;

  protected:
    void CharAction(int keyAscii) override;

  private:
    std::string text_;
};

class Image : public Control {
  public:
    Image(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::Image; }
    const std::string& Picture() const { return picture_; }
    void SetPicture(std::string path) { picture_ = std::move(path); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch) { stretch_ = stretch; }

  private:
    std::string picture_;
    bool stretch_ = false;
};

// A panel with a window of its own, which may hold other controls.
class PictureBox : public Control {
  public:
    PictureBox(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::PictureBox; }
    int Handle() const { return handle_; }
    const std::string& Picture() const { return picture_; }
    void SetPicture(std::string path) { picture_ = std::move(path); }

  private:
    int handle_;
    std::string picture_;
};

// Fires Tick every Interval milliseconds of the program clock while enabled and its
// form is loaded. It runs from the message pump, so only while messages are pumped;
// a late pump gives one tick, not a burst.
class Timer : public Control {
  public:
    Timer(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::Timer; }
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    void SetEnabled(bool enabled) override;
    std::function<void()> Tick;

    // Called from DoEvents.
    void Poll();

  private:
    void FormLoaded() override { Arm(); }
    void Arm();
    int interval_ = 0;
    double due_ = 0.0;
    bool firing_ = false;
};

class ImageList : public Control {
  public:
    ImageList(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::ImageList; }
    void Add(std::string key, std::string picture);
    // Picture of a key, "" when the list has none.
    std::string Picture(const std::string& key) const;
    const std::vector<std::pair<std::string, std::string>>& ListImages() const { return images_; }

  private:
    std::vector<std::pair<std::string, std::string>> images_;
};

struct ToolbarButton {
    std::string Key;
    std::string ToolTipText;
    std::string Image;  // key in the toolbar's image list
    bool Enabled = true;
};

class Toolbar : public Control {
  public:
    Toolbar(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::Toolbar; }
    void SetImageList(const ImageList& images) { imageList_ = &images; }
    const ImageList* Images() const { return imageList_; }
    void AddButton(ToolbarButton button) { buttons_.push_back(std::move(button)); }
    const std::vector<ToolbarButton>& Buttons() const { return buttons_; }

    std::function<void(const ToolbarButton&)> ButtonClick;
    // The player presses the button of that key; false when there is none or it is disabled.
    bool UserPress(const std::string& key);

  private:
    const ImageList* imageList_ = nullptr;
    std::vector<ToolbarButton> buttons_;
};

// The open-file dialog. Showing it asks the host; the player may cancel.
class CommonDialog : public Control {
  public:
    CommonDialog(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::CommonDialog; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string name) { fileName_ = std::move(name); }
    const std::string& Filter() const { return filter_; }
    void SetFilter(std::string filter) { filter_ = std::move(filter); }
    const std::string& DialogTitle() const { return title_; }
    void SetDialogTitle(std::string title) { title_ = std::move(title); }
    // True with FileName set when the player chose a file.
    bool ShowOpen();

  private:
    std::string fileName_, filter_, title_;
};

// A menu title or item; items name their menu as container. Caption "-" is a separator.
class MenuItem : public Control {
  public:
    MenuItem(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::Menu; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }
    bool Separator() const { return caption_ == "-"; }

  private:
    std::string caption_;
    bool checked_ = false;
};

// The web-browser control. There is no page renderer here: every address it goes to
// opens in the user's own browser through the shell, while the control keeps its
// history and raises its events as a browser would, on the next message pump.
class WebBrowser : public Control {
  public:
    WebBrowser(Form& form, std::string name, int index = -1);
    ~WebBrowser() override;
    ControlKind Kind() const override { return ControlKind::WebBrowser; }
    bool CanFocus() const override { return true; }

    void Navigate(const std::string& address);
    void GoBack();
    void GoForward();
    void Refresh();
    void GoSearch();
    void Stop();
    bool Busy() const { return busy_; }
    const std::string& LocationURL() const { return location_; }
    // No page title is known, so the name is the address.
    const std::string& LocationName() const { return location_; }
    const std::vector<std::string>& History() const { return history_; }
    int HistoryPosition() const { return position_; }

    std::function<void(const std::string& address)> NavigateComplete2;
    std::function<void()> DownloadComplete;

    static constexpr const char* SearchPage = "https://duckduckgo.com/";

  private:
    void Open(const std::string& address);
    void Reached(const std::string& address);
    std::vector<std::string> history_;
    int position_ = -1;
    std::string location_;
    bool busy_ = false;
    int generation_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The Internet transfer control: one synchronous HTTP request.
class Inet : public Control {
  public:
    Inet(Form& form, std::string name, int index = -1);
    ControlKind Kind() const override { return ControlKind::Inet; }
    double RequestTimeout() const { return timeout_; }
    void SetRequestTimeout(double seconds) { timeout_ = seconds; }
    // The body of a 200 answer; "" for anything else (no server, time-out, error status).
    std::string OpenURL(const std::string& address);

  private:
    double timeout_ = 3.0;
};

}  // namespace quorvel::forms
