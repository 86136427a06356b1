// The campaign played through the real screens, headless, as a player plays it: the
// mouse turns the ship toward its target, the fire button shoots, the keys drive.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <optional>

#include "common/engine_objects.h"
#include "game/game.h"
#include "game/run_objects.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/forms/null_host.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/harness.h"
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
        const Vector d = target - CamBasis.CamPos;
        const double right = Dot(d, CamBasis.CamRight), up = Dot(d, CamBasis.CamUp),
                     front = Dot(d, CamBasis.CamFront);
        const double degrees = 180.0 / std::numbers::pi;
        const double yaw = std::atan2(right, front) * degrees;
        // A nose turned down by positive pitch; behind the ship only the yaw works.
        const double pitch = std::atan2(-up, std::abs(front)) * degrees;
        const int dx = Pointer(yaw, YawRate), dy = Pointer(pitch, PitchRate);
        if (dx != 0 || dy != 0) h_.MouseMove(h_.Frame(), dx, dy);
        return std::acos(std::clamp(front / std::max(1e-6f, Length(d)), -1.0, 1.0)) * degrees;
    }
    void Fire(bool on) { Hold(fire_, on, [&] { h_.MouseButton(h_.Frame(), 0, on); }); }
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
        return int(std::lround(step * 20.0 / (double(FrameFactor) * double(MouseSensitivity))));
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

class CampaignScenarioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::ContentSetBuilt()) GTEST_SKIP() << "the build generates no content set";
        sys::SeedRandom(16);
    }
    std::function<bool()> InLevel(int level) {
        return [this, level] { return CurrentLevel == level && !LevelEnding && test::InFrameLoop(h); };
    }
    test::ContentFolder content;
    forms::NullHost host;
    test::Harness h;
};

