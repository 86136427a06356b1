// Frames: the frame factor, the 2D queue and what the renderer is handed.

#include <gtest/gtest.h>

#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "support/harness.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

using engine::Draw2DCall;

TEST(EngineFrameFactor, IsRateTimesSixtyTimesTheSecondsBetweenTheLastTwoFrames) {
    test::Harness h;
    EngineTimer timer;
    EngineFrame frame;
    EXPECT_EQ(timer.GetFrameFactor(1), 0) << "before any frame";
    frame.BeginFrame();
    EXPECT_EQ(timer.GetFrameFactor(1), 0) << "before the second frame";
    frame.EndFrame();  // the harness clock moves 1/60 s per frame shown
    frame.BeginFrame();
    EXPECT_NEAR(timer.GetFrameFactor(1), 1.0, 1e-5);
    EXPECT_NEAR(timer.GetFrameFactor(800), 800, 1e-2);
    frame.EndFrame();
    sys::AdvanceVirtualClock(0.05);  // a slow frame: 1/60 + 1/20 s
    frame.BeginFrame();
    EXPECT_NEAR(timer.GetFrameFactor(1), 4.0, 1e-4);
    EXPECT_NEAR(timer.GetFrameFactor(0.5f), 2.0, 1e-4);
    // The factor belongs to the frame: asking twice gives the same answer.
    EXPECT_NEAR(timer.GetFrameFactor(1), 4.0, 1e-4);
}

// EndFrame shows the frame, then pumps the window's messages, so a loop that only
// draws keeps the window alive and a close request met there ends it.
TEST(EngineFrameMessages, EndFramePumpsOnceAfterTheFrameIsShown) {
    test::Harness h;
    std::vector<int> shownAtPump;
    sys::SetPumpHook([&] { shownAtPump.push_back(h.FramesShown()); });
    EngineFrame frame;
    frame.BeginFrame();
    frame.RenderScene();
    EXPECT_TRUE(shownAtPump.empty()) << "only EndFrame pumps";
    frame.EndFrame();
    h.RunFrames(2);
    EXPECT_EQ(shownAtPump, (std::vector<int>{1, 2, 3}));

    sys::SetPumpHook([] { sys::EndProcess(3); });  // the window asked to close
    EXPECT_EQ(h.RunUntilEnded([&] {
        for (;;)
            h.RunFrames(1);
    }),
              3);
    EXPECT_EQ(h.FramesShown(), 4);
    sys::SetPumpHook(nullptr);
}

class EngineDraw2DQueue : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(folder_);
        folder_.Write("tex/font.bmp", test::SolidBmp(512, 512, 255, 255, 255));
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const Draw2DCall& c : harness_.LastQueue())
            t.push_back(c.kind == Draw2DCall::Kind::Rectangle ? "rect" : c.text);
        return t;
    }
    test::TempFolder folder_;
    test::Harness harness_;
    EngineFrame frame_;
    EngineDraw2D draw_;
};

TEST_F(EngineDraw2DQueue, CallsAreDrawnAtTheEndOfTheFrameInCallOrder) {
    frame_.BeginFrame();
    draw_.DrawText({1, 1}, "one");
    frame_.RenderScene();
    draw_.SetDrawColour({255, 0, 0, 255});
    draw_.DrawRectangle({0, 0}, {10, 10}, true);
    draw_.SetDrawColour({0, 255, 0, 128});
    draw_.SetDrawMode(0);
    draw_.DrawText({2, 2}, "two");
    frame_.EndFrame();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "rect", "two"}));
    const auto& q = harness_.LastQueue();
    EXPECT_EQ(q[1].colour.r, 255) << "each call keeps the colour of its time";
    EXPECT_TRUE(q[1].filled);
    EXPECT_EQ(q[2].colour.g, 255);
    EXPECT_EQ(q[2].drawMode, 0);
    EXPECT_EQ(q[0].drawMode, 1);

    // The queue is drawn once: the next frame starts empty.
    harness_.RunFrames(1);
    EXPECT_TRUE(harness_.LastQueue().empty());
}

