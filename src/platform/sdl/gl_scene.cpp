// The 3D passes of one camera: its view, the surfaces (meshes, sprites, animated
// models) and the particles.

#include "platform/sdl/gl_renderer_impl.h"

#include <glm/gtc/type_ptr.hpp>
#include <vector>

namespace quorvel::sdl {

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

    // The sky fills the whole view and takes few commands: handed to the driver at once,
    // a software renderer shades it in its own threads while this one goes on to send
    // the meshes. Only the main camera's: each hand-over has such a renderer go over
    // the frame's tiles once more, which pays for itself only on a full view's sky.
    if (DrawSky(scene, cv) && main) glFlush();

    // Opaque surfaces first, nearest first so the depth test spares the pixels they
    // hide; blended ones after them, farthest first.
    std::vector<SurfaceDraw> opaque, blended;
    const glm::vec3 eye = V(cv.camera->place.position);
    const glm::vec3 front = V(cv.camera->place.front);
    const Frustum frustum(cv.viewProj);
    const auto sees = [&](const glm::vec3& c, float radius) { return drawAll || frustum.Sees(c, radius); };
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
            if (!sees(c, radius)) continue;
            const MaterialItem* mat = scene.materials.Find(m.materialId);
            const float opacity = mat ? engine::MaterialOpacity(*mat) : 1.0f;
            const bool isBlended = engine::MeshBlending(m, opacity) != engine::MeshBlend::Solid;
            (isBlended ? blended : opaque).push_back({&m, nullptr, glm::dot(c - eye, front)});
        } else if (m.kind == MeshKind::Sprite) {
            const float radius = 0.5f * std::hypot(m.spriteWidth * m.scale.x, m.spriteHeight * m.scale.y) +
                                 float(m.spriteDepthBias);
            if (!sees(pos, radius)) continue;
            blended.push_back({&m, nullptr, glm::dot(pos - eye, front)});
        }
    }
    for (const ModelItem& m : scene.models.Items()) {
        if (!m.visible || !m.data || m.data->Empty()) continue;
        const glm::vec3 pos = V(m.place.position);
        const float radius =
            m.data->radius * std::max({std::abs(m.scale.x), std::abs(m.scale.y), std::abs(m.scale.z)});
        if (!sees(pos, radius)) continue;
        (m.blendSwitch == 1 ? blended : opaque).push_back({nullptr, &m, glm::dot(pos - eye, front)});
    }
    std::stable_sort(opaque.begin(), opaque.end(),
                     [](const SurfaceDraw& a, const SurfaceDraw& b) { return a.depth < b.depth; });
    std::stable_sort(blended.begin(), blended.end(),
                     [](const SurfaceDraw& a, const SurfaceDraw& b) { return a.depth > b.depth; });

    // Every static mesh's matrices in draw order, so a run of them is one slice.
    instanceData.clear();
    for (std::vector<SurfaceDraw>* list : {&opaque, &blended})
        for (SurfaceDraw& d : *list) {
            if (!d.mesh || d.mesh->kind != MeshKind::Model) continue;
            const MeshItem& m = *d.mesh;
            d.instance = int(instanceData.size() / kInstanceFloats);
            const glm::mat4 model = ItemMatrix(m.place, m.scale, m.offset);
            const glm::mat3 normal = NormalMatrix(m.place, m.scale);
            const float* a = glm::value_ptr(model);
            const float* b = glm::value_ptr(normal);
            instanceData.insert(instanceData.end(), a, a + 16);
            instanceData.insert(instanceData.end(), b, b + 9);
        }
    if (!instanceData.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer);
        const std::size_t bytes = instanceData.size() * sizeof(float);
        if (bytes > instanceCapacity) instanceCapacity = std::max(bytes, instanceCapacity * 2);
        // Fresh storage each pass, so the driver need not wait for the previous draws.
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(instanceCapacity), nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), instanceData.data());
    }

    BeginSurfaces(scene, cv);
    const int fill = scene.frame.switchC;
    glPolygonMode(GL_FRONT_AND_BACK, fill == 1 ? GL_LINE : fill == 2 ? GL_POINT : GL_FILL);
    // Neighbours in the nearest-first order that differ only in their matrices go out
    // together: the order, and so the picture, stays the same.
    for (std::size_t i = 0; i < opaque.size();) {
        std::size_t j = i + 1;
        while (j < opaque.size() && SameRun(opaque[i], opaque[j]))
            ++j;
        if (j - i > 1)
            DrawMeshRun(scene, &opaque[i], j - i);
        else
            DrawSurface(scene, cv, opaque[i]);
        i = j;
    }
    for (const SurfaceDraw& d : blended)
        DrawSurface(scene, cv, d);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindVertexArray(0);
    for (int i = 3; i >= 0; --i) {
        glActiveTexture(GLenum(GL_TEXTURE0 + i));
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindSampler(GLuint(i), 0);
    }

    DrawParticles(scene, cv);
    if (main) SampleFlares(scene, cv);
}

