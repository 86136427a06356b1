#include "support/engine_start.h"

#include "platform/engine/engine.h"

namespace quorvel::test {

int StartEngineInMode(int width, int height) {
    EngineDisplayModes modes;
    modes.Enumerate();
    for (int i = 0; i < modes.GetModeCount(0); ++i) {
        int w = 0, h = 0, d = 0;
        modes.GetMode(0, i, w, h, d);
        if (w == width && h == height && d == 32) {
            EngineCore core;
            core.SelectDisplayMode(0, i);
            return core.StartEngine(0);
        }
    }
    return -100;
}

}  // namespace quorvel::test
