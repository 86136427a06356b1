// One frame of a running game with the generated content: a busy level (its asteroid
// field, both alien waves in the fight and the player's fire held, so shots are in
// flight) advanced by the frame loop. Headless on the null back ends beside the bare
// engine frame, and drawn by the OpenGL back end on Mesa's software renderer at
// 1280 x 1024 beside an empty frame cleared and presented by the same back end, each
// pair measured in the same run.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "../platform/sdl/frame_floor.h"
#include "combat/combat.h"
#include "common/common.h"
#include "game/game.h"
#include "game/run_objects.h"
#include "platform/engine/backends.h"
#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/failed_loads.h"
#include "platform/engine/input_feed.h"
#include "platform/sdl/backend.h"
#include "platform/system/clock.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/engine_start.h"
#include "support/harness.h"
#include "support/scenarios.h"
#include "support/temp_folder.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel {
namespace {

// Level 30 brings no aliens (its threat is the giant asteroid); 29 has nearly its
// field (34 asteroids to 35) at the same asteroid speed, and both waves.
constexpr int BusyLevel = 29;

// The options of a fresh install, whatever the machine's settings say, so the detail
// levels and with them the figures compare between machines.
void UseFreshSettings() {
    static test::TempFolder config;
    setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
}

int AliensActive(int first, int last) {
    int n = 0;
    for (int j = first; j <= last; ++j)
        n += AlienFleet.Aliens[std::size_t(j)].Active ? 1 : 0;
    return n;
}

// What makes a frame busy: fighters in the fight, those close enough to fire, and
// the shots in flight (the player's and the aliens').
struct Busy {
    int aliens = 0;
    int aliensNear = 0;
    int shots = 0;
    int alienShots = 0;
};

Busy CountBusy() {
    Busy b;
    for (const auto* shots : {&Arsenal.PlasmaShots, &Arsenal.LaserShots, &Arsenal.IonShots,
                              &Arsenal.MionShots, &Arsenal.EplasShots, &Arsenal.GammaShots})
        for (std::size_t i = 1; i <= 14; ++i)
            b.shots += (*shots)[i].Active ? 1 : 0;
    for (std::size_t i = 1; i <= 70; ++i)
        b.shots += Arsenal.DisperseShots[i].Active ? 1 : 0;
    for (std::size_t j = 1; j <= 10; ++j) {
        const AlienShip& a = AlienFleet.Aliens[j];
        if (!a.Active) continue;
        b.aliens += 1;
        b.aliensNear += InRange(a.Position, Ship.CamBasis.CamPos, 1500) ? 1 : 0;
        for (std::size_t k = 1; k <= 5; ++k)
            b.alienShots += a.ShotActive[k] ? 1 : 0;
    }
    return b;
}

// The player chases the nearest fighter with the mouse, so the fight stays in view.
void AimAtNearestAlien() {
    const Vector at = Ship.CamBasis.CamPos;
    const AlienShip* nearest = nullptr;
    for (std::size_t j = 1; j <= 10; ++j) {
        const AlienShip& a = AlienFleet.Aliens[j];
        if (a.Active && (!nearest || Distance(a.Position, at) < Distance(nearest->Position, at)))
            nearest = &a;
    }
    if (!nearest) return;
    const Vector to = Normalise(nearest->Position - at);
    const float x = Dot(to, Ship.CamBasis.CamRight), y = Dot(to, Ship.CamBasis.CamUp);
    const bool behind = Dot(to, Ship.CamBasis.CamFront) < 0;
    const int dx = behind ? (x < 0 ? -20 : 20) : std::clamp(int(x * 60), -20, 20);
    const int dy = std::clamp(int(-y * 60), -20, 20);
    engine::FeedMouseMotion(dx, dy);
}

// Between frames: fighters shot down come back through their wave's own start, the
// shield never gives out, and the player keeps the fire button down and the nearest
// fighter in the sights, so every timed frame is a frame of play as busy as the first.
// Returns what the frame to come starts with.
Busy KeepBusy() {
    Ship.ShieldDamage = 0;
    if (AliensActive(1, 5) < 5) {
        AlienFleet.Wave1Timer = 800;
        SpawnFirstWave();
    }
    if (AliensActive(6, 10) < 5) {
        AlienFleet.Wave2Timer = 200;
        SpawnSecondWave();
    }
    engine::FeedMouseButton(0, true);
    AimAtNearestAlien();
    return CountBusy();
}

// The run at the busy level with every weapon and both waves launched, shown frame by
// frame (`frame`) until the fighters have closed in: the fight is on.
void StartBusyRun(const std::function<void()>& frame) {
    test::PrepareGameStart();
    Campaign.IntroSeen = true;
    StartGameRun({BusyLevel, true, true, true, true, true, 600000, true, 4});
    Arsenal.InfiniteEnergy = true;
    Ship.Invincible = true;
    for (int i = 0; i < 400; ++i) {
        KeepBusy();
        frame();
    }
}

// Averages over the timed frames of what made them busy; an error when play stopped.
class BusyCounters {
  public:
    void Add(const Busy& b) {
        sum_.aliens += b.aliens;
        sum_.aliensNear += b.aliensNear;
        sum_.shots += b.shots;
        sum_.alienShots += b.alienShots;
        ++frames_;
    }
    void Report(benchmark::State& state) const {
        const double n = double(std::max(frames_, 1));
        state.counters["aliens"] = sum_.aliens / n;
        state.counters["aliens_near"] = sum_.aliensNear / n;
        state.counters["shots"] = sum_.shots / n;
        state.counters["alien_shots"] = sum_.alienShots / n;
        state.counters["asteroids"] = Level.AsteroidsLeft;
        if (Level.ShipDestroyed || LevelEnd.LevelEnding || !Campaign.GameRunning)
            state.SkipWithError("play stopped in the timed frames");
    }

