#include "launcher/video_forms.h"

#include <cctype>
#include <cmath>

#include "platform/system/paths.h"
#include "platform/system/process.h"

namespace quorvel {

VideoButtonForm Form1;
VideoForm frmVideo;

std::string PromoVideoPath() {
    return sys::ProgramFolder() + "\\video\\veltorvideo.wmv";
}

namespace {

int Pixels(int twips, int twipsPerPixel) {
    return twipsPerPixel > 0 ? twips / twipsPerPixel : twips;
}

}  // namespace

VideoButtonForm::VideoButtonForm() : Form("Form1") {
    SetCaption("Form1");
    Move(0, 0, 10080, 7920);
    Command1.SetCaption("Video");
    Command1.Move(120, 7320, 1215, 375);
    Command1.Click = [this] { Command1_Click(); };
}

void VideoButtonForm::Command1_Click() {
    media::FilterGraph graph;
    if (!graph.RenderFile(PromoVideoPath())) return;  // nothing to play
    graph.SetVolume(0);
    graph.SetBalance(0);
    graph.SetVideoWindow({Handle(), 10, 10, 640, 480, media::WS_VISIBLE});
    graph.Run();
    while (graph.WaitForCompletion(50) != media::EC_COMPLETE)
        sys::PumpMessages();
    graph.Stop();
}

VideoForm::VideoForm() : Form("frmVideo") {
    SetCaption("Veltor Video");
    SetBorder(forms::BorderStyle::FixedSingle);
    Move(0, 0, 9960, 7440);
    picVideoWindow.Move(0, 0, 9600, 7200);
    picVideoWindow.SetBackColor(forms::RGB(0, 0, 0));
    tmrTimer.SetInterval(250);

    mnu_File.SetCaption("&File");
    mnu_FileOpen.SetCaption("&Open");
    mnuFileSeptum.SetCaption("-");
    mnu_FileExit.SetCaption("E&xit");
    for (forms::MenuItem* item : {&mnu_FileOpen, &mnuFileSeptum, &mnu_FileExit})
        item->SetContainer(mnu_File);

    mnu_FileOpen.Click = [this] { mnu_FileOpen_Click(); };
    mnu_FileExit.Click = [this] { mnu_FileExit_Click(); };
    tmrTimer.Tick = [this] { tmrTimer_Timer(); };
}

void VideoForm::Form_Load() {
    tmrTimer.SetInterval(250);
}

void VideoForm::Form_Unload(int&) {
    playing_ = false;
    sys::PumpMessages();
    if (!graph_) return;
    graph_->Stop();
    // Off the screen and detached before the graph goes.
    const forms::ScreenInfo screen = forms::Screen();
    media::VideoWindow window = graph_->GetVideoWindow();
    window.left = 8 * screen.Width;
    window.height = 8 * screen.Height;
    window.owner = 0;
    graph_->SetVideoWindow(window);
    graph_.reset();
}

void VideoForm::mnu_FileOpen_Click() {
    int cancel = 0;
    Form_Unload(cancel);
    fileName_ = PromoVideoPath();
    graph_ = std::make_unique<media::FilterGraph>();
    if (!graph_->RenderFile(fileName_)) return;  // a missing file leaves a graph without video
    const forms::ScreenInfo screen = forms::Screen();
    // Clip-children and clip-siblings, placed at the top left of the picture box.
    graph_->SetVideoWindow({picVideoWindow.Handle(), 0, 0,
                            Pixels(picVideoWindow.Width(), screen.TwipsPerPixelX),
                            Pixels(picVideoWindow.Height(), screen.TwipsPerPixelY), 100663296});
    duration_ = std::round(graph_->Duration() * 100.0) / 100.0;
    startPosition_ = 0;
    rate_ = graph_->Rate();
}

void VideoForm::mnu_FileExit_Click() {
    const forms::ScreenInfo screen = forms::Screen();
    const auto all = forms::AllForms();
    for (forms::Form* form : all) {
        if (!form->Loaded()) continue;
        form->SetLeft(8 * screen.Width);
        form->SetTop(8 * screen.Height);
        form->Hide();
        form->Unload();
    }
}

void VideoForm::tmrTimer_Timer() {
    if (!playing_ || !graph_) return;
    if (graph_->WaitForCompletion(100) == media::EC_COMPLETE)
        playing_ = false;
    else
        graph_->CurrentPosition();
}

void VideoForm::SetPlaybackRate(int index) {
    static const double rates[] = {0.5, 1.0, 2.0};
    if (index < 0 || index > 2 || !graph_) return;
    rate_ = rates[index];
    graph_->SetRate(rate_);
}

void VideoForm::TransportButton(const std::string& key) {
    if (!graph_) return;
    std::string k;
    for (const char c : key)
        k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (k == "play") {
        const double position = std::floor(graph_->CurrentPosition());
        if (position < startPosition_ || position == std::floor(duration_))
            graph_->SetCurrentPosition(startPosition_);
        graph_->Run();
        playing_ = true;
    } else if (k == "pause") {
        graph_->Pause();
        playing_ = false;
    } else if (k == "stop") {
        graph_->Stop();
        playing_ = false;
        graph_->SetCurrentPosition(0);
    }
}

}  // namespace quorvel
