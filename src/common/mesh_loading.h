#pragma once
// LoadMesh: a ".3ds" file under "\mesh\" becomes a named mesh, set up in one call
// (texture, material, scale, position, rotation, switches and spin).

#include <string>

#include "platform/engine/types.h"

namespace quorvel {

// What callers pass for the arguments they do not need.
// switchA True: SetMeshFlags(1); switchB: SetMeshFlags(7); switchC: SetMeshFlags(4).
// modeSwitch True: SetMeshMode(2), else 1. keepVector False: the model file's own
// origin is put back on the item's origin (SetMeshVector(0, 0, 0)).
// A file of exactly "SameName" is the key's own file. A file that cannot be read
// creates nothing and leaves the current mesh as it was.
void LoadMesh(const std::string& key, const std::string& texture, const std::string& file,
              const std::string& material, float x, float y, float z, float scale, float rotationX,
              float rotationY, float rotationZ, bool switchA, bool switchB, int motionX, int motionY,
              int motionZ, float motionRate, bool modeSwitch, bool keepVector, bool switchC);

}  // namespace quorvel
