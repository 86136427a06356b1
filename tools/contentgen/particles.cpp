// Particle-system files: the system's name, then its settings as 94 four-byte slots in
// 31 groups, each value in its own slot. The values follow the meaning the engine
// gives each group; sizes and speeds are world units.

#include <cstring>

#include "generate.h"
#include "platform/engine/particle_settings.h"

namespace quorvel::content {

namespace {

class Slots {
  public:
    void I16(int v) { Put(std::uint32_t(std::uint16_t(std::int16_t(v)))); }
    void U8(int v) { Put(std::uint32_t(std::uint8_t(v))); }
    void I32(std::int32_t v) { Put(std::uint32_t(v)); }
    void F32(float v) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        Put(u);
    }
    void Vec(const Vector& v) {
        F32(v.x);
        F32(v.y);
        F32(v.z);
    }
    const std::string& Bytes() const { return bytes_; }

  private:
    void Put(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes_.push_back(char((v >> (8 * i)) & 0xFF));
    }
    std::string bytes_;
};

std::string Serialize(const std::string& name, const ParticleSettings& s) {
    Slots w;
    for (unsigned char c : name)
        w.I32(c);
    w.I32(13);
    w.I16(s.maxParticles);  // 1
    w.I16(s.blendMode);
    w.I16(s.reserved1);
    w.I32(s.emitRate);      // 2
    w.I16(s.lifeMs);        // 3
    w.I32(s.lifeSpreadMs);  // 4
    w.I16(s.shape);         // 5
    w.Vec(s.startColour);   // 6
    w.Vec(s.endColour);
    w.Vec(s.alpha);      // 7
    w.Vec(s.startSize);  // 8
    w.Vec(s.endSize);
    w.Vec(s.point1);      // 9
    w.I16(s.continuous);  // 10
    w.F32(s.speed);       // 11
    w.F32(s.speedSpread);
    w.I16(s.directionMode);
    w.Vec(s.direction);      // 12
    w.F32(s.spreadDegrees);  // 13
    w.Vec(s.acceleration);   // 14
    w.I16(s.localSpace);     // 15
    w.Vec(s.boxExtents);     // 16
    w.I16(s.sphereRadius);   // 17
    w.Vec(s.drag);           // 18
    for (float r : s.rotation)
        w.F32(r);                              // 19
    w.I16(s.atlasCells);                       // 20
    for (const ParTriple& k : s.colourKeys) {  // 21
        w.I16(k.a);
        w.I16(k.b);
        w.I16(k.c);
    }
    w.Vec(s.wind);  // 22
    w.Vec(s.turbulence);
    w.Vec(s.reserved22);
    w.U8(s.colourMode);  // 23
    w.I32(s.burstCount);
    w.F32(s.emitSeconds);
    w.F32(s.reserved23);
    w.I16(s.prewarm);  // 24
    w.Vec(s.point2);   // 25
    for (float v : s.sizeCurve)
        w.F32(v);  // 26
    for (float v : s.alphaCurve)
        w.F32(v);        // 27
    w.F32(s.timeScale);  // 28
    for (float v : s.inherit)
        w.F32(v);  // 29
    for (float v : s.reserved30)
        w.F32(v);          // 30
    w.Vec(s.emitterTurn);  // 31
    return w.Bytes();
}

// An engine plume streaming back along `back` (in the emitter's axes).
ParticleSettings Plume(Vector back, int count, int rate, float size, float speed, Vector hot, Vector cold) {
    ParticleSettings s;
    s.maxParticles = std::int16_t(count);
    s.blendMode = 0;
    s.emitRate = rate;
    s.lifeMs = 650;
    s.lifeSpreadMs = 180;
    s.shape = 3;
    s.sphereRadius = std::int32_t(size / 4);
    s.startColour = hot;
    s.endColour = cold;
    s.alpha = {235, 0, 0};
    s.startSize = {size, size * 0.2f, 0};
    s.endSize = {size * 0.35f, size * 0.1f, 0};
    s.speed = speed;
    s.speedSpread = speed * 0.15f;
    s.direction = back;
    s.spreadDegrees = 5;
    s.drag = {0.3f, 0, 0};
    s.rotation = {0, 180, 90, 60};
    s.turbulence = {size * 0.2f, 0.5f, 0};
    s.prewarm = true;
    s.sizeCurve = {0.8f, 1.1f, 0.6f};
    s.alphaCurve = {1, 0.8f, 0};
    s.inherit = {0.5f, 0, 0};
    return s;
}

ParticleSettings Smoke(int count, int rate, Vector start, Vector end, std::int16_t blend, float rise) {
    ParticleSettings s;
    s.maxParticles = std::int16_t(count);
    s.blendMode = blend;
    s.emitRate = rate;
    s.lifeMs = 3000;
    s.lifeSpreadMs = 600;
    s.startColour = start;
    s.endColour = end;
    s.alpha = {180, 0, 0};
    s.startSize = {25, 8, 0};
    s.endSize = {140, 30, 0};
    s.speed = rise;
    s.speedSpread = rise * 0.3f;
    s.direction = {0, 1, 0};
    s.spreadDegrees = 25;
    s.acceleration = {0, 6, 0};
    s.drag = {0.3f, 0, 0};
    s.rotation = {0, 360, 20, 20};
    s.turbulence = {12, 0.4f, 0};
    s.sizeCurve = {0.5f, 1, 1.2f};
    s.alphaCurve = {0.6f, 1, 0};
    return s;
}

ParticleSettings SettingsFor(const std::string& recipe) {
    if (recipe == "par_enginemas")  // the mothership's stern is +Z
        return Plume({0, 0, 1}, 160, 90, 90, 500, {140, 255, 170}, {30, 120, 255});
    if (recipe == "par_mastips") {
        ParticleSettings s = Plume({0, 0, 1}, 80, 50, 40, 180, {120, 255, 120}, {20, 120, 40});
        s.lifeMs = 500;
        s.shape = 0;
        s.spreadDegrees = 10;
        return s;
    }
    if (recipe == "par_bateng")  // the battleship's stern is -Z
        return Plume({0, 0, -1}, 180, 110, 110, 650, {255, 230, 150}, {255, 80, 20});
    if (recipe == "par_low") {
        // Shared by every engine at low quality, so it glows round the nozzle
        // instead of pointing one way.
        ParticleSettings s = Plume({0, 0, 1}, 30, 25, 60, 60, {200, 220, 255}, {60, 80, 200});
        s.directionMode = 1;
        s.prewarm = false;
        return s;
    }
    if (recipe == "par_core" || recipe == "par_corelow") {
        ParticleSettings s;
        s.maxParticles = recipe == "par_core" ? 120 : 40;
        s.emitRate = recipe == "par_core" ? 60 : 20;
        s.lifeMs = 1600;
        s.lifeSpreadMs = 400;
        s.shape = 3;
        s.sphereRadius = 30;
        s.startColour = {120, 230, 255};
        s.endColour = {40, 80, 255};
        s.alpha = {200, 0, 0};
        s.startSize = {18, 5, 0};
        s.endSize = {4, 1, 0};
        s.speed = 25;
        s.speedSpread = 10;
        s.directionMode = 1;
        s.localSpace = true;
        s.prewarm = true;
        s.turbulence = {15, 1, 0};
        s.alphaCurve = {0.5f, 1, 0};
        return s;
    }
    if (recipe == "par_fire" || recipe == "par_firelow") {
        ParticleSettings s;
        const bool full = recipe == "par_fire";
        s.maxParticles = full ? 220 : 70;
        s.emitRate = full ? 160 : 50;
        s.lifeMs = 900;
        s.lifeSpreadMs = 300;
        s.shape = 3;
        s.sphereRadius = 60;
        s.startColour = {255, 220, 120};
        s.endColour = {200, 40, 10};
        s.alpha = {240, 0, 0};
        s.startSize = {60, 15, 0};
        s.endSize = {140, 30, 0};
        s.speed = 50;
        s.speedSpread = 20;
        s.directionMode = 1;
        s.drag = {0.8f, 0, 0};
        s.rotation = {0, 360, 60, 40};
        s.colourKeys = {ParTriple{255, 255, 200}, ParTriple{255, 180, 60}, ParTriple{220, 70, 20},
                        ParTriple{80, 30, 20}};
        s.colourMode = 1;
        s.turbulence = {30, 0.8f, 0};
        s.sizeCurve = {0.6f, 1, 1.2f};
        s.alphaCurve = {1, 0.7f, 0};
        return s;
    }
    if (recipe == "par_smoke") return Smoke(90, 22, {110, 110, 110}, {45, 45, 50}, 1, 35);
    if (recipe == "par_smokelow") return Smoke(30, 8, {100, 100, 100}, {45, 45, 50}, 1, 35);
    if (recipe == "par_smokegreen") {
        ParticleSettings s = Smoke(100, 60, {160, 255, 120}, {20, 80, 30}, 0, 70);
        s.lifeMs = 1000;
        s.startSize = {40, 10, 0};
        s.endSize = {110, 20, 0};
        s.spreadDegrees = 40;
        s.alpha = {230, 0, 0};
        return s;
    }
    if (recipe == "par_smokered") {
        ParticleSettings s = Smoke(100, 45, {255, 90, 40}, {60, 30, 30}, 1, 60);
        s.lifeMs = 1800;
        s.startSize = {40, 10, 0};
        s.endSize = {160, 30, 0};
        s.spreadDegrees = 35;
        s.alpha = {220, 0, 0};
        return s;
    }
    throw RecipeError("no particle recipe " + recipe);
}

}  // namespace

std::string MakeParticles(const ContentEntry& e) {
    return Serialize(BaseName(e.path), SettingsFor(e.recipe));
}

}  // namespace quorvel::content
