#include "common/mesh_loading.h"

namespace quorvel {

void LoadMesh(const std::string& key, const std::string& texture, const std::string& file,
              const std::string& material, float x, float y, float z, float scale, float rotationX,
              float rotationY, float rotationZ, bool switchA, bool switchB, int motionX, int motionY,
              int motionZ, float motionRate, bool modeSwitch, bool keepVector, bool switchC) {
    EngineMeshImporter importer;
    EngineMeshes meshes;
    LoadMeshWith(importer, meshes, key, texture, file, material, x, y, z, scale, rotationX, rotationY,
                 rotationZ, switchA, switchB, motionX, motionY, motionZ, motionRate, modeSwitch, keepVector,
                 switchC);
}

}  // namespace quorvel
