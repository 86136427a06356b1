// HUD overlays drawn every frame: the power-up timer bars, the pointers towards the
// station, asteroids, aliens and big targets, and the big enemy's energy bar.

#include <algorithm>
#include <cmath>
#include <string>

#include "assets/assets.h"
#include "common/world.h"
#include "common/engine_objects.h"
#include "common/texts.h"

namespace quorvel {

namespace {

struct TimerBar {
    const char* label;
    Colour colour;
    float x0, x1, bottom, rate;
    bool labelYScaled;
};
constexpr TimerBar kTimerBars[5] = {
    {},
    {"infinity", {152, 68, 121, 255}, 300, 400, 10, 3.333f, true},
    {"xtremespd", {255, 255, 0, 255}, 450, 550, 10, 2.222f, true},
    {"invincible", {21, 255, 0, 255}, 600, 700, 10, 2.222f, true},
    // The rapid-fire label sits 35 screen pixels up whatever the display size.
    {"rapidfire", {0, 123, 255, 255}, 850, 950, 7, 1.666f, false},
};

// Behind-test value of the marker being worked on (distance to the reference point
// less distance to the camera).
float behindTest = 0;

}  // namespace

void DrawPowerUpTimers() {
    const float h = float(Display.ScreenHeight);
    for (int k = 1; k <= 4; ++k) {
        if (!PowerUps.PowerUpOn[std::size_t(k)]) continue;
        const TimerBar& bar = kTimerBars[k];
        Draw2DObj->SetDrawColour(MathObj->MakeColour(bar.colour.r, bar.colour.g, bar.colour.b, 255));
        const float labelY = bar.labelYScaled ? h - 35 * Display.ScaleY : h - 35;
        Draw2DObj->DrawText({bar.x0 * Display.ScaleX, labelY}, GameText(bar.label));
        // On the game's clock, which never runs back; a start ahead of the frame
        // counts as a fresh pick-up rather than a bar longer than its frame.
        const float elapsed =
            float(std::max(0.0, Campaign.FrameStartTime - PowerUps.PowerUpStart[std::size_t(k)]));
        const Vector2 topLeft{bar.x0 * Display.ScaleX, h - 20 * Display.ScaleY};
        Draw2DObj->DrawRectangle(topLeft, {bar.x1 * Display.ScaleX, h - bar.bottom * Display.ScaleY}, false);
        Draw2DObj->DrawRectangle(
            topLeft, {(bar.x1 - elapsed * bar.rate) * Display.ScaleX, h - bar.bottom * Display.ScaleY}, true);
    }
}

int PointerInset(int slot) {
    if (slot == 0) return 236;
    if (slot <= 5) return 300;
    if (slot <= 15) return 252;
    if (slot == 16) return 300;
    if (slot == 17) return 268;
    return 284;
}

void MirrorPointBehindCamera() {
    const float w = float(Display.ScreenWidth), h = float(Display.ScreenHeight);
    Hud.PointerScreen.x =
        Hud.PointerScreen.x < w / 2 ? std::fabs(Hud.PointerScreen.x) + w : -std::fabs(Hud.PointerScreen.x);
    Hud.PointerScreen.y =
        Hud.PointerScreen.y < h / 2 ? std::fabs(Hud.PointerScreen.y) + h : -std::fabs(Hud.PointerScreen.y);
}

void DrawHudPointers(const AxisSet& axes) {
    // The reference point lies 10 units ahead along the view, so a target nearer the
    // camera than the point is behind the camera.
    MeshObj->SelectMeshById(Level.VirtualMeshId);
    MeshObj->SetOrientation(axes);
    MeshObj->SetPosition(Ship.CamBasis.CamPos);
    MeshObj->MoveForward(10, true, true);
    Hud.ReferencePoint = MeshObj->GetPosition();

    MeshObj->SelectMeshById(Level.StationId);
    Hud.HudPointers[0].PointerTarget = MeshObj->GetPosition();

    const float w = float(Display.ScreenWidth), h = float(Display.ScreenHeight);
    for (int i = 0; i <= 19; ++i) {
        PointerSlot& slot = Hud.HudPointers[std::size_t(i)];
        if (i < 6 && Level.AsteroidsLeft < 1) slot.PointerOn = false;
        if (!slot.PointerOn) {
            Draw2DObj->SelectImageById(slot.PointerIcon);
            Draw2DObj->SetImageVisible(false);
            continue;
        }
        // Each axis is inset by its own scale, so on a screen of another shape than
        // 1280 x 1024 the rectangle still lies inside the screen and never inverts.
        const float s = float(PointerInset(i));
        const float left = s * Display.ScaleX, top = s * Display.ScaleY;
        const float right = std::max(left, w - (s + 64) * Display.ScaleX);
        const float bottom = std::max(top, h - (s + 64) * Display.ScaleY);

        const float d1 = MathObj->Distance(Hud.ReferencePoint, slot.PointerTarget);
        const float d2 = MathObj->Distance(Ship.CamBasis.CamPos, slot.PointerTarget);
        Hud.PointerScreen = CameraObj->ProjectToScreen(slot.PointerTarget);
        Draw2DObj->SelectImageById(slot.PointerIcon);
        Draw2DObj->SetImageVisible(true);

        Hud.PointerScreen.x = std::min(Hud.PointerScreen.x, 2 * w);
        Hud.PointerScreen.y = std::min(Hud.PointerScreen.y, 2 * h);
        Hud.PointerScreen.x = std::max(Hud.PointerScreen.x, -1000.0f);
        Hud.PointerScreen.y = std::max(Hud.PointerScreen.y, -1000.0f);

        behindTest = d1 - d2;
        if (behindTest >= 0) MirrorPointBehindCamera();

        float& x = Hud.PointerScreen.x;
        float& y = Hud.PointerScreen.y;
        if (x >= right) x = right;
        if (y >= bottom) y = bottom;
        if (x <= left) x = left;
        if (y <= top) y = top;

        Draw2DObj->SetImagePosition(Hud.PointerScreen);
        Draw2DObj->SetImageAngle(0);
        if (x == left || x == right || y == top || y == bottom) {
            // Later edges win at a corner.
            if (y == top) Hud.PointerAngle = 90 - x / (6.8f * Display.ScaleX);
            if (x == left) Hud.PointerAngle = y / (4 * Display.ScaleY) - 30;
            if (y == bottom) Hud.PointerAngle = 90 + x / (6.8f * Display.ScaleX);
            if (x == right) Hud.PointerAngle = 390 - y / (4 * Display.ScaleY);
            Draw2DObj->RotateImage(Hud.PointerAngle);
        }
    }
}

void ReleaseBattleshipPointer() {
    if (!Battleship.BattleshipActive) Hud.HudPointers[19].PointerOn = false;
}

void DrawProgressBar() {
    // Worked out here alone: the enemy's own energy is never written. An energy of
    // exactly 0 draws as -1 (a sliver left of the frame); no starting energy, no bar.
    auto share = [](double energy, double maximum) {
        if (maximum == 0) return 0.0;
        return (energy == 0 ? -1.0 : energy) / maximum;
    };
    double ratio = 0;
    if (Hud.HudPointers[18].PointerOn)
        ratio = share(Mothership.MothershipEnergy, Mothership.MothershipEnergyMax);
    if (Hud.HudPointers[19].PointerOn) ratio = share(Battleship.BattleshipHP, Battleship.BattleshipHPMax);
    if (GiantAsteroid.GiantAsteroidActive)
        ratio = share(GiantAsteroid.GiantAsteroidHP, GiantAsteroid.GiantAsteroidHPMax);
    Draw2DObj->SetDrawColour(MathObj->MakeColour(255, 0, 0, 255));
    Draw2DObj->SetDrawMode(1);
    Draw2DObj->DrawRectangle({512 * Display.ScaleX, 51 * Display.ScaleY},
                             {float(512 + 150 * ratio) * Display.ScaleX, 59 * Display.ScaleY}, true);
    Draw2DObj->DrawRectangle({512 * Display.ScaleX, 50 * Display.ScaleY},
                             {662 * Display.ScaleX, 60 * Display.ScaleY}, false);
}

void UpdateProgressBar() {
    if (Hud.HudPointers[18].PointerOn) DrawProgressBar();
    if (Hud.HudPointers[19].PointerOn) DrawProgressBar();
    if (GiantAsteroid.GiantAsteroidActive) DrawProgressBar();
}

}  // namespace quorvel
