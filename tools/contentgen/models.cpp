// Model recipes. Sizes are in model units and follow the scales the game loads them
// at: a ship at scale 5 spans about 120 world units, a station at scale 8 about 700,
// the mothership and the battleship are built at world size (scale 1).

#include <algorithm>
#include <cmath>

#include "generate.h"
#include "mesh.h"
#include "noise.h"

namespace quorvel::content {

namespace {

constexpr double kPi = 3.14159265358979323846;

// An ellipse of n points in the XY plane, centred at (cx, cy).
std::vector<V2> Ellipse(int n, double w, double h, double cx = 0, double cy = 0) {
    std::vector<V2> ring;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        ring.push_back({cx + w * std::cos(a), cy + h * std::sin(a)});
    }
    return ring;
}

// A hull along Z through (z, half width, half height, centre height) stations.
struct Station {
    double z, w, h, cy;
};
Mesh Hull(const std::vector<Station>& stations, int sides) {
    std::vector<Section> sections;
    for (const Station& s : stations)
        sections.push_back({s.z, Ellipse(sides, s.w, s.h, 0, s.cy)});
    return Loft(sections);
}

// A convex polygon in the XZ plane (x, z pairs) extruded from y0 to y1.
Mesh Slab(const std::vector<V2>& xz, double y0, double y1) {
    Mesh m;
    const int n = int(xz.size());
    V3 c{0, (y0 + y1) / 2, 0};
    for (const V2& p : xz)
        c = c + V3{p.u / n, 0, p.v / n};
    std::vector<std::uint32_t> lo, hi;
    for (const V2& p : xz) {
        lo.push_back(m.AddVertex({p.u, y0, p.v}, {p.u / 20, p.v / 20}));
        hi.push_back(m.AddVertex({p.u, y1, p.v}, {p.u / 20, p.v / 20}));
    }
    for (int i = 1; i + 1 < n; ++i) {
        m.AddTriangle(lo[0], lo[i], lo[i + 1], 0);
        m.AddTriangle(hi[0], hi[i], hi[i + 1], 0);
    }
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        const std::uint32_t a = m.AddVertex({xz[i].u, y0, xz[i].v}, {0, 0});
        const std::uint32_t b = m.AddVertex({xz[j].u, y0, xz[j].v}, {1, 0});
        const std::uint32_t d = m.AddVertex({xz[j].u, y1, xz[j].v}, {1, 1});
        const std::uint32_t e = m.AddVertex({xz[i].u, y1, xz[i].v}, {0, 1});
        m.AddTriangle(a, b, d, 0);
        m.AddTriangle(a, d, e, 0);
    }
    OrientOutward(m, [c](V3) { return c; });
    return m;
}

// A slab standing in the YZ plane (a fin): (z, y) pairs, from x0 to x1.
Mesh Fin(const std::vector<V2>& zy, double x0, double x1) {
    std::vector<V2> xz;
    for (const V2& p : zy)
        xz.push_back({p.v, p.u});  // build as (y, z), then turn y into x
    Mesh m = Slab(xz, x0, x1);
    for (V3& p : m.positions)
        p = {p.y, p.x, p.z};
    for (Triangle& t : m.triangles)
        std::swap(t.b, t.c);  // swapping two axes mirrors
    return m;
}

// A tapered round beam from a to b.
Mesh Beam(V3 a, V3 b, double r0, double r1, int sides = 8) {
    const V3 d = b - a;
    const double len = Length(d);
    Mesh m = Loft({{0, Ellipse(sides, r0, r0)}, {len, Ellipse(sides, r1, r1)}});
    const double elev = std::asin(std::clamp(d.y / len, -1.0, 1.0)) * 180 / kPi;
    const double yaw = std::atan2(d.x, d.z) * 180 / kPi;
    RotateX(m, -elev);
    RotateY(m, yaw);
    Translate(m, a);
    return m;
}

// A nozzle or pod along Z: a lathe turned so that its axis runs along +Z.
Mesh Pod(double radius, double z0, double z1, V3 at, int sides = 12) {
    const double len = z1 - z0;
    Mesh m = Lathe(
        {{0, 0}, {radius * 0.8, 0}, {radius, len * 0.15}, {radius, len * 0.8}, {radius * 0.6, len}, {0, len}},
        sides);
    RotateX(m, 90);  // +Y becomes +Z
    Translate(m, {at.x, at.y, at.z + z0});
    return m;
}

Mesh Ellipsoid(V3 radius, V3 at, int nu = 16, int nv = 8) {
    Mesh m = Sphere(1, nu, nv);
    Scale(m, radius);
    Translate(m, at);
    return m;
}

void Flat(Mesh& m) {
    for (Triangle& t : m.triangles)
        t.smooth = 0;
}

// Mirror a right-hand part to the left and keep both.
Mesh Pair(const Mesh& right) {
    Mesh both = right;
    Mesh left = right;
    Mirror(left);
    both.Append(left);
    return both;
}

