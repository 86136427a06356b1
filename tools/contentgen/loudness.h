#pragma once
// Integrated loudness in LUFS: K-weighting, 400 ms blocks every 100 ms, an absolute
// gate at -70 LUFS and a relative gate 10 LU below the level of the blocks that pass
// it. The generator levels its clips with it and the tests measure the set with it.

#include <cstddef>
#include <vector>

namespace quorvel::content {

// `samples` interleaved, `channels` of them, each weighted 1 (no surround channels
// here). A clip shorter than one block is measured as if silence followed it, so a
// short shot counts as the burst it is. Returns -70 or less for silence.
double IntegratedLufs(const float* samples, std::size_t frames, int channels, int rate);

// The highest level the wave reaches between its samples as well as at them (the
// "true peak", in full-scale units): oversampled to 176.4 kHz or more through a
// windowed-sinc interpolator, the way a player's resampler or converter rebuilds it.
// `peaks`, when given, receives each frame's own true peak over all channels, from
// the frame up to the next one.
double TruePeak(const float* samples, std::size_t frames, int channels, int rate,
                std::vector<float>* peaks = nullptr);
double TruePeakDb(const float* samples, std::size_t frames, int channels, int rate);

}  // namespace quorvel::content
