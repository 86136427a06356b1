#include <gtest/gtest.h>

#include "audio/audio_fixtures.h"
#include "audio/dsound.h"
#include "platform/sound/sound_fixtures.h"
#include "platform/system/paths.h"

namespace quorvel {
namespace {

class DSWaveTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program_.device);
        ASSERT_TRUE(device_.Startup(0));
        // A 0.2 s tone, then 0.3 s of silence: hearing the tone means "at the start".
        sound::PcmData blip = test::Tone(500, 0.2);
        test::AppendSilence(blip, 0.3);
        program_.folder.Write("sound/blip.wav", test::WaveBytes(blip));
        program_.folder.Write("sound/long.wav", test::WaveBytes(test::Tone(500, 2.0, 22050, 2)));
    }
    void Load(clsDSWave8& wave, const char* file, bool positional, float maximum, float minimum) {
        wave.Positional(positional);
        wave.Looping(false);
        wave.LoadSound(device_, sys::ProgramFolder() + "\\sound\\" + file, maximum, minimum);
    }
    // Left and right levels over the next 0.1 s.
    std::pair<double, double> Hear() {
        const auto out = program_.Render(0.1);
        return {test::Rms(out, 0), test::Rms(out, 1)};
    }

    test::LoopbackProgram program_;
    clsDirectSound8 device_;
};

TEST_F(DSWaveTest, LeftIsHeardOnTheLeftForEveryHeading) {
    struct Heading {
        const char* name;
        Vector front, up;
    };
    const Heading headings[] = {
        {"front +Z", {0, 0, 1}, {0, 1, 0}},  {"front -Z", {0, 0, -1}, {0, 1, 0}},
        {"front +X", {1, 0, 0}, {0, 1, 0}},  {"front -X", {-1, 0, 0}, {0, 1, 0}},
        {"front +Y", {0, 1, 0}, {0, 0, -1}}, {"front -Y", {0, -1, 0}, {0, 0, 1}},
    };
    clsDSWave8 wave;
    Load(wave, "long.wav", true, 1000, 100);
    ASSERT_EQ(wave.Channels(), 1) << "a positional sound is heard from one point";
    const Vector camera{100, 50, -30};
    for (const Heading& h : headings) {
        // The engine's axes are left-handed: right = up x front.
        const Vector right = Cross(h.up, h.front);
        wave.setListenerPos(camera.x, camera.y, camera.z);
        wave.SetListenerOrientation(h.front.x, h.front.y, h.front.z, h.up.x, h.up.y, h.up.z);
        for (const int side : {-1, 1}) {
            const Vector at = camera + right * float(side * 50);
            wave.SetPosition(int(at.x), int(at.y), int(at.z));
            wave.StopSound();
            wave.PlaySound();
            program_.Render(0.02);
            const auto [left, right2] = Hear();
            if (side < 0) {
                EXPECT_GT(left, 4 * right2) << h.name << ": a sound on the left";
            } else {
                EXPECT_GT(right2, 4 * left) << h.name << ": a sound on the right";
            }
        }
    }
}

TEST_F(DSWaveTest, LoudnessFallsBetweenMinimumAndMaximumDistance) {
    clsDSWave8 wave;
    Load(wave, "long.wav", true, 1000, 100);
    wave.setListenerPos(0, 0, 0);
    wave.SetListenerOrientation(0, 0, 1, 0, 1, 0);
    wave.Looping(true);
    double nearLevel = 0;
    struct Case {
        int distance;
        double relative;  // to the level within the minimum distance
    };
    const Case cases[] = {{50, 1.0},   {100, 1.0},  {200, 0.5}, {400, 0.25},
                          {1000, 0.1}, {2000, 0.1}, {8000, 0.1}};
    for (const Case& c : cases) {
        wave.SetPosition(0, 0, c.distance);  // straight ahead
        wave.PlaySound();
        program_.Render(0.02);
        const auto [left, right] = Hear();
        EXPECT_NEAR(left, right, left * 0.05) << c.distance << ": ahead is centred";
        if (nearLevel == 0) nearLevel = left;
        EXPECT_NEAR(left / nearLevel, c.relative, 0.02) << c.distance;
    }
    EXPECT_GT(nearLevel, 0.05);
}

TEST_F(DSWaveTest, PlainSoundsAreCentredWherever) {
    clsDSWave8 wave;
    Load(wave, "long.wav", false, 0, 0);
    EXPECT_EQ(wave.Channels(), 2);
    EXPECT_EQ(wave.Samples(), 22050);
    EXPECT_EQ(wave.BitsPerSample(), 16);
    wave.SetPosition(-500, 0, 0);  // nothing to place
    wave.setListenerPos(0, 0, 0);
    wave.PlaySound();
    const auto [left, right] = Hear();
    EXPECT_GT(left, 0.1);
    EXPECT_NEAR(left, right, 1e-3);
}

TEST_F(DSWaveTest, InterruptRestartsAPlayingSound) {
    for (const bool interrupt : {true, false}) {
        clsDSWave8 wave;
        Load(wave, "blip.wav", true, 1000, 100);
        wave.Interrupt(interrupt);
        wave.PlaySound();
        program_.Render(0.3);  // into the silent tail
        EXPECT_LT(Hear().first, 1e-3);
        wave.PlaySound();
        const double level = Hear().first;
        if (interrupt) {
            EXPECT_GT(level, 0.05) << "starts again from the beginning";
        } else {
            EXPECT_LT(level, 1e-3) << "goes on where it was";
        }
    }
}

TEST_F(DSWaveTest, StopRewindsAndMissingFilesLeaveNoSound) {
    clsDSWave8 wave;
    wave.StopSound();  // nothing loaded: nothing happens
    Load(wave, "blip.wav", false, 0, 0);
    wave.PlaySound();
    program_.Render(0.3);
    wave.StopSound();
    wave.PlaySound();
    EXPECT_GT(Hear().first, 0.05) << "stopped means rewound";

    Load(wave, "missing.wav", true, 1000, 100);
    wave.PlaySound();
    wave.SetPosition(1, 2, 3);
    wave.SetDistances(10, 5);
    program_.Render(0.01);  // the few milliseconds the mix's limiter looks ahead
    EXPECT_LT(Hear().first, 1e-3) << "the old sound went with the failed load";
    EXPECT_EQ(wave.Frequency(), 0);
    EXPECT_EQ(wave.Channels(), 0);

    clsDirectSound8 never;
    clsDSWave8 orphan;
    orphan.Positional(true);
    orphan.LoadSound(never, sys::ProgramFolder() + "\\sound\\blip.wav", 1000, 100);
    orphan.PlaySound();
    EXPECT_FALSE(orphan.DSBObj()) << "no device, no sound";
}

}  // namespace
}  // namespace quorvel
