#include "sdl_fixture.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "box_model.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/window.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/engine_start.h"
#include "support/golden.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel::test {

void SdlTest::SetUp() {
    // A strict 3.3 driver, so nothing newer creeps into the renderer unnoticed.
    setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 0);
    UseAsProgramFolder(folder_);
    sys::UseVirtualClock(0);
    sys::SeedRandom(7);
    sys::SetEndThrows(true);
    engine::ResetEngine();
    ASSERT_TRUE(sdl::InstallSdlBackEnd());
    sdl::SetFrameLimit(0);
}

void SdlTest::TearDown() {
    engine::InstallNullBackEnds();
    engine::ResetEngine();
    sys::UseRealClock();
}

void SdlTest::Start(int width, int height) {
    ASSERT_GE(StartEngineInMode(width, height), 0) << width << "x" << height;
}

void SdlTest::Frame() {
    EngineFrame frame;
    frame.BeginFrame();
    frame.RenderScene();
    frame.EndFrame();
}

Shot SdlTest::Grab() const {
    Shot shot;
    EXPECT_TRUE(sdl::ReadLastFrame(shot.rgba, shot.width, shot.height));
    return shot;
}

std::string SdlTest::Png(const std::string& relative, int w, int h, const PixelFn& pixel) const {
    std::vector<std::uint8_t> rgba(std::size_t(w) * std::size_t(h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto p = pixel(x, y);
            std::copy(p.begin(), p.end(), rgba.begin() + std::ptrdiff_t((y * w + x) * 4));
        }
    const std::string path = sys::ProgramFolder() + "\\" + relative;
    std::filesystem::create_directories(std::filesystem::path(sys::ResolvePath(path)).parent_path());
    stbi_write_png(sys::ResolvePath(path).c_str(), w, h, 4, rgba.data(), w * 4);
    return path;
}

std::string SdlTest::BoxModel() const {
    folder_.Write("mesh/box.3ds", TexturedBox3ds());
    return sys::ProgramFolder() + "\\mesh\\box.3ds";
}

void ExpectGolden(const std::string& name, const Shot& shot) {
    test::ExpectGolden(std::string(QUORVEL_SOURCE_DIR) + "/tests/platform/sdl/golden/" + name + ".png",
                       shot.width, shot.height, shot.rgba);
}

}  // namespace quorvel::test
