// Every shot in flight moves once a frame, tests the stretch it covers for a hit,
// hands a hit to each target's own routine and ends at its range.

#include <span>
#include <string>

#include "assets/assets.h"
#include "combat/combat.h"
#include "common/engine_objects.h"
#include "common/world.h"

namespace quorvel {
namespace {

enum class Book { None, ByKey, ById, Texture };

struct Flight {
    std::span<ShotRec> shots;  // record 0 the weapon's state
    int last;                  // highest shot record
    bool readsAfterMove;       // otherwise the impact point lags one step behind the mesh
    Book book;
    const char* prefix;              // ByKey: key of frame n is prefix + n
    const std::array<int, 65>* ids;  // ById: mesh id of frame n
    float gain;                      // flip-book timer per frame factor
    int frames;
    float range;
    void (*hitAsteroid)(int);
    bool alienBeforeScout;  // plasma asks the aliens before the scout; the others last
    bool showOnSelect;      // eplas and gamma show the shot mesh as they pick it up
    bool hidesEveryPass;    // eplas hides its meshes at the start of every record's pass
    bool bookAfterTargets;  // eplas places its flip-book after the hit routines
    bool oneRay;            // disperse tests its aim ray alone
    int heavyDivisor;       // the boss-sized targets take DamagePerHit / this
};

bool SelectFrame(const Flight& f, int frame) {
    if (f.book == Book::ByKey) return MeshObj->SelectMesh(f.prefix + std::to_string(frame));
    // Frame 0 names no mesh of the book: never select an id from outside it.
    if (f.book == Book::ById && frame >= 1 && frame <= 64)
        return MeshObj->SelectMeshById((*f.ids)[std::size_t(frame)]);
    return false;
}

void HideFrame(const Flight& f, int frame) {
    if (SelectFrame(f, frame)) MeshObj->SetVisible(false);
}

void PlaceFrame(const Flight& f, const ShotRec& shot) {
    if (!SelectFrame(f, shot.AnimFrame)) return;
    MeshObj->SetVisible(true);
    MeshObj->SetOrientation(shot.OrientRight, shot.OrientUp, shot.OrientFront);
    MeshObj->SetPosition(shot.CurrentPos);
}

void StepBook(const Flight& f, ShotRec& shot) {
    if (f.book == Book::Texture) {
        shot.AnimFrame += shot.AnimForward ? 1 : -1;
        if (shot.AnimFrame > f.frames) {
            shot.AnimForward = false;
            shot.AnimFrame = f.frames;
        }
        if (shot.AnimFrame < 1) {
            shot.AnimForward = true;
            shot.AnimFrame = 1;
        }
        shot.AnimTimer += Campaign.FrameFactor * f.gain;
        if (shot.AnimTimer > f.gain) {
            shot.AnimTimer = 0;
            MeshObj->SetTexture(0, "disp_tex" + std::to_string(shot.AnimFrame));
        }
        return;
    }
    if (f.book == Book::None) return;
    shot.AnimTimer += Campaign.FrameFactor * f.gain;
    if (shot.AnimTimer > 10) {
        HideFrame(f, shot.AnimFrame);
        shot.AnimFrame += 1;
        if (shot.AnimFrame > f.frames) shot.AnimFrame = 1;
        shot.AnimTimer = 0;
    }
}

HitInfoRec CastRays(const Flight& f, const ShotRec& shot, float reach) {
    HitInfoRec hit;
    const MeshIdSet& skip = SkipFilter();
    if (f.oneRay) {
        hit = MeshObj->RayHit(shot.AimRay, 3, reach, skip);
    } else {
        BuildBeamQuad(shot.AimRay.Origin, shot.AimRay.Dir);
        for (const RayRec& ray : Effects.BeamQuad) {
            hit = MeshObj->RayHit(ray, 3, reach, skip);
            if (hit.HitFlag) break;
        }
    }
    return hit;
}

// Every target routine acts only on its own meshes, so all of them are asked; the
// asteroid routine ends the shot whatever it struck.
void Dispatch(const Flight& f, int s) {
    ShotRec& shot = f.shots[std::size_t(s)];
    const int id = shot.LastHit.HitId;
    const int damage = f.shots[0].DamagePerHit;
    const int heavy = damage / f.heavyDivisor;
    const Vector point = shot.CurrentPos;
    Level.ShotsHit += 1;
    GiantAsteroidHit(id, float(heavy), point);
    FlamingAsteroidHit(id, damage, point);
    BattleshipHit(id, double(heavy), point);
    if (f.alienBeforeScout) AlienHit(id, float(damage), point);
    ScoutHit(id, float(damage), point);
    MothershipHit(id, float(heavy), point);
    StationHit(id, point);
    f.hitAsteroid(s);
    if (!f.alienBeforeScout) AlienHit(id, float(damage), point);
}

void UpdateShot(const Flight& f, int s, float speed) {
    ShotRec& shot = f.shots[std::size_t(s)];
    if (f.hidesEveryPass) {
        if (MeshObj->SelectMeshById(shot.MeshId)) MeshObj->SetVisible(false);
        if (!shot.Active) HideFrame(f, shot.AnimFrame);
    }
    if (!shot.Active) return;

    const float step = Campaign.FrameFactor * speed;
    MeshObj->SelectMeshById(shot.MeshId);
    if (f.showOnSelect) MeshObj->SetVisible(true);
    const Vector start = MeshObj->GetPosition();
    shot.CurrentPos = start;
    shot.AimRay.Origin = start;
    MeshObj->SelectMeshById(shot.MeshId);
    MeshObj->MoveForward(-step, true, true);  // shots fly along their back axis
    if (f.readsAfterMove) shot.CurrentPos = MeshObj->GetPosition();
    StepBook(f, shot);

    shot.LastHit = CastRays(f, shot, step + Ship.ShotHitMargin);
    if (!f.bookAfterTargets) PlaceFrame(f, shot);
    if (shot.LastHit.HitFlag && !IsSkipEntity(shot.LastHit.HitId)) Dispatch(f, s);
    // Shown even when the hit has just ended the shot; the next pass hides it.
    if (f.bookAfterTargets) PlaceFrame(f, shot);

    // The range counts from where the shot stood at the start of the frame.
    if (Distance(shot.LaunchPos, start) > f.range) {
        shot.Active = false;
        if (MeshObj->SelectMeshById(shot.MeshId)) MeshObj->SetVisible(false);
        if (f.book == Book::ByKey || f.book == Book::ById) HideFrame(f, shot.AnimFrame);
    }
}

void UpdateShots(const Flight& f, float speed) {
    for (int s = 1; s <= f.last; ++s)
        UpdateShot(f, s, speed);
}

}  // namespace

void UpdatePlasmaShots(float& speed) {
    UpdateShots({Arsenal.PlasmaShots, 14, true, Book::ByKey, "plasanim", nullptr, 10, 32, 2000,
                 PlasmaHitAsteroid, true, false, false, false, false, 1},
                speed);
}
void UpdateLaserShots(float& speed) {
    UpdateShots({Arsenal.LaserShots, 14, false, Book::None, nullptr, nullptr, 0, 0, 2000, LaserHitAsteroid,
                 false, false, false, false, false, 1},
                speed);
}
void UpdateIonShots(float& speed) {
    UpdateShots({Arsenal.IonShots, 14, true, Book::ByKey, "ianim", nullptr, 10, 64, 2000, IonHitAsteroid,
                 false, false, false, false, false, 1},
                speed);
}
void UpdateMionShots(float& speed) {
    UpdateShots({Arsenal.MionShots, 14, false, Book::ById, nullptr, &Arsenal.MionAnimMeshes, 20, 64, 2000,
                 MionHitAsteroid, false, false, false, false, false, 1},
                speed);
}
void UpdateEplasShots(float& speed) {
    UpdateShots({Arsenal.EplasShots, 14, true, Book::ById, nullptr, &Arsenal.EPlasmaMeshes, 10, 64, 2000,
                 EplasHitAsteroid, false, true, true, true, false, 1},
                speed);
}
void UpdateGammaShots(float& speed) {
    UpdateShots({Arsenal.GammaShots, 14, false, Book::ByKey, "ganim", nullptr, 20, 64, 3000, GammaHitAsteroid,
                 false, true, false, false, false, 1},
                speed);
}
void UpdateDisperseShots(float& speed) {
    UpdateShots({Arsenal.DisperseShots, 70, false, Book::Texture, nullptr, nullptr, 25, 2, 1500,
                 DisperseHitAsteroid, false, false, false, false, true, 5},
                speed);
}

}  // namespace quorvel
