// Texture and picture recipes. Pictures that the game hit-tests are laid out on the
// same 512 x 512 grid as its menu lists; skins tile; effect pictures are light on
// black (JPEG) or on transparency (PNG).

#include <algorithm>
#include <cmath>
#include <functional>

#include "generate.h"
#include "image.h"
#include "mesh.h"
#include "noise.h"

namespace quorvel::content {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Fills every pixel from a function of (u, v) in [0, 1).
void Paint(Image& img, const std::function<Rgba(double, double)>& f) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            img.Set(x, y, f((x + 0.5) / img.Width(), (y + 0.5) / img.Height()));
}

// Light on transparency: alpha follows the brightest channel.
Rgba Light(double r, double g, double b) {
    const double m = std::max({r, g, b, 1e-6});
    const double a = Clamp01(m);
    return {Clamp01(r / std::max(m, 1.0)), Clamp01(g / std::max(m, 1.0)), Clamp01(b / std::max(m, 1.0)), a};
}

// Space background: dark gradient and a field of small stars.
void StarField(Image& img, std::uint64_t seed, int count, Rgba top, Rgba bottom) {
    Paint(img, [&](double, double v) { return Mix(top, bottom, v); });
    Random rnd(seed);
    for (int i = 0; i < count; ++i) {
        const double x = rnd.Range(0, img.Width()), y = rnd.Range(0, img.Height());
        const double b = std::pow(rnd.Uniform(), 3);
        img.Glow(x, y, 1.5 + 2.5 * b, Mix(Hex(0x8899ff), Hex(0xffffff), rnd.Uniform()), 1.5);
    }
}

// Hull plating that tiles: panels of slightly different shade, dark seams, rivets.
Image Plating(int size, Rgba base, Rgba accent, int panels, std::uint64_t seed, double grime = 0.25) {
    Image img(size, size);
    Random rnd(seed);
    std::vector<double> shade(std::size_t(panels * panels * 4));
    for (double& s : shade)
        s = rnd.Range(-0.08, 0.08);
    Paint(img, [&](double u, double v) {
        // Panels: a grid whose rows are split in two at alternating offsets.
        const double pu = u * panels, pv = v * panels;
        const int row = int(pv);
        const double shift = (row % 2) * 0.5;
        const int col = int(std::floor(pu * 2 + shift)) % (panels * 2);
        const double fu = std::fmod(pu * 2 + shift, 1.0), fv = std::fmod(pv, 1.0);
        const double s = shade[std::size_t((row % panels) * panels * 2 + col)];
        const double seam = std::min({fu, 1 - fu, fv, 1 - fv});
        const double n = TileFbm2(u, v, 8, 4, seed);
        Rgba c = base;
        c.r += s + (n - 0.5) * grime;
        c.g += s + (n - 0.5) * grime;
        c.b += s + (n - 0.5) * grime;
        if (seam < 0.025) c = Mix(c, {0, 0, 0, 1}, 0.55);
        if ((row + col) % 7 == 3 && fu > 0.15 && fu < 0.85 && fv > 0.35 && fv < 0.65) c = Mix(c, accent, 0.6);
        return c;
    });
    for (int i = 0; i < panels * panels * 3; ++i) {
        const double x = rnd.Range(0, size), y = rnd.Range(0, size);
        img.Disc(x, y, size / 300.0 + 0.6, Mix(base, {0, 0, 0, 1}, 0.45), 0.8);
    }
    return img;
}

// Hull panels of many sizes in staggered rows (no grid runs through the skin), each
// its own shade between `base` and `light`, with fine grain, broad patches of light and
// shade, soot, a stripe with chevrons across the middle, rivets along the row seams and
// vents. It tiles like the other skins.
struct PanelLook {
    Rgba base, light, stripe;
    double seamDark;  // how dark the seams are, 0 to 1
    int vents;
};

Image PanelSkin(int size, std::uint64_t seed, const PanelLook& look) {
    Random rnd(seed);
    struct Row {
        double v0, v1;
        std::vector<double> cuts;  // panel edges across the row, from 0 to 1
        std::vector<double> shade;
    };
    std::vector<Row> rows;
    for (double v = 0; v < 0.999;) {
        const double h = std::min(1.0 - v, rnd.Range(0.07, 0.2));
        Row row{v, 1.0 - v - h < 0.05 ? 1.0 : v + h, {0}, {}};
        for (double u = rnd.Range(0.05, 0.2); u < 0.95; u += rnd.Range(0.09, 0.3))
            row.cuts.push_back(u);
        row.cuts.push_back(1);
        for (std::size_t k = 0; k + 1 < row.cuts.size(); ++k)
            row.shade.push_back(rnd.Range(-0.09, 0.09));
        v = row.v1;
        rows.push_back(row);
    }
    Image img(size, size);
    Paint(img, [&](double u, double v) {
        const Row* row = &rows.back();
        for (const Row& r : rows)
            if (v >= r.v0 && v < r.v1) row = &r;
        std::size_t k = 0;
        while (k + 2 < row->cuts.size() && u >= row->cuts[k + 1])
            ++k;
        const double du = std::min(u - row->cuts[k], row->cuts[k + 1] - u),
                     dv = std::min(v - row->v0, row->v1 - v);
        const double broad = TileFbm2(u, v, 3, 4, seed + 1);
        const double grain = TileFbm2(u, v * 0.125, 64, 2, seed + 2);  // brushed along v
        Rgba c = Mix(look.base, look.light, Clamp01(0.35 + row->shade[k] * 3 + (broad - 0.5) * 0.8));
        const double g = (grain - 0.5) * 0.05;
        c = {c.r + g, c.g + g, c.b + g * 0.5, 1};
        const double stripe = Smooth(0.012, 0.006, std::abs(v - 0.47) - 0.03);
        const double chevron = std::fmod(u * 12 + std::abs(v - 0.47) * 20, 1.0);
        if (stripe > 0) c = Mix(c, chevron < 0.5 ? look.stripe : Mix(look.stripe, {0, 0, 0, 1}, 0.5), stripe);
        const double soot = Smooth(0.62, 0.8, TileFbm2(u, v, 5, 3, seed + 3)) * 0.35;
        c = Mix(c, Hex(0x201a14), soot);
        const double seam = std::min(du * 1.6, dv);
        if (seam < 0.004)
            c = Mix(c, Hex(0x14100c), look.seamDark);
        else if (seam < 0.008)
            c = Mix(c, Mix(look.light, {1, 1, 1, 1}, 0.5), 0.25);  // the lit lip of a panel
        return c;
    });
    const Rgba rivet = Mix(look.base, {0, 0, 0, 1}, 0.45), glint = Mix(look.light, {1, 1, 1, 1}, 0.6);
    for (const Row& r : rows)
        for (double u = 0.01; u < 1; u += 0.031) {
            img.Disc(u * size, r.v0 * size + 4, 1.2, rivet, 0.6);
            img.Disc(u * size - 0.4, r.v0 * size + 3.6, 0.5, glint, 0.5);
        }
    for (int i = 0; i < look.vents; ++i) {
        const double x = rnd.Range(20, size - 60), y = rnd.Range(20, size - 40);
        for (int slot = 0; slot < 5; ++slot)
            img.FillRect(x, y + slot * 5, x + 28, y + slot * 5 + 2.5, Hex(0x1a140c));
    }
    return img;
}

