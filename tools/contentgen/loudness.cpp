#include "loudness.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quorvel::content {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSilence = -70;

struct Biquad {
    double b0, b1, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double operator()(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return y;
    }
};

// The two K-weighting stages (a head shelf and a low cut), derived for any sample rate
// from their analogue prototypes.
Biquad Shelf(int rate) {
    const double f0 = 1681.974450955533, gain = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(kPi * f0 / rate), vh = std::pow(10.0, gain / 20),
                 vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

Biquad LowCut(int rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(kPi * f0 / rate), a0 = 1 + k / q + k * k;
    return {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

double Lufs(double meanSquare) {
    return meanSquare > 0 ? -0.691 + 10 * std::log10(meanSquare) : -1000;
}

}  // namespace

double IntegratedLufs(const float* samples, std::size_t frames, int channels, int rate) {
    if (channels < 1 || rate < 1000) return -1000;
    const auto step = std::size_t(rate / 10), block = 4 * step;
    const std::size_t total = std::max(frames, block);
    // Weighted squares summed over the channels, 100 ms at a time.
    std::vector<double> quarters(total / step, 0.0);
    for (int c = 0; c < channels; ++c) {
        Biquad shelf = Shelf(rate), cut = LowCut(rate);
        for (std::size_t i = 0; i < quarters.size() * step; ++i) {
            const double x = i < frames ? samples[i * std::size_t(channels) + std::size_t(c)] : 0.0;
            const double y = cut(shelf(x));
            quarters[i / step] += y * y;
        }
    }
    std::vector<double> blocks;
    for (std::size_t q = 0; q + 4 <= quarters.size(); ++q)
        blocks.push_back((quarters[q] + quarters[q + 1] + quarters[q + 2] + quarters[q + 3]) / double(block));
    auto gatedMean = [&blocks](double gate) {
        double sum = 0;
        int n = 0;
        for (double b : blocks)
            if (Lufs(b) > gate) sum += b, ++n;
        return n ? sum / n : 0.0;
    };
    const double absolute = gatedMean(kSilence);
    if (absolute <= 0) return -1000;
    return Lufs(gatedMean(Lufs(absolute) - 10));
}

namespace {

// Interpolation taps for `phases` fractional positions between two samples, `half`
// samples either side, Blackman-windowed.
std::vector<std::vector<double>> SincTaps(int phases, int half) {
    auto taps = std::vector<std::vector<double>>(std::size_t(phases));
    for (int p = 1; p < phases; ++p) {
        const double frac = double(p) / phases;
        auto& t = taps[std::size_t(p)];
        for (int k = -half + 1; k <= half; ++k) {
            const double x = frac - k;  // distance from sample k to the point
            const double sinc = std::sin(kPi * x) / (kPi * x);
            const double w = (x + half) / (2.0 * half);
            const double window = 0.42 - 0.5 * std::cos(2 * kPi * w) + 0.08 * std::cos(4 * kPi * w);
            t.push_back(sinc * window);
        }
    }
    return taps;
}

}  // namespace

double TruePeak(const float* samples, std::size_t frames, int channels, int rate, std::vector<float>* peaks) {
    if (peaks) peaks->assign(frames, 0.0f);
    if (channels < 1 || rate < 1000) return 0;
    const int phases = std::max(4, (176400 + rate - 1) / rate);
    constexpr int kHalf = 16;
    static thread_local std::vector<std::vector<double>> taps;
    static thread_local int tapsPhases = 0;
    if (tapsPhases != phases) taps = SincTaps(phases, kHalf), tapsPhases = phases;
    double top = 0;
    const auto at = [&](std::ptrdiff_t i, int c) -> double {
        if (i < 0 || i >= std::ptrdiff_t(frames)) return 0.0;
        return samples[std::size_t(i) * std::size_t(channels) + std::size_t(c)];
    };
    for (std::size_t i = 0; i < frames; ++i) {
        double frameTop = 0;
        for (int c = 0; c < channels; ++c) {
            frameTop = std::max(frameTop, std::abs(at(std::ptrdiff_t(i), c)));
            for (int p = 1; p < phases; ++p) {
                const auto& t = taps[std::size_t(p)];
                double v = 0;
                for (int k = -kHalf + 1; k <= kHalf; ++k)
                    v += t[std::size_t(k + kHalf - 1)] * at(std::ptrdiff_t(i) + k, c);
                frameTop = std::max(frameTop, std::abs(v));
            }
        }
        if (peaks) (*peaks)[i] = float(frameTop);
        top = std::max(top, frameTop);
    }
    return top;
}

double TruePeakDb(const float* samples, std::size_t frames, int channels, int rate) {
    const double peak = TruePeak(samples, frames, channels, rate);
    return peak > 0 ? 20 * std::log10(peak) : -1000;
}

}  // namespace quorvel::content
