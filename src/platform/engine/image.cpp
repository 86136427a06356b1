#include "platform/engine/image.h"

#include <fstream>
#include <iterator>
#include <limits>

#include "platform/system/paths.h"

// Only the three formats the game ships; the decoder stays private to this file.
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace quorvel {

std::optional<ImageData> LoadImageFile(const std::string& path) {
    std::ifstream in(sys::ResolvePath(path), std::ios::binary);
    if (!in) return {};
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    if (in.bad() || bytes.empty() || bytes.size() > std::size_t(std::numeric_limits<int>::max())) return {};

    int width = 0, height = 0, channels = 0;
    unsigned char* pixels =
        stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 4);
    if (!pixels) return {};
    ImageData image;
    image.width = width;
    image.height = height;
    image.rgba.assign(pixels, pixels + std::size_t(width) * std::size_t(height) * 4);
    stbi_image_free(pixels);
    return image;
}

}  // namespace quorvel
