#pragma once
// The renderer's own plain font: 5 x 7 pixel glyphs for the printable ASCII codes,
// each in a 6 x 8 cell (a column and a row of spacing).

#include <cstdint>
#include <vector>

namespace quorvel::sdl {

constexpr int kGlyphCellWidth = 6;
constexpr int kGlyphCellHeight = 8;
constexpr int kGlyphFirst = 32;    // space
constexpr int kGlyphCount = 95;    // up to '~'
constexpr int kGlyphColumns = 16;  // cells per row of the atlas

// The glyphs as an RGBA atlas of kGlyphColumns cells per row (white, alpha = ink).
std::vector<std::uint8_t> GlyphAtlas(int& width, int& height);

}  // namespace quorvel::sdl
