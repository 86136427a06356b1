#pragma once
// LoadMesh: a ".3ds" file under "\mesh\" becomes a named mesh, set up in one call
// (texture, material, scale, position, rotation, switches and spin).

#include <string>

#include "platform/engine/engine.h"
#include "platform/engine/types.h"
#include "platform/system/paths.h"

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

// The same on given importer and mesh handles (EngineMeshImporter and EngineMeshes,
// or stand-ins with the same calls).
template <class Importer, class Meshes>
void LoadMeshWith(Importer& importer, Meshes& meshes, const std::string& key, const std::string& texture,
                  const std::string& file, const std::string& material, float x, float y, float z,
                  float scale, float rotationX, float rotationY, float rotationZ, bool switchA, bool switchB,
                  int motionX, int motionY, int motionZ, float motionRate, bool modeSwitch, bool keepVector,
                  bool switchC) {
    const std::string name = file == "SameName" ? key : file;
    if (importer.OpenModelFile(sys::ProgramFolder() + "\\mesh\\" + name + ".3ds") < 0) return;
    importer.BuildMesh(key, -1, 0, 0, 0, -1);
    meshes.SetMeshMode(modeSwitch ? 2 : 1);
    if (switchA) meshes.SetMeshFlags(1);
    if (switchB) meshes.SetMeshFlags(7);
    if (switchC) meshes.SetMeshFlags(4);
    meshes.SetTexture(0, texture);
    meshes.SetMaterial(material);
    meshes.SetScale(Vector{scale, scale, scale});
    if (!keepVector) meshes.SetMeshVector(Vector{0, 0, 0});
    meshes.SetPosition(Vector{x, y, z});
    meshes.SetRotation(Vector{rotationX, rotationY, rotationZ});
    meshes.SetMeshMotion(Vector{float(motionX), float(motionY), float(motionZ)}, motionRate, 1, 2, 2, 2);
    importer.CloseModelFile();
}

}  // namespace quorvel
