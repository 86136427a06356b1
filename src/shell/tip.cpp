#include "shell/tip.h"

#include "platform/system/paths.h"
#include "platform/system/safe_file.h"
#include "platform/system/random.h"
#include "common/common.h"

namespace quorvel {

using forms::RGB;

TipForm frmTip;
SplashForm frmSplash;

TipForm::TipForm() : Form("frmTip") {
    SetCaption("Veltor - Tip of the Day");
    SetBorder(forms::BorderStyle::FixedToolWindow);
    SetBackColor(RGB(0, 0, 128));
    SetStartPosition(forms::StartUpPosition::CenterScreen);
    Move(0, 0, 5415, 3285);

    Picture1.Move(120, 120, 3795, 2715);
    Picture1.SetBackColor(RGB(255, 255, 255));
    Label1.SetContainer(Picture1);
    Label1.SetCaption("Did you know...");
    Label1.SetForeColor(RGB(0, 0, 192));
    Label1.SetBackColor(RGB(255, 255, 255));
    Label1.Move(540, 180, 2655, 255);
    lblTipText.SetContainer(Picture1);
    lblTipText.SetForeColor(RGB(0, 0, 128));
    lblTipText.SetBackColor(RGB(255, 255, 255));
    lblTipText.Move(60, 540, 3555, 2055);

    chkLoadTipsAtStartup.SetCaption("&Show Tips at Startup");
    chkLoadTipsAtStartup.SetForeColor(RGB(255, 255, 255));
    chkLoadTipsAtStartup.SetBackColor(RGB(0, 0, 128));
    chkLoadTipsAtStartup.Move(120, 2940, 2055, 315);
    cmdNextTip.SetCaption("&Next Tip");
    cmdNextTip.Move(4080, 600, 1215, 375);
    cmdOK.SetCaption("OK");
    cmdOK.Move(4080, 120, 1215, 375);
    cmdOK.SetDefault(true);
    cmdOK.SetCancel(true);

    cmdNextTip.Click = [this] { cmdNextTip_Click(); };
    chkLoadTipsAtStartup.Click = [this] { chkLoadTipsAtStartup_Click(); };
    cmdOK.Click = [this] { cmdOK_Click(); };
}

void TipForm::Form_Load() {
    if (!TipsAtStartup()) {
        Unload();
        return;
    }
    chkLoadTipsAtStartup.SetValue(1);
    sys::Randomize();
    if (!LoadTips(sys::ProgramFolder() + "\\" + TipsFile)) {
        lblTipText.SetCaption(std::string("That the ") + TipsFile + " file was not found? \r\n\r\n" +
                              "Create a text file named " + TipsFile +
                              " using NotePad with 1 tip per line. " +
                              "Then place it in the same directory as the application. ");
    }
}

bool TipForm::LoadTips(const std::string& path) {
    if (path.empty() || !sys::FileExists(path)) return false;
    // A regular file of sensible size only: a FIFO or a device would hang the start.
    const auto bytes = sys::ReadRegularFile(sys::ResolvePath(path), 1024 * 1024);
    if (!bytes) return false;
    tips_ = sys::SplitLines(*bytes);
    DoNextTip();
    return true;
}

void TipForm::DoNextTip() {
    if (tips_.empty()) return;
    current_ = static_cast<int>(sys::Rnd() * static_cast<double>(tips_.size()) + 1.0);
    DisplayCurrentTip();
}

void TipForm::DisplayCurrentTip() {
    if (tips_.empty() || current_ < 1) return;
    lblTipText.SetCaption(tips_[static_cast<size_t>(current_ - 1)]);
}

void TipForm::cmdNextTip_Click() {
    DoNextTip();
}

void TipForm::chkLoadTipsAtStartup_Click() {
    SaveTipsAtStartup(chkLoadTipsAtStartup.Value());
}

void TipForm::cmdOK_Click() {
    Unload();
}

SplashForm::SplashForm() : Form("frmSplash") {
    SetBorder(forms::BorderStyle::FixedDialog);
    SetStartPosition(forms::StartUpPosition::CenterScreen);
    Move(0, 0, 7155, 5790);
    Image1.Move(0, 0, 7155, 5790);
    Image1.SetStretch(true);
    lblCompanyProduct.SetCaption("Narvo Games presents");
    lblCompanyProduct.SetFont("Arial", true);
    lblCompanyProduct.SetForeColor(RGB(192, 0, 0));
    lblCompanyProduct.Move(1560, 0, 4095, 495);
    Label2.SetCaption("Loading....");
    Label2.SetFont("Arial", true);
    Label2.SetForeColor(RGB(192, 0, 0));
    Label2.Move(1260, 5220, 4695, 375);
}

void SplashForm::Form_Load() {
    Image1.SetPicture(sys::ProgramFolder() + "\\tex\\splash.jpg");
}

void SplashForm::Form_KeyPress(int&) {
    Unload();
}

}  // namespace quorvel
