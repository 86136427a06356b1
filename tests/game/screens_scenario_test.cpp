// The screens a player meets inside a level, played through the real program headless:
// the quick save and quick load keys (also during a warp-out), the weapon shop, the pause
// and game-over menus and the save and load lists they open, each reached by its key or
// by a click on its entry.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "audio/audio.h"
#include "common/engine_objects.h"
#include "game/clip_log.h"
#include "game/run_objects.h"
#include "game/save_file.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "support/harness.h"
#include "game/game_run.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

// Middles of the items of the pause menu and the weapon shop, in the 512 x 512 space
// of their pictures (item n is entry n - 1).
constexpr int PauseItemY[6] = {244, 290, 340, 385, 427, 471};
constexpr int ShopItemY[9] = {55, 98, 145, 195, 238, 285, 387, 432, 472};

struct Possessions {
    int level = 0;
    bool ion = false, mion = false, eplas = false, disperse = false, gamma = false, beam = false;
    double money = 0;
    int capacity = 0;
    bool operator==(const Possessions&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Possessions& p) {
    return out << "level " << p.level << " weapons " << p.ion << p.mion << p.eplas << p.disperse << p.gamma
               << p.beam << " money " << std::hexfloat << p.money << std::defaultfloat << " capacity "
               << p.capacity;
}

Possessions InGame() {
    return {Campaign.CurrentLevel, Campaign.OwnsIon,      Campaign.OwnsMion,
            Campaign.OwnsEplas,    Campaign.OwnsDisperse, Campaign.OwnsGamma,
            Campaign.OwnsGravBeam, Campaign.Money,        Arsenal.CapacityLevel};
}

Possessions InSlot(int slot) {
    const SaveSlotContents s = ReadSaveSlot(slot);
    if (s.state != SaveSlotState::Good) return {};
    const PlayLevelArgs& v = s.values;
    return {v.level,     v.ownsIon,      v.ownsMion, v.ownsEplas,    v.ownsDisperse,
            v.ownsGamma, v.ownsGravBeam, v.money,    v.capacityLevel};
}

PlayLevelArgs StartWith(const Possessions& p) {
    return {p.level, p.ion, p.mion, p.eplas, p.disperse, p.gamma, p.money, p.beam, p.capacity};
}

class ScreensScenario : public test::GameScenario {
  protected:
    explicit ScreensScenario(std::pair<int, int> screen = {1280, 1024}) : GameScenario(17, screen) {}
    // Whether the last frame shown drew a text that contains `text`.
    bool Shows(const std::string& text) const {
        for (const auto& call : h.LastQueue())
            if (call.text.find(text) != std::string::npos) return true;
        return false;
    }
    // The pointer moved onto a point of a centred menu picture, or onto a screen point.
    void PointAtPicture(int x, int y) {
        const auto& scene = h.Scene();
        const float sx = float(scene.screenWidth) / 1280.0f, sy = float(scene.screenHeight) / 1024.0f;
        PointAtScreen(int(std::lround(float(scene.screenWidth / 2) + float(x - 256) * sx)),
                      int(std::lround(float(scene.screenHeight / 2) + float(y - 256) * sy)));
    }
    void PointAtScreen(int x, int y) { h.MouseTo(h.Frame() + 1, x, y); }
    void PointAtPauseItem(int item) { PointAtPicture(250, PauseItemY[item - 1]); }
    void PointAtShopItem(int item) { PointAtPicture(245, ShopItemY[item - 1]); }
    // The middle of a row of the save and load lists, which are laid out on the screen.
    void PointAtSlot(int slot) {
        const auto& scene = h.Scene();
        const float sy = float(scene.screenHeight) / 1024.0f;
        PointAtScreen(scene.screenWidth / 2,
                      int(std::lround(float(scene.screenHeight / 2) - float(211 - 20 * slot) * sy)));
    }
    // A click as a player gives it: the button held for a few frames.
    void Click(int frames = 2) { h.MouseClick(h.Frame() + 1, 0, frames); }
    // Counts, from the next frame for `frames` frames, the frames that showed `text`.
    void CountShown(const std::string& text, int frames, int& count) {
        for (int f = h.Frame() + 1; f <= h.Frame() + frames; ++f)
            h.At(f, [this, text, &count] { count += Shows(text); });
    }
    float MaxEnergy() const { return Arsenal.WeaponEnergy[1].MaxEnergy; }
    float CameraDistance() const {
        const Vector& p = Ship.CamBasis.CamPos;
        return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    }

