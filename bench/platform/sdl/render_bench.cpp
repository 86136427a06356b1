// Frame time of the OpenGL back end on Mesa's software renderer at 1280 x 1024: a
// thousand textured, lit, spinning boxes and four particle systems, then the 2D layer.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>
#include <stb_image_write.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "support/engine_start.h"
#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/sdl/backend.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"
#include "platform/sdl/box_model.h"
#include "support/temp_folder.h"
#include "frame_floor.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel {
namespace {

// User and system time of the whole process so far, in seconds.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool BuildScene() {
    // The software renderer, whatever screen this runs on, so figures compare.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    static test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    sys::SeedRandom(3);
    if (!sdl::InstallSdlBackEnd()) return false;
    sdl::SetFrameLimit(0);

    if (test::StartEngineInMode(1280, 1024) < 0) return false;

    std::vector<std::uint8_t> pixels(128 * 128 * 4);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            std::uint8_t* p = &pixels[std::size_t(y * 128 + x) * 4];
            p[0] = std::uint8_t(x * 2);
            p[1] = std::uint8_t(y * 2);
            p[2] = ((x / 16 + y / 16) % 2) ? 220 : 60;
            p[3] = 255;
        }
    stbi_write_png((folder.path() / "rock.png").c_str(), 128, 128, 4, pixels.data(), 128 * 4);
    folder.Write("box.3ds", test::TexturedBox3ds());
    const std::string root = sys::ProgramFolder();
    EngineTextures textures;
    textures.LoadTexture("rock", root + "\\rock.png");
    textures.LoadTexture("spark", root + "\\rock.png", 1);

    EngineMeshImporter importer;
    if (importer.OpenModelFile(root + "\\box.3ds") < 0) return false;
    EngineMeshes meshes;
    for (int i = 0; i < 1000; ++i) {
        importer.BuildMesh("box" + std::to_string(i));
        meshes.SetTexture(0, "rock");
        meshes.SetPosition(float(i % 10 - 5) * 30, float(i / 10 % 10 - 5) * 30, 150 + float(i / 100) * 30);
        meshes.SetRotation(float(i * 7 % 360), float(i * 13 % 360), 0);
        meshes.SetScale(8, 8, 8);
        meshes.SetMeshMotion({0, 1, 0}, 1.0f);
    }
    importer.CloseModelFile();

    EngineParticles particles;
    for (int i = 0; i < 4; ++i) {
        particles.CreateSystem("burst" + std::to_string(i));
        particles.SetTexture("spark");
        particles.SetParGroup01(600, 0, 0);
        particles.SetParGroup02(400);
        particles.SetParGroup03(1500);
        particles.SetParGroup08({2, 0, 0}, {6, 0, 0});
        particles.SetParGroup11(40, 10, 1);
        particles.SetParGroup24(1);
        particles.SetEmitterPosition({float(i) * 50 - 75, 0, 110});  // in front of the boxes
    }

    EngineLights lights;
    lights.CreateLight("sun", 0, 3, 0, 0, 0);
    lights.SetLightDirection(-0.5f, -0.5f, 0.7f);
    EngineCameras cameras;
    cameras.SelectCamera("main");
    cameras.SetCameraPosition(0, 0, 0);
    cameras.CameraLookAt(0, 0, 1);
    cameras.SetLens(EngineMath().MakeLens(1, 150000, 70, -1, 0));
    return true;
}

// Every benchmark here draws the same scene, built once for the whole run: built per
// benchmark, each later one would draw the earlier ones' meshes as well. False, with the
// benchmark skipped, when there is no OpenGL.
bool SceneReady(benchmark::State& state) {
    static const bool ready = BuildScene();
    if (!ready) state.SkipWithError("no OpenGL 3.3 on the off-screen driver");
    return ready;
}

// One frame of the scene with a line of text over it, not waited for.
void DrawFrame() {
    EngineFrame frame;
    frame.BeginFrame();
    frame.RenderScene();
    EngineDraw2D().DrawText({20, 20}, "frame");
    frame.EndFrame();
}

// The work of every thread per frame since `cpuBefore`, the renderer's included: on a
// shared machine this moves less with the load than the time on the clock.
double CpuMsPerFrame(double cpuBefore, double frames) {
    return 1000 * (ProcessCpuSeconds() - cpuBefore) / std::max(1.0, frames);
}

void BM_FrameThousandMeshesWithParticles(benchmark::State& state) {
    if (!SceneReady(state)) return;
    auto drawAndWait = [] {
        DrawFrame();
        glFinish();  // the software renderer works on in its own threads
    };
    // The first frames build shaders and upload the geometry: not what a frame costs.
    for (int i = 0; i < 3; ++i)
        drawAndWait();
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state)
        drawAndWait();
    state.counters["cpu_ms_all_threads"] = CpuMsPerFrame(cpuBefore, double(state.iterations()));
    state.SetLabel("1280x1024, 1000 meshes, 4 particle systems");
}
BENCHMARK(BM_FrameThousandMeshesWithParticles)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same frames back to back, as a game loop shows them, with no wait of the
// benchmark's own after each: only the last of a run of ten is waited for. The time
// per frame is the frame rate a player sees.
void FramesInARow(benchmark::State& state, const char* label) {
    constexpr int run = 10;
    for (int i = 0; i < 3; ++i)
        DrawFrame();
    glFinish();
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        const auto from = std::chrono::steady_clock::now();
        for (int i = 0; i < run; ++i)
            DrawFrame();
        glFinish();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count() / run);
    }
    state.counters["cpu_ms_all_threads"] = CpuMsPerFrame(cpuBefore, double(run * state.iterations()));
    state.SetLabel(label);
}

void BM_FramesInARowThousandMeshesWithParticles(benchmark::State& state) {
    if (!SceneReady(state)) return;
    FramesInARow(state, "1280x1024, 1000 meshes, 4 particle systems, per frame");
}
BENCHMARK(BM_FramesInARowThousandMeshesWithParticles)->Unit(benchmark::kMillisecond)->UseManualTime();

// As above with a lens flare whose sun is in view between the boxes: each frame reads
// the depth around the sun.
void BM_FramesInARowWithSunInView(benchmark::State& state) {
    if (!SceneReady(state)) return;
    EngineSky sky;
    sky.CreateSkyItem("sunflare", 3, 1);
    sky.SetItemTexture(0, "spark");
    sky.SetFlareMode(0);
    sky.SetFlareSource({40, 25, 1000});
    sky.SetFlareSetup(EngineMath().MakeFlareSetup(0, 0, 10, 1));
    FramesInARow(state, "1280x1024, 1000 meshes, 4 particle systems, a lens flare, per frame");
    sky.RemoveSkyItem();
}
BENCHMARK(BM_FramesInARowWithSunInView)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_FrameFloor(benchmark::State& state) {
    if (!SceneReady(state)) return;
    bench::ClearAndReadBack(state, 1280, 1024);
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quorvel
