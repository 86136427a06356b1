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

// Where the menu goes when its scene ends.
enum class MenuSceneEnd {
    ProgramExit,  // the program ends
    GameStart,    // a game run starts and builds a scene of its own
};

// Every emitter stops, the last frame stays up for a second, then the texture,
// 2D-image, mesh and sky pools are emptied. Leaving the program empties the pools
// item by item first (sounds too) and keeps the materials; a game start clears the
// materials as well.
void TearDownMenuScene(MenuSceneEnd end);

}  // namespace quorvel
