#pragma once
// The forms host of the real program: every visible form drawn with Dear ImGui in the
// game's one window, and the player's mouse and keyboard turned into the controls'
// User... calls, as the null host does for tests.
//
// While only forms are up, the window is sized to the main form (the launch pad) and
// stands where that form stands on the screen; the other forms are drawn where they
// lie relative to it, kept inside the window, on a plain background. Once the engine
// runs in the window, only the dialogs that stand above the render window (topmost or
// modal forms) are drawn, over the 3D view, and the system pointer shows while one is
// open.
//
// Drawing and acting are kept apart: a click found while drawing runs after the frame
// has been shown, from the message pump, because an event handler may open a modal
// form or never return. Keys go straight to the active form's UserKey, so Tab, Enter
// and Escape work as on Windows and no key press is lost between two frames.

#include <memory>
#include <optional>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/host.h"

namespace quorvel::sdl {

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
};

class ImGuiFormsHost final : public forms::FormsHost {
  public:
    // Becomes the forms host: hooks the window's events and overlay, makes the pump tail
    // run forms::DoEvents(), and follows the engine's display start. InstallSdlBackEnd()
    // comes first.
    ImGuiFormsHost();
    ~ImGuiFormsHost() override;
    ImGuiFormsHost(const ImGuiFormsHost&) = delete;
    ImGuiFormsHost& operator=(const ImGuiFormsHost&) = delete;

    // The window and its OpenGL context exist and ImGui can draw in them.
    bool Ready() const;

    // The form that the window frames while only forms are up.
    void SetMainForm(forms::Form* form);

    void Pump() override;
    forms::ScreenInfo Screen() const override;
    void FormShown(forms::Form& form) override;
    void FormHidden(forms::Form& form) override;
    void FormActivated(forms::Form& form) override;
    void CursorVisibilityChanged(bool visible) override;

    // Frames drawn so far.
    int Frames() const;
    // Where the last frame drew a form (with its frame), a control, or a part of one
    // (part n: the n-th drop-down entry, the n-th toolbar button, the n-th item of a
    // menu), in window pixels.
    std::optional<PixelRect> WhereDrawn(const forms::Form& form) const;
    std::optional<PixelRect> WhereDrawn(const forms::Control& control, int part = -1) const;
    // Draws and shows a frame now and reads the window's pixels back (RGBA, rows from
    // the top). False when nothing could be drawn.
    bool Capture(std::vector<unsigned char>& rgba, int& width, int& height);

    struct Impl;

  private:
    std::shared_ptr<Impl> impl_;
};

}  // namespace quorvel::sdl
