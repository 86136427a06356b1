// Placement rules: every turn is a rotation about a unit axis with one sense, so
// that a positive yaw turns the front toward the right, a positive pitch turns it
// down and a positive roll turns the right axis up (left-handed axes).

#include "platform/engine/math3d.h"

namespace quorvel::engine {
namespace {

// Rotates v about the unit axis k by the angle (radians).
Vector Rotate(const Vector& v, const Vector& k, float radians) {
    const float c = std::cos(radians), s = std::sin(radians);
    return v * c + Cross(k, v) * s + k * (Dot(k, v) * (1 - c));
}

void RotateAll(Placement& p, const Vector& axis, float degrees) {
    if (!std::isfinite(degrees) || degrees == 0) return;
    const float r = degrees * kDegrees;
    const Vector k = axis;  // copy: the axis may be one of p's own
    p.right = Rotate(p.right, k, r);
    p.up = Rotate(p.up, k, r);
    p.front = Rotate(p.front, k, r);
    Reorthonormalise(p);
}

}  // namespace

Matrix4 ToMatrix(const Placement& p) {
    Matrix4 m;
    const Vector rows[4] = {p.right, p.up, p.front, p.position};
    for (int r = 0; r < 4; ++r) {
        m(r, 0) = rows[r].x;
        m(r, 1) = rows[r].y;
        m(r, 2) = rows[r].z;
        m(r, 3) = r == 3 ? 1.0f : 0.0f;
    }
    return m;
}

void TurnPitch(Placement& p, float degrees, bool aboutWorld) {
    RotateAll(p, aboutWorld ? Vector{1, 0, 0} : p.right, degrees);
}

void TurnYaw(Placement& p, float degrees, bool aboutWorld) {
    RotateAll(p, aboutWorld ? Vector{0, 1, 0} : p.up, degrees);
}

void TurnRoll(Placement& p, float degrees, bool aboutWorld) {
    RotateAll(p, aboutWorld ? Vector{0, 0, 1} : p.front, degrees);
}

void SetRotation(Placement& p, const Vector& degrees) {
    if (!Finite(degrees)) return;
    p.right = {1, 0, 0};
    p.up = {0, 1, 0};
    p.front = {0, 0, 1};
    TurnRoll(p, degrees.z, true);
    TurnPitch(p, degrees.x, true);
    TurnYaw(p, degrees.y, true);
}

void LookAt(Placement& p, const Vector& point) {
    if (!Finite(point)) return;
    const Vector front = Normalise(point - p.position);
    if (Length(front) == 0) return;
    Vector right = Normalise(Cross(Vector{0, 1, 0}, front));
    if (Length(right) < 0.5f) {
        // Looking straight up or down: keep the item's own up as the reference.
        right = Normalise(Cross(p.up, front));
        if (Length(right) < 0.5f) right = Normalise(Cross(Cross(front, p.right), front));
        if (Length(right) < 0.5f) return;
    }
    p.front = front;
    p.right = right;
    p.up = Cross(front, right);
}

void SetAxes(Placement& p, const Vector& right, const Vector& up, const Vector& front) {
    if (!Finite(right) || !Finite(up) || !Finite(front)) return;
    const Vector f = Normalise(front);
    if (Length(f) == 0) return;
    Vector r = Normalise(Cross(up, f));
    if (Length(r) < 0.5f) r = Normalise(right - f * Dot(right, f));
    if (Length(r) < 0.5f) return;
    p.front = f;
    p.right = r;
    p.up = Cross(f, r);
}

void Reorthonormalise(Placement& p) {
    const Vector f = Normalise(p.front);
    Vector r = Normalise(p.right - f * Dot(p.right, f));
    if (Length(f) == 0 || Length(r) == 0) {
        p.right = {1, 0, 0};
        p.up = {0, 1, 0};
        p.front = {0, 0, 1};
        return;
    }
    p.front = f;
    p.right = r;
    p.up = Cross(f, r);
}

void Spin(Placement& p, const Vector& axis, float degrees, bool ownAxes) {
    const Vector a = Normalise(axis);
    if (Length(a) == 0) return;
    const Vector k = ownAxes ? Normalise(p.right * a.x + p.up * a.y + p.front * a.z) : a;
    RotateAll(p, k, degrees);
}

}  // namespace quorvel::engine
