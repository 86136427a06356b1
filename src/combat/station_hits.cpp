// Shots and thrown objects that strike the space station: now and then a voice, one hit
// point less, and when they are used up the station blows up and takes the ship with it.

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {

void StationHit(int id, const Vector& point) {
    if (id == -1 || id != Level.StationId) return;
    static const char* const voices[7] = {
        "",
        "\\stationvoices\\badman.wav",
        "\\stationvoices\\fallen.wav",
        "\\stationvoices\\feelspecial.wav",
        "\\stationvoices\\itblowsup.wav",
        "\\stationvoices\\nancyboy.wav",
        "\\stationvoices\\scream.wav",
    };
    // 1 and 6 come half as often as the others.
    const int v = int(sys::RoundHalfEven(RandomRange() * 5 + 1));
    const float roll = RandomRange() * 20;
    if (roll <= 2 && DXAudioObj) DXAudioObj->PlayForeground(voices[v]);
    Level.StationHitPoints -= 1;
    if (roll <= 1) return;  // a glancing hit: it counts, but shows nothing

    if (Level.StationHitPoints <= 0) {
        MeshObj->SelectMesh(Level.StationMeshName);
        StartExplosionAt(point);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(point, 30, 5, 3, 2);
        Effects.ExplosionMode = 2;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        Level.StationHitPoints = 100;
        Level.ShipDestroyed = true;
        Callbacks.ExplodeStation();
    }
    SoundObj->SelectSound("hit");
    SoundObj->PlaySound(0, false);
    SpawnHitSparks("spacest", point, 1, -1);
}

}  // namespace quorvel
