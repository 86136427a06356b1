#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include <bit>
#include <set>
#include <sstream>
#include <vector>

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

// A value that is not a finite number (a NaN speed, an infinite size) makes the whole
// file damaged: nothing of it reaches the system. Special files are never read.
TEST(ParticleFile, NonFiniteValuesAndSpecialFilesGiveNothing) {
    test::TempFolder dir;
    auto withSlot = [](int slot, float value) {
        std::string s = Name("ab") + Slots();
        const std::size_t at = Name("ab").size() + std::size_t(slot - 1) * 4;
        std::string v;
        Put(v, std::bit_cast<std::uint32_t>(value));
        return s.replace(at, 4, v);
    };
    const std::pair<const char*, std::string> cases[] = {
        {"speed not a number", withSlot(27, std::nanf(""))},
        {"infinite start size", withSlot(17, INFINITY)},
        {"infinite last turn", withSlot(94, -INFINITY)},
    };
    for (const auto& [what, bytes] : cases) {
        dir.Write("par/x.par", bytes);
        const ParticleFileData data = ReadParticleFile(dir.str() + "\\par\\x.par");
        EXPECT_EQ(data.groupsRead, 0) << what;
        EXPECT_FALSE(data.failure.empty()) << what;
    }
    ASSERT_EQ(mkfifo((dir.path() / "par/fifo.par").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.path() / "par/zero.par");
    for (const char* name : {"fifo.par", "zero.par"}) {
        const ParticleFileData data = ReadParticleFile(dir.str() + "\\par\\" + name);
        EXPECT_EQ(data.groupsRead, 0) << name;
        EXPECT_EQ(data.failure, "not a regular file") << name;
    }
}

// Stands in for the engine's particle pool and writes down every call.
struct RecordingParticles {
    std::vector<std::string> calls;

    template <class... T>
    void Log(const char* name, const T&... values) {
        std::ostringstream line;
        line << name;
        ((line << ' ' << +values), ...);
        calls.push_back(line.str());
    }
    static float X(const Vector& v) { return v.x; }

    int CreateSystem(const std::string& key) {
        calls.push_back("create " + key);
        return 0;
    }
    void SetTexture(const std::string& texture) { calls.push_back("texture " + texture); }
    void SetParGroup01(std::int16_t a, std::int16_t b, std::int16_t c) { Log("01", a, b, c); }
    void SetParGroup02(std::int32_t a) { Log("02", a); }
    void SetParGroup03(std::int32_t a) { Log("03", a); }
    void SetParGroup04(std::int32_t a) { Log("04", a); }
    void SetParGroup05(std::int16_t a) { Log("05", a); }
    void SetParGroup06(const Vector& a, const Vector& b) { Log("06", X(a), X(b)); }
    void SetParGroup07(const Vector& a) { Log("07", X(a)); }
    void SetParGroup08(const Vector& a, const Vector& b) { Log("08", X(a), X(b)); }
    void SetParGroup09(const Vector& a) { Log("09", X(a)); }
    void SetParGroup10(std::int32_t a) { Log("10", a); }
    void SetParGroup11(float a, float b, std::int16_t c) { Log("11", a, b, c); }
    void SetParGroup12(const Vector& a) { Log("12", X(a)); }
    void SetParGroup13(float a) { Log("13", a); }
    void SetParGroup14(const Vector& a) { Log("14", X(a)); }
    void SetParGroup15(std::int32_t a) { Log("15", a); }
    void SetParGroup16(const Vector& a) { Log("16", X(a)); }
    void SetParGroup17(std::int32_t a) { Log("17", a); }
    void SetParGroup18(const Vector& a) { Log("18", X(a)); }
    void SetParGroup19(const std::array<float, 4>& a) { Log("19", a[0], a[3]); }
    void SetParGroup20(std::int32_t a) { Log("20", a); }
    void SetParGroup21(const ParTriple& a, const ParTriple&, const ParTriple&, const ParTriple& d) {
        Log("21", a.a, d.c);
    }
    void SetParGroup22(const Vector& a, const Vector& b, const Vector& c) { Log("22", X(a), X(b), X(c)); }
    void SetParGroup23(std::uint8_t a, std::int32_t b, float c, float d) { Log("23", a, b, c, d); }
    void SetParGroup24(std::int32_t a) { Log("24", a); }
    void SetParGroup25(const Vector& a) { Log("25", X(a)); }
    void SetParGroup26(float a, float b, float c) { Log("26", a, b, c); }
    void SetParGroup27(float a, float b, float c) { Log("27", a, b, c); }
    void SetParGroup28(float a) { Log("28", a); }
    void SetParGroup29(float a, float b, float c) { Log("29", a, b, c); }
    void SetParGroup30(float a, float b, float c) { Log("30", a, b, c); }
    void SetParGroup31(const Vector& a, float f, int b, int c, int d, int e) {
        Log("31", X(a), f, b, c, d, e);
    }
};

TEST(ParticleFile, LoadCreatesTheSystemSetsEachGroupOnceInOrderThenTheTexture) {
    test::TempFolder dir;
    test::UseAsProgramFolder(dir);
    dir.Write("par/enginemas.par", Name("ab") + Slots());
    RecordingParticles all;
    LoadParticleFile(all, "enginemas1", "enginemas.par");
    const std::vector<std::string> expected = {"create enginemas1",
                                               "01 -1 -2 -3",
                                               "02 400000",
                                               "03 -5",
                                               "04 600000",
                                               "05 -7",
                                               "06 8.5 11.5",
                                               "07 14.5",
                                               "08 17.5 20.5",
                                               "09 23.5",
                                               "10 -26",
                                               "11 27.5 28.5 -29",
                                               "12 30.5",
                                               "13 33.5",
                                               "14 34.5",
                                               "15 -37",
                                               "16 38.5",
                                               "17 -41",
                                               "18 42.5",
                                               "19 45.5 48.5",
                                               "20 -49",
                                               "21 -50 -61",
                                               "22 62.5 65.5 68.5",
                                               "23 71 7200000 73.5 74.5",
                                               "24 -75",
                                               "25 76.5",
                                               "26 79.5 80.5 81.5",
                                               "27 82.5 83.5 84.5",
                                               "28 85.5",
                                               "29 86.5 87.5 88.5",
                                               "30 89.5 90.5 91.5",
                                               "31 92.5 1 0 1 1 1",
                                               "texture particle"};
    EXPECT_EQ(all.calls, expected);

    // A short file sets what it holds; a missing one only makes the system.
    dir.Write("par/short.par", Name("ab") + Slots(10));
    RecordingParticles part;
    LoadParticleFile(part, "s", "short.par");
    EXPECT_EQ(part.calls,
              (std::vector<std::string>{expected[0].substr(0, 7) + "s", expected[1], expected[2], expected[3],
                                        expected[4], expected[5], "texture particle"}));
    RecordingParticles none;
    LoadParticleFile(none, "m", "missing.par");
    EXPECT_EQ(none.calls, (std::vector<std::string>{"create m", "texture particle"}));
}

}  // namespace
}  // namespace quorvel
