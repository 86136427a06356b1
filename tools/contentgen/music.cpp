// Music: each song is a seeded arrangement of drums, bass, pads, arpeggios and a
// lead melody built on a chord progression, rendered with a small synthesizer or
// written out as General MIDI.

#include <algorithm>
#include <cmath>
#include <map>

#include "audio.h"
#include "generate.h"
#include "noise.h"
#include "oscillator.h"

namespace quorvel::content {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 44100;

enum Instrument { kKick, kSnare, kHat, kCrash, kBass, kLead, kPad, kArp, kInstruments };

struct Note {
    double beat;  // start, in beats
    double length;
    int pitch;  // MIDI note number; drums ignore it
    double velocity;
    Instrument instrument;
};

// How a song begins and ends. A loop is started again each time it ends, and an
// opening leads straight into its loop: both run at full level from end to end.
enum Shape { kPlain, kLoop, kOpening };

struct Style {
    double tempo;
    int root;  // MIDI note of the key's tonic
    bool minor;
    int bars;
    std::vector<int> progression;  // scale degrees, one chord per bar
    int energy;                    // 0 calm .. 3 driving
    bool ending;                   // closes on a held chord (jingles and cut-scene clips)
    std::uint64_t seed;
    Shape shape = kPlain;
};

// Fifty levels of fighting want variety: each song has its own key, pace and mood.
Style StyleOf(int song) {
    switch (song) {
        case 1:
            return {100, 57, true, 32, {0, 5, 2, 6}, 1, false, 101, kLoop};  // menu
        case 2:
            return {90, 50, true, 21, {0, 3, 5, 4}, 1, true, 102};  // intro
        case 3:
            return {96, 55, false, 10, {0, 4, 5, 3}, 2, true, 103};  // gold-ship cut-scene
        case 4:
            return {84, 53, false, 10, {0, 5, 3, 4}, 1, true, 104};  // end cut-scene
        case 5:
            return {120, 60, false, 3, {0, 3, 4, 0}, 2, true, 105};  // level done
        case 6:
            return {70, 57, true, 2, {0, 6, 5, 4}, 0, true, 106};  // game over
        case 7:
            return {140, 52, true, 40, {0, 6, 5, 6}, 3, false, 107, kLoop};  // last fight
        case 8:
            return {130, 50, true, 36, {0, 0, 6, 5}, 2, false, 108, kOpening};  // battle opening
        case 9:
            return {130, 50, true, 32, {0, 5, 6, 4}, 3, false, 109, kLoop};  // battle loop
        case 10:
            return {120, 48, true, 32, {0, 1, 0, 6}, 2, false, 110, kOpening};  // mothership opening
        case 11:
            return {126, 48, true, 32, {0, 5, 1, 6}, 3, false, 111, kLoop};  // mothership loop
        case 12:
            return {110, 53, true, 28, {0, 3, 0, 4}, 2, false, 112, kLoop};  // giant asteroid
        case 13:
            return {105, 55, true, 28, {0, 5, 3, 6}, 2, false, 113};  // playlist
        case 14:
            return {95, 58, false, 26, {0, 4, 5, 3}, 1, false, 114};  // playlist
        case 15:
            return {118, 52, true, 32, {0, 2, 5, 6}, 3, false, 115};  // playlist
        case 16:
            return {112, 57, true, 32, {5, 6, 0, 0}, 2, false, 116};  // playlist
        default:
            throw RecipeError("no song " + std::to_string(song));
    }
}

int ScaleNote(const Style& s, int degree, int octave = 0) {
    static const int major[7] = {0, 2, 4, 5, 7, 9, 11}, minor[7] = {0, 2, 3, 5, 7, 8, 10};
    const int d = ((degree % 7) + 7) % 7, o = (degree - d) / 7;
    return s.root + (s.minor ? minor[d] : major[d]) + 12 * (o + octave);
}

std::vector<Note> Arrange(const Style& s) {
    Random rnd(s.seed);
    std::vector<Note> notes;
    const int bars = s.bars;
    // A two-bar motif: onsets, lengths and scale steps above the chord root.
    struct Step {
        double at, len;
        int degree;
    };
    std::vector<Step> motif;
    double at = 0;
    while (at < 7.5) {
        const double len = (rnd.Uniform() < 0.6 ? 0.5 : (rnd.Uniform() < 0.5 ? 1.0 : 1.5));
        const int chordTone[5] = {0, 2, 4, 7, 1};
        motif.push_back(
            {at, std::min(len, 8 - at), chordTone[rnd.Int(0, 4)] + (rnd.Uniform() < 0.2 ? 2 : 0)});
        at += len + (rnd.Uniform() < 0.25 ? 0.5 : 0);
    }
    const int intro = s.shape == kLoop ? 0 : (s.ending || s.shape == kOpening ? std::min(2, bars / 4) : 4);
    for (int bar = 0; bar < bars; ++bar) {
        const double b0 = bar * 4.0;
        const int chord = s.progression[std::size_t(bar) % s.progression.size()];
        const bool last = s.ending && bar == bars - 1;
        const bool section = bar % 8 == 0;
        const bool full = bar >= intro;
        const bool lead = bar >= intro + (s.ending || s.shape == kLoop ? 0 : 4) && (bar / 8) % 4 != 3;
        // Pad: the chord held over the bar.
        for (int k : {0, 2, 4})
            notes.push_back({b0, 4, ScaleNote(s, chord + k, 0), 0.5, kPad});
        if (last) {
            notes.push_back({b0, 4, ScaleNote(s, chord, -1), 0.8, kBass});
            notes.push_back({b0, 4, ScaleNote(s, chord + 4, 1), 0.7, kLead});
            notes.push_back({b0, 1, 0, 0.9, kCrash});
            notes.push_back({b0, 1, 0, 1.0, kKick});
            break;
        }
        // Arpeggio in sixteenths, up and down the chord.
        if (s.energy >= 1 || !full) {
            const int pattern[8] = {0, 2, 4, 7, 9, 7, 4, 2};
            const double step = s.energy >= 2 ? 0.25 : 0.5;
            for (double t = 0; t < 4 - 1e-9; t += step) {
                const int k = pattern[int(t / step) % 8];
                notes.push_back({b0 + t, step * 0.9, ScaleNote(s, chord + k, 1), 0.35, kArp});
            }
        }
        if (!full) continue;
        // Bass.
        const int broot = ScaleNote(s, chord, -2);
        if (s.energy >= 2) {
            for (int e = 0; e < 8; ++e) {
                const int p =
                    (e == 3 || e == 7) ? broot + 12 : (e == 5 ? ScaleNote(s, chord + 4, -2) : broot);
                notes.push_back({b0 + e * 0.5, 0.45, p, e % 2 ? 0.6 : 0.85, kBass});
            }
        } else {
            notes.push_back({b0, 1.5, broot, 0.8, kBass});
            notes.push_back({b0 + 1.5, 0.5, broot + 7, 0.6, kBass});
            notes.push_back({b0 + 2, 2, broot, 0.7, kBass});
        }
        // Drums.
        if (s.energy >= 1) {
            if (section) notes.push_back({b0, 1, 0, 0.8, kCrash});
            const bool fill = bar % 8 == 7;
            for (int q = 0; q < 4; ++q) {
                if (q == 0 || q == 2 || (s.energy >= 3 && q == 3))
                    notes.push_back({b0 + q, 0.5, 0, 1.0, kKick});
                if (q == 1 || q == 3) notes.push_back({b0 + q, 0.5, 0, 0.9, kSnare});
            }
            if (s.energy >= 2) notes.push_back({b0 + 2.5, 0.5, 0, 0.7, kKick});
            const double hat = s.energy >= 3 ? 0.25 : 0.5;
            for (double t = 0; t < 4 - 1e-9; t += hat)
                notes.push_back({b0 + t, 0.1, 0, std::fmod(t, 1.0) == 0 ? 0.6 : 0.35, kHat});
            if (fill)
                for (int k = 0; k < 4; ++k)
                    notes.push_back({b0 + 3 + k * 0.25, 0.2, 0, 0.5 + 0.12 * k, kSnare});
        } else if (bar % 2 == 0) {
            notes.push_back({b0, 1, 0, 0.6, kKick});
        }
        // Lead: the motif over two bars, moved to the chord and varied in its second half.
        if (lead && bar % 2 == 0) {
            const int variant = (bar / 2) % 4;
            for (const Step& m : motif) {
                int degree = chord + m.degree + (variant == 2 ? 2 : 0);
                if (variant == 3 && m.at >= 4) degree = chord + 4 - m.degree / 2;
                notes.push_back({b0 + m.at, m.len * 0.95, ScaleNote(s, degree, 1), 0.75, kLead});
            }
        }
    }
    return notes;
}

// ---- synthesis -------------------------------------------------------------------------
class OnePole {
  public:
    double operator()(double x, double cutoff) {
        const double w = 2 * kPi * cutoff / kRate;
        y_ += w / (1 + w) * (x - y_);
        return y_;
    }

