#pragma once
// The game-run tests' fixture: the harness and the generated content set as the
// program folder (read only).

#include <gtest/gtest.h>

#include "game/run_objects.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"
#include "support/harness.h"
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

// The records of a run with an empty program folder: every model and sound the level
// start loads is missing, and these tests look at the records, not at what was loaded.
class LevelRecordsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h.ExpectFailedLoad(folder.str());
        UseAsProgramFolder(folder);
        sys::SeedRandom(5);
        MakeRunObjects();
        FrameStartTime = 1000;
    }
    // The game run's level start at `level`.
    void StartAt(int level, int difficulty = 2) {
        DifficultyLevel = difficulty;
        StartingLevel = level;
        InitLevelTable();
    }
    TempFolder folder;
    Harness h;
};

}  // namespace quorvel::test
