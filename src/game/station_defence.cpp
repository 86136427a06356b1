// Keeping the station alive: the player serviced at its force fields, the asteroids and
// the flaming asteroid flying at it and the hits it takes, the shield check, and the
// probe rays the frame's collision tests use.

#include <cstddef>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

constexpr int StationHitsAllowed = 6;

// Too many hits on the station: the level's field starts again and the ship is lost.
void LoseToStationHits() {
    StationDamageLevel = 0;
    PlaceAsteroids();
    ShipDestroyed = true;
    ExplodeShip();
}

// Moves asteroid `a` one step straight at the station S and returns where it is now.
Vector FlyAtStation(AsteroidRec& a, const Vector& s) {
    MeshObj->SelectMeshById(a.MeshId);
    Vector p = MeshObj->GetPosition();
    // Without the helper mesh the asteroid keeps its place rather than jump to the origin.
    if (MeshObj->SelectMesh("virtualast")) {
        MeshObj->SetPosition(p);
        MeshObj->LookAt(s);
        if (CurrentLevel != 50) MeshObj->MoveForward(AsteroidSpeed(), true, true);
        p = MeshObj->GetPosition();
        if (MeshObj->SelectMeshById(a.MeshId)) MeshObj->SetPosition(p);
    }
    a.Pos = p;
    return p;
}

}  // namespace

void CheckShipCollisions() {
    MeshObj->SelectMeshById(StationId);
    const Vector s = MeshObj->GetPosition();
    const Vector cam = CamBasis.CamPos;
    PointerSlot& stationPointer = HudPointers[0];

    NearStation = InRange(s, cam, 2500);
    if (InRange(s, cam, 800)) stationPointer.PointerOn = false;
    if (NearStation) {
        FastRecharge = false;
        if (InForceField) {
            SetWeaponEnergy(0, 0);
            RepairHullTick();
            FastRecharge = true;
            stationPointer.PointerOn = false;
        }
    }
    UpdateShield();
    UpdateForceFieldAnim();

    // An impact ends one pass, as a shoot-down does; the asteroid stays initialised so
    // that the passes left on this level still come.
    if (FlamingAsteroid && CheckFlamingAsteroidImpact()) {
        if (StationDamageLevel > StationHitsAllowed) LoseToStationHits();
        SetStationDamageSmoke();
    }

    const int grabbed = GravityBeam ? GravityBeam->GrabbedMeshIndex() : -1;
    for (int i = 1; i <= AsteroidCount; ++i) {
        AsteroidRec& a = Asteroids[std::size_t(i)];
        if (!a.Active) continue;
        const Vector p = FlyAtStation(a, s);
        CloseVoiceTimer += FrameFactor * 0.07f;
        // The beam holds this one: it neither strikes nor warns.
        if (grabbed != -1 && a.MeshId == grabbed) continue;
        if (InRange(s, p, 275)) {
            StationDamageLevel += 1;
            DestroyAsteroid(i);
            if (StationDamageLevel > StationHitsAllowed) LoseToStationHits();
            SetStationDamageSmoke();
        }
        if (InRange(s, p, 2000) && CloseVoiceTimer > 800) {
            PlayAsteroidCloseVoice();
            CloseVoiceTimer = 0;
            stationPointer.PointerOn = true;
        }
    }
}

void CheckShield() {
    if (ShieldDamage >= ShieldMax) {
        ShipDestroyed = true;
        ExplodeShip();
        return;
    }
    if (!Repairing && ShieldDamage > 80) {
        if (DXAudioObj) DXAudioObj->PlayForeground("warnshield.wav");
        HudPointers[0].PointerOn = true;  // points the player to the force fields
    }
}

void BuildProbeRays() {
    struct Offset {
        float x, y;
    };
    static constexpr Offset offsets[9] = {{0, 0},      {0.05f, 0.05f},  {-0.05f, -0.05f},
                                          {0.05f, 0},  {0, 0.05f},      {-0.05f, 0},
                                          {0, -0.05f}, {0.05f, -0.05f}, {-0.05f, 0.05f}};
    const Vector front = CamAxes.AxisFront;
    for (std::size_t k = 0; k < 9; ++k) {
        ProbeRays[k].Origin = CamBasis.CamPos;
        ProbeRays[k].Dir = -Vector{front.x + offsets[k].x, front.y + offsets[k].y, front.z};
    }
}

void CheckForwardCollision(float& distance) {
    // The ship slides along its own right axis, so the way is probed on the side it
    // slides to, as far as it goes this frame plus a margin.
    const Vector side = distance < 0 ? -CamAxes.AxisRight : CamAxes.AxisRight;
    ForwardRay.Origin = CamBasis.CamPos;
    ForwardRay.Dir = side;
    const float reach = (distance < 0 ? -distance : distance) + 20;
    ProbeHits[0] = MeshObj->RayHit(ForwardRay, 3, reach, 0, 0, true);
    if (ProbeHits[0].HitFlag) distance = 0;
}

}  // namespace quorvel
