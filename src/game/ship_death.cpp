// The player's ship lost: the ship shown from outside, the camera pulling back, the
// explosion and the wreck drifting apart, then done for the game-over menu.

#include <string>

#include "assets/assets.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/ship_wreck.h"
#include "game/state.h"

namespace quorvel {
namespace {

void SetBurningPartsVisible(bool visible) {
    for (int i = 1; i <= 4; ++i)
        if (MeshObj->SelectMesh("redexp" + std::to_string(i))) MeshObj->SetVisible(visible);
}

void HideShipModel() {
    if (MeshObj->SelectMesh("goldship")) MeshObj->SetVisible(false);
}

}  // namespace

void PlaceShipWreck() {
    // The ship, its parts and its chunks all at one point, so the enforcer's line
    // through the ship meets the model itself.
    if (MeshObj->SelectMesh("goldship")) {
        MeshObj->SetPosition(LevelEnd.ShipPos);
        MeshObj->SetOrientation(Ship.CamAxes);
        MeshObj->SetVisible(true);
    }
    for (int i = 1; i <= 4; ++i) {
        if (!MeshObj->SelectMesh("redexp" + std::to_string(i))) continue;
        MeshObj->SetPosition(LevelEnd.ShipPos);
        MeshObj->SetOrientation(Ship.CamAxes);
        MeshObj->SetVisible(false);
    }
    for (int i = 1; i <= 20; ++i) {
        if (!MeshObj->SelectMesh("shipchk" + std::to_string(i))) continue;
        MeshObj->SetPosition(LevelEnd.ShipPos);
        MeshObj->SetRotation(RandomDirection());
        MeshObj->SetVisible(true);
    }
    Hazards.ShipWreckPlaced = true;
}

void ExplodeShip() {
    // Several routines may report the same loss in one frame: the first places the wreck.
    if (Hazards.ShipWreckPlaced) return;
    CameraObj->SelectCameraById(0);
    LevelEnd.ShipPos = CameraObj->GetCameraPosition();
    PlaceShipWreck();
}

void RunShipDeath(bool& done) {
    // A loss reported without the wreck still shows the ship where it was lost.
    if (!Hazards.ShipWreckPlaced) ExplodeShip();
    const float f = Campaign.FrameFactor;
    Effects.ExplosionMode = 2;
    CameraObj->SelectCameraById(0);
    if (InRange(CameraObj->GetCameraPosition(), LevelEnd.ShipPos, 175)) {
        // Back away from the ship first, turning the view to keep it in sight.
        CameraObj->MoveCameraForward(-8 * f, true, true);
        CameraObj->MoveCameraUp(2 * f, true, true);
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraPitch(-1.2f * f, 2);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraPitch(1.2f * f, 2);
        return;
    }
    if (!Hazards.DeathSeqFlag && !Level.ExplosionActive) {
        StartExplosionAt(LevelEnd.ShipPos);
        Effects.ExplosionMode = 2;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        HideShipModel();
        Hazards.DeathSeqFlag = true;
    }
    if (Level.ExplosionActive) AnimateExplosionFlipbook();
    if (Level.ExplosionActive) {
        SetBurningPartsVisible(true);
        HideShipModel();
        AnimateShipDebris();
    } else {
        done = true;
    }
}

void AnimateShipDebris() {
    const float s = 2 * Campaign.FrameFactor;
    struct Drift {
        float right, up;
    };
    static constexpr Drift drifts[5] = {{0, 0}, {-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (int i = 1; i <= 4; ++i) {
        if (!MeshObj->SelectMesh("redexp" + std::to_string(i))) continue;
        MeshObj->MoveRight(drifts[i].right * s, true, true);
        MeshObj->MoveUp(drifts[i].up * s, true, true);
    }
    for (int i = 1; i <= 20; ++i)
        if (MeshObj->SelectMesh("shipchk" + std::to_string(i)))
            MeshObj->MoveForward(-5 * Campaign.FrameFactor, true, true);
}

}  // namespace quorvel
