#include <gtest/gtest.h>

#include "common/shared.h"
#include "platform/engine/engine.h"

namespace quorvel {
namespace {

TEST(GetMeshAxes, GivesTheNamedMeshsAxesAndLeavesItCurrent) {
    EngineMeshes meshes;
    meshes.CreateMesh("hold");
    meshes.TurnYaw(90);
    meshes.TurnPitch(30);
    meshes.SetPosition(5, 6, 7);
    const AxisSet expected = meshes.GetOrientation();
    meshes.CreateMesh("other");

    const AxisSet axes = GetMeshAxes("hold");
    for (auto [got, want] :
         {std::pair{axes.AxisRight, expected.AxisRight}, std::pair{axes.AxisUp, expected.AxisUp},
          std::pair{axes.AxisFront, expected.AxisFront}}) {
        EXPECT_FLOAT_EQ(got.x, want.x);
        EXPECT_FLOAT_EQ(got.y, want.y);
        EXPECT_FLOAT_EQ(got.z, want.z);
    }
    EXPECT_NEAR(axes.AxisFront.x, 0.866f, 1e-3) << "yawed to +X, then pitched down 30 degrees";
    EXPECT_EQ(meshes.GetPosition().z, 7) << "the mesh stays current";
}

TEST(GetMeshAxes, AnUnknownMeshGivesZeroAxesAndNoCurrentMesh) {
    EngineMeshes meshes;
    meshes.CreateMesh("hold");
    const AxisSet axes = GetMeshAxes("Hold");
    EXPECT_EQ(axes.AxisFront.z, 0);
    EXPECT_EQ(axes.AxisRight.x, 0);
    EXPECT_EQ(meshes.GetCurrentId(), -1);
}

}  // namespace
}  // namespace quorvel
