// The skip list: what it registers, the filter the hit tests pass through, and that the
// header is never taken for an entity.

#include <gtest/gtest.h>

#include "assets/assets.h"
#include "game/game_run.h"
#include "platform/engine/fixtures.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

class SkipListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(folder);
        test::MakeRunObjects();
        ClearSkipList();
    }
    int Mesh(const std::string& key, bool visible) {
        const int id = MeshObj->CreateMesh(key);
        MeshObj->SetVisible(visible);
        return id;
    }
    bool Visible(int id) {
        MeshObj->SelectMeshById(id);
        return MeshObj->GetVisible();
    }
    test::TempFolder folder;
    test::Harness h;
};

TEST_F(SkipListTest, RegistersInOrderAndClearsHeaderAndAll) {
    const int zero = Mesh("first", true);  // id 0 exists but is not listed
    ASSERT_EQ(zero, 0);
    AddSkipEntity(Mesh("a", true));
    AddSkipEntity(Mesh("b", true));
    EXPECT_EQ(Effects.SkipCount, 2);
    EXPECT_EQ(Effects.SkipList[0].ListCount, 2);
    EXPECT_FALSE(IsSkipEntity(0));  // the header's id field is not an entity
    EXPECT_TRUE(IsSkipEntity(1));
    EXPECT_TRUE(IsSkipEntity(2));
    EXPECT_FALSE(IsSkipEntity(3));

    ClearSkipList();
    EXPECT_EQ(Effects.SkipCount, 0);
    EXPECT_EQ(Effects.SkipList[0].ListCount, 0);
    EXPECT_FALSE(IsSkipEntity(1));
    AddSkipEntity(2);
    EXPECT_EQ(Effects.SkipList.size(), 2u);
    EXPECT_EQ(Effects.SkipList[0].ListCount, 1);
    EXPECT_FALSE(IsSkipEntity(1));
    EXPECT_TRUE(IsSkipEntity(2));
}

TEST_F(SkipListTest, TheFilterHoldsTheListedIdsEvenWhenTheListIsResetByHand) {
    const int shown = Mesh("shown", true);
    const int idle = Mesh("idle", false);
    const int other = Mesh("other", true);
    AddSkipEntity(shown);
    AddSkipEntity(idle);
    AddSkipEntity(-1);  // listed, but no mesh
    EXPECT_TRUE(SkipFilter().Contains(shown));
    EXPECT_TRUE(SkipFilter().Contains(idle));
    EXPECT_FALSE(SkipFilter().Contains(other));
    EXPECT_TRUE(IsSkipEntity(-1));
    // Reading the filter shows and hides nothing.
    EXPECT_TRUE(Visible(shown));
    EXPECT_FALSE(Visible(idle));

    // The list is module state: emptied by hand and filled again, the filter follows.
    Effects.SkipList.assign(1, SkipEntry{});
    Effects.SkipCount = 0;
    AddSkipEntity(other);
    EXPECT_FALSE(SkipFilter().Contains(shown));
    EXPECT_TRUE(SkipFilter().Contains(other));
    Effects.SkipList.assign(1, SkipEntry{});
    Effects.SkipCount = 0;
    EXPECT_FALSE(SkipFilter().Contains(other));
}

TEST_F(SkipListTest, ARayPassesThroughListedMeshesOnly) {
    // Two boxes on the ray; the nearer one is an effect.
    folder.Write("mesh/box.3ds", test::Box3ds(-1, -1, -1, 1, 1, 1));
    const int effect =
        LoadLevelMesh("effect", "", "box", "", {0, 0, 10}, 1, false, false, {}, 0, false, false, false);
    const int rock =
        LoadLevelMesh("rock", "", "box", "", {0, 0, 20}, 1, false, false, {}, 0, false, false, false);
    ASSERT_GE(effect, 0);
    ASSERT_GE(rock, 0);
    const RayRec ray{{0, 0, 0}, {0, 0, 1}};
    EXPECT_EQ(MeshObj->RayHit(ray, 3, 100, SkipFilter()).HitId, effect);
    AddSkipEntity(effect);
    const HitInfoRec hit = MeshObj->RayHit(ray, 3, 100, SkipFilter());
    EXPECT_TRUE(hit.HitFlag);
    EXPECT_EQ(hit.HitId, rock);
    EXPECT_EQ(MeshObj->RayHit(ray, 3, 100).HitId, effect) << "without the filter the effect stops the ray";

    // A file that is not there builds nothing and leaves no current mesh.
    h.ExpectFailedLoad("\\mesh\\nothere.3ds");
    EXPECT_EQ(LoadLevelMesh("ghost", "", "nothere", "", {}, 1, false, false, {}, 0, false, false, false), -1);
    EXPECT_EQ(MeshObj->GetCurrentId(), -1);
}

}  // namespace
}  // namespace quorvel
