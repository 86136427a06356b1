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
        FrameFactor = 1;
        FrameStartTime = 1000;
        CamBasis.CamPos = {};
        DifficultyLevel = 2;
        Money = 0;
        CurrentLevel = 2;
        // Module state as a fresh run has it, also when the cases run in one process.
        CurrentWeapon = 1;
        InfiniteEnergy = false;
        Invincible = false;
        ShotsFired = 0;
        PowerUpOn = {};
        DropTime = {};
        KillCount = 0;
        DropThreshold = 0;
        DropKind = 0;
        LastDropKind = 0;
        PowerUpMeshes = NoIds<5>();
        ShipMaxSpeed = 25;
        StationHitPoints = 100;
        StationId = -1;
        ShipDestroyed = false;
        ExplosionActive = false;
        LastCloseVoice = 0;
        for (auto& a : Aliens)
            a = AlienShip{};
        ScoutId = -1;
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
        AsteroidCount = n;
        AsteroidsLeft = n;
        for (int i = 1; i <= n + 1; ++i) {
            AsteroidRec& a = Asteroids[std::size_t(i)];
            a = AsteroidRec{};
            a.Index = i;
            a.MeshKey = "rock" + std::to_string(i);
            a.MeshId = Node(a.MeshKey, {float(i), 0, 3000});
            a.Pos = {float(i), 0, 3000};
            a.Kind = kind;
            a.TextureKey = "ast1txt";
            a.Active = i <= n;
            AsteroidHitPoints(DifficultyLevel, kind, a.HitPoints);
        }
    }

    int Count(bool AsteroidRec::*flag) {
        int n = 0;
        for (int i = 1; i <= AsteroidCount; ++i)
            n += Asteroids[std::size_t(i)].*flag ? 1 : 0;
        return n;
    }
};

inline void ExpectNear(const Vector& a, const Vector& b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace quorvel::test
