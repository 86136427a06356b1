// The frame loop on a real level (level 7 of the generated content, started as the
// load-game screen starts it, in a program folder of its own).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/engine_objects.h"
#include "game/game.h"
#include "game/run_loop.h"
#include "game/run_objects.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"
#include "platform/system/clock.h"
#include "platform/system/random.h"
#include "game/game_run.h"
#include "support/harness.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

class FrameLoopTest : public test::RunningLevel {
  protected:
    FrameLoopTest() : RunningLevel(600000) {}
    std::vector<engine::Draw2DCall> Calls(engine::Draw2DCall::Kind kind) const {
        std::vector<engine::Draw2DCall> calls;
        for (const auto& call : h.LastQueue())
            if (call.kind == kind) calls.push_back(call);
        return calls;
    }
};

TEST_F(FrameLoopTest, StatusLineShowsLevelMoneyAndTimeLeft) {
    Level.LevelStartTime = sys::WallClock() - 100.3;  // the next frame starts 100.3 s into the level
    RunGameFrame();
    const auto texts = Calls(engine::Draw2DCall::Kind::FontText);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].text, "Level: 7   Money: $600000  Time: 53");
    EXPECT_FLOAT_EQ(texts[0].a.x, 32);
    EXPECT_FLOAT_EQ(texts[0].a.y, 32);
    EXPECT_FLOAT_EQ(texts[0].textSize, 50);
    EXPECT_EQ(texts[0].colour.r + texts[0].colour.g + texts[0].colour.b, 3 * 255);
}

// Money shows in whole dollars, rounded down, whatever a save slot put into it.
TEST(MoneyText, WholeDollarsOfAnyFiniteAmount) {
    const struct {
        double money;
        std::string text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1234.99, "1234"},
        {-150000.5, "-150001"},
        {9.3e18, "9300000000000000000"},
        {-1e19, "-10000000000000000000"},
        {1e300, "1" + std::string(300, '0')},
    };
    for (const auto& c : cases) {
        const std::string text = MoneyText(c.money);
        // 1e300 is not exactly a power of ten in binary: compare its leading digits.
        EXPECT_EQ(text.size(), c.text.size()) << c.money;
        EXPECT_EQ(text.substr(0, 15), c.text.substr(0, 15)) << c.money;
    }
}

// The map in the bottom-right corner: a mark per active asteroid (green above the
// camera, red below), the camera, the station and a flaming asteroid due now.
TEST_F(FrameLoopTest, HudMapMarksWhatIsAround) {
    Level.Asteroids[1].Active = false;
    Level.FlamingAsteroid->Active_ = true;
    Level.FlamingAsteroid->BlowUp_ = false;
    Level.FlamingAsteroid->NextLevel_ = 7;
    Level.FlamingAsteroid->Position_ = Vector{750, 0, -1500};
    RunGameFrame();

    struct Mark {
        float x, y, x2, y2;
        int r, g, b;
    };
    std::vector<Mark> marks;
    for (const auto& call : Calls(engine::Draw2DCall::Kind::Rectangle))
        if (call.filled)
            marks.push_back({call.a.x, call.a.y, call.b.x, call.b.y, int(call.colour.r), int(call.colour.g),
                             int(call.colour.b)});
    auto expected = [](const Vector& p, float k, int r, int g, int b) {
        return Mark{
            p.x / 75 + 1280 - 128, p.z / 75 + 1024 - 128, p.x / 75 + 1280 - k, p.z / 75 + 1024 - k, r, g, b};
    };
    auto has = [&](const Mark& m) {
        for (const Mark& x : marks)
            if (std::abs(x.x - m.x) < 0.01f && std::abs(x.y - m.y) < 0.01f && std::abs(x.x2 - m.x2) < 0.01f &&
                std::abs(x.y2 - m.y2) < 0.01f && x.r == m.r && x.g == m.g && x.b == m.b)
                return true;
        return false;
    };
    const Vector cam = Ship.CamBasis.CamPos;
    int asteroidMarks = 0;
    for (int i = 1; i <= Level.AsteroidCount; ++i) {
        const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        const bool above = a.Pos.y > cam.y;
        const bool shown = has(expected(a.Pos, 132, above ? 0 : 255, above ? 255 : 0, 0));
        EXPECT_EQ(shown, a.Active) << "asteroid " << i;
        asteroidMarks += shown;
    }
    EXPECT_GT(asteroidMarks, 0);
    EXPECT_TRUE(has(expected(cam, 134, 100, 0, 255)));
    ASSERT_TRUE(MeshObj->SelectMeshById(Level.StationId));
    EXPECT_TRUE(has(expected(MeshObj->GetPosition(), 136, 100, 0, 255)));
    EXPECT_TRUE(has(expected(Level.FlamingAsteroid->Position_, 133, 254, 248, 0)));

    Level.FlamingAsteroid->NextLevel_ = 9;  // due on another level: no mark
    RunGameFrame();
    marks.clear();
    for (const auto& call : Calls(engine::Draw2DCall::Kind::Rectangle))
        if (call.filled)
            marks.push_back({call.a.x, call.a.y, call.b.x, call.b.y, int(call.colour.r), int(call.colour.g),
                             int(call.colour.b)});
    EXPECT_FALSE(has(expected(Level.FlamingAsteroid->Position_, 133, 254, 248, 0)));
}

