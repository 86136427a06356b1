#pragma once
// The difficulty dialog that the start button shows modally before the game starts.

#include "platform/forms/controls.h"

namespace quorvel {

class InitialLevelForm : public forms::Form {
  public:
    InitialLevelForm();

    void Option1_Click(int Index);
    void Command1_Click();

    // The level picked, 1 to 5; 0 until an option has been selected.
    int ChosenDifficulty() const { return chosen_; }

    forms::Image Image1{*this, "Image1"};
    forms::ControlArray<forms::OptionButton> Option1{*this, "Option1"};
    forms::Button Command1{*this, "Command1"};

  protected:
    void Form_Load() override;
    void Form_Activate() override;

  private:
    int chosen_ = 0;
};

extern InitialLevelForm InitialLevel;

}  // namespace quorvel
