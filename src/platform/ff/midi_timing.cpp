#include "platform/ff/midi_timing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace quorvel::ff {
namespace {

std::uint32_t Be(std::string_view b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | std::uint8_t(b[at + std::size_t(i)]);
    return v;
}

std::string BeBytes(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = bytes - 1; i >= 0; --i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
    return s;
}

// The largest number a variable-length quantity of four bytes holds.
constexpr std::uint32_t MaxVarLen = 0x0FFFFFFF;

void PutVarLen(std::string& out, std::uint32_t v) {
    char bytes[4];
    int n = 0;
    bytes[n++] = char(v & 0x7F);
    while (v >>= 7)
        bytes[n++] = char(0x80 | (v & 0x7F));
    while (n > 0)
        out.push_back(bytes[--n]);
}

// Data bytes after a system common status byte (0xF1 to 0xF6); the undefined 0xF4 and
// 0xF5 have none.
std::size_t SystemCommonBytes(std::uint8_t status) {
    switch (status) {
        case 0xF1:  // time code quarter frame
        case 0xF3:  // song select
            return 1;
        case 0xF2:  // song position
            return 2;
        default:  // tune request 0xF6, undefined 0xF4 and 0xF5
            return 0;
    }
}

// One track chunk's events: read for the timing and copied for the synthesizer.
class TrackReader {
  public:
    // With `timeCode` the tempo events are left out of the copy: they do not count in
    // a file timed by time code.
    TrackReader(std::string_view file, std::size_t body, std::size_t end, bool cutByFile, bool timeCode)
        : b_(file), at_(body), end_(end), cutByFile_(cutByFile), timeCode_(timeCode) {}

    // Appends the rewritten chunk to `out` and the track's tempo changes to `tempos`
    // (tick, microseconds a quarter note); false with `why` set when it is damaged.
    // `head` goes first in the copy.
    bool Read(std::string& out, std::vector<std::pair<std::uint32_t, std::uint32_t>>& tempos,
              std::string& why, const std::string& head = {}) {
        std::string events = head;
        std::uint8_t running = 0;
        std::uint64_t pending = 0;  // ticks since the last event kept
        bool ended = false;
        while (at_ < end_ && !ended) {
            std::uint32_t delta;
            if (!VarLen(delta, why)) return false;
            // Wider than a tick, so a damaged track cannot wrap around to an early time.
            tick_ += delta;
            pending += delta;
            if (tick_ > UINT32_MAX) return Fail(why, "lasts more than 2^32 ticks");
            const std::size_t start = at_;
            std::uint8_t status;
            if (!Byte(status, why)) return false;
            bool keep = true;
            std::string statusByte;  // put back where the file relied on running status
            if (status == 0xFF) {    // meta event
                std::uint8_t type;
                std::uint32_t length;
                if (!Byte(type, why) || !VarLen(length, why)) return false;
                const std::size_t data = at_;
                if (!Skip(length, why)) return false;
                if (type == 0x51 && timeCode_) {
                    keep = false;
                } else if (type == 0x51 && length == 3) {
                    tempos.emplace_back(std::uint32_t(tick_), Be(b_, data, 3));
                }
                ended = type == 0x2F;
                running = 0;
            } else if (status == 0xF0 || status == 0xF7) {  // sysex, or an escape of any bytes
                std::uint32_t length;
                if (!VarLen(length, why) || !Skip(length, why)) return false;
                keep = status == 0xF0;
                running = 0;
            } else if (status >= 0xF8) {
                // Real-time (clock, start, stop, active sensing; 0xF9 and 0xFD are
                // undefined): no data, and running status goes on across it.
                keep = false;
            } else if (status >= 0xF1) {
                // System common: its data bytes, and running status ends.
                if (!Skip(SystemCommonBytes(status), why)) return false;
                keep = false;
                running = 0;
            } else {
                std::size_t data = 0;  // data bytes read already
                if (status & 0x80) {
                    running = status;
                } else {
                    if (!running) return Fail(why, "has a data byte with no status before it", start);
                    data = 1;
                    statusByte.assign(1, char(running));
                }
                const std::uint8_t kind = running & 0xF0;
                const std::size_t need = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
                if (!Skip(need - data, why)) return false;
            }
            if (keep) {
                PutDelta(events, pending);
                events += statusByte;
                events.append(b_.substr(start, at_ - start));
                pending = 0;
            }
        }
        if (!ended) {
            PutDelta(events, pending);
            events += std::string("\xFF\x2F\x00", 3);
        }
        out += "MTrk" + BeBytes(std::uint32_t(events.size()), 4) + events;
        return true;
    }

    std::uint32_t LastTick() const { return std::uint32_t(tick_); }

