// Standard MIDI files: the timing read for the length and for seeks, and the file
// rewritten for the synthesizer.
#include <cmath>

#include "fuzz_support.h"
#include "platform/ff/midi_timing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    std::string reason;
    const auto file = ff::ReadMidiFile({reinterpret_cast<const char*>(data), size}, &reason);
    if (!file) {
        fuzz::Require(!reason.empty(), "a refusal without a reason");
        return 0;
    }
    const ff::MidiTiming& timing = file->timing;
    const double length = timing.Seconds(timing.lastTick);
    fuzz::Require(length >= 0 && !std::isnan(length), "a length");
    // Seeks as the player makes them: anywhere, near the end, past it.
    for (double at : {0.0, 0.001, length * 0.5, length - 0.5, length - 1e-9, length, length + 1.0, 1e300})
        fuzz::Require(timing.Tick(at) <= timing.lastTick, "a seek within the file");

    // What the synthesizer gets reads back as the same music, and is left as it is.
    const auto again = ff::ReadMidiFile(file->playable, &reason);
    fuzz::Require(again.has_value(), "the rewritten file reads");
    fuzz::Require(again->timing.lastTick == timing.lastTick, "the rewritten file keeps its length");
    fuzz::Require(again->timing.tempos.size() == timing.tempos.size(), "the rewritten file keeps its tempos");
    fuzz::Require(again->playable == file->playable, "a rewritten file is rewritten to itself");
    return 0;
}
