// The save slots: what the reader takes as a good, damaged or empty slot, the bytes
// the writer puts down, and a write that fails.

#include "game/save_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "platform/system/paths.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

constexpr std::size_t FullLength = 8 * 128 + 2;

std::string SlotFile(int slot) {
    return "VeltorSave" + std::to_string(slot) + ".vlx";
}

SaveGameValues Values(int level, double money = 0, int capacity = 1) {
    SaveGameValues v;
    v.level = level;
    v.money = money;
    v.capacityLevel = capacity;
    return v;
}

// The bytes the writer puts down for these values.
std::string Written(const test::TempFolder& folder, const SaveGameValues& v) {
    EXPECT_TRUE(WriteSaveSlot(9, v));
    return folder.Read(SlotFile(9));
}

bool SameValues(const SaveGameValues& a, const SaveGameValues& b) {
    return a.level == b.level && a.ownsIon == b.ownsIon && a.ownsMion == b.ownsMion &&
           a.ownsEplas == b.ownsEplas && a.ownsDisperse == b.ownsDisperse && a.ownsGamma == b.ownsGamma &&
           std::bit_cast<std::uint64_t>(a.money) == std::bit_cast<std::uint64_t>(b.money) &&
           a.ownsGravBeam == b.ownsGravBeam && a.capacityLevel == b.capacityLevel;
}

TEST(ReadSaveSlot, OnlyAWholeSaveOfAPlayableLevelMakesAGoodSlot) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    const std::string good = Written(folder, Values(9, 7));
    const struct {
        const char* name;
        std::string bytes;
        SaveSlotState state;
    } cases[] = {
        {"empty file", "", SaveSlotState::Empty},
        {"one byte", "\x05", SaveSlotState::Damaged},
        {"cut inside the money", good.substr(0, 900), SaveSlotState::Damaged},
        {"cut after the money", good.substr(0, 904), SaveSlotState::Damaged},
        {"one byte short", good.substr(0, FullLength - 1), SaveSlotState::Damaged},
        {"level 0", Written(folder, Values(0)), SaveSlotState::Damaged},
        {"level 51", Written(folder, Values(51)), SaveSlotState::Damaged},
        {"level -1", Written(folder, Values(-1)), SaveSlotState::Damaged},
        {"level 1", Written(folder, Values(1)), SaveSlotState::Good},
        {"level 50", Written(folder, Values(50)), SaveSlotState::Good},
        {"longer than a save", good + std::string(126, '\x7f'), SaveSlotState::Good},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write(SlotFile(4), c.bytes);
        EXPECT_EQ(ReadSaveSlot(4).state, c.state);
        EXPECT_EQ(folder.Read(SlotFile(4)), c.bytes);  // untouched
    }

    // A slot never saved has no file, and reading it makes none.
    EXPECT_EQ(ReadSaveSlot(5).state, SaveSlotState::Empty);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / SlotFile(5)));
    // Something that is no file at all cannot be a save.
    std::filesystem::create_directory(folder.path() / SlotFile(6));
    EXPECT_EQ(ReadSaveSlot(6).state, SaveSlotState::Damaged);
}

TEST(ReadSaveSlot, OddFieldsAreMadePlayable) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // A flag that another writer set to 1 instead of -1.
    std::string flagOne = Written(folder, Values(9, 0, 2));
    flagOne[128] = '\x01';
    const struct {
        const char* name;
        std::string bytes;
        bool ion;
        double money;
        int capacity;
    } cases[] = {
        {"flag 1", flagOne, true, 0, 2},
        {"capacity 0", Written(folder, Values(9, 0, 0)), false, 0, 1},
        {"capacity above 4", Written(folder, Values(9, 0, 9)), false, 0, 4},
        {"capacity negative", Written(folder, Values(9, 0, -3)), false, 0, 1},
        {"money not a number", Written(folder, Values(9, nan, 2)), false, 0, 2},
        {"money infinite", Written(folder, Values(9, -inf, 2)), false, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write(SlotFile(4), c.bytes);
        const SaveSlotContents slot = ReadSaveSlot(4);
        ASSERT_EQ(slot.state, SaveSlotState::Good);
        EXPECT_EQ(slot.values.level, 9);
        EXPECT_EQ(slot.values.ownsIon, c.ion);
        EXPECT_EQ(slot.values.money, c.money);
        EXPECT_EQ(slot.values.capacityLevel, c.capacity);
    }
}

