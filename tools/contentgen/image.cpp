#include "image.h"

#include <algorithm>
#include <cmath>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace quorvel::content {

namespace {

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), std::size_t(size));
}

double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

}  // namespace

Rgba Mix(Rgba a, Rgba b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Hex(unsigned rgb, double alpha) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Image::Image(int width, int height, Rgba fill)
    : w_(width), h_(height), px_(std::size_t(width) * height, fill) {}

Rgba Image::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return {0, 0, 0, 0};
    return px_[std::size_t(y) * w_ + x];
}

void Image::Set(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_[std::size_t(y) * w_ + x] = c;
}

Image Image::Halved() const {
    Image half(std::max(1, w_ / 2), std::max(1, h_ / 2));
    auto c01 = [](double v) { return std::clamp(v, 0.0, 1.0); };
    for (int y = 0; y < half.h_; ++y)
        for (int x = 0; x < half.w_; ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const Rgba c = Get(std::min(2 * x + dx, w_ - 1), std::min(2 * y + dy, h_ - 1));
                    sum = {sum.r + c01(c.r), sum.g + c01(c.g), sum.b + c01(c.b), sum.a + c01(c.a)};
                }
            half.Set(x, y, {sum.r / 4, sum.g / 4, sum.b / 4, sum.a / 4});
        }
    return half;
}

void Image::Blend(int x, int y, Rgba c, double t) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgba& d = px_[std::size_t(y) * w_ + x];
    const double a = Clamp01(c.a * t);
    const double outA = a + d.a * (1 - a);
    if (outA <= 1e-9) {
        d = {0, 0, 0, 0};
        return;
    }
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Image::Add(int x, int y, Rgba c, double t) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgba& d = px_[std::size_t(y) * w_ + x];
    d.r += c.r * t;
    d.g += c.g * t;
    d.b += c.b * t;
    d.a = std::min(1.0, d.a + c.a * t);
}

void Image::FillRect(double x0, double y0, double x1, double y1, Rgba c) {
    for (int y = std::max(0, int(std::floor(y0))); y < std::min(h_, int(std::ceil(y1))); ++y)
        for (int x = std::max(0, int(std::floor(x0))); x < std::min(w_, int(std::ceil(x1))); ++x) {
            // Partial coverage at the edges keeps scaled pictures smooth.
            const double cx = std::min(x + 1.0, x1) - std::max(double(x), x0);
            const double cy = std::min(y + 1.0, y1) - std::max(double(y), y0);
            Blend(x, y, c, Clamp01(cx) * Clamp01(cy));
        }
}

void Image::FrameRect(double x0, double y0, double x1, double y1, double width, Rgba c) {
    FillRect(x0, y0, x1, y0 + width, c);
    FillRect(x0, y1 - width, x1, y1, c);
    FillRect(x0, y0 + width, x0 + width, y1 - width, c);
    FillRect(x1 - width, y0 + width, x1, y1 - width, c);
}

void Image::Disc(double cx, double cy, double r, Rgba c, double soft) {
    for (int y = std::max(0, int(cy - r - soft - 1)); y <= std::min(h_ - 1, int(cy + r + soft + 1)); ++y)
        for (int x = std::max(0, int(cx - r - soft - 1)); x <= std::min(w_ - 1, int(cx + r + soft + 1));
             ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double t = Clamp01((r - d) / std::max(soft, 1e-3) + 0.5);
            if (t > 0) Blend(x, y, c, t);
        }
}

void Image::Glow(double cx, double cy, double r, Rgba c, double power) {
    for (int y = std::max(0, int(cy - r - 1)); y <= std::min(h_ - 1, int(cy + r + 1)); ++y)
        for (int x = std::max(0, int(cx - r - 1)); x <= std::min(w_ - 1, int(cx + r + 1)); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
            if (d < 1) Add(x, y, c, std::pow(1 - d, power));
        }
}

void Image::Ring(double cx, double cy, double r, double width, Rgba c, bool additive) {
    const double half = width / 2;
    for (int y = std::max(0, int(cy - r - half - 2)); y <= std::min(h_ - 1, int(cy + r + half + 2)); ++y)
        for (int x = std::max(0, int(cx - r - half - 2)); x <= std::min(w_ - 1, int(cx + r + half + 2));
             ++x) {
            const double d = std::abs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r);
            const double t = Clamp01(half - d + 0.5);
            if (t <= 0) continue;
            if (additive)
                Add(x, y, c, t);
            else
                Blend(x, y, c, t);
        }
}

