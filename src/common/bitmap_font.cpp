#include "common/bitmap_font.h"

#include <algorithm>

#include "common/common.h"
#include "platform/system/convert.h"

namespace quorvel {

int FontTexture = -1;

namespace {

constexpr float FadeRate = 800.0f;
constexpr double FarBelow = 10000;  // the counter is also the text's height on the screen
constexpr double Top = 40;
constexpr int TextMode = 3;
constexpr float TextSize = 70.0f;

// Layout is written for 1280 x 1024; every position of this module scales alike.
Vector2 Scaled(double x, double y) {
    int width = 0, height = 0, depth = 0;
    EngineCore().GetScreenSize(width, height, depth);
    return {float(x * width / 1280.0), float(y * height / 1024.0)};
}

// Frame time at the given rate; a frame the engine could not time (the first ones,
// or two at the same instant) counts as one frame at 60 per second, so every loop
// below moves on.
float FrameStep(float rate) {
    const float step = TimerObj->GetFrameFactor(rate);
    return step > 0 ? step : rate;
}

void SetFade(double counter) {
    const auto a = float(sys::RoundHalfEven(255.0 - counter / FarBelow * 255.0));
    Draw2DObj->SetFontColour(Colour{a, a, a, a}, 255);
}

void DrawFrame(const std::string& text, double counter) {
    FrameObj->BeginFrame();
    Draw2DObj->SelectImageById(FontTexture);
    Draw2DObj->DrawFontText(text, Scaled(Top, counter), TextMode, TextSize);
    FrameObj->RenderScene();
    FrameObj->EndFrame();
}

}  // namespace

void LoadFont(const std::string& path) {
    FontTexture = Draw2DObj->LoadImage(path, "font_a", 1);
    Draw2DObj->SetImageMode(1);
    Draw2DObj->SetFontCell(Vector2{32, 32}, 0);
    Draw2DObj->SetImageStyle(2);
}

void DrawFontText(const std::string& text, const Vector2& position, bool fadeIn) {
    Draw2DObj->SelectImageById(FontTexture);
    Draw2DObj->SetFontCell(Vector2{32, 32}, 0);
    Draw2DObj->SetImagePosition(position);

    if (fadeIn) {
        double c = FarBelow;
        while (c > Top) {
            // At least one unit a frame, however short the frame.
            c = std::max(Top, std::min(c - 1, sys::RoundHalfEven(c - FrameStep(FadeRate))));
            SetFade(c);
            DrawFrame(text, c);
        }
        return;
    }

    double c = Top;
    while (c < FarBelow) {
        DrawFrame(text, c);
        SetFade(c);
        c = std::min(FarBelow, std::max(c + 1, sys::RoundHalfEven(c + FrameStep(FadeRate))));
    }
    Draw2DObj->SetImageVisible(false);
}

void ShowFontMessage(const std::string& text) {
    float remaining = 45.0f;
    while (remaining > 0) {
        remaining -= FrameStep(1.0f);
        Draw2DObj->SelectImageById(FontTexture);
        Draw2DObj->DrawFontText(text, Scaled(Top, Top), TextMode, TextSize);
        FrameObj->BeginFrame();
        FrameObj->RenderScene();
        FrameObj->EndFrame();
    }
}

}  // namespace quorvel
