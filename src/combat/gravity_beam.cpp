// The gravity beam's mover: pulls the grabbed object to the ship, holds it 350 units
// ahead of the camera and flies it along the ship's axis when thrown.

#include "combat/combat.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {

void clsZeroPoint::Init() {
    BeingGrabbed_ = false;
    BeingThrown_ = false;
    ThrowStarted = false;
    StopRequested = false;
    Holding_ = false;
    GrabbedMeshIndex_ = -1;  // nothing held
    ThrowSpeed = 225;
    PullRate = 0;
}

void clsZeroPoint::Throw(float range) {
    BeingThrown_ = true;
    BeingGrabbed_ = false;
    Holding_ = false;
    ThrowSpeed = 225;
    ThrowRange = range;
}

void clsZeroPoint::Grab(int meshId) {
    BeingGrabbed_ = true;
    BeingThrown_ = false;
    StopRequested = false;
    Holding_ = false;
    GrabbedMeshIndex_ = meshId;
    PullRate += 6 * LastFrameTime;  // the longer the beam stays on it, the faster the pull
}

void clsZeroPoint::Poll(const Vector& target, float frameTime, const Vector& right, const Vector& up,
                        const Vector& forward) {
    LastFrameTime = frameTime;

    if (BeingGrabbed_) {
        MeshObj->SelectMeshById(GrabbedMeshIndex_);
        MeshObj->LookAt(target);
        CurrentPosition_ = MeshObj->GetPosition();
        const float d = MathObj->Distance(CurrentPosition_, target);
        if (d >= 350 && PullRate < 30) {
            MeshObj->MoveForward(PullRate * 6 * frameTime, true, true);
            Holding_ = false;
        } else if (d >= 350) {
            MeshObj->MoveForward(200 * frameTime, true, true);
            Holding_ = false;
        } else {
            BeingGrabbed_ = false;
            Holding_ = true;
            PullRate = 0;
        }
    }

    if (Holding_) {
        MeshObj->SelectMeshById(GrabbedMeshIndex_);
        SavedAxes = MeshObj->GetOrientation();
        // The holder's forward axis points back at the player.
        MeshObj->SetPosition(target);
        MeshObj->SetOrientation(right, up, forward);
        MeshObj->MoveForward(-350, true, true);
        MeshObj->SetOrientation(SavedAxes);
        BeingThrown_ = false;
        PullRate = 0;
    }

    if (BeingThrown_) {
        MeshObj->SelectMeshById(GrabbedMeshIndex_);
        CurrentPosition_ = MeshObj->GetPosition();
        if (!ThrowStarted) {
            BeingGrabbed_ = false;
            Holding_ = false;
            ThrowStarted = true;
            CurThrowVR_ = right;
            CurThrowUP_ = up;
            CurThrowVD_ = forward;
        }
        const float d = MathObj->Distance(CurrentPosition_, target);
        if (d > 0.8f * ThrowRange) {
            ThrowSpeed -= 20 * frameTime;
            if (ThrowSpeed < 10) ThrowSpeed = 10;
        }
        if (d <= ThrowRange) {
            MeshObj->SetOrientation(CurThrowVR_, CurThrowUP_, CurThrowVD_);
            MeshObj->MoveForward(-frameTime * ThrowSpeed, true, true);
        } else {
            ThrowStarted = false;
            BeingThrown_ = false;
            GrabbedMeshIndex_ = -1;
        }
        PullRate = 0;
    }
}

}  // namespace quorvel
