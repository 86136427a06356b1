#include "content_formats.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/particle_file.h"
#include "contentgen/loudness.h"
#include "platform/engine/image.h"
#include "platform/engine/import_3ds.h"
#include "platform/engine/md2.h"
#include "platform/ff/decoders.h"
#include "platform/media/decoder.h"
#include "platform/sound/wave_file.h"
#include "platform/system/paths.h"

namespace quorvel::test {

namespace {

using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

std::string WindowsPath(const std::string& gamePath) {
    return sys::ProgramFolder() + "\\" + gamePath;
}

std::string RealPath(const std::string& gamePath) {
    return sys::ResolvePath(WindowsPath(gamePath));
}

bool Finite(const Vector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Positions, normals (unit length) and triangles that a renderer can take as they are.
AssertionResult Drawable(const std::vector<Vector>& positions, const std::vector<Vector>& normals,
                         const std::vector<Vector2>& uvs, const std::vector<std::uint32_t>& indices) {
    if (positions.empty() || indices.empty() || indices.size() % 3 != 0)
        return AssertionFailure() << "no triangles";
    if (normals.size() != positions.size() || uvs.size() != positions.size())
        return AssertionFailure() << "normals or uvs do not match the positions";
    for (std::uint32_t i : indices)
        if (i >= positions.size()) return AssertionFailure() << "index " << i << " out of range";
    for (std::size_t v = 0; v < positions.size(); ++v) {
        const Vector& n = normals[v];
        if (!Finite(positions[v]) || !Finite(n) || !std::isfinite(uvs[v].x) || !std::isfinite(uvs[v].y))
            return AssertionFailure() << "vertex " << v << " is not finite";
        if (std::abs(Dot(n, n) - 1) > 1e-3)
            return AssertionFailure() << "normal " << v << " is not unit length";
    }
    return AssertionSuccess();
}

struct Heard {
    std::size_t frames = 0;
    float peak = 0;
    bool finite = true;
};

// Up to `seconds` of a decoder's audio.
Heard Listen(media::MediaDecoder& decoder, double seconds) {
    Heard h;
    std::vector<float> block(2 * 4096);
    const auto wanted = std::size_t(seconds * std::max(decoder.Info().sampleRate, 1));
    while (h.frames < wanted) {
        const std::size_t got = decoder.ReadAudio(block.data(), 4096);
        if (got == 0) break;
        for (std::size_t i = 0; i < 2 * got; ++i) {
            h.finite = h.finite && std::isfinite(block[i]);
            h.peak = std::max(h.peak, std::abs(block[i]));
        }
        h.frames += got;
    }
    return h;
}

// Playable audio: a known length and, within its first two seconds, something heard.
AssertionResult Audible(std::unique_ptr<media::MediaDecoder> decoder) {
    if (!decoder) return AssertionFailure() << "the decoder does not open it";
    const media::MediaInfo& info = decoder->Info();
    if (!info.hasAudio || info.sampleRate <= 0 || !(info.duration > 0))
        return AssertionFailure() << "no audio stream with a length";
    const Heard h = Listen(*decoder, 2.0);
    if (h.frames == 0) return AssertionFailure() << "no audio decodes";
    if (!h.finite || h.peak > 1.5f) return AssertionFailure() << "samples out of range, peak " << h.peak;
    if (h.peak < 1e-3f) return AssertionFailure() << "silent";
    return AssertionSuccess();
}

}  // namespace

AssertionResult Loads3ds(const std::string& gamePath) {
    const auto mesh = Load3ds(WindowsPath(gamePath));
    if (!mesh) return AssertionFailure() << "the engine's .3ds reader does not load it";
    return Drawable(mesh->positions, mesh->normals, mesh->uvs, mesh->indices);
}

AssertionResult LoadsMd2(const std::string& gamePath) {
    const auto model = LoadMd2(WindowsPath(gamePath));
    if (!model) return AssertionFailure() << "the engine's .md2 reader does not load it";
    if (model->frames.size() < 2) return AssertionFailure() << "one keyframe only";
    for (const Keyframe& f : model->frames) {
        if (f.name.empty()) return AssertionFailure() << "a keyframe has no name";
        if (auto drawable = Drawable(f.positions, f.normals, model->uvs, model->indices); !drawable)
            return drawable << " (keyframe " << f.name << ")";
    }
    return AssertionSuccess();
}

AssertionResult DecodesPicture(const std::string& gamePath, int width, int height) {
    const auto image = LoadImageFile(WindowsPath(gamePath));
    if (!image) return AssertionFailure() << "the engine's image reader does not decode it";
    if (image->width != width || image->height != height)
        return AssertionFailure() << image->width << " x " << image->height << " where " << width << " x "
                                  << height << " is meant";
    return AssertionSuccess();
}

AssertionResult ReadsParticleFile(const std::string& gamePath) {
    const ParticleFileData data = ReadParticleFile(WindowsPath(gamePath));
    if (data.groupsRead != 31) return AssertionFailure() << data.groupsRead << " of 31 groups read";
    return AssertionSuccess();
}

AssertionResult DecodesWave(const std::string& gamePath) {
    const auto wave = sound::ReadWaveFile(RealPath(gamePath));
    if (!wave) return AssertionFailure() << "the wave reader does not read it";
    const sound::WaveFormat& f = wave->format;
    if (f.formatTag != 1 || f.bitsPerSample != 16 || f.channels != 1)
        return AssertionFailure() << "not 16-bit mono PCM";
    if (f.samplesPerSec != 22050 && f.samplesPerSec != 44100)
        return AssertionFailure() << "sample rate " << f.samplesPerSec;
    if (wave->pcm.Frames() == 0) return AssertionFailure() << "no samples";
    return Audible(ff::OpenWithFFmpeg(RealPath(gamePath)));
}

AssertionResult DecodesAudio(const std::string& gamePath) {
    return Audible(ff::OpenWithFFmpeg(RealPath(gamePath)));
}

AssertionResult DecodesMidi(const std::string& gamePath) {
    if (ff::GeneralMidiSoundFont().empty())
        return AssertionFailure() << "no General MIDI sound font is installed (scripts/deps.sh)";
    return Audible(ff::OpenMidi(RealPath(gamePath)));
}

AssertionResult DecodesVideo(const std::string& gamePath) {
    auto decoder = ff::OpenWithFFmpeg(RealPath(gamePath));
    if (!decoder) return AssertionFailure() << "the decoder does not open it";
    const media::MediaInfo info = decoder->Info();
    if (!info.hasVideo || info.width <= 0 || info.height <= 0) return AssertionFailure() << "no video stream";
    double last = -1;
    for (int i = 0; i < 3; ++i) {
        media::VideoFrame frame;
        if (!decoder->ReadVideo(frame)) return AssertionFailure() << "picture " << i << " does not decode";
        if (frame.width != info.width || frame.height != info.height ||
            frame.rgba.size() != std::size_t(frame.width) * std::size_t(frame.height) * 4)
            return AssertionFailure() << "picture " << i << " has the wrong size";
        if (!(frame.time > last)) return AssertionFailure() << "picture times do not increase";
        last = frame.time;
    }
    return Audible(std::move(decoder));
}

AssertionResult IsCrLfText(const std::string& b) {
    if (b.empty()) return AssertionFailure() << "empty";
    std::size_t start = 0;
    while (start < b.size()) {
        const std::size_t end = b.find("\r\n", start);
        if (end == std::string::npos) return AssertionFailure() << "a line does not end in CR LF";
        if (end == start) return AssertionFailure() << "empty line";
        if (b.find_first_of("\r\n", start) != end) return AssertionFailure() << "stray line break";
        start = end + 2;
    }
    return AssertionSuccess();
}

std::vector<float> DecodedStereo(const std::string& gamePath, int& rate) {
    std::vector<float> all;
    rate = 0;
    // The decoders the game plays its media with: the synthesizer for General MIDI.
    ff::UseFFmpegDecoders();
    auto decoder = media::OpenMediaFile(RealPath(gamePath));
    if (!decoder) return all;
    rate = decoder->Info().sampleRate;
    std::vector<float> block(2 * 4096);
    while (const std::size_t got = decoder->ReadAudio(block.data(), 4096))
        all.insert(all.end(), block.begin(), block.begin() + std::ptrdiff_t(2 * got));
    return all;
}

double PlayedLoudness(const std::string& gamePath, Played how, double gainDb) {
    std::vector<float> samples;
    int rate = 0, channels = 1;
    if (how == Played::AsEffect) {
        const auto wave = sound::ReadWaveFile(RealPath(gamePath));
        if (!wave || wave->format.channels != 1) return -1000;
        rate = int(wave->format.samplesPerSec);
        for (std::int16_t v : wave->pcm.samples)
            samples.push_back(float(v) / 32768.0f);
    } else {
        samples = DecodedStereo(gamePath, rate);
        channels = 2;
    }
    const float gain = float(std::pow(10.0, gainDb / 20));
    for (float& v : samples)
        v *= gain;
    return content::IntegratedLufs(samples.data(), samples.size() / std::size_t(channels), channels, rate);
}

AssertionResult LoadsAsItsFormat(const content::ContentEntry& entry) {
    using content::Format;
    switch (entry.format) {
        case Format::Model:
            return Loads3ds(entry.path);
        case Format::Md2:
            return LoadsMd2(entry.path);
        case Format::Jpeg:
        case Format::Png:
        case Format::Bmp:
            return DecodesPicture(entry.path, entry.width, entry.height);
        case Format::Par:
            return ReadsParticleFile(entry.path);
        case Format::Wav:
            return DecodesWave(entry.path);
        case Format::Wma:
        case Format::Mp3:
        case Format::Ogg:
            return DecodesAudio(entry.path);
        case Format::Midi:
            return DecodesMidi(entry.path);
        case Format::Wmv:
            return DecodesVideo(entry.path);
        case Format::Text: {
            std::ifstream in(RealPath(entry.path), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            return IsCrLfText(bytes.str());
        }
    }
    return AssertionFailure() << "unknown format";
}

}  // namespace quorvel::test
