#include "platform/engine/import_3ds.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <string>
#include <vector>

#include "platform/system/paths.h"
#include "platform/system/safe_file.h"

namespace quorvel {
namespace {

bool Finite(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

std::optional<MeshData> Load3ds(const std::string& path, std::string* reason) {
    const auto bytes = sys::ReadRegularFile(sys::ResolvePath(path), Max3dsFileBytes, reason);
    if (!bytes) return {};
    return Parse3ds(*bytes, reason);
}

std::optional<MeshData> Parse3ds(const std::string& bytes, std::string* reason) {
    auto damaged = [&](const char* why) -> std::optional<MeshData> {
        sys::Fail(reason, why);
        return std::nullopt;
    };
    if (bytes.empty()) return damaged("empty");

    Assimp::Importer importer;
    // Lines and points have no place in a mesh the engine draws and hit-tests.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    // The 3ds reader smooths faces of smoothing group 0 (meant flat) across every
    // shared corner, so boxes lose their edges: drop its normals and smooth again only
    // between faces that meet at less than a right-ish angle.
    importer.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS, aiComponent_NORMALS);
    importer.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, 60.0f);
    // assimp turns the file's Z-up axes to Y-up right-handed; ConvertToLeftHanded then
    // mirrors Z, reverses the winding and flips v, which gives the engine's conventions.
    // It runs as a second pass: in one pass the normals would be made after the winding
    // is reversed, and would point inward.
    const unsigned flags = aiProcess_RemoveComponent | aiProcess_PreTransformVertices |
                           aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_GenSmoothNormals |
                           aiProcess_JoinIdenticalVertices | aiProcess_ValidateDataStructure;
    // The hint forces the 3ds reader whatever the file name says.
    const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(), flags, "3ds");
    if (scene) scene = importer.ApplyPostProcessing(aiProcess_ConvertToLeftHanded);
    if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)) return damaged("not a 3ds file or damaged");
    if (!scene->HasMeshes()) return damaged("no triangles");

    // Bound what the copy below makes before making it.
    std::size_t vertices = 0, faces = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m)
        if (const aiMesh* src = scene->mMeshes[m]) vertices += src->mNumVertices, faces += src->mNumFaces;
    if (vertices > Max3dsVertices || faces > Max3dsTriangles) {
        const std::string why = std::to_string(vertices) + " vertices and " + std::to_string(faces) +
                                " triangles, over the limits";
        return damaged(why.c_str());
    }

    MeshData mesh;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* src = scene->mMeshes[m];
        if (!src || !src->HasPositions() || !src->HasFaces()) continue;
        const std::uint32_t base = std::uint32_t(mesh.positions.size());
        const aiVector3D* uv = src->HasTextureCoords(0) ? src->mTextureCoords[0] : nullptr;
        for (unsigned v = 0; v < src->mNumVertices; ++v) {
            const aiVector3D& p = src->mVertices[v];
            if (!Finite(p) || (uv && !Finite(uv[v]))) return damaged("a value is not a finite number");
            mesh.positions.push_back({p.x, p.y, p.z});
            Vector n{0, 1, 0};
            if (src->HasNormals()) {
                const aiVector3D& q = src->mNormals[v];
                // assimp leaves NaN normals on vertices of degenerate faces.
                if (Finite(q) && q.SquareLength() > 0) n = {q.x, q.y, q.z};
            }
            mesh.normals.push_back(n);
            mesh.uvs.push_back(uv ? Vector2{uv[v].x, uv[v].y} : Vector2{});
        }
        for (unsigned f = 0; f < src->mNumFaces; ++f) {
            const aiFace& face = src->mFaces[f];
            if (face.mNumIndices != 3) continue;
            for (unsigned k = 0; k < 3; ++k)
                mesh.indices.push_back(base + face.mIndices[k]);
        }
    }
    if (mesh.Empty()) return damaged("no triangles");
    ComputeBounds(mesh);
    // Finite points can still lie so far out that the radius overflows.
    if (!std::isfinite(mesh.radius)) return damaged("a position is too far out");
    return mesh;
}

}  // namespace quorvel
