#pragma once
// The last stage of the mix: a look-ahead limiter that keeps the true peak (the level
// between the samples as well as at them) under a ceiling, so a pile-up of explosions
// and gunfire never clips on its way to the speakers, while a single sound, quieter
// than the ceiling, passes at its own level.

#include <cstddef>
#include <vector>

namespace quorvel::al {

class MixLimiter {
  public:
    explicit MixLimiter(int sampleRate, double ceilingDb = kCeilingDb);

    // Interleaved stereo, in place; what comes out is LatencyFrames() late.
    void Process(float* stereo, std::size_t frames);
    std::size_t LatencyFrames() const { return kHalfTaps + lookahead_ - 1; }

    // Under -1 dBTP with room for the meters' own interpolation.
    static constexpr double kCeilingDb = -1.5;

  private:
    // The interpolator that finds the peaks between samples: 4 times oversampled,
    // windowed sinc of 2 * kHalfTaps taps per phase.
    static constexpr std::size_t kHalfTaps = 16;
    static constexpr std::size_t kPhases = 4;

    float ceiling_;
    std::size_t lookahead_;
    float release_;  // share of the way back to full gain made each frame
    float gain_ = 1;
    std::vector<float> taps_;     // (kPhases - 1) x 2 * kHalfTaps
    std::vector<float> history_;  // the last 2 * kHalfTaps input frames, stereo
    std::vector<float> delay_;    // input frames waiting for their gain, stereo
    std::vector<float> wanted_;   // the gain each of the last lookahead + 1 frames needs
    std::vector<float> held_;     // the gains of the last lookahead frames, averaged
    std::size_t at_ = 0;          // frames seen so far
};

}  // namespace quorvel::al
