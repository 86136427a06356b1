// Sound recipes: synthesized effects, spoken clips and the music, each written in the
// format its file name says. Effects are mono 22050 Hz, so the positional ones can be
// placed in 3D; loops are made to join without a click.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

#include "audio.h"
#include "generate.h"
#include "noise.h"
#include "oscillator.h"

namespace quorvel::content {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 22050;

// RBJ biquad; the coefficients can be changed while it runs.
class Biquad {
  public:
    enum Kind { LowPass, HighPass, BandPass };
    Biquad(Kind kind, double freq, double q) : kind_(kind) { Set(freq, q); }
    void Set(double freq, double q) {
        freq = std::clamp(freq, 10.0, kRate * 0.45);
        const double w = 2 * kPi * freq / kRate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
        double b0, b1, b2;
        switch (kind_) {
            case LowPass:
                b0 = (1 - c) / 2, b1 = 1 - c, b2 = (1 - c) / 2;
                break;
            case HighPass:
                b0 = (1 + c) / 2, b1 = -(1 + c), b2 = (1 + c) / 2;
                break;
            default:
                b0 = alpha, b1 = 0, b2 = -alpha;
                break;
        }
        const double a0 = 1 + alpha;
        b0_ = b0 / a0, b1_ = b1 / a0, b2_ = b2 / a0, a1_ = -2 * c / a0, a2_ = (1 - alpha) / a0;
    }
    double operator()(double x) {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
        return y;
    }

