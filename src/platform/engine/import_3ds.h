#pragma once
// Reader for ".3ds" models, through assimp.
//
// File axes are right-handed with Z up: X right, Y front, Z up, front faces counter-
// clockwise. The engine gets (x, z, y) with the triangle order reversed, so front faces
// are clockwise in its left-handed axes, and uv (0,0) at the texture's top-left corner.
// A writer that holds engine-space points puts (x, z, y) into the file.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/engine/mesh_data.h"

namespace quorvel {

// All objects of the file at `path` (a Windows-style or real path) merged into one
// mesh with their transforms applied, triangulated, with smooth normals where the file
// has none. Empty when the file is missing, damaged (a value that is not a finite
// number too), breaks a limit or holds no triangles, with the reason in `reason`
// when given.
std::optional<MeshData> Load3ds(const std::string& path, std::string* reason = nullptr);

// The same from the file's bytes.
std::optional<MeshData> Parse3ds(const std::string& bytes, std::string* reason = nullptr);

// The file-size cap is the real bound: the format has no limit on objects, only
// 65535 vertices and faces in each. The counts follow from it, so any file under the
// cap is read: every face takes at least 8 bytes, and the reader gives each face its
// own corners before equal ones are joined. At the cap the engine's copy is ~450 MB.
inline constexpr std::size_t Max3dsFileBytes = 32 * 1024 * 1024;
inline constexpr std::size_t Max3dsTriangles = Max3dsFileBytes / 8;
inline constexpr std::size_t Max3dsVertices = 3 * Max3dsTriangles;

}  // namespace quorvel
