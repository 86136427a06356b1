// One frame of a running game on the headless engine with the generated content: a
// busy level (its asteroid field, the aliens and shots it brings) advanced by the
// frame loop, beside the bare frame (begin, render an empty scene, end) of the same
// engine measured in the same run.

#include <benchmark/benchmark.h>

#include "game/game.h"
#include "game/run_objects.h"
#include "platform/engine/engine.h"
#include "platform/system/random.h"
#include "support/harness.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

void BM_BareFrame(benchmark::State& state) {
    test::Harness h;
    EngineFrame frame;
    for (auto _ : state) {
        frame.BeginFrame();
        frame.RenderScene();
        frame.EndFrame();
    }
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMicrosecond);

void BM_GameFrame(benchmark::State& state) {
    if (!test::ContentSetBuilt()) return state.SkipWithError("no content set");
    test::ContentFolder content;
    test::Harness h;
    sys::SeedRandom(3);
    test::PrepareGameStart();
    IntroSeen = true;
    StartGameRun({int(state.range(0)), true, true, true, true, true, 600000, true, 4});
    for (int i = 0; i < 3; ++i)
        RunGameFrame();
    for (auto _ : state)
        RunGameFrame();
}
BENCHMARK(BM_GameFrame)->Arg(30)->Unit(benchmark::kMicrosecond)->Iterations(300);

}  // namespace
}  // namespace quorvel
