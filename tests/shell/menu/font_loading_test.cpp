// The bitmap-font messages and the loading screen: the screens that draw frames of
// their own.

#include <gtest/gtest.h>

#include <vector>

#include "common/engine_objects.h"
#include "platform/engine/engine_state.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "common/bitmap_font.h"
#include "common/loading_screen.h"
#include "shell/menu/menu_content.h"
#include "support/harness.h"

namespace quorvel {
namespace {

struct FontFrame {
    float x, y, alpha;
};

class FontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteMenuContent(folder);
        test::UseAsProgramFolder(folder);
    }
    void MakeObjects() {
        Draw2DObj = std::make_unique<EngineDraw2D>();
        FrameObj = std::make_unique<EngineFrame>();
        TimerObj = std::make_unique<EngineTimer>();
        LoadFont(sys::ProgramFolder() + "\\tex\\font.jpg");
    }
    // The font text of every frame shown from now on.
    void Capture(test::Harness& h) {
        sys::SetPumpHook([this, &h] {
            for (const auto& call : h.LastQueue())
                if (call.kind == engine::Draw2DCall::Kind::FontText)
                    frames.push_back({call.a.x, call.a.y, call.colour.a});
        });
    }
    void TearDown() override { sys::SetPumpHook(nullptr); }

    test::TempFolder folder;
    std::vector<FontFrame> frames;
};

TEST_F(FontTest, FadesAndMessageStepByFrameTimeWithOneScaling) {
    test::Harness h(1024, 768);
    MakeObjects();
    h.RunFrames(2);  // frame time is known from here on: 800 units a frame
    Capture(h);

    DrawFontText("WELCOME", Vector2{0, 0}, true);
    ASSERT_EQ(frames.size(), 13u);
    for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
        EXPECT_FLOAT_EQ(frames[i].x, 32);
        EXPECT_FLOAT_EQ(frames[i].y, (9200 - 800 * float(i)) * 0.75f);
    }
    EXPECT_FLOAT_EQ(frames.back().y, 40 * 0.75f);
    EXPECT_FLOAT_EQ(frames.front().alpha, 20);  // 255 - 0.92 x 255, rounded
    EXPECT_FLOAT_EQ(frames.back().alpha, 254);
    const FontFrame arrived = frames.back();

    frames.clear();
    ShowFontMessage("WELCOME");
    ASSERT_EQ(frames.size(), 45u);
    EXPECT_FLOAT_EQ(frames.front().x, arrived.x);
    EXPECT_FLOAT_EQ(frames.front().y, arrived.y);

    frames.clear();
    DrawFontText("WELCOME", Vector2{0, 0}, false);
    ASSERT_EQ(frames.size(), 13u);
    EXPECT_FLOAT_EQ(frames.front().y, arrived.y);
    EXPECT_FLOAT_EQ(frames.front().alpha, 254);  // the first frame keeps the colour it had
    EXPECT_FLOAT_EQ(frames.back().y, 9640 * 0.75f);
    Draw2DObj->SelectImageById(FontTexture);
    EXPECT_FALSE(engine::GetScene().images.Current()->visible);
}

TEST_F(FontTest, FinishesWhenTheEngineMeasuresNoFrameTime) {
    // The clock stands still, so every frame factor is 0.
    sys::UseVirtualClock(0);
    engine::ResetEngine();
    MakeObjects();
    auto framesBegun = [] { return engine::GetScene().frameNumber; };

    DrawFontText("HI", Vector2{0, 0}, true);
    EXPECT_EQ(framesBegun(), 13);
    ShowFontMessage("HI");
    EXPECT_EQ(framesBegun(), 13 + 45);
    DrawFontText("HI", Vector2{0, 0}, false);
    EXPECT_EQ(framesBegun(), 13 + 45 + 13);
    sys::UseRealClock();
}

class LoadingScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteMenuContent(folder);
        test::UseAsProgramFolder(folder);
    }
    void Draw() { DrawLoadingScreen(core, frame, draw); }
    // Right edge of the filled bar and the caption of the last frame shown.
    float BarEnd(test::Harness& h) const {
        for (const auto& call : h.LastQueue())
            if (call.kind == engine::Draw2DCall::Kind::Rectangle && call.filled) return call.b.x;
        return -1;
    }

    test::TempFolder folder;
    EngineCore core;
    EngineTextures textures;
    EngineFrame frame;
    EngineDraw2D draw;
};

TEST_F(LoadingScreenTest, DoesNothingBeforeItIsSetUp) {
    test::Harness h(1024, 768);
    SetLoadingMax(6);
    SetLoadingCaption("x");
    AdvanceLoading(2);
    Draw();
    EXPECT_EQ(h.FramesShown(), 0);
    EXPECT_EQ(Loading.LoadMax, 0);
    EXPECT_EQ(Loading.LoadCurrent, 0);
    EXPECT_EQ(Loading.LoadCaption, "");
}

TEST_F(LoadingScreenTest, BarAndCaptionFollowTheStepsOnA1024x768Screen) {
    test::Harness h(1024, 768);
    InitLoadingScreen(sys::ProgramFolder() + "\\tex\\keyboard.jpg", core, textures, draw);
    EXPECT_EQ(Loading.LoadMax, 10);
    const auto* splash = h.Scene().images.Find("splash");
    ASSERT_NE(splash, nullptr);
    EXPECT_FLOAT_EQ(splash->position.x, 256);
    EXPECT_FLOAT_EQ(splash->position.y, 128);

    SetLoadingMax(6);
    SetLoadingCaption("Loading Meshes ...");
    AdvanceLoading(3);
    Draw();
    const auto& queue = h.LastQueue();
    ASSERT_EQ(queue.size(), 3u);
    EXPECT_FALSE(queue[0].filled);
    EXPECT_FLOAT_EQ(queue[0].a.x, 20);
    EXPECT_FLOAT_EQ(queue[0].a.y, 728);
    EXPECT_FLOAT_EQ(queue[0].b.x, 1004);
    EXPECT_FLOAT_EQ(queue[0].b.y, 748);
    EXPECT_FLOAT_EQ(BarEnd(h), 512);
    EXPECT_EQ(queue[2].text, "Loading Meshes ...");
    EXPECT_FLOAT_EQ(queue[2].a.x, 492);
    EXPECT_FLOAT_EQ(queue[2].a.y, 713);

    for (int i = 0; i < 7; ++i)
        AdvanceLoading(1);
    EXPECT_EQ(Loading.LoadCurrent, 6);
    Draw();
    EXPECT_FLOAT_EQ(BarEnd(h), 1004);

    // No steps to count: the bar stays empty instead of failing.
    SetLoadingMax(0);
    Draw();
    EXPECT_FLOAT_EQ(BarEnd(h), 20);
}

}  // namespace
}  // namespace quorvel
