// The campaign's level table, the start of every level and its asteroid field.

#include <algorithm>
#include <cmath>
#include <string>

#include "assets/assets.h"
#include "combat/combat.h"
#include "common/common.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

float R() {
    return RandomRange();
}
int N(double value) {
    return int(sys::RoundHalfEven(value));
}

bool IsMothershipLevel(int level) {
    return level == 5 || level == 15 || level == 25 || level == 35 || level == 45 || level == 50;
}
bool IsGiantAsteroidLevel(int level) {
    return level == 10 || level == 20 || level == 30 || level == 40;
}

// Asteroid hit points: kind x a + b by difficulty.
struct HitPointRule {
    int a, b;
};
constexpr HitPointRule HitPointRules[6] = {{0, 0}, {25, 250}, {30, 500}, {50, 1100}, {75, 1400}, {100, 1700}};

// The asteroid texture of a kind: three skins shared by the ten kinds.
int AsteroidTextureNumber(int kind) {
    if (kind <= 3) return kind;
    if (kind <= 6) return kind - 3;
    if (kind <= 9) return kind - 6;
    return 1;
}

void StationSky(const char* const faces[6]) {
    SkyObj->SelectSkyItem("MySkyCube");
    for (int face = 0; face < 6; ++face)
        SkyObj->SetItemTexture(face, faces[face]);
}

}  // namespace

void InitLevelTable() {
    for (int level = 1; level <= LevelCountMax; ++level) {
        LevelRec& r = Campaign.LevelTable[std::size_t(level)];
        if (level == 1)
            r = {2.8f, 50, 2};
        else if (level <= 5)
            r = {2.8f, 14 + 2 * level, 2};
        else if (level <= 10)
            r = {2.9f, level + 15, 2};
        else if (level <= 15)
            r = {3.1f, level + 10, 3};
        else if (level <= 20)
            r = {3.3f, level + 10, 4};
        else if (level <= 25)
            r = {3.5f, level + 10, 5};
        else if (level <= 30)
            r = {3.6f, level + 5, 6};
        else if (level <= 35)
            r = {3.8f, level, 7};
        else if (level <= 40)
            r = {3.9f, level - 5, 8};
        else if (level <= 45)
            r = {4.0f, level, 9};
        else if (level <= 49)
            r = {4.2f, level - 5, 10};
        else
            r = {4.0f, 50, 10};
    }
    Campaign.GameWon = false;
    Campaign.CurrentLevel = Campaign.StartingLevel - 1;
    StartLevel();
}

