#include "common/options.h"

#include "platform/system/convert.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "common/settings_files.h"

namespace quorvel {

using forms::RGB;

OptionsForm Options;
KeyMappingForm frmKeyMapping;

OptionsForm::OptionsForm() : Form("Options") {
    SetCaption("Game Options");
    SetBorder(forms::BorderStyle::None);
    SetBackColor(RGB(0, 0, 192));
    SetStartPosition(forms::StartUpPosition::CenterScreen);
    Move(0, 0, 7680, 5760);
    Image1.Move(0, 0, 7680, 5760);
    Image1.SetStretch(true);

    const auto slider = [](forms::Slider& s, int min, int max, int value, const char* hint) {
        s.SetRange(min, max);
        s.SetValue(value);
        s.SetSteps(1, 5);
        s.SetToolTipText(hint);
    };
    slider(Graphics, 1, 2, 2, "Use low setting to improve game performance, High for better quality");
    Graphics.Move(5160, 525, 1500, 375);
    slider(Slider1, 3, 23, 13,
           "Mouse/Game Pad Sensitivity - Use + or - within the game to adjust this setting");
    Slider1.Move(4635, 1980, 2595, 375);
    slider(Difficulty, 1, 5, 2,
           "Game Difficulty Setting - Effects the speed of asteroids, aliens, and money earned");
    Difficulty.Move(4680, 3210, 2595, 375);

    // Lies under the detail slider: readable only once that slider is hidden.
    Label2.SetCaption("Cannot change while game running");
    Label2.Move(5220, 540, 1455, 375);
    Label1.SetCaption("Set this to low if you have problems or an older video card");
    Label1.Move(4770, 960, 2415, 495);
    // Readable on the dialog's blue.
    Label1.SetForeColor(RGB(255, 255, 255));
    Label2.SetForeColor(RGB(255, 255, 255));

    // Each caption ends where the next control begins, so none runs under a slider. The
    // tip box's caption takes two lines beside its box, clear of the detail note; the
    // "^" stands before "In Game use +/-", pointing up at the slider the keys move.
    struct Caption {
        int index;
        const char* text;
        int left, top, width, height;
    };
    const Caption captions[] = {
        {10, "Low", 4530, 585, 630, 255},         {9, "High", 6735, 630, 900, 255},
        {1, "Startup Tips", 3840, 930, 810, 420}, {0, "'G' in game", 3840, 1920, 780, 255},
        {4, "Less", 4635, 2355, 525, 255},        {2, "More", 6900, 2355, 735, 255},
        {5, "^", 5160, 2385, 180, 255},           {11, "In Game use +/-", 5370, 2355, 1500, 255},
        {6, "Easy", 4680, 3585, 990, 255},        {7, "Normal", 5670, 3585, 1110, 255},
        {8, "Hard", 6780, 3585, 855, 255},
    };
    for (const Caption& c : captions) {
        forms::Label& label = lblLabel.Add(c.index);
        label.SetCaption(c.text);
        label.Move(c.left, c.top, c.width, c.height);
        label.SetForeColor(RGB(255, 255, 255));
    }

    Check1.Move(3600, 1020, 195, 255);
    GamePadCheck.SetCaption("GamePad");
    GamePadCheck.SetToolTipText("Check this box to use a gamepad.");
    GamePadCheck.Move(3585, 1920, 192, 210);
    ParticleCheck.SetValue(1);
    ParticleCheck.SetToolTipText(
        "Checked will enable high quality particle effects, Unchecked will improve performance");
    ParticleCheck.Move(3600, 3180, 192, 210);

    Command1.SetCaption("Done");
    Command1.Move(5370, 4740, 1572, 372);
    Command2.SetCaption("Command2");
    Command2.Move(720, 4560, 1935, 555);
    Command2.SetVisible(false);

    Check1.Click = [this] { Check1_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
}

void OptionsForm::Form_Load() {
    Image1.SetPicture(sys::ProgramFolder() + "\\tex\\options.jpg");
    Check1.SetValue(TipsAtStartup() ? 1 : 0);
}

void OptionsForm::Check1_Click() {
    SaveTipsAtStartup(Check1.Value());
}

void OptionsForm::Command1_Click() {
    WriteSettingFile(ParticlesFile, ParticleCheck.Value());
    WriteSettingFile(GamePadFile, GamePadCheck.Value());
    WriteSettingFile(GraphicsFile, Graphics.Value());
    WriteSettingFile(MouseSensFile, Slider1.Value());
    WriteSettingFile(DifficultyFile, Difficulty.Value());
    Hide();
}

void OptionsForm::Command2_Click() {
    frmKeyMapping.Show(forms::ShowMode::Modal, this);
}

KeyMappingForm::KeyMappingForm() : Form("frmKeyMapping") {
    SetCaption("Veltor - Key Mapping");
    SetBorder(forms::BorderStyle::FixedToolWindow);
    SetBackColor(RGB(0, 0, 64));
    SetStartPosition(forms::StartUpPosition::CenterScreen);
    Move(0, 0, 7680, 5745);

    Label6.SetCaption("Press the key you want for this action.");
    Label6.Move(1193, 180, 5295, 375);
    Label6.SetForeColor(RGB(255, 255, 255));
    Label6.SetVisible(false);

    forms::Label* labels[] = {&Label1, &Label2, &Label3, &Label4};
    forms::TextBox* texts[] = {&Text1, &Text2, &Text3, &Text4};
    const char* actions[] = {"Move Forward", "Move Backward", "Strafe Left", "Strafe Right"};
    const char* keys[] = {"W", "S", "A", "D"};
    for (int i = 0; i < 4; ++i) {
        const int top = 780 + 420 * i;
        labels[i]->SetCaption(actions[i]);
        labels[i]->SetForeColor(RGB(255, 255, 255));
        labels[i]->Move(240, top, 1935, 315);
        texts[i]->SetText(keys[i]);
        texts[i]->SetBackColor(RGB(224, 224, 224));
        texts[i]->Move(2340, top, 255, 315);
    }
    Command1.SetCaption("Command1");
    Command1.Move(4680, 3900, 1215, 375);
    Timer1.SetInterval(50);

    Text1.Click = [this] { Text1_Click(); };
    Text1.GotFocus = [this] { Text1_GotFocus(); };
    Text1.KeyPress = [this](int& ascii) { Text1_KeyPress(ascii); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    Command1.Click = [this] { Command1_Click(); };
}

void KeyMappingForm::Text1_Click() {
    Text1.SetTag(Text1.Text());
    Text1.SetText("");
    Label6.SetVisible(true);
}

void KeyMappingForm::Text1_GotFocus() {
    Text1_Click();
}

void KeyMappingForm::Text1_KeyPress(int& KeyAscii) {
    Label6.SetVisible(false);
    if (KeyAscii == forms::keys::Escape)
        Text1.SetText(Text1.Tag());
    else
        capturedKey_ = std::string(1, static_cast<char>(KeyAscii));
}

void KeyMappingForm::Timer1_Timer() {
    Text1.SetText(capturedKey_);
}

void KeyMappingForm::Command1_Click() {
    Hide();
}

void ShowOptionsDialog() {
    forms::ShowCursor(true);
    Options.Load();
    Options.SetTopmost(true);
    // The detail level is read when a scene is built; it cannot change over one.
    Options.Graphics.SetVisible(false);
    if (!Options.Visible()) Options.Show(forms::ShowMode::Modal);
    forms::ShowCursor(false);
    sys::PumpMessages();
}

}  // namespace quorvel
