// The player's fire routines: each takes the next record of its weapon's shot ring and
// launches it from one of the guns with the ship's attitude.

#include <span>

#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

Vector Negated(const Vector& v) {
    return {-v.x, -v.y, -v.z};
}

struct SingleShotWeapon {
    std::span<ShotRec> shots;  // record 0 the weapon's state, 1 to 14 the ring
    int number;
    float gun;  // right for odd records, left for even ones
    float up;
    const char* sound;
    bool keepsAxes;  // the laser's flight does not use them
};

void FireSingle(const SingleShotWeapon& w, int& ring, const Vector& right, const Vector& up,
                const Vector& front) {
    ShotRec& weapon = w.shots[0];
    if (weapon.Reload <= 100) return;
    if (!HasWeaponEnergy(w.number)) {
        PlayNoEnergySound();
        return;
    }
    Level.ShotsFired += 1;
    weapon.Reload = 0;
    ring += 1;
    if (ring > 14) ring = 1;
    ShotRec& shot = w.shots[std::size_t(ring)];
    shot.Active = true;  // a shot still flying in this record is taken over

    MeshObj->SelectMeshById(shot.MeshId);
    MeshObj->SetVisible(true);
    MeshObj->SetOrientation(right, up, front);
    if (w.keepsAxes) {
        shot.OrientRight = right;
        shot.OrientUp = up;
        shot.OrientFront = front;
    }
    MeshObj->SetPosition(Ship.CamBasis.CamPos);
    MeshObj->MoveRight(ring % 2 == 1 ? w.gun : -w.gun, true, true);
    MeshObj->MoveForward(-1, true, true);
    MeshObj->MoveUp(w.up, true, true);
    // Shots fly along the holder's back axis.
    shot.AimRay.Dir = Negated(front);
    shot.AimRay.Origin = Ship.CamBasis.CamPos;
    shot.LaunchPos = MeshObj->GetPosition();

    SoundObj->SelectSound(w.sound);
    SoundObj->PlaySound(0, false);
    UseWeaponEnergy(w.number, 1.0f);
}

}  // namespace

void FirePlasma(int& ring, const Vector& right, const Vector& up, const Vector& front) {
    FireSingle({Arsenal.PlasmaShots, 1, 15, -5, "plasma", true}, ring, right, up, front);
}
void FireLaser(int& ring, const Vector& right, const Vector& up, const Vector& front) {
    FireSingle({Arsenal.LaserShots, 2, 10, 3, "laser", false}, ring, right, up, front);
}
void FireIon(int& ring, const Vector& right, const Vector& up, const Vector& front) {
    FireSingle({Arsenal.IonShots, 3, 15, 3, "ion", true}, ring, right, up, front);
}
void FireMion(int& ring, const Vector& right, const Vector& up, const Vector& front) {
    FireSingle({Arsenal.MionShots, 4, 18, 3, "mion", true}, ring, right, up, front);
}
void FireEplas(int& ring, const Vector& right, const Vector& up, const Vector& front) {
    FireSingle({Arsenal.EplasShots, 5, 15, -4, "eplasfx", true}, ring, right, up, front);
}
void FireGamma(int& ring, const Vector& right, const Vector& up, const Vector& front) {
    FireSingle({Arsenal.GammaShots, 7, 15, -8, "gamma", true}, ring, right, up, front);
}

// A fan of five: two to the left, one straight, two to the right; one sound and one
// shot's cost for the volley.
void FireDisperse(int& ring, const Vector& right, const Vector& up, const Vector& front) {
    ShotRec& weapon = Arsenal.DisperseShots[0];
    if (weapon.Reload <= 100) return;
    if (!HasWeaponEnergy(6)) {
        PlayNoEnergySound();
        return;
    }
    Level.ShotsFired += 5;
    struct Spread {
        float right, pitch, yaw;
    };
    constexpr Spread spreads[6] = {{}, {-1, 2, 7}, {-1, -2, 7}, {0, 0, 0}, {1, 2, -7}, {1, -2, -7}};
    for (int k = 1; k <= 5; ++k) {
        weapon.Reload = 0;
        ring += 1;
        if (ring > 70) ring = 1;
        ShotRec& shot = Arsenal.DisperseShots[std::size_t(ring)];
        shot.Active = true;
        MeshObj->SelectMeshById(shot.MeshId);
        MeshObj->SetVisible(true);
        MeshObj->SetOrientation(right, up, front);
        MeshObj->SetPosition(Ship.CamBasis.CamPos);
        MeshObj->MoveForward(-1, true, true);
        MeshObj->MoveUp(-2, true, true);
        if (k != 3) {
            MeshObj->MoveRight(spreads[k].right, true, true);
            MeshObj->TurnPitch(spreads[k].pitch, 2);
            MeshObj->TurnYaw(spreads[k].yaw, 2);
        }
        const AxisSet own = GetMeshAxes(shot.MeshKey);
        shot.AimRay.Dir = Negated(own.AxisFront);
        shot.AimRay.Origin = Ship.CamBasis.CamPos;
        shot.LaunchPos = MeshObj->GetPosition();
    }
    SoundObj->SelectSound("disperse");
    SoundObj->PlaySound(0, false);
    UseWeaponEnergy(6, 1.0f);
}

}  // namespace quorvel