// ---- the gold ship: nose toward -Z -----------------------------------------------
enum GoldPiece { kGoldNose, kGoldLeftWing, kGoldRightWing, kGoldTail };

Mesh GoldPart(GoldPiece part) {
    Mesh m;
    switch (part) {
        case kGoldNose:
            m = Hull({{-12, 0.05, 0.05, 0}, {-9, 1.2, 0.9, 0}, {-5, 2.0, 1.5, 0.1}, {-2, 2.4, 1.8, 0.2}}, 10);
            m.Append(Ellipsoid({1.1, 0.8, 2.8}, {0, 1.5, -4.5}));  // canopy
            break;
        case kGoldRightWing:
        case kGoldLeftWing: {
            m = Slab({{1.6, -4}, {11, 7}, {11, 8.8}, {1.6, 8.5}}, -0.25, 0.2);
            // Wing-tip gun: its root runs along the tip, the barrel reaches forward.
            m.Append(Beam({10.8, 0, 8.6}, {10.8, 0, -2}, 0.35, 0.12, 6));
            if (part == kGoldLeftWing) Mirror(m);
            break;
        }
        case kGoldTail:
            m = Hull({{-2, 2.4, 1.8, 0.2}, {4, 2.3, 1.8, 0.1}, {9, 2.0, 1.5, 0}, {11.5, 1.6, 1.1, 0}}, 10);
            m.Append(Pod(1.0, 5, 12.6, {2.7, -0.4, 0}));
            m.Append(Pod(1.0, 5, 12.6, {-2.7, -0.4, 0}));
            m.Append(Fin({{5, 1.2}, {11, 1.2}, {11.5, 4.6}, {9.5, 4.6}}, -0.18, 0.18));
            break;
    }
    return m;
}

// A wing as it breaks off the gold ship: torn at the root, where a lump of the
// fuselage and the spar still hang on it, and bent down along the tear across it.
Mesh WreckWing(bool left) {
    Mesh inner = Slab({{1.6, -4}, {6, 0.6}, {6, 8.6}, {1.6, 8.5}}, -0.4, 0.3);
    Mesh outer = Slab({{6, 0.6}, {11, 7}, {11, 8.8}, {6, 8.6}}, -0.35, 0.25);
    outer.Append(Beam({10.8, 0, 8.6}, {10.8, 0, -2}, 0.35, 0.12, 6));
    Translate(outer, {-6, 0, 0});
    RotateZ(outer, -16);
    Translate(outer, {6, 0, 0});
    inner.Append(outer);
    inner.Append(Beam({0.6, 0, 3}, {6.2, -0.1, 3}, 0.35, 0.3, 6));
    Mesh lump = Rock(1.9, {0.8, 0.9, 1.8}, 0.45, 3, SeedOf("wreckroot"));
    Flat(lump);
    Translate(lump, {1.4, 0, 3.2});
    inner.Append(lump);
    if (left) Mirror(inner);
    return inner;
}

Mesh GoldShip() {
    Mesh m;
    for (GoldPiece p : {kGoldNose, kGoldLeftWing, kGoldRightWing, kGoldTail})
        m.Append(GoldPart(p));
    return m;
}

Mesh BigShip() {
    // A bulky freighter: bottom at y -2, nose toward -Z like the gold ship beside it.
    Mesh m = Hull({{-35, 3, 2, 3},
                   {-30, 7, 4.5, 3.5},
                   {-15, 9, 5.5, 4},
                   {15, 9, 5.5, 4},
                   {28, 8, 5, 3.8},
                   {33, 6, 4, 3.5}},
                  6);
    m.Append(Box({-3.5, 8, -4}, {3.5, 12.5, 8}));    // bridge
    m.Append(Box({-1.5, 12.5, 2}, {1.5, 14.5, 6}));  // mast base
    m.Append(Beam({0, 14.5, 4}, {0, 20, 4}, 0.3, 0.15, 6));
    for (double x : {-5.5, 0.0, 5.5})
        m.Append(Pod(2.2, 31, 38, {x, 3.5, 0}));
    m.Append(Slab({{8, -10}, {16, 0}, {16, 8}, {8, 12}}, 2.0, 3.0));
    m.Append(Slab({{-8, -10}, {-8, 12}, {-16, 8}, {-16, 0}}, 2.0, 3.0));
    return m;
}

Mesh Platform() {
    // Deck top at y 95: placed at -100, the intro's ships stand on it at y -2 and -3.
    Mesh m = Lathe({{0, 5}, {9, 5}, {12, 40}, {30, 82}, {150, 88}, {153, 92}, {150, 95}, {0, 95}}, 48);
    for (std::size_t i = 0; i < m.positions.size(); ++i)
        if (m.positions[i].y > 94.9) m.uvs[i] = {m.positions[i].x / 300 + 0.5, m.positions[i].z / 300 + 0.5};
    for (int k = 0; k < 6; ++k) {
        const double a = 2 * kPi * k / 6 + kPi / 6;
        Mesh tower = Lathe({{0, 95}, {3, 95}, {2, 108}, {3.5, 110}, {0, 112}}, 8);
        Translate(tower, {140 * std::cos(a), 0, 140 * std::sin(a)});
        m.Append(tower);
    }
    m.Append(Box({-135, 95, -20}, {-110, 125, 20}));  // control tower
    m.Append(Box({-132, 125, -16}, {-113, 131, 16}));
    return m;
}

