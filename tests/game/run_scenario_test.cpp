// Whole game runs through the real screens, headless, with the generated content set
// in a program folder of their own.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/engine_objects.h"
#include "game/game.h"
#include "game/save_file.h"
#include "game/run_objects.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/forms/null_host.h"
#include "platform/system/clock.h"
#include "platform/system/frame_log.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/harness.h"
#include "game/game_run.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

class RunScenarioTest : public test::GameScenario {
  protected:
    RunScenarioTest() : GameScenario(21) {}
};

// New Game from the launch pad: the training level, skipped with a fresh press of
// Enter, warps out and level 2 starts with nothing of the training level's money and
// weapons.
TEST_F(RunScenarioTest, NewGameSkipsTheTrainingLevelIntoLevelTwo) {
    double trainingMoney = -1, warpOutMoney = -1;
    bool skippedWhileHeld = true;
    struct Level2 {
        double money = -1;
        int asteroids = 0, left = 0, weapon = 0;
        bool owned = true;
    } level2;
    h.When(test::InMainMenu, [&] { h.MouseTo(h.Frame(), 584, 287 + 256); })  // over New Game
        .After(10, [&] { h.MouseClick(h.Frame() + 1); })
        .When(InLevel(1),
              [&] {
                  trainingMoney = Campaign.Money;
                  // Enter held down in the shop and still held when it closes...
                  Screens.ShopRequested = true;
                  h.KeyDown(h.Frame() + 1, key::Return);
              })
        .After(5, [] { Screens.ShopRequested = false; })
        .After(10,
               [&] {
                   // ... skips nothing: a skip needs a fresh press.
                   skippedWhileHeld = LevelEnd.LevelEnding;
                   h.KeyUp(h.Frame() + 1, key::Return);
               })
        .After(3, [&] { h.KeyPress(h.Frame() + 1, key::Return, 2); })
        .When([] { return LevelEnd.LevelEnding; }, [&] { warpOutMoney = Campaign.Money; })
        .When(InLevel(2), [&] {
            level2 = {Campaign.Money, Level.AsteroidCount, Level.AsteroidsLeft, Campaign.CurrentWeapon,
                      Campaign.OwnsIon || Campaign.OwnsMion || Campaign.OwnsEplas || Campaign.OwnsDisperse ||
                          Campaign.OwnsGamma || Campaign.OwnsGravBeam};
            sys::EndProcess(0);
        });
    h.EndAt(8000, 99);
    EXPECT_EQ(test::RunFromLaunchPad(h, host), 0);
    EXPECT_TRUE(h.ConditionsDone());
    EXPECT_EQ(trainingMoney, 600000);
    EXPECT_FALSE(skippedWhileHeld);
    EXPECT_EQ(warpOutMoney, 0);
    EXPECT_EQ(level2.money, 0);
    EXPECT_EQ(level2.asteroids, 18);
    EXPECT_EQ(level2.left, 18);
    EXPECT_EQ(level2.weapon, 2);
    EXPECT_FALSE(level2.owned);
}

// The frame log of a start: the milestones come in the order a player meets them,
// each where it belongs among the frames: the menu's first frame right after the
// logos, the slot's key, then the loading text and the seven loading screens, then
// the level's first frame.
TEST_F(RunScenarioTest, TheFrameLogMarksTheStartAndTheLoadingAmongTheFrames) {
    ASSERT_TRUE(WriteSaveSlot(3, {.level = 5}));
    const std::string log = (content.folder.path() / "frames.log").string();
    ASSERT_TRUE(sys::OpenFrameLog(log));
    h.When(test::InMainMenu, [&] { h.KeyPress(h.Frame() + 1, key::Return, 2); })  // the load list
        .After(20, [&] { h.KeyPress(h.Frame() + 1, key::D3, 2); })
        .When(InLevel(5), [] {})
        .After(3, [] { sys::EndProcess(0); });
    h.EndAt(8000, 99);
    EXPECT_EQ(test::RunFromLaunchPad(h, host), 0);
    sys::OpenFrameLog("");

    // Each line as "frame" or the event's name.
    std::vector<std::string> lines;
    std::istringstream in(content.folder.Read("frames.log"));
    for (std::string kind, name, rest; in >> kind >> name && std::getline(in, rest);)
        lines.push_back(kind == "frame" ? kind : name);
    auto at = [&](const char* name) {
        return std::size_t(std::find(lines.begin(), lines.end(), name) - lines.begin());
    };
    auto framesBetween = [&](std::size_t from, std::size_t to) {
        return std::count(lines.begin() + std::ptrdiff_t(from), lines.begin() + std::ptrdiff_t(to), "frame");
    };
    const std::size_t logos = at("logo-waits-done"), menu = at("menu-first-frame"), key = at("load-key"),
                      level = at("level-first-frame");
    ASSERT_LT(level, lines.size());
    EXPECT_EQ(framesBetween(0, logos), 2) << "the two logos";
    EXPECT_EQ(framesBetween(logos, menu), 1);
    EXPECT_EQ(lines[menu - 1], "frame");
    EXPECT_LT(menu, key);
    EXPECT_EQ(framesBetween(key, level), 1 + 7 + 1) << "the loading text, the loading screens, the level";
    EXPECT_EQ(lines[level - 1], "frame");
}

