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

// Every keyframe of the file at `path` (a Windows-style or real path); empty when the
// file is missing or damaged.
std::optional<AnimatedModelData> LoadMd2(const std::string& path);

// The same from the file's bytes.
std::optional<AnimatedModelData> ParseMd2(std::span<const std::uint8_t> bytes);

}  // namespace quorvel
