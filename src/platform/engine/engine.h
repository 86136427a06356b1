#pragma once
// The 3D engine as the game reaches it: one engine, many thin handles.
//
// Each Engine* class below is a handle onto the one engine instance of the program;
// creating or destroying a handle never starts, stops or resets anything. All state
// (pools, current items, input, the clock) lives in the engine.
//
// Rules every pool keeps (textures, materials, meshes and sprites, animated models,
// particle systems, sky items, cameras, lights, sounds, 2D images):
// - items live under string keys (case-sensitive) and int ids; ids start at 0 per
//   pool and count up in creation order for the whole run, never reused; -1 is none.
//   The one exception: camera 0 always exists, and after ClearCameras new cameras
//   are numbered from 1 again (the game addresses its cameras by fixed ids);
// - Get...Count gives 1 + the highest id of a live item, and 0 when the pool holds
//   none, so `for (id = 0; id < count; ++id) Select...ById(id)` reaches every live
//   item; a removed id in between selects nothing;
// - create, load, select-by-key and select-by-id make an item current; setters and
//   getters act on the current item;
// - a failed create, load or select (missing file, unknown key or id, empty key)
//   leaves the pool with NO current item: setters then do nothing and getters give
//   0, an empty string or false;
// - creating under a key that is in use makes a new item that the key then names;
//   the older one keeps its id until removed or cleared (see pool.h). Exceptions:
//   SelectCamera creates a camera only when the name is unknown, and CreateLight
//   replaces a light of the same key (one sun, not two after a second load);
// - a removed item's id selects nothing afterwards;
// - a load that fails (missing or unreadable file, empty key) is never shown to the
//   player: it is recorded for tests (failed_loads.h) and, when the environment
//   variable QUORVEL_LOAD_LOG names a file (or is "stderr"), appended there as one
//   line, to find misnamed content.
//
// Axes are left-handed: right +X, up +Y, front +Z for rotation (0, 0, 0). Matrices
// hold right, up and front as rows 1 to 3 and the position as row 4. Moves go along
// the item's own axes by world units whatever its scale; turns go about its own axes
// (positive yaw turns the front toward the right, positive pitch turns it down,
// positive roll turns the right axis up). SetRotation(x, y, z) is in degrees: roll z
// first, then pitch x, then yaw y, about the world axes. LookAt turns +front toward
// the point, keeping the world's up as up where it can.
//
// ---------------------------------------------------------------------------------
// Operations, by handle (arguments as the game passes them)
// ---------------------------------------------------------------------------------
// EngineCore          SelectDisplayMode(adapter, mode), AttachWindow(window),
//                     StartEngine(0) -> status (negative: failed), StopEngine(),
//                     GetScreenSize(width&, height&, depth&)
// EngineDisplayModes  Enumerate(), GetAdapterCount(), GetAdapterName(i),
//                     GetModeCount(adapter), GetMode(adapter, i, width&, height&, depth&)
// EngineInput         IsKeyDown(scan code), GetMouseState(0), SetMousePosition(x, y, 0),
//                     OpenGamePad(pad) -> ok, EnableGamePad(on), GetGamePadState(),
//                     GetGamePadText(pad), SetupGamePadAxes(pad) -> axes,
//                     SetupGamePadButtons(pad) -> buttons
// EngineFrame         BeginFrame(), RenderScene(), EndFrame(),
//                     SaveScreenshot(path, 1) -> ok, SetSceneColourA/B(colour),
//                     SetRenderSwitchA/B(flag), SetRenderSwitchC/D/E/F(value)
// EngineTimer         GetFrameFactor(rate)
// EngineMath          MakeVector(x, y, z), MakeVector2(x, y), MakeColour(r, g, b, a),
//                     MakeLens(near, far, fov, aspect, 0),
//                     MakeFlareSetup(count, fade, glow, 1),
//                     MakeFlareElement(size, place, texture id, colour), Distance(a, b)
// EngineMeshImporter  OpenModelFile(path) -> status, BuildMesh(key, -1, 0, 0, 0, -1) -> id,
//                     CloseModelFile()
// EngineMeshes        CreateMesh(key), CreateSprite(w, h, texture, material, n, b, m),
//                     SelectMesh(key), SelectMeshById(id), GetCurrentId(), GetMeshCount(),
//                     RemoveMesh(), ClearMeshes(), SetVisible(flag), GetVisible(),
//                     SetPosition(v), GetPosition(), SetRotation(degrees),
//                     SetOrientation(right, up, front), GetOrientation(), GetMatrix(),
//                     SetScale(v), MoveForward/MoveRight/MoveUp(d, -1, -1),
//                     TurnPitch/TurnYaw/TurnRoll(degrees, 2), LookAt(point),
//                     SetMeshMode(mode), SetMeshFlags(flags), SetStageMode(stage, mode),
//                     SetTexture(stage, key), SetTextureById(stage, id), SetMaterial(key),
//                     SetMeshVector(v) = SetMeshOffset(v),
//                     SetMeshMotion(axis, rate, 1, 2, 2, 2) = SetMeshSpin(...),
//                     SetMeshOption(0, 2, 0, flag), RayHit(ray, 3, reach, 0, 0, -1)
// EngineAnimatedModels LoadModel(path, key) -> id, SelectModel(key), SelectModelById(id),
//                     Clear() = ClearModels(), SetVisible, SetPosition, SetScale,
//                     SetMaterial, SetStageTexture(stage, key), SetStageTextureId(stage, id),
//                     SetStageMode(stage, mode), GetFrameCount(), SetFrameRange(0|1, text),
//                     SetFrameBlend(0, 0|1, value), SetModelSwitch(v), SetModelOption(v),
//                     SetFrameOptions(loop, 0), SetModelAxis(axis, rate, 1, 2, 2, 2)
// EngineCameras       ClearCameras(), ResetCameras(), SelectCamera(name), SelectCameraById(id),
//                     SetCameraPosition, GetCameraPosition(), CameraLookAt(point),
//                     SetLens(lens), SetViewport(top left, bottom right), SetCameraActive(on),
//                     GetCameraMatrix(), MoveCameraForward/Right/Up(d, -1, -1),
//                     TurnCameraPitch/Yaw/Roll(degrees, 2), ProjectToScreen(point)
// EngineMaterials     CreateMaterial(key), CreateMaterialWithColour(key, colour),
//                     SelectMaterial(key), SelectMaterialById(id),
//                     SetColourSlot1..4(colour), SetMaterialFlag(v), UpdateMaterials(),
//                     ClearMaterials()
// EngineTextures      LoadTexture(key, path, flag, 0) -> id, GetLastTextureId(),
//                     GetTextureId(key), SelectTexture(key), SelectTextureById(id),
//                     GetTextureCount(), RemoveTexture(), ClearTextures(),
//                     FinishTextureLoading()
// EngineDraw2D        LoadImage(path, key, flag) -> id, SelectImage(key), SelectImageById(id),
//                     GetImageId(), GetImageCount(), RemoveImage(), ClearImages(),
//                     SetImagePosition(p), SetImageSize(s), SetImageTexture(stage, key),
//                     SetImageVisible(flag), SetImageMode(mode), SetImageFlag(flag),
//                     SetImageStyle(style), SetImageAngle(degrees), RotateImage(degrees),
//                     SetImageCells(cell, step), SetImageFrameCount(n), SetImageColumns(n),
//                     SetImageFrame(n), SetImageStep(n), SetFontCell(cell, first code),
//                     SetFontColour(colour, alpha), SetDrawColour(colour), SetDrawMode(mode),
//                     DrawRectangle(p1, p2, filled), DrawText(p, text),
//                     DrawFontText(text, p, mode, size)
// EngineLights        CreateLight(key, range, type, falloff, inner, outer), SelectLight(key),
//                     SetLightPosition(x, y, z), SetLightColour(r, g, b, a),
//                     SetLightDirection(x, y, z)
// EngineParticles     CreateSystem(key), SelectSystem(key), SelectSystemById(id),
//                     GetSystemCount(), GetCurrentSystemId(), RemoveSystem(), SetEmitting(flag),
//                     SetEmitterPosition(v), SetEmitterVector1(v), SetEmitterVector2(v),
//                     SetEmitterAxes(right, up, front), SetEmitterTarget(point),
//                     SetSystemParamA(value, on), SetSystemParamB(value, on), SetTexture(key),
//                     SetParGroup01 .. SetParGroup31 (the 31 groups of particle_settings.h)
// EngineSky           CreateSkyItem(key, kind, size), SelectSkyItem(key), SelectSkyItemById(id),
//                     GetSkyItemCount(), RemoveSkyItem(), ClearSky(), SetSkyFace(face, id),
//                     SetItemTexture(face, key), SetItemVisible(flag), GetItemPosition(),
//                     SetFlareMode(v), SetFlareSource(v), SetFlareSetup(setup),
//                     SetFlareElement(k, element), SetFlareVisible(flag)
// EngineSounds        LoadSound(key, path, 0, 0) -> id, SelectSound(key), SelectSoundById(id),
//                     GetSoundCount(), PlaySound(0, loop), StopSound(), RemoveSound(),
//                     ClearSounds(), PrepareSoundPool(n)
//
// ---------------------------------------------------------------------------------
// What the numbers mean (values the game passes through unchanged)
// ---------------------------------------------------------------------------------
// Render switches (EngineFrame), values the game passes at full detail / low detail
// in brackets (scene.h turns them into what the renderer does):
//   SceneColourA  background colour the frame is cleared to
//   SceneColourB  ambient light added to every lit surface
//   SwitchA       flag: True leaves out specular highlights (False / True)
//   SwitchB       flag: distance fog (False / False)
//   SwitchC       fill: 0 solid, 1 wireframe, 2 points (0 / 0)
//   SwitchD       shading: 1 unlit, 2 flat, 3 smooth (3 / 2)
//   SwitchE       texture filter: 1 linear within the nearest mipmap level, 2 linear,
//                 3 nearest where shrunk, linear where enlarged (1 / 3)
//   SwitchF       texture detail: 3 full resolution, 2 half, 1 a third, never below
//                 256 pixels on the longer side (3 / 1)
//   With no light in the scene, lit surfaces show their textures at full brightness.
// Textures (LoadTexture flag, and LoadImage flag for 2D images):
//   0  pixels as in the file
//   1  a file without alpha gets its alpha from its brightness (black is clear)
//   The fourth LoadTexture argument is reserved (0). FinishTextureLoading ends a run
//   of loads; textures are usable as soon as they load, so it changes nothing.
// Materials: slot 1 diffuse, 2 ambient, 3 specular, 4 emissive. Unset slots: diffuse
//   and ambient white, specular and emissive black. CreateMaterialWithColour puts its
//   colour in slots 1, 2 and 4 (slot 3 black). Blended items are drawn with the
//   material's opacity (MaterialOpacity in scene.h: slot 1 alpha times the grey level
//   of slot 4 when slot 4 was set), which is how "fade1".."fade100" fade things out.
//   SetMaterialFlag: 1 lit (default), 0 unlit. UpdateMaterials: no effect (kept for
//   the call order).
// Mesh modes (SetMeshMode): 1 normal (lit, opaque unless a flag blends it);
//   2 self-lit: unlit, at its texture's full brightness. Drawn two-sided (flag 1) it
//   is an effect: added to what is behind (glow), no depth writes. One-sided it is a
//   solid body like mode 1 (the asteroids), blended by flag 4 or by a material that
//   is not fully opaque (the fade series fades a breaking rock's fragments).
// Mesh flags (SetMeshFlags, the last value set counts), bits:
//   1 both faces drawn (no back-face culling), 2 no depth writes,
//   4 alpha blended with the material's opacity. So 0 opaque, 1 two-sided,
//   4 blended, 5 two-sided and blended, 7 two-sided, blended, no depth writes.
// Mesh option (SetMeshOption(option, value, reserved, on)): option 0 is the depth
//   test: value 0 normal, 1 tested but not written, 2 not tested (drawn over what is
//   drawn before it); on False puts the option back to 0.
// Mesh vector (SetMeshVector = SetMeshOffset): where the model file's origin sits
//   relative to the item's origin. BuildMesh centres the model's bounding box on the
//   item's origin; SetMeshVector(0, 0, 0) puts the file's own origin there instead.
// Mesh motion (SetMeshMotion = SetMeshSpin(axis, rate, space, r, r, r); models:
//   SetModelAxis): the item spins about the axis by rate degrees per 1/60 s while
//   scenes render; space 1 = the axis is in the item's own axes, 0 = world axes; the
//   last three values are reserved. A zero axis or rate is no spin.
// Texture stages (SetTexture / SetStageMode(stage, mode)), stages 0 to 3:
//   stage 0 is the base texture, modulated by lighting; mode of a further stage:
//   0 off, 1 modulate, 8 detail map (modulate twice), 9 additive reflection (the
//   texture mapped from the view direction and added).
// Sprites (CreateSprite(width, height, texture, material, n, b, m)): a quad of
//   width x height world units (times the item's scale) centred on the item.
//   n  depth bias: the sprite is drawn n units nearer the camera (1 none to speak of;
//      5 keeps a shock wave clear of the body it surrounds)
//   b  True: always faces the camera; False: lies in the item's right/up plane
//   m  blend: 2 alpha blended, 3 added (glow)
// Ray tests (RayHit(ray, mode, reach, 0, 0, -1)): mode 3 tests meshes to the
//   triangle and sprites as their quads (camera-facing ones as seen from camera 0);
//   any other mode tests bounding spheres only. Empty nodes, animated models,
//   particles and hidden items never hit. The other three values are reserved.
// Turn modes (Turn*(degrees, mode)): 2 about the item's own axes (the default),
//   1 about the world's axes.
// Move flags (Move*(d, a, b)): reserved; the game passes True, True.
// Lens (MakeLens(near, far, fov, aspect, projection)): clip distances, vertical field
//   of view in degrees, width/height (-1: the viewport's own), 0 perspective.
// Cameras: the camera with id 0 is the main one, filling the screen unless given a
//   viewport; the names "main" and "camera" both select it. Cameras draw in id order.
//   ProjectToScreen uses the current camera: screen pixels, dividing by the absolute
//   depth, never less than 0.001, so a point behind the camera lands where its mirror
//   image in front would.
// Lights (CreateLight(key, range, type, falloff, inner, outer)): type 1 point,
//   2 spot, 3 directional; range and falloff for point and spot lights; inner and
//   outer cone angles in degrees for spots.
// Sky (CreateSkyItem(key, kind, size)): kind 1 sky cube of that half size around
//   the camera, faces 0 back, 1 front, 2 left, 3 right, 4 bottom, 5 top; kind 3 lens
//   flare (size is its overall scale). SetItemTexture(face, key) sets a cube face or
//   a flare's sun texture (face 0). SetFlareMode: 0 the flare is hidden when its
//   source is behind the camera, 1 never drawn. The flare source is a world point;
//   GetItemPosition gives it (a cube gives the camera's position).
// Flare (MakeFlareSetup(count, fade, glow, reserved), MakeFlareElement(size, place,
//   texture id, colour)): see records.h.
// 2D images: position is the top-left corner in screen pixels, size in pixels
//   (0 x 0: the picture's own size). SetImageFlag(True): the image covers the whole
//   screen whatever its position and size. Image modes (SetImageMode): 0 opaque,
//   1 alpha blended, 5 added (glow). Image styles (SetImageStyle): 0 filtered and
//   repeating at the edges, 2 filtered and clamped at the edges (no seams).
//   SetImageAngle / RotateImage: degrees, counter-clockwise on the screen, about the
//   image centre. Sheets: SetImageCells(cell size, step between cells) in picture
//   pixels, SetImageColumns(cells per row), SetImageFrameCount(n), SetImageFrame(i)
//   shows cell i (from 0, row by row), SetImageStep(n) moves n cells on, wrapping.
//   RotateImage on a sheet turns it all the same.
// Bitmap font: an image with SetFontCell((w, h), first code) is a font and is never
//   drawn as a picture. Cell n, row by row from the top left in a 16 x 16 grid, holds
//   character code first code + n. DrawFontText(text, p, mode, size) draws with the
//   current image (which must be a visible font) at its position + p, in its font
//   colour (SetFontColour(colour, alpha): alpha multiplies the colour's alpha); each
//   glyph is drawn size/100 of the cell size and characters advance (10 - mode)/10 of
//   that width (mode 3: 70 %). Codes outside the font draw nothing but advance.
// Immediate 2D (DrawRectangle, DrawText, DrawFontText) is queued and drawn over the
//   images at EndFrame in call order; calls made while no frame is begun belong to
//   the next frame. SetDrawMode: 0 opaque, 1 alpha blended (both with the draw
//   colour of the time of the call). DrawText draws 16 pixels high in the draw
//   colour: in the last visible bitmap font when there is one (so all text on screen
//   looks alike), else in the renderer's own plain glyphs.
// Sounds: PlaySound(0, loop): the first value is reserved. A sound that is not
//   looping restarts from its start; playing a looping sound that is already looping
//   lets it go on. LoadSound's two last values are reserved. PrepareSoundPool(n):
//   the pool grows as sounds load, so the value is a hint and changes nothing.
// Particles: RemoveSystem removes the current system and its live particles.
//   The emitter points (SetEmitterVector1/2 = SetParGroup09/25) are world
//   points used by the line shape only; the other shapes emit around the emitter
//   position. SetEmitterTarget turns the emitter's front toward the point.
//   SetSystemParamA(value, on) overrides the emission rate (particles per second),
//   SetSystemParamB(value, on) the cone half-angle (degrees); on False restores the
//   settings' value.
// Game pads: numbered from 0. SetupGamePadAxes / SetupGamePadButtons prepare the
//   pad's axes (range 0 to 65535, rest 32767) and buttons and report their counts
//   (0 for a pad that is not there).
// Screenshots: SaveScreenshot(path, 1) writes a JPEG of the last frame shown; the
//   second value is reserved. A missing folder saves nothing.

