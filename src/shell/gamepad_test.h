#pragma once
// A small test window for the game pad: raw values of pad 1, refreshed every 50 ms.
// No path of the game opens it; it is kept for checking a pad by hand.

#include <memory>

#include "platform/engine/engine.h"
#include "platform/forms/controls.h"

namespace quorvel {

class GamePadMapForm : public forms::Form {
  public:
    GamePadMapForm();

    void Timer1_Timer();
    void Command2_Click();
    void Command1_Click();

    forms::Button Command2{*this, "Command2"};
    forms::TextBox Text1{*this, "Text1"};
    forms::ComboBox comAdapters{*this, "comAdapters"};
    forms::Button Command1{*this, "Command1"};
    forms::Timer Timer1{*this, "Timer1"};

    // The form's own input handle; it leaves the shared engine objects alone, so
    // opening it while the game runs cannot disturb the running engine.
    std::unique_ptr<EngineInput> Input;
    GamePadState PadState{};
    double Ticks = 0;

  protected:
    void Form_Load() override;
};

extern GamePadMapForm GamePadMap;

}  // namespace quorvel
