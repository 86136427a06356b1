// The campaign played through the real screens, headless, as a player plays it: the
// mouse turns the ship toward its target, the fire button shoots, the keys drive.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>

#include "game/run_objects.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/forms/null_host.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/harness.h"
#include "game/game_run.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

// Runs `step` as every frame begins, from the next frame on, for as long as it asks to.
void EveryFrame(test::Harness& h, std::function<bool()> step) {
    h.At(h.Frame() + 1, [&h, step] {
        if (step()) EveryFrame(h, step);
    });
}

// A player's hands: the pointer moves that turn the view toward a point, the fire
// button and the thrust key, each pressed or let go only when it changes.
class Pilot {
  public:
    explicit Pilot(test::Harness& h) : h_(h) {}

    // This frame's pointer move toward `target`, less the turn already under way; the
    // angle still between the view and the target, in degrees.
    double TurnToward(const Vector& target) {
        const Vector d = target - Ship.CamBasis.CamPos;
        const double right = Dot(d, Ship.CamBasis.CamRight), up = Dot(d, Ship.CamBasis.CamUp),
                     front = Dot(d, Ship.CamBasis.CamFront);
        const double degrees = 180.0 / std::numbers::pi;
        const double yaw = std::atan2(right, front) * degrees;
        // A nose turned down by positive pitch; behind the ship only the yaw works.
        const double pitch = std::atan2(-up, std::abs(front)) * degrees;
        const int dx = Pointer(yaw, Flight.YawRate), dy = Pointer(pitch, Flight.PitchRate);
        if (dx != 0 || dy != 0) h_.MouseMove(h_.Frame(), dx, dy);
        return std::acos(std::clamp(front / std::max(1e-6f, Length(d)), -1.0, 1.0)) * degrees;
    }
    void Fire(bool on) {
        Hold(fire_, on, [&] { h_.MouseButton(h_.Frame(), 0, on); });
    }
    void Thrust(bool on) {
        Hold(thrust_, on, [&] { on ? h_.KeyDown(h_.Frame(), key::W) : h_.KeyUp(h_.Frame(), key::W); });
    }
    void LetGo() {
        Fire(false);
        Thrust(false);
    }

  private:
    // The turn of this frame is the rate after the step: aim at a fifth of the angle.
    int Pointer(double angle, float rate) const {
        const double want = std::clamp(angle * 0.2, -5.0, 5.0);
        const double step = rate == 0 ? want / 2 : want - rate;
        return int(
            std::lround(step * 20.0 / (double(Campaign.FrameFactor) * double(Flight.MouseSensitivity))));
    }
    template <typename Press>
    void Hold(bool& held, bool on, Press press) {
        if (held == on) return;
        held = on;
        press();
    }
    test::Harness& h_;
    bool fire_ = false, thrust_ = false;
};

class CampaignScenarioTest : public test::GameScenario {
  protected:
    CampaignScenarioTest() : GameScenario(16) {}
};

