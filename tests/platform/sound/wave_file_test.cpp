#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include <cstdint>
#include <cstring>

#include "platform/sound/sound_fixtures.h"
#include "platform/sound/wave_file.h"
#include "support/temp_folder.h"

namespace quorvel::sound {
namespace {

std::string Le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
    return s;
}

// A wave file around raw sample bytes; `extensible` wraps the tag in the long header,
// with `validBits` (default: all of `bits`). The block align defaults to whole bytes of
// `bits` for each channel.
std::string Wave(int tag, int channels, int rate, int bits, const std::string& data, bool extensible = false,
                 int blockAlign = -1, int validBits = -1) {
    if (blockAlign < 0) blockAlign = channels * ((bits + 7) / 8);
    std::string fmt = Le(extensible ? 0xFFFE : tag, 2) + Le(channels, 2) + Le(rate, 4) +
                      Le(rate * blockAlign, 4) + Le(blockAlign, 2) + Le(bits, 2);
    if (extensible)
        fmt += Le(22, 2) + Le(validBits < 0 ? bits : validBits, 2) + Le(3, 4) + Le(tag, 2) +
               std::string(14, '\x01');
    std::string body = "WAVE";
    body += "fmt " + Le(fmt.size(), 4) + fmt;
    body += "LIST" + Le(3, 4) + "abc" + '\0';  // odd-sized chunk with its pad byte, to be skipped
    body += "data" + Le(data.size(), 4) + data;
    return "RIFF" + Le(body.size(), 4) + body;
}

std::string Floats(std::initializer_list<float> values) {
    std::string s;
    for (float f : values) {
        char b[4];
        std::memcpy(b, &f, 4);
        s.append(b, 4);
    }
    return s;
}

std::string Doubles(std::initializer_list<double> values) {
    std::string s;
    for (double d : values) {
        char b[8];
        std::memcpy(b, &d, 8);
        s.append(b, 8);
    }
    return s;
}

TEST(WaveFile, ReadsEverySampleFormatAs16Bit) {
    struct Case {
        const char* name;
        std::string bytes;
        int channels;
        int bits;
        std::vector<std::int16_t> samples;
    };
    const Case cases[] = {
        {"8-bit unsigned", Wave(1, 1, 8000, 8, std::string("\x80\xFF\x00", 3)), 1, 8, {0, 32512, -32768}},
        {"16-bit stereo", Wave(1, 2, 8000, 16, Le(1000, 2) + Le(0xFC18, 2)), 2, 16, {1000, -1000}},
        {"24-bit", Wave(1, 1, 8000, 24, std::string("\x00\x34\x12", 3)), 1, 24, {0x1234}},
        {"32-bit", Wave(1, 1, 8000, 32, Le(0x80000000u, 4)), 1, 32, {-32768}},
        // Full scale is 32768, clipped at the top.
        {"float",
         Wave(3, 1, 8000, 32, Floats({0.5f, -1.0f, 2.0f, 1.0f})),
         1,
         32,
         {16384, -32768, 32767, 32767}},
        {"double", Wave(3, 1, 8000, 64, Doubles({-0.5})), 1, 64, {-16384}},
        {"extensible 16-bit", Wave(1, 1, 8000, 16, Le(7, 2), true), 1, 16, {7}},
        {"extensible float", Wave(3, 1, 8000, 32, Floats({0.25f}), true), 1, 32, {8192}},
    };
    for (const Case& c : cases) {
        const auto wave = ParseWave(c.bytes);
        ASSERT_TRUE(wave) << c.name;
        EXPECT_EQ(wave->pcm.channels, c.channels) << c.name;
        EXPECT_EQ(wave->pcm.sampleRate, 8000) << c.name;
        EXPECT_EQ(wave->format.bitsPerSample, c.bits) << c.name;
        EXPECT_EQ(wave->pcm.samples, c.samples) << c.name;
    }
}

// Samples narrower than their containers sit at the top of them, whatever the padding
// bits below hold; the container comes from the block align. Worked out by hand: the
// top 16 bits of the sample, cut (not rounded) where it is wider.
TEST(WaveFile, ReadsSamplesInWiderContainers) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::int16_t> samples;
    };
    const std::string s24in32 = std::string("\xAB\x56\x34\x12", 4) +  // 0x123456, padding 0xAB
                                std::string("\x00\xAA\xCB\xED", 4);   // -0x123456
    const Case cases[] = {
        {"24 valid in 32-bit extensible, stereo", Wave(1, 2, 8000, 32, s24in32, true, 8, 24), {4660, -4661}},
        // Some writers give 24 bits a sample and four bytes by the block align only.
        {"24-bit with block align 8, stereo", Wave(1, 2, 8000, 24, s24in32, true, 8), {4660, -4661}},
        {"24-bit plain with block align 4", Wave(1, 1, 8000, 24, s24in32.substr(0, 4), false, 4), {4660}},
        {"20-bit in 3 bytes",
         Wave(1, 1, 8000, 20, std::string("\x5F\x34\x12\x00\x00\x80", 6)),  // 0x12345, -0x80000
         {4660, -32768}},
        {"12-bit in 2 bytes",
         Wave(1, 1, 8000, 12, std::string("\xFF\x7F\xF0\xFF\x00\x80", 6)),  // 0x7FF, -1, -0x800
         {32752, -16, -32768}},
        {"12 valid in 16-bit extensible",
         Wave(1, 1, 8000, 16, std::string("\x0A\x7F", 2), true, 2, 12),
         {32512}},
        {"16 valid in 32-bit",
         Wave(1, 1, 8000, 32, std::string("\xFF\xFF\x34\x12", 4), true, 4, 16),
         {0x1234}},
        {"7 valid in 8-bit", Wave(1, 1, 8000, 8, std::string("\x01\xFF", 2), true, 1, 7), {-32768, 32256}},
        // A block align of 0 means the samples' own bytes.
        {"no block align", Wave(1, 2, 8000, 16, Le(5, 2) + Le(0xFFFB, 2), false, 0), {5, -5}},
    };
    for (const Case& c : cases) {
        std::string reason;
        const auto wave = ParseWave(c.bytes, &reason);
        ASSERT_TRUE(wave) << c.name << ": " << reason;
        EXPECT_EQ(wave->pcm.samples, c.samples) << c.name;
    }
}

