#include "platform/sdl/gl_renderer.h"

#include <epoxy/gl.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <map>
#include <vector>

#include "platform/sdl/gl_draw.h"
#include "platform/sdl/glyphs.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/window.h"

namespace quorvel::sdl {

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

namespace {

constexpr float kDeg = 0.017453292519943295f;

glm::vec3 V(const Vector& v) {
    return {v.x, v.y, v.z};
}
glm::vec4 Rgba(const Colour& c) {
    return glm::vec4(c.r, c.g, c.b, c.a) / 255.0f;
}
glm::vec3 Rgb(const Colour& c) {
    return glm::vec3(c.r, c.g, c.b) / 255.0f;
}

// World to camera: rows right, up, front (the camera looks along +front).
glm::mat4 ViewMatrix(const Placement& p) {
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
glm::mat4 ItemMatrix(const Placement& p, const Vector& scale, const Vector& offset) {
    glm::mat4 m(1.0f);
    m[0] = glm::vec4(V(p.right) * scale.x, 0);
    m[1] = glm::vec4(V(p.up) * scale.y, 0);
    m[2] = glm::vec4(V(p.front) * scale.z, 0);
    m[3] = glm::vec4(V(p.position), 1);
    return m * glm::translate(glm::mat4(1.0f), V(offset));
}

glm::mat3 NormalMatrix(const Placement& p, const Vector& scale) {
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

enum class Blend { None, Alpha, Add };

void SetBlend(Blend b) {
    if (b == Blend::None) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, b == Blend::Add ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
}

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
    float depth = 0;  // along the camera's front, for back-to-front order
};

}  // namespace

struct GlRenderer::Impl {
    int generation = -1;
    bool ready = false;
    SurfaceProgram surface;
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
    std::map<int, float> flareVisibility;  // flare item id -> 0..1 seen past the scene

    bool Ready();
    bool Target(const Scene& scene);
    GLuint Texture(const Scene& scene, int textureId, int detail);
    GLuint Sampler3d(const Scene& scene, bool clamp) const;
    bool MakeView(const Scene& scene, const CameraItem& cam, CameraView& out) const;

    void DrawCamera(const Scene& scene, const CameraView& cv, bool main);
    void DrawSky(const Scene& scene, const CameraView& cv);
    void BeginSurfaces(const Scene& scene, const CameraView& cv);
    void DrawSurface(const Scene& scene, const CameraView& cv, const SurfaceDraw& d);
    void BindStages(const Scene& scene, const std::array<engine::TextureStage, 4>& stages, bool baseOnly);
    void SetMaterial(const MaterialItem& m, bool lit, float opacity, bool additive);
    void DrawParticles(const Scene& scene, const CameraView& cv);
    void SampleFlares(const Scene& scene, const CameraView& cv);
    void DrawFlares(const Scene& scene, const CameraView& cv);

    void Draw2D(const Scene& scene);
    void DrawImage(const Scene& scene, const ImageItem& image);
    void DrawText(const Scene& scene, const engine::Draw2DCall& call);
    // Queues a row of text cut from a grid of glyph cells: character c is cell
    // c - firstCode, `columns` cells to a row; cells outside [firstCell, cellCount) are skipped.
    void QueueGlyphs(const std::string& text, int firstCode, int firstCell, int cellCount, int columns,
                     glm::vec2 cell, glm::vec2 atlas, glm::vec2 at, glm::vec2 glyph, float advance,
                     const glm::vec4& colour);
    void DrawFontText(const Scene& scene, const ImageItem& font, const std::string& text, glm::vec2 at,
                      float glyphScale, int textMode, const glm::vec4& colour);
    void Begin2D() const;

    void Release();
};

// ---- Resources ---------------------------------------------------------------------

bool GlRenderer::Impl::Ready() {
    if (!detail::EnsureContext()) return false;
    if (generation == detail::ContextGeneration()) return ready;
    // A new context: whatever was made in an older one went with it.
    generation = detail::ContextGeneration();
    textures = TextureCache{};
    geometry = GeometryCache{};
    stream = FlatStream{};
    flareVisibility.clear();
    ready = BuildSurfaceProgram(surface) && BuildFlatProgram(flat);
    if (!ready) return false;
    stream.Init();
    int gw = 0, gh = 0;
    const std::vector<std::uint8_t> atlas = GlyphAtlas(gw, gh);
    glyphWidth = gw;
    glyphHeight = gh;
    glGenTextures(1, &glyphTexture);
    glBindTexture(GL_TEXTURE_2D, glyphTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, gw, gh, 0, GL_RGBA, GL_UNSIGNED_BYTE, atlas.data());
    auto make = [](GLenum minFilter, GLenum magFilter, GLenum wrap) {
        GLuint s = 0;
        glGenSamplers(1, &s);
        glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, GLint(minFilter));
        glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, GLint(magFilter));
        glSamplerParameteri(s, GL_TEXTURE_WRAP_S, GLint(wrap));
        glSamplerParameteri(s, GL_TEXTURE_WRAP_T, GLint(wrap));
        return s;
    };
    for (int w = 0; w < 2; ++w) {
        const GLenum wrap = w ? GL_CLAMP_TO_EDGE : GL_REPEAT;
        samplers3d[0][w] = make(GL_NEAREST, GL_NEAREST, wrap);
        samplers3d[1][w] = make(GL_LINEAR, GL_LINEAR, wrap);
        samplers3d[2][w] = make(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, wrap);
    }
    samplerRepeat = make(GL_LINEAR, GL_LINEAR, GL_REPEAT);
    samplerClamp = make(GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE);
    samplerNearest = make(GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE);
    return true;
}

