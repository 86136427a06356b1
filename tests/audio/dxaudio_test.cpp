#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "audio/audio_fixtures.h"
#include "audio/dxaudio.h"
#include "platform/ff/decoders.h"
#include "platform/media/media_fixtures.h"
#include "platform/sound/sound_fixtures.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"

namespace quorvel {
namespace {

constexpr double kTrackGain = 0.3548;  // -900 hundredths of a decibel
constexpr double kToneLevel = 0.5;     // amplitude of every generated tone

class DXAudioTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program_.device);
        ff::UseFFmpegDecoders();
        sys::SeedRandom(7);
        audio_.InitDXAudio();
    }
    void Tone(const std::string& relative, double hz, double seconds) {
        program_.folder.Write(relative, test::WaveBytes(test::Tone(hz, seconds, 22050, 1, kToneLevel)));
    }
    std::string Music(const std::string& name) { return sys::ProgramFolder() + "\\music\\" + name; }

    test::LoopbackProgram program_;
    DXAudio audio_;
};

TEST_F(DXAudioTest, PlaylistTakesMusicFilesByExtensionOnly) {
    const std::vector<double> tones = {400, 500, 600, 700, 800, 261.6, 900, 1000, 1100, 1200};
    Tone("music/one.wav", 400, 1);
    Tone("music/TWO.WAV", 500, 1);
    const sound::PcmData stereo600 = test::Tone(600, 1, 44100, 2, kToneLevel);
    ASSERT_TRUE(
        test::EncodeAudio(program_.folder.str() + "/music/three.Mp3", "libmp3lame", "mp3", stereo600));
    ASSERT_TRUE(test::EncodeAudio(program_.folder.str() + "/music/four.wma", "wmav2", "asf",
                                  test::Tone(700, 1, 44100, 2, kToneLevel)));
    ASSERT_TRUE(test::EncodeAudio(program_.folder.str() + "/music/five.OGG", "libvorbis", "ogg",
                                  test::Tone(800, 1, 44100, 2, kToneLevel)));
    program_.folder.Write("music/six.Mid", test::MidiBytes(500000, 1, 960));  // one long middle C
    // Playable, but not by their names, or not files of the folder itself.
    Tone("music/seven.wave", 900, 1);
    Tone("music/eight.mp", 1000, 1);
    ASSERT_TRUE(test::EncodeAudio(program_.folder.str() + "/music/nine.mpeg", "libmp3lame", "mp3",
                                  test::Tone(1100, 1, 44100, 2, kToneLevel)));
    Tone("music/sub/ten.wav", 1200, 1);
    Tone("music/folder.wav/inside.wav", 1200, 1);

    audio_.AddDirectory(sys::ProgramFolder() + "\\music");
    std::multiset<int> heard;
    for (int pick = 0; pick < 40; ++pick) {
        audio_.StartBackground();
        heard.insert(program_.HeardTone(tones, 0.15));
    }
    EXPECT_EQ(std::set<int>(heard.begin(), heard.end()), (std::set<int>{0, 1, 2, 3, 4, 5}))
        << "every listed file and nothing else; never silence from a folder";
}

TEST_F(DXAudioTest, RandomTracksFollowOneAnotherAtEachPollAfterTheEnd) {
    const std::vector<double> tones = {400, 500, 600};
    Tone("music/a.wav", 400, 0.25);
    Tone("music/b.wav", 500, 0.25);
    Tone("music/c.wav", 600, 0.25);
    audio_.AddDirectory(sys::ProgramFolder() + "\\music");

    auto playThrough = [&](std::uint64_t seed) {
        sys::SeedRandom(seed);
        audio_.StartBackground();
        std::vector<int> heard;
        for (int track = 0; track < 12; ++track) {
            heard.push_back(program_.HeardTone(tones));
            program_.Render(0.25);
            EXPECT_TRUE(audio_.BackgroundIsStopped());
            EXPECT_EQ(program_.HeardTone(tones), -1) << "the next track waits for the poll";
            audio_.Poll();
        }
        return heard;
    };
    const auto first = playThrough(11);
    EXPECT_EQ(playThrough(11), first) << "the seed decides the picks";
    EXPECT_EQ(std::count(first.begin(), first.end(), -1), 0);
    EXPECT_EQ(std::set<int>(first.begin(), first.end()), (std::set<int>{0, 1, 2}));
    EXPECT_NE(playThrough(12), first);
}

TEST_F(DXAudioTest, EmptyOrMissingMusicFolderPlaysNothing) {
    audio_.AddDirectory(sys::ProgramFolder() + "\\music");
    audio_.StartBackground();
    audio_.Poll();
    EXPECT_LT(test::Rms(program_.Render(0.1), 0), 1e-4);
    EXPECT_FALSE(audio_.BackgroundIsStopped());
    EXPECT_FALSE(audio_.ForegroundIsStopped());
}