Image RockSkin(int n, int size) {
    // A height field of lumps, grain and cratered bowls, lit from the upper left so
    // that craters read as hollows: shadowed near wall, lit far wall, bright rim.
    const Rgba palette[3][2] = {
        {Hex(0x3e3b38), Hex(0x9a948c)}, {Hex(0x3e2e22), Hex(0xa08060)}, {Hex(0x45281f), Hex(0xa4705a)}};
    const Rgba lo = palette[(n - 1) % 3][0], hi = palette[(n - 1) % 3][1];
    const std::uint64_t seed = SeedOf("rock") + n;
    std::vector<double> height(std::size_t(size * size)), albedo(std::size_t(size * size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            const double lumps = TileFbm2(u, v, 4, 5, seed);
            const double grain = TileFbm2(u, v, 64, 2, seed + 9);
            const double ridge = 1 - std::abs(TileFbm2(u, v, 6, 4, seed + 5) * 2 - 1);
            height[std::size_t(y * size + x)] = lumps * 6 + grain * 0.8 - std::pow(ridge, 12) * 1.5;
            albedo[std::size_t(y * size + x)] =
                Clamp01(TileFbm2(u, v, 8, 4, seed + 3) * 1.2 - 0.1 + (grain - 0.5) * 0.5);
        }
    Random rnd(seed);
    for (int i = 0; i < 26; ++i) {
        const double cx = rnd.Range(0, size), cy = rnd.Range(0, size);
        const double r = size * rnd.Range(0.015, 0.09) * (i < 4 ? 1.6 : 1), depth = r * 0.22;
        for (int dy = int(-r * 1.6); dy <= int(r * 1.6); ++dy)
            for (int dx = int(-r * 1.6); dx <= int(r * 1.6); ++dx) {
                const double k = std::hypot(dx, dy) / r;
                if (k > 1.6) continue;
                // The skin tiles, so craters wrap round its edges.
                const int x = ((int(cx) + dx) % size + size) % size,
                          y = ((int(cy) + dy) % size + size) % size;
                double h = k < 1 ? -depth * (1 - k * k) : 0;
                h += depth * 0.45 * std::exp(-std::pow((k - 1) / 0.18, 2));
                height[std::size_t(y * size + x)] += h;
                if (k < 0.9) albedo[std::size_t(y * size + x)] *= 0.85;
            }
    }
    Image img(size, size);
    const double lx = -0.6, ly = -0.6;  // light from the upper left
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            auto h = [&](int px, int py) {
                return height[std::size_t(((py + size) % size) * size + (px + size) % size)];
            };
            const double gx = (h(x + 1, y) - h(x - 1, y)) / 2, gy = (h(x, y + 1) - h(x, y - 1)) / 2;
            const double shade = std::clamp(0.78 - 0.55 * (gx * lx + gy * ly), 0.2, 1.35);
            const Rgba c = Mix(lo, hi, albedo[std::size_t(y * size + x)]);
            img.Set(x, y, {c.r * shade, c.g * shade, c.b * shade, 1});
        }
    return img;
}

// ---- sky ----------------------------------------------------------------------------
// Faces as seen from inside the cube, turned from looking toward +Z: front +Z, back -Z,
// left -X, right +X (image x to the viewer's right, image y downward), top +Y with
// the image's upper edge toward -Z, bottom -Y with its upper edge toward +Z. Both the
// nebula and the stars are functions of direction, so the faces meet without seams.
V3 SkyDirection(int face, double sx, double sy) {
    // sx, sy in [-1, 1]: right and down on the image.
    switch (face) {
        case 0:
            return Normalize({-sx, -sy, -1});  // back
        case 1:
            return Normalize({sx, -sy, 1});  // front
        case 2:
            return Normalize({-1, -sy, sx});  // left
        case 3:
            return Normalize({1, -sy, -sx});  // right
        case 4:
            return Normalize({sx, -1, -sy});  // bottom
        default:
            return Normalize({sx, 1, sy});  // top
    }
}

// Where direction d falls on a face, in [-1, 1] image units; false when it misses it.
bool OnFace(int face, const V3& d, double& px, double& py) {
    switch (face) {
        case 0:
            px = -d.x / -d.z, py = -d.y / -d.z;
            return d.z < 0 && std::abs(d.x) <= -d.z && std::abs(d.y) <= -d.z;
        case 1:
            px = d.x / d.z, py = -d.y / d.z;
            return d.z > 0 && std::abs(d.x) <= d.z && std::abs(d.y) <= d.z;
        case 2:
            px = d.z / -d.x, py = -d.y / -d.x;
            return d.x < 0 && std::abs(d.z) <= -d.x && std::abs(d.y) <= -d.x;
        case 3:
            px = -d.z / d.x, py = -d.y / d.x;
            return d.x > 0 && std::abs(d.z) <= d.x && std::abs(d.y) <= d.x;
        case 4:
            px = d.x / -d.y, py = -d.z / -d.y;
            return d.y < 0 && std::abs(d.x) <= -d.y && std::abs(d.z) <= -d.y;
        default:
            px = d.x / d.y, py = d.z / d.y;
            return d.y > 0 && std::abs(d.x) <= d.y && std::abs(d.z) <= d.y;
    }
}

// A star as a point of light: a tight spot about one texel across, which the game's
// view (a 512-texel face over 90 degrees, 70 degrees over 1024 rows) shows about
// three pixels wide.
void StarPoint(Image& img, double x, double y, double sigma, Rgba c, double bright) {
    const int x0 = int(std::floor(x - 2)), y0 = int(std::floor(y - 2));
    for (int py = y0; py <= y0 + 4; ++py)
        for (int px = x0; px <= x0 + 4; ++px) {
            const double dx = px + 0.5 - x, dy = py + 0.5 - y;
            const double k = bright * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
            if (k > 1e-3) img.Add(px, py, c, k);
        }
}

Image SkyFace(int set, int face, int size, bool low) {
    const std::uint64_t seed = SeedOf("sky") + set;
    const Rgba neb1 = set == 1 ? Hex(0x2448a8) : Hex(0xa83418),
               neb2 = set == 1 ? Hex(0x8a3498) : Hex(0xc88a24), glow = Hex(0x8090b8);
    const int octaves = low ? 4 : 6;
    Image img(size, size);
    // Nebula in two colours, veined with dark dust, over a faint band of unresolved stars.
    Paint(img, [&](double u, double v) {
        const V3 d = SkyDirection(face, u * 2 - 1, v * 2 - 1);
        const double n = Fbm3(d.x * 2.2 + 10, d.y * 2.2, d.z * 2.2, octaves, seed);
        const double m = Fbm3(d.x * 4 + 3, d.y * 4 + 7, d.z * 4, octaves - 2, seed + 1);
        const double lanes =
            1 - std::abs(Fbm3(d.x * 3 + 5, d.y * 3, d.z * 3 + 2, octaves - 1, seed + 2) * 2 - 1);
        const double band = std::exp(-std::pow((d.y * 0.8 + d.x * 0.35) / 0.32, 2));
        const double dense = Smooth(0.45, 0.8, n);
        const double wisps = Smooth(0.5, 0.75, m) * dense;
        const double dust = Smooth(0.8, 0.96, lanes) * (0.4 + 0.6 * dense);
        Rgba c = {0.004, 0.006, 0.018, 1};
        c = Mix(c, glow, band * 0.07 * (0.6 + 0.8 * n));
        c = Mix(c, neb1, dense * 0.5);
        c = Mix(c, neb2, wisps * 0.45);
        return Mix(c, {0.002, 0.002, 0.006, 1}, dust * 0.8);
    });
    // Stars: one fixed set of directions, each drawn where it falls on this face, most
    // faint, a few bright, white with a little blue or gold; more of them in the band.
    const Rgba tints[4] = {Hex(0x98b4ff), Hex(0xffffff), Hex(0xfff0d0), Hex(0xffb070)};
    Random rnd(seed + 77);
    for (int i = 0; i < 16000; ++i) {
        const V3 d = Normalize({rnd.Range(-1, 1), rnd.Range(-1, 1), rnd.Range(-1, 1)});
        const double mag = rnd.Uniform(), tint = rnd.Uniform(), keep = rnd.Uniform();
        const double band = std::exp(-std::pow((d.y * 0.8 + d.x * 0.35) / 0.32, 2));
        if (keep > 0.45 + 0.55 * band) continue;
        double px = 0, py = 0;
        if (!OnFace(face, d, px, py)) continue;
        const double bright = 0.14 + 0.95 * std::pow(mag, 5);
        const Rgba c = tints[std::min(3, int(tint * tint * 4.2))];
        // Centred on a texel, so that one texel holds most of the light.
        const double x = std::floor((px + 1) / 2 * size) + 0.5, y = std::floor((py + 1) / 2 * size) + 0.5;
        StarPoint(img, x, y, (0.42 + 0.18 * std::pow(mag, 8)) * size / 512.0, c, bright);
    }
    if (face == 2) {  // the sun of the lens flare, straight along -X
        img.Glow(size / 2.0, size / 2.0, size * 0.42, {1.0, 0.85, 0.6, 1}, 3);
        img.Glow(size / 2.0, size / 2.0, size * 0.08, {1.0, 1.0, 0.95, 1}, 1.2);
    }
    return img;
}

