#include "platform/engine/image.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/system/paths.h"
#include "platform/system/safe_file.h"

// jpeglib.h wants FILE and size_t declared first.
#include <jpeglib.h>
#include <png.h>

namespace quorvel {
namespace {

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

// The file's bytes as libpng reads them, and the message of its fatal error.
struct PngSource {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
    char message[256] = "";
};

void PngRead(png_structp png, png_bytep out, std::size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->at) png_error(png, "file ends early");
    std::memcpy(out, source->bytes.data() + source->at, count);
    source->at += count;
}

[[noreturn]] void PngFatal(png_structp png, png_const_charp message) {
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings (a bad check sum of an ancillary chunk, a stray chunk) cost nothing shown.
void PngWarning(png_structp, png_const_charp) {}

// The rows, pass by pass: an interlaced picture is put together in place.
void ReadPngRows(png_structp png, int passes, ImageData& image) {
    const std::size_t stride = std::size_t(image.width) * 4;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < image.height; ++y)
            png_read_row(png, image.rgba.data() + std::size_t(y) * stride, nullptr);
}

// Read through libpng's row interface: its simplified reader gets Adam7-interlaced
// 16-bit pictures wrong. The library reports a fatal error by a jump back here; nothing
// with a destructor lives in this function, and `image` and `reason` belong to the caller.
bool DecodePng(std::span<const std::uint8_t> bytes, ImageData& image, std::string* reason) {
    PngSource source;
    source.bytes = bytes;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, PngFatal, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        if (reason) *reason = "damaged png: out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (reason) *reason = std::string("damaged png: ") + source.message;
        return false;
    }
    png_set_read_fn(png, &source, PngRead);
    png_set_benign_errors(png, 1);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (!SidesAllowed(width, height)) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (reason) *reason = "picture too large";
        return false;
    }
    // Palette, grey and a transparent colour all become 8-bit RGBA.
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    // Without a gAMA or sRGB chunk the samples are taken as sRGB, 16-bit ones too: every
    // painter and viewer treats those as the 8-bit ones, not as linear light. Alpha stays
    // as stored, not multiplied in.
    png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    png_set_scale_16(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(width) * 4) png_error(png, "rows not of 8-bit RGBA");
    image.width = int(width);
    image.height = int(height);
    image.rgba.resize(std::size_t(width) * std::size_t(height) * 4);
    ReadPngRows(png, passes, image);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// ---- BMP -------------------------------------------------------------------------

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}

using Rgba = std::array<std::uint8_t, 4>;

// Palette entries 0 to 255; an index past the file's palette shows black, as viewers
// show it.
using Palette = std::array<Rgba, 256>;

// One channel of a pixel packed under a mask, widened to 8 bits the way common
// decoders do: a 5-bit value repeats its top bits below itself (31 gives 255).
struct MaskChannel {
    unsigned shift = 0;
    unsigned bits = 0;  // 0: the channel is absent
    std::array<std::uint8_t, 256> widened{};

    std::uint8_t operator()(std::uint32_t pixel) const {
        const auto v = std::uint32_t((pixel >> shift) & ((std::uint64_t(1) << bits) - 1));
        return bits > 8 ? std::uint8_t(v >> (bits - 8)) : widened[v];
    }
};

// False for a mask whose bits are not side by side.
bool MakeChannel(std::uint32_t mask, MaskChannel& channel) {
    channel = MaskChannel{};
    if (mask == 0) return true;
    while (!((mask >> channel.shift) & 1))
        ++channel.shift;
    const std::uint64_t bits = std::uint64_t(mask) >> channel.shift;
    if (bits & (bits + 1)) return false;
    while (bits >> channel.bits)
        ++channel.bits;
    if (channel.bits <= 8) {
        for (std::uint32_t v = 0; v < (1u << channel.bits); ++v) {
            std::uint32_t out = 0;
            unsigned have = 0;
            for (; have < 8; have += channel.bits)
                out = out << channel.bits | v;
            channel.widened[v] = std::uint8_t(out >> (have - 8));
        }
    }
    return true;
}

