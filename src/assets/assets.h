#pragma once
// What the rest of the game may call of the level assets, effects and HUD.

#include <string>
#include <vector>

#include "platform/engine/types.h"

namespace quorvel {

// ---- Loaders ---------------------------------------------------------------------------
// Every texture of the levels, under its key; once per game run.
void LoadGameTextures();
// The run's particle systems (energy core, fire, smoke, engines), parked and off
// except the core; systems of an earlier run under the same names are replaced.
void LoadParticleSystems();
// Every pooled mesh, sprite and node of the level about to start (CurrentLevel + 1).
void LoadEffectObjects();
// Empties the mesh and animated-model pools and runs LoadEffectObjects again.
void ReloadEffectObjects();
// The 36 effect sounds into the (emptied) engine sound pool and the nine positional
// buffers.
void LoadGameSounds();

// LoadMesh that tells whether the model was built: the new mesh's id (current
// afterwards), or -1 with no current mesh when the file could not be read.
int LoadLevelMesh(const std::string& key, const std::string& texture, const std::string& file,
                  const std::string& material, const Vector& position, float scale, bool flag1, bool flag7,
                  const Vector& spinAxis, float spinRate, bool effectMode, bool keepOffset, bool flag4,
                  const Vector& rotation = {});

// Where pooled objects wait until they are used.
constexpr Vector MeshParking{100000, 100000, 100000};
constexpr Vector SpriteParking{10000, 10000, 10000};
constexpr Vector ParticleParking{-150000, -150000, -150000};

// The engine sounds of a level, in load order.
struct GameSoundEntry {
    const char* key;
    const char* path;
};
extern const std::vector<GameSoundEntry> GameSoundTable;
// The positional buffers: element of PositionalSounds, file, interrupt, distances.
struct PositionalSoundEntry {
    int element;
    const char* path;
    bool interrupt;
    float maximumDistance;
    float minimumDistance;
};
extern const std::vector<PositionalSoundEntry> PositionalSoundTable;

// ---- Skip list: entities that the hit tests pass through --------------------------------
struct SkipEntry {
    int EntityId = 0;
    int ListCount = 0;  // entry 0 only: the upper index of the list
    bool WasHidden = false;
};
// Entry 0 is the header; entries 1 to SkipCount are the registered entities.
extern std::vector<SkipEntry> SkipList;
extern int SkipCount;

void AddSkipEntity(int entityId);
void ClearSkipList();
bool IsSkipEntity(int entityId);
// Hide every listed visible entity before a hit test and show exactly those again
// after it; always a pair.
void HideSkipEntities();
void RestoreSkipEntities();

// ---- Effects that combat starts (stand-ins in pending.cpp until the effects land) ---------
// Sparks of the given texture at the point, and the weapon's impact shock wave (-1: the
// current weapon's).
void SpawnHitSparks(const std::string& textureKey, const Vector& point, int size, int weapon);
// One of the three explosion sounds at random.
void PlayExplosionSound();
// The flip-book explosion and the shock wave at Asteroids(index).
void StartExplosionAtAsteroid(int index);
// The flip-book explosion at a point; the caller sets ExplosionMode and ExplosionActive.
void StartExplosionAt(const Vector& point);
// The fragments of Asteroids(index) fly apart.
void StartAsteroidBreakup(int index);

// An expanding shock wave on one named mesh.
class clsSWave {
  public:
    void MakeShockWave(const Vector& position, float numFrames, float fadeFrame, float speed,
                       float scaleSize);
};

}  // namespace quorvel
