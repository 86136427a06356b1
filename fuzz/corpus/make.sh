#!/usr/bin/env bash
# Remakes the corpus of valid files as other programs write them: pictures from
# ImageMagick, libjpeg's cjpeg and ffmpeg, sounds from sox and ffmpeg, and a few
# variants those tools never write (top-down and run-length 4 BMP, odd chunks in a
# wave file) built byte by byte. The files are kept in the repository; the readers'
# tests decode each with the tool that wrote it and compare, and the fuzzers start
# from them. A few files the tools make and the readers must refuse sit under refused/.
#
#   bash fuzz/corpus/make.sh
set -euo pipefail
cd "$(dirname "$0")"
rm -rf picture wav refused
mkdir -p picture wav refused
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# ---- pictures: 45 x 29, odd sides so partial blocks and row padding are exercised ----
src=$scratch/src.ppm
convert -size 45x29 -seed 3 plasma:orange-navy "$src"
# Alpha that runs from clear on the left to opaque on the right.
convert "$src" \( -size 29x45 gradient:black-white -rotate 90 \) -alpha off -compose copy-opacity \
  -composite "$scratch/alpha.png"
p=picture
# No time stamps, so the same pictures come out every run.
nodate=(-define png:exclude-chunks=date,time)

cjpeg -quality 85 -outfile $p/cjpeg-baseline.jpg "$src"
cjpeg -progressive -outfile $p/cjpeg-progressive.jpg "$src"
cjpeg -restart 1 -outfile $p/cjpeg-restart.jpg "$src"
cjpeg -grayscale -outfile $p/cjpeg-grey.jpg "$src"
cjpeg -sample 1x1 -optimize -outfile $p/cjpeg-444.jpg "$src"
convert "$src" -quality 80 $p/magick.jpg
convert "$src" -colorspace CMYK -quality 90 $p/magick-cmyk.jpg
ffmpeg -loglevel error -y -i "$src" -pix_fmt yuvj422p $p/ffmpeg.jpg
# Damage that libjpeg warns about and recovers from, as every viewer shows it: data
# that ends early (the rest comes out grey) and stray bytes before a marker.
python3 - $p <<'EOF'
import sys
d = sys.argv[1]
def cut(name, out, scan, fraction):
    """Ends the file `fraction` of the way through the data of its scan number `scan`."""
    b = open(f"{d}/{name}", "rb").read()
    at = -1
    for _ in range(scan):
        at = b.find(b"\xff\xda", at + 1)
    start = at + 2 + (b[at + 2] << 8 | b[at + 3])
    end = start
    while not (b[end] == 0xFF and b[end + 1] not in (0, *range(0xD0, 0xD8))):
        end += 1
    open(f"{d}/{out}", "wb").write(b[:start + int((end - start) * fraction)])
cut("cjpeg-baseline.jpg", "cjpeg-baseline-cut.jpg", 1, 0.6)
cut("cjpeg-progressive.jpg", "cjpeg-progressive-cut.jpg", 3, 0.5)
cut("cjpeg-restart.jpg", "cjpeg-restart-cut.jpg", 1, 0.8)
b = open(f"{d}/cjpeg-baseline.jpg", "rb").read()
at = b.find(b"\xff\xda")
open(f"{d}/cjpeg-stray-bytes.jpg", "wb").write(b[:at] + b"\x00\x11\x22" + b[at:])
EOF