// Run-length BMP (8 bits a pixel, or 4), rows from the bottom. Pixels the runs skip
// keep colour 0 of the palette, as the painters that write these show them; data that
// stops before its end marker leaves the rest so, with a warning.
ImageData DecodeRleBmp(std::span<const std::uint8_t> b, std::size_t offset, const Palette& palette, int width,
                       int height, unsigned bits) {
    ImageData image;
    image.width = width;
    image.height = height;
    image.rgba.resize(std::size_t(width) * std::size_t(height) * 4);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4)
        std::memcpy(&image.rgba[i], palette[0].data(), 4);

    std::int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](unsigned index) {
        if (x < width && y < height) {
            const std::size_t at = (std::size_t(height - 1 - y) * std::size_t(width) + std::size_t(x)) * 4;
            std::memcpy(&image.rgba[at], palette[index].data(), 4);
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

// Every header size in use: 12 (OS/2 1.x: 16-bit sides, 3-byte palette entries), 16 to 64
// (OS/2 2.x, whose fields past its length are zero), 40, 52, 56, 108 and 124 (Windows,
// colour masks inside from 52 on). The sides and the pixel count are checked against the
// limits, and the packed rows the header announces against the file's size, before the
// picture is made, so a few bytes can never ask for a huge one.
std::optional<ImageData> DecodeBmp(std::span<const std::uint8_t> b, std::string* reason) {
    if (b.size() < 26) return Fail(reason, "damaged bmp: too short");
    const std::uint32_t offset = U32(b, 10);
    const std::uint32_t headerSize = U32(b, 14);
    const bool core = headerSize == 12;
    const bool os2 = headerSize == 64 || (headerSize >= 16 && headerSize < 40);
    if (!core && headerSize < 16) return Fail(reason, "damaged bmp: unknown header");
    if (14 + std::uint64_t(headerSize) > b.size()) return Fail(reason, "damaged bmp: too short");
    const std::size_t headerEnd = 14 + std::size_t(headerSize);
    auto field = [&](std::size_t at) { return at + 4 <= headerEnd ? U32(b, at) : 0; };

    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0, colours = 0;
    if (core) {
        width = U16(b, 18);
        height = U16(b, 20);
        bits = U16(b, 24);
    } else {
        width = std::int32_t(U32(b, 18));
        height = std::int32_t(U32(b, 22));
        bits = U16(b, 28);
        compression = field(30);
        colours = field(46);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!SidesAllowed(width, height)) return Fail(reason, "picture too large");
    // Windows' numbers 3 and 4 mean other things in OS/2 2.x headers.
    if (os2 && compression == 3) return Fail(reason, "bmp compression 3 (OS/2 Huffman) not supported");
    if (os2 && compression == 4) return Fail(reason, "bmp compression 4 (OS/2 run-length 24) not supported");
    if (compression == 4) return Fail(reason, "bmp compression 4 (a jpeg inside) not supported");
    if (compression == 5) return Fail(reason, "bmp compression 5 (a png inside) not supported");
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(reason, "damaged bmp: bits per pixel");
    const bool rle = compression == 1 || compression == 2;
    const bool masked = compression == 3 || compression == 6;
    if (compression > 6)
        return Fail(reason, "bmp compression " + std::to_string(compression) + " not supported");
    if ((compression == 1 && bits != 8) || (compression == 2 && bits != 4))
        return Fail(reason, "damaged bmp: run-length " + std::to_string(compression == 1 ? 8 : 4) + " with " +
                                std::to_string(bits) + " bits per pixel");
    if (rle && topDown) return Fail(reason, "damaged bmp: run-length rows from the top");
    if (masked && bits != 16 && bits != 32)
        return Fail(reason, "damaged bmp: colour masks with " + std::to_string(bits) + " bits per pixel");

    // Colour masks: in the header from 52 bytes on (alpha from 56), else right after it.
    const std::size_t maskCount = compression == 6 ? 4 : 3;
    const bool masksAfter = masked && headerSize < 52;
    const std::size_t paletteAt = headerEnd + (masksAfter ? 4 * maskCount : 0);
    if (offset < paletteAt) return Fail(reason, "damaged bmp: pixels before the palette");
    if (offset > b.size()) return Fail(reason, "damaged bmp: shorter than its pixels");
    std::uint32_t masks[4] = {0, 0, 0, 0};
    if (masksAfter) {
        for (std::size_t i = 0; i < maskCount; ++i)
            masks[i] = U32(b, headerEnd + 4 * i);
    } else if (masked) {
        for (std::size_t i = 0; i < (headerSize >= 56 ? 4u : 3u); ++i)
            masks[i] = U32(b, 54 + 4 * i);
    } else if (bits == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bits == 32) {
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF, masks[3] = 0xFF000000;
    }
    MaskChannel channels[4];
    for (int i = 0; i < 4; ++i)
        if (!MakeChannel(masks[i], channels[i])) return Fail(reason, "damaged bmp: colour mask with gaps");

    // A palette of 2^bits entries unless the header gives fewer, ending where the pixels
    // begin at the latest; pictures of more bits a pixel may carry one too, unused.
    Palette palette{};
    if (bits <= 8) {
        const std::size_t entry = core ? 3 : 4;
        std::size_t count = colours == 0 || colours > (1u << bits) ? std::size_t(1) << bits : colours;
        count = std::min(count, (offset - paletteAt) / entry);
        if (count == 0) return Fail(reason, "damaged bmp: no palette");
        palette.fill({0, 0, 0, 255});
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = paletteAt + entry * i;
            palette[i] = {b[at + 2], b[at + 1], b[at], 255};
        }
    }
    if (rle) return DecodeRleBmp(b, offset, palette, int(width), int(height), bits);

    const std::size_t rowBytes = (std::size_t(width) * bits + 31) / 32 * 4;
    if (offset + rowBytes * std::size_t(height) > b.size())
        return Fail(reason, "damaged bmp: shorter than its pixels");
    ImageData image;
    image.width = int(width);
    image.height = int(height);
    image.rgba.resize(std::size_t(width) * std::size_t(height) * 4);
    const bool alpha = channels[3].bits > 0;
    bool anyAlpha = false;
    for (std::size_t y = 0; y < std::size_t(height); ++y) {
        const std::size_t fileRow = topDown ? y : std::size_t(height) - 1 - y;
        const std::uint8_t* in = b.data() + offset + fileRow * rowBytes;
        std::uint8_t* out = image.rgba.data() + y * std::size_t(width) * 4;
        for (std::size_t x = 0; x < std::size_t(width); ++x, out += 4) {
            if (bits <= 8) {
                const std::size_t bit = x * bits;
                const unsigned index = (in[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                std::memcpy(out, palette[index].data(), 4);
            } else if (bits == 24) {
                const std::uint8_t* p = in + 3 * x;
                out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = 255;
            } else {
                const std::uint8_t* p = in + x * bits / 8;
                std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
                if (bits == 32) v |= std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
                for (int c = 0; c < 3; ++c)
                    out[c] = channels[c](v);
                out[3] = alpha ? channels[3](v) : 255;
                anyAlpha |= out[3] != 0;
            }
        }
    }
    // Writers that leave the fourth byte zero mean no alpha at all, and viewers show
    // such a picture opaque.
    if (alpha && !anyAlpha)
        for (std::size_t i = 3; i < image.rgba.size(); i += 4)
            image.rgba[i] = 255;
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
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0) {
        ImageData image;
        if (!DecodePng(bytes, image, reason)) return std::nullopt;
        return image;
    }
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes, reason);
    return Fail(reason, "not a jpeg, png or bmp picture");
}

std::optional<ImageData> LoadImageFile(const std::string& path, std::string* reason) {
    const auto bytes = sys::ReadRegularFile(sys::ResolvePath(path), MaxImageFileBytes, reason);
    if (!bytes) return std::nullopt;
    return DecodeImage({reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()}, reason);
}

}  // namespace quorvel
