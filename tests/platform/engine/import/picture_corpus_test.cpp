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
        {"magick-grey16.png", Decoder::ImageMagick, 1, nullptr},
        {"magick-rgb16.png", Decoder::ImageMagick, 1, nullptr},
        {"magick-rgba16.png", Decoder::ImageMagick, 1, nullptr},
        {"magick-interlaced.png", Decoder::ImageMagick, 0, nullptr},
        {"ffmpeg-rgba16.png", Decoder::Ffmpeg, 1, nullptr},
        {"ffmpeg-grey16.png", Decoder::Ffmpeg, 1, nullptr},
        {"ffmpeg-palette.png", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-grey-alpha.png", Decoder::Ffmpeg, 0, nullptr},

        {"magick-24.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-32-alpha.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-565.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-palette.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-rle8.bmp", Decoder::ImageMagick, 0, nullptr},
        {"magick-bilevel.bmp", Decoder::ImageMagick, 0, nullptr},
        {"ffmpeg-24.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-565.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-32.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"ffmpeg-palette.bmp", Decoder::Ffmpeg, 0, nullptr},
        {"hand-top-down-24.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-top-down-32.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-rle8.bmp", Decoder::ImageMagick, 0, nullptr},
        {"hand-rle4.bmp", Decoder::ImageMagick, 0, nullptr},
    };
    std::set<std::string> listed;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        listed.insert(c.file);
        const auto path = CorpusFile(std::string("picture/") + c.file);
        std::string reason;
        const auto image = LoadImageFile(path.string(), &reason);
        ASSERT_TRUE(image) << reason;
        const auto reference = Reference(c.decoder, path);
        ASSERT_TRUE(reference) << "the tool that wrote the file could not read it";
        ASSERT_EQ(reference->size(), image->rgba.size()) << image->width << " x " << image->height;
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

// Files really broken are refused with a reason, whatever made them.
TEST(PictureCorpus, BrokenFilesAreRefusedWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"jpeg-cut-before-its-data.jpg", "damaged jpeg"},
        {"png-cut-in-its-data.png", "damaged png"},
        {"bmp-cut-in-its-rows.bmp", "damaged bmp"},
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
