#pragma once
// Generated sounds and measurements of what a device renders.

#include <string>
#include <vector>

#include "platform/sound/audio_device.h"

namespace quorvel::test {

// A sine tone at `amplitude` (0..1), the same on every channel.
sound::PcmData Tone(double frequency, double seconds, int sampleRate = 22050, int channels = 1,
                    double amplitude = 0.5);
// Silence of the given length appended to `pcm`.
void AppendSilence(sound::PcmData& pcm, double seconds);
// A 16-bit PCM wave file.
std::string WaveBytes(const sound::PcmData& pcm);

// Root mean square of one channel (0 left, 1 right) of interleaved stereo frames.
double Rms(const std::vector<float>& stereo, int channel);
// Amplitude of one frequency in one channel (Goertzel); a full-scale sine gives about 1.
double ToneLevel(const std::vector<float>& stereo, int channel, int sampleRate, double frequency);

}  // namespace quorvel::test
