#pragma once
// The fixed set of named materials every scene uses: surface materials, flat
// colours, ground and asteroid materials, a light material and the hundred fade
// steps "fade1" to "fade100" through which fading effects step.

namespace quorvel {

// Fills the engine's material pool; the main menu and every level load call it.
void LoadMaterials();

}  // namespace quorvel
