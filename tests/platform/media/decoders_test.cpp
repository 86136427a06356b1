#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>

#include <fstream>

#include "platform/ff/decoders.h"
#include "platform/ff/midi_timing.h"
#include "platform/media/media_fixtures.h"
#include "platform/sound/sound_fixtures.h"
#include "support/temp_folder.h"

namespace quorvel::ff {
namespace {

// Everything a decoder gives, as stereo frames.
std::vector<float> ReadAll(media::MediaDecoder& decoder) {
    std::vector<float> all;
    std::vector<float> block(2 * 1000);
    for (;;) {
        const std::size_t n = decoder.ReadAudio(block.data(), 1000);
        all.insert(all.end(), block.begin(), block.begin() + std::ptrdiff_t(2 * n));
        if (n < 1000) return all;
    }
}

class Decoders : public testing::Test {
  protected:
    std::string Path(const std::string& name) const { return (folder_.path() / name).string(); }
    test::TempFolder folder_;
};

TEST_F(Decoders, EveryMusicFormatGivesItsTone) {
    const sound::PcmData tone = test::Tone(440, 0.5, 44100, 2);
    folder_.Write("tone.wav", test::WaveBytes(tone));
    struct Case {
        const char* file;
        const char* encoder;
        const char* container;
    };
    const Case cases[] = {
        {"tone.wav", nullptr, nullptr},
        {"tone.ogg", "libvorbis", "ogg"},
        {"tone.mp3", "libmp3lame", "mp3"},
        {"tone.wma", "wmav2", "asf"},
    };
    for (const Case& c : cases) {
        if (c.encoder) {
            ASSERT_TRUE(test::EncodeAudio(Path(c.file), c.encoder, c.container, tone)) << c.file;
        }
        auto decoder = OpenWithFFmpeg(Path(c.file));
        ASSERT_TRUE(decoder) << c.file;
        const media::MediaInfo info = decoder->Info();
        EXPECT_TRUE(info.hasAudio && !info.hasVideo) << c.file;
        EXPECT_NEAR(info.duration, 0.5, 0.1) << c.file;
        const auto all = ReadAll(*decoder);
        const double seconds = double(all.size() / 2) / info.sampleRate;
        EXPECT_NEAR(seconds, 0.5, 0.1) << c.file;
        EXPECT_NEAR(test::ToneLevel(all, 0, info.sampleRate, 440) * 0.5 / seconds, 0.5, 0.1) << c.file;
        EXPECT_LT(test::ToneLevel(all, 1, info.sampleRate, 880), 0.05) << c.file;

        // From the middle on, half of it is left.
        ASSERT_TRUE(decoder->Seek(0.25)) << c.file;
        EXPECT_NEAR(double(ReadAll(*decoder).size() / 2) / info.sampleRate, seconds - 0.25, 0.05) << c.file;
    }
}

TEST_F(Decoders, VideoPicturesComeInOrderWithTheirTimes) {
    ASSERT_TRUE(test::EncodeVideo(Path("clip.wmv"), 64, 48, 10, 6, 440));
    auto decoder = OpenWithFFmpeg(Path("clip.wmv"));
    ASSERT_TRUE(decoder);
    const media::MediaInfo info = decoder->Info();
    EXPECT_TRUE(info.hasAudio && info.hasVideo);
    EXPECT_EQ(info.width, 64);
    EXPECT_EQ(info.height, 48);
    EXPECT_NEAR(info.duration, 0.6, 0.15);

    std::vector<media::VideoFrame> frames;
    media::VideoFrame frame;
    while (decoder->ReadVideo(frame))
        frames.push_back(frame);
    ASSERT_EQ(frames.size(), 6u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_NEAR(frames[i].time, 0.1 * double(i), 0.01) << i;
        EXPECT_NEAR(frames[i].duration, 0.1, 1e-6) << i;
        ASSERT_EQ(frames[i].rgba.size(), 64u * 48u * 4u);
        if (i > 0) {
            EXPECT_GT(frames[i].rgba[4 * 100], frames[i - 1].rgba[4 * 100]) << "lighter each frame";
        }
    }
    EXPECT_GT(test::Rms(ReadAll(*decoder), 0), 0.1) << "and its sound";

    ASSERT_TRUE(decoder->Seek(0.35));
    ASSERT_TRUE(decoder->ReadVideo(frame));
    EXPECT_NEAR(frame.time, 0.3, 0.01) << "the picture showing at that time comes first";
}

TEST_F(Decoders, MidiPlaysThroughTheSoundFontForItsTempo) {
    ASSERT_FALSE(GeneralMidiSoundFont().empty());
    struct Case {
        int microsPerQuarter;
        double notesSeconds;  // four eighth notes
    };
    for (const Case c : {Case{500000, 1.0}, Case{250000, 0.5}}) {
        folder_.Write("song.mid", test::MidiBytes(c.microsPerQuarter, 4, 240));
        auto decoder = OpenMidi(Path("song.mid"));
        ASSERT_TRUE(decoder);
        const media::MediaInfo info = decoder->Info();
        EXPECT_NEAR(info.duration, c.notesSeconds + 1.0, 1e-3) << "the notes and a release tail";
        const auto all = ReadAll(*decoder);
        EXPECT_EQ(all.size() / 2, std::size_t(info.duration * info.sampleRate));
        const auto notes =
            std::vector<float>(all.begin(), all.begin() + std::ptrdiff_t(c.notesSeconds * 44100) * 2);
        EXPECT_GT(test::Rms(notes, 0), 0.01) << "the notes are heard";
        const auto end = std::vector<float>(all.end() - 2000, all.end());
        EXPECT_LT(test::Rms(end, 0), test::Rms(notes, 0) / 10) << "and have faded by the end";

        ASSERT_TRUE(decoder->Seek(info.duration - 0.5));
        EXPECT_NEAR(double(ReadAll(*decoder).size() / 2) / info.sampleRate, 0.5, 1e-3);
    }
}

// A tempo of a microsecond per quarter at 32767 ticks a quarter: seconds near the end
// are more ticks than an integer holds, and a seek there stops at the last tick.
TEST_F(Decoders, MidiSeekWithAVeryShortTempoStaysInRange) {
    std::string midi = test::MidiBytes(1, 4, 240);
    midi[12] = char(0x7F);
    midi[13] = char(0xFF);
    const auto file = ReadMidiFile(midi);
    ASSERT_TRUE(file);
    const MidiTiming* timing = &file->timing;
    for (double seconds : {0.5, 1.0, 1e300, double(INFINITY), -1.0, double(NAN)})
        EXPECT_LE(timing->Tick(seconds), timing->lastTick) << seconds;
    EXPECT_EQ(timing->Tick(0.5), timing->lastTick);

    folder_.Write("short.mid", midi);
    auto decoder = OpenMidi(Path("short.mid"));
    ASSERT_TRUE(decoder);
    EXPECT_TRUE(decoder->Seek(decoder->Info().duration - 0.5));
}

TEST_F(Decoders, WhatCannotPlayOpensNothing) {
    folder_.Write("text.wma", "this is not music");
    const std::string midi = test::MidiBytes(500000, 4, 240);
    folder_.Write("cut.mid", midi.substr(0, midi.size() - 10));
    folder_.Write("cut.wav", test::WaveBytes(test::Tone(440, 0.1)).substr(0, 30));
    EXPECT_FALSE(OpenWithFFmpeg(Path("text.wma")));
    EXPECT_FALSE(OpenWithFFmpeg(Path("missing.ogg")));
    EXPECT_FALSE(OpenMidi(Path("cut.mid")));
    EXPECT_FALSE(OpenMidi(Path("text.wma")));
    // Only a regular file: a FIFO with no writer would wait for ever.
    ASSERT_EQ(mkfifo(Path("fifo.mid").c_str(), 0600), 0);
    EXPECT_FALSE(OpenMidi(Path("fifo.mid")));
    ASSERT_EQ(mkfifo(Path("fifo.wma").c_str(), 0600), 0);
    EXPECT_FALSE(OpenWithFFmpeg(Path("fifo.wma")));

    // The media layer's own reader takes wave files only; with the back end, MIDI
    // goes by its name to the synthesizer.
    EXPECT_FALSE(media::OpenMediaFile(Path("cut.wav")));
    folder_.Write("song.MID", midi);
    EXPECT_FALSE(media::OpenMediaFile(Path("song.MID")));
    UseFFmpegDecoders();
    EXPECT_TRUE(media::OpenMediaFile(Path("song.MID")));
    EXPECT_FALSE(media::OpenMediaFile(Path("text.wma")));
}

}  // namespace
}  // namespace quorvel::ff
