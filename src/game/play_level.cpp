#include "game/play_level.h"

#include "common/common.h"
#include "platform/engine/engine.h"
#include "platform/system/process.h"

namespace quorvel {
namespace {

std::function<void(const PlayLevelArgs&)> playLevelObserver;

}  // namespace

void SetPlayLevelObserver(std::function<void(const PlayLevelArgs&)> observer) {
    playLevelObserver = std::move(observer);
}

void PlayLevel(int level, bool ownsIon, bool ownsMion, bool ownsEplas, bool ownsDisperse, bool ownsGamma,
               double money, bool ownsGravBeam, int capacityLevel) {
    if (playLevelObserver)
        playLevelObserver({level, ownsIon, ownsMion, ownsEplas, ownsDisperse, ownsGamma, money, ownsGravBeam,
                           capacityLevel});

    // The game run is not here yet: show the loading text for a frame and leave.
    EngineCore core;
    int width = 0, height = 0, depth = 0;
    core.GetScreenSize(width, height, depth);
    EngineFrame frame;
    EngineDraw2D draw;
    frame.BeginFrame();
    frame.RenderScene();
    draw.SetDrawColour(Colour{200, 200, 200, 255});
    draw.DrawText(Vector2{width / 2.0f - 80, height / 4.0f}, GameTexts[27]);
    frame.EndFrame();
    sys::EndProcess(0);
}

}  // namespace quorvel
