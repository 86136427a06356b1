#pragma once
// Enemies on the headless engine: the combat fixture plus the effect sounds the
// enemies play, empty nodes for the meshes a routine touches, a frame factor of 1,
// a seeded random sequence and a wall-clock time the test moves.

#include <cmath>
#include <string>

#include "combat/combat.h"
#include "combat_fixture.h"
#include "platform/engine/engine_state.h"
#include "platform/system/random.h"

namespace quorvel::test {

class EnemyTest : public CombatTest {
  protected:
    void SetUp() override {
        CombatTest::SetUp();
        for (const char* key :
             {"hit", "warning", "maseng", "mashyper", "masshoot", "masener", "alienshoot"}) {
            folder.Write(std::string(key) + ".wav", SoundBytes());
            SoundObj->LoadSound(key, sys::ProgramFolder() + "\\" + key + ".wav", 0, 0);
        }
        Campaign.FrameFactor = 1;
        Campaign.FrameStartTime = 1000;
        Campaign.CurrentLevel = 3;
        Campaign.DifficultyLevel = 2;
        Campaign.DifficultyFactor = 0.875f;
        Ship.CamBasis.CamPos = {};
        Level.StationPos = {0, 0, -50000};
        Level.AsteroidCount = 0;
        Level.AsteroidsLeft = 10;
        Level.ShipDestroyed = false;
        Campaign.Money = 0;
        sys::SeedRandom(7);
        CameraObj->SelectCameraById(0);
        Node("virtual");
    }

    int Node(const std::string& key, bool visible = false) {
        const int id = MeshObj->CreateMesh(key);
        MeshObj->SetVisible(visible);
        return id;
    }
    Vector Pos(const std::string& key) {
        MeshObj->SelectMesh(key);
        return MeshObj->GetPosition();
    }
    Vector Pos(int id) {
        MeshObj->SelectMeshById(id);
        return MeshObj->GetPosition();
    }
    bool Visible(const std::string& key) const {
        const engine::MeshItem* m = engine::GetScene().meshes.Find(key);
        return m && m->visible;
    }
    bool Visible(int id) const {
        const engine::MeshItem* m = engine::GetScene().meshes.Find(id);
        return m && m->visible;
    }
    bool Emitting(int systemId) const {
        const engine::ParticleItem* p = engine::GetScene().particles.Find(systemId);
        return p && p->emitting;
    }
    bool Emitting(const std::string& key) const {
        const engine::ParticleItem* p = engine::GetScene().particles.Find(key);
        return p && p->emitting;
    }
    // The next frame, 1/60 s later on the wall clock.
    void Tick(double seconds = 1.0 / 60) { Campaign.FrameStartTime += seconds; }
};

inline void ExpectNear(const Vector& a, const Vector& b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// Cosine of the angle between the mesh's nose and the direction to the point.
inline float NoseTowards(int mesh, const Vector& point) {
    MeshObj->SelectMeshById(mesh);
    const Vector p = MeshObj->GetPosition();
    const Vector f = MeshObj->GetOrientation().AxisFront;
    const float dx = point.x - p.x, dy = point.y - p.y, dz = point.z - p.z;
    const float len = std::sqrt(dx * dx + dy * dy + dz * dz);
    return (f.x * dx + f.y * dy + f.z * dz) / len;
}

}  // namespace quorvel::test
