// Axes, moves, turns and look-at, for meshes and cameras alike.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "support/harness.h"

namespace quorvel {
namespace {

void ExpectNear(const Vector& a, const Vector& b, const char* what) {
    EXPECT_NEAR(a.x, b.x, 1e-4) << what;
    EXPECT_NEAR(a.y, b.y, 1e-4) << what;
    EXPECT_NEAR(a.z, b.z, 1e-4) << what;
}

Vector Row(const Matrix4& m, int r) {
    return {m(r, 0), m(r, 1), m(r, 2)};
}

class EnginePlacement : public ::testing::Test {
  protected:
    test::Harness harness_;
    EngineMeshes meshes_;
};

TEST_F(EnginePlacement, ANewItemHasTheWorldAxesAndTheMatrixHoldsAxesThenPosition) {
    meshes_.CreateMesh("n");
    meshes_.SetPosition(4, 5, 6);
    const Matrix4 m = meshes_.GetMatrix();
    ExpectNear(Row(m, 0), {1, 0, 0}, "row 1 right");
    ExpectNear(Row(m, 1), {0, 1, 0}, "row 2 up");
    ExpectNear(Row(m, 2), {0, 0, 1}, "row 3 front");
    ExpectNear(Row(m, 3), {4, 5, 6}, "row 4 position");
    EXPECT_EQ(m(3, 3), 1);
}

TEST_F(EnginePlacement, MovesGoAlongTheOwnAxesByWorldUnitsWhateverTheScale) {
    meshes_.CreateMesh("n");
    meshes_.SetScale(5, 0.5f, 20);
    meshes_.TurnYaw(90);  // front now +X, right -Z
    meshes_.MoveForward(10);
    ExpectNear(meshes_.GetPosition(), {10, 0, 0}, "forward");
    meshes_.MoveRight(3);
    ExpectNear(meshes_.GetPosition(), {10, 0, -3}, "right");
    meshes_.MoveUp(-2, true, true);
    ExpectNear(meshes_.GetPosition(), {10, -2, -3}, "up");
}

// Each turn of 90 degrees from the world axes, and where the axes end up.
TEST_F(EnginePlacement, TurnsGoAboutTheOwnAxesInOneSense) {
    struct Case {
        const char* what;
        std::function<void()> turn;
        Vector right, up, front;
    };
    const Case cases[] = {
        {"yaw turns the front toward the right",
         [&] { meshes_.TurnYaw(90); },
         {0, 0, -1},
         {0, 1, 0},
         {1, 0, 0}},
        {"pitch turns the front down", [&] { meshes_.TurnPitch(90); }, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
        {"roll turns the right axis up", [&] { meshes_.TurnRoll(90); }, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
        // After a yaw the pitch goes about the turned right axis, not the world's X.
        {"pitch after yaw is about the own right axis",
         [&] {
             meshes_.TurnYaw(90);
             meshes_.TurnPitch(90);
         },
         {0, 0, -1},
         {1, 0, 0},
         {0, -1, 0}},
        // Mode 1 turns about the world's axes instead.
        {"world-axis pitch after yaw",
         [&] {
             meshes_.TurnYaw(90);
             meshes_.TurnPitch(90, 1);
         },
         {0, 1, 0},
         {0, 0, 1},
         {1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        meshes_.CreateMesh(c.what);
        c.turn();
        const AxisSet a = meshes_.GetOrientation();
        ExpectNear(a.AxisRight, c.right, "right");
        ExpectNear(a.AxisUp, c.up, "up");
        ExpectNear(a.AxisFront, c.front, "front");
    }
}

TEST_F(EnginePlacement, ManySmallTurnsKeepTheAxesSquareAndUnitLength) {
    meshes_.CreateMesh("n");
    for (int i = 0; i < 10000; ++i) {
        meshes_.TurnPitch(0.37f);
        meshes_.TurnYaw(-1.3f);
        meshes_.TurnRoll(2.1f);
    }
    const AxisSet a = meshes_.GetOrientation();
    EXPECT_NEAR(Dot(a.AxisRight, a.AxisRight), 1, 1e-4);
    EXPECT_NEAR(Dot(a.AxisFront, a.AxisFront), 1, 1e-4);
    EXPECT_NEAR(Dot(a.AxisRight, a.AxisFront), 0, 1e-4);
    EXPECT_NEAR(Dot(a.AxisUp, a.AxisFront), 0, 1e-4);
}

TEST_F(EnginePlacement, RotationIsRollThenPitchThenYawAboutTheWorldAxes) {
    meshes_.CreateMesh("turned");
    meshes_.SetRotation(30, 50, 70);
    const AxisSet set = meshes_.GetOrientation();
    meshes_.CreateMesh("stepped");
    meshes_.TurnRoll(70, 1);
    meshes_.TurnPitch(30, 1);
    meshes_.TurnYaw(50, 1);
    const AxisSet stepped = meshes_.GetOrientation();
    ExpectNear(set.AxisRight, stepped.AxisRight, "right");
    ExpectNear(set.AxisFront, stepped.AxisFront, "front");
    // A second rotation replaces the first rather than adding to it.
    meshes_.SetRotation(0, 0, 0);
    ExpectNear(meshes_.GetOrientation().AxisFront, {0, 0, 1}, "reset");
}

TEST_F(EnginePlacement, LookAtTurnsTheFrontSoThatMovingForwardApproaches) {
    const Vector targets[] = {{100, 0, 0}, {-30, 40, -50}, {0, 500, 0}, {0, -1, 0}, {3, 2, 1}};
    for (const Vector& t : targets) {
        meshes_.CreateMesh("looker");
        meshes_.SetPosition(0, 0, 0);
        meshes_.TurnRoll(33);  // a rolled item still ends up pointing at the target
        meshes_.LookAt(t);
        const float before = Distance(meshes_.GetPosition(), t);
        meshes_.MoveForward(before * 0.5f);
        EXPECT_NEAR(Distance(meshes_.GetPosition(), t), before * 0.5f, before * 1e-4) << t.x << "," << t.y;
    }
    // Level targets keep the world's up.
    meshes_.CreateMesh("level");
    meshes_.LookAt(-10, 0, 10);
    ExpectNear(meshes_.GetOrientation().AxisUp, {0, 1, 0}, "up stays up");
    // Looking at its own position changes nothing.
    meshes_.LookAt(0, 0, 0);
    EXPECT_FALSE(std::isnan(meshes_.GetOrientation().AxisFront.x));
}

TEST_F(EnginePlacement, SetOrientationTakesAnotherItemsAxes) {
    meshes_.CreateMesh("a");
    meshes_.SetRotation(10, 20, 30);
    const AxisSet a = meshes_.GetOrientation();
    meshes_.CreateMesh("b");
    meshes_.SetOrientation(a.AxisRight, a.AxisUp, a.AxisFront);
    const AxisSet b = meshes_.GetOrientation();
    ExpectNear(b.AxisRight, a.AxisRight, "right");
    ExpectNear(b.AxisUp, a.AxisUp, "up");
    ExpectNear(b.AxisFront, a.AxisFront, "front");
    // Degenerate axes are refused rather than stored.
    meshes_.SetOrientation({0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    ExpectNear(meshes_.GetOrientation().AxisFront, a.AxisFront, "unchanged");
}

TEST_F(EnginePlacement, CamerasFollowTheSameRules) {
    EngineCameras cams;
    cams.SelectCamera("main");
    cams.SetCameraPosition(0, 0, 1);
    cams.CameraLookAt(0, 0, 0);
    Matrix4 m = cams.GetCameraMatrix();
    ExpectNear(Row(m, 2), {0, 0, -1}, "looks back at the origin");
    ExpectNear(Row(m, 0), {-1, 0, 0}, "its right is then -X");
    cams.MoveCameraForward(1);
    ExpectNear(cams.GetCameraPosition(), {0, 0, 0}, "forward reaches the origin");
    cams.TurnCameraYaw(90);
    cams.MoveCameraForward(2);
    ExpectNear(cams.GetCameraPosition(), {-2, 0, 0}, "yawed right of -Z is -X");
    cams.TurnCameraRoll(90);
    cams.TurnCameraPitch(90);
    cams.MoveCameraUp(1);
    cams.MoveCameraRight(1);
    m = cams.GetCameraMatrix();
    ExpectNear(Row(m, 3), cams.GetCameraPosition(), "row 4 is the position");
}

TEST_F(EnginePlacement, SpinsTurnTheItemAsScenesRender) {
    meshes_.CreateMesh("spinner");
    meshes_.SetMeshMotion({0, 1, 0}, 1.5f, 1, 2, 2, 2);  // 1.5 degrees per 1/60 s about its up
    harness_.RunFrames(61);                              // 60 frame intervals
    const Vector f = meshes_.GetOrientation().AxisFront;
    EXPECT_NEAR(f.x, std::sin(90 * 0.0174532925f), 1e-3);
    EXPECT_NEAR(f.z, std::cos(90 * 0.0174532925f), 1e-3);
}

}  // namespace
}  // namespace quorvel