void Image::Line(double x0, double y0, double x1, double y1, double width, Rgba c, bool additive) {
    const double half = width / 2;
    const double lx = x1 - x0, ly = y1 - y0, len2 = std::max(lx * lx + ly * ly, 1e-9);
    for (int y = std::max(0, int(std::min(y0, y1) - half - 2));
         y <= std::min(h_ - 1, int(std::max(y0, y1) + half + 2)); ++y)
        for (int x = std::max(0, int(std::min(x0, x1) - half - 2));
             x <= std::min(w_ - 1, int(std::max(x0, x1) + half + 2)); ++x) {
            const double px = x + 0.5 - x0, py = y + 0.5 - y0;
            const double t = Clamp01((px * lx + py * ly) / len2);
            const double d = std::hypot(px - lx * t, py - ly * t);
            const double cover = Clamp01(half - d + 0.5);
            if (cover <= 0) continue;
            if (additive)
                Add(x, y, c, cover);
            else
                Blend(x, y, c, cover);
        }
}

void Image::Polygon(const std::vector<double>& xy, Rgba c) {
    const std::size_t n = xy.size() / 2;
    if (n < 3) return;
    double minY = xy[1], maxY = xy[1];
    for (std::size_t i = 0; i < n; ++i) {
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    // Four sub-rows per pixel row smooth the top and bottom edges.
    for (int y = std::max(0, int(minY)); y <= std::min(h_ - 1, int(maxY) + 1); ++y) {
        std::vector<double> cover(std::size_t(w_), 0.0);
        for (int s = 0; s < 4; ++s) {
            const double sy = y + (s + 0.5) / 4;
            std::vector<double> xs;
            for (std::size_t i = 0; i < n; ++i) {
                const double ax = xy[2 * i], ay = xy[2 * i + 1];
                const double bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
                if ((ay <= sy && by > sy) || (by <= sy && ay > sy))
                    xs.push_back(ax + (sy - ay) / (by - ay) * (bx - ax));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
                for (int x = std::max(0, int(xs[k])); x <= std::min(w_ - 1, int(xs[k + 1])); ++x) {
                    const double a = std::max(double(x), xs[k]), b = std::min(x + 1.0, xs[k + 1]);
                    if (b > a) cover[std::size_t(x)] += (b - a) / 4;
                }
        }
        for (int x = 0; x < w_; ++x)
            if (cover[std::size_t(x)] > 0) Blend(x, y, c, Clamp01(cover[std::size_t(x)]));
    }
}

double Image::TextWidth(const std::string& text, double scale) {
    return text.size() * 6 * scale - scale;
}

void Image::Text(double x, double y, const std::string& text, double scale, Rgba c, bool shadow) {
    if (shadow) Text(x + scale * 0.6, y + scale * 0.6, text, scale, {0, 0, 0, c.a * 0.8}, false);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        const double gx = x + double(i) * 6 * scale;
        for (int row = 0; row < 9; ++row)
            for (int col = 0; col < 5; ++col)
                if (FontDot(ch, col, row))
                    FillRect(gx + col * scale, y + row * scale, gx + (col + 1) * scale, y + (row + 1) * scale,
                             c);
    }
}

void Image::TextCentred(double cx, double y, const std::string& text, double scale, Rgba c, bool shadow) {
    // On whole pixels: at whole scales every dot is then crisp, with no blended edge.
    Text(std::round(cx - TextWidth(text, scale) / 2), y, text, scale, c, shadow);
}

std::vector<unsigned char> Image::Bytes(int channels) const {
    std::vector<unsigned char> out;
    out.reserve(px_.size() * std::size_t(channels));
    for (const Rgba& p : px_) {
        // Pictures without alpha are the colour laid over black.
        const double k = channels == 4 ? 1.0 : Clamp01(p.a);
        out.push_back(static_cast<unsigned char>(std::lround(Clamp01(p.r * k) * 255)));
        out.push_back(static_cast<unsigned char>(std::lround(Clamp01(p.g * k) * 255)));
        out.push_back(static_cast<unsigned char>(std::lround(Clamp01(p.b * k) * 255)));
        if (channels == 4) out.push_back(static_cast<unsigned char>(std::lround(Clamp01(p.a) * 255)));
    }
    return out;
}

std::string Image::Jpeg(int quality) const {
    std::string out;
    const auto data = Bytes(3);
    stbi_write_jpg_to_func(Append, &out, w_, h_, 3, data.data(), quality);
    return out;
}

std::string Image::Png() const {
    std::string out;
    const auto data = Bytes(4);
    stbi_write_png_to_func(Append, &out, w_, h_, 4, data.data(), w_ * 4);
    return out;
}

std::vector<unsigned char> Image::Rgb() const {
    return Bytes(3);
}

std::string Image::Bmp() const {
    std::string out;
    const auto data = Bytes(3);
    stbi_write_bmp_to_func(Append, &out, w_, h_, 3, data.data());
    return out;
}

}  // namespace quorvel::content
