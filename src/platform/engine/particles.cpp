// Particle systems: settings, emitter and the simulation behind each.

#include <cmath>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/math3d.h"

namespace quorvel {

using engine::ParticleItem;
using engine::State;

namespace {

engine::Pool<ParticleItem>& Systems() {
    return State().scene.particles;
}
ParticleItem* Current() {
    return Systems().Current();
}

// Changes the current system's settings; the simulation takes them at the next update.
template <class F>
void Settings(F&& change) {
    if (ParticleItem* p = Current()) {
        change(p->settings);
        p->settingsChanged = true;
    }
}

}  // namespace

namespace engine {

// Hands changed settings and the emitter to the simulation and advances it.
void UpdateParticles(ParticleItem& p, float seconds) {
    ParticleSim& sim = *p.sim;
    if (p.settingsChanged) {
        ParticleSettings s = p.settings;
        if (p.rateOverride >= 0) s.emitRate = int(std::lround(p.rateOverride));
        if (p.spreadOverride >= 0) s.spreadDegrees = p.spreadOverride;
        sim.SetSettings(s);
        p.settingsChanged = false;
    }
    sim.SetEmitterPosition(p.emitter.position);
    sim.SetEmitterAxes(p.emitter.right, p.emitter.up, p.emitter.front);
    sim.SetEmitterPoint1(p.point1);
    sim.SetEmitterPoint2(p.point2);
    sim.SetEmitting(p.emitting);
    if (seconds > 0) sim.Update(seconds);
}

}  // namespace engine

int EngineParticles::CreateSystem(const std::string& key) {
    if (key.empty()) {
        Systems().Fail();
        return -1;
    }
    ParticleItem& p = Systems().Create(key);
    p.sim = std::make_shared<ParticleSim>(p.settings);
    return p.id;
}

bool EngineParticles::SelectSystem(const std::string& key) {
    return Systems().Select(key);
}
bool EngineParticles::SelectSystemById(int id) {
    return Systems().SelectId(id);
}
int EngineParticles::GetSystemCount() const {
    return Systems().Count();
}
int EngineParticles::GetCurrentSystemId() const {
    return Systems().CurrentId();
}
void EngineParticles::RemoveSystem() {
    Systems().RemoveCurrent();
}

void EngineParticles::SetEmitting(bool on) {
    if (ParticleItem* p = Current()) p->emitting = on;
}

void EngineParticles::SetEmitterPosition(const Vector& position) {
    if (ParticleItem* p = Current(); p && engine::Finite(position)) p->emitter.position = position;
}

void EngineParticles::SetEmitterVector1(const Vector& point) {
    SetParGroup09(point);
}

void EngineParticles::SetEmitterVector2(const Vector& point) {
    SetParGroup25(point);
}

void EngineParticles::SetEmitterAxes(const Vector& right, const Vector& up, const Vector& front) {
    if (ParticleItem* p = Current()) engine::SetAxes(p->emitter, right, up, front);
}

void EngineParticles::SetEmitterTarget(const Vector& point) {
    if (ParticleItem* p = Current()) engine::LookAt(p->emitter, point);
}

void EngineParticles::SetSystemParamA(float value, int on) {
    if (ParticleItem* p = Current(); p && std::isfinite(value)) {
        p->rateOverride = on ? std::max(value, 0.0f) : -1;
        p->settingsChanged = true;
    }
}

void EngineParticles::SetSystemParamB(float value, int on) {
    if (ParticleItem* p = Current(); p && std::isfinite(value)) {
        p->spreadOverride = on ? std::max(value, 0.0f) : -1;
        p->settingsChanged = true;
    }
}

void EngineParticles::SetTexture(const std::string& texture) {
    if (ParticleItem* p = Current()) p->textureId = State().scene.textures.IdOf(texture);
}

void EngineParticles::SetParGroup01(int maxParticles, int blendMode, int reserved) {
    Settings([&](ParticleSettings& s) {
        s.maxParticles = maxParticles;
        s.blendMode = blendMode;
        s.reserved1 = reserved;
    });
}
void EngineParticles::SetParGroup02(int emitRate) {
    Settings([&](ParticleSettings& s) { s.emitRate = emitRate; });
}
void EngineParticles::SetParGroup03(int lifeMs) {
    Settings([&](ParticleSettings& s) { s.lifeMs = lifeMs; });
}
void EngineParticles::SetParGroup04(int lifeSpreadMs) {
    Settings([&](ParticleSettings& s) { s.lifeSpreadMs = lifeSpreadMs; });
}
void EngineParticles::SetParGroup05(int shape) {
    Settings([&](ParticleSettings& s) { s.shape = shape; });
}
void EngineParticles::SetParGroup06(const Vector& startColour, const Vector& endColour) {
    Settings([&](ParticleSettings& s) {
        s.startColour = startColour;
        s.endColour = endColour;
    });
}
void EngineParticles::SetParGroup07(const Vector& alpha) {
    Settings([&](ParticleSettings& s) { s.alpha = alpha; });
}
void EngineParticles::SetParGroup08(const Vector& startSize, const Vector& endSize) {
    Settings([&](ParticleSettings& s) {
        s.startSize = startSize;
        s.endSize = endSize;
    });
}
void EngineParticles::SetParGroup09(const Vector& point1) {
    if (ParticleItem* p = Current(); p && engine::Finite(point1)) {
        p->settings.point1 = point1;
        p->point1 = point1;
    }
}
void EngineParticles::SetParGroup10(bool continuous) {
    Settings([&](ParticleSettings& s) { s.continuous = continuous; });
}
void EngineParticles::SetParGroup11(float speed, float speedSpread, int directionMode) {
    Settings([&](ParticleSettings& s) {
        s.speed = speed;
        s.speedSpread = speedSpread;
        s.directionMode = directionMode;
    });
}
void EngineParticles::SetParGroup12(const Vector& direction) {
    Settings([&](ParticleSettings& s) { s.direction = direction; });
}
void EngineParticles::SetParGroup13(float spreadDegrees) {
    Settings([&](ParticleSettings& s) { s.spreadDegrees = spreadDegrees; });
}
void EngineParticles::SetParGroup14(const Vector& acceleration) {
    Settings([&](ParticleSettings& s) { s.acceleration = acceleration; });
}
void EngineParticles::SetParGroup15(bool localSpace) {
    Settings([&](ParticleSettings& s) { s.localSpace = localSpace; });
}
void EngineParticles::SetParGroup16(const Vector& boxExtents) {
    Settings([&](ParticleSettings& s) { s.boxExtents = boxExtents; });
}
void EngineParticles::SetParGroup17(int sphereRadius) {
    Settings([&](ParticleSettings& s) { s.sphereRadius = sphereRadius; });
}
void EngineParticles::SetParGroup18(const Vector& drag) {
    Settings([&](ParticleSettings& s) { s.drag = drag; });
}
void EngineParticles::SetParGroup19(const std::array<float, 4>& rotation) {
    Settings([&](ParticleSettings& s) { s.rotation = rotation; });
}
void EngineParticles::SetParGroup20(int atlasCells) {
    Settings([&](ParticleSettings& s) { s.atlasCells = atlasCells; });
}
void EngineParticles::SetParGroup21(const ParTriple& key1, const ParTriple& key2, const ParTriple& key3,
                                    const ParTriple& key4) {
    Settings([&](ParticleSettings& s) { s.colourKeys = {key1, key2, key3, key4}; });
}
void EngineParticles::SetParGroup22(const Vector& wind, const Vector& turbulence, const Vector& reserved) {
    Settings([&](ParticleSettings& s) {
        s.wind = wind;
        s.turbulence = turbulence;
        s.reserved22 = reserved;
    });
}
void EngineParticles::SetParGroup23(int colourMode, int burstCount, float emitSeconds, float reserved) {
    Settings([&](ParticleSettings& s) {
        s.colourMode = colourMode;
        s.burstCount = burstCount;
        s.emitSeconds = emitSeconds;
        s.reserved23 = reserved;
    });
}
void EngineParticles::SetParGroup24(bool prewarm) {
    Settings([&](ParticleSettings& s) { s.prewarm = prewarm; });
}
void EngineParticles::SetParGroup25(const Vector& point2) {
    if (ParticleItem* p = Current(); p && engine::Finite(point2)) {
        p->settings.point2 = point2;
        p->point2 = point2;
    }
}
void EngineParticles::SetParGroup26(float birth, float middle, float death) {
    Settings([&](ParticleSettings& s) { s.sizeCurve = {birth, middle, death}; });
}
void EngineParticles::SetParGroup27(float birth, float middle, float death) {
    Settings([&](ParticleSettings& s) { s.alphaCurve = {birth, middle, death}; });
}
void EngineParticles::SetParGroup28(float timeScale) {
    Settings([&](ParticleSettings& s) { s.timeScale = timeScale; });
}
void EngineParticles::SetParGroup29(float inherit, float r1, float r2) {
    Settings([&](ParticleSettings& s) { s.inherit = {inherit, r1, r2}; });
}
void EngineParticles::SetParGroup30(float r1, float r2, float r3) {
    Settings([&](ParticleSettings& s) { s.reserved30 = {r1, r2, r3}; });
}
void EngineParticles::SetParGroup31(const Vector& emitterTurn, float, int, int, int, int) {
    Settings([&](ParticleSettings& s) { s.emitterTurn = emitterTurn; });
}

}  // namespace quorvel
