#include "common/screenshot.h"

#include <string>

#include "platform/system/paths.h"

namespace quorvel {

void SaveNumberedScreenshot(EngineFrame& frame, int& counter) {
    const std::string folder = sys::ProgramFolder() + "\\screenshot";
    if (!sys::MakeFolder(folder)) return;
    for (int n = counter < 0 ? 0 : counter; n <= LastScreenshotNumber; ++n) {
        const std::string path = folder + "\\Snap" + std::to_string(n) + ".jpg";
        if (sys::FileExists(path)) continue;
        frame.SaveScreenshot(path, 1);
        counter = n + 1;
        return;
    }
    counter = LastScreenshotNumber + 1;
}

}  // namespace quorvel
