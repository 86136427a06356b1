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

convert "$src" "${nodate[@]}" PNG24:$p/magick-rgb.png
convert "$scratch/alpha.png" "${nodate[@]}" PNG32:$p/magick-rgba.png
convert "$src" -colors 60 "${nodate[@]}" PNG8:$p/magick-palette.png
convert "$scratch/alpha.png" -channel A -threshold 50% +channel -colors 60 "${nodate[@]}" PNG8:$p/magick-palette-alpha.png
convert "$src" -colorspace Gray -depth 8 -define png:color-type=0 "${nodate[@]}" $p/magick-grey.png
convert "$scratch/alpha.png" -colorspace Gray -depth 8 -define png:color-type=4 "${nodate[@]}" $p/magick-grey-alpha.png
convert "$src" -colorspace Gray -threshold 50% -define png:bit-depth=1 "${nodate[@]}" $p/magick-grey1.png
# 16-bit samples that are not 8-bit ones widened, so the step down to 8 bits shows.
deep=(-depth 16 -evaluate multiply 0.93)
convert "$src" -colorspace Gray "${deep[@]}" -define png:bit-depth=16 -define png:color-type=0 \
  "${nodate[@]}" $p/magick-grey16.png
convert "$src" "${deep[@]}" "${nodate[@]}" PNG48:$p/magick-rgb16.png
convert "$scratch/alpha.png" "${deep[@]}" "${nodate[@]}" PNG64:$p/magick-rgba16.png
convert "$scratch/alpha.png" -interlace PNG "${nodate[@]}" PNG32:$p/magick-interlaced.png
ffmpeg -loglevel error -y -i "$scratch/alpha.png" -pix_fmt rgba64be $p/ffmpeg-rgba16.png
ffmpeg -loglevel error -y -i "$src" -pix_fmt gray16be $p/ffmpeg-grey16.png
ffmpeg -loglevel error -y -i "$src" -pix_fmt pal8 $p/ffmpeg-palette.png
ffmpeg -loglevel error -y -i "$scratch/alpha.png" -pix_fmt ya8 $p/ffmpeg-grey-alpha.png

convert "$src" -type TrueColor $p/magick-24.bmp
convert "$scratch/alpha.png" -type TrueColorAlpha $p/magick-32-alpha.bmp
convert "$src" -define bmp:subtype=RGB565 $p/magick-565.bmp
convert "$src" -colors 60 -type Palette BMP3:$p/magick-palette.bmp
convert "$src" -colors 60 -compress RLE BMP3:$p/magick-rle8.bmp
convert "$src" -type Bilevel $p/magick-bilevel.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt bgr24 $p/ffmpeg-24.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt rgb565le $p/ffmpeg-565.bmp
ffmpeg -loglevel error -y -i "$scratch/alpha.png" -pix_fmt bgra $p/ffmpeg-32.bmp
ffmpeg -loglevel error -y -i "$src" -pix_fmt pal8 $p/ffmpeg-palette.bmp
# Rows from the top, and run-length 4 and 8 with skips, end-of-line and literal runs.
python3 - $p <<'EOF'
import struct, sys
d = sys.argv[1]
w, h = 13, 7
def pixel(x, y):
    return (x * 19) % 256, (y * 37) % 256, (x * y * 5) % 256
def bmp(name, bits, height, compression, palette, pixels):
    info = struct.pack("<IiiHHIIiiII", 40, w, height, 1, bits, compression, len(pixels), 2835, 2835,
                       len(palette) // 4, 0)
    offset = 14 + len(info) + len(palette)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    open(f"{d}/{name}", "wb").write(head + info + palette + pixels)
def rows(bits, order):
    out = b""
    for y in order:
        row = b""
        for x in range(w):
            r, g, b = pixel(x, y)
            row += bytes([b, g, r]) + (b"\0" if bits == 32 else b"")
        out += row + b"\0" * (-len(row) % 4)
    return out
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
EOF

# ---- files the tools make that are really broken: refused, with a reason ----
python3 - $p refused <<'EOF'
import sys
src, out = sys.argv[1], sys.argv[2]
def keep(name, new, cut):
    b = open(f"{src}/{name}", "rb").read()
    open(f"{out}/{new}", "wb").write(cut(b))
keep("cjpeg-baseline.jpg", "jpeg-cut-before-its-data.jpg", lambda b: b[:b.find(b"\xff\xda") - 20])
keep("magick-rgb.png", "png-cut-in-its-data.png", lambda b: b[:len(b) * 2 // 3])
keep("ffmpeg-24.bmp", "bmp-cut-in-its-rows.bmp", lambda b: b[:len(b) // 2])
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
