#include <gtest/gtest.h>

#include <cmath>

#include "platform/system/convert.h"

namespace quorvel::sys {
namespace {

TEST(Convert, RoundsHalvesToEven) {
    const std::pair<double, double> cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4}, {-2.5, -2},
                                               {-3.5, -4}, {2.4999, 2}, {2.5001, 3}, {6.25, 6}};
    for (auto [in, out] : cases)
        EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(Convert, TextToInt16) {
    struct Case {
        const char* text;
        std::optional<std::int16_t> value;
    };
    const Case cases[] = {
        {"13", 13},    {" 7 ", 7},     {"-2", -2},  {"2.5", 2},   {"32767", 32767},
        {"32768", {}}, {"-32769", {}}, {"", {}},    {"abc", {}},  {"5x", {}},
        {"0x10", {}},  {"inf", {}},    {"nan", {}}, {"1e2", 100}, {"file missing or corrupt - /x", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToInt16(std::string(c.text)), c.value) << '"' << c.text << '"';
}

TEST(Convert, NumberToIntRejectsWhatDoesNotFit) {
    EXPECT_EQ(ToInt16(40000.0), std::nullopt);
    EXPECT_EQ(ToInt32(NAN), std::nullopt);
    EXPECT_EQ(ToInt32(-2147483648.0), std::optional<std::int32_t>(INT32_MIN));
    EXPECT_EQ(IntText(-12), "-12");
}

}  // namespace
}  // namespace quorvel::sys
