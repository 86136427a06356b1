#pragma once
// What the engine holds: every pool and its items, the 2D layer and the frame
// settings. A renderer reads it (const) at RenderScene and EndFrame; the meaning of
// every mode and option number stored here is in the tables of engine.h.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/mesh_data.h"
#include "platform/engine/particle_settings.h"
#include "platform/engine/particle_sim.h"
#include "platform/engine/pool.h"
#include "platform/engine/records.h"
#include "platform/engine/types.h"

namespace quorvel::engine {

// Position and axes of a placed item. The axes stay unit length and square to one
// another whatever the item's scale.
struct Placement {
    Vector position{};
    Vector right{1, 0, 0};
    Vector up{0, 1, 0};
    Vector front{0, 0, 1};
};

// Decoded RGBA8 pixels, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;  // the file carried an alpha channel
    // A renderer that keeps the picture in memory of its own lets these go once it has
    // them (ReleasePixels); `file` and `flag` read them again when it needs them anew.
    mutable std::vector<std::uint8_t> rgba;
    std::string file;     // the file as found on disk; empty for a picture made in memory
    int flag = 0;         // the load flag applied
    std::string warning;  // damage its reader recovered from, for the load log
};

struct TextureItem {
    int id = -1;
    std::string key;
    std::string path;  // as the game gave it (Windows style)
    int flag = 0;      // load flag, see the texture table
    std::shared_ptr<const Picture> picture;
};

struct MaterialItem {
    int id = -1;
    std::string key;
    // Slot 1 diffuse, 2 ambient, 3 specular, 4 emissive (0..255 each).
    std::array<Colour, 4> slots{Colour{255, 255, 255, 255}, Colour{255, 255, 255, 255}, Colour{0, 0, 0, 255},
                                Colour{0, 0, 0, 255}};
    bool slot4Set = false;
    int flag = 1;  // SetMaterialFlag
};

// Opacity of a material for blended drawing, 0..1: slot 1's alpha, times the grey
// level of slot 4 where slot 4 was set (so "fade1" .. "fade100" fade an item out).
inline float MaterialOpacity(const MaterialItem& m) {
    float a = m.slots[0].a / 255.0f;
    if (m.slot4Set) a *= std::max(m.slots[3].r, std::max(m.slots[3].g, m.slots[3].b)) / 255.0f;
    return std::clamp(a, 0.0f, 1.0f);
}

struct TextureStage {
    int textureId = -1;  // -1: nothing on this stage
    int mode = 0;        // stage mode, see the stage table
};

enum class MeshKind { Model, Sprite, Node };

struct MeshItem {
    int id = -1;
    std::string key;
    MeshKind kind = MeshKind::Node;
    std::shared_ptr<const MeshData> geometry;  // models only
    Vector offset{};                           // model origin relative to the item (SetMeshVector)
    // Sprites (CreateSprite): size in world units and the three options.
    float spriteWidth = 0;
    float spriteHeight = 0;
    int spriteDepthBias = 1;   // n
    bool spriteFacing = true;  // b
    int spriteBlend = 3;       // m
    Placement place;
    Vector scale{1, 1, 1};
    bool visible = true;
    int mode = 1;       // SetMeshMode
    int flags = 0;      // SetMeshFlags
    int depthMode = 0;  // SetMeshOption 0
    std::array<TextureStage, 4> stages{};
    int materialId = -1;
    // Spin (SetMeshMotion): axis, degrees per frame unit (1/60 s), axis space.
    Vector spinAxis{};
    float spinRate = 0;
    int spinSpace = 1;
};

// How a model mesh meets what lies behind it (the mesh modes and flags of engine.h),
// given its material's opacity (MaterialOpacity). A mesh drawn with both faces is a
// sheet of light in every mode (flashes, shots, flip-books, dust, cloud layers): added
// to what is behind, so the black of its texture hides nothing. A one-sided mesh is a
// solid body: a self-lit one (the rocks) must not be added, or everything behind would
// show through it; light does not dim it, so a fade material blends it instead.
enum class MeshBlend { Solid, Alpha, Glow };
inline MeshBlend MeshBlending(const MeshItem& m, float opacity) {
    if (m.flags & 1) return MeshBlend::Glow;
    if ((m.flags & 4) || (m.mode == 2 && opacity < 1.0f)) return MeshBlend::Alpha;
    return MeshBlend::Solid;
}
// Shown at its texture's full brightness, whatever the lights: self-lit bodies and glow.
inline bool MeshSelfLit(const MeshItem& m) {
    return m.mode == 2 || (m.flags & 1);
}

struct ModelItem {
    int id = -1;
    std::string key;
    std::shared_ptr<const AnimatedModelData> data;
    Placement place;
    Vector scale{1, 1, 1};
    bool visible = true;
    int materialId = -1;
    std::array<TextureStage, 4> stages{};
    int blendSwitch = 0;  // SetModelSwitch
    int lit = 1;          // SetModelOption
    bool loop = true;     // SetFrameOptions
    int firstFrame = 0;   // SetFrameRange
    int lastFrame = 0;
    // The pose shown: keyframe floor(p) blended toward the next by the fraction of p.
    // A looping model runs p up to lastFrame + 1, the last stretch blending from
    // lastFrame back to firstFrame.
    float framePosition = 0;
    Vector spinAxis{};
    float spinRate = 0;
    int spinSpace = 1;
};