    bool MeshShown(const char* key) const {
        const auto* mesh = h.Scene().meshes.Find(key);
        return mesh && mesh->visible;
    }

    test::ClipLog clips;
};

// The scenarios that point and click, at a large and a small screen.
class ScreensScenarioTest : public ScreensScenario,
                            public ::testing::WithParamInterface<std::pair<int, int>> {
  protected:
    ScreensScenarioTest() : ScreensScenario(GetParam()) {}
};

// F5 writes the quick-save slot once per press, however long it is held; what is bought,
// flown and fired after it, F6 takes back: the level from its start with exactly the
// saved money, weapons and energy stores.
TEST_P(ScreensScenarioTest, QuickSaveAndQuickLoadKeys) {
    const Possessions start{7, false, false, false, false, false, false, 5000000.75, 1};
    Possessions bought, saved, afterPlay, loaded;
    int fullTime = 0, timeAfterPlay = 0, timeLoaded = 0, savedShown = 0;
    float energyAtStart = 0, energyAfterPlay = 0, energyLoaded = 0, flownAway = 0, distanceLoaded = 0;
    float shotsAfterPlay = 0, shotsLoaded = -1;
    bool fullField = false;
    h.When(InLevel(7),
           [&] {
               fullTime = int(Level.LevelTimeLimit);
               energyAtStart = MaxEnergy();
               h.KeyPress(h.Frame() + 1, key::B, 2);
           })
        .When([] { return Screens.ShopRequested; }, [&] { PointAtShopItem(1); })  // the ion cannon
        .After(4, [&] { Click(3); })
        .When([&] { return !Screens.ShopRequested && test::InFrameLoop(h); },
              [&] {
                  bought = InGame();
                  // Held for four seconds: the two-second "Game Saved" and more.
                  h.KeyPress(h.Frame() + 1, key::F5, 240);
                  CountShown("Game Saved", 300, savedShown);
              })
        .After(300,
               [&] {
                   saved = InSlot(0);
                   // Play on: the bigger energy stores, a flight forward and a volley.
                   h.KeyPress(h.Frame() + 1, key::B, 2);
               })
        .When([] { return Screens.ShopRequested; }, [&] { PointAtShopItem(7); })
        .After(4, [&] { Click(3); })
        .When([&] { return !Screens.ShopRequested && test::InFrameLoop(h); },
              [&] {
                  h.KeyPress(h.Frame() + 1, key::W, 120);
                  Click(60);
              })
        .After(180,
               [&] {
                   afterPlay = InGame();
                   timeAfterPlay = int(LevelEnd.TimeLeft);
                   energyAfterPlay = MaxEnergy();
                   flownAway = CameraDistance();
                   shotsAfterPlay = Level.ShotsFired;
                   h.KeyPress(h.Frame() + 1, key::F6, 2);
               })
        // A few frames on the loaded level.
        .After(10, [&] {
            loaded = InGame();
            timeLoaded = int(LevelEnd.TimeLeft);
            energyLoaded = MaxEnergy();
            distanceLoaded = CameraDistance();
            shotsLoaded = Level.ShotsFired;
            fullField = Level.AsteroidsLeft == Level.AsteroidCount;
            sys::EndProcess(0);
        });
    h.EndAt(6000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, StartWith(start)), 0);
    ASSERT_TRUE(h.ConditionsDone());

    Possessions withIon = start;
    withIon.ion = true;
    withIon.money = start.money - 600000;
    EXPECT_EQ(bought, withIon);
    EXPECT_EQ(saved, withIon);
    EXPECT_EQ(savedShown, 1);

    EXPECT_EQ(afterPlay.capacity, 2);
    EXPECT_EQ(afterPlay.money, withIon.money - 4000000);
    EXPECT_GT(energyAfterPlay, energyAtStart);
    EXPECT_GT(flownAway, 20);
    EXPECT_GT(shotsAfterPlay, 0);
    EXPECT_LT(timeAfterPlay, fullTime - 5);

    EXPECT_EQ(loaded, withIon);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(loaded.money), std::bit_cast<std::uint64_t>(withIon.money));
    EXPECT_EQ(energyLoaded, energyAtStart);
    EXPECT_GE(timeLoaded, fullTime - 1);
    EXPECT_LT(distanceLoaded, 2);  // at rest at the start pose
    EXPECT_EQ(shotsLoaded, 0);
    EXPECT_TRUE(fullField);
}

