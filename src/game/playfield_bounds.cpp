// The play field is a cube around the origin: beyond 12000 on an axis a warning sounds,
// beyond 18000 the enforcer comes for the ship.

#include "assets/assets.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/ship_wreck.h"
#include "game/state.h"

namespace quorvel {
namespace {

constexpr float WarnBound = 12000;
constexpr float OuterBound = 18000;

Vector PlayerPosition() {
    CameraObj->SelectCameraById(0);
    return CameraObj->GetCameraPosition();
}

bool Beyond(const Vector& p, float bound) {
    return p.x > bound || p.y > bound || p.z > bound || p.x < -bound || p.y < -bound || p.z < -bound;
}

void WarnTooFar() {
    if (Hazards.OutOfBounds) return;
    Hazards.PastWarnBound = Beyond(PlayerPosition(), WarnBound);
    if (Hazards.PastWarnBound && !Hazards.TooFarSounded) {
        SoundObj->SelectSound("toofar");
        SoundObj->PlaySound(0, true);
        Hazards.TooFarSounded = true;
    }
    if (!Hazards.PastWarnBound) {
        // Back inside: the warning stops, and the next crossing starts it again.
        if (Hazards.TooFarSounded && SoundObj->SelectSound("toofar")) SoundObj->StopSound();
        Hazards.TooFarSounded = false;
    }
}

// A new sequence starts with a fly-by of its own.
void ClearFlyby() {
    Hazards.FlybyActive = false;
    Hazards.FlybySounded = false;
    Hazards.FlybyShotCount = 0;
    Hazards.FlybyShipHit = false;
    Hazards.FlybyExplosionTime = 0;
    Hazards.FlybyExplosionOver = false;
}

// The ship is left where it crossed the bound, and the enforcer waits 1500 back along
// its own line through it with its shot ready.
void BoundsEnforcer() {
    LevelEnd.ShipPos = PlayerPosition();
    PlaceShipWreck();
    Vector a = LevelEnd.ShipPos;
    if (MeshObj->SelectMesh("alien2")) {
        MeshObj->SetVisible(true);
        MeshObj->SetPosition(LevelEnd.ShipPos);
        MeshObj->SetOrientation(Ship.CamAxes);
        MeshObj->TurnYaw(30, 2);
        MeshObj->TurnRoll(-30, 2);
        MeshObj->MoveForward(-1500, true, true);
        a = MeshObj->GetPosition();
    }
    if (MeshObj->SelectMesh("alienproj")) {
        MeshObj->SetVisible(true);
        MeshObj->SetPosition(a);
    }
    if (MeshObj->SelectMesh("aphold")) {
        MeshObj->SetVisible(true);
        MeshObj->SetPosition(a);
        MeshObj->SetOrientation(Ship.CamAxes);
        MeshObj->TurnYaw(30, 2);
    }
}

}  // namespace

void CheckPlayfieldBounds() {
    WarnTooFar();
    if (Hazards.OutOfBounds) return;
    if (!Beyond(PlayerPosition(), OuterBound)) return;
    ClearFlyby();
    BoundsEnforcer();
    Hazards.OutOfBounds = true;
}

void ClearBoundsAndFlyby() {
    Hazards.OutOfBounds = false;
    Hazards.PastWarnBound = false;
    Hazards.TooFarSounded = false;
    Hazards.WarningSounded = false;
    ClearFlyby();
    // A new life: its loss places a wreck and runs an explosion of its own.
    Hazards.ShipWreckPlaced = false;
    Hazards.StationLost = false;
    Hazards.DeathSeqFlag = false;
}

}  // namespace quorvel
