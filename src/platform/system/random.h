#pragma once
// The program's one random sequence.
//
// Rnd() follows the classic seed rule: no seed or a positive seed gives the next
// number of the sequence, zero repeats the number drawn last, and a negative seed
// restarts the sequence from that seed, so it gives the same number every time.
// Values are uniform in [0, 1).

#include <cstdint>
#include <optional>

namespace quorvel::sys {

double Rnd(std::optional<double> seed = std::nullopt);

// Restarts the sequence from a fixed seed (tests do this).
void SeedRandom(std::uint64_t seed);
// Restarts the sequence from the time of day, as the game does once at start.
void Randomize();

}  // namespace quorvel::sys
