// Space dust that leap-frogs along the camera's path, the gravity beam's spinning
// overlay, and the bundle of rays a shot's path is tested with.

#include <string>

#include "assets/assets.h"
#include "common/common.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {

void UpdateStarscape() {
    if (Ship.ShipSpeed == 0) {
        MeshObj->SelectMesh("starscape1");
        MeshObj->SetVisible(false);
        MeshObj->SelectMesh("starscape2");
        MeshObj->SetVisible(false);
    } else {
        MeshObj->SelectMesh("starscape" + std::to_string(Effects.StarscapeIndex));
        MeshObj->SetVisible(true);
    }
    if (!InRange(Effects.StarscapeAnchor, Ship.CamBasis.CamPos, 400)) {
        Effects.StarscapeIndex += 1;
        if (Effects.StarscapeIndex > 2) Effects.StarscapeIndex = 1;
        MeshObj->SelectMesh("starscape" + std::to_string(Effects.StarscapeIndex));
        MeshObj->SetPosition(Ship.CamBasis.CamPos);
        MeshObj->SetOrientation(Ship.CamAxes.AxisRight, Ship.CamAxes.AxisUp, Ship.CamAxes.AxisFront);
        // Behind the camera: the dust cloud reaches far ahead of its origin.
        MeshObj->MoveForward(-350, true, true);
        Effects.StarscapeAnchor = MeshObj->GetPosition();
    }
}

void ScrollGravityBeam(const AxisSet&) {
    Draw2DObj->SelectImage("gravbeam1");
    Draw2DObj->RotateImage(Campaign.FrameFactor * 2);
    Draw2DObj->SetImageVisible(true);
    Draw2DObj->SelectImage("gravbeam2");
    Draw2DObj->RotateImage(-Campaign.FrameFactor * 1);
    Draw2DObj->SetImageVisible(true);
}

void BuildBeamQuad(const Vector& origin, const Vector& direction) {
    constexpr float d = 0.01f;
    // The spread is in world x and y whatever the direction.
    static constexpr float kX[5] = {0, 1, -1, -1, 1};
    static constexpr float kY[5] = {0, 1, -1, 1, -1};
    for (std::size_t i = 0; i < 5; ++i) {
        Effects.BeamQuad[i].Origin = origin;
        Effects.BeamQuad[i].Dir = {direction.x + kX[i] * d, direction.y + kY[i] * d, direction.z};
    }
}

}  // namespace quorvel
