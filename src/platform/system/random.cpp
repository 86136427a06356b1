#include "platform/system/random.h"

#include <bit>
#include <deque>

#include "platform/system/clock.h"

namespace quorvel::sys {
namespace {

// splitmix64: small, fast and good enough for a game; reseeding is one assignment.
std::uint64_t state = 0x853c49e6748fea9bULL;
double last = 0.0;
std::deque<double> queued;

std::uint64_t Next() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

double NextUnit() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

}  // namespace

double Rnd(std::optional<double> seed) {
    if (seed) {
        if (*seed == 0.0) return last;
        if (*seed < 0.0) {
            state = std::bit_cast<std::uint64_t>(*seed);
            last = NextUnit();
            return last;
        }
    }
    if (!queued.empty()) {
        last = queued.front();
        queued.pop_front();
        return last;
    }
    last = NextUnit();
    return last;
}

void SeedRandom(std::uint64_t seed) {
    state = seed;
    last = 0.0;
    queued.clear();
}

void Randomize() {
    // The program's time of day, carried to the nanosecond by the monotonic clock; under
    // the tests' virtual clock it is that clock's, so a scripted run replays.
    SeedRandom(std::bit_cast<std::uint64_t>(WallClock()));
}

void QueueRandom(std::vector<double> values) {
    queued.insert(queued.end(), values.begin(), values.end());
}

}  // namespace quorvel::sys
