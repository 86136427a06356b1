// The alien waves and the per-frame update of the ten fighters.

#include "assets/assets.h"
#include "combat/combat.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

void PlayWarning() {
    SoundObj->SelectSound("warning");
    SoundObj->PlaySound(0, false);
}

void Hide(int id) {
    if (id < 0) return;
    if (MeshObj->SelectMeshById(id)) MeshObj->SetVisible(false);
}

void Move(int ship) {
    AlienShip& a = AlienFleet.Aliens[std::size_t(ship)];
    if (a.Boosting) {
        a.Speed = a.MaxSpeed;
        SteerAlienAvoid(ship);
        MeshObj->SelectMeshById(a.BodyMesh);
        MeshObj->MoveForward(Campaign.FrameFactor * a.Speed);
        UpdateAlienBoost(ship);
    } else {
        a.Speed += Campaign.FrameFactor * a.Accel;
        if (a.Speed > a.MaxSpeed) a.Speed = a.MaxSpeed;
        MeshObj->SelectMeshById(a.BodyMesh);
        MeshObj->MoveForward(Campaign.FrameFactor * a.Speed);
    }
}

}  // namespace

void SpawnFirstWave() {
    AlienFleet.Wave1Timer += Campaign.FrameFactor;
    if (AlienFleet.Wave1Timer > 800) {
        AlienFleet.Wave1Started = true;
        AlienFleet.Wave1Timer = 0;
        PlayWarning();
        for (int j = 1; j <= 5; ++j)
            AlienFleet.Aliens[std::size_t(j)].Active = true;
    }
}

void SpawnSecondWave() {
    AlienFleet.Wave2Timer += Campaign.FrameFactor;
    AlienFleet.Wave2Pending = true;
    if (AlienFleet.SecondWaveShipType == 1) {
        AlienFleet.Wave2Started = true;
        AlienFleet.Wave2Timer = 0;
        AlienFleet.Wave2Pending = false;
        return;
    }
    if (AlienFleet.Wave2Timer > 200 || (Level.AsteroidsLeft < 1 && AlienFleet.Wave2Timer > 50)) {
        AlienFleet.Wave2Pending = false;
        AlienFleet.Wave2Started = true;
        AlienFleet.Wave2Timer = 0;
        PlayWarning();
        for (int j = 6; j <= 10; ++j)
            AlienFleet.Aliens[std::size_t(j)].Active = true;
    }
}

bool AnyAlienActive() {
    for (int j = 1; j <= 10; ++j)
        if (AlienFleet.Aliens[std::size_t(j)].Active) return true;
    return false;
}

bool AlienBattlePending() {
    if (IsAlienFreeLevel()) return false;
    return AnyAlienActive() || AlienFleet.Wave2Pending;
}

void HideAllAliens() {
    for (int j = 1; j <= 10; ++j) {
        AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        a.Active = false;
        for (int id : {a.BodyMesh, a.HoldMesh, a.FlareMesh, a.FlareMesh2})
            Hide(id);
        for (int k = 1; k <= 5; ++k)
            Hide(a.ShotSprite[std::size_t(k)]);
    }
}

void UpdateAliens() {
    if (!IsAlienFreeLevel()) {
        if (!AlienFleet.Wave1Started) SpawnFirstWave();
        if (!AnyAlienActive() && AlienFleet.Wave1Started && !AlienFleet.Wave2Started) SpawnSecondWave();
    }
    const bool freeLevel = IsAlienFreeLevel();
    for (int j = 1; j <= 10; ++j) {
        AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        if (freeLevel) a.Active = false;
        if (a.Active) {
            MeasureAlienToPlayer(j);
            CheckAlienObstacles(j);
            if (a.CloseTimer1 > 90) {
                a.BreakOff = !a.BreakOff;
                a.CloseTimer1 = 0;
            }
            if (a.CloseTimer2 > 150) {
                a.BreakOffReset = true;
                a.BreakOff = !a.BreakOff;
                a.CloseTimer2 = 0;
            }
            if (a.BreakOff && !a.AvoidState) {
                AlienBreakOff(j);
            } else if (!a.AvoidState) {
                if (!a.Extending) {
                    SteerAlienApproach(j);
                    AlienShoot(j);
                } else {
                    SteerAlienExtend(j);
                }
            } else {
                SteerAlienAvoid(j);
            }
            Move(j);
            PlaceAlienAttachments(j);
        }
        UpdateAlienShots(j);
        if (Level.ShipDestroyed) break;
    }
}

}  // namespace quorvel
