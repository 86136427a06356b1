#pragma once
// Pictures drawn in floating point RGBA and written as JPEG, PNG or 24-bit BMP.

#include <string>
#include <vector>

namespace quorvel::content {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};
Rgba Mix(Rgba a, Rgba b, double t);
Rgba Hex(unsigned rgb, double alpha = 1);

class Image {
  public:
    Image(int width, int height, Rgba fill = {0, 0, 0, 1});
    int Width() const { return w_; }
    int Height() const { return h_; }
    Rgba Get(int x, int y) const;
    void Set(int x, int y, Rgba c);
    // Paints c over the pixel with coverage t (alpha compositing).
    void Blend(int x, int y, Rgba c, double t = 1);
    // Adds light: colour times t, clamped later.
    void Add(int x, int y, Rgba c, double t = 1);

    void FillRect(double x0, double y0, double x1, double y1, Rgba c);
    void FrameRect(double x0, double y0, double x1, double y1, double width, Rgba c);
    // Filled disc with a soft edge of `soft` pixels.
    void Disc(double cx, double cy, double r, Rgba c, double soft = 1);
    // Additive glow falling off as (1 - d/r)^power.
    void Glow(double cx, double cy, double r, Rgba c, double power = 2);
    void Ring(double cx, double cy, double r, double width, Rgba c, bool additive = false);
    void Line(double x0, double y0, double x1, double y1, double width, Rgba c, bool additive = false);
    void Polygon(const std::vector<double>& xy, Rgba c);  // filled, x0 y0 x1 y1 ...

    // Text in the built-in 5 x 9 font, `scale` pixels per font dot.
    void Text(double x, double y, const std::string& text, double scale, Rgba c, bool shadow = false);
    static double TextWidth(const std::string& text, double scale);
    void TextCentred(double cx, double y, const std::string& text, double scale, Rgba c, bool shadow = false);

    // Half the size each way, each pixel the mean of the 2 x 2 it covers (clamped first,
    // as they are written): what a mipmap's next level makes of the picture.
    Image Halved() const;

    std::string Jpeg(int quality = 90) const;
    std::string Png() const;                 // keeps alpha
    std::string Bmp() const;                 // 24-bit
    std::vector<unsigned char> Rgb() const;  // 8-bit RGB, top row first

  private:
    std::vector<unsigned char> Bytes(int channels) const;
    int w_, h_;
    std::vector<Rgba> px_;
};

// The dots of one character in the built-in font: 9 rows of 5 columns, '#' set; rows
// 0 to 6 hold capitals, 7 and 8 descenders. Characters without a glyph are blank.
bool FontDot(unsigned char c, int column, int row);

}  // namespace quorvel::content
