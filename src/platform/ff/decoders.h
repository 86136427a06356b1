#pragma once
// Media decoding on ffmpeg (wave, Ogg Vorbis, MP3, Windows Media audio and video,
// and whatever else it reads) and MIDI on fluidsynth with a General MIDI sound font.

#include <memory>
#include <string>

#include "platform/media/decoder.h"

namespace quorvel::ff {

// Makes these the media layer's decoders.
void UseFFmpegDecoders();

// `path` is a real path; null when the file cannot be played (for MIDI with the
// reason in `reason` when given).
std::unique_ptr<media::MediaDecoder> OpenWithFFmpeg(const std::string& path);
std::unique_ptr<media::MediaDecoder> OpenMidi(const std::string& path, std::string* reason = nullptr);

// The General MIDI sound font found on this system; empty when there is none.
std::string GeneralMidiSoundFont();

}  // namespace quorvel::ff
