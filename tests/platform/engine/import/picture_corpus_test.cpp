// Pictures as other programs write them (fuzz/corpus/picture, made by its make.sh):
// each is read, and its pixels match what the program that wrote it decodes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "platform/engine/image.h"
#include "support/tool_output.h"

namespace quorvel {
namespace {

using test::CorpusFile;
using test::ToolOutput;

std::string Quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

enum class Decoder { Djpeg, ImageMagick, Ffmpeg };

// The picture as `decoder` reads it, 8-bit RGBA rows from the top.
std::optional<std::string> Reference(Decoder decoder, const std::filesystem::path& file) {
    switch (decoder) {
        case Decoder::Djpeg: {
            // Exit status 2 means the picture was read with warnings.
            const auto pnm = ToolOutput("djpeg -pnm " + Quoted(file) + " 2>/dev/null || [ $? -eq 2 ]");
            if (!pnm) return std::nullopt;
            std::istringstream in(*pnm);
            std::string magic;
            int width = 0, height = 0, max = 0;
            in >> magic >> width >> height >> max;
            in.get();
            const int channels = magic == "P6" ? 3 : 1;
            std::string rgba;
            for (int i = 0; i < width * height; ++i) {
                char px[3];
                in.read(px, channels);
                for (int k = 0; k < 3; ++k)
                    rgba += px[channels == 3 ? k : 0];
                rgba += char(255);
            }
            if (!in) return std::nullopt;
            return rgba;
        }
        case Decoder::ImageMagick:
            return ToolOutput("convert " + Quoted(file) + " -depth 8 rgba:-");
        case Decoder::Ffmpeg:
            return ToolOutput("ffmpeg -loglevel error -i " + Quoted(file) + " -f rawvideo -pix_fmt rgba -");
    }
    return std::nullopt;
}

struct Case {
    const char* file;
    Decoder decoder;
    int tolerance;        // per channel
    const char* warning;  // part of the reader's warning, nullptr for a clean file
    // A file of the same picture that `decoder` reads right, where it reads `file` wrong
    // or not at all, or the twin of an interlaced PNG; nullptr: `file` itself.
    const char* twin = nullptr;
};

// Each file is read at its size, pixel for pixel as its maker sees it.
TEST(PictureCorpus, FilesOtherProgramsWriteAreReadAsTheyShowThem) {
    const Case cases[] = {
        {"cjpeg-baseline.jpg", Decoder::Djpeg, 0, nullptr},
        {"cjpeg-progressive.jpg", Decoder::Djpeg, 0, nullptr},
        {"cjpeg-restart.jpg", Decoder::Djpeg, 0, nullptr},
        {"cjpeg-grey.jpg", Decoder::Djpeg, 0, nullptr},
        {"cjpeg-444.jpg", Decoder::Djpeg, 0, nullptr},
        {"magick.jpg", Decoder::Djpeg, 0, nullptr},
        {"magick-cmyk.jpg", Decoder::Djpeg, 0, nullptr},
        {"ffmpeg.jpg", Decoder::Djpeg, 0, nullptr},
        // Damage libjpeg recovers from: the picture is used, with a warning.
        {"cjpeg-baseline-cut.jpg", Decoder::Djpeg, 0, "Premature end of JPEG file"},
        {"cjpeg-progressive-cut.jpg", Decoder::Djpeg, 0, "Premature end of JPEG file"},
        {"cjpeg-restart-cut.jpg", Decoder::Djpeg, 0, "Premature end of JPEG file"},
        {"cjpeg-stray-bytes.jpg", Decoder::Djpeg, 0, "extraneous bytes before marker"},

        {"magick-rgb.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-rgba.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-palette.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-palette-alpha.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-grey.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-grey-alpha.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-grey1.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-grey2.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-grey4.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-grey16.png", Decoder::ImageMagick, 1, nullptr},
        {"magick-grey-alpha16.png", Decoder::ImageMagick, 1, nullptr},
        {"magick-rgb16.png", Decoder::ImageMagick, 1, nullptr},
        {"magick-rgba16.png", Decoder::ImageMagick, 1, nullptr},
        {"hand-palette1.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette2.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette4.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette1-alpha.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette2-alpha.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette4-alpha.png", Decoder::ImageMagick, 0, nullptr},
        // Adam7-interlaced, each against its twin that is not, at every depth and colour type.
        {"magick-rgb-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-rgb.png"},
        {"magick-rgba-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-rgba.png"},
        {"magick-palette-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-palette.png"},
        {"magick-palette-alpha-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-palette-alpha.png"},
        {"magick-grey-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-grey.png"},
        {"magick-grey-alpha-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-grey-alpha.png"},
        {"magick-grey1-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-grey1.png"},
        {"magick-grey2-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-grey2.png"},
        {"magick-grey4-interlaced.png", Decoder::ImageMagick, 0, nullptr, "magick-grey4.png"},
        {"magick-grey16-interlaced.png", Decoder::ImageMagick, 1, nullptr, "magick-grey16.png"},
        {"magick-grey-alpha16-interlaced.png", Decoder::ImageMagick, 1, nullptr, "magick-grey-alpha16.png"},
        {"magick-rgb16-interlaced.png", Decoder::ImageMagick, 1, nullptr, "magick-rgb16.png"},
        {"magick-rgba16-interlaced.png", Decoder::ImageMagick, 1, nullptr, "magick-rgba16.png"},
        {"hand-palette1-interlaced.png", Decoder::ImageMagick, 0, nullptr, "hand-palette1.png"},
        {"hand-palette2-interlaced.png", Decoder::ImageMagick, 0, nullptr, "hand-palette2.png"},
        {"hand-palette4-interlaced.png", Decoder::ImageMagick, 0, nullptr, "hand-palette4.png"},
        {"hand-palette1-alpha-interlaced.png", Decoder::ImageMagick, 0, nullptr, "hand-palette1-alpha.png"},
        {"hand-palette2-alpha-interlaced.png", Decoder::ImageMagick, 0, nullptr, "hand-palette2-alpha.png"},
        {"hand-palette4-alpha-interlaced.png", Decoder::ImageMagick, 0, nullptr, "hand-palette4-alpha.png"},
        // Twins of BMPs below, read as PNGs.
        {"magick-4bit-alpha.png", Decoder::ImageMagick, 0, nullptr},
        {"magick-5bit-alpha1.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-v3-1555.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-v3-4444.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-v3-x444.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-alpha-masks.png", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette-short.png", Decoder::ImageMagick, 0, nullptr},
        {"ffmpeg-rgba16.png", Decoder::Ffmpeg, 1, nullptr},
        {"ffmpeg-grey16.png", Decoder::Ffmpeg, 1, nullptr},
        {"ffmpeg-palette.png", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-grey-alpha.png", Decoder::Ffmpeg, 0, nullptr},

        {"magick-24.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-32-alpha.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-565.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-palette.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-palette4.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-rle8.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-bilevel.bmp", Decoder::ImageMagick, 0, nullptr},
        // OS/2 1.x, whose palette entries are 3 bytes: all of them are read.
        {"magick-os2-palette.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-os2-bilevel.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-os2-24.bmp", Decoder::ImageMagick, 0, nullptr},
        // 4-bit samples widen to the full range (15 to 255), a set alpha bit is opaque.
        {"magick-argb4444.bmp", Decoder::ImageMagick, 0, nullptr, "magick-4bit-alpha.png"},
        {"magick-argb1555.bmp", Decoder::ImageMagick, 2, nullptr, "magick-5bit-alpha1.png"},
        {"ffmpeg-24.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-565.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-555.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-32.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-palette.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-bilevel.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"hand-top-down-24.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-top-down-32.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-rle8.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-rle4.bmp", Decoder::ImageMagick, 0, nullptr},
        // OS/2 2.x headers of 16 and 64 bytes.
        {"hand-os2-16-palette.bmp", Decoder::ImageMagick, 0, nullptr, "hand-palette-gap.bmp"},
        {"hand-os2-16-24.bmp", Decoder::ImageMagick, 0, nullptr, "hand-top-down-24.bmp"},
        {"hand-os2-64-palette4.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"hand-os2-64-rle8.bmp", Decoder::Ffmpeg, 0, nullptr},
        // Palettes of 2 bits, unused ones before 16 and 24-bit pixels, a gap before the
        // pixels, indexes past the palette.
        {"hand-palette2.bmp", Decoder::ImageMagick, 0, nullptr, "hand-palette2.png"},
        {"hand-16-palette.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-24-palette300.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette-gap.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-palette-short.bmp", Decoder::ImageMagick, 0, nullptr, "hand-palette-short.png"},
        // Colour masks in the 56-byte header, and four after the 40-byte one.
        {"hand-v3-1555.bmp", Decoder::ImageMagick, 0, nullptr, "hand-v3-1555.png"},
        {"hand-v3-1555-top-down.bmp", Decoder::ImageMagick, 0, nullptr, "hand-v3-1555.png"},
        {"hand-v3-4444.bmp", Decoder::ImageMagick, 0, nullptr, "hand-v3-4444.png"},
        {"hand-v3-4444-top-down.bmp", Decoder::ImageMagick, 0, nullptr, "hand-v3-4444.png"},
        {"hand-v3-565.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-v3-565-top-down.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-v3-x444.bmp", Decoder::ImageMagick, 0, nullptr, "hand-v3-x444.png"},
        {"hand-v3-x444-top-down.bmp", Decoder::ImageMagick, 0, nullptr, "hand-v3-x444.png"},
        {"hand-v3-x888.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-v3-x888-top-down.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-alpha-masks.bmp", Decoder::ImageMagick, 0, nullptr, "hand-alpha-masks.png"},
    };
    std::set<std::string> listed;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        listed.insert(c.file);
        const auto path = CorpusFile(std::string("picture/") + c.file);
        std::string reason;
        const auto image = LoadImageFile(path.string(), &reason);
        // Each file goes on to the next on failure, so one run names every file read wrong.
        if (!image) {
            ADD_FAILURE() << "refused: " << reason;
            continue;
        }
        const auto reference =
            Reference(c.decoder, c.twin ? CorpusFile(std::string("picture/") + c.twin) : path);
        if (!reference) {
            ADD_FAILURE() << "the tool that wrote the file could not read it";
            continue;
        }
        if (reference->size() != image->rgba.size()) {
            ADD_FAILURE() << "read at " << image->width << " x " << image->height;
            continue;
        }
        // Every corpus picture but the hand-made ones is 45 x 29.
        if (std::string(c.file).starts_with("hand-")) {
            EXPECT_EQ(image->width, 13);
            EXPECT_EQ(image->height, 7);
        } else {
            EXPECT_EQ(image->width, 45);
            EXPECT_EQ(image->height, 29);
        }
        int worst = 0;
        std::size_t worstAt = 0;
        for (std::size_t i = 0; i < image->rgba.size(); ++i) {
            const int d = std::abs(int(image->rgba[i]) - int(std::uint8_t((*reference)[i])));
            if (d > worst) worst = d, worstAt = i;
        }
        EXPECT_LE(worst, c.tolerance) << "at pixel " << worstAt / 4 << ", channel " << worstAt % 4;
        if (c.warning)
            EXPECT_NE(image->warning.find(c.warning), std::string::npos) << image->warning;
        else
            EXPECT_EQ(image->warning, "");
    }
    // A file added to the corpus is listed here, so none goes unchecked.
    for (const auto& entry : std::filesystem::directory_iterator(CorpusFile("picture")))
        EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path().filename();
}

// Files really broken, or holding what no viewer shows, are refused with a reason,
// whatever made them.
TEST(PictureCorpus, BrokenFilesAreRefusedWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"jpeg-cut-before-its-data.jpg", "damaged jpeg"},
        {"png-cut-in-its-data.png", "damaged png"},
        {"bmp-cut-in-its-rows.bmp", "damaged bmp"},
        // BMPs holding a JPEG or a PNG, which only printers are sent.
        {"bmp-jpeg-inside.bmp", "a jpeg inside"},
        {"bmp-png-inside.bmp", "a png inside"},
    };
    for (const auto& [file, why] : cases) {
        SCOPED_TRACE(file);
        const std::string bytes = ReadAll(CorpusFile(std::string("refused/") + file));
        ASSERT_FALSE(bytes.empty());
        std::string reason;
        EXPECT_FALSE(
            DecodeImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, &reason));
        EXPECT_NE(reason.find(why), std::string::npos) << reason;
    }
}

}  // namespace
}  // namespace quorvel
