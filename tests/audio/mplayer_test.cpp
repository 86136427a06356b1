#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "audio/mplayer.h"
#include "platform/al/openal_device.h"
#include "platform/ff/decoders.h"
#include "platform/media/media_fixtures.h"
#include "platform/sound/sound_fixtures.h"
#include "platform/system/paths.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

class CountingSink : public media::VideoSink {
  public:
    void Place(const media::VideoWindow& w) override {
        std::lock_guard lock(mutex);
        window = w;
    }
    void Present(const media::VideoFrame&) override {
        std::lock_guard lock(mutex);
        ++frames;
    }
    std::mutex mutex;
    media::VideoWindow window;
    int frames = 0;
};

// Real-time playback on the silent output, as the game runs without a sound card.
class MPlayerTest : public testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(folder_);
        sound::UseAudioDevice(al::OpenSilentDevice());
        ff::UseFFmpegDecoders();
        media::SetVideoSinkFactory([this] { return sink_; });
        ASSERT_TRUE(test::EncodeVideo(folder_.str() + "/video/clip.wmv", 64, 48, 10, 4, 440));
        folder_.Write("tone.wav", test::WaveBytes(test::Tone(440, 1.2)));
    }
    void TearDown() override {
        media::SetVideoSinkFactory(nullptr);
        sound::UseAudioDevice(nullptr);
    }

    test::TempFolder folder_;
    std::shared_ptr<CountingSink> sink_ = std::make_shared<CountingSink>();
    MPlayer player_;
};

TEST_F(MPlayerTest, PlaysAVideoToItsEnd) {
    EXPECT_FALSE(player_.DS_StillPlaying(0)) << "nothing open";
    player_.DS_OpenFile(sys::ProgramFolder() + "\\video\\clip.wmv", 10, 20, 640, 480, 1234);
    {
        std::lock_guard lock(sink_->mutex);
        EXPECT_EQ(sink_->window.owner, 1234);
        EXPECT_EQ(sink_->window.top, 10);
        EXPECT_EQ(sink_->window.left, 20);
        EXPECT_EQ(sink_->window.width, 640);
        EXPECT_EQ(sink_->window.height, 480);
        EXPECT_EQ(sink_->window.style, media::WS_VISIBLE);
    }
    player_.DS_Play();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (player_.DS_StillPlaying(50) && std::chrono::steady_clock::now() < until) {
    }
    EXPECT_FALSE(player_.DS_StillPlaying(0));
    {
        std::lock_guard lock(sink_->mutex);
        EXPECT_EQ(sink_->frames, 4);
    }

    player_.DS_Play();
    EXPECT_TRUE(player_.DS_StillPlaying(0)) << "playing again after the end starts over";
    EXPECT_LT(player_.DS_GetPosition(), 0.2);

    player_.DS_Remove();
    EXPECT_FALSE(player_.DS_StillPlaying(0));
    std::lock_guard lock(sink_->mutex);
    EXPECT_EQ(sink_->window.owner, 0) << "the pictures leave the owner window";
}

TEST_F(MPlayerTest, ClampedSettingsComeBackToTheCaller) {
    player_.DS_OpenFile(sys::ProgramFolder() + "\\tone.wav", 0, 0, 0, 0, 0);
    ASSERT_NEAR(player_.DS_GetDuration(), 1.2, 1e-6);

    int volume = 100;
    player_.DS_SetVolume(volume);
    EXPECT_EQ(volume, 0);
    volume = -12000;
    player_.DS_SetVolume(volume);
    EXPECT_EQ(volume, -10000);
    EXPECT_EQ(player_.DS_GetVolume(), -10000);
    int balance = 20000;
    player_.DS_SetBalance(balance);
    EXPECT_EQ(balance, 10000);
    EXPECT_EQ(player_.DS_GetBalance(), 10000);
    for (double asked : {0.0, -2.0}) {
        double rate = asked;
        player_.DS_SetRate(rate);
        EXPECT_EQ(rate, 0.1);
        EXPECT_EQ(player_.DS_GetRate(), 0.1);
    }
    double position = -1;
    player_.DS_SetPosition(position);
    EXPECT_EQ(position, 0);
    position = 0.5;
    player_.DS_SetPosition(position);
    player_.DS_Seek(-100);
    EXPECT_EQ(player_.DS_GetPosition(), 0);
    player_.DS_Seek(100);
    EXPECT_NEAR(player_.DS_GetPosition(), 1.2, 1e-6);
}

TEST_F(MPlayerTest, PausedNearTheEndGoesOnAndStopRewinds) {
    player_.DS_OpenFile(sys::ProgramFolder() + "\\tone.wav", 0, 0, 0, 0, 0);
    double position = 0.9;  // the same whole second as the 1.2 s length
    player_.DS_SetPosition(position);
    player_.DS_Play();
    player_.DS_Pause();
    player_.DS_Play();
    EXPECT_GT(player_.DS_GetPosition(), 0.85);
    player_.DS_Stop();
    EXPECT_EQ(player_.DS_GetPosition(), 0);
    EXPECT_TRUE(player_.DS_StillPlaying(0));

    player_.DS_OpenFile(sys::ProgramFolder() + "\\missing.wmv", 0, 0, 0, 0, 0);
    EXPECT_FALSE(player_.DS_StillPlaying(10));
    player_.DS_Play();
    EXPECT_EQ(player_.DS_GetDuration(), 0);
}

}  // namespace
}  // namespace quorvel
