// The music and the jingles as a player hears them, through whole runs of the real
// program: the music player's streams play on a loopback device that mixes a frame's
// worth of sound as each frame begins, so what is heard keeps pace with the harness's
// clock. The effects, which would cover the music, play on a silent device.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/game_run.h"
#include "game/save_file.h"
#include "game/state.h"
#include "platform/al/openal_device.h"
#include "platform/engine/scancodes.h"
#include "platform/ff/decoders.h"
#include "platform/sound/null_device.h"
#include "platform/system/process.h"

namespace quorvel {
namespace {

constexpr int kRate = 44100;
constexpr int kFramesPerSecond = 60;
// Music quieter than this over a second is lost under a level's effects: a recorded
// track plays at about -22 dB, the jingles louder.
constexpr double kHeard = -31.0;
// Between two tracks the one ends in a fade and the next opens softly: about 12 s
// under kHeard, as the tracks are made.
constexpr int kTrackChangeSeconds = 15;

// Pause and game-over menu entries, in the 512 x 512 space of their picture.
constexpr int PauseLoadY = 290;
constexpr int GameOverLoadY = 347;

// Streams (the music player's) to the loopback device, everything else to a silent one.
class MusicOnly : public sound::AudioDevice {
  public:
    explicit MusicOnly(std::shared_ptr<sound::AudioDevice> heard) : heard_(std::move(heard)) {}
    std::shared_ptr<sound::AudioBuffer> CreateBuffer(const sound::PcmData& pcm) override {
        return silent_->CreateBuffer(pcm);
    }
    std::unique_ptr<sound::AudioSource> CreateSource() override { return silent_->CreateSource(); }
    std::unique_ptr<sound::AudioStream> CreateStream(int sampleRate, sound::StreamPull pull) override {
        return heard_->CreateStream(sampleRate, std::move(pull));
    }
    void SetListenerPosition(const Vector& position) override { silent_->SetListenerPosition(position); }
    void SetListenerOrientation(const Vector& front, const Vector& up) override {
        silent_->SetListenerOrientation(front, up);
    }

  private:
    std::shared_ptr<sound::AudioDevice> heard_;
    std::shared_ptr<sound::AudioDevice> silent_ = sound::MakeNullAudioDevice();
};

class MusicHeard : public test::GameScenario {
  protected:
    // The seed opens the playlist with its General MIDI track, whose loudness comes from
    // the synthesizer rather than from the file.
    MusicHeard() : GameScenario(23), device_(al::OpenLoopbackDevice(kRate)) {
        sound::UseAudioDevice(std::make_shared<MusicOnly>(device_));
        ff::UseFFmpegDecoders();
        Listen(1);
    }
    ~MusicHeard() override { sound::UseAudioDevice(nullptr); }