// ---- menus and HUD ------------------------------------------------------------------
void MenuBackground(Image& img, std::uint64_t seed) {
    StarField(img, seed, 260, Hex(0x050a1e), Hex(0x0a0410));
    img.FrameRect(4, 4, img.Width() - 4, img.Height() - 4, 3, Hex(0x3a78c8));
    img.FrameRect(10, 10, img.Width() - 10, img.Height() - 10, 1, Hex(0x1d3c64));
}

// The game draws these pictures over the 3D scene with their brightest channel as
// alpha, so a dark panel would be clear. A deep saturated blue is nearly opaque yet
// looks dark: behind text it keeps the scene from showing through. For the same
// reason the text has no drop shadow: a black one would be a hole beside each letter.
const Rgba kBacking = Hex(0x0a1ef0);

void Backing(Image& img, double x0, double y0, double x1, double y1) {
    img.FillRect(x0, y0, x1, y1, kBacking);
    img.FrameRect(x0, y0, x1, y1, 1, Hex(0x3a78c8));
}

// Text on its own backing, a margin all round.
void TextOnBacking(Image& img, double cx, double y, const std::string& text, double scale, Rgba c) {
    const double w = Image::TextWidth(text, scale);
    Backing(img, cx - w / 2 - 3 * scale, y - 2.5 * scale, cx + w / 2 + 3 * scale, y + 9.5 * scale);
    img.TextCentred(cx, y, text, scale, c);
}

// A clickable row: a panel filling the rectangle the game hit-tests, with its label.
void MenuRow(Image& img, double x0, double y0, double x1, double y1, const std::string& label, double scale,
             const std::string& right = "") {
    img.FillRect(x0, y0, x1, y1, kBacking);
    img.FrameRect(x0, y0, x1, y1, 2, Hex(0x5aa0ff));
    const double ty = (y0 + y1) / 2 - 3.5 * scale;
    if (right.empty()) {
        img.TextCentred((x0 + x1) / 2, ty, label, scale, Hex(0xffe060));
    } else {
        img.Text(x0 + 10, ty, label, scale, Hex(0xffe060));
        img.Text(x1 - 10 - Image::TextWidth(right, scale), ty, right, scale, Hex(0xffffff));
    }
}

Image MainMenu() {
    Image img(512, 512);
    MenuBackground(img, SeedOf("mainmenu"));
    Backing(img, 60, 40, 452, 190);
    img.TextCentred(256, 60, "VELTOR", 10, Hex(0xffc830));
    img.TextCentred(256, 160, "DEFEND THE STATION", 3, Hex(0xd8e8ff));
    const double rows[6][2] = {{270, 303}, {307, 338}, {342, 378}, {382, 413}, {417, 453}, {457, 490}};
    const char* labels[6] = {"NEW GAME", "LOAD GAME", "OPTIONS", "CONTROLS", "CREDITS", "EXIT"};
    for (int i = 0; i < 6; ++i)
        MenuRow(img, 45, rows[i][0], 450, rows[i][1], labels[i], 3);
    return img;
}

Image Controls() {
    Image img(512, 512);
    MenuBackground(img, SeedOf("controls"));
    Backing(img, 24, 14, 488, 482);
    img.TextCentred(256, 24, "CONTROLS", 5, Hex(0xffc830));
    // What each key does in flight; the README's table says the same.
    const char* lines[][2] = {{"MOUSE", "STEER"},
                              {"LEFT BUTTON", "FIRE"},
                              {"RIGHT BUTTON", "AFTERBURNER"},
                              {"W / UP", "THRUST"},
                              {"S / DOWN", "BRAKE, REVERSE"},
                              {"A / LEFT", "STRAFE LEFT"},
                              {"D / RIGHT", "STRAFE RIGHT"},
                              {"Q E", "ROLL"},
                              {"SPACE", "CUT ENGINES"},
                              {"1 - 8", "CHOOSE WEAPON"},
                              {"WHEEL", "NEXT / PREV WEAPON"},
                              {"B", "WEAPON SHOP"},
                              {"ESC", "PAUSE MENU"},
                              {"F5 / F6", "QUICK SAVE / LOAD"},
                              {"F1 F2 / F3", "REAR VIEW ON / OFF"},
                              {"- =", "MOUSE SENSITIVITY"},
                              {"G", "GAME PAD ON / OFF"},
                              {"\\", "OPTIONS"},
                              {"P", "SCREENSHOT"},
                              {"ENTER", "SKIP THE TUTORIAL"}};
    double y = 80;
    for (const auto& l : lines) {
        img.Text(40, y, l[0], 2, Hex(0xffe060));
        img.Text(238, y, l[1], 2, Hex(0xd8e8ff));
        y += 20;
    }
    return img;
}

Image Congratulations(int page) {
    Image img(512, 512);
    MenuBackground(img, SeedOf("congrats") + page);
    Backing(img, 36, 40, 476, 400);
    switch (page) {
        case 1:
            img.TextCentred(256, 80, "CONGRATULATIONS!", 4, Hex(0xffc830));
            img.TextCentred(256, 170, "THE STATION IS SAFE", 3, Hex(0xd8e8ff));
            img.TextCentred(256, 215, "AND THE ALIEN FLEET", 3, Hex(0xd8e8ff));
            img.TextCentred(256, 260, "IS DESTROYED", 3, Hex(0xd8e8ff));
            break;
        case 2:
            img.TextCentred(256, 60, "CREDITS", 5, Hex(0xffc830));
            img.TextCentred(256, 150, "DESIGN, CODE, ART AND SOUND", 2, Hex(0x9fc8ff));
            img.TextCentred(256, 180, "THE VELTOR TEAM", 3, Hex(0xffffff));
            img.TextCentred(256, 250, "PICTURES, MODELS AND MUSIC", 2, Hex(0x9fc8ff));
            img.TextCentred(256, 280, "GENERATED AT BUILD TIME", 3, Hex(0xffffff));
            img.TextCentred(256, 360, "THANK YOU FOR PLAYING", 3, Hex(0xffe060));
            break;
        case 3:
            img.TextCentred(256, 80, "MISSION COMPLETE", 4, Hex(0xffc830));
            img.TextCentred(256, 180, "FIFTY LEVELS DEFENDED", 3, Hex(0xd8e8ff));
            img.TextCentred(256, 225, "MOTHERSHIPS DESTROYED", 3, Hex(0xd8e8ff));
            img.TextCentred(256, 290, "YOU ARE A HERO OF THE FLEET", 2, Hex(0xffe060));
            break;
        default:
            img.TextCentred(256, 200, "THE END", 8, Hex(0xffc830));
            break;
    }
    TextOnBacking(img, 256, 464, page < 4 ? "PRESS ENTER" : "PRESS ENTER TO EXIT", 3, Hex(0xffe060));
    return img;
}

