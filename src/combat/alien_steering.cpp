// Alien steering: the ships turn by trial, keeping a small turn only when the
// distance measure toward their target moves the right way.

#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

AlienShip& AlienAt(int ship) {
    return AlienFleet.Aliens[std::size_t(ship)];
}

enum class Keep { Larger, Smaller };

// One trial: turn, re-read the rear point, measure toward the target; undo when the
// measure moved the wrong way. The body mesh is current.
bool Trial(AlienShip& a, bool pitch, float r, const Vector& target, float reference, Keep keep) {
    auto turn = [&](float d) { pitch ? MeshObj->TurnPitch(d, 2) : MeshObj->TurnYaw(d, 2); };
    turn(r);
    MeshObj->MoveForward(-10);
    a.RearPoint = MeshObj->GetPosition();
    MeshObj->MoveForward(10);
    AlienFleet.RearDistance = Distance(a.RearPoint, target);
    AlienFleet.BeyondDistance = Distance(a.BeyondPoint, target);
    AlienFleet.TrialFacingMeasure = AlienFleet.RearDistance - AlienFleet.BeyondDistance;
    const bool kept = keep == Keep::Larger ? AlienFleet.TrialFacingMeasure >= reference
                                           : AlienFleet.TrialFacingMeasure <= reference;
    if (!kept) turn(-r);
    return kept;
}

// Where the ship is, the point 10 behind it, and the point 10 beyond it straight away
// from `target` (the hold mesh, put where the ship is, looks at the target). The body
// mesh is current; the hold mesh is left current.
void SightToward(AlienShip& a, const Vector& target) {
    a.Position = MeshObj->GetPosition();
    MeshObj->MoveForward(-10);
    a.RearPoint = MeshObj->GetPosition();
    MeshObj->MoveForward(10);
    MeshObj->SelectMeshById(a.HoldMesh);
    MeshObj->SetPosition(a.Position);
    MeshObj->LookAt(target);
    MeshObj->MoveForward(-10);
    a.BeyondPoint = MeshObj->GetPosition();
}

void TrialTurns(AlienShip& a, float r, const Vector& target, float reference, Keep keep) {
    MeshObj->SelectMeshById(a.BodyMesh);
    if (!Trial(a, true, r, target, reference, keep)) Trial(a, true, -r, target, reference, keep);
    if (!Trial(a, false, r, target, reference, keep)) Trial(a, false, -r, target, reference, keep);
}

void StartAvoid(AlienShip& a, const Vector& point, float radius) {
    a.AvoidPoint = point;
    a.AvoidRadius = radius;
    a.AvoidState = true;
    a.MayShoot = false;
}

void StartBoost(AlienShip& a, const Vector& point, float radius, bool stopShooting) {
    a.AvoidPoint = point;
    a.AvoidRadius = radius;
    a.AvoidState = false;
    a.Boosting = true;
    a.BoostTimer = 0;
    if (stopShooting) a.MayShoot = false;
}

bool FlamingActive() {
    return Level.FlamingAsteroid && Level.FlamingAsteroid->Active_;
}

}  // namespace

int BreakOffDirFor(float r) {
    return int(sys::RoundHalfEven(7.0 * double(r) + 1.0));
}

void MeasureAlienToPlayer(int ship) {
    AlienShip& a = AlienAt(ship);
    const Vector cam = Ship.CamBasis.CamPos;
    MeshObj->SelectMeshById(a.BodyMesh);
    MeshObj->SetVisible(true);
    SightToward(a, cam);
    AlienFleet.RearDistance = Distance(a.RearPoint, cam);
    AlienFleet.BeyondDistance = Distance(a.BeyondPoint, cam);
    AlienFleet.FacingMeasure = AlienFleet.RearDistance - AlienFleet.BeyondDistance;
    // The rear point is never farther from the player than the beyond point, so the
    // measure is at most 0 and this never holds; the steering is built on that.
    AlienFleet.FacingTarget = AlienFleet.FacingMeasure >= 0.5f;
}

