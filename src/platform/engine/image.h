#pragma once
// Decoding of ".jpg", ".png" and ".bmp" textures into 8-bit RGBA.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel {

struct ImageData {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows from the top, 4 bytes a pixel
};

// The image in the file at `path` (a Windows-style or real path), whatever its
// extension says; empty when the file is missing, damaged or of another format.
std::optional<ImageData> LoadImageFile(const std::string& path);

}  // namespace quorvel