Image Mouse(int which) {
    // The tip sits at (11, 13): the game places the picture 11 left and 13 up of the pointer.
    Image img(64, 64);
    const std::vector<double> arrow = {11, 13, 11, 47, 20, 39, 27, 54, 33, 51, 26, 36, 38, 36};
    std::vector<double> outline;
    const double cx = 20, cy = 34;
    for (std::size_t i = 0; i < arrow.size(); i += 2) {
        outline.push_back(arrow[i] + (arrow[i] - cx) * 0.12);
        outline.push_back(arrow[i + 1] + (arrow[i + 1] - cy) * 0.12);
    }
    img.Polygon(outline, which == 1 ? Hex(0x2060c0) : Hex(0xc06010));
    img.Polygon(arrow, which == 1 ? Hex(0xe8f4ff) : Hex(0xffe040));
    return img;
}

Image PauseMenu() {
    Image img(512, 512);
    MenuBackground(img, SeedOf("pause"));
    TextOnBacking(img, 256, 120, "PAUSED", 7, Hex(0xffc830));
    const double rows[6][2] = {{225, 263}, {267, 313}, {317, 363}, {367, 403}, {407, 448}, {452, 490}};
    const char* labels[6] = {"RESUME", "LOAD GAME", "SAVE GAME", "HELP", "OPTIONS", "EXIT"};
    for (int i = 0; i < 6; ++i)
        MenuRow(img, 90, rows[i][0], 410, rows[i][1], labels[i], 3);
    return img;
}

Image GameOverMenu() {
    Image img(512, 512);
    MenuBackground(img, SeedOf("gameover"));
    TextOnBacking(img, 256, 150, "GAME OVER", 7, Hex(0xff8a5a));  // light enough to read on the blue
    const double rows[5][2] = {{290, 323}, {327, 368}, {372, 405}, {409, 443}, {447, 485}};
    const char* labels[5] = {"RESTART", "LOAD GAME", "HELP", "OPTIONS", "EXIT"};
    for (int i = 0; i < 5; ++i)
        MenuRow(img, 100, rows[i][0], 400, rows[i][1], labels[i], 3);
    return img;
}

Image Shop() {
    Image img(512, 512);
    MenuBackground(img, SeedOf("shop"));
    TextOnBacking(img, 256, 12, "WEAPON SHOP", 3, Hex(0xffc830));
    const double rows[9][2] = {{43, 67},   {80, 116},  {125, 165}, {175, 215}, {220, 256},
                               {265, 305}, {375, 400}, {420, 445}, {460, 485}};
    const char* labels[9][2] = {{"ION CANNON", "$600,000"},       {"MION LAUNCHER", "$2,400,000"},
                                {"EPLAS GUN", "$4,800,000"},      {"DISPERSE CANNON", "$8,000,000"},
                                {"GAMMA CANNON", "$16,000,000"},  {"GRAVITY BEAM", "$20,000,000"},
                                {"ENERGY LEVEL 2", "$4,000,000"}, {"ENERGY LEVEL 3", "$8,000,000"},
                                {"ENERGY LEVEL 4", "$12,000,000"}};
    for (int i = 0; i < 9; ++i)
        MenuRow(img, 30, rows[i][0], 460, rows[i][1], labels[i][0], 2, labels[i][1]);
    TextOnBacking(img, 256, 330, "ENERGY CAPACITY", 3, Hex(0xd8e8ff));
    TextOnBacking(img, 256, 493, "CLICK TO BUY - ESC TO LEAVE", 1.5, Hex(0xd8e8ff));
    return img;
}

Image Reticle() {
    Image img(256, 256);
    const Rgba g = Hex(0x40ff70);
    img.Ring(128, 128, 60, 2.5, g);
    img.Ring(128, 128, 100, 1.5, {g.r, g.g, g.b, 0.6});
    for (int k = 0; k < 4; ++k) {
        const double a = k * kPi / 2;
        img.Line(128 + 18 * std::cos(a), 128 + 18 * std::sin(a), 128 + 48 * std::cos(a),
                 128 + 48 * std::sin(a), 2.5, g);
        const double b = a + kPi / 4;
        img.Line(128 + 92 * std::cos(b), 128 + 92 * std::sin(b), 128 + 108 * std::cos(b),
                 128 + 108 * std::sin(b), 3, g);
    }
    img.Disc(128, 128, 2.5, g);
    return img;
}

Image ShieldHit() {
    // 16 frames of a shield flash spreading from the screen's edges toward the centre
    // and fading out; 4 columns of 256-pixel cells.
    Image img(1024, 1024, {0, 0, 0, 0});
    for (int f = 0; f < 16; ++f) {
        const double t = f / 15.0;
        const int ox = (f % 4) * 256, oy = (f / 4) * 256;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const double u = (x + 0.5) / 128 - 1, v = (y + 0.5) / 128 - 1;
                const double edge = std::max(std::abs(u), std::abs(v));
                // Hexagon-like cells.
                const double hx = u * 6, hy = v * 6 + (int(std::floor(u * 6)) % 2) * 0.5;
                const double cell = std::min(std::abs(std::fmod(hx + 100, 1.0) - 0.5),
                                             std::abs(std::fmod(hy + 100, 1.0) - 0.5));
                const double front = 1 - t * 0.7;
                const double band = std::exp(-std::pow((edge - front) * 7, 2));
                const double glow = Smooth(front - 0.1, 1.0, edge) * 0.5 + band;
                const double lines = Smooth(0.08, 0.0, cell) * 0.6;
                const double a = Clamp01((glow * (0.5 + lines)) * (1 - t) * 1.1);
                if (a > 0.004) img.Set(ox + x, oy + y, {0.35 + 0.4 * lines, 0.7, 1.0, a});
            }
    }
    return img;
}

Image GravitySwirl(int which) {
    Image img(512, 512);
    const double twist = which == 1 ? 9 : -7, arms = which == 1 ? 5 : 3;
    Paint(img, [&](double u, double v) {
        const double x = u * 2 - 1, y = v * 2 - 1, r = std::hypot(x, y), a = std::atan2(y, x);
        const double s = 0.5 + 0.5 * std::sin(a * arms + r * twist);
        const double fall = Smooth(1.0, 0.15, r) * Smooth(0.0, 0.25, r);
        const double k = std::pow(s, 3) * fall;
        return which == 1 ? Rgba{0.55 * k, 0.25 * k, 0.95 * k, 1} : Rgba{0.15 * k, 0.6 * k, 0.9 * k, 1};
    });
    return img;
}

Image ShieldBar() {
    // Drawn 75 x 165 at the bottom left; the game fills x 20..56, y 13..158 with the bar.
    Image img(75, 165, Hex(0x0a1426));
    img.FrameRect(1, 1, 74, 164, 2, Hex(0x3a78c8));
    img.FillRect(19, 12, 57, 159, Hex(0x000000));
    img.FrameRect(17, 10, 59, 161, 2, Hex(0x7ab0ff));
    for (int i = 1; i < 5; ++i)
        img.FillRect(12, 13 + i * 29, 17, 14 + i * 29, Hex(0x7ab0ff));
    const std::string label = "SHIELD";
    for (std::size_t i = 0; i < label.size(); ++i)
        img.Text(63, 30 + double(i) * 18, std::string(1, label[i]), 1.6, Hex(0xd8e8ff));
    return img;
}

