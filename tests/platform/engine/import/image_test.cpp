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

// A BMP of 2 x 2 pixels: file header, a header of `headerSize` bytes (its fields up to
// the compression as far as it reaches), `between` (masks, palette) and 64 bytes of
// pixels, enough for any depth.
std::string Bmp(std::uint32_t headerSize, std::int32_t height, int bits, std::uint32_t compression,
                const std::string& between = "") {
    std::string info(headerSize, '\0');
    PutLe32(info, 0, headerSize);
    if (headerSize == 12) {  // OS/2 1.x: 16-bit fields
        info[4] = 2;
        info[6] = char(height);
        info[8] = 1;
        info[10] = char(bits);
    } else {
        PutLe32(info, 4, 2);
        PutLe32(info, 8, std::uint32_t(height));
        info[12] = 1;
        info[14] = char(bits);
        if (headerSize >= 20) PutLe32(info, 16, compression);
    }
    std::string file = "BM" + std::string(12, '\0') + info + between + std::string(64, '\x11');
    PutLe32(file, 2, std::uint32_t(file.size()));
    PutLe32(file, 10, 14 + headerSize + std::uint32_t(between.size()));
    return file;
}

// Headers the reader cannot make a picture of are refused with what is wrong, before
// any pixel is read.
TEST(Image, BmpHeadersItCannotReadAreRefusedWithTheirReason) {
    const std::string palette(16, '\x7f');
    std::string gappedMasks(12, '\0');
    PutLe32(gappedMasks, 0, 0x00FF00FF);  // red in two pieces
    PutLe32(gappedMasks, 4, 0x0000FF00);
    std::string hugeHeader = Bmp(40, 2, 24, 0);
    PutLe32(hugeHeader, 14, 0xFFFFFFF0u);
    std::string pixelsInHeader = Bmp(40, 2, 24, 0);
    PutLe32(pixelsInHeader, 10, 30);
    std::string pixelsPastTheEnd = Bmp(40, 2, 24, 0);
    PutLe32(pixelsPastTheEnd, 10, 5000);
    const std::pair<std::string, const char*> cases[] = {
        {Bmp(13, 2, 24, 0), "damaged bmp: unknown header"},
        {hugeHeader, "damaged bmp: too short"},
        {Bmp(40, 2, 3, 0), "damaged bmp: bits per pixel"},
        {Bmp(40, 2, 0, 4), "bmp compression 4 (a jpeg inside) not supported"},
        {Bmp(40, 2, 0, 5), "bmp compression 5 (a png inside) not supported"},
        {Bmp(64, 2, 1, 3, palette), "bmp compression 3 (OS/2 Huffman) not supported"},
        {Bmp(64, 2, 24, 4), "bmp compression 4 (OS/2 run-length 24) not supported"},
        {Bmp(40, 2, 32, 11), "bmp compression 11 not supported"},
        {Bmp(40, 2, 24, 1), "damaged bmp: run-length 8 with 24 bits per pixel"},
        {Bmp(40, -2, 8, 1, palette), "damaged bmp: run-length rows from the top"},
        {Bmp(40, 2, 24, 3, gappedMasks), "damaged bmp: colour masks with 24 bits per pixel"},
        {Bmp(40, 2, 32, 3, gappedMasks), "damaged bmp: colour mask with gaps"},
        {Bmp(40, 2, 32, 3), "damaged bmp: pixels before the palette"},  // its masks are missing
        {pixelsInHeader, "damaged bmp: pixels before the palette"},
        {pixelsPastTheEnd, "damaged bmp: shorter than its pixels"},
        {Bmp(40, 2, 8, 0), "damaged bmp: no palette"},
        {Bmp(12, 2, 4, 0, std::string(2, '\0')), "damaged bmp: no palette"},  // less than one 3-byte entry
    };
    for (const auto& [bytes, why] : cases) {
        std::string reason;
        EXPECT_FALSE(
            DecodeImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, &reason))
            << why;
        EXPECT_EQ(reason, why);
    }
    // The same headers made whole are read.
    for (const std::string& bytes : {Bmp(40, 2, 24, 0), Bmp(40, -2, 8, 0, palette), Bmp(64, 2, 4, 0, palette),
                                     Bmp(16, 2, 24, 0), Bmp(12, 2, 4, 0, std::string(3, '\0'))}) {
        std::string reason;
        const auto image =
            DecodeImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, &reason);
        ASSERT_TRUE(image) << reason;
        EXPECT_EQ(image->width, 2);
        EXPECT_EQ(image->height, 2);
    }
}

}  // namespace
}  // namespace quorvel