#include <array>
#include <cstdint>
#include <string>

#include "platform/engine/particle_settings.h"
#include "platform/engine/records.h"
#include "platform/engine/types.h"

namespace quorvel {

class EngineCore {
  public:
    void SelectDisplayMode(int adapter, int mode);
    void AttachWindow(std::uintptr_t window);
    int StartEngine(int reserved = 0);
    void StopEngine();
    void GetScreenSize(int& width, int& height, int& depth) const;
};

class EngineDisplayModes {
  public:
    void Enumerate();
    int GetAdapterCount() const;
    std::string GetAdapterName(int adapter) const;
    int GetModeCount(int adapter) const;
    bool GetMode(int adapter, int mode, int& width, int& height, int& depth) const;
};

class EngineInput {
  public:
    bool IsKeyDown(int scanCode) const;
    MouseState GetMouseState(int device = 0);
    void SetMousePosition(int x, int y, int reserved = 0);
    bool OpenGamePad(int pad);
    void EnableGamePad(bool on);
    GamePadState GetGamePadState() const;
    std::string GetGamePadText(int pad) const;
    int SetupGamePadAxes(int pad);
    int SetupGamePadButtons(int pad);
};

class EngineFrame {
  public:
    void BeginFrame();
    void RenderScene();
    void EndFrame();
    // Draws the scene into a picture nobody sees: what the renderer must build for the
    // frames to come (shaders, pictures) is built now, during a wait, not in the first
    // frame shown. The scene does not move, no frame counts as shown, no 2D call of the
    // next frame is used up.
    void DrawHiddenFrame();
    bool SaveScreenshot(const std::string& path, int format = 1);
    void SetSceneColourA(const Colour& colour);
    void SetSceneColourB(const Colour& colour);
    void SetRenderSwitchA(bool on);
    void SetRenderSwitchB(bool on);
    void SetRenderSwitchC(int value);
    void SetRenderSwitchD(int value);
    void SetRenderSwitchE(int value);
    void SetRenderSwitchF(int value);
};

class EngineTimer {
  public:
    float GetFrameFactor(float rate) const;
};

class EngineMath {
  public:
    Vector MakeVector(float x, float y, float z) const { return {x, y, z}; }
    Vector2 MakeVector2(float x, float y) const { return {x, y}; }
    Colour MakeColour(float r, float g, float b, float a) const { return {r, g, b, a}; }
    LensRec MakeLens(float nearPlane, float farPlane, float fieldOfView, float aspect, int projection) const {
        return {nearPlane, farPlane, fieldOfView, aspect, projection};
    }
    FlareSetupRec MakeFlareSetup(int count, int fadeMode, float glowSize, int reserved) const {
        return {count, fadeMode, glowSize, reserved};
    }
    FlareElementRec MakeFlareElement(float size, float place, int textureId, int colour) const {
        return {size, place, textureId, colour};
    }
    float Distance(const Vector& a, const Vector& b) const { return quorvel::Distance(a, b); }
};

class EngineMeshImporter {
  public:
    // Reads a model file (Windows-style path); negative when it cannot be read.
    int OpenModelFile(const std::string& path);
    // Builds a mesh of the open model under the key in the mesh pool (the current
    // mesh afterwards); -1 and no current mesh when no model is open.
    int BuildMesh(const std::string& key, int a = -1, int b = 0, int c = 0, int d = 0, int e = -1);
    void CloseModelFile();
};

class EngineMeshes {
  public:
    int CreateMesh(const std::string& key);
    void CreateSprite(float width, float height, const std::string& texture, const std::string& material,
                      int n, bool b, int m);
    bool SelectMesh(const std::string& key);
    bool SelectMeshById(int id);
    int GetCurrentId() const;
    int GetMeshCount() const;
    void RemoveMesh();
    void ClearMeshes();