  private:
    Busy sum_;
    int frames_ = 0;
};

// User and system time of the whole process so far, in seconds.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// ---- Headless ----------------------------------------------------------------------------

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
    UseFreshSettings();
    test::ContentFolder content;
    test::Harness h;
    sys::SeedRandom(3);
    StartBusyRun(RunGameFrame);
    BusyCounters counters;
    for (auto _ : state) {
        counters.Add(KeepBusy());
        RunGameFrame();
    }
    counters.Report(state);
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond)->Iterations(300);

// ---- Drawn by the OpenGL back end -----------------------------------------------------------

constexpr int Width = 1280, Height = 1024;

// A fresh engine on the SDL back end in 1280 x 1024 on the off-screen driver, with the
// game clock moved 1/60 s a frame by the caller. False when there is no OpenGL.
bool FreshGlEngine() {
    // The software renderer, whatever screen this runs on, so figures compare.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    static const bool sdl = sdl::InstallSdlBackEnd();
    if (!sdl) return false;
    sdl::SetFrameLimit(0);
    sys::SetEndThrows(true);
    engine::InstallNullBackEnds();
    engine::ResetEngine();
    sdl::InstallSdlBackEnd();
    sys::UseVirtualClock(12 * 3600.0);
    sys::SeedRandom(3);
    return test::StartEngineInMode(Width, Height) >= 0;
}

void EndGlEngine() {
    engine::InstallNullBackEnds();
    engine::ResetEngine();
    sys::UseRealClock();
    sys::SetEndThrows(false);
}

// Runs the timed frames and reports the work of every thread per frame besides the
// time on the clock: the software renderer draws in threads of its own.
template <typename Frame>
void TimeGlFrames(benchmark::State& state, Frame&& frame) {
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state)
        frame();
    state.counters["cpu_ms_all_threads"] = 1000 * (ProcessCpuSeconds() - cpuBefore) /
                                           double(std::max<benchmark::IterationCount>(1, state.iterations()));
}

void BM_GlEmptyFrame(benchmark::State& state) {
    if (!FreshGlEngine()) return state.SkipWithError("no OpenGL on the off-screen driver");
    EngineFrame frame;
    auto show = [&] {
        frame.BeginFrame();
        frame.RenderScene();
        frame.EndFrame();
        glFinish();  // the software renderer works on in its own threads
        sys::AdvanceVirtualClock(1.0 / 60.0);
    };
    for (int i = 0; i < 3; ++i)
        show();
    TimeGlFrames(state, show);
    state.SetLabel("1280x1024, nothing in the scene: clear and present");
    EndGlEngine();
}
BENCHMARK(BM_GlEmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GlGameFrame(benchmark::State& state) {
    if (!test::ContentSetBuilt()) return state.SkipWithError("no content set");
    UseFreshSettings();
    test::ContentFolder content;
    if (!FreshGlEngine()) return state.SkipWithError("no OpenGL on the off-screen driver");
    auto show = [] {
        RunGameFrame();
        glFinish();
        sys::AdvanceVirtualClock(1.0 / 60.0);
    };
    // The first frames build the shaders and upload the level: not what a frame costs.
    StartBusyRun(show);
    const std::size_t failedLoads = engine::FailedLoads().size();
    BusyCounters counters;
    TimeGlFrames(state, [&] {
        counters.Add(KeepBusy());
        show();
    });
    counters.Report(state);
    if (failedLoads != 0) state.SkipWithError("the content set misses files the level loads");
    state.SetLabel("1280x1024, level " + std::to_string(BusyLevel) + " in play");
    EndGlEngine();
}
BENCHMARK(BM_GlGameFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

// The floor under both: clearing a frame and reading it back, no engine at all.
void BM_GlFrameFloor(benchmark::State& state) {
    if (!FreshGlEngine()) return state.SkipWithError("no OpenGL on the off-screen driver");
    bench::ClearAndReadBack(state, Width, Height);
    EndGlEngine();
}
BENCHMARK(BM_GlFrameFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quorvel
