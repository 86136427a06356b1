#pragma once
// What the forms need from whatever shows them: the window back end draws the
// visible forms and turns the player's input into the controls' User... calls;
// the null host (null_host.h) stands in for tests and for a program without a window.

#include <optional>
#include <string>

#include "platform/forms/forms.h"

namespace quorvel::forms {

class CommonDialog;

class FormsHost {
  public:
    virtual ~FormsHost() = default;

    // One pass of the host's own work: read input, draw. Called from DoEvents().
    virtual void Pump() = 0;
    virtual ScreenInfo Screen() const = 0;

    // Window changes, for hosts that keep something per window.
    virtual void FormShown(Form& form) { (void)form; }
    virtual void FormHidden(Form& form) { (void)form; }
    virtual void FormActivated(Form& form) { (void)form; }
    virtual void CursorVisibilityChanged(bool visible) { (void)visible; }

    // The open-file dialog; nullopt when the player cancels.
    virtual std::optional<std::string> ChooseFile(const CommonDialog& dialog) {
        (void)dialog;
        return std::nullopt;
    }
};

}  // namespace quorvel::forms
