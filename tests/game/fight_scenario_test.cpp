// Whole levels fought to their end through the frame loop, headless: a scripted pilot
// turns the ship with the mouse toward its targets and fires, as a player would.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <optional>

#include "combat/combat.h"
#include "game/run_objects.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/harness.h"
#include "game/game_run.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

constexpr float Pi = 3.14159265f;

struct Target {
    int key = 0;  // tells targets apart from frame to frame
    Vector pos;
    float radius = 30;
    bool closeIn = false;  // fly at it while it is out of reach
};

// Plays the ship through the input only: every frame it turns toward where its target
// will be when a shot gets there and holds the fire button while the nose is on it.
class Pilot {
  public:
    explicit Pilot(test::Harness& h) : h_(h) {}

    std::function<std::optional<Target>()> choose;  // nothing: hold fire

    // Whether the player's controls act in this frame.
    static bool Playing() {
        return Campaign.GameRunning && !Level.ShipDestroyed && !Hazards.OutOfBounds &&
               !LevelEnd.LevelEnding && !Screens.MenuRequested && !Screens.ShopRequested &&
               !Campaign.GameWon && !GiantAsteroid.GiantAsteroidFlying && !Level.CutsceneRunning &&
               !(Mothership.MothershipArmed && !Mothership.MothershipInRange);  // the arrival's camera
    }

    void Fly() {
        const int frame = h_.Frame();
        const std::optional<Target> target = Playing() && choose ? choose() : std::nullopt;
        if (!target) {
            Button(frame, false);
            Key(frame, key::W, false);
            return;
        }
        const int weapon = WantedWeapon();
        if (Campaign.CurrentWeapon != weapon) h_.KeyPress(frame, weapon == 7 ? key::D7 : key::D4);
        const ShotRec& shots = weapon == 7 ? Arsenal.GammaShots[0] : Arsenal.MionShots[0];
        const float range = weapon == 7 ? 3000.0f : 2000.0f;

        const Vector velocity = last_ && last_->key == target->key ? target->pos - last_->pos : Vector{};
        last_ = target;
        const Vector from = Ship.CamBasis.CamPos;
        Vector aim = target->pos;
        for (int i = 0; i < 4; ++i) {
            const float t = Distance(aim, from) / std::max(shots.ShotSpeed * Campaign.FrameFactor, 1.0f);
            aim = target->pos + velocity * (t + 1);
        }
        const Vector d = aim - from;
        const float x = Dot(d, Ship.CamBasis.CamRight), y = Dot(d, Ship.CamBasis.CamUp),
                    z = Dot(d, Ship.CamBasis.CamFront);
        const float yawOff = std::atan2(x, z) * 180 / Pi;
        const float pitchOff = std::atan2(y, std::hypot(x, z)) * 180 / Pi;
        // Mouse right turns right, mouse down turns the nose down.
        const int dx = MouseStep(std::clamp(0.35f * yawOff, -6.0f, 6.0f), Flight.YawRate);
        const int dy = MouseStep(-std::clamp(0.35f * pitchOff, -6.0f, 6.0f), Flight.PitchRate);
        if (dx != 0 || dy != 0) h_.MouseMove(frame, dx, dy);

        const float distance = Length(d);
        const float off = std::hypot(yawOff, pitchOff);
        // The mion gun has energy to spare: it sprays; the gamma gun waits for a sure shot.
        const float cone =
            std::max(weapon == 7 ? 0.4f : 2.0f, std::atan2(target->radius, distance) * 180 / Pi);
        Button(frame, off < cone && distance < 0.9f * range);
        Key(frame, key::W, target->closeIn && distance > 0.5f * range && off < 20);
    }

  private:
    // Gamma while it is loaded and has the energy for a shot, the mion gun between.
    static int WantedWeapon() {
        const WeaponEnergyRecord& gamma = Arsenal.WeaponEnergy[7];
        const bool gammaReady =
            Arsenal.GammaShots[0].Reload > 100 && (Arsenal.InfiniteEnergy || gamma.Energy >= gamma.ShotCost);
        return Campaign.OwnsGamma && gammaReady ? 7 : 4;
    }
    // The mouse motion that brings the turn rate to `wanted` this frame (a rate at rest
    // takes the step twice).
    static int MouseStep(float wanted, float rate) {
        const float perPixel = Campaign.FrameFactor * Flight.MouseSensitivity / 20;
        float pixels = (wanted - rate) / perPixel;
        if (rate == 0) pixels /= 2;
        return int(std::lround(pixels));
    }
    void Button(int frame, bool down) {
        if (down == buttonDown_) return;
        h_.MouseButton(frame, 0, down);
        buttonDown_ = down;
    }
    void Key(int frame, int code, bool down) {
        bool& held = keys_[code];
        if (down == held) return;
        if (down)
            h_.KeyDown(frame, code);
        else
            h_.KeyUp(frame, code);
        held = down;
    }

