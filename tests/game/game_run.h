#pragma once
// The game-run tests' fixture: the harness and the generated content set as the
// program folder (read only).

#include <gtest/gtest.h>

#include "game/run_objects.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"
#include "support/harness.h"

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

}  // namespace quorvel::test
