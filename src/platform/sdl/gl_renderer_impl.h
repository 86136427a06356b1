#pragma once
// The renderer's parts, shared by its files: scene passes (gl_scene.cpp), sky and
// lens flare (gl_sky.cpp), the 2D layer (gl_2d.cpp), and the frame target and its
// resources (gl_renderer.cpp). Nothing outside the renderer includes it.

#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <map>
#include <string>
#include <vector>

#include "platform/engine/scene.h"
#include "platform/sdl/gl_draw.h"
#include "platform/sdl/gl_renderer.h"

namespace quorvel::sdl {

namespace render {

// The scene's records, by their short names in every renderer file.
using engine::CameraItem;
using engine::ImageItem;
using engine::MaterialItem;
using engine::MeshItem;
using engine::MeshKind;
using engine::ModelItem;
using engine::Picture;
using engine::Placement;
using engine::Scene;
using engine::SkyItem;

inline constexpr float kDeg = 0.017453292519943295f;

inline glm::vec3 V(const Vector& v) {
    return {v.x, v.y, v.z};
}
inline glm::vec4 Rgba(const Colour& c) {
    return glm::vec4(c.r, c.g, c.b, c.a) / 255.0f;
}
inline glm::vec3 Rgb(const Colour& c) {
    return glm::vec3(c.r, c.g, c.b) / 255.0f;
}

// World to camera: rows right, up, front (the camera looks along +front).
inline glm::mat4 ViewMatrix(const Placement& p) {
    const glm::vec3 r = V(p.right), u = V(p.up), f = V(p.front), e = V(p.position);
    glm::mat4 m(1.0f);
    for (int i = 0; i < 3; ++i) {
        m[i][0] = r[i];
        m[i][1] = u[i];
        m[i][2] = f[i];
    }
    m[3][0] = -glm::dot(r, e);
    m[3][1] = -glm::dot(u, e);
    m[3][2] = -glm::dot(f, e);
    return m;
}

// Item space to world: columns right, up and front scaled, then the position.
inline glm::mat4 ItemMatrix(const Placement& p, const Vector& scale, const Vector& offset) {
    glm::mat4 m(1.0f);
    m[0] = glm::vec4(V(p.right) * scale.x, 0);
    m[1] = glm::vec4(V(p.up) * scale.y, 0);
    m[2] = glm::vec4(V(p.front) * scale.z, 0);
    m[3] = glm::vec4(V(p.position), 1);
    return m * glm::translate(glm::mat4(1.0f), V(offset));
}

inline glm::mat3 NormalMatrix(const Placement& p, const Vector& scale) {
    auto inv = [](float s) { return std::abs(s) > 1e-8f ? 1.0f / s : 0.0f; };
    return glm::mat3(V(p.right) * inv(scale.x), V(p.up) * inv(scale.y), V(p.front) * inv(scale.z));
}

// The six planes of a view-projection, for sphere tests.
struct Frustum {
    std::array<glm::vec4, 6> planes;
    explicit Frustum(const glm::mat4& vp) {
        auto row = [&](int i) { return glm::vec4(vp[0][i], vp[1][i], vp[2][i], vp[3][i]); };
        planes = {row(3) + row(0), row(3) - row(0), row(3) + row(1),
                  row(3) - row(1), row(3) + row(2), row(3) - row(2)};
        for (glm::vec4& p : planes)
            p /= std::max(glm::length(glm::vec3(p)), 1e-12f);
    }
    bool Sees(const glm::vec3& c, float radius) const {
        for (const glm::vec4& p : planes)
            if (glm::dot(glm::vec3(p), c) + p.w < -radius) return false;
        return true;
    }
};

// The picture an image shows: the texture it was given, else its own.
inline std::shared_ptr<const Picture> ImagePicture(const Scene& scene, const ImageItem& image) {
    if (image.textureId >= 0)
        if (const engine::TextureItem* t = scene.textures.Find(image.textureId); t && t->picture)
            return t->picture;
    return image.picture;
}

enum class Blend { None, Alpha, Add };

inline void SetBlend(Blend b) {
    if (b == Blend::None) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, b == Blend::Add ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
}

// The GL state the surface pass changes from draw to draw, so that a call is made
// only when the state changes. Forget() before a pass: other drawing (the 2D layer,
// the forms overlay) changes the same state behind its back.
class StateCache {
  public:
    void Forget() { *this = StateCache{}; }
    void Enable(GLenum cap, bool on) {
        const int i = cap == GL_CULL_FACE ? 0 : cap == GL_DEPTH_TEST ? 1 : 2;
        if (enabled_[i] == int(on)) return;
        enabled_[i] = int(on);
        on ? glEnable(cap) : glDisable(cap);
    }
    void DepthMask(bool on) {
        if (depthMask_ == int(on)) return;
        depthMask_ = int(on);
        glDepthMask(on ? GL_TRUE : GL_FALSE);
    }
    void SetBlend(Blend b) {
        if (blend_ == int(b)) return;
        blend_ = int(b);
        render::SetBlend(b);
    }
    void UseProgram(GLuint id) {
        if (program_ == id) return;
        program_ = id;
        glUseProgram(id);
    }
    void BindVertexArray(GLuint vao) {
        if (vao_ == vao) return;
        vao_ = vao;
        glBindVertexArray(vao);
    }
    void BindTexture(int unit, GLuint tex) {
        if (textures_[std::size_t(unit)] == tex) return;
        textures_[std::size_t(unit)] = tex;
        glActiveTexture(GLenum(GL_TEXTURE0 + unit));
        glBindTexture(GL_TEXTURE_2D, tex);
        glActiveTexture(GL_TEXTURE0);
    }
    void BindSampler(int unit, GLuint sampler) {
        if (samplers_[std::size_t(unit)] == sampler) return;
        samplers_[std::size_t(unit)] = sampler;
        glBindSampler(GLuint(unit), sampler);
    }
    void VertexArrayChanged() { vao_ = ~0u; }
    // An upload bound a texture to unit 0.
    void TextureChanged() { textures_[0] = ~0u; }

