#pragma once
// The launcher's two video forms, which play the promotional video
// "\video\veltorvideo.wmv" from the program folder. Nothing in the launcher opens
// them; code that wants the video shows one.

#include <memory>
#include <string>

#include "platform/forms/controls.h"
#include "platform/media/filter_graph.h"

namespace quorvel {

// One button that plays the video in the form's window to its end.
class VideoButtonForm : public forms::Form {
  public:
    VideoButtonForm();
    void Command1_Click();

    forms::Button Command1{*this, "Command1"};
};

extern VideoButtonForm Form1;

// A media-player window: File > Open renders the video into the picture box.
class VideoForm : public forms::Form {
  public:
    VideoForm();

    void mnu_FileOpen_Click();
    void mnu_FileExit_Click();
    void tmrTimer_Timer();
    // Playback rate by index: 0 half speed, 1 normal, 2 double; others do nothing.
    void SetPlaybackRate(int index);
    // "play", "pause" or "stop", in any case.
    void TransportButton(const std::string& key);

    forms::PictureBox picVideoWindow{*this, "picVideoWindow"};
    forms::Timer tmrTimer{*this, "tmrTimer"};
    forms::MenuItem mnu_File{*this, "mnu_File"};
    forms::MenuItem mnu_FileOpen{*this, "mnu_FileOpen"};
    forms::MenuItem mnuFileSeptum{*this, "mnuFileSeptum"};
    forms::MenuItem mnu_FileExit{*this, "mnu_FileExit"};
    forms::CommonDialog ctrlCommonDialog{*this, "ctrlCommonDialog"};
    forms::ImageList ctrlImageList{*this, "ctrlImageList"};

    // The graph of the file rendered last; null before File > Open and after unloading.
    media::FilterGraph* Graph() const { return graph_.get(); }
    const std::string& FileName() const { return fileName_; }
    double Duration() const { return duration_; }
    double Rate() const { return rate_; }
    bool Playing() const { return playing_; }

  protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

  private:
    std::unique_ptr<media::FilterGraph> graph_;
    std::string fileName_;
    double rate_ = 1.0;
    double duration_ = 0;
    double startPosition_ = 0;
    bool playing_ = false;
};

extern VideoForm frmVideo;

// Program folder + "\video\veltorvideo.wmv".
std::string PromoVideoPath();

}  // namespace quorvel
