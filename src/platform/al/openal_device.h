#pragma once
// The sound device on OpenAL Soft.
//
// Three kinds: the output device (the system's default output), a silent device
// that mixes in real time and throws the result away (used when no output opens,
// so the game always runs), and a loopback device that mixes only when asked to
// render, so tests hear exactly what a player would. Every kind mixes on a loopback
// device and ends the mix in one limiter (platform/al/mix_limiter.h); the output
// device plays that limited mix on the system's output.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/audio_device.h"

namespace quorvel::al {

class OpenALDevice : public sound::AudioDevice {
  public:
    // True when nothing reaches a loudspeaker (the silent fallback, or loopback).
    virtual bool Silent() const = 0;
    virtual int SampleRate() const = 0;
    // Loopback only: mixes `frames` stereo frames and returns them interleaved
    // (left, right), limited, a few milliseconds late as the limiter's look-ahead
    // makes them; feeds the playing streams first. Empty for other kinds.
    virtual std::vector<float> Render(std::size_t frames) = 0;
};

// The named output (empty: the default one); when it does not open, the silent device.
std::shared_ptr<OpenALDevice> OpenOutputDevice(const std::string& name = "");
std::shared_ptr<OpenALDevice> OpenSilentDevice();
// Null when the loopback extension is missing.
std::shared_ptr<OpenALDevice> OpenLoopbackDevice(int sampleRate = 44100);

// Makes the default output the program's shared sound device (opened on first use).
void UseOpenAL();

}  // namespace quorvel::al