Mesh Asteroid(int kind) {
    const double radius = 8.5 + (kind % 4) * 1.1;
    const V3 stretch[10] = {{1, 1, 1},     {1.3, 0.85, 1},   {0.85, 1, 1.35},   {1.15, 0.75, 1.1},
                            {1.4, 1, 0.8}, {1, 1.2, 0.85},   {0.75, 1.3, 1.05}, {1.25, 1.1, 0.9},
                            {1, 0.8, 1.4}, {1.45, 0.85, 1.1}};
    return Rock(radius, stretch[(kind - 1) % 10], 0.2 + 0.035 * (kind % 5), 14, SeedOf("asteroid") + kind);
}

Mesh Fragment(int kind, int piece) {
    // A quarter of the asteroid of that kind, broken along two planes through its
    // centre and seen at scale 9 where the whole rock was at scale 7; pieces 1 to 4
    // are the up-left, up-right, down-left and down-right quarters.
    Mesh m = Asteroid(kind);
    Scale(m, V3{1, 1, 1} * (7.0 / 9.0));
    const double sx = (piece == 2 || piece == 4) ? 1 : -1, sy = piece <= 2 ? 1 : -1;
    const std::uint64_t seed = SeedOf("fragment") + kind * 16 + piece;
    for (V3& p : m.positions) {
        // Points beyond a break fall onto it, roughened like a fresh fracture.
        const double jag = (Fbm3(p.x * 0.4, p.y * 0.4, p.z * 0.4, 2, seed) - 0.5) * 1.2;
        if (p.x * sx < 0) p.x = sx * std::abs(jag) * 0.5;
        if (p.y * sy < 0) p.y = sy * std::abs(jag) * 0.5;
    }
    return m;  // squashing along an axis keeps every face turned the way it was
}

// A quad showing cell `frame` (1-based, row by row from the top left) of an n x n atlas.
// Texture rows count from the top of the picture; v runs up it (see mesh.h).
Mesh AtlasFrame(int frame, int n, double half) {
    const int c = frame - 1, col = c % n, row = c / n;
    return Quad(half, half, {double(col) / n, 1 - double(row + 1) / n},
                {double(col + 1) / n, 1 - double(row) / n});
}

Mesh CrossedQuads(double half) {
    Mesh m = Quad(half, half, {0, 0}, {1, 1});
    Mesh side = m;
    RotateY(side, 90);
    Mesh flat = m;
    RotateX(flat, 90);
    m.Append(side);
    m.Append(flat);
    return m;
}

Mesh Gem(double r, double h, int sides) {
    Mesh m = Lathe({{0, -h}, {r, 0}, {0, h}}, sides);
    Flat(m);
    return m;
}

Mesh PowerUp(int kind) {
    Mesh m;
    switch (kind) {
        case 1:  // infinite energy: a crystal
            m = Gem(2.2, 3.2, 6);
            break;
        case 2:  // extreme speed: a dart
            m = Lathe({{0, -2.6}, {2.2, -1.2}, {1.0, -0.6}, {0, 3.2}}, 8);
            Flat(m);
            break;
        case 3:  // invincibility: a shield ring round a core, held by three spokes
            m = Torus(2.2, 0.6, 20, 8);
            m.Append(Sphere(1.2, 12, 6));
            for (int k = 0; k < 3; ++k) {
                const double a = 2 * kPi * k / 3;
                m.Append(Beam({0, 0, 0}, {2.2 * std::cos(a), 0, 2.2 * std::sin(a)}, 0.25, 0.25, 6));
            }
            break;
        default:  // rapid fire: a spiked cross
            m = Box({-2.3, -0.55, -0.55}, {2.3, 0.55, 0.55});
            m.Append(Box({-0.55, -2.3, -0.55}, {0.55, 2.3, 0.55}));
            m.Append(Box({-0.55, -0.55, -2.3}, {0.55, 0.55, 2.3}));
            break;
    }
    return m;
}

Mesh Laser() {
    // Two crossed strips 20 long; u runs along the bolt, v across it.
    Mesh m;
    for (int k = 0; k < 2; ++k) {
        Mesh s;
        const std::uint32_t a = s.AddVertex({-0.3, 0, -10}, {0, 0});
        const std::uint32_t b = s.AddVertex({0.3, 0, -10}, {0, 1});
        const std::uint32_t c = s.AddVertex({0.3, 0, 10}, {1, 1});
        const std::uint32_t d = s.AddVertex({-0.3, 0, 10}, {1, 0});
        s.AddTwoSided(a, b, c);
        s.AddTwoSided(a, c, d);
        if (k == 1) RotateZ(s, 90);
        m.Append(s);
    }
    return m;
}