    test::Harness& h_;
    std::optional<Target> last_;
    bool buttonDown_ = false;
    std::map<int, bool> keys_;
};

// The nearest of the level's flying asteroids.
std::optional<Target> NearestAsteroid() {
    std::optional<Target> best;
    float bestDistance = 1e30f;
    for (int i = 1; i <= Level.AsteroidCount; ++i) {
        const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        if (!a.Active) continue;
        const float d = Distance(a.Pos, Ship.CamBasis.CamPos);
        if (d < bestDistance) {
            bestDistance = d;
            best = Target{i, a.Pos, 60, true};
        }
    }
    return best;
}

std::optional<Target> NearestAlien() {
    std::optional<Target> best;
    float bestDistance = 1e30f;
    for (int j = 1; j <= 10; ++j) {
        const AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        if (!a.Active) continue;
        const float d = Distance(a.Position, Ship.CamBasis.CamPos);
        if (d < bestDistance) {
            bestDistance = d;
            best = Target{100 + j, a.Position, 25};
        }
    }
    return best;
}

// What a level's end looks like from outside: each rise of LevelEnding is one
// completion (its bonus, what it paid in its frame, its warp-out), and its fall the
// next level's start.
struct LevelEnds {
    int count = 0;
    int levelAtEnd = 0, levelAfter = 0;
    double bonus = 0, paid = 0, moneyAtEnd = 0, moneyAfter = 0;
    double endAt = 0, nextAt = 0;
    int warpOutStart = 0;

    void Watch() {
        if (LevelEnd.LevelEnding && !ending_) {
            count += 1;
            levelAtEnd = Campaign.CurrentLevel;
            bonus = LevelEnd.LevelBonus;
            paid = Campaign.Money - money_;
            moneyAtEnd = Campaign.Money;
            endAt = Campaign.FrameStartTime;
            warpOutStart = LevelEnd.WarpOutStart;
        }
        if (!LevelEnd.LevelEnding && ending_) {
            levelAfter = Campaign.CurrentLevel;
            moneyAfter = Campaign.Money;
            nextAt = Campaign.FrameStartTime;
        }
        ending_ = LevelEnd.LevelEnding;
        money_ = Campaign.Money;
    }

  private:
    bool ending_ = false;
    double money_ = 0;
};

// One completion of `level`: a bonus, nothing paid during the warp-out, the next
// level seven seconds after it began.
void ExpectEndedOnce(const LevelEnds& ends, int level) {
    EXPECT_EQ(ends.count, 1);
    EXPECT_EQ(ends.levelAtEnd, level);
    EXPECT_EQ(ends.levelAfter, level + 1);
    EXPECT_EQ(Campaign.CurrentLevel, level + 1);
    EXPECT_GT(ends.bonus, 0);
    EXPECT_EQ(ends.moneyAfter, ends.moneyAtEnd);
    EXPECT_GT(ends.nextAt - ends.warpOutStart, 7.0);
    EXPECT_LT(ends.nextAt - ends.endAt, 8.0);
}

class FightScenarioTest : public test::GameScenario {
  protected:
    FightScenarioTest() : GameScenario(15) {}
    // Runs `each` at the start of every frame from now on.
    void EveryFrame(std::function<void()> each) {
        every_ = std::move(each);
        tick_ = [this] {
            every_();
            h.At(h.Frame() + 1, tick_);
        };
        h.At(h.Frame() + 1, tick_);
    }
    Pilot pilot{h};

  private:
    std::function<void()> every_, tick_;
};

