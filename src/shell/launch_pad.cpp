#include "shell/launch_pad.h"

#include <algorithm>
#include <cctype>

#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "platform/system/msgbox.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/shell.h"
#include "shell/difficulty.h"
#include "shell/main_menu.h"
#include "shell/shell.h"
#include "shell/maker.h"
#include "shell/tip.h"

namespace quorvel {

using forms::RGB;

VeltorInitialForm VeltorInitial;
GameWindowForm GameWindow;

namespace {

std::string Trim(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t\r\n") + 1 - begin);
}

// The tip is not modal: the launch pad stays in use while it is open, so the tip
// stands beside it, the two centred together, instead of over its lists and
// buttons. On a screen too narrow for both, each stays centred.
void LayTipBeside(forms::Form& pad, forms::Form& tip) {
    const forms::ScreenInfo screen = forms::Screen();
    const int width = pad.Width() + tip.Width();
    if (width > screen.Width) return;
    pad.SetStartPosition(forms::StartUpPosition::Manual);
    pad.SetLeft((screen.Width - width) / 2);
    pad.SetTop((screen.Height - pad.Height()) / 2);
    tip.SetStartPosition(forms::StartUpPosition::Manual);
    tip.SetLeft(pad.Left() + pad.Width());
    tip.SetTop(pad.Top());
}

}  // namespace

bool IsNewerVersion(const std::string& reply) {
    // Digits with at most one point: anything else (an error page, junk) is no version.
    if (std::count(reply.begin(), reply.end(), '.') > 1) return false;
    for (const char c : reply)
        if (c != '.' && !std::isdigit(static_cast<unsigned char>(c))) return false;
    const auto number = sys::ParseNumber(reply);
    return number && *number > *sys::ParseNumber(ProgramVersion);
}

VeltorInitialForm::VeltorInitialForm() : Form("VeltorInitial") {
    SetCaption("Veltor - Launch Pad");
    SetBorder(forms::BorderStyle::FixedDialog);
    SetStartPosition(forms::StartUpPosition::CenterScreen);
    SetBackColor(RGB(0, 0, 0));
    Move(0, 0, 7710, 5775);
    Image1.Move(0, 0, 7680, 5760);
    Image1.SetStretch(true);

    comAdapters.SetText("Select Your Video Card");
    comAdapters.Move(2280, 3000, 3255, 315);
    comModes.SetToolTipText("Select Video Resolution, Use a lower setting for faster performance");
    comModes.Move(2280, 3480, 3255, 315);

    forms::Button& start = cmdControl.Add(0);
    start.SetCaption("Start");
    start.SetGraphical(true);
    start.SetToolTipText("Start the Game!");
    start.Move(2280, 4080, 1455, 495);
    start.Click = [this] { cmdControl_Click(0); };
    cmdExit.SetCaption("Exit");
    cmdExit.SetGraphical(true);
    cmdExit.SetToolTipText("Exit Veltor.");
    cmdExit.Move(4080, 4080, 1455, 495);
    cmdExit.Click = [this] { cmdExit_Click(); };
    Optionsbtn.SetCaption("Options");
    Optionsbtn.SetGraphical(true);
    Optionsbtn.Move(3180, 4800, 1455, 375);
    Optionsbtn.Click = [this] { Optionsbtn_Click(); };
    Command2.SetCaption("Update");
    Command2.SetGraphical(true);
    Command2.SetToolTipText("A New Update is now available, Click to download now.");
    Command2.Move(5880, 5160, 1455, 375);
    Command2.SetVisible(false);
    Command2.Click = [this] { Command2_Click(); };

    Label5.SetCaption(std::string("Version ") + ProgramVersion);
    Label5.SetForeColor(RGB(192, 192, 192));
    Label5.SetBackColor(RGB(0, 0, 0));
    Label5.Move(120, 5400, 5655, 255);
    // Start-up waits for the check: keep that wait short.
    Inet1.SetRequestTimeout(3.0);

    comAdapters.Click = [this] { comAdapters_Click(); };
}

void VeltorInitialForm::Form_Initialize() {
    GameWindow.Load();
    GameWindow.SetTopmost(true);
    Display.RenderWindow = GameWindow.Handle();
}

void VeltorInitialForm::Form_Load() {
    // The picture comes from the program folder, known only once the program runs.
    Image1.SetPicture(sys::ProgramFolder() + "\\tex\\launchpad.jpg");
    Engine = std::make_unique<EngineCore>();
    Control = std::make_unique<EngineInput>();
    Pipeline = std::make_unique<EngineFrame>();
    Enumeration = std::make_unique<EngineDisplayModes>();
    Interface5D = std::make_unique<EngineDraw2D>();
    Helper = std::make_unique<EngineMath>();
    sys::PumpMessages();

    frmSplash.Show();
    CheckVersion();
    frmSplash.Hide();

    Enumeration->Enumerate();
    const int adapters = Enumeration->GetAdapterCount();
    comAdapters.Clear();
    for (int i = 0; i < adapters; ++i)
        comAdapters.AddItem(Enumeration->GetAdapterName(i));
    if (comAdapters.ListCount() > 0) comAdapters.SetListIndex(0);

    if (TipsAtStartup()) LayTipBeside(*this, frmTip);
    frmTip.Show();  // does nothing when the tips are switched off
}

void VeltorInitialForm::Form_Activate() {
    cmdControl(0).SetFocus();
    LoadGameTexts();
}

void VeltorInitialForm::comAdapters_Click() {
    GetDisplayModes();
}

void VeltorInitialForm::GetDisplayModes() {
    const int adapter = comAdapters.ListIndex();
    if (adapter == -1 || !Enumeration) return;
    comModes.Clear();
    const int count = std::clamp(Enumeration->GetModeCount(adapter), 0, 255);
    int preferred = 0;
    for (int i = 0; i < count; ++i) {
        int width = 0, height = 0, depth = 0;
        // An entry per mode even if one cannot be read: the entry's place is the mode's number.
        Enumeration->GetMode(adapter, i, width, height, depth);
        comModes.AddItem(std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth));
        if (width == 1024) preferred = i;
    }
    if (count > 0) comModes.SetListIndex(count - 1);

