#pragma once
// Reader for ".md2" keyframed models (the force field and the radar).
//
// File axes are right-handed with Z up: X right, Y front, Z up. The reader turns them
// into the engine's left-handed axes as (x, z, y), a mirror, so the file's clockwise
// front faces stay clockwise here and the triangle order is kept. Texture coordinates
// are in skin pixels from the top-left corner and come out divided by the skin size.
// Skins and the packed normal indices are ignored: normals come from the geometry.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/engine/mesh_data.h"

namespace quorvel {

// Limits a file must keep, checked before anything is made from it. Vertices,
// triangles and frames are the format's own; texture coordinates are at most one per
// triangle corner, and exporters write one per corner.
inline constexpr int MaxMd2Vertices = 2048;
inline constexpr int MaxMd2Triangles = 4096;
inline constexpr int MaxMd2TexCoords = 3 * MaxMd2Triangles;
inline constexpr int MaxMd2Frames = 512;
// Keyframes times vertices (after uv seams are split): each holds a position and a
// normal, so this caps a model at 96 MiB. The largest models in use (a few thousand
// split vertices in a few hundred frames) stay well below.
inline constexpr std::int64_t MaxMd2KeyframeVertices = 1 << 22;
inline constexpr std::size_t MaxMd2FileBytes = 16 * 1024 * 1024;

// Every keyframe of the file at `path` (a Windows-style or real path); empty when the
// file is missing, damaged or breaks a limit, with the reason in `reason` when given.
std::optional<AnimatedModelData> LoadMd2(const std::string& path, std::string* reason = nullptr);

// The same from the file's bytes.
std::optional<AnimatedModelData> ParseMd2(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);

}  // namespace quorvel
