#pragma once
// The shared engine objects: one handle per role onto the one running engine. The
// launch pad's start button fills some, the main menu and the game run make them
// anew, and every way out of the program drops them. Creating or dropping a handle
// never starts or stops the engine.

#include <memory>

#include "platform/engine/engine.h"

namespace quorvel {

extern std::unique_ptr<EngineCore> CoreObj;
extern std::unique_ptr<EngineInput> InputObj;
extern std::unique_ptr<EngineFrame> FrameObj;
extern std::unique_ptr<EngineMeshes> MeshObj;
extern std::unique_ptr<EngineAnimatedModels> AnimMeshObj;
extern std::unique_ptr<EngineCameras> CameraObj;
extern std::unique_ptr<EngineMaterials> MaterialObj;
extern std::unique_ptr<EngineTextures> TextureObj;
extern std::unique_ptr<EngineMath> MathObj;
extern std::unique_ptr<EngineDraw2D> Draw2DObj;
extern std::unique_ptr<EngineTimer> TimerObj;
extern std::unique_ptr<EngineLights> LightObj;
extern std::unique_ptr<EngineMeshImporter> ImporterObj;
extern std::unique_ptr<EngineParticles> ParticleObj;
extern std::unique_ptr<EngineSky> SkyObj;
extern std::unique_ptr<EngineSounds> SoundObj;

// Plays the engine sound "click": the menus' sound for pointing at and choosing an item.
void PlayClick();

// Switches emitting off on every particle system.
void StopAllEmitters();

// Makes every handle anew but the animated-model pool, which only a game run has.
void CreateEngineObjects();

// The handles an exit leaves in place: the main menu's keeps the materials and the
// particles, the pause menu's the sounds.
struct KeptEngineObjects {
    bool materials = false;
    bool particles = false;
    bool sounds = false;
};
// Drops the handles on the way out of the program, but the kept ones and the
// animated-model pool.
void DropEngineObjects(KeptEngineObjects keep);

// The frame's background, ambient light and render switches for full or low detail.
void ApplyRenderSwitches(bool lowDetail);

// Empties the mesh, texture, 2D-image, sky and sound pools item by item (particle
// systems, materials, cameras, lights and animated models stay).
void ClearEngineLibraries();

}  // namespace quorvel