void GlRenderer::Impl::BeginSurfaces(const Scene& scene, const CameraView& cv) {
    ++pass;
    state.Forget();
    PassUniforms& u = passUniforms;
    u.viewProj = cv.viewProj;
    u.eye = V(cv.camera->place.position);
    u.viewRot = glm::mat3(cv.view);
    u.sceneAmbient = Rgb(scene.frame.sceneColourB);
    u.fogColour = Rgb(scene.frame.sceneColourA);
    u.fogRange = glm::vec2(cv.farPlane * 0.3f, cv.farPlane);
    int n = 0;
    u.directionalOnly = true;
    for (const engine::LightItem& l : scene.lights.Items()) {
        if (n == kMaxLights) break;
        const int type = l.type == 1 || l.type == 2 ? l.type : 3;
        if (type != 3) u.directionalOnly = false;
        glm::vec3 d = V(l.direction);
        d = glm::length(d) > 1e-6f ? glm::normalize(d) : glm::vec3(0, 0, 1);
        u.lightPos[std::size_t(n)] = glm::vec4(V(l.position), float(type));
        u.lightDir[std::size_t(n)] = d;
        u.lightColour[std::size_t(n)] = Rgb(l.colour);
        // Cone angles are whole cone widths.
        u.lightParam[std::size_t(n)] =
            glm::vec4(l.range, l.falloff, std::cos(0.5f * l.innerAngle * kDeg),
                      std::cos(0.5f * std::max(l.outerAngle, l.innerAngle) * kDeg));
        ++n;
    }
    u.lightCount = n;
    glFrontFace(GL_CW);  // front faces wind clockwise in the engine's left-handed axes
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);  // flat shading: a triangle's first corner
    glCullFace(GL_BACK);
}

const SurfaceProgram* GlRenderer::Impl::UseSurface(int variant) {
    const std::size_t v = std::size_t(variant);
    SurfaceProgram& p = surfaces[v];
    if (!p.id) {
        if (surfaceFailed[v] || !BuildSurfaceProgram(p, variant)) {
            surfaceFailed[v] = true;
            return nullptr;
        }
        glUseProgram(p.id);
        state.UseProgram(p.id);
        surfacePass[v] = 0;
    }
    state.UseProgram(p.id);
    if (surfacePass[v] != pass) {
        surfacePass[v] = pass;
        surfaceMaterial[v] = {};
        const PassUniforms& u = passUniforms;
        glUniformMatrix4fv(p.viewProj, 1, GL_FALSE, glm::value_ptr(u.viewProj));
        glUniform3fv(p.eye, 1, glm::value_ptr(u.eye));
        glUniformMatrix3fv(p.viewRot, 1, GL_FALSE, glm::value_ptr(u.viewRot));
        glUniform3fv(p.sceneAmbient, 1, glm::value_ptr(u.sceneAmbient));
        glUniform3fv(p.fogColour, 1, glm::value_ptr(u.fogColour));
        glUniform2fv(p.fogRange, 1, glm::value_ptr(u.fogRange));
        glUniform1i(p.lightCount, u.lightCount);
        if (u.lightCount > 0) {
            glUniform4fv(p.lightPos, u.lightCount, glm::value_ptr(u.lightPos[0]));
            glUniform3fv(p.lightDir, u.lightCount, glm::value_ptr(u.lightDir[0]));
            glUniform3fv(p.lightColour, u.lightCount, glm::value_ptr(u.lightColour[0]));
            glUniform4fv(p.lightParam, u.lightCount, glm::value_ptr(u.lightParam[0]));
        }
    }
    return &p;
}

