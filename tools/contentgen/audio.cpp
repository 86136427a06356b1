#include "audio.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "loudness.h"

extern char** environ;

namespace quorvel::content {

std::string WavBytes(const Pcm& pcm) {
    std::string out;
    auto u16 = [&out](std::uint16_t v) {
        out.push_back(char(v & 0xFF));
        out.push_back(char(v >> 8));
    };
    auto u32 = [&u16](std::uint32_t v) {
        u16(std::uint16_t(v & 0xFFFF));
        u16(std::uint16_t(v >> 16));
    };
    const auto dataBytes = std::uint32_t(pcm.samples.size() * 2);
    out += "RIFF";
    u32(36 + dataBytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(std::uint16_t(pcm.channels));
    u32(std::uint32_t(pcm.rate));
    u32(std::uint32_t(pcm.rate * pcm.channels * 2));
    u16(std::uint16_t(pcm.channels * 2));
    u16(16);
    out += "data";
    u32(dataBytes);
    for (float s : pcm.samples) {
        const long v = std::lround(std::clamp(double(s), -1.0, 1.0) * 32767);
        u16(std::uint16_t(std::int16_t(v)));
    }
    return out;
}

void Normalize(Pcm& pcm, double peak) {
    float m = 0;
    for (float s : pcm.samples)
        m = std::max(m, std::abs(s));
    if (m < 1e-9f) return;
    const float k = float(peak / m);
    for (float& s : pcm.samples)
        s *= k;
}

namespace {

double Loudness(const Pcm& pcm) {
    return IntegratedLufs(pcm.samples.data(), pcm.Frames(), pcm.channels, pcm.rate);
}

}  // namespace

double TruePeakDb(const Pcm& pcm) {
    return content::TruePeakDb(pcm.samples.data(), pcm.Frames(), pcm.channels, pcm.rate);
}

void CapTruePeak(Pcm& pcm, double ceilingDb) {
    const double now = TruePeakDb(pcm);
    if (now <= ceilingDb) return;
    const float k = float(std::pow(10.0, (ceilingDb - now) / 20));
    for (float& s : pcm.samples)
        s *= k;
}

namespace {

// Turns down the frames whose true peak would pass `ceiling`: the gain needed at
// each frame is held over a millisecond and a half before and after it, eased in over
// as long, so it is down before the peak comes, and given back over 60 ms so that it
// does not flutter.
void LimitTruePeaks(Pcm& pcm, double ceiling) {
    std::vector<float> peaks;
    TruePeak(pcm.samples.data(), pcm.Frames(), pcm.channels, pcm.rate, &peaks);
    const std::size_t n = peaks.size(), hold = std::size_t(0.0015 * pcm.rate);
    std::vector<double> need(n), held(n);
    for (std::size_t i = 0; i < n; ++i)
        need[i] = peaks[i] > ceiling ? ceiling / peaks[i] : 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        double m = 1;
        for (std::size_t j = i > hold ? i - hold : 0; j <= std::min(n - 1, i + hold); ++j)
            m = std::min(m, need[j]);
        held[i] = m;
    }
    // The mean of the held gains round a frame is never above the gain that frame
    // needs: each of them holds that frame's own need.
    const double release = 1 - std::exp(-1.0 / (0.06 * pcm.rate));
    double gain = 1;
    for (std::size_t i = 0; i < n; ++i) {
        double sum = 0;
        std::size_t count = 0;
        for (std::size_t j = i > hold ? i - hold : 0; j <= std::min(n - 1, i + hold); ++j)
            sum += held[j], ++count;
        gain = std::min(sum / double(count), gain + (1 - gain) * release);
        for (int c = 0; c < pcm.channels; ++c)
            pcm.samples[i * std::size_t(pcm.channels) + std::size_t(c)] *= float(gain);
    }
}

}  // namespace

void LevelTo(Pcm& pcm, double lufs, double ceilingDb) {
    // A few rounds: scale, then turn down what would pass the ceiling; limiting takes
    // some loudness away, which the next round gives back.
    const double ceiling = std::pow(10.0, ceilingDb / 20);
    for (int round = 0; round < 10; ++round) {
        const double now = Loudness(pcm);
        if (now < -69) return;
        if (std::abs(now - lufs) < 0.05 && TruePeakDb(pcm) <= ceilingDb) return;
        const float k = float(std::pow(10.0, (lufs - now) / 20));
        for (float& s : pcm.samples)
            s *= k;
        LimitTruePeaks(pcm, ceiling * 0.97);
    }
    // Never over the ceiling, even if that leaves the sound a little short of its level.
    CapTruePeak(pcm, ceilingDb);
}

void FadeEnds(Pcm& pcm, double seconds) {
    const std::size_t n = std::min(pcm.Frames() / 2, std::size_t(seconds * pcm.rate));
    for (std::size_t i = 0; i < n; ++i) {
        const float k = float(i) / float(n);
        for (int c = 0; c < pcm.channels; ++c) {
            pcm.samples[i * pcm.channels + c] *= k;
            pcm.samples[(pcm.Frames() - 1 - i) * pcm.channels + c] *= k;
        }
    }
}

namespace {

// Reads a 16-bit PCM WAVE file, whatever the data size in its header says: a
// synthesizer writing to a pipe may leave it unset.
std::optional<Pcm> ReadWav(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    auto u16 = [&bytes](std::size_t at) {
        return std::uint16_t(std::uint8_t(bytes[at]) | (std::uint8_t(bytes[at + 1]) << 8));
    };
    auto u32 = [&u16](std::size_t at) { return std::uint32_t(u16(at) | (std::uint32_t(u16(at + 2)) << 16)); };
    Pcm pcm;
    int bits = 0;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        std::size_t size = u32(at + 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            pcm.channels = u16(body + 2);
            pcm.rate = int(u32(body + 4));
            bits = u16(body + 14);
        } else if (id == "data") {
            size = std::min(size, bytes.size() - body);
            if (bits != 16 || pcm.channels < 1) return std::nullopt;
            for (std::size_t i = 0; i + 1 < size; i += 2)
                pcm.samples.push_back(std::int16_t(u16(body + i)) / 32768.0f);
            return pcm;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<Pcm> Speak(const std::string& text, const std::string& voice, int wordsPerMinute, int pitch,
                         int wordGap) {
    static std::atomic<int> counter{0};
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("quorvel-speech-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".wav");
    const std::string speed = std::to_string(wordsPerMinute), height = std::to_string(pitch),
                      gap = std::to_string(wordGap), out = file.string();
    std::vector<std::string> args = {"espeak-ng", "-v", voice, "-s", speed, "-p", height,
                                     "-g",        gap,  "-w",  out,  "--",  text};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, argv.data(), environ) != 0) return std::nullopt;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    std::optional<Pcm> pcm;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        pcm = ReadWav(all.str());
    }
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (pcm && pcm->samples.empty()) pcm.reset();
    return pcm;
}

}  // namespace quorvel::content
