#include "platform/system/convert.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace quorvel::sys {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    return std::nearbyint(value);  // default rounding mode is to nearest, ties to even
}

namespace {
template <typename Int>
std::optional<Int> ToIntChecked(double value, double low, double high) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = RoundHalfEven(value);
    if (r < low || r > high) return std::nullopt;
    return static_cast<Int>(r);
}
}  // namespace

std::optional<std::int16_t> ToInt16(double value) {
    return ToIntChecked<std::int16_t>(value, -32768.0, 32767.0);
}

std::optional<std::int32_t> ToInt32(double value) {
    return ToIntChecked<std::int32_t>(value, -2147483648.0, 2147483647.0);
}

std::optional<double> ParseNumber(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    size_t end = text.find_last_not_of(" \t") + 1;
    const std::string core = text.substr(begin, end - begin);
    // Only plain decimal numbers: no hex, no "inf"/"nan" that strtod would take.
    for (char c : core) {
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.' || c == 'e' ||
              c == 'E'))
            return std::nullopt;
    }
    errno = 0;
    char* stop = nullptr;
    const double v = std::strtod(core.c_str(), &stop);
    if (stop != core.c_str() + core.size() || errno == ERANGE) return std::nullopt;
    return v;
}

std::optional<std::int16_t> ToInt16(const std::string& text) {
    const auto v = ParseNumber(text);
    return v ? ToInt16(*v) : std::nullopt;
}

std::optional<std::int32_t> ToInt32(const std::string& text) {
    const auto v = ParseNumber(text);
    return v ? ToInt32(*v) : std::nullopt;
}

std::string IntText(long long value) {
    return std::to_string(value);
}

}  // namespace quorvel::sys
