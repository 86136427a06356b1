#include "platform/sound/wave_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/system/safe_file.h"

namespace quorvel::sound {
namespace {

std::uint32_t U32(std::string_view b, std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

int U16(std::string_view b, std::size_t at) {
    return int(std::uint8_t(b[at])) | int(std::uint8_t(b[at + 1])) << 8;
}

// Full scale is 32768, clipped at the top, as the tools that write float files read
// them back.
std::int16_t FromFloat(double v) {
    return static_cast<std::int16_t>(
        std::clamp(std::lround(std::clamp(v, -1.0, 1.0) * 32768.0), -32768L, 32767L));
}

// One float sample at `p`, as 16-bit PCM.
std::int16_t FloatSample(const unsigned char* p, int bits) {
    if (bits == 32) {
        float f;
        std::memcpy(&f, p, 4);
        return FromFloat(std::isfinite(f) ? f : 0.0);
    }
    double d;
    std::memcpy(&d, p, 8);
    return FromFloat(std::isfinite(d) ? d : 0.0);
}

// One integer sample in a container of `bytes` bytes at `p`, as 16-bit PCM. The sample's
// `valid` bits sit at the top of the container; the bits below them are padding, whatever
// they hold. One-byte containers are unsigned, wider ones signed; more than 16 bits are cut
// to 16, fewer are widened.
std::int16_t PcmSample(const unsigned char* p, int bytes, int valid) {
    std::uint32_t raw = 0;
    for (int i = 0; i < bytes; ++i)
        raw |= std::uint32_t(p[i]) << (8 * i);
    const int containerBits = 8 * bytes;
    raw &= ~((std::uint32_t(1) << (containerBits - valid)) - 1);
    if (bytes == 1) raw ^= 0x80;  // unsigned to signed
    // Up to the top of 32 bits, where the sign sits for every width.
    const auto top = static_cast<std::int32_t>(raw << (32 - containerBits));
    return static_cast<std::int16_t>(top >> 16);
}

}  // namespace

std::optional<WaveFile> ParseWave(std::string_view b, std::string* reason) {
    auto refuse = [&](const std::string& why) -> std::optional<WaveFile> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE")
        return refuse("not a RIFF wave file");
    WaveFile out;
    bool haveFormat = false;
    int kind = 0;  // the plain format tag, also for the extensible header
    int blockAlign = 0;
    int validBits = 0;  // of the extensible header; 0 when it does not say
    std::string_view data;
    bool haveData = false;
    std::size_t at = 12;
    // Chunks the game does not use (LIST, fact, cue, ...) are skipped; each chunk of
    // odd size is followed by a pad byte.
    while (at + 8 <= b.size()) {
        const std::string_view id = b.substr(at, 4);
        const std::size_t size = U32(b, at + 4);
        const std::size_t body = at + 8;
        const std::size_t avail = std::min(size, b.size() - body);  // a cut-off last chunk still counts
        if (id == "fmt " && avail >= 16) {
            WaveFormat& f = out.format;
            f.formatTag = U16(b, body);
            f.channels = U16(b, body + 2);
            f.samplesPerSec = int(U32(b, body + 4));
            blockAlign = U16(b, body + 12);
            f.bitsPerSample = U16(b, body + 14);
            f.extraSize = avail >= 18 ? U16(b, body + 16) : 0;
            haveFormat = true;
            kind = f.formatTag;
            // The extensible header's sub-format begins with the plain tag.
            if (kind == 0xFFFE) {
                kind = avail >= 26 ? U16(b, body + 24) : 0;
                validBits = avail >= 20 ? U16(b, body + 18) : 0;
            }
        } else if (id == "data" && !haveData) {
            data = b.substr(body, avail);
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat) return refuse("no format chunk");
    if (!haveData) return refuse("no data chunk");

    const WaveFormat& f = out.format;
    const bool isFloat = kind == 3;
    if (kind != 1 && kind != 3)
        return refuse("compressed samples (format " + std::to_string(kind) + "); only PCM and float play");
    if (f.channels < 1 || f.channels > 2)
        return refuse(std::to_string(f.channels) + " channels; only mono and stereo play");
    if (f.samplesPerSec <= 0) return refuse("no sample rate");
    // Integer samples of any width up to 32 bits: in the extensible header the bits per
    // sample give the container and the valid bits the sample within it; in the plain one
    // a width that is no whole number of bytes (12, 20) rounds up to the container.
    const int bits = isFloat ? f.bitsPerSample : (validBits > 0 ? validBits : f.bitsPerSample);
    if (isFloat ? (f.bitsPerSample != 32 && f.bitsPerSample != 64) : (bits < 1 || bits > 32))
        return refuse(std::to_string(bits) + "-bit " + (isFloat ? "float" : "PCM") +
                      " samples; PCM plays in 1 to 32 bits, float in 32 or 64");
    if (validBits > f.bitsPerSample)
        return refuse(std::to_string(validBits) + " valid bits in " + std::to_string(f.bitsPerSample) +
                      "-bit containers");
    // The block align gives the container: a file may hold 24-bit samples in four bytes.
    // Some writers leave it 0; then each sample takes its own whole bytes.
    if (blockAlign == 0) blockAlign = f.channels * (isFloat ? f.bitsPerSample / 8 : (bits + 7) / 8);
    const int width = blockAlign / f.channels;
    if (blockAlign % f.channels != 0 || 8 * width < bits || width > (isFloat ? f.bitsPerSample / 8 : 4))
        return refuse("block align " + std::to_string(blockAlign) + " does not fit " + std::to_string(bits) +
                      "-bit samples in " + std::to_string(f.channels) +
                      (f.channels == 1 ? " channel" : " channels"));

    const std::size_t frameBytes = std::size_t(blockAlign);
    const std::size_t frames = data.size() / frameBytes;
    out.pcm.sampleRate = f.samplesPerSec;
    out.pcm.channels = f.channels;
    out.pcm.samples.resize(frames * std::size_t(f.channels));
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    for (std::size_t i = 0; i < out.pcm.samples.size(); ++i) {
        const unsigned char* sample = p + i * std::size_t(width);
        out.pcm.samples[i] = isFloat ? FloatSample(sample, f.bitsPerSample) : PcmSample(sample, width, bits);
    }
    return out;
}

std::optional<WaveFile> ReadWaveFile(const std::string& path, std::string* reason) {
    const auto bytes = sys::ReadRegularFile(path, MaxWaveFileBytes, reason);
    if (!bytes) return std::nullopt;
    std::string why;
    auto wave = ParseWave(*bytes, &why);
    if (!wave && reason) *reason = "not a wave file the game plays: " + why;
    return wave;
}

}  // namespace quorvel::sound
