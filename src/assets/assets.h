#pragma once
// What the rest of the game may call of the level assets, effects and HUD.

#include <string>
#include <vector>

#include "common/world.h"
#include "platform/engine/records.h"
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
// The explosion flip-book's sprites: quads 4 units wide at this scale, 200 in the world.
constexpr float ExplosionSpriteScale = 50;

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
};

// The effects: sparks, smoke, debris, explosions, the break-up, the starscape, the shock
// waves, and the meshes the rays skip.
struct EffectsRecord {
    std::array<SparkRec, 21> Sparks;  // 1 to 20
    // 1-4 station, 5-8 mothership, 9-12 battleship
    // The station's smoke points start where the level start puts them for the first
    // station, so a level that does not set them (level 1) still has them on the hull.
    std::array<SmokeRec, 13> SmokeFx = [] {
        std::array<SmokeRec, 13> s{};
        s[1].Pos = {456, -82, -3252};
        s[2].Pos = {323, 340, -3300};
        s[3].Pos = {648.8f, 147.2f, -3052};
        s[4].Pos = {877, 458.4f, -3099};
        return s;
    }();
    std::array<DebrisRec, 11> ShipDebris;                // only entry 2 is used
    std::array<int, 65> ExplosionSprites = NoIds<65>();  // 1 to 64, ExplosionSpriteScale each
    std::array<int, 7> ExplosionTextures = NoIds<7>();   // 1 to 6
    int ExplosionMode = 1;
    bool ExplosionRepick = false;
    int ExplosionTexture = -1;  // texture id drawn last
    int PickedSet = 0;          // its entry in ExplosionTextures
    bool BreakupRunning = false;
    int BreakupKind = 0;
    int PrevBreakupKind = 0;  // 0: no fragment set shown yet
    double BreakupStartTime = 0;
    bool BreakupFading = false;
    float BreakupFade = 100;
    int FlipFrame = 1;     // next flip-book sprite, 1 to 65
    float FlipTimer = 99;  // starts high so the run's first explosion steps at once
    bool SparksActive = false;
    float SparkTimer = 0;
    int StarscapeIndex = 1;  // 1 or 2
    Vector StarscapeAnchor;
    std::array<RayRec, 5> BeamQuad;
    // The run's shock waves: big explosions ("shock"), the mothership ("shock2") and one
    // per projectile weapon ("wepshock" 1 to 7, index = weapon).
    std::unique_ptr<clsSWave> ShockWave;
    std::unique_ptr<clsSWave> MothershipShockWave;
    std::array<std::unique_ptr<clsSWave>, 8> WeaponShockWaves;
    // Entry 0 is the header; entries 1 to SkipCount are the registered entities.
    std::vector<SkipEntry> SkipList = std::vector<SkipEntry>(1);
    int SkipCount = 0;
};
extern EffectsRecord Effects;

// The HUD pointers at targets off screen.
struct HudRecord {
    std::array<PointerSlot, 21> HudPointers;
    Vector2 PointerScreen;
    float PointerAngle = 0;
    Vector ReferencePoint;
};
extern HudRecord Hud;

void AddSkipEntity(int entityId);
void ClearSkipList();
bool IsSkipEntity(int entityId);
// The listed entities as a filter for the hit tests, which pass through them as
// though they were hidden (RayHit(ray, 3, reach, SkipFilter())).
const MeshIdSet& SkipFilter();

// ---- Effects: shock waves, break-up, explosions, sparks, starscape, beam quads -----------

// An expanding shock wave on one named mesh: shown at a point, scaled up a step at a
// time, faded out through the materials "fade100" down to "fade1", then hidden.
class clsSWave {
  public:
    float CurrFrame = 1;
    bool Active = false;

    // One growth step at most: taken when the step timer passes 10.
    void Poll(float SpeedFactor);
    // Starts (or restarts) the wave at the position.
    void MakeShockWave(const Vector& rPosition, float sNumFrames, float sFadeFrame, float sSpeed,
                       float sScaleSize);
    void Init(const std::string& TextureName);

  private:
    float numFrames_ = 0;
    float speed_ = 0;
    float fadeFrame_ = 0;
    Vector position_;
    float scaleSize_ = 0;
    float stepTimer_ = 0;
    float fadeRange_ = 0;
    std::string meshName_;
};

// Creates the run's shock waves on their meshes, all inactive.
void MakeShockWaves();

// Three random angles in degrees, 0 to 359, drawn x, y, z.
Vector RandomDirection();
void StartAsteroidBreakup(int index);
void UpdateAsteroidBreakup();
void UpdateAsteroidBreakup2();

// Entry of ExplosionTextures for a random value r in [0, 1): family 1 (entries 1 to 3)
// in mode 1, family 2 (4 to 6) in mode 2; 0 in any other mode (keep the last pick).
int ExplosionSetFor(int mode, float r);
// "explode" sound number for a random value r in [0, 1): 1, 2 or 3.
int ExplosionSoundFor(float r);
void StartExplosionAtAsteroid(int index);
// The flip-book sprites at `point`, `size` times a kill's size, moved `lift` toward the
// eye so that what blows up does not hide its own fireball.
void StartExplosionAt(const Vector& point, float size = 1, float lift = 10);
// A loss's fireball: the flip-book from its first frame in the ship-fire family, whatever
// explosion was running, and running from this frame.
void StartLossExplosion(const Vector& point, float size, float lift);
void AnimateExplosionFlipbook();
void PickExplosionSet();
void ApplyExplosionTexture();
// weapon -1 takes CurrentWeapon (and the caller's variable gets it).
void SpawnHitSparks(const std::string& textureKey, const Vector& point, int size, int& weapon);
inline void SpawnHitSparks(const std::string& textureKey, const Vector& point, int size, int&& weapon) {
    SpawnHitSparks(textureKey, point, size, weapon);
}
void UpdateHitSparks();
void PlayExplosionSound();

void UpdateStarscape();
void ScrollGravityBeam(const AxisSet& axes);
void BuildBeamQuad(const Vector& origin, const Vector& direction);

// ---- HUD overlays: power-up timers, pointers, progress bar ----------------------------

void DrawPowerUpTimers();

// Inset of each pointer slot from the screen edges, reference pixels.
int PointerInset(int slot);
void DrawHudPointers(const AxisSet& axes);
// Throws a marker of a target behind the camera beyond the opposite screen edge.
void MirrorPointBehindCamera();
// The battleship's pointer (and so its progress bar) stays while it flies: the
// frame loop's battleship block clears slot 19 through this, only once it is gone.
void ReleaseBattleshipPointer();

void UpdateProgressBar();
void DrawProgressBar();

}  // namespace quorvel