// ---- space stations ----------------------------------------------------------------
// The force fields the game places stand 41 units (328 and 335 world units at scale 8)
// to the sides of the station and about 59 (first station) or 55 (second) below its
// centre; pylons bring an emitter down to just above each.
Mesh ForceFieldPylons(double fieldDepth, double ringRadius, double fromY, int sides) {
    Mesh m;
    const V3 points[4] = {{41, 0, 0}, {0, 0, 41.9}, {0, 0, -41.9}, {-41, 0, 0}};
    for (const V3& p : points) {
        const V3 dir = Normalize({p.x, 0, p.z});
        const V3 emitter{p.x, -(fieldDepth - 9.5), p.z};
        m.Append(Beam(dir * ringRadius + V3{0, fromY, 0}, emitter + V3{0, 1.5, 0}, 1.6, 1.0, sides));
        m.Append(Ellipsoid({2.4, 1.6, 2.4}, emitter, sides * 2, sides));
    }
    return m;
}

Mesh SpaceStation(int which, bool low) {
    const int seg = low ? 12 : 40, tube = low ? 6 : 12, lathe = low ? 8 : 20;
    Mesh m;
    if (which == 1) {
        m.Append(Torus(9, 2.5, seg / 2, tube));  // hub ring round the energy core
        m.Append(
            Lathe({{0, 8}, {4, 8}, {4.5, 22}, {3.5, 34}, {1.5, 40}, {2.8, 41}, {2.8, 43}, {0, 43}}, lathe));
        m.Append(Lathe({{0, -40}, {2, -40}, {4, -30}, {4.5, -8}, {0, -8}}, lathe));
        m.Append(Torus(34, 3.5, seg, tube));  // habitat ring
        for (int k = 0; k < 4; ++k) {
            Mesh spoke = Box({10.5, -1, -1.2}, {31, 1, 1.2});
            RotateY(spoke, 45 + 90 * k);
            m.Append(spoke);
            // Struts hold both spires on the hub ring.
            for (double y : {14.0, -14.0})
                m.Append(
                    Beam({0, y, 0}, {9 * std::cos(kPi / 2 * k), 0, 9 * std::sin(kPi / 2 * k)}, 0.6, 0.6, 6));
        }
        m.Append(Box({4, 24, -5}, {22, 25, 5}));  // solar panels
        m.Append(Box({-22, 24, -5}, {-4, 25, 5}));
        m.Append(ForceFieldPylons(59.39, 34, -2, low ? 6 : 8));
    } else {
        m.Append(Lathe({{0, -52},
                        {2.5, -52},
                        {5, -40},
                        {6, -22},
                        {9, -8},
                        {10, 4},
                        {7, 16},
                        {6, 30},
                        {8, 44},
                        {5, 54},
                        {2, 58},
                        {0, 58}},
                       lathe));
        Mesh upper = Torus(26, 3, seg, tube);
        Translate(upper, {0, 20, 0});
        m.Append(upper);
        Mesh lower = Torus(20, 2.5, seg, tube);
        Translate(lower, {0, -20, 0});
        m.Append(lower);
        for (int k = 0; k < 4; ++k) {
            Mesh spoke = Box({6, 19, -1}, {24, 21, 1});
            RotateY(spoke, 90 * k);
            m.Append(spoke);
            Mesh lowerSpoke = Box({5, -21, -0.8}, {18.5, -19, 0.8});
            RotateY(lowerSpoke, 45 + 90 * k);
            m.Append(lowerSpoke);
            Mesh arm = Box({4, 48, -1.2}, {47, 51, 1.2});  // rooted in the spire
            arm.Append(Box({44, 51, -2}, {48, 58, 2}));
            RotateY(arm, 90 * k + 22.5);
            m.Append(arm);
        }
        m.Append(ForceFieldPylons(54.76, 20, -20, low ? 6 : 8));
    }
    return m;
}

Mesh Starscape() {
    // Dust specks around the camera's path: the game puts the cloud 350 units behind
    // the camera, turned like it, so the cloud reaches far ahead.
    Random rnd(SeedOf("starscape"));
    Mesh m;
    for (int i = 0; i < 420; ++i) {
        double x, y;
        do {
            x = rnd.Range(-520, 520);
            y = rnd.Range(-420, 420);
        } while (std::abs(x) < 30 && std::abs(y) < 30);
        Mesh speck = Quad(0.9, 0.9, {0, 0}, {1, 1});
        RotateX(speck, rnd.Range(0, 360));
        RotateY(speck, rnd.Range(0, 360));
        Translate(speck, {x, y, rnd.Range(-150, 1250)});
        m.Append(speck);
    }
    return m;
}

