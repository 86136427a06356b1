#pragma once
// A game run's level set up headless, as the game run's start-up does it: the run's
// engine objects and sound device, LoadLevel, then the level table and the first
// level.

#include <filesystem>
#include <memory>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "game/game.h"
#include "game/state.h"
#include "common/engine_objects.h"
#include "shell/shell.h"

namespace quorvel::test {

inline bool ContentSetBuilt() {
    return std::filesystem::exists(std::string(QUORVEL_GAME_DIR) + "/tex/ast1txt.jpg");
}

// The engine objects a game run uses, made anew (the run replaces the menu's).
inline void MakeRunObjects() {
    CreateEngineObjects();
    AnimMeshObj = std::make_unique<EngineAnimatedModels>();
    Campaign.SoundDevice = std::make_unique<clsDirectSound8>();
    Campaign.SoundDevice->Startup(0);
    for (auto& p : Campaign.PositionalSounds)
        p = std::make_unique<clsDSWave8>();
    Level.FlamingAsteroid = std::make_unique<clsFlamingAsteroid>();
    MakeShockWaves();
    Arsenal.GravityBeam = std::make_unique<clsZeroPoint>();
}

// Loads the run's scene and starts `level`, with the detail settings given.
inline void LoadRunAt(int level, int graphics = 2, int particles = 1, int difficulty = 2) {
    Display.GraphicsLevel = graphics;
    Display.ParticleLevel = particles;
    Campaign.DifficultyLevel = difficulty;
    MakeRunObjects();
    Campaign.StartingLevel = level;
    Campaign.CurrentLevel = level - 1;
    LoadLevel();
    SetWeaponStartValues();
    ApplyAlienDifficulty();
    InitLevelTable();
}

}  // namespace quorvel::test
