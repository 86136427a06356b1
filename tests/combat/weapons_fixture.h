#pragma once
// The player's weapons and their targets on the headless engine: the combat fixture
// plus the sounds they play, empty nodes for shots, asteroids and power-ups, and the
// frame factor at 1.

#include <string>

#include "combat/combat.h"
#include "combat/combat_fixture.h"
#include "platform/system/random.h"

namespace quorvel::test {

class WeaponsTest : public CombatTest {
  protected:
    void SetUp() override {
        CombatTest::SetUp();
        for (const char* key : {"plasma", "laser", "ion", "mion", "eplasfx", "disperse", "gamma", "hit",
                                "pushield", "puspeed", "puinvinc", "pufire"}) {
            folder.Write(std::string(key) + ".wav", SoundBytes());
            SoundObj->LoadSound(key, sys::ProgramFolder() + "\\" + key + ".wav", 0, 0);
        }
        sys::SeedRandom(3);
        Campaign.FrameFactor = 1;
        Campaign.FrameStartTime = 1000;
        Ship.CamBasis.CamPos = {};
        Campaign.DifficultyLevel = 2;
        Campaign.Money = 0;
        Campaign.CurrentLevel = 2;
        // Module state as a fresh run has it, also when the cases run in one process.
        Campaign.CurrentWeapon = 1;
        Arsenal.InfiniteEnergy = false;
        Ship.Invincible = false;
        Level.ShotsFired = 0;
        PowerUps.PowerUpOn = {};
        PowerUps.DropTime = {};
        PowerUps.KillCount = 0;
        PowerUps.DropThreshold = 0;
        PowerUps.DropKind = 0;
        PowerUps.LastDropKind = 0;
        PowerUps.PowerUpMeshes = NoIds<5>();
        Ship.ShipMaxSpeed = 25;
        Level.StationHitPoints = 100;
        Level.StationId = -1;
        Level.ShipDestroyed = false;
        Level.ExplosionActive = false;
        Level.LastCloseVoice = 0;
        for (auto& a : AlienFleet.Aliens)
            a = AlienShip{};
        Level.ScoutId = -1;
    }

    // An empty node at the point; its id.
    int Node(const std::string& key, const Vector& at = {}) {
        const int id = MeshObj->CreateMesh(key);
        MeshObj->SetPosition(at);
        MeshObj->SetVisible(true);
        return id;
    }
    bool Visible(int id) { return MeshObj->SelectMeshById(id) && MeshObj->GetVisible(); }
    Vector PositionOf(int id) {
        MeshObj->SelectMeshById(id);
        return MeshObj->GetPosition();
    }

    // Asteroids 1 to n (all flying, kind, hit points by the difficulty) and the spare.
    void Field(int n, int kind = 1) {
        Level.AsteroidCount = n;
        Level.AsteroidsLeft = n;
        for (int i = 1; i <= n + 1; ++i) {
            AsteroidRec& a = Level.Asteroids[std::size_t(i)];
            a = AsteroidRec{};
            a.Index = i;
            a.MeshKey = "rock" + std::to_string(i);
            a.MeshId = Node(a.MeshKey, {float(i), 0, 3000});
            a.Pos = {float(i), 0, 3000};
            a.Kind = kind;
            a.TextureKey = "ast1txt";
            a.Active = i <= n;
            AsteroidHitPoints(Campaign.DifficultyLevel, kind, a.HitPoints);
        }
    }

    int Count(bool AsteroidRec::*flag) {
        int n = 0;
        for (int i = 1; i <= Level.AsteroidCount; ++i)
            n += Level.Asteroids[std::size_t(i)].*flag ? 1 : 0;
        return n;
    }
};

inline void ExpectNear(const Vector& a, const Vector& b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace quorvel::test
