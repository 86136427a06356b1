// The level's assets from the generated content set: particle systems of a second
// run, the skip list's members, and what a reload keeps and renews.

#include <gtest/gtest.h>

#include <string>

#include "game/game_run.h"
#include "platform/engine/engine_state.h"

namespace quorvel {
namespace {

using LevelAssets = test::GameRunTest;

const engine::ParticleItem* System(int id) {
    return engine::State().scene.particles.Find(id);
}

TEST_F(LevelAssets, ParticleSystemsAreParkedAndASecondRunReplacesTheFirst) {
    test::LoadRunAt(2);
    const int oldSmoke = Effects.SmokeFx[1].SystemId;
    const Vector smokeBefore = Effects.SmokeFx[3].Pos;
    ParticleObj->CreateSystem("menu");  // a system of the menu stays
    LoadParticleSystems();
    const int last = ParticleObj->GetCurrentSystemId();  // "mastipb4", the last one made

    EXPECT_FALSE(ParticleObj->SelectSystemById(oldSmoke));
    EXPECT_TRUE(ParticleObj->SelectSystem("menu"));
    // Every name is there once.
    int live = 0, newest = 0;
    for (const auto& item : engine::State().scene.particles.Items()) {
        ++live;
        newest = std::max(newest, item.id);
    }
    EXPECT_EQ(live, 25);
    EXPECT_EQ(last, newest);

    for (int k = 1; k <= 12; ++k) {
        const engine::ParticleItem* s = System(Effects.SmokeFx[std::size_t(k)].SystemId);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->key, "smoke" + std::to_string(k));
        EXPECT_FALSE(s->emitting);
        EXPECT_FLOAT_EQ(s->emitter.position.x, -150000);
        EXPECT_FLOAT_EQ(s->point1.y, -150000);
        EXPECT_FLOAT_EQ(s->point2.z, -150000);
        EXPECT_FALSE(Effects.SmokeFx[std::size_t(k)].Active);
    }
    // The loader leaves the smoke points to the level start.
    EXPECT_FLOAT_EQ(Effects.SmokeFx[3].Pos.x, smokeBefore.x);
    const engine::ParticleItem* fire = System(Level.FlamingAsteroidParticleId);
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->key, "fireastpar");
    EXPECT_FALSE(fire->emitting);
    ASSERT_TRUE(ParticleObj->SelectSystem("ecore"));
    const engine::ParticleItem* core = System(ParticleObj->GetCurrentSystemId());
    EXPECT_FLOAT_EQ(core->emitter.position.z, -3100);
    for (const char* key : {"battle1", "battle4", "enginemas1b", "enginemas2b", "mastipb1", "mastipb4"}) {
        ASSERT_TRUE(ParticleObj->SelectSystem(key)) << key;
        EXPECT_FALSE(System(ParticleObj->GetCurrentSystemId())->emitting) << key;
    }
}

TEST_F(LevelAssets, EffectsAreSkippedAndTargetsAreNot) {
    test::LoadRunAt(3);
    for (int n = 1; n <= 20; ++n)
        EXPECT_TRUE(IsSkipEntity(Effects.Sparks[std::size_t(n)].MeshId)) << n;
    for (int n = 1; n <= 40; ++n) {
        ASSERT_TRUE(MeshObj->SelectMesh("expsm" + std::to_string(n)));
        EXPECT_TRUE(IsSkipEntity(MeshObj->GetCurrentId())) << n;
    }
    for (int id :
         {Level.StationId, Level.Station2Id, Level.ScoutId, Level.BattleshipId, Level.MothershipId,
          Level.LavaroidId, Level.VirtualMeshId, AlienFleet.Aliens[1].BodyMesh,
          AlienFleet.Aliens[1].ShotSprite[1], AlienFleet.Aliens[1].ShotHold[1], Level.Asteroids[1].MeshId})
        EXPECT_FALSE(IsSkipEntity(id)) << id;
    for (const char* key :
         {"masbattle", "mshell", "starscape1", "starscape2", "expani1", "_eplas14", "disp70"}) {
        ASSERT_TRUE(MeshObj->SelectMesh(key));
        EXPECT_TRUE(IsSkipEntity(MeshObj->GetCurrentId())) << key;
    }
    // Chunks come five per model file, in the order 1, 6, 11, 16, 2, ...
    ASSERT_TRUE(MeshObj->SelectMesh("shipchk1"));
    const int first = MeshObj->GetCurrentId();
    ASSERT_TRUE(MeshObj->SelectMesh("shipchk6"));
    EXPECT_EQ(MeshObj->GetCurrentId(), first + 1);
    ASSERT_TRUE(MeshObj->SelectMesh("shipchk2"));
    EXPECT_EQ(MeshObj->GetCurrentId(), first + 4);
    EXPECT_TRUE(Effects.ExplosionRepick);
    EXPECT_EQ(Effects.ExplosionMode, 1);
}

