#pragma once
// The launch pad, the game's start-up window: display adapter and mode, options,
// the version check, start and exit. Its load shows the splash and the tip of the
// day; its start button starts the engine on the render window and hands over to
// the main menu.

#include <memory>

#include "platform/engine/engine.h"
#include "platform/forms/controls.h"

namespace quorvel {

class VeltorInitialForm : public forms::Form {
  public:
    VeltorInitialForm();

    // Fills the mode list of the selected adapter and restores the saved settings.
    void GetDisplayModes();
    void CheckVersion();
    void comAdapters_Click();
    void cmdControl_Click(int Index);
    void cmdExit_Click();
    void Optionsbtn_Click();
    void Command2_Click();
    void OpenForum();

    std::unique_ptr<EngineCore> Engine;
    std::unique_ptr<EngineInput> Control;
    std::unique_ptr<EngineFrame> Pipeline;
    std::unique_ptr<EngineDisplayModes> Enumeration;
    std::unique_ptr<EngineDraw2D> Interface5D;
    std::unique_ptr<EngineMath> Helper;

    forms::Image Image1{*this, "Image1"};
    forms::ComboBox comAdapters{*this, "comAdapters"};
    forms::ComboBox comModes{*this, "comModes"};
    forms::ControlArray<forms::Button> cmdControl{*this, "cmdControl"};
    forms::Button cmdExit{*this, "cmdExit", 1};
    forms::Button Optionsbtn{*this, "Optionsbtn"};
    forms::Button Command2{*this, "Command2"};
    forms::Label Label5{*this, "Label5"};
    forms::Inet Inet1{*this, "Inet1"};

  protected:
    void Form_Initialize() override;
    void Form_Load() override;
    void Form_Activate() override;
};

extern VeltorInitialForm VeltorInitial;

// The window the engine draws into. The program never shows it; the engine's start
// presents it in the chosen mode.
class GameWindowForm : public forms::Form {
  public:
    GameWindowForm();
};

extern GameWindowForm GameWindow;

// Whether the version check's reply names a release newer than this one.
bool IsNewerVersion(const std::string& reply);

}  // namespace quorvel
