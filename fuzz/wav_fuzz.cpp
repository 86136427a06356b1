// RIFF wave files.
#include "fuzz_support.h"
#include "platform/sound/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    std::string reason;
    const auto wave = sound::ParseWave({reinterpret_cast<const char*>(data), size}, &reason);
    if (!wave) {
        fuzz::Require(!reason.empty(), "a refusal without a reason");
        return 0;
    }
    const sound::PcmData& pcm = wave->pcm;
    fuzz::Require(pcm.channels == 1 || pcm.channels == 2, "one or two channels");
    fuzz::Require(pcm.sampleRate > 0, "a rate");
    fuzz::Require(pcm.samples.size() % std::size_t(pcm.channels) == 0, "whole frames");
    fuzz::Require(pcm.samples.size() <= size, "no more samples than bytes");
    return 0;
}