// A click on a weapon the money cannot buy says "not available" and keeps the shop
// open; a click on one it can buy takes its price, makes it the weapon in hand and
// closes the shop.
TEST_P(ScreensScenarioTest, ShopSellsByClickOnlyWhatTheMoneyBuys) {
    const Possessions start{9, false, false, false, false, false, false, 1000000.5, 1};
    Possessions refused, after;
    bool openAfterRefusal = false;
    std::size_t noavailAfterRefusal = 0, noavailAfterPurchase = 0;
    int weaponAfter = 0;
    h.When(InLevel(9), [&] { h.KeyPress(h.Frame() + 1, key::B, 2); })
        .When([] { return Screens.ShopRequested; }, [&] { PointAtShopItem(2); })  // 2400000
        .After(4, [&] { Click(3); })
        .After(6,
               [&] {
                   refused = InGame();
                   openAfterRefusal = Screens.ShopRequested;
                   noavailAfterRefusal = clips.Count("noavail.wav");
                   PointAtShopItem(1);  // 600000
               })
        .After(4, [&] { Click(3); })
        .When([&] { return !Screens.ShopRequested && test::InFrameLoop(h); },
              [&] {
                  after = InGame();
                  weaponAfter = Campaign.CurrentWeapon;
                  noavailAfterPurchase = clips.Count("noavail.wav");
                  sys::EndProcess(0);
              });
    h.EndAt(3000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, StartWith(start)), 0);
    ASSERT_TRUE(h.ConditionsDone());

    EXPECT_EQ(refused, start);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(noavailAfterRefusal, 1u);

    Possessions withIon = start;
    withIon.ion = true;
    withIon.money = 400000.5;
    EXPECT_EQ(after, withIon);
    EXPECT_EQ(weaponAfter, 3);
    EXPECT_EQ(noavailAfterPurchase, 1u);
}

// Escape pauses; the load entry with the level's own save starts the level again (its
// time and the ship's place from the start); paused again, the exit entry ends the
// program with exit code 0.
TEST_P(ScreensScenarioTest, PauseRestartTheLevelThenExit) {
    int fullTime = 0, timeBeforePause = 0, timeRestarted = 0;
    float flownAway = 0, distanceRestarted = -1;
    bool menuShown = false, listShown = false;
    h.When(InLevel(4),
           [&] {
               fullTime = int(Level.LevelTimeLimit);
               h.KeyPress(h.Frame() + 1, key::W, 240);
           })
        .After(300,
               [&] {
                   timeBeforePause = int(LevelEnd.TimeLeft);
                   flownAway = CameraDistance();
                   h.KeyPress(h.Frame() + 1, key::Escape);
               })
        .When([] { return Screens.MenuRequested; }, [&] { PointAtPauseItem(2); })
        .After(5,
               [&] {
                   menuShown = h.Scene().images.Find("menu") && h.Scene().images.Find("menu")->visible;
                   Click();
               })
        .When([&] { return Shows("Press number to load game:"); }, [&] { PointAtSlot(0); })
        .After(3,
               [&] {
                   listShown = Shows("0--Quick Save - Level:  4");
                   Click(1);
               })
        .When([&] { return !Screens.MenuRequested && test::InFrameLoop(h); },
              [&] { timeRestarted = int(LevelEnd.TimeLeft); })
        .After(10,
               [&] {
                   distanceRestarted = CameraDistance();
                   h.KeyPress(h.Frame() + 1, key::Escape);
               })
        .When([] { return Screens.MenuRequested; }, [&] { PointAtPauseItem(6); })
        .After(5, [&] { Click(); });
    h.EndAt(6000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {4, false, false, false, false, false, 0, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_TRUE(menuShown);
    EXPECT_TRUE(listShown);
    EXPECT_LT(timeBeforePause, fullTime - 3);
    EXPECT_GT(flownAway, 20);
    EXPECT_GE(timeRestarted, fullTime - 1);
    EXPECT_LT(distanceRestarted, 2);  // at rest at the start pose
}

// From the pause menu: saved into slot 4 by a click in the save list (the level's time
// standing still meanwhile), played on, then loaded from slot 4 by a click in the load
// list: exactly what was saved there, not the quick save the run started from.
TEST_P(ScreensScenarioTest, SaveAndLoadListsByClick) {
    const Possessions start{12, true, false, false, false, false, true, 9000000.125, 2};
    Possessions inSlot, afterPlay, loaded;
    bool menuOpenAfterSave = false;
    int timeAtPause = 0, timeAfterResume = 0;
    // Steps that buy an item a few frames after the step before.
    auto buy = [this](int item) {
        h.After(10, [this] { h.KeyPress(h.Frame() + 1, key::B, 2); })
            .When([] { return Screens.ShopRequested; }, [this, item] { PointAtShopItem(item); })
            .After(4, [this] { Click(3); })
            .When([this] { return !Screens.ShopRequested && test::InFrameLoop(h); }, [] {});
    };
    h.When(InLevel(12), [] {});
    buy(2);  // the mion cannon
    // Escape counts once the loop's re-arm timer has run a few frames.
    h.After(10,
            [&] {
                timeAtPause = int(LevelEnd.TimeLeft);
                h.KeyPress(h.Frame() + 1, key::Escape);
            })
        .When([] { return Screens.MenuRequested; }, [&] { PointAtPauseItem(3); })
        .After(5, [&] { Click(); })
        .When([&] { return Shows("Press number to save"); }, [&] { PointAtSlot(4); })
        .After(180, [&] { Click(1); })  // a while to think it over
        .When([&] { return test::InFrameLoop(h) && !Shows("Press number to save"); },
              [&] {
                  inSlot = InSlot(4);
                  menuOpenAfterSave = Screens.MenuRequested;
                  PointAtPauseItem(1);  // resume
              })
        .After(5, [&] { Click(); })
        .When([] { return !Screens.MenuRequested; }, [&] { timeAfterResume = int(LevelEnd.TimeLeft); });
    buy(3);  // the eplas cannon
    h.After(10,
            [&] {
                afterPlay = InGame();
                h.KeyPress(h.Frame() + 1, key::Escape);
            })
        .When([] { return Screens.MenuRequested; }, [&] { PointAtPauseItem(2); })
        .After(5, [&] { Click(); })
        .When([&] { return Shows("Press number to load game:"); }, [&] { PointAtSlot(4); })
        .After(3, [&] { Click(1); })
        .When([&] { return !Screens.MenuRequested && test::InFrameLoop(h); },
              [&] {
                  loaded = InGame();
                  sys::EndProcess(0);
              });
    h.EndAt(6000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, StartWith(start)), 0);
    ASSERT_TRUE(h.ConditionsDone());

    Possessions withMion = start;
    withMion.mion = true;
    withMion.money = start.money - 2400000;
    EXPECT_EQ(inSlot, withMion);
    EXPECT_TRUE(menuOpenAfterSave);
    EXPECT_GE(timeAfterResume, timeAtPause - 1);

    EXPECT_TRUE(afterPlay.eplas);
    EXPECT_EQ(afterPlay.money, withMion.money - 4800000);
    EXPECT_EQ(loaded, withMion);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(loaded.money), std::bit_cast<std::uint64_t>(withMion.money));
}