  private:
    // A delta time of more than a variable-length number holds (left by events dropped
    // in between) goes out in steps, each on an empty text event.
    static void PutDelta(std::string& out, std::uint64_t ticks) {
        while (ticks > MaxVarLen) {
            PutVarLen(out, MaxVarLen);
            out += std::string("\xFF\x01\x00", 3);
            ticks -= MaxVarLen;
        }
        PutVarLen(out, std::uint32_t(ticks));
    }

    bool Fail(std::string& why, const char* what, std::size_t at = SIZE_MAX) {
        why = what;
        if (at != SIZE_MAX) why += " at byte " + std::to_string(at);
        return false;
    }
    // The events stop in the middle of one: at the end of the file when the chunk said
    // it went on, else at the end of the chunk.
    bool Cut(std::string& why) {
        return Fail(why, cutByFile_ ? "runs past the end of the file" : "ends in the middle of an event");
    }
    bool Byte(std::uint8_t& v, std::string& why) {
        if (at_ >= end_) return Cut(why);
        v = std::uint8_t(b_[at_++]);
        return true;
    }
    bool VarLen(std::uint32_t& v, std::string& why) {
        const std::size_t start = at_;
        v = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t c;
            if (!Byte(c, why)) return false;
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return true;
        }
        return Fail(why, "has a number of more than four bytes", start);
    }
    bool Skip(std::size_t n, std::string& why) {
        if (n > end_ - at_) return Cut(why);
        at_ += n;
        return true;
    }

    std::string_view b_;
    std::size_t at_;
    std::size_t end_;
    bool cutByFile_;
    bool timeCode_;
    std::uint64_t tick_ = 0;
};

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

std::optional<MidiFile> ReadMidiFile(std::string_view b, std::string* reason) {
    auto refuse = [&](const std::string& why) -> std::optional<MidiFile> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    if (b.size() < 14 || b.substr(0, 4) != "MThd") return refuse("not a MIDI file");
    const std::uint32_t headerLength = Be(b, 4, 4);
    const std::uint32_t format = Be(b, 8, 2);
    const std::uint32_t tracks = Be(b, 10, 2);
    const std::uint32_t division = Be(b, 12, 2);
    if (headerLength < 6)
        return refuse("a header of " + std::to_string(headerLength) + " bytes, less than 6");
    if (tracks == 0) return refuse("no tracks");
    if (division == 0) return refuse("no ticks to the quarter note");

    MidiFile out;
    MidiTiming& timing = out.timing;
    double quarterTicks = 0, smpteSecondsPerTick = 0;
    if (division & 0x8000) {
        const int fps = -int(std::int8_t(division >> 8));
        const int perFrame = int(division & 0xFF);
        if (fps <= 0 || perFrame <= 0)
            return refuse("a time code division of " + std::to_string(fps) + " frames a second and " +
                          std::to_string(perFrame) + " ticks a frame");
        smpteSecondsPerTick = 1.0 / (fps * perFrame);
    } else {
        quarterTicks = division;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tempoEvents;  // tick, microseconds per quarter

    std::string chunks;
    std::size_t at = 8 + std::size_t(headerLength);
    std::uint32_t found = 0;
    std::uint32_t longest = 0;
    // Chunks of other kinds are skipped; tracks the header promises but the file lacks
    // are left out.
    while (found < tracks && at + 8 <= b.size()) {
        const std::uint32_t length = Be(b, at + 4, 4);
        const std::size_t body = at + 8;
        const bool cutByFile = length > b.size() - body;
        const std::size_t end = cutByFile ? b.size() : body + length;
        const bool isTrack = b.substr(at, 4) == "MTrk";
        at = body + length;
        if (!isTrack) continue;
        ++found;
        TrackReader track(b, body, end, cutByFile, smpteSecondsPerTick > 0);
        // The synthesizer plays no time code division: it gets as many ticks to the
        // quarter note as there are in a second, and a quarter note a second.
        const std::string head = found == 1 && smpteSecondsPerTick > 0
                                     ? std::string("\x00\xFF\x51\x03\x0F\x42\x40", 7)
                                     : std::string();
        std::string why;
        if (!track.Read(chunks, tempoEvents, why, head))
            return refuse("track " + std::to_string(found) + " " + why);
        longest = std::max(longest, track.LastTick());
    }
    if (found == 0) return refuse("no track in the file");
    timing.lastTick = longest;
    const std::uint32_t playedDivision =
        smpteSecondsPerTick > 0 ? std::uint32_t(std::lround(1.0 / smpteSecondsPerTick)) : division;
    out.playable =
        "MThd" + BeBytes(6, 4) + BeBytes(format, 2) + BeBytes(found, 2) + BeBytes(playedDivision, 2) + chunks;

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
    return out;
}

}  // namespace quorvel::ff