// The bounds sequence only selects the enforcer's objects: without them a player past
// the bounds would see nothing come for the ship.
TEST_F(LevelAssets, TheEnforcerWaitsHiddenAfterTheLoadAndAfterALowDetailReload) {
    auto expectEnforcer = [] {
        struct Expected {
            const char* key;
            engine::MeshKind kind;
        };
        for (const Expected e :
             {Expected{"alien2", engine::MeshKind::Model}, Expected{"alienproj", engine::MeshKind::Sprite},
              Expected{"aphold", engine::MeshKind::Node}}) {
            ASSERT_TRUE(MeshObj->SelectMesh(e.key)) << e.key;
            const engine::MeshItem* item = engine::State().scene.meshes.Find(MeshObj->GetCurrentId());
            ASSERT_NE(item, nullptr) << e.key;
            EXPECT_EQ(item->kind, e.kind) << e.key;
            EXPECT_FALSE(item->visible) << e.key;
        }
    };
    test::LoadRunAt(3);
    expectEnforcer();
    Display.GraphicsLevel = 1;  // the low-detail model file
    ReloadEffectObjects();
    expectEnforcer();
}

TEST_F(LevelAssets, AReloadRenewsEveryObjectAndKeepsTheWeaponState) {
    test::LoadRunAt(24);
    const int oldSkip = Effects.SkipList[1].EntityId;
    const int oldStation = Level.StationId;
    Arsenal.PlasmaShots[0].Reload = 77;
    Campaign.CurrentLevel = 25;  // the transition to level 26 reloads with the next level in view
    ReloadEffectObjects();
    EXPECT_FALSE(MeshObj->SelectMeshById(oldSkip));
    EXPECT_FALSE(MeshObj->SelectMeshById(oldStation));
    for (int i = 1; i <= Effects.SkipCount; ++i)
        EXPECT_GT(Effects.SkipList[std::size_t(i)].EntityId, oldStation);
    EXPECT_EQ(Level.StationMeshName, "spacestation2");
    EXPECT_EQ(ForceField.RadarMesh, -1);
    EXPECT_FLOAT_EQ(Arsenal.PlasmaShots[0].Reload, 77);
    EXPECT_FLOAT_EQ(Arsenal.PlasmaShots[0].ShotSpeed, 32);
    // Every flip-book shot starts on its first frame, eplas too.
    for (auto* shots : {&Arsenal.PlasmaShots, &Arsenal.IonShots, &Arsenal.MionShots, &Arsenal.EplasShots,
                        &Arsenal.GammaShots})
        for (int i = 1; i <= 14; ++i) {
            const ShotRec& shot = (*shots)[std::size_t(i)];
            EXPECT_EQ(shot.AnimFrame, 1) << i;
            EXPECT_TRUE(shot.AnimForward) << i;
            EXPECT_EQ(shot.AnimTimer, 0) << i;
        }
    StartLevel();
    EXPECT_EQ(Campaign.CurrentLevel, 26);
    EXPECT_EQ(Level.AsteroidCount, 31);
    for (int i = 1; i <= Level.AsteroidCount + 1; ++i)
        EXPECT_TRUE(MeshObj->SelectMeshById(Level.Asteroids[std::size_t(i)].MeshId)) << i;
}

}  // namespace
}  // namespace quorvel
