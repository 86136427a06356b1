// An enemy shot that reached the ship (the bosses', the scout's, the battleship's) costs
// the shield through the frame loop: a flash of the "shield" image, then 18 points.

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/run_objects.h"
#include "game/state.h"
#include "platform/system/random.h"
#include "game/game_run.h"
#include "support/harness.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

class PlayerHitTest : public test::RunningLevel {
  protected:
    PlayerHitTest() : RunningLevel(0) {}
    bool ShieldImageShown() const {
        const auto* image = h.Scene().images.Find("shield");
        return image && image->visible;
    }
};

// The ship sits at its start pose, where a collision flash is dropped: a hit still
// flashes and costs 18 once, and the hit is spent with it.
TEST_F(PlayerHitTest, AHitFlashesThenCostsTheShieldOnce) {
    Ship.ShieldDamage = 40;
    Level.PlayerHitPending = true;
    Frames(8);
    EXPECT_TRUE(ShieldImageShown());
    EXPECT_TRUE(Level.PlayerHitPending);
    Frames(12);
    EXPECT_FALSE(ShieldImageShown());
    EXPECT_FALSE(Level.PlayerHitPending);
    EXPECT_NEAR(Ship.ShieldDamage, 58, 1);
    const float afterHit = Ship.ShieldDamage;
    Frames(30);
    EXPECT_LE(Ship.ShieldDamage, afterHit);  // the slow recharge only
    EXPECT_FALSE(Level.ShipDestroyed);
}

TEST_F(PlayerHitTest, InvincibleTheHitWaits) {
    Ship.Invincible = true;
    Level.PlayerHitPending = true;
    Frames(30);
    EXPECT_TRUE(Level.PlayerHitPending);
    EXPECT_EQ(Ship.ShieldDamage, 0);
    Ship.Invincible = false;
    Frames(30);
    EXPECT_FALSE(Level.PlayerHitPending);
    EXPECT_NEAR(Ship.ShieldDamage, 18, 1);
}

TEST_F(PlayerHitTest, AHitOnTheLastOfTheShieldLosesTheShip) {
    Ship.ShieldDamage = 90;
    Level.PlayerHitPending = true;
    Frames(20);
    EXPECT_TRUE(Level.ShipDestroyed);
}

}  // namespace
}  // namespace quorvel
