#include "content_formats.h"

#include <cstdint>
#include <cstring>

namespace quorvel::test {

namespace {

using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

std::uint32_t U16(const std::string& b, std::size_t at) {
    return std::uint8_t(b[at]) | (std::uint32_t(std::uint8_t(b[at + 1])) << 8);
}
std::uint32_t U32(const std::string& b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}
bool Starts(const std::string& b, const char* magic, std::size_t n) {
    return b.size() >= n && b.compare(0, n, magic, n) == 0;
}

}  // namespace

AssertionResult IsWav(const std::string& b) {
    if (!Starts(b, "RIFF", 4) || b.size() < 44 || b.compare(8, 8, "WAVEfmt ") != 0)
        return AssertionFailure() << "no RIFF/WAVE";
    const std::uint32_t rate = U32(b, 24);
    if (U16(b, 20) != 1 || U16(b, 34) != 16) return AssertionFailure() << "not 16-bit PCM";
    if (rate != 22050 && rate != 44100) return AssertionFailure() << "sample rate " << rate;
    if (b.compare(36, 4, "data") != 0 || U32(b, 40) == 0 || U32(b, 40) + 44 != b.size())
        return AssertionFailure() << "data chunk does not fill the file";
    return AssertionSuccess();
}

AssertionResult IsAsf(const std::string& b) {
    static const unsigned char header[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    if (b.size() < 1024 || std::memcmp(b.data(), header, 16) != 0)
        return AssertionFailure() << "no ASF header object";
    return AssertionSuccess();
}

AssertionResult IsMp3(const std::string& b) {
    std::size_t at = 0;
    if (Starts(b, "ID3", 3) && b.size() > 10)  // skip the tag: its size is four 7-bit bytes
        at = 10 + ((std::uint8_t(b[6]) << 21) | (std::uint8_t(b[7]) << 14) | (std::uint8_t(b[8]) << 7) |
                   std::uint8_t(b[9]));
    if (at + 2 > b.size() || std::uint8_t(b[at]) != 0xFF || (std::uint8_t(b[at + 1]) & 0xE0) != 0xE0)
        return AssertionFailure() << "no MPEG audio frame";
    return AssertionSuccess();
}

AssertionResult IsOggVorbis(const std::string& b) {
    if (!Starts(b, "OggS", 4) || b.find("\x01vorbis") == std::string::npos)
        return AssertionFailure() << "no Ogg Vorbis";
    return AssertionSuccess();
}

AssertionResult IsMidi(const std::string& b) {
    if (!Starts(b, "MThd", 4) || b.size() < 22 || b.compare(14, 4, "MTrk") != 0)
        return AssertionFailure() << "no MIDI";
    return AssertionSuccess();
}

AssertionResult IsJpeg(const std::string& b) {
    if (b.size() < 4 || std::uint8_t(b[0]) != 0xFF || std::uint8_t(b[1]) != 0xD8 ||
        std::uint8_t(b[2]) != 0xFF)
        return AssertionFailure() << "no JPEG start of image";
    if (std::uint8_t(b[b.size() - 2]) != 0xFF || std::uint8_t(b[b.size() - 1]) != 0xD9)
        return AssertionFailure() << "JPEG does not end";
    return AssertionSuccess();
}

AssertionResult IsPng(const std::string& b) {
    if (!Starts(b, "\x89PNG\r\n\x1a\n", 8)) return AssertionFailure() << "no PNG signature";
    return AssertionSuccess();
}

AssertionResult IsBmp(const std::string& b) {
    if (!Starts(b, "BM", 2) || b.size() < 54 || U32(b, 2) != b.size()) return AssertionFailure() << "no BMP";
    if (U16(b, 28) != 24) return AssertionFailure() << "not 24-bit";
    return AssertionSuccess();
}

AssertionResult Is3ds(const std::string& b) {
    if (b.size() < 6 || U16(b, 0) != 0x4D4D || U32(b, 2) != b.size())
        return AssertionFailure() << "no 3DS main chunk";
    return AssertionSuccess();
}

AssertionResult IsMd2(const std::string& b) {
    if (!Starts(b, "IDP2", 4) || b.size() < 68 || U32(b, 4) != 8)
        return AssertionFailure() << "no IDP2 version 8";
    const std::uint32_t frameSize = U32(b, 16), vertices = U32(b, 24), frames = U32(b, 40), end = U32(b, 64);
    if (end != b.size() || frameSize != 40 + 4 * vertices) return AssertionFailure() << "sizes do not add up";
    if (frames < 2) return AssertionFailure() << "one keyframe only";
    return AssertionSuccess();
}

AssertionResult IsParticleFile(const std::string& b) {
    // A name of n character slots ends in a slot holding 13; 94 setting slots follow.
    std::size_t n = 0;
    while ((n + 1) * 4 <= b.size() && U32(b, n * 4) != 13)
        ++n;
    if ((n + 1) * 4 > b.size()) return AssertionFailure() << "no name terminator";
    if (b.size() != 4 * n + 380) return AssertionFailure() << b.size() << " bytes for a name of " << n;
    return AssertionSuccess();
}

AssertionResult IsCrLfText(const std::string& b) {
    if (b.empty()) return AssertionFailure() << "empty";
    std::size_t start = 0;
    while (start < b.size()) {
        const std::size_t end = b.find("\r\n", start);
        if (end == std::string::npos) return AssertionFailure() << "a line does not end in CR LF";
        if (end == start) return AssertionFailure() << "empty line";
        if (b.find_first_of("\r\n", start) != end) return AssertionFailure() << "stray line break";
        start = end + 2;
    }
    return AssertionSuccess();
}

AssertionResult HasFormat(content::Format format, const std::string& bytes) {
    using content::Format;
    switch (format) {
        case Format::Wav:
            return IsWav(bytes);
        case Format::Wma:
        case Format::Wmv:
            return IsAsf(bytes);
        case Format::Mp3:
            return IsMp3(bytes);
        case Format::Ogg:
            return IsOggVorbis(bytes);
        case Format::Midi:
            return IsMidi(bytes);
        case Format::Jpeg:
            return IsJpeg(bytes);
        case Format::Png:
            return IsPng(bytes);
        case Format::Bmp:
            return IsBmp(bytes);
        case Format::Model:
            return Is3ds(bytes);
        case Format::Md2:
            return IsMd2(bytes);
        case Format::Par:
            return IsParticleFile(bytes);
        case Format::Text:
            return IsCrLfText(bytes);
    }
    return AssertionFailure() << "unknown format";
}

}  // namespace quorvel::test
