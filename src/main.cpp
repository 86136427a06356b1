#include "platform/al/engine_audio_sink.h"
#include "platform/al/openal_device.h"
#include "platform/engine/backends.h"
#include "platform/ff/decoders.h"
#include "platform/forms/forms.h"
#include "platform/sdl/forms_host.h"
#include "platform/sdl/startup.h"
#include "platform/system/exit_report.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/launch_pad.h"
#include "shell/tip.h"

// The launch pad is the start-up object: showing it loads it, and from then on the
// program lives in its event handlers until one of them ends the process.
int main() {
    using namespace quorvel;
    sys::ReportEveryEnd();
    sys::Randomize();

    sdl::StartOnDesktop();

    // Sound: the real output device (a silent one when none opens), every media format,
    // and the engine's short effects on the same device.
    al::UseOpenAL();
    ff::UseFFmpegDecoders();
    engine::InstallBackEnds(nullptr, nullptr, al::MakeEngineAudioSink());

    // Its pump tail runs forms::DoEvents(): the forms need it on every pump.
    sdl::ImGuiFormsHost host;
    if (!host.Ready()) sdl::EndForStartFailure("cannot open an OpenGL 3.3 window");
    host.SetMainForm(&VeltorInitial);

    VeltorInitial.Show();
    // The tip of the day showed itself while the launch pad loaded; the launch pad came up
    // over it when it appeared, so bring the tip back in front where the player sees it.
    if (frmTip.Visible()) forms::Activate(frmTip);
    for (;;)
        sys::IdleWait();
}
