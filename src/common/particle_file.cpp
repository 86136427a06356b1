#include "common/particle_file.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

#include "platform/system/paths.h"
#include "platform/system/safe_file.h"

namespace quorvel {
namespace {

// Slots per group, in file order (94 in all).
constexpr std::array<int, 31> kGroupSlots = {3, 1, 1, 1, 1,  6, 3, 6, 3, 1, 3, 3, 1, 3, 1, 3,
                                             1, 3, 4, 1, 12, 9, 4, 1, 3, 3, 3, 1, 3, 3, 3};

// Which slots of each group hold single-precision values (bit k for slot k).
constexpr std::array<unsigned, 31> kFloatSlots = {0,   0,   0,   0,   0,   0x3f, 0x7, 0x3f, 0x7, 0, 0x3,
                                                  0x7, 0x1, 0x7, 0,   0x7, 0,    0x7, 0xf,  0,   0, 0x1ff,
                                                  0xc, 0,   0x7, 0x7, 0x7, 0x1,  0x7, 0x7,  0x7};

class SlotReader {
  public:
    explicit SlotReader(const std::string& bytes) : bytes_(bytes) {}

    // False at the end of the file (a partial slot counts as the end).
    bool Next(std::uint32_t& slot) {
        if (bytes_.size() - at_ < 4) return false;
        const auto* b = reinterpret_cast<const unsigned char*>(bytes_.data() + at_);
        slot = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
               std::uint32_t(b[3]) << 24;
        at_ += 4;
        return true;
    }

  private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

// A 16-bit value, with its sign.
int I16(std::uint32_t slot) {
    return static_cast<std::int16_t>(slot & 0xffffu);
}
int I32(std::uint32_t slot) {
    return static_cast<std::int32_t>(slot);
}
int U8(std::uint32_t slot) {
    return static_cast<std::uint8_t>(slot & 0xffu);
}
bool On(std::uint32_t slot) {
    return I16(slot) != 0;
}
float F32(std::uint32_t slot) {
    return std::bit_cast<float>(slot);
}
Vector Vec(const std::uint32_t* s) {
    return {F32(s[0]), F32(s[1]), F32(s[2])};
}
std::array<float, 3> Three(const std::uint32_t* s) {
    return {F32(s[0]), F32(s[1]), F32(s[2])};
}

void Decode(int group, const std::uint32_t* s, ParticleFileGroups& g) {
    switch (group) {
        case 1:
            g.group01 = {I16(s[0]), I16(s[1]), I16(s[2])};
            break;
        case 2:
            g.group02 = I32(s[0]);
            break;
        case 3:
            g.group03 = I16(s[0]);
            break;
        case 4:
            g.group04 = I32(s[0]);
            break;
        case 5:
            g.group05 = I16(s[0]);
            break;
        case 6:
            g.group06 = {Vec(s), Vec(s + 3)};
            break;
        case 7:
            g.group07 = Vec(s);
            break;
        case 8:
            g.group08 = {Vec(s), Vec(s + 3)};
            break;
        case 9:
            g.group09 = Vec(s);
            break;
        case 10:
            g.group10 = On(s[0]);
            break;
        case 11:
            g.group11 = {F32(s[0]), F32(s[1]), I16(s[2])};
            break;
        case 12:
            g.group12 = Vec(s);
            break;
        case 13:
            g.group13 = F32(s[0]);
            break;
        case 14:
            g.group14 = Vec(s);
            break;
        case 15:
            g.group15 = On(s[0]);
            break;
        case 16:
            g.group16 = Vec(s);
            break;
        case 17:
            g.group17 = I16(s[0]);
            break;
        case 18:
            g.group18 = Vec(s);
            break;
        case 19:
            g.group19 = {F32(s[0]), F32(s[1]), F32(s[2]), F32(s[3])};
            break;
        case 20:
            g.group20 = I16(s[0]);
            break;
        case 21:
            for (std::size_t k = 0; k < 4; ++k)
                g.group21[k] = {I16(s[3 * k]), I16(s[3 * k + 1]), I16(s[3 * k + 2])};
            break;
        case 22:
            g.group22 = {Vec(s), Vec(s + 3), Vec(s + 6)};
            break;
        case 23:
            g.group23 = {U8(s[0]), I32(s[1]), F32(s[2]), F32(s[3])};
            break;
        case 24:
            g.group24 = On(s[0]);
            break;
        case 25:
            g.group25 = Vec(s);
            break;
        case 26:
            g.group26 = Three(s);
            break;
        case 27:
            g.group27 = Three(s);
            break;
        case 28:
            g.group28 = F32(s[0]);
            break;
        case 29:
            g.group29 = Three(s);
            break;
        case 30:
            g.group30 = Three(s);
            break;
        case 31:
            g.group31 = Vec(s);
            break;
        default:
            break;
    }
}

}  // namespace

ParticleFileData ParseParticleFile(const std::string& bytes) {
    ParticleFileData data;
    SlotReader reader(bytes);
    std::uint32_t slot = 0;
    // The name is read past; a file that never ends it has nothing more to give.
    do {
        if (!reader.Next(slot)) {
            data.failure = "no end to the name";
            return data;
        }
    } while (I32(slot) != 13);

    std::uint32_t slots[12];
    for (int group = 1; group <= 31; ++group) {
        const int count = kGroupSlots[std::size_t(group - 1)];
        for (int k = 0; k < count; ++k)
            if (!reader.Next(slots[k])) return data;
        for (int k = 0; k < count; ++k)
            if ((kFloatSlots[std::size_t(group - 1)] >> k & 1u) && !std::isfinite(F32(slots[k]))) {
                // Not a number or infinite: the file is damaged, and none of it is used.
                return {.groups = {}, .groupsRead = 0, .failure = "a value is not a finite number"};
            }
        Decode(group, slots, data.groups);
        data.groupsRead = group;
    }
    return data;
}

ParticleFileData ReadParticleFile(const std::string& path) {
    std::string reason;
    const auto bytes = sys::ReadRegularFile(sys::ResolvePath(path), MaxParticleFileBytes, &reason);
    if (!bytes) return {.groups = {}, .groupsRead = 0, .failure = reason};
    return ParseParticleFile(*bytes);
}

void ApplyParticleFile(EngineParticles& particles, const std::string& key, const ParticleFileData& data) {
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

void LoadParticleFile(EngineParticles& particles, const std::string& key, const std::string& fileName) {
    ApplyParticleFile(particles, key, ReadParticleFile(sys::ProgramFolder() + "\\par\\" + fileName));
}

}  // namespace quorvel