TEST(WaveFile, RejectsWhatItCannotPlayAndSaysWhy) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", "", "not a RIFF wave file"},
        {"not RIFF", "RIFX" + Wave(1, 1, 8000, 16, Le(1, 2)).substr(4), "not a RIFF wave file"},
        {"compressed", Wave(2, 1, 8000, 4, "abcd"), "compressed samples (format 2)"},
        {"extensible compressed", Wave(2, 1, 8000, 4, "abcd", true), "compressed samples (format 2)"},
        {"six channels", Wave(1, 6, 8000, 16, std::string(12, '\0')), "6 channels"},
        {"33-bit", Wave(1, 1, 8000, 33, "abcde"), "33-bit PCM samples"},
        {"more valid bits than the container", Wave(1, 1, 8000, 16, "ab", true, 2, 20),
         "20 valid bits in 16-bit"},
        {"container too small", Wave(1, 2, 8000, 16, "ab", false, 2),
         "block align 2 does not fit 16-bit samples in 2 channels"},
        {"container wider than 4 bytes", Wave(1, 1, 8000, 24, "abcdef", false, 6), "block align 6"},
        {"float in a wider container", Wave(3, 1, 8000, 32, "abcdefgh", false, 8), "block align 8"},
        {"odd block align for stereo", Wave(1, 2, 8000, 8, "abc", false, 3), "block align 3"},
        {"16-bit float", Wave(3, 1, 8000, 16, "ab"), "16-bit float samples"},
        {"zero rate", Wave(1, 1, 0, 16, "ab"), "no sample rate"},
        {"no format chunk", "RIFF" + Le(12, 4) + "WAVEdata" + Le(0, 4), "no format chunk"},
        {"no data chunk", Wave(1, 1, 8000, 16, "ab").substr(0, 12 + 8 + 16 + 12), "no data chunk"},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_FALSE(ParseWave(c.bytes, &reason)) << c.name;
        EXPECT_EQ(reason.substr(0, std::strlen(c.reason)), c.reason) << c.name;
    }
}

// Only a regular file is read: a FIFO or an endless device would never end.
TEST(WaveFile, SpecialFilesAreRefused) {
    test::TempFolder dir;
    ASSERT_EQ(mkfifo((dir.path() / "fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.wav");
    for (const char* name : {"fifo.wav", "zero.wav"}) {
        std::string reason;
        EXPECT_FALSE(ReadWaveFile((dir.path() / name).string(), &reason)) << name;
        EXPECT_EQ(reason, "not a regular file") << name;
    }
}

TEST(WaveFile, CutOffDataKeepsTheWholeFrames) {
    // The header promises more than the file holds; the frames that are there still play.
    std::string bytes = Wave(1, 2, 8000, 16, Le(1, 2) + Le(2, 2) + Le(3, 2) + Le(4, 2));
    bytes.resize(bytes.size() - 2);
    const auto wave = ParseWave(bytes);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->pcm.samples, (std::vector<std::int16_t>{1, 2}));
}

TEST(WaveFile, WrittenToneReadsBack) {
    const PcmData tone = test::Tone(440, 0.05, 11025, 2);
    const auto wave = ParseWave(test::WaveBytes(tone));
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->pcm.samples, tone.samples);
    EXPECT_FALSE(ReadWaveFile("/nonexistent/file.wav"));
}

}  // namespace
}  // namespace quorvel::sound
