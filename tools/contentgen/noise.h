#pragma once
// Seeded randomness for the generator: the same seed gives the same content on every
// run and every machine, so nothing here reads the clock or the platform generator.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace quorvel::content {

inline double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}
// 0 below e0, 1 above e1, and a smooth S-curve between.
inline double Smooth(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    int Int(int lo, int hi) { return lo + int(Next() % std::uint64_t(hi - lo + 1)); }

  private:
    std::uint64_t state_;
};

// A stable seed from a name (FNV-1a).
inline std::uint64_t SeedOf(const std::string& name) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : name)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

inline std::uint64_t Hash3(std::int64_t x, std::int64_t y, std::int64_t z, std::uint64_t seed) {
    std::uint64_t h = seed ^ 0x2545F4914F6CDD1Dull;
    h ^= std::uint64_t(x) * 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ull;
    h ^= std::uint64_t(y) * 0xC2B2AE3D27D4EB4Full;
    h = (h ^ (h >> 32)) * 0x94D049BB133111EBull;
    h ^= std::uint64_t(z) * 0x165667B19E3779F9ull;
    h = (h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

inline double HashUnit(std::int64_t x, std::int64_t y, std::int64_t z, std::uint64_t seed) {
    return double(Hash3(x, y, z, seed) >> 11) * (1.0 / 9007199254740992.0);
}

// Smooth value noise in [0, 1].
inline double Noise3(double x, double y, double z, std::uint64_t seed) {
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const auto ix = std::int64_t(fx), iy = std::int64_t(fy), iz = std::int64_t(fz);
    auto s = [](double t) { return t * t * (3 - 2 * t); };
    const double tx = s(x - fx), ty = s(y - fy), tz = s(z - fz);
    auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    double c[2][2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k)
                c[i][j][k] = HashUnit(ix + i, iy + j, iz + k, seed);
    const double x00 = lerp(c[0][0][0], c[1][0][0], tx), x10 = lerp(c[0][1][0], c[1][1][0], tx);
    const double x01 = lerp(c[0][0][1], c[1][0][1], tx), x11 = lerp(c[0][1][1], c[1][1][1], tx);
    return lerp(lerp(x00, x10, ty), lerp(x01, x11, ty), tz);
}

// Fractal sum of octaves, in [0, 1].
inline double Fbm3(double x, double y, double z, int octaves, std::uint64_t seed, double gain = 0.5) {
    double sum = 0, amp = 1, norm = 0, f = 1;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise3(x * f, y * f, z * f, seed + std::uint64_t(o) * 7919);
        norm += amp;
        amp *= gain;
        f *= 2.03;
    }
    return sum / norm;
}

// 2D noise that tiles with the given period (in noise cells) in x and y.
inline double TileNoise2(double x, double y, int period, std::uint64_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = std::int64_t(fx), iy = std::int64_t(fy);
    auto s = [](double t) { return t * t * (3 - 2 * t); };
    const double tx = s(x - fx), ty = s(y - fy);
    auto at = [&](std::int64_t i, std::int64_t j) {
        const std::int64_t p = period;
        return HashUnit(((i % p) + p) % p, ((j % p) + p) % p, 0, seed);
    };
    const double a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Tiling fractal noise over the unit square, in [0, 1].
inline double TileFbm2(double u, double v, int period, int octaves, std::uint64_t seed, double gain = 0.5) {
    double sum = 0, amp = 1, norm = 0;
    int p = period;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * TileNoise2(u * p, v * p, p, seed + std::uint64_t(o) * 131);
        norm += amp;
        amp *= gain;
        p *= 2;
    }
    return sum / norm;
}

}  // namespace quorvel::content
