#pragma once
// The program's one random sequence.
//
// Rnd() follows the classic seed rule: no seed or a positive seed gives the next
// number of the sequence, zero repeats the number drawn last, and a negative seed
// restarts the sequence from that seed, so it gives the same number every time.
// Values are uniform in [0, 1).

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvel::sys {

double Rnd(std::optional<double> seed = std::nullopt);

// Restarts the sequence from a fixed seed (tests do this).
void SeedRandom(std::uint64_t seed);
// Restarts the sequence from the time of day, as the game does at start and at each
// level's load; under the tests' virtual clock, from that clock's time.
void Randomize();

// The next draws that would take a new number (no seed or a positive one) give these
// values, in order; then the sequence goes on where it was. Tests script the rolls
// a rule makes with it. Reseeding drops what is left.
void QueueRandom(std::vector<double> values);

}  // namespace quorvel::sys