Image EnergyMeter(int level) {
    // Drawn 256 x 32; the game covers the empty part of the gauge x 11..251, y 8..24.
    Image img(256, 32, {0, 0, 0, 0});
    img.FillRect(0, 0, 256, 32, Hex(0x0a1426, 0.85));
    img.FrameRect(0, 0, 256, 32, 1, Hex(0x3a78c8));
    for (int x = 11; x < 251; ++x) {
        const double t = (x - 11) / 240.0;
        const Rgba c = Mix(Hex(0x20d060), Hex(0x30c0ff), t);
        img.FillRect(x, 8, x + 1, 24, ((x - 11) % 24 == 23) ? Mix(c, {0, 0, 0, 1}, 0.5) : c);
    }
    img.FrameRect(10, 7, 252, 25, 1, Hex(0xd8e8ff));
    // The label, one pixel per dot so that it stays sharp, fills the seven rows above
    // the gauge in a gap of both frames: a row off the picture's edge, which filtering
    // would blend with the opposite edge.
    img.FillRect(10, 0, 12 + Image::TextWidth("ENERGY", 1) + 2, 8, Hex(0x0a1426));
    img.Text(12, 1, "ENERGY", 1, Hex(0xd8e8ff));
    for (int i = 0; i < level; ++i)
        img.FillRect(200 + i * 12, 27, 208 + i * 12, 31, Hex(0xffe060));
    return img;
}

Image Pointer(int kind) {
    // A marker with an arrow pointing up; the game turns it toward off-screen targets.
    const unsigned colours[6] = {0x33ccff, 0x66ff66, 0xff4040, 0xffa020, 0xd050ff, 0xffff40};
    const Rgba c = Hex(colours[kind]);
    Image img(64, 64, {0, 0, 0, 0});
    img.Ring(32, 34, 17, 4, c);
    img.Polygon({32, 2, 42, 15, 22, 15}, c);
    switch (kind) {
        case 0:
            img.FillRect(26, 28, 38, 40, c);
            break;
        case 1:
            img.Disc(32, 34, 6, c);
            break;
        case 2:
            img.Polygon({32, 27, 39, 40, 25, 40}, c);
            break;
        case 3:
            img.Disc(32, 36, 6, c);
            img.Polygon({27, 34, 32, 24, 37, 34}, c);
            break;
        case 4:
            img.Polygon({32, 26, 40, 34, 32, 42, 24, 34}, c);
            break;
        default:
            img.FillRect(23, 31, 41, 37, c);
            break;
    }
    return img;
}

Image MapDisplay() {
    Image img(256, 256);
    Paint(img, [](double u, double v) {
        const double r = std::hypot(u - 0.5, v - 0.5);
        return Mix(Hex(0x04200c), Hex(0x010806), Clamp01(r * 1.8));
    });
    const Rgba g = Hex(0x30c060);
    for (int k = 1; k <= 4; ++k)
        img.Ring(128, 128, 30.0 * k, 1, {g.r, g.g, g.b, 0.6});
    img.Line(128, 4, 128, 252, 1, {g.r, g.g, g.b, 0.5});
    img.Line(4, 128, 252, 128, 1, {g.r, g.g, g.b, 0.5});
    img.FrameRect(0, 0, 256, 256, 3, Hex(0x3a78c8));
    img.Text(8, 8, "MAP", 1.5, g);
    return img;
}

Image Font() {
    // 16 x 16 cells of 32 x 32; cell n (row by row from the top left) holds character n.
    // The engine takes each texel's alpha from its brightest channel, so the outline is
    // a deep blue: nearly opaque, yet dark enough that the white letters stand out from
    // it over the brightest scene, where a black one would be clear. Glyphs are centred
    // in their cells with the outline a texel and a half clear of the edges, so filtering
    // never pulls in the next cell.
    Image img(512, 512, {0, 0, 0, 1});
    const double dot = 2.8, outline = 1.8;
    const Rgba edge = Hex(0x0a14e6);
    auto eachDot = [&](int ch, const std::function<void(double, double, double, double)>& f) {
        const double ox = (ch % 16) * 32 + 16 - 2.5 * dot, oy = (ch / 16) * 32 + 16 - 4.5 * dot;
        for (int row = 0; row < 9; ++row)
            for (int col = 0; col < 5; ++col)
                if (FontDot(static_cast<unsigned char>(ch), col, row))
                    f(ox + col * dot, oy + row * dot, ox + (col + 1) * dot, oy + (row + 1) * dot);
    };
    for (int ch = 33; ch < 127; ++ch) {
        eachDot(ch, [&](double x0, double y0, double x1, double y1) {
            img.FillRect(x0 - outline, y0 - outline, x1 + outline, y1 + outline, edge);
        });
        eachDot(ch, [&](double x0, double y0, double x1, double y1) {
            img.FillRect(x0 - 0.3, y0 - 0.3, x1 + 0.3, y1 + 0.3, {1, 1, 1, 1});
        });
    }
    return img;
}

// One frame of a glowing shot: a core, a halo and sparks turning with the frame.
void ShotFrame(Image& img, int ox, int oy, int cell, double t, Rgba core, Rgba halo, std::uint64_t seed) {
    const double c = cell / 2.0;
    const double pulse = 0.85 + 0.15 * std::sin(t * 2 * kPi);
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) {
            const double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c;
            const double r = std::hypot(dx, dy), a = std::atan2(dy, dx);
            const double swirl = Fbm3(std::cos(a) * 2 + t * 3, std::sin(a) * 2, r * 3 - t * 4, 3, seed);
            const double inner = std::exp(-std::pow(r / (0.32 * pulse), 2));
            const double outer = std::exp(-std::pow(r / (0.7 * pulse), 2)) * (0.4 + 0.8 * swirl);
            const double k = Smooth(1.0, 0.85, r);
            const double R = (core.r * inner + halo.r * outer) * k, G = (core.g * inner + halo.g * outer) * k,
                         B = (core.b * inner + halo.b * outer) * k;
            img.Set(ox + x, oy + y, Light(R, G, B));
        }
}

Image ShotAtlas(int n, int cells, Rgba core, Rgba halo, std::uint64_t seed) {
    const int cell = 128;
    Image img(cells * cell, cells * cell, {0, 0, 0, 0});
    for (int f = 0; f < n; ++f)
        ShotFrame(img, (f % cells) * cell, (f / cells) * cell, cell, double(f) / n, core, halo, seed);
    return img;
}

Image Ring(int size, Rgba colour, double radius, double width, bool alpha, double innerGlow) {
    Image img(size, size, {0, 0, 0, alpha ? 0.0 : 1.0});
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double r = std::hypot(x + 0.5 - c, y + 0.5 - c) / c;
            const double band = std::exp(-std::pow((r - radius) / width, 2));
            const double fill = innerGlow * Smooth(radius, 0, r) * Smooth(1.0, radius, r);
            const double k = (band + fill) * Smooth(1.0, 0.95, r);
            const Rgba hot = Mix(colour, {1, 1, 1, 1}, band * 0.4);
            if (alpha)
                img.Set(x, y, Light(hot.r * k, hot.g * k, hot.b * k));
            else
                img.Set(x, y, {hot.r * k, hot.g * k, hot.b * k, 1});
        }
    return img;
}

Image Glow(int size, Rgba colour, bool alpha, bool streak) {
    Image img(size, size, {0, 0, 0, alpha ? 0.0 : 1.0});
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c, r = std::hypot(dx, dy);
            double k = std::pow(Clamp01(1 - r), 2.2) + 0.8 * std::exp(-r * r * 40);
            if (streak) k += std::exp(-dy * dy * 300) * Clamp01(1 - std::abs(dx)) * 0.8;
            const Rgba hot = Mix(colour, {1, 1, 1, 1}, std::exp(-r * r * 30));
            if (alpha)
                img.Set(x, y, Light(hot.r * k, hot.g * k, hot.b * k));
            else
                img.Set(x, y, {hot.r * k, hot.g * k, hot.b * k, 1});
        }
    return img;
}

