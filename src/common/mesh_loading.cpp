#include "common/mesh_loading.h"

#include "platform/engine/engine.h"
#include "platform/system/paths.h"

namespace quorvel {

void LoadMesh(const std::string& key, const std::string& texture, const std::string& file,
              const std::string& material, float x, float y, float z, float scale, float rotationX,
              float rotationY, float rotationZ, bool switchA, bool switchB, int motionX, int motionY,
              int motionZ, float motionRate, bool modeSwitch, bool keepVector, bool switchC) {
    EngineMeshImporter importer;
    EngineMeshes meshes;
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