// A ship lost while its pilot idles brings up the game-over menu; its restart entry puts
// the ship back into the same level with no money, and the level plays on.
TEST_F(ScreensScenario, GameOverRestartPutsTheShipBackInTheLevel) {
    struct Seen {
        bool gameOverMenu = false, destroyed = true, menuOpen = true;
        int level = 0;
        double money = -1;
        float hull = 0;
    } seen;
    bool lostAgain = false;
    h.When([] { return Screens.MenuRequested && Level.ShipDestroyed; },
           [&] {
               seen.gameOverMenu = true;
               PointAtPicture(250, 306);  // restart
           })
        .After(5, [&] { Click(); })
        .When([&] { return !Screens.MenuRequested && test::InFrameLoop(h); },
              [&] {
                  seen = {true,           Level.ShipDestroyed, Screens.MenuRequested, Campaign.CurrentLevel,
                          Campaign.Money, Ship.HullDamage};
              })
        .After(300, [&] {
            lostAgain = Level.ShipDestroyed;
            sys::EndProcess(0);
        });
    h.EndAt(20000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {12, false, false, false, false, false, 5000, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_TRUE(seen.gameOverMenu);
    EXPECT_FALSE(seen.destroyed);
    EXPECT_FALSE(seen.menuOpen);
    EXPECT_EQ(seen.level, 12);
    EXPECT_EQ(seen.money, 0);
    EXPECT_EQ(seen.hull, 1.0f);
    EXPECT_FALSE(lostAgain);
}

// F6 while the ship warps out of a finished level: the saved level starts again as a
// level starts, with its music playing and no warp-out ship left in it.
TEST_F(ScreensScenario, AQuickLoadDuringTheWarpOut) {
    bool warping = false, ending = true, goldShip = true, musicPaused = true;
    int level = 0;
    h.When([this] { return Campaign.CurrentLevel == 1 && test::InFrameLoop(h); },
           [&] { h.KeyPress(h.Frame() + 1, key::Return, 2); })
        .When([] { return LevelEnd.LevelEnding; },
              [&] {
                  warping = MeshShown("goldship") && DXAudioObj && DXAudioObj->BackgroundPaused();
                  h.KeyPress(h.Frame() + 60, key::F6, 2);
              })
        .After(120, [&] {
            ending = LevelEnd.LevelEnding;
            level = Campaign.CurrentLevel;
            goldShip = MeshShown("goldship");
            musicPaused = DXAudioObj && DXAudioObj->BackgroundPaused();
            sys::EndProcess(0);
        });
    h.EndAt(3000, 99);
    Campaign.IntroSeen = true;  // straight into the training level
    EXPECT_EQ(test::RunFromLevelStart(h, {1, false, false, false, false, false, 0, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_TRUE(warping);
    EXPECT_FALSE(ending);
    EXPECT_EQ(level, 1);
    EXPECT_FALSE(goldShip);
    EXPECT_FALSE(musicPaused);
}

// A screen that let the player move the pointer hands it back to the steering centred:
// the first frames of flight after it do not turn the view, wherever the pointer was
// left. The pause menu closed by its resume entry, the shop by Escape, and the pause
// menu's load list by a load, which closes the menu without its resume entry.
enum class ClosedScreen { PauseMenu, Shop, LoadList };

std::string ScreenName(ClosedScreen screen) {
    switch (screen) {
        case ClosedScreen::PauseMenu:
            return "PauseMenu";
        case ClosedScreen::Shop:
            return "Shop";
        case ClosedScreen::LoadList:
            return "LoadList";
    }
    return "";
}

class ClosingAScreen : public ScreensScenario, public ::testing::WithParamInterface<ClosedScreen> {};

TEST_P(ClosingAScreen, LeavesTheViewStill) {
    float turn = -1;
    int flightFrames = 0;
    auto open = [] { return Screens.MenuRequested || Screens.ShopRequested; };
    h.When(InLevel(6),
           [&] {
               if (GetParam() == ClosedScreen::Shop)
                   h.KeyPress(h.Frame() + 1, key::B, 2);
               else
                   h.KeyPress(h.Frame() + 10, key::Escape);  // Escape pauses once the level has run a moment
           })
        .When(open,
              [&] {
                  if (GetParam() == ClosedScreen::Shop)
                      PointAtShopItem(9);
                  else
                      PointAtPauseItem(GetParam() == ClosedScreen::PauseMenu ? 1 : 2);
              })
        .After(5,
               [&] {
                   if (GetParam() == ClosedScreen::Shop)
                       h.KeyPress(h.Frame() + 1, key::Escape, 2);
                   else
                       Click();
               })
        .When([&] { return GetParam() != ClosedScreen::LoadList || Shows("Press number to load game:"); },
              [&] {
                  if (GetParam() != ClosedScreen::LoadList) return;
                  PointAtSlot(0);
                  h.At(h.Frame() + 3, [&] { Click(1); });
              })
        .When([&] { return !open() && test::InFrameLoop(h); },
              [&] {
                  turn = 0;
                  for (int f = h.Frame() + 1; f <= h.Frame() + 5; ++f)
                      h.At(f, [&] {
                          turn = std::max({turn, std::abs(Flight.YawRate), std::abs(Flight.PitchRate)});
                          ++flightFrames;
                      });
              })
        .After(6, [] { sys::EndProcess(0); });
    h.EndAt(4000, 99);
    EXPECT_EQ(test::RunFromLevelStart(h, {6, false, false, false, false, false, 0, false, 1}), 0);
    ASSERT_TRUE(h.ConditionsDone());
    EXPECT_EQ(flightFrames, 5);
    EXPECT_EQ(turn, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Screens, ClosingAScreen,
                         ::testing::Values(ClosedScreen::PauseMenu, ClosedScreen::Shop,
                                           ClosedScreen::LoadList),
                         [](const auto& param) { return ScreenName(param.param); });

INSTANTIATE_TEST_SUITE_P(Screens, ScreensScenarioTest,
                         ::testing::Values(std::pair{1280, 1024}, std::pair{640, 480}),
                         [](const auto& param) {
                             return std::to_string(param.param.first) + "x" +
                                    std::to_string(param.param.second);
                         });

}  // namespace
}  // namespace quorvel
