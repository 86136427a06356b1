// The HUD overlays: power-up timer bars, pointers towards targets in front, behind
// and off the screen, and the big enemy's energy bar.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects_fixture.h"
#include "platform/engine/engine_state.h"
#include "common/texts.h"

namespace quorvel {
namespace {

using engine::Draw2DCall;

void SetText(const std::string& name, const std::string& text) {
    GameTexts.at(std::size_t(GameTextIndex(name))) = text;
}

void Screen(int width, int height) {
    Display.ScreenWidth = width;
    Display.ScreenHeight = height;
    Display.ScaleX = float(width) / 1280;
    Display.ScaleY = float(height) / 1024;
    engine::State().scene.screenWidth = width;
    engine::State().scene.screenHeight = height;
}

void ExpectRect(const Draw2DCall& call, float x1, float y1, float x2, float y2, bool filled) {
    EXPECT_EQ(call.kind, Draw2DCall::Kind::Rectangle);
    EXPECT_NEAR(call.a.x, x1, 1e-3);
    EXPECT_NEAR(call.a.y, y1, 1e-3);
    EXPECT_NEAR(call.b.x, x2, 1e-3);
    EXPECT_NEAR(call.b.y, y2, 1e-3);
    EXPECT_EQ(call.filled, filled);
}

// ---- Power-up timers ------------------------------------------------------------------

class PowerUpTimers : public test::EffectsTest {
  protected:
    void SetUp() override {
        EffectsTest::SetUp();
        for (const char* name : {"infinity", "xtremespd", "invincible", "rapidfire"})
            SetText(name, name);
        Campaign.FrameStartTime = 5000;
        PowerUps.PowerUpOn.fill(false);
    }
};

TEST_F(PowerUpTimers, NothingRunningDrawsNothing) {
    EXPECT_TRUE(Drawn([] { DrawPowerUpTimers(); }).empty());
}

TEST_F(PowerUpTimers, FourBarsSideBySideEachInItsColour) {
    struct Case {
        int kind;
        const char* label;
        Colour colour;
        float x0, x1, bottom, rate, duration, labelY;
    };
    const Case cases[] = {
        {1, "infinity", {152, 68, 121, 255}, 300, 400, 10, 3.333f, 30, 989},
        {2, "xtremespd", {255, 255, 0, 255}, 450, 550, 10, 2.222f, 45, 989},
        {3, "invincible", {21, 255, 0, 255}, 600, 700, 10, 2.222f, 45, 989},
        {4, "rapidfire", {0, 123, 255, 255}, 850, 950, 7, 1.666f, 60, 989},
    };
    // Just picked up, at half time and at the duration.
    for (const float share : {0.0f, 0.5f, 1.0f}) {
        SCOPED_TRACE(share);
        for (const Case& c : cases) {
            PowerUps.PowerUpOn[std::size_t(c.kind)] = true;
            PowerUps.PowerUpStart[std::size_t(c.kind)] = Campaign.FrameStartTime - double(share * c.duration);
        }
        const std::vector<Draw2DCall> calls = Drawn([] { DrawPowerUpTimers(); });
        ASSERT_EQ(calls.size(), 12u);
        for (std::size_t k = 0; k < 4; ++k) {
            const Case& c = cases[k];
            const Draw2DCall& label = calls[3 * k];
            EXPECT_EQ(label.kind, Draw2DCall::Kind::Text);
            EXPECT_EQ(label.text, c.label);
            EXPECT_FLOAT_EQ(label.a.x, c.x0);
            EXPECT_FLOAT_EQ(label.a.y, c.labelY);
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(calls[3 * k + i].colour.r, c.colour.r);
                EXPECT_EQ(calls[3 * k + i].colour.g, c.colour.g);
                EXPECT_EQ(calls[3 * k + i].colour.b, c.colour.b);
            }
            ExpectRect(calls[3 * k + 1], c.x0, 1004, c.x1, 1024 - c.bottom, false);
            const float fillRight = c.x1 - share * c.duration * c.rate;
            ExpectRect(calls[3 * k + 2], c.x0, 1004, fillRight, 1024 - c.bottom, true);
            EXPECT_NEAR(fillRight, c.x1 - share * 100, 0.05);
        }
    }
}

TEST_F(PowerUpTimers, ScaledDisplayAndAStartAheadOfTheClock) {
    Screen(640, 512);
    PowerUps.PowerUpOn[1] = true;
    PowerUps.PowerUpStart[1] = Campaign.FrameStartTime - 15;
    PowerUps.PowerUpOn[4] = true;
    PowerUps.PowerUpStart[4] =
        Campaign.FrameStartTime + 3;  // ahead: a full bar, never one longer than its frame
    const std::vector<Draw2DCall> calls = Drawn([] { DrawPowerUpTimers(); });
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_FLOAT_EQ(calls[0].a.y, 512 - 17.5f);
    ExpectRect(calls[1], 150, 502, 200, 507, false);
    ExpectRect(calls[2], 150, 502, (400 - 15 * 3.333f) * 0.5f, 507, true);
    EXPECT_FLOAT_EQ(calls[3].a.x, 425);
    EXPECT_FLOAT_EQ(calls[3].a.y, 512 - 35);  // 35 screen pixels whatever the size
    ExpectRect(calls[4], 425, 502, 475, 508.5f, false);
    ExpectRect(calls[5], 425, 502, 475, 508.5f, true);
}

// ---- HUD pointers ---------------------------------------------------------------------------

class HudPointerTest : public test::EffectsTest {
  protected:
    void SetUp() override {
        EffectsTest::SetUp();
        CameraObj->SelectCamera("main");
        CameraObj->SetCameraPosition({0, 0, 0});
        CameraObj->CameraLookAt({0, 0, 100});
        CameraObj->SetLens(MathObj->MakeLens(1, 150000, 70, -1, 0));
        Ship.CamBasis.CamPos = {0, 0, 0};
        Node("axes");
        Ship.CamAxes = MeshObj->GetOrientation();
        Level.VirtualMeshId = Node("virtual");
        Level.StationId = Node("spacestation", true);
        MeshObj->SetPosition({0, 0, 1000});
        folder.Write("tex/p.bmp", test::SolidBmp(8, 8, 255, 255, 255));
        for (int slot = 0; slot <= 19; ++slot) {
            Hud.HudPointers[std::size_t(slot)] = {};
            Hud.HudPointers[std::size_t(slot)].PointerIcon = Draw2DObj->LoadImage(
                sys::ProgramFolder() + "\\tex\\p.bmp", "pointer" + std::to_string(slot), 1);
        }
        Level.AsteroidsLeft = 5;
    }
    void On(int slot, const Vector& target) {
        Hud.HudPointers[std::size_t(slot)].PointerOn = true;
        Hud.HudPointers[std::size_t(slot)].PointerTarget = target;
    }
    const engine::ImageItem& Icon(int slot) const {
        return Image(Hud.HudPointers[std::size_t(slot)].PointerIcon);
    }
};

TEST_F(HudPointerTest, MarkersInFrontBehindAndOffScreen) {
    const Vector2 ahead = CameraObj->ProjectToScreen({-50, 20, 1000});
    ASSERT_LT(ahead.x, 640);  // left and up of the centre
    ASSERT_LT(ahead.y, 512);
    struct Case {
        const char* what;
        int slot;
        Vector target;
        float x, y;
        float angle;
    };
    const Case cases[] = {
        {"straight ahead", 1, {0, 0, 1000}, 640, 512, 0},
        {"ahead, up and left: not mirrored", 2, {-50, 20, 1000}, ahead.x, ahead.y, 0},
        {"behind, upper left: bottom right corner", 6, {-100, 100, -1000}, 964, 708, 390 - 708 / 4.0f},
        {"behind, lower right: top left corner", 0, {100, -100, -1000}, 236, 236, 236 / 4.0f - 30},
        {"far right ahead", 17, {5000, 0, 100}, 948, 512, 390 - 512 / 4.0f},
        {"far left ahead", 18, {-5000, 0, 100}, 284, 512, 512 / 4.0f - 30},
        {"far up ahead", 19, {0, 5000, 100}, 640, 284, 90 - 640 / 6.8f},
        {"far down ahead", 16, {0, -5000, 100}, 640, 660, 90 + 640 / 6.8f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (auto& slot : Hud.HudPointers)
            slot.PointerOn = false;
        if (c.slot == 0) {
            MeshObj->SelectMeshById(Level.StationId);
            MeshObj->SetPosition(c.target);  // slot 0 follows the station mesh
        }
        On(c.slot, c.slot == 0 ? Vector{} : c.target);
        Draw2DObj->SelectImageById(Hud.HudPointers[std::size_t(c.slot)].PointerIcon);
        Draw2DObj->SetImageAngle(77);
        DrawHudPointers(Ship.CamAxes);
        EXPECT_TRUE(Icon(c.slot).visible);
        EXPECT_NEAR(Icon(c.slot).position.x, c.x, 1e-2);
        EXPECT_NEAR(Icon(c.slot).position.y, c.y, 1e-2);
        EXPECT_NEAR(Icon(c.slot).angle, c.angle, 1e-3);
        EXPECT_FALSE(Icon(c.slot == 1 ? 2 : 1).visible);
    }
    // The reference point lies ahead of the camera along its view.
    test::ExpectNear(Hud.ReferencePoint, {0, 0, 10});
}

TEST_F(HudPointerTest, CornerGetsTheLaterEdgesAngle) {
    // Exactly on the top-left corner of slot 1's rectangle: the left edge's angle.
    const Vector2 beyond = CameraObj->ProjectToScreen({-3000, 3000, 1000});
    ASSERT_LT(beyond.x, 300);
    ASSERT_LT(beyond.y, 300);
    On(1, {-3000, 3000, 1000});
    DrawHudPointers(Ship.CamAxes);
    EXPECT_FLOAT_EQ(Icon(1).position.x, 300);
    EXPECT_FLOAT_EQ(Icon(1).position.y, 300);
    EXPECT_FLOAT_EQ(Icon(1).angle, 300 / 4.0f - 30);
}

TEST_F(HudPointerTest, NoAsteroidsLeftTakesTheStationAndAsteroidMarkers) {
    Level.AsteroidsLeft = 0;
    for (int slot = 0; slot <= 7; ++slot)
        On(slot, {0, 0, 500});
    DrawHudPointers(Ship.CamAxes);
    for (int slot = 0; slot <= 5; ++slot) {
        EXPECT_FALSE(Hud.HudPointers[std::size_t(slot)].PointerOn) << slot;
        EXPECT_FALSE(Icon(slot).visible) << slot;
    }
    EXPECT_TRUE(Icon(6).visible);
    EXPECT_TRUE(Icon(7).visible);
    EXPECT_FALSE(Icon(8).visible);
}

TEST_F(HudPointerTest, MarkersStayOnScreenWhateverItsShape) {
    const Vector targets[] = {{0, 0, 1000},       {-5000, 0, 100},   {5000, 0, 100},
                              {0, 5000, 100},     {0, -5000, 100},   {-100, 100, -1000},
                              {100, -100, -1000}, {3000, 3000, -10}, {-3000, -3000, 10}};
    struct Size {
        int w, h;
    };
    for (const Size s :
         {Size{1280, 1024}, Size{640, 512}, Size{1920, 1080}, Size{5760, 1080}, Size{800, 1280}}) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h);
        Screen(s.w, s.h);
        for (const Vector& target : targets)
            for (int slot = 1; slot <= 19; ++slot) {
                for (auto& p : Hud.HudPointers)
                    p.PointerOn = false;
                On(slot, target);
                DrawHudPointers(Ship.CamAxes);
                const Vector2 p = Icon(slot).position;
                EXPECT_GE(p.x, 0);
                EXPECT_GE(p.y, 0);
                EXPECT_LE(p.x + 64 * Display.ScaleX, float(s.w));
                EXPECT_LE(p.y + 64 * Display.ScaleY, float(s.h));
            }
        // Each axis is inset by its own scale.
        On(1, {100, -100, -1000});
        DrawHudPointers(Ship.CamAxes);
        EXPECT_FLOAT_EQ(Icon(1).position.x, 300 * Display.ScaleX);
        EXPECT_FLOAT_EQ(Icon(1).position.y, 300 * Display.ScaleY);
    }
}