void CheckAlienObstacles(int ship) {
    AlienShip& a = AlienAt(ship);
    a.MayShoot = true;
    const Vector p = a.Position;
    // Only ships in play are obstacles: a destroyed ship's slot keeps its last place.
    auto otherShips = [&](float within, auto act) {
        for (int j = 1; j <= 10; ++j) {
            const AlienShip& o = AlienAt(j);
            if (j != ship && o.Active && InRange(p, o.Position, within)) act(o.Position);
        }
    };
    auto asteroids = [&](float within, auto act) {
        for (int i = 1; i <= Level.AsteroidCount && i < int(Level.Asteroids.size()); ++i) {
            const AsteroidRec& r = Level.Asteroids[std::size_t(i)];
            if (r.Active && InRange(p, r.Pos, within)) act(r.Pos);
        }
    };
    otherShips(150, [&](const Vector& q) { StartAvoid(a, q, 200); });
    if (FlamingActive() && InRange(p, Level.FlamingAsteroid->Position_, 500))
        StartAvoid(a, Level.FlamingAsteroid->Position_, 500);
    asteroids(500, [&](const Vector& q) { StartAvoid(a, q, 500); });
    if (InRange(p, Level.StationPos, 1100)) StartAvoid(a, Level.StationPos, 1150);

    if (InRange(p, Ship.CamBasis.CamPos, 50)) StartBoost(a, Ship.CamBasis.CamPos, 75, false);
    if (FlamingActive() && InRange(p, Level.FlamingAsteroid->Position_, 50))
        StartBoost(a, Level.FlamingAsteroid->Position_, 75, true);
    otherShips(50, [&](const Vector& q) { StartBoost(a, q, 75, true); });
    asteroids(50, [&](const Vector& q) { StartBoost(a, q, 75, true); });
    if (InRange(p, Level.StationPos, 1000)) StartBoost(a, Level.StationPos, 1050, true);
}

void SteerAlienApproach(int ship) {
    AlienShip& a = AlienAt(ship);
    MeshObj->SelectMeshById(a.BodyMesh);
    const float k = a.ShipType >= 4 ? 1.2f : 1.0f;
    AlienFleet.TurnRate = AlienFleet.FacingTarget ? 1.1f * k : 2 * AlienFleet.FacingMeasure * k;
    if (AlienFleet.RearDistance > 2000) AlienFleet.TurnRate = 0.6f * k;
    if (AlienFleet.RearDistance < 500) {
        a.Extending = true;
        return;
    }
    AlienFleet.TurnRate *= Campaign.FrameFactor;
    TrialTurns(a, AlienFleet.TurnRate, Ship.CamBasis.CamPos, AlienFleet.FacingMeasure, Keep::Larger);
}

void SteerAlienExtend(int ship) {
    AlienShip& a = AlienAt(ship);
    MeshObj->SelectMeshById(a.BodyMesh);
    AlienFleet.TurnRate = AlienFleet.FacingTarget ? 1.25f : 1.25f * AlienFleet.FacingMeasure;
    if (AlienFleet.RearDistance < 850) a.CloseTimer1 += Campaign.FrameFactor;
    if (AlienFleet.RearDistance < 1500) a.CloseTimer2 += Campaign.FrameFactor;
    if (AlienFleet.RearDistance < 1500) AlienFleet.TurnRate = 0.625f;
    if (AlienFleet.RearDistance < 700) AlienFleet.TurnRate = 1.5f;
    if (AlienFleet.RearDistance > 2000) {
        a.Extending = false;
        return;
    }
    if (Distance(a.Position, Vector{}) > 22000) {
        a.Extending = false;
        return;
    }
    AlienFleet.TurnRate *= Campaign.FrameFactor;
    TrialTurns(a, AlienFleet.TurnRate, Ship.CamBasis.CamPos, AlienFleet.FacingMeasure, Keep::Smaller);
}