TEST_F(EngineDraw2DQueue, ACallMadeBeforeBeginFrameBelongsToTheNextFrameShown) {
    harness_.RunFrames(1);
    draw_.DrawText({0, 0}, "early");  // between frames
    frame_.BeginFrame();
    draw_.DrawText({0, 0}, "inside");
    frame_.RenderScene();
    frame_.EndFrame();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"early", "inside"}));

    // A frame begun twice without an end keeps what was queued in it.
    frame_.BeginFrame();
    draw_.DrawText({0, 0}, "first begin");
    frame_.BeginFrame();
    draw_.DrawText({0, 0}, "second begin");
    frame_.EndFrame();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"first begin", "second begin"}));
}

TEST_F(EngineDraw2DQueue, FontTextDrawsAtTheFontImagePlusThePointInItsColour) {
    const int font = draw_.LoadImage(sys::ProgramFolder() + "\\tex\\font.bmp", "font", 1);
    ASSERT_GE(font, 0);
    draw_.SetFontCell({32, 32}, 0);
    draw_.SetImagePosition({100, 200});
    draw_.SetFontColour({200, 200, 200, 200}, 255);

    frame_.BeginFrame();
    draw_.SelectImageById(font);
    draw_.DrawFontText("Level: 1", {40, 40}, 3, 70);
    draw_.SetFontColour({10, 20, 30, 255}, 128);
    draw_.DrawFontText("half", {0, 0}, 3, 50);
    draw_.SetImageVisible(false);
    draw_.DrawFontText("hidden", {0, 0}, 3, 50);
    draw_.SelectImage("nothere");
    draw_.DrawFontText("no font", {0, 0}, 3, 50);
    frame_.EndFrame();

    const auto& q = harness_.LastQueue();
    ASSERT_EQ(q.size(), 2u) << "a hidden font image and no current image draw no text";
    EXPECT_EQ(q[0].kind, Draw2DCall::Kind::FontText);
    EXPECT_EQ(q[0].a.x, 140);
    EXPECT_EQ(q[0].a.y, 240);
    EXPECT_EQ(q[0].colour.r, 200);
    EXPECT_EQ(q[0].textMode, 3);
    EXPECT_EQ(q[0].textSize, 70);
    EXPECT_EQ(q[0].fontImageId, font);
    EXPECT_NEAR(q[1].colour.a, 255 * 128 / 255.0, 1e-3) << "the alpha argument scales the colour's alpha";
}

TEST_F(EngineDraw2DQueue, ImagesStayOutOfTheQueueAndKeepTheirSheetAndAngle) {
    const int id = draw_.LoadImage(sys::ProgramFolder() + "\\tex\\font.bmp", "shield", 1);
    draw_.SetImageCells({256, 256}, {256, 256});
    draw_.SetImageFrameCount(16);
    draw_.SetImageColumns(4);
    draw_.SetImageFrame(0);
    for (int i = 0; i < 17; ++i)
        draw_.SetImageStep();
    draw_.RotateImage(350);
    draw_.RotateImage(20);
    harness_.RunFrames(1);
    EXPECT_TRUE(harness_.LastQueue().empty());
    const engine::ImageItem* img = harness_.Scene().images.Find(id);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->frame, 1) << "seventeen steps through sixteen frames";
    EXPECT_NEAR(img->angle, 10, 1e-3);
    EXPECT_EQ(img->picture->width, 512) << "the picture's own size until one is set";
    draw_.SetImageAngle(0);
    EXPECT_EQ(img->angle, 0);
}

TEST(EngineScreenshot, WritesAJpegIntoAnExistingFolderOnly) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    test::Harness h;
    EngineFrame frame;
    h.RunFrames(1);
    EXPECT_FALSE(frame.SaveScreenshot(sys::ProgramFolder() + "\\screenshot\\Snap0.jpg", 1));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "screenshot"));
    std::filesystem::create_directory(folder.path() / "screenshot");
    EXPECT_TRUE(frame.SaveScreenshot(sys::ProgramFolder() + "\\screenshot\\Snap0.jpg", 1));
    const std::string bytes = folder.Read("screenshot/Snap0.jpg");
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xD8);
}

}  // namespace
}  // namespace quorvel
