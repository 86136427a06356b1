#pragma once
// The outline of the forms window (forms_shape.cpp). Nothing of the forms here: that
// file includes Xlib, whose macros clash with the forms' names.

#include <SDL.h>

#include <vector>

namespace quorvel::sdl {

struct OutlineRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const OutlineRect&) const = default;
};

// Keeps only the rectangles (window pixels) as the window, or the whole window again
// for null. False where the windowing system cannot do it (the window stays whole).
bool SetWindowOutline(SDL_Window* window, const std::vector<OutlineRect>* rects);

}  // namespace quorvel::sdl
