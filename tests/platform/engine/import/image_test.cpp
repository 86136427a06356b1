#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <algorithm>
#include <fstream>
#include <iterator>
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

// A run-length BMP whose data stops before its end marker shows what it has, the rest
// in palette colour 0, as painters show it; the load log hears of it.
TEST(Image, RunLengthBmpCutShortKeepsWhatItHasWithAWarning) {
    std::ifstream in(std::string(QUORVEL_SOURCE_DIR) + "/fuzz/corpus/picture/hand-rle8.bmp",
                     std::ios::binary);
    const std::string whole{std::istreambuf_iterator<char>(in), {}};
    // Its last run fills the top row; then come end of line and end of picture.
    ASSERT_EQ(whole.substr(whole.size() - 6), std::string("\x0d\x01\x00\x00\x00\x01", 6));
    const std::string cut = whole.substr(0, whole.size() - 6);
    const auto full = DecodeImage({reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size()});
    const auto part = DecodeImage({reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size()});
    ASSERT_TRUE(full && part);
    EXPECT_EQ(full->warning, "");
    EXPECT_EQ(part->warning, "recovered damaged bmp: run-length data ends early");
    ASSERT_EQ(part->rgba.size(), full->rgba.size());
    const std::size_t row = std::size_t(full->width) * 4;
    EXPECT_TRUE(std::equal(full->rgba.begin() + std::ptrdiff_t(row), full->rgba.end(),
                           part->rgba.begin() + std::ptrdiff_t(row)));
    for (std::size_t x = 0; x < row; x += 4)  // palette colour 0 is green
        EXPECT_EQ(std::vector<std::uint8_t>(part->rgba.begin() + std::ptrdiff_t(x),
                                            part->rgba.begin() + std::ptrdiff_t(x + 4)),
                  (std::vector<std::uint8_t>{0, 255, 0, 255}));
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

void PutBe32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + std::size_t(i)] = char(v >> (24 - 8 * i));
}

void PutLe32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + std::size_t(i)] = char(v >> (8 * i));
}

// Pictures whose headers ask for too much, or whose tables are bogus, fail with a
// reason before anything of that size is made.
TEST(Image, HostileHeadersFailBeforeTheyAllocate) {
    std::string png, bmp, jpg;
    ASSERT_TRUE(stbi_write_png_to_func(Append, &png, 3, 2, 3, kRgb.data(), 0));
    ASSERT_TRUE(stbi_write_bmp_to_func(Append, &bmp, 3, 2, 3, kRgb.data()));
    ASSERT_TRUE(stbi_write_jpg_to_func(Append, &jpg, 3, 2, 3, kRgb.data(), 90));

    // A PNG of 60000 x 60000 (the header's check sum made right, so only the size is wrong).
    std::string hugePng = png;
    PutBe32(hugePng, 16, 60000);
    PutBe32(hugePng, 20, 60000);
    PutBe32(hugePng, 29, Crc32(hugePng.substr(12, 17)));

    // The 54-byte BMP of gigapixels: a header and no pixels.
    std::string hugeBmp = bmp.substr(0, 54);
    PutLe32(hugeBmp, 18, 50000);
    PutLe32(hugeBmp, 22, 50000);
    // Sides within the limits, but more rows than the file holds.
    std::string shortBmp = bmp.substr(0, 54);
    PutLe32(shortBmp, 18, 4000);
    PutLe32(shortBmp, 22, std::uint32_t(-4000));  // top-down

    // A Huffman table that declares more than 256 codes.
    std::string bogusHuffman = jpg;
    const std::size_t dht = bogusHuffman.find("\xff\xc4");
    ASSERT_NE(dht, std::string::npos);
    bogusHuffman[dht + 5 + 15] = char(0xff);  // the count of 16-bit codes
    bogusHuffman[dht + 5 + 14] = char(0xff);

    const std::pair<const char*, std::string> cases[] = {
        {"png of 60000 x 60000", hugePng},
        {"bmp of 50000 x 50000 in 54 bytes", hugeBmp},
        {"bmp shorter than its rows", shortBmp},
        {"jpeg with a bogus Huffman table", bogusHuffman},
        {"jpeg cut in half", jpg.substr(0, jpg.size() / 2)},
    };
    for (const auto& [what, bytes] : cases) {
        std::string reason;
        EXPECT_FALSE(
            DecodeImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, &reason))
            << what;
        EXPECT_FALSE(reason.empty()) << what;
    }
}

}  // namespace
}  // namespace quorvel
