#pragma once
// The space scene behind the main menu, its pictures and click sound, and the hit
// lists of the menu and the load list.

namespace quorvel {

// Menu textures, the "click" sound and both hit lists (Menus); the screen metrics of
// the menu module must be set.
void LoadMenuTextures();
// Fighters, planet, station, mothership, the probe "virtual" and five asteroids.
void LoadMenuMeshes();
// Keeps the mothership's six emitters on it; once per menu frame.
void UpdateMothershipEmitters();

}  // namespace quorvel
