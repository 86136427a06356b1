#pragma once
// Plain value types that the platform parts hand to one another and to the game
// (points, directions, colours), and the vector maths on them. Axes are left-handed:
// Cross(right, up) is front.

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

constexpr Vector operator+(const Vector& a, const Vector& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr Vector operator-(const Vector& a, const Vector& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr Vector operator-(const Vector& a) {
    return {-a.x, -a.y, -a.z};
}
constexpr Vector operator*(const Vector& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
constexpr Vector operator*(float s, const Vector& a) {
    return a * s;
}
constexpr Vector operator/(const Vector& a, float s) {
    return {a.x / s, a.y / s, a.z / s};
}
constexpr Vector& operator+=(Vector& a, const Vector& b) {
    return a = a + b;
}
constexpr Vector& operator-=(Vector& a, const Vector& b) {
    return a = a - b;
}
constexpr Vector& operator*=(Vector& a, float s) {
    return a = a * s;
}

constexpr float Dot(const Vector& a, const Vector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
constexpr Vector Cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vector& a) {
    return std::sqrt(Dot(a, a));
}
// Unit length, or the zero vector when `a` has no usable length (zero, or not finite).
inline Vector Normalise(const Vector& a) {
    const float len = Length(a);
    return len > 1e-12f && std::isfinite(len) ? a * (1.0f / len) : Vector{};
}

// Worked in double, so far-apart points keep their precision.
inline float Distance(const Vector& a, const Vector& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

}  // namespace quorvel
