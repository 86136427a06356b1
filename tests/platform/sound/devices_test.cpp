#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <thread>

#include "platform/al/openal_device.h"
#include "platform/sound/null_device.h"
#include "platform/sound/sound_fixtures.h"

namespace quorvel::sound {
namespace {

constexpr int kRate = 44100;

// A pull that gives a sine tone of `frames` frames, then ends.
struct TonePull {
    double frequency;
    std::size_t frames;
    std::shared_ptr<std::atomic<std::size_t>> given = std::make_shared<std::atomic<std::size_t>>(0);
    std::size_t operator()(float* out, std::size_t want) {
        const std::size_t start = *given;
        const std::size_t n = std::min(want, frames - start);
        for (std::size_t i = 0; i < n; ++i) {
            const auto v =
                float(0.5 * std::sin(2 * std::numbers::pi * frequency * double(start + i) / kRate));
            out[2 * i] = v;
            out[2 * i + 1] = v;
        }
        *given = start + n;
        return n;
    }
};

// The limiter at the end of the mix looks a few milliseconds ahead, so what was mixed
// just before a stop is still heard that long after it.
void LetTheLookAheadOut(al::OpenALDevice& device) {
    device.Render(kRate / 100);
}

std::vector<float> Slice(const std::vector<float>& stereo, double from, double to) {
    return {stereo.begin() + std::ptrdiff_t(from * kRate) * 2,
            stereo.begin() + std::ptrdiff_t(to * kRate) * 2};
}

TEST(LoopbackDevice, StreamPlaysWithoutGapsUntilItsPullEnds) {
    auto device = al::OpenLoopbackDevice(kRate);
    ASSERT_TRUE(device);
    auto stream = device->CreateStream(kRate, TonePull{1000, std::size_t(0.5 * kRate)});
    stream->Play();
    std::vector<float> heard;
    for (int i = 0; i < 16; ++i) {  // many small renders, as a game's frames would be
        const auto part = device->Render(kRate / 20);
        heard.insert(heard.end(), part.begin(), part.end());
    }
    for (double t = 0.0; t < 0.45; t += 0.05)
        EXPECT_NEAR(test::ToneLevel(Slice(heard, t, t + 0.05), 0, kRate, 1000), 0.5, 0.05) << "at " << t;
    EXPECT_LT(test::Rms(Slice(heard, 0.55, 0.8), 0), 1e-4) << "silent after the end";
    EXPECT_EQ(stream->PlayedFrames(), std::int64_t(0.5 * kRate));
    EXPECT_TRUE(stream->Finished());
}

TEST(LoopbackDevice, StreamHaltFlushPitchAndGain) {
    auto device = al::OpenLoopbackDevice(kRate);
    ASSERT_TRUE(device);
    TonePull pull{500, std::size_t(10 * kRate)};
    auto stream = device->CreateStream(kRate, pull);
    stream->Play();
    device->Render(kRate / 10);
    EXPECT_NEAR(double(stream->PlayedFrames()), 0.1 * kRate, 1);

    stream->Halt();
    LetTheLookAheadOut(*device);
    EXPECT_LT(test::Rms(device->Render(kRate / 10), 0), 1e-4) << "halted is silent";
    EXPECT_NEAR(double(stream->PlayedFrames()), 0.1 * kRate, 1) << "and keeps its place";

    stream->Flush();
    EXPECT_EQ(stream->PlayedFrames(), 0);
    stream->SetPitch(2.0f);
    stream->SetGain(0.5f);
    stream->Play();
    const auto heard = device->Render(kRate / 5);
    EXPECT_NEAR(double(stream->PlayedFrames()), 0.4 * kRate, 0.01 * kRate) << "twice as fast";
    EXPECT_NEAR(test::ToneLevel(Slice(heard, 0.05, 0.2), 1, kRate, 1000), 0.25, 0.03)
        << "an octave up, 6 dB down";
    EXPECT_FALSE(stream->Finished());
}

TEST(LoopbackDevice, DestroyingAStreamStopsItsPulls) {
    auto device = al::OpenLoopbackDevice(kRate);
    ASSERT_TRUE(device);
    TonePull pull{500, std::size_t(10 * kRate)};
    auto stream = device->CreateStream(kRate, pull);
    stream->Play();
    device->Render(1024);
    stream.reset();
    const std::size_t given = *pull.given;
    LetTheLookAheadOut(*device);
    EXPECT_LT(test::Rms(device->Render(kRate / 10), 0), 1e-4);
    EXPECT_EQ(*pull.given, given);
}

TEST(LoopbackDevice, SourceLetsGoOfItsOnlyBuffer) {
    auto device = al::OpenLoopbackDevice(kRate);
    ASSERT_TRUE(device);
    auto source = device->CreateSource();
    source->SetBuffer(device->CreateBuffer(test::Tone(440, 0.2, kRate)));
    source->Play(false);
    EXPECT_GT(test::Rms(device->Render(kRate / 20), 0), 0.1);
    source->SetBuffer(device->CreateBuffer(test::Tone(440, 0.2, kRate)));  // the first one goes here
    source->SetBuffer(nullptr);
    source->Play(false);
    EXPECT_FALSE(source->Playing());
    LetTheLookAheadOut(*device);
    EXPECT_LT(test::Rms(device->Render(kRate / 20), 0), 1e-4);
}

// Devices that keep real time without being listened to: the fallback output
// (asked for an output that does not exist) and the program's null device.
struct TimedDevice {
    const char* name;
    std::function<std::shared_ptr<AudioDevice>()> open;
};

void PrintTo(const TimedDevice& device, std::ostream* os) {
    *os << device.name;
}

class RealTimeDevice : public testing::TestWithParam<TimedDevice> {};

template <typename Done>
bool WaitFor(Done done, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST_P(RealTimeDevice, SoundsPlayForTheirLengthAndEnd) {
    auto device = GetParam().open();
    ASSERT_TRUE(device);
    auto source = device->CreateSource();
    source->SetBuffer(device->CreateBuffer(test::Tone(440, 0.15)));
    auto stream = device->CreateStream(kRate, TonePull{440, std::size_t(0.15 * kRate)});
    const auto start = std::chrono::steady_clock::now();
    source->Play(false);
    stream->Play();
    EXPECT_TRUE(source->Playing());
    EXPECT_FALSE(stream->Finished());
    EXPECT_TRUE(WaitFor([&] { return !source->Playing() && stream->Finished(); }, 3.0));
    // The silent mixer credits the time since its last wake-up, so a sound can start up to
    // one wake-up early; on a loaded machine that is more than the nominal 10 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
    EXPECT_NEAR(double(stream->PlayedFrames()), 0.15 * kRate, 1);
}

TEST_P(RealTimeDevice, ALoopToldToPlayOnceFinishesItsPass) {
    auto device = GetParam().open();
    ASSERT_TRUE(device);
    auto source = device->CreateSource();
    source->SetBuffer(device->CreateBuffer(test::Tone(440, 0.2)));
    source->Play(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // halfway through the second pass
    source->Play(false);
    EXPECT_TRUE(source->Playing());
    EXPECT_TRUE(WaitFor([&] { return !source->Playing(); }, 2.0));
}

INSTANTIATE_TEST_SUITE_P(Devices, RealTimeDevice,
                         testing::Values(TimedDevice{"FallbackOutput",
                                                     [] {
                                                         auto d = al::OpenOutputDevice("no such output");
                                                         EXPECT_TRUE(d && d->Silent());
                                                         return std::shared_ptr<AudioDevice>(d);
                                                     }},
                                         TimedDevice{"Null", [] { return MakeNullAudioDevice(); }}),
                         [](const auto& param) { return std::string(param.param.name); });

// Without a sound card the player is told once, in one line, that the game plays
// without sound; the sound libraries' own reports of the missing card stay off stderr.
TEST(OutputDevice, WithoutASoundCardOneLineSaysSo) {
    testing::internal::CaptureStderr();
    const auto device = al::OpenOutputDevice();
    const auto again = al::OpenOutputDevice();
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(device && again);
    if (!device->Silent()) GTEST_SKIP() << "this machine has a sound device";
    EXPECT_EQ(said, "quorvel: no sound device opened; the game plays without sound\n");
}

TEST(SharedAudioDevice, FactoryOnceAndNullWithoutOne) {
    int made = 0;
    SetAudioDeviceFactory([&] {
        ++made;
        return MakeNullAudioDevice();
    });
    const auto first = SharedAudioDevice();
    EXPECT_EQ(SharedAudioDevice(), first);
    EXPECT_EQ(made, 1);

    SetAudioDeviceFactory([] { return std::shared_ptr<AudioDevice>(); });
    EXPECT_TRUE(SharedAudioDevice()) << "a factory that gives nothing still leaves a device";
}

TEST(Volume, HundredthsOfADecibel) {
    EXPECT_EQ(GainFromHundredthsDb(0), 1.0f);
    EXPECT_EQ(GainFromHundredthsDb(500), 1.0f);
    EXPECT_NEAR(GainFromHundredthsDb(-600), 0.501, 0.001);
    EXPECT_NEAR(GainFromHundredthsDb(-2000), 0.1, 1e-6);
    EXPECT_EQ(GainFromHundredthsDb(-10000), 0.0f);
}

}  // namespace
}  // namespace quorvel::sound