// The nearest flying asteroid of the field, 0 when none flies.
int NearestAsteroid() {
    int best = 0;
    float bestDistance = 0;
    for (int i = 1; i <= Level.AsteroidCount; ++i) {
        const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        if (!a.Active) continue;
        const float d = Distance(a.Pos, Ship.CamBasis.CamPos);
        if (best == 0 || d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

// The money a destroyed asteroid pays: its hit points (by kind and difficulty) times
// the difficulty's rate.
double KillMoney(int kind, int difficulty) {
    constexpr int perKind[6] = {0, 25, 30, 50, 75, 100}, base[6] = {0, 250, 500, 1100, 1400, 1700};
    constexpr double rate[6] = {0, 40, 35, 30, 25, 20};
    if (difficulty < 1 || difficulty > 5) return 0;
    return double(kind * perKind[difficulty] + base[difficulty]) * rate[difficulty];
}

// Where a mesh of the scene stands (a boss's hit box shows only while the play runs).
std::optional<Vector> PositionOf(const test::Harness& h, int id) {
    const auto* mesh = h.Scene().meshes.Find(id);
    if (!mesh) return std::nullopt;
    return mesh->place.position;
}

// New Game from the launch pad, the intro and the training level skipped by their
// keys; on level 2 the player breaks an asteroid with plasma and is paid its kill
// money, then lets the field reach the station: the seventh impact loses the ship, and
// the game-over menu's exit ends the program.
TEST_F(CampaignScenarioTest, NewGameToAShotAsteroidAndAStationLost) {
    Pilot pilot(h);
    struct {
        float speed = -1;
        bool flash = true;
    } level2Start;
    int target = 0, kind = 0, difficulty = 0;
    double moneyBefore = -1, moneyAfter = -1;
    int impacts = 0, countSeen = 0, impactsBeforeLoss = 0;
    h.When(test::InMainMenu, [&] { h.MouseTo(h.Frame(), 584, 287 + 256); })  // over New Game
        .After(10, [&] { h.MouseClick(h.Frame() + 1); })
        .After(8 * 60, [&] { h.KeyPress(h.Frame(), key::Escape, 2); })  // past the intro
        .When(InLevel(1), [&] { h.KeyPress(h.Frame() + 2, key::Return, 2); })
        .When(InLevel(2),
              [&] {
                  level2Start = {Ship.ShipSpeed, Flight.CollisionFlash};
                  target = NearestAsteroid();
                  kind = Level.Asteroids[std::size_t(target)].Kind;
                  difficulty = Campaign.DifficultyLevel;
                  // Turn to the rock, close in to plasma range, fire until it breaks.
                  EveryFrame(h, [&] {
                      const AsteroidRec& rock = Level.Asteroids[std::size_t(target)];
                      if (!rock.Active) {
                          moneyAfter = Campaign.Money;
                          pilot.LetGo();
                          return false;
                      }
                      moneyBefore = Campaign.Money;
                      const double off = pilot.TurnToward(rock.Pos);
                      const float distance = Distance(rock.Pos, Ship.CamBasis.CamPos);
                      pilot.Thrust(off < 10 && distance > 1400);
                      pilot.Fire(off < 1 && distance < 1800);
                      return true;
                  });
              })
        .When([&] { return moneyAfter >= 0; },
              [&] {
                  // Hands off: the field flies on at the station.
                  EveryFrame(h, [&] {
                      // The count starts again from 0 at the impact that loses the station.
                      if (Level.StationDamageLevel > countSeen)
                          impacts += Level.StationDamageLevel - countSeen;
                      else if (Level.StationDamageLevel < countSeen)
                          impacts += 7 - countSeen;
                      countSeen = Level.StationDamageLevel;
                      if (!Level.ShipDestroyed) impactsBeforeLoss = impacts;
                      return !Level.ShipDestroyed;
                  });
              })
        .When([] { return Screens.MenuRequested && Level.ShipDestroyed; }, [] {})
        .After(30, [&] { h.MouseTo(h.Frame(), 634, 722); })  // over "exit"
        .After(10, [&] { h.MouseClick(h.Frame()); });
    h.EndAt(30000, 99);
    EXPECT_EQ(test::RunFromLaunchPad(h, host), 0);
    EXPECT_TRUE(h.ConditionsDone());
    // Level 2 starts with the ship at rest, not thrown back off its own model.
    EXPECT_EQ(level2Start.speed, 0);
    EXPECT_FALSE(level2Start.flash);
    ASSERT_GT(kind, 0);
    EXPECT_EQ(moneyAfter - moneyBefore, KillMoney(kind, difficulty)) << "kind " << kind;
    EXPECT_EQ(impactsBeforeLoss, 6);
    EXPECT_EQ(impacts, 7);
}

// The last level from the save slot: its field shot away, the mothership and then the
// battleship fought down (their strength set low), the end cut-scene, the game-won
// pages turned with Enter, and the end of the program. A ship lost to the fighters is
// taken up again from the game-over menu, as a player would.
TEST_F(CampaignScenarioTest, TheLastLevelEndsInTheGameWonPagesAndTheProgramEnd) {
    Pilot pilot(h);
    int completions = 0, menuFrames = 0;
    bool wasEnding = false, cutscene = false, beatenAtCutscene = false, bossesWeakened[2] = {false, false};
    h.When(InLevel(50),
           [&] {
               EveryFrame(h, [&] {
                   completions += LevelEnd.LevelEnding && !wasEnding;
                   wasEnding = LevelEnd.LevelEnding;
                   cutscene = cutscene || Level.CutsceneRunning;
                   beatenAtCutscene =
                       beatenAtCutscene || (Level.CutsceneRunning && Battleship.BattleshipDestroyed);
                   if (Campaign.GameWon) return false;
                   if (Level.ShipDestroyed && Screens.MenuRequested) {
                       pilot.LetGo();
                       if (++menuFrames == 30) h.MouseTo(h.Frame(), 634, 562);  // over "restart"
                       if (menuFrames == 40) h.MouseClick(h.Frame());
                       return true;
                   }
                   menuFrames = 0;
                   // The field first, then the bosses, with plasma.
                   std::optional<Vector> aim;
                   if (const int rock = NearestAsteroid(); rock != 0) {
                       aim = Level.Asteroids[std::size_t(rock)].Pos;
                   } else if (Battleship.BattleshipActive) {
                       if (!bossesWeakened[1]) Battleship.BattleshipHP = 400, bossesWeakened[1] = true;
                       aim = PositionOf(h, Level.BattleshipId);
                   } else if (Mothership.MothershipLevel && Mothership.MothershipInRange) {
                       if (!bossesWeakened[0]) Mothership.MothershipEnergy = 400, bossesWeakened[0] = true;
                       aim = PositionOf(h, Level.MothershipId);
                   }
                   if (!aim || LevelEnd.LevelEnding || Level.CutsceneRunning) {
                       pilot.LetGo();
                       return true;
                   }
                   const double off = pilot.TurnToward(*aim);
                   const float distance = Distance(*aim, Ship.CamBasis.CamPos);
                   pilot.Thrust(off < 10 && distance > 1600);
                   pilot.Fire(off < 1.5 && distance < 1900);
                   return true;
               });
           })
        .When([] { return Campaign.GameWon; },
              [&] {
                  for (int page = 0; page < 4; ++page)
                      h.KeyPress(h.Frame() + 30 + 90 * page, key::Return, 2);
              });
    h.EndAt(40000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {50, true, true, true, true, true, 0, true, 4}), 0);
    EXPECT_TRUE(h.ConditionsDone());
    EXPECT_TRUE(bossesWeakened[0] && bossesWeakened[1]);
    EXPECT_TRUE(beatenAtCutscene);
    EXPECT_TRUE(cutscene);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(Campaign.GameWon);
    EXPECT_EQ(LevelEnd.GameWonPage, 5);  // the fourth Enter turned past the last page and ended it
}

}  // namespace
}  // namespace quorvel