  private:
    std::array<int, 3> enabled_{-1, -1, -1};  // cull face, depth test, blend (unused)
    int depthMask_ = -1, blend_ = -1;
    GLuint program_ = ~0u, vao_ = ~0u;
    std::array<GLuint, 4> textures_{~0u, ~0u, ~0u, ~0u}, samplers_{~0u, ~0u, ~0u, ~0u};
};

// The view of one camera as the passes need it.
struct CameraView {
    const CameraItem* camera = nullptr;
    int x = 0, y = 0, width = 0, height = 0;  // viewport, top-left origin in pixels
    glm::mat4 view{1.0f}, proj{1.0f}, viewProj{1.0f};
    float nearPlane = 1, farPlane = 1000, fov = 70, aspect = 1;
};

// One surface to draw: a mesh, a sprite or an animated model.
struct SurfaceDraw {
    const MeshItem* mesh = nullptr;
    const ModelItem* model = nullptr;
    float depth = 0;    // along the camera's front, for back-to-front order
    int instance = -1;  // a static mesh's place in the pass's instance buffer
};

// Whether two sorted draws can go out as one instanced draw: the same static mesh
// model, material, textures and state, so only their item matrices differ.
inline bool SameRun(const SurfaceDraw& a, const SurfaceDraw& b) {
    if (!a.mesh || !b.mesh || a.mesh->kind != MeshKind::Model || b.mesh->kind != MeshKind::Model)
        return false;
    const MeshItem &x = *a.mesh, &y = *b.mesh;
    if (x.geometry != y.geometry || x.materialId != y.materialId || x.mode != y.mode || x.flags != y.flags ||
        x.depthMode != y.depthMode)
        return false;
    for (std::size_t i = 0; i < x.stages.size(); ++i)
        if (x.stages[i].textureId != y.stages[i].textureId || x.stages[i].mode != y.stages[i].mode)
            return false;
    return true;
}

}  // namespace render

struct GlRenderer::Impl {
    int generation = -1;
    bool ready = false;
    // Surface program variants (SurfaceVariant bits), built at first use; the pass
    // each one last had its view and lights for.
    std::array<SurfaceProgram, kSurfaceVariants> surfaces{};
    std::array<int, kSurfaceVariants> surfacePass{};
    std::array<bool, kSurfaceVariants> surfaceFailed{};
    // The material each variant last had, so an unchanged one is not sent again.
    struct MaterialUniforms {
        glm::vec4 diffuse{0.0f};
        glm::vec3 ambient{0.0f}, specular{0.0f}, emissive{0.0f};
        float opacity = 0;
        int additive = 0;
        std::array<int, 4> modes{};
        bool valid = false;
    };
    std::array<MaterialUniforms, kSurfaceVariants> surfaceMaterial{};
    int pass = 0;
    render::StateCache state;
    // What every surface program of the pass gets: the view, the scene's light and fog.
    struct PassUniforms {
        glm::mat4 viewProj{1.0f};
        glm::vec3 eye{0.0f};
        glm::mat3 viewRot{1.0f};
        glm::vec3 sceneAmbient{0.0f}, fogColour{0.0f};
        glm::vec2 fogRange{0.0f};
        int lightCount = 0;
        bool directionalOnly = true;  // every light has a direction only: lit per vertex
        std::array<glm::vec4, kMaxLights> lightPos{}, lightParam{};
        std::array<glm::vec3, kMaxLights> lightDir{}, lightColour{};
    } passUniforms;
    // The item matrices of a pass's static meshes, uploaded once per pass.
    GLuint instanceBuffer = 0;
    std::size_t instanceCapacity = 0;
    std::vector<float> instanceData;
    FlatProgram flat;
    FlatStream stream;
    TextureCache textures;
    GeometryCache geometry;
    GLuint glyphTexture = 0;
    int glyphWidth = 0, glyphHeight = 0;
    // Samplers: [filter 1..3][repeat, clamp] for the 3D textures, and the 2D ones.
    GLuint samplers3d[3][2] = {};
    GLuint samplerRepeat = 0, samplerClamp = 0, samplerNearest = 0;
    int width = 0, height = 0;
    int frames = 0;
    // BeginFrame's clear waits for the first drawing: a camera that covers the whole
    // frame clears it anyway, so the frame is cleared once.
    bool clearPending = false;
    bool drawAll = false;  // a hidden frame: every item drawn, in view or shown or not
    glm::vec4 clearColour{0, 0, 0, 1};
    // A frame's commands go to the driver when it is shown, in one part after the main
    // camera's sky (see DrawCamera): handed over every few thousand triangles, each part
    // had the software renderer go over the frame's tiles again, and a busy frame took
    // longer than sent at once.
    std::map<int, float> flareVisibility;  // flare item id -> 0..1 seen past the scene
    // The depth around a flare's sun, read into a pixel buffer after the main camera drew
    // and taken up in the next frame: read at once, the frame would wait for all of its
    // drawing to finish. The area read and the view it lay in go with it.
    struct FlareRead {
        GLuint buffer = 0;
        int gx = 0, gy = 0;
        int viewX = 0, viewY = 0, viewW = 0, viewH = 0;
        bool pending = false;
    };
    std::map<int, FlareRead> flareReads;  // flare item id -> its read in flight

