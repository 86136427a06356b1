// Engine costs that a frame pays many times: ray tests against a full scene, and
// one frame of scene update with a dozen particle systems running.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "platform/engine/ray_index.h"

namespace quorvel {
namespace {

// A box model written once to a scratch folder.
std::string BoxFile() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / "quorvel_engine_bench";
        std::filesystem::create_directories(dir);
        const auto file = dir / "box.3ds";
        std::ofstream(file, std::ios::binary) << test::Box3ds(-1, -1, -1, 1, 1, 1);
        return file.string();
    }();
    return path;
}

// A thousand boxes of sizes 5 to 40 scattered through a 4000-unit cube, turned at random.
void BuildThousandMeshes() {
    engine::ResetEngine();
    EngineMeshImporter importer;
    EngineMeshes meshes;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(-2000, 2000), size(5, 40), angle(0, 360);
    importer.OpenModelFile(BoxFile());
    for (int i = 0; i < 1000; ++i) {
        // Appended, not "m" + ...: GCC 12 at -O3 warns falsely about that form (-Wrestrict).
        std::string key = "m";
        key += std::to_string(i);
        importer.BuildMesh(key);
        const float s = size(rng);
        meshes.SetScale(s, s, s);
        meshes.SetPosition(pos(rng), pos(rng), pos(rng));
        meshes.SetRotation(angle(rng), angle(rng), angle(rng));
    }
    importer.CloseModelFile();
}

// Random rays from inside the cube, the same for every run.
std::vector<RayRec> RandomRays() {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> pos(-2000, 2000), dir(-1, 1);
    std::vector<RayRec> rays(256);
    for (RayRec& r : rays)
        r = RayRec{{pos(rng), pos(rng), pos(rng)}, {dir(rng), dir(rng), dir(rng)}};
    return rays;
}

template <class Cast>
void RunRays(benchmark::State& state, Cast cast) {
    BuildThousandMeshes();
    const std::vector<RayRec> rays = RandomRays();
    const float reach = float(state.range(0));
    std::size_t i = 0, hits = 0;
    for (auto _ : state) {
        const HitInfoRec h = cast(rays[i++ % rays.size()], reach);
        hits += h.HitFlag;
        benchmark::DoNotOptimize(h);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["hit share"] = double(hits) / double(state.iterations());
}

// The engine's ray test (through its cached hierarchy).
void BM_RayHitThousandMeshes(benchmark::State& state) {
    EngineMeshes meshes;
    RunRays(state, [&](const RayRec& r, float reach) { return meshes.RayHit(r, 3, reach, 0, 0, true); });
    state.counters["fallbacks"] = engine::RayHitFallbacks();
}
// The plain test over every mesh, the floor the cached one is measured against.
void BM_RayHitThousandMeshesBruteForce(benchmark::State& state) {
    RunRays(state, [](const RayRec& r, float reach) { return engine::RayHitBruteForce(r, 3, reach); });
}
// Probe-ray reach (about 40), shot reach (about 50) and the flare's long ray.
BENCHMARK(BM_RayHitThousandMeshes)->Arg(40)->Arg(500)->Arg(50000);
BENCHMARK(BM_RayHitThousandMeshesBruteForce)->Arg(40)->Arg(500)->Arg(50000);

// A frame's pattern: one mesh moved before each ray, a different one each time.
void BM_RayHitThousandMeshesOneMoved(benchmark::State& state) {
    EngineMeshes meshes;
    RunRays(state, [&, k = 0](const RayRec& r, float reach) mutable {
        meshes.SelectMeshById(k++ % 1000);
        meshes.MoveForward(0.5f);
        return meshes.RayHit(r, 3, reach, 0, 0, true);
    });
    state.counters["fallbacks"] = engine::RayHitFallbacks();
}
// The same moves beside the plain test, which keeps no cache to bring up to date.
void BM_RayHitThousandMeshesOneMovedBruteForce(benchmark::State& state) {
    EngineMeshes meshes;
    RunRays(state, [&, k = 0](const RayRec& r, float reach) mutable {
        meshes.SelectMeshById(k++ % 1000);
        meshes.MoveForward(0.5f);
        return engine::RayHitBruteForce(r, 3, reach);
    });
}
BENCHMARK(BM_RayHitThousandMeshesOneMoved)->Arg(500);
BENCHMARK(BM_RayHitThousandMeshesOneMovedBruteForce)->Arg(500);

// A hundred meshes moved by a long stride before each ray: fast movers that leave the
// room a tree keeps for them.
void BM_RayHitThousandMeshesHundredMovedFar(benchmark::State& state) {
    EngineMeshes meshes;
    RunRays(state, [&, step = 1](const RayRec& r, float reach) mutable {
        step = -step;
        for (int id = 0; id < 1000; id += 10) {
            meshes.SelectMeshById(id);
            meshes.MoveForward(60.0f * float(step));
        }
        return meshes.RayHit(r, 3, reach, 0, 0, true);
    });
    state.counters["fallbacks"] = engine::RayHitFallbacks();
}
BENCHMARK(BM_RayHitThousandMeshesHundredMovedFar)->Arg(500);

void BM_SceneUpdateTwelveParticleSystems(benchmark::State& state) {
    BuildThousandMeshes();
    EngineParticles particles;
    EngineMeshes meshes;
    for (int i = 0; i < 1000; i += 10) {  // every tenth mesh spins
        meshes.SelectMeshById(i);
        meshes.SetMeshMotion({0, 1, 0}, 0.5f);
    }
    for (int k = 0; k < 12; ++k) {
        particles.CreateSystem("smoke" + std::to_string(k));
        particles.SetParGroup01(400, 0, 0);
        particles.SetParGroup02(200);
        particles.SetParGroup03(2000);
        particles.SetParGroup04(500);
        particles.SetParGroup11(30, 10, 0);
        particles.SetParGroup13(25);
        particles.SetParGroup14({0, 5, 0});
        particles.SetParGroup18({0.2f, 0, 0});
        particles.SetParGroup22({1, 0, 0}, {2, 0.5f, 0}, {});
        particles.SetEmitterPosition({float(k) * 100, 0, 0});
    }
    for (int f = 0; f < 180; ++f)  // three seconds: every system full
        engine::UpdateScene(1.0 / 60.0);
    for (auto _ : state)
        engine::UpdateScene(1.0 / 60.0);
    int live = 0;
    for (const auto& p : engine::GetScene().particles.Items())
        live += p.sim->Count();
    state.counters["live particles"] = live;
}
BENCHMARK(BM_SceneUpdateTwelveParticleSystems)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorvel
