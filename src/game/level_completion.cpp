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
    Campaign.Money += LevelEnd.LevelBonus;
}

// Clearing the leftover aliens pays nothing.
void HideAliensUnpaid() {
    const double money = Campaign.Money;
    HideAllAliens();
    Campaign.Money = money;
}

}  // namespace

void ComputeLevelBonus() {
    LevelEnd.TimeLeft =
        std::floor(Level.LevelTimeLimit - float(Campaign.FrameStartTime - Level.LevelStartTime));
    if (LevelEnd.TimeLeft < 1) LevelEnd.TimeLeft = 1;
    // No shot fired is no accuracy; beam throws hit without firing, so the ratio is
    // kept within a whole hundred.
    Level.HitRatio = Level.ShotsFired > 0 ? std::floor(Level.ShotsHit / Level.ShotsFired * 100.0f) : 0.0f;
    Level.HitRatio = std::clamp(Level.HitRatio, 0.0f, 100.0f);
    LevelEnd.LevelBonus = Campaign.CurrentLevel == 1
                              ? 0.0
                              : double(LevelEnd.TimeLeft) * 2000.0 + double(Level.HitRatio) * 2000.0;
}

void CheckLevelComplete() {
    if (LevelEnd.LevelEnding) return;  // a finished level pays its bonus and warps out once
    if (AlienBattlePending() || Level.AsteroidsLeft >= 1) return;
    if (Mothership.MothershipLevel || GiantAsteroid.GiantAsteroidPending || Battleship.BattleshipActive ||
        !Level.CutsceneDone)
        return;

    HideAliensUnpaid();
    PayLevelBonus();
    if (DXAudioObj) {
        DXAudioObj->PauseBackground();
        DXAudioObj->PlayForeground("lvldone.wma");
    }
    StartShipWarpOut();
    LevelEnd.LevelEnding = true;
}

void FinishCutsceneLevel() {
    if (LevelEnd.LevelEnding) return;
    Level.CutsceneDone = true;
    HideAliensUnpaid();
    PayLevelBonus();
    StartShipWarpOut();
    LevelEnd.LevelEnding = true;
}

void StartShipWarpOut() {
    CameraObj->SelectCameraById(0);
    LevelEnd.ShipPos = CameraObj->GetCameraPosition();
    MeshObj->SelectMesh("goldship");
    MeshObj->SetPosition(Ship.CamBasis.CamPos);
    MeshObj->SetOrientation(Ship.CamAxes);
    MeshObj->SetVisible(true);
    LevelEnd.WarpOutStart = Nearest(Campaign.FrameStartTime);
    if (Campaign.CurrentLevel == 1) {
        // Leaving the training level: the real campaign starts with nothing bought.
        Campaign.Money = 0;
        Campaign.OwnsIon = Campaign.OwnsMion = Campaign.OwnsEplas = Campaign.OwnsDisperse =
            Campaign.OwnsGamma = Campaign.OwnsGravBeam = false;
        Campaign.CurrentWeapon = 2;
    }
}

void RunLevelTransition() {
    const float f = Campaign.FrameFactor;
    CameraObj->SelectCameraById(0);
    if (InRange(CameraObj->GetCameraPosition(), LevelEnd.ShipPos, 600)) {
        // Back away from the ship, rising and sliding left, turning to keep it in view.
        CameraObj->MoveCameraForward(-2 * f);
        CameraObj->MoveCameraUp(0.36f * f);
        CameraObj->MoveCameraRight(-0.9f * f);
        CameraObj->SelectCameraById(1);
        CameraObj->TurnCameraPitch(-0.15f * f, 2);
        CameraObj->TurnCameraYaw(-0.3f * f, 2);
        CameraObj->SetCameraPosition(Ship.CamBasis.CamPos);
        CameraObj->SelectCameraById(0);
        CameraObj->TurnCameraPitch(0.15f * f, 2);
        CameraObj->TurnCameraYaw(0.3f * f, 2);
        MeshObj->SelectMesh("hold");
        MeshObj->TurnPitch(-0.15f * f, 2);
        MeshObj->TurnYaw(-0.3f * f, 2);
        UpdateCameraVectors();
    }
    if (Effects.BreakupRunning) UpdateAsteroidBreakup();

    if (Campaign.FrameStartTime - LevelEnd.WarpOutStart > 7.0) {
        ReloadEffectObjects();
        StartLevel();
        CheckShield();
        LevelEnd.LevelEnding = false;
        ResetCamera();
        MeshObj->SelectMesh("goldship");
        MeshObj->SetVisible(false);
        if (DXAudioObj) DXAudioObj->ResumeBackground();
    }
}

}  // namespace quorvel
