// Reading the save slots for the load-game screen, and the menu scene at low detail.

#include "shell/load_game.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/system/paths.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

// Record n (from 1) of a save file, each field at the start of its 128 bytes.
struct SaveBytes {
    std::string bytes = std::string(8 * 128 + 2, '\0');
    SaveBytes& Int16(std::size_t record, int v) {
        bytes[(record - 1) * 128] = char(v & 0xff);
        bytes[(record - 1) * 128 + 1] = char((v >> 8) & 0xff);
        return *this;
    }
    SaveBytes& Money(double v) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        for (std::size_t i = 0; i < 8; ++i)
            bytes[7 * 128 + i] = char((bits >> (8 * i)) & 0xff);
        return *this;
    }
    SaveBytes& Cut(std::size_t size) {
        bytes.resize(size);
        return *this;
    }
};

TEST(ReadSaveSlot, OnlyAPlayableLevelMakesASlot) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    const struct {
        const char* name;
        std::string bytes;
        bool listed;
    } cases[] = {
        {"empty file", "", false},
        {"one byte", "\x05", false},
        {"level 0", SaveBytes{}.Int16(1, 0).bytes, false},
        {"level 51", SaveBytes{}.Int16(1, 51).bytes, false},
        {"level -1", SaveBytes{}.Int16(1, -1).bytes, false},
        {"level 1", SaveBytes{}.Int16(1, 1).bytes, true},
        {"level 50", SaveBytes{}.Int16(1, 50).bytes, true},
    };
    int slot = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("VeltorSave" + std::to_string(slot) + ".vlx", c.bytes);
        EXPECT_EQ(ReadSaveSlot(slot).has_value(), c.listed);
        EXPECT_EQ(folder.Read("VeltorSave" + std::to_string(slot) + ".vlx"), c.bytes);  // untouched
        ++slot;
    }
    EXPECT_FALSE(ReadSaveSlot(9).has_value());
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "VeltorSave9.vlx"));
}

TEST(ReadSaveSlot, OddFieldsAreMadePlayable) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        std::string bytes;
        bool ion, gravBeam;
        double money;
        int capacity;
    } cases[] = {
        {"as saved", SaveBytes{}.Int16(1, 9).Int16(2, -1).Int16(7, -1).Money(2.5e6).Int16(9, 4).bytes, true,
         true, 2.5e6, 4},
        {"flag 1 and capacity 0", SaveBytes{}.Int16(1, 9).Int16(2, 1).Int16(9, 0).bytes, true, false, 0, 1},
        {"capacity above 4", SaveBytes{}.Int16(1, 9).Int16(9, 9).bytes, false, false, 0, 4},
        {"capacity negative", SaveBytes{}.Int16(1, 9).Int16(9, -3).bytes, false, false, 0, 1},
        {"money not a number", SaveBytes{}.Int16(1, 9).Money(nan).Int16(9, 2).bytes, false, false, 0, 2},
        {"money infinite", SaveBytes{}.Int16(1, 9).Money(-inf).Int16(9, 2).bytes, false, false, 0, 2},
        {"cut after the money", SaveBytes{}.Int16(1, 9).Int16(7, -1).Money(7).Cut(904).bytes, false, true, 7,
         1},
        {"cut inside the money", SaveBytes{}.Int16(1, 9).Money(7).Cut(900).bytes, false, false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("VeltorSave4.vlx", c.bytes);
        const auto v = ReadSaveSlot(4);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(v->level, 9);
        EXPECT_EQ(v->ownsIon, c.ion);
        EXPECT_EQ(v->ownsGravBeam, c.gravBeam);
        EXPECT_EQ(v->money, c.money);
        EXPECT_EQ(v->capacityLevel, c.capacity);
    }
}

}  // namespace
}  // namespace quorvel
