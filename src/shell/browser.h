#pragma once
// A small web-browser window: address list, toolbar and the browser control, which
// opens every page in the user's own browser. No path of the game opens it; code
// that wants it sets StartingAddress and shows it.

#include <string>

#include "platform/forms/controls.h"

namespace quorvel {

class BrowserForm : public forms::Form {
  public:
    BrowserForm();

    // Where the browser goes when it loads; empty for nowhere.
    std::string StartingAddress;

    void brwWebBrowser_DownloadComplete();
    void brwWebBrowser_NavigateComplete2(const std::string& URL);
    void cboAddress_Click();
    void cboAddress_KeyPress(int& KeyAscii);
    void timTimer_Timer();
    void tbToolBar_ButtonClick(const forms::ToolbarButton& Button);

    forms::ImageList imlToolbarIcons{*this, "imlToolbarIcons"};
    forms::Toolbar tbToolBar{*this, "tbToolBar"};
    forms::PictureBox picAddress{*this, "picAddress"};
    forms::Label lblAddress{*this, "lblAddress"};
    forms::ComboBox cboAddress{*this, "cboAddress"};
    forms::WebBrowser brwWebBrowser{*this, "brwWebBrowser"};
    forms::Timer timTimer{*this, "timTimer"};
    forms::Button Command1{*this, "Command1"};

  protected:
    void Form_Load() override;
    void Form_Resize() override;
};

extern BrowserForm frmBrowser;

// The maker's product page, where the toolbar's Home button goes.
std::string ProductPage();

}  // namespace quorvel