struct ParticleItem {
    int id = -1;
    std::string key;
    ParticleSettings settings;
    int textureId = -1;
    bool emitting = true;
    Placement emitter;  // position and axes
    Vector point1{};    // world points of the line shape
    Vector point2{};
    float rateOverride = -1;      // SetSystemParamA, -1 none
    float spreadOverride = -1;    // SetSystemParamB, -1 none
    bool settingsChanged = true;  // settings not yet handed to the simulation
    // The simulation; sim->Particles() are the live particles to draw (world space).
    std::shared_ptr<ParticleSim> sim;
};

enum class SkyKind { Cube = 1, Flare = 3 };

struct SkyItem {
    int id = -1;
    std::string key;
    int kind = 1;
    float size = 0;
    bool visible = true;
    // Cube faces 0 back, 1 front, 2 left, 3 right, 4 bottom, 5 top; a flare uses face 0.
    std::array<int, 6> faceTexture{-1, -1, -1, -1, -1, -1};
    // Flare.
    int flareMode = 0;
    Vector flareSource{};
    FlareSetupRec flareSetup{};
    std::array<FlareElementRec, 16> flareElements{};
};

struct CameraItem {
    int id = -1;
    std::string key;
    Placement place;
    LensRec lens{};
    bool active = true;
    bool hasViewport = false;  // false: the whole screen
    Vector2 viewTopLeft{};
    Vector2 viewBottomRight{};
};

struct LightItem {
    int id = -1;
    std::string key;
    float range = 0;
    int type = 3;  // 1 point, 2 spot, 3 directional
    float falloff = 0;
    float innerAngle = 0;
    float outerAngle = 0;
    Vector position{};
    Vector direction{0, 0, 1};
    Colour colour{255, 255, 255, 255};
};

struct SoundItem {
    int id = -1;
    std::string key;
    std::string path;
    bool looping = false;  // playing in a loop now
};

struct ImageItem {
    int id = -1;
    std::string key;
    std::shared_ptr<const Picture> picture;  // the image's own picture (LoadImage)
    int textureId = -1;                      // SetImageTexture; -1 shows the own picture
    int loadFlag = 0;
    Vector2 position{};
    Vector2 size{};  // 0, 0: the picture's own size
    bool visible = true;
    int mode = 1;             // SetImageMode
    bool fullScreen = false;  // SetImageFlag
    int style = 0;            // SetImageStyle
    float angle = 0;          // degrees, counter-clockwise on screen, about the centre
    // Animation sheet.
    Vector2 cellSize{};  // 0, 0: not a sheet
    Vector2 cellStep{};
    int frameCount = 1;
    int columns = 1;
    int frame = 0;
    // Bitmap font.
    Vector2 fontCell{};  // 0, 0: not a font
    int fontFirstCode = 0;
    Colour fontColour{255, 255, 255, 255};
    int fontAlpha = 255;
};

// One immediate 2D call, queued for the end of the frame.
struct Draw2DCall {
    enum class Kind { Rectangle, Text, FontText } kind = Kind::Rectangle;
    Vector2 a{};  // rectangle corner 1, or text position (font text: image position + point)
    Vector2 b{};  // rectangle corner 2
    bool filled = false;
    Colour colour{255, 255, 255, 255};  // draw colour, or the font colour (alpha times fontAlpha)
    int drawMode = 1;                   // SetDrawMode at the time of the call
    std::string text;
    // Font text: the font image and the glyph geometry.
    int fontImageId = -1;
    int textMode = 0;
    float textSize = 100;
};

struct FrameSettings {
    Colour sceneColourA{0, 0, 0, 255};  // background
    Colour sceneColourB{0, 0, 0, 255};  // ambient light
    bool switchA = false;               // True: no specular highlights
    bool switchB = false;               // fog
    int switchC = 0;                    // fill
    int switchD = 3;                    // shading: 1 unlit, 2 flat, 3 smooth
    int switchE = 1;                    // texture filter: 1 mipmapped, 2 linear, 3 nearest
    int switchF = 3;                    // texture detail: 3 full, 2 half, 1 a third
};

// The switches as a renderer applies them (the values as engine.h's table gives them;
// anything out of range counts as the nearest one).
inline bool SpecularOn(const FrameSettings& f) {
    return !f.switchA;
}
inline bool FlatShading(const FrameSettings& f) {
    return f.switchD == 2;
}
inline bool UnlitScene(const FrameSettings& f) {
    return f.switchD == 1;
}
// 0 nearest, 1 linear, 2 linear with mipmaps.
inline int TextureFilter(const FrameSettings& f) {
    return f.switchE >= 3 ? 0 : f.switchE == 2 ? 1 : 2;
}
// Textures are drawn at 1/divisor of their resolution.
inline int TextureDivisor(const FrameSettings& f) {
    return std::clamp(4 - f.switchF, 1, 3);
}

// The whole scene as a renderer sees it.
struct Scene {
    Pool<TextureItem> textures;
    Pool<MaterialItem> materials;
    Pool<MeshItem> meshes;
    Pool<ModelItem> models;
    Pool<ParticleItem> particles;
    Pool<SkyItem> sky;
    Pool<CameraItem> cameras;
    Pool<LightItem> lights;
    Pool<SoundItem> sounds;
    Pool<ImageItem> images;
    FrameSettings frame;
    std::vector<Draw2DCall> queue;  // this frame's immediate 2D calls, in call order
    int screenWidth = 640;
    int screenHeight = 480;
    int screenDepth = 32;
    int frameNumber = 0;  // frames begun so far
};

}  // namespace quorvel::engine
