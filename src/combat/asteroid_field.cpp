// The asteroid field as a whole: re-placing it, the budget of flying asteroids, hits by
// thrown objects, asteroids that reach the station, the target tests of the gravity
// beam and the spoken close-pass warning.

#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

float R() {
    return RandomRange();
}

}  // namespace

// Every way an asteroid is destroyed ends the same: counted, paid, switched off and
// hidden, with its explosion, break-up and a possible power-up.
void KillAsteroid(int index) {
    AsteroidRec& rock = Level.Asteroids[std::size_t(index)];
    Level.AsteroidsLeft -= 1;
    AddKillMoney(float(rock.HitPoints));
    Callbacks.CheckLevelComplete();
    rock.Active = false;
    rock.Parked = false;
    MeshObj->SelectMeshById(rock.MeshId);
    MeshObj->SetVisible(false);
    PlayExplosionSound();
    StartAsteroidBreakup(index);
    StartExplosionAtAsteroid(index);
    MaybeDropPowerUp(index);
}

bool AsteroidHitPoints(int difficulty, int kind, int& hitPoints) {
    struct Rule {
        int perKind, base;
    };
    constexpr Rule rules[6] = {{0, 0}, {25, 250}, {30, 500}, {50, 1100}, {75, 1400}, {100, 1700}};
    if (difficulty < 1 || difficulty > 5) return false;
    hitPoints = rules[difficulty].perKind * kind + rules[difficulty].base;
    return true;
}

// Each record keeps whether it flies or waits in the reserve, so the field can still be
// cleared after the re-placement.
void PlaceAsteroids() {
    const int level = Campaign.CurrentLevel;
    const int zones = level < 5 ? 1 : level < 15 ? 2 : level < 25 ? 3 : 4;
    const float far = float(50 * level);
    int zone = 0;
    for (int i = 1; i <= Level.AsteroidCount; ++i) {
        AsteroidRec& rock = Level.Asteroids[std::size_t(i)];
        zone += 1;
        if (zone > zones) zone = 1;
        float x = 0, y = 0, z = 0;
        switch (zone) {
            case 1:
                x = 3000 * R() - 1500;
                y = 3000 * R() - 1500;
                z = 1500 * R() + 3000 + far;
                break;
            case 2:
                x = 1500 * R() + 3000 + far + 3100;
                y = 3000 * R() - 1500;
                z = 3000 * R() - 1500 - 3100;
                break;
            case 3:
                x = -1500 * R() - 3000 - far - 3100;
                y = 3000 * R() - 1500;
                z = 3000 * R() - 1500 - 3100;
                break;
            default:
                x = 3000 * R() - 1500;
                y = 3000 * R() - 1500;
                z = -1500 * R() - 3000 - far - 6100;
                break;
        }
        if (level == 1 || level == 50) {
            x = 2000 * R() - 1000;
            y = 2000 * R() - 1000;
            z = 2000 * R() - 1000;
        }
        MeshObj->SelectMeshById(rock.MeshId);
        MeshObj->SetPosition(MathObj->MakeVector(x, y, z));
        MeshObj->SetVisible(rock.Active);
        rock.Pos = MeshObj->GetPosition();
        rock.Damage = 0;
        AsteroidHitPoints(Campaign.DifficultyLevel, rock.Kind, rock.HitPoints);
    }
}

void SetActiveAsteroidCount() {
    Level.ActiveAsteroidTarget = Campaign.CurrentLevel == 50 ? 12 : Nearest(Campaign.CurrentLevel / 8.0) + 10;
    Level.ActiveAsteroidCount = 0;
    for (int i = 1; i <= Level.AsteroidCount; ++i)
        Level.ActiveAsteroidCount += Level.Asteroids[std::size_t(i)].Active ? 1 : 0;

    for (int i = 1; i <= Level.AsteroidCount && Level.ActiveAsteroidCount > Level.ActiveAsteroidTarget; ++i) {
        AsteroidRec& rock = Level.Asteroids[std::size_t(i)];
        if (!rock.Active) continue;
        Level.ActiveAsteroidCount -= 1;
        rock.Active = false;
        rock.Parked = true;
        MeshObj->SelectMeshById(rock.MeshId);
        MeshObj->SetVisible(false);
    }
    for (int i = 1; i <= Level.AsteroidCount && Level.ActiveAsteroidCount < Level.ActiveAsteroidTarget; ++i) {
        AsteroidRec& rock = Level.Asteroids[std::size_t(i)];
        if (!rock.Parked || rock.Active) continue;
        Level.ActiveAsteroidCount += 1;
        rock.Active = true;
        rock.Parked = false;
        MeshObj->SelectMeshById(rock.MeshId);
        MeshObj->SetVisible(true);
    }
}

// Only a flying asteroid takes the blow: one the beam holds may already be destroyed.
void GravityBeamHitAsteroid(int id) {
    if (id == -1) return;
    const Vector where = Arsenal.GravityBeam ? Arsenal.GravityBeam->CurrentPosition() : Vector{};
    for (int i = 1; i <= Level.AsteroidCount; ++i) {
        AsteroidRec& rock = Level.Asteroids[std::size_t(i)];
        if (rock.MeshId != id || !rock.Active) continue;
        rock.Damage += 10000;
        SoundObj->SelectSound("hit");
        SoundObj->PlaySound(0, false);
        SpawnHitSparks(rock.TextureKey, where, 1, -1);
        if (rock.HitPoints <= rock.Damage) KillAsteroid(i);
    }
}

void DestroyAsteroid(int index) {
    if (index < 1 || index > Level.AsteroidCount) return;
    KillAsteroid(index);
}

bool IsTargetMesh(int id) {
    if (id == -1) return false;
    for (int i = 1; i <= Level.AsteroidCount; ++i)
        if (Level.Asteroids[std::size_t(i)].MeshId == id) return true;
    for (int j = 1; j <= 10; ++j)
        if (AlienFleet.Aliens[std::size_t(j)].Active && AlienFleet.Aliens[std::size_t(j)].BodyMesh == id)
            return true;
    return false;
}

bool IsAlienMesh(int id) {
    if (id == -1) return false;
    if (!IsAlienFreeLevel())
        for (int j = 1; j <= 10; ++j)
            if (AlienFleet.Aliens[std::size_t(j)].Active && AlienFleet.Aliens[std::size_t(j)].BodyMesh == id)
                return true;
    return id == Level.ScoutId;
}

// Never the same clip twice in a row.
void PlayAsteroidCloseVoice() {
    int n = Nearest(2 * R()) + 1;
    if (n == Level.LastCloseVoice) n = n + 1 > 3 ? 1 : n + 1;
    Level.LastCloseVoice = n;
    if (DXAudioObj) DXAudioObj->PlayForeground("astclose" + std::to_string(n) + ".wma");
}

}  // namespace quorvel
