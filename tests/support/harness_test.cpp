// The harness's own rules that whole-run tests lean on: condition steps, RunUntil,
// and the failed-load check.

#include "support/harness.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "support/temp_folder.h"

namespace quorvel::test {
namespace {

// Condition steps run in the order added, one a frame, each once; After counts from
// the frame the step before it ran; steps due by frame number run first.
TEST(HarnessConditions, RunInOrderOneAFrameAndOnce) {
    Harness h;
    std::vector<std::string> ran;
    auto log = [&](const char* what) {
        return [&, what] { ran.push_back(what + std::to_string(h.Frame())); };
    };
    int signal = 0;
    h.At(3, [&] { signal = 1; }).At(3, log("at"));
    h.When([&] { return signal == 1; }, log("first"))
        .When([] { return true; }, log("second"))  // holds at once: still the next frame
        .After(4, log("after"))
        .When([&] { return signal == 1; }, log("third"));
    h.RunFrames(12);
    EXPECT_EQ(ran, (std::vector<std::string>{"at3", "first3", "second4", "after8", "third9"}));
    EXPECT_TRUE(h.ConditionsDone());
}

TEST(HarnessConditions, AStepsInputForTheCurrentFrameArrivesInIt) {
    Harness h;
    bool downInFrame = false;
    h.When([&] { return h.Frame() == 2; }, [&] { h.KeyDown(h.Frame(), 30); });
    EngineFrame frame;
    EngineInput input;
    h.RunFrames(1);
    frame.BeginFrame();
    downInFrame = input.IsKeyDown(30);
    frame.EndFrame();
    EXPECT_TRUE(downInFrame);
}

TEST(HarnessRunUntil, ShowsFramesUntilTheConditionHoldsOrTheLimit) {
    Harness h;
    EXPECT_TRUE(h.RunUntil([&] { return h.FramesShown() == 5; }, 10));
    EXPECT_EQ(h.FramesShown(), 5);
    EXPECT_TRUE(h.RunUntil([] { return true; }, 10)) << "holding already shows no frame";
    EXPECT_EQ(h.FramesShown(), 5);
    EXPECT_FALSE(h.RunUntil([] { return false; }, 7));
    EXPECT_EQ(h.FramesShown(), 12);
}

class HarnessFailedLoads : public ::testing::Test {
  protected:
    void SetUp() override { UseAsProgramFolder(folder_); }
    static void LoadMissing(const char* key, const char* file) {
        EngineTextures().LoadTexture(key, sys::ProgramFolder() + "\\tex\\" + file);
    }
    TempFolder folder_;
};

TEST_F(HarnessFailedLoads, AnUnexpectedOneFailsTheRunOnceListingEachLoad) {
    Harness h;
    h.ExpectFailedLoad("planned.jpg");
    EXPECT_NONFATAL_FAILURE(h.RunUntilEnded([] {
        LoadMissing("a", "planned.jpg");
        LoadMissing("b", "misnamed.jpg");
        LoadMissing("c", "other.jpg");
        sys::EndProcess(0);
    }),
                            "other.jpg: no such file");
    ASSERT_EQ(h.UnexpectedFailedLoads().size(), 2u);
    EXPECT_EQ(h.UnexpectedFailedLoads()[0].name, "b");
    EXPECT_EQ(h.UnexpectedFailedLoads()[0].reason, "no such file");
    // Reported once: neither a second check nor the harness's end repeats them.
    h.CheckFailedLoads();
}

TEST_F(HarnessFailedLoads, TheHarnessEndChecksWhatCameAfterTheRun) {
    EXPECT_NONFATAL_FAILURE(
        {
            Harness h;
            LoadMissing("late", "late.jpg");
        },
        "textures \"late\"");
}

TEST_F(HarnessFailedLoads, ExpectedOnesPass) {
    Harness h;
    h.ExpectFailedLoad("\"a\"").ExpectFailedLoad("two.jpg");
    LoadMissing("a", "one.jpg");
    LoadMissing("b", "two.jpg");
    EXPECT_TRUE(h.UnexpectedFailedLoads().empty());
}

}  // namespace
}  // namespace quorvel::test
