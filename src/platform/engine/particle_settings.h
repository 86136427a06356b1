#pragma once
// What a particle system is made of: 31 setting groups, filled one group at a time
// by EngineParticles::SetParGroup01..31 (in the order a ".par" file stores them).
// The meaning of each group is this engine's own; the content generator writes
// its files to match, and the simulation and the renderer read them from here.
// The file's widths stay in the file: here every value is a plain int, bool or float.

#include <array>

#include "platform/engine/types.h"

namespace quorvel {

// A colour key of group 21: red, green, blue.
struct ParTriple {
    int a = 0, b = 0, c = 0;
};

struct ParticleSettings {
    // 1: particle budget, blend (0 additive, 1 alpha blended), reserved.
    int maxParticles = 64;
    int blendMode = 0;
    int reserved1 = 0;
    // 2: particles emitted per second.
    int emitRate = 20;
    // 3, 4: life time and its random spread, in milliseconds.
    int lifeMs = 1000;
    int lifeSpreadMs = 0;
    // 5: emitter shape: 0 point, 1 line from point 1 to point 2, 2 box, 3 sphere.
    int shape = 0;
    // 6: colour at birth and at death, red/green/blue 0..255 in x/y/z.
    Vector startColour{255, 255, 255};
    Vector endColour{255, 255, 255};
    // 7: alpha at birth (x) and at death (y), 0..255; z reserved.
    Vector alpha{255, 0, 0};
    // 8: size at birth (x, spread in y) and at death (x, spread in y), world units.
    Vector startSize{1, 0, 0};
    Vector endSize{1, 0, 0};
    // 9: emitter point 1, a world point (the game moves it with the emitter each frame).
    Vector point1{};
    // 10: emits continuously while on, or else releases one burst when switched on.
    bool continuous = true;
    // 11: speed, speed spread (world units per second), direction mode
    //     (0 within a cone around the direction, 1 outward from the emitter).
    float speed = 10;
    float speedSpread = 0;
    int directionMode = 0;
    // 12: direction of emission, in the emitter's axes.
    Vector direction{0, 1, 0};
    // 13: cone half-angle in degrees.
    float spreadDegrees = 0;
    // 14: acceleration (world units per second squared), world axes.
    Vector acceleration{};
    // 15: keeps live particles attached to the emitter, or else leaves them in the world.
    bool localSpace = false;
    // 16: half extents of the box shape.
    Vector boxExtents{1, 1, 1};
    // 17: radius of the sphere shape.
    int sphereRadius = 1;
    // 18: drag: x is the fraction of velocity lost per second; y, z reserved.
    Vector drag{};
    // 19: start angle, its spread, spin (degrees per second) and its spread.
    std::array<float, 4> rotation{};
    // 20: the texture is an atlas of cells x cells frames played over a life (1 = whole texture).
    int atlasCells = 1;
    // 21: four colour keys (red, green, blue 0..255) over a life, used when colourMode is 1.
    std::array<ParTriple, 4> colourKeys{};
    // 22: wind (world units per second squared), turbulence (x strength, y frequency), reserved.
    Vector wind{};
    Vector turbulence{};
    Vector reserved22{};
    // 23: colour mode (0 start/end colour, 1 the four keys), burst size, emitting time in
    //     seconds once switched on (0 for ever), reserved.
    int colourMode = 0;
    int burstCount = 0;
    float emitSeconds = 0;
    float reserved23 = 0;
    // 24: runs one life time ahead when the system is built, so it starts full.
    bool prewarm = false;
    // 25: emitter point 2, a world point (the end of the line shape).
    Vector point2{};
    // 26: size factor at birth, mid-life and death.
    std::array<float, 3> sizeCurve{1, 1, 1};
    // 27: alpha factor at birth, mid-life and death.
    std::array<float, 3> alphaCurve{1, 1, 1};
    // 28: time scale of the whole system (1 normal speed).
    float timeScale = 1;
    // 29: share of the emitter's own velocity given to new particles, reserved, reserved.
    std::array<float, 3> inherit{};
    // 30: reserved.
    std::array<float, 3> reserved30{};
    // 31: emitter turn (pitch, yaw, roll in degrees) applied to direction and points;
    //     the trailing fixed values that come with it are not used.
    Vector emitterTurn{};
};

}  // namespace quorvel
