// The station's four force fields (the model shown where the ship recharges) and the
// radar dish that turns on the first station.

#include <string>

#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {
void DetailStages() {
    if (Display.GraphicsLevel == 1) return;
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
    const int nextLevel = Campaign.CurrentLevel + 1;
    const std::string mesh = sys::ProgramFolder() + "\\mesh\\";

    ForceField.FieldMesh = AnimMeshObj->LoadModel(mesh + "ff.md2", "ffmd");
    if (ForceField.FieldMesh >= 0) {
        AnimMeshObj->SetPosition(0, -250, -1000);
        AnimMeshObj->SetScale(10, 10, 10);
        AnimMeshObj->SetModelSwitch(1);
        AnimMeshObj->SetStageTextureId(0, Level.ForceFieldTexture);
        DetailStages();
        AnimMeshObj->SetModelOption(1);
        AnimMeshObj->SetMaterial("matmax");
        ForceField.FieldFrameMax = float(AnimMeshObj->GetFrameCount() - 1);
        AnimMeshObj->SetModelAxis(MathObj->MakeVector(0, 1, 0), 1.0f, 1, 2, 2, 2);
        AnimMeshObj->SetVisible(false);
    }

    ForceField.RadarMesh = -1;
    if (nextLevel < 26) {
        ForceField.RadarMesh = AnimMeshObj->LoadModel(mesh + "radar.md2", "radar");
        if (ForceField.RadarMesh >= 0) {
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

    if (ForceField.FieldMesh >= 0 && AnimMeshObj->SelectModelById(ForceField.FieldMesh)) {
        AnimMeshObj->SetVisible(false);
        AnimMeshObj->SetFrameOptions(0, 0);
        AnimMeshObj->SetFrameRange(1, std::to_string(AnimMeshObj->GetFrameCount() - 1));
    }

    // The fields stand 100 higher beside the second station.
    const float y = (nextLevel < 26 ? 100.0f : 200.0f) - 475.12f;
    ForceField.FieldPoints[1] = {928, y, -3100};
    ForceField.FieldPoints[2] = {600, y, -2765};
    ForceField.FieldPoints[3] = {600, y, -3435};
    ForceField.FieldPoints[4] = {272, y, -3100};
    ForceField.FieldAnimDone = false;
}

void FindNearForceField() {
    Ship.InForceField = false;
    for (int k = 1; k <= 4; ++k)
        if (InRange(Ship.CamBasis.CamPos, ForceField.FieldPoints[std::size_t(k)], 100)) {
            ForceField.FieldPoint = ForceField.FieldPoints[std::size_t(k)];
            Ship.InForceField = true;
            return;
        }
}

void UpdateForceFieldAnim() {
    FindNearForceField();
    if (!Ship.InForceField) {
        ForceField.FieldAnimDone = false;
        ForceField.FieldFrame = 0;
        if (AnimMeshObj->SelectModelById(ForceField.FieldMesh)) {
            AnimMeshObj->SetVisible(false);
            AnimMeshObj->SetFrameBlend(0, 1, ForceField.FieldFrame);
        }
    } else if (ForceField.FieldAnimDone) {
        if (AnimMeshObj->SelectModelById(ForceField.FieldMesh)) AnimMeshObj->SetVisible(true);
    } else {
        ForceField.FieldFrame += Campaign.FrameFactor;
        if (ForceField.FieldFrame <= ForceField.FieldFrameMax) {
            if (AnimMeshObj->SelectModelById(ForceField.FieldMesh)) {
                AnimMeshObj->SetVisible(true);
                AnimMeshObj->SetPosition(ForceField.FieldPoint);
                AnimMeshObj->SetFrameBlend(0, 1, ForceField.FieldFrame);
            }
        } else {
            ForceField.FieldAnimDone = true;
            ForceField.FieldFrame = ForceField.FieldFrameMax;
        }
    }
    if (Campaign.CurrentLevel < 26 && AnimMeshObj->SelectModelById(ForceField.RadarMesh)) {
        AnimMeshObj->SetVisible(true);
        PlayWholeAnimation();
        AnimMeshObj->SetFrameBlend(0, 0, Campaign.FrameFactor);
    }
}

ForceFieldRecord ForceField;

}  // namespace quorvel