# Each PNG also Adam7-interlaced (the same name with "-interlaced"): the two must read
# alike, at every bit depth and colour type.
#   pair NAME INPUT FORMAT: [convert options ...]
pair() {
  local name=$1 in=$2 format=$3
  shift 3
  convert "$in" "$@" "${nodate[@]}" "$format$p/magick-$name.png"
  convert "$in" "$@" -interlace PNG "${nodate[@]}" "$format$p/magick-$name-interlaced.png"
}
pair rgb "$src" PNG24:
pair rgba "$scratch/alpha.png" PNG32:
pair palette "$src" PNG8: -colors 60
pair palette-alpha "$scratch/alpha.png" PNG8: -channel A -threshold 50% +channel -colors 60
pair grey "$src" PNG: -colorspace Gray -depth 8 -define png:color-type=0
pair grey-alpha "$scratch/alpha.png" PNG: -colorspace Gray -depth 8 -define png:color-type=4
pair grey1 "$src" PNG: -colorspace Gray -threshold 50% -define png:bit-depth=1
pair grey2 "$src" PNG: -colorspace Gray -depth 2 -define png:bit-depth=2 -define png:color-type=0
pair grey4 "$src" PNG: -colorspace Gray -depth 4 -define png:bit-depth=4 -define png:color-type=0
# 16-bit samples that are not 8-bit ones widened, so the step down to 8 bits shows.
deep=(-depth 16 -evaluate multiply 0.93)
pair grey16 "$src" PNG: -colorspace Gray "${deep[@]}" -define png:bit-depth=16 -define png:color-type=0
pair grey-alpha16 "$scratch/alpha.png" PNG: -colorspace Gray "${deep[@]}" -define png:bit-depth=16 \
  -define png:color-type=4
pair rgb16 "$src" PNG48: "${deep[@]}"
pair rgba16 "$scratch/alpha.png" PNG64: "${deep[@]}"
ffmpeg -loglevel error -y -i "$scratch/alpha.png" -pix_fmt rgba64be $p/ffmpeg-rgba16.png
ffmpeg -loglevel error -y -i "$src" -pix_fmt gray16be $p/ffmpeg-grey16.png
ffmpeg -loglevel error -y -i "$src" -pix_fmt pal8 $p/ffmpeg-palette.png
ffmpeg -loglevel error -y -i "$scratch/alpha.png" -pix_fmt ya8 $p/ffmpeg-grey-alpha.png

convert "$src" -type TrueColor $p/magick-24.bmp
convert "$scratch/alpha.png" -type TrueColorAlpha $p/magick-32-alpha.bmp
convert "$src" -define bmp:subtype=RGB565 $p/magick-565.bmp
convert "$src" -colors 60 -type Palette BMP3:$p/magick-palette.bmp
convert "$src" -colors 12 -compress none -type Palette BMP3:$p/magick-palette4.bmp
convert "$src" -colors 60 -compress RLE BMP3:$p/magick-rle8.bmp
convert "$src" -type Bilevel $p/magick-bilevel.bmp
# OS/2 1.x: a 12-byte header and palette entries of 3 bytes.
convert "$src" -colors 256 BMP2:$p/magick-os2-palette.bmp
convert "$src" -type Bilevel BMP2:$p/magick-os2-bilevel.bmp
convert "$src" -type TrueColor BMP2:$p/magick-os2-24.bmp
# Samples of 4 and 5 bits and 1-bit alpha, made from pictures already at those depths;
# each is compared with that picture as a PNG, its twin (ImageMagick widens 4 bits by a
# shift, 15 to 240, and reads a set alpha bit as 128, where viewers repeat the bits: 15
# gives 255). Its 5-bit writer rounds down, so those samples sit a level above 5 bits.
convert "$scratch/alpha.png" -depth 4 "${nodate[@]}" PNG32:$p/magick-4bit-alpha.png
convert "$scratch/alpha.png" -channel A -threshold 50% -channel RGB -depth 5 -evaluate add 257 +channel \
  "${nodate[@]}" PNG32:$p/magick-5bit-alpha1.png
convert $p/magick-4bit-alpha.png -define bmp:subtype=ARGB4444 $p/magick-argb4444.bmp
convert $p/magick-5bit-alpha1.png -define bmp:subtype=ARGB1555 $p/magick-argb1555.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt bgr24 $p/ffmpeg-24.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt rgb565le $p/ffmpeg-565.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt rgb555le $p/ffmpeg-555.bmp
ffmpeg -loglevel error -y -i "$scratch/alpha.png" -pix_fmt bgra $p/ffmpeg-32.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt pal8 $p/ffmpeg-palette.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt monob $p/ffmpeg-bilevel.bmp
# Variants the tools never write, built byte by byte: rows from the top, run-length 4
# and 8 with skips, end-of-line and literal runs, the OS/2 2.x headers, the 56-byte
# header with colour masks, palettes of odd sizes, 1/2/4-bit PNG palettes interlaced.
# Where the tools read a variant wrong, a PNG twin holds the picture it shows.
python3 - $p <<'EOF'
import struct, sys, zlib
d = sys.argv[1]
w, h = 13, 7
def pixel(x, y):
    return (x * 19) % 256, (y * 37) % 256, (x * y * 5) % 256
