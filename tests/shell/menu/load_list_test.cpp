// The rows of the slot list: what a player reads for each kind of slot file.

#include <gtest/gtest.h>

#include <string>

#include "game/save_file.h"
#include "shell/load_game.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

TEST(SaveSlotRowText, EachSlotFileReadsAsItIs) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    // A good save to cut down and to change the level of.
    ASSERT_TRUE(WriteSaveSlot(9, {.level = 12, .money = 100, .capacityLevel = 2}));
    const std::string good = folder.Read("VeltorSave9.vlx");
    std::string level0 = good, level51 = good;
    level0[0] = 0;
    level51[0] = 51;

    const struct {
        const char* what;
        int slot;
        const char* file;  // nullptr: no file
        std::string bytes;
        const char* row;
    } cases[] = {
        {"no file", 3, nullptr, "", "3--Save - empty"},
        {"never saved into", 0, "VeltorSave0.vlx", "", "0--Quick Save - empty"},
        {"cut short with its level readable", 4, "VeltorSave4.vlx", good.substr(0, 200), "4--Save - damaged"},
        {"quick save cut short", 0, "VeltorSave0.vlx", good.substr(0, good.size() - 1),
         "0--Quick Save - damaged"},
        {"level 0", 5, "VeltorSave5.vlx", level0, "5--Save - damaged"},
        {"level 51", 6, "VeltorSave6.vlx", level51, "6--Save - damaged"},
        {"good", 7, "VeltorSave7.vlx", good, "7--Save - Level:  12"},
    };
    for (const auto& c : cases) {
        if (c.file) folder.Write(c.file, c.bytes);
        EXPECT_EQ(SaveSlotRowText(c.slot, ReadSaveSlot(c.slot)), c.row) << c.what;
    }
}

}  // namespace
}  // namespace quorvel
