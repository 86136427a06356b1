// The training level's script: voice clips and hints that talk the player through
// flying, recharging the shield, turning, rolling, braking, the shop and the gravity
// beam. Each lesson passes when the frame loop (or the shield meter) reports that the
// player did what it teaches.

#include <cstddef>
#include <string>

#include "audio/audio.h"
#include "combat/combat.h"
#include "common/texts.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

// TutorialSteps: 0 to 7 lessons passed, 8 to 14 clips tut2 to tut8 played, 15 the
// closing hint shown; 17 to 26 the player's actions, reported by the frame loop.
enum Step : int {
    FlyingPassed = 0,
    ShieldPassed = 1,
    TurningPassed = 2,
    RollingPassed = 3,
    BrakingPassed = 4,
    ShopPassed = 5,
    GrabbingPassed = 6,
    ThrowingPassed = 7,
    FirstClip = 8,  // tut2; tut8 is 14
    ClosingShown = 15,
    TurnedLeft = 17,
    TurnedRight = 18,
    RolledLeft = 19,
    RolledRight = 20,
    Braked = 21,
    ShopOpened = 22,
    Accelerated = 23,
    Grabbed = 25,
    Thrown = 26,
};
static_assert(TutorialShieldDone == 24 && TutorialShieldWaiting == 27);

// The shield lesson's damage: above the level at which the shield check warns, so the
// warning and the pointer to the station really come.
constexpr float ShieldLessonDamage = 81;

bool& S(int index) {
    return Level.TutorialSteps[std::size_t(index)];
}

// Lessons 0 to `last` all passed.
bool PassedUpTo(int last) {
    for (int k = 0; k <= last; ++k)
        if (!S(k)) return false;
    return true;
}

void Hint(const char* name) {
    Tutorial.TutorialHint = GameText(name);
}

void PlayVoice(int clip) {
    if (DXAudioObj) DXAudioObj->PlayForeground2("tutorial\\tut" + std::to_string(clip) + ".wma");
}

struct Advance {
    int lesson;         // passed now
    int needs;          // the lesson before it
    int trigger;        // the player's action
    int orTrigger;      // a second action the lesson needs too; -1 none
    float waitSeconds;  // pause before the next clip
};
// Only the first action of a pair is cleared: the second stays reported.
constexpr Advance Advances[] = {
    {ShieldPassed, FlyingPassed, TutorialShieldDone, -1, 1.5f},
    {TurningPassed, ShieldPassed, TurnedLeft, TurnedRight, 1.5f},
    {RollingPassed, TurningPassed, RolledLeft, RolledRight, 1.5f},
    {BrakingPassed, RollingPassed, Braked, -1, 1.0f},
    {ShopPassed, BrakingPassed, ShopOpened, -1, 3.0f},
    {GrabbingPassed, ShopPassed, Grabbed, -1, 3.0f},
    {ThrowingPassed, GrabbingPassed, Thrown, -1, 3.0f},
};

void RunAdvances() {
    if (!S(FlyingPassed) && S(Accelerated)) {
        S(FlyingPassed) = true;
        TutorialWaitStep(5.0f);
        S(Accelerated) = false;
    }
    for (const Advance& a : Advances) {
        if (!S(a.needs) || !S(a.trigger) || (a.orTrigger >= 0 && !S(a.orTrigger))) continue;
        S(a.lesson) = true;
        TutorialWaitStep(a.waitSeconds);
        S(a.trigger) = false;
    }
}

// Hints while the player waits to fly; 42 s after the first thrust the shield is
// damaged for the recharge lesson.
void RunOpening(double e) {
    if (S(FirstClip)) return;
    if (e > 10) Hint("look");
    if (e > 20) Hint("left");
    if (e > 30) Hint("firing");
    if (e > 40) Hint("pressw");
    if (S(FlyingPassed) && e > 42) {
        Ship.ShieldDamage = ShieldLessonDamage;
        CheckShield();
        S(TutorialShieldWaiting) = true;
        Tutorial.TutorialClock = Campaign.FrameStartTime;
    }
}

void RunClips(double e) {
    struct Clip {
        int number;       // tutN.wma
        int afterLesson;  // lessons 0 to this passed
        const char* hint;
    };
    constexpr Clip clips[] = {{3, ShieldPassed, "pressa"},  {4, TurningPassed, "pressq"},
                              {5, RollingPassed, "presss"}, {6, BrakingPassed, "pressb"},
                              {7, ShopPassed, "usegrav"},   {8, GrabbingPassed, "throwast"}};

    if (TutorialWaitStep(-1) && S(FlyingPassed) && !S(FirstClip) && S(TutorialShieldWaiting) && e > 4) {
        S(FirstClip) = true;
        PlayVoice(2);
        Hint("pressw2");
    }
    for (const Clip& c : clips) {
        const int played = FirstClip + c.number - 2;
        if (!TutorialWaitStep(-1) || !PassedUpTo(c.afterLesson) || S(played)) continue;
        S(played) = true;
        PlayVoice(c.number);
        Hint(c.hint);
        if (c.number == 7) {
            // The beam lesson hands the beam over.
            Campaign.OwnsGravBeam = true;
            Campaign.CurrentWeapon = 8;
        }
        if (c.number == 8) Tutorial.TutorialClock = Campaign.FrameStartTime;
    }
    if (TutorialWaitStep(-1) && PassedUpTo(ThrowingPassed) && !S(ClosingShown)) {
        S(ClosingShown) = true;
        Hint("eschelp");
    }
}

}  // namespace

bool TutorialWaitStep(float seconds) {
    if (!Tutorial.StepWaitActive) {
        Tutorial.StepWaitStart = Campaign.FrameStartTime;
        Tutorial.StepWaitActive = true;
        Tutorial.StepWaitSeen = false;
        Tutorial.StepWaitLength = seconds;
    }
    if (Campaign.FrameStartTime - Tutorial.StepWaitStart <= Tutorial.StepWaitLength) return false;
    // A real wait ends at the first call of its own kind after a probe saw it over.
    if (seconds > 0) {
        if (Tutorial.StepWaitSeen) Tutorial.StepWaitActive = false;
    } else {
        Tutorial.StepWaitSeen = true;
    }
    return true;
}

void RunTutorialSteps() {
    RunAdvances();
    RunOpening(Campaign.FrameStartTime - Tutorial.TutorialClock);
    // Without a throw the closing hint comes 38 s after the throwing lesson's clip.
    if (S(FirstClip + 6) && Campaign.FrameStartTime - Tutorial.TutorialClock > 38) S(ThrowingPassed) = true;
    RunClips(Campaign.FrameStartTime - Tutorial.TutorialClock);
}

}  // namespace quorvel
