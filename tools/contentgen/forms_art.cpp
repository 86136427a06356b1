// The start-up forms' background pictures: a space scene with the game's name, laid
// out round the controls each form places over it (positions in pixels, 15 twips to
// the pixel), so every control stands on a calm patch of its own and the words the
// form needs (the difficulty levels beside their unlabelled buttons) are in the art.

#include <algorithm>
#include <cmath>

#include "generate.h"
#include "image.h"
#include "noise.h"

namespace quorvel::content {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Deep space: a dark gradient, a faint nebula and stars of many brightnesses.
void Space(Image& img, std::uint64_t seed, Rgba nebula) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const double u = (x + 0.5) / img.Width(), v = (y + 0.5) / img.Height();
            const double cloud = Fbm3(u * 3, v * 3, 0.5, 5, seed);
            const double k = Smooth(0.45, 0.85, cloud) * 0.35;
            const Rgba base = Mix(Hex(0x060a1c), Hex(0x02030a), v);
            img.Set(x, y, Mix(base, nebula, k));
        }
    Random rnd(seed + 1);
    const int stars = img.Width() * img.Height() / 500;
    for (int i = 0; i < stars; ++i) {
        const double x = rnd.Range(0, img.Width()), y = rnd.Range(0, img.Height());
        const double b = std::pow(rnd.Uniform(), 3);
        img.Glow(x, y, 1.2 + 2.2 * b, Mix(Hex(0x8899ff, 0.6 + 0.4 * b), Hex(0xffffff), rnd.Uniform()), 1.5);
    }
}

// A blue world lit from the upper left, with an atmosphere on its lit rim.
void World(Image& img, double cx, double cy, double r, std::uint64_t seed) {
    const double lx = -0.6, ly = -0.55, lz = 0.58;
    for (int y = std::max(0, int(cy - r - 8)); y < std::min(img.Height(), int(cy + r + 8)); ++y)
        for (int x = std::max(0, int(cx - r - 8)); x < std::min(img.Width(), int(cx + r + 8)); ++x) {
            const double dx = (x + 0.5 - cx) / r, dy = (y + 0.5 - cy) / r, d = std::hypot(dx, dy);
            if (d < 1) {
                const double dz = std::sqrt(1 - d * d);
                const double light = Clamp01(dx * lx + dy * ly + dz * lz);
                const double land = Fbm3(dx * 3 + 4, dy * 3, dz * 3, 5, seed);
                const double cloud = Fbm3(dx * 5 + 1, dy * 9, dz * 5, 4, seed + 3);
                Rgba c = land > 0.56 ? Mix(Hex(0x2e6a2c), Hex(0x8a7a50), Smooth(0.56, 0.75, land))
                                     : Mix(Hex(0x061650), Hex(0x1a58a8), Smooth(0.3, 0.56, land));
                c = Mix(c, Hex(0xffffff), Smooth(0.6, 0.78, cloud) * 0.8);
                const double shade = 0.06 + 0.94 * std::pow(light, 0.8);
                const double rim = Smooth(0.8, 1.0, d) * Smooth(0.1, 0.6, light);
                c = {c.r * shade, c.g * shade, c.b * shade, 1};
                img.Blend(x, y, Mix(c, Hex(0x7ab8ff), rim * 0.6), Clamp01((1 - d) * r + 0.5));
            } else if (d < 1.04) {
                const double side = Clamp01(dx * lx + dy * ly + 0.3);
                img.Add(x, y, Hex(0x4a90ff), (1 - (d - 1) / 0.04) * 0.5 * side);
            }
        }
}

