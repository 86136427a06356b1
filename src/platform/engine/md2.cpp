#include "platform/engine/md2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/system/paths.h"
#include "platform/system/safe_file.h"

namespace quorvel {
namespace {

constexpr std::size_t kHeaderSize = 68;       // magic plus 16 little-endian 32-bit fields
constexpr std::size_t kFrameHeaderSize = 40;  // scale, translate, 16-character name

std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int32_t>(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                                     std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::int16_t I16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int16_t>(U16(b, at));
}

float F32(std::span<const std::uint8_t> b, std::size_t at) {
    const std::uint32_t u = static_cast<std::uint32_t>(I32(b, at));
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

// The one place where file axes become engine axes.
Vector FromFileAxes(float x, float y, float z) {
    return {x, z, y};
}

// True when `count` records of `size` bytes from `offset` lie inside a file of `fileSize`.
bool Inside(std::int32_t offset, std::int64_t count, std::int64_t size, std::size_t fileSize) {
    if (offset < 0 || count < 0) return false;
    return std::int64_t(offset) + count * size <= std::int64_t(fileSize);
}

}  // namespace

std::optional<AnimatedModelData> ParseMd2(std::span<const std::uint8_t> b, std::string* reason) {
    auto damaged = [&](const char* why) -> std::optional<AnimatedModelData> {
        sys::Fail(reason, why);
        return std::nullopt;
    };
    if (b.size() < kHeaderSize || std::memcmp(b.data(), "IDP2", 4) != 0 || I32(b, 4) != 8)
        return damaged("not an md2 file");
    const std::int32_t skinWidth = I32(b, 8), skinHeight = I32(b, 12), frameSize = I32(b, 16);
    const std::int32_t numSkins = I32(b, 20), numVerts = I32(b, 24), numSt = I32(b, 28);
    const std::int32_t numTris = I32(b, 32), numGlCmds = I32(b, 36), numFrames = I32(b, 40);
    const std::int32_t ofsSkins = I32(b, 44), ofsSt = I32(b, 48), ofsTris = I32(b, 52);
    const std::int32_t ofsFrames = I32(b, 56), ofsGlCmds = I32(b, 60), ofsEnd = I32(b, 64);

    if (skinWidth <= 0 || skinHeight <= 0 || numVerts <= 0 || numSt <= 0 || numTris <= 0 || numFrames <= 0 ||
        numSkins < 0 || numGlCmds < 0)
        return damaged("bad counts");
    for (const auto& [count, limit, what] :
         {std::tuple{numVerts, MaxMd2Vertices, "vertices"},
          std::tuple{numSt, MaxMd2TexCoords, "texture coordinates"},
          std::tuple{numTris, MaxMd2Triangles, "triangles"}, std::tuple{numFrames, MaxMd2Frames, "frames"}})
        if (count > limit) {
            const std::string why =
                std::to_string(count) + " " + what + ", over the format's " + std::to_string(limit);
            return damaged(why.c_str());
        }
    if (frameSize < 0 || std::int64_t(frameSize) < std::int64_t(kFrameHeaderSize) + 4LL * numVerts)
        return damaged("bad frame size");
    // A file shorter than its header says is truncated, even where the cut part is unused.
    if (ofsEnd < 0 || std::size_t(ofsEnd) > b.size()) return damaged("truncated");
    if (!Inside(ofsSkins, numSkins, 64, b.size()) || !Inside(ofsSt, numSt, 4, b.size()) ||
        !Inside(ofsTris, numTris, 12, b.size()) || !Inside(ofsFrames, numFrames, frameSize, b.size()) ||
        !Inside(ofsGlCmds, numGlCmds, 4, b.size()))
        return damaged("a part lies outside the file");

    AnimatedModelData model;

    // Split file vertices where one position carries several texture coordinates;
    // `fileVertex` remembers the file vertex so normals stay smooth across uv seams.
    std::vector<std::uint32_t> fileVertex;
    std::unordered_map<std::uint64_t, std::uint32_t> pairIndex;
    model.indices.reserve(std::size_t(numTris) * 3);
    for (std::int32_t t = 0; t < numTris; ++t) {
        const std::size_t at = std::size_t(ofsTris) + std::size_t(t) * 12;
        for (int k = 0; k < 3; ++k) {
            const std::uint16_t v = U16(b, at + 2 * k);
            const std::uint16_t st = U16(b, at + 6 + 2 * k);
            if (v >= numVerts || st >= numSt) return damaged("an index outside its table");
            const std::uint64_t key = std::uint64_t(v) << 16 | st;
            auto [it, added] = pairIndex.try_emplace(key, std::uint32_t(fileVertex.size()));
            if (added) {
                fileVertex.push_back(v);
                const std::size_t stAt = std::size_t(ofsSt) + std::size_t(st) * 4;
                model.uvs.push_back(
                    {float(I16(b, stAt)) / float(skinWidth), float(I16(b, stAt + 2)) / float(skinHeight)});
            }
            model.indices.push_back(it->second);
        }
    }

    // Every keyframe holds a position and a normal per vertex: bound the total before
    // any frame is made.
    if (std::int64_t(fileVertex.size()) * numFrames > MaxMd2KeyframeVertices)
        return damaged("too many vertices over all frames");

    Vector low{}, high{};
    double r2 = 0;
    model.frames.reserve(std::size_t(numFrames));
    for (std::int32_t f = 0; f < numFrames; ++f) {
        const std::size_t at = std::size_t(ofsFrames) + std::size_t(f) * std::size_t(frameSize);
        float scale[3], move[3];
        for (int k = 0; k < 3; ++k) {
            scale[k] = F32(b, at + 4 * k);
            move[k] = F32(b, at + 12 + 4 * k);
            if (!std::isfinite(scale[k]) || !std::isfinite(move[k]))
                return damaged("a value is not a finite number");
        }
        Keyframe frame;
        const char* name = reinterpret_cast<const char*>(b.data() + at + 24);
        frame.name.assign(name, strnlen(name, 16));
        frame.positions.reserve(fileVertex.size());
        const std::size_t verts = at + kFrameHeaderSize;
        for (std::uint32_t v : fileVertex) {
            const std::size_t p = verts + std::size_t(v) * 4;
            const Vector q = FromFileAxes(b[p] * scale[0] + move[0], b[p + 1] * scale[1] + move[1],
                                          b[p + 2] * scale[2] + move[2]);
            // Finite factors can still overflow to infinity.
            if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z))
                return damaged("a position is not a finite number");
            if (model.frames.empty() && frame.positions.empty()) low = high = q;
            low = {std::min(low.x, q.x), std::min(low.y, q.y), std::min(low.z, q.z)};
            high = {std::max(high.x, q.x), std::max(high.y, q.y), std::max(high.z, q.z)};
            r2 = std::max(r2, double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z);
            frame.positions.push_back(q);
        }
        frame.normals = ComputeSmoothNormals(frame.positions, model.indices, fileVertex);
        model.frames.push_back(std::move(frame));
    }
    model.boundsMin = low;
    model.boundsMax = high;
    model.radius = float(std::sqrt(r2));
    if (!std::isfinite(model.radius)) return damaged("a position is too far out");
    return model;
}

std::optional<AnimatedModelData> LoadMd2(const std::string& path, std::string* reason) {
    const auto bytes = sys::ReadRegularFile(sys::ResolvePath(path), MaxMd2FileBytes, reason);
    if (!bytes) return std::nullopt;
    return ParseMd2({reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()}, reason);
}

}  // namespace quorvel
