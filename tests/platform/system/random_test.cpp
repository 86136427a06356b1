#include <gtest/gtest.h>

#include "platform/system/clock.h"
#include "platform/system/random.h"

namespace quorvel::sys {
namespace {

TEST(Random, SeedRules) {
    SeedRandom(42);
    const double a = Rnd();
    EXPECT_EQ(Rnd(0.0), a) << "zero repeats the number drawn last";
    const double b = Rnd(1.0);
    EXPECT_NE(b, a) << "a positive seed gives the next number";

    const double n1 = Rnd(-3.0);
    Rnd();
    Rnd();
    EXPECT_EQ(Rnd(-3.0), n1) << "a negative seed gives the same number every time";
    EXPECT_NE(Rnd(-4.0), n1);
}

TEST(Random, SameSeedSameSequenceAndUnitRange) {
    SeedRandom(7);
    std::vector<double> first;
    for (int i = 0; i < 1000; ++i)
        first.push_back(Rnd());
    SeedRandom(7);
    for (int i = 0; i < 1000; ++i) {
        const double r = Rnd();
        ASSERT_EQ(r, first[i]);
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

TEST(Random, QueuedValuesComeFirstThenTheSequenceGoesOn) {
    SeedRandom(9);
    const double first = Rnd();
    const double second = Rnd();
    SeedRandom(9);
    QueueRandom({0.25, 0.5});
    EXPECT_EQ(Rnd(), 0.25);
    EXPECT_EQ(Rnd(0.0), 0.25) << "zero still repeats the value drawn last";
    EXPECT_EQ(Rnd(2.0), 0.5);
    EXPECT_EQ(Rnd(), first) << "the sequence was not used by the queued values";
    QueueRandom({0.75});
    const double fixed = Rnd(-3.0);
    EXPECT_EQ(Rnd(-3.0), fixed) << "a negative seed is not answered from the queue";
    SeedRandom(9);
    EXPECT_EQ(Rnd(), first) << "reseeding drops what is left";
    EXPECT_EQ(Rnd(), second);
}

// Seeding from the time of day replays under the virtual clock (a scripted run loads
// levels at the same moments every time) and still follows the time as it moves on.
TEST(Random, TimeOfDaySeedFollowsTheVirtualClock) {
    auto drawsAfterRandomize = [] {
        Randomize();
        return std::vector<double>{Rnd(), Rnd(), Rnd()};
    };
    UseVirtualClock(12 * 3600.0);
    AdvanceVirtualClock(5.5);
    const std::vector<double> first = drawsAfterRandomize();
    SeedRandom(1);
    Rnd();
    EXPECT_EQ(drawsAfterRandomize(), first) << "the same time seeds the same sequence";
    AdvanceVirtualClock(1.0 / 60.0);
    EXPECT_NE(drawsAfterRandomize(), first) << "a frame later seeds another";
    UseRealClock();
}

}  // namespace
}  // namespace quorvel::sys
