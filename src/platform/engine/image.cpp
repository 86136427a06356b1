#include "platform/engine/image.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "platform/system/paths.h"
#include "platform/system/safe_file.h"

// jpeglib.h wants FILE and size_t declared first.
#include <jpeglib.h>
#include <png.h>

namespace quorvel {
namespace {

// stb_image's blocks, each held in a vector of its own while it decodes, so the
// decoded picture is handed over without a copy and nothing it forgets can leak.
thread_local std::unordered_map<void*, std::vector<std::uint8_t>>* StbBlocks = nullptr;

void* StbMalloc(std::size_t size) {
    if (!StbBlocks) return nullptr;
    try {
        std::vector<std::uint8_t> block(size ? size : 1);
        void* p = block.data();
        StbBlocks->emplace(p, std::move(block));
        return p;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void StbFree(void* p) {
    if (p && StbBlocks) StbBlocks->erase(p);
}

[[maybe_unused]] void* StbRealloc(void* p, std::size_t size) {
    if (!p) return StbMalloc(size);
    if (!StbBlocks) return nullptr;
    const auto it = StbBlocks->find(p);
    if (it == StbBlocks->end()) return nullptr;
    try {
        it->second.resize(size ? size : 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    void* moved = it->second.data();
    if (moved != p) {
        auto node = StbBlocks->extract(it);
        node.key() = moved;
        StbBlocks->insert(std::move(node));
    }
    return moved;
}

}  // namespace
}  // namespace quorvel

// Only BMP goes to stb; the decoder stays private to this file.
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_STATIC
#define STBI_MAX_DIMENSIONS 16384
#define STBI_MALLOC(size) quorvel::StbMalloc(size)
#define STBI_REALLOC(p, size) quorvel::StbRealloc(p, size)
#define STBI_FREE(p) quorvel::StbFree(p)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace quorvel {
namespace {

static_assert(STBI_MAX_DIMENSIONS == MaxImageSide);

// A progressive JPEG can hold any number of scans, each a pass over the whole picture.
constexpr int kMaxJpegScans = 256;
constexpr long kMaxJpegMemory = 512L * 1024 * 1024;

std::optional<ImageData> Fail(std::string* reason, const std::string& why) {
    if (reason) *reason = why;
    return std::nullopt;
}

bool SidesAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= MaxImageSide && height <= MaxImageSide &&
           width * height <= MaxImagePixels;
}

// ---- JPEG ------------------------------------------------------------------------

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char firstWarning[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegFatal(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (corrupt or missing data the library recovers from, as every viewer does)
// are counted and the first is kept for the load log, never printed.
void JpegMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (info->err->num_warnings++ == 0) (*info->err->format_message)(info, errors->firstWarning);
}

void JpegProgress(j_common_ptr info) {
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kMaxJpegScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kMaxJpegScans);
        std::longjmp(errors->jump, 1);
    }
}

// The library reports a fatal error by a jump back here; nothing with a destructor
// lives in this function, and `image` and `reason` belong to the caller.
bool DecodeJpeg(std::span<const std::uint8_t> bytes, ImageData& image, std::string* reason) {
    jpeg_decompress_struct info;
    JpegErrors errors;
    jpeg_progress_mgr progress;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegFatal;
    errors.manager.emit_message = JpegMessage;
    errors.message[0] = '\0';
    errors.firstWarning[0] = '\0';
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        if (reason) *reason = std::string("damaged jpeg: ") + errors.message;
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxJpegMemory;
    progress.progress_monitor = JpegProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!SidesAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        if (reason) *reason = "picture too large";
        return false;
    }
    // Print workflows write CMYK (Adobe's, stored inverted); libjpeg gives it as is and
    // it is turned to RGB below, as djpeg does.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    image.width = int(info.output_width);
    image.height = int(info.output_height);
    const std::size_t stride = std::size_t(image.width) * 4;
    image.rgba.resize(stride * std::size_t(image.height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.rgba.data() + std::size_t(info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (cmyk) {
        for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
            std::uint8_t* p = &image.rgba[i];
            const double k = p[3];
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(p[c] * k / 255.0 + 0.5);
            p[3] = 255;
        }
    }
    jpeg_finish_decompress(&info);
    const long warnings = info.err->num_warnings;
    jpeg_destroy_decompress(&info);
    // Whatever the library could not read it filled in (grey past a premature end):
    // the picture is used, and the warning goes to the load log.
    if (warnings > 0) {
        image.warning = std::string("recovered damaged jpeg: ") + errors.firstWarning;
        if (warnings > 1) image.warning += " (" + std::to_string(warnings) + " warnings)";
    }
    return true;
}

// ---- PNG -------------------------------------------------------------------------

std::optional<ImageData> DecodePng(std::span<const std::uint8_t> bytes, std::string* reason) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()))
        return Fail(reason, std::string("damaged png: ") + png.message);
    if (!SidesAllowed(png.width, png.height)) {
        png_image_free(&png);
        return Fail(reason, "picture too large");
    }
    png.format = PNG_FORMAT_RGBA;
    // Without a gAMA or sRGB chunk libpng takes 16-bit samples for linear light and
    // brightens them on the way to 8 bits; every painter and viewer treats them as the
    // 8-bit ones, so they are read the same way.
    png.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    ImageData image;
    image.width = int(png.width);
    image.height = int(png.height);
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        png_image_free(&png);
        return Fail(reason, std::string("damaged png: ") + png.message);
    }
    png_image_free(&png);
    return image;
}

// ---- BMP -------------------------------------------------------------------------

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}