Mesh Scout() {
    // Nose toward +Z.
    Mesh m = Hull(
        {{-10, 1.0, 0.8, 0}, {-6, 2.2, 1.4, 0}, {2, 2.6, 1.8, 0.2}, {7, 1.6, 1.2, 0.1}, {11, 0.1, 0.1, 0}},
        10);
    m.Append(Ellipsoid({1.2, 0.9, 3.2}, {0, 1.6, 3}));
    Mesh wing = Slab({{2, 4}, {9, -6}, {10.5, -10}, {9, -9}, {2, -6}}, -0.3, 0.3);
    m.Append(Pair(wing));
    m.Append(Fin({{-9, 1}, {-3, 1}, {-6, 5.5}, {-9.5, 5.5}}, -0.25, 0.25));
    m.Append(Pod(1.0, -11, -6, {1.6, 0, 0}));
    m.Append(Pod(1.0, -11, -6, {-1.6, 0, 0}));
    return m;
}

// ---- capital ships: nose +Z for the battleship, -Z for the mothership --------------
// Shrinks a convex part about the centre of its bounds, which keeps it inside the part.
void ShrinkInPlace(Mesh& part, double k) {
    V3 lo, hi;
    part.Bounds(lo, hi);
    const V3 c = (lo + hi) * 0.5;
    for (V3& p : part.positions)
        p = c + (p - c) * k;
}

// `shrink` below 1 draws every (convex) part that much smaller about its own centre.
Mesh Battleship(int sides, int podSides, double shrink = 1) {
    Mesh m;
    auto add = [&m, shrink](Mesh part) {
        if (shrink < 1) ShrinkInPlace(part, shrink);
        m.Append(part);
    };
    add(Hull({{-1560, 240, 200, 20},
              {-1300, 330, 260, 30},
              {-400, 370, 280, 30},
              {500, 330, 250, 20},
              {950, 200, 170, 0},
              {1180, 60, 60, -20}},
             sides));
    // Engines at the stern, where the game attaches its four flames, each on a pylon
    // into the hull (the coarse hull does not reach the lower pair).
    for (V3 e : {V3{-244, 165, 0}, V3{243, 167, 0}, V3{243, -151, 0}, V3{-244, -151, 0}}) {
        add(Pod(75, -1660, -1450, e, podSides));
        add(Beam({e.x, e.y, -1520}, {e.x * 0.4, e.y * 0.4, -1420}, 30, 30, 6));
    }
    // Two gun booms ending where the shots leave (245 out, 72 down, 1400 ahead).
    for (double x : {-245.0, 245.0}) {
        add(Beam({x, -72, 300}, {x, -72, 1300}, 55, 40, sides));
        add(Beam({x, -72, 1300}, {x, -72, 1480}, 18, 14, 6));
    }
    add(Box({-90, 230, 150}, {90, 330, 650}));   // bridge
    add(Box({250, 120, 100}, {385, 230, 700}));  // sponsons
    add(Box({-385, 120, 100}, {-250, 230, 700}));
    add(Box({60, 100, 820}, {150, 210, 980}));  // forward turrets, on the narrowing bow
    add(Box({-150, 100, 820}, {-60, 210, 980}));
    add(Fin({{-1500, 200}, {-1000, 200}, {-1200, 330}, {-1450, 330}}, -20, 20));
    return m;
}
Mesh Battleship(bool low) {
    return low ? Battleship(6, 8) : Battleship(10, 14);
}

// The battleship's collision mesh is shown with the ship, so it cannot be a box round
// it: it is the ship's own parts drawn a little smaller, hidden inside the hull of
// either detail level while shots still meet it close to where they strike the hull.
Mesh BattleshipHitMesh(double hullScale, double meshScale) {
    Mesh m = Battleship(6, 8, 0.92);
    Scale(m, V3{1, 1, 1} * (hullScale / meshScale));
    return m;
}

// A ring round the mothership's hull, held by four struts.
Mesh Collar() {
    Mesh m = Torus(330, 30, 48, 10);
    RotateX(m, 90);
    Translate(m, {0, 0, 250});
    for (int k = 0; k < 4; ++k) {
        const double a = kPi / 4 + k * kPi / 2;
        m.Append(Beam({150 * std::cos(a), 150 * std::sin(a), 250},
                      {320 * std::cos(a), 320 * std::sin(a), 250}, 22, 22, 6));
    }
    return m;
}

// One of the four prongs, numbered as the wing-tip plumes are. Each runs a little past
// the tip where the game lights its plume, so the plume starts inside it.
Mesh Prong(int n) {
    const V3 roots[4] = {{0, 150, -250}, {170, 9, -250}, {0, -150, -250}, {-170, 9, -250}};
    const V3 tips[4] = {{-5.13, 333.21, -728.91},
                        {359.98, 8.77, -755.76},
                        {-5.13, -333.4, -728.91},
                        {-358.97, 8.77, -755.76}};
    const V3 along = tips[n - 1] - roots[n - 1];
    return Beam(roots[n - 1], tips[n - 1] + along * (12 / Length(along)), 55, 16, 8);
}

