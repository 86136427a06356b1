#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <limits>
#include <mutex>

#include "platform/al/openal_device.h"
#include "platform/ff/decoders.h"
#include "platform/media/filter_graph.h"
#include "platform/media/media_fixtures.h"
#include "platform/sound/sound_fixtures.h"
#include "platform/system/paths.h"
#include "support/temp_folder.h"

namespace quorvel::media {
namespace {

constexpr int kRate = 44100;

// A graph on a loopback device over a 0.5 s, 440 Hz wave file in the program folder.
class FilterGraphTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(device_);
        test::UseAsProgramFolder(folder_);
        folder_.Write("Music/tone.wav", test::WaveBytes(test::Tone(440, 0.5, kRate, 2)));
        ASSERT_TRUE(graph_.RenderFile(sys::ProgramFolder() + "\\music\\TONE.WAV"));
    }
    // Level of the tone in each channel over the next `seconds`.
    std::pair<double, double> Hear(double seconds) {
        const auto out = device_->Render(std::size_t(seconds * kRate));
        return {test::ToneLevel(out, 0, kRate, 440), test::ToneLevel(out, 1, kRate, 440)};
    }
    // The limiter at the end of the mix looks a few milliseconds ahead: what was mixed
    // just before a pause or a stop is heard that long after it.
    void LetTheLookAheadOut() { device_->Render(kRate / 100); }

    test::TempFolder folder_;
    std::shared_ptr<al::OpenALDevice> device_ = al::OpenLoopbackDevice(kRate);
    FilterGraph graph_{device_};
};

TEST_F(FilterGraphTest, RunPauseStopSeekAndCompletion) {
    EXPECT_NEAR(graph_.Duration(), 0.5, 1e-9);
    EXPECT_LT(Hear(0.05).first, 0.01) << "rendered, not started";

    graph_.Run();
    EXPECT_NEAR(Hear(0.1).first, 0.5, 0.05);
    EXPECT_NEAR(graph_.CurrentPosition(), 0.1, 0.002);

    graph_.Pause();
    EXPECT_EQ(graph_.State(), GraphState::Paused);
    LetTheLookAheadOut();
    EXPECT_LT(Hear(0.1).first, 0.01);
    EXPECT_NEAR(graph_.CurrentPosition(), 0.1, 0.002);
    graph_.Run();
    Hear(0.1);
    EXPECT_NEAR(graph_.CurrentPosition(), 0.2, 0.002) << "resumes where it paused";

    graph_.Stop();
    LetTheLookAheadOut();
    EXPECT_LT(Hear(0.1).first, 0.01);
    EXPECT_NEAR(graph_.CurrentPosition(), 0.2, 0.002) << "stop keeps the place";

    graph_.SetCurrentPosition(0.4);
    graph_.Run();
    EXPECT_EQ(graph_.WaitForCompletion(0), 0);
    EXPECT_NEAR(Hear(0.05).first, 0.5, 0.05);
    Hear(0.1);
    EXPECT_EQ(graph_.WaitForCompletion(0), EC_COMPLETE);
    EXPECT_NEAR(graph_.CurrentPosition(), 0.5, 1e-9);

    // Seeking back after the end plays again, without another Run.
    graph_.SetCurrentPosition(-3);
    EXPECT_EQ(graph_.WaitForCompletion(0), 0);
    EXPECT_NEAR(Hear(0.1).first, 0.5, 0.05);
}

