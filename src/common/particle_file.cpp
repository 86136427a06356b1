#include "common/particle_file.h"

#include <bit>
#include <cmath>
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

std::int16_t I16(std::uint32_t slot) {
    return static_cast<std::int16_t>(slot & 0xffffu);
}
std::int32_t I32(std::uint32_t slot) {
    return static_cast<std::int32_t>(slot);
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
            g.group10 = I16(s[0]);
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
            g.group15 = I16(s[0]);
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
            g.group23 = {static_cast<std::uint8_t>(s[0] & 0xffu), I32(s[1]), F32(s[2]), F32(s[3])};
            break;
        case 24:
            g.group24 = I16(s[0]);
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

}  // namespace quorvel
