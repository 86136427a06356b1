// Wave files as other programs write them (fuzz/corpus/wav, made by its make.sh):
// each is read, and its samples match what the program that wrote it decodes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "platform/sound/wave_file.h"
#include "support/tool_output.h"

namespace quorvel::sound {
namespace {

using test::CorpusFile;
using test::ToolOutput;

enum class Decoder { Sox, Ffmpeg };

// The samples as `decoder` reads them, 16-bit little-endian, no dither.
std::optional<std::vector<std::int16_t>> Reference(Decoder decoder, const std::filesystem::path& file) {
    const std::string quoted = "'" + file.string() + "'";
    const auto raw = decoder == Decoder::Sox
                         ? ToolOutput("sox -D " + quoted + " -t raw -e signed-integer -b 16 -L -")
                         : ToolOutput("ffmpeg -loglevel error -i " + quoted + " -f s16le -c:a pcm_s16le -");
    if (!raw) return std::nullopt;
    std::vector<std::int16_t> samples(raw->size() / 2);
    std::memcpy(samples.data(), raw->data(), samples.size() * 2);
    return samples;
}

// Each file is read with its channels, rate and length, sample for sample as its
// maker reads it (within one step where the file holds more than 16 bits, which the
// tools round and the reader cuts). Samples in wider containers, which neither tool
// reads right, are checked against the file they were moved from.
TEST(WaveCorpus, FilesOtherProgramsWriteAreReadAsTheyPlayThem) {
    const struct {
        const char* file;
        Decoder decoder;
        int channels, rate, bits;
        std::size_t frames;
        int tolerance;
        const char* reference = nullptr;  // the file the decoder reads instead, when not `file`
    } cases[] = {
        {"sox-u8.wav", Decoder::Sox, 1, 8000, 8, 400, 0},
        {"sox-s16-stereo.wav", Decoder::Sox, 2, 11025, 16, 551, 0},
        {"sox-s24.wav", Decoder::Sox, 2, 11025, 24, 551, 1},  // extensible, with a fact chunk
        {"sox-s32.wav", Decoder::Sox, 1, 11025, 32, 551, 1},
        {"sox-f32.wav", Decoder::Sox, 2, 11025, 32, 551, 0},
        {"sox-f64.wav", Decoder::Sox, 1, 11025, 64, 551, 0},
        {"ffmpeg-s16.wav", Decoder::Ffmpeg, 1, 11025, 16, 551, 0},  // with a LIST chunk
        {"ffmpeg-u8-odd.wav", Decoder::Ffmpeg, 1, 8000, 8, 401, 0},
        {"ffmpeg-s24.wav", Decoder::Ffmpeg, 1, 11025, 24, 551, 1},
        {"ffmpeg-f32-stereo.wav", Decoder::Ffmpeg, 2, 11025, 32, 551, 0},
        {"ffmpeg-pipe.wav", Decoder::Ffmpeg, 1, 11025, 16, 551, 0},  // sizes left unknown
        {"python-wave.wav", Decoder::Sox, 1, 8000, 16, 401, 0},
        {"hand-odd-chunks.wav", Decoder::Sox, 1, 8000, 8, 401, 0},
        {"ffmpeg-s32-extensible.wav", Decoder::Ffmpeg, 2, 11025, 32, 551, 1},
        // sox's 24-bit samples moved to the top of 4-byte containers.
        {"hand-24in32-stereo.wav", Decoder::Sox, 2, 11025, 32, 551, 1, "sox-s24.wav"},
        {"hand-24-align8-stereo.wav", Decoder::Sox, 2, 11025, 24, 551, 1, "sox-s24.wav"},
        {"hand-12in16.wav", Decoder::Ffmpeg, 1, 8000, 12, 401, 0},
        {"hand-20in24.wav", Decoder::Ffmpeg, 1, 8000, 20, 401, 0},
    };
    std::set<std::string> listed;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        listed.insert(c.file);
        const auto path = CorpusFile(std::string("wav/") + c.file);
        std::string reason;
        const auto wave = ReadWaveFile(path.string(), &reason);
        ASSERT_TRUE(wave) << reason;
        EXPECT_EQ(wave->pcm.channels, c.channels);
        EXPECT_EQ(wave->pcm.sampleRate, c.rate);
        EXPECT_EQ(wave->format.bitsPerSample, c.bits);
        EXPECT_EQ(wave->pcm.Frames(), c.frames);
        const auto reference =
            Reference(c.decoder, c.reference ? CorpusFile(std::string("wav/") + c.reference) : path);
        ASSERT_TRUE(reference) << "the tool that wrote the file could not read it";
        ASSERT_EQ(reference->size(), wave->pcm.samples.size());
        int worst = 0, peak = 0;
        for (std::size_t i = 0; i < reference->size(); ++i) {
            worst = std::max(worst, std::abs(int(wave->pcm.samples[i]) - int((*reference)[i])));
            peak = std::max(peak, std::abs(int((*reference)[i])));
        }
        EXPECT_LE(worst, c.tolerance);
        EXPECT_GT(peak, 2000) << "a tone, not silence";
    }
    // A file added to the corpus is listed here, so none goes unchecked.
    for (const auto& entry : std::filesystem::directory_iterator(CorpusFile("wav")))
        EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path().filename();
}

// What the game cannot play is refused, and the reason says why.
TEST(WaveCorpus, WhatTheGameCannotPlayIsRefusedWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"sox-mu-law.wav", "compressed samples (format 7)"},
        {"ffmpeg-adpcm.wav", "compressed samples (format 2)"},
        {"ffmpeg-5.1.wav", "6 channels"},
    };
    for (const auto& [file, why] : cases) {
        SCOPED_TRACE(file);
        std::string reason;
        EXPECT_FALSE(ReadWaveFile(CorpusFile(std::string("refused/") + file).string(), &reason));
        EXPECT_NE(reason.find(why), std::string::npos) << reason;
    }
}

}  // namespace
}  // namespace quorvel::sound
