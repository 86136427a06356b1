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

// The first and the last text by name; anything that is not exactly a text's name gives
// an empty string, never a text (the first one least of all).
TEST(GameTexts, ByNameAndNothingForANameThatIsNoText) {
    for (int i = 0; i < GameTextCount; ++i)
        GameTexts[std::size_t(i)] = "text " + std::to_string(i);
    const struct {
        const char* name;
        int index;
    } cases[] = {{"level", 0},  {"nextweap", 28}, {"loading", 27},  {"level.txt", -1},
                 {"Level", -1}, {"leve", -1},     {"levels", -1},   {"", -1},
                 {".txt", -1},  {"loadingx", -1}, {"txt/level", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("name \"") + c.name + "\"");
        EXPECT_EQ(GameTextIndex(c.name), c.index);
        EXPECT_EQ(GameText(c.name), c.index < 0 ? "" : "text " + std::to_string(c.index));
    }
}

}  // namespace
}  // namespace quorvel