// The next-weapon hint sets its own yellow; the game-pad message and the rear view's
// outline drawn after it keep the colour they have without the hint.
TEST_F(FrameLoopTest, NextWeaponHintLeavesTheOtherHudColoursAlone) {
    const auto colours = [this](bool hint) {
        Screens.RewardSoundPlayed = hint;
        Screens.RewardTime = Campaign.FrameStartTime;
        Flight.PadToggleTimer = 0;
        Flight.MiniViewShown = true;
        RunGameFrame();
        std::vector<std::string> seen;
        for (const auto& call : h.LastQueue()) {
            const bool outline = call.kind == engine::Draw2DCall::Kind::Rectangle && !call.filled;
            const bool text = call.kind == engine::Draw2DCall::Kind::Text;
            if (!outline && !text) continue;
            const std::string what = outline ? "outline" : call.text;
            seen.push_back(what + " " + std::to_string(int(call.colour.r)) + "," +
                           std::to_string(int(call.colour.g)) + "," + std::to_string(int(call.colour.b)));
        }
        return seen;
    };
    const std::vector<std::string> plain = colours(false), hinted = colours(true);
    ASSERT_FALSE(plain.empty());
    // The hint is what the plain frame does not draw: a dark rim, then the yellow text.
    std::vector<std::string> others, hint;
    for (const std::string& s : hinted)
        (std::find(plain.begin(), plain.end(), s) != plain.end() ? others : hint).push_back(s);
    ASSERT_EQ(hint.size(), 5u);
    EXPECT_TRUE(hint.back().ends_with(" 255,224,64")) << hint.back();
    EXPECT_EQ(others, plain);
}

// While a screen, a sequence or the ship's loss holds the game, nothing of the play
// runs (no reload, no HUD target choice), but the frame is still shown.
TEST_F(FrameLoopTest, PlayIsHeldWhileAScreenOrASequenceRuns) {
    const struct {
        const char* what;
        bool* flag;
    } cases[] = {
        {"shop", &Screens.ShopRequested},
        {"menu", &Screens.MenuRequested},
        {"out of bounds", &Hazards.OutOfBounds},
        {"cut-scene", &Level.CutsceneRunning},
        {"giant asteroid", &GiantAsteroid.GiantAsteroidFlying},
    };
    for (const auto& c : cases) {
        *c.flag = true;
        Arsenal.PlasmaShots[0].Reload = 0;
        Hud.HudPointers[1].PointerOn = false;
        const int shown = h.FramesShown();
        Frames(3);
        EXPECT_EQ(Arsenal.PlasmaShots[0].Reload, 0) << c.what;
        EXPECT_FALSE(Hud.HudPointers[1].PointerOn) << c.what;
        EXPECT_EQ(h.FramesShown(), shown + 3) << c.what;
        *c.flag = false;
        Frames(1);
        EXPECT_GT(Arsenal.PlasmaShots[0].Reload, 0) << c.what;
        EXPECT_TRUE(Hud.HudPointers[1].PointerOn) << c.what;
    }
}

// A level that ends, or a ship that is lost, in the first half of a frame's play puts
// the ship's model at the camera: the rest of that frame neither flies into it (the
// bounce would carry into the next level) nor leaves the boss's hit box in the picture.
class PlayStopsTest : public FrameLoopTest {
  protected:
    void RunFrameThatSets(const bool& flag) {
        Effects.ShipDebris[2].Marked = true;  // the box shows for the play and goes for the render
        RunGameFrame();
        EXPECT_TRUE(flag);
        EXPECT_EQ(Ship.ShipSpeed, 0);
        EXPECT_FALSE(Flight.CollisionFlash);
        const auto* box = h.Scene().meshes.Find(Effects.ShipDebris[2].MeshId);
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->visible);
    }
};

TEST_F(PlayStopsTest, WhenTheLastAsteroidIsGone) {
    for (int i = 1; i <= Level.AsteroidCount; ++i)
        Level.Asteroids[std::size_t(i)].Active = Level.Asteroids[std::size_t(i)].Parked = false;
    Level.AsteroidsLeft = 0;
    RunFrameThatSets(LevelEnd.LevelEnding);
}

