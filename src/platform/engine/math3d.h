#pragma once
// The placement rules (moves, turns, look-at, rotation).

#include <cmath>

#include "platform/engine/records.h"
#include "platform/engine/scene.h"
#include "platform/engine/types.h"

namespace quorvel::engine {

inline bool Finite(const Vector& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

constexpr float kDegrees = 0.017453292519943295f;  // radians per degree

// Row 1 right, row 2 up, row 3 front, row 4 position.
Matrix4 ToMatrix(const Placement& p);

// Moves along the item's own axes.
inline void MoveAlong(Placement& p, const Vector& axis, float distance) {
    if (std::isfinite(distance)) p.position = p.position + axis * distance;
}

// Turns about the item's own right (pitch), up (yaw) or front (roll) axis, or with
// aboutWorld about the world's X, Y or Z axis.
void TurnPitch(Placement& p, float degrees, bool aboutWorld);
void TurnYaw(Placement& p, float degrees, bool aboutWorld);
void TurnRoll(Placement& p, float degrees, bool aboutWorld);

// Rotation (x pitch, y yaw, z roll) in degrees about the world axes: roll first,
// then pitch, then yaw. (0, 0, 0) gives right +X, up +Y, front +Z.
void SetRotation(Placement& p, const Vector& degrees);

// Turns +front toward the point, keeping the world's up as up where it can; a point
// at the item's own position changes nothing.
void LookAt(Placement& p, const Vector& point);

// Takes three axes as given, made unit length and square again (front is kept, up
// is kept as near as it can be). Unusable axes change nothing.
void SetAxes(Placement& p, const Vector& right, const Vector& up, const Vector& front);

// Keeps the axes unit length and square after many small turns.
void Reorthonormalise(Placement& p);

// Spins the item about an axis by the degrees given.
void Spin(Placement& p, const Vector& axis, float degrees, bool ownAxes);

}  // namespace quorvel::engine
