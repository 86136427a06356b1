// Display adapters, modes and the engine start on the SDL window.

#include <SDL.h>
#include <epoxy/gl.h>

#include "platform/engine/engine.h"
#include "platform/sdl/display.h"
#include "platform/sdl/window.h"
#include "sdl_fixture.h"

namespace quorvel::test {
namespace {

using DisplayTest = SdlTest;

TEST_F(DisplayTest, OffscreenDriverOffersTheUsualWindowSizes) {
    EngineDisplayModes modes;
    modes.Enumerate();
    ASSERT_EQ(modes.GetAdapterCount(), 1);
    EXPECT_FALSE(modes.GetAdapterName(0).empty());
    std::vector<std::array<int, 3>> listed;
    for (int i = 0; i < modes.GetModeCount(0); ++i) {
        int w = 0, h = 0, d = 0;
        ASSERT_TRUE(modes.GetMode(0, i, w, h, d));
        listed.push_back({w, h, d});
    }
    for (std::array<int, 3> wanted : {std::array{640, 480, 16}, std::array{640, 480, 32},
                                      std::array{1024, 768, 32}, std::array{1280, 1024, 32}})
        EXPECT_NE(std::find(listed.begin(), listed.end(), wanted), listed.end())
            << wanted[0] << "x" << wanted[1];
}

TEST_F(DisplayTest, StartingShowsTheWindowAtTheModeSize) {
    Start(800, 600);
    int w = 0, h = 0, d = 0;
    EngineCore().GetScreenSize(w, h, d);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    int ww = 0, wh = 0;
    SDL_GetWindowSize(sdl::Window(), &ww, &wh);
    EXPECT_EQ(ww, 800);
    EXPECT_EQ(wh, 600);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl::Window()) & SDL_WINDOW_SHOWN);
    Frame();
    Shot shot = Grab();
    EXPECT_EQ(shot.width, 800);
    EXPECT_EQ(shot.height, 600);
}

TEST_F(DisplayTest, ModeThatCannotBeSetGivesNegativeStatus) {
    sdl::SdlDisplay display;
    EXPECT_LT(display.Start(0, {100000, 100000, 32}), 0);
    EXPECT_LT(display.Start(0, {0, 480, 32}), 0);
    EXPECT_LT(display.Start(7, {640, 480, 32}), 0);
    EXPECT_EQ(display.Start(0, {640, 480, 32}), 0);
}

// Whatever else draws in the window (the forms) may leave a GL error behind; that
// error is not the engine's frame failing.
TEST_F(DisplayTest, AnErrorLeftByOtherDrawingDoesNotFailTheStart) {
    ASSERT_TRUE(sdl::MakeCurrent());
    glEnable(GLenum(0x7fff));
    Start(640, 480);
}

}  // namespace
}  // namespace quorvel::test