void StartLevel() {
    Level.CutsceneRunning = false;
    Level.GoldShipStarted = false;

    // Every running power-up's time is used up.
    const double durations[5] = {0, 30, 45, 45, 60};
    for (int kind = 1; kind <= 4; ++kind)
        PowerUps.PowerUpStart[std::size_t(kind)] = Campaign.FrameStartTime - durations[kind];

    if (Level.FlamingAsteroid) Level.FlamingAsteroid->LevelStartReset();
    Level.FlamingFirstWarned = false;
    Level.FlamingLaunched = false;
    HideMothershipDebris();

    Campaign.CurrentLevel += 1;
    if (Campaign.CurrentLevel > LevelCountMax) {
        Campaign.CurrentLevel = LevelCountMax;
        Campaign.GameWon = true;
    }

    Level.StationDamageLevel = 0;
    SetStationDamageSmoke();
    Battleship.BattleshipTimer = Campaign.FrameStartTime;
    Battleship.BattleshipPending = false;
    // The last level's end waits for this level's battleship, not one beaten before.
    Battleship.BattleshipDestroyed = false;
    ResetScout();
    Scout.ScoutL50Timer = Campaign.FrameStartTime;

    const LevelRec& row = Campaign.LevelTable[std::size_t(Campaign.CurrentLevel)];
    Level.LevelSpeedFactor = row.SpeedFactor;
    Level.AsteroidCount = row.AsteroidCount;
    Level.AsteroidsLeft = row.AsteroidCount;
    Level.LevelKindCount = row.KindCount;

    MeshObj->SelectMesh(Level.StationMeshName);
    MeshObj->SetVisible(true);

    SpawnAsteroidField();
    SetupLevelSkybox();

    Level.LevelStartTime = Campaign.FrameStartTime;
    Level.LevelTimeLimit = 7.0f * float(Level.AsteroidCount);

    if (IsMothershipLevel(Campaign.CurrentLevel)) {
        Mothership.MothershipLevel = true;
        Mothership.MothershipStartTime = Campaign.FrameStartTime;
        Level.LevelTimeLimit += 30;
    } else if (IsGiantAsteroidLevel(Campaign.CurrentLevel)) {
        Mothership.MothershipLevel = false;
        GiantAsteroid.GiantAsteroidPending = true;
        GiantAsteroid.GiantAsteroidFlying = false;
        GiantAsteroid.GiantAsteroidActive = false;
    }

    Level.ShotsFired = 0;
    Level.ShotsHit = 0;
    Level.HitRatio = 0;
    // Levels 25 and 50 end only when their cut-scene has run.
    Level.CutsceneDone = Campaign.CurrentLevel != 25 && Campaign.CurrentLevel != LevelCountMax;
    Level.ShipCollisionsOff = false;
    Battleship.BattleshipHP = Campaign.DifficultyLevel * 175000.0;
    PrepareLevelEnemies();
}

void SpawnAsteroidField() {
    std::array<int, 11> kinds{};
    for (int k = 1; k <= Level.LevelKindCount && k <= 10; ++k)
        kinds[std::size_t(k)] = N(R() * 9 + 1);

    const int zones = Campaign.CurrentLevel < 6    ? 1
                      : Campaign.CurrentLevel < 15 ? 2
                      : Campaign.CurrentLevel < 25 ? 3
                                                   : 4;
    int zone = 0;
    const float D = 50.0f * float(Campaign.CurrentLevel);
    auto S = [](float a) { return 3000 * R() - 1500 - a; };

    for (int i = 1; i <= Level.AsteroidCount + 1 && i <= AsteroidRecords + 1; ++i) {
        const int pick = N(R() * float(Level.LevelKindCount - 1)) + 1;
        int kind = kinds[std::size_t(std::clamp(pick, 1, 10))];
        if (i == Level.AsteroidCount + 1) kind = 1;

        zone = zone + 1 > zones ? 1 : zone + 1;
        Vector p;
        switch (zone) {
            case 1:
                p.x = S(0);
                p.y = S(0);
                p.z = 1500 * R() + 3000 + D;
                break;
            case 2:
                p.x = 1500 * R() + 3000 + D + 3100;
                p.y = S(0);
                p.z = S(3100);
                break;
            case 3:
                p.x = -(1500 * R()) - 3000 - D - 3100;
                p.y = S(0);
                p.z = S(3100);
                break;
            default:
                p.x = S(0);
                p.y = S(0);
                p.z = -(1500 * R()) - 3000 - D - 6100;
                break;
        }
        if (Campaign.CurrentLevel == 1 || Campaign.CurrentLevel == 50) {
            p.x = 2000 * R() - 1000;
            p.y = 2000 * R() - 1000;
            p.z = 2000 * R() - 1000;
        }
        for (float* c : {&p.x, &p.y, &p.z})
            if (std::abs(*c) < 200) *c = 200 * R() + 200;

        const std::string texture = "ast" + std::to_string(AsteroidTextureNumber(kind)) + "txt";
        const std::string key = "asteroid" + std::to_string(Campaign.CurrentLevel) + "_" + std::to_string(i);
        const Vector rotation{359 * R(), 359 * R(), 359 * R()};
        const float spinX = float(N(R())), spinY = float(N(R()));
        const float spinRate = R() + float(Campaign.CurrentLevel) / 100.0f;
        const int id = LoadLevelMesh(key, texture, "asteroid" + std::to_string(kind), "fade100", p, 7.0f,
                                     false, false, {spinX, spinY, 1}, spinRate, true, true, false, rotation);

        AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        a.MeshId = id;
        a.Index = i;
        a.Active = true;
        a.Parked = false;
        a.Damage = 0;
        a.MeshKey = key;
        a.Kind = kind;
        a.Pos = p;
        if (i == Level.AsteroidCount + 1 && id >= 0) MeshObj->SetVisible(false);  // the hidden spare
        const int d =
            Campaign.DifficultyLevel >= 1 && Campaign.DifficultyLevel <= 5 ? Campaign.DifficultyLevel : 0;
        a.HitPoints = kind * HitPointRules[d].a + HitPointRules[d].b;
        a.TextureKey = texture;
    }

    SoundObj->ClearSounds();
    LoadGameSounds();
    SetActiveAsteroidCount();
}

