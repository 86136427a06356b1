// The limiter at the end of the mix: nothing the mix holds comes out over -1 dBTP, as
// measured by the meter the content is levelled with, and whatever is quieter than
// that passes untouched.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "contentgen/loudness.h"
#include "platform/al/mix_limiter.h"
#include "platform/al/openal_device.h"
#include "platform/sound/sound_fixtures.h"
#include "support/temp_folder.h"

namespace quorvel::al {
namespace {

constexpr int kRate = 44100;

// A crack of noise falling away over `seconds`, peaking at `peak`: an explosion or a hit.
std::vector<float> Burst(double seconds, double peak, unsigned seed, int channels = 2) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1, 1);
    const auto frames = std::size_t(seconds * kRate);
    std::vector<float> out;
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = peak * noise(random) * std::exp(-4.0 * double(i) / double(frames));
        for (int c = 0; c < channels; ++c)
            out.push_back(float(v));
    }
    return out;
}

// `add` mixed into `mix` from frame `at` on (stereo).
void MixIn(std::vector<float>& mix, const std::vector<float>& add, std::size_t at) {
    mix.resize(std::max(mix.size(), 2 * at + add.size()), 0.0f);
    for (std::size_t i = 0; i < add.size(); ++i)
        mix[2 * at + i] += add[i];
}

std::vector<float> Limited(std::vector<float> stereo) {
    MixLimiter limiter(kRate);
    stereo.resize(stereo.size() + 2 * limiter.LatencyFrames(), 0.0f);  // let the last frames out
    limiter.Process(stereo.data(), stereo.size() / 2);
    return stereo;
}

double TruePeakDb(const std::vector<float>& stereo) {
    return content::TruePeakDb(stereo.data(), stereo.size() / 2, 2, kRate);
}

