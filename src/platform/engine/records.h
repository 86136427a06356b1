#pragma once
// Records the engine's operations take and give, besides the plain ones in types.h.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/engine/types.h"

namespace quorvel {

// The three axes of an item: rows 1 to 3 of its orientation matrix.
struct AxisSet {
    Vector AxisRight{1, 0, 0};
    Vector AxisUp{0, 1, 0};
    Vector AxisFront{0, 0, 1};
};

// A 4x4 matrix, row by row: rows 1 to 3 hold the right, up and front axes
// (each scaled by nothing: unit length), row 4 the position; column 4 is 0, 0, 0, 1.
struct Matrix4 {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float& operator()(int row, int col) { return m[std::size_t(row * 4 + col)]; }
    float operator()(int row, int col) const { return m[std::size_t(row * 4 + col)]; }
};

// A ray for the hit tests; Dir need not be normalised (the test normalises it).
struct RayRec {
    Vector Origin{};
    Vector Dir{0, 0, 1};
};

// What a ray test met: HitFlag is set on a hit and HitId is then the engine id of
// the mesh or sprite; without a hit HitId is -1.
struct HitInfoRec {
    bool HitFlag = false;
    int HitId = -1;
};

// Mesh ids a ray test passes through as though they were hidden: the effects and
// shots that never stop a shot. Kept by whoever lists them, and read per mesh the
// ray meets, so it is a flag per id rather than a list.
class MeshIdSet {
  public:
    void Add(int id) {
        if (id < 0) return;
        if (std::size_t(id) >= in_.size()) in_.resize(std::size_t(id) + 1, 0);
        in_[std::size_t(id)] = 1;
    }
    void Clear() { in_.clear(); }
    bool Contains(int id) const { return id >= 0 && std::size_t(id) < in_.size() && in_[std::size_t(id)]; }

  private:
    std::vector<std::uint8_t> in_;
};

// The mouse as the game reads it: a pointer position in screen pixels, the wheel
// movement since the last read, and the buttons.
struct MouseState {
    int X = 0;
    int Y = 0;
    int Wheel = 0;
    bool Button0 = false;  // left
    bool Button1 = false;  // right
};

// The game pad record, 180 bytes as the pad reports it: eight axes (resting at
// 32767, range 0 to 65535), four direction-pad values, 128 button bytes (non-zero
// while held).
struct GamePadState {
    std::int32_t Reserved = 0;
    std::int32_t X = 32767;                           // byte 4
    std::int32_t Y = 32767;                           // byte 8
    std::int32_t Z = 32767;                           // byte 12
    std::int32_t RotationX = 32767;                   // byte 16
    std::int32_t RotationY = 32767;                   // byte 20
    std::int32_t RotationZ = 32767;                   // byte 24
    std::int32_t Slider0 = 32767;                     // byte 28
    std::int32_t Slider1 = 32767;                     // byte 32
    std::array<std::int32_t, 4> Pov{-1, -1, -1, -1};  // bytes 36 to 51, -1 centred
    std::array<std::uint8_t, 128> Buttons{};          // bytes 52 to 179
};
static_assert(sizeof(GamePadState) == 180, "the game pad record is 180 bytes");

// Camera lens, as MakeLens builds it. See the lens rows of the table in engine.h.
struct LensRec {
    float NearPlane = 1;
    float FarPlane = 150000;
    float FieldOfView = 70;  // degrees, vertical
    float Aspect = -1;       // width / height; -1 takes the viewport's own shape
    int Projection = 0;      // 0 perspective (the only kind)
};

// Lens flare as a whole (MakeFlareSetup).
struct FlareSetupRec {
    int ElementCount = 0;  // elements 0 to ElementCount - 1 are drawn
    int FadeMode = 1;      // 1 fades the flare out as the sun nears the screen edge, 0 never
    float GlowSize = 5;    // size of the glow drawn on the sun itself, in 1/100 of the screen height
    int Reserved = 1;
};

// One flare element (MakeFlareElement).
struct FlareElementRec {
    float Size = 0;      // fraction of the screen height
    float Place = 0;     // along the line sun (1) - screen centre (0) - opposite side (-1)
    int TextureId = -1;  // engine texture id
    int Colour = -1;     // packed 0xAARRGGBB; -1 is opaque white
};

}  // namespace quorvel