    void SetVisible(bool visible);
    bool GetVisible() const;
    void SetPosition(const Vector& position);
    void SetPosition(float x, float y, float z) { SetPosition(Vector{x, y, z}); }
    Vector GetPosition() const;
    void SetRotation(const Vector& degrees);
    void SetRotation(float x, float y, float z) { SetRotation(Vector{x, y, z}); }
    void SetOrientation(const Vector& right, const Vector& up, const Vector& front);
    void SetOrientation(const AxisSet& axes) { SetOrientation(axes.AxisRight, axes.AxisUp, axes.AxisFront); }
    AxisSet GetOrientation() const;
    Matrix4 GetMatrix() const;
    void SetScale(const Vector& scale);
    void SetScale(float x, float y, float z) { SetScale(Vector{x, y, z}); }
    void MoveForward(float distance, bool a = true, bool b = true);
    void MoveRight(float distance, bool a = true, bool b = true);
    void MoveUp(float distance, bool a = true, bool b = true);
    void TurnPitch(float degrees, int mode = 2);
    void TurnYaw(float degrees, int mode = 2);
    void TurnRoll(float degrees, int mode = 2);
    void LookAt(const Vector& point);
    void LookAt(float x, float y, float z) { LookAt(Vector{x, y, z}); }

    void SetMeshMode(int mode);
    void SetMeshFlags(int flags);
    void SetStageMode(int stage, int mode);
    void SetTexture(int stage, const std::string& texture);
    void SetTextureById(int stage, int textureId);
    void SetMaterial(const std::string& material);
    void SetMeshVector(const Vector& offset);
    void SetMeshOffset(const Vector& offset) { SetMeshVector(offset); }
    void SetMeshMotion(const Vector& axis, float rate, int space = 1, int r1 = 2, int r2 = 2, int r3 = 2);
    void SetMeshSpin(const Vector& axis, float rate, int space = 1, int r1 = 2, int r2 = 2, int r3 = 2) {
        SetMeshMotion(axis, rate, space, r1, r2, r3);
    }
    void SetMeshOption(int option, int value, int reserved, bool on);

    HitInfoRec RayHit(const RayRec& ray, int mode, float reach, int a = 0, int b = 0, bool c = true) const;
    // The same test passing through the meshes listed (as if hidden for this ray).
    HitInfoRec RayHit(const RayRec& ray, int mode, float reach, const MeshIdSet& passThrough) const;
};

class EngineAnimatedModels {
  public:
    int LoadModel(const std::string& path, const std::string& key);
    bool SelectModel(const std::string& key);
    bool SelectModelById(int id);
    void Clear();
    void ClearModels() { Clear(); }
    int GetModelCount() const;

    void SetVisible(bool visible);
    void SetPosition(const Vector& position);
    void SetPosition(float x, float y, float z) { SetPosition(Vector{x, y, z}); }
    void SetScale(const Vector& scale);
    void SetScale(float x, float y, float z) { SetScale(Vector{x, y, z}); }
    void SetMaterial(const std::string& material);
    void SetStageTexture(int stage, const std::string& texture);
    void SetStageTextureId(int stage, int textureId);
    void SetStageMode(int stage, int mode);
    int GetFrameCount() const;
    void SetFrameRange(int which, const std::string& frame);
    void SetFrameBlend(int reserved, int absolute, float value);
    void SetModelSwitch(int value);
    void SetModelOption(int value);
    void SetFrameOptions(int loop, int reserved);
    void SetModelAxis(const Vector& axis, float rate, int space = 1, int r1 = 2, int r2 = 2, int r3 = 2);
};

class EngineCameras {
  public:
    void ClearCameras();
    void ResetCameras();
    bool SelectCamera(const std::string& name);
    bool SelectCameraById(int id);
    void SetCameraPosition(const Vector& position);
    void SetCameraPosition(float x, float y, float z) { SetCameraPosition(Vector{x, y, z}); }
    Vector GetCameraPosition() const;
    void CameraLookAt(const Vector& point);
    void CameraLookAt(float x, float y, float z) { CameraLookAt(Vector{x, y, z}); }
    void SetLens(const LensRec& lens);
    void SetViewport(const Vector2& topLeft, const Vector2& bottomRight);
    void SetCameraActive(bool active);
    Matrix4 GetCameraMatrix() const;
    void MoveCameraForward(float distance, bool a = true, bool b = true);
    void MoveCameraRight(float distance, bool a = true, bool b = true);
    void MoveCameraUp(float distance, bool a = true, bool b = true);
    void TurnCameraPitch(float degrees, int mode = 2);
    void TurnCameraYaw(float degrees, int mode = 2);
    void TurnCameraRoll(float degrees, int mode = 2);
    Vector2 ProjectToScreen(const Vector& point) const;
};

class EngineMaterials {
  public:
    int CreateMaterial(const std::string& key);
    int CreateMaterialWithColour(const std::string& key, const Colour& colour);
    bool SelectMaterial(const std::string& key);
    bool SelectMaterialById(int id);
    int GetMaterialCount() const;
    void SetColourSlot1(const Colour& colour);
    void SetColourSlot2(const Colour& colour);
    void SetColourSlot3(const Colour& colour);
    void SetColourSlot4(const Colour& colour);
    void SetMaterialFlag(int flag);
    void UpdateMaterials();
    void ClearMaterials();
};

class EngineTextures {
  public:
    int LoadTexture(const std::string& key, const std::string& path, int flag = 0, int reserved = 0);
    int GetLastTextureId() const;
    int GetTextureId(const std::string& key) const;
    bool SelectTexture(const std::string& key);
    bool SelectTextureById(int id);
    int GetTextureCount() const;
    void RemoveTexture();
    void ClearTextures();
    void FinishTextureLoading();
};

class EngineDraw2D {
  public:
    int LoadImage(const std::string& path, const std::string& key, int flag = 0);
    bool SelectImage(const std::string& key);
    bool SelectImageById(int id);
    int GetImageId() const;
    int GetImageCount() const;
    void RemoveImage();
    void ClearImages();

    void SetImagePosition(const Vector2& position);
    void SetImageSize(const Vector2& size);
    void SetImageTexture(int stage, const std::string& texture);
    void SetImageVisible(bool visible);
    void SetImageMode(int mode);
    void SetImageFlag(bool fullScreen);
    void SetImageStyle(int style);
    void SetImageAngle(float degrees);
    void RotateImage(float degrees);
    void SetImageCells(const Vector2& cellSize, const Vector2& cellStep);
    void SetImageFrameCount(int count);
    void SetImageColumns(int columns);
    void SetImageFrame(int frame);
    void SetImageStep(int frames = 1);
    void SetFontCell(const Vector2& cellSize, int firstCode);
    void SetFontColour(const Colour& colour, int alpha);

    void SetDrawColour(const Colour& colour);
    void SetDrawMode(int mode);
    void DrawRectangle(const Vector2& corner1, const Vector2& corner2, bool filled);
    void DrawText(const Vector2& position, const std::string& text);
    void DrawFontText(const std::string& text, const Vector2& position, int mode, float size);
};

class EngineLights {
  public:
    int CreateLight(const std::string& key, float range, int type, float falloff, float innerAngle,
                    float outerAngle);
    bool SelectLight(const std::string& key);
    void SetLightPosition(float x, float y, float z);
    void SetLightColour(float r, float g, float b, float a);
    void SetLightDirection(float x, float y, float z);
};

class EngineParticles {
  public:
    int CreateSystem(const std::string& key);
    bool SelectSystem(const std::string& key);
    bool SelectSystemById(int id);
    int GetSystemCount() const;
    int GetCurrentSystemId() const;
    void RemoveSystem();
    void SetEmitting(bool on);
    void SetEmitterPosition(const Vector& position);
    void SetEmitterVector1(const Vector& point);
    void SetEmitterVector2(const Vector& point);
    void SetEmitterAxes(const Vector& right, const Vector& up, const Vector& front);
    void SetEmitterTarget(const Vector& point);
    void SetSystemParamA(float value, int on);
    void SetSystemParamB(float value, int on);
    void SetTexture(const std::string& texture);

    void SetParGroup01(int maxParticles, int blendMode, int reserved);
    void SetParGroup02(int emitRate);
    void SetParGroup03(int lifeMs);
    void SetParGroup04(int lifeSpreadMs);
    void SetParGroup05(int shape);
    void SetParGroup06(const Vector& startColour, const Vector& endColour);
    void SetParGroup07(const Vector& alpha);
    void SetParGroup08(const Vector& startSize, const Vector& endSize);
    void SetParGroup09(const Vector& point1);
    void SetParGroup10(bool continuous);
    void SetParGroup11(float speed, float speedSpread, int directionMode);
    void SetParGroup12(const Vector& direction);
    void SetParGroup13(float spreadDegrees);
    void SetParGroup14(const Vector& acceleration);
    void SetParGroup15(bool localSpace);
    void SetParGroup16(const Vector& boxExtents);
    void SetParGroup17(int sphereRadius);
    void SetParGroup18(const Vector& drag);
    void SetParGroup19(const std::array<float, 4>& rotation);
    void SetParGroup20(int atlasCells);
    void SetParGroup21(const ParTriple& key1, const ParTriple& key2, const ParTriple& key3,
                       const ParTriple& key4);
    void SetParGroup22(const Vector& wind, const Vector& turbulence, const Vector& reserved);
    void SetParGroup23(int colourMode, int burstCount, float emitSeconds, float reserved);
    void SetParGroup24(bool prewarm);
    void SetParGroup25(const Vector& point2);
    void SetParGroup26(float birth, float middle, float death);
    void SetParGroup27(float birth, float middle, float death);
    void SetParGroup28(float timeScale);
    void SetParGroup29(float inherit, float r1, float r2);
    void SetParGroup30(float r1, float r2, float r3);
    void SetParGroup31(const Vector& emitterTurn, float f = 1, int a = 0, int b = 1, int c = 1, int d = 1);
};

class EngineSky {
  public:
    int CreateSkyItem(const std::string& key, int kind, float size);
    bool SelectSkyItem(const std::string& key);
    bool SelectSkyItemById(int id);
    int GetSkyItemCount() const;
    void RemoveSkyItem();
    void ClearSky();
    void SetSkyFace(int face, int textureId);
    void SetItemTexture(int face, const std::string& texture);
    void SetItemVisible(bool visible);
    Vector GetItemPosition() const;
    void SetFlareMode(int mode);
    void SetFlareSource(const Vector& source);
    void SetFlareSetup(const FlareSetupRec& setup);
    void SetFlareElement(int index, const FlareElementRec& element);
    void SetFlareVisible(bool visible);
};

class EngineSounds {
  public:
    int LoadSound(const std::string& key, const std::string& path, int a = 0, int b = 0);
    bool SelectSound(const std::string& key);
    bool SelectSoundById(int id);
    int GetSoundCount() const;
    void PlaySound(int reserved, bool loop);
    void StopSound();
    void RemoveSound();
    void ClearSounds();
    void PrepareSoundPool(int count);
};

}  // namespace quorvel
