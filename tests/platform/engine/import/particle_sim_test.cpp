#include <gtest/gtest.h>

#include <cmath>

#include "platform/engine/particle_sim.h"
#include "platform/system/random.h"

namespace quorvel {
namespace {

constexpr float kFrame = 1.0f / 60.0f;

// A long-lived, steady stream straight up at 10 units a second.
ParticleSettings Stream() {
    ParticleSettings s;
    s.maxParticles = 500;
    s.emitRate = 60;
    s.lifeMs = 10000;
    s.speed = 10;
    s.direction = {0, 1, 0};
    return s;
}

void RunFor(ParticleSim& sim, float seconds) {
    for (int i = 0; i < int(std::lround(seconds / kFrame)); ++i)
        sim.Update(kFrame);
}

class ParticleSimTest : public ::testing::Test {
  protected:
    void SetUp() override { sys::SeedRandom(7); }
};

TEST_F(ParticleSimTest, RateLifeAndBudget) {
    ParticleSim sim(Stream());
    RunFor(sim, 1);
    EXPECT_NEAR(sim.Count(), 60, 1);

    // The budget caps the count however fast the rate.
    ParticleSettings s = Stream();
    s.maxParticles = 25;
    s.emitRate = 10000;
    sim.SetSettings(s);
    const ParticleView* store = sim.Particles().data();
    RunFor(sim, 1);
    EXPECT_EQ(sim.Count(), 25);
    EXPECT_EQ(sim.Particles().size(), 25u);
    EXPECT_EQ(sim.Particles().data(), store);  // the store is never grown once sized

    // Switched off, particles die at the end of their life and no new ones come.
    s.lifeMs = 500;
    s.lifeSpreadMs = 100;
    sim.SetSettings(s);
    sim.Clear();
    RunFor(sim, 0.1f);
    sim.SetEmitting(false);
    RunFor(sim, 0.5f);
    EXPECT_GT(sim.Count(), 0);
    RunFor(sim, 0.2f);
    EXPECT_EQ(sim.Count(), 0);
}

TEST_F(ParticleSimTest, BurstsAndEmittingTime) {
    ParticleSettings s = Stream();
    s.continuous = false;
    s.burstCount = 5;
    ParticleSim sim(s);
    RunFor(sim, 0.5f);
    EXPECT_EQ(sim.Count(), 5);
    sim.SetEmitting(true);  // already on: no new burst
    RunFor(sim, 0.1f);
    EXPECT_EQ(sim.Count(), 5);
    sim.SetEmitting(false);
    sim.SetEmitting(true);
    RunFor(sim, 0.1f);
    EXPECT_EQ(sim.Count(), 10);

    // A one-shot system without a burst size releases its whole budget once.
    s.burstCount = 0;
    s.maxParticles = 40;
    ParticleSim whole(s);
    RunFor(whole, 0.5f);
    EXPECT_EQ(whole.Count(), 40);

    // Emitting time: a continuous system emits only that long after being switched on.
    s = Stream();
    s.emitSeconds = 0.5f;
    ParticleSim timed(s);
    RunFor(timed, 2);
    EXPECT_NEAR(timed.Count(), 30, 1);
    timed.SetEmitting(false);
    timed.SetEmitting(true);
    RunFor(timed, 2);
    EXPECT_NEAR(timed.Count(), 60, 2);
}

TEST_F(ParticleSimTest, EmitsAlongTheEmitterAxesAndMovesUnderForces) {
    ParticleSettings s = Stream();
    s.emitRate = 600;
    s.direction = {0, 0, 1};  // the emitter's front
    ParticleSim sim(s);
    sim.SetEmitterPosition({100, 0, 0});
    sim.SetEmitterAxes({0, 0, -1}, {0, 1, 0}, {1, 0, 0});  // front is world +X
    sim.Update(0.5f);
    ASSERT_GT(sim.Count(), 0);
    for (const ParticleView& p : sim.Particles()) {
        EXPECT_GE(p.position.x, 100);
        EXPECT_LE(p.position.x, 105.01f);
        EXPECT_NEAR(p.position.y, 0, 1e-4f);
        EXPECT_NEAR(p.position.z, 0, 1e-4f);
    }

    // Acceleration and wind are in world axes; drag takes its share each second.
    s.emitRate = 0;
    s.continuous = false;
    s.burstCount = 1;
    s.direction = {0, 1, 0};
    s.speed = 10;
    s.acceleration = {0, -10, 0};
    s.wind = {5, 0, 0};
    ParticleSim fall(s);
    RunFor(fall, 1);
    ASSERT_EQ(fall.Count(), 1);
    const Vector p = fall.Particles()[0].position;
    EXPECT_NEAR(p.x, 2.5f, 0.1f);  // wind alone: 5 t^2 / 2
    EXPECT_NEAR(p.y, 5.0f, 0.2f);  // 10 t - 10 t^2 / 2

    s.acceleration = {};
    s.wind = {};
    s.drag = {0.5f, 0, 0};
    ParticleSim slow(s);
    RunFor(slow, 1);
    RunFor(slow, 1.0f / 60);
    const float before = slow.Particles()[0].position.y;
    RunFor(slow, 1.0f / 60);
    EXPECT_NEAR((slow.Particles()[0].position.y - before) * 60, 5.0f, 0.1f);
}

TEST_F(ParticleSimTest, ShapesAndSpread) {
    struct Case {
        const char* what;
        std::int16_t shape, directionMode;
        float spread;
    };
    const Case cases[] = {
        {"point in a 30 degree cone", 0, 0, 30},
        {"line from point 1 to point 2", 1, 0, 0},
        {"box", 2, 0, 0},
        {"sphere, outward", 3, 1, 0},
    };
    for (const Case& c : cases) {
        ParticleSettings s = Stream();
        s.continuous = false;
        s.burstCount = 200;
        s.maxParticles = 200;
        s.speed = 0.001f;  // barely moving: birth places show
        s.shape = c.shape;
        s.directionMode = c.directionMode;
        s.spreadDegrees = c.spread;
        s.point1 = {6, 20, 30};  // world points, 4 either side of the emitter
        s.point2 = {14, 20, 30};
        s.boxExtents = {1, 2, 3};
        s.sphereRadius = 5;
        if (c.shape == 0) s.speed = 10;
        ParticleSim sim(s);
        sim.SetEmitterPosition({10, 20, 30});
        sim.Update(0.05f);  // born at the end of this step
        sim.Update(0.05f);
        ASSERT_EQ(sim.Count(), 200) << c.what;
        float minX = 1e9f, maxX = -1e9f;
        for (const ParticleView& v : sim.Particles()) {
            const Vector d{v.position.x - 10, v.position.y - 20, v.position.z - 30};
            minX = std::min(minX, d.x);
            maxX = std::max(maxX, d.x);
            switch (c.shape) {
                case 0:  // within 30 degrees of straight up
                    EXPECT_GE(d.y / Length(d), std::cos(30 * 3.14159265f / 180) - 1e-4f) << c.what;
                    break;
                case 1:
                    EXPECT_LE(std::abs(d.x), 4.01f) << c.what;
                    EXPECT_NEAR(d.y * d.y + d.z * d.z, 0, 1e-4f) << c.what;
                    break;
                case 2:
                    EXPECT_TRUE(std::abs(d.x) <= 1.01f && std::abs(d.y) <= 2.01f && std::abs(d.z) <= 3.01f)
                        << c.what;
                    break;
                default:
                    EXPECT_LE(Length(d), 5.01f) << c.what;
            }
        }
        EXPECT_LT(minX, maxX - (c.shape == 0 ? 0.3f : 1.0f)) << c.what << ": not spread";
    }

    // Outward from a sphere means away from its centre.
    ParticleSettings s = Stream();
    s.shape = 3;
    s.directionMode = 1;
    s.sphereRadius = 1;
    s.emitRate = 0;
    s.continuous = false;
    s.burstCount = 50;
    ParticleSim sim(s);
    sim.Update(0.01f);
    std::vector<float> before;
    for (const ParticleView& v : sim.Particles())
        before.push_back(Length(v.position));
    sim.Update(0.5f);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_GT(Length(sim.Particles()[i].position), before[i] + 4);
}

TEST_F(ParticleSimTest, LocalSpaceFollowsTheEmitterWorldSpaceStays) {
    for (int local : {0, 1}) {
        ParticleSettings s = Stream();
        s.speed = 0;
        s.continuous = false;
        s.burstCount = 3;
        s.localSpace = local;
        ParticleSim sim(s);
        sim.Update(kFrame);
        sim.SetEmitterPosition({50, 0, 0});
        sim.SetEmitterAxes({0, 0, -1}, {0, 1, 0}, {1, 0, 0});
        sim.Update(kFrame);
        for (const ParticleView& v : sim.Particles())
            EXPECT_NEAR(v.position.x, local ? 50 : 0, 1e-4f);
    }
}

TEST_F(ParticleSimTest, InheritedVelocityIgnoresTheJumpWhenSwitchedOn) {
    ParticleSettings s = Stream();
    s.speed = 0;
    s.inherit = {1, 0, 0};
    ParticleSim sim(s);
    sim.SetEmitting(false);
    sim.SetEmitterPosition({-150000, -150000, -150000});  // parked
    sim.Update(kFrame);
    sim.SetEmitting(true);
    sim.SetEmitterPosition({0, 0, 0});
    sim.Update(kFrame);
    for (int i = 1; i <= 30; ++i) {
        sim.SetEmitterPosition({float(i), 0, 0});  // 60 units a second
        sim.Update(kFrame);
    }
    ASSERT_GT(sim.Count(), 20);
    for (const ParticleView& v : sim.Particles()) {
        EXPECT_GT(v.position.x, -1);
        EXPECT_LT(v.position.x, 61);
    }
    // Those born while moving drift on at the emitter's speed.
    float maxX = 0;
    for (const ParticleView& v : sim.Particles())
        maxX = std::max(maxX, v.position.x);
    EXPECT_GT(maxX, 30.5f);
}

TEST_F(ParticleSimTest, LooksOverLife) {
    ParticleSettings s = Stream();
    s.speed = 0;
    s.continuous = false;
    s.burstCount = 1;
    s.lifeMs = 1000;
    s.startColour = {255, 0, 0};
    s.endColour = {0, 0, 255};
    s.alpha = {200, 0, 0};
    s.startSize = {2, 0, 0};
    s.endSize = {6, 0, 0};
    s.sizeCurve = {1, 2, 1};
    s.rotation = {10, 0, 90, 0};
    s.atlasCells = 2;
    ParticleSim sim(s);
    sim.Update(0.001f);
    ParticleView v = sim.Particles()[0];
    EXPECT_NEAR(v.colour.r, 255, 1);
    EXPECT_NEAR(v.colour.b, 0, 1);
    EXPECT_NEAR(v.colour.a, 200, 1);
    EXPECT_NEAR(v.size, 2, 0.02f);
    EXPECT_NEAR(v.angle, 10, 0.1f);
    EXPECT_EQ(v.frame, 0);
    sim.Update(0.6f);
    v = sim.Particles()[0];
    EXPECT_NEAR(v.colour.r, 102, 1);
    EXPECT_NEAR(v.colour.a, 80, 1);
    EXPECT_NEAR(v.size, 4.4f * 1.8f, 0.05f);  // the curve peaks at twice mid-life
    EXPECT_NEAR(v.angle, 64, 0.1f);
    EXPECT_EQ(v.frame, 2);
    sim.Update(0.39f);
    v = sim.Particles()[0];
    EXPECT_NEAR(v.colour.b, 255, 3);
    EXPECT_EQ(v.frame, 3);

    // Colour keys at birth, a third, two thirds and death.
    s.colourMode = 1;
    s.colourKeys = {ParTriple{0, 0, 0}, ParTriple{90, 0, 0}, ParTriple{90, 90, 0}, ParTriple{0, 0, 90}};
    ParticleSim keyed(s);
    keyed.Update(0.001f);
    keyed.Update(0.5f);
    v = keyed.Particles()[0];
    EXPECT_NEAR(v.colour.r, 90, 1);
    EXPECT_NEAR(v.colour.g, 45, 1);
    EXPECT_NEAR(v.colour.b, 0, 1);
}

TEST_F(ParticleSimTest, PrewarmAndTimeScale) {
    ParticleSettings s = Stream();
    s.lifeMs = 2000;
    s.prewarm = true;
    ParticleSim warm(s);
    warm.SetEmitting(false);  // a parked system warms up when first switched on
    warm.Update(kFrame);
    EXPECT_EQ(warm.Count(), 0);
    warm.SetEmitting(true);
    warm.Update(kFrame);
    EXPECT_NEAR(warm.Count(), 120, 3);

    s.prewarm = false;
    s.timeScale = 2;
    ParticleSim fast(s);
    RunFor(fast, 0.5f);
    EXPECT_NEAR(fast.Count(), 60, 2);
    s.timeScale = 0;
    fast.SetSettings(s);
    const Vector p = fast.Particles()[0].position;
    RunFor(fast, 0.5f);
    EXPECT_EQ(fast.Particles()[0].position.y, p.y);
}

// Lives as long as a damaged settings file can give still warm up within the budget.
TEST_F(ParticleSimTest, PrewarmTakesTheLongestLivesAFileCanGive) {
    const struct {
        std::int32_t life, spread;
    } cases[] = {{INT32_MAX, 5}, {1000, INT32_MIN}, {INT32_MAX, INT32_MAX}};
    for (const auto& c : cases) {
        ParticleSettings s = Stream();
        s.prewarm = true;
        s.lifeMs = c.life;
        s.lifeSpreadMs = c.spread;
        ParticleSim sim(s);
        sim.Update(kFrame);
        EXPECT_GT(sim.Count(), 0) << c.life << " " << c.spread;
        EXPECT_LE(sim.Count(), s.maxParticles) << c.life << " " << c.spread;
    }
}

// A full budget of particles with the longest lives: prewarm still covers one life
// (up to its 30-second cap) but within a bounded number of particle updates.
TEST_F(ParticleSimTest, PrewarmCostIsBoundedWhateverTheFileAsks) {
    for (const std::int16_t budget : {std::int16_t(1), std::int16_t(100), std::int16_t(32767)}) {
        ParticleSettings s = Stream();
        s.prewarm = 1;
        s.maxParticles = budget;
        s.lifeMs = INT32_MAX;
        const PrewarmPlan plan = PlanPrewarm(s);
        ASSERT_GT(plan.steps, 0) << budget;
        EXPECT_LE(long(plan.steps) * budget, std::max<long>(PrewarmParticleBudget, budget)) << budget;
        EXPECT_NEAR(plan.steps * plan.step, 30.0f, 0.01f) << budget;
        EXPECT_LE(plan.step, 30.0f) << budget;
    }
    ParticleSettings s = Stream();
    s.lifeMs = 2000;
    s.prewarm = 1;
    const PrewarmPlan small = PlanPrewarm(s);
    EXPECT_NEAR(small.step, 1.0f / 30.0f, 1e-4f);  // small systems keep fine steps
    s.prewarm = 0;
    EXPECT_EQ(PlanPrewarm(s).steps, 0);

    // The heaviest file: the largest rate over the long prewarm steps of a full budget
    // is more particles than an int counts; the system fills and stops there.
    s.maxParticles = 32767;
    s.emitRate = INT32_MAX;
    s.lifeMs = INT32_MAX;
    s.prewarm = 1;
    ParticleSim heavy(s);
    heavy.Update(kFrame);
    EXPECT_EQ(heavy.Count(), 32767);
}

}  // namespace
}  // namespace quorvel
