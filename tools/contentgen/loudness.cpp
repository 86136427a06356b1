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

}  // namespace quorvel::content
