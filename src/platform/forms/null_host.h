#pragma once
// The forms host without a window: nothing is drawn, and a test plays the player.
//
// Creating a NullHost makes it the forms host and routes sys::PumpMessages() to
// forms::DoEvents(). A test acts directly (Click, Choose, PressKey, ...) or, for
// moments inside a modal form's loop, scripts steps that run from the message pump,
// one per pump, in order, each once its condition holds:
//
//     host.When([] { return InitialLevel.Visible(); }, [&] { host.Click(InitialLevel.Command1); });
//     VeltorInitial.cmdControl_Click(0);   // returns after the script pressed "GO!!!"
//
// A modal form that waits while nothing in the script runs for a long stretch is a
// test that would hang; the host throws instead.

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/host.h"

namespace quorvel::forms {

struct ModalStall : std::runtime_error {
    ModalStall() : std::runtime_error("a modal form waits and the test scripted nothing that runs") {}
};

class NullHost : public FormsHost {
  public:
    NullHost();
    ~NullHost() override;
    NullHost(const NullHost&) = delete;
    NullHost& operator=(const NullHost&) = delete;

    void Pump() override;
    ScreenInfo Screen() const override { return screen_; }
    void SetScreen(int widthPixels, int heightPixels, int twipsPerPixel = 15);
    std::optional<std::string> ChooseFile(const CommonDialog& dialog) override;
    void SetFileChoice(std::optional<std::string> file) { fileChoice_ = std::move(file); }

    // ---- script ----
    void When(std::function<bool()> ready, std::function<void()> action);
    void Then(std::function<void()> action) { When(nullptr, std::move(action)); }
    bool ScriptDone() const { return script_.empty(); }
    // Pumps a modal form may wait with no step run before ModalStall is thrown.
    void SetStallLimit(int pumps) { stallLimit_ = pumps; }
    int Pumps() const { return pumps_; }

    // ---- the player; false when the target cannot take input now ----
    bool Click(Control& control);
    bool Choose(ComboBox& combo, int index);
    bool Slide(Slider& slider, int value);
    bool PressToolbarButton(Toolbar& toolbar, const std::string& key);
    // A key to the active form; letters and digits type their character.
    bool PressKey(int keyCode, int shift = 0);
    // Types text into the active form, one key per character.
    bool Type(const std::string& text);
    // The player clicks a form's window.
    bool ActivateForm(Form& form);

  private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> action;
    };
    bool Reach(Control& control);
    bool Key(int keyCode, int shift, int character);

    ScreenInfo screen_;
    std::optional<std::string> fileChoice_;
    std::deque<Step> script_;
    int pumps_ = 0;
    int idlePumps_ = 0;
    int stallLimit_ = 5000;
};

}  // namespace quorvel::forms
