// Standard MIDI files as programs write them, with the system messages some put in
// (fuzz/corpus/midi, made byte by byte by its make.sh): each is read for its length,
// worked out by hand, and plays its notes through the synthesizer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/ff/decoders.h"
#include "platform/ff/midi_timing.h"
#include "platform/media/media_fixtures.h"
#include "platform/sound/sound_fixtures.h"
#include "support/tool_output.h"

namespace quorvel::ff {
namespace {

using test::CorpusFile;

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<float> ReadAll(media::MediaDecoder& decoder) {
    std::vector<float> all;
    std::vector<float> block(2 * 4096);
    for (;;) {
        const std::size_t n = decoder.ReadAudio(block.data(), 4096);
        all.insert(all.end(), block.begin(), block.begin() + std::ptrdiff_t(2 * n));
        if (n < 4096) return all;
    }
}

// The left channel's level from `from` to `to` seconds.
double Level(const std::vector<float>& stereo, int rate, double from, double to) {
    const auto begin = std::size_t(from * rate), end = std::min(stereo.size() / 2, std::size_t(to * rate));
    double sum = 0;
    for (std::size_t i = begin; i < end; ++i)
        sum += double(stereo[2 * i]) * stereo[2 * i];
    return end > begin ? std::sqrt(sum / double(end - begin)) : 0;
}

// Every file holds the same scale of eight notes, the first four `early` seconds long
// each and the last four `late` seconds; the messages between them take no time.
TEST(MidiCorpus, FilesWithSystemMessagesPlayTheirNotesForTheirLength) {
    ASSERT_FALSE(GeneralMidiSoundFont().empty());
    const struct {
        const char* file;
        std::uint32_t lastTick;
        double early, late;
    } cases[] = {
        {"hand-scale.mid", 3840, 0.5, 0.5},
        {"hand-system-common.mid", 3840, 0.5, 0.5},  // time code, song position and select, tune request
        {"hand-real-time.mid", 3840, 0.5, 0.5},      // clocks carry the time; running status across them
        {"hand-undefined.mid", 3840, 0.5, 0.5},      // 0xF4, 0xF5, 0xF9, 0xFD
        {"hand-sysex-escape.mid", 3840, 0.5, 0.5},
        {"hand-two-tracks-tempo.mid", 3840, 0.5, 1.0},  // the tempo halves at tick 1920
        {"hand-smpte.mid", 4000, 0.5, 0.5},             // 1000 ticks a second
    };
    std::set<std::string> listed;
    std::vector<float> plain;  // the scale without any of those messages
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        listed.insert(c.file);
        const auto path = CorpusFile(std::string("midi/") + c.file);
        std::string reason;
        const auto file = ReadMidiFile(Bytes(path), &reason);
        ASSERT_TRUE(file) << reason;
        const double seconds = 4 * c.early + 4 * c.late;
        EXPECT_EQ(file->timing.lastTick, c.lastTick);
        EXPECT_NEAR(file->timing.Seconds(file->timing.lastTick), seconds, 1e-9);

        auto decoder = OpenMidi(path.string(), &reason);
        ASSERT_TRUE(decoder) << reason;
        const media::MediaInfo info = decoder->Info();
        EXPECT_NEAR(info.duration, seconds + 1.0, 1e-6) << "the notes and a release tail";
        const auto all = ReadAll(*decoder);
        EXPECT_EQ(all.size() / 2, std::size_t(info.duration * info.sampleRate));
        // Each note is heard in its own time, and all have faded by the end.
        std::vector<double> levels;
        for (int i = 0; i < 8; ++i) {
            const double start = i < 4 ? i * c.early : 4 * c.early + (i - 4) * c.late;
            levels.push_back(Level(all, info.sampleRate, start + 0.05, start + 0.3));
        }
        const double loudest = *std::max_element(levels.begin(), levels.end());
        EXPECT_GT(loudest, 0.005) << "the synthesizer plays the file";
        for (int i = 0; i < 8; ++i)
            EXPECT_GT(levels[std::size_t(i)], loudest / 4) << "note " << i;
        EXPECT_LT(Level(all, info.sampleRate, info.duration - 0.05, info.duration), loudest / 10);
        // Where the time is the same, so is every sample: none of those messages changes a note.
        if (plain.empty()) plain = all;
        if (c.late == 0.5 && plain.size() == all.size()) {
            double worst = 0;
            for (std::size_t i = 0; i < all.size(); ++i)
                worst = std::max(worst, double(std::abs(all[i] - plain[i])));
            EXPECT_LT(worst, 1e-4);
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(CorpusFile("midi")))
        EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path().filename();
}

std::string Be(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = bytes - 1; i >= 0; --i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
    return s;
}

std::string Midi(const std::string& track, std::uint32_t tracks = 1, std::uint32_t division = 480) {
    return "MThd" + Be(6, 4) + Be(0, 2) + Be(tracks, 2) + Be(division, 2) + "MTrk" +
           Be(std::uint32_t(track.size()), 4) + track;
}

std::string Repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

const std::string kNote = std::string("\x00\x90\x3C\x64\x83\x60\x3C\x00", 8);  // 480 ticks
const std::string kEnd = std::string("\x00\xFF\x2F\x00", 4);

// What is damaged is refused, and the reason says what.
TEST(MidiFile, DamageIsRefusedWithAReason) {
    const std::string good = Midi(kNote + kEnd);
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a MIDI file"},
        {"a wave file", "RIFF" + good.substr(4), "not a MIDI file"},
        {"short header", good.substr(0, 4) + Be(4, 4) + good.substr(8), "a header of 4 bytes"},
        {"no tracks", Midi(kNote + kEnd, 0), "no tracks"},
        {"no division", Midi(kNote + kEnd, 1, 0), "no ticks to the quarter note"},
        {"time code of no ticks", Midi(kNote + kEnd, 1, 0xE700),
         "a time code division of 25 frames a second and 0"},
        {"no track chunk", good.substr(0, 14) + "XTrk" + Be(0, 4), "no track in the file"},
        {"cut by the file", good.substr(0, good.size() - 6), "track 1 runs past the end of the file"},
        {"cut by its chunk", Midi(kNote.substr(0, 6)) + "MTrk" + Be(4, 4) + kEnd,
         "track 1 ends in the middle of an event"},
        {"five-byte number", Midi(std::string("\x80\x80\x80\x80\x00\xF8", 6) + kEnd),
         "track 1 has a number of more than four bytes at byte 22"},
        {"data with no status", Midi(std::string("\x00\x3C\x64", 3) + kEnd),
         "track 1 has a data byte with no status before it at byte 23"},
        // A song select ends running status; a clock does not (read in the next case).
        {"running status after song select", Midi(kNote + std::string("\x00\xF3\x01\x00\x3C\x00", 6) + kEnd),
         "track 1 has a data byte with no status"},
        {"running status after a meta event",
         Midi(kNote + std::string("\x00\xFF\x01\x00\x00\x3C\x00", 7) + kEnd),
         "track 1 has a data byte with no status"},
        {"past 2^32 ticks", Midi(Repeat(std::string("\xFF\xFF\xFF\x7F\xF8", 5), 17) + kEnd),
         "track 1 lasts more than 2^32 ticks"},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(ReadMidiFile(c.bytes, &reason)) << c.name;
        EXPECT_EQ(reason.substr(0, std::strlen(c.reason)), c.reason) << c.name << ": " << reason;
    }
    EXPECT_TRUE(ReadMidiFile(Midi(kNote + std::string("\x00\xF8\x00\x3C\x00", 5) + kEnd)));