const SurfaceProgram* GlRenderer::Impl::SetSurface(const Scene& scene,
                                                   const std::array<engine::TextureStage, 4>& stages,
                                                   bool baseOnly, const MaterialItem& m, bool lit,
                                                   float opacity, bool additive, bool instanced) {
    std::array<int, 4> modes{};
    std::array<GLuint, 4> tex{};
    const int uploads = textures.Uploads();
    for (int i = 0; i < 4; ++i) {
        const engine::TextureStage& st = stages[std::size_t(i)];
        if (i > 0 && baseOnly) break;
        tex[std::size_t(i)] = Texture(scene, st.textureId, engine::TextureDivisor(scene.frame));
        if (tex[std::size_t(i)])
            modes[std::size_t(i)] = i == 0 ? 1 : (st.mode == 1 || st.mode == 8 || st.mode == 9 ? st.mode : 0);
    }
    if (textures.Uploads() != uploads) state.TextureChanged();
    int variant = 0;
    if (lit) {
        variant |= kSurfaceLit;
        if (engine::FlatShading(scene.frame)) variant |= kSurfaceFlat;
        if (passUniforms.directionalOnly) variant |= kSurfaceVertexLit;
        // A black highlight adds nothing: no need to work it out per pixel.
        const Colour& highlight = m.slots[2];
        if (engine::SpecularOn(scene.frame) && (highlight.r != 0 || highlight.g != 0 || highlight.b != 0))
            variant |= kSurfaceSpecular;
    }
    if (scene.frame.switchB) variant |= kSurfaceFog;
    if (modes[0]) variant |= kSurfaceBase;
    if (modes[1] || modes[2] || modes[3]) variant |= kSurfaceStages;
    if (instanced) variant |= kSurfaceInstanced;
    const SurfaceProgram* p = UseSurface(variant);
    if (!p) return nullptr;

    const GLuint sampler = Sampler3d(scene, false);
    for (int i = 0; i < 4; ++i) {
        const std::size_t k = std::size_t(i);
        if (i > 0 && !(variant & kSurfaceStages)) break;
        state.BindTexture(i, modes[k] ? tex[k] : 0);
        state.BindSampler(i, sampler);
    }
    MaterialUniforms wanted{Rgba(m.slots[0]), Rgb(m.slots[1]),  Rgb(m.slots[2]), Rgb(m.slots[3]),
                            opacity,          additive ? 1 : 0, modes,           true};
    MaterialUniforms& had = surfaceMaterial[std::size_t(variant)];
    if (!had.valid || had.diffuse != wanted.diffuse)
        glUniform4fv(p->diffuse, 1, glm::value_ptr(wanted.diffuse));
    if (!had.valid || had.ambient != wanted.ambient)
        glUniform3fv(p->ambient, 1, glm::value_ptr(wanted.ambient));
    if (!had.valid || had.specular != wanted.specular)
        glUniform3fv(p->specular, 1, glm::value_ptr(wanted.specular));
    if (!had.valid || had.emissive != wanted.emissive)
        glUniform3fv(p->emissive, 1, glm::value_ptr(wanted.emissive));
    if (!had.valid || had.opacity != wanted.opacity) glUniform1f(p->opacity, wanted.opacity);
    if (!had.valid || had.additive != wanted.additive) glUniform1i(p->additive, wanted.additive);
    for (int i = 1; i < 4; ++i)
        if (!had.valid || had.modes[std::size_t(i)] != modes[std::size_t(i)])
            glUniform1i(p->stageMode[i], modes[std::size_t(i)]);
    had = wanted;
    return p;
}