TEST_F(DXAudioTest, ClipsFromTheSoundFolder) {
    Tone("music/bg.wav", 400, 3);
    Tone("sound/clip.wav", 700, 0.3);
    Tone("sound/tutorial/tut1.wav", 800, 1);
    Tone("sound/stationvoices/scream.wav", 900, 1);
    program_.folder.Write("sound/junk.wav", "not a sound");
    audio_.PlayBackground(Music("bg.wav"));

    audio_.PlayForeground("clip.wav");
    EXPECT_LT(program_.ToneLevel(700), 0.01) << "waits for the next poll";
    audio_.Poll();
    EXPECT_NEAR(program_.ToneLevel(700), kToneLevel, 0.03);
    program_.Render(0.3);
    audio_.Poll();
    EXPECT_TRUE(audio_.ForegroundIsStopped());
    audio_.StopForeground();
    EXPECT_FALSE(audio_.ForegroundIsStopped());

    audio_.PlayForeground2("tutorial\\tut1.wav");
    EXPECT_NEAR(program_.ToneLevel(800), kToneLevel * 0.7079, 0.03) << "at once, at -300";

    audio_.PlayForeground("\\stationvoices\\scream.wav");  // the doubled separator is fine
    audio_.Poll();
    EXPECT_LT(program_.ToneLevel(800), 0.01) << "the new clip replaced the old";
    EXPECT_NEAR(program_.ToneLevel(900), kToneLevel, 0.03);

    audio_.PlayForeground("missing.wav");
    audio_.Poll();
    EXPECT_NEAR(program_.ToneLevel(900), kToneLevel, 0.03) << "a missing clip leaves the current one";

    audio_.PlayForeground("junk.wav");
    audio_.Poll();
    EXPECT_LT(program_.ToneLevel(900), 0.01) << "a clip that cannot play ends the current one";
    EXPECT_NEAR(program_.ToneLevel(400), kToneLevel * kTrackGain, 0.02) << "the music plays on";
}

TEST_F(DXAudioTest, MusicReturnsToItsVolumeAfterTheClip) {
    Tone("music/bg.wav", 400, 3);
    Tone("sound/clip.wav", 700, 2);
    struct Case {
        const char* name;
        std::optional<int> musicVolume;  // BackgroundVolume before the clip, if any
        double before, during;
    };
    const Case cases[] = {
        {"as started", std::nullopt, kTrackGain, kTrackGain},
        {"louder", -100, 0.8913, kTrackGain},
        {"quieter", -2000, 0.1, 0.1},
    };
    for (const Case& c : cases) {
        audio_.PlayBackground(Music("bg.wav"));
        if (c.musicVolume) audio_.BackgroundVolume(*c.musicVolume);
        EXPECT_NEAR(program_.ToneLevel(400), kToneLevel * c.before, 0.015) << c.name;
        audio_.PlayForeground("clip.wav");
        audio_.Poll();
        EXPECT_NEAR(program_.ToneLevel(400), kToneLevel * c.during, 0.015) << c.name << ": under the clip";
        audio_.StopForeground();
        EXPECT_NEAR(program_.ToneLevel(400), kToneLevel * c.before, 0.015) << c.name << ": after it";
    }
}

TEST_F(DXAudioTest, BackgroundVolumeClampsAndNeedsMusic) {
    Tone("music/bg.wav", 400, 3);
    audio_.BackgroundVolume(-5000);  // no music yet: forgotten
    audio_.PlayBackground(Music("bg.wav"));
    EXPECT_NEAR(program_.ToneLevel(400), kToneLevel * kTrackGain, 0.015);
    audio_.BackgroundVolume(5);
    EXPECT_NEAR(program_.ToneLevel(400), kToneLevel, 0.015);
    audio_.BackgroundVolume(-20000);
    EXPECT_LT(program_.ToneLevel(400), 1e-3);
}

TEST_F(DXAudioTest, PauseResumeAndStop) {
    Tone("music/a.wav", 400, 0.5);
    audio_.AddDirectory(sys::ProgramFolder() + "\\music");
    audio_.StartBackground();
    program_.Render(0.05);

    audio_.PauseBackground();
    audio_.PauseBackground();
    EXPECT_TRUE(audio_.BackgroundPaused());
    program_.Render(1.0);
    audio_.Poll();
    EXPECT_LT(program_.ToneLevel(400), 1e-3) << "paused: no end, no next track";
    audio_.ResumeBackground();
    EXPECT_FALSE(audio_.BackgroundPaused());
    EXPECT_GT(program_.ToneLevel(400), 0.1) << "one resume after two pauses";
    audio_.ResumeBackground();
    EXPECT_FALSE(audio_.BackgroundPaused());

    audio_.StopBackground();
    audio_.Poll();
    EXPECT_LT(program_.ToneLevel(400), 1e-3);
    EXPECT_FALSE(audio_.BackgroundIsStopped()) << "no music is not music that ended";
}

TEST_F(DXAudioTest, NewTrackIsNotPausedAndABrokenOneSilencesTheOld) {
    Tone("music/a.wav", 400, 3);
    Tone("music/b.wav", 500, 3);
    program_.folder.Write("music/junk.wma", "not music");

    audio_.PlayBackground(Music("a.wav"));
    audio_.PauseBackground();
    audio_.PlayBackground(Music("b.wav"));
    EXPECT_FALSE(audio_.BackgroundPaused());
    EXPECT_GT(program_.ToneLevel(500), 0.1);
    audio_.PauseBackground();
    EXPECT_LT(program_.ToneLevel(500), 1e-3) << "the new track pauses";

    audio_.ResumeBackground();
    audio_.PlayBackground(Music("junk.wma"));
    EXPECT_LT(program_.ToneLevel(500), 1e-3) << "the old track does not play on out of reach";
    EXPECT_FALSE(audio_.BackgroundIsStopped());
}

TEST(InitMusic, ReplacesThePlayerAndItsMusic) {
    test::LoopbackProgram program;
    program.folder.Write("Music/only.WMA.wav", test::WaveBytes(test::Tone(400, 3, 22050, 1, kToneLevel)));
    EXPECT_EQ(InitMusic(), 0);
    DXAudioObj->StartBackground();
    EXPECT_GT(program.ToneLevel(400), 0.1);
    DXAudio* first = DXAudioObj.get();
    InitMusic();
    EXPECT_NE(DXAudioObj.get(), first);
    EXPECT_LT(program.ToneLevel(400), 1e-3) << "the old player's music ended with it";
    DXAudioObj->StartBackground();
    EXPECT_GT(program.ToneLevel(400), 0.1);
    DXAudioObj.reset();
}

}  // namespace
}  // namespace quorvel