// A saved game from the load-game screen: the run takes its possessions and keeps its
// money (only the training level's end takes it).
TEST_F(RunScenarioTest, ASavedGameStartsWithItsPossessions) {
    std::optional<PlayLevelArgs> took;
    int asteroids = 0;
    h.When(InLevel(7), [&] {
        took = PlayLevelArgs{Campaign.StartingLevel, Campaign.OwnsIon,      Campaign.OwnsMion,
                             Campaign.OwnsEplas,     Campaign.OwnsDisperse, Campaign.OwnsGamma,
                             Campaign.Money,         Campaign.OwnsGravBeam, Arsenal.CapacityLevel};
        asteroids = Level.AsteroidCount;
        sys::EndProcess(0);
    });
    h.EndAt(3000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {7, true, false, true, false, false, 2500.5, true, 2}), 0);
    ASSERT_TRUE(took.has_value());
    EXPECT_EQ(took->level, 7);
    EXPECT_TRUE(took->ownsIon && took->ownsEplas && took->ownsGravBeam);
    EXPECT_FALSE(took->ownsMion || took->ownsDisperse || took->ownsGamma);
    EXPECT_EQ(took->money, 2500.5);
    EXPECT_EQ(took->capacityLevel, 2);
    EXPECT_EQ(asteroids, 22);
}

// The game's clock runs on through midnight: a warp-out begun two seconds before it
// ends like any other, seven seconds later.
TEST_F(RunScenarioTest, AWarpOutAcrossMidnightCompletes) {
    sys::UseRealClock();
    double completed = 0;
    int warpOutStart = 0;
    h.When(InLevel(1),
           [&] {
               sys::SetStartOfDay(86398.0 - sys::MonotonicSeconds());
               h.KeyPress(h.Frame() + 1, key::Return, 2);
           })
        .When([] { return LevelEnd.LevelEnding; }, [&] { warpOutStart = LevelEnd.WarpOutStart; })
        .When(InLevel(2), [&] {
            completed = Campaign.FrameStartTime;
            sys::EndProcess(0);
        });
    h.EndAt(1000000, 99);
    Campaign.IntroSeen = true;  // straight into the training level
    EXPECT_EQ(test::RunFromLevelStart(h, {1, false, false, false, false, false, 0, false, 1}), 0);
    EXPECT_EQ(warpOutStart, 86398);
    EXPECT_GT(completed, 86400.0 + 5);
    EXPECT_LT(completed, 86400.0 + 60);
}

// The last level played a second time in one program run: the battleship beaten the
// first time does not count, so with the field and the mothership gone the end cut-scene
// still waits for the level's own battleship.
TEST_F(RunScenarioTest, TheLastLevelPlayedAgainWaitsForItsOwnBattleship) {
    bool cleared = false, cutscene = true;
    h.When(InLevel(50),
           [&] {
               Battleship.BattleshipDestroyed = true;  // as the first play of the level left it
               h.KeyPress(h.Frame() + 1, key::F6, 2);
           })
        .After(10,
               [&] {
                   cleared = !Battleship.BattleshipDestroyed;
                   Level.AsteroidsLeft = 0;
                   Mothership.MothershipLevel = false;
               })
        .After(60, [&] {
            cutscene = Level.CutsceneRunning || Level.CutsceneDone;
            sys::EndProcess(0);
        });
    h.EndAt(4000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {50, false, false, false, false, false, 0, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_TRUE(cleared);
    EXPECT_FALSE(cutscene);
}

// The last level's end leads into the game-won pages: while they show, no status line
// is drawn over them (the level-end line belongs to the warp-out before), while the
// meters and the map stay as every frame draws them.
TEST_F(RunScenarioTest, TheGameWonPagesShowNoStatusLine) {
    int pages = 0, fontTexts = 0, mapMarks = 0;
    h.When(InLevel(50), [] { FinishCutsceneLevel(); })
        .When([] { return Campaign.GameWon; },
              [&] {
                  for (int f = h.Frame() + 1; f <= h.Frame() + 30; ++f)
                      h.At(f, [&] {
                          pages += h.ImageVisible("gamewon");
                          for (const auto& call : h.LastQueue()) {
                              fontTexts += call.kind == engine::Draw2DCall::Kind::FontText;
                              mapMarks += call.kind == engine::Draw2DCall::Kind::Rectangle && call.filled;
                          }
                      });
              })
        .After(31, [] { sys::EndProcess(0); });
    h.EndAt(4000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {50, false, false, false, false, false, 0, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_EQ(pages, 30);
    EXPECT_EQ(fontTexts, 0);
    EXPECT_GT(mapMarks, 0);
}

// The Enter on the fourth game-won page ends the program at once, with nothing else
// opened after it (a main menu would run on until the harness gives up).
TEST_F(RunScenarioTest, GameWonEndsTheProgramAfterTheFourthPage) {
    h.When(InLevel(7), [&] {
        Campaign.GameWon = true;
        LevelEnd.GameWonPage = 4;
        h.KeyPress(h.Frame() + 1, key::Return, 120);
    });
    h.EndAt(4000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {7, false, false, false, false, false, 0, false, 1}), 0);
    EXPECT_TRUE(h.ConditionsDone());
    EXPECT_EQ(LevelEnd.GameWonPage, 5);
}

}  // namespace
}  // namespace quorvel
