#pragma once
// Band-limited saw and pulse waves for the synthesizers. The jumps of the naive shapes
// are smoothed over one sample either side (polynomial band-limited step), so the
// harmonics above half the sample rate do not fold back as whistles.

#include <algorithm>
#include <cmath>

namespace quorvel::content {

// What to add at a jump from -1 up to 1 at phase 0, for a phase p in [0, 1) that
// advances dt (frequency over sample rate, at most 0.5) per sample.
inline double Blep(double p, double dt) {
    if (p < dt) {
        p /= dt;
        return p + p - p * p - 1;
    }
    if (p > 1 - dt) {
        p = (p - 1) / dt;
        return p * p + p + p + 1;
    }
    return 0;
}

// A rising saw from -1 to 1 over one cycle.
inline double Saw(double phase, double dt) {
    return 2 * phase - 1 - Blep(phase, dt);
}

// 1 for the first `duty` of the cycle, -1 for the rest.
inline double Pulse(double phase, double dt, double duty) {
    double fall = phase - duty;
    fall -= std::floor(fall);
    return (phase < duty ? 1 : -1) + Blep(phase, dt) - Blep(fall, dt);
}

// The step per sample for a frequency, limited to where the smoothing still works.
inline double PhaseStep(double freq, int rate) {
    return std::min(0.5, std::abs(freq) / rate);
}

}  // namespace quorvel::content
