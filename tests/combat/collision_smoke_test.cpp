// Collision-only meshes (hit-testable during a frame's play, never in the rendered
// picture) and the station's smoke plumes by damage.

#include <gtest/gtest.h>

#include "assets/assets.h"
#include "combat/combat.h"
#include "combat_fixture.h"
#include "platform/engine/engine_state.h"

namespace quorvel {
namespace {

void ExpectAt(const Vector& a, const Vector& b) {
    EXPECT_NEAR(a.x, b.x, 1e-3);
    EXPECT_NEAR(a.y, b.y, 1e-3);
    EXPECT_NEAR(a.z, b.z, 1e-3);
}

class CollisionMeshes : public test::CombatTest {
  protected:
    void SetUp() override {
        CombatTest::SetUp();
        folder.Write("mesh/box.3ds", test::Box3ds(-5, -5, -5, 5, 5, 5));
        box = LoadLevelMesh("mothership", "", "box", "", {0, 0, 50}, 1, false, false, {}, 0, false, false,
                            false);
        ASSERT_GE(box, 0);
        MeshObj->SetVisible(false);  // as loaded: no boss yet
        other = MeshObj->CreateMesh("other");
        for (auto& entry : Effects.ShipDebris)
            entry = {};
        Effects.ShipDebris[2].MeshId = box;
        Effects.ShipDebris[2].InUse = true;
        Effects.ShipDebris[3].MeshId = other;  // never filled: passed over
    }
    bool Visible(int id) const { return engine::GetScene().meshes.Find(id)->visible; }
    bool Hit() const {
        const HitInfoRec hit = MeshObj->RayHit(RayRec{{0, 0, 0}, {0, 0, 1}}, 3, 1000);
        return hit.HitFlag && hit.HitId == box;
    }
    int box = -1, other = -1;
};

TEST_F(CollisionMeshes, NoBossNoChange) {
    for (int frame = 0; frame < 3; ++frame) {
        ShowMothershipDebris();
        EXPECT_FALSE(Hit());
        CheckMothershipDebris();
        EXPECT_FALSE(Visible(box));
        EXPECT_FALSE(Effects.ShipDebris[2].Marked);
    }
    EXPECT_TRUE(Visible(other));
}

TEST_F(CollisionMeshes, HitTestableDuringPlayAndNeverRenderedUntilTheKill) {
    MeshObj->SelectMeshById(box);
    MeshObj->SetVisible(true);  // the boss arrives: its own code shows the box
    for (int frame = 0; frame < 3; ++frame) {
        ShowMothershipDebris();
        EXPECT_TRUE(Hit());
        CheckMothershipDebris();
        EXPECT_TRUE(Effects.ShipDebris[2].Marked);
        EXPECT_FALSE(Visible(box));  // as the scene renders
    }
    // The kill hides the box mid-frame: the late pass unmarks it and it stays hidden.
    ShowMothershipDebris();
    MeshObj->SelectMeshById(box);
    MeshObj->SetVisible(false);
    CheckMothershipDebris();
    EXPECT_FALSE(Effects.ShipDebris[2].Marked);
    ShowMothershipDebris();
    EXPECT_FALSE(Visible(box));
    EXPECT_FALSE(Hit());
    // Entries other than 2 are never touched; entry 0 is never visited.
    EXPECT_TRUE(Visible(other));
    EXPECT_FALSE(Effects.ShipDebris[3].Marked);
}

TEST_F(CollisionMeshes, LevelStartHidesAndUnmarks) {
    // A level ends during the fight: the box was marked by the last late pass. The
    // next level's early pass must not show it again.
    MeshObj->SelectMeshById(box);
    MeshObj->SetVisible(true);
    CheckMothershipDebris();
    ASSERT_TRUE(Effects.ShipDebris[2].Marked);
    HideMothershipDebris();
    EXPECT_FALSE(Visible(box));
    EXPECT_FALSE(Effects.ShipDebris[2].Marked);
    ShowMothershipDebris();
    EXPECT_FALSE(Visible(box));
    EXPECT_FALSE(Hit());
    EXPECT_TRUE(Visible(other));

    Effects.ShipDebris[2].Marked = true;
    Effects.ShipDebris[7].Marked = true;
    ResetMothershipDebris();
    EXPECT_FALSE(Effects.ShipDebris[2].Marked);
    EXPECT_FALSE(Effects.ShipDebris[7].Marked);
}

class StationSmoke : public test::CombatTest {
  protected:
    void SetUp() override {
        CombatTest::SetUp();
        for (int k = 1; k <= 4; ++k) {
            Effects.SmokeFx[std::size_t(k)].SystemId = ParticleObj->CreateSystem("smoke" + std::to_string(k));
            Effects.SmokeFx[std::size_t(k)].Pos = {float(k), 2, 3};
        }
        ParticleObj->CreateSystem("other");  // current before each call
    }
    const engine::ParticleItem& Plume(int k) const {
        return *engine::GetScene().particles.Find(Effects.SmokeFx[std::size_t(k)].SystemId);
    }
};

TEST_F(StationSmoke, PlumesByDamage) {
    struct Case {
        int damage, plumes;
    };
    for (const Case c :
         {Case{0, 0}, Case{1, 1}, Case{2, 1}, Case{3, 2}, Case{4, 3}, Case{5, 4}, Case{6, 4}, Case{0, 0}}) {
        SCOPED_TRACE(c.damage);
        Level.StationDamageLevel = c.damage;
        SetStationDamageSmoke();
        for (int k = 1; k <= 4; ++k) {
            const bool on = k <= c.plumes;
            EXPECT_EQ(Effects.SmokeFx[std::size_t(k)].Active, on) << k;
            EXPECT_EQ(Plume(k).emitting, on) << k;
            if (on) ExpectAt(Plume(k).emitter.position, {float(k), 2, 3});
        }
    }
}

TEST_F(StationSmoke, PlumesGoWhereTheLevelPutThem) {
    Level.StationDamageLevel = 1;
    Effects.SmokeFx[1].Pos = {600, 244.72f, -2850};  // the second station's hull
    SetStationDamageSmoke();
    ExpectAt(Plume(1).emitter.position, {600, 244.72f, -2850});
}

}  // namespace
}  // namespace quorvel