void GlRenderer::Impl::Release() {
    if (!ready || generation != detail::ContextGeneration() || !detail::EnsureContext()) return;
    textures.Release();
    geometry.Release();
    stream.Release();
    if (glyphTexture) glDeleteTextures(1, &glyphTexture);
    for (auto& pair : samplers3d)
        glDeleteSamplers(2, pair);
    for (GLuint s : {samplerRepeat, samplerClamp, samplerNearest})
        glDeleteSamplers(1, &s);
    if (surface.id) glDeleteProgram(surface.id);
    if (flat.id) glDeleteProgram(flat.id);
    ready = false;
}

bool GlRenderer::Impl::Target(const Scene& scene) {
    if (!Ready() || !detail::BindFrameTarget(scene.screenWidth, scene.screenHeight)) return false;
    width = scene.screenWidth;
    height = scene.screenHeight;
    return true;
}

GLuint GlRenderer::Impl::Texture(const Scene& scene, int textureId, int detail) {
    const engine::TextureItem* t = textureId >= 0 ? scene.textures.Find(textureId) : nullptr;
    return t ? textures.Get(t->picture, detail) : 0;
}

GLuint GlRenderer::Impl::Sampler3d(const Scene& scene, bool clamp) const {
    const int filter = engine::TextureFilter(scene.frame);
    return samplers3d[filter][clamp ? 1 : 0];
}

bool GlRenderer::Impl::MakeView(const Scene& scene, const CameraItem& cam, CameraView& cv) const {
    int x0 = 0, y0 = 0, x1 = scene.screenWidth, y1 = scene.screenHeight;
    if (cam.hasViewport) {
        x0 = int(std::lround(std::min(cam.viewTopLeft.x, cam.viewBottomRight.x)));
        y0 = int(std::lround(std::min(cam.viewTopLeft.y, cam.viewBottomRight.y)));
        x1 = int(std::lround(std::max(cam.viewTopLeft.x, cam.viewBottomRight.x)));
        y1 = int(std::lround(std::max(cam.viewTopLeft.y, cam.viewBottomRight.y)));
        x0 = std::clamp(x0, 0, scene.screenWidth);
        x1 = std::clamp(x1, 0, scene.screenWidth);
        y0 = std::clamp(y0, 0, scene.screenHeight);
        y1 = std::clamp(y1, 0, scene.screenHeight);
    }
    if (x1 - x0 <= 0 || y1 - y0 <= 0) return false;
    cv.camera = &cam;
    cv.x = x0;
    cv.y = y0;
    cv.width = x1 - x0;
    cv.height = y1 - y0;
    const LensRec& lens = cam.lens;
    cv.nearPlane = std::isfinite(lens.NearPlane) ? std::max(lens.NearPlane, 1e-3f) : 1.0f;
    cv.farPlane = std::isfinite(lens.FarPlane) ? std::max(lens.FarPlane, cv.nearPlane * 1.01f) : 150000.0f;
    cv.fov = std::isfinite(lens.FieldOfView) ? std::clamp(lens.FieldOfView, 1.0f, 179.0f) : 70.0f;
    cv.aspect =
        lens.Aspect > 0 && std::isfinite(lens.Aspect) ? lens.Aspect : float(cv.width) / float(cv.height);
    cv.view = ViewMatrix(cam.place);
    cv.proj = glm::perspectiveLH_NO(cv.fov * kDeg, cv.aspect, cv.nearPlane, cv.farPlane);
    cv.viewProj = cv.proj * cv.view;
    return true;
}

// ---- 3D --------------------------------------------------------------------------------

