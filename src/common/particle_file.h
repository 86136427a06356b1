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
#include "platform/system/paths.h"

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
// keeps the engine's defaults. `Particles` is EngineParticles or a stand-in with the
// same calls.
template <class Particles>
void ApplyParticleFile(Particles& particles, const std::string& key, const ParticleFileData& data) {
    particles.CreateSystem(key);
    const ParticleFileGroups& g = data.groups;
    for (int group = 1; group <= data.groupsRead; ++group) {
        switch (group) {
            case 1:
                particles.SetParGroup01(g.group01[0], g.group01[1], g.group01[2]);
                break;
            case 2:
                particles.SetParGroup02(g.group02);
                break;
            case 3:
                particles.SetParGroup03(g.group03);
                break;
            case 4:
                particles.SetParGroup04(g.group04);
                break;
            case 5:
                particles.SetParGroup05(g.group05);
                break;
            case 6:
                particles.SetParGroup06(g.group06[0], g.group06[1]);
                break;
            case 7:
                particles.SetParGroup07(g.group07);
                break;
            case 8:
                particles.SetParGroup08(g.group08[0], g.group08[1]);
                break;
            case 9:
                particles.SetParGroup09(g.group09);
                break;
            case 10:
                particles.SetParGroup10(g.group10);
                break;
            case 11:
                particles.SetParGroup11(g.group11.a, g.group11.b, g.group11.c);
                break;
            case 12:
                particles.SetParGroup12(g.group12);
                break;
            case 13:
                particles.SetParGroup13(g.group13);
                break;
            case 14:
                particles.SetParGroup14(g.group14);
                break;
            case 15:
                particles.SetParGroup15(g.group15);
                break;
            case 16:
                particles.SetParGroup16(g.group16);
                break;
            case 17:
                particles.SetParGroup17(g.group17);
                break;
            case 18:
                particles.SetParGroup18(g.group18);
                break;
            case 19:
                particles.SetParGroup19(g.group19);
                break;
            case 20:
                particles.SetParGroup20(g.group20);
                break;
            case 21:
                particles.SetParGroup21(g.group21[0], g.group21[1], g.group21[2], g.group21[3]);
                break;
            case 22:
                particles.SetParGroup22(g.group22[0], g.group22[1], g.group22[2]);
                break;
            case 23:
                particles.SetParGroup23(g.group23.a, g.group23.b, g.group23.c, g.group23.d);
                break;
            case 24:
                particles.SetParGroup24(g.group24);
                break;
            case 25:
                particles.SetParGroup25(g.group25);
                break;
            case 26:
                particles.SetParGroup26(g.group26[0], g.group26[1], g.group26[2]);
                break;
            case 27:
                particles.SetParGroup27(g.group27[0], g.group27[1], g.group27[2]);
                break;
            case 28:
                particles.SetParGroup28(g.group28);
                break;
            case 29:
                particles.SetParGroup29(g.group29[0], g.group29[1], g.group29[2]);
                break;
            case 30:
                particles.SetParGroup30(g.group30[0], g.group30[1], g.group30[2]);
                break;
            case 31:
                particles.SetParGroup31(g.group31, 1.0f, 0, 1, 1, 1);
                break;
            default:
                break;
        }
    }
    particles.SetTexture("particle");
}

// Builds the system `key` from program folder + "\par\" + `fileName` (with its
// extension, "enginemas.par").
template <class Particles = EngineParticles>
void LoadParticleFile(Particles& particles, const std::string& key, const std::string& fileName) {
    ApplyParticleFile(particles, key, ReadParticleFile(sys::ProgramFolder() + "\\par\\" + fileName));
}

}  // namespace quorvel