  private:
    double y_ = 0;
};

// exp(-t * rate) one sample at a time, without calling exp per sample.
class Decay {
  public:
    explicit Decay(double perSecond) : step_(std::exp(-perSecond / kRate)) {}
    double operator()() {
        const double v = value_;
        value_ *= step_;
        return v;
    }

  private:
    double value_ = 1, step_;
};

double MidiHz(int pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// Attack, decay to a sustain level, and a release once the note is let go.
class Adsr {
  public:
    Adsr(double attack, double decay, double sustain, double length, double release)
        : attack_(attack), sustain_(sustain), length_(length), fall_(1 / decay), release_(4 / release) {}
    double operator()(double t) {
        double e = t < attack_ ? t / attack_ : sustain_ + (1 - sustain_) * fall_();
        if (t > length_) e *= release_();
        return e;
    }

  private:
    double attack_, sustain_, length_;
    Decay fall_, release_;
};

// Adds one note into the stereo buffer.
void Voice(std::vector<float>& out, const Note& n, double secondsPerBeat, std::uint64_t seed) {
    const double start = n.beat * secondsPerBeat, len = n.length * secondsPerBeat;
    double tail = 0.3, pan = 0;
    switch (n.instrument) {
        case kKick:
            tail = 0.4;
            break;
        case kSnare:
            tail = 0.3, pan = 0.1;
            break;
        case kHat:
            tail = 0.08, pan = 0.3;
            break;
        case kCrash:
            tail = 1.6, pan = -0.2;
            break;
        case kBass:
            tail = 0.08;
            break;
        case kLead:
            tail = 0.25, pan = -0.15;
            break;
        case kPad:
            tail = 0.6, pan = (n.pitch % 3 - 1) * 0.4;
            break;
        case kArp:
            tail = 0.15, pan = 0.35;
            break;
        default:
            break;
    }
    const double total = (n.instrument <= kCrash) ? tail : len + tail;
    const auto first = std::size_t(start * kRate), count = std::size_t(total * kRate);
    if (out.size() < 2 * (first + count)) out.resize(2 * (first + count), 0.0f);
    const double f = MidiHz(n.pitch);
    Random rnd(seed);
    OnePole lp1, lp2, hp;
    Decay fast(n.instrument == kHat ? 60 : (n.instrument == kCrash ? 2.8 : 16)),
        slow(n.instrument == kKick ? 9 : 25);
    Decay sweep(n.instrument == kKick ? 30 : 12), pluck(7), cut(30);
    Adsr env = n.instrument == kBass   ? Adsr(0.005, 0.12, 0.7, len, tail)
               : n.instrument == kLead ? Adsr(0.01, 0.2, 0.6, len, tail)
                                       : Adsr(0.35, 1.0, 0.8, len, tail);
    double ph[3] = {0, 0, 0};
    const double gl = 0.7 * n.velocity * (1 - pan), gr = 0.7 * n.velocity * (1 + pan);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = double(i) / kRate;
        double v = 0;
        switch (n.instrument) {
            case kKick: {
                ph[0] += (45 + 110 * sweep()) / kRate;
                v = std::sin(2 * kPi * ph[0]) * slow() * 1.2;
                break;
            }
            case kSnare: {
                const double noise = rnd.Range(-1, 1);
                ph[0] += 185.0 / kRate;
                v = (noise - hp(noise, 1500)) * fast() * 0.7 + std::sin(2 * kPi * ph[0]) * slow() * 0.5;
                break;
            }
            case kHat:
            case kCrash: {
                const double noise = rnd.Range(-1, 1);
                v = (noise - hp(noise, 6000)) * fast() * 0.35;
                break;
            }
            case kBass: {
                ph[0] += f / kRate;
                ph[0] -= std::floor(ph[0]);
                const double cutoff = 250 + 900 * sweep();
                v = lp2(lp1(Saw(ph[0], f / kRate), cutoff), cutoff) * env(t) * 1.4;
                break;
            }
            case kLead: {
                const double vib = t > 0.15 ? 1 + 0.004 * std::sin(2 * kPi * 5.5 * t) : 1;
                ph[0] += f * vib / kRate;
                ph[1] += f * vib * 1.005 / kRate;
                ph[0] -= std::floor(ph[0]);
                ph[1] -= std::floor(ph[1]);
                const double pulse = Pulse(ph[0], f * vib / kRate, 0.3),
                             saw = Saw(ph[1], f * vib * 1.005 / kRate);
                v = lp1(pulse * 0.5 + saw * 0.5, 2800) * env(t) * 0.5;
                break;
            }
            case kPad: {
                double sum = 0;
                const double detune[3] = {0.994, 1.0, 1.006};
                for (int k = 0; k < 3; ++k) {
                    ph[k] += f * detune[k] / kRate;
                    ph[k] -= std::floor(ph[k]);
                    sum += Saw(ph[k], f * detune[k] / kRate);
                }
                v = lp2(lp1(sum / 3, 1100), 1100) * env(t) * 0.45;
                break;
            }
            case kArp: {
                ph[0] += f / kRate;
                ph[0] -= std::floor(ph[0]);
                const double tri = ph[0] < 0.5 ? 4 * ph[0] - 1 : 3 - 4 * ph[0];
                const double sq = Pulse(ph[0], f / kRate, 0.5);
                v = lp1(tri * 0.7 + sq * 0.3, 2200) * pluck() * (t > len ? cut() : 1) * 0.35;
                break;
            }
            default:
                break;
        }
        const std::size_t at = 2 * (first + i);
        out[at] += float(v * gl);
        out[at + 1] += float(v * gr);
    }
}

Pcm Render(const std::vector<Note>& notes, double tempo, double minSeconds, std::uint64_t seed, Shape shape,
           int bars) {
    const double spb = 60.0 / tempo;
    std::vector<float> out;
    std::uint64_t k = seed;
    for (const Note& n : notes)
        Voice(out, n, spb, ++k);
    // Echo on the whole mix, a dotted eighth apart, crossing sides; room for its tail.
    const auto delay = std::size_t(spb * 0.75 * kRate) * 2;
    out.resize(out.size() + 8 * delay, 0.0f);
    std::vector<float> wet = out;
    for (std::size_t i = delay; i + 1 < out.size(); i += 2) {
        wet[i] += 0.22f * wet[i + 1 - delay];
        wet[i + 1] += 0.22f * wet[i - delay];
    }
    const std::size_t barsEnd = std::size_t(bars * 4 * spb * kRate) * 2;
    if (shape == kLoop) {
        // What rings on past the last bar is heard again over the first: the loop joins
        // itself with nothing missing and nothing doubled.
        for (std::size_t i = barsEnd; i < wet.size(); ++i)
            wet[(i - barsEnd) % barsEnd] += wet[i];
        wet.resize(barsEnd);
    } else if (shape == kOpening) {
        wet.resize(barsEnd);  // its loop starts on the next beat
    }
    if (wet.size() < std::size_t(minSeconds * kRate) * 2)
        wet.resize(std::size_t(minSeconds * kRate) * 2, 0.0f);
    for (float& s : wet)
        s = float(std::tanh(s * 0.9));
    Pcm pcm;
    pcm.rate = kRate;
    pcm.channels = 2;
    pcm.samples = std::move(wet);
    // End in silence rather than mid-note; an opening hands over to its loop.
    const std::size_t fade =
        std::min(pcm.Frames(), std::size_t(shape == kPlain ? kRate : (shape == kOpening ? kRate / 200 : 0)));
    for (std::size_t i = 0; i < fade; ++i) {
        const float g = float(i) / float(fade);
        pcm.samples[2 * (pcm.Frames() - 1 - i)] *= g;
        pcm.samples[2 * (pcm.Frames() - 1 - i) + 1] *= g;
    }
    // Trailing silence of a plain song, left by the echo room above.
    if (shape == kPlain) {
        std::size_t end = pcm.samples.size();
        while (end > std::max<std::size_t>(2, std::size_t(minSeconds * kRate) * 2) &&
               pcm.samples[end - 1] == 0 && pcm.samples[end - 2] == 0)
            end -= 2;
        pcm.samples.resize(end);
    }
    return pcm;
}

// ---- standard MIDI file --------------------------------------------------------------
void VarLen(std::string& out, std::uint32_t v) {
    unsigned char bytes[5];
    int n = 0;
    bytes[n++] = v & 0x7F;
    while (v >>= 7)
        bytes[n++] = 0x80 | (v & 0x7F);
    while (n--)
        out.push_back(char(bytes[n]));
}

std::string Chunk(const char* id, const std::string& body) {
    std::string out(id, 4);
    const auto n = std::uint32_t(body.size());
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(char((n >> s) & 0xFF));
    return out + body;
}

}  // namespace

