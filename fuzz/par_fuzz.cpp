// .par particle files: the reader, then the system they describe, built and run for
// a few frames (prewarm included), so a file that makes it slow shows as a time-out.
#include <cmath>

#include "common/particle_file.h"
#include "fuzz_support.h"
#include "platform/engine/particle_sim.h"

namespace {

bool Finite(const quorvel::Vector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The groups that shape the cost of a system, as the engine's setters take them.
quorvel::ParticleSettings Settings(const quorvel::ParticleFileGroups& g, int groups) {
    quorvel::ParticleSettings s;
    if (groups >= 1) s.maxParticles = g.group01[0];
    if (groups >= 2) s.emitRate = g.group02;
    if (groups >= 3) s.lifeMs = g.group03;
    if (groups >= 4) s.lifeSpreadMs = g.group04;
    if (groups >= 5) s.shape = g.group05;
    if (groups >= 8) s.startSize = g.group08[0], s.endSize = g.group08[1];
    if (groups >= 10) s.continuous = g.group10;
    if (groups >= 11) s.speed = g.group11.a, s.speedSpread = g.group11.b, s.directionMode = g.group11.c;
    if (groups >= 12) s.direction = g.group12;
    if (groups >= 13) s.spreadDegrees = g.group13;
    if (groups >= 14) s.acceleration = g.group14;
    if (groups >= 15) s.localSpace = g.group15;
    if (groups >= 16) s.boxExtents = g.group16;
    if (groups >= 17) s.sphereRadius = g.group17;
    if (groups >= 18) s.drag = g.group18;
    if (groups >= 20) s.atlasCells = g.group20;
    if (groups >= 22) s.wind = g.group22[0], s.turbulence = g.group22[1];
    if (groups >= 23) s.colourMode = g.group23.a, s.burstCount = g.group23.b, s.emitSeconds = g.group23.c;
    if (groups >= 24) s.prewarm = g.group24;
    if (groups >= 28) s.timeScale = g.group28;
    if (groups >= 31) s.emitterTurn = g.group31;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const ParticleFileData file = ParseParticleFile(std::string(reinterpret_cast<const char*>(data), size));
    fuzz::Require(file.groupsRead >= 0 && file.groupsRead <= 31, "groups read");
    if (file.groupsRead == 0) return 0;
    const ParticleFileGroups& g = file.groups;
    for (const Vector& v :
         {g.group06[0], g.group06[1], g.group07, g.group08[0], g.group08[1], g.group09, g.group12, g.group14,
          g.group16, g.group18, g.group22[0], g.group22[1], g.group25, g.group31})
        fuzz::Require(Finite(v), "finite values");

    ParticleSim sim(Settings(g, file.groupsRead));
    for (int frame = 0; frame < 3; ++frame)
        sim.Update(1.0f / 60.0f);
    fuzz::Require(sim.Count() <= std::max<int>(0, sim.Settings().maxParticles),
                  "particles within the budget");
    for (const ParticleView& p : sim.Particles())
        (void)p;
    return 0;
}
