#include "platform/ff/midi_timing.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quorvel::ff {
namespace {

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

}  // namespace

double MidiTiming::Seconds(std::uint32_t tick) const {
    double seconds = 0;
    for (std::size_t i = 0; i < tempos.size(); ++i) {
        const std::uint32_t end = i + 1 < tempos.size() ? std::min(tempos[i + 1].tick, tick) : tick;
        if (end <= tempos[i].tick) break;
        seconds += (end - tempos[i].tick) * tempos[i].secondsPerTick;
    }
    return seconds;
}

std::uint32_t MidiTiming::Tick(double seconds) const {
    if (!(seconds > 0)) return 0;  // also NaN
    double at = 0;
    for (std::size_t i = 0; i < tempos.size(); ++i) {
        const bool last = i + 1 == tempos.size();
        const double span =
            last ? INFINITY : (tempos[i + 1].tick - tempos[i].tick) * tempos[i].secondsPerTick;
        if (seconds < at + span) {
            // In doubles up to the clamp: a very short tempo turns seconds into more
            // ticks than an integer holds.
            const double ticks = std::floor((seconds - at) / tempos[i].secondsPerTick);
            const double tick = double(tempos[i].tick) + (std::isfinite(ticks) ? std::max(0.0, ticks) : 0.0);
            return tick >= double(lastTick) ? lastTick : std::uint32_t(tick);
        }
        at += span;
    }
    return lastTick;
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
    std::uint64_t longest = 0;
    while (found < tracks && at + 8 <= b.size()) {
        const std::uint32_t length = Be(b, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t end = std::min(b.size(), body + length);
        const bool isTrack = b.substr(at, 4) == "MTrk";
        at = body + length;
        if (!isTrack) continue;
        ++found;
        ByteReader r(b, body, end);
        // Wider than a tick, so a damaged track cannot wrap around to an early time.
        std::uint64_t tick = 0;
        std::uint8_t running = 0;
        while (r.More()) {
            std::uint32_t delta;
            std::uint8_t status;
            if (!r.VarLen(delta) || !r.Byte(status)) return std::nullopt;
            tick += delta;
            if (tick > UINT32_MAX) return std::nullopt;
            if (status == 0xFF) {
                std::uint8_t type;
                std::uint32_t length2;
                if (!r.Byte(type) || !r.VarLen(length2)) return std::nullopt;
                const std::size_t data = r.At();
                if (!r.Skip(length2)) return std::nullopt;
                if (type == 0x51 && length2 == 3)
                    tempoEvents.emplace_back(std::uint32_t(tick), Be(b, data, 3));
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
        longest = std::max(longest, tick);
    }
    if (found == 0) return std::nullopt;
    timing.lastTick = std::uint32_t(longest);

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

}  // namespace quorvel::ff