Pcm RenderSong(int song) {
    const Style s = StyleOf(song);
    return Render(Arrange(s), s.tempo, 0, s.seed, s.shape, s.bars);
}

std::string SongMidi(int song) {
    const Style s = StyleOf(song);
    const std::vector<Note> notes = Arrange(s);
    const int ppq = 480;
    std::string tracks;
    // Track 0: tempo and metre.
    {
        std::string t;
        const auto usPerBeat = std::uint32_t(60000000.0 / s.tempo);
        t += std::string("\x00\xFF\x51\x03", 4);
        t.push_back(char((usPerBeat >> 16) & 0xFF));
        t.push_back(char((usPerBeat >> 8) & 0xFF));
        t.push_back(char(usPerBeat & 0xFF));
        t += std::string("\x00\xFF\x58\x04\x04\x02\x18\x08", 8);
        t += std::string("\x00\xFF\x2F\x00", 4);
        tracks += Chunk("MTrk", t);
    }
    // General MIDI: synth bass, square lead, warm pad, saw lead for the arpeggio, drums on channel 10.
    struct Part {
        Instrument instrument;
        int channel, program;
    };
    const Part parts[] = {{kBass, 0, 38}, {kLead, 1, 80}, {kPad, 2, 89}, {kArp, 3, 81}, {kKick, 9, -1}};
    const std::map<Instrument, int> drumKeys = {{kKick, 36}, {kSnare, 38}, {kHat, 42}, {kCrash, 49}};
    for (const Part& p : parts) {
        struct Event {
            std::uint32_t tick;
            int order;  // note-offs before note-ons at the same tick
            unsigned char status, key, velocity;
        };
        std::vector<Event> events;
        for (const Note& n : notes) {
            const bool drum = n.instrument <= kCrash;
            if (p.channel == 9 ? !drum : n.instrument != p.instrument) continue;
            const unsigned char key = (unsigned char)(drum ? drumKeys.at(n.instrument) : n.pitch);
            const auto on = std::uint32_t(std::lround(n.beat * ppq));
            const auto off = std::uint32_t(std::lround((n.beat + (drum ? 0.1 : n.length)) * ppq));
            const auto vel = (unsigned char)std::clamp(int(n.velocity * 110), 1, 127);
            events.push_back({on, 1, (unsigned char)(0x90 | p.channel), key, vel});
            events.push_back({off, 0, (unsigned char)(0x80 | p.channel), key, 0});
        }
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::string t;
        if (p.program >= 0) {
            t.push_back(0);
            t.push_back(char(0xC0 | p.channel));
            t.push_back(char(p.program));
        }
        std::uint32_t now = 0;
        for (const Event& e : events) {
            VarLen(t, e.tick - now);
            now = e.tick;
            t.push_back(char(e.status));
            t.push_back(char(e.key));
            t.push_back(char(e.velocity));
        }
        t += std::string("\x00\xFF\x2F\x00", 4);
        tracks += Chunk("MTrk", t);
    }
    std::string header;
    const int count = 1 + int(std::size(parts));
    for (int v : {1, count, ppq}) {
        header.push_back(char((v >> 8) & 0xFF));
        header.push_back(char(v & 0xFF));
    }
    return Chunk("MThd", header) + tracks;
}

Pcm VideoSound(double seconds) {
    Style s{100, 50, true, 2, {0, 5}, 0, true, 900};
    std::vector<Note> notes;
    for (int k : {0, 2, 4, 7})
        notes.push_back({0, 6.5, ScaleNote(s, k, 0), 0.6, kPad});
    notes.push_back({0, 6.5, ScaleNote(s, 0, -2), 0.7, kBass});
    notes.push_back({2, 4.5, ScaleNote(s, 4, 1), 0.6, kLead});
    notes.push_back({0, 1, 0, 0.9, kCrash});
    notes.push_back({0, 1, 0, 1.0, kKick});
    Pcm pcm = Render(notes, s.tempo, seconds, s.seed, kPlain, s.bars);
    pcm.samples.resize(std::size_t(seconds * kRate) * 2);
    return pcm;
}

}  // namespace quorvel::content
