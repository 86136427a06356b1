// The sky cube behind each camera, and the lens flare over the main camera.

#include "platform/sdl/gl_renderer_impl.h"

#include <cstring>

#include <glm/gtc/type_ptr.hpp>

namespace quorvel::sdl {

using namespace render;

bool GlRenderer::Impl::DrawSky(const Scene& scene, const CameraView& cv) {
    glUseProgram(flat.id);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    SetBlend(Blend::None);
    glActiveTexture(GL_TEXTURE0);
    const GLuint mipmapped = Sampler3d(scene, true), linear = samplers3d[1][1];
    // Seen from its centre, a cube face spans at least twice the focal length in pixels
    // each way: a picture no wider than that is enlarged everywhere on it, where every
    // filter reads the top level alike. Reading it without the mipmap saves the work
    // of choosing a level per pixel.
    const float focal = 0.5f * float(cv.height) / std::tan(0.5f * cv.fov * kDeg);
    glUniform1i(flat.useTex, 1);
    bool drawn = false;
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
            const engine::TextureItem* t = scene.textures.Find(sky.faceTexture[face]);
            const bool enlarged =
                t && t->picture && float(std::max(t->picture->width, t->picture->height)) <= focal;
            glBindSampler(0, enlarged ? linear : mipmapped);
            std::array<glm::vec3, 4> c = kFaces[face];
            for (glm::vec3& p : c)
                p *= s;
            stream.Quad(c, {glm::vec2(0, 0), glm::vec2(1, 0), glm::vec2(1, 1), glm::vec2(0, 1)},
                        glm::vec4(1));
            glBindTexture(GL_TEXTURE_2D, tex);
            stream.Flush();
            drawn = true;
        }
    }
    glBindSampler(0, 0);
    return drawn;
}

namespace {

constexpr int kFlareGrid = 5;  // the square of depth texels read around a sun

// The share of the depth texels of a read that lie in its view and hold nothing.
float ClearShare(const std::array<float, kFlareGrid * kFlareGrid>& depth, int gx, int gy, int height,
                 int viewX, int viewY, int viewW, int viewH) {
    int total = 0, clear = 0;
    for (int j = 0; j < kFlareGrid; ++j)
        for (int i = 0; i < kFlareGrid; ++i) {
            const int px = gx + i, py = height - 1 - (gy + j);
            if (px < viewX || px >= viewX + viewW || py < viewY || py >= viewY + viewH) continue;
            ++total;
            if (depth[std::size_t(j * kFlareGrid + i)] >= 1.0f) ++clear;
        }
    return total ? float(clear) / float(total) : 0.0f;
}

}  // namespace

// How much of each flare's sun the scene leaves in view: the depth buffer around the
// sun's point after the main camera drew (nothing there: seen). The depth is read into a
// pixel buffer and taken up a frame later, when the driver has long finished it; a sun
// that was not in view the frame before is read at once, so it never shows for a frame
// through a mesh that covers it.
void GlRenderer::Impl::SampleFlares(const Scene& scene, const CameraView& cv) {
    flareVisibility.clear();
    std::map<int, FlareRead> reads;
    for (const SkyItem& sky : scene.sky.Items()) {
        if (sky.kind != int(engine::SkyKind::Flare) || !sky.visible || sky.flareMode != 0) continue;
        const glm::vec4 clip = cv.viewProj * glm::vec4(V(sky.flareSource), 1);
        float seen = 0;
        const float sx = float(cv.x) + (clip.x / clip.w * 0.5f + 0.5f) * float(cv.width);
        const float sy = float(cv.y) + (0.5f - clip.y / clip.w * 0.5f) * float(cv.height);
        // A sun near the camera's plane lands far outside the frame (and int range): unseen.
        if (clip.w > 1e-6f && sx >= 0 && sx < float(width) && sy >= 0 && sy < float(height)) {
            const int gx = int(std::floor(sx)) - kFlareGrid / 2,
                      gy = height - 1 - int(std::floor(sy)) - kFlareGrid / 2;
            if (gx >= 0 && gy >= 0 && gx + kFlareGrid <= width && gy + kFlareGrid <= height) {
                std::array<float, kFlareGrid * kFlareGrid> depth{};
                FlareRead read;
                const auto last = flareReads.find(sky.id);
                if (last != flareReads.end()) {
                    read = last->second;
                    flareReads.erase(last);
                }
                glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
                if (read.pending) {
                    glBindBuffer(GL_PIXEL_PACK_BUFFER, read.buffer);
                    const void* mapped =
                        glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, GLsizeiptr(sizeof depth), GL_MAP_READ_BIT);
                    if (mapped) std::memcpy(depth.data(), mapped, sizeof depth);
                    // A buffer whose contents went bad while mapped reads as covered.
                    if (!mapped || glUnmapBuffer(GL_PIXEL_PACK_BUFFER) != GL_TRUE) depth.fill(0.0f);
                    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
                    seen = ClearShare(depth, read.gx, read.gy, height, read.viewX, read.viewY, read.viewW,
                                      read.viewH);
                } else {
                    glReadPixels(gx, gy, kFlareGrid, kFlareGrid, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
                    seen = ClearShare(depth, gx, gy, height, cv.x, cv.y, cv.width, cv.height);
                }
                // This frame's read, for the next frame.
                if (!read.buffer) {
                    glGenBuffers(1, &read.buffer);
                    glBindBuffer(GL_PIXEL_PACK_BUFFER, read.buffer);
                    glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(sizeof depth), nullptr, GL_STREAM_READ);
                } else {
                    glBindBuffer(GL_PIXEL_PACK_BUFFER, read.buffer);
                }
                glReadPixels(gx, gy, kFlareGrid, kFlareGrid, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
                glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
                read.gx = gx;
                read.gy = gy;
                read.viewX = cv.x;
                read.viewY = cv.y;
                read.viewW = cv.width;
                read.viewH = cv.height;
                read.pending = true;
                reads[sky.id] = read;
            }
        }
        flareVisibility[sky.id] = seen;
    }
    // Reads of suns not in view this frame are stale by the time they show again.
    ReleaseFlareReads();
    flareReads = std::move(reads);
}

void GlRenderer::Impl::ReleaseFlareReads() {
    for (auto& [id, read] : flareReads)
        if (read.buffer) glDeleteBuffers(1, &read.buffer);
    flareReads.clear();
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

}  // namespace quorvel::sdl
