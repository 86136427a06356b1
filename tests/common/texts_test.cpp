#include <gtest/gtest.h>

#include "common/texts.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

TEST(GameTexts, LoadedByIndexWithMissingFileMessageInItsSlot) {
    test::TempFolder dir;
    test::UseAsProgramFolder(dir);
    for (int i = 0; i < GameTextCount; ++i) {
        if (i == 5) continue;  // money.txt missing
        dir.Write(std::string("txt/") + GameTextFiles[i], "old\r\ntext " + std::to_string(i) + "\r\n");
    }
    dir.Write("txt/time.txt", "");
    LoadGameTexts();
    EXPECT_EQ(TextPath, dir.str() + "\\txt\\");
    EXPECT_EQ(GameTexts[0], "text 0");
    EXPECT_EQ(GameTexts[27], "text 27");
    EXPECT_EQ(GameTexts[28], "text 28");
    EXPECT_EQ(GameTexts[5], "file missing or corrupt - " + dir.str() + "\\txt\\money.txt");
    EXPECT_EQ(GameTexts[6], "");

    // Every call reads again.
    dir.Write("txt/money.txt", "Money: ");
    LoadGameTexts();
    EXPECT_EQ(GameTexts[5], "Money: ");
}

TEST(GameTexts, FileNamesInIndexOrder) {
    EXPECT_STREQ(GameTextFiles[0], "level.txt");
    EXPECT_STREQ(GameTextFiles[11], "look.txt");
    EXPECT_STREQ(GameTextFiles[23], "infinity.txt");
    EXPECT_STREQ(GameTextFiles[27], "loading.txt");
    EXPECT_STREQ(GameTextFiles[28], "nextweap.txt");
}

}  // namespace
}  // namespace quorvel
