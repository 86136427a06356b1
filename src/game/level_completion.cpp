// The end of a level: the completion test, the level bonus, the warp-out and the
// transition to the next level seven seconds later.

#include <algorithm>
#include <cmath>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

void PayLevelBonus() {
    ComputeLevelBonus();
    Money += LevelBonus;
}

// Clearing the leftover aliens pays nothing.
void HideAliensUnpaid() {
    const double money = Money;
    HideAllAliens();
    Money = money;
}

}  // namespace

void ComputeLevelBonus() {
    TimeLeft = std::floor(LevelTimeLimit - float(FrameStartTime - LevelStartTime));
    if (TimeLeft < 1) TimeLeft = 1;
    // No shot fired is no accuracy; beam throws hit without firing, so the ratio is
    // kept within a whole hundred.
    HitRatio = ShotsFired > 0 ? std::floor(ShotsHit / ShotsFired * 100.0f) : 0.0f;
    HitRatio = std::clamp(HitRatio, 0.0f, 100.0f);
    LevelBonus = CurrentLevel == 1 ? 0.0 : double(TimeLeft) * 2000.0 + double(HitRatio) * 2000.0;
}

void CheckLevelComplete() {
    if (LevelEnding) return;  // a finished level pays its bonus and warps out once
    if (AlienBattlePending() || AsteroidsLeft >= 1) return;
    if (MothershipLevel || GiantAsteroidPending || BattleshipActive || !CutsceneDone) return;

    HideAliensUnpaid();
    PayLevelBonus();
    if (DXAudioObj) {
        DXAudioObj->PauseBackground();
        DXAudioObj->PlayForeground("lvldone.wma");
    }
    StartShipWarpOut();
    LevelEnding = true;
}

void FinishCutsceneLevel() {
    if (LevelEnding) return;
    CutsceneDone = true;
    HideAliensUnpaid();
    PayLevelBonus();
    StartShipWarpOut();
    LevelEnding = true;
}

void StartShipWarpOut() {
    CameraObj->SelectCameraById(0);
    ShipPos = CameraObj->GetCameraPosition();
    MeshObj->SelectMesh("goldship");
    MeshObj->SetPosition(CamBasis.CamPos);
    MeshObj->SetOrientation(CamAxes);
    MeshObj->SetVisible(true);
    WarpOutStart = Nearest(FrameStartTime);
    if (CurrentLevel == 1) {
        // Leaving the training level: the real campaign starts with nothing bought.
        Money = 0;
        OwnsIon = OwnsMion = OwnsEplas = OwnsDisperse = OwnsGamma = OwnsGravBeam = false;
        CurrentWeapon = 2;
    }
}

void RunLevelTransition() {
    const float f = FrameFactor;
    CameraObj->SelectCameraById(0);
    if (InRange(CameraObj->GetCameraPosition(), ShipPos, 600)) {
        // Back away from the ship, rising and sliding left, turning to keep it in view.
        CameraObj->MoveCameraForward(-2 * f);
        CameraObj->MoveCameraUp(0.36f * f);
        CameraObj->MoveCameraRight(-0.9f * f);
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraPitch(-0.15f * f, 2);
        CameraObj->TurnCameraYaw(-0.3f * f, 2);
        CameraObj->SetCameraPosition(CamBasis.CamPos);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraPitch(0.15f * f, 2);
        CameraObj->TurnCameraYaw(0.3f * f, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnPitch(-0.15f * f, 2);
        MeshObj->TurnYaw(-0.3f * f, 2);
        UpdateCameraVectors();
    }
    if (BreakupRunning) UpdateAsteroidBreakup();

    if (FrameStartTime - WarpOutStart > 7.0) {
        ReloadEffectObjects();
        StartLevel();
        CheckShield();
        LevelEnding = false;
        ResetCamera();
        MeshObj->SelectMesh("goldship");
        MeshObj->SetVisible(false);
        if (DXAudioObj) DXAudioObj->ResumeBackground();
    }
}

}  // namespace quorvel
