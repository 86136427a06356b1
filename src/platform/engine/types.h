#pragma once
// Plain records that the engine hands to the game and takes back.

#include <cmath>

namespace quorvel {

struct Vector {
    float x = 0, y = 0, z = 0;
};

struct Vector2 {
    float x = 0, y = 0;
};

// Red, green, blue and alpha, each 0 to 255.
struct Colour {
    float r = 0, g = 0, b = 0, a = 0;
};

inline float Distance(const Vector& a, const Vector& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

}  // namespace quorvel
