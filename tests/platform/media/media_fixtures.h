#pragma once
// Test media made on the spot: compressed audio and video encoded with ffmpeg's
// own encoders, and small MIDI files written byte by byte.

#include <string>

#include "platform/sound/audio_device.h"

namespace quorvel::test {

// Encodes `pcm` with the named encoder ("wmav2", "libmp3lame", "libvorbis",
// "pcm_s16le") into the named container ("asf", "mp3", "ogg", "wav") at a real
// path. False when this ffmpeg lacks either.
bool EncodeAudio(const std::string& path, const std::string& encoder, const std::string& container,
                 const sound::PcmData& pcm);

// A Windows Media video (wmv2 in asf) of `frames` pictures at `fps`, each a flat
// grey that gets lighter frame by frame; with `toneHz` > 0 also a tone of the
// same length (wmav2).
bool EncodeVideo(const std::string& path, int width, int height, int fps, int frames, double toneHz);

// A format-0 MIDI file: a tempo, then notes one after another, each `noteTicks`
// long, at 480 ticks to the quarter note.
std::string MidiBytes(int microsPerQuarter, int notes, int noteTicks);

}  // namespace quorvel::test
