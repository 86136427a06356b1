#include "platform/sound/sound_fixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace quorvel::test {

sound::PcmData Tone(double frequency, double seconds, int sampleRate, int channels, double amplitude) {
    sound::PcmData pcm;
    pcm.sampleRate = sampleRate;
    pcm.channels = channels;
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    pcm.samples.reserve(frames * std::size_t(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * std::numbers::pi * frequency * double(i) / sampleRate);
        for (int c = 0; c < channels; ++c)
            pcm.samples.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
    }
    return pcm;
}

void AppendSilence(sound::PcmData& pcm, double seconds) {
    pcm.samples.resize(pcm.samples.size() +
                       static_cast<std::size_t>(seconds * pcm.sampleRate) * std::size_t(pcm.channels));
}

std::string WaveBytes(const sound::PcmData& pcm) {
    std::string out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(char((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&](std::uint32_t v) {
        out.push_back(char(v & 0xFF));
        out.push_back(char((v >> 8) & 0xFF));
    };
    const auto dataBytes = std::uint32_t(pcm.samples.size() * 2);
    out += "RIFF";
    u32(36 + dataBytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(std::uint32_t(pcm.channels));
    u32(std::uint32_t(pcm.sampleRate));
    u32(std::uint32_t(pcm.sampleRate * pcm.channels * 2));
    u16(std::uint32_t(pcm.channels * 2));
    u16(16);
    out += "data";
    u32(dataBytes);
    for (std::int16_t s : pcm.samples)
        u16(std::uint16_t(s));
    return out;
}

double Rms(const std::vector<float>& stereo, int channel) {
    const std::size_t frames = stereo.size() / 2;
    if (frames == 0) return 0;
    double sum = 0;
    for (std::size_t i = 0; i < frames; ++i)
        sum += double(stereo[2 * i + std::size_t(channel)]) * stereo[2 * i + std::size_t(channel)];
    return std::sqrt(sum / double(frames));
}

double ToneLevel(const std::vector<float>& stereo, int channel, int sampleRate, double frequency) {
    const std::size_t frames = stereo.size() / 2;
    if (frames == 0) return 0;
    const double w = 2 * std::numbers::pi * frequency / sampleRate;
    const double coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double s0 = stereo[2 * i + std::size_t(channel)] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / double(frames);
}

}  // namespace quorvel::test
