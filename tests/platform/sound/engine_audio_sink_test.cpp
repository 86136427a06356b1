#include <gtest/gtest.h>

#include "platform/al/engine_audio_sink.h"
#include "platform/al/openal_device.h"
#include "platform/sound/sound_fixtures.h"
#include "support/temp_folder.h"

namespace quorvel::al {
namespace {

constexpr int kRate = 44100;

// A 0.2 s tone followed by 0.3 s of silence: hearing the tone means "at the start".
class EngineAudioSinkTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(device_);
        sound::PcmData pcm = test::Tone(600, 0.2);
        test::AppendSilence(pcm, 0.3);
        folder_.Write("blip.wav", test::WaveBytes(pcm));
    }
    double Heard(double seconds) {
        const auto out = device_->Render(std::size_t(seconds * kRate));
        return test::ToneLevel(out, 0, kRate, 600);
    }

    test::TempFolder folder_;
    std::shared_ptr<OpenALDevice> device_ = OpenLoopbackDevice(kRate);
    std::shared_ptr<engine::AudioSink> sink_ = MakeEngineAudioSink(device_);
};

TEST_F(EngineAudioSinkTest, PlayRestartsStopRewindsReleaseForgets) {
    EXPECT_FALSE(sink_->Load(1, (folder_.path() / "missing.wav").string(), nullptr));
    ASSERT_TRUE(sink_->Load(2, (folder_.path() / "blip.wav").string(), nullptr));

    sink_->Play(2, false);
    const auto first = device_->Render(kRate / 10);
    EXPECT_GT(test::ToneLevel(first, 0, kRate, 600), 0.1);
    EXPECT_NEAR(test::Rms(first, 0), test::Rms(first, 1), 1e-3) << "effects are heard centred";

    Heard(0.2);  // now in the silent tail
    EXPECT_LT(Heard(0.05), 0.01);
    sink_->Play(2, false);
    EXPECT_GT(Heard(0.1), 0.1) << "playing again restarts";

    sink_->Stop(2);
    EXPECT_LT(Heard(0.1), 0.01);
    sink_->Play(2, false);
    EXPECT_GT(Heard(0.1), 0.1) << "stopped means rewound";

    sink_->Release(2);
    sink_->Play(2, false);
    EXPECT_LT(Heard(0.1), 0.01);
}

TEST_F(EngineAudioSinkTest, LoopingGoesOnPastTheEnd) {
    ASSERT_TRUE(sink_->Load(0, (folder_.path() / "blip.wav").string(), nullptr));
    sink_->Play(0, true);
    Heard(1.0);
    EXPECT_GT(Heard(0.1), 0.1) << "second pass through the file, back at its tone";
}

}  // namespace
}  // namespace quorvel::al
