// 2D: retained images and the queue of immediate calls.

#include <cmath>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/resources.h"

namespace quorvel {

using engine::Draw2DCall;
using engine::ImageItem;
using engine::State;

namespace {

engine::Pool<ImageItem>& Images() {
    return State().scene.images;
}
ImageItem* Current() {
    return Images().Current();
}

bool Finite2(const Vector2& v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// A call made while no frame is open belongs to the next frame shown.
void Queue(Draw2DCall call) {
    auto& s = State();
    (s.frameOpen ? s.scene.queue : s.pendingQueue).push_back(std::move(call));
}

}  // namespace

int EngineDraw2D::LoadImage(const std::string& path, const std::string& key, int flag) {
    std::string reason;
    std::shared_ptr<const engine::Picture> picture =
        key.empty() ? nullptr : engine::LoadPicture(path, flag, &reason);
    if (!picture) {
        engine::RecordFailedLoad("2D images", key, path, "picture", reason);
        Images().Fail();
        return -1;
    }
    if (!picture->warning.empty()) engine::NoteLoadWarning("2D images", key, path, picture->warning);
    ImageItem& image = Images().Create(key);
    image.picture = std::move(picture);
    image.loadFlag = flag;
    return image.id;
}

bool EngineDraw2D::SelectImage(const std::string& key) {
    return Images().Select(key);
}
bool EngineDraw2D::SelectImageById(int id) {
    return Images().SelectId(id);
}
int EngineDraw2D::GetImageId() const {
    return Images().CurrentId();
}
int EngineDraw2D::GetImageCount() const {
    return Images().Count();
}
void EngineDraw2D::RemoveImage() {
    Images().RemoveCurrent();
}
void EngineDraw2D::ClearImages() {
    Images().Clear();
}

void EngineDraw2D::SetImagePosition(const Vector2& position) {
    if (ImageItem* i = Current(); i && Finite2(position)) i->position = position;
}

void EngineDraw2D::SetImageSize(const Vector2& size) {
    if (ImageItem* i = Current(); i && Finite2(size)) i->size = size;
}

void EngineDraw2D::SetImageTexture(int stage, const std::string& texture) {
    if (ImageItem* i = Current(); i && stage == 0) i->textureId = State().scene.textures.IdOf(texture);
}

void EngineDraw2D::SetImageVisible(bool visible) {
    if (ImageItem* i = Current()) i->visible = visible;
}

void EngineDraw2D::SetImageMode(int mode) {
    if (ImageItem* i = Current()) i->mode = mode;
}

void EngineDraw2D::SetImageFlag(bool fullScreen) {
    if (ImageItem* i = Current()) i->fullScreen = fullScreen;
}

void EngineDraw2D::SetImageStyle(int style) {
    if (ImageItem* i = Current()) i->style = style;
}

void EngineDraw2D::SetImageAngle(float degrees) {
    if (ImageItem* i = Current(); i && std::isfinite(degrees)) i->angle = std::fmod(degrees, 360.0f);
}

void EngineDraw2D::RotateImage(float degrees) {
    if (ImageItem* i = Current(); i && std::isfinite(degrees))
        i->angle = std::fmod(i->angle + degrees, 360.0f);
}

void EngineDraw2D::SetImageCells(const Vector2& cellSize, const Vector2& cellStep) {
    ImageItem* i = Current();
    if (!i || !Finite2(cellSize) || !Finite2(cellStep) || cellSize.x <= 0 || cellSize.y <= 0) return;
    i->cellSize = cellSize;
    i->cellStep = cellStep;
}

void EngineDraw2D::SetImageFrameCount(int count) {
    if (ImageItem* i = Current(); i && count >= 1) {
        i->frameCount = count;
        i->frame %= count;
    }
}

void EngineDraw2D::SetImageColumns(int columns) {
    if (ImageItem* i = Current(); i && columns >= 1) i->columns = columns;
}

void EngineDraw2D::SetImageFrame(int frame) {
    if (ImageItem* i = Current(); i && frame >= 0 && frame < i->frameCount) i->frame = frame;
}

void EngineDraw2D::SetImageStep(int frames) {
    if (ImageItem* i = Current())
        i->frame = ((i->frame + frames) % i->frameCount + i->frameCount) % i->frameCount;
}

void EngineDraw2D::SetFontCell(const Vector2& cellSize, int firstCode) {
    ImageItem* i = Current();
    if (!i || !Finite2(cellSize) || cellSize.x <= 0 || cellSize.y <= 0) return;
    i->fontCell = cellSize;
    i->fontFirstCode = firstCode;
}

void EngineDraw2D::SetFontColour(const Colour& colour, int alpha) {
    if (ImageItem* i = Current()) {
        i->fontColour = colour;
        i->fontAlpha = alpha;
    }
}

void EngineDraw2D::SetDrawColour(const Colour& colour) {
    State().drawColour = colour;
}

void EngineDraw2D::SetDrawMode(int mode) {
    State().drawMode = mode;
}

void EngineDraw2D::DrawRectangle(const Vector2& corner1, const Vector2& corner2, bool filled) {
    if (!Finite2(corner1) || !Finite2(corner2)) return;
    Draw2DCall call;
    call.kind = Draw2DCall::Kind::Rectangle;
    call.a = corner1;
    call.b = corner2;
    call.filled = filled;
    call.colour = State().drawColour;
    call.drawMode = State().drawMode;
    Queue(std::move(call));
}

void EngineDraw2D::DrawText(const Vector2& position, const std::string& text) {
    if (!Finite2(position)) return;
    Draw2DCall call;
    call.kind = Draw2DCall::Kind::Text;
    call.a = position;
    call.text = text;
    call.colour = State().drawColour;
    call.drawMode = State().drawMode;
    Queue(std::move(call));
}

void EngineDraw2D::DrawFontText(const std::string& text, const Vector2& position, int mode, float size) {
    const ImageItem* font = Current();
    // A hidden font image, or an image that is not a font, draws no text.
    if (!font || !font->visible || font->fontCell.x <= 0 || !Finite2(position) || !std::isfinite(size))
        return;
    Draw2DCall call;
    call.kind = Draw2DCall::Kind::FontText;
    call.a = Vector2{font->position.x + position.x, font->position.y + position.y};
    call.text = text;
    call.colour = font->fontColour;
    call.colour.a = font->fontColour.a * float(font->fontAlpha) / 255.0f;
    call.drawMode = State().drawMode;
    call.fontImageId = font->id;
    call.textMode = mode;
    call.textSize = size;
    Queue(std::move(call));
}

}  // namespace quorvel
