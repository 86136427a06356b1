// A game run's scene loaded and a level started from the generated content set, at
// the levels where the campaign changes: every file the level asks for is there, and
// the pools, keys, ids and records come out as the game expects them.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "game/game_run.h"

namespace quorvel {
namespace {

std::string Num(const std::string& prefix, int n, const std::string& suffix = "") {
    return prefix + std::to_string(n) + suffix;
}

std::vector<std::string> TextureKeys() {
    std::vector<std::string> keys = {
        "sd_back",  "sd_left",       "sd_front", "sd_right",  "sd_bottom", "sd_top",   "ion_tex1",
        "mion_tex", "eplastxt1",     "radartex", "lastxt",    "shockwave", "masshock", "goldtxt",
        "menu1",    "gomenu1",       "spacest",  "spacest2",  "fftex",     "alstxt",   "flare1",
        "flare2",   "flare3",        "ms1",      "ms2",       "asproj",    "help",     "poweruptxt",
        "mas2txt",  "energycoretxt", "lavatxt",  "scoutproj", "gamproj",   "plasproj", "shipbump",
        "particle", "engflare"};
    for (int k = 1; k <= 3; ++k)
        keys.push_back(Num("ast", k, "txt"));
    for (int k = 1; k <= 2; ++k)
        keys.push_back(Num("disp_tex", k));
    for (int k = 1; k <= 7; ++k)
        keys.push_back(Num("wepart", k));
    for (int k = 201; k <= 206; ++k)
        keys.push_back(Num("sp", k));
    for (int k = 1; k <= 4; ++k)
        keys.push_back(Num("lightanim", k));
    for (int k = 1; k <= 4; ++k)
        keys.push_back(Num("enermeter", k));
    for (int k = 1; k <= 4; ++k)
        keys.push_back(Num("won", k));
    for (int k = 1; k <= 12; ++k)
        keys.push_back(Num("energy", k));
    for (int k = 1; k <= 6; ++k)
        keys.push_back(Num("explosion", k));
    return keys;
}

bool MeshExists(int id) {
    return id >= 0 && MeshObj->SelectMeshById(id);
}

struct LevelCase {
    int level;
    int asteroids;
    bool alienFree;
    int firstWave, secondWave;
};

class LevelLoading : public test::GameRunTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(LevelLoading, EveryFileLoadsAndEveryRecordNamesALiveItem) {
    const LevelCase c = GetParam();
    test::LoadRunAt(c.level);
    ASSERT_EQ(Campaign.CurrentLevel, c.level);
    EXPECT_EQ(Level.AsteroidCount, c.asteroids);
    EXPECT_EQ(Level.AsteroidsLeft, c.asteroids);

    // Textures: the six sky faces of the level load and the 79 of the game.
    const std::vector<std::string> keys = TextureKeys();
    EXPECT_EQ(keys.size(), 85u);
    for (const std::string& key : keys)
        EXPECT_GE(TextureObj->GetTextureId(key), 0) << key;
    EXPECT_EQ(Level.ForceFieldTexture, TextureObj->GetTextureId("fftex"));
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(Effects.ExplosionTextures[std::size_t(k)], TextureObj->GetTextureId(Num("explosion", k)));

    // Sounds: exactly the 36 keys, and the nine positional buffers.
    EXPECT_EQ(GameSoundTable.size(), 36u);
    for (const GameSoundEntry& s : GameSoundTable)
        EXPECT_TRUE(SoundObj->SelectSound(s.key)) << s.key;
    int liveSounds = 0;
    for (int id = 0; id < 5000; ++id)
        liveSounds += SoundObj->SelectSoundById(id) ? 1 : 0;
    EXPECT_EQ(liveSounds, 36);
    for (const PositionalSoundEntry& p : PositionalSoundTable) {
        const clsDSWave8& b = *Campaign.PositionalSounds[std::size_t(p.element)];
        EXPECT_TRUE(b.Positional()) << p.element;
        EXPECT_EQ(b.Interrupt(), p.interrupt) << p.element;
        EXPECT_FALSE(b.Looping()) << p.element;
        EXPECT_GT(b.Frequency(), 0) << p.path;
    }
    for (int e = 9; e < 20; ++e)
        EXPECT_EQ(Campaign.PositionalSounds[std::size_t(e)]->Frequency(), 0) << e;