// Run-length BMP (8 bits a pixel, or 4), rows from the bottom. Pixels the runs skip
// keep colour 0 of the palette, as the painters that write these show them; data that
// stops before its end marker leaves the rest so, with a warning.
std::optional<ImageData> DecodeRleBmp(std::span<const std::uint8_t> b, std::uint32_t headerSize, int width,
                                      int height, int bits, std::string* reason) {
    const std::size_t paletteAt = 14 + std::size_t(headerSize);
    const std::uint32_t offset = U32(b, 10);
    if (b.size() < 50 || offset > b.size() || paletteAt > offset)
        return Fail(reason, "damaged bmp: pixels before the palette");
    std::size_t colours = U32(b, 46);
    if (colours == 0 || colours > (1u << bits)) colours = std::size_t(1) << bits;
    colours = std::min(colours, (offset - paletteAt) / 4);
    if (colours == 0) return Fail(reason, "damaged bmp: no palette");
    std::uint8_t palette[256][4];
    for (std::size_t i = 0; i < 256; ++i) {
        const std::size_t at = paletteAt + 4 * (i < colours ? i : 0);
        palette[i][0] = b[at + 2];
        palette[i][1] = b[at + 1];
        palette[i][2] = b[at];
        palette[i][3] = 255;
    }
    ImageData image;
    image.width = width;
    image.height = height;
    image.rgba.resize(std::size_t(width) * std::size_t(height) * 4);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4)
        std::memcpy(&image.rgba[i], palette[0], 4);

    std::int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](unsigned index) {
        if (x < width && y < height) {
            const std::size_t at = (std::size_t(height - 1 - y) * std::size_t(width) + std::size_t(x)) * 4;
            std::memcpy(&image.rgba[at], palette[index < colours ? index : 0], 4);
        }
        ++x;
    };
    std::size_t at = offset;
    bool ended = false;
    while (!ended && y < height && at + 2 <= b.size()) {
        const unsigned count = b[at], value = b[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 15));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            ended = true;
        } else if (value == 2) {
            if (at + 2 > b.size()) break;
            x += b[at];
            y += b[at + 1];
            at += 2;
        } else {
            // Literal pixels, padded to an even number of bytes.
            const std::size_t bytes = bits == 8 ? value : (value + 1) / 2;
            if (at + bytes > b.size()) break;
            for (unsigned i = 0; i < value; ++i)
                put(bits == 8 ? b[at + i] : (i % 2 == 0 ? b[at + i / 2] >> 4 : b[at + i / 2] & 15));
            at += bytes + (bytes & 1);
        }
    }
    if (!ended && y < height) image.warning = "recovered damaged bmp: run-length data ends early";
    return image;
}

// The header is checked here before stb sees the file: the sides and the pixel count
// against the limits, and the pixel rows it announces against the file's size, so a
// few bytes can never ask for a huge picture.
std::optional<ImageData> DecodeBmp(std::span<const std::uint8_t> b, std::string* reason) {
    if (b.size() < 26) return Fail(reason, "damaged bmp: too short");
    const std::uint32_t offset = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0;
    if (headerSize == 12) {
        width = U16(b, 18);
        height = U16(b, 20);
        bits = U16(b, 24);
    } else if (headerSize >= 40 && b.size() >= 34) {
        width = std::int32_t(U32(b, 18));
        height = std::int32_t(U32(b, 22));
        bits = U16(b, 28);
        compression = U32(b, 30);
    } else {
        return Fail(reason, "damaged bmp: unknown header");
    }
    if (height < 0) height = -height;  // rows from the top
    if (!SidesAllowed(width, height)) return Fail(reason, "picture too large");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(reason, "damaged bmp: bits per pixel");
    if ((compression == 1 && bits == 8) || (compression == 2 && bits == 4)) {
        if (std::int32_t(U32(b, 22)) < 0) return Fail(reason, "damaged bmp: run-length rows from the top");
        return DecodeRleBmp(b, headerSize, int(width), int(height), int(bits), reason);
    }
    // Packed rows (plain, or with colour masks) go to stb.
    if (compression != 0 && compression != 3)
        return Fail(reason, "bmp compression " + std::to_string(compression) + " not supported");
    const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
    if (std::int64_t(offset) + rowBytes * height > std::int64_t(b.size()))
        return Fail(reason, "damaged bmp: shorter than its pixels");

    std::unordered_map<void*, std::vector<std::uint8_t>> blocks;
    StbBlocks = &blocks;
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load_from_memory(b.data(), int(b.size()), &w, &h, &channels, 4);
    StbBlocks = nullptr;
    if (!pixels) return Fail(reason, std::string("damaged bmp: ") + stbi_failure_reason());
    const auto it = blocks.find(pixels);
    const std::size_t size = std::size_t(w) * std::size_t(h) * 4;
    if (w != width || h != height || it == blocks.end() || it->second.size() < size)
        return Fail(reason, "damaged bmp");
    ImageData image;
    image.width = w;
    image.height = h;
    image.rgba = std::move(it->second);
    image.rgba.resize(size);
    return image;
}

}  // namespace

std::optional<ImageData> DecodeImage(std::span<const std::uint8_t> bytes, std::string* reason) {
    static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        ImageData image;
        if (!DecodeJpeg(bytes, image, reason)) return std::nullopt;
        return image;
    }
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0) return DecodePng(bytes, reason);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes, reason);
    return Fail(reason, "not a jpeg, png or bmp picture");
}

std::optional<ImageData> LoadImageFile(const std::string& path, std::string* reason) {
    const auto bytes = sys::ReadRegularFile(sys::ResolvePath(path), MaxImageFileBytes, reason);
    if (!bytes) return std::nullopt;
    return DecodeImage({reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()}, reason);
}

}  // namespace quorvel
