#include "platform/system/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel {
namespace {

void ExpectVector(const Vector& got, const Vector& want, const char* what) {
    EXPECT_FLOAT_EQ(got.x, want.x) << what;
    EXPECT_FLOAT_EQ(got.y, want.y) << what;
    EXPECT_FLOAT_EQ(got.z, want.z) << what;
}

const Vector kRight{1, 0, 0}, kUp{0, 1, 0}, kFront{0, 0, 1};

TEST(VectorMaths, OperatorsGiveTheResultsOfTheirComponents) {
    const Vector a{1, -2, 3}, b{4, 5, -6};
    struct Case {
        const char* what;
        Vector got, want;
    };
    Vector sum = a, difference = a, scaled = a;
    sum += b;
    difference -= b;
    scaled *= -2;
    const Case cases[] = {
        {"a + b", a + b, {5, 3, -3}},
        {"a - b", a - b, {-3, -7, 9}},
        {"-a", -a, {-1, 2, -3}},
        {"a * 2", a * 2, {2, -4, 6}},
        {"2 * a", 2 * a, {2, -4, 6}},
        {"a / 2", a / 2, {0.5f, -1, 1.5f}},
        {"+=", sum, {5, 3, -3}},
        {"-=", difference, {-3, -7, 9}},
        {"*=", scaled, {-2, 4, -6}},
        // Left-handed axes: right x up is front, and the turn goes on round.
        {"Cross(right, up)", Cross(kRight, kUp), kFront},
        {"Cross(up, front)", Cross(kUp, kFront), kRight},
        {"Cross(front, right)", Cross(kFront, kRight), kUp},
        {"Cross(up, right)", Cross(kUp, kRight), -kFront},
        {"Cross(a, a)", Cross(a, a), {}},
        {"Normalise(3, 0, -4)", Normalise({3, 0, -4}), {0.6f, 0, -0.8f}},
        {"Normalise(front * 1e-3)", Normalise(kFront * 1e-3f), kFront},
        {"Normalise(zero)", Normalise({}), {}},
    };
    for (const Case& c : cases)
        ExpectVector(c.got, c.want, c.what);
}

TEST(VectorMaths, DotLengthAndDistance) {
    struct Case {
        const char* what;
        float got, want;
    };
    const Case cases[] = {
        {"Dot(a, b)", Dot({1, -2, 3}, {4, 5, -6}), -24},
        {"Dot(right, up)", Dot(kRight, kUp), 0},
        {"Length(3, 0, -4)", Length({3, 0, -4}), 5},
        {"Length(zero)", Length({}), 0},
        {"Length(Normalise(1, 2, 3))", Length(Normalise({1, 2, 3})), 1},
        {"Distance", Distance({1, 1, 1}, {4, 5, 1}), 5},
        // Far from the origin the difference is still exact.
        {"Distance far out", Distance({1e7f, 0, 0}, {1e7f + 1, 0, 0}), 1},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(c.got, c.want) << c.what;
}

TEST(VectorMaths, NormaliseOfAVectorWithoutAUsableLengthIsZero) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Vector& v : {Vector{inf, 0, 0}, Vector{nan, 1, 1}, Vector{1e-20f, 0, 0}}) {
        const Vector n = Normalise(v);
        EXPECT_EQ(n.x, 0);
        EXPECT_EQ(n.y, 0);
        EXPECT_EQ(n.z, 0);
    }
}

}  // namespace
}  // namespace quorvel
