#pragma once
// Triangle meshes built in the engine's axes (right +X, up +Y, front +Z, left-handed),
// written as .3ds and .md2 files.
//
// A triangle's front is the side its normal (b - a) x (c - a) points to, which is the
// side it is seen clockwise from in these axes, as the engine draws fronts; closed parts
// are turned so that it points outward, thin parts are written with both sides.
// Texture coordinates have v running up the picture: (0,0) is its bottom-left corner,
// as .3ds stores them; the engine's readers turn them to rows from the top.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::content {

struct V3 {
    double x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(V3 a, V3 b);
V3 Cross(V3 a, V3 b);
double Length(V3 a);
V3 Normalize(V3 a);

struct V2 {
    double u = 0, v = 0;
};

struct Triangle {
    std::uint32_t a, b, c;
    std::uint32_t smooth;  // smoothing-group bits; 0 shades the face flat
};

struct Mesh {
    std::vector<V3> positions;
    std::vector<V2> uvs;
    std::vector<Triangle> triangles;

    std::uint32_t AddVertex(V3 p, V2 uv);
    void AddTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t smooth = 1);
    // Both sides of a thin surface.
    void AddTwoSided(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t smooth = 0);
    void Append(const Mesh& other);
    void Bounds(V3& lo, V3& hi) const;
};

// Part builders. Each returns a closed part turned outward unless it says otherwise.
using Surface = std::function<V3(double u, double v)>;  // u, v in [0, 1]
// A u-closed grid (u wraps around), v from one pole or rim to the other; poles are
// closed with fans when `capEnds` is set.
Mesh Grid(int nu, int nv, const Surface& surface, bool capEnds, double uvScaleU = 1, double uvScaleV = 1);
Mesh Sphere(double radius, int nu, int nv);
Mesh Box(V3 lo, V3 hi);
// A lathe about the Y axis through the (radius, y) profile, listed from the bottom end
// to the top end; ends off the axis are closed with flat caps unless `caps` is false.
Mesh Lathe(const std::vector<V2>& profile, int segments, bool caps = true);
// A hull lofted through cross sections along Z; each section is a ring of points
// (x, y) at its z; all rings have the same count.
struct Section {
    double z;
    std::vector<V2> ring;
};
Mesh Loft(const std::vector<Section>& sections);
// A flat quad in the XY plane facing both ways, mapping the uv rectangle so that the
// picture reads the right way round from +Z, the side LookAt turns to the viewer.
Mesh Quad(double halfW, double halfH, V2 uv0, V2 uv1);
Mesh Torus(double major, double minor, int nu, int nv);
// An irregular rock: a sphere displaced by smooth noise, `seed` picks the shape.
Mesh Rock(double radius, V3 stretch, double roughness, int detail, std::uint64_t seed);

// Transforms applied to every vertex of a part.
void Translate(Mesh& m, V3 d);
void Scale(Mesh& m, V3 s);
void RotateY(Mesh& m, double degrees);
void RotateX(Mesh& m, double degrees);
void RotateZ(Mesh& m, double degrees);
void Mirror(Mesh& m);  // mirrors across x = 0, keeping faces outward
// Turns every triangle of a part so that it faces away from the interior point
// that `inside` gives for the triangle's centre.
void OrientOutward(Mesh& m, const std::function<V3(V3)>& inside);

// Both writers store engine (X, Y, Z) as the files' Z-up (X, Z, Y) and wind each
// triangle the way the format draws its fronts, so the engine's readers give back the
// mesh as it was built.

// .3ds bytes: one object holding the whole mesh.
std::string Write3ds(const Mesh& mesh, const std::string& objectName);

// .md2 bytes. Every frame moves the same vertices, given in engine axes.
struct Md2Frame {
    std::string name;
    std::vector<V3> positions;
};
std::string WriteMd2(const Mesh& topology, const std::vector<Md2Frame>& frames, int skinWidth, int skinHeight,
                     const std::string& skinName);

}  // namespace quorvel::content
