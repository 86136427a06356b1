#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <vector>

#include "platform/engine/image.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

// 3 x 2 pixels, top row red, green, blue; bottom row white, black, grey.
const std::vector<std::uint8_t> kRgb = {255, 0,   0,   0, 255, 0, 0,   0,   255,
                                        255, 255, 255, 0, 0,   0, 128, 128, 128};

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::string*>(context);
    out->append(static_cast<const char*>(data), std::size_t(size));
}

TEST(Image, PngBmpAndJpgDecodeToRgbaTopRowFirst) {
    test::TempFolder dir;
    std::string png, bmp, jpg;
    // The png keeps an alpha channel: the second pixel is half transparent.
    std::vector<std::uint8_t> rgba;
    for (std::size_t i = 0; i < 6; ++i) {
        rgba.insert(rgba.end(), kRgb.begin() + 3 * i, kRgb.begin() + 3 * i + 3);
        rgba.push_back(i == 1 ? 128 : 255);
    }
    ASSERT_TRUE(stbi_write_png_to_func(Append, &png, 3, 2, 4, rgba.data(), 0));
    ASSERT_TRUE(stbi_write_bmp_to_func(Append, &bmp, 3, 2, 3, kRgb.data()));
    ASSERT_TRUE(stbi_write_jpg_to_func(Append, &jpg, 3, 2, 3, kRgb.data(), 100));
    dir.Write("tex/a.png", png);
    dir.Write("tex/b.bmp", bmp);
    dir.Write("tex/c.jpg", jpg);

    struct Case {
        const char* path;
        int tolerance;  // jpeg is lossy
        bool alpha;
    };
    for (const Case c :
         {Case{"\\tex\\a.png", 0, true}, Case{"\\TEX\\B.bmp", 0, false}, Case{"\\tex\\c.jpg", 40, false}}) {
        const auto image = LoadImageFile(dir.str() + c.path);
        ASSERT_TRUE(image) << c.path;
        EXPECT_EQ(image->width, 3);
        EXPECT_EQ(image->height, 2);
        ASSERT_EQ(image->rgba.size(), 24u);
        for (std::size_t i = 0; i < 6; ++i) {
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(image->rgba[4 * i + k], kRgb[3 * i + k], c.tolerance) << c.path << " pixel " << i;
            const int alpha = c.alpha && i == 1 ? 128 : 255;
            EXPECT_EQ(image->rgba[4 * i + 3], alpha) << c.path << " pixel " << i;
        }
    }
}

TEST(Image, MissingDamagedOrForeignFilesGiveNothing) {
    test::TempFolder dir;
    std::string png;
    ASSERT_TRUE(stbi_write_png_to_func(Append, &png, 3, 2, 3, kRgb.data(), 0));
    std::string tga;
    ASSERT_TRUE(stbi_write_tga_to_func(Append, &tga, 3, 2, 3, kRgb.data()));
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"text", "not an image"},
        {"cut png", png.substr(0, png.size() / 2)},
        {"tga, which the game never ships", tga},
    };
    for (const auto& [what, bytes] : cases) {
        dir.Write("tex/x.png", bytes);
        EXPECT_FALSE(LoadImageFile(dir.str() + "\\tex\\x.png")) << what;
    }
    EXPECT_FALSE(LoadImageFile(dir.str() + "\\tex\\missing.png"));
}

}  // namespace
}  // namespace quorvel