// The nearest flying asteroid of the field, 0 when none flies.
int NearestAsteroid() {
    int best = 0;
    float bestDistance = 0;
    for (int i = 1; i <= AsteroidCount; ++i) {
        const AsteroidRec& a = Asteroids[std::size_t(i)];
        if (!a.Active) continue;
        const float d = Distance(a.Pos, CamBasis.CamPos);
        if (best == 0 || d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

// New Game from the launch pad, the intro and the training level skipped by their
// keys; on level 2 the player breaks an asteroid with plasma and is paid its kill
// money, then lets the field reach the station: the seventh impact loses the ship, and
// the game-over menu leads back to the main menu.
TEST_F(CampaignScenarioTest, NewGameToAShotAsteroidAndAStationLost) {
    Pilot pilot(h);
    int target = 0, kind = 0, difficulty = 0;
    double moneyBefore = -1, moneyAfter = -1;
    int impacts = 0, countSeen = 0, impactsBeforeLoss = 0;
    int seenColl = -1;
    h.At(2, [&] { EveryFrame(h, [&] {
        if (LastCollisionMesh != seenColl) {
            seenColl = LastCollisionMesh;
            const auto* m = h.Scene().meshes.Find(seenColl);
            std::printf("COLL f%d level %d id %d key %s vis %d pos %g %g %g cam %g %g %g\n", h.Frame(), CurrentLevel, seenColl, m ? m->key.c_str() : "-", m ? m->visible : -1,
              m ? m->place.position.x : 0, m ? m->place.position.y : 0, m ? m->place.position.z : 0, CamBasis.CamPos.x, CamBasis.CamPos.y, CamBasis.CamPos.z);
        }
        return true; }); });
    h.When(test::InMainMenu, [&] { h.MouseTo(h.Frame(), 584, 287 + 256); })  // over New Game
        .After(10, [&] { h.MouseClick(h.Frame() + 1); })
        .After(8 * 60, [&] { h.KeyPress(h.Frame(), key::Escape, 2); })  // past the intro
        .When(InLevel(1), [&] { h.KeyPress(h.Frame() + 2, key::Return, 2); })
        .When(InLevel(2), [&] {
            EveryFrame(h, [&] {
                if (target == 0) {
                    target = NearestAsteroid();
                    kind = Asteroids[std::size_t(target)].Kind;
                    difficulty = DifficultyLevel;
                }
                const AsteroidRec& rock = Asteroids[std::size_t(target)];
                if (!rock.Active) {
                    moneyAfter = Money;
                    pilot.LetGo();
                    return false;
                }
                moneyBefore = Money;
                const double off = pilot.TurnToward(rock.Pos);
                const float distance = Distance(rock.Pos, CamBasis.CamPos);
                pilot.Thrust(off < 10 && distance > 1400);
                pilot.Fire(off < 1 && distance < 1800);
                if (h.Frame() % 30 == 0 || ShipSpeed < 0)
                    std::printf("speed %g pos %g %g %g coll %d key %s\n", ShipSpeed, CamBasis.CamPos.x, CamBasis.CamPos.y, CamBasis.CamPos.z, LastCollisionMesh, LastCollisionMesh >= 0 && h.Scene().meshes.Find(LastCollisionMesh) ? h.Scene().meshes.Find(LastCollisionMesh)->key.c_str() : "-");
                if (h.Frame() % 30 == 0)
                    std::printf("f%d off %.2f dist %.0f money %.0f shots %g\n", h.Frame(), off, distance, Money,
                                ShotsFired);
                return true;
            });
        })
        .When([&] { return moneyAfter >= 0; },
              [&] {
                  EveryFrame(h, [&] {
                      // The count starts again from 0 at the impact that loses the station.
                      if (StationDamageLevel > countSeen)
                          impacts += StationDamageLevel - countSeen;
                      else if (StationDamageLevel < countSeen)
                          impacts += 7 - countSeen;
                      countSeen = StationDamageLevel;
                      if (!ShipDestroyed) impactsBeforeLoss = impacts;
                      if (h.Frame() % 60 == 0)
                          std::printf("f%d impacts %d shield %g destroyed %d\n", h.Frame(), StationDamageLevel,
                                      ShieldDamage, ShipDestroyed);
                      return !ShipDestroyed;
                  });
              })
        .When([] { return MenuRequested && ShipDestroyed; }, [&] { std::printf("game over at %d\n", h.Frame()); })
        .After(30, [&] { h.MouseTo(h.Frame(), 634, 722); })  // over "main menu"
        .After(10, [&] { h.MouseClick(h.Frame()); })
        .When(test::InMainMenu, [] { sys::EndProcess(0); });
    h.EndAt(30000, 99);
    EXPECT_EQ(test::RunFromLaunchPad(h, host), 0);
    EXPECT_TRUE(h.ConditionsDone());
    std::printf("kind %d difficulty %d money %g -> %g\n", kind, difficulty, moneyBefore, moneyAfter);
}

// Where a mesh of the scene stands (a boss's hit box shows only while the play runs).
std::optional<Vector> PositionOf(const test::Harness& h, int id) {
    const auto* mesh = h.Scene().meshes.Find(id);
    if (!mesh) return std::nullopt;
    return mesh->place.position;
}

// The last level from the save slot: its field shot away, the mothership and then the
// battleship fought down (their strength set low), the end cut-scene, the game-won
// pages turned with Enter, and back to the main menu.
TEST_F(CampaignScenarioTest, TheLastLevelEndsInTheGameWonPagesAndTheMainMenu) {
    Pilot pilot(h);
    int completions = 0;
    bool wasEnding = false, bossesWeakened[2] = {false, false}, cutscene = false;
    std::array<Vector, 11> alienWas{};
    int menuFrames = 0, restarts = 0;
    h.When(InLevel(50), [&] {
         EveryFrame(h, [&] {
             completions += LevelEnding && !wasEnding;
             wasEnding = LevelEnding;
             cutscene = cutscene || CutsceneRunning;
             if (GameWon) return false;
             // A lost ship is taken up again from the game-over menu's first item, and
             // the level goes on as it stood.
             if (ShipDestroyed && MenuRequested) {
                 pilot.LetGo();
                 if (++menuFrames == 30) h.MouseTo(h.Frame(), 634, 562);
                 if (menuFrames == 40) h.MouseClick(h.Frame()), restarts += 1;
                 return true;
             }
             menuFrames = 0;
             // What to shoot: a fighter close by first (it wears the shield down),
             // aimed ahead of it, with the one-hit gamma gun; then the bosses, then the
             // field, with plasma.
             std::optional<Vector> aim;
             int weapon = 1;
             float reach = 1900;
             float closest = 0;
             for (int j = 1; j <= 10; ++j) {
                 const AlienShip& a = Aliens[std::size_t(j)];
                 const Vector was = alienWas[std::size_t(j)];
                 alienWas[std::size_t(j)] = a.Position;
                 const float d = Distance(a.Position, CamBasis.CamPos);
                 if (!a.Active || d >= closest) continue;
                 closest = d;
                 const Vector velocity = a.Position - was;
                 aim = a.Position + velocity * (d / EplasShots[0].ShotSpeed);
                 weapon = 5;
                 reach = 1500;
             }
             if (aim) {
             } else if (const int rock = NearestAsteroid(); rock != 0) {
                 aim = Asteroids[std::size_t(rock)].Pos;
             } else if (BattleshipActive) {
                 if (!bossesWeakened[1]) BattleshipHP = 400, bossesWeakened[1] = true;
                 aim = PositionOf(h, BattleshipId);
             } else if (MothershipLevel && MothershipInRange) {
                 if (!bossesWeakened[0]) MothershipEnergy = 400, bossesWeakened[0] = true;
                 aim = PositionOf(h, MothershipId);
             }
             if (AsteroidsLeft == 0 && h.Frame() % 30 == 0) {
                 const auto* m = h.Scene().meshes.Find(MothershipId);
                 std::printf("  MS f%d vis %d pos %g %g %g cam %g %g %g aim %d menu %d lost %d armed %d inrange %d speed %g\n", h.Frame(), m ? m->visible : -1, m ? m->place.position.x : 0, m ? m->place.position.y : 0, m ? m->place.position.z : 0, CamBasis.CamPos.x, CamBasis.CamPos.y, CamBasis.CamPos.z, bool(aim), MenuRequested, ShipDestroyed, MothershipArmed, MothershipInRange, ShipSpeed);
             }
             if (!aim || LevelEnding || CutsceneRunning || (MothershipLevel && MothershipArmed && !MothershipInRange)) {
                 pilot.LetGo();
             } else {
                 if (CurrentWeapon != weapon) h.KeyPress(h.Frame(), weapon == 5 ? key::D5 : key::D1);
                 const double off = pilot.TurnToward(*aim);
                 const float distance = Distance(*aim, CamBasis.CamPos);
                 pilot.Thrust(weapon == 1 && off < 10 && distance > reach - 300);
                 pilot.Fire(off < (weapon == 5 ? 3 : 1.5) && distance < reach);
                 if ((MothershipInRange || BattleshipActive) && h.Frame() % 20 == 0)
                     std::printf("  f%d off %.2f dist %.0f fired %g hit %g mse %g speed %g\n", h.Frame(), off, distance, ShotsFired, ShotsHit, MothershipEnergy, ShipSpeed);
             }
             if (h.Frame() % 120 == 0)
                 std::printf("f%d left %d ms %d/%d/%d bs %d/%d hp %g shield %g cut %d end %d w %d\n", h.Frame(),
                             AsteroidsLeft, MothershipLevel, MothershipInRange, MothershipArmed, BattleshipActive,
                             BattleshipDestroyed, BattleshipHP, ShieldDamage, CutsceneRunning, LevelEnding, weapon);
             return true;
         });
     })
        .When([] { return GameWon; },
              [&] {
                  for (int page = 0; page < 4; ++page)
                      h.KeyPress(h.Frame() + 30 + 90 * page, key::Return, 2);
              })
        .When(test::InMainMenu, [] { sys::EndProcess(0); });
    h.EndAt(40000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {50, true, true, true, true, true, 0, true, 4}), 0);
    EXPECT_TRUE(h.ConditionsDone());
    EXPECT_TRUE(cutscene);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(GameWon);
    std::printf("restarts %d\n", restarts);
}

}  // namespace
}  // namespace quorvel
