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
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/engine/engine.h"
#include "platform/engine/particle_settings.h"
#include "platform/engine/types.h"

namespace quorvel {

struct ParGroup11 {
    float a = 0, b = 0;
    int c = 0;
};

struct ParGroup23 {
    int a = 0;
    int b = 0;
    float c = 0, d = 0;
};

// The values of the 31 groups, in slot order, in the types the setters take: 16-bit
// and byte values widened to int (16-bit ones with their sign), and the on/off values
// of groups 10, 15 and 24 true when not zero.
struct ParticleFileGroups {
    std::array<int, 3> group01{};
    int group02 = 0;
    int group03 = 0;
    int group04 = 0;
    int group05 = 0;
    std::array<Vector, 2> group06{};
    Vector group07{};
    std::array<Vector, 2> group08{};
    Vector group09{};
    bool group10 = false;
    ParGroup11 group11{};
    Vector group12{};
    float group13 = 0;
    Vector group14{};
    bool group15 = false;
    Vector group16{};
    int group17 = 0;
    Vector group18{};
    std::array<float, 4> group19{};
    int group20 = 0;
    std::array<ParTriple, 4> group21{};
    std::array<Vector, 3> group22{};
    ParGroup23 group23{};
    bool group24 = false;
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
    // early, 0 when it is missing or damaged (its name never ends, a value is not a
    // finite number, it is no regular file or far too large).
    int groupsRead = 0;
    // Why nothing was read; empty when the file was read (also when it ends early).
    std::string failure;
};

// A file holds a short name and 94 slots: anything much larger is not one.
inline constexpr std::size_t MaxParticleFileBytes = 64 * 1024;

// Reads the file at `path` (a Windows-style path). Reading stops at the end of the
// file, wherever that falls.
ParticleFileData ReadParticleFile(const std::string& path);
// The same from the file's bytes.
ParticleFileData ParseParticleFile(const std::string& bytes);

// Creates the system `key` (it stays current), hands it the groups that were read,
// in order, and gives it the texture "particle". A missing or short file still makes
// the system, so the ids and names the game keeps stay valid; what the file lacks
// keeps the engine's defaults.
void ApplyParticleFile(EngineParticles& particles, const std::string& key, const ParticleFileData& data);

// Builds the system `key` from program folder + "\par\" + `fileName` (with its
// extension, "enginemas.par").
void LoadParticleFile(EngineParticles& particles, const std::string& key, const std::string& fileName);

}  // namespace quorvel
