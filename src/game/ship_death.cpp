// The player's ship lost: the ship shown from outside, the camera pulling back, the
// explosion and the wreck drifting apart, then done for the game-over menu. A station
// lost to asteroid hits shows the station going up instead.

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

// The station's fireball: six times a kill's, 1200 units across, so that at its height
// it covers the whole station (about 950 across), drawn 500 nearer the eye than the
// station's centre so that its near half does not hide it. The view is placed far
// enough out to see the whole of it.
constexpr float StationFireballSize = 6;
constexpr float StationFireballLift = 500;
constexpr float StationViewDistance = 2000;

Vector StationPosition() {
    return MeshObj->SelectMeshById(Level.StationId) ? MeshObj->GetPosition() : Level.StationPos;
}

// The main camera out from the station on the side the player saw it from, looking at it.
void PlaceCameraFacingStation(const Vector& station) {
    CameraObj->SelectCameraById(0);
    Vector away = Normalise(CameraObj->GetCameraPosition() - station);
    if (Length(away) == 0) away = Normalise(Vector{0, 0.3f, 1});
    CameraObj->SetCameraPosition(station + away * StationViewDistance);
    CameraObj->CameraLookAt(station);
    UpdateCameraVectors();
}

void RunStationLoss(bool& done) {
    const float f = Campaign.FrameFactor;
    if (!Hazards.DeathSeqFlag) {
        const Vector station = StationPosition();
        PlaceCameraFacingStation(station);
        StartLossExplosion(station, StationFireballSize, StationFireballLift);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(station, 30, 5, 3, 6);
        PlayExplosionSound();
        Hazards.DeathSeqFlag = true;
    } else if (Level.ExplosionActive) {
        // The view eases back while the fireball grows.
        CameraObj->SelectCameraById(0);
        CameraObj->MoveCameraForward(-3 * f, true, true);
        UpdateCameraVectors();
    }
    // The play that moves the shock waves is held while a loss runs.
    if (Effects.ShockWave) Effects.ShockWave->Poll(f);
    if (Level.ExplosionActive) AnimateExplosionFlipbook();
    if (!Level.ExplosionActive) done = true;
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
    if (Hazards.ShipWreckPlaced || Hazards.StationLost) return;
    CameraObj->SelectCameraById(0);
    LevelEnd.ShipPos = CameraObj->GetCameraPosition();
    PlaceShipWreck();
}

void ExplodeStation() {
    // Where a station loss is shown: at the station, which goes up in a fireball that
    // covers it, seen from out on the player's side, rather than as the ship's wreck
    // wherever the player happened to be. The ship's wreck of a loss reported in the
    // same frame gives way to it.
    if (Hazards.StationLost) return;
    Hazards.StationLost = true;
    Hazards.ShipWreckPlaced = true;
    HideShipModel();
    SetBurningPartsVisible(false);
    for (int i = 1; i <= 20; ++i)
        if (MeshObj->SelectMesh("shipchk" + std::to_string(i))) MeshObj->SetVisible(false);
}

void RunShipDeath(bool& done) {
    if (Hazards.StationLost) {
        RunStationLoss(done);
        return;
    }
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
        UpdateCameraVectors();
        return;
    }
    // The fireball faces the camera where it is now: the play that keeps the camera's
    // record is held while a loss runs.
    UpdateCameraVectors();
    if (!Hazards.DeathSeqFlag) {
        StartLossExplosion(LevelEnd.ShipPos, 1, 10);
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