TEST_F(HudPointerTest, BattleshipKeepsItsPointerWhileItFlies) {
    On(19, {0, 0, 800});
    Battleship.BattleshipActive = true;
    ReleaseBattleshipPointer();
    EXPECT_TRUE(Hud.HudPointers[19].PointerOn);
    DrawHudPointers(Ship.CamAxes);
    EXPECT_TRUE(Icon(19).visible);
    Battleship.BattleshipHP = 50;
    Battleship.BattleshipHPMax = 200;
    const std::vector<Draw2DCall> bar = Drawn([] { UpdateProgressBar(); });
    ASSERT_EQ(bar.size(), 2u);
    EXPECT_FLOAT_EQ(bar[0].b.x, 512 + 37.5f);

    Battleship.BattleshipActive = false;
    ReleaseBattleshipPointer();
    EXPECT_FALSE(Hud.HudPointers[19].PointerOn);
    DrawHudPointers(Ship.CamAxes);
    EXPECT_FALSE(Icon(19).visible);
    EXPECT_TRUE(Drawn([] { UpdateProgressBar(); }).empty());
}

// ---- Progress bar ----------------------------------------------------------------------------

class ProgressBarTest : public test::EffectsTest {
  protected:
    void SetUp() override {
        EffectsTest::SetUp();
        for (auto& slot : Hud.HudPointers)
            slot.PointerOn = false;
        GiantAsteroid.GiantAsteroidActive = false;
    }
};

