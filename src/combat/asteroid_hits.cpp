// A player's shot that struck something ends here; when it struck an asteroid of the
// field, the asteroid takes the weapon's damage and is destroyed at its hit points.

#include <span>
#include <string>

#include "assets/assets.h"
#include "combat/combat.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {

void KillAsteroid(int index);  // asteroid_field.cpp

namespace {

// How a weapon's flip-book mesh of the shot's frame is found: by key prefix or in a
// table of ids; neither for weapons without one.
struct FlipBook {
    const char* prefix = nullptr;
    const std::array<int, 65>* ids = nullptr;
};

void ShotHitAsteroid(std::span<ShotRec> shots, int s, int weapon, FlipBook flip) {
    if (s < 1 || std::size_t(s) >= shots.size()) return;
    ShotRec& shot = shots[std::size_t(s)];
    if (!shot.Active) return;
    shot.Active = false;
    const int id = shot.LastHit.HitId;
    if (id != -1) {
        for (int a = 1; a <= Level.AsteroidCount; ++a) {
            AsteroidRec& rock = Level.Asteroids[std::size_t(a)];
            if (rock.MeshId != id) continue;
            rock.Damage += shots[0].DamagePerHit;
            SoundObj->SelectSound("hit");
            SoundObj->PlaySound(0, false);
            SpawnHitSparks(rock.TextureKey, shot.CurrentPos, 1, weapon);
            if (rock.Damage >= rock.HitPoints) KillAsteroid(a);
        }
    }
    MeshObj->SelectMeshById(shot.MeshId);
    MeshObj->SetVisible(false);
    if (flip.prefix) {
        MeshObj->SelectMesh(flip.prefix + std::to_string(shot.AnimFrame));
        MeshObj->SetVisible(false);
    } else if (flip.ids && shot.AnimFrame >= 1 && shot.AnimFrame <= 64) {
        // Frame 0 names no flip-book mesh: never select an id from outside the book.
        MeshObj->SelectMeshById((*flip.ids)[std::size_t(shot.AnimFrame)]);
        MeshObj->SetVisible(false);
    }
}

}  // namespace

void PlasmaHitAsteroid(int s) {
    ShotHitAsteroid(Arsenal.PlasmaShots, s, 1, {"plasanim", nullptr});
}
void LaserHitAsteroid(int s) {
    ShotHitAsteroid(Arsenal.LaserShots, s, 2, {});
}
void IonHitAsteroid(int s) {
    ShotHitAsteroid(Arsenal.IonShots, s, 3, {"ianim", nullptr});
}
void MionHitAsteroid(int s) {
    ShotHitAsteroid(Arsenal.MionShots, s, 4, {nullptr, &Arsenal.MionAnimMeshes});
}
void EplasHitAsteroid(int s) {
    ShotHitAsteroid(Arsenal.EplasShots, s, 5, {nullptr, &Arsenal.EPlasmaMeshes});
}
void DisperseHitAsteroid(int s) {
    ShotHitAsteroid(Arsenal.DisperseShots, s, 6, {});
}
void GammaHitAsteroid(int s) {
    ShotHitAsteroid(Arsenal.GammaShots, s, 7, {"ganim", nullptr});
}

}  // namespace quorvel