    // Particle systems and HUD images.
    EXPECT_TRUE(ParticleObj->SelectSystemById(Level.FlamingAsteroidParticleId));
    for (int k = 1; k <= 12; ++k)
        EXPECT_TRUE(ParticleObj->SelectSystemById(Effects.SmokeFx[std::size_t(k)].SystemId)) << k;
    for (int slot = 0; slot <= 19; ++slot)
        EXPECT_TRUE(Draw2DObj->SelectImageById(Hud.HudPointers[std::size_t(slot)].PointerIcon)) << slot;
    for (const char* key : {"cpit", "shield", "gravbeam1", "gravbeam2", "shieldind", "pwrmeter", "menu",
                            "map", "buymenu", "gamewon", "mouse", "font"})
        EXPECT_TRUE(Draw2DObj->SelectImage(key)) << key;

    // Meshes recorded by id.
    for (int i = 1; i <= 64; ++i) {
        EXPECT_TRUE(MeshExists(Effects.ExplosionSprites[std::size_t(i)])) << i;
        EXPECT_TRUE(MeshExists(Arsenal.MionAnimMeshes[std::size_t(i)])) << i;
        EXPECT_TRUE(MeshExists(Arsenal.EPlasmaMeshes[std::size_t(i)])) << i;
    }
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(MeshExists(PowerUps.PowerUpMeshes[std::size_t(n)])) << n;
    for (auto* pool : {&Arsenal.PlasmaShots, &Arsenal.LaserShots, &Arsenal.IonShots, &Arsenal.MionShots,
                       &Arsenal.EplasShots, &Arsenal.GammaShots})
        for (int i = 1; i <= 14; ++i)
            EXPECT_TRUE(MeshExists((*pool)[std::size_t(i)].MeshId)) << (*pool)[std::size_t(i)].MeshKey;
    for (int i = 1; i <= 70; ++i)
        EXPECT_TRUE(MeshExists(Arsenal.DisperseShots[std::size_t(i)].MeshId)) << i;
    for (int n = 1; n <= 20; ++n)
        EXPECT_TRUE(MeshExists(Effects.Sparks[std::size_t(n)].MeshId)) << n;
    for (int id : {Level.StationId, Level.Station2Id, Level.ScoutId, Level.BattleshipId, Level.MothershipId,
                   Level.LavaroidId, Level.VirtualMeshId})
        EXPECT_TRUE(MeshExists(id)) << id;
    EXPECT_EQ(Effects.ShipDebris[2].MeshId, Level.MothershipId);
    for (int i = 1; i <= Level.AsteroidCount + 1; ++i)
        EXPECT_TRUE(MeshExists(Level.Asteroids[std::size_t(i)].MeshId))
            << Level.Asteroids[std::size_t(i)].MeshKey;
    for (const char* key : {"energycore", "energy", "goldship", "hold", "gahold", "ga", "lightanim", "mshell",
                            "masbattle", "starscape1", "starscape2", "aitesta", "virtualast"})
        EXPECT_TRUE(MeshObj->SelectMesh(key)) << key;
    for (int n = 1; n <= 40; ++n)
        EXPECT_TRUE(MeshObj->SelectMesh(Num("expsm", n))) << n;

    // Animated models: the force field always, the radar on the first station only.
    EXPECT_TRUE(AnimMeshObj->SelectModelById(ForceField.FieldMesh));
    EXPECT_GT(ForceField.FieldFrameMax, 0);
    if (c.level < 26)
        EXPECT_TRUE(AnimMeshObj->SelectModelById(ForceField.RadarMesh));
    else
        EXPECT_EQ(ForceField.RadarMesh, -1);

