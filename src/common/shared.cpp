#include "common/shared.h"

#include "platform/engine/engine.h"
#include "platform/system/convert.h"
#include "platform/system/random.h"

namespace quorvel {

int Nearest(double value) {
    return static_cast<int>(sys::RoundHalfEven(value));
}

float RandomRange(std::optional<float> high, std::optional<float> low, std::optional<float> seed) {
    double range = 1.0;
    double base = 0.0;
    if (high) range = *high;
    if (low) {
        range -= *low;
        base = *low;
    }
    const double r = sys::Rnd(seed ? std::optional<double>(*seed) : std::nullopt);
    float result = static_cast<float>(r * range + base);
    // r < 1, but rounding to single precision can land on the upper bound itself.
    if (range > 0 && result >= static_cast<float>(base + range)) result = std::nextafter(result, -INFINITY);
    return result;
}

bool InRange(const Vector& a, const Vector& b, float maxDistance) {
    return Distance(a, b) < maxDistance;
}

void DecayToZero(bool& active, float& value, float frameFactor, float rate) {
    if (!active) return;
    const float step = frameFactor * rate;
    if (value > 0) {
        value -= step;
        if (value < 0) {
            value = 0;
            active = false;
        }
    }
    if (value < 0) {
        value += step;
        if (value > 0) {
            value = 0;
            active = false;
        }
    }
}

AxisSet GetMeshAxes(const std::string& meshName) {
    EngineMeshes meshes;  // a handle onto the one engine, like the shared MeshObj
    EngineMath math;
    meshes.SelectMesh(meshName);
    const Matrix4 m = meshes.GetMatrix();
    AxisSet axes;
    axes.AxisRight = math.MakeVector(m(0, 0), m(0, 1), m(0, 2));
    axes.AxisUp = math.MakeVector(m(1, 0), m(1, 1), m(1, 2));
    axes.AxisFront = math.MakeVector(m(2, 0), m(2, 1), m(2, 2));
    return axes;
}

}  // namespace quorvel
