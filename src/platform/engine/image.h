#pragma once
// Decoding of ".jpg", ".png" and ".bmp" textures into 8-bit RGBA: JPEG through
// libjpeg-turbo, PNG through libpng, BMP (every header in use, palettes, colour masks,
// run-length) by a reader of our own.
// The format comes from the file's first bytes, whatever its extension says.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

struct ImageData {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows from the top, 4 bytes a pixel
    // What the decoder papered over in a file it still read (a JPEG whose data ends
    // early, stray bytes before a marker); empty for a clean file.
    std::string warning;
};

// Limits a picture must keep, checked from its header before its pixels are made.
inline constexpr int MaxImageSide = 16384;
inline constexpr std::int64_t MaxImagePixels = 4096 * 4096;
inline constexpr std::size_t MaxImageFileBytes = 64 * 1024 * 1024;

// The image in the file at `path` (a Windows-style or real path); empty when the file
// is missing, damaged, breaks a limit or is of another format, with the reason in
// `reason` when given.
std::optional<ImageData> LoadImageFile(const std::string& path, std::string* reason = nullptr);

// The same from the file's bytes.
std::optional<ImageData> DecodeImage(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);

}  // namespace quorvel