void AlienBreakOff(int ship) {
    AlienShip& a = AlienAt(ship);
    MeshObj->SelectMeshById(a.BodyMesh);
    const float r = 3.75f * Campaign.FrameFactor;
    AlienFleet.TurnRate = r;
    if (a.BreakOffReset) {
        if (AlienFleet.RearDistance > 1900) {
            a.BreakOff = a.BreakOffReset = a.BreakOffDirSet = false;
            a.CloseTimer1 = a.CloseTimer2 = 0;
            return;
        }
    } else if (AlienFleet.RearDistance > 400) {
        a.BreakOff = a.BreakOffDirSet = false;
        a.CloseTimer1 = 0;
        return;
    }
    a.CloseTimer1 += Campaign.FrameFactor;
    if (a.CloseTimer1 > 70) {
        a.CloseTimer1 = 0;
        a.BreakOffDirSet = false;
    }
    if (!a.BreakOffDirSet) {
        a.BreakOffDirSet = true;
        a.BreakOffDir = BreakOffDirFor(RandomRange());
    }
    const float pitch[9] = {0, -r, r, 0, 0, -r, r, r, -r};
    const float yaw[9] = {0, 0, 0, -r, r, -r, r, -r, r};
    const int d = a.BreakOffDir >= 1 && a.BreakOffDir <= 8 ? a.BreakOffDir : 0;
    if (pitch[d] != 0) MeshObj->TurnPitch(pitch[d], 2);
    if (yaw[d] != 0) MeshObj->TurnYaw(yaw[d], 2);
}

void SteerAlienAvoid(int ship) {
    AlienShip& a = AlienAt(ship);
    MeshObj->SelectMeshById(a.BodyMesh);
    SightToward(a, a.AvoidPoint);
    MeshObj->SelectMeshById(a.BodyMesh);
    // From the ship itself, not its rear point: the obstacle's radius counts from there.
    AlienFleet.RearDistance = Distance(a.Position, a.AvoidPoint);
    AlienFleet.BeyondDistance = Distance(a.BeyondPoint, a.AvoidPoint);
    AlienFleet.TurnRate = Campaign.FrameFactor * (a.Boosting ? 4.4f : 2.2f);
    if (AlienFleet.RearDistance <= a.AvoidRadius) {
        // Reference: the untried heading's measure toward the obstacle, so a kept
        // turn brings the rear point nearer to it and the nose away.
        const float reference = Distance(a.RearPoint, a.AvoidPoint) - AlienFleet.BeyondDistance;
        TrialTurns(a, AlienFleet.TurnRate, a.AvoidPoint, reference, Keep::Smaller);
    } else {
        a.AvoidState = false;
    }
}

void UpdateAlienBoost(int ship) {
    AlienShip& a = AlienAt(ship);
    a.BoostTimer += Campaign.FrameFactor;
    if (a.BoostTimer > 20) {
        a.Boosting = false;
        a.Speed = a.MaxSpeed / 1.5f;
    }
    if (!InRange(a.Position, a.AvoidPoint, a.AvoidRadius)) {
        a.Boosting = false;
        a.Speed = a.MaxSpeed / 1.5f;
    }
}

void PlaceAlienAttachments(int ship) {
    AlienShip& a = AlienAt(ship);
    const Vector o = a.AttachOffset;
    MeshObj->SelectMeshById(a.BodyMesh);
    a.Position = MeshObj->GetPosition();
    MeshObj->MoveRight(o.x);
    MeshObj->MoveUp(o.y);
    MeshObj->MoveForward(o.z);
    const Vector left = MeshObj->GetPosition();
    MeshObj->SetPosition(a.Position);
    MeshObj->MoveRight(-o.x);
    MeshObj->MoveUp(o.y);
    MeshObj->MoveForward(o.z);
    const Vector right = MeshObj->GetPosition();
    MeshObj->SetPosition(a.Position);
    if (MeshObj->SelectMeshById(a.FlareMesh)) MeshObj->SetPosition(left);
    if (MeshObj->SelectMeshById(a.FlareMesh2)) {
        MeshObj->SetPosition(right);
        if (a.ShipType == 4) MeshObj->SetVisible(false);
    }
}

}  // namespace quorvel