void GlRenderer::Impl::DrawCamera(const Scene& scene, const CameraView& cv, bool main) {
    glEnable(GL_SCISSOR_TEST);
    glViewport(cv.x, height - cv.y - cv.height, cv.width, cv.height);
    glScissor(cv.x, height - cv.y - cv.height, cv.width, cv.height);
    const glm::vec4 bg = Rgba(scene.frame.sceneColourA);
    glClearColor(bg.r, bg.g, bg.b, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    DrawSky(scene, cv);

    // Opaque surfaces first, in any order; blended ones after them, farthest first.
    std::vector<SurfaceDraw> opaque, blended;
    const glm::vec3 eye = V(cv.camera->place.position);
    const glm::vec3 front = V(cv.camera->place.front);
    const Frustum frustum(cv.viewProj);
    for (const MeshItem& m : scene.meshes.Items()) {
        if (!m.visible) continue;
        const glm::vec3 pos = V(m.place.position);
        if (m.kind == MeshKind::Model) {
            if (!m.geometry || m.geometry->Empty()) continue;
            const MeshData& g = *m.geometry;
            const glm::vec3 centre = (V(g.boundsMin) + V(g.boundsMax)) * 0.5f;
            const float radius = glm::length(V(g.boundsMax) - centre) *
                                 std::max({std::abs(m.scale.x), std::abs(m.scale.y), std::abs(m.scale.z)});
            const glm::vec3 c = glm::vec3(ItemMatrix(m.place, m.scale, m.offset) * glm::vec4(centre, 1));
            if (!frustum.Sees(c, radius)) continue;
            const bool isBlended = m.mode == 2 || (m.flags & 4);
            (isBlended ? blended : opaque).push_back({&m, nullptr, glm::dot(c - eye, front)});
        } else if (m.kind == MeshKind::Sprite) {
            const float radius = 0.5f * std::hypot(m.spriteWidth * m.scale.x, m.spriteHeight * m.scale.y) +
                                 float(m.spriteDepthBias);
            if (!frustum.Sees(pos, radius)) continue;
            blended.push_back({&m, nullptr, glm::dot(pos - eye, front)});
        }
    }
    for (const ModelItem& m : scene.models.Items()) {
        if (!m.visible || !m.data || m.data->Empty()) continue;
        const glm::vec3 pos = V(m.place.position);
        const float radius =
            m.data->radius * std::max({std::abs(m.scale.x), std::abs(m.scale.y), std::abs(m.scale.z)});
        if (!frustum.Sees(pos, radius)) continue;
        (m.blendSwitch == 1 ? blended : opaque).push_back({nullptr, &m, glm::dot(pos - eye, front)});
    }
    std::stable_sort(blended.begin(), blended.end(),
                     [](const SurfaceDraw& a, const SurfaceDraw& b) { return a.depth > b.depth; });

    BeginSurfaces(scene, cv);
    const int fill = scene.frame.switchC;
    glPolygonMode(GL_FRONT_AND_BACK, fill == 1 ? GL_LINE : fill == 2 ? GL_POINT : GL_FILL);
    for (const SurfaceDraw& d : opaque)
        DrawSurface(scene, cv, d);
    for (const SurfaceDraw& d : blended)
        DrawSurface(scene, cv, d);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    DrawParticles(scene, cv);
    if (main) SampleFlares(scene, cv);
}

void GlRenderer::Impl::DrawSky(const Scene& scene, const CameraView& cv) {
    glUseProgram(flat.id);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    SetBlend(Blend::None);
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, Sampler3d(scene, true));
    glUniform1i(flat.useTex, 1);
    for (const SkyItem& sky : scene.sky.Items()) {
        if (sky.kind != int(engine::SkyKind::Cube) || !sky.visible) continue;
        const float s = sky.size > 0 && std::isfinite(sky.size) ? sky.size : 1000.0f;
        // The cube sits around the eye whatever the camera's clip range.
        glm::mat4 view = cv.view;
        view[3] = glm::vec4(0, 0, 0, 1);
        const glm::mat4 mvp = glm::perspectiveLH_NO(cv.fov * kDeg, cv.aspect, s * 0.01f, s * 4.0f) * view;
        glUniformMatrix4fv(flat.mvp, 1, GL_FALSE, glm::value_ptr(mvp));
        // Corners of each face as seen from inside: top left, top right, bottom right,
        // bottom left of its picture. Faces 0 back, 1 front, 2 left, 3 right, 4 bottom, 5 top.
        static const std::array<std::array<glm::vec3, 4>, 6> kFaces = {{
            {{{1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}, {1, -1, -1}}},
            {{{-1, 1, 1}, {1, 1, 1}, {1, -1, 1}, {-1, -1, 1}}},
            {{{-1, 1, -1}, {-1, 1, 1}, {-1, -1, 1}, {-1, -1, -1}}},
            {{{1, 1, 1}, {1, 1, -1}, {1, -1, -1}, {1, -1, 1}}},
            {{{-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1}}},
            {{{-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1}}},
        }};
        for (std::size_t face = 0; face < 6; ++face) {
            const GLuint tex = Texture(scene, sky.faceTexture[face], engine::TextureDivisor(scene.frame));
            if (!tex) continue;
            std::array<glm::vec3, 4> c = kFaces[face];
            for (glm::vec3& p : c)
                p *= s;
            stream.Quad(c, {glm::vec2(0, 0), glm::vec2(1, 0), glm::vec2(1, 1), glm::vec2(0, 1)},
                        glm::vec4(1));
            glBindTexture(GL_TEXTURE_2D, tex);
            stream.Flush();
        }
    }
    glBindSampler(0, 0);
}

void GlRenderer::Impl::BeginSurfaces(const Scene& scene, const CameraView& cv) {
    const SurfaceProgram& p = surface;
    glUseProgram(p.id);
    glUniformMatrix4fv(p.viewProj, 1, GL_FALSE, glm::value_ptr(cv.viewProj));
    glUniform3fv(p.eye, 1, glm::value_ptr(V(cv.camera->place.position)));
    const glm::mat3 viewRot(cv.view);
    glUniformMatrix3fv(p.viewRot, 1, GL_FALSE, glm::value_ptr(viewRot));
    glUniform3fv(p.sceneAmbient, 1, glm::value_ptr(Rgb(scene.frame.sceneColourB)));
    glUniform1i(p.specularOn, engine::SpecularOn(scene.frame) ? 1 : 0);
    glUniform1i(p.flat, engine::FlatShading(scene.frame) ? 1 : 0);
    glUniform1i(p.fog, scene.frame.switchB ? 1 : 0);
    glUniform3fv(p.fogColour, 1, glm::value_ptr(Rgb(scene.frame.sceneColourA)));
    glUniform2f(p.fogRange, cv.farPlane * 0.3f, cv.farPlane);

    std::array<glm::vec4, kMaxLights> pos{}, param{};
    std::array<glm::vec3, kMaxLights> dir{}, colour{};
    int n = 0;
    for (const engine::LightItem& l : scene.lights.Items()) {
        if (n == kMaxLights) break;
        const int type = l.type == 1 || l.type == 2 ? l.type : 3;
        glm::vec3 d = V(l.direction);
        d = glm::length(d) > 1e-6f ? glm::normalize(d) : glm::vec3(0, 0, 1);
        pos[std::size_t(n)] = glm::vec4(V(l.position), float(type));
        dir[std::size_t(n)] = d;
        colour[std::size_t(n)] = Rgb(l.colour);
        // Cone angles are whole cone widths.
        param[std::size_t(n)] = glm::vec4(l.range, l.falloff, std::cos(0.5f * l.innerAngle * kDeg),
                                          std::cos(0.5f * std::max(l.outerAngle, l.innerAngle) * kDeg));
        ++n;
    }
    glUniform1i(p.lightCount, n);
    if (n > 0) {
        glUniform4fv(p.lightPos, n, glm::value_ptr(pos[0]));
        glUniform3fv(p.lightDir, n, glm::value_ptr(dir[0]));
        glUniform3fv(p.lightColour, n, glm::value_ptr(colour[0]));
        glUniform4fv(p.lightParam, n, glm::value_ptr(param[0]));
    }
    glFrontFace(GL_CW);  // front faces wind clockwise in the engine's left-handed axes
    glCullFace(GL_BACK);
}

