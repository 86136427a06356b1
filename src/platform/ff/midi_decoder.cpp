#include <fluidsynth.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/ff/decoders.h"

namespace quorvel::ff {
namespace {

constexpr int kMidiRate = 44100;
// Notes ring on after the last event; the file's length includes this tail.
constexpr double kReleaseTail = 1.0;

// The timing of a standard MIDI file: its tempo map and its last tick.
struct MidiTiming {
    struct Tempo {
        std::uint32_t tick;
        double secondsPerTick;
    };
    std::vector<Tempo> tempos;  // by tick; the first at tick 0
    std::uint32_t lastTick = 0;

    double Seconds(std::uint32_t tick) const {
        double seconds = 0;
        for (std::size_t i = 0; i < tempos.size(); ++i) {
            const std::uint32_t end = i + 1 < tempos.size() ? std::min(tempos[i + 1].tick, tick) : tick;
            if (end <= tempos[i].tick) break;
            seconds += (end - tempos[i].tick) * tempos[i].secondsPerTick;
        }
        return seconds;
    }

    std::uint32_t Tick(double seconds) const {
        double at = 0;
        for (std::size_t i = 0; i < tempos.size(); ++i) {
            const bool last = i + 1 == tempos.size();
            const double span =
                last ? 1e300 : (tempos[i + 1].tick - tempos[i].tick) * tempos[i].secondsPerTick;
            if (seconds < at + span)
                return tempos[i].tick + std::uint32_t((seconds - at) / tempos[i].secondsPerTick);
            at += span;
        }
        return lastTick;
    }
};

class ByteReader {
  public:
    ByteReader(std::string_view bytes, std::size_t at, std::size_t end) : b_(bytes), at_(at), end_(end) {}
    bool More() const { return at_ < end_; }
    bool Byte(std::uint8_t& v) {
        if (at_ >= end_) return false;
        v = std::uint8_t(b_[at_++]);
        return true;
    }
    bool VarLen(std::uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t c;
            if (!Byte(c)) return false;
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return true;
        }
        return false;
    }
    bool Skip(std::size_t n) {
        if (n > end_ - at_) return false;
        at_ += n;
        return true;
    }
    std::size_t At() const { return at_; }