Image Lightning(int frame) {
    Image img(512, 512);
    Random rnd(SeedOf("lightning") + frame);
    // Midpoint displacement bolts with a few branches.
    std::function<void(double, double, double, double, double, int)> bolt =
        [&](double x0, double y0, double x1, double y1, double width, int depth) {
            if (depth == 0) {
                img.Line(x0, y0, x1, y1, width * 3, {0.25, 0.35, 0.9, 1}, true);
                img.Line(x0, y0, x1, y1, width, {0.85, 0.9, 1.0, 1}, true);
                return;
            }
            const double len = std::hypot(x1 - x0, y1 - y0);
            const double mx = (x0 + x1) / 2 + rnd.Range(-0.25, 0.25) * len,
                         my = (y0 + y1) / 2 + rnd.Range(-0.25, 0.25) * len;
            bolt(x0, y0, mx, my, width, depth - 1);
            bolt(mx, my, x1, y1, width, depth - 1);
            if (depth > 2 && rnd.Uniform() < 0.35)
                bolt(mx, my, mx + rnd.Range(-0.6, 0.6) * len, my + rnd.Range(-0.6, 0.6) * len, width * 0.6,
                     depth - 2);
        };
    for (int k = 0; k < 3; ++k)
        bolt(rnd.Range(40, 472), rnd.Range(0, 60), rnd.Range(40, 472), rnd.Range(452, 512), 2.2, 7);
    img.Glow(256, 256, 240, {0.12, 0.15, 0.4, 1}, 2);
    return img;
}

Image Charge(int frame) {
    // The mothership's weapon gathering light over twelve frames.
    Image img(256, 256);
    const double t = frame / 12.0;
    img.Glow(128, 128, 40 + 90 * t, {0.3 * t + 0.1, 1.0, 0.4, 1}, 2.2);
    img.Glow(128, 128, 12 + 40 * t, {0.9, 1.0, 0.9, 1}, 1.5);
    Random rnd(SeedOf("charge") + frame);
    for (int k = 0; k < 6 + frame; ++k) {
        const double a = rnd.Range(0, 2 * kPi), r0 = rnd.Range(60, 120), r1 = r0 * (1 - t) * 0.6;
        img.Line(128 + r0 * std::cos(a), 128 + r0 * std::sin(a), 128 + r1 * std::cos(a + 0.4),
                 128 + r1 * std::sin(a + 0.4), 1.5, {0.5, 1.0, 0.6, 1}, true);
    }
    return img;
}

// Fire by temperature: smoke, deep red, orange, yellow, white-hot.
Rgba FireColour(double heat, Rgba smoke) {
    const Rgba ramp[5] = {
        smoke, {0.55, 0.09, 0.02, 1}, {1.0, 0.42, 0.06, 1}, {1.0, 0.78, 0.28, 1}, {1.0, 0.97, 0.86, 1}};
    const double x = Clamp01(heat) * 4;
    const int i = std::min(3, int(x));
    return Mix(ramp[i], ramp[i + 1], x - i);
}

Image ExplosionAtlas(int n) {
    // 64 frames of 128 pixels: a white-hot core bursts into flame tongues and flying
    // sparks, swells until its billows fill the cell, then cools through red into
    // glowing smoke that still shows in the last frame. The game adds the frames to
    // the scene, so dark means clear, and the smoke is lit from within by embers.
    const bool rock = n <= 3;
    const std::uint64_t seed = SeedOf("explosion") + n;
    const Rgba smoke = rock ? Hex(0x6a5440) : Hex(0x5a4034);
    const double hotness = rock ? 0.8 : (n == 5 ? 1.15 : (n == 6 ? 0.9 : 1.0));
    Image img(1024, 1024, {0, 0, 0, 0});
    for (int f = 0; f < 64; ++f) {
        const double t = f / 63.0;
        const int ox = (f % 8) * 128, oy = (f / 8) * 128;
        // Fast at first, full size by two thirds of the way, where the billows reach
        // into the corners of the cell.
        const double radius = 0.28 + 0.82 * (1 - std::pow(1 - std::min(1.0, t * 1.5), 2.2));
        const double cooling = std::pow(1 - t, 1.3);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                const double dx = (x + 0.5 - 64) / 64, dy = (y + 0.5 - 64) / 64, r = std::hypot(dx, dy);
                // Nothing may reach the cell's border: the neighbouring frame starts there.
                const double border = std::min({x + 0.5, 127.5 - x, y + 0.5, 127.5 - y});
                const double inCell = Smooth(1.0, 6.0, border);
                if (inCell <= 0) continue;
                const double a = std::atan2(dy, dx);
                // Tongues: noise round the rim, drifting outward as the frames go on.
                const double tongue =
                    Fbm3(std::cos(a) * 2.6 + n, std::sin(a) * 2.6, t * 1.6 - r * 1.5, 4, seed + 3);
                const double billow = Fbm3(dx * 2.8 + n * 3, dy * 2.8, t * 2.4 - r, 4, seed);
                const double edge = radius * (0.92 + 0.7 * (tongue - 0.5) + 0.35 * (billow - 0.5));
                if (edge <= 0.02) continue;
                const double body = Smooth(edge, edge * 0.72, r) * inCell;
                if (body <= 0) continue;
                const double depth = 1 - r / edge;
                double heat = (depth * 1.7 + (billow - 0.5) * 0.8) * cooling * hotness;
                heat += Smooth(0.2, 0.0, r / radius) * 0.6 * std::pow(1 - t, 3);  // the core
                // Embers glowing in the smoke until the end.
                const double ember = Fbm3(dx * 6 + 11, dy * 6, t * 2, 3, seed + 7);
                heat = std::max(heat, Smooth(0.6, 0.85, ember) * 0.45 * (1 - 0.4 * t) * Clamp01(depth * 2));
                const Rgba c = FireColour(heat, smoke);
                const double density =
                    body * (0.55 + 0.45 * Clamp01(heat * 1.5)) * (1 - 0.4 * t) * (0.8 + 0.4 * billow);
                img.Set(ox + x, oy + y, {c.r, c.g, c.b, Clamp01(density)});
            }
        // Sparks (grit for rock) streak outward and burn out; each stays in its cell.
        Random rnd(seed + 1000);
        for (int k = 0; k < (rock ? 34 : 28); ++k) {
            const double ang = rnd.Range(0, 2 * kPi), speed = rnd.Range(0.5, 1.0), life = rnd.Range(0.3, 0.8);
            if (t > life) continue;
            const double p = t / life, d = 54 * speed * (1 - std::pow(1 - p, 2)) + 4;
            const double tail = std::max(4.0, d - (rock ? 4 : 12) * (1 - p));
            const Rgba hot = rock ? Rgba{1.0, 0.7, 0.4, 1} : Rgba{1.0, 0.88, 0.5, 1};
            img.Line(ox + 64 + tail * std::cos(ang), oy + 64 + tail * std::sin(ang),
                     ox + 64 + d * std::cos(ang), oy + 64 + d * std::sin(ang), rock ? 1.8 : 1.4,
                     {hot.r, hot.g, hot.b, 1 - p * p});
        }
    }
    return img;
}

Image ForceFieldSkin() {
    Image img(256, 256, {0, 0, 0, 0});
    Paint(img, [](double u, double v) {
        // Hexagonal cells that tile across the skin.
        const double x = u * 8, y = v * 8 * 1.1547;
        const double row = std::floor(y), sx = x + (int(row) % 2) * 0.5;
        const double fx = sx - std::floor(sx) - 0.5, fy = y - row - 0.5;
        const double edge = std::max(std::abs(fx) * 1.7, std::abs(fy) * 1.2 + std::abs(fx) * 0.85);
        const double line = Smooth(0.82, 0.95, edge);
        const double shimmer = TileFbm2(u, v, 4, 3, 91);
        return Rgba{0.3 + 0.5 * line, 0.7 + 0.3 * line, 1.0, Clamp01(0.18 + 0.6 * line + 0.15 * shimmer)};
    });
    return img;
}

