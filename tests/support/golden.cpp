#include "support/golden.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>

namespace quorvel::test {

void ExpectGolden(const std::string& goldenPng, int width, int height,
                  const std::vector<unsigned char>& rgba) {
    ASSERT_GT(width, 0);
    ASSERT_EQ(rgba.size(), std::size_t(width) * std::size_t(height) * 4);
    const std::filesystem::path golden(goldenPng);
    if (const char* update = std::getenv("QUORVEL_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::filesystem::create_directories(golden.parent_path());
        ASSERT_TRUE(stbi_write_png(golden.c_str(), width, height, 4, rgba.data(), width * 4));
        return;
    }
    int w = 0, h = 0, n = 0;
    unsigned char* want = stbi_load(golden.c_str(), &w, &h, &n, 4);
    ASSERT_NE(want, nullptr) << "no golden picture " << golden << " (QUORVEL_UPDATE_GOLDEN=1 writes it)";
    const bool sameSize = w == width && h == height;
    long differing = 0;
    for (std::size_t i = 0; sameSize && i < rgba.size(); i += 4)
        for (std::size_t c = 0; c < 3; ++c)
            if (std::abs(int(rgba[i + c]) - int(want[i + c])) > 16) {
                ++differing;
                break;
            }
    stbi_image_free(want);
    if (!sameSize || differing > long(width) * height / 200) {
        const auto actual =
            std::filesystem::temp_directory_path() / ("quorvel-" + golden.stem().string() + "-actual.png");
        stbi_write_png(actual.c_str(), width, height, 4, rgba.data(), width * 4);
        ADD_FAILURE() << golden.stem() << ": "
                      << (sameSize ? std::to_string(differing) + " pixels differ" : "size differs")
                      << "; this frame is in " << actual;
    }
}

}  // namespace quorvel::test
