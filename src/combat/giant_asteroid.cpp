// The giant asteroid of levels 10, 20, 30 and 40: fly-by, run at the station, hits.

#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

const Vector Target{600, 100, -3100};

std::string LoopMusic() {
    return sys::ProgramFolder() + "\\sound\\astloop.wma";
}

void SetHitPoints() {
    const float hp = GiantAsteroidHPFor(CurrentLevel);
    if (hp > 0) GiantAsteroidHP = hp;  // another level keeps the last value
    GiantAsteroidHPMax = GiantAsteroidHP;
}

}  // namespace

float GiantAsteroidHPFor(int level) {
    switch (level) {
        case 10:
            return 20000 * DifficultyFactor;
        case 20:
            return 25000 * DifficultyFactor;
        case 30:
            return 30000 * DifficultyFactor;
        case 40:
            return 40000 * DifficultyFactor;
        default:
            return 0;
    }
}

void StartGiantAsteroid() {
    GiantAsteroidStart = {1600, RandomRange() * 400, 20000};
    MeshObj->SelectMesh("ga");
    MeshObj->SetVisible(true);
    MeshObj->SetPosition(GiantAsteroidStart);
    MeshObj->LookAt(Target);
    GiantAsteroidId = MeshObj->GetCurrentId();
    MeshObj->SelectMesh("gahold");
    MeshObj->SetPosition(CamBasis.CamPos);
    MeshObj->LookAt(GiantAsteroidStart.x + 2500, GiantAsteroidStart.y + 1000, GiantAsteroidStart.z);
    MeshObj->SetVisible(true);
    CameraObj->CameraLookAt(GiantAsteroidStart);
    if (DXAudioObj) DXAudioObj->PlayForeground("astcollision.wma");
    GiantAsteroidFlying = true;
    SetHitPoints();
}

void UpdateGiantAsteroidHold() {
    MeshObj->SelectMesh("gahold");
    MeshObj->MoveForward(100 * FrameFactor);
    const Vector p = MeshObj->GetPosition();
    CameraObj->SetCameraPosition(p);
    CameraObj->CameraLookAt(GiantAsteroidStart);
    if (p.z > GiantAsteroidStart.z + 5000) {
        GiantAsteroidFlying = false;
        ResetCamera();
        GiantAsteroidActive = true;
        if (DXAudioObj) {
            DXAudioObj->StopBackground();
            DXAudioObj->PlayBackground(LoopMusic());
        }
    }
}

void UpdateGiantAsteroid() {
    MeshObj->SelectMesh("ga");
    MeshObj->MoveForward(15 * FrameFactor);
    MeshObj->TurnRoll(0.5f * FrameFactor);
    const Vector p = MeshObj->GetPosition();
    if (DXAudioObj && DXAudioObj->BackgroundIsStopped()) DXAudioObj->PlayBackground(LoopMusic());
    if (p.z < -3100) {
        ShipDestroyed = true;
        ExplodeShip();
        MeshObj->SelectMesh("ga");
        MeshObj->SetPosition(GiantAsteroidStart);
        MeshObj->LookAt(Target);
        MeshObj->SetVisible(true);
        SetHitPoints();
    }
}

void GiantAsteroidHit(int id, float damage, const Vector& point) {
    // Only a running asteroid takes hits: a stale id after a kill or from an earlier
    // level must not pay again or end a level.
    if (id < 0 || id != GiantAsteroidId || !GiantAsteroidActive) return;
    GiantAsteroidHP -= damage;
    if (GiantAsteroidHP <= 0) {
        if (MeshObj->SelectMeshById(GiantAsteroidId)) MeshObj->SetVisible(false);
        GiantAsteroidActive = false;
        StartExplosionAt(point);
        if (ShockWave) ShockWave->MakeShockWave(point, 30, 5, 3, 20);
        ExplosionMode = 1;
        ExplosionActive = true;
        PlayExplosionSound();
        Money += 2500000;
        GiantAsteroidHP = 25000;
        GiantAsteroidPending = false;
        GiantAsteroidFlying = false;
        GiantAsteroidId = -1;
        CheckLevelComplete();
        if (DXAudioObj) DXAudioObj->StartBackground();
    }
    SoundObj->SelectSound("hit");
    SoundObj->PlaySound(0, false);
    int weapon = -1;
    SpawnHitSparks("ast1txt", point, 1, weapon);
}

}  // namespace quorvel
