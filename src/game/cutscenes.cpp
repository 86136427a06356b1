// The two camera cut-scenes inside a game run: the gold ship's jump after level 25's
// fight, which moves the run on to the second station, and the same jump after the
// last fight of level 50, which ends in the game-won pages.

#include <cmath>

#include "audio/audio.h"
#include "common/engine_objects.h"
#include "common/common.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

// The values that make the two cut-scenes differ.
struct CutsceneKind {
    float turnRate;    // degrees of orbit per frame unit
    double jumpAfter;  // seconds: the ship starts its jump
    double endAfter;   // seconds: the ship is gone, the level ends
    float jumpSpeed;   // backwards, per frame unit
};
constexpr CutsceneKind Gold{0.25f, 18, 23, 40};
constexpr CutsceneKind End{0.3f, 23, 27, 60};

void StartCutscene(const char* clip, double& startTime) {
    ResetCamera();
    if (MeshObj->SelectMesh("goldship")) {
        MeshObj->SetPosition(Vector{0, 0, 0});
        MeshObj->SetRotation(Vector{0, 0, 0});
        MeshObj->SetVisible(true);
    }
    if (DXAudioObj) {
        DXAudioObj->PauseBackground();
        DXAudioObj->PlayForeground(clip);
    }
    startTime = Campaign.FrameStartTime;
    Level.CutsceneRunning = true;
}

void OrbitCamera(float turnRate) {
    LevelEnd.CutsceneAngle += Campaign.FrameFactor * turnRate;
    if (LevelEnd.CutsceneAngle > 360) LevelEnd.CutsceneAngle -= 360;
    const float a = LevelEnd.CutsceneAngle * DegreesToRadians;
    LevelEnd.CutsceneCamPos = Vector{65 * std::cos(a), 70, 160 * std::sin(a)};
    CameraObj->SelectCameraById(0);
    CameraObj->SetCameraPosition(LevelEnd.CutsceneCamPos);
    CameraObj->CameraLookAt(Vector{0, 0, 0});
}

// The ship has jumped: the station it guarded goes, the second one becomes the
// station of the run, and the level ends as a finished level does.
void FinishCutscene() {
    Level.CutsceneRunning = false;
    if (MeshObj->SelectMesh(Level.StationMeshName)) MeshObj->SetVisible(false);
    SwitchToStation2();
    if (MeshObj->SelectMesh("goldship")) MeshObj->SetVisible(false);
    FinishCutsceneLevel();
}

// One frame of a running cut-scene.
void UpdateCutscene(const CutsceneKind& kind, double startTime, bool& jumpPlayed, bool endOfGame) {
    if (!Level.CutsceneRunning) return;
    OrbitCamera(kind.turnRate);
    // FrameStartTime never wraps, so the timeline ends across midnight too.
    const double t = Campaign.FrameStartTime - startTime;
    if (t <= kind.jumpAfter) return;
    if (!jumpPlayed) {
        if (DXAudioObj) {
            DXAudioObj->PlayForeground("hyperspace_to.wav");
            if (endOfGame) DXAudioObj->StopBackground();
        }
        jumpPlayed = true;
    }
    if (MeshObj->SelectMesh("goldship")) MeshObj->MoveForward(-kind.jumpSpeed * Campaign.FrameFactor);
    if (t <= kind.endAfter) return;
    if (endOfGame) ShowGameWon();
    FinishCutscene();
}

}  // namespace

void StartGoldShipCutscene() {
    StartCutscene("cutscene2.wma", LevelEnd.CutsceneStartTime);
    Level.GoldShipStarted = true;
}

void StartEndCutscene() {
    StartCutscene("end.wma", LevelEnd.EndCutsceneStartTime);
    LevelEnd.EndCutsceneStarted = true;
}

void UpdateGoldShipCutscene() {
    UpdateCutscene(Gold, LevelEnd.CutsceneStartTime, LevelEnd.GoldHyperspacePlayed, false);
}

void UpdateEndCutscene() {
    UpdateCutscene(End, LevelEnd.EndCutsceneStartTime, LevelEnd.EndHyperspacePlayed, true);
}

void SwitchToStation2() {
    Level.StationId = Level.Station2Id;
    Level.StationMeshName = "spacestation2";
}

}  // namespace quorvel
