// World points to screen pixels, in front of the camera and behind it.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "support/harness.h"

namespace quorvel {
namespace {

class EngineProjection : public ::testing::Test {
  protected:
    void SetUp() override {
        cams_.SelectCamera("main");
        cams_.SetCameraPosition(0, 0, 0);
        cams_.CameraLookAt(0, 0, 10);
        cams_.SetLens(EngineMath().MakeLens(1, 150000, 90, -1, 0));
    }
    test::Harness harness_{1280, 1024};
    EngineCameras cams_;
};

TEST_F(EngineProjection, PointsInFrontLandWhereThePerspectiveSays) {
    // With a 90 degree vertical view, a point as far up as it is ahead lands on the
    // top edge; pixels are square, so the same offset sideways is 512 pixels right.
    struct Case {
        Vector world;
        Vector2 screen;
    };
    const Case cases[] = {
        {{0, 0, 10}, {640, 512}},   {{0, 10, 10}, {640, 0}},   {{0, -10, 10}, {640, 1024}},
        {{10, 0, 10}, {1152, 512}}, {{-5, 0, 20}, {512, 512}}, {{0, 0, 0.0001f}, {640, 512}},
    };
    for (const Case& c : cases) {
        const Vector2 p = cams_.ProjectToScreen(c.world);
        EXPECT_NEAR(p.x, c.screen.x, 1e-2) << c.world.x << "," << c.world.y << "," << c.world.z;
        EXPECT_NEAR(p.y, c.screen.y, 1e-2) << c.world.x << "," << c.world.y << "," << c.world.z;
    }
}

TEST_F(EngineProjection, APointBehindLandsWhereItsMirrorImageInFrontWould) {
    const Vector behind[] = {{3, -4, -10}, {100, 50, -0.5f}, {-7, 2, -1000}};
    for (const Vector& b : behind) {
        const Vector2 p = cams_.ProjectToScreen(b);
        const Vector2 mirror = cams_.ProjectToScreen({b.x, b.y, -b.z});
        EXPECT_NEAR(p.x, mirror.x, 1e-3);
        EXPECT_NEAR(p.y, mirror.y, 1e-3);
    }
    // On the camera's own plane the depth never falls below a small epsilon: finite.
    const Vector2 level = cams_.ProjectToScreen({5, 5, 0});
    EXPECT_TRUE(std::isfinite(level.x) && std::isfinite(level.y));
    const Vector2 at = cams_.ProjectToScreen({0, 0, 0});
    EXPECT_FLOAT_EQ(at.x, 640);
    EXPECT_FLOAT_EQ(at.y, 512);
}

TEST_F(EngineProjection, TheCameraTurnsAndViewportsShiftThePicture) {
    cams_.TurnCameraYaw(90);  // now looking along +X
    Vector2 p = cams_.ProjectToScreen({10, 0, 0});
    EXPECT_NEAR(p.x, 640, 1e-2);
    p = cams_.ProjectToScreen({10, 0, 10});  // +Z is now to the left
    EXPECT_NEAR(p.x, 128, 1e-2);

    // A camera with a viewport projects into that box.
    cams_.SelectCamera("miniCam");
    cams_.SetCameraPosition(0, 0, 0);
    cams_.CameraLookAt(0, 0, 10);
    cams_.SetViewport({1005, 25}, {1255, 235});
    p = cams_.ProjectToScreen({0, 0, 50});
    EXPECT_NEAR(p.x, 1130, 1e-2);
    EXPECT_NEAR(p.y, 130, 1e-2);
}

TEST_F(EngineProjection, WithNoCurrentCameraTheResultIsZero) {
    cams_.SelectCameraById(42);
    const Vector2 p = cams_.ProjectToScreen({0, 0, 10});
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

}  // namespace
}  // namespace quorvel
