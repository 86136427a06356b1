#pragma once
// What the tests of the pause and game-over menu, the weapon shop and the in-level
// options share: the in-game hit lists, pointing at an item as a player does, and one
// frame of a menu as the frame loop gives it.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game/in_game_menu.h"
#include "game/run_objects.h"
#include "game/state.h"
#include "support/harness.h"

namespace quorvel::test {

// Lists 0 (pause), 1 (game over) and 2 (shop) as the game run builds them.
void FillMenuLists();

// Puts the pointer on the middle of a row of list 0, 1 or 2, or on a picture point.
void PointAtRow(int list, int row);
void PointAtPicture(int x, int y);

// One frame: begun, the clock and frame factor taken as the frame loop takes them,
// the screen's step, rendered and shown.
void MenuFrame(const std::function<void()>& step);

// The generated content set as the (read-only) program folder and a screen of W x H.
template <int W, int H>
class MenuScreenTestAt : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ContentSetBuilt()) GTEST_SKIP() << "the build generates no content set";
        UseContent();
    }
    // A run's engine objects, screen metrics, hit lists and music player, without a
    // level: enough for the menus' own logic.
    void MakeMenuRun() {
        MakeRunObjects();
        Prepare();
    }
    // A real level under the menu (about five seconds: once per test).
    void LoadLevelAt(int level) {
        LoadRunAt(level);
        Prepare();
    }
    // Engine sounds started so far whose file name ends so.
    int SoundsPlayed(const std::string& fileEnd) const {
        int n = 0;
        for (const std::string& path : h.Audio().Played())
            n += path.ends_with(fileEnd);
        return n;
    }
    Harness h{W, H};

  private:
    void UseContent();
    void Prepare();
};

using MenuScreenTest = MenuScreenTestAt<1280, 1024>;

}  // namespace quorvel::test
