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
    MeshObj->SetOrientation(GravityBeam->CurThrowVR(), GravityBeam->CurThrowUP(), GravityBeam->CurThrowVD());
    MeshObj->SetPosition(GravityBeam->CurrentPosition());
    MeshObj->MoveForward(-150 * FrameFactor, true, true);
    const Vector p = MeshObj->GetPosition();
    TutorialSteps[TutThrown] = true;

    const Vector d = GravityBeam->CurThrowVD();
    constexpr float o = 0.03f;
    const float dx[5] = {0, o, -o, -o, o};
    const float dy[5] = {0, o, -o, o, -o};
    for (std::size_t k = 0; k < ThrowRays.size(); ++k)
        ThrowRays[k] = RayRec{p, {-d.x + dx[k], -d.y + dy[k], -d.z}};

    const int held = GravityBeam->GrabbedMeshIndex();
    for (const RayRec& ray : ThrowRays) {
        ShowEntity(held, false);
        const HitInfoRec hit = MeshObj->RayHit(ray, 3, ThrowReach, 0, 0, true);
        ShowEntity(held, true);
        if (!hit.HitFlag || IsSkipEntity(hit.HitId) || CheckPowerUpPickup(hit.HitId) || hit.HitId == held)
            continue;

        const int id = hit.HitId;
        const Vector at = GravityBeam->CurrentPosition();
        ShotsHit += 1;
        // Every hit routine acts only on its own meshes.
        if (id == BattleshipId) BattleshipHit(id, 10000.0, at);
        ScoutHit(id, 25000, at);
        AlienHit(id, 25000.0f, at);
        if (id == MothershipId) MothershipHit(id, 10000.0f, at);
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
        GravityBeam->Init();
        break;
    }
}

void TryGrab() {
    for (std::size_t k = 1; k < ProbeRays.size(); ++k) {
        const HitInfoRec hit = MeshObj->RayHit(ProbeRays[k], 3, GrabReach, 0, 0, true);
        if (!hit.HitFlag || IsSkipEntity(hit.HitId) || CheckPowerUpPickup(hit.HitId)) continue;
        GrabCandidate = hit.HitId;
        if (!IsTargetMesh(GrabCandidate)) continue;
        GravityBeam->Grab(GrabCandidate);
        PlaySound("gravgrab");
        TutorialSteps[TutGrabbed] = true;
        if (IsAlienMesh(GrabCandidate)) PlaySound("aliengib");
        break;
    }
}

}  // namespace

void RunGravityBeamControl() {
    HideBeamImages();
    if (!GravityBeam) return;
    const AxisSet axes = GetMeshAxes("hold");

    if (GravBeamSelected) {
        GravityBeam->Poll(CamBasis.CamPos, FrameFactor, axes.AxisRight, axes.AxisUp, axes.AxisFront);
        if (!GravityBeam->Holding()) {
            PlaySound("gravbeam", true);
            Humming = true;
            ScrollGravityBeam(axes);
        }
        if (GravityBeam->BeingThrown()) MoveThrownObject();
    }

    if (GravBeamFiring) {
        ScrollGravityBeam(axes);
        if (!GravityBeam->BeingThrown() && !GravityBeam->Holding()) TryGrab();
        if (GravityBeam->Holding() && ThrowArmed) {
            GravityBeam->Throw(ThrowRange);
            ThrowArmed = false;
            PlaySound("gravshoot");
        }
    }

    if (GravityBeam->Holding() && !GravBeamFiring) ThrowArmed = true;

    if (CurrentWeapon != 8) GravBeamSelected = false;
    // The beam's hum would otherwise loop on after a change of weapon.
    if (!GravBeamSelected && Humming) {
        StopSound("gravbeam");
        Humming = false;
    }
}

}  // namespace quorvel