  private:
    std::string_view b_;
    std::size_t at_;
    std::size_t end_;
};

std::uint32_t Be(std::string_view b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | std::uint8_t(b[at + std::size_t(i)]);
    return v;
}

std::optional<MidiTiming> ReadMidiTiming(std::string_view b) {
    if (b.size() < 14 || b.substr(0, 4) != "MThd") return std::nullopt;
    const std::uint32_t headerLength = Be(b, 4, 4);
    const std::uint32_t tracks = Be(b, 10, 2);
    const std::uint32_t division = Be(b, 12, 2);
    if (headerLength < 6 || division == 0 || tracks == 0) return std::nullopt;

    MidiTiming timing;
    double quarterTicks = 0, smpteSecondsPerTick = 0;
    if (division & 0x8000) {
        const int fps = -int(std::int8_t(division >> 8));
        const int perFrame = int(division & 0xFF);
        if (fps <= 0 || perFrame <= 0) return std::nullopt;
        smpteSecondsPerTick = 1.0 / (fps * perFrame);
    } else {
        quarterTicks = division;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tempoEvents;  // tick, microseconds per quarter

    std::size_t at = 8 + std::size_t(headerLength);
    std::uint32_t found = 0;
    while (found < tracks && at + 8 <= b.size()) {
        const std::uint32_t length = Be(b, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t end = std::min(b.size(), body + length);
        const bool isTrack = b.substr(at, 4) == "MTrk";
        at = body + length;
        if (!isTrack) continue;
        ++found;
        ByteReader r(b, body, end);
        std::uint32_t tick = 0;
        std::uint8_t running = 0;
        while (r.More()) {
            std::uint32_t delta;
            std::uint8_t status;
            if (!r.VarLen(delta) || !r.Byte(status)) return std::nullopt;
            tick += delta;
            if (status == 0xFF) {
                std::uint8_t type;
                std::uint32_t length2;
                if (!r.Byte(type) || !r.VarLen(length2)) return std::nullopt;
                const std::size_t data = r.At();
                if (!r.Skip(length2)) return std::nullopt;
                if (type == 0x51 && length2 == 3) tempoEvents.emplace_back(tick, Be(b, data, 3));
                if (type == 0x2F) break;
                running = 0;
            } else if (status == 0xF0 || status == 0xF7) {
                std::uint32_t length2;
                if (!r.VarLen(length2) || !r.Skip(length2)) return std::nullopt;
                running = 0;
            } else {
                std::size_t dataBytes = 0;
                if (status & 0x80) {
                    running = status;
                } else {
                    if (!running) return std::nullopt;
                    dataBytes = 1;  // the byte read was already the first data byte
                }
                const std::uint8_t kind = running & 0xF0;
                const std::size_t need = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
                if (!r.Skip(need - dataBytes)) return std::nullopt;
            }
        }
        timing.lastTick = std::max(timing.lastTick, tick);
    }
    if (found == 0) return std::nullopt;

    std::stable_sort(tempoEvents.begin(), tempoEvents.end(),
                     [](const auto& a, const auto& c) { return a.first < c.first; });
    auto perTick = [&](std::uint32_t microsPerQuarter) {
        return smpteSecondsPerTick > 0 ? smpteSecondsPerTick : microsPerQuarter / 1e6 / quarterTicks;
    };
    timing.tempos.push_back({0, perTick(500000)});
    for (const auto& [tick, micros] : tempoEvents) {
        if (micros == 0) continue;
        if (timing.tempos.back().tick == tick)
            timing.tempos.back().secondsPerTick = perTick(micros);
        else
            timing.tempos.push_back({tick, perTick(micros)});
    }
    return timing;
}

void QuietLogging() {
    static const bool once = [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)once;
}

class MidiDecoder : public media::MediaDecoder {
  public:
    ~MidiDecoder() override {
        StopPlayer();
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
    }

    bool Open(const std::string& path, const std::string& soundFont) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto timing = ReadMidiTiming(bytes);
        if (!timing || soundFont.empty()) return false;
        timing_ = std::move(*timing);
        path_ = path;

        QuietLogging();
        settings_ = new_fluid_settings();
        if (!settings_) return false;
        fluid_settings_setnum(settings_, "synth.sample-rate", kMidiRate);
        // The default gain leaves a single instrument far quieter than recorded music.
        fluid_settings_setnum(settings_, "synth.gain", 0.5);
        // The player follows the samples rendered, not a timer thread of its own.
        fluid_settings_setstr(settings_, "player.timing-source", "sample");
        synth_ = new_fluid_synth(settings_);
        if (!synth_ || fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED) return false;
        if (!StartPlayer(0)) return false;

        info_.hasAudio = true;
        info_.sampleRate = kMidiRate;
        info_.duration = timing_.Seconds(timing_.lastTick) + kReleaseTail;
        total_ = std::size_t(info_.duration * kMidiRate);
        return true;
    }

    const media::MediaInfo& Info() const override { return info_; }

    std::size_t ReadAudio(float* stereo, std::size_t frames) override {
        const std::size_t n = std::min(frames, total_ - std::min(total_, rendered_));
        if (n > 0 && fluid_synth_write_float(synth_, int(n), stereo, 0, 2, stereo, 1, 2) != FLUID_OK)
            return 0;
        rendered_ += n;
        return n;
    }

    bool ReadVideo(media::VideoFrame&) override { return false; }

    bool Seek(double seconds) override {
        const double at = std::clamp(seconds, 0.0, info_.duration);
        if (!StartPlayer(at)) return false;
        rendered_ = std::size_t(at * kMidiRate);
        return true;
    }

  private:
    // A fresh player from `seconds` on, with every sounding note cut.
    bool StartPlayer(double seconds) {
        StopPlayer();
        fluid_synth_system_reset(synth_);
        player_ = new_fluid_player(synth_);
        if (!player_ || fluid_player_add(player_, path_.c_str()) != FLUID_OK) return false;
        if (fluid_player_play(player_) != FLUID_OK) return false;
        if (seconds > 0) fluid_player_seek(player_, int(timing_.Tick(seconds)));
        return true;
    }

    void StopPlayer() {
        if (!player_) return;
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }

    MidiTiming timing_;
    std::string path_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    media::MediaInfo info_;
    std::size_t total_ = 0;
    std::size_t rendered_ = 0;
};

}  // namespace

std::string GeneralMidiSoundFont() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* known : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                              "/usr/share/soundfonts/default.sf2"})
        if (fs::is_regular_file(known, ec)) return known;
    for (const char* folder : {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}) {
        std::vector<std::string> fonts;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".sf2") fonts.push_back(it->path().string());
        std::sort(fonts.begin(), fonts.end());
        if (!fonts.empty()) return fonts.front();
    }
    return {};
}

std::unique_ptr<media::MediaDecoder> OpenMidi(const std::string& path) {
    auto decoder = std::make_unique<MidiDecoder>();
    if (!decoder->Open(path, GeneralMidiSoundFont())) return nullptr;
    return decoder;
}

}  // namespace quorvel::ff
