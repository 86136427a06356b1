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

// Too many hits on the station: the level's field starts again and the station is lost,
// the ship with it.
void LoseToStationHits() {
    Level.StationDamageLevel = 0;
    PlaceAsteroids();
    Level.ShipDestroyed = true;
    ExplodeStation();
}

// Moves asteroid `a` one step straight at the station S and returns where it is now.
Vector FlyAtStation(AsteroidRec& a, const Vector& s) {
    MeshObj->SelectMeshById(a.MeshId);
    Vector p = MeshObj->GetPosition();
    // Without the helper mesh the asteroid keeps its place rather than jump to the origin.
    if (MeshObj->SelectMesh("virtualast")) {
        MeshObj->SetPosition(p);
        MeshObj->LookAt(s);
        if (Campaign.CurrentLevel != 50) MeshObj->MoveForward(AsteroidSpeed(), true, true);
        p = MeshObj->GetPosition();
        if (MeshObj->SelectMeshById(a.MeshId)) MeshObj->SetPosition(p);
    }
    a.Pos = p;
    return p;
}

}  // namespace

void CheckShipCollisions() {
    MeshObj->SelectMeshById(Level.StationId);
    const Vector s = MeshObj->GetPosition();
    const Vector cam = Ship.CamBasis.CamPos;
    PointerSlot& stationPointer = Hud.HudPointers[0];

    Hazards.NearStation = InRange(s, cam, 2500);
    if (InRange(s, cam, 800)) stationPointer.PointerOn = false;
    if (Hazards.NearStation) {
        Arsenal.FastRecharge = false;
        if (Ship.InForceField) {
            SetWeaponEnergy(0, 0);
            RepairHullTick();
            Arsenal.FastRecharge = true;
            stationPointer.PointerOn = false;
        }
    }
    UpdateShield();
    UpdateForceFieldAnim();

    // An impact ends one pass, as a shoot-down does; the asteroid stays initialised so
    // that the passes left on this level still come.
    if (Level.FlamingAsteroid && CheckFlamingAsteroidImpact()) {
        if (Level.StationDamageLevel > StationHitsAllowed) LoseToStationHits();
        SetStationDamageSmoke();
    }

    const int grabbed = Arsenal.GravityBeam ? Arsenal.GravityBeam->GrabbedMeshIndex() : -1;
    for (int i = 1; i <= Level.AsteroidCount; ++i) {
        AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        if (!a.Active) continue;
        const Vector p = FlyAtStation(a, s);
        Hazards.CloseVoiceTimer += Campaign.FrameFactor * 0.07f;
        // The beam holds this one: it neither strikes nor warns.
        if (grabbed != -1 && a.MeshId == grabbed) continue;
        if (InRange(s, p, 275)) {
            Level.StationDamageLevel += 1;
            DestroyAsteroid(i);
            if (Level.StationDamageLevel > StationHitsAllowed) LoseToStationHits();
            SetStationDamageSmoke();
        }
        if (InRange(s, p, 2000) && Hazards.CloseVoiceTimer > 800) {
            PlayAsteroidCloseVoice();
            Hazards.CloseVoiceTimer = 0;
            stationPointer.PointerOn = true;
        }
    }
}

void CheckShield() {
    if (Ship.ShieldDamage >= Ship.ShieldMax) {
        Level.ShipDestroyed = true;
        ExplodeShip();
        return;
    }
    if (!Arsenal.Repairing && Ship.ShieldDamage > 80) {
        if (DXAudioObj) DXAudioObj->PlayForeground("warnshield.wav");
        Hud.HudPointers[0].PointerOn = true;  // points the player to the force fields
    }
}

void BuildProbeRays() {
    struct Offset {
        float x, y;
    };
    static constexpr Offset offsets[9] = {{0, 0},      {0.05f, 0.05f},  {-0.05f, -0.05f},
                                          {0.05f, 0},  {0, 0.05f},      {-0.05f, 0},
                                          {0, -0.05f}, {0.05f, -0.05f}, {-0.05f, 0.05f}};
    const Vector front = Ship.CamAxes.AxisFront;
    for (std::size_t k = 0; k < 9; ++k) {
        Flight.ProbeRays[k].Origin = Ship.CamBasis.CamPos;
        Flight.ProbeRays[k].Dir = -Vector{front.x + offsets[k].x, front.y + offsets[k].y, front.z};
    }
}

void CheckForwardCollision(float& distance) {
    // The ship slides along its own right axis, so the way is probed on the side it
    // slides to, as far as it goes this frame plus a margin.
    const Vector side = distance < 0 ? -Ship.CamAxes.AxisRight : Ship.CamAxes.AxisRight;
    Hazards.ForwardRay.Origin = Ship.CamBasis.CamPos;
    Hazards.ForwardRay.Dir = side;
    const float reach = (distance < 0 ? -distance : distance) + 20;
    Hazards.ProbeHits[0] = MeshObj->RayHit(Hazards.ForwardRay, 3, reach, 0, 0, true);
    if (Hazards.ProbeHits[0].HitFlag) distance = 0;
}

}  // namespace quorvel
