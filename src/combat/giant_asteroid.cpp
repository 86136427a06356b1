// The giant asteroid of levels 10, 20, 30 and 40: fly-by, run at the station, hits.

#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

const Vector Target{600, 100, -3100};

std::string LoopMusic() {
    return sys::ProgramFolder() + "\\sound\\astloop.wma";
}

void SetHitPoints() {
    const float hp = GiantAsteroidHPFor(Campaign.CurrentLevel);
    if (hp > 0) GiantAsteroid.GiantAsteroidHP = hp;  // another level keeps the last value
    GiantAsteroid.GiantAsteroidHPMax = GiantAsteroid.GiantAsteroidHP;
}

}  // namespace

float GiantAsteroidHPFor(int level) {
    switch (level) {
        case 10:
            return 20000 * Campaign.DifficultyFactor;
        case 20:
            return 25000 * Campaign.DifficultyFactor;
        case 30:
            return 30000 * Campaign.DifficultyFactor;
        case 40:
            return 40000 * Campaign.DifficultyFactor;
        default:
            return 0;
    }
}

void StartGiantAsteroid() {
    GiantAsteroid.GiantAsteroidStart = {1600, RandomRange() * 400, 20000};
    MeshObj->SelectMesh("ga");
    MeshObj->SetVisible(true);
    MeshObj->SetPosition(GiantAsteroid.GiantAsteroidStart);
    MeshObj->LookAt(Target);
    GiantAsteroid.GiantAsteroidId = MeshObj->GetCurrentId();
    MeshObj->SelectMesh("gahold");
    MeshObj->SetPosition(Ship.CamBasis.CamPos);
    MeshObj->LookAt(GiantAsteroid.GiantAsteroidStart.x + 2500, GiantAsteroid.GiantAsteroidStart.y + 1000,
                    GiantAsteroid.GiantAsteroidStart.z);
    MeshObj->SetVisible(true);
    CameraObj->CameraLookAt(GiantAsteroid.GiantAsteroidStart);
    if (DXAudioObj) DXAudioObj->PlayForeground("astcollision.wma");
    GiantAsteroid.GiantAsteroidFlying = true;
    SetHitPoints();
}

void UpdateGiantAsteroidHold() {
    MeshObj->SelectMesh("gahold");
    MeshObj->MoveForward(100 * Campaign.FrameFactor);
    const Vector p = MeshObj->GetPosition();
    CameraObj->SetCameraPosition(p);
    CameraObj->CameraLookAt(GiantAsteroid.GiantAsteroidStart);
    if (p.z > GiantAsteroid.GiantAsteroidStart.z + 5000) {
        GiantAsteroid.GiantAsteroidFlying = false;
        Callbacks.ResetCamera();
        GiantAsteroid.GiantAsteroidActive = true;
        if (DXAudioObj) {
            DXAudioObj->StopBackground();
            DXAudioObj->PlayBackground(LoopMusic());
        }
    }
}

void UpdateGiantAsteroid() {
    MeshObj->SelectMesh("ga");
    MeshObj->MoveForward(15 * Campaign.FrameFactor);
    MeshObj->TurnRoll(0.5f * Campaign.FrameFactor);
    const Vector p = MeshObj->GetPosition();
    if (DXAudioObj && DXAudioObj->BackgroundIsStopped()) DXAudioObj->PlayBackground(LoopMusic());
    if (p.z < -3100) {
        Level.ShipDestroyed = true;
        Callbacks.ExplodeShip();
        MeshObj->SelectMesh("ga");
        MeshObj->SetPosition(GiantAsteroid.GiantAsteroidStart);
        MeshObj->LookAt(Target);
        MeshObj->SetVisible(true);
        SetHitPoints();
    }
}

void GiantAsteroidHit(int id, float damage, const Vector& point) {
    // Only a running asteroid takes hits: a stale id after a kill or from an earlier
    // level must not pay again or end a level.
    if (id < 0 || id != GiantAsteroid.GiantAsteroidId || !GiantAsteroid.GiantAsteroidActive) return;
    GiantAsteroid.GiantAsteroidHP -= damage;
    if (GiantAsteroid.GiantAsteroidHP <= 0) {
        if (MeshObj->SelectMeshById(GiantAsteroid.GiantAsteroidId)) MeshObj->SetVisible(false);
        GiantAsteroid.GiantAsteroidActive = false;
        StartExplosionAt(point);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(point, 30, 5, 3, 20);
        Effects.ExplosionMode = 1;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        Campaign.Money += 2500000;
        GiantAsteroid.GiantAsteroidHP = 25000;
        GiantAsteroid.GiantAsteroidPending = false;
        GiantAsteroid.GiantAsteroidFlying = false;
        GiantAsteroid.GiantAsteroidId = -1;
        Callbacks.CheckLevelComplete();
        if (DXAudioObj) DXAudioObj->StartBackground();
    }
    SoundObj->SelectSound("hit");
    SoundObj->PlaySound(0, false);
    int weapon = -1;
    SpawnHitSparks("ast1txt", point, 1, weapon);
}

}  // namespace quorvel
