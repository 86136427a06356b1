#include <gtest/gtest.h>

#include "common/shared.h"
#include "platform/system/random.h"

namespace quorvel {
namespace {

TEST(RandomRange, BoundsByArguments) {
    sys::SeedRandom(1);
    struct Case {
        std::optional<float> high, low;
        float min, max;
    };
    const Case cases[] = {
        {{}, {}, 0.0f, 1.0f},
        {10.0f, 4.0f, 4.0f, 10.0f},
        {{}, 0.5f, 0.5f, 1.0f},
        {5.0f, {}, 0.0f, 5.0f},
    };
    for (const Case& c : cases) {
        float lo = 1e9f, hi = -1e9f;
        for (int i = 0; i < 5000; ++i) {
            const float v = RandomRange(c.high, c.low);
            ASSERT_GE(v, c.min);
            ASSERT_LT(v, c.max);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        // Spread over the range, not stuck in one corner.
        EXPECT_LT(lo, c.min + (c.max - c.min) * 0.05f);
        EXPECT_GT(hi, c.max - (c.max - c.min) * 0.05f);
    }
}

TEST(RandomRange, SeedRules) {
    sys::SeedRandom(9);
    const float a = RandomRange(std::nullopt, std::nullopt, -5.0f);
    RandomRange();
    EXPECT_EQ(RandomRange(std::nullopt, std::nullopt, -5.0f), a);
    const float b = RandomRange();
    EXPECT_EQ(RandomRange(std::nullopt, std::nullopt, 0.0f), b);
    EXPECT_EQ(RandomRange(10.0f, 4.0f, 0.0f), static_cast<float>(sys::Rnd(0.0) * 6.0 + 4.0));
}

TEST(InRange, StrictlyCloser) {
    const Vector a{0, 0, 0}, b{3, 4, 0};
    EXPECT_FALSE(InRange(a, b, 5.0f));
    EXPECT_TRUE(InRange(a, b, 5.001f));
    EXPECT_FALSE(InRange(a, b, 4.999f));
}

TEST(DecayToZero, StepsTowardZeroAndClearsWhenPassing) {
    bool active = true;
    float value = 5;
    std::vector<float> seen;
    for (int i = 0; i < 3; ++i) {
        DecayToZero(active, value, 1.0f, 2.0f);
        seen.push_back(value);
    }
    EXPECT_EQ(seen, (std::vector<float>{3, 1, 0}));
    EXPECT_FALSE(active);

    active = true;
    value = -1;
    DecayToZero(active, value, 2.0f, 1.0f);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(active);

    active = false;
    value = 7;
    DecayToZero(active, value, 1.0f, 2.0f);
    EXPECT_EQ(value, 7);

    active = true;  // landing exactly on zero keeps the flag
    value = 4;
    DecayToZero(active, value, 1.0f, 2.0f);
    DecayToZero(active, value, 1.0f, 2.0f);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(active);
}

}  // namespace
}  // namespace quorvel
