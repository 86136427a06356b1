#pragma once
// Particle-system files: ".par" files under "\par\" in the program folder.
//
// A file is a run of 4-byte little-endian slots: the system's name, one slot per
// character, ended by a slot holding 13; then 94 slots in 31 groups, one value per
// slot whatever its width (a 16-bit value or a byte sits at the start of its slot,
// and the rest of the slot is ignored). The groups go to the engine's particle
// setters in order; particle_settings.h says what each means. W32 values are kept
// bit for bit as single precision.

#include <array>
#include <cstdint>
#include <string>

#include "platform/engine/particle_settings.h"
#include "platform/engine/types.h"

namespace quorvel {

struct ParGroup11 {
    float a = 0, b = 0;
    std::int16_t c = 0;
};

struct ParGroup23 {
    std::uint8_t a = 0;
    std::int32_t b = 0;
    float c = 0, d = 0;
};

// The raw values of the 31 groups, in slot order. Single 16-bit values of groups
// 3, 10, 15, 17, 20 and 24 are widened with their sign, as the setters take them.
struct ParticleFileGroups {
    std::array<std::int16_t, 3> group01{};
    std::int32_t group02 = 0;
    std::int32_t group03 = 0;
    std::int32_t group04 = 0;
    std::int16_t group05 = 0;
    std::array<Vector, 2> group06{};
    Vector group07{};
    std::array<Vector, 2> group08{};
    Vector group09{};
    std::int32_t group10 = 0;
    ParGroup11 group11{};
    Vector group12{};
    float group13 = 0;
    Vector group14{};
    std::int32_t group15 = 0;
    Vector group16{};
    std::int32_t group17 = 0;
    Vector group18{};
    std::array<float, 4> group19{};
    std::int32_t group20 = 0;
    std::array<ParTriple, 4> group21{};
    std::array<Vector, 3> group22{};
    ParGroup23 group23{};
    std::int32_t group24 = 0;
    Vector group25{};
    std::array<float, 3> group26{};
    std::array<float, 3> group27{};
    float group28 = 0;
    std::array<float, 3> group29{};
    std::array<float, 3> group30{};
    Vector group31{};
};

struct ParticleFileData {
    ParticleFileGroups groups;
    // Groups read whole, from the first: 31 for a sound file, fewer when the file ends
    // early, 0 when it is missing or its name never ends.
    int groupsRead = 0;
};

// Reads the file at `path` (a Windows-style path). Reading stops at the end of the
// file, wherever that falls.
ParticleFileData ReadParticleFile(const std::string& path);

}  // namespace quorvel
