#include "support/scenarios.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "audio/dxaudio.h"
#include "platform/engine/engine_state.h"
#include "platform/forms/forms.h"
#include "shell/difficulty.h"
#include "common/engine_objects.h"
#include "shell/launch_pad.h"
#include "common/texts.h"
#include "shell/tip.h"

namespace quorvel::test {

bool InMainMenu() {
    // The menu's picture is loaded after the logos, just before the loop starts, and
    // goes when the scene is torn down.
    return engine::GetScene().images.Find("menu") != nullptr;
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

std::optional<int> RunFromLevelStart(Harness& h, const PlayLevelArgs& start) {
    LoadGameTexts();
    CoreObj = std::make_unique<EngineCore>();
    InputObj = std::make_unique<EngineInput>();
    FrameObj = std::make_unique<EngineFrame>();
    CameraObj = std::make_unique<EngineCameras>();
    MathObj = std::make_unique<EngineMath>();
    TimerObj = std::make_unique<EngineTimer>();
    LightObj = std::make_unique<EngineLights>();
    ImporterObj = std::make_unique<EngineMeshImporter>();
    ParticleObj = std::make_unique<EngineParticles>();
    SoundObj = std::make_unique<EngineSounds>();
    DXAudioObj = std::make_unique<DXAudio>();
    DXAudioObj->InitDXAudio();
    forms::ShowCursor(false);
    return h.RunUntilEnded([&] {
        PlayLevel(start.level, start.ownsIon, start.ownsMion, start.ownsEplas, start.ownsDisperse,
                  start.ownsGamma, start.money, start.ownsGravBeam, start.capacityLevel);
    });
}

}  // namespace quorvel::test
