#pragma once
// Small routines the whole game calls.

#include <optional>
#include <string>

#include "platform/engine/records.h"
#include "platform/engine/types.h"

namespace quorvel {

// Degrees to radians as the camera orbits of the main menu, the intro and the
// cut-scenes take them: the short factor 0.01745, not pi / 180; their pictures follow it.
inline constexpr float DegreesToRadians = 0.01745f;

// Uniform in [Low, High): High defaults to 1 and Low to 0; Seed follows the rule
// of the program's random sequence (see platform/system/random.h).
float RandomRange(std::optional<float> high = std::nullopt, std::optional<float> low = std::nullopt,
                  std::optional<float> seed = std::nullopt);

// The nearest whole number, halves to the even one: how screen positions are rounded.
int Nearest(double value);

// True when a and b are strictly closer than maxDistance.
bool InRange(const Vector& a, const Vector& b, float maxDistance);

// Moves value towards zero by frameFactor * rate while active is set; clears
// active when the value would pass zero (it then stops at 0). A value landing
// exactly on 0 leaves active set.
void DecayToZero(bool& active, float& value, float frameFactor, float rate);

// Makes the named mesh current (it stays current) and returns rows 1 to 3 of its
// matrix: its right, up and front axes. Zero vectors when there is no such mesh.
AxisSet GetMeshAxes(const std::string& meshName);

}  // namespace quorvel
