#pragma once
// Level 3 of the campaign, loaded with its station and asteroid field, and the ship in
// play on it: not lost, no explosion running, inside the bounds, a whole frame factor.

#include "game/game_run.h"
#include "platform/system/clock.h"

namespace quorvel::test {

// The main camera, and the ship with it, at the point.
inline void PutCamera(const Vector& at) {
    CameraObj->SelectCameraById(0);
    CameraObj->SetCameraPosition(at);
    Ship.CamBasis.CamPos = at;
}

class LevelInPlay : public GameRunTest {
  protected:
    void SetUp() override {
        GameRunTest::SetUp();
        if (IsSkipped()) return;
        LoadRunAt(3);
        Campaign.FrameFactor = 1;
        Campaign.FrameStartTime = sys::WallClock();
        Level.ExplosionActive = false;
        Level.ShipDestroyed = false;
        ClearBoundsAndFlyby();
    }
};

}  // namespace quorvel::test
