#include <gtest/gtest.h>

#include <bit>
#include <set>

#include "common/particle_file.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

// Slot numbers (counted from 1 after the name) that hold a 16-bit value, and the one
// byte value; all other slots hold 32-bit integers (4, 6, 72) or floats.
const std::set<int> kShort = {1,  2,  3,  5,  7,  26, 29, 37, 41, 49, 50, 51,
                              52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 75};
const std::set<int> kInt = {4, 6, 72};
constexpr int kByte = 71;

void Put(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xff);
}

// Every slot says its own number: 16-bit slots hold -n with junk in their upper half,
// 32-bit integers n * 100000, the byte n with junk above it, floats n + 0.5.
std::string Slots(int count = 94) {
    std::string s;
    for (int n = 1; n <= count; ++n) {
        if (kShort.count(n))
            Put(s, 0xabcd0000u | std::uint16_t(-n));
        else if (kInt.count(n))
            Put(s, std::uint32_t(n * 100000));
        else if (n == kByte)
            Put(s, 0xabcdef00u | std::uint32_t(n));
        else
            Put(s, std::bit_cast<std::uint32_t>(float(n) + 0.5f));
    }
    return s;
}

std::string Name(const std::string& name) {
    std::string s;
    for (char c : name)
        Put(s, std::uint8_t(c));
    Put(s, 13);
    return s;
}

void ExpectVec(const Vector& v, int slot) {
    EXPECT_FLOAT_EQ(v.x, slot + 0.5f) << "slot " << slot;
    EXPECT_FLOAT_EQ(v.y, slot + 1.5f) << "slot " << slot;
    EXPECT_FLOAT_EQ(v.z, slot + 2.5f) << "slot " << slot;
}
void ExpectThree(const std::array<float, 3>& v, int slot) {
    ExpectVec({v[0], v[1], v[2]}, slot);
}

void ExpectAllGroups(const ParticleFileGroups& g) {
    EXPECT_EQ(g.group01, (std::array<std::int16_t, 3>{-1, -2, -3}));
    EXPECT_EQ(g.group02, 400000);
    EXPECT_EQ(g.group03, -5);
    EXPECT_EQ(g.group04, 600000);
    EXPECT_EQ(g.group05, -7);
    ExpectVec(g.group06[0], 8);
    ExpectVec(g.group06[1], 11);
    ExpectVec(g.group07, 14);
    ExpectVec(g.group08[0], 17);
    ExpectVec(g.group08[1], 20);
    ExpectVec(g.group09, 23);
    EXPECT_EQ(g.group10, -26);
    EXPECT_FLOAT_EQ(g.group11.a, 27.5f);
    EXPECT_FLOAT_EQ(g.group11.b, 28.5f);
    EXPECT_EQ(g.group11.c, -29);
    ExpectVec(g.group12, 30);
    EXPECT_FLOAT_EQ(g.group13, 33.5f);
    ExpectVec(g.group14, 34);
    EXPECT_EQ(g.group15, -37);
    ExpectVec(g.group16, 38);
    EXPECT_EQ(g.group17, -41);
    ExpectVec(g.group18, 42);
    EXPECT_EQ(g.group19, (std::array<float, 4>{45.5f, 46.5f, 47.5f, 48.5f}));
    EXPECT_EQ(g.group20, -49);
    for (int k = 0; k < 4; ++k) {
        const ParTriple& t = g.group21[std::size_t(k)];
        EXPECT_EQ(t.a, -(50 + 3 * k));
        EXPECT_EQ(t.b, -(51 + 3 * k));
        EXPECT_EQ(t.c, -(52 + 3 * k));
    }
    ExpectVec(g.group22[0], 62);
    ExpectVec(g.group22[1], 65);
    ExpectVec(g.group22[2], 68);
    EXPECT_EQ(g.group23.a, 71);
    EXPECT_EQ(g.group23.b, 7200000);
    EXPECT_FLOAT_EQ(g.group23.c, 73.5f);
    EXPECT_FLOAT_EQ(g.group23.d, 74.5f);
    EXPECT_EQ(g.group24, -75);
    ExpectVec(g.group25, 76);
    ExpectThree(g.group26, 79);
    ExpectThree(g.group27, 82);
    EXPECT_FLOAT_EQ(g.group28, 85.5f);
    ExpectThree(g.group29, 86);
    ExpectThree(g.group30, 89);
    ExpectVec(g.group31, 92);
}

TEST(ParticleFile, ReadsTheThirtyOneGroupsInOrderAfterTheName) {
    test::TempFolder dir;
    // A two-character name puts group 1 at byte 12; an empty one at byte 4.
    for (const std::string name : {"ab", ""}) {
        const std::string bytes = Name(name) + Slots();
        EXPECT_EQ(bytes.size(), 4 * name.size() + 380);
        dir.Write("par/Engine.par", bytes);
        const ParticleFileData data = ReadParticleFile(dir.str() + "\\par\\engine.par");
        EXPECT_EQ(data.groupsRead, 31) << '"' << name << '"';
        ExpectAllGroups(data.groups);
    }
}

TEST(ParticleFile, StopsAtTheEndOfTheFile) {
    test::TempFolder dir;
    struct Case {
        const char* what;
        std::string bytes;
        int groups;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"name without its end", Name("abc").substr(0, 12), 0},
        {"name cut inside a slot", Name("abc").substr(0, 14), 0},
        {"ends inside group 6", Name("ab") + Slots(10), 5},
        {"ends two bytes into group 31", Name("ab") + Slots(91) + "xy", 30},
        {"trailing bytes after group 31", Name("ab") + Slots() + "tail", 31},
    };
    for (const Case& c : cases) {
        dir.Write("par/x.par", c.bytes);
        const ParticleFileData data = ReadParticleFile(dir.str() + "\\par\\x.par");
        EXPECT_EQ(data.groupsRead, c.groups) << c.what;
        if (c.groups >= 5) {
            EXPECT_EQ(data.groups.group05, -7) << c.what;
        }
    }
    // Groups not read keep their zero values.
    dir.Write("par/x.par", Name("ab") + Slots(10));
    EXPECT_FLOAT_EQ(ReadParticleFile(dir.str() + "\\par\\x.par").groups.group06[0].x, 0);
    EXPECT_EQ(ReadParticleFile(dir.str() + "\\par\\missing.par").groupsRead, 0);
}

}  // namespace
}  // namespace quorvel
