#pragma once
// The outline of the forms window (forms_shape.cpp).

#include <SDL.h>

#include <vector>

#include "platform/sdl/forms_host.h"

namespace quorvel::sdl {

// Keeps only the rectangles (window pixels) as the window, or the whole window again
// for null. False where the windowing system cannot do it (the window stays whole).
bool SetWindowOutline(SDL_Window* window, const std::vector<PixelRect>* rects);

}  // namespace quorvel::sdl
