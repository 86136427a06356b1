#pragma once
// Reading a standard MIDI file: its tempo map and its last tick, which give the length
// and turn a seek time into a tick, and the file rewritten for the synthesizer, which
// plays the notes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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

struct MidiFile {
    MidiTiming timing;
    // The same music as a file the synthesizer reads: it refuses a whole file over one
    // system common or real-time message (0xF1 to 0xFE, which have no sound) or one
    // 0xF7 escape, so those are left out, their time kept. Every event carries its own
    // status byte, every track its End of Track, every header and chunk length is right.
    // It plays no time code division either: that becomes ticks to the quarter note at
    // a quarter note a second.
    std::string playable;
};

// Empty when the bytes are not a standard MIDI file or are damaged, with the reason in
// `reason` when given ("not a MIDI file", "track 2 runs past the end of the file", ...).
std::optional<MidiFile> ReadMidiFile(std::string_view bytes, std::string* reason = nullptr);

}  // namespace quorvel::ff