    const std::string text = ReadTextFile(SettingPath(StartModeFile));
    if (text.empty()) {
        comModes.SetListIndex(preferred);
    } else if (const auto mode = sys::ToInt16(text); mode && *mode >= 0) {
        comModes.SetListIndex(*mode);  // beyond the list: rejected, the last entry stays
    }

    Options.Load();
    RestoreSetting(ParticlesFile, [](int v) { return Options.ParticleCheck.SetValue(v); });
    RestoreSetting(GamePadFile, [](int v) { return Options.GamePadCheck.SetValue(v); });
    RestoreSetting(GraphicsFile, [](int v) { return Options.Graphics.SetValue(v); });
    RestoreSetting(MouseSensFile, [](int v) { return Options.Slider1.SetValue(v); });
    RestoreSetting(DifficultyFile, [](int v) { return Options.Difficulty.SetValue(v); });
}

void VeltorInitialForm::CheckVersion() {
    const std::string reply = Trim(Inet1.OpenURL(MakerSite + "/veltor303/curversion.txt"));
    if (IsNewerVersion(reply)) {
        Command2.SetVisible(true);
        Label5.SetCaption(std::string("Current Version ") + ProgramVersion + "  -  Version " + reply +
                          " now available, click Update to download");
    } else {
        Label5.SetCaption(std::string("Version ") + ProgramVersion);
        Command2.SetVisible(false);
    }
}

void VeltorInitialForm::cmdControl_Click(int) {
    InitialLevel.Show(forms::ShowMode::Modal, this);
    sys::PumpMessages();
    const int adapter = comAdapters.ListIndex();
    const int mode = comModes.ListIndex();
    if (adapter < 0 || mode < 0) return;

    Engine = std::make_unique<EngineCore>();
    Control = std::make_unique<EngineInput>();
    Pipeline = std::make_unique<EngineFrame>();
    MeshObj = std::make_unique<EngineMeshes>();
    CameraObj = std::make_unique<EngineCameras>();
    MaterialObj = std::make_unique<EngineMaterials>();
    TextureObj = std::make_unique<EngineTextures>();
    Helper = std::make_unique<EngineMath>();
    Interface5D = std::make_unique<EngineDraw2D>();
    TimerObj = std::make_unique<EngineTimer>();
    LightObj = std::make_unique<EngineLights>();
    ImporterObj = std::make_unique<EngineMeshImporter>();
    ParticleObj = std::make_unique<EngineParticles>();
    SkyObj = std::make_unique<EngineSky>();

    Engine->SelectDisplayMode(adapter, mode);
    const forms::ScreenInfo screen = forms::Screen();
    const float twips = static_cast<float>(screen.TwipsPerPixelX);
    GameWindow.SetWidth(static_cast<int>(640.0f * twips));
    GameWindow.SetHeight(static_cast<int>(480.0f * twips));
    GameWindow.SetLeft((screen.Width - GameWindow.Width()) / 2);
    GameWindow.SetTop((screen.Height - GameWindow.Height()) / 2);
    Engine->AttachWindow(static_cast<std::uintptr_t>(GameWindow.Handle()));

    const int status = Engine->StartEngine(0);
    if (status < 0) {
        // Back to the launch pad to pick another mode; the saved mode stays the last one that worked.
        sys::MessageBox("The display mode " + comModes.Text() + " of " + comAdapters.Text() +
                            " could not be started (status " + std::to_string(status) +
                            "). Please choose another mode.",
                        Caption());
        return;
    }
    WriteSettingFile(StartModeFile, mode);
    forms::ShowCursor(false);
    MainMenu(1, true, true);
}

void VeltorInitialForm::cmdExit_Click() {
    sys::EndProcess(0, "exit chosen on the launch pad");
}

void VeltorInitialForm::Optionsbtn_Click() {
    Options.Show();
}

void VeltorInitialForm::Command2_Click() {
    sys::OpenWithShell(MakerSite + "/veltor/VeltorSetup.exe");
}

void VeltorInitialForm::OpenForum() {
    sys::OpenWithShell(MakerSite + "/forum4/index.php");
}

GameWindowForm::GameWindowForm() : Form("GameWindow") {
    SetCaption("Veltor");
    SetBorder(forms::BorderStyle::None);
    SetBackColor(RGB(0, 0, 0));
    Move(0, 0, 9600, 7200);
}

}  // namespace quorvel
