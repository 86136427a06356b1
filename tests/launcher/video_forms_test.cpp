#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <mutex>

#include "launcher/video_forms.h"
#include "platform/ff/decoders.h"
#include "platform/forms/null_host.h"
#include "platform/media/media_fixtures.h"
#include "platform/system/process.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

using Clock = std::chrono::steady_clock;

class RecordingSink : public media::VideoSink {
  public:
    void Place(const media::VideoWindow& window) override {
        std::lock_guard lock(mutex);
        placed.push_back(window);
    }
    void Present(const media::VideoFrame&) override {
        std::lock_guard lock(mutex);
        ++shown;
    }
    std::mutex mutex;
    std::vector<media::VideoWindow> placed;
    int shown = 0;
};

// A 0.6 s video of six pictures with sound, where the launcher looks for it.
class VideoForms : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(dir);
        std::filesystem::create_directories(dir.path() / "video");
        ASSERT_TRUE(
            test::EncodeVideo((dir.path() / "video" / "veltorvideo.wmv").string(), 64, 48, 10, 6, 440));
        ff::UseFFmpegDecoders();
        media::SetVideoSinkFactory([this] { return sink; });
        sys::SetEndThrows(true);
    }
    void TearDown() override { media::SetVideoSinkFactory(nullptr); }

    test::TempFolder dir;
    forms::NullHost host;
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
};

TEST_F(VideoForms, VideoButtonPlaysTheVideoToItsEndInItsWindow) {
    Form1.Show();
    const auto start = Clock::now();
    ASSERT_TRUE(host.Click(Form1.Command1));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(450));
    std::lock_guard lock(sink->mutex);
    ASSERT_FALSE(sink->placed.empty());
    const media::VideoWindow& window = sink->placed.front();
    EXPECT_EQ(window.owner, Form1.Handle());
    EXPECT_EQ(window.left, 10);
    EXPECT_EQ(window.top, 10);
    EXPECT_EQ(window.width, 640);
    EXPECT_EQ(window.height, 480);
    EXPECT_EQ(sink->shown, 6);
}

TEST_F(VideoForms, VideoButtonWithoutTheFileReturnsAtOnce) {
    std::filesystem::remove(dir.path() / "video" / "veltorvideo.wmv");
    Form1.Show();
    ASSERT_TRUE(host.Click(Form1.Command1));
    EXPECT_TRUE(sink->placed.empty());
}

TEST_F(VideoForms, PlayerWindowOpensPlaysAndLetsGoOfTheVideo) {
    frmVideo.Show();
    ASSERT_TRUE(host.Click(frmVideo.mnu_FileOpen));
    ASSERT_NE(frmVideo.Graph(), nullptr);
    EXPECT_EQ(frmVideo.Graph()->State(), media::GraphState::Stopped);  // rendered, not started
    EXPECT_NEAR(frmVideo.Duration(), 0.6, 0.1);
    EXPECT_DOUBLE_EQ(frmVideo.Duration() * 100, std::round(frmVideo.Duration() * 100));  // two decimals
    {
        std::lock_guard lock(sink->mutex);
        ASSERT_EQ(sink->placed.size(), 1u);
        EXPECT_EQ(sink->placed[0].owner, frmVideo.picVideoWindow.Handle());
        EXPECT_EQ(sink->placed[0].width, 640);
        EXPECT_EQ(sink->placed[0].height, 480);
        EXPECT_EQ(sink->placed[0].style, 100663296);
    }

    frmVideo.SetPlaybackRate(3);
    EXPECT_EQ(frmVideo.Rate(), 1.0);
    frmVideo.TransportButton("PLAY");
    EXPECT_TRUE(frmVideo.Playing());
    // The timer sees the end come.
    const auto giveUp = Clock::now() + std::chrono::seconds(5);
    while (frmVideo.Playing() && Clock::now() < giveUp)
        sys::IdleWait();
    EXPECT_FALSE(frmVideo.Playing());
    frmVideo.TransportButton("play");  // at the end: from the start again
    EXPECT_LT(frmVideo.Graph()->CurrentPosition(), 0.3);
    frmVideo.TransportButton("Stop");
    EXPECT_EQ(frmVideo.Graph()->CurrentPosition(), 0.0);

    Form1.Show();
    ASSERT_TRUE(host.Click(frmVideo.mnu_FileExit));
    EXPECT_FALSE(frmVideo.Loaded());
    EXPECT_FALSE(Form1.Loaded());
    EXPECT_EQ(frmVideo.Graph(), nullptr);
    std::lock_guard lock(sink->mutex);
    EXPECT_EQ(sink->placed.back().owner, 0);
    EXPECT_EQ(sink->placed.back().left, 8 * forms::Screen().Width);
}

}  // namespace
}  // namespace quorvel