// Level 3: the alien wave comes, is shot down with the asteroids, and the level ends
// once: one bonus, one warp-out, and level 4 next.
TEST_F(FightScenarioTest, AlienLevelIsFoughtToItsEndOnce) {
    LevelEnds ends;
    bool waveCame = false;
    int aliensDown = 0;
    bool shipLost = false;
    std::array<bool, 11> wasActive{};
    // The asteroids first: the station must not take too many of them.
    pilot.choose = [] {
        if (auto rock = NearestAsteroid()) return rock;
        return NearestAlien();
    };
    h.When(InLevel(3), [&] {
        EveryFrame([&] {
            pilot.Fly();
            ends.Watch();
            waveCame = waveCame || AlienFleet.Wave1Started;
            shipLost = shipLost || Level.ShipDestroyed;
            for (int j = 1; j <= 10; ++j) {
                const bool active = AlienFleet.Aliens[std::size_t(j)].Active;
                if (wasActive[std::size_t(j)] && !active && Campaign.CurrentLevel == 3) aliensDown += 1;
                wasActive[std::size_t(j)] = active;
            }
        });
    });
    h.When(InLevel(4), [&] { h.After(120, [] { sys::EndProcess(0); }); });
    h.EndAt(20000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {3, true, true, true, true, true, 0, true, 4}), 0);
    EXPECT_FALSE(shipLost);
    EXPECT_TRUE(waveCame);
    EXPECT_EQ(aliensDown, 5);
    ExpectEndedOnce(ends, 3);
    // The last kill may pay in the completing frame too, but not a second bonus.
    EXPECT_GE(ends.paid, ends.bonus);
    EXPECT_LT(ends.paid, 2 * ends.bonus);
}

// Level 5: the asteroids are shot down, the mothership comes after its countdown, is
// fought (its energy set low) and killed; it breaks up, the level holds five seconds
// and then ends once.
TEST_F(FightScenarioTest, MothershipLevelEndsOnceAfterTheKillHold) {
    LevelEnds ends;
    double inboundAt = 0, armedAt = 0, inRangeAt = 0, killAt = 0, breakupEndAt = 0;
    bool fought = false, heldAtKill = false, oneLeftAtKill = false, breakingUp = false;
    double moneyBeforeKill = 0, killPaid = 0;
    pilot.choose = []() -> std::optional<Target> {
        if (auto rock = NearestAsteroid()) return rock;
        if (!Mothership.MothershipInRange) return std::nullopt;
        return Target{18, Hud.HudPointers[18].PointerTarget, 300, true};
    };
    h.When(InLevel(5), [&] {
        EveryFrame([&] {
            if (Mothership.MothershipInRange && !fought) {
                fought = true;
                inRangeAt = Campaign.FrameStartTime;
                Mothership.MothershipEnergy = 3000;  // a short fight
            }
            if (Mothership.MothershipInbound && inboundAt == 0) inboundAt = Campaign.FrameStartTime;
            if (Mothership.MothershipArmed && armedAt == 0) armedAt = Campaign.FrameStartTime;
            if (Mothership.MothershipBreakingUp && !breakingUp) {
                killAt = Campaign.FrameStartTime;
                heldAtKill = Mothership.MothershipKillHold;
                oneLeftAtKill = Level.AsteroidsLeft == 1;
                killPaid = Campaign.Money - moneyBeforeKill;
            }
            if (!Mothership.MothershipBreakingUp && breakingUp) breakupEndAt = Campaign.FrameStartTime;
            breakingUp = Mothership.MothershipBreakingUp;
            moneyBeforeKill = Campaign.Money;
            ends.Watch();
            pilot.Fly();
        });
    });
    h.When(InLevel(6), [&] { h.After(120, [] { sys::EndProcess(0); }); });
    h.EndAt(30000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {5, true, true, true, true, true, 0, true, 4}), 0);
    ASSERT_TRUE(fought);
    EXPECT_NEAR(armedAt - inboundAt, 11.0, 0.1);
    EXPECT_NEAR(inRangeAt - armedAt, 3.0, 0.5);  // the glide-in
    EXPECT_TRUE(heldAtKill);
    EXPECT_TRUE(oneLeftAtKill);
    EXPECT_GE(killPaid, 2500000);
    EXPECT_NEAR(breakupEndAt - killAt, 5.0, 0.1);
    EXPECT_NEAR(ends.endAt - killAt, 5.0, 0.1);
    ExpectEndedOnce(ends, 5);
    EXPECT_EQ(ends.paid, ends.bonus);
    // A boss shot that reached the ship has been paid for.
    EXPECT_FALSE(Level.PlayerHitPending);
}

}  // namespace
}  // namespace quorvel