Mesh Mothership() {
    // Bow toward -Z: four prongs reach forward to the wing tips, the energy weapon
    // charges between them and the engines burn at the stern.
    Mesh m = Hull({{960, 150, 160, 0},
                   {700, 240, 220, 0},
                   {100, 230, 250, 0},
                   {-350, 180, 200, 0},
                   {-650, 110, 140, 0},
                   {-690, 40, 50, 0}},
                  12);
    for (int n = 1; n <= 4; ++n)
        m.Append(Prong(n));
    m.Append(Pod(70, 840, 968, {0, 95, 0}, 16));
    m.Append(Pod(70, 840, 968, {0, -95, 0}, 16));
    m.Append(Collar());
    m.Append(Ellipsoid({110, 70, 200}, {0, 200, 300}));  // dorsal dome
    return m;
}

Mesh MothershipPiece(int n) {
    switch (n) {
        case 1:
            return Hull({{100, 230, 250, 0}, {-350, 180, 200, 0}, {-650, 110, 140, 0}, {-690, 40, 50, 0}},
                        12);
        case 2: {
            Mesh m = Hull({{960, 150, 160, 0}, {700, 240, 220, 0}, {100, 230, 250, 0}}, 12);
            m.Append(Pod(70, 840, 968, {0, 95, 0}, 16));
            m.Append(Pod(70, 840, 968, {0, -95, 0}, 16));
            return m;
        }
        case 3:
        case 4: {
            // Two opposite prongs and the spar through the hull that joined their roots.
            Mesh m = Prong(n - 2);
            m.Append(Prong(n));
            m.Append(Beam(n == 3 ? V3{0, 150, -250} : V3{170, 9, -250},
                          n == 3 ? V3{0, -150, -250} : V3{-170, 9, -250}, 40, 40, 8));
            return m;
        }
        default: {
            // The collar with the dome, torn off together on the strut that held them.
            Mesh m = Collar();
            m.Append(Ellipsoid({110, 70, 200}, {0, 200, 300}));
            m.Append(Beam({0, 200, 250}, {0, 320, 250}, 22, 22, 6));
            return m;
        }
    }
}

// A box around a hull that it encloses with a margin, at the scale the box is loaded at.
Mesh CollisionBox(const Mesh& hull, double hullScale, double boxScale) {
    V3 lo, hi;
    hull.Bounds(lo, hi);
    const double k = hullScale / boxScale, margin = 1.02;
    const V3 c = (lo + hi) * 0.5, half = (hi - lo) * 0.5 * margin;
    return Box((c - half) * k, (c + half) * k);
}

