// A game run's scene and level start on the headless engine with the generated
// content: LoadLevel followed by the first StartLevel, and a later StartLevel alone
// (after the transition's reload, which is not timed).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "game/run_objects.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/harness.h"

namespace quorvel {
namespace {

bool Prepare() {
    if (!test::ContentSetBuilt()) return false;
    sys::SetProgramFolder(QUORVEL_GAME_DIR);  // read only
    sys::SeedRandom(3);
    return true;
}

void BM_LoadLevelAndStartLevel(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no content set");
    for (auto _ : state) {
        state.PauseTiming();
        {
            test::Harness h;
            state.ResumeTiming();
            test::LoadRunAt(int(state.range(0)));
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadLevelAndStartLevel)->Arg(2)->Arg(26)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StartLevel(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no content set");
    test::Harness h;
    test::LoadRunAt(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        Campaign.CurrentLevel = int(state.range(0)) - 1;
        ReloadEffectObjects();
        state.ResumeTiming();
        StartLevel();
    }
}
BENCHMARK(BM_StartLevel)->Arg(2)->Arg(26)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace quorvel
