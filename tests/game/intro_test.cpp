// The intro: its keys act only after 8 s, it ends by itself after 53 s (across
// midnight too), the lift-off voice and the jump sound come once, and after its
// clean-up the next game run takes over.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "common/texts.h"
#include "game/clip_log.h"
#include "game/game_run.h"
#include "platform/engine/scancodes.h"
#include "platform/system/clock.h"
#include "platform/system/process.h"

namespace quorvel {
namespace {

class Intro : public test::GameRunTest {
  protected:
    void SetUp() override {
        GameRunTest::SetUp();
        if (IsSkipped()) return;
        LoadGameTexts();
        DXAudioObj = std::make_unique<DXAudio>();
    }
    void TearDown() override { DXAudioObj.reset(); }

    bool LoadingTextShown() const {
        for (const auto& call : h.LastQueue())
            if (call.kind == engine::Draw2DCall::Kind::Text && call.text == GameText("loading")) return true;
        return false;
    }

    test::ClipLog clips;
};

TEST_F(Intro, KeysActAfterEightSecondsAndTheSceneEndsAfterFiftyThree) {
    struct Row {
        const char* what;
        double startOfDay;  // the clock as the intro starts
        int key;            // 0: none
        double down, up;    // seconds into the scene; up 0: one frame, below 0: held to the end
        double endsAfter;   // the last pass is the first one past this time
    };
    const Row rows[] = {
        {"no key, the start rounded down", 43200.3, 0, 0, 0, 53},
        {"no key, the start rounded up, across midnight", 86400 - 30.3, 0, 0, 0, 53},
        {"Escape let go before 8 s", 50000.3, key::Escape, 2, 7.5, 53},
        {"Escape held from 7 s", 50000.3, key::Escape, 7, -1, 8},
        {"Enter at 20 s", 50000.3, key::Return, 20, 0, 20},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        sys::UseVirtualClock(r.startOfDay);
        const double start = std::round(r.startOfDay);  // the scene's clock, whole seconds
        auto t = [start] { return sys::WallClock() - start; };
        Campaign.IntroSeen = false;
        const std::size_t voicesBefore = clips.Count("vto1.wav");
        const std::size_t jumpsBefore = clips.Count("hyperspace_to.wav");

        double pressedAt = -1;
        if (r.key != 0) {
            h.When([&] { return t() >= r.down; },
                   [&] {
                       pressedAt = t();
                       if (r.up == 0)
                           h.KeyPress(h.Frame(), r.key);
                       else
                           h.KeyDown(h.Frame(), r.key);
                   });
            if (r.up > 0) h.When([&] { return t() >= r.up; }, [&] { h.KeyUp(h.Frame(), r.key); });
        }
        // The frame that shows the loading text begins one frame after the last pass.
        double loadingFrame = 0;
        double handOver = 0;
        bool sceneCleared = false;
        h.When(
            [&] {
                if (!LoadingTextShown()) loadingFrame = sys::WallClock();
                return LoadingTextShown();
            },
            [&] {
                // The run that follows has begun its first frame.
                handOver = sys::WallClock();
                sceneCleared = h.Scene().meshes.Count() == 0 && h.Scene().sky.Count() == 0 &&
                               h.Scene().textures.Count() == 0;
                sys::EndProcess(7);
            });

        EXPECT_EQ(h.RunUntilEnded([] { PlayIntro(); }), 7);
        EXPECT_TRUE(Campaign.IntroSeen);
        EXPECT_TRUE(sceneCleared);

        const double lastPass = loadingFrame - 1.0 / 60 - start;
        if (r.up == 0 && r.key != 0) {
            EXPECT_NEAR(lastPass, pressedAt, 1e-6);  // the pass that saw the key was the last
        } else {
            EXPECT_GT(lastPass, r.endsAfter);
            EXPECT_LE(lastPass, r.endsAfter + 1.0 / 60 + 1e-6);
        }
        // Two waits before the run starts, each until a second past the whole second
        // nearest its start.
        EXPECT_GT(handOver - loadingFrame, 1.5);
        EXPECT_LE(handOver - loadingFrame, 3.1);

        // The lift-off voice once, then the jump sound once, only in a scene that
        // reached 42 s.
        const auto voices = clips.Opened("vto1.wav");
        const auto jumps = clips.Opened("hyperspace_to.wav");
        if (r.endsAfter > 42) {
            ASSERT_EQ(voices.size(), voicesBefore + 1);
            ASSERT_EQ(jumps.size(), jumpsBefore + 1);
            EXPECT_GT(voices.back().time - start, 42);
            EXPECT_LT(voices.back().time - start, 42 + 1.0 / 60 + 1e-6);
            // The ship rises 0.09 a frame from -2: above 5 after 78 passes,
            // the voice's pass the first.
            EXPECT_NEAR(jumps.back().time - voices.back().time, 77.0 / 60, 1.5 / 60);
        } else {
            EXPECT_EQ(voices.size(), voicesBefore);
            EXPECT_EQ(jumps.size(), jumpsBefore);
        }
        h.KeyUp(h.Frame() + 1, r.key == 0 ? key::Escape : r.key);
        h.RunFrames(1);
    }
    EXPECT_EQ(clips.Count("sound/cutscene1_1.wma"), std::size(rows));
}

}  // namespace
}  // namespace quorvel
