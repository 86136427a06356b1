#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quorvel::sys