    // Level in dB (full scale) of what was heard in frames [from, to).
    double Loudness(int from, int to) const {
        from = std::max(from, 0);
        to = std::min(to, int(power_.size()));
        if (to <= from) return -200;
        double sum = 0;
        for (int f = from; f < to; ++f)
            sum += power_[std::size_t(f)];
        const double mean = sum / double(to - from);
        return mean > 0 ? 10 * std::log10(mean) : -200;
    }
    // Levels of each second in frames [from, to).
    std::vector<double> Seconds(int from, int to) const {
        std::vector<double> out;
        for (int f = from; f + kFramesPerSecond <= to; f += kFramesPerSecond)
            out.push_back(Loudness(f, f + kFramesPerSecond));
        return out;
    }
    // The longest run of whole seconds in frames [from, to) quieter than kHeard.
    int LongestQuiet(int from, int to) const {
        int longest = 0, run = 0;
        for (const double level : Seconds(from, to)) {
            run = level < kHeard ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest;
    }
    // The pointer onto a point of the centred menu picture, then a click as a player
    // gives it, held a few frames.
    void ClickPicture(int x, int y) {
        const auto& scene = h.Scene();
        const float sx = float(scene.screenWidth) / 1280.0f, sy = float(scene.screenHeight) / 1024.0f;
        const int f = h.Frame();
        h.MouseTo(f + 1, int(std::lround(float(scene.screenWidth / 2) + float(x - 256) * sx)),
                  int(std::lround(float(scene.screenHeight / 2) + float(y - 256) * sy)));
        h.MouseClick(f + 6, 0, 3);
    }
    static bool GameOverPage() { return Screens.MenuRequested && Level.ShipDestroyed; }
    // A hit that uses up the shield, as every hit on the ship is checked.
    static void LoseTheShip() {
        Ship.ShieldDamage = Ship.ShieldMax;
        CheckShield();
    }
    // The level of each second in frames [from, to), for a failure's message.
    std::string Described(int from, int to) const {
        std::string out = "levels (dB) of each second:";
        for (const double level : Seconds(from, to))
            out += " " + std::to_string(int(std::lround(level)));
        return out;
    }

  private:
    // Mixes what the last frame made heard, then listens again as the next one begins.
    void Listen(int frame) {
        h.At(frame, [this, frame] {
            const auto mix = device_->Render(kRate / kFramesPerSecond);
            double sum = 0;
            for (float v : mix)
                sum += double(v) * v;
            power_.push_back(sum / double(mix.size()));
            Listen(frame + 1);
        });
    }

    std::shared_ptr<al::OpenALDevice> device_;
    // Mean square of each frame's mix; index = frame number - 1.
    std::vector<double> power_;
};

// The game-over jingle plays out on the game-over page, however the game was lost: the
// ship to a hit that used up its shield, or the station to its seventh asteroid.
class GameOverJingle : public MusicHeard, public ::testing::WithParamInterface<bool> {};

TEST_P(GameOverJingle, IsHeardOnTheGameOverPage) {
    const bool stationLost = GetParam();
    int opened = 0;
    h.When([this] { return test::InFrameLoop(h); },
           [&] {
               if (stationLost) Level.StationDamageLevel = 6;  // the next asteroid to reach it ends the game
           })
        .After(5 * kFramesPerSecond,
               [&] {
                   if (!stationLost) LoseTheShip();
               })
        .When(GameOverPage, [&] { opened = h.Frame(); })
        .After(14 * kFramesPerSecond, [] { sys::EndProcess(0); });
    h.EndAt(40000, 99);
    ASSERT_EQ(test::RunFromLevelStart(h, {12, false, false, false, false, false, 5000, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    // The jingle's tune lasts 7 s of its 12.6; then it dies away, and the level's music
    // stays paused until the ship is back in play.
    EXPECT_EQ(LongestQuiet(opened + kFramesPerSecond / 2, opened + 7 * kFramesPerSecond), 0)
        << Described(opened, h.Frame());
    EXPECT_LT(Loudness(opened + 13 * kFramesPerSecond, opened + 14 * kFramesPerSecond), -90);
}

INSTANTIATE_TEST_SUITE_P(Losses, GameOverJingle, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "StationLost" : "ShipLost"; });

// The training level's music plays on through the lessons and from one track into the
// next, as a new pilot takes a minute and more over them.
TEST_F(MusicHeard, TheTrainingLevelsMusicPlaysOn) {
    int start = 0;
    h.When([this] { return test::InFrameLoop(h); }, [&] { start = h.Frame(); })
        .After(100 * kFramesPerSecond, [] { sys::EndProcess(0); });
    h.EndAt(40000, 99);
    Campaign.IntroSeen = true;  // straight into the training level
    ASSERT_EQ(test::RunFromLevelStart(h, {1, false, false, false, false, false, 0, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_LE(LongestQuiet(start, h.Frame()), kTrackChangeSeconds) << Described(start, h.Frame());
}

// A game loaded from the pause menu or from the game-over page plays on with the
// level's music, and a later game over plays its jingle again.
class LoadedGameMusic : public MusicHeard, public ::testing::WithParamInterface<bool> {};

TEST_P(LoadedGameMusic, PlaysOn) {
    const bool fromGameOver = GetParam();
    ASSERT_TRUE(WriteSaveSlot(1, {5, false, false, false, false, false, 2000, false, 1}));
    int loaded = 0, lostAgain = 0;
    h.When([this] { return test::InFrameLoop(h); }, [] {});
    if (fromGameOver) {
        h.After(5 * kFramesPerSecond, [] { LoseTheShip(); })
            .When(GameOverPage, [] {})
            .After(3 * kFramesPerSecond, [&] { ClickPicture(250, GameOverLoadY); });
    } else {
        h.After(10 * kFramesPerSecond, [&] {
             h.KeyPress(h.Frame() + 1, key::Escape, 3);
         }).When([] { return Screens.MenuRequested; }, [&] { ClickPicture(250, PauseLoadY); });
    }
    h.After(30, [&] { h.KeyPress(h.Frame() + 1, key::D1, 3); })
        .When([] { return Campaign.CurrentLevel == 5 && !Screens.MenuRequested; },
              [&] { loaded = h.Frame(); })
        .After(40 * kFramesPerSecond, [] { LoseTheShip(); })
        .When(GameOverPage, [&] { lostAgain = h.Frame(); })
        .After(8 * kFramesPerSecond, [] { sys::EndProcess(0); });
    h.EndAt(60000, 99);
    ASSERT_EQ(test::RunFromLevelStart(h, {12, false, false, false, false, false, 5000, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_LE(LongestQuiet(loaded, loaded + 40 * kFramesPerSecond), kTrackChangeSeconds)
        << Described(loaded, loaded + 40 * kFramesPerSecond);
    EXPECT_EQ(LongestQuiet(lostAgain + kFramesPerSecond / 2, lostAgain + 7 * kFramesPerSecond), 0)
        << "the jingle of the next game over: " << Described(lostAgain, h.Frame());
}

INSTANTIATE_TEST_SUITE_P(Loads, LoadedGameMusic, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "FromGameOver" : "FromPause"; });

}  // namespace
}  // namespace quorvel
