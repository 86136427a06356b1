#include "support/scenarios.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "audio/dxaudio.h"
#include "common/engine_objects.h"
#include "common/texts.h"
#include "game/save_file.h"
#include "game/state.h"
#include "platform/engine/engine_state.h"
#include "platform/forms/forms.h"
#include "shell/difficulty.h"
#include "shell/launch_pad.h"
#include "shell/load_game.h"
#include "common/options.h"
#include "shell/tip.h"

namespace quorvel::test {

bool InMainMenu() {
    // The menu's picture is loaded after the logos, just before the loop starts, and
    // goes when the scene is torn down.
    // The pause menu's picture has the same name; the menu's logo texture tells them apart.
    const auto& scene = engine::GetScene();
    return scene.images.Find("menu") != nullptr && scene.textures.Find("narvo") != nullptr;
}

bool GameRunStarted() {
    return Campaign.GameRunning && Campaign.CurrentLevel == Campaign.StartingLevel;
}

bool InFrameLoop(const Harness& h) {
    if (!Campaign.GameRunning) return false;
    for (const auto& call : h.LastQueue())
        if (call.kind == engine::Draw2DCall::Kind::Rectangle && call.filled && call.colour.r == 100 &&
            call.colour.g == 0 && call.colour.b == 255)
            return true;
    return false;
}

ContentFolder::ContentFolder() {
    for (const char* sub : {"mesh", "tex", "par", "sound", "music", "txt", "video"}) {
        const std::filesystem::path target = std::filesystem::path(QUORVEL_GAME_DIR) / sub;
        if (std::filesystem::exists(target))
            std::filesystem::create_directory_symlink(target, folder.path() / sub);
    }
    const std::filesystem::path tips = std::filesystem::path(QUORVEL_GAME_DIR) / "TIPOFDAY.TXT";
    if (std::filesystem::exists(tips)) std::filesystem::copy_file(tips, folder.path() / "TIPOFDAY.TXT");
    UseAsProgramFolder(folder);
}

std::optional<int> RunFromLaunchPad(Harness& h, forms::NullHost& host) {
    const auto& scene = h.Scene();
    const std::string mode =
        std::to_string(scene.screenWidth) + "x" + std::to_string(scene.screenHeight) + "x32";
    host.When([] { return InitialLevel.Visible(); }, [&host] { host.Click(InitialLevel.Command1); });

    if (!VeltorInitial.Show()) {
        ADD_FAILURE() << "the launch pad did not show";
        return std::nullopt;
    }
    if (frmTip.Visible()) host.Click(frmTip.cmdOK);
    int index = -1;
    for (int i = 0; i < VeltorInitial.comModes.ListCount(); ++i)
        if (VeltorInitial.comModes.List(i) == mode) index = i;
    if (index < 0 || !host.Choose(VeltorInitial.comModes, index)) {
        ADD_FAILURE() << "the launch pad does not list the mode " << mode;
        return std::nullopt;
    }
    return h.RunUntilEnded([&] { host.Click(VeltorInitial.cmdControl(0)); });
}

void PrepareGameStart() {
    LoadGameTexts();
    Options.Load();
    CreateEngineObjects();
    DXAudioObj = std::make_unique<DXAudio>();
    DXAudioObj->InitDXAudio();
    forms::ShowCursor(false);
}

std::optional<int> RunFromLevelStart(Harness& h, const PlayLevelArgs& start) {
    if (!WriteSaveSlot(0, start)) {
        ADD_FAILURE() << "the quick-save slot could not be written";
        return std::nullopt;
    }
    PrepareGameStart();
    return h.RunUntilEnded([] {
        // The load-game screen is entered inside a begun menu frame.
        FrameObj->BeginFrame();
        int slot = 0;
        MainMenuLoadGame(slot);
    });
}

}  // namespace quorvel::test
