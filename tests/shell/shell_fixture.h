#pragma once
// What every test of the start-up forms needs: a program folder and settings store
// of its own, the null forms host, the virtual clock, message boxes caught, a display
// with the adapters the test chooses, and no network.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/backends.h"
#include "platform/forms/null_host.h"
#include "platform/system/clock.h"
#include "platform/system/msgbox.h"
#include "platform/system/process.h"
#include "shell/maker.h"
#include "support/temp_folder.h"

namespace quorvel::test {

class TestDisplay : public engine::Display {
  public:
    std::vector<engine::DisplayAdapter> adapters;
    std::string failing;  // "WxHxD" of a mode that will not start
    std::uintptr_t window = 0;
    int starts = 0;

    std::vector<engine::DisplayAdapter> Adapters() override { return adapters; }
    void AttachWindow(std::uintptr_t w) override { window = w; }
    int Start(int, const engine::DisplayMode& m) override {
        if (std::to_string(m.width) + "x" + std::to_string(m.height) + "x" + std::to_string(m.depth) ==
            failing)
            return -3;
        ++starts;
        return 0;
    }
    void Stop() override {}
};

// 640x480x16, 1024x768x16, 1024x768x32, 1280x1024x32, 1600x1200x32: the last
// 1024-wide mode is entry 2, the last entry is 4.
inline engine::DisplayAdapter FiveModes(std::string name) {
    return {std::move(name),
            {{640, 480, 16}, {1024, 768, 16}, {1024, 768, 32}, {1280, 1024, 32}, {1600, 1200, 32}}};
}

// Also notes which windows appear and go, in order ("+name", "-name").
class RecordingHost : public forms::NullHost {
  public:
    std::vector<std::string> windows;
    void FormShown(forms::Form& form) override { windows.push_back("+" + form.Name()); }
    void FormHidden(forms::Form& form) override { windows.push_back("-" + form.Name()); }
};

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UseAsProgramFolder(dir);
        setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
        sys::UseVirtualClock(12 * 3600.0);
        sys::SetEndThrows(true);
        sys::SetMessageBoxHook(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
        MakerSite = "http://127.0.0.1:9";  // nothing listens there: the check fails at once
        display->adapters = {FiveModes("First card")};
        engine::InstallBackEnds(nullptr, display, nullptr);
    }
    std::string Store() const { return config.Read("quorvel/settings.ini"); }

    TempFolder dir;
    TempFolder config;
    RecordingHost host;
    std::shared_ptr<TestDisplay> display = std::make_shared<TestDisplay>();
    std::vector<std::string> boxes;
};

}  // namespace quorvel::test
