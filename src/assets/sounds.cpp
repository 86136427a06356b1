// The effect sounds of a level and the positional buffers.

#include "assets/assets.h"
#include "audio/audio.h"
#include "common/world.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"

namespace quorvel {

const std::vector<GameSoundEntry> GameSoundTable = {
    {"hit", "\\Sound\\hit.wav"},
    {"explode1", "\\Sound\\explosion1.wav"},
    {"explode2", "\\Sound\\explosion2.wav"},
    {"explode3", "\\Sound\\explosion3.wav"},
    {"camcollide", "\\sound\\shiphits.wav"},
    {"engine", "\\sound\\engine.wav"},
    {"afterburn", "\\sound\\afterburn.wav"},
    {"alienshoot", "\\sound\\asproj.wav"},
    {"toofar", "\\sound\\toofar.wav"},
    {"warning", "\\sound\\warning.wav"},
    {"laser", "\\sound\\laser.wav"},
    {"flyby2", "\\sound\\asflyby.wav"},
    {"plasma", "\\sound\\plasma1.wav"},
    {"ion", "\\sound\\ion.wav"},
    {"mion", "\\sound\\mion.wav"},
    {"gamma", "\\sound\\gammasfx.wav"},
    {"eplasfx", "\\sound\\eplasmasfx.wav"},
    {"disperse", "\\sound\\dispersercannon.wav"},
    {"alienflyby", "\\sound\\asflyby.wav"},
    {"click", "\\sound\\menuselect.wav"},
    {"masshoot", "\\sound\\masproj.wav"},
    {"maseng", "\\sound\\masengine.wav"},
    {"aliengib", "\\sound\\aliengib.wav"},
    {"mashyper", "\\sound\\hyperspace.wav"},
    {"masener", "\\sound\\energy.wav"},
    {"wchange", "\\sound\\wchange.wav"},
    {"puspeed", "\\sound\\puspeed.wav"},
    {"pufire", "\\sound\\pufire.wav"},
    {"puinvinc", "\\sound\\puinvinc.wav"},
    {"pushield", "\\sound\\pushield.wav"},
    {"gravbeam", "\\sound\\gravitybeam.wav"},
    {"gravshoot", "\\sound\\gravshoot.wav"},
    {"gravgrab", "\\sound\\gravgrab.wav"},
    {"reward", "\\sound\\reward.wav"},
    {"noavail", "\\sound\\out.wav"},
    {"shcharge", "\\sound\\shieldcharge.wav"},
};

const std::vector<PositionalSoundEntry> PositionalSoundTable = {
    {0, "\\sound\\asproj.wav", true, 1500, 1000},    {3, "\\sound\\asproj.wav", true, 1500, 1000},
    {4, "\\sound\\asproj.wav", true, 1500, 1000},    {5, "\\sound\\asproj.wav", true, 1500, 1000},
    {6, "\\sound\\asproj.wav", true, 1500, 1000},    {7, "\\sound\\asflyby.wav", false, 1500, 1000},
    {8, "\\sound\\fireball.wav", false, 1500, 1000}, {1, "\\sound\\maseng.wav", true, 50000, 20000},
    {2, "\\sound\\pflyby.wav", true, 50000, 20000},
};

void LoadGameSounds() {
    const std::string folder = sys::ProgramFolder();
    SoundObj->PrepareSoundPool(5);
    for (const GameSoundEntry& s : GameSoundTable)
        SoundObj->LoadSound(s.key, folder + s.path, 0, 0);

    if (!Campaign.SoundDevice) return;  // no device this run: the buffers stay silent
    for (const PositionalSoundEntry& p : PositionalSoundTable) {
        auto& buffer = Campaign.PositionalSounds[std::size_t(p.element)];
        if (!buffer) continue;
        buffer->Positional(true);
        buffer->Interrupt(p.interrupt);
        buffer->Looping(false);
        buffer->LoadSound(*Campaign.SoundDevice, folder + p.path, p.maximumDistance, p.minimumDistance);
    }
}

}  // namespace quorvel
