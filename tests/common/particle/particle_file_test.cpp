#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include <bit>
#include <set>
#include <string>

#include "common/particle_file.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
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
    EXPECT_EQ(g.group01, (std::array<int, 3>{-1, -2, -3}));
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
    EXPECT_TRUE(g.group10) << "-26 is on";
    EXPECT_FLOAT_EQ(g.group11.a, 27.5f);
    EXPECT_FLOAT_EQ(g.group11.b, 28.5f);
    EXPECT_EQ(g.group11.c, -29);
    ExpectVec(g.group12, 30);
    EXPECT_FLOAT_EQ(g.group13, 33.5f);
    ExpectVec(g.group14, 34);
    EXPECT_TRUE(g.group15);
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
    EXPECT_TRUE(g.group24);
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

// What the engine holds for the system `key` once the file is loaded.
const engine::ParticleItem* System(const std::string& key) {
    return engine::GetScene().particles.Find(key);
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

// Each setting holds the value of the slot the file keeps it in.
void ExpectAllSettings(const engine::ParticleItem& p) {
    const ParticleSettings& s = p.settings;
    EXPECT_EQ(s.maxParticles, -1);
    EXPECT_EQ(s.blendMode, -2);
    EXPECT_EQ(s.reserved1, -3);
    EXPECT_EQ(s.emitRate, 400000);
    EXPECT_EQ(s.lifeMs, -5);
    EXPECT_EQ(s.lifeSpreadMs, 600000);
    EXPECT_EQ(s.shape, -7);
    ExpectVec(s.startColour, 8);
    ExpectVec(s.endColour, 11);
    ExpectVec(s.alpha, 14);
    ExpectVec(s.startSize, 17);
    ExpectVec(s.endSize, 20);
    ExpectVec(s.point1, 23);
    ExpectVec(p.point1, 23);
    EXPECT_TRUE(s.continuous);
    EXPECT_FLOAT_EQ(s.speed, 27.5f);
    EXPECT_FLOAT_EQ(s.speedSpread, 28.5f);
    EXPECT_EQ(s.directionMode, -29);
    ExpectVec(s.direction, 30);
    EXPECT_FLOAT_EQ(s.spreadDegrees, 33.5f);
    ExpectVec(s.acceleration, 34);
    EXPECT_TRUE(s.localSpace);
    ExpectVec(s.boxExtents, 38);
    EXPECT_EQ(s.sphereRadius, -41);
    ExpectVec(s.drag, 42);
    EXPECT_EQ(s.rotation, (std::array<float, 4>{45.5f, 46.5f, 47.5f, 48.5f}));
    EXPECT_EQ(s.atlasCells, -49);
    EXPECT_EQ(s.colourKeys[0].a, -50);
    EXPECT_EQ(s.colourKeys[3].c, -61);
    ExpectVec(s.wind, 62);
    ExpectVec(s.turbulence, 65);
    ExpectVec(s.reserved22, 68);
    EXPECT_EQ(s.colourMode, 71);
    EXPECT_EQ(s.burstCount, 7200000);
    EXPECT_FLOAT_EQ(s.emitSeconds, 73.5f);
    EXPECT_FLOAT_EQ(s.reserved23, 74.5f);
    EXPECT_TRUE(s.prewarm);
    ExpectVec(s.point2, 76);
    ExpectVec(p.point2, 76);
    ExpectThree(s.sizeCurve, 79);
    ExpectThree(s.alphaCurve, 82);
    EXPECT_FLOAT_EQ(s.timeScale, 85.5f);
    ExpectThree(s.inherit, 86);
    ExpectThree(s.reserved30, 89);
    ExpectVec(s.emitterTurn, 92);
}

TEST(ParticleFile, LoadBuildsTheSystemFromEveryGroupAndGivesItTheParticleTexture) {
    test::TempFolder dir;
    test::UseAsProgramFolder(dir);
    dir.Write("par/enginemas.par", Name("ab") + Slots());
    dir.Write("tex/particle.bmp", test::SolidBmp(2, 2, 255, 255, 255));
    EngineTextures textures;
    const int texture = textures.LoadTexture("particle", dir.str() + "\\tex\\particle.bmp");
    ASSERT_GE(texture, 0);
    EngineParticles particles;
    particles.CreateSystem("older");

    LoadParticleFile(particles, "enginemas1", "enginemas.par");
    const engine::ParticleItem* all = System("enginemas1");
    ASSERT_TRUE(all);
    EXPECT_EQ(particles.GetCurrentSystemId(), all->id) << "the new system stays current";
    EXPECT_EQ(all->textureId, texture);
    ExpectAllSettings(*all);
    EXPECT_EQ(System("older")->settings.shape, 0) << "the other system is left alone";

    // A short file sets what it holds; a missing one only makes the system. Either way
    // the rest keeps the engine's defaults.
    const ParticleSettings defaults;
    dir.Write("par/short.par", Name("ab") + Slots(10));
    LoadParticleFile(particles, "s", "short.par");
    LoadParticleFile(particles, "m", "missing.par");
    const engine::ParticleItem* part = System("s");
    const engine::ParticleItem* none = System("m");
    ASSERT_TRUE(part && none);
    EXPECT_EQ(particles.GetCurrentSystemId(), none->id);
    EXPECT_EQ(part->settings.maxParticles, -1);
    EXPECT_EQ(part->settings.shape, -7);
    EXPECT_EQ(none->settings.maxParticles, defaults.maxParticles);
    EXPECT_EQ(none->settings.shape, defaults.shape);
    for (const engine::ParticleItem* p : {part, none}) {
        EXPECT_EQ(p->textureId, texture);
        EXPECT_FLOAT_EQ(p->settings.startColour.x, defaults.startColour.x);
        EXPECT_EQ(p->settings.continuous, defaults.continuous);
        EXPECT_FLOAT_EQ(p->settings.timeScale, defaults.timeScale);
        EXPECT_FLOAT_EQ(p->settings.direction.y, defaults.direction.y);
    }
}

}  // namespace
}  // namespace quorvel
