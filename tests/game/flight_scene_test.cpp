// Flying in a real level: the generated content's ship holder, cameras, lens flare and
// station, driven by keys and mouse in the frame loop's order.

#include <gtest/gtest.h>

#include "common/common.h"
#include "game/game_run.h"
#include "platform/engine/scancodes.h"

namespace quorvel {
namespace {

class FlightInALevel : public test::GameRunTest {
  protected:
    void SetUp() override {
        GameRunTest::SetUp();
        if (IsSkipped()) return;
        test::LoadRunAt(2);
        Campaign.FrameFactor = 1;
        ResetFlightState();
        ResetCamera();
        Flight.MouseSensitivity = 1.56f;
        InputObj->SetMousePosition(100, 100, 0);
    }
    // One frame of play: the ship's flight as the frame loop runs it, then what the
    // frame draws of it.
    void Frame() {
        FrameObj->BeginFrame();
        RunShipFlight();
        FrameObj->RenderScene();
        DrawCollisionFlash();
        DrawFlightMessages();
        FrameObj->EndFrame();
    }
};

TEST_F(FlightInALevel, FlyTurnAndFirePlasma) {
    const Vector start = Ship.CamBasis.CamPos;
    for (int f = 1; f <= 60; f += 6)
        h.MouseMove(h.Frame() + f, 6, -3);
    h.KeyPress(h.Frame() + 1, key::W, 60);
    h.MouseButton(h.Frame() + 20, 0, true);
    for (int i = 0; i < 60; ++i)
        Frame();
    EXPECT_GT(Distance(Ship.CamBasis.CamPos, start), 100.0f);
    EXPECT_GT(Level.ShotsFired, 1);
    // The holder still looks back from the cockpit after all the turning.
    const Vector hold = GetMeshAxes("hold").AxisFront;
    EXPECT_NEAR(Dot(hold, Ship.CamBasis.CamFront), -1.0f, 1e-3f);
}

TEST_F(FlightInALevel, FlyingIntoTheStationBouncesOffIt) {
    MeshObj->SelectMeshById(Level.StationId);
    const Vector station = MeshObj->GetPosition();
    const Vector from = station + Vector{0, 0, 3000};
    CameraObj->SelectCameraById(0);
    CameraObj->SetCameraPosition(from);
    CameraObj->CameraLookAt(station);
    MeshObj->SelectMesh("hold");
    MeshObj->SetPosition(from);
    MeshObj->LookAt(from + Vector{0, 0, 3000});
    Ship.Invincible = false;
    h.KeyPress(h.Frame() + 1, key::W, 400);
    int frames = 0;
    while (!Flight.CollisionFlash && frames < 400) {
        Frame();
        ++frames;
    }
    ASSERT_TRUE(Flight.CollisionFlash);
    EXPECT_EQ(Flight.LastCollisionMesh, Level.StationId);
    EXPECT_LT(Ship.ShipSpeed, 0);
    EXPECT_LT(Distance(Ship.CamBasis.CamPos, station), 3000.0f);
}

}  // namespace
}  // namespace quorvel
