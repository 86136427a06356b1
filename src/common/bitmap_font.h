#pragma once
// Short messages in the large bitmap font over the 3D view: a text slides up from
// far below while it fades in, stays, then slides down while it fades out. These
// routines render their own frames and return when they are done.

#include <string>

#include "platform/engine/types.h"

namespace quorvel {

// Engine id of the font image "font_a"; set by LoadFont.
extern int FontTexture;

// Loads the font picture (32 x 32-pixel cells) as the image "font_a".
void LoadFont(const std::string& path);
// Slides and fades the text in (fadeIn true) or out, drawing frames until done; the
// font image sits at `position`. A fade-out hides the font image at its end.
void DrawFontText(const std::string& text, const Vector2& position, bool fadeIn);
// Shows the text still for 45 units of frame time (about 3/4 s).
void ShowFontMessage(const std::string& text);

}  // namespace quorvel