// The gold fighter seen from above, nose to the upper right, with its engine glow.
void Fighter(Image& img, double cx, double cy, double size, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    auto place = [&](std::vector<double> xy) {
        for (std::size_t i = 0; i < xy.size(); i += 2) {
            const double x = xy[i] * size, y = xy[i + 1] * size;
            xy[i] = cx + x * c - y * s;
            xy[i + 1] = cy + x * s + y * c;
        }
        return xy;
    };
    const double tx = cx - 1.05 * size * c, ty = cy - 1.05 * size * s;
    img.Glow(tx, ty, size * 0.9, Hex(0xff8a30), 2);
    img.Glow(tx, ty, size * 0.35, Hex(0xffe8b0), 2);
    // Swept wings behind a long nose, twin tail fins.
    img.Polygon(place({1.15,  0,     0.45,  -0.14, 0.05,  -0.22, -0.35, -0.9, -0.55, -0.9, -0.45, -0.24,
                       -0.95, -0.42, -1.05, -0.38, -0.9,  -0.1,  -0.9,  0.1,  -1.05, 0.38, -0.95, 0.42,
                       -0.45, 0.24,  -0.55, 0.9,   -0.35, 0.9,   0.05,  0.22, 0.45,  0.14}),
                Hex(0x7a5810));
    img.Polygon(place({1.05, 0,     0.42,  -0.1,  0.02,  -0.17, -0.36, -0.8, -0.47, -0.8,
                       -0.4, -0.18, -0.88, -0.33, -0.84, -0.08, -0.84, 0.08, -0.88, 0.33,
                       -0.4, 0.18,  -0.47, 0.8,   -0.36, 0.8,   0.02,  0.17, 0.42,  0.1}),
                Hex(0xd8a840));
    img.Line(cx + 0.9 * size * c, cy + 0.9 * size * s, cx - 0.8 * size * c, cy - 0.8 * size * s, size * 0.06,
             Hex(0xffe090));
    img.Polygon(place({0.62, 0, 0.4, -0.07, 0.15, -0.06, 0.15, 0.06, 0.4, 0.07}), Hex(0x2a4a78));  // canopy
}

// A dark glass panel with a thin frame: the controls stand on it.
void Panel(Image& img, double x0, double y0, double x1, double y1, double opacity = 0.82) {
    img.FillRect(x0, y0, x1, y1, Hex(0x050c22, opacity));
    img.FrameRect(x0, y0, x1, y1, 1.5, Hex(0x3a78c8));
    img.FrameRect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 1, Hex(0x1d3c64));
}

// The game's name in gold capitals, with a dark outline so it reads on any sky.
void Title(Image& img, double cx, double y, double scale) {
    const std::string name = "VELTOR";
    const double x = std::round(cx - Image::TextWidth(name, scale) / 2);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy) img.Text(x + dx * scale * 0.5, y + dy * scale * 0.5, name, scale, Hex(0x1a0c00));
    img.Text(x, y, name, scale, Hex(0xffc830));
    // A bright upper half, as if lit from above.
    for (int row = 0; row < 3; ++row)
        for (std::size_t i = 0; i < name.size(); ++i)
            for (int col = 0; col < 5; ++col)
                if (FontDot(static_cast<unsigned char>(name[i]), col, row))
                    img.FillRect(x + (double(i) * 6 + col) * scale, y + row * scale,
                                 x + (double(i) * 6 + col + 1) * scale, y + (row + 1) * scale, Hex(0xffe890));
}

// Launch pad, 512 x 384: the adapter and mode lists at (152, 200) and (152, 232), 217
// wide; Start and Exit at y 272, Options at y 320, the hidden update button at (392,
// 344) and the silver version line along the bottom from (8, 360).
Image LaunchPad() {
    Image img(512, 384);
    Space(img, SeedOf("launchpad"), Hex(0x3a2a8a));
    World(img, 470, 470, 230, SeedOf("launchpad-world"));
    Fighter(img, 96, 150, 26, -0.45);
    Title(img, 256, 28, 8);
    img.TextCentred(256, 112, "DEFEND THE STATION", 2, Hex(0xd8e8ff));
    img.TextCentred(256, 138, "FIFTY LEVELS OF DEEP SPACE", 1, Hex(0x9fc8ff));
    Panel(img, 136, 186, 386, 356);
    img.Text(152, 190, "Video card", 1, Hex(0x9fc8ff));
    img.Text(152, 222, "Resolution", 1, Hex(0x9fc8ff));
    // The version line stays on dark ground: the scene fades out along the bottom.
    for (int y = 346; y < 384; ++y)
        img.FillRect(0, y, 512, y + 1, Hex(0x02030a, 0.9 * Smooth(346, 362, y)));
    return img;
}

