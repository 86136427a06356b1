// The run's particle systems, built from the particle files.

#include <string>

#include "assets/assets.h"
#include "common/common.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

// Builds the system from the full file or, at reduced particle quality, the reduced
// one. A system of that name left by an earlier run goes first, so every name stays
// unique and the pool does not grow run after run. The new system is current.
void Build(const std::string& name, const char* fullFile, const char* reducedFile) {
    while (ParticleObj->SelectSystem(name))
        ParticleObj->RemoveSystem();
    LoadParticleFile(*ParticleObj, name, Display.ParticleLevel == 1 ? fullFile : reducedFile);
}

void Park(bool allThree) {
    ParticleObj->SetEmitterPosition(ParticleParking);
    if (allThree) {
        ParticleObj->SetEmitterVector1(ParticleParking);
        ParticleObj->SetEmitterVector2(ParticleParking);
    }
    ParticleObj->SetEmitting(false);
}

}  // namespace

void LoadParticleSystems() {
    for (int id = 0, n = ParticleObj->GetSystemCount(); id < n; ++id)
        if (ParticleObj->SelectSystemById(id)) ParticleObj->SetEmitting(false);

    Build("ecore", "core.par", "corelow.par");
    ParticleObj->SetEmitterPosition(Vector{600, 100, -3100});

    Build("fireastpar", "fireast.par", "fireastlow.par");
    Level.FlamingAsteroidParticleId = ParticleObj->GetCurrentSystemId();
    Park(false);

    // The smoke points themselves belong to the level start.
    for (int k = 1; k <= 12; ++k) {
        const char* full = k <= 4 ? "smoke.par" : k <= 8 ? "smokegreen.par" : "batsmokered.par";
        Build("smoke" + std::to_string(k), full, "smokelow.par");
        Park(true);
        Effects.SmokeFx[std::size_t(k)].Active = false;
        Effects.SmokeFx[std::size_t(k)].SystemId = ParticleObj->GetCurrentSystemId();
    }

    for (int k = 1; k <= 4; ++k) {
        Build("battle" + std::to_string(k), "bateng.par", "particlelow.par");
        Park(true);
    }
    for (const char* name : {"enginemas1b", "enginemas2b"}) {
        Build(name, "enginemas.par", "particlelow.par");
        Park(true);
    }
    for (int k = 1; k <= 4; ++k) {
        Build("mastipb" + std::to_string(k), "masgreentips.par", "particlelow.par");
        Park(true);
    }
}

}  // namespace quorvel