  private:
    Kind kind_;
    double b0_ = 0, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0, x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

struct Osc {
    double phase = 0;
    // Advances by `freq` and returns the phase in [0, 1).
    double Step(double freq) {
        phase += freq / kRate;
        phase -= std::floor(phase);
        return phase;
    }
    double Sine(double f) { return std::sin(2 * kPi * Step(f)); }
    double Saw(double f) {
        const double p = Step(f);
        return content::Saw(p, PhaseStep(f, kRate));
    }
    double Square(double f, double duty = 0.5) {
        const double p = Step(f);
        return Pulse(p, PhaseStep(f, kRate), duty);
    }
    double Triangle(double f) {
        const double p = Step(f);
        return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
    }
};

Pcm Mono(double seconds, const std::function<double(double t, std::size_t i)>& f) {
    Pcm pcm;
    const auto n = std::size_t(seconds * kRate);
    pcm.samples.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        pcm.samples[i] = float(f(double(i) / kRate, i));
    return pcm;
}

double Env(double t, double attack, double decay) {
    return t < attack ? t / attack : std::exp(-(t - attack) * decay);
}

// Folds the tail over the head so that the sound can loop without a seam.
Pcm Loop(Pcm pcm, double seconds) {
    const auto fade = std::size_t(seconds * pcm.rate);
    const std::size_t n = pcm.samples.size() - fade;
    for (std::size_t i = 0; i < fade; ++i) {
        const double t = double(i) / fade;
        pcm.samples[i] = float(pcm.samples[i] * t + pcm.samples[n + i] * (1 - t));
    }
    pcm.samples.resize(n);
    return pcm;
}

Pcm Mix(const std::vector<std::pair<Pcm, double>>& parts) {
    Pcm out;
    for (const auto& [p, at] : parts) {
        const auto start = std::size_t(at * kRate);
        if (out.samples.size() < start + p.samples.size()) out.samples.resize(start + p.samples.size());
        for (std::size_t i = 0; i < p.samples.size(); ++i)
            out.samples[start + i] += p.samples[i];
    }
    return out;
}

// A crack (a broadband snap and the first debris), a body (a roar of mid-band noise
// whose brightness falls as the fireball cools) and a low thump under both; the three
// files differ in size and length.
Pcm Explosion(int n) {
    Random rnd(SeedOf("explosion") + n);
    Biquad snap(Biquad::HighPass, 900, 0.7), roar(Biquad::LowPass, 4000, 0.9),
        roarLow(Biquad::HighPass, 140, 0.7), grit(Biquad::BandPass, 1800, 1.2),
        sub(Biquad::LowPass, 110, 0.8);
    Osc thump;
    const double len = 1.7 + 0.35 * n, bright = 1700 + 500 * n, cool = 2.6 - 0.3 * n;
    double debris = 0;
    return Mono(len, [&](double t, std::size_t i) {
        if (i % 32 == 0) roar.Set(bright * std::exp(-t * cool) + 280, 0.9);
        const double noise = rnd.Range(-1, 1);
        const double crack = snap(noise) * 1.6 * Env(t, 0.0005, 45);
        // Debris: sparse bright ticks that thin out.
        if (rnd.Uniform() < 0.012 * std::exp(-t * 3)) debris = rnd.Range(-1, 1) * 1.4;
        debris *= 0.93;
        const double crackle = grit(debris) * 3;
        const double body = roarLow(roar(noise)) * 1.5 * Env(t, 0.006, 1.8 + 0.2 * n) *
                            (0.8 + 0.2 * std::sin(2 * kPi * 7 * t + n));
        const double low = sub(noise) * 3.0 * Env(t, 0.01, 2.2) +
                           thump.Sine(42 + 60 * std::exp(-t * 9)) * 0.55 * Env(t, 0.004, 4.5);
        return crack + crackle + body + low;
    });
}

// A whoosh passing by: band noise sweeping up then down, loudest halfway.
Pcm FlyBy(double len, double lo, double hi, std::uint64_t seed, double tone) {
    Random rnd(seed);
    Biquad bp(Biquad::BandPass, lo, 2.5);
    Osc osc;
    return Mono(len, [&](double t, std::size_t i) {
        const double x = t / len, swell = std::sin(kPi * x);
        const double f = lo + (hi - lo) * (x < 0.5 ? x * 2 : 2 - x * 2);
        if (i % 32 == 0) bp.Set(f, 2.5);
        const double doppler = tone * (x < 0.5 ? 1.08 : 0.92);
        return (bp(rnd.Range(-1, 1)) * 2 + osc.Saw(doppler) * 0.12 * swell) * swell * swell;
    });
}

// A jump to or from hyperspace: a rising (or falling) sweep and a burst.
Pcm Hyperspace(int kind) {
    Random rnd(SeedOf("hyper") + kind);
    Biquad bp(Biquad::BandPass, 300, 1.5), lp(Biquad::LowPass, 200, 0.8);
    Osc a, b;
    const double len = kind == 2 ? 2.0 : 2.6;
    return Mono(len, [&](double t, std::size_t i) {
        const double x = t / len;
        double f;
        if (kind == 3)
            f = 1500 * std::exp(-x * 3) + 60;  // away into the distance
        else
            f = 120 * std::pow(30.0, std::min(1.0, x * 1.15));
        if (i % 32 == 0) bp.Set(f, 1.5);
        const double swell =
            kind == 3 ? std::sin(kPi * std::min(1.0, x * 1.3)) : std::pow(std::min(1.0, x * 1.2), 2);
        double v = bp(rnd.Range(-1, 1)) * 1.5 * swell + (a.Saw(f * 0.5) * 0.2 + b.Sine(f) * 0.3) * swell;
        if (kind == 1 && x > 0.8)
            v += lp(rnd.Range(-1, 1)) * 4 * Env(t - len * 0.8, 0.005, 3);  // arrival boom
        if (kind == 2 && x > 0.85) v *= Env(t - len * 0.85, 0.001, 9);     // gone
        return v;
    });
}

Pcm PowerUp(int kind) {
    const double roots[4] = {523.25, 587.33, 659.25, 783.99};
    const double steps[4] = {1, 1.25, 1.5, 2};
    Osc o, sparkle;
    return Mono(0.8, [&](double t, std::size_t) {
        const int k = std::min(3, int(t / 0.12));
        const double tn = t - k * 0.12, f = roots[kind - 1] * steps[k];
        const double v = (o.Square(f, 0.3) * 0.3 + o.Triangle(f) * 0.0) * Env(tn, 0.005, k == 3 ? 5 : 12);
        return v + sparkle.Sine(f * 4 + 30 * std::sin(t * 40)) * 0.15 * Env(t, 0.3, 4);
    });
}

Pcm Effect(const std::string& r, int index) {
    Random rnd(SeedOf(r) + index);
    auto noise = [&rnd]() { return rnd.Range(-1, 1); };
    if (r == "sfx_hit") {
        Biquad hp(Biquad::HighPass, 2500, 0.7);
        Osc ping, thump;
        return Mono(0.3, [&](double t, std::size_t) {
            return hp(noise()) * Env(t, 0.001, 60) + ping.Sine(1800 - 600 * t) * 0.4 * Env(t, 0.001, 18) +
                   thump.Sine(120) * 0.6 * Env(t, 0.002, 25);
        });
    }
    if (r == "sfx_explosion") return Explosion(index);
    if (r == "sfx_shiphit") {
        Biquad lp(Biquad::LowPass, 900, 1.2);
        Osc thud;
        return Mono(0.4, [&](double t, std::size_t) {
            return lp(noise()) * 1.5 * Env(t, 0.002, 14) + thud.Sine(80 - 30 * t) * 0.8 * Env(t, 0.003, 10);
        });
    }
    if (r == "sfx_engine" || r == "sfx_maseng" || r == "sfx_masengine") {
        // Drones; every tone is a whole number of cycles over the loop.
        const double len = r == "sfx_engine" ? 2.0 : 3.0;
        const double base = r == "sfx_engine" ? 55 : (r == "sfx_maseng" ? 36 : 41);
        Biquad lp(Biquad::LowPass, r == "sfx_engine" ? 700 : 300, 0.9), nb(Biquad::BandPass, 400, 1.2);
        Osc a, b, c;
        Pcm p = Mono(len + 0.25, [&](double t, std::size_t) {
            const double beat = 0.7 + 0.3 * std::sin(2 * kPi * t * (r == "sfx_engine" ? 4 : 1) / len * 2);
            return (lp(a.Saw(base) + b.Saw(base * 2.005) * 0.5) * 0.6 + c.Sine(base / 2) * 0.4) * beat +
                   nb(noise()) * 0.5;
        });
        return Loop(p, 0.25);
    }
    if (r == "sfx_afterburn") {
        Biquad bp(Biquad::BandPass, 300, 0.8), lp(Biquad::LowPass, 150, 0.7);
        Pcm p = Mono(3.0, [&](double t, std::size_t i) {
            if (i % 64 == 0) bp.Set(300 + 900 * std::min(1.0, t * 3), 0.8);
            return (bp(noise()) * 2 + lp(noise()) * 3) * std::min(1.0, t * 12);
        });
        return p;
    }
    if (r == "sfx_alienshot") {
        Osc o;
        return Mono(0.3, [&](double t, std::size_t) {
            const double f = 1200 * std::exp(-t * 5) + 250 + 40 * std::sin(t * 2 * kPi * 35);
            return o.Square(f, 0.4) * 0.5 * Env(t, 0.003, 9);
        });
    }
    if (r == "sfx_toofar") {
        // Two-tone alarm and a pause; loops as it stands.
        Osc o;
        return Mono(1.2, [&](double t, std::size_t) {
            if (t >= 0.6) return 0.0;
            const double f = t < 0.3 ? 880 : 660, tn = std::fmod(t, 0.3);
            return o.Square(f, 0.5) * 0.4 * std::min(1.0, tn * 200) * std::min(1.0, (0.3 - tn) * 200);
        });
    }
    if (r == "sfx_warning") {
        Osc o, p;
        return Mono(1.6, [&](double t, std::size_t) {
            const double x = std::fmod(t, 0.8) / 0.8, f = 420 + 420 * x;
            return (o.Saw(f) * 0.4 + p.Square(f * 1.01, 0.5) * 0.2) * std::min(1.0, (1.6 - t) * 20);
        });
    }
    if (r == "sfx_laser") {
        Osc o, m;
        return Mono(0.35, [&](double t, std::size_t) {
            const double f = 2200 * std::exp(-t * 9) + 300;
            return o.Sine(f) * (0.6 + 0.4 * m.Sine(f * 0.5)) * 0.7 * Env(t, 0.002, 8);
        });
    }
    if (r == "sfx_flyby")
        return FlyBy(1.5, 300, index == 1 ? 2400 : 1800, SeedOf(r) + index, index == 1 ? 180 : 120);
    if (r == "sfx_plasma") {
        Osc c, m;
        Biquad lp(Biquad::LowPass, 2500, 0.7);
        return Mono(0.4, [&](double t, std::size_t) {
            const double f = 650 * std::exp(-t * 4) + 150;
            return c.Sine(f + 300 * m.Sine(f * 1.5) * Env(t, 0.001, 6)) * 0.6 * Env(t, 0.003, 8) +
                   lp(noise()) * 0.4 * Env(t, 0.001, 30);
        });
    }
    if (r == "sfx_ion") {
        Osc a, buzz;
        return Mono(0.45, [&](double t, std::size_t) {
            const double f = t < 0.06 ? 400 + 20000 * t : 1600 * std::exp(-(t - 0.06) * 5) + 200;
            return (a.Saw(f) * 0.4 + a.Sine(f * 2) * 0.2) * (0.7 + 0.3 * buzz.Square(90)) * Env(t, 0.004, 6);
        });
    }
    if (r == "sfx_mion") {
        Osc a;
        Biquad lp(Biquad::LowPass, 1500, 0.9);
        return Mono(0.5, [&](double t, std::size_t) {
            const double f = 320 * std::exp(-t * 4) + 70;
            return lp(a.Square(f, 0.35) * 0.6 + noise() * 0.3) * Env(t, 0.003, 6);
        });
    }
    if (r == "sfx_gamma") {
        Osc a, b;
        Biquad lp(Biquad::LowPass, 2000, 0.8);
        return Mono(0.9, [&](double t, std::size_t i) {
            if (i % 32 == 0) lp.Set(4000 * std::exp(-t * 3) + 200, 0.8);
            return lp(noise()) * 0.8 * Env(t, 0.002, 4) +
                   a.Sine(200 * std::exp(-t * 3) + 40) * 0.7 * Env(t, 0.01, 3) +
                   b.Sine(3000) * 0.15 * Env(t, 0.001, 20);
        });
    }
    if (r == "sfx_eplas") {
        Osc a, trem;
        return Mono(0.5, [&](double t, std::size_t) {
            const double f = 900 * std::exp(-t * 3.5) + 200;
            return a.Saw(f) * 0.45 * (0.6 + 0.4 * trem.Sine(30)) * Env(t, 0.003, 6);
        });
    }
    if (r == "sfx_disperse") {
        std::vector<std::pair<Pcm, double>> parts;
        for (int k = 0; k < 5; ++k) {
            Osc o;
            const double f0 = 1400 + 150 * k;
            parts.push_back({Mono(0.25,
                                  [&](double t, std::size_t) {
                                      return o.Square(f0 * std::exp(-t * 8) + 180, 0.3) * 0.3 *
                                                 Env(t, 0.002, 14) +
                                             noise() * 0.15 * Env(t, 0.001, 40);
                                  }),
                             0.018 * k});
        }
        return Mix(parts);
    }
    if (r == "sfx_click") {
        Osc o;
        return Mono(0.07, [&](double t, std::size_t) {
            return o.Sine(1500) * 0.6 * Env(t, 0.001, 70) + noise() * 0.3 * Env(t, 0.0005, 300);
        });
    }
    if (r == "sfx_masshot") {
        Osc a, w;
        Biquad lp(Biquad::LowPass, 1200, 1.5);
        return Mono(0.6, [&](double t, std::size_t) {
            const double f = 220 * std::exp(-t * 3) + 55 + 15 * w.Sine(12);
            return lp(a.Saw(f) * 0.6 + noise() * 0.4) * Env(t, 0.004, 5);
        });
    }
    if (r == "sfx_aliengib") {
        Biquad lp(Biquad::LowPass, 500, 4);
        Osc squeak;
        return Mono(0.8, [&](double t, std::size_t i) {
            if (i % 32 == 0) lp.Set(500 + 400 * std::sin(t * 2 * kPi * 9), 4);
            return lp(noise()) * 1.5 * Env(t, 0.005, 4) +
                   squeak.Sine(1400 - 1000 * t) * 0.25 * Env(t, 0.05, 6);
        });
    }
    if (r == "sfx_hyperspace") return Hyperspace(index);
    if (r == "sfx_charge") {
        Osc a, trem;
        return Mono(1.2, [&](double t, std::size_t) {
            const double x = t / 1.2, f = 200 * std::pow(10.0, x);
            return a.Saw(f) * 0.35 * (0.6 + 0.4 * trem.Sine(6 + 30 * x)) * std::min(1.0, x * 4) *
                   std::min(1.0, (1.2 - t) * 20);
        });
    }
    if (r == "sfx_wchange") {
        Osc o;
        return Mono(0.2, [&](double t, std::size_t) {
            const double f = t < 0.08 ? 600 : 900, tn = t < 0.08 ? t : t - 0.08;
            return o.Square(f, 0.5) * 0.35 * Env(tn, 0.002, 30);
        });
    }
    if (r == "sfx_powerup") return PowerUp(index);
    if (r == "sfx_gravbeam") {
        Osc a, b, lfo;
        Biquad bp(Biquad::BandPass, 600, 3);
        Pcm p = Mono(2.25, [&](double t, std::size_t i) {
            if (i % 32 == 0) bp.Set(600 + 300 * std::sin(2 * kPi * t * 2), 3);
            return a.Sine(110) * 0.35 + b.Saw(220) * 0.15 * (0.5 + 0.5 * lfo.Sine(4)) + bp(noise()) * 0.6;
        });
        return Loop(p, 0.25);
    }
    if (r == "sfx_gravshoot") {
        Biquad bp(Biquad::BandPass, 2000, 1.2);
        Osc thump;
        return Mono(0.6, [&](double t, std::size_t i) {
            if (i % 32 == 0) bp.Set(2500 * std::exp(-t * 5) + 150, 1.2);
            return bp(noise()) * 2 * Env(t, 0.01, 5) + thump.Sine(70) * 0.6 * Env(t, 0.003, 12);
        });
    }
    if (r == "sfx_gravgrab") {
        Biquad bp(Biquad::BandPass, 300, 1.5);
        Osc clunk;
        return Mono(0.5, [&](double t, std::size_t i) {
            if (i % 32 == 0) bp.Set(200 + 3000 * t, 1.5);
            const double pull = bp(noise()) * 2 * std::min(1.0, t * 3) * (t < 0.4 ? 1 : 0);
            return pull + (t > 0.4 ? clunk.Sine(140) * 0.8 * Env(t - 0.4, 0.002, 25) : 0);
        });
    }
    if (r == "sfx_empty") {
        Osc o;
        return Mono(0.5, [&](double t, std::size_t) {
            return t < 0.05 ? (o.Square(180, 0.5) * 0.3 + noise() * 0.2) * Env(t, 0.001, 60) : 0.0;
        });
    }
    if (r == "sfx_shieldcharge") {
        Osc a, b;
        return Mono(1.0, [&](double t, std::size_t) {
            const double f = 300 + 900 * t;
            return (a.Sine(f) * 0.3 + b.Sine(f * 1.5 + 7) * 0.2) * std::sin(kPi * t) *
                   (0.7 + 0.3 * std::sin(t * 60));
        });
    }
    if (r == "sfx_fireball") {
        Biquad lp(Biquad::LowPass, 400, 0.7), bp(Biquad::BandPass, 1500, 0.8);
        Pcm p = Mono(3.25, [&](double, std::size_t) {
            const double crackle = rnd.Uniform() < 0.002 ? noise() * 3 : 0;
            return lp(noise()) * 2.5 + bp(noise()) * 0.6 + crackle;
        });
        return Loop(p, 0.25);
    }
    if (r == "sfx_thunder") {
        Biquad lp(Biquad::LowPass, 3000, 0.7);
        return Mono(2.5, [&](double t, std::size_t i) {
            if (i % 32 == 0) lp.Set(5000 * std::exp(-t * 4) + 120, 0.7);
            const double rolls = 0.6 + 0.4 * std::sin(t * 7) * std::sin(t * 3.1);
            return lp(noise()) * (Env(t, 0.002, 1.8) * rolls + (t < 0.05 ? 1.5 : 0));
        });
    }
    throw RecipeError("no effect recipe " + r);
}

// ---- speech ---------------------------------------------------------------------------
// Three speakers: the ship's computer (a clean female voice, announced by a chime), the
// station crew on the radio (narrow band, compressed, squelch blips) and the flight
// instructor (a British voice heard close, lightly compressed).
enum Speaker { kComputer, kRadio, kInstructor };

struct Line {
    const char* text;
    const char* voice;
    int speed, pitch;
    Speaker speaker;
    bool chime;
};

const std::map<std::string, Line>& Lines() {
    // espeak-ng is clearest on its plainer variants (no breath, echo or roughness),
    // a little slower than its default and with short pauses between words.
    static const char* const computer = "en-us+f1";
    static const char* const instructor = "en-gb-x-rp+m3";
    static const std::map<std::string, Line> lines = {
        {"reward", {"New weapon available in the shop.", computer, 155, 50, kComputer, true}},
        // The intro's jump sound replaces this line about 1.2 s after it starts: short
        // enough to be heard whole before that.
        {"vto1", {"Cleared for launch!", "en-us+m6", 195, 40, kRadio, false}},
        {"masinbound", {"Warning! Mothership inbound.", computer, 150, 50, kComputer, true}},
        {"noavail", {"Not available.", computer, 155, 50, kComputer, false}},
        {"warnshield",
         {"Shield critical. Return to the station force fields.", computer, 155, 50, kComputer, true}},
        {"lavaastinit",
         {"Alert! A flaming asteroid is heading for the station.", computer, 155, 50, kComputer, true}},
        {"lavaastwarn", {"The flaming asteroid is coming round again.", computer, 155, 50, kComputer, true}},
        {"badman", {"Hey! Stop shooting at the station!", "en-us+m4", 165, 45, kRadio, false}},
        {"fallen", {"Ouch! Half the crew just fell over.", "en-us+m6", 160, 40, kRadio, false}},
        {"feelspecial", {"Does shooting at us make you feel special?", "en-us+f1", 160, 55, kRadio, false}},
        {"itblowsup", {"Careful! If it blows up, we all go with it!", "en-us+m3", 170, 45, kRadio, false}},
        {"nancyboy", {"Watch your aim, hot shot!", "en-us+m4", 165, 50, kRadio, false}},
        {"scream", {"", "", 0, 0, kRadio, false}},  // synthesized, not spoken
        {"tut1",
         {"Welcome to flight training, pilot. Move the mouse to look around. The left mouse button fires. "
          "When you are ready, press W to fly forward.",
          instructor, 145, 38, kInstructor, false}},
        {"tut2",
         {"Your shield is low. Fly into one of the four force fields below the station to recharge it.",
          instructor, 145, 38, kInstructor, false}},
        {"tut3",
         {"Well done. Now press A and D to slide left and right.", instructor, 145, 38, kInstructor, false}},
        {"tut4", {"Good. Press Q and E to roll the ship.", instructor, 145, 38, kInstructor, false}},
        {"tut5", {"Now press S to brake.", instructor, 145, 38, kInstructor, false}},
        {"tut6",
         {"Press B to open the weapon shop. Your money buys new weapons and bigger energy stores.",
          instructor, 145, 38, kInstructor, false}},
        {"tut7",
         {"You have been given the gravity beam. Aim at an asteroid and hold the fire button to grab it.",
          instructor, 145, 38, kInstructor, false}},
        {"tut8",
         {"Now let go of the button, then fire again to throw the asteroid.", instructor, 145, 38,
          kInstructor, false}},
        {"astclose1", {"Warning. Asteroid approaching the station.", computer, 155, 50, kComputer, true}},
        {"astclose2", {"An asteroid is closing on the station!", computer, 155, 50, kComputer, true}},
        {"astclose3",
         {"Intercept that asteroid before it hits the station!", computer, 160, 50, kComputer, true}},
        {"sctinbound", {"Alien scout inbound.", "en-us+m6", 155, 40, kRadio, false}},
        {"sctleaving", {"The scout is leaving the area.", "en-us+m6", 155, 40, kRadio, false}},
        {"astcollision",
         {"A giant asteroid is on collision course with the station. Destroy it!", computer, 155, 50,
          kComputer, true}},
    };
    return lines;
}

Pcm Chime() {
    Osc a, b;
    return Mono(0.45, [&](double t, std::size_t) {
        const double f = t < 0.15 ? 880 : 1318.5, tn = t < 0.15 ? t : t - 0.15;
        return (a.Sine(f) * 0.5 + b.Sine(f * 2) * 0.15) * Env(tn, 0.004, 9);
    });
}

// Evens out syllables: gain falls by `ratio` above `threshold` (of full scale), with a
// quick attack and a slower release so that words do not pump.
void Compress(Pcm& pcm, double threshold, double ratio) {
    const double attack = std::exp(-1.0 / (0.004 * kRate)), release = std::exp(-1.0 / (0.08 * kRate));
    double env = 0;
    for (float& s : pcm.samples) {
        const double a = std::abs(s);
        env = a > env ? attack * env + (1 - attack) * a : release * env + (1 - release) * a;
        if (env > threshold) s = float(s * std::pow(env / threshold, 1 / ratio - 1));
    }
}

// A radio channel: telephone band, compressed hard, a touch of hiss, squelch blips.
Pcm Radio(const Pcm& voice) {
    Biquad hp1(Biquad::HighPass, 300, 0.7), hp2(Biquad::HighPass, 300, 0.7), lp1(Biquad::LowPass, 3400, 0.7),
        lp2(Biquad::LowPass, 3400, 0.7);
    Random rnd(SeedOf("radio"));
    Pcm out = voice;
    for (float& s : out.samples)
        s = float(lp2(lp1(hp2(hp1(s)))));
    Normalize(out, 0.8);
    Compress(out, 0.15, 4);
    Normalize(out, 0.8);
    for (float& s : out.samples)
        s = float(std::tanh(s * 1.3) + rnd.Range(-0.006, 0.006));
    Osc o;
    Pcm blip = Mono(0.08, [&](double t, std::size_t) { return o.Sine(1750) * 0.3 * Env(t, 0.002, 30); });
    return Mix({{blip, 0}, {out, 0.1}, {blip, 0.12 + voice.samples.size() / double(kRate)}});
}

// The instructor, close to the microphone: rumble off and the syllables evened out.
Pcm Close(const Pcm& voice) {
    Biquad hp(Biquad::HighPass, 90, 0.7);
    Pcm out = voice;
    for (float& s : out.samples)
        s = float(hp(s));
    Normalize(out, 0.8);
    Compress(out, 0.25, 2.5);
    return out;
}

// A scream: a strained voice (band-limited saw) sliding up and breaking down, with
// jitter, through the formants of an open "ah", and breath under it.
Pcm Scream() {
    Random rnd(SeedOf("scream"));
    Osc glottis;
    Biquad f1(Biquad::BandPass, 850, 6), f2(Biquad::BandPass, 1300, 7), f3(Biquad::BandPass, 2900, 9),
        breath(Biquad::BandPass, 2200, 1.5);
    const double len = 1.5;
    double jitter = 0;
    return Mono(len, [&](double t, std::size_t i) {
        const double x = t / len;
        if (i % 64 == 0) jitter = rnd.Range(-1, 1);
        const double pitch = (x < 0.15 ? 620 + 2600 * x : 1010 - 380 * (x - 0.15) * (x - 0.15) * 4) *
                             (1 + 0.03 * std::sin(2 * kPi * 6.5 * t) + 0.015 * jitter);
        const double src = glottis.Saw(pitch);
        const double swell = std::min(1.0, t / 0.06) * std::min(1.0, (len - t) / 0.35);
        const double vowel = f1(src) * 1.0 + f2(src) * 0.7 + f3(src) * 0.35;
        return (vowel + breath(rnd.Range(-1, 1)) * 0.25) * swell;
    });
}

// Stands in for speech when the synthesizer is missing, so the file set stays whole.
Pcm Murmur(const std::string& text) {
    Osc o;
    const double len = 0.3 + 0.06 * text.size();
    return Mono(len, [&](double t, std::size_t) {
        const double syllable = 0.5 + 0.5 * std::sin(t * 2 * kPi * 4);
        return o.Saw(140 + 20 * std::sin(t * 3)) * 0.3 * syllable;
    });
}

// Cuts the synthesizer's silence before the first word and after the last, so a
// line starts when it is played and is over when its words are.
void TrimSilence(Pcm& pcm) {
    float top = 0;
    for (float x : pcm.samples)
        top = std::max(top, std::abs(x));
    const float quiet = top * 0.01f;
    std::size_t first = 0, last = pcm.samples.size();
    while (first < last && std::abs(pcm.samples[first]) <= quiet)
        ++first;
    while (last > first && std::abs(pcm.samples[last - 1]) <= quiet)
        --last;
    const auto margin = std::size_t(0.01 * kRate);
    first = first > margin ? first - margin : 0;
    last = std::min(pcm.samples.size(), last + margin);
    pcm.samples = std::vector<float>(pcm.samples.begin() + std::ptrdiff_t(first),
                                     pcm.samples.begin() + std::ptrdiff_t(last));
}

Pcm Voice(const std::string& name) {
    const auto it = Lines().find(name);
    if (it == Lines().end()) throw RecipeError("no spoken line for " + name);
    const Line& l = it->second;
    std::optional<Pcm> spoken;
    if (name == "scream") {
        spoken = Scream();
    } else {
        spoken = Speak(l.text, l.voice, l.speed, l.pitch, 2);
        if (!spoken) {
            static bool warned = false;
            if (!warned)
                std::fprintf(stderr, "contentgen: espeak-ng did not run; spoken clips are placeholders\n");
            warned = true;
            spoken = Murmur(l.text);
        }
    }
    Pcm v = *spoken;
    if (v.rate != kRate || v.channels != 1) throw RecipeError("unexpected speech format for " + name);
    TrimSilence(v);
    Normalize(v, 0.8);
    if (l.speaker == kRadio) v = Radio(v);
    if (l.speaker == kInstructor) v = Close(v);
    if (l.chime) v = Mix({{Chime(), 0}, {v, 0.4}});
    return v;
}

// Loudness in LUFS as heard at the volume the game plays each sound with: the level
// music at -9 dB, voices 6 LU and more above it, explosions well above the player's
// guns. The whole set sits kHeadroom dB under the levels these balances were first
// set at, so that a fight (music, engine, a held gun, hits and explosions together)
// leaves the mix under full scale.
constexpr double kHeadroom = 6;
constexpr double kLevelMusicHeard = -22 - kHeadroom, kVoiceHeard = kLevelMusicHeard + 6.5,
                 kGunHeard = -18 - kHeadroom, kExplosionHeard = -12 - kHeadroom;
// A mono clip goes to both speakers whole: 3 dB more than a mono effect buffer, which
// is placed in the middle, at the same level.
constexpr double kClipOnBothSpeakers = 3.01;
// No file's true peak passes -1 dBTP: PCM keeps a little margin, the lossy coders a
// little more, since they move the peaks. Effects stop lower still: a fight stacks
// them, and one placed hard to a side is heard 3 dB up on that side, so a held gun
// with a close explosion on top would otherwise reach full scale.
constexpr double kWaveCeilingDb = -1.5, kCodedCeilingDb = -2.5, kEffectCeilingDb = -6;

double MusicLufs(int song) {
    switch (song) {
        case 1:
            return -16 - kHeadroom;  // the menu plays it at -1 dB
        case 3:
        case 4:
        case 5:
        case 6:
            return -19 - kHeadroom;  // cut-scene clips and jingles, played as clips at full volume
        default:
            return kLevelMusicHeard + 9;
    }
}

}  // namespace

std::string MakeSound(const ContentEntry& e) {
    Pcm pcm;
    const bool effect = e.recipe != "music" && e.recipe != "voice";
    const double ceiling = effect                    ? kEffectCeilingDb
                           : e.format == Format::Wav ? kWaveCeilingDb
                                                     : kCodedCeilingDb;
    if (e.recipe == "music") {
        if (e.format == Format::Midi) return SongMidi(e.index);
        pcm = RenderSong(e.index);
        LevelTo(pcm, MusicLufs(e.index), ceiling);
    } else if (e.recipe == "voice") {
        const std::string name = BaseName(e.path);
        pcm = Voice(name);
        // The tutorial and the flaming-asteroid warnings play 3 dB down; "reward" is an
        // effect buffer, every other voice a clip.
        double heardGain = name == "reward" ? 0 : kClipOnBothSpeakers;
        if (e.path.find("tutorial") != std::string::npos || name.rfind("lavaast", 0) == 0) heardGain -= 3;
        LevelTo(pcm, kVoiceHeard - heardGain, ceiling);
    } else {
        pcm = Effect(e.recipe, e.index);
        pcm.rate = kRate;
        static const std::set<std::string> guns = {"sfx_laser", "sfx_plasma", "sfx_ion",     "sfx_mion",
                                                   "sfx_gamma", "sfx_eplas",  "sfx_disperse"};
        // Steady tones and loops sound louder than bursts at the same peak.
        static const std::map<std::string, double> peaks = {
            {"sfx_toofar", 0.4}, {"sfx_warning", 0.6},   {"sfx_engine", 0.6},      {"sfx_masengine", 0.7},
            {"sfx_maseng", 0.7}, {"sfx_gravbeam", 0.6},  {"sfx_powerup", 0.7},     {"sfx_wchange", 0.6},
            {"sfx_empty", 0.6},  {"sfx_afterburn", 0.7}, {"sfx_shieldcharge", 0.6}};
        if (e.recipe == "sfx_explosion") {
            LevelTo(pcm, kExplosionHeard, ceiling);
        } else if (guns.count(e.recipe)) {
            LevelTo(pcm, kGunHeard, ceiling);
        } else {
            const auto peak = peaks.find(e.recipe);
            Normalize(pcm, (peak == peaks.end() ? 0.89 : peak->second) * std::pow(10.0, -kHeadroom / 20));
            CapTruePeak(pcm, ceiling);
        }
    }
    // Loops already join end to start; a fade at the ends would dip at every seam.
    static const std::set<std::string> loops = {"sfx_engine", "sfx_masengine", "sfx_maseng", "sfx_gravbeam",
                                                "sfx_fireball"};
    if (e.recipe != "music" && !loops.count(e.recipe)) FadeEnds(pcm, 0.002);
    if (e.format == Format::Wav) return WavBytes(pcm);
    return EncodeAudio(pcm, e.format);
}

}  // namespace quorvel::content