    bool Ready();
    bool Target(const engine::Scene& scene);
    GLuint Texture(const engine::Scene& scene, int textureId, int detail);
    GLuint Sampler3d(const engine::Scene& scene, bool clamp) const;
    bool MakeView(const engine::Scene& scene, const engine::CameraItem& cam, render::CameraView& out) const;

    void DrawCamera(const engine::Scene& scene, const render::CameraView& cv, bool main);
    // True when a sky face was drawn.
    bool DrawSky(const engine::Scene& scene, const render::CameraView& cv);
    void BeginSurfaces(const engine::Scene& scene, const render::CameraView& cv);
    void DrawSurface(const engine::Scene& scene, const render::CameraView& cv, const render::SurfaceDraw& d);
    // Draws `count` static meshes that SameRun joins, with one instanced call.
    void DrawMeshRun(const engine::Scene& scene, const render::SurfaceDraw* first, std::size_t count);
    // Builds (at first use) and selects a surface program variant with this pass's
    // uniforms; null when it does not build.
    const SurfaceProgram* UseSurface(int variant);
    // Selects the variant for these stages and material and binds the stages' textures.
    const SurfaceProgram* SetSurface(const engine::Scene& scene,
                                     const std::array<engine::TextureStage, 4>& stages, bool baseOnly,
                                     const engine::MaterialItem& m, bool lit, float opacity, bool additive,
                                     bool instanced = false);
    void DrawParticles(const engine::Scene& scene, const render::CameraView& cv);
    void SampleFlares(const engine::Scene& scene, const render::CameraView& cv);
    void DrawFlares(const engine::Scene& scene, const render::CameraView& cv);
    void ReleaseFlareReads();
    // Hands the heap's free pages back to the system when pictures were uploaded since.
    void TrimAfterUploads();
    int uploadsTrimmed = 0;

    void Draw2D(const engine::Scene& scene);
    void DrawImage(const engine::Scene& scene, const engine::ImageItem& image);
    void DrawText(const engine::Scene& scene, const engine::Draw2DCall& call);
    // Queues a row of text cut from a grid of glyph cells: character c is cell
    // c - firstCode, `columns` cells to a row; cells outside [firstCell, cellCount) are skipped.
    void QueueGlyphs(const std::string& text, int firstCode, int firstCell, int cellCount, int columns,
                     glm::vec2 cell, glm::vec2 atlas, glm::vec2 at, glm::vec2 glyph, float advance,
                     const glm::vec4& colour);
    void DrawFontText(const engine::Scene& scene, const engine::ImageItem& font, const std::string& text,
                      glm::vec2 at, float glyphScale, int textMode, const glm::vec4& colour);
    void Begin2D() const;

    void ClearPending();
    void Release();
};

}  // namespace quorvel::sdl