TEST_F(FilterGraphTest, VolumeBalanceAndRate) {
    graph_.Run();
    struct Case {
        int volume, balance;
        double left, right;
    };
    const Case cases[] = {
        {0, 0, 0.5, 0.5},      {-600, 0, 0.25, 0.25}, {500, 0, 0.5, 0.5},     // clamped to full
        {0, -600, 0.5, 0.25},  {0, 10000, 0.0, 0.5},  {0, -20000, 0.5, 0.0},  // clamped to left only
        {-10000, 0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        graph_.SetCurrentPosition(0);
        graph_.SetVolume(c.volume);
        graph_.SetBalance(c.balance);
        const auto [left, right] = Hear(0.2);
        EXPECT_NEAR(left, c.left, 0.03) << c.volume << " " << c.balance;
        EXPECT_NEAR(right, c.right, 0.03) << c.volume << " " << c.balance;
    }
    EXPECT_EQ(graph_.Volume(), -10000);
    graph_.SetBalance(-20000);
    EXPECT_EQ(graph_.Balance(), -10000);

    graph_.SetCurrentPosition(0);
    graph_.SetRate(2.0);
    graph_.SetRate(0.0);  // refused
    EXPECT_EQ(graph_.Rate(), 2.0);
    Hear(0.1);
    EXPECT_NEAR(graph_.CurrentPosition(), 0.2, 0.01);
}

TEST_F(FilterGraphTest, NonFinitePositionAndRateAreIgnored) {
    graph_.Run();
    Hear(0.1);
    graph_.SetCurrentPosition(std::nan(""));
    graph_.SetRate(std::numeric_limits<double>::infinity());
    EXPECT_EQ(graph_.Rate(), 1.0);
    EXPECT_NEAR(Hear(0.1).first, 0.5, 0.05);
    EXPECT_NEAR(graph_.CurrentPosition(), 0.2, 0.002);
}

TEST_F(FilterGraphTest, FilesThatCannotPlay) {
    folder_.Write("junk.wav", "RIFF....WAVEjunk");
    FilterGraph missing(device_), junk(device_);
    std::string reason;
    EXPECT_FALSE(missing.RenderFile(sys::ProgramFolder() + "\\nothing.wav", &reason));
    EXPECT_EQ(reason, "no such file");
    EXPECT_FALSE(junk.RenderFile(sys::ProgramFolder() + "\\junk.wav", &reason));
    EXPECT_EQ(reason, "not a wave file the game plays: no format chunk");
    EXPECT_FALSE(graph_.RenderFile(sys::ProgramFolder() + "\\music\\tone.wav")) << "one file per graph";

    // An empty graph takes every call and does nothing.
    missing.Run();
    missing.SetVolume(-500);
    missing.SetCurrentPosition(3);
    missing.SetVideoWindow({});
    EXPECT_EQ(missing.State(), GraphState::Stopped);
    EXPECT_EQ(missing.CurrentPosition(), 0);
    EXPECT_EQ(missing.WaitForCompletion(10), 0);
    EXPECT_FALSE(missing.HasAudio() || missing.HasVideo());
}

// Records what a playing video hands to its window.
class RecordingSink : public VideoSink {
  public:
    struct Shown {
        double time;
        std::uint8_t grey;
        std::chrono::steady_clock::time_point at;
    };
    void Place(const VideoWindow& window) override {
        std::lock_guard lock(mutex);
        placed.push_back(window);
    }
    void Present(const VideoFrame& frame) override {
        std::lock_guard lock(mutex);
        shown.push_back({frame.time, frame.rgba.at(0), std::chrono::steady_clock::now()});
    }
    std::mutex mutex;
    std::vector<VideoWindow> placed;
    std::vector<Shown> shown;
};

// Music the synthesizer cannot play says why, to the caller and in the load log.
TEST_F(FilterGraphTest, MusicThatCannotPlaySaysWhyInTheLoadLog) {
    ff::UseFFmpegDecoders();
    const std::string midi = test::MidiBytes(500000, 4, 240);
    folder_.Write("cut.mid", midi.substr(0, midi.size() - 10));
    const std::string log = (folder_.path() / "load.log").string();
    setenv("QUORVEL_LOAD_LOG", log.c_str(), 1);
    FilterGraph graph(device_);
    std::string reason;
    EXPECT_FALSE(graph.RenderFile(sys::ProgramFolder() + "\\cut.mid", &reason));
    unsetenv("QUORVEL_LOAD_LOG");
    EXPECT_EQ(reason, "not a MIDI file the game plays: track 1 runs past the end of the file");
    std::ifstream in(log);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "failed load: media \"\" " + sys::ProgramFolder() + "\\cut.mid: " + reason);
}

TEST(FilterGraphVideo, PicturesReachTheSinkInTimeWhileNobodyPolls) {
    test::TempFolder folder;
    ASSERT_TRUE(test::EncodeVideo((folder.path() / "clip.wmv").string(), 64, 48, 10, 6, 440));
    ff::UseFFmpegDecoders();
    auto sink = std::make_shared<RecordingSink>();
    SetVideoSinkFactory([sink] { return sink; });

    FilterGraph graph(al::OpenSilentDevice());
    ASSERT_TRUE(graph.RenderFile(folder.str() + "/clip.wmv"));
    ASSERT_TRUE(graph.HasVideo() && graph.HasAudio());
    const VideoWindow window{77, 10, 20, 320, 240, WS_VISIBLE};
    graph.SetVideoWindow(window);

    const auto start = std::chrono::steady_clock::now();
    graph.Run();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(graph.WaitForCompletion(3000), EC_COMPLETE);

    std::lock_guard lock(sink->mutex);
    ASSERT_EQ(sink->placed.size(), 1u);
    EXPECT_EQ(sink->placed[0].owner, 77);
    EXPECT_EQ(sink->placed[0].width, 320);
    ASSERT_EQ(sink->shown.size(), 6u);
    for (std::size_t i = 1; i < sink->shown.size(); ++i) {
        EXPECT_GT(sink->shown[i].time, sink->shown[i - 1].time);
        EXPECT_GT(sink->shown[i].grey, sink->shown[i - 1].grey);
    }
    EXPECT_GE(sink->shown.back().at - start, std::chrono::milliseconds(450))
        << "the last picture is due at 0.5 s";
    SetVideoSinkFactory(nullptr);
}

}  // namespace
}  // namespace quorvel::media
