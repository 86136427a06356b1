#include "shell/browser.h"

#include <algorithm>

#include "shell/maker.h"

namespace quorvel {

using forms::RGB;

BrowserForm frmBrowser;

std::string ProductPage() {
    return MakerSite + "/veltor/";
}

BrowserForm::BrowserForm() : Form("frmBrowser") {
    SetBorder(forms::BorderStyle::SizableToolWindow);
    SetBackColor(RGB(192, 192, 255));
    SetStartPosition(forms::StartUpPosition::CenterScreen);
    Move(0, 0, 10260, 7740);

    const char* keys[] = {"Back", "Forward", "Refresh", "Home", "Search", "Stop"};
    for (const char* key : keys) {
        imlToolbarIcons.Add(key, "");
        tbToolBar.AddButton({key, key, key, true});
    }
    tbToolBar.SetImageList(imlToolbarIcons);
    tbToolBar.Move(0, 0, 10260, 390);

    picAddress.Move(0, 390, 10260, 675);
    lblAddress.SetContainer(picAddress);
    lblAddress.SetCaption("&Address:");
    lblAddress.Move(45, 60, 3075, 240);
    cboAddress.SetContainer(picAddress);
    cboAddress.SetEditable(true);
    cboAddress.Move(45, 300, 3795, 315);
    brwWebBrowser.Move(50, 1115, 10160, 6525);
    timTimer.SetInterval(5);
    timTimer.SetEnabled(false);
    Command1.SetCaption("Command1");
    Command1.SetVisible(false);

    brwWebBrowser.DownloadComplete = [this] { brwWebBrowser_DownloadComplete(); };
    brwWebBrowser.NavigateComplete2 = [this](const std::string& url) {
        brwWebBrowser_NavigateComplete2(url);
    };
    cboAddress.Click = [this] { cboAddress_Click(); };
    cboAddress.KeyPress = [this](int& ascii) { cboAddress_KeyPress(ascii); };
    timTimer.Tick = [this] { timTimer_Timer(); };
    tbToolBar.ButtonClick = [this](const forms::ToolbarButton& b) { tbToolBar_ButtonClick(b); };
}

void BrowserForm::Form_Load() {
    Show();
    Form_Resize();
    cboAddress.SetLeft(50);
    cboAddress.SetTop(lblAddress.Top() + lblAddress.Height() + 15);
    if (StartingAddress.empty()) return;
    cboAddress.SetText(StartingAddress);
    cboAddress.AddItem(StartingAddress);
    timTimer.SetEnabled(true);
    brwWebBrowser.Navigate(StartingAddress);
}

void BrowserForm::Form_Resize() {
    cboAddress.SetWidth(ScaleWidth() - 100);
    brwWebBrowser.SetWidth(ScaleWidth() - 100);
    brwWebBrowser.SetHeight(ScaleHeight() - (picAddress.Top() + picAddress.Height()) - 100);
}

void BrowserForm::brwWebBrowser_DownloadComplete() {
    SetCaption(brwWebBrowser.LocationName());
}

void BrowserForm::brwWebBrowser_NavigateComplete2(const std::string& URL) {
    const auto& items = cboAddress.Items();
    if (std::find(items.begin(), items.end(), URL) == items.end()) cboAddress.AddItem(URL);
}

void BrowserForm::cboAddress_Click() {
    timTimer.SetEnabled(true);
    brwWebBrowser.Navigate(cboAddress.Text());
}

void BrowserForm::cboAddress_KeyPress(int& KeyAscii) {
    if (KeyAscii == forms::keys::Return) cboAddress_Click();
}

void BrowserForm::timTimer_Timer() {
    if (brwWebBrowser.Busy()) {
        SetCaption("Working...");
        return;
    }
    SetCaption(brwWebBrowser.LocationName());
    timTimer.SetEnabled(false);
}

void BrowserForm::tbToolBar_ButtonClick(const forms::ToolbarButton& Button) {
    timTimer.SetEnabled(true);
    if (Button.Key == "Back") {
        brwWebBrowser.GoBack();
    } else if (Button.Key == "Forward") {
        brwWebBrowser.GoForward();
    } else if (Button.Key == "Refresh") {
        brwWebBrowser.Refresh();
    } else if (Button.Key == "Home") {
        brwWebBrowser.Navigate(ProductPage());
    } else if (Button.Key == "Search") {
        brwWebBrowser.GoSearch();
    } else if (Button.Key == "Stop") {
        brwWebBrowser.Stop();
        timTimer.SetEnabled(false);
        SetCaption(brwWebBrowser.LocationName());
    }
}

}  // namespace quorvel
