#include "platform/engine/particle_sim.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/system/random.h"

namespace quorvel {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kDegrees = kPi / 180.0f;
// Long pauses are caught up in bounded steps, so a stall cannot make a frame slow.
constexpr float kMaxStep = 0.1f;
constexpr int kMaxSteps = 100;
constexpr float kPrewarmStep = 1.0f / 30.0f;
constexpr float kMaxPrewarmSeconds = 30.0f;

float Random() {
    return static_cast<float>(sys::Rnd());
}
// Base value plus a spread in both directions.
float Spread(float base, float spread) {
    return base + spread * (2.0f * Random() - 1.0f);
}

bool Finite(const Vector& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}
float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}
// Birth, mid-life and death values, linear in between.
float Curve(const std::array<float, 3>& c, float t) {
    return t < 0.5f ? Lerp(c[0], c[1], t * 2.0f) : Lerp(c[1], c[2], (t - 0.5f) * 2.0f);
}

Vector RandomUnit() {
    const float z = 2.0f * Random() - 1.0f;
    const float phi = 2.0f * kPi * Random();
    const float r = std::sqrt(std::max(0.0f, 1.0f - z * z));
    return {r * std::cos(phi), r * std::sin(phi), z};
}

// Turns a vector by the emitter turn: roll about front, then pitch about right, then
// yaw about up (degrees, left-handed: positive yaw turns front toward right).
Vector Turn(const Vector& v, const Vector& degrees) {
    if (degrees.x == 0 && degrees.y == 0 && degrees.z == 0) return v;
    const float p = degrees.x * kDegrees, y = degrees.y * kDegrees, r = degrees.z * kDegrees;
    Vector a{v.x * std::cos(r) - v.y * std::sin(r), v.x * std::sin(r) + v.y * std::cos(r), v.z};
    a = {a.x, a.y * std::cos(p) - a.z * std::sin(p), a.y * std::sin(p) + a.z * std::cos(p)};
    return {a.x * std::cos(y) + a.z * std::sin(y), a.y, -a.x * std::sin(y) + a.z * std::cos(y)};
}

// A direction within `halfAngle` degrees of the unit vector `d`, even over the cap.
Vector InCone(const Vector& d, float halfAngle) {
    const float cosMax = std::cos(std::clamp(halfAngle, 0.0f, 180.0f) * kDegrees);
    const float cosT = 1.0f - Random() * (1.0f - cosMax);
    const float sinT = std::sqrt(std::max(0.0f, 1.0f - cosT * cosT));
    const float phi = 2.0f * kPi * Random();
    // Any two unit vectors square to d and each other.
    const Vector helper = std::fabs(d.x) < 0.9f ? Vector{1, 0, 0} : Vector{0, 1, 0};
    const Vector u = Cross(d, helper) * (1.0f / Length(Cross(d, helper)));
    const Vector w = Cross(d, u);
    return d * cosT + (u * (sinT * std::cos(phi)) + w * (sinT * std::sin(phi)));
}

}  // namespace

PrewarmPlan PlanPrewarm(const ParticleSettings& settings) {
    if (!settings.prewarm) return {};
    // In floats: a file's extreme lives would overflow an int sum.
    const float ahead =
        std::min(kMaxPrewarmSeconds,
                 (float(std::max(0, settings.lifeMs)) + std::fabs(float(settings.lifeSpreadMs))) / 1000.0f);
    if (!(ahead > 0)) return {};
    const long capacity = std::max<long>(1, settings.maxParticles);
    const int affordable = int(std::max<long>(1, PrewarmParticleBudget / capacity));
    const int steps = std::min(affordable, int(std::ceil(ahead / kPrewarmStep)));
    return {steps, ahead / float(steps)};
}

ParticleSim::ParticleSim(const ParticleSettings& settings) {
    SetSettings(settings);
}

void ParticleSim::SetSettings(const ParticleSettings& settings) {
    settings_ = settings;
    const std::size_t capacity = std::size_t(std::max<int>(0, settings_.maxParticles));
    if (capacity != capacity_) {
        capacity_ = capacity;
        if (live_.size() > capacity_) live_.resize(capacity_);
        live_.reserve(capacity_);
        view_.reserve(capacity_);
    }
    viewDirty_ = true;
}

void ParticleSim::SetEmitterPosition(const Vector& position) {
    position_ = position;
    if (settings_.localSpace) viewDirty_ = true;
}