TEST_F(ProgressBarTest, BarByFightAndEnergy) {
    struct Case {
        const char* what;
        bool mothership, battleship, giant;
        float mothershipEnergy, mothershipMax;
        double battleshipHP, battleshipMax;
        float giantHP, giantMax;
        int bars;
        float right;  // of the filled bar, reference pixels
    };
    const Case cases[] = {
        {"no fight", false, false, false, 100, 100, 1, 1, 1, 1, 0, 0},
        {"mothership, full", true, false, false, 100, 100, 1, 1, 1, 1, 1, 662},
        {"battleship, a third", false, true, false, 1, 1, 100, 300, 1, 1, 1, 562},
        {"giant asteroid, none left: a sliver left of the frame", false, false, true, 1, 1, 1, 1, 0, 50, 1,
         509},
        {"mothership and giant asteroid: twice, the giant's share", true, false, true, 100, 100, 1, 1, 10, 20,
         2, 587},
        {"no starting energy: an empty bar", true, false, false, 30, 0, 1, 1, 1, 1, 1, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Hud.HudPointers[18].PointerOn = c.mothership;
        Hud.HudPointers[19].PointerOn = c.battleship;
        GiantAsteroid.GiantAsteroidActive = c.giant;
        Mothership.MothershipEnergy = c.mothershipEnergy;
        Mothership.MothershipEnergyMax = c.mothershipMax;
        Battleship.BattleshipHP = c.battleshipHP;
        Battleship.BattleshipHPMax = c.battleshipMax;
        GiantAsteroid.GiantAsteroidHP = c.giantHP;
        GiantAsteroid.GiantAsteroidHPMax = c.giantMax;
        const std::vector<Draw2DCall> calls = Drawn([] { UpdateProgressBar(); });
        ASSERT_EQ(calls.size(), std::size_t(2 * c.bars));
        for (int b = 0; b < c.bars; ++b) {
            const Draw2DCall& fill = calls[std::size_t(2 * b)];
            ExpectRect(fill, 512, 51, c.right, 59, true);
            ExpectRect(calls[std::size_t(2 * b + 1)], 512, 50, 662, 60, false);
            for (const Draw2DCall* call : {&fill, &calls[std::size_t(2 * b + 1)]}) {
                EXPECT_EQ(call->colour.r, 255);
                EXPECT_EQ(call->colour.g, 0);
                EXPECT_EQ(call->drawMode, 1);
            }
        }
        // The enemy's own energy is left as it was.
        EXPECT_EQ(GiantAsteroid.GiantAsteroidHP, c.giantHP);
    }
}

TEST_F(ProgressBarTest, ScaledToTheScreen) {
    Screen(640, 512);
    Hud.HudPointers[18].PointerOn = true;
    Mothership.MothershipEnergy = 0;
    Mothership.MothershipEnergyMax = 150;
    const std::vector<Draw2DCall> calls = Drawn([] { UpdateProgressBar(); });
    ASSERT_EQ(calls.size(), 2u);
    ExpectRect(calls[0], 256, 25.5f, 255.5f, 29.5f, true);
    ExpectRect(calls[1], 256, 25, 331, 30, false);
    EXPECT_EQ(Mothership.MothershipEnergy, 0);
}

}  // namespace
}  // namespace quorvel
