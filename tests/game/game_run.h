#pragma once
// The game-run tests' fixture: the harness and the generated content set as the
// program folder (read only).

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <utility>

#include "game/run_objects.h"
#include "game/state.h"
#include "platform/forms/null_host.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"
#include "support/harness.h"
#include "support/scenarios.h"
#include "support/temp_folder.h"

namespace quorvel::test {

// The harness and the content set; skips when the build made no content.
class GameRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ContentSetBuilt()) GTEST_SKIP() << "the build generates no content set";
        sys::SetProgramFolder(QUORVEL_GAME_DIR);  // read only: nothing here writes a file
        sys::SeedRandom(11);
    }
    Harness h;
};

// Whole runs through the real screens (support/scenarios.h): the content set in a
// program folder of the test's own, a forms host, and the harness at a screen size;
// skips when the build made no content. Each suite seeds the random numbers its own way.
class GameScenario : public ::testing::Test {
  protected:
    explicit GameScenario(std::uint64_t seed, std::pair<int, int> screen = {1280, 1024})
        : h(screen.first, screen.second), seed_(seed) {}
    void SetUp() override {
        if (!ContentSetBuilt()) GTEST_SKIP() << "the build generates no content set";
        sys::SeedRandom(seed_);
    }
    // Whether `level` is being played: loaded, not ending, and in the frame loop.
    std::function<bool()> InLevel(int level) {
        return [this, level] {
            return Campaign.CurrentLevel == level && !LevelEnd.LevelEnding && InFrameLoop(h);
        };
    }
    ContentFolder content;
    forms::NullHost host;
    Harness h;

  private:
    std::uint64_t seed_;
};

// Level 7 started as a game run starts it, with `money`, two frames into the frame
// loop, which the test then runs a frame at a time; skips when the build made no content.
class RunningLevel : public ::testing::Test {
  protected:
    explicit RunningLevel(double money) : money_(money) {}
    void SetUp() override {
        if (!ContentSetBuilt()) GTEST_SKIP() << "the build generates no content set";
        sys::SeedRandom(3);
        PrepareGameStart();
        StartGameRun({7, false, false, false, false, false, money_, false, 1});
        Frames(2);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            RunGameFrame();
    }
    ContentFolder content;
    Harness h;

  private:
    double money_;
};

// The records of a run with an empty program folder: every model and sound the level
// start loads is missing, and these tests look at the records, not at what was loaded.
class LevelRecordsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h.ExpectFailedLoad(folder.str());
        UseAsProgramFolder(folder);
        sys::SeedRandom(5);
        MakeRunObjects();
        Campaign.FrameStartTime = 1000;
    }
    // The game run's level start at `level`.
    void StartAt(int level, int difficulty = 2) {
        Campaign.DifficultyLevel = difficulty;
        Campaign.StartingLevel = level;
        InitLevelTable();
    }
    TempFolder folder;
    Harness h;
};

}  // namespace quorvel::test
