#include "shell/gamepad_test.h"

#include "platform/system/convert.h"
#include "platform/system/msgbox.h"

namespace quorvel {

GamePadMapForm GamePadMap;

GamePadMapForm::GamePadMapForm() : Form("GamePadMap") {
    SetCaption("Form1");
    SetBorder(forms::BorderStyle::Sizable);
    Move(0, 0, 4680, 3195);
    Command2.SetCaption("JoyStick Button 1");
    Command2.Move(240, 240, 1935, 495);
    Text1.SetText("Text1");
    Text1.Move(2400, 300, 1935, 375);
    comAdapters.SetText("Select Your Video Card");
    comAdapters.Move(240, 960, 4095, 315);
    Command1.SetCaption("Done");
    Command1.Move(3120, 2280, 1215, 375);
    Timer1.SetInterval(50);

    Timer1.Tick = [this] { Timer1_Timer(); };
    Command2.Click = [this] { Command2_Click(); };
    Command1.Click = [this] { Command1_Click(); };
}

void GamePadMapForm::Form_Load() {
    Input = std::make_unique<EngineInput>();
    Input->OpenGamePad(1);
    Input->EnableGamePad(true);
    PadState = Input->GetGamePadState();
    sys::MessageBox(Input->GetGamePadText(1), Caption());
}

void GamePadMapForm::Timer1_Timer() {
    Input->OpenGamePad(1);
    PadState = Input->GetGamePadState();
    Text1.SetText(std::to_string(PadState.Buttons[0]));
    Text1.SetText(sys::IntText(static_cast<long long>(Ticks + 1)));
    Ticks += 1;
}

void GamePadMapForm::Command2_Click() {
    PadState = Input->GetGamePadState();
    Text1.SetText(std::to_string(PadState.X));
}

void GamePadMapForm::Command1_Click() {
    Hide();
}

}  // namespace quorvel
