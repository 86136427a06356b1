// Standard MIDI files: the timing read for the length and for seeks.
#include <cmath>

#include "fuzz_support.h"
#include "platform/ff/midi_timing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const auto timing = ff::ReadMidiTiming({reinterpret_cast<const char*>(data), size});
    if (!timing) return 0;
    const double length = timing->Seconds(timing->lastTick);
    fuzz::Require(length >= 0 && !std::isnan(length), "a length");
    // Seeks as the player makes them: anywhere, near the end, past it.
    for (double at : {0.0, 0.001, length * 0.5, length - 0.5, length - 1e-9, length, length + 1.0, 1e300})
        fuzz::Require(timing->Tick(at) <= timing->lastTick, "a seek within the file");
    return 0;
}
