// The training level's script: the opening hints, each lesson passed by what the
// player does, each voice clip once, the shield lesson's real warning, the pacing
// timer, and the two ways to the closing hint.

#include <gtest/gtest.h>

#include <string>

#include "combat/combat.h"
#include "common/texts.h"
#include "game/clip_log.h"
#include "game/game_run.h"
#include "platform/system/clock.h"

namespace quorvel {
namespace {

class TutorialLessons : public test::GameRunTest {
  protected:
    void SetUp() override {
        GameRunTest::SetUp();
        if (IsSkipped()) return;
        test::MakeRunObjects();
        LoadGameTexts();
        DXAudioObj = std::make_unique<DXAudio>();
        ResetShield();
        // As the game run starts level 1.
        Campaign.FrameStartTime = sys::WallClock();
        Tutorial.TutorialClock = Campaign.FrameStartTime;
        Tutorial.TutorialHint = GameText("welcome");
    }
    void TearDown() override { DXAudioObj.reset(); }

    static double Elapsed() { return Campaign.FrameStartTime - Tutorial.TutorialClock; }
    // Frames of the level, the script once in each.
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            h.RunFrames(1);
            Campaign.FrameStartTime = sys::WallClock();
            RunTutorialSteps();
        }
    }
    // Frames until the script's clock has run `e` seconds.
    void Until(double e) {
        while (Elapsed() < e)
            Frames(1);
    }
    // The player's action: one frame with its report.
    void Do(std::initializer_list<int> reports) {
        for (int r : reports)
            Level.TutorialSteps[std::size_t(r)] = true;
        Frames(1);
    }
    std::size_t Clip(int n) const { return clips.Count("tutorial/tut" + std::to_string(n) + ".wma"); }
    int ClipsPlayed() const {
        int n = 0;
        for (int clip = 2; clip <= 8; ++clip)
            n += int(Clip(clip));
        return n;
    }

    // The script from the start to the throwing lesson's clip.
    void PlayToTheThrowingLesson() {
        // The hints while the player waits to fly, and no shield lesson before a thrust.
        struct Step {
            double e;
            const char* hint;
        };
        for (const Step s : {Step{9.9, "welcome"}, Step{10.1, "look"}, Step{20.1, "left"},
                             Step{30.1, "firing"}, Step{40.1, "pressw"}, Step{60, "pressw"}}) {
            Until(s.e);
            EXPECT_EQ(Tutorial.TutorialHint, GameText(s.hint)) << s.e;
        }
        EXPECT_EQ(Ship.ShieldDamage, 0);
        EXPECT_FALSE(Level.TutorialSteps[TutorialShieldWaiting]);

        // A thrust passes the first lesson; 42 s on, the shield is damaged enough for
        // the shield check to warn, not to lose the ship.
        Do({23});
        EXPECT_TRUE(Level.TutorialSteps[0]);
        EXPECT_FALSE(Level.TutorialSteps[23]);
        EXPECT_GT(Ship.ShieldDamage, 80);
        EXPECT_LT(Ship.ShieldDamage, Ship.ShieldMax);
        EXPECT_TRUE(Level.TutorialSteps[TutorialShieldWaiting]);
        EXPECT_LT(Elapsed(), 0.001);

        // The recharge clip 4 s later; the opening hints are over.
        Until(3.9);
        EXPECT_EQ(Clip(2), 0u);
        Until(4.1);
        EXPECT_EQ(Clip(2), 1u);
        EXPECT_EQ(Tutorial.TutorialHint, GameText("pressw2"));
        Until(45);
        EXPECT_EQ(Tutorial.TutorialHint, GameText("pressw2"));

        // Recharged at the station: the shield meter reports it.
        Ship.ShieldDamage = 15;
        DrawShieldMeter();
        Frames(1);
        EXPECT_TRUE(Level.TutorialSteps[1]);
        EXPECT_EQ(Clip(3), 1u);
        EXPECT_EQ(Tutorial.TutorialHint, GameText("pressa"));

        // Turning takes both directions; only the first report is cleared.
        Do({17});
        Frames(60);
        EXPECT_FALSE(Level.TutorialSteps[2]);
        EXPECT_EQ(Clip(4), 0u);
        Do({18});
        EXPECT_TRUE(Level.TutorialSteps[2]);
        EXPECT_FALSE(Level.TutorialSteps[17]);
        EXPECT_TRUE(Level.TutorialSteps[18]);
        EXPECT_EQ(Clip(4), 1u);
        EXPECT_EQ(Tutorial.TutorialHint, GameText("pressq"));

        // Rolling both ways and braking in one frame: the second lesson's pause holds
        // both clips back for its second, then they come together.
        Do({19, 20, 21});
        EXPECT_TRUE(Level.TutorialSteps[3]);
        EXPECT_TRUE(Level.TutorialSteps[4]);
        const double held = Campaign.FrameStartTime;
        while (Campaign.FrameStartTime - held <= 1.0) {
            EXPECT_EQ(Clip(5) + Clip(6), 0u);
            Frames(1);
        }
        EXPECT_EQ(Clip(5), 1u);
        EXPECT_EQ(Clip(6), 1u);
        EXPECT_EQ(Tutorial.TutorialHint, GameText("pressb"));

        // The shop hands the gravity beam over.
        Campaign.OwnsGravBeam = false;
        Campaign.CurrentWeapon = 2;
        Do({22});
        EXPECT_TRUE(Level.TutorialSteps[5]);
        EXPECT_EQ(Clip(7), 1u);
        EXPECT_EQ(Tutorial.TutorialHint, GameText("usegrav"));
        EXPECT_TRUE(Campaign.OwnsGravBeam);
        EXPECT_EQ(Campaign.CurrentWeapon, 8);

        Do({25});
        EXPECT_TRUE(Level.TutorialSteps[6]);
        EXPECT_EQ(Clip(8), 1u);
        EXPECT_EQ(Tutorial.TutorialHint, GameText("throwast"));
        EXPECT_LT(Elapsed(), 0.001);
    }