// ---- alien fighters, nose +Z; engines where the game hangs their flares ----------
// The game loads the fighters turned 180 degrees about X, which leaves their own up
// pointing down; the body is therefore stored upside down (canopy and fins toward -Y)
// so that the waves fly the right way up. Engines stay where the flares hang.
Mesh Alien(int kind, bool low) {
    const int sides = low ? 6 : 10;
    Mesh body, engines;  // body built upright, +Y up
    switch (kind) {
        case 1: {  // flying wing, engines 4.6 out and 7.4 back
            body =
                Hull({{-7.6, 1.6, 0.8, 0}, {-2, 2.6, 1.3, 0.2}, {4, 2.0, 1.1, 0.1}, {8, 0.2, 0.2, 0}}, sides);
            body.Append(Pair(Slab({{1.5, -6.5}, {7.5, -7.6}, {7.5, -4}, {1.5, 5}}, -0.35, 0.3)));
            body.Append(Ellipsoid({0.9, 0.7, 2.4}, {0, 1.1, 1.5}, sides * 2, sides));  // canopy
            body.Append(Pair(Fin({{-7, 0.2}, {-3.5, 0.2}, {-5.5, 2.6}, {-7.4, 2.6}}, 6.9, 7.2)));
            engines.Append(Pod(0.9, -7.8, -2.5, {4.6, 0.17, 0}, sides));
            engines.Append(Pod(0.9, -7.8, -2.5, {-4.6, 0.17, 0}, sides));
            break;
        }
        case 2: {  // dart, twin engines close together 8 back
            body = Hull({{-8.2, 1.5, 0.9, 0.1}, {-3, 1.6, 1.1, 0.1}, {4, 1.1, 0.9, 0}, {9.5, 0.1, 0.1, 0}},
                        sides);
            body.Append(Pair(Slab({{1.0, -5}, {5.2, -1}, {5.2, 0.5}, {1.0, 1}}, -0.2, 0.2)));
            body.Append(Pair(Slab({{0.8, 4}, {2.6, 5.5}, {2.6, 6.2}, {0.8, 6}}, -0.15, 0.15)));
            body.Append(Ellipsoid({0.7, 0.6, 2.2}, {0, 0.8, 2.2}, sides * 2, sides));  // canopy
            body.Append(Fin({{-7, 0.8}, {-3, 0.8}, {-5, 3}, {-7.5, 3}}, -0.12, 0.12));
            engines.Append(Pod(0.55, -8.3, -4, {0.9, 0.17, 0}, sides));
            engines.Append(Pod(0.55, -8.3, -4, {-0.9, 0.17, 0}, sides));
            break;
        }
        case 3: {  // small interceptor inside a ring wing
            body = Ellipsoid({1.5, 1.2, 4.5}, {0, -0.3, 0.6}, sides * 2, sides);
            Mesh ring = Torus(3.2, 0.35, sides * 3, sides / 2 + 2);
            RotateX(ring, 90);
            Translate(ring, {0, -0.3, -1});
            body.Append(ring);
            for (int k = 0; k < 4; ++k) {  // struts from the body out to the ring
                const double a = kPi / 4 + k * kPi / 2;
                body.Append(
                    Beam({0, -0.3, -1}, {3.2 * std::cos(a), -0.3 + 3.2 * std::sin(a), -1}, 0.16, 0.16, 6));
            }
            body.Append(Ellipsoid({0.8, 0.7, 1.8}, {0, 0.7, 1.6}, sides * 2, sides));  // canopy
            body.Append(Fin({{-3.2, 0.5}, {-0.6, 0.5}, {-2.6, 5.8}, {-3.7, 5.8}}, -0.15, 0.15));
            engines.Append(Pod(0.5, -3.8, -1, {0.96, 0.35, 0}, sides));
            engines.Append(Pod(0.5, -3.8, -1, {-0.96, 0.35, 0}, sides));
            break;
        }
        case 4: {  // heavy gunship, one big engine 11.6 back
            body =
                Hull({{-11, 2.2, 1.8, 0}, {-4, 2.8, 2.2, 0.2}, {5, 2.4, 1.9, 0.2}, {10, 0.6, 0.6, 0}}, sides);
            body.Append(Pair(Slab({{2.4, -7}, {6, -9}, {6.5, -2}, {2.4, 2}}, -0.3, 0.3)));
            body.Append(Pair(Beam({6.2, 0, -4}, {6.2, 0, 6}, 0.5, 0.35, 6)));
            body.Append(Ellipsoid({1.1, 0.9, 2.6}, {0, 1.9, 3.2}, sides * 2, sides));  // canopy
            body.Append(Fin({{-10, 1.8}, {-4, 1.8}, {-7, 5}, {-10.5, 5}}, -0.2, 0.2));
            engines.Append(Pod(1.4, -11.8, -8, {0, -0.2, 0}, sides));
            break;
        }
        default: {  // claw: two prongs reach forward
            body = Hull({{-5.2, 1.8, 1.0, 0}, {-1, 2.2, 1.3, 0}, {3, 1.6, 1.0, 0}, {6, 0.3, 0.3, 0}}, sides);
            body.Append(Pair(Beam({1.8, 0, 0}, {3.2, 0, 8}, 0.8, 0.2, 6)));
            body.Append(Pair(Slab({{1.8, -4}, {4.5, -6}, {4.5, -3}, {1.8, 1}}, -0.25, 0.25)));
            body.Append(Ellipsoid({0.8, 0.7, 1.8}, {0, 1.0, 1.2}, sides * 2, sides));  // canopy
            body.Append(Fin({{-5, 0.8}, {-1.5, 0.8}, {-3.5, 3.2}, {-5.4, 3.2}}, -0.15, 0.15));
            engines.Append(Pod(0.6, -5.3, -2, {1.57, -0.09, 0}, sides));
            engines.Append(Pod(0.6, -5.3, -2, {-1.57, -0.09, 0}, sides));
            break;
        }
    }
    RotateZ(body, 180);
    body.Append(engines);
    return body;
}

// ---- animated models ---------------------------------------------------------------
std::string ForceField() {
    // A bubble of radius 10 round the field point, swelling up over eight frames;
    // the game plays it once and holds the last one.
    Mesh base = Sphere(10, 20, 12);
    Mesh twoSided;
    twoSided.positions = base.positions;
    twoSided.uvs = base.uvs;
    for (const Triangle& t : base.triangles)
        twoSided.AddTwoSided(t.a, t.b, t.c);
    std::vector<Md2Frame> frames;
    for (int f = 0; f < 8; ++f) {
        const double t = f / 7.0;
        const double grow = 0.15 + 0.85 * (1 - std::pow(1 - t, 3));
        Md2Frame fr{"grow" + std::to_string(f + 1), {}};
        for (const V3& p : base.positions) {
            const double wobble = 1 + 0.06 * (1 - t) * std::sin(p.y * 0.9 + f * 1.7);
            fr.positions.push_back(p * (grow * wobble));
        }
        frames.push_back(fr);
    }
    return WriteMd2(twoSided, frames, 256, 256, "ff.png");
}

