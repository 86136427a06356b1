// The station's four force fields (the model shown where the ship recharges) and the
// radar dish that turns on the first station.

#include <string>

#include "combat/combat.h"
#include "common/common.h"
#include "game/state.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"
#include "shell/shell.h"

namespace quorvel {

int FieldMesh = -1;
int RadarMesh = -1;
std::array<Vector, 5> FieldPoints{};
Vector FieldPoint;
bool FieldAnimDone = false;
float FieldFrame = 0;
float FieldFrameMax = 0;

namespace {
void DetailStages() {
    if (GraphicsLevel == 1) return;
    AnimMeshObj->SetStageTexture(1, "shipbump");
    AnimMeshObj->SetStageTexture(2, "masshock");
    AnimMeshObj->SetStageMode(1, 8);
    AnimMeshObj->SetStageMode(2, 9);
}
void PlayWholeAnimation() {
    AnimMeshObj->SetFrameRange(0, "0");
    AnimMeshObj->SetFrameRange(1, std::to_string(AnimMeshObj->GetFrameCount() - 1));
}
}  // namespace

void LoadForceFieldAndRadar() {
    const int nextLevel = CurrentLevel + 1;
    const std::string mesh = sys::ProgramFolder() + "\\mesh\\";

    FieldMesh = AnimMeshObj->LoadModel(mesh + "ff.md2", "ffmd");
    if (FieldMesh >= 0) {
        AnimMeshObj->SetPosition(0, -250, -1000);
        AnimMeshObj->SetScale(10, 10, 10);
        AnimMeshObj->SetModelSwitch(1);
        AnimMeshObj->SetStageTextureId(0, ForceFieldTexture);
        DetailStages();
        AnimMeshObj->SetModelOption(1);
        AnimMeshObj->SetMaterial("matmax");
        FieldFrameMax = float(AnimMeshObj->GetFrameCount() - 1);
        AnimMeshObj->SetModelAxis(MathObj->MakeVector(0, 1, 0), 1.0f, 1, 2, 2, 2);
        AnimMeshObj->SetVisible(false);
    }

    RadarMesh = -1;
    if (nextLevel < 26) {
        RadarMesh = AnimMeshObj->LoadModel(mesh + "radar.md2", "radar");
        if (RadarMesh >= 0) {
            AnimMeshObj->SetPosition(600, 480, -3100);
            AnimMeshObj->SetScale(8, 8, 8);
            AnimMeshObj->SetModelSwitch(0);
            AnimMeshObj->SetStageTexture(0, "radartex");
            DetailStages();
            AnimMeshObj->SetModelOption(1);
            AnimMeshObj->SetMaterial("matmax");
            AnimMeshObj->SetVisible(true);
            PlayWholeAnimation();
        }
    }

    if (FieldMesh >= 0 && AnimMeshObj->SelectModelById(FieldMesh)) {
        AnimMeshObj->SetVisible(false);
        AnimMeshObj->SetFrameOptions(0, 0);
        AnimMeshObj->SetFrameRange(1, std::to_string(AnimMeshObj->GetFrameCount() - 1));
    }

    // The fields stand 100 higher beside the second station.
    const float y = (nextLevel < 26 ? 100.0f : 200.0f) - 475.12f;
    FieldPoints[1] = {928, y, -3100};
    FieldPoints[2] = {600, y, -2765};
    FieldPoints[3] = {600, y, -3435};
    FieldPoints[4] = {272, y, -3100};
    FieldAnimDone = false;
}

void FindNearForceField() {
    InForceField = false;
    for (int k = 1; k <= 4; ++k)
        if (InRange(CamBasis.CamPos, FieldPoints[std::size_t(k)], 100)) {
            FieldPoint = FieldPoints[std::size_t(k)];
            InForceField = true;
            return;
        }
}

void UpdateForceFieldAnim() {
    FindNearForceField();
    if (!InForceField) {
        FieldAnimDone = false;
        FieldFrame = 0;
        if (AnimMeshObj->SelectModelById(FieldMesh)) {
            AnimMeshObj->SetVisible(false);
            AnimMeshObj->SetFrameBlend(0, 1, FieldFrame);
        }
    } else if (FieldAnimDone) {
        if (AnimMeshObj->SelectModelById(FieldMesh)) AnimMeshObj->SetVisible(true);
    } else {
        FieldFrame += FrameFactor;
        if (FieldFrame <= FieldFrameMax) {
            if (AnimMeshObj->SelectModelById(FieldMesh)) {
                AnimMeshObj->SetVisible(true);
                AnimMeshObj->SetPosition(FieldPoint);
                AnimMeshObj->SetFrameBlend(0, 1, FieldFrame);
            }
        } else {
            FieldAnimDone = true;
            FieldFrame = FieldFrameMax;
        }
    }
    if (CurrentLevel < 26 && AnimMeshObj->SelectModelById(RadarMesh)) {
        AnimMeshObj->SetVisible(true);
        PlayWholeAnimation();
        AnimMeshObj->SetFrameBlend(0, 0, FrameFactor);
    }
}

}  // namespace quorvel