void ParticleSim::SetEmitterAxes(const Vector& right, const Vector& up, const Vector& front) {
    for (const Vector* a : {&right, &up, &front})
        if (!Finite(*a) || Length(*a) < 1e-6f) return;
    right_ = right * (1.0f / Length(right));
    up_ = up * (1.0f / Length(up));
    front_ = front * (1.0f / Length(front));
    if (settings_.localSpace) viewDirty_ = true;
}

void ParticleSim::SetEmitting(bool on) {
    if (on && !emitting_) {
        burstPending_ = true;
        onSeconds_ = 0;
        emitDebt_ = 0;
        havePrevious_ = false;
    }
    if (!on) burstPending_ = false;
    emitting_ = on;
}

void ParticleSim::Clear() {
    live_.clear();
    viewDirty_ = true;
}

Vector ParticleSim::ToWorld(const Vector& local) const {
    return right_ * local.x + (up_ * local.y + front_ * local.z);
}

Vector ParticleSim::ToLocal(const Vector& world) const {
    return {Dot(world, right_), Dot(world, up_), Dot(world, front_)};
}

void ParticleSim::Update(float seconds) {
    const float timeScale = std::isfinite(settings_.timeScale) ? std::max(0.0f, settings_.timeScale) : 1.0f;
    if (!std::isfinite(seconds) || seconds <= 0 || timeScale == 0) return;
    float dt = seconds * timeScale;

    emitterVelocity_ = {};
    if (emitting_ && havePrevious_) emitterVelocity_ = (position_ - previousPosition_) * (1 / dt);
    previousPosition_ = position_;
    havePrevious_ = emitting_;

    if (prewarmPending_ && emitting_) {
        prewarmPending_ = false;
        if (const PrewarmPlan plan = PlanPrewarm(settings_); plan.steps > 0) {
            const float keepOn = onSeconds_;
            const Vector keepVelocity = emitterVelocity_;
            emitterVelocity_ = {};
            for (int i = 0; i < plan.steps; ++i)
                Step(plan.step);
            onSeconds_ = keepOn;
            emitterVelocity_ = keepVelocity;
        }
    }
    for (int steps = 0; dt > 0 && steps < kMaxSteps; ++steps) {
        const float step = std::min(dt, kMaxStep);
        Step(step);
        dt -= step;
    }
    viewDirty_ = true;
}

void ParticleSim::Step(float dt) {
    const ParticleSettings& s = settings_;
    Vector force = s.acceleration + s.wind;
    if (s.localSpace) force = ToLocal(force);
    const float keep = std::pow(std::clamp(1.0f - s.drag.x, 0.0f, 1.0f), dt);
    const bool turbulent = s.turbulence.x != 0;

    for (std::size_t i = 0; i < live_.size();) {
        Live& p = live_[i];
        p.age += dt;
        if (p.age >= p.life) {
            p = live_.back();
            live_.pop_back();
            continue;
        }
        Vector a = force;
        if (turbulent) {
            const float w = 2.0f * kPi * s.turbulence.y * p.age;
            a += Vector{std::sin(w + p.phase.x), std::sin(w + p.phase.y), std::sin(w + p.phase.z)} *
                 s.turbulence.x;
        }
        p.vel = (p.vel + a * dt) * keep;
        p.pos += p.vel * dt;
        p.angle += p.spin * dt;
        ++i;
    }
    if (emitting_) Emit(dt);
}

void ParticleSim::Emit(float dt) {
    const ParticleSettings& s = settings_;
    const bool window = s.emitSeconds <= 0 || onSeconds_ < s.emitSeconds;
    onSeconds_ += dt;
    if (burstPending_) {
        burstPending_ = false;
        // A one-shot system with no burst size given releases its whole budget.
        const int burst = s.burstCount > 0 ? s.burstCount : (s.continuous ? 0 : int(capacity_));
        for (int i = 0; i < burst && live_.size() < capacity_; ++i)
            Spawn(0);
    }
    if (!s.continuous || !window || s.emitRate <= 0) return;
    emitDebt_ += float(s.emitRate) * dt;
    const float whole = std::floor(emitDebt_);
    emitDebt_ -= whole;
    // No more than there is room for: a huge rate over a long step is more than an int holds.
    const int due = int(std::min(whole, float(capacity_ - std::min(capacity_, live_.size()))));
    // New particles are spread over the step, so a slow frame does not emit in clumps.
    for (int i = 0; i < due && live_.size() < capacity_; ++i)
        Spawn(dt * Random());
}

