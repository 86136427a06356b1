#pragma once
// The options dialog, whose controls are the game's live settings (the main menu
// and the game run read ParticleCheck, GamePadCheck, Graphics, Slider1 and
// Difficulty directly), and the key-capture dialog behind its hidden button.

#include <string>

#include "platform/forms/controls.h"

namespace quorvel {

class OptionsForm : public forms::Form {
  public:
    OptionsForm();

    void Check1_Click();
    void Command1_Click();
    void Command2_Click();

    forms::Image Image1{*this, "Image1"};
    forms::Slider Graphics{*this, "Graphics"};
    forms::Label Label2{*this, "Label2"};
    forms::Label Label1{*this, "Label1"};
    forms::ControlArray<forms::Label> lblLabel{*this, "lblLabel"};
    forms::CheckBox Check1{*this, "Check1"};
    forms::CheckBox GamePadCheck{*this, "GamePadCheck"};
    forms::Slider Slider1{*this, "Slider1"};
    forms::Slider Difficulty{*this, "Difficulty"};
    forms::CheckBox ParticleCheck{*this, "ParticleCheck"};
    forms::Button Command1{*this, "Command1"};
    forms::Button Command2{*this, "Command2"};

  protected:
    void Form_Load() override;
};

extern OptionsForm Options;

class KeyMappingForm : public forms::Form {
  public:
    KeyMappingForm();

    void Text1_Click();
    void Text1_GotFocus();
    void Text1_KeyPress(int& KeyAscii);
    void Timer1_Timer();
    void Command1_Click();

    // The key caught last, as one character; empty until the first.
    const std::string& CapturedKey() const { return capturedKey_; }

    forms::Label Label6{*this, "Label6"};
    forms::Label Label1{*this, "Label1"};
    forms::Label Label2{*this, "Label2"};
    forms::Label Label3{*this, "Label3"};
    forms::Label Label4{*this, "Label4"};
    forms::TextBox Text1{*this, "Text1"};
    forms::TextBox Text2{*this, "Text2"};
    forms::TextBox Text3{*this, "Text3"};
    forms::TextBox Text4{*this, "Text4"};
    forms::Button Command1{*this, "Command1"};
    forms::Timer Timer1{*this, "Timer1"};

  private:
    std::string capturedKey_;
};

extern KeyMappingForm frmKeyMapping;

// The options dialog over the 3D view: pointer shown, dialog on top without its
// detail slider, shown modally; returns when it is closed.
void ShowOptionsDialog();

}  // namespace quorvel
