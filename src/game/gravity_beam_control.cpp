// Weapon 8 from the cockpit: fire held grabs what the probe rays meet, letting go arms
// the throw, the next press throws, and the thrown object strikes what lies ahead.

#include "assets/assets.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

constexpr int TutGrabbed = 25, TutThrown = 26;
constexpr float GrabReach = 500.0f;
constexpr float ThrowReach = 60.0f;
constexpr float ThrowRange = 2800.0f;

bool Humming = false;  // the beam's looping sound is on

void PlaySound(const char* key, bool loop = false) {
    if (SoundObj->SelectSound(key)) SoundObj->PlaySound(0, loop);
}
void StopSound(const char* key) {
    if (SoundObj->SelectSound(key)) SoundObj->StopSound();
}

void ShowEntity(int id, bool visible) {
    if (id >= 0 && MeshObj->SelectMeshById(id)) MeshObj->SetVisible(visible);
}

void HideBeamImages() {
    for (const char* key : {"gravbeam1", "gravbeam2"})
        if (Draw2DObj->SelectImage(key)) Draw2DObj->SetImageVisible(false);
}

// The thrown object flies on; the first thing its five rays strike takes the blow and
// so does the object itself.
void MoveThrownObject() {
    MeshObj->SelectMesh("virtualast");
    MeshObj->SetOrientation(Arsenal.GravityBeam->CurThrowVR(), Arsenal.GravityBeam->CurThrowUP(),
                            Arsenal.GravityBeam->CurThrowVD());
    MeshObj->SetPosition(Arsenal.GravityBeam->CurrentPosition());
    MeshObj->MoveForward(-150 * Campaign.FrameFactor, true, true);
    const Vector p = MeshObj->GetPosition();
    Level.TutorialSteps[TutThrown] = true;

    const Vector d = Arsenal.GravityBeam->CurThrowVD();
    constexpr float o = 0.03f;
    const float dx[5] = {0, o, -o, -o, o};
    const float dy[5] = {0, o, -o, o, -o};
    for (std::size_t k = 0; k < Flight.ThrowRays.size(); ++k)
        Flight.ThrowRays[k] = RayRec{p, {-d.x + dx[k], -d.y + dy[k], -d.z}};

    const int held = Arsenal.GravityBeam->GrabbedMeshIndex();
    for (const RayRec& ray : Flight.ThrowRays) {
        ShowEntity(held, false);
        const HitInfoRec hit = MeshObj->RayHit(ray, 3, ThrowReach, 0, 0, true);
        ShowEntity(held, true);
        if (!hit.HitFlag || IsSkipEntity(hit.HitId) || CheckPowerUpPickup(hit.HitId) || hit.HitId == held)
            continue;

        const int id = hit.HitId;
        const Vector at = Arsenal.GravityBeam->CurrentPosition();
        Level.ShotsHit += 1;
        // Every hit routine acts only on its own meshes.
        if (id == Level.BattleshipId) BattleshipHit(id, 10000.0, at);
        ScoutHit(id, 25000, at);
        AlienHit(id, 25000.0f, at);
        if (id == Level.MothershipId) MothershipHit(id, 10000.0f, at);
        StationHit(id, at);
        GravityBeamHitAsteroid(id);
        if (IsAlienMesh(held)) {
            StopSound("aliengib");
            ScoutHit(held, 25000, at);
            AlienHit(held, 25000.0f, at);
        } else {
            GravityBeamHitAsteroid(held);
            StopSound("aliengib");
        }
        Arsenal.GravityBeam->Init();
        break;
    }
}

void TryGrab() {
    for (std::size_t k = 1; k < Flight.ProbeRays.size(); ++k) {
        const HitInfoRec hit = MeshObj->RayHit(Flight.ProbeRays[k], 3, GrabReach, 0, 0, true);
        if (!hit.HitFlag || IsSkipEntity(hit.HitId) || CheckPowerUpPickup(hit.HitId)) continue;
        Flight.GrabCandidate = hit.HitId;
        if (!IsTargetMesh(Flight.GrabCandidate)) continue;
        Arsenal.GravityBeam->Grab(Flight.GrabCandidate);
        PlaySound("gravgrab");
        Level.TutorialSteps[TutGrabbed] = true;
        if (IsAlienMesh(Flight.GrabCandidate)) PlaySound("aliengib");
        break;
    }
}

}  // namespace

void RunGravityBeamControl() {
    HideBeamImages();
    if (!Arsenal.GravityBeam) return;
    const AxisSet axes = GetMeshAxes("hold");

    if (Flight.GravBeamSelected) {
        Arsenal.GravityBeam->Poll(Ship.CamBasis.CamPos, Campaign.FrameFactor, axes.AxisRight, axes.AxisUp,
                                  axes.AxisFront);
        if (!Arsenal.GravityBeam->Holding()) {
            PlaySound("gravbeam", true);
            Humming = true;
            ScrollGravityBeam(axes);
        }
        if (Arsenal.GravityBeam->BeingThrown()) MoveThrownObject();
    }

    if (Flight.GravBeamFiring) {
        ScrollGravityBeam(axes);
        if (!Arsenal.GravityBeam->BeingThrown() && !Arsenal.GravityBeam->Holding()) TryGrab();
        if (Arsenal.GravityBeam->Holding() && Flight.ThrowArmed) {
            Arsenal.GravityBeam->Throw(ThrowRange);
            Flight.ThrowArmed = false;
            PlaySound("gravshoot");
        }
    }

    if (Arsenal.GravityBeam->Holding() && !Flight.GravBeamFiring) Flight.ThrowArmed = true;

    if (Campaign.CurrentWeapon != 8) Flight.GravBeamSelected = false;
    // The beam's hum would otherwise loop on after a change of weapon.
    if (!Flight.GravBeamSelected && Humming) {
        StopSound("gravbeam");
        Humming = false;
    }
}

}  // namespace quorvel
