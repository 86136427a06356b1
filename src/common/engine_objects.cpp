#include "common/engine_objects.h"

namespace quorvel {

std::unique_ptr<EngineCore> CoreObj;
std::unique_ptr<EngineInput> InputObj;
std::unique_ptr<EngineFrame> FrameObj;
std::unique_ptr<EngineMeshes> MeshObj;
std::unique_ptr<EngineAnimatedModels> AnimMeshObj;
std::unique_ptr<EngineCameras> CameraObj;
std::unique_ptr<EngineMaterials> MaterialObj;
std::unique_ptr<EngineTextures> TextureObj;
std::unique_ptr<EngineMath> MathObj;
std::unique_ptr<EngineDraw2D> Draw2DObj;
std::unique_ptr<EngineTimer> TimerObj;
std::unique_ptr<EngineLights> LightObj;
std::unique_ptr<EngineMeshImporter> ImporterObj;
std::unique_ptr<EngineParticles> ParticleObj;
std::unique_ptr<EngineSky> SkyObj;
std::unique_ptr<EngineSounds> SoundObj;

void PlayClick() {
    SoundObj->SelectSound("click");
    SoundObj->PlaySound(0, false);
}

void StopAllEmitters() {
    for (int id = 0, n = ParticleObj->GetSystemCount(); id < n; ++id) {
        ParticleObj->SelectSystemById(id);
        ParticleObj->SetEmitting(false);
    }
}

// Each loop takes its count once and walks the ids that existed then; ids are never
// renumbered, and the callers clear every pool once more afterwards.
void ClearEngineLibraries() {
    EngineMeshes meshes;
    for (int id = 0, n = meshes.GetMeshCount(); id < n; ++id) {
        meshes.SelectMeshById(id);
        meshes.RemoveMesh();
    }
    EngineTextures textures;
    for (int id = 0, n = textures.GetTextureCount(); id < n; ++id) {
        textures.SelectTextureById(id);
        textures.RemoveTexture();
    }
    EngineDraw2D images;
    for (int id = 0, n = images.GetImageCount(); id < n; ++id) {
        images.SelectImageById(id);
        images.SetImageVisible(false);
        images.RemoveImage();
    }
    EngineSky sky;
    for (int id = 0, n = sky.GetSkyItemCount(); id < n; ++id) {
        sky.SelectSkyItemById(id);
        sky.RemoveSkyItem();
    }
    EngineSounds sounds;
    if (sounds.GetSoundCount() > 0) {
        for (int id = 0, n = sounds.GetSoundCount(); id < n; ++id) {
            sounds.SelectSoundById(id);
            sounds.RemoveSound();
        }
    }
}

void CreateEngineObjects() {
    CoreObj = std::make_unique<EngineCore>();
    InputObj = std::make_unique<EngineInput>();
    FrameObj = std::make_unique<EngineFrame>();
    MeshObj = std::make_unique<EngineMeshes>();
    CameraObj = std::make_unique<EngineCameras>();
    MaterialObj = std::make_unique<EngineMaterials>();
    TextureObj = std::make_unique<EngineTextures>();
    MathObj = std::make_unique<EngineMath>();
    Draw2DObj = std::make_unique<EngineDraw2D>();
    TimerObj = std::make_unique<EngineTimer>();
    LightObj = std::make_unique<EngineLights>();
    ImporterObj = std::make_unique<EngineMeshImporter>();
    ParticleObj = std::make_unique<EngineParticles>();
    SkyObj = std::make_unique<EngineSky>();
    SoundObj = std::make_unique<EngineSounds>();
}

void DropEngineObjects(KeptEngineObjects keep) {
    CoreObj.reset();
    InputObj.reset();
    FrameObj.reset();
    MeshObj.reset();
    CameraObj.reset();
    if (!keep.materials) MaterialObj.reset();
    TextureObj.reset();
    MathObj.reset();
    Draw2DObj.reset();
    TimerObj.reset();
    LightObj.reset();
    ImporterObj.reset();
    if (!keep.particles) ParticleObj.reset();
    SkyObj.reset();
    if (!keep.sounds) SoundObj.reset();
}

void ApplyRenderSwitches(bool lowDetail) {
    FrameObj->SetSceneColourA(Colour{0, 0, 0, 255});
    FrameObj->SetSceneColourB(Colour{0, 0, 0, 255});
    FrameObj->SetRenderSwitchA(lowDetail);
    FrameObj->SetRenderSwitchB(false);
    FrameObj->SetRenderSwitchE(lowDetail ? 3 : 1);
    FrameObj->SetRenderSwitchF(lowDetail ? 1 : 3);
    FrameObj->SetRenderSwitchD(lowDetail ? 2 : 3);
    FrameObj->SetRenderSwitchC(0);
}

}  // namespace quorvel
