#pragma once
// The timing of a standard MIDI file: its tempo map and its last tick. The synthesizer
// plays the notes; this gives the length and turns a seek time into a tick.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvel::ff {

// Game music is small: a larger file is refused before it is read.
inline constexpr std::size_t MaxMidiFileBytes = 4 * 1024 * 1024;

struct MidiTiming {
    struct Tempo {
        std::uint32_t tick;
        double secondsPerTick;
    };
    std::vector<Tempo> tempos;  // by tick; the first at tick 0
    std::uint32_t lastTick = 0;

    // Seconds from the start to `tick`.
    double Seconds(std::uint32_t tick) const;
    // The tick at `seconds`, never past the last tick (nor before 0).
    std::uint32_t Tick(double seconds) const;
};

// Empty when the bytes are not a standard MIDI file or are damaged.
std::optional<MidiTiming> ReadMidiTiming(std::string_view bytes);

}  // namespace quorvel::ff
