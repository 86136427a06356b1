#pragma once
// Integrated loudness in LUFS: K-weighting, 400 ms blocks every 100 ms, an absolute
// gate at -70 LUFS and a relative gate 10 LU below the level of the blocks that pass
// it. The generator levels its clips with it and the tests measure the set with it.

#include <cstddef>

namespace quorvel::content {

// `samples` interleaved, `channels` of them, each weighted 1 (no surround channels
// here). A clip shorter than one block is measured as if silence followed it, so a
// short shot counts as the burst it is. Returns -70 or less for silence.
double IntegratedLufs(const float* samples, std::size_t frames, int channels, int rate);

}  // namespace quorvel::content