std::string Radar() {
    // A dish on a short mast; the mast's foot sits on the station tower, the dish turns
    // once round over sixteen frames.
    Mesh dish = Lathe({{0, 0}, {1.2, 0.15}, {2.6, 0.7}, {3.8, 1.6}, {4.2, 2.1}}, 16, false);
    Mesh twoSided;
    twoSided.positions = dish.positions;
    twoSided.uvs = dish.uvs;
    for (const Triangle& t : dish.triangles)
        twoSided.AddTwoSided(t.a, t.b, t.c);
    RotateZ(twoSided, -65);
    Translate(twoSided, {0.4, 1.5, 0});  // the dish's hub inside the mast's top
    Mesh mast = Lathe({{0, -4}, {0.7, -4}, {0.5, 1.5}, {0, 1.8}}, 8);
    twoSided.Append(mast);
    twoSided.Append(Beam({0.4, 1.5, 0}, {3.4, 3.0, 0}, 0.15, 0.1, 4));  // feed horn
    std::vector<Md2Frame> frames;
    for (int f = 0; f < 16; ++f) {
        Mesh turned = twoSided;
        RotateY(turned, 360.0 * f / 16);
        frames.push_back({"spin" + std::to_string(f + 1), turned.positions});
    }
    return WriteMd2(twoSided, frames, 256, 256, "radar.jpg");
}

Mesh Chip(int n) {
    Mesh m = Rock(2.4 + 0.8 * n, {1.3, 0.7, 1}, 0.35, 4, SeedOf("chip") + n);
    Flat(m);
    return m;
}

Mesh Spark() {
    Mesh m = Lathe({{0, -1.6}, {0.45, -0.2}, {0, 1.6}}, 3);
    Flat(m);
    return m;
}

Mesh Chunk(int n) {
    Mesh m = Rock(1.5 + 0.3 * n, {1.2, 0.8, 1}, 0.4, 3, SeedOf("chunk") + n);
    Flat(m);
    return m;
}

Mesh ModelFor(const ContentEntry& e) {
    const std::string& r = e.recipe;
    if (r == "goldship") return GoldShip();
    if (r == "bigship") return BigShip();
    if (r == "platform") return Platform();
    if (r == "planet") return Sphere(1, 48, 24);
    if (r == "clouds") return Sphere(1.1, 48, 24);
    if (r == "asteroid") return Asteroid(e.index);
    if (r == "fragment") return Fragment(e.index / 10, e.index % 10);
    if (r == "atlas_frame8") return AtlasFrame(e.index, 8, 2);
    if (r == "atlas_frame4") return AtlasFrame(e.index, 4, 2);
    if (r == "energycore") {
        Mesh m = Gem(3.2, 5, 8);
        Mesh ring = Torus(4.6, 0.35, 24, 6);
        RotateX(ring, 90);
        m.Append(ring);
        return m;
    }
    if (r == "powerup") return PowerUp(e.index);
    if (r == "energy") return Sphere(3.2, 16, 8);
    if (r == "laser") return Laser();
    if (r == "disperse") return CrossedQuads(5);
    if (r == "station") return SpaceStation(e.index, false);
    if (r == "station_low") return SpaceStation(e.index, true);
    if (r == "starscape") return Starscape();
    if (r == "chip") return Chip(e.index);
    if (r == "spark") return Spark();
    if (r == "wreck") {
        const GoldPiece parts[] = {kGoldNose, kGoldLeftWing, kGoldRightWing, kGoldTail};
        const GoldPiece part = parts[(e.index - 1) % 4];
        if (part == kGoldLeftWing || part == kGoldRightWing) return WreckWing(part == kGoldLeftWing);
        return GoldPart(part);
    }
    if (r == "chunk") return Chunk(e.index);
    if (r == "scout") return Scout();
    if (r == "battleship") return Battleship(false);
    if (r == "battleship_low") return Battleship(true);
    if (r == "battleship_hitmesh") return BattleshipHitMesh(1, 7);
    if (r == "lightning") {
        Mesh m = Quad(1800, 1800, {0, 0}, {1, 1});
        Mesh side = m;
        RotateY(side, 90);
        m.Append(side);
        return m;
    }
    if (r == "mothership") return Mothership();
    if (r == "mothership_box") return CollisionBox(Mothership(), 1, 9);
    if (r == "mothership_piece") return MothershipPiece(e.index);
    if (r == "giant_asteroid") return Rock(12, {1.1, 0.95, 1}, 0.3, 22, SeedOf("giant"));
    if (r == "lava_asteroid") return Rock(10, {1, 0.9, 1.1}, 0.4, 16, SeedOf("lava"));
    if (r == "alien") return Alien(e.index, false);
    if (r == "alien_low") return Alien(e.index, true);
    throw RecipeError("no model recipe " + r);
}

}  // namespace

std::string MakeModel(const ContentEntry& e) {
    if (e.recipe == "forcefield") return ForceField();
    if (e.recipe == "radar") return Radar();
    return Write3ds(ModelFor(e), BaseName(e.path));
}

}  // namespace quorvel::content
