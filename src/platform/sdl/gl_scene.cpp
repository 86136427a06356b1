// The 3D passes of one camera: its view, the surfaces (meshes, sprites, animated
// models) and the particles.

#include "platform/sdl/gl_renderer_impl.h"

#include <glm/gtc/type_ptr.hpp>
#include <vector>

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
using namespace render;

// ---- Camera view -----------------------------------------------------------------

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
    if (cv.x == 0 && cv.y == 0 && cv.width == width && cv.height == height)
        clearPending = false;  // this camera's clear covers the frame's
    else
        ClearPending();
    glEnable(GL_SCISSOR_TEST);
    glViewport(cv.x, height - cv.y - cv.height, cv.width, cv.height);
    glScissor(cv.x, height - cv.y - cv.height, cv.width, cv.height);
    const glm::vec4 bg = Rgba(scene.frame.sceneColourA);
    glClearColor(bg.r, bg.g, bg.b, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    DrawSky(scene, cv);

    // Opaque surfaces first, nearest first so the depth test spares the pixels they
    // hide; blended ones after them, farthest first.
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
    std::stable_sort(opaque.begin(), opaque.end(),
                     [](const SurfaceDraw& a, const SurfaceDraw& b) { return a.depth < b.depth; });
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

}  // namespace quorvel::sdl
