#pragma once
// Sound in memory, its file formats and the synthesis helpers the sound recipes share.

#include <optional>
#include <string>
#include <vector>

#include "inventory.h"

namespace quorvel::content {

struct Pcm {
    int rate = 22050;
    int channels = 1;
    std::vector<float> samples;  // interleaved, -1..1
    std::size_t Frames() const { return channels ? samples.size() / std::size_t(channels) : 0; }
};

// 16-bit PCM RIFF/WAVE bytes.
std::string WavBytes(const Pcm& pcm);
// Compressed audio in the container the format names (wma, mp3, ogg).
std::string EncodeAudio(const Pcm& pcm, Format format);
// ASF with wmv2 video (24-bit RGB frames, top row first) and wmav2 sound.
std::string EncodeVideo(const std::vector<std::vector<unsigned char>>& rgbFrames, int width, int height,
                        int fps, const Pcm& sound);

// Scales to the given peak.
void Normalize(Pcm& pcm, double peak = 0.89);
// Scales to the given integrated loudness (LUFS, each channel weighted 1). Where the
// true peak would pass `ceilingDb` (dBTP) a look-ahead limiter turns those moments
// down, so a dense sound can reach its loudness without clipping; a sound that still
// cannot is left below the ceiling, short of the loudness.
void LevelTo(Pcm& pcm, double lufs, double ceilingDb);
// True peak in dB of full scale, and a plain turn-down to keep it at or under a ceiling.
double TruePeakDb(const Pcm& pcm);
void CapTruePeak(Pcm& pcm, double ceilingDb);
// Short fades at both ends against clicks.
void FadeEnds(Pcm& pcm, double seconds = 0.005);

// Speech from the system's speech synthesizer (22050 Hz mono); empty when it
// cannot run. `voice` is a voice name such as "en-us+f3"; `wordGap` pauses between
// words, in tens of milliseconds.
std::optional<Pcm> Speak(const std::string& text, const std::string& voice, int wordsPerMinute, int pitch,
                         int wordGap);

// Music: song n rendered (stereo, 44100 Hz) or written as a standard MIDI file.
Pcm RenderSong(int song);
std::string SongMidi(int song);
// The promotional video's sound, `seconds` long.
Pcm VideoSound(double seconds);

}  // namespace quorvel::content