    test::ClipLog clips;
};

TEST_F(TutorialLessons, AThrowEndsTheLessons) {
    PlayToTheThrowingLesson();
    Until(10);
    EXPECT_FALSE(Level.TutorialSteps[7]);
    Do({26});
    EXPECT_TRUE(Level.TutorialSteps[7]);
    EXPECT_TRUE(Level.TutorialSteps[15]);
    EXPECT_EQ(Tutorial.TutorialHint, GameText("eschelp"));
    Frames(600);
    EXPECT_EQ(ClipsPlayed(), 7) << "every clip once";
}

TEST_F(TutorialLessons, WithoutAThrowTheClosingHintComesAfterThirtyEightSeconds) {
    PlayToTheThrowingLesson();
    Until(37.9);
    EXPECT_EQ(Tutorial.TutorialHint, GameText("throwast"));
    Until(38.1);
    EXPECT_TRUE(Level.TutorialSteps[7]);
    EXPECT_EQ(Tutorial.TutorialHint, GameText("eschelp"));
    // A throw now changes nothing more.
    Tutorial.TutorialHint = "";
    Do({26});
    EXPECT_EQ(Tutorial.TutorialHint, "");
    Frames(600);
    EXPECT_EQ(ClipsPlayed(), 7) << "every clip once";
}

TEST_F(TutorialLessons, ThePacingTimer) {
    // A wait of 2 s: probes (-1) see it running, then over. A call with seconds ends an
    // expired wait only once a probe has seen it over, and starts a new one only when
    // none runs.
    struct Call {
        double at;  // seconds after the first call
        float seconds;
        bool result;
        bool activeAfter;
    };
    const Call calls[] = {
        {0, 2, false, true},    {1, -1, false, true},   {2, -1, false, true},   {2.01, 3, true, true},
        {2.02, -1, true, true}, {2.03, 3, true, false}, {2.04, 3, false, true}, {5.05, -1, true, true},
        {5.06, -1, true, true}, {6, 1, true, false},    {6, -1, true, true},    {6, 4, true, false},
    };
    Tutorial.StepWaitActive = false;
    const double start = 7000;
    for (const Call& c : calls) {
        Campaign.FrameStartTime = start + c.at;
        EXPECT_EQ(TutorialWaitStep(c.seconds), c.result) << c.at << " " << c.seconds;
        EXPECT_EQ(Tutorial.StepWaitActive, c.activeAfter) << c.at << " " << c.seconds;
    }
}

}  // namespace
}  // namespace quorvel
