// The renderer's frame: its GL resources, the off-screen target, and the frame
// the engine begins, renders, ends and shows.

#include "platform/sdl/gl_renderer.h"

#include <stb_image_write.h>

#include <malloc.h>

#include <chrono>
#include <vector>

#include "platform/sdl/gl_renderer_impl.h"
#include "platform/sdl/glyphs.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/window.h"

namespace quorvel::sdl {

using namespace render;

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
    flareReads.clear();
    surfaces = {};
    surfaceFailed = {};
    surfacePass = {};
    ready = BuildFlatProgram(flat);
    if (!ready) return false;
    stream.Init();
    glGenBuffers(1, &instanceBuffer);
    instanceCapacity = 0;
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
        // Nearest saves work where a texture is shrunk; enlarged, it would show blocks.
        samplers3d[0][w] = make(GL_NEAREST, GL_LINEAR, wrap);
        samplers3d[1][w] = make(GL_LINEAR, GL_LINEAR, wrap);
        // One mipmap level per pixel: blending two levels costs the software renderer
        // about a fifth of a busy frame and shows only as a soft seam between levels.
        samplers3d[2][w] = make(GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, wrap);
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
    if (instanceBuffer) glDeleteBuffers(1, &instanceBuffer);
    instanceBuffer = 0;
    ReleaseFlareReads();
    instanceCapacity = 0;
    if (glyphTexture) glDeleteTextures(1, &glyphTexture);
    for (auto& pair : samplers3d)
        glDeleteSamplers(2, pair);
    for (GLuint s : {samplerRepeat, samplerClamp, samplerNearest})
        glDeleteSamplers(1, &s);
    for (SurfaceProgram& p : surfaces)
        if (p.id) glDeleteProgram(p.id);
    surfaces = {};
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

// Pixels let go after uploads (a megabyte a picture) leave holes all over the heap,
// which the allocator keeps for itself: after new uploads they go back to the system.
void GlRenderer::Impl::TrimAfterUploads() {
    if (textures.Uploads() == uploadsTrimmed) return;
    uploadsTrimmed = textures.Uploads();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void GlRenderer::Impl::ClearPending() {
    if (!clearPending) return;
    clearPending = false;
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
    glClearColor(clearColour.r, clearColour.g, clearColour.b, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// ---- Renderer ----------------------------------------------------------------------

GlRenderer::GlRenderer() : impl_(std::make_unique<Impl>()) {}

GlRenderer::~GlRenderer() {
    impl_->Release();
}

void GlRenderer::BeginFrame(const Scene& scene) {
    Impl& r = *impl_;
    if (!r.Target(scene)) return;
    r.clearColour = Rgba(scene.frame.sceneColourA);
    r.clearPending = true;
    // Now and then let go of pictures and models the engine no longer holds.
    if (++r.frames % 120 == 0) {
        r.textures.Sweep();
        r.geometry.Sweep();
        r.TrimAfterUploads();
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
    r.ClearPending();
    r.Draw2D(scene);
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    detail::FrameDrawn();
    Present();
}

void GlRenderer::DrawHidden(const Scene& scene) {
    Impl& r = *impl_;
    if (!r.Target(scene)) return;
    // The software renderer builds its code for each way of drawing when it first
    // draws that way: drawing every item once, in view or not, builds it all here.
    r.clearColour = Rgba(scene.frame.sceneColourA);
    r.clearPending = true;
    r.drawAll = true;
    RenderScene(scene);
    r.drawAll = false;
    r.ClearPending();
    r.Draw2D(scene);
    glBindVertexArray(0);
    // Not finished: the picture stays the one the next frame draws over, unseen.
    glFlush();
}

void GlRenderer::Prepare(const Scene& scene, double budgetMs) {
    Impl& r = *impl_;
    if (!r.Ready()) return;
    const auto due = std::chrono::steady_clock::now() + std::chrono::duration<double, std::milli>(budgetMs);
    auto late = [&] { return std::chrono::steady_clock::now() >= due; };
    const int fog = scene.frame.switchB ? kSurfaceFog : 0;
    // The lit variants under the one sun a level has; static meshes draw instanced,
    // sprites and animated models not.
    const int lit = kSurfaceLit | kSurfaceVertexLit | (engine::FlatShading(scene.frame) ? kSurfaceFlat : 0);
    const int shiny = engine::SpecularOn(scene.frame) ? lit | kSurfaceSpecular : lit;
    const int mesh = kSurfaceInstanced | fog;
    for (int variant : {kSurfaceBase | lit | mesh, kSurfaceBase | fog, lit | mesh,
                        kSurfaceBase | shiny | mesh, kSurfaceBase | lit | fog}) {
        if (r.surfaces[std::size_t(variant)].id || r.surfaceFailed[std::size_t(variant)]) continue;
        if (!BuildSurfaceProgram(r.surfaces[std::size_t(variant)], variant))
            r.surfaceFailed[std::size_t(variant)] = true;
        if (late()) return;
    }
    const int divisor = engine::TextureDivisor(scene.frame);
    for (const engine::TextureItem& t : scene.textures.Items()) {
        const int before = r.textures.Uploads();
        r.textures.Get(t.picture, divisor);
        if (r.textures.Uploads() != before && late()) return;
    }
    for (const ImageItem& image : scene.images.Items()) {
        const int before = r.textures.Uploads();
        r.textures.Get(ImagePicture(scene, image), 1, false);
        if (r.textures.Uploads() != before && late()) return;
    }
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
