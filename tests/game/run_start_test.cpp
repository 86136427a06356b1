// The game run's start-up, its status line and the HUD's choice of targets: the
// parts that need no level content.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/engine_objects.h"
#include "assets/assets.h"
#include "common/texts.h"
#include "game/game.h"
#include "game/run_loop.h"
#include "game/state.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"
#include "shell/shell.h"
#include "support/harness.h"
#include "support/scenarios.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

// The scout's and the battleship's first levels, drawn from the level before the
// starting one.
TEST(RunStartTest, EventLevelsAreDrawnFromTheLevelBeforeTheStart) {
    const struct {
        int before;
        std::vector<double> draws;
        int scout, battleship;
    } cases[] = {
        {0, {0.99}, 2, 4},           // a new game: 2 and 4 whatever is drawn
        {0, {0.0}, 2, 4},            // raised to 4
        {1, {0.99}, 2, 4},           // exactly 4 from level 2
        {2, {0.99}, 2, 6},           // no scout draw at 2: the battleship takes the first
        {3, {0.0, 0.0}, 4, 5},       // a start at level 4: 4 to 6 and 5 to 7
        {3, {0.99, 0.99}, 6, 7},     //
        {3, {0.25, 0.25}, 5, 5},     // halves to even: 1.5 -> 2, 2.5 -> 2
        {20, {0.75, 0.75}, 22, 24},  // 2.5 -> 2, 3.5 -> 4
    };
    for (const auto& c : cases) {
        Campaign.CurrentLevel = c.before;
        sys::QueueRandom(c.draws);
        DrawEventLevels();
        EXPECT_EQ(Scout.ScoutNextLevel, c.scout) << "from level " << c.before;
        EXPECT_EQ(Battleship.BattleshipNextLevel, c.battleship) << "from level " << c.before;
    }
}

// The status line with the generated game texts.
class StatusLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sys::SetProgramFolder(QUORVEL_GAME_DIR);
        LoadGameTexts();
        if (GameText("level") != "Level") GTEST_SKIP() << "the build generates no content set";
    }
};

TEST_F(StatusLineTest, WhileTheLevelRuns) {
    const struct {
        int level;
        double money;
        float limit;
        double elapsed;
        const char* text;
    } cases[] = {
        {7, 600000, 154, 100.3, "Level: 7   Money: $600000  Time: 53"},
        {7, 0, 154, 0, "Level: 7   Money: $0  Time: 154"},
        {12, 2500.75, 154, 153.5, "Level: 12   Money: $2500  Time: 1"},  // no decimals shown
        {12, 1e9, 154, 400, "Level: 12   Money: $1000000000  Time: 1"},  // never below 1
    };
    for (const auto& c : cases) {
        Campaign.CurrentLevel = c.level;
        Campaign.Money = c.money;
        Level.LevelTimeLimit = c.limit;
        Level.LevelStartTime = 50000;
        Campaign.FrameStartTime = Level.LevelStartTime + c.elapsed;
        EXPECT_EQ(RunningStatusText(), c.text);
    }
}

// The end-of-level line shows what the completion paid.
TEST_F(StatusLineTest, AtTheLevelEndShowsTheBonusPaid) {
    const struct {
        int level;
        float fired, hit;
        double elapsed;
        const char* text;
    } cases[] = {
        {3, 40, 30, 100, "Level 3 complete! Time left: 68 secs  Accuracy: 75%  Bonus $286000"},
        {3, 0, 0, 200, "Level 3 complete! Time left: 1 secs  Accuracy: 0%  Bonus $2000"},
        {3, 2, 5, 100, "Level 3 complete! Time left: 68 secs  Accuracy: 100%  Bonus $336000"},
        {1, 10, 10, 10, "Level 1 complete! Time left: 340 secs  Accuracy: 100%  Bonus $0"},
    };
    for (const auto& c : cases) {
        Campaign.CurrentLevel = c.level;
        Level.LevelTimeLimit = c.level == 1 ? 350.0f : 168.0f;
        Level.LevelStartTime = 1000;
        Campaign.FrameStartTime = Level.LevelStartTime + c.elapsed;
        Level.ShotsFired = c.fired;
        Level.ShotsHit = c.hit;
        ComputeLevelBonus();
        Campaign.FrameStartTime += 5;  // the line stays as it was paid while the warp-out runs
        EXPECT_EQ(LevelEndText(), c.text);
    }
}