void GlRenderer::Impl::DrawSurface(const Scene& scene, const CameraView& cv, const SurfaceDraw& d) {
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
            const bool add = m.spriteBlend == 3;
            const SurfaceProgram* p = SetSurface(scene, m.stages, true, mat, false, opacity, add);
            if (!p) return;
            glUniformMatrix4fv(p->model, 1, GL_FALSE, glm::value_ptr(model));
            glUniformMatrix3fv(p->normalMat, 1, GL_FALSE, glm::value_ptr(glm::mat3(1.0f)));
            glUniform1f(p->blend, 0);
            state.SetBlend(add ? Blend::Add : Blend::Alpha);
            state.Enable(GL_CULL_FACE, false);
            state.Enable(GL_DEPTH_TEST, m.depthMode != 2);
            state.DepthMask(false);
            state.BindVertexArray(quad.vao);
            glDrawElements(GL_TRIANGLES, quad.indexCount, GL_UNSIGNED_INT, nullptr);
            return;
        }
        DrawMeshRun(scene, &d, 1);
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
    const SurfaceProgram* p =
        SetSurface(scene, m.stages, false, mat, !glow && m.lit != 0 && mat.flag != 0 && !unlitScene,
                   glow ? engine::MaterialOpacity(mat) : 1.0f, glow);
    if (!p) return;
    glUniformMatrix4fv(p->model, 1, GL_FALSE, glm::value_ptr(ItemMatrix(m.place, m.scale, {})));
    glUniformMatrix3fv(p->normalMat, 1, GL_FALSE, glm::value_ptr(NormalMatrix(m.place, m.scale)));
    glUniform1f(p->blend, t);
    state.SetBlend(glow ? Blend::Add : Blend::None);
    state.Enable(GL_CULL_FACE, true);
    state.Enable(GL_DEPTH_TEST, true);
    state.DepthMask(!glow);
    BindModelPose(*gpu, a, b);  // binds the model's vertex array
    state.VertexArrayChanged();
    glDrawElements(GL_TRIANGLES, gpu->indexCount, GL_UNSIGNED_INT, nullptr);
}

void GlRenderer::Impl::DrawMeshRun(const Scene& scene, const SurfaceDraw* first, std::size_t count) {
    static const MaterialItem kDefaultMaterial{};
    const MeshItem& m = *first->mesh;
    const GpuMesh* gpu = geometry.Get(m.geometry);
    if (!gpu || gpu->indexCount == 0 || first->instance < 0) return;
    const MaterialItem* found = scene.materials.Find(m.materialId);
    const MaterialItem& mat = found ? *found : kDefaultMaterial;
    const float opacity = engine::MaterialOpacity(mat);
    const engine::MeshBlend blending = engine::MeshBlending(m, opacity);
    const bool glow = blending == engine::MeshBlend::Glow;
    const bool alpha = blending == engine::MeshBlend::Alpha;
    const SurfaceProgram* p =
        SetSurface(scene, m.stages, false, mat,
                   !engine::MeshSelfLit(m) && mat.flag != 0 && !engine::UnlitScene(scene.frame),
                   glow || alpha ? opacity : 1.0f, glow, true);
    if (!p) return;
    glUniform1f(p->blend, 0);
    state.SetBlend(glow ? Blend::Add : alpha ? Blend::Alpha : Blend::None);
    state.Enable(GL_CULL_FACE, !(m.flags & 1));
    state.Enable(GL_DEPTH_TEST, m.depthMode != 2);
    state.DepthMask(!(glow || (m.flags & 2) || m.depthMode != 0));
    BindInstances(*gpu, instanceBuffer, std::size_t(first->instance) * kInstanceFloats * sizeof(float));
    state.VertexArrayChanged();
    state.BindVertexArray(gpu->vao);
    glDrawElementsInstanced(GL_TRIANGLES, gpu->indexCount, GL_UNSIGNED_INT, nullptr, GLsizei(count));
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