void GlRenderer::Impl::BindStages(const Scene& scene, const std::array<engine::TextureStage, 4>& stages,
                                  bool baseOnly) {
    const GLuint sampler = Sampler3d(scene, false);
    for (int i = 0; i < 4; ++i) {
        const engine::TextureStage& st = stages[std::size_t(i)];
        int mode = 0;
        GLuint tex = 0;
        if (i == 0 || !baseOnly) {
            tex = Texture(scene, st.textureId, engine::TextureDivisor(scene.frame));
            if (tex) mode = i == 0 ? 1 : (st.mode == 1 || st.mode == 8 || st.mode == 9 ? st.mode : 0);
        }
        glUniform1i(surface.stageMode[i], mode);
        glActiveTexture(GLenum(GL_TEXTURE0 + i));
        glBindTexture(GL_TEXTURE_2D, mode ? tex : 0);
        glBindSampler(GLuint(i), sampler);
    }
    glActiveTexture(GL_TEXTURE0);
}

void GlRenderer::Impl::SetMaterial(const MaterialItem& m, bool lit, float opacity, bool additive) {
    const SurfaceProgram& p = surface;
    glUniform1i(p.lit, lit ? 1 : 0);
    glUniform4fv(p.diffuse, 1, glm::value_ptr(Rgba(m.slots[0])));
    glUniform3fv(p.ambient, 1, glm::value_ptr(Rgb(m.slots[1])));
    glUniform3fv(p.specular, 1, glm::value_ptr(Rgb(m.slots[2])));
    glUniform3fv(p.emissive, 1, glm::value_ptr(Rgb(m.slots[3])));
    glUniform1f(p.opacity, opacity);
    glUniform1i(p.additive, additive ? 1 : 0);
}

