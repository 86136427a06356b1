// The 2D layer over the 3D view: images, rectangles and text, drawn at EndFrame.

#include "platform/sdl/gl_renderer_impl.h"

#include <glm/gtc/type_ptr.hpp>
#include <memory>

#include "platform/sdl/glyphs.h"

namespace quorvel::sdl {

using namespace render;

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

}  // namespace

void GlRenderer::Impl::DrawImage(const Scene& scene, const ImageItem& image) {
    const std::shared_ptr<const Picture> pic = ImagePicture(scene, image);
    const GLuint tex = textures.Get(pic, 1, false);  // the 2D filters read no mipmap
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
    const GLuint tex = textures.Get(pic, 1, false);  // the 2D filters read no mipmap
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
        if ((image.visible || drawAll) && !IsFont(image)) DrawImage(scene, image);
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

}  // namespace quorvel::sdl