    // The files kept under refused/, and the decoder that says why.
    const std::pair<const char*, const char*> files[] = {
        {"midi-running-status-after-song-select.mid", "track 1 has a data byte with no status before it"},
        {"midi-cut-in-a-note.mid", "track 1 runs past the end of the file"},
    };
    for (const auto& [name, why] : files) {
        std::string reason;
        EXPECT_FALSE(OpenMidi(CorpusFile(std::string("refused/") + name).string(), &reason)) << name;
        EXPECT_EQ(reason.find(std::string("not a MIDI file the game plays: ") + why), 0u) << reason;
    }
}

// What the synthesizer gets is the same music: read again it gives the same length and
// tempos, and is left as it is. Two clocks a whole delta time long each leave a gap
// longer than one delta time can say once they are dropped.
TEST(MidiFile, TheRewrittenFileIsTheSameMusic) {
    std::vector<std::string> files = {Midi(Repeat(std::string("\xFF\xFF\xFF\x7F\xF8", 5), 2) + kNote + kEnd)};
    for (const auto& entry : std::filesystem::directory_iterator(CorpusFile("midi")))
        files.push_back(Bytes(entry.path()));
    for (const std::string& bytes : files) {
        const auto file = ReadMidiFile(bytes);
        ASSERT_TRUE(file);
        const auto again = ReadMidiFile(file->playable);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->timing.lastTick, file->timing.lastTick);
        ASSERT_EQ(again->timing.tempos.size(), file->timing.tempos.size());
        for (std::size_t i = 0; i < file->timing.tempos.size(); ++i) {
            EXPECT_EQ(again->timing.tempos[i].tick, file->timing.tempos[i].tick);
            EXPECT_DOUBLE_EQ(again->timing.tempos[i].secondsPerTick, file->timing.tempos[i].secondsPerTick);
        }
        EXPECT_EQ(again->playable, file->playable);
    }
    EXPECT_EQ(ReadMidiFile(files[0])->timing.lastTick, 2u * 0x0FFFFFFF + 480);
}

}  // namespace
}  // namespace quorvel::ff
