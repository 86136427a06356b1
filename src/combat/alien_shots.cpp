// Alien shots at the player and the player's hits on alien ships.

#include <cmath>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

// The positional shot sound of each ship kind 1 to 5.
constexpr int ShotSoundElement[6] = {0, 0, 3, 4, 5, 6};

std::int32_t Whole(float v) {
    return std::int32_t(sys::RoundHalfEven(double(v)));
}

}  // namespace

void AlienShoot(int ship) {
    AlienShip& a = AlienFleet.Aliens[std::size_t(ship)];
    a.FireTimer += Campaign.FrameFactor;
    if (!(a.FireTimer > 8 && a.MayShoot)) return;
    a.FireTimer = 0;
    a.ShotSlot = a.ShotSlot >= 5 ? 1 : a.ShotSlot + 1;
    const std::size_t k = std::size_t(a.ShotSlot);
    MeshObj->SelectMeshById(a.BodyMesh);
    const AxisSet axes = MeshObj->GetOrientation();
    a.ShotPosition[k] = MeshObj->GetPosition();
    if (!InRange(a.ShotPosition[k], Ship.CamBasis.CamPos, 1500) || AlienFleet.FacingTarget) return;
    if (MeshObj->SelectMeshById(a.ShotHold[k])) {
        MeshObj->SetPosition(a.ShotPosition[k]);
        MeshObj->SetOrientation(axes);
        MeshObj->SetVisible(true);
    }
    a.ShotStart[k] = a.ShotPosition[k];
    if (MeshObj->SelectMeshById(a.ShotSprite[k])) {
        MeshObj->SetPosition(a.ShotPosition[k]);
        MeshObj->SetVisible(true);
    }
    a.ShotActive[k] = true;
    if (a.ShipType >= 1 && a.ShipType <= 5) {
        auto& sound = Campaign.PositionalSounds[std::size_t(ShotSoundElement[a.ShipType])];
        if (sound) {
            sound->PlaySound();
            sound->SetPosition(Whole(a.Position.x), Whole(a.Position.y), Whole(a.Position.z));
        }
    }
}

void UpdateAlienShots(int ship) {
    AlienShip& a = AlienFleet.Aliens[std::size_t(ship)];
    for (std::size_t k = 1; k <= 5; ++k) {
        if (!a.ShotActive[k]) continue;
        if (MeshObj->SelectMeshById(a.ShotHold[k])) {
            MeshObj->MoveForward(float(AlienFleet.AlienShotSpeed) * Campaign.FrameFactor);
            a.ShotPosition[k] = MeshObj->GetPosition();
        }
        const bool sprite = MeshObj->SelectMeshById(a.ShotSprite[k]);
        if (sprite) MeshObj->SetPosition(a.ShotPosition[k]);
        if (!InRange(a.ShotPosition[k], a.ShotStart[k], 2000)) {
            if (sprite) MeshObj->SetVisible(false);
            a.ShotActive[k] = false;
        }
        if (InRange(a.ShotPosition[k], Ship.CamBasis.CamPos, 50)) {
            if (MeshObj->SelectMeshById(a.ShotSprite[k])) MeshObj->SetVisible(false);
            a.ShotActive[k] = false;
            if (Level.ShipDestroyed) return;
            AddShieldDamage(a.ShotDamage);
            Callbacks.CheckShield();
        }
    }
}

void AlienHit(int id, float damage, const Vector& position) {
    if (id < 0) return;
    for (int j = 1; j <= 10; ++j) {
        AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        // A destroyed ship's mesh is hidden and takes no further hits or money.
        if (a.BodyMesh != id || !a.Active) continue;
        a.DamageTaken += damage;
        if (a.DamageTaken > a.ShipHitPoints) {
            a.Active = false;
            a.DamageTaken = 0;
            for (int mesh : {a.BodyMesh, a.HoldMesh, a.FlareMesh, a.FlareMesh2})
                if (mesh >= 0 && MeshObj->SelectMeshById(mesh)) MeshObj->SetVisible(false);
            StartExplosionAt(position);
            if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(position, 30, 5, 3, 2);
            Effects.ExplosionMode = 2;
            Level.ExplosionActive = true;
            PlayExplosionSound();
            Campaign.Money += 50000;
        }
        SoundObj->SelectSound("hit");
        SoundObj->PlaySound(0, false);
        int weapon = -1;
        SpawnHitSparks("mas2txt", position, 1, weapon);
    }
}

}  // namespace quorvel