void GlRenderer::Impl::DrawSurface(const Scene& scene, const CameraView& cv, const SurfaceDraw& d) {
    const SurfaceProgram& p = surface;
    static const MaterialItem kDefaultMaterial{};
    const bool unlitScene = engine::UnlitScene(scene.frame);
    if (d.mesh) {
        const MeshItem& m = *d.mesh;
        const MaterialItem* found = scene.materials.Find(m.materialId);
        const MaterialItem& mat = found ? *found : kDefaultMaterial;
        const float opacity = engine::MaterialOpacity(mat);
        if (m.kind == MeshKind::Sprite) {
            const GpuMesh& quad = geometry.Quad();
            const Placement& cam = cv.camera->place;
            Placement at = m.place;
            if (m.spriteFacing) {
                at.right = cam.right;
                at.up = cam.up;
                at.front = cam.front;
            }
            // The depth bias: drawn that many units nearer the eye.
            const glm::vec3 toEye = V(cam.position) - V(m.place.position);
            if (glm::length(toEye) > 1e-4f) {
                const glm::vec3 moved =
                    V(m.place.position) + glm::normalize(toEye) * float(m.spriteDepthBias);
                at.position = {moved.x, moved.y, moved.z};
            }
            const Vector size{m.spriteWidth * m.scale.x, m.spriteHeight * m.scale.y, 1};
            const glm::mat4 model = ItemMatrix(at, size, {});
            glUniformMatrix4fv(p.model, 1, GL_FALSE, glm::value_ptr(model));
            glUniformMatrix3fv(p.normalMat, 1, GL_FALSE, glm::value_ptr(glm::mat3(1.0f)));
            glUniform1f(p.blend, 0);
            const bool add = m.spriteBlend == 3;
            SetBlend(add ? Blend::Add : Blend::Alpha);
            SetMaterial(mat, false, opacity, add);
            BindStages(scene, m.stages, true);
            glDisable(GL_CULL_FACE);
            if (m.depthMode == 2)
                glDisable(GL_DEPTH_TEST);
            else
                glEnable(GL_DEPTH_TEST);
            glDepthMask(GL_FALSE);
            glBindVertexArray(quad.vao);
            glDrawElements(GL_TRIANGLES, quad.indexCount, GL_UNSIGNED_INT, nullptr);
            return;
        }
        const GpuMesh* gpu = geometry.Get(m.geometry);
        if (!gpu || gpu->indexCount == 0) return;
        const bool effect = m.mode == 2;
        const bool alpha = !effect && (m.flags & 4);
        glUniformMatrix4fv(p.model, 1, GL_FALSE, glm::value_ptr(ItemMatrix(m.place, m.scale, m.offset)));
        glUniformMatrix3fv(p.normalMat, 1, GL_FALSE, glm::value_ptr(NormalMatrix(m.place, m.scale)));
        glUniform1f(p.blend, 0);
        SetBlend(effect ? Blend::Add : alpha ? Blend::Alpha : Blend::None);
        SetMaterial(mat, !effect && mat.flag != 0 && !unlitScene, effect || alpha ? opacity : 1.0f, effect);
        BindStages(scene, m.stages, false);
        if (m.flags & 1)
            glDisable(GL_CULL_FACE);
        else
            glEnable(GL_CULL_FACE);
        if (m.depthMode == 2)
            glDisable(GL_DEPTH_TEST);
        else
            glEnable(GL_DEPTH_TEST);
        glDepthMask(effect || (m.flags & 2) || m.depthMode != 0 ? GL_FALSE : GL_TRUE);
        glBindVertexArray(gpu->vao);
        glDrawElements(GL_TRIANGLES, gpu->indexCount, GL_UNSIGNED_INT, nullptr);
        return;
    }

    const ModelItem& m = *d.model;
    const GpuModel* gpu = geometry.Get(m.data);
    if (!gpu || gpu->indexCount == 0) return;
    const MaterialItem* found = scene.materials.Find(m.materialId);
    const MaterialItem& mat = found ? *found : kDefaultMaterial;
    // The pose counts keyframes from the model's first; it blends into the next
    // keyframe of the range, and from the last back to the first when it loops.
    const int last = gpu->frameCount - 1;
    const int lo = std::clamp(std::min(m.firstFrame, m.lastFrame), 0, last);
    const int hi = std::clamp(std::max(m.firstFrame, m.lastFrame), 0, last);
    const float top = m.loop ? float(hi) + 0.9999f : float(hi);
    const float pose =
        std::isfinite(m.framePosition) ? std::clamp(m.framePosition, float(lo), top) : float(lo);
    const int a = std::clamp(int(std::floor(pose)), lo, hi);
    int b = a + 1;
    if (b > hi) b = m.loop ? lo : hi;
    const float t = std::clamp(pose - float(a), 0.0f, 1.0f);
    const bool glow = m.blendSwitch == 1;
    glUniformMatrix4fv(p.model, 1, GL_FALSE, glm::value_ptr(ItemMatrix(m.place, m.scale, {})));
    glUniformMatrix3fv(p.normalMat, 1, GL_FALSE, glm::value_ptr(NormalMatrix(m.place, m.scale)));
    glUniform1f(p.blend, t);
    SetBlend(glow ? Blend::Add : Blend::None);
    SetMaterial(mat, !glow && m.lit != 0 && mat.flag != 0 && !unlitScene,
                glow ? engine::MaterialOpacity(mat) : 1.0f, glow);
    BindStages(scene, m.stages, false);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(glow ? GL_FALSE : GL_TRUE);
    BindModelPose(*gpu, a, b);
    glDrawElements(GL_TRIANGLES, gpu->indexCount, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

void GlRenderer::Impl::DrawParticles(const Scene& scene, const CameraView& cv) {
    glUseProgram(flat.id);
    glUniformMatrix4fv(flat.mvp, 1, GL_FALSE, glm::value_ptr(cv.viewProj));
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, Sampler3d(scene, true));
    const glm::vec3 right = V(cv.camera->place.right), up = V(cv.camera->place.up);
    for (const engine::ParticleItem& sys : scene.particles.Items()) {
        if (!sys.sim || sys.sim->Count() == 0) continue;
        const ParticleSettings& s = sys.sim->Settings();
        const GLuint tex = Texture(scene, sys.textureId, engine::TextureDivisor(scene.frame));
        glBindTexture(GL_TEXTURE_2D, tex);
        glUniform1i(flat.useTex, tex ? 1 : 0);
        SetBlend(s.blendMode == 1 ? Blend::Alpha : Blend::Add);
        const int cells = std::clamp(int(s.atlasCells), 1, 64);
        const float cell = 1.0f / float(cells);
        for (const ParticleView& pv : sys.sim->Particles()) {
            const float half = 0.5f * pv.size;
            const float ca = std::cos(pv.angle * kDeg), sa = std::sin(pv.angle * kDeg);
            const glm::vec3 r = (right * ca + up * sa) * half;
            const glm::vec3 u = (up * ca - right * sa) * half;
            const glm::vec3 c = V(pv.position);
            const int frame = ((pv.frame % (cells * cells)) + cells * cells) % (cells * cells);
            const float u0 = float(frame % cells) * cell, v0 = float(frame / cells) * cell;
            stream.Quad({c - r + u, c + r + u, c + r - u, c - r - u},
                        {glm::vec2(u0, v0), glm::vec2(u0 + cell, v0), glm::vec2(u0 + cell, v0 + cell),
                         glm::vec2(u0, v0 + cell)},
                        Rgba(pv.colour));
        }
        stream.Flush();
    }
    glBindSampler(0, 0);
}

// How much of each flare's sun the scene leaves in view: the depth buffer around the
// sun's point, read right after the main camera drew (nothing there: seen).
void GlRenderer::Impl::SampleFlares(const Scene& scene, const CameraView& cv) {
    flareVisibility.clear();
    for (const SkyItem& sky : scene.sky.Items()) {
        if (sky.kind != int(engine::SkyKind::Flare) || !sky.visible || sky.flareMode != 0) continue;
        const glm::vec4 clip = cv.viewProj * glm::vec4(V(sky.flareSource), 1);
        float seen = 0;
        const float sx = float(cv.x) + (clip.x / clip.w * 0.5f + 0.5f) * float(cv.width);
        const float sy = float(cv.y) + (0.5f - clip.y / clip.w * 0.5f) * float(cv.height);
        // A sun near the camera's plane lands far outside the frame (and int range): unseen.
        if (clip.w > 1e-6f && sx >= 0 && sx < float(width) && sy >= 0 && sy < float(height)) {
            constexpr int kGrid = 5;
            std::array<float, kGrid * kGrid> depth{};
            const int gx = int(std::floor(sx)) - kGrid / 2, gy = height - 1 - int(std::floor(sy)) - kGrid / 2;
            int total = 0, clear = 0;
            if (gx >= 0 && gy >= 0 && gx + kGrid <= width && gy + kGrid <= height) {
                glReadPixels(gx, gy, kGrid, kGrid, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
                for (int j = 0; j < kGrid; ++j)
                    for (int i = 0; i < kGrid; ++i) {
                        const int px = gx + i, py = height - 1 - (gy + j);
                        if (px < cv.x || px >= cv.x + cv.width || py < cv.y || py >= cv.y + cv.height)
                            continue;
                        ++total;
                        if (depth[std::size_t(j * kGrid + i)] >= 1.0f) ++clear;
                    }
            }
            seen = total ? float(clear) / float(total) : 0.0f;
        }
        flareVisibility[sky.id] = seen;
    }
}

void GlRenderer::Impl::DrawFlares(const Scene& scene, const CameraView& cv) {
    if (flareVisibility.empty()) return;
    glUseProgram(flat.id);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
    const glm::mat4 ortho = glm::ortho(0.0f, float(width), float(height), 0.0f, -1.0f, 1.0f);
    glUniformMatrix4fv(flat.mvp, 1, GL_FALSE, glm::value_ptr(ortho));
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    SetBlend(Blend::Add);
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, samplerClamp);
    for (const SkyItem& sky : scene.sky.Items()) {
        auto seen = flareVisibility.find(sky.id);
        if (seen == flareVisibility.end() || seen->second <= 0) continue;
        const glm::vec4 clip = cv.viewProj * glm::vec4(V(sky.flareSource), 1);
        if (clip.w <= 1e-6f) continue;
        const glm::vec2 sun(float(cv.x) + (clip.x / clip.w * 0.5f + 0.5f) * float(cv.width),
                            float(cv.y) + (0.5f - clip.y / clip.w * 0.5f) * float(cv.height));
        const glm::vec2 centre(float(cv.x) + 0.5f * float(cv.width), float(cv.y) + 0.5f * float(cv.height));
        float strength = seen->second;
        if (sky.flareSetup.FadeMode == 1) {
            // Fades out over the last tenth of the view before the sun leaves it.
            const float edge = std::min({sun.x - float(cv.x), float(cv.x + cv.width) - sun.x,
                                         sun.y - float(cv.y), float(cv.y + cv.height) - sun.y});
            strength *= std::clamp(edge / (0.1f * float(std::min(cv.width, cv.height))), 0.0f, 1.0f);
        }
        if (strength <= 0) continue;
        const float scale = sky.size > 0 && std::isfinite(sky.size) ? sky.size : 1.0f;
        const float screenH = float(cv.height);
        auto sprite = [&](GLuint tex, glm::vec2 at, float size, glm::vec4 colour) {
            if (!tex || size <= 0) return;
            const float h = 0.5f * size;
            stream.Quad({glm::vec3(at.x - h, at.y - h, 0), glm::vec3(at.x + h, at.y - h, 0),
                         glm::vec3(at.x + h, at.y + h, 0), glm::vec3(at.x - h, at.y + h, 0)},
                        {glm::vec2(0, 0), glm::vec2(1, 0), glm::vec2(1, 1), glm::vec2(0, 1)}, colour);
            glBindTexture(GL_TEXTURE_2D, tex);
            glUniform1i(flat.useTex, 1);
            stream.Flush();
        };
        sprite(Texture(scene, sky.faceTexture[0], 1), sun, sky.flareSetup.GlowSize / 100.0f * screenH * scale,
               glm::vec4(1, 1, 1, strength));
        const int count = std::clamp(sky.flareSetup.ElementCount, 0, int(sky.flareElements.size()));
        for (int k = 0; k < count; ++k) {
            const FlareElementRec& e = sky.flareElements[std::size_t(k)];
            const auto argb = std::uint32_t(e.Colour);
            const glm::vec4 colour = glm::vec4(float((argb >> 16) & 255), float((argb >> 8) & 255),
                                               float(argb & 255), float((argb >> 24) & 255)) /
                                     255.0f;
            sprite(Texture(scene, e.TextureId, 1), centre + (sun - centre) * e.Place,
                   e.Size * screenH * scale, glm::vec4(glm::vec3(colour), colour.a * strength));
        }
    }
    glBindSampler(0, 0);
}

// ---- 2D ----------------------------------------------------------------------------------

void GlRenderer::Impl::Begin2D() const {
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glUseProgram(flat.id);
    const glm::mat4 ortho = glm::ortho(0.0f, float(width), float(height), 0.0f, -1.0f, 1.0f);
    glUniformMatrix4fv(flat.mvp, 1, GL_FALSE, glm::value_ptr(ortho));
    glActiveTexture(GL_TEXTURE0);
}

namespace {

bool IsFont(const ImageItem& image) {
    return image.fontCell.x > 0 && image.fontCell.y > 0;
}

// The picture an image shows: the texture it was given, else its own.
std::shared_ptr<const Picture> ImagePicture(const Scene& scene, const ImageItem& image) {
    if (image.textureId >= 0)
        if (const engine::TextureItem* t = scene.textures.Find(image.textureId); t && t->picture)
            return t->picture;
    return image.picture;
}

}  // namespace

void GlRenderer::Impl::DrawImage(const Scene& scene, const ImageItem& image) {
    const std::shared_ptr<const Picture> pic = ImagePicture(scene, image);
    const GLuint tex = textures.Get(pic, 1);
    if (!tex) return;
    const float pw = float(pic->width), ph = float(pic->height);
    // The part of the picture shown: one cell of a sheet, else all of it.
    glm::vec2 src0(0, 0), srcSize(pw, ph);
    const bool sheet = image.cellSize.x > 0 && image.cellSize.y > 0;
    if (sheet) {
        const int count = std::max(1, image.frameCount);
        const int columns = std::max(1, image.columns);
        const int frame = ((image.frame % count) + count) % count;
        const glm::vec2 step(image.cellStep.x > 0 ? image.cellStep.x : image.cellSize.x,
                             image.cellStep.y > 0 ? image.cellStep.y : image.cellSize.y);
        src0 = glm::vec2(float(frame % columns) * step.x, float(frame / columns) * step.y);
        srcSize = glm::vec2(image.cellSize.x, image.cellSize.y);
    }
    glm::vec2 pos(image.position.x, image.position.y);
    glm::vec2 size(image.size.x, image.size.y);
    if (image.fullScreen) {
        pos = glm::vec2(0);
        size = glm::vec2(float(width), float(height));
    } else if (size.x == 0 && size.y == 0) {
        size = srcSize;
    }
    const glm::vec2 centre = pos + size * 0.5f;
    const float a = image.angle * kDeg;
    const float ca = std::cos(a), sa = std::sin(a);
    // Counter-clockwise on the screen, whose y runs down.
    auto corner = [&](float dx, float dy) {
        return glm::vec3(centre.x + dx * ca + dy * sa, centre.y - dx * sa + dy * ca, 0);
    };
    const glm::vec2 h = size * 0.5f;
    const glm::vec2 uv0 = src0 / glm::vec2(pw, ph), uv1 = (src0 + srcSize) / glm::vec2(pw, ph);
    stream.Quad(
        {corner(-h.x, -h.y), corner(h.x, -h.y), corner(h.x, h.y), corner(-h.x, h.y)},
        {glm::vec2(uv0.x, uv0.y), glm::vec2(uv1.x, uv0.y), glm::vec2(uv1.x, uv1.y), glm::vec2(uv0.x, uv1.y)},
        glm::vec4(1));
    SetBlend(image.mode == 0 ? Blend::None : image.mode == 5 ? Blend::Add : Blend::Alpha);
    glBindTexture(GL_TEXTURE_2D, tex);
    glBindSampler(0, image.style == 2 ? samplerClamp : samplerRepeat);
    glUniform1i(flat.useTex, 1);
    stream.Flush();
}

void GlRenderer::Impl::QueueGlyphs(const std::string& text, int firstCode, int firstCell, int cellCount,
                                   int columns, glm::vec2 cell, glm::vec2 atlas, glm::vec2 at,
                                   glm::vec2 glyph, float advance, const glm::vec4& colour) {
    float x = at.x;
    for (unsigned char ch : text) {
        const int n = int(ch) - firstCode;
        if (n >= firstCell && n < cellCount) {
            const glm::vec2 src(float(n % columns) * cell.x, float(n / columns) * cell.y);
            const glm::vec2 uv0 = src / atlas, uv1 = (src + cell) / atlas;
            stream.Quad({glm::vec3(x, at.y, 0), glm::vec3(x + glyph.x, at.y, 0),
                         glm::vec3(x + glyph.x, at.y + glyph.y, 0), glm::vec3(x, at.y + glyph.y, 0)},
                        {glm::vec2(uv0.x, uv0.y), glm::vec2(uv1.x, uv0.y), glm::vec2(uv1.x, uv1.y),
                         glm::vec2(uv0.x, uv1.y)},
                        colour);
        }
        x += advance;
    }
}

void GlRenderer::Impl::DrawFontText(const Scene& scene, const ImageItem& font, const std::string& text,
                                    glm::vec2 at, float glyphScale, int textMode, const glm::vec4& colour) {
    const std::shared_ptr<const Picture> pic = ImagePicture(scene, font);
    const GLuint tex = textures.Get(pic, 1);
    if (!tex) return;
    const float w = font.fontCell.x * glyphScale, h = font.fontCell.y * glyphScale;
    const float advance = w * float(10 - textMode) / 10.0f;
    const glm::vec2 picSize(float(pic->width), float(pic->height));
    QueueGlyphs(text, font.fontFirstCode, 0, 256, 16, glm::vec2(font.fontCell.x, font.fontCell.y), picSize,
                at, glm::vec2(w, h), advance, colour);
    SetBlend(Blend::Alpha);
    glBindTexture(GL_TEXTURE_2D, tex);
    glBindSampler(0, samplerClamp);
    glUniform1i(flat.useTex, 1);
    stream.Flush();
}

void GlRenderer::Impl::DrawText(const Scene& scene, const engine::Draw2DCall& call) {
    glm::vec4 colour = Rgba(call.colour);
    if (call.drawMode == 0) colour.a = 1;
    // Plain text is 16 pixels high: in the game's bitmap font when one is loaded and
    // shown, so all text looks alike, else in the renderer's own glyphs.
    const ImageItem* font = nullptr;
    for (const ImageItem& image : scene.images.Items())
        if (IsFont(image) && image.visible && ImagePicture(scene, image)) font = &image;
    if (font) {
        DrawFontText(scene, *font, call.text, glm::vec2(call.a.x, call.a.y), 16.0f / font->fontCell.y, 3,
                     colour);
        return;
    }
    constexpr float kScale = 2;
    const float w = kGlyphCellWidth * kScale, h = kGlyphCellHeight * kScale;
    const glm::vec2 atlas{float(glyphWidth), float(glyphHeight)};
    // Cell 0 is the space: nothing to draw.
    QueueGlyphs(call.text, kGlyphFirst, 1, kGlyphCount, kGlyphColumns,
                glm::vec2(kGlyphCellWidth, kGlyphCellHeight), atlas, glm::vec2(call.a.x, call.a.y),
                glm::vec2(w, h), w, colour);
    SetBlend(Blend::Alpha);
    glBindTexture(GL_TEXTURE_2D, glyphTexture);
    glBindSampler(0, samplerNearest);
    glUniform1i(flat.useTex, 1);
    stream.Flush();
}

void GlRenderer::Impl::Draw2D(const Scene& scene) {
    Begin2D();
    for (const ImageItem& image : scene.images.Items())
        if (image.visible && !IsFont(image)) DrawImage(scene, image);
    for (const engine::Draw2DCall& call : scene.queue) {
        switch (call.kind) {
            case engine::Draw2DCall::Kind::Rectangle: {
                glm::vec4 colour = Rgba(call.colour);
                if (call.drawMode == 0) colour.a = 1;
                const float x0 = std::min(call.a.x, call.b.x), x1 = std::max(call.a.x, call.b.x);
                const float y0 = std::min(call.a.y, call.b.y), y1 = std::max(call.a.y, call.b.y);
                const std::array<glm::vec2, 4> uv{};
                auto box = [&](float l, float t, float r, float b) {
                    stream.Quad(
                        {glm::vec3(l, t, 0), glm::vec3(r, t, 0), glm::vec3(r, b, 0), glm::vec3(l, b, 0)}, uv,
                        colour);
                };
                if (call.filled) {
                    box(x0, y0, x1, y1);
                } else {
                    // One pixel wide, inside the corners.
                    box(x0, y0, x1, std::min(y0 + 1, y1));
                    box(x0, std::max(y1 - 1, y0), x1, y1);
                    box(x0, y0, std::min(x0 + 1, x1), y1);
                    box(std::max(x1 - 1, x0), y0, x1, y1);
                }
                SetBlend(call.drawMode == 0 ? Blend::None : Blend::Alpha);
                glUniform1i(flat.useTex, 0);
                stream.Flush();
                break;
            }
            case engine::Draw2DCall::Kind::Text:
                DrawText(scene, call);
                break;
            case engine::Draw2DCall::Kind::FontText: {
                const ImageItem* font = scene.images.Find(call.fontImageId);
                if (!font || !IsFont(*font) || !font->visible) break;
                const float size = std::isfinite(call.textSize) ? call.textSize : 100.0f;
                DrawFontText(scene, *font, call.text, glm::vec2(call.a.x, call.a.y), size / 100.0f,
                             call.textMode, Rgba(call.colour));
                break;
            }
        }
    }
    glBindSampler(0, 0);
}

// ---- Renderer ----------------------------------------------------------------------

GlRenderer::GlRenderer() : impl_(std::make_unique<Impl>()) {}

GlRenderer::~GlRenderer() {
    impl_->Release();
}

void GlRenderer::BeginFrame(const Scene& scene) {
    Impl& r = *impl_;
    if (!r.Target(scene)) return;
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, r.width, r.height);
    const glm::vec4 bg = Rgba(scene.frame.sceneColourA);
    glClearColor(bg.r, bg.g, bg.b, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Now and then let go of pictures and models the engine no longer holds.
    if (++r.frames % 120 == 0) {
        r.textures.Sweep();
        r.geometry.Sweep();
    }
}

void GlRenderer::RenderScene(const Scene& scene) {
    Impl& r = *impl_;
    if (!r.Target(scene)) return;
    r.flareVisibility.clear();
    CameraView mainView;
    bool haveMain = false;
    for (const CameraItem& cam : scene.cameras.Items()) {
        if (!cam.active) continue;
        CameraView cv;
        if (!r.MakeView(scene, cam, cv)) continue;
        r.DrawCamera(scene, cv, !haveMain);
        if (!haveMain) {
            mainView = cv;
            haveMain = true;
        }
    }
    if (haveMain) r.DrawFlares(scene, mainView);
    glDisable(GL_SCISSOR_TEST);
}

void GlRenderer::EndFrame(const Scene& scene) {
    Impl& r = *impl_;
    if (!r.Target(scene)) return;
    r.Draw2D(scene);
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    detail::FrameDrawn();
    Present();
}

bool GlRenderer::SaveScreenshot(const Scene&, const std::string& path) {
    std::vector<unsigned char> rgba;
    int w = 0, h = 0;
    if (!ReadLastFrame(rgba, w, h)) return false;
    std::vector<unsigned char> rgb(std::size_t(w) * std::size_t(h) * 3);
    for (std::size_t i = 0, j = 0; i < rgba.size(); i += 4, j += 3) {
        rgb[j] = rgba[i];
        rgb[j + 1] = rgba[i + 1];
        rgb[j + 2] = rgba[i + 2];
    }
    return stbi_write_jpg(path.c_str(), w, h, 3, rgb.data(), 90) != 0;
}

}  // namespace quorvel::sdl