TEST_F(PlayStopsTest, WhenTheSeventhStationHitLosesTheShip) {
    Level.StationDamageLevel = 6;
    const auto flying = std::find_if(Level.Asteroids.begin() + 1, Level.Asteroids.end(),
                                     [](const AsteroidRec& a) { return a.Active; });
    ASSERT_NE(flying, Level.Asteroids.end());
    MeshObj->SelectMeshById(flying->MeshId);
    MeshObj->SetPosition(Level.StationPos);
    RunFrameThatSets(Level.ShipDestroyed);
}

// A frame the engine cannot time moves by the last factor it could.
TEST_F(FrameLoopTest, AFrameFactorOfZeroKeepsThePreviousOne) {
    Frames(1);
    ASSERT_NEAR(Campaign.FrameFactor, 1.0f, 1e-3);
    Campaign.FrameFactor = 1.7f;
    FrameObj->BeginFrame();  // a frame begun at the same instant as the loop's next
    Arsenal.PlasmaShots[0].Reload = 0;
    RunGameFrame();
    EXPECT_FLOAT_EQ(Campaign.FrameFactor, 1.7f);
    EXPECT_FLOAT_EQ(Flight.ForwardLimit, 1.7f * 20);
    EXPECT_FLOAT_EQ(Flight.ReverseLimit, -1.7f * 20);
    EXPECT_FLOAT_EQ(Arsenal.PlasmaShots[0].Reload, 1.7f * 15);
}

TEST_F(FrameLoopTest, KeysOfTheFrame) {
    // P held for three frames: three pictures with consecutive numbers.
    h.KeyPress(h.Frame() + 1, key::P, 3);
    Frames(4);
    for (int n = 0; n < 3; ++n)
        EXPECT_FALSE(content.folder.Read("screenshot/Snap" + std::to_string(n) + ".jpg").empty()) << n;
    EXPECT_TRUE(content.folder.Read("screenshot/Snap3.jpg").empty());

    // Escape opens the menu once; a second press soon after does nothing until the
    // timer has passed 5 again (1.5 a frame).
    Frames(4);
    h.KeyPress(h.Frame() + 1, key::Escape);
    Frames(1);
    EXPECT_TRUE(Screens.MenuRequested);
    EXPECT_EQ(Screens.EscTimer, 1.5f);
    Screens.MenuRequested = false;
    h.KeyPress(h.Frame() + 2, key::Escape);
    Frames(3);
    EXPECT_FALSE(Screens.MenuRequested);
    h.KeyPress(h.Frame() + 1, key::Escape);
    Frames(1);
    EXPECT_TRUE(Screens.MenuRequested);
    Screens.MenuRequested = false;

    // Enter skips only the training level.
    h.KeyPress(h.Frame() + 2, key::Return);
    Frames(3);
    EXPECT_FALSE(LevelEnd.LevelEnding);
    EXPECT_GT(Level.AsteroidsLeft, 0);

    // F5 quick-saves once per press, not again while it is held.
    auto quickSavedMoney = [] { return ReadSaveSlot(0).values.money; };
    Campaign.Money = 1000;
    h.KeyDown(h.Frame() + 1, key::F5);
    Frames(1);
    EXPECT_EQ(quickSavedMoney(), 1000);
    EXPECT_FALSE(Screens.QuickSaveLatch);
    Campaign.Money = 2000;
    Frames(2);
    EXPECT_EQ(quickSavedMoney(), 1000);
    h.KeyUp(h.Frame() + 1, key::F5);
    Frames(1);
    h.KeyPress(h.Frame() + 1, key::F5);
    Frames(1);
    EXPECT_EQ(quickSavedMoney(), 2000);

    // B opens the shop.
    h.KeyPress(h.Frame() + 1, key::B);
    Frames(1);
    EXPECT_TRUE(Screens.ShopRequested);
}

// On a desktop a key stays down for several frames: the Escape that closes the shop,
// held on, must not open the pause menu as well; the next press does.
TEST_F(FrameLoopTest, TheEscapeThatClosesTheShopOpensNoMenu) {
    h.KeyPress(h.Frame() + 1, key::B);
    Frames(2);
    ASSERT_TRUE(Screens.ShopRequested);
    h.KeyDown(h.Frame() + 1, key::Escape);
    Frames(30);
    EXPECT_FALSE(Screens.ShopRequested);
    EXPECT_FALSE(Screens.MenuRequested);
    h.KeyUp(h.Frame() + 1, key::Escape);
    Frames(2);
    EXPECT_FALSE(Screens.MenuRequested);
    h.KeyPress(h.Frame() + 1, key::Escape);
    Frames(1);
    EXPECT_TRUE(Screens.MenuRequested);
}

}  // namespace
}  // namespace quorvel
