#pragma once
// The progress screen shown while a level loads: a centred 512 x 512 picture, a
// bar along the bottom and a caption naming the step. Each draw is one whole frame,
// because no frame loop runs while a level loads.

#include <string>

#include "platform/engine/engine.h"

namespace quorvel {

struct LoadingState {
    int LoadMax = 0;
    int LoadCurrent = 0;
    std::string LoadCaption;
    int LoadScreenW = 0;
    int LoadScreenH = 0;
    bool LoadActive = false;  // the other operations do nothing until set up
};

extern LoadingState Loading;

// Sets up the record (10 steps, none done) and the picture "splash"; can be repeated.
void InitLoadingScreen(const std::string& picturePath, EngineCore& core, EngineTextures& textures,
                       EngineDraw2D& draw);
void SetLoadingMax(int n);
void SetLoadingCaption(const std::string& text);
// Steps done go up by n, never past the maximum.
void AdvanceLoading(int n);
// Draws and shows one frame: the picture, the bar (empty while the maximum is not
// above 0) and the caption.
void DrawLoadingScreen(EngineCore& core, EngineFrame& frame, EngineDraw2D& draw);

}  // namespace quorvel
