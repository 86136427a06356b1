#pragma once
// The two start-up dialogs of the launch pad: the splash shown while it loads, and
// the tip of the day, one random line of "TIPOFDAY.TXT".

#include <string>
#include <vector>

#include "platform/forms/controls.h"

namespace quorvel {

inline constexpr const char* TipsFile = "TIPOFDAY.TXT";

class TipForm : public forms::Form {
  public:
    TipForm();

    // Reads the tips (one per line, empty lines too) and shows a random one; false
    // when there is no file at the path.
    bool LoadTips(const std::string& path);
    void DoNextTip();
    void DisplayCurrentTip();
    void cmdNextTip_Click();
    void chkLoadTipsAtStartup_Click();
    void cmdOK_Click();

    const std::vector<std::string>& Tips() const { return tips_; }

    forms::PictureBox Picture1{*this, "Picture1"};
    forms::Label Label1{*this, "Label1"};
    forms::Label lblTipText{*this, "lblTipText"};
    forms::CheckBox chkLoadTipsAtStartup{*this, "chkLoadTipsAtStartup"};
    forms::Button cmdNextTip{*this, "cmdNextTip"};
    forms::Button cmdOK{*this, "cmdOK"};

  protected:
    void Form_Load() override;

  private:
    std::vector<std::string> tips_;
    int current_ = 0;  // 1-based; 0 before the first tip
};

extern TipForm frmTip;

class SplashForm : public forms::Form {
  public:
    SplashForm();

    forms::Image Image1{*this, "Image1"};
    forms::Label lblCompanyProduct{*this, "lblCompanyProduct"};
    forms::Label Label2{*this, "Label2"};

  protected:
    void Form_Load() override;
    void Form_KeyPress(int& KeyAscii) override;
};

extern SplashForm frmSplash;

}  // namespace quorvel