// Options dialog, 512 x 384 on blue: its controls in the right half (x 239 to 485),
// their white captions beside them; what the uncaptioned check boxes and the sliders
// are for is written on the left of each box and over each slider, all on one panel.
Image OptionsArt() {
    Image img(512, 384);
    Space(img, SeedOf("options"), Hex(0x1a3aa0));
    Fighter(img, 100, 160, 40, -0.6);
    Title(img, 112, 292, 5);
    img.TextCentred(112, 344, "GAME OPTIONS", 2, Hex(0xd8e8ff));
    Panel(img, 154, 12, 500, 266);  // wide enough for "BEST EFFECTS" left of its box
    const Rgba head = Hex(0xffe060), note = Hex(0x9fc8ff);
    img.Text(312, 22, "DETAIL", 1, head);
    img.Text(236 - Image::TextWidth("GAME PAD", 1), 130, "GAME PAD", 1, note);
    img.Text(309, 103, "MOUSE SENSITIVITY", 1, head);
    img.Text(312, 195, "DIFFICULTY", 1, head);
    img.Text(236 - Image::TextWidth("BEST EFFECTS", 1), 214, "BEST EFFECTS", 1, note);
    return img;
}

// Difficulty dialog, 264 x 406: five blue buttons 25 x 17 at x 40 from y 128, 40
// apart, "GO!!!" at (80, 320). Each level is named beside its button in the words of
// its hint, the rest of the hint under the name.
Image DifficultyArt() {
    Image img(264, 406);
    Space(img, SeedOf("difficulty"), Hex(0x3a2a8a));
    Title(img, 132, 14, 5);
    img.TextCentred(132, 70, "CHOOSE DIFFICULTY", 2, Hex(0xd8e8ff));
    img.TextCentred(132, 94, "Pick a Difficulty level.", 1, Hex(0x9fc8ff));
    // A light panel under the buttons, the form's own grey, so the blue reads on it.
    img.FillRect(12, 116, 252, 356, Hex(0xe0e0e0));
    img.FrameRect(12, 116, 252, 356, 2, Hex(0x3a78c8));
    struct Level {
        const char* name;
        const char* rest;
    };
    const Level levels[5] = {{"Easy", "relax through the game."},
                             {"Mild", "the casual player."},
                             {"Just right", "for a First Person Gamer."},
                             {"Tough", "you play too many games."},
                             {"Crazy", "that's crazy talk!"}};
    for (int i = 0; i < 5; ++i) {
        const double top = 128 + 40 * i;
        img.FillRect(37, top - 3, 68, top + 20, Hex(0x9aa8c0));  // a seat for the button
        img.Text(76, top - 2, levels[i].name, 2, Hex(0x0a1450));
        img.Text(77, top + 18, levels[i].rest, 1, Hex(0x34406a));
    }
    img.TextCentred(132, 366, "New to space shooters?", 1, Hex(0xd8e8ff));
    img.TextCentred(132, 380, "Choose the top one.", 1, Hex(0xd8e8ff));
    return img;
}

// Splash, 477 x 386: the maker's red bold line at the top (from x 104, 33 high) and
// "Loading...." at (84, 348): both on pale bands, where dark red reads.
Image SplashArt() {
    Image img(477, 386);
    Space(img, SeedOf("splash"), Hex(0x3a2a8a));
    World(img, 120, 430, 210, SeedOf("splash-world"));
    Fighter(img, 330, 250, 40, -0.5);
    Title(img, 238, 110, 10);
    img.TextCentred(238, 210, "DEFEND THE STATION", 2, Hex(0xd8e8ff));
    const Rgba band = Hex(0xdcdce4);
    img.FillRect(0, 0, 477, 34, band);
    img.FillRect(0, 34, 477, 36, Hex(0x3a78c8));
    img.FillRect(0, 342, 477, 386, Hex(0x02030a, 0.5));
    img.FillRect(60, 344, 417, 376, band);
    img.FrameRect(60, 344, 417, 376, 1.5, Hex(0x3a78c8));
    return img;
}

}  // namespace

Image FormPicture(const ContentEntry& e) {
    if (e.recipe == "form_launchpad") return LaunchPad();
    if (e.recipe == "form_options") return OptionsArt();
    if (e.recipe == "form_difficulty") return DifficultyArt();
    if (e.recipe == "form_splash") return SplashArt();
    throw RecipeError("no form picture recipe " + e.recipe);
}

}  // namespace quorvel::content
