#pragma once
// OpenGL building blocks of the renderer: the two shader programs, the caches of
// uploaded pictures and geometry, and a stream of coloured, textured triangles.

#include <epoxy/gl.h>

#include <array>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "platform/engine/mesh_data.h"
#include "platform/engine/scene.h"

namespace quorvel::sdl {

constexpr int kMaxLights = 8;

// What a surface program draws: OR the bits for the variant a surface needs.
enum SurfaceVariant : int {
    kSurfaceLit = 1,       // the lights (else full bright)
    kSurfaceFlat = 2,      // flat shading: one light per triangle
    kSurfaceSpecular = 4,  // lit with highlights
    kSurfaceFog = 8,
    kSurfaceBase = 16,        // a base texture
    kSurfaceStages = 32,      // texture stages 1 to 3 over the base
    kSurfaceVertexLit = 64,   // lit per vertex: every light has a direction only
    kSurfaceInstanced = 128,  // item matrices per instance (static meshes), not uniforms
    kSurfaceVariants = 256,
};

// Lit, textured surfaces: meshes, sprites and animated models.
struct SurfaceProgram {
    GLuint id = 0;
    GLint model = -1, normalMat = -1, viewProj = -1, blend = -1;
    GLint eye = -1, viewRot = -1;
    GLint tex[4] = {-1, -1, -1, -1}, stageMode[4] = {-1, -1, -1, -1};
    GLint diffuse = -1, ambient = -1, specular = -1, emissive = -1, sceneAmbient = -1, opacity = -1;
    GLint lightCount = -1, lightPos = -1, lightDir = -1, lightColour = -1, lightParam = -1;
    GLint fogColour = -1, fogRange = -1;
    GLint additive = -1;
};

// Plain textured, coloured triangles: sky, particles, flare and the 2D layer.
struct FlatProgram {
    GLuint id = 0;
    GLint mvp = -1, tex = -1, useTex = -1;
};

bool BuildSurfaceProgram(SurfaceProgram& p, int variant);
bool BuildFlatProgram(FlatProgram& p);

// One vertex of the flat stream.
struct FlatVertex {
    float x, y, z;
    float u, v;
    float r, g, b, a;  // 0..1
};

// Quads built on the CPU each frame and drawn in one call per texture and blend: four
// corners each, shared by its two triangles through a fixed index pattern.
class FlatStream {
  public:
    void Init();
    void Release();
    // A quad from four corners (top-left, top-right, bottom-right, bottom-left) with
    // their texture coordinates.
    void Quad(const std::array<glm::vec3, 4>& corners, const std::array<glm::vec2, 4>& uv,
              const glm::vec4& colour);
    bool Empty() const { return vertices_.empty(); }
    // Draws what was added and empties the stream.
    void Flush();

  private:
    GLuint vao_ = 0, vbo_ = 0, ibo_ = 0;
    std::size_t capacity_ = 0;
    std::size_t quadsIndexed_ = 0;  // quads the index buffer covers
    std::vector<FlatVertex> vertices_;
};

// GPU copies of the engine's pictures, uploaded once per picture and detail level
// and dropped when the engine lets the picture go. Pictures read from the same file
// share one copy.
class TextureCache {
  public:
    // detail n draws the picture at 1/n of its resolution. Without mipmaps the copy
    // has its full-size level only: for pictures only ever drawn through a filter
    // that reads no mipmap (the 2D layer), which then reads a copy with mipmaps
    // where there is one already.
    GLuint Get(const std::shared_ptr<const engine::Picture>& picture, int detail, bool mipmaps = true);
    // Deletes the copies of pictures nobody holds any more.
    void Sweep();
    void Release();
    std::size_t Size() const { return entries_.size(); }
    // Textures held in the driver (a copy shared by several pictures counts once).
    std::size_t Textures() const { return users_.size(); }
    // Counts uploads: each one leaves its texture bound to the active unit.
    int Uploads() const { return uploads_; }

  private:
    struct Entry {
        GLuint id = 0;
        std::weak_ptr<const engine::Picture> source;
    };
    using Key = std::tuple<const engine::Picture*, int, bool>;
    // Drops an entry's hold on its texture, deleting the texture with the last one.
    void Drop(const Entry& e);
    // A live copy of a picture read from the same file as `picture`, or 0.
    GLuint SameFile(const engine::Picture& picture, int detail, bool mipmaps) const;
    std::map<Key, Entry> entries_;
    std::map<GLuint, int> users_;  // entries holding each texture
    int uploads_ = 0;
};

// Static meshes in vertex buffers.
struct GpuMesh {
    GLuint vao = 0, vbo = 0, ibo = 0;
    GLsizei indexCount = 0;
};

// Keyframed models: every keyframe's positions and normals in one buffer, so a draw
// only points the two pose attributes at the two keyframes it blends.
struct GpuModel {
    GLuint vao = 0, poseVbo = 0, uvVbo = 0, ibo = 0;
    GLsizei indexCount = 0;
    std::size_t vertexCount = 0;
    int frameCount = 0;
};

class GeometryCache {
  public:
    const GpuMesh* Get(const std::shared_ptr<const MeshData>& mesh);
    const GpuModel* Get(const std::shared_ptr<const AnimatedModelData>& model);
    // The unit quad (-0.5..0.5 in x and y, facing -z) for sprites.
    const GpuMesh& Quad();
    void Sweep();
    void Release();

  private:
    template <class Data, class Gpu>
    struct Entry {
        Gpu gpu;
        std::weak_ptr<const Data> source;
    };
    std::unordered_map<const MeshData*, Entry<MeshData, GpuMesh>> meshes_;
    std::unordered_map<const AnimatedModelData*, Entry<AnimatedModelData, GpuModel>> models_;
    GpuMesh quad_;
};

// The per-instance attributes of an instanced surface: the item matrix (4 columns)
// then the normal matrix (3 columns).
constexpr GLuint kInstanceAttribute = 5;
constexpr std::size_t kInstanceFloats = 16 + 9;

// Points a mesh's instance attributes at `offset` bytes into `buffer`.
void BindInstances(const GpuMesh& mesh, GLuint buffer, std::size_t offset);

// Points a model's pose attributes at keyframes a and b.
void BindModelPose(const GpuModel& model, int a, int b);

}  // namespace quorvel::sdl
