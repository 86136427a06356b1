// The main menu on the OpenGL back end (Mesa's software renderer) with the generated
// content: the time of one menu frame at 1280 x 1024, and the time from the engine's
// start to the first menu frame shown, without the logo waits.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "support/engine_start.h"
#include "platform/al/engine_audio_sink.h"
#include "platform/al/openal_device.h"
#include "platform/engine/backends.h"
#include "platform/ff/decoders.h"
#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/sdl/backend.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/main_menu.h"
#include "shell/menu/menu_frames.h"
#include "support/temp_folder.h"
#include "../platform/sdl/frame_floor.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel {
namespace {

using Clock = std::chrono::steady_clock;

// User and system time of the whole process so far, in seconds.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool Prepare() {
    static bool ready = [] {
        if (!std::filesystem::exists(std::string(QUORVEL_GAME_DIR) + "/tex/mainmenu.jpg")) return false;
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        static test::TempFolder config;  // the options dialog reads the settings store
        setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
        sys::SetProgramFolder(QUORVEL_GAME_DIR);  // read only
        sys::SetEndThrows(true);
        if (!sdl::InstallSdlBackEnd()) return false;
        sdl::SetFrameLimit(0);
        return true;
    }();
    return ready;
}

// Set once the program's own sound back ends are installed (they stay for the run).
bool realSound = false;

// A fresh engine, the SDL renderer wrapped so the frames can be watched, and the game
// clock moving 1/60 s a frame as for a player at 60 frames per second.
std::shared_ptr<test::MenuFrames> FreshEngine() {
    engine::InstallNullBackEnds();
    engine::ResetEngine();
    sdl::InstallSdlBackEnd();
    sys::UseVirtualClock(12 * 3600.0);
    sys::SeedRandom(7);
    auto frames = std::make_shared<test::MenuFrames>(engine::InstalledRenderer(), 1.0 / 60.0);
    engine::InstallBackEnds(frames, nullptr, realSound ? al::MakeEngineAudioSink() : nullptr);
    return frames;
}

bool StartEngine(int width, int height) {
    return test::StartEngineInMode(width, height) >= 0;
}

void BM_FrameFloor(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no content set or no SDL video");
    bench::ClearAndReadBack(state, 1280, 1024);
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// Mean time of a menu frame, measured over 120 frames after 30 to settle.
void BM_MainMenuFrame(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no content set or no SDL video");
    constexpr int settle = 30, measured = 120;
    double cpuMs = 0;
    for (auto _ : state) {
        auto frames = FreshEngine();
        if (!StartEngine(1280, 1024)) return state.SkipWithError("1280x1024 is not listed");
        Clock::time_point from;
        double seconds = 0;
        double cpuFrom = 0;
        frames->After(settle, [&] {
            from = Clock::now();
            cpuFrom = ProcessCpuSeconds();
        });
        frames->After(settle + measured, [&] {
            seconds = std::chrono::duration<double>(Clock::now() - from).count() / measured;
            cpuMs += 1000 * (ProcessCpuSeconds() - cpuFrom) / measured;
            sys::EndProcess(0);
        });
        try {
            MainMenu(1, false, true);
        } catch (const sys::ProcessEnded&) {
        }
        state.SetIterationTime(seconds);
    }
    // The work of every thread, the renderer's included: it moves less than the
    // time on the clock with the load of a shared machine.
    state.counters["cpu_ms_all_threads"] =
        cpuMs / double(std::max<benchmark::IterationCount>(1, state.iterations()));
}
BENCHMARK(BM_MainMenuFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// From the engine's start to the end of the first frame of the menu loop: the scene,
// textures, models, particles and music loaded, without the two logo waits.
void BM_StartToFirstMenuFrame(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no content set or no SDL video");
    for (auto _ : state) {
        auto frames = FreshEngine();
        const Clock::time_point from = Clock::now();
        double seconds = 0;
        // Frame 1 is the logo frame, frame 2 the loop's first.
        frames->After(2, [&] {
            seconds = std::chrono::duration<double>(Clock::now() - from).count();
            sys::EndProcess(0);
        });
        try {
            if (!StartEngine(1280, 1024)) return state.SkipWithError("1280x1024 is not listed");
            MainMenu(1, false, true);
        } catch (const sys::ProcessEnded&) {
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_StartToFirstMenuFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// With the logos: from the end of the last logo wait to the end of the first frame of
// the menu loop, the part of the start the player waits for beyond the logos. The
// waits run on the virtual clock; their pumps may do work ahead.
void LastLogoWaitToFirstMenuFrame(benchmark::State& state) {
    if (!Prepare()) return state.SkipWithError("no content set or no SDL video");
    for (auto _ : state) {
        auto frames = FreshEngine();
        Clock::time_point lastIdle = Clock::now();
        sys::SetIdleHook([&] {
            sys::AdvanceVirtualClock(1.0 / 60.0);
            lastIdle = Clock::now();
        });
        double seconds = 0;
        // Frames 1 and 2 are the logos, frame 3 the loop's first.
        frames->After(3, [&] {
            seconds = std::chrono::duration<double>(Clock::now() - lastIdle).count();
            sys::EndProcess(0, "the first menu frame is measured");
        });
        try {
            if (!StartEngine(1280, 1024)) return state.SkipWithError("1280x1024 is not listed");
            MainMenu(1, true, true);
        } catch (const sys::ProcessEnded&) {
        }
        sys::SetIdleHook(nullptr);
        state.SetIterationTime(seconds);
    }
}

void BM_LastLogoWaitToFirstMenuFrame(benchmark::State& state) {
    LastLogoWaitToFirstMenuFrame(state);
}
BENCHMARK(BM_LastLogoWaitToFirstMenuFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The same with the program's own sound: OpenAL on its device that plays to nothing,
// the ffmpeg decoders for the music, the engine's effects on OpenAL. Installed here,
// for the rest of the run: the benchmarks above run without them.
void BM_LastLogoWaitToFirstMenuFrameRealSound(benchmark::State& state) {
    if (!realSound) {
        setenv("ALSOFT_DRIVERS", "null", 1);
        al::UseOpenAL();
        ff::UseFFmpegDecoders();
        realSound = true;
    }
    LastLogoWaitToFirstMenuFrame(state);
}
BENCHMARK(BM_LastLogoWaitToFirstMenuFrameRealSound)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
}  // namespace quorvel
