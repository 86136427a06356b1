#include "platform/al/mix_limiter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorvel::al {

namespace {
constexpr double kLookaheadSeconds = 0.0015;
constexpr double kReleaseSeconds = 0.08;
}  // namespace

MixLimiter::MixLimiter(int sampleRate, double ceilingDb)
    : ceiling_(float(std::pow(10.0, ceilingDb / 20))),
      lookahead_(
          std::max<std::size_t>(2, std::size_t(std::lround(kLookaheadSeconds * std::max(sampleRate, 1))))),
      release_(float(1 - std::exp(-1 / (kReleaseSeconds * std::max(sampleRate, 1))))) {
    constexpr std::size_t width = 2 * kHalfTaps;
    taps_.resize((kPhases - 1) * width);
    for (std::size_t p = 1; p < kPhases; ++p) {
        float* t = &taps_[(p - 1) * width];
        double sum = 0;
        for (std::size_t k = 0; k < width; ++k) {
            // Tap k weighs the frame k - (kHalfTaps - 1) from the one left of the point,
            // which lies p / kPhases of a frame on from it.
            const double x = double(k) - double(kHalfTaps - 1) - double(p) / kPhases;
            const double sinc = x == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
            const double u = std::numbers::pi * x / kHalfTaps;
            const double window = 0.42 + 0.5 * std::cos(u) + 0.08 * std::cos(2 * u);
            t[k] = float(sinc * window);
            sum += sinc * window;
        }
        for (std::size_t k = 0; k < width; ++k)
            t[k] = float(t[k] / sum);
    }
    history_.assign(2 * width, 0.0f);
    delay_.assign(2 * (LatencyFrames() + 1), 0.0f);
    wanted_.assign(lookahead_ + 1, 1.0f);
    held_.assign(lookahead_, 1.0f);
}

void MixLimiter::Process(float* stereo, std::size_t frames) {
    constexpr std::size_t width = 2 * kHalfTaps;
    const std::size_t delayFrames = LatencyFrames() + 1;
    for (std::size_t i = 0; i < frames; ++i, ++at_) {
        float* frame = stereo + 2 * i;
        float* h = &history_[2 * (at_ % width)];
        h[0] = frame[0], h[1] = frame[1];
        float* d = &delay_[2 * (at_ % delayFrames)];
        d[0] = frame[0], d[1] = frame[1];

        // The frame kHalfTaps - 1 back and the points between it and the next.
        const std::size_t oldest = at_ + 1;  // history index of the oldest frame kept
        const float* centre = &history_[2 * ((oldest + kHalfTaps - 1) % width)];
        float peak = std::max(std::abs(centre[0]), std::abs(centre[1]));
        for (std::size_t p = 0; p + 1 < kPhases; ++p) {
            const float* t = &taps_[p * width];
            float left = 0, right = 0;
            for (std::size_t k = 0; k < width; ++k) {
                const float* x = &history_[2 * ((oldest + k) % width)];
                left += t[k] * x[0];
                right += t[k] * x[1];
            }
            peak = std::max({peak, std::abs(left), std::abs(right)});
        }
        wanted_[at_ % wanted_.size()] = peak > ceiling_ ? ceiling_ / peak : 1.0f;

        // Held over the look-ahead, so the gain is down before the peak comes out,
        // then let back up slowly; the average over the look-ahead smooths the way
        // down and never rises above what any frame it covers needs.
        const float hold = *std::min_element(wanted_.begin(), wanted_.end());
        gain_ = std::min(hold, gain_ + (1 - gain_) * release_);
        held_[at_ % held_.size()] = gain_;
        float sum = 0;
        for (const float g : held_)
            sum += g;
        const float gain = std::min(sum / float(held_.size()), 1.0f);

        const float* out = &delay_[2 * ((at_ + 1) % delayFrames)];
        frame[0] = out[0] * gain;
        frame[1] = out[1] * gain;
    }
}

}  // namespace quorvel::al
