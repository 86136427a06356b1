#pragma once
// Reading RIFF wave files: integer PCM of 1 to 32 bits (in containers of 1 to 4 bytes,
// as the block align gives them) and 32- or 64-bit float, plain or in the extensible
// header, one or two channels. Samples come out as 16-bit PCM; the file's own format
// is kept for callers that report it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sound/audio_device.h"

namespace quorvel::sound {

struct WaveFormat {
    int formatTag = 0;  // 1 integer PCM, 3 float, 0xFFFE extensible
    int channels = 0;
    int samplesPerSec = 0;
    int bitsPerSample = 0;  // as the header says: the container's in the extensible header
    int extraSize = 0;      // bytes of header after the basic format record
};

struct WaveFile {
    WaveFormat format;
    PcmData pcm;
};

// The game's sounds are short: a larger file is refused before it is read.
inline constexpr std::size_t MaxWaveFileBytes = 64 * 1024 * 1024;

// Empty when the bytes are no wave file the game can play, with the reason in
// `reason` when given.
std::optional<WaveFile> ParseWave(std::string_view bytes, std::string* reason = nullptr);
// `path` is a real file-system path; a regular file only. Empty on failure, with the
// reason in `reason` when given.
std::optional<WaveFile> ReadWaveFile(const std::string& path, std::string* reason = nullptr);

}  // namespace quorvel::sound
