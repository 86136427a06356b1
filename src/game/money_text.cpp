// Money as the status lines show it. On its own so that the save-slot fuzzer can put
// every amount a slot can hold through it.

#include <cmath>
#include <cstdio>
#include <string>

#include "game/run_loop.h"

namespace quorvel {

std::string MoneyText(double money) {
    // Whole dollars of any size: a save slot may hold more than a 64-bit integer can.
    const double whole = std::floor(money);
    if (!std::isfinite(whole) || whole == 0) return "0";
    char text[320];
    std::snprintf(text, sizeof text, "%.0f", whole);
    return text;
}

}  // namespace quorvel
