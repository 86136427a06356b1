#pragma once
// One particle system simulated on the CPU from its ParticleSettings.
//
// The emitter has a position, three axes (right, up, front) in which its box and
// direction are given, and an on/off switch. Shapes: a point emits at the emitter
// position, a line between the two emitter points, a box and a sphere around the
// position. The emitter points are world points: the game sets them together with
// the emitter position whenever it moves a system, so a line whose two points sit
// on the emitter emits from the emitter. A system starts switched on; switching it on releases its burst
// once. Prewarm runs one life ahead the first time the system is updated while on, so it appears full. The
// particle store is sized by maxParticles and is never grown during updates.

#include <span>
#include <vector>

#include "platform/engine/particle_settings.h"
#include "platform/engine/types.h"

namespace quorvel {

// What the renderer draws of one live particle.
struct ParticleView {
    Vector position;  // world
    float size = 0;   // edge of the sprite, world units
    Colour colour;    // 0..255 each
    float angle = 0;  // degrees
    int frame = 0;    // atlas cell, counted row by row from the top left
};

// How the prewarm of a system runs: `steps` steps of `step` seconds, one life time in
// all (at most 30 seconds). Its cost is bounded whatever a file asks for: past a budget
// of particle updates the steps get longer rather than more.
struct PrewarmPlan {
    int steps = 0;
    float step = 0;
};
inline constexpr long PrewarmParticleBudget = 500000;
PrewarmPlan PlanPrewarm(const ParticleSettings& settings);

class ParticleSim {
  public:
    explicit ParticleSim(const ParticleSettings& settings = {});

    void SetSettings(const ParticleSettings& settings);
    const ParticleSettings& Settings() const { return settings_; }

    void SetEmitterPosition(const Vector& position);
    const Vector& EmitterPosition() const { return position_; }
    // Zero-length or non-finite axes are ignored.
    void SetEmitterAxes(const Vector& right, const Vector& up, const Vector& front);
    // The two world points of the line shape.
    void SetEmitterPoint1(const Vector& point) { settings_.point1 = point; }
    void SetEmitterPoint2(const Vector& point) { settings_.point2 = point; }
    void SetEmitting(bool on);
    bool Emitting() const { return emitting_; }

    // Advances the system by `seconds` of wall time (scaled by the time scale).
    void Update(float seconds);
    // Removes every live particle.
    void Clear();

    std::span<const ParticleView> Particles() const;
    int Count() const { return int(live_.size()); }

  private:
    struct Live {
        Vector pos, vel;  // world, or relative to the emitter in its axes for local space
        float age = 0, life = 1;
        float size0 = 0, size1 = 0;
        float angle = 0, spin = 0;
        Vector phase;  // turbulence phases
    };

    void Step(float dt);
    void Emit(float dt);
    void Spawn(float age);
    Vector ToWorld(const Vector& local) const;
    Vector ToLocal(const Vector& world) const;

    ParticleSettings settings_;
    std::size_t capacity_ = 0;
    std::vector<Live> live_;
    mutable std::vector<ParticleView> view_;
    mutable bool viewDirty_ = true;

    Vector position_{};
    Vector right_{1, 0, 0}, up_{0, 1, 0}, front_{0, 0, 1};
    Vector previousPosition_{};
    Vector emitterVelocity_{};
    bool havePrevious_ = false;

    bool emitting_ = true;
    bool burstPending_ = true;
    bool prewarmPending_ = true;
    float onSeconds_ = 0;
    float emitDebt_ = 0;
};

}  // namespace quorvel