void ParticleSim::Spawn(float age) {
    const ParticleSettings& s = settings_;
    Vector offset{};
    switch (s.shape) {
        case 1: {
            // Measured from the emitter in its axes, so the emitter turn applies to them.
            const Vector a = Turn(ToLocal(s.point1 - position_), s.emitterTurn);
            const Vector b = Turn(ToLocal(s.point2 - position_), s.emitterTurn);
            const float t = Random();
            offset = {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t), Lerp(a.z, b.z, t)};
            break;
        }
        case 2:
            offset = {Spread(0, s.boxExtents.x), Spread(0, s.boxExtents.y), Spread(0, s.boxExtents.z)};
            break;
        case 3:
            offset = RandomUnit() * (float(s.sphereRadius) * std::cbrt(Random()));
            break;
        default:
            break;
    }

    Vector dir;
    if (s.directionMode == 1) {
        const float len = Length(offset);
        dir = len > 1e-6f ? offset * (1 / len) : RandomUnit();
    } else {
        const Vector d = Turn(s.direction, s.emitterTurn);
        const float len = Length(d);
        dir = InCone(len > 1e-6f && std::isfinite(len) ? d * (1 / len) : Vector{0, 1, 0}, s.spreadDegrees);
    }
    const Vector vel = dir * Spread(s.speed, s.speedSpread);

    Live p;
    if (s.localSpace) {
        p.pos = offset;
        p.vel = vel;
    } else {
        p.pos = position_ + ToWorld(offset);
        p.vel = ToWorld(vel) + emitterVelocity_ * s.inherit[0];
    }
    p.life = std::max(0.001f, Spread(float(s.lifeMs), float(s.lifeSpreadMs)) / 1000.0f);
    p.size0 = Spread(s.startSize.x, s.startSize.y);
    p.size1 = Spread(s.endSize.x, s.endSize.y);
    p.angle = Spread(s.rotation[0], s.rotation[1]);
    p.spin = Spread(s.rotation[2], s.rotation[3]);
    if (s.turbulence.x != 0) p.phase = {2 * kPi * Random(), 2 * kPi * Random(), 2 * kPi * Random()};
    p.age = std::min(age, p.life * 0.999f);
    p.pos += p.vel * p.age;
    live_.push_back(p);
}

std::span<const ParticleView> ParticleSim::Particles() const {
    if (!viewDirty_) return view_;
    const ParticleSettings& s = settings_;
    const int cells = std::clamp(s.atlasCells, 1, 256);
    const int frames = cells * cells;
    view_.clear();
    for (const Live& p : live_) {
        const float t = std::clamp(p.age / p.life, 0.0f, 1.0f);
        ParticleView v;
        v.position = s.localSpace ? position_ + ToWorld(p.pos) : p.pos;
        v.size = std::max(0.0f, Lerp(p.size0, p.size1, t) * Curve(s.sizeCurve, t));
        if (s.colourMode == 1) {
            // Four keys at birth, one third, two thirds and death.
            const float k = t * 3.0f;
            const int i = std::min(2, int(k));
            const ParTriple& a = s.colourKeys[std::size_t(i)];
            const ParTriple& b = s.colourKeys[std::size_t(i) + 1];
            const float f = k - float(i);
            v.colour = {Lerp(a.a, b.a, f), Lerp(a.b, b.b, f), Lerp(a.c, b.c, f), 0};
        } else {
            v.colour = {Lerp(s.startColour.x, s.endColour.x, t), Lerp(s.startColour.y, s.endColour.y, t),
                        Lerp(s.startColour.z, s.endColour.z, t), 0};
        }
        v.colour.a = Lerp(s.alpha.x, s.alpha.y, t) * Curve(s.alphaCurve, t);
        v.colour = {std::clamp(v.colour.r, 0.0f, 255.0f), std::clamp(v.colour.g, 0.0f, 255.0f),
                    std::clamp(v.colour.b, 0.0f, 255.0f), std::clamp(v.colour.a, 0.0f, 255.0f)};
        v.angle = p.angle;
        v.frame = std::min(frames - 1, int(t * float(frames)));
        view_.push_back(v);
    }
    viewDirty_ = false;
    return view_;
}

}  // namespace quorvel