TEST(MixLimiter, NothingComesOutOverMinusOneDbTruePeak) {
    struct Case {
        const char* name;
        std::function<std::vector<float>()> make;
    };
    const Case cases[] = {
        // A quarter of the sample rate, sampled 45 degrees off its crests: every sample
        // sits 3 dB under the wave's true peak, which lies between them.
        {"peaks between the samples",
         [] {
             std::vector<float> out;
             for (int i = 0; i < kRate / 2; ++i) {
                 const auto v = float(1.3 * std::sin(std::numbers::pi / 2 * i + std::numbers::pi / 4));
                 out.insert(out.end(), {v, -v});
             }
             return out;
         }},
        // Explosions and hits on top of one another, each at its own -1 dBTP.
        {"a pile-up of bursts",
         [] {
             std::vector<float> mix;
             for (unsigned k = 0; k < 8; ++k)
                 MixIn(mix, Burst(0.6, 0.89, k), k * 900);
             return mix;
         }},
        // From silence straight into a loud tone: the gain is down before it arrives.
        {"a sudden loud tone",
         [] {
             std::vector<float> out(2 * kRate / 10, 0.0f);
             for (int i = 0; i < kRate / 4; ++i) {
                 const auto v = float(2.0 * std::sin(2 * std::numbers::pi * 1000 * i / kRate));
                 out.insert(out.end(), {v, v});
             }
             return out;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> input = c.make();
        ASSERT_GT(TruePeakDb(input), 0.0) << "the case needs limiting";
        EXPECT_LT(TruePeakDb(Limited(input)), -1.0);
    }
}

// A sound under the ceiling comes out sample for sample as it went in, only late; a
// pile-up over it is let go of within half a second, so the voice after it is heard
// at its own level again.
TEST(MixLimiter, QuietSoundsPassUntouchedAndTheGainComesBackAfterAPeak) {
    MixLimiter limiter(kRate);
    const std::size_t late = limiter.LatencyFrames();
    EXPECT_LT(double(late) / kRate, 0.005) << "effects stay on time";

    std::vector<float> voice;
    for (int i = 0; i < kRate; ++i) {
        const auto v = float(0.5 * std::sin(2 * std::numbers::pi * 440 * i / kRate));
        voice.insert(voice.end(), {v, -v});
    }
    std::vector<float> out = voice;
    limiter.Process(out.data(), out.size() / 2);
    for (std::size_t i = 2 * late; i < out.size(); ++i)
        ASSERT_EQ(out[i], voice[i - 2 * late]) << "frame " << i / 2;

    std::vector<float> fight;
    MixIn(fight, Burst(0.2, 4.0, 7), 0);  // 12 dB over full scale
    MixIn(fight, voice, 0);
    limiter.Process(fight.data(), fight.size() / 2);
    const std::vector<float> after(fight.begin() + 2 * (kRate * 7 / 10), fight.end());
    EXPECT_NEAR(test::ToneLevel(after, 0, kRate, 440), 0.5, 0.005);
}

// The loopback device ends its mix in the limiter, as the output does: several
// explosions, hits and plasma shots at once, each at full volume and its own -1 dBTP,
// over the music, never reach -1 dBTP together, and are still heard louder than one.
TEST(LoopbackDevice, AFightsPileUpStaysUnderMinusOneDbTruePeak) {
    auto device = OpenLoopbackDevice(kRate);
    ASSERT_TRUE(device);
    // Effects are mono 16-bit files at 22.05 kHz, as the game's are.
    auto effect = [](std::vector<float> mono) {
        sound::PcmData pcm;
        pcm.sampleRate = kRate / 2;
        pcm.channels = 1;
        for (std::size_t i = 0; i < mono.size(); i += 2)
            pcm.samples.push_back(static_cast<std::int16_t>(std::lround(mono[i] * 32767)));
        return pcm;
    };
    std::vector<std::unique_ptr<sound::AudioSource>> sources;
    auto play = [&](const sound::PcmData& pcm) {
        sources.push_back(device->CreateSource());
        sources.back()->SetBuffer(device->CreateBuffer(pcm));
        sources.back()->Play(false);
    };
    const sound::PcmData explosion = effect(Burst(1.2, 0.89, 1));
    play(explosion);
    const std::vector<float> one = device->Render(kRate);
    sources.clear();
    device->Render(kRate / 2);

    // The music under it, as the game plays it: a full-scale stream 9 dB down.
    auto music = device->CreateStream(kRate, [n = std::size_t(0)](float* out, std::size_t want) mutable {
        for (std::size_t i = 0; i < want; ++i, ++n)
            out[2 * i] = out[2 * i + 1] =
                float(0.89 * std::sin(2 * std::numbers::pi * 110 * double(n) / kRate));
        return want;
    });
    music->SetGain(float(std::pow(10.0, -9.0 / 20)));
    music->Play();
    for (unsigned k = 0; k < 3; ++k)
        play(effect(Burst(1.2, 0.89, 10 + k)));
    for (unsigned k = 0; k < 4; ++k)
        play(effect(Burst(0.15, 0.89, 20 + k)));
    sound::PcmData plasma = test::Tone(1500, 0.5, kRate / 2, 1, 0.89);
    play(plasma);
    play(plasma);
    const std::vector<float> fight = device->Render(kRate);

    EXPECT_LT(TruePeakDb(fight), -1.0);
    EXPECT_GT(content::IntegratedLufs(fight.data(), fight.size() / 2, 2, kRate),
              content::IntegratedLufs(one.data(), one.size() / 2, 2, kRate) + 3);
}

// The output device plays the limited mix too: OpenAL's wave writer stands in for the
// speakers (it is told so before the first OpenAL call of this process) and keeps what
// they would have played.
TEST(OutputDevice, PlaysTheLimitedMix) {
    test::TempFolder folder;
    const std::string wav = (folder.path() / "mix.wav").string();
    folder.Write("alsoft.conf",
                 "[general]\ndrivers = wave\nsample-type = float32\n[wave]\nfile = " + wav + "\n");
    setenv("ALSOFT_CONF", (folder.path() / "alsoft.conf").c_str(), 1);
    {
        auto device = OpenOutputDevice();
        ASSERT_TRUE(device);
        if (device->Silent()) GTEST_SKIP() << "this OpenAL has no wave writer";
        std::vector<std::unique_ptr<sound::AudioSource>> sources;
        for (unsigned k = 0; k < 4; ++k) {
            std::vector<float> burst = Burst(0.5, 0.89, 30 + k, 1);
            sound::PcmData pcm;
            pcm.sampleRate = kRate;
            pcm.channels = 1;
            for (const float v : burst)
                pcm.samples.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
            sources.push_back(device->CreateSource());
            sources.back()->SetBuffer(device->CreateBuffer(pcm));
        }
        for (const auto& source : sources)
            source->Play(false);
        // Mixed once the sources end; heard once the speakers' queue has played out too.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (sources.front()->Playing() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }  // closing the device finishes the file
    const std::string bytes = folder.Read("mix.wav");
    const std::size_t data = bytes.find("data");
    ASSERT_NE(data, std::string::npos);
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    std::memcpy(&rate, bytes.data() + 24, 4);
    std::memcpy(&bits, bytes.data() + 34, 2);
    ASSERT_EQ(bits, 32) << "float samples";
    std::vector<float> heard((bytes.size() - data - 8) / sizeof(float));
    std::memcpy(heard.data(), bytes.data() + data + 8, heard.size() * sizeof(float));
    const double peak = content::TruePeakDb(heard.data(), heard.size() / 2, 2, int(rate));
    EXPECT_GT(peak, -3.0) << "the bursts were played";
    EXPECT_LT(peak, -1.0);
}

}  // namespace
}  // namespace quorvel::al
