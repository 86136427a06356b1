#include "common/loading_screen.h"

#include <algorithm>

namespace quorvel {

LoadingState Loading;

void InitLoadingScreen(const std::string& picturePath, EngineCore& core, EngineTextures&,
                       EngineDraw2D& draw) {
    int depth = 0;
    core.GetScreenSize(Loading.LoadScreenW, Loading.LoadScreenH, depth);
    Loading.LoadMax = 10;
    Loading.LoadCurrent = 0;
    draw.LoadImage(picturePath, "splash", 0);
    draw.SetImagePosition(Vector2{Loading.LoadScreenW / 2.0f - 256, Loading.LoadScreenH / 2.0f - 256});
    draw.SetImageFlag(false);
    draw.SetImageMode(1);
    draw.SetImageStyle(2);
    Loading.LoadActive = true;
}

void SetLoadingMax(int n) {
    if (Loading.LoadActive) Loading.LoadMax = n;
}

void SetLoadingCaption(const std::string& text) {
    if (Loading.LoadActive) Loading.LoadCaption = text;
}

void AdvanceLoading(int n) {
    if (!Loading.LoadActive) return;
    Loading.LoadCurrent = std::min(Loading.LoadCurrent + n, Loading.LoadMax);
}

void DrawLoadingScreen(EngineCore&, EngineFrame& frame, EngineDraw2D& draw) {
    if (!Loading.LoadActive) return;
    const float w = float(Loading.LoadScreenW);
    const float h = float(Loading.LoadScreenH);
    frame.BeginFrame();
    // No steps to count (a maximum of 0 or less) shows an empty bar.
    const float done = Loading.LoadMax > 0
                           ? std::clamp(float(Loading.LoadCurrent) / float(Loading.LoadMax), 0.0f, 1.0f)
                           : 0.0f;
    draw.SetDrawColour(Colour{100, 160, 200, 255});
    draw.DrawRectangle(Vector2{20, h - 40}, Vector2{w - 20, h - 20}, false);
    draw.DrawRectangle(Vector2{20, h - 40}, Vector2{(w - 40) * done + 20, h - 20}, true);
    draw.SetDrawColour(Colour{200, 200, 200, 255});
    draw.DrawText(Vector2{w / 2 - 20, h - 55}, Loading.LoadCaption);
    frame.RenderScene();
    frame.EndFrame();
}

}  // namespace quorvel