float AsteroidSpeed() {
    if (Campaign.CurrentLevel == 1) return 0;
    constexpr float byDifficulty[6] = {1.0f, 0.4f, 0.6f, 1.0f, 1.15f, 1.3f};
    const int d =
        Campaign.DifficultyLevel >= 1 && Campaign.DifficultyLevel <= 5 ? Campaign.DifficultyLevel : 0;
    return Campaign.FrameFactor * Level.LevelSpeedFactor * byDifficulty[d];
}

void SetupLevelSkybox() {
    static const char* const secondSky[6] = {"sp201", "sp203", "sp202", "sp204", "sp205", "sp206"};
    static const char* const firstSky[6] = {"sd_back",  "sd_front",  "sd_left",
                                            "sd_right", "sd_bottom", "sd_top"};
    if (Campaign.CurrentLevel >= 26) {
        StationSky(secondSky);
        Effects.SmokeFx[1].Pos = {600, 244.72f, -2850};
        Effects.SmokeFx[2].Pos = {779.36f, 363.2f, -2998.32f};
        Effects.SmokeFx[3].Pos = {632.56f, 331.68f, -3081.04f};
        Effects.SmokeFx[4].Pos = {975.04f, 614.32f, -3056.96f};
    } else if (Campaign.CurrentLevel >= 2) {
        StationSky(firstSky);
        Effects.SmokeFx[1].Pos = {456, -82, -3252};
        Effects.SmokeFx[2].Pos = {323, 340, -3300};
        Effects.SmokeFx[3].Pos = {648.8f, 147.2f, -3052};
        Effects.SmokeFx[4].Pos = {877, 458.4f, -3099};
    }
}

void SetWeaponStartValues() {
    struct Start {
        ShotRec& record;
        float reloadRate;
        int damage;
        float speed;
    };
    const Start starts[] = {{Arsenal.PlasmaShots[0], 15, 110, 32}, {Arsenal.LaserShots[0], 15, 125, 37},
                            {Arsenal.IonShots[0], 20, 160, 37},    {Arsenal.MionShots[0], 22, 225, 39},
                            {Arsenal.EplasShots[0], 22, 300, 37},  {Arsenal.DisperseShots[0], 25, 225, 32},
                            {Arsenal.GammaShots[0], 4, 2500, 32}};
    for (const Start& s : starts) {
        s.record.ReloadRate = s.reloadRate;
        s.record.DamagePerHit = s.damage;
        s.record.ShotSpeed = s.speed;
        s.record.Reload = 0;
    }
}

void AdvanceWeaponReload() {
    for (ShotRec* r :
         {&Arsenal.PlasmaShots[0], &Arsenal.LaserShots[0], &Arsenal.IonShots[0], &Arsenal.MionShots[0],
          &Arsenal.GammaShots[0], &Arsenal.EplasShots[0], &Arsenal.DisperseShots[0]})
        r->Reload += Campaign.FrameFactor * r->ReloadRate;
}

}  // namespace quorvel
