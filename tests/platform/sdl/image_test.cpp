// Where the 2D layer puts its pictures: sheets, turning, full screen, blend modes,
// drawing order and fonts.

#include <functional>

#include "platform/engine/engine.h"
#include "sdl_fixture.h"

namespace quorvel::test {
namespace {

using Px = std::array<std::uint8_t, 4>;
using Rgb = std::array<int, 3>;

constexpr Rgb kBackground{0, 0, 80};

struct Case {
    const char* name;
    std::function<void(EngineDraw2D&)> setUp;
    int x, y;
    Rgb expected;
};

class ImageTest : public SdlTest {
  protected:
    void SetUp() override {
        SdlTest::SetUp();
        Start(640, 480);
        // Four 16-pixel cells in a row: red, green, blue, yellow.
        Png("tex\\sheet.png", 64, 16, [](int x, int) -> Px {
            static const Px cells[4] = {
                {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
            return cells[x / 16];
        });
        // Red above, green below.
        Png("tex\\halves.png", 32, 32, [](int, int y) -> Px {
            return y < 16 ? Px{255, 0, 0, 255} : Px{0, 255, 0, 255};
        });
        // Red, but wholly transparent.
        Png("tex\\clear.png", 8, 8, [](int, int) -> Px { return {255, 0, 0, 0}; });
        Png("tex\\white.png", 8, 8, [](int, int) -> Px { return {255, 255, 255, 255}; });
    }
    std::string Path(const char* name) { return folder_.str() + "/tex/" + name; }
};

TEST_F(ImageTest, PlacesPicturesAsTheImageSettingsSay) {
    const std::vector<Case> cases = {
        {"a sheet shows the chosen cell",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("sheet.png"), "s", 0);
             d.SetImageCells({16, 16}, {16, 16});
             d.SetImageFrameCount(4);
             d.SetImageColumns(4);
             d.SetImageFrame(2);
             d.SetImagePosition({100, 100});
             d.SetImageSize({40, 40});
         },
         120,
         120,
         {0, 0, 255}},
        {"stepping a sheet wraps past its last cell",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("sheet.png"), "s", 0);
             d.SetImageCells({16, 16}, {16, 16});
             d.SetImageFrameCount(4);
             d.SetImageColumns(4);
             d.SetImageFrame(2);
             d.SetImageStep(3);
             d.SetImagePosition({100, 100});
             d.SetImageSize({40, 40});
         },
         120,
         120,
         {0, 255, 0}},
        {"a sheet without a size shows one cell at its own size",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("sheet.png"), "s", 0);
             d.SetImageCells({16, 16}, {16, 16});
             d.SetImageFrameCount(4);
             d.SetImageColumns(4);
             d.SetImagePosition({100, 100});
         },
         120, 108, kBackground},
        {"turned a quarter counter-clockwise, the top comes to the left",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("halves.png"), "h", 0);
             d.SetImagePosition({200, 200});
             d.SetImageSize({64, 64});
             d.SetImageAngle(90);
         },
         210,
         232,
         {255, 0, 0}},
        {"turned a quarter counter-clockwise, the bottom comes to the right",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("halves.png"), "h", 0);
             d.SetImagePosition({200, 200});
             d.SetImageSize({64, 64});
             d.RotateImage(45);
             d.RotateImage(45);
         },
         254,
         232,
         {0, 255, 0}},
        {"the full-screen flag covers the screen whatever the size",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("white.png"), "w", 0);
             d.SetImagePosition({10, 10});
             d.SetImageSize({20, 20});
             d.SetImageFlag(true);
         },
         639,
         479,
         {255, 255, 255}},
        {"an opaque image ignores the picture's alpha",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("clear.png"), "c", 0);
             d.SetImageMode(0);
             d.SetImageSize({50, 50});
         },
         25,
         25,
         {255, 0, 0}},
        {"a blended image lets a clear picture show what is behind",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("clear.png"), "c", 0);
             d.SetImageMode(1);
             d.SetImageSize({50, 50});
         },
         25, 25, kBackground},
        {"an added image brightens what is behind",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("sheet.png"), "s", 0);
             d.SetImageMode(5);
             d.SetImageSize({64, 16});
         },
         4,
         4,
         {255, 0, 80}},
        {"a later image covers an earlier one",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("white.png"), "w", 0);
             d.SetImageSize({50, 50});
             d.LoadImage(Path("halves.png"), "h", 0);
             d.SetImageSize({50, 50});
         },
         25,
         5,
         {255, 0, 0}},
        {"a hidden image is not drawn",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("white.png"), "w", 0);
             d.SetImageSize({50, 50});
             d.SetImageVisible(false);
         },
         25, 25, kBackground},
        {"a font image is never drawn as a picture",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("white.png"), "f", 0);
             d.SetImageSize({50, 50});
             d.SetFontCell({4, 4}, 0);
         },
         25, 25, kBackground},
        {"font text draws glyph cells of the font picture in the font colour",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("white.png"), "f", 0);
             d.SetFontCell({4, 4}, 0);
             d.SetImagePosition({300, 300});
             d.SetFontColour(Colour{0, 255, 0, 255}, 255);
             d.DrawFontText("AB", {10, 10}, 0, 500);  // glyphs of 20 pixels
         },
         335,
         315,
         {0, 255, 0}},
        {"a hidden font draws no text",
         [&](EngineDraw2D& d) {
             d.LoadImage(Path("white.png"), "f", 0);
             d.SetFontCell({4, 4}, 0);
             d.SetImagePosition({300, 300});
             d.DrawFontText("AB", {10, 10}, 0, 500);
             d.SetImageVisible(false);
         },
         315, 315, kBackground},
        {"an outlined rectangle leaves its inside alone",
         [&](EngineDraw2D& d) {
             d.SetDrawColour(Colour{255, 255, 0, 255});
             d.DrawRectangle({100, 100}, {200, 150}, false);
         },
         150, 125, kBackground},
        {"an outlined rectangle draws its edges",
         [&](EngineDraw2D& d) {
             d.SetDrawColour(Colour{255, 255, 0, 255});
             d.DrawRectangle({100, 100}, {200, 150}, false);
         },
         100,
         125,
         {255, 255, 0}},
        {"a filled rectangle in opaque mode ignores the colour's alpha",
         [&](EngineDraw2D& d) {
             d.SetDrawColour(Colour{255, 0, 0, 0});
             d.SetDrawMode(0);
             d.DrawRectangle({200, 150}, {100, 100}, true);
         },
         150,
         125,
         {255, 0, 0}},
        {"a filled rectangle in blended mode mixes by the colour's alpha",
         [&](EngineDraw2D& d) {
             d.SetDrawColour(Colour{255, 0, 0, 128});
             d.SetDrawMode(1);
             d.DrawRectangle({100, 100}, {200, 150}, true);
         },
         150,
         125,
         {128, 0, 40}},
    };
    EngineFrame frame;
    frame.SetSceneColourA(Colour{float(kBackground[0]), float(kBackground[1]), float(kBackground[2]), 255});
    EngineDraw2D draw;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        draw.ClearImages();
        draw.SetDrawMode(1);
        frame.BeginFrame();
        frame.RenderScene();
        c.setUp(draw);
        frame.EndFrame();
        const auto px = Grab().At(c.x, c.y);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(px[i], c.expected[i], 6) << "channel " << i;
    }
}

}  // namespace
}  // namespace quorvel::test
