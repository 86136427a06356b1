// The second half of the play-field enforcer: the view draws away from the ship left at
// the bound, the enforcer flies in along its line firing, the ship blows up, and some
// seconds later it counts as lost.

#include "assets/assets.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

void PlayEffect(const char* name) {
    SoundObj->SelectSound(name);
    SoundObj->PlaySound(0, false);
}

Vector MoveMeshForward(const char* key, float distance) {
    if (!MeshObj->SelectMesh(key)) return {};
    MeshObj->MoveForward(distance, true, true);
    return MeshObj->GetPosition();
}

void ShowMesh(const char* key, bool visible) {
    if (MeshObj->SelectMesh(key)) MeshObj->SetVisible(visible);
}

// The enforcer and its shots close in on the ship model at g.
void ApproachShip(const Vector& g) {
    const float f = Campaign.FrameFactor;
    if (!MeshObj->SelectMesh("alien2")) {
        Hazards.FlybyShipHit = true;  // no enforcer to wait for: the sequence still ends
        return;
    }
    const Vector a = MoveMeshForward("alien2", 10 * f);
    const Vector h = MoveMeshForward("aphold", 30 * f);
    if (MeshObj->SelectMesh("alienproj")) MeshObj->SetPosition(h);  // the carrier carries the shot
    if (!Hazards.FlybySounded) {
        PlayEffect("alienshoot");
        PlayEffect("flyby2");
        Hazards.FlybySounded = true;
    }
    if (InRange(h, g, 5)) {
        // The shot reached the ship: the next one leaves the alien.
        if (MeshObj->SelectMesh("aphold")) MeshObj->SetPosition(a);
        if (MeshObj->SelectMesh("alienproj")) MeshObj->SetPosition(a);
        if (Hazards.FlybyShotCount < 3) {
            Hazards.FlybyShotCount += 1;
            PlayEffect("alienshoot");
        }
    }
    if (InRange(a, g, 100)) {
        Hazards.FlybyShipHit = true;
        ShowMesh("alienproj", false);
    }
}

// The ship blows up and its wreck drifts; 8.5 s after the blast it counts as lost.
void DestroyShip() {
    if (!Level.ExplosionActive && !Hazards.FlybyExplosionOver) {
        StartExplosionAt(LevelEnd.ShipPos);
        Effects.ExplosionMode = 2;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        ShowMesh("goldship", false);
        Hazards.FlybyExplosionTime = Campaign.FrameStartTime;
    }
    if (!Hazards.FlybyExplosionOver && Level.ExplosionActive) {
        PlayEffect("aliengib");
        AnimateExplosionFlipbook();
    }
    if (Level.ExplosionActive) {
        for (const char* key : {"redexp1", "redexp2", "redexp3", "redexp4"})
            ShowMesh(key, true);
        ShowMesh("goldship", false);
        AnimateShipDebris();
    } else {
        Hazards.FlybyExplosionOver = true;
        if (Campaign.FrameStartTime - Hazards.FlybyExplosionTime > 8.5) {
            Level.ShipDestroyed = true;
            Hazards.OutOfBounds = false;
            ExplodeShip();  // the wreck is already in place: this only marks the loss
        }
        AnimateShipDebris();
    }
    MoveMeshForward("alien2", 12 * Campaign.FrameFactor);  // flies on past the wreck
}

}  // namespace

void AlienApproachWarning() {
    if (!Hazards.OutOfBounds) return;
    const float f = Campaign.FrameFactor;
    CameraObj->SelectCameraById(0);
    if (InRange(CameraObj->GetCameraPosition(), LevelEnd.ShipPos, 400)) {
        // Draw the view away from the ship, turning to keep it in sight.
        CameraObj->MoveCameraForward(-12 * f, true, true);
        CameraObj->MoveCameraUp(2 * f, true, true);
        CameraObj->MoveCameraRight(-5 * f, true, true);
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraPitch(-0.4f * f, 2);
        CameraObj->TurnCameraYaw(-2 * f, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraPitch(0.4f * f, 2);
        CameraObj->TurnCameraYaw(2 * f, 2);
        if (!Hazards.WarningSounded) {
            PlayEffect("warning");
            Hazards.WarningSounded = true;
        }
    } else {
        SoundObj->SelectSound("warning");
        SoundObj->StopSound();
        Hazards.FlybyActive = true;
    }
}

void AlienFlybyAttack() {
    // Only a running bounds sequence has a ship for the enforcer to chase.
    if (!Hazards.OutOfBounds || !Hazards.FlybyActive) return;
    const Vector g = MeshObj->SelectMesh("goldship") ? MeshObj->GetPosition() : LevelEnd.ShipPos;
    if (!Hazards.FlybyShipHit)
        ApproachShip(g);
    else
        DestroyShip();
}

}  // namespace quorvel
