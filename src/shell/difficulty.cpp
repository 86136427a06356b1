#include "shell/difficulty.h"

#include "platform/system/paths.h"
#include "common/common.h"

namespace quorvel {

using forms::RGB;

InitialLevelForm InitialLevel;

InitialLevelForm::InitialLevelForm() : Form("InitialLevel") {
    SetCaption("Choose Difficulty");
    SetBorder(forms::BorderStyle::None);
    SetBackColor(RGB(224, 224, 224));
    SetStartPosition(forms::StartUpPosition::CenterOwner);
    Move(0, 0, 3960, 6090);
    Image1.Move(0, 0, 3960, 6090);
    Image1.SetToolTipText("Pick a Difficulty level.");

    const char* hints[] = {"Easy--relax through the game.", "Mild--the casual player.",
                           "Just right for a First Person Gamer.", "Tough--You play too many games.",
                           "That's crazy talk!"};
    for (int i = 0; i < 5; ++i) {
        forms::OptionButton& option = Option1.Add(i);
        option.SetGraphical(true);
        option.SetBackColor(RGB(0, 0, 255));
        option.Move(600, 1920 + 600 * i, 375, 255);
        option.SetToolTipText(hints[i]);
        option.Click = [this, i] { Option1_Click(i); };
    }

    Command1.SetCaption("GO!!!");
    Command1.SetFont("Arial Black", false);
    Command1.SetBackColor(RGB(224, 224, 224));
    Command1.Move(1200, 4800, 1335, 375);
    Command1.SetToolTipText("If you're new to first person shooter games, choose the top one.");
    Command1.Click = [this] { Command1_Click(); };
}

void InitialLevelForm::Form_Load() {
    // The picture names each level beside its button, which has no caption.
    Image1.SetPicture(sys::ProgramFolder() + "\\tex\\difficulty.jpg");
    Options.Load();
    const int element = Options.Difficulty.Value() - 1;
    if (Option1.Has(element)) Option1(element).SetValue(true);
}

void InitialLevelForm::Form_Activate() {
    Command1.SetFocus();
}

void InitialLevelForm::Option1_Click(int) {
    for (int i = 0; i < 5; ++i) {
        if (!Option1(i).Value()) continue;
        chosen_ = i + 1;
        Options.Difficulty.SetValue(chosen_);
    }
}

void InitialLevelForm::Command1_Click() {
    Options.Difficulty.SetValue(chosen_);
    WriteSettingFile(DifficultyFile, Options.Difficulty.Value());
    Hide();
}

}  // namespace quorvel
