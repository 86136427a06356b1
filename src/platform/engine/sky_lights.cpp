// Sky items (the sky cube and the lens flare) and lights.

#include <cmath>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/math3d.h"

namespace quorvel {

using engine::LightItem;
using engine::SkyItem;
using engine::State;

namespace {

engine::Pool<SkyItem>& Sky() {
    return State().scene.sky;
}
SkyItem* CurrentSky() {
    return Sky().Current();
}
SkyItem* CurrentFlare() {
    SkyItem* s = CurrentSky();
    return s && s->kind == int(engine::SkyKind::Flare) ? s : nullptr;
}

engine::Pool<LightItem>& Lights() {
    return State().scene.lights;
}

}  // namespace

// ---- EngineSky -------------------------------------------------------------------

int EngineSky::CreateSkyItem(const std::string& key, int kind, float size) {
    if (key.empty() || (kind != int(engine::SkyKind::Cube) && kind != int(engine::SkyKind::Flare)) ||
        !std::isfinite(size)) {
        Sky().Fail();
        return -1;
    }
    SkyItem& s = Sky().Create(key);
    s.kind = kind;
    s.size = size;
    return s.id;
}

bool EngineSky::SelectSkyItem(const std::string& key) {
    return Sky().Select(key);
}
bool EngineSky::SelectSkyItemById(int id) {
    return Sky().SelectId(id);
}
int EngineSky::GetSkyItemCount() const {
    return Sky().Count();
}
void EngineSky::RemoveSkyItem() {
    Sky().RemoveCurrent();
}
void EngineSky::ClearSky() {
    Sky().Clear();
}

void EngineSky::SetSkyFace(int face, int textureId) {
    if (SkyItem* s = CurrentSky(); s && face >= 0 && face < 6)
        s->faceTexture[std::size_t(face)] = State().scene.textures.Find(textureId) ? textureId : -1;
}

void EngineSky::SetItemTexture(int face, const std::string& texture) {
    if (SkyItem* s = CurrentSky(); s && face >= 0 && face < 6)
        s->faceTexture[std::size_t(face)] = State().scene.textures.IdOf(texture);
}

void EngineSky::SetItemVisible(bool visible) {
    if (SkyItem* s = CurrentSky()) s->visible = visible;
}

Vector EngineSky::GetItemPosition() const {
    const SkyItem* s = CurrentSky();
    if (!s) return Vector{};
    if (s->kind == int(engine::SkyKind::Flare)) return s->flareSource;
    // The cube travels with the main camera.
    const engine::CameraItem* cam = State().scene.cameras.Find(0);
    return cam ? cam->place.position : Vector{};
}

void EngineSky::SetFlareMode(int mode) {
    if (SkyItem* s = CurrentFlare()) s->flareMode = mode;
}

void EngineSky::SetFlareSource(const Vector& source) {
    if (SkyItem* s = CurrentFlare(); s && engine::Finite(source)) s->flareSource = source;
}

void EngineSky::SetFlareSetup(const FlareSetupRec& setup) {
    if (SkyItem* s = CurrentFlare()) s->flareSetup = setup;
}

void EngineSky::SetFlareElement(int index, const FlareElementRec& element) {
    if (SkyItem* s = CurrentFlare(); s && index >= 0 && index < int(s->flareElements.size()))
        s->flareElements[std::size_t(index)] = element;
}

void EngineSky::SetFlareVisible(bool visible) {
    if (SkyItem* s = CurrentFlare()) s->visible = visible;
}

// ---- EngineLights ------------------------------------------------------------

int EngineLights::CreateLight(const std::string& key, float range, int type, float falloff, float innerAngle,
                              float outerAngle) {
    if (key.empty() || type < 1 || type > 3) {
        Lights().Fail();
        return -1;
    }
    // A scene has one light per key: loading the level again must not add a second sun.
    while (Lights().Find(key))
        Lights().Remove(Lights().IdOf(key));
    LightItem& l = Lights().Create(key);
    l.range = range;
    l.type = type;
    l.falloff = falloff;
    l.innerAngle = innerAngle;
    l.outerAngle = outerAngle;
    return l.id;
}

bool EngineLights::SelectLight(const std::string& key) {
    return Lights().Select(key);
}

void EngineLights::SetLightPosition(float x, float y, float z) {
    if (LightItem* l = Lights().Current(); l && engine::Finite(Vector{x, y, z})) l->position = {x, y, z};
}

void EngineLights::SetLightColour(float r, float g, float b, float a) {
    if (LightItem* l = Lights().Current()) l->colour = {r, g, b, a};
}

void EngineLights::SetLightDirection(float x, float y, float z) {
    const Vector d = Normalise(Vector{x, y, z});
    if (LightItem* l = Lights().Current(); l && Length(d) > 0) l->direction = d;
}

}  // namespace quorvel
