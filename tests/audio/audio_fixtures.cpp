#include "audio/audio_fixtures.h"

#include "platform/sound/sound_fixtures.h"

namespace quorvel::test {
namespace {

// A change of volume or a new sound reaches the mix within one mixing slice.
constexpr double kSettle = 0.02;

}  // namespace

LoopbackProgram::LoopbackProgram() : device(al::OpenLoopbackDevice(kLoopbackRate)) {
    UseAsProgramFolder(folder);
    sound::UseAudioDevice(device);
}

LoopbackProgram::~LoopbackProgram() {
    sound::UseAudioDevice(nullptr);
}

std::vector<float> LoopbackProgram::Render(double seconds) {
    return device->Render(std::size_t(seconds * kLoopbackRate));
}

int LoopbackProgram::HeardTone(const std::vector<double>& tones, double seconds) {
    Render(kSettle);
    const auto out = Render(seconds);
    int best = -1;
    double bestLevel = 0.005;
    for (std::size_t i = 0; i < tones.size(); ++i) {
        const double level = test::ToneLevel(out, 0, kLoopbackRate, tones[i]);
        if (level > bestLevel) {
            bestLevel = level;
            best = int(i);
        }
    }
    return best;
}

double LoopbackProgram::ToneLevel(double tone, double seconds) {
    Render(kSettle);
    return test::ToneLevel(Render(seconds), 0, kLoopbackRate, tone);
}

}  // namespace quorvel::test
