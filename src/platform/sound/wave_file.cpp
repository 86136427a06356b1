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

// One sample of the given width and kind at `p`, as 16-bit PCM.
std::int16_t Sample(const unsigned char* p, int bits, bool isFloat) {
    if (isFloat) {
        if (bits == 32) {
            float f;
            std::memcpy(&f, p, 4);
            return FromFloat(std::isfinite(f) ? f : 0.0);
        }
        double d;
        std::memcpy(&d, p, 8);
        return FromFloat(std::isfinite(d) ? d : 0.0);
    }
    switch (bits) {
        case 8:
            return static_cast<std::int16_t>((int(p[0]) - 128) << 8);
        case 16:
            return static_cast<std::int16_t>(p[0] | p[1] << 8);
        case 24:
            return static_cast<std::int16_t>(p[1] | p[2] << 8);
        default:
            return static_cast<std::int16_t>(p[2] | p[3] << 8);
    }
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
            f.bitsPerSample = U16(b, body + 14);
            f.extraSize = avail >= 18 ? U16(b, body + 16) : 0;
            haveFormat = true;
            kind = f.formatTag;
            // The extensible header's sub-format begins with the plain tag.
            if (kind == 0xFFFE) kind = avail >= 26 ? U16(b, body + 24) : 0;
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
    if (isFloat ? (f.bitsPerSample != 32 && f.bitsPerSample != 64)
                : (f.bitsPerSample != 8 && f.bitsPerSample != 16 && f.bitsPerSample != 24 &&
                   f.bitsPerSample != 32))
        return refuse(std::to_string(f.bitsPerSample) + "-bit " + (isFloat ? "float" : "PCM") +
                      " samples; PCM plays in 8, 16, 24 or 32 bits, float in 32 or 64");

    const std::size_t width = std::size_t(f.bitsPerSample / 8);
    const std::size_t frameBytes = width * std::size_t(f.channels);
    const std::size_t frames = data.size() / frameBytes;
    out.pcm.sampleRate = f.samplesPerSec;
    out.pcm.channels = f.channels;
    out.pcm.samples.resize(frames * std::size_t(f.channels));
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    for (std::size_t i = 0; i < out.pcm.samples.size(); ++i)
        out.pcm.samples[i] = Sample(p + i * width, f.bitsPerSample, isFloat);
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
