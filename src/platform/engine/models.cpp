// Animated (keyframed) models.

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/math3d.h"
#include "platform/engine/resources.h"

namespace quorvel {

using engine::ModelItem;
using engine::State;

namespace {

engine::Pool<ModelItem>& Models() {
    return State().scene.models;
}
ModelItem* Current() {
    return Models().Current();
}

int FrameCount(const ModelItem& m) {
    return m.data ? int(m.data->frames.size()) : 0;
}

// A frame given as its number or as its keyframe name; -1 when neither.
int ParseFrame(const ModelItem& m, const std::string& text) {
    int n = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, n);
    if (ec == std::errc() && p == end) return n >= 0 && n < FrameCount(m) ? n : -1;
    for (int i = 0; i < FrameCount(m); ++i)
        if (m.data->frames[std::size_t(i)].name == text) return i;
    return -1;
}

void KeepInRange(ModelItem& m) {
    const float span = float(m.lastFrame - m.firstFrame);
    if (span <= 0) {
        m.framePosition = float(m.firstFrame);
        return;
    }
    float rel = m.framePosition - float(m.firstFrame);
    if (m.loop) {
        // Loops wrap to the first frame after blending from the last one back to it.
        rel = std::fmod(rel, span + 1);
        if (rel < 0) rel += span + 1;
    } else {
        rel = std::clamp(rel, 0.0f, span);
    }
    m.framePosition = float(m.firstFrame) + rel;
}

}  // namespace

int EngineAnimatedModels::LoadModel(const std::string& path, const std::string& key) {
    std::string reason;
    std::shared_ptr<const AnimatedModelData> data =
        key.empty() ? nullptr : engine::LoadAnimatedFile(path, &reason);
    if (!data) {
        engine::RecordFailedLoad("animated models", key, path, "model", reason);
        Models().Fail();
        return -1;
    }
    ModelItem& m = Models().Create(key);
    m.data = std::move(data);
    m.firstFrame = 0;
    m.lastFrame = FrameCount(m) - 1;
    return m.id;
}

bool EngineAnimatedModels::SelectModel(const std::string& key) {
    return Models().Select(key);
}
bool EngineAnimatedModels::SelectModelById(int id) {
    return Models().SelectId(id);
}
void EngineAnimatedModels::Clear() {
    Models().Clear();
}
int EngineAnimatedModels::GetModelCount() const {
    return Models().Count();
}

void EngineAnimatedModels::SetVisible(bool visible) {
    if (ModelItem* m = Current()) m->visible = visible;
}

void EngineAnimatedModels::SetPosition(const Vector& position) {
    if (ModelItem* m = Current(); m && engine::Finite(position)) m->place.position = position;
}

void EngineAnimatedModels::SetScale(const Vector& scale) {
    if (ModelItem* m = Current(); m && engine::Finite(scale)) m->scale = scale;
}

void EngineAnimatedModels::SetMaterial(const std::string& material) {
    if (ModelItem* m = Current()) m->materialId = State().scene.materials.IdOf(material);
}

void EngineAnimatedModels::SetStageTexture(int stage, const std::string& texture) {
    if (ModelItem* m = Current(); m && stage >= 0 && stage < 4)
        m->stages[std::size_t(stage)].textureId = State().scene.textures.IdOf(texture);
}

void EngineAnimatedModels::SetStageTextureId(int stage, int textureId) {
    if (ModelItem* m = Current(); m && stage >= 0 && stage < 4)
        m->stages[std::size_t(stage)].textureId = State().scene.textures.Find(textureId) ? textureId : -1;
}

void EngineAnimatedModels::SetStageMode(int stage, int mode) {
    if (ModelItem* m = Current(); m && stage >= 0 && stage < 4) m->stages[std::size_t(stage)].mode = mode;
}

int EngineAnimatedModels::GetFrameCount() const {
    const ModelItem* m = Current();
    return m ? FrameCount(*m) : 0;
}

void EngineAnimatedModels::SetFrameRange(int which, const std::string& frame) {
    ModelItem* m = Current();
    if (!m) return;
    const int f = ParseFrame(*m, frame);
    if (f < 0) return;
    if (which == 0) {
        m->firstFrame = f;
        m->lastFrame = std::max(m->lastFrame, f);
    } else {
        m->lastFrame = f;
        m->firstFrame = std::min(m->firstFrame, f);
    }
    KeepInRange(*m);
}

void EngineAnimatedModels::SetFrameBlend(int, int absolute, float value) {
    ModelItem* m = Current();
    if (!m || !std::isfinite(value)) return;
    if (absolute == 1)
        m->framePosition = float(m->firstFrame) + value;
    else
        m->framePosition += value;
    KeepInRange(*m);
}

void EngineAnimatedModels::SetModelSwitch(int value) {
    if (ModelItem* m = Current()) m->blendSwitch = value;
}

void EngineAnimatedModels::SetModelOption(int value) {
    if (ModelItem* m = Current()) m->lit = value;
}

void EngineAnimatedModels::SetFrameOptions(int loop, int) {
    if (ModelItem* m = Current()) {
        m->loop = loop != 0;
        KeepInRange(*m);
    }
}

void EngineAnimatedModels::SetModelAxis(const Vector& axis, float rate, int space, int, int, int) {
    ModelItem* m = Current();
    if (!m || !engine::Finite(axis) || !std::isfinite(rate)) return;
    m->spinAxis = axis;
    m->spinRate = rate;
    m->spinSpace = space;
}

}  // namespace quorvel
