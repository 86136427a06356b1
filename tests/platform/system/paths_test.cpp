#include <gtest/gtest.h>

#include "platform/system/paths.h"
#include "support/temp_folder.h"

namespace quorvel::sys {
namespace {

TEST(Paths, WindowsPathsResolveOntoExistingFilesWithoutRegardToCase) {
    test::TempFolder dir;
    dir.Write("sound/hit.wav", "RIFF");
    dir.Write("tex/Font.JPG", "x");
    const std::string base = dir.str();

    struct Case {
        std::string windows;
        std::string expected;
    };
    const Case cases[] = {
        {base + "\\Sound\\hit.wav", base + "/sound/hit.wav"},
        {base + "\\SOUND\\\\HIT.WAV", base + "/sound/hit.wav"},
        {base + "\\tex\\font.jpg", base + "/tex/Font.JPG"},
        {base + "//tex//font.jpg", base + "/tex/Font.JPG"},
        // A missing component keeps the spelling given from there on.
        {base + "\\Missing\\File.txt", base + "/Missing/File.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolvePath(c.windows), c.expected) << c.windows;
}

TEST(Paths, ExactSpellingWinsOverAnotherCase) {
    test::TempFolder dir;
    dir.Write("a/File.txt", "upper");
    dir.Write("a/file.txt", "lower");
    EXPECT_EQ(ResolvePath(dir.str() + "\\a\\file.txt"), dir.str() + "/a/file.txt");
    EXPECT_EQ(ResolvePath(dir.str() + "\\a\\File.txt"), dir.str() + "/a/File.txt");
}

TEST(Paths, ProgramFolderHasNoTrailingSeparator) {
    SetProgramFolder("/tmp/some/folder/");
    EXPECT_EQ(ProgramFolder(), "/tmp/some/folder");
}

TEST(Paths, ListFilesGivesPlainFilesOnlySorted) {
    test::TempFolder dir;
    dir.Write("music/b.ogg", "1");
    dir.Write("music/A.mp3", "1");
    dir.Write("music/sub/c.wav", "1");
    const auto names = ListFiles(dir.str() + "\\MUSIC");
    EXPECT_EQ(names, (std::vector<std::string>{"A.mp3", "b.ogg"}));
    EXPECT_TRUE(ListFiles(dir.str() + "\\nothing").empty());
}

TEST(Paths, MakeFolderCreatesMissingFoldersOnly) {
    test::TempFolder dir;
    EXPECT_FALSE(FolderExists(dir.str() + "\\screenshot"));
    EXPECT_TRUE(MakeFolder(dir.str() + "\\screenshot"));
    EXPECT_TRUE(FolderExists(dir.str() + "\\Screenshot"));
    EXPECT_TRUE(MakeFolder(dir.str() + "\\SCREENSHOT"));  // existing under another case: no second folder
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "SCREENSHOT"));
}

}  // namespace
}  // namespace quorvel::sys
