#pragma once
// What the audio tests share: a loopback device installed as the program's sound
// device, a program folder of its own, and a way to tell which tone is playing.

#include <memory>
#include <vector>

#include "platform/al/openal_device.h"
#include "support/temp_folder.h"

namespace quorvel::test {

inline constexpr int kLoopbackRate = 44100;

class LoopbackProgram {
  public:
    LoopbackProgram();
    ~LoopbackProgram();

    // Mixes the next `seconds` and returns them (interleaved stereo).
    std::vector<float> Render(double seconds);
    // Which of `tones` is heard over `seconds` (the loudest above a quiet
    // floor), or -1 when none is. This and ToneLevel first let 20 ms pass, so a
    // change just made has reached the mix.
    int HeardTone(const std::vector<double>& tones, double seconds = 0.05);
    // Level of one tone in the left channel over the next `seconds`.
    double ToneLevel(double tone, double seconds = 0.05);

    TempFolder folder;
    std::shared_ptr<al::OpenALDevice> device;
};

}  // namespace quorvel::test