def alpha(x, y):
    return (x * 23 + y * 11) % 256
def write(name, data):
    open(f"{d}/{name}", "wb").write(data)
def info40(size, bits, height, compression, image, colours):
    return struct.pack("<IiiHHIIiiII", size, w, height, 1, bits, compression, image, 2835, 2835, colours, 0)
def bmp(name, bits, height, compression, palette, pixels, info=None, gap=b""):
    info = info or info40(40, bits, height, compression, len(pixels), len(palette) // 4)
    offset = 14 + len(info) + len(palette) + len(gap)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    write(name, head + info + palette + gap + pixels)
def pad(row):
    return row + b"\0" * (-len(row) % 4)
def rows(bits, order):
    out = b""
    for y in order:
        row = b""
        for x in range(w):
            r, g, b = pixel(x, y)
            row += bytes([b, g, r]) + (b"\0" if bits == 32 else b"")
        out += pad(row)
    return out
def indexed(bits, order, index):
    out = b""
    for y in order:
        v = 0
        for x in range(w):
            v = v << bits | index(x, y)
        n = w * bits
        v <<= -n % 8
        out += pad(v.to_bytes((n + 7) // 8, "big"))
    return out
def fields(masks):
    """The masks' bit shifts and widths."""
    out = []
    for m in masks:
        shift = (m & -m).bit_length() - 1 if m else 0
        out.append((shift, bin(m).count("1")))
    return out
def widen(v, n):
    """A sample of n bits at 8 bits, its bits repeated below it, as viewers show it."""
    if n >= 8:
        return v >> (n - 8)
    out, have = 0, 0
    while have < 8:
        out, have = out << n | v, have + n
    return out >> (have - 8)
def png(name, width, height, depth, colour, samples, plte=b"", trns=b"", interlace=False):
    """A PNG of `samples` (rows of per-pixel sample tuples), filter 0 throughout."""
    def scanlines(xs, ys):
        out = b""
        for y in ys:
            v, n = 0, 0
            for x in xs:
                for s in samples[y][x]:
                    v, n = v << depth | s, n + depth
            v <<= -n % 8
            out += b"\0" + v.to_bytes((n + 7) // 8, "big")
        return out
    if interlace:
        raw = b""
        for x0, y0, dx, dy in ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4),
                               (1, 0, 2, 2), (0, 1, 1, 2)):
            xs, ys = range(x0, width, dx), range(y0, height, dy)
            if len(xs) and len(ys):
                raw += scanlines(xs, ys)
    else:
        raw = scanlines(range(width), range(height))
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0,
                                                               int(interlace)))
    if plte:
        data += chunk(b"PLTE", plte)
    if trns:
        data += chunk(b"tRNS", trns)
    write(name, data + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
bottom_up = range(h - 1, -1, -1)
bmp("hand-top-down-24.bmp", 24, -h, 0, b"", rows(24, range(h)))
bmp("hand-top-down-32.bmp", 32, -h, 0, b"", rows(32, range(h)))
palette = b"".join(bytes([i * 16, 255 - i * 16, (i * 80) % 256, 0]) for i in range(16))
# Rows from the bottom; 13 pixels a row, in runs, literals (odd length, padded) and a skip.
rle8 = (bytes([5, 3, 0, 3, 1, 2, 9]) + b"\0" + bytes([5, 12, 0, 0]) +   # run, literal, run, end of line
        bytes([13, 7, 0, 0]) +                                            # one run, end of line
        bytes([0, 2, 4, 1]) + bytes([9, 14, 0, 0]) +                      # skip 4 right 1 up, run
        bytes([13, 1, 0, 0]) * 3 + bytes([0, 1]))                         # end of the picture
bmp("hand-rle8.bmp", 8, h, 1, palette, rle8)
rle4 = (bytes([6, 0x1A, 0, 5, 0x23, 0x45, 0x60, 0]) + bytes([2, 0xFF, 0, 0]) +
        bytes([13, 0x59, 0, 0]) + bytes([0, 2, 3, 2]) + bytes([10, 0xCD, 0, 0]) +
        bytes([13, 0x01, 0, 0]) * 2 + bytes([0, 1]))
bmp("hand-rle4.bmp", 4, h, 2, palette, rle4)

# OS/2 2.x: the 16-byte header (sides, planes, bits) and the 64-byte one.
def os2_64(bits, compression, image, colours):
    return info40(64, bits, h, compression, image, colours) + bytes(24)
pixels8 = indexed(8, bottom_up, lambda x, y: (x + 2 * y) % 16)
bmp("hand-os2-16-palette.bmp", 8, h, 0, palette, pixels8, struct.pack("<IiiHH", 16, w, h, 1, 8))
bmp("hand-os2-16-24.bmp", 24, h, 0, b"", rows(24, bottom_up), struct.pack("<IiiHH", 16, w, h, 1, 24))
pixels4 = indexed(4, bottom_up, lambda x, y: (x * y) % 16)
bmp("hand-os2-64-palette4.bmp", 4, h, 0, palette, pixels4, os2_64(4, 0, len(pixels4), 16))
bmp("hand-os2-64-rle8.bmp", 8, h, 1, palette, rle8, os2_64(8, 1, len(rle8), 16))

# Palettes: 2 bits (the picture of hand-palette2.png); a picture of 16 or 24 bits with
# one it does not use (300 entries long for 24); a gap between the palette and the
# pixels; indexes past the palette's 6 entries, shown black.
plte = b"".join(bytes(pixel(i, i + 1)) for i in range(16))
bmp("hand-palette2.bmp", 2, h, 0, b"".join(plte[3 * i:3 * i + 3][::-1] + b"\0" for i in range(4)),
    indexed(2, bottom_up, lambda x, y: (x + 3 * y) % 4))
pixels555 = b"".join(pad(b"".join(struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
                                  for r, g, b in (pixel(x, y) for x in range(w)))) for y in bottom_up)
bmp("hand-16-palette.bmp", 16, h, 0, palette, pixels555)
long_palette = b"".join(bytes([i % 256, i * 7 % 256, i * 13 % 256, 0]) for i in range(300))
bmp("hand-24-palette300.bmp", 24, h, 0, long_palette, rows(24, bottom_up))
bmp("hand-palette-gap.bmp", 8, h, 0, palette, pixels8, gap=b"\x55" * 22)
bmp("hand-palette-short.bmp", 4, h, 0, palette[:24], pixels4)
png("hand-palette-short.png", w, h, 8, 2,
    [[tuple(palette[4 * i:4 * i + 3][::-1]) if i < 6 else (0, 0, 0) for i in ((x * y) % 16 for x in range(w))]
     for y in range(h)])

# Colour masks in a 56-byte header (red, green, blue, alpha), rows from the bottom and
# from the top; and 32 bits with four masks after a 40-byte header (compression 6).
def masked(name, bits, masks, order, twin, header=56, compression=3):
    f = fields(masks)
    shown = [[None] * w for _ in range(h)]
    out = b""
    for y in order:
        row = b""
        for x in range(w):
            values = (*pixel(x, y), alpha(x, y))
            v = 0
            for (shift, n), value in zip(f, values):
                if n:
                    v |= (value >> (8 - n) if n < 8 else value << (n - 8)) << shift
            shown[y][x] = tuple(widen(value >> (8 - n), n) if n else 255
                                for (shift, n), value in zip(f, values))
            row += v.to_bytes(bits // 8, "little")
        out += pad(row)
    if header == 56:
        info = info40(56, bits, h if order == bottom_up else -h, compression, len(out), 0)
        bmp(name, bits, 0, compression, b"", out, info + struct.pack("<IIII", *masks))
    else:
        bmp(name, bits, 0, compression, struct.pack("<IIII", *masks), out,
            info40(40, bits, h, compression, len(out), 0))
    if twin:
        png(name.replace(".bmp", ".png"), w, h, 8, 6, shown)
# Twins where the tools read 4-bit samples or 1-bit alpha wrong.
for kind, bits, masks, twin in (("1555", 16, (0x7C00, 0x03E0, 0x001F, 0x8000), True),
                                ("4444", 16, (0x0F00, 0x00F0, 0x000F, 0xF000), True),
                                ("565", 16, (0xF800, 0x07E0, 0x001F, 0), False),
                                ("x444", 16, (0x0F00, 0x00F0, 0x000F, 0), True),
                                ("x888", 32, (0xFF0000, 0xFF00, 0xFF, 0), False)):
    masked(f"hand-v3-{kind}.bmp", bits, masks, bottom_up, twin)
    masked(f"hand-v3-{kind}-top-down.bmp", bits, masks, range(h), False)
masked("hand-alpha-masks.bmp", 32, (0xFF000000, 0xFF0000, 0xFF00, 0xFF), bottom_up, True, header=40,
       compression=6)

# PNG palettes of 1, 2 and 4 bits, with and without transparency, and interlaced twins.
trns = bytes((i * 37) % 256 for i in range(16))
for depth in (1, 2, 4):
    samples = [[((x + 3 * y) % (1 << depth),) for x in range(w)] for y in range(h)]
    for suffix, t in (("", b""), ("-alpha", trns[:1 << depth])):
        for il in (False, True):
            png(f"hand-palette{depth}{suffix}{'-interlaced' if il else ''}.png", w, h, depth, 3, samples,
                plte[:3 << depth], t, il)
EOF

# ---- files the tools make that are really broken: refused, with a reason ----
python3 - $p refused <<'EOF'
import struct, sys
src, out = sys.argv[1], sys.argv[2]
def keep(name, new, cut):
    b = open(f"{src}/{name}", "rb").read()
    open(f"{out}/{new}", "wb").write(cut(b))
keep("cjpeg-baseline.jpg", "jpeg-cut-before-its-data.jpg", lambda b: b[:b.find(b"\xff\xda") - 20])
keep("magick-rgb.png", "png-cut-in-its-data.png", lambda b: b[:len(b) * 2 // 3])
keep("ffmpeg-24.bmp", "bmp-cut-in-its-rows.bmp", lambda b: b[:len(b) // 2])
# A BMP holding a JPEG or a PNG (compression 4 and 5), which only printers are sent.
def inside(name, new, compression):
    inner = open(f"{src}/{name}", "rb").read()
    info = struct.pack("<IiiHHIIiiII", 40, 45, 29, 1, 0, compression, len(inner), 2835, 2835, 0, 0)
    open(f"{out}/{new}", "wb").write(b"BM" + struct.pack("<IHHI", 54 + len(inner), 0, 0, 54) + info + inner)
inside("cjpeg-baseline.jpg", "bmp-jpeg-inside.bmp", 4)
inside("magick-rgb.png", "bmp-png-inside.bmp", 5)
EOF

# ---- sounds: a twentieth of a second, two tones so left and right differ ----
w=wav
tones=(synth 0.05 sine 440 sine 660)
sox -R -n -r 8000 -c 1 -b 8 -e unsigned $w/sox-u8.wav synth 0.05 sine 440
sox -R -n -r 11025 -c 2 -b 16 $w/sox-s16-stereo.wav "${tones[@]}"
sox -R -n -r 11025 -c 2 -b 24 $w/sox-s24.wav "${tones[@]}" vol 0.8
sox -R -n -r 11025 -c 1 -b 32 $w/sox-s32.wav synth 0.05 sine 440 vol 0.8
sox -R -n -r 11025 -c 2 -b 32 -e float $w/sox-f32.wav "${tones[@]}" vol 0.9
sox -R -n -r 11025 -c 1 -b 64 -e float $w/sox-f64.wav synth 0.05 sine 440 vol 0.9
lavfi=(-f lavfi -i "sine=frequency=440:duration=0.05:sample_rate=11025")
ffmpeg -loglevel error -y "${lavfi[@]}" -c:a pcm_s16le $w/ffmpeg-s16.wav
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=0.0501:sample_rate=8000" -c:a pcm_u8 \
  $w/ffmpeg-u8-odd.wav
ffmpeg -loglevel error -y "${lavfi[@]}" -c:a pcm_s24le $w/ffmpeg-s24.wav
ffmpeg -loglevel error -y "${lavfi[@]}" -ac 2 -c:a pcm_f32le $w/ffmpeg-f32-stereo.wav
ffmpeg -loglevel error -y "${lavfi[@]}" -ac 2 -c:a pcm_s32le $w/ffmpeg-s32-extensible.wav
# Written to a pipe, the sizes in the header stay unknown (all ones).
ffmpeg -loglevel error -y "${lavfi[@]}" -c:a pcm_s16le -f wav - >$w/ffmpeg-pipe.wav
python3 - $w <<'EOF'
import math, struct, sys, wave
d = sys.argv[1]
samples = [int(12000 * math.sin(2 * math.pi * 440 * i / 8000)) for i in range(401)]
data = b"".join(struct.pack("<h", s) for s in samples)
with wave.open(f"{d}/python-wave.wav", "wb") as f:
    f.setnchannels(1); f.setsampwidth(2); f.setframerate(8000); f.writeframes(data)
# Chunks of odd size with their pad bytes, before and after the data, and a cue chunk.
def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")
fmt = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
pcm8 = bytes(128 + s // 256 for s in samples)  # 401 samples: odd
body = (b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"LIST", b"INFOISFT\x05\0\0\0hand\0") +
        chunk(b"fact", struct.pack("<I", 401)) + chunk(b"data", pcm8) + chunk(b"cue ", b"\0\0\0\0") +
        chunk(b"LIST", b"INFOICMT\x03\0\0\0ab\0"))
open(f"{d}/hand-odd-chunks.wav", "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)

# Samples narrower than their containers, which no tool here writes: sox's 24-bit stereo
# samples moved to the top of 4-byte containers, once as the extensible header says it (32
# bits a sample, 24 of them valid) and once with 24 bits a sample and a block align of 8;
# and 12- and 20-bit samples in 2 and 3 bytes under the plain header.
def chunks(b):
    at, out = 12, {}
    while at + 8 <= len(b):
        size = struct.unpack("<I", b[at + 4:at + 8])[0]
        out.setdefault(b[at:at + 4], b[at + 8:at + 8 + size])
        at += 8 + size + size % 2
    return out
def write(name, tag, channels, rate, bits, width, data, valid=None):
    block = channels * width
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    if tag == 0xFFFE:
        pcm = b"\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71"
        fmt += struct.pack("<HHI", 22, valid, 3) + pcm
    body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", data)
    open(f"{d}/{name}", "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
s24 = chunks(open(f"{d}/sox-s24.wav", "rb").read())[b"data"]
in32 = b"".join(b"\0" + s24[i:i + 3] for i in range(0, len(s24), 3))
write("hand-24in32-stereo.wav", 0xFFFE, 2, 11025, 32, 4, in32, valid=24)
write("hand-24-align8-stereo.wav", 0xFFFE, 2, 11025, 24, 4, in32, valid=24)
def narrow(bits, width):
    out = b""
    for s in samples:
        v = (s * 2 ** (bits - 16) if bits >= 16 else s >> (16 - bits)) << (8 * width - bits)
        out += (v & (256 ** width - 1)).to_bytes(width, "little")
    return out
write("hand-12in16.wav", 1, 1, 8000, 12, 2, narrow(12, 2))
write("hand-20in24.wav", 1, 1, 8000, 20, 3, narrow(20, 3))
EOF

# Sounds the game cannot play: refused with a reason.
sox -R -n -r 8000 -c 1 -e mu-law refused/sox-mu-law.wav synth 0.05 sine 440
ffmpeg -loglevel error -y "${lavfi[@]}" -c:a adpcm_ms refused/ffmpeg-adpcm.wav
ffmpeg -loglevel error -y "${lavfi[@]}" -af "pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0" -c:a pcm_s16le \
  refused/ffmpeg-5.1.wav

# ---- MIDI: no tool here writes MIDI files, so they are built byte by byte. Each holds a
# scale of eight notes, 480 ticks each (half a second at the default 120 beats a
# minute), and messages of the kinds a synthesizer meets on a MIDI cable, which some
# programs also put in files: system common (time code, song position and select, tune
# request), real-time (clock, start, stop, active sensing), the undefined ones, and
# sysex and escapes. The reader's tests know each file's length, worked out by hand.
rm -rf midi
mkdir -p midi
python3 - midi refused <<'EOF'
import struct, sys
d, refused = sys.argv[1], sys.argv[2]
def vl(n):
    out = [n & 0x7F]
    while n > 127:
        n >>= 7
        out.append(0x80 | (n & 0x7F))
    return bytes(reversed(out))
def smf(name, tracks, division=480, fmt=0, folder=d):
    b = b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), division)
    for t in tracks:
        b += b"MTrk" + struct.pack(">I", len(t)) + t
    open(f"{folder}/{name}", "wb").write(b)
END = b"\x00\xff\x2f\x00"
TEMPO = b"\x00\xff\x51\x03\x07\xa1\x20"  # 500000 microseconds a quarter note
NOTES = [60, 62, 64, 65, 67, 69, 71, 72]
def scale(between=lambda i: b"", ticks=480, head=b"", restate=False):
    """The scale, each note on, then off by a note on of velocity 0 in running status;
    `between(i)` goes after note i's start, at no time. After messages that end running
    status (`restate`) the note off names its status again."""
    t = head + b"\x00\xc0\x00"
    for i, n in enumerate(NOTES):
        t += b"\x00" + bytes([0x90, n, 100]) + between(i) + vl(ticks) + (b"\x90" if restate else b"") + bytes([n, 0])
    return t + END
smf("hand-scale.mid", [TEMPO + scale()])
# Time code quarter frames, song position and select, tune request.
common = [[b"\xf1\x00", b"\xf1\x11", b"\xf1\x22", b"\xf1\x33"], [b"\xf2\x10\x02"], [b"\xf3\x05"], [b"\xf6"]]
smf("hand-system-common.mid", [TEMPO + scale(lambda i: b"".join(b"\x00" + m for m in common[i % 4]), restate=True)])
# Start, stop, active sensing and the timing clock 24 times a quarter note, between
# the note on and its note off in running status: the clocks carry the notes' time.
t = b"\x00\xfa\x00\xc0\x00"
for n in NOTES:
    t += b"\x00" + bytes([0x90, n, 100]) + b"\x14\xf8" * 23 + b"\x00\xfe\x14" + bytes([n, 0])
smf("hand-real-time.mid", [TEMPO + t + b"\x00\xfc" + END])
# The undefined system bytes: 0xF4 and 0xF5 (system common), 0xF9 and 0xFD (real-time).
smf("hand-undefined.mid", [TEMPO + scale(lambda i: b"\x00\xf9\x00\xfd\x00\xf4\x00\xf5", restate=True)])
# General MIDI on as sysex, and escapes: a song select and a clock sent as they are.
smf("hand-sysex-escape.mid", [TEMPO + scale(lambda i: b"\x00\xf7\x02\xf3\x01\x00\xf7\x01\xf8", restate=True,
                                            head=b"\x00\xf0\x05\x7e\x7f\x09\x01\xf7")])
# Two tracks: the tempo halves after four notes (2 s, then 4 s for the other four); the
# notes' track has a clock and a time code between them.
tempo = TEMPO + vl(1920) + b"\xff\x51\x03\x0f\x42\x40" + END
smf("hand-two-tracks-tempo.mid", [tempo, scale(lambda i: b"\x00\xf8\x00\xf1\x70", restate=True)], fmt=1)
# Time code division: 25 frames a second of 40 ticks, so 500 ticks are half a second.
smf("hand-smpte.mid", [scale(lambda i: b"\x00\xf8", ticks=500)], division=0xE728)

# Refused, with a reason: running status after a song select, which ended it; a file cut
# off in the middle of a note.
smf("midi-running-status-after-song-select.mid",
    [TEMPO + b"\x00\x90\x3c\x64\x00\xf3\x01\x83\x60\x3c\x00" + END], folder=refused)
b = open(f"{d}/hand-scale.mid", "rb").read()
open(f"{refused}/midi-cut-in-a-note.mid", "wb").write(b[:len(b) - 6])
EOF