// The HUD pointers follow the five nearest active asteroids and every active alien.
class HudTargetsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MathObj = std::make_unique<EngineMath>();
        Level.AsteroidCount = 8;
        for (auto& a : Level.Asteroids)
            a = AsteroidRec{};
        for (auto& p : Hud.HudPointers)
            p = PointerSlot{};
        for (auto& alien : AlienFleet.Aliens)
            alien = AlienShip{};
        Ship.CamBasis.CamPos = Vector{100, 0, 0};
    }
    void Place(int i, float x, bool active = true) {
        Level.Asteroids[std::size_t(i)].Pos = Vector{x, 0, 0};
        Level.Asteroids[std::size_t(i)].Active = active;
    }
    std::vector<float> Targets() const {
        std::vector<float> xs;
        for (int k = 1; k <= 5; ++k)
            xs.push_back(Hud.HudPointers[std::size_t(k)].PointerOn
                             ? Hud.HudPointers[std::size_t(k)].PointerTarget.x
                             : -1);
        return xs;
    }
};

TEST_F(HudTargetsTest, NearestAsteroidsFirst) {
    const struct {
        const char* what;
        std::vector<std::pair<float, bool>> field;  // x, active; asteroids 1 up
        std::vector<float> slots;                   // target x of slots 1 to 5, -1 off
    } cases[] = {
        {"three active", {{500, true}, {150, true}, {900, false}, {-100, true}}, {150, -100, 500, -1, -1}},
        {"seven active",
         {{800, true}, {700, true}, {600, true}, {500, true}, {400, true}, {300, true}, {200, true}},
         {200, 300, 400, 500, 600}},
        {"equal distances: the lower index", {{-100, true}, {300, true}, {0, true}}, {0, -100, 300, -1, -1}},
        {"99999 away is no target", {{100100, true}, {700, true}}, {700, -1, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        SetUp();
        for (std::size_t i = 0; i < c.field.size(); ++i)
            Place(int(i) + 1, c.field[i].first, c.field[i].second);
        SelectHudTargets();
        EXPECT_EQ(Targets(), c.slots) << c.what;
    }
}

TEST_F(HudTargetsTest, NothingNearKeepsTheAsteroidSlots) {
    Place(1, 400);
    Place(2, 300);
    SelectHudTargets();
    const std::vector<float> before = Targets();
    Place(1, 400, false);
    Place(2, 300, false);
    Place(3, 200000);  // active, but out of reach
    SelectHudTargets();
    EXPECT_EQ(Targets(), before);
}

TEST_F(HudTargetsTest, AlienSlotsFollowTheAliensEveryFrame) {
    Hud.HudPointers[16].PointerOn = true;  // loaded with an alien icon, never chosen here
    AlienFleet.Aliens[1].Active = true;
    AlienFleet.Aliens[1].Position = Vector{1, 2, 3};
    AlienFleet.Aliens[10].Active = true;
    AlienFleet.Aliens[10].Position = Vector{4, 5, 6};
    Hud.HudPointers[7].PointerOn = true;  // alien 2 was on last frame
    SelectHudTargets();
    for (int j = 1; j <= 10; ++j)
        EXPECT_EQ(Hud.HudPointers[std::size_t(j + 5)].PointerOn, j == 1 || j == 10) << "alien " << j;
    EXPECT_EQ(Hud.HudPointers[6].PointerTarget.z, 3);
    EXPECT_EQ(Hud.HudPointers[15].PointerTarget.x, 4);
    EXPECT_TRUE(Hud.HudPointers[16].PointerOn);
    AlienFleet.Aliens[1].Active = false;
    SelectHudTargets();
    EXPECT_FALSE(Hud.HudPointers[6].PointerOn);
}

// The run's start in an empty program folder (every file missing), for what it sets
// from the screen, the level and the options.
TEST(RunStartScreenTest, ScreenScaleLevelOneMoneyAndTheRunsState) {
    const struct {
        int width, height, level;
        double money;
        int graphics;
        float scaleX, scaleY;
        int centreX, centreY;
        double moneyAfter;
        bool miniView;
    } cases[] = {
        {1280, 1024, 1, 5, 2, 1.0f, 1.0f, 640, 512, 600000, false},
        {640, 480, 4, 1234.5, 1, 0.5f, 0.46875f, 320, 240, 1234.5, true},
    };
    for (const auto& c : cases) {
        test::TempFolder folder;
        test::UseAsProgramFolder(folder);
        test::Harness h(c.width, c.height);
        h.ExpectFailedLoad(folder.str());
        test::PrepareGameStart();
        Campaign.IntroSeen = true;  // level 1 without its intro
        Options.Graphics.SetValue(c.graphics);
        Options.Difficulty.SetValue(3);
        Options.Slider1.SetValue(10);
        // Left over from an earlier run.
        Effects.FlipFrame = 40;
        Effects.FlipTimer = 0;
        Effects.StarscapeIndex = 2;
        LevelEnd.GameWonStarted = true;
        LevelEnd.GameWonPage = 4;
        Screens.LastFightStarted = Screens.MenuRequested = Screens.ShopRequested = Screens.DeathDone =
            Screens.QuickSaveLatch = true;
        Screens.EscTimer = 30;
        Level.ShipDestroyed = LevelEnd.LevelEnding = Ship.Invincible = true;

        StartGameRun({c.level, true, false, false, false, false, c.money, false, 2});
        const std::string at = std::to_string(c.width) + "x" + std::to_string(c.height);
        EXPECT_FLOAT_EQ(Display.ScaleX, c.scaleX) << at;
        EXPECT_FLOAT_EQ(Display.ScaleY, c.scaleY) << at;
        EXPECT_EQ(Display.ScreenCentreX, c.centreX) << at;
        EXPECT_EQ(Display.ScreenCentreY, c.centreY) << at;
        EXPECT_EQ(Campaign.CurrentLevel, c.level) << at;
        EXPECT_EQ(Campaign.Money, c.moneyAfter) << at;
        EXPECT_TRUE(Campaign.OwnsIon) << at;
        EXPECT_EQ(Arsenal.CapacityLevel, 2) << at;
        EXPECT_EQ(Campaign.DifficultyLevel, 3) << at;
        EXPECT_FLOAT_EQ(Campaign.DifficultyFactor, 1.0f) << at;
        EXPECT_FLOAT_EQ(Flight.MouseSensitivity, 1.2f) << at;
        EXPECT_EQ(Display.GraphicsLevel, c.graphics) << at;
        EXPECT_EQ(Flight.MiniViewShown, c.miniView) << at;
        EXPECT_EQ(Campaign.CurrentWeapon, 1) << at;
        EXPECT_EQ(Effects.FlipFrame, 1) << at;
        EXPECT_EQ(Effects.FlipTimer, 99) << at;
        EXPECT_EQ(Effects.StarscapeIndex, 1) << at;
        EXPECT_FALSE(LevelEnd.GameWonStarted || Screens.LastFightStarted || Screens.MenuRequested ||
                     Screens.ShopRequested || Screens.DeathDone || Screens.QuickSaveLatch ||
                     Level.ShipDestroyed || LevelEnd.LevelEnding || Ship.Invincible)
            << at;
        EXPECT_EQ(LevelEnd.GameWonPage, 1) << at;
        EXPECT_EQ(Screens.EscTimer, 0) << at;
        EXPECT_TRUE(Campaign.GameRunning) << at;
        EXPECT_EQ(Arsenal.PlasmaShots[0].ReloadRate, 15) << at;
        EXPECT_EQ(Arsenal.GammaShots[0].DamagePerHit, 2500) << at;
        for (const auto& sound : Campaign.PositionalSounds)
            EXPECT_NE(sound, nullptr) << at;
        EXPECT_NE(Arsenal.GravityBeam, nullptr) << at;
        EXPECT_NE(Level.FlamingAsteroid, nullptr) << at;
        EXPECT_NE(AnimMeshObj, nullptr) << at;
        if (c.level == 1) {
            EXPECT_EQ(Tutorial.TutorialClock, Campaign.FrameStartTime) << at;
        }
    }
}

}  // namespace
}  // namespace quorvel