Image Planet() {
    // Equirectangular: u round the equator, v from the north pole (top) to the south.
    Image img(1024, 512);
    const std::uint64_t seed = SeedOf("planet");
    Paint(img, [&](double u, double v) {
        const double az = u * 2 * kPi, el = (0.5 - v) * kPi;
        const V3 d{std::cos(el) * std::cos(az), std::sin(el), std::cos(el) * std::sin(az)};
        const double land = Fbm3(d.x * 2.5 + 5, d.y * 2.5, d.z * 2.5, 6, seed);
        const double cloud = Fbm3(d.x * 4 + 1, d.y * 8, d.z * 4, 5, seed + 3);
        Rgba c = land > 0.55 ? Mix(Hex(0x3c7a32), Hex(0x9a8a5a), Smooth(0.55, 0.75, land))
                             : Mix(Hex(0x081c58), Hex(0x1a58a8), Smooth(0.3, 0.55, land));
        c = Mix(c, Hex(0xf0f4ff), Smooth(0.8, 0.9, std::abs(d.y)));   // ice caps
        c = Mix(c, Hex(0xffffff), Smooth(0.58, 0.75, cloud) * 0.85);  // weather
        return c;
    });
    return img;
}

Image LavaSkin() {
    Image img(512, 512);
    const std::uint64_t seed = SeedOf("lava");
    Paint(img, [&](double u, double v) {
        const double crust = TileFbm2(u, v, 4, 5, seed);
        const double crack = 1 - std::abs(TileFbm2(u, v, 6, 4, seed + 1) * 2 - 1);
        const double hot = Smooth(0.86, 0.97, crack) + Smooth(0.65, 0.8, crust) * 0.3;
        Rgba c = Mix(Hex(0x1a1210), Hex(0x4a3428), crust);
        return Mix(c, Mix(Hex(0xff5010), Hex(0xffe060), Smooth(0.95, 1.0, crack)), Clamp01(hot));
    });
    return img;
}

Image CoreSkin() {
    Image img(256, 256);
    Paint(img, [](double u, double v) {
        const double n = TileFbm2(u, v, 4, 4, 17);
        const double facet = std::abs(std::sin(u * 6 * kPi)) * std::abs(std::sin(v * 4 * kPi));
        return Mix(Hex(0x1060a0), Hex(0xa0ffff), Clamp01(n * 0.8 + facet * 0.4));
    });
    return img;
}

Image PowerUpSkin() {
    Image img(256, 256);
    Paint(img, [](double u, double v) {
        const double n = TileFbm2(u, v, 4, 3, 23);
        const double stripes = 0.5 + 0.5 * std::sin((u + v) * 8 * kPi);
        return Mix(Hex(0xffa000), Hex(0xffffa0), Clamp01(stripes * 0.6 + n * 0.5));
    });
    img.FrameRect(0, 0, 256, 256, 6, Hex(0x40e0ff));
    return img;
}

Image RadarSkin() {
    Image img = Plating(256, Hex(0xb8c0c8), Hex(0x3080ff), 4, SeedOf("radar"), 0.1);
    for (int k = 1; k < 8; ++k)
        img.Ring(128, 128, k * 16.0, 1, {0.3, 0.35, 0.4, 0.7});
    return img;
}

Image LogoMaker() {
    Image img(512, 512);
    StarField(img, SeedOf("makerlogo"), 200, Hex(0x02040c), Hex(0x0a0a1a));
    img.Glow(256, 210, 150, {0.15, 0.3, 0.8, 1}, 2);
    img.Disc(256, 210, 70, Hex(0x2050c0), 2);
    img.Ring(256, 210, 110, 6, Hex(0xffc830));
    img.TextCentred(256, 350, "NARVO GAMES", 6, Hex(0xffffff), true);
    img.TextCentred(256, 420, "PRESENTS", 3, Hex(0x9fc8ff), true);
    return img;
}

Image LogoEngine() {
    Image img(512, 382, Hex(0x101418));
    const Rgba c = Hex(0x60e0ff);
    // A wire cube.
    const double s = 70, cx = 256, cy = 150;
    const double p[8][2] = {{cx - s, cy - s * 0.4}, {cx, cy - s * 0.8}, {cx + s, cy - s * 0.4}, {cx, cy},
                            {cx - s, cy + s * 0.6}, {cx, cy + s * 0.2}, {cx + s, cy + s * 0.6}, {cx, cy + s}};
    const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 7}, {7, 6},
                              {0, 4}, {3, 7}, {2, 6}, {5, 4}, {5, 6}, {5, 1}};
    for (const auto& e : edges)
        img.Line(p[e[0]][0], p[e[0]][1], p[e[1]][0], p[e[1]][1], 3, c);
    img.TextCentred(256, 280, "REAL-TIME 3D", 5, Hex(0xffffff), true);
    return img;
}

Image Particle() {
    Image img(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double r = std::hypot(x + 0.5 - 32, y + 0.5 - 32) / 32;
            const double k = std::pow(Clamp01(1 - r), 2);
            img.Set(x, y, {k, k, k, 1});
        }
    return img;
}

Image LaserBolt() {
    Image img(256, 32, {0, 0, 0, 0});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 256; ++x) {
            const double across = std::abs((y + 0.5) / 16 - 1), along = (x + 0.5) / 256;
            const double ends = Smooth(0.0, 0.12, along) * Smooth(1.0, 0.88, along);
            const double core = std::exp(-across * across * 60), glow = std::exp(-across * across * 6);
            img.Set(x, y,
                    Light((core + glow) * ends, (core * 0.9 + glow * 0.1) * ends,
                          (core * 0.8 + glow * 0.1) * ends));
        }
    return img;
}

Image Flare(int n) {
    // The flare's elements are added over the view, the large ones across its middle
    // where the sights are: each is a faint ghost that the sights show through, only
    // the sun's own glow (element 1, drawn small) bright at its centre.
    Image img(256, 256);
    switch (n) {
        case 1:
            img.Glow(128, 128, 128, {0.55, 0.48, 0.36, 1}, 4);
            img.Glow(128, 128, 40, {0.45, 0.42, 0.36, 1}, 2);
            break;
        case 2:
            img.Ring(128, 128, 110, 3, {0.16, 0.22, 0.34, 1}, true);
            img.Ring(128, 128, 104, 8, {0.05, 0.07, 0.12, 1}, true);
            break;
        default: {
            std::vector<double> hex;
            for (int k = 0; k < 6; ++k) {
                hex.push_back(128 + 100 * std::cos(k * kPi / 3));
                hex.push_back(128 + 100 * std::sin(k * kPi / 3));
            }
            img.Polygon(hex, {0.09, 0.13, 0.08, 1});
            for (int k = 0; k < 6; ++k)
                img.Line(hex[2 * k], hex[2 * k + 1], hex[(2 * k + 2) % 12], hex[(2 * k + 3) % 12], 2.5,
                         {0.14, 0.2, 0.12, 1}, true);
            break;
        }
    }
    return img;
}

// The flip-book atlases are drawn with 128-pixel cells, where their sparks and tongues
// are a pixel or two wide, and kept at the smaller size the inventory lists: the game
// shows them as small sprites, and each halving takes three quarters of their memory.
Image AtListedSize(Image img, const ContentEntry& e) {
    while (img.Width() > e.width && img.Height() > e.height)
        img = img.Halved();
    if (img.Width() != e.width || img.Height() != e.height)
        throw RecipeError("no way to make " + e.path + " its listed size");
    return img;
}

}  // namespace