    // Aliens of the level, or none at all.
    for (int j = 1; j <= 10; ++j) {
        const AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        if (c.alienFree) {
            for (int id : {a.BodyMesh, a.HoldMesh, a.FlareMesh, a.FlareMesh2, a.MirrorMesh})
                EXPECT_EQ(id, -1) << j;
        } else {
            for (int id : {a.BodyMesh, a.HoldMesh, a.FlareMesh, a.FlareMesh2, a.MirrorMesh})
                EXPECT_TRUE(MeshExists(id)) << j;
            EXPECT_EQ(a.ShipType, j <= 5 ? c.firstWave : c.secondWave) << j;
            // Each ship waits hidden where its wave starts, at its kind's height.
            static const char* const suffixes[6] = {"", "aa1test", "aa2test", "bgfasd", "aa4test", "aa5test"};
            static const float heights[6] = {0, 600, 300, 0, -300, -600};
            ASSERT_TRUE(MeshObj->SelectMesh(std::to_string(j) + suffixes[a.ShipType])) << j;
            EXPECT_EQ(MeshObj->GetCurrentId(), a.BodyMesh);
            EXPECT_FALSE(MeshObj->GetVisible());
            const Vector p = MeshObj->GetPosition();
            EXPECT_FLOAT_EQ(p.x, -1000.0f - 150.0f * float(j));
            EXPECT_FLOAT_EQ(p.y, heights[a.ShipType]);
            EXPECT_FLOAT_EQ(p.z, 3500);
        }
        for (int k = 1; k <= 5; ++k) {
            EXPECT_TRUE(MeshExists(a.ShotSprite[std::size_t(k)]));
            EXPECT_TRUE(MeshExists(a.ShotHold[std::size_t(k)]));
        }
    }

    // The skip list: every player projectile and effect, each once, all live.
    EXPECT_EQ(Effects.SkipCount, 651 + (c.alienFree ? 0 : 20));
    std::set<int> listed;
    for (int i = 1; i <= Effects.SkipCount; ++i) {
        const int id = Effects.SkipList[std::size_t(i)].EntityId;
        EXPECT_TRUE(MeshExists(id)) << i;
        listed.insert(id);
    }
    EXPECT_EQ(int(listed.size()), Effects.SkipCount);

    // The station in use is the one the level shows; the other one is hidden.
    const bool second = c.level >= 26;
    EXPECT_EQ(Level.StationMeshName, second ? "spacestation2" : "spacestation");
    ASSERT_TRUE(MeshObj->SelectMesh("spacestation2"));
    EXPECT_EQ(Level.Station2Id, MeshObj->GetCurrentId());
    EXPECT_EQ(MeshObj->GetVisible(), second);
    ASSERT_TRUE(MeshObj->SelectMesh("spacestation"));
    EXPECT_EQ(MeshObj->GetVisible(), !second);
    EXPECT_EQ(Level.StationId, second ? Level.Station2Id : MeshObj->GetCurrentId());
    EXPECT_FLOAT_EQ(Level.StationPos.y, second ? 162.96f : 100.0f);
    EXPECT_FLOAT_EQ(ForceField.FieldPoints[1].y, second ? -275.12f : -375.12f);

    // Weapon energy full at capacity 1 and a whole shield at the start.
    for (int w = 1; w <= 7; ++w) {
        EXPECT_FLOAT_EQ(Arsenal.WeaponEnergy[std::size_t(w)].MaxEnergy,
                        WeaponTable[std::size_t(w)].BaseCapacity);
        EXPECT_FLOAT_EQ(Arsenal.WeaponEnergy[std::size_t(w)].Energy,
                        WeaponTable[std::size_t(w)].BaseCapacity);
    }
    EXPECT_EQ(Ship.ShieldDamage, 0);
    EXPECT_EQ(Ship.ShieldMax, 100);
}

INSTANTIATE_TEST_SUITE_P(Campaign, LevelLoading,
                         ::testing::Values(LevelCase{1, 50, true, 1, 1}, LevelCase{2, 18, false, 1, 1},
                                           LevelCase{5, 24, true, 1, 2}, LevelCase{10, 25, true, 1, 2},
                                           LevelCase{25, 35, true, 3, 4}, LevelCase{26, 31, false, 3, 4},
                                           LevelCase{50, 50, false, 4, 5}),
                         [](const auto& test) { return "Level" + std::to_string(test.param.level); });

using LowDetail = test::GameRunTest;

TEST_F(LowDetail, LoadsTheLowFilesAndNoFlare) {
    test::LoadRunAt(26, 1, 0);
    EXPECT_TRUE(SkyObj->SelectSkyItem("MySkyCube"));
    EXPECT_FALSE(SkyObj->SelectSkyItem("flare"));
    EXPECT_TRUE(MeshExists(Level.StationId));
    for (int j = 1; j <= 10; ++j)
        EXPECT_TRUE(MeshExists(AlienFleet.Aliens[std::size_t(j)].BodyMesh)) << j;
    EXPECT_GE(ParticleObj->GetCurrentSystemId(), 0);
}

}  // namespace
}  // namespace quorvel
