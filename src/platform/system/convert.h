#pragma once
// Numeric conversions as the game uses them: "taken to the nearest integer,
// halves to the even one", and text to number with failure reported instead of
// a default silently invented.

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel::sys {

// Nearest integer, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);

// Rounded half to even and range-checked; nullopt when out of range or not finite.
std::optional<std::int16_t> ToInt16(double value);
std::optional<std::int32_t> ToInt32(double value);

// Text to number: blanks around it are ignored, a sign and a decimal fraction and
// exponent are accepted; anything else (empty text included) gives nullopt.
std::optional<double> ParseNumber(const std::string& text);
std::optional<std::int16_t> ToInt16(const std::string& text);
std::optional<std::int32_t> ToInt32(const std::string& text);

// Text of an integer as the settings files hold it: no blanks, no leading zeros.
std::string IntText(long long value);

}  // namespace quorvel::sys
