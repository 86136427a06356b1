// The main menu as the OpenGL back end draws it on Mesa's software renderer, with
// the generated content, compared with a golden picture. The smallest mode keeps the
// picture small and shows the layout scaled down from 1280 x 1024.

#include <gtest/gtest.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/engine_start.h"
#include "support/golden.h"
#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/input_feed.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/window.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/main_menu.h"
#include "shell/menu/menu_frames.h"
#include "support/temp_folder.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel {
namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

// Half size, each pixel the mean of a 2 x 2 block: the golden pictures stay small.
Picture HalfSize(const Picture& full) {
    Picture half{full.width / 2, full.height / 2, {}};
    half.rgba.resize(std::size_t(half.width) * std::size_t(half.height) * 4);
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x)
            for (std::size_t c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += full.rgba[(std::size_t(2 * y + dy) * std::size_t(full.width) +
                                          std::size_t(2 * x + dx)) *
                                             4 +
                                         c];
                half.rgba[(std::size_t(y) * std::size_t(half.width) + std::size_t(x)) * 4 + c] =
                    static_cast<unsigned char>(sum / 4);
            }
    return half;
}

void ExpectGolden(const std::string& name, const Picture& shot) {
    test::ExpectGolden(std::string(QUORVEL_SOURCE_DIR) + "/tests/shell/menu/golden/" + name + ".png",
                       shot.width, shot.height, shot.rgba);
}

TEST(MainMenuPicture, MenuOverTheSceneWithThePointerOnNewGame) {
    if (!std::filesystem::exists(std::string(QUORVEL_GAME_DIR) + "/tex/mainmenu.jpg"))
        GTEST_SKIP() << "the build generates no content set";
    setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 0);
    test::TempFolder config;  // the options dialog reads the settings store
    setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
    sys::SetProgramFolder(QUORVEL_GAME_DIR);  // read only: nothing here writes a file
    sys::UseVirtualClock(12 * 3600.0);
    sys::SeedRandom(7);
    sys::SetEndThrows(true);
    engine::ResetEngine();
    ASSERT_TRUE(sdl::InstallSdlBackEnd());
    sdl::SetFrameLimit(0);

    ASSERT_GE(test::StartEngineInMode(640, 480), 0);

    auto frames = std::make_shared<test::MenuFrames>(engine::InstalledRenderer(), 1.0 / 60.0);
    engine::InstallBackEnds(frames, nullptr, nullptr);
    // The pointer goes to the middle of "New Game" (menu picture (200, 287), scaled
    // by 0.5 and 0.46875 on this screen).
    frames->After(20, [] { engine::FeedMouseMotion(292 - 320, 254 - 240); });
    Picture shot;
    frames->After(60, [&] {
        sdl::ReadLastFrame(shot.rgba, shot.width, shot.height);
        sys::EndProcess(0);
    });
    EXPECT_THROW(MainMenu(1, false, true), sys::ProcessEnded);
    // Every file the menu asks the engine for is in the content set.
    for (const engine::FailedLoad& load : engine::FailedLoads())
        ADD_FAILURE() << "failed load: " << engine::Describe(load);

    engine::InstallNullBackEnds();
    engine::ResetEngine();
    sys::UseRealClock();
    ExpectGolden("main_menu", HalfSize(shot));
}

}  // namespace
}  // namespace quorvel