TEST(WriteSaveSlot, WhatIsWrittenReadsBackTheSame) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    bool SaveGameValues::*const flags[] = {&SaveGameValues::ownsIon,   &SaveGameValues::ownsMion,
                                           &SaveGameValues::ownsEplas, &SaveGameValues::ownsDisperse,
                                           &SaveGameValues::ownsGamma, &SaveGameValues::ownsGravBeam};
    std::vector<SaveGameValues> saves = {Values(1, 0, 1), Values(50, 1234567.5, 4), Values(25, 0.1 + 0.2, 3),
                                         Values(12, -250.75, 2), Values(3, 1e300, 1)};
    for (auto flag : flags) {  // each flag alone
        SaveGameValues v = Values(7, 99.0, 2);
        v.*flag = true;
        saves.push_back(v);
    }
    SaveGameValues all = Values(49, 5e6, 4);
    for (auto flag : flags)
        all.*flag = true;
    saves.push_back(all);

    // Every save goes over the one before in the same slot.
    for (const SaveGameValues& v : saves) {
        SCOPED_TRACE(v.level);
        ASSERT_TRUE(WriteSaveSlot(3, v));
        const SaveSlotContents back = ReadSaveSlot(3);
        ASSERT_EQ(back.state, SaveSlotState::Good);
        EXPECT_TRUE(SameValues(back.values, v));
    }
    // Nothing but the slot is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(WriteSaveSlot, EachFieldAtTheStartOfItsRecord) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    SaveGameValues v = Values(0x0123, 1234567.5, 0x0405);
    v.ownsGravBeam = true;
    v.ownsMion = true;
    ASSERT_TRUE(WriteSaveSlot(0, v));
    const std::string bytes = folder.Read(SlotFile(0));
    ASSERT_EQ(bytes.size(), FullLength);

    std::string expected(FullLength, '\0');
    expected[0] = '\x23', expected[1] = '\x01';          // level
    expected[2 * 128] = expected[2 * 128 + 1] = '\xff';  // record 3: the second flag, True = -1
    expected[6 * 128] = expected[6 * 128 + 1] = '\xff';  // record 7: the gravity beam, before the money
    const auto money = std::bit_cast<std::uint64_t>(1234567.5);
    for (std::size_t i = 0; i < 8; ++i)
        expected[7 * 128 + i] = char(money >> (8 * i) & 0xff);
    expected[8 * 128] = '\x05', expected[8 * 128 + 1] = '\x04';  // capacity level
    EXPECT_EQ(bytes, expected);
    // SaveSlotPath names the file the slot lives in.
    EXPECT_EQ(SaveSlotPath(0), folder.str() + "\\VeltorSave0.vlx");
}

TEST(WriteSaveSlot, AWriteThatFailsLeavesTheSlotAsItWas) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    const SaveGameValues old = Values(20, 300, 2);
    const SaveGameValues next = Values(21, 400, 3);
    const std::filesystem::path temp = folder.path() / (SlotFile(1) + ".tmp");

    // A full disk: the new file's data fails when it is flushed.
    ASSERT_TRUE(WriteSaveSlot(1, old));
    const std::string before = folder.Read(SlotFile(1));
    std::filesystem::create_symlink("/dev/full", temp);
    EXPECT_FALSE(WriteSaveSlot(1, next));
    EXPECT_EQ(folder.Read(SlotFile(1)), before);
    EXPECT_TRUE(SameValues(ReadSaveSlot(1).values, old));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(temp)));

    // A folder where the slot's file would go: the new file cannot take its place.
    std::filesystem::create_directory(folder.path() / SlotFile(2));
    EXPECT_FALSE(WriteSaveSlot(2, next));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / SlotFile(2)));

    // A program folder that is gone.
    sys::SetProgramFolder(folder.str() + "\\missing");
    EXPECT_FALSE(WriteSaveSlot(1, next));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));

    // Nothing is left behind beside the slots.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

// Saves killed between their write and their rename leave temporary files; the next
// save into the slot clears them, and leaves the other slots' files alone.
TEST(WriteSaveSlot, ASaveClearsWhatKilledSavesLeft) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    const std::string leftovers[] = {SlotFile(3) + ".tmp", SlotFile(3) + ".tmp4242", SlotFile(3) + ".tmp17"};
    for (const std::string& name : leftovers)
        folder.Write(name, "half a save");
    folder.Write(SlotFile(4) + ".tmp99", "another slot's");
    ASSERT_TRUE(WriteSaveSlot(3, Values(7)));
    for (const std::string& name : leftovers)
        EXPECT_FALSE(std::filesystem::exists(folder.path() / name)) << name;
    EXPECT_TRUE(std::filesystem::exists(folder.path() / (SlotFile(4) + ".tmp99")));
    EXPECT_EQ(ReadSaveSlot(3).values.level, 7);
}

}  // namespace
}  // namespace quorvel