std::string MakeTexture(const ContentEntry& e) {
    const std::string& r = e.recipe;
    const int i = e.index;
    // Menu pictures keep full colour resolution (the writer halves it below quality
    // 91): halved, the blue round each letter goes dull, and the game, taking alpha
    // from brightness, would let the scene through there.
    const bool text = r.rfind("menu_", 0) == 0 || r == "congrats" || r == "font" || r.rfind("form_", 0) == 0;
    auto out = [&e, text](const Image& img) {
        switch (e.format) {
            case Format::Jpeg:
                return img.Jpeg(text ? 95 : 90);
            case Format::Png:
                return img.Png();
            case Format::Bmp:
                return img.Bmp();
            default:
                throw RecipeError("not a picture format: " + e.path);
        }
    };
    if (r == "logo_maker") return out(LogoMaker());
    if (r == "logo_engine") return out(LogoEngine());
    if (r == "menu_main") return out(MainMenu());
    if (r == "menu_controls") return out(Controls());
    if (r == "congrats") return out(Congratulations(i));
    if (r == "mouse") return out(Mouse(i));
    if (r == "menu_pause") return out(PauseMenu());
    if (r == "menu_gameover") return out(GameOverMenu());
    if (r == "menu_shop") return out(Shop());
    if (r == "font") return out(Font());
    if (r.rfind("form_", 0) == 0) return out(FormPicture(e));
    if (r == "skin_gold")
        return out(PanelSkin(512, SeedOf("gold"), {Hex(0xc89a38), Hex(0xf0cc6a), Hex(0xa02818), 0.7, 14}));
    if (r == "skin_platform") {
        Image img = Plating(512, Hex(0x6a7078), Hex(0xd0a020), 8, SeedOf("platform"), 0.2);
        img.Ring(256, 256, 60, 10, Hex(0xe0c020));  // landing circle at the deck centre
        img.Ring(256, 256, 200, 14, Hex(0xe0c020, 0.8));
        return out(img);
    }
    if (r == "skin_planet") return out(Planet());
    if (r == "skin_alien_hull")
        return out(Plating(512, Hex(0x3c4a40), Hex(0x40ff90), 5, SeedOf("alienhull"), 0.35));
    if (r == "skin_alien_fighter")
        return out(Plating(512, Hex(0x4a2c58), Hex(0xff4060), 4, SeedOf("alienfighter"), 0.35));
    if (r == "skin_station") {
        // Solid and weathered, in the darker greys of a hull long in space: pale plating
        // with dark seams read as a wire frame on the station's curved parts.
        Image img =
            i == 1
                ? PanelSkin(512, SeedOf("station1"), {Hex(0x5e6874), Hex(0x9aa6b4), Hex(0x3070c0), 0.35, 8})
                : PanelSkin(512, SeedOf("station2"), {Hex(0x4a4e5a), Hex(0x7c8290), Hex(0xc03030), 0.35, 8});
        Random rnd(SeedOf("windows") + i);
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 32; ++col)
                if (rnd.Uniform() < 0.4)  // lit windows
                    img.FillRect(col * 16 + 4, row * 64 + 28, col * 16 + 11, row * 64 + 34,
                                 i == 1 ? Hex(0xffe49a) : Hex(0x9ad4ff));
        return out(img);
    }
    if (r == "skin_rock") return out(RockSkin(i, 512));
    if (r == "skin_bump") {
        // A detail map, multiplied in twice over the hull's own skin: mid grey is
        // neutral. Fine grain and faint panel edges only; dark seams here would draw a
        // grid over every hull, which on the pale station reads as a wire frame.
        Image img(256, 256);
        const std::uint64_t seed = SeedOf("bump");
        Paint(img, [seed](double u, double v) {
            const double grain = TileFbm2(u, v, 32, 3, seed) - 0.5;
            const double blotch = TileFbm2(u, v, 4, 3, seed + 1) - 0.5;
            const double fu = std::fmod(u * 2, 1.0), fv = std::fmod(v * 2, 1.0);
            const double edge = std::min({fu, 1 - fu, fv, 1 - fv}) < 0.01 ? -0.06 : 0.0;
            const double k = 0.5 + grain * 0.16 + blotch * 0.1 + edge;
            return Rgba{k, k, k, 1};
        });
        return out(img);
    }
    if (r == "skin_grey") return out(Plating(512, Hex(0x8a8c90), Hex(0x303438), 6, SeedOf("grey")));
    if (r == "skin_radar") return out(RadarSkin());
    if (r == "skin_forcefield") return out(ForceFieldSkin());
    if (r == "skin_powerup") return out(PowerUpSkin());
    if (r == "skin_core") return out(CoreSkin());
    if (r == "skin_lava") return out(LavaSkin());
    if (r == "sky") {
        // Above quality 90 the colour is kept at full resolution: single-texel stars
        // keep their tint.
        const int face = i % 10, set = (i / 10) % 10;
        return SkyFace(set, face, e.width, i >= 100).Jpeg(95);
    }
    if (r == "ring_green") {
        if (e.format != Format::Png) return out(Ring(256, Hex(0x40ff60), 0.7, 0.08, false, 0.35));
        // The game also adds this picture to the hulls of the stations and aliens as
        // their reflection, colour only: at full strength it washes them pale green and
        // draws its ring round their curves. The shape stays in the alpha, the colour is
        // toned down, which the blended shots and shock wave keep their shape with.
        Image img = Ring(256, Hex(0x40ff60), 0.7, 0.08, true, 0.2);
        for (int y = 0; y < img.Height(); ++y)
            for (int x = 0; x < img.Width(); ++x) {
                Rgba c = img.Get(x, y);
                img.Set(x, y, {c.r * 0.4, c.g * 0.4, c.b * 0.4, c.a});
            }
        return out(img);
    }
    if (r == "ring_shock") return out(Ring(256, Hex(0xff9a40), 0.75, 0.1, false, 0.25));
    if (r == "ring_weapon") {
        const unsigned colours[7] = {0x40ff60, 0xff3030, 0x40d0ff, 0xff9020, 0xff40d0, 0xffe040, 0xd0ffa0};
        return out(Ring(256, Hex(colours[(i - 1) % 7]), 0.72, 0.09, true, 0.3));
    }
    if (r == "hud_reticle") return out(Reticle());
    if (r == "hud_shieldhit") return out(ShieldHit());
    if (r == "hud_grav") return out(GravitySwirl(i));
    if (r == "hud_shieldbar") return out(ShieldBar());
    if (r == "hud_energymeter") return out(EnergyMeter(i));
    if (r == "hud_pointer") return out(Pointer(i));
    if (r == "hud_map") return out(MapDisplay());
    if (r == "shot_atlas4") {
        const Rgba cores[3] = {Hex(0xe0ffff), Hex(0xe8ffe0), Hex(0xffe0ff)};
        const Rgba halos[3] = {Hex(0x2090ff), Hex(0x30ff50), Hex(0xff30c0)};
        return out(ShotAtlas(16, 4, cores[i - 1], halos[i - 1], SeedOf("shot4") + i));
    }
    if (r == "shot_atlas8") {
        const Rgba cores[2] = {Hex(0xffffc0), Hex(0xffffff)};
        const Rgba halos[2] = {Hex(0xff6010), Hex(0x80ff40)};
        return out(AtListedSize(ShotAtlas(64, 8, cores[i - 1], halos[i - 1], SeedOf("shot8") + i), e));
    }
    if (r == "shot_disperse") {
        Image img(128, 128, {0, 0, 0, 0});
        ShotFrame(img, 0, 0, 128, i == 1 ? 0.0 : 0.5, Hex(0xffffe0), Hex(0xffc020), SeedOf("disperse"));
        return out(img);
    }
    if (r == "shot_laser") return out(LaserBolt());
    if (r == "flare") return out(Flare(i));
    if (r == "glow") {
        const Rgba colours[3] = {Hex(0xff5020), Hex(0xc0ff30), Hex(0x70a0ff)};
        return out(Glow(128, colours[i - 1], e.format == Format::Png, i == 3));
    }
    if (r == "lightning") return out(Lightning(i));
    if (r == "charge") return out(Charge(i));
    if (r == "explosion_atlas") return out(AtListedSize(ExplosionAtlas(i), e));
    if (r == "particle") return out(Particle());
    throw RecipeError("no texture recipe " + r);
}

}  // namespace quorvel::content
