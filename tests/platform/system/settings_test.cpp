#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/system/settings.h"
#include "support/temp_folder.h"

using namespace std::string_literals;

namespace quorvel::sys {
namespace {

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", dir.str().c_str(), 1); }
    test::TempFolder dir;
};

TEST_F(SettingsStore, MissingKeyGivesDefaultAndSavedValueReadsBack) {
    EXPECT_EQ(GetSetting("quorvel", "Options", "Show Tips at Startup", "1"), "1");
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "0");
    EXPECT_EQ(GetSetting("quorvel", "Options", "Show Tips at Startup", "1"), "0");
    EXPECT_EQ(SettingsFilePath("quorvel"), dir.str() + "/quorvel/settings.ini");
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "1");
    EXPECT_EQ(dir.Read("quorvel/settings.ini"), "[Options]\nShow Tips at Startup=1\n");
}

TEST_F(SettingsStore, DamagedFileKeepsWhatIsReadableAndOtherKeysSurviveAWrite) {
    dir.Write("quorvel/settings.ini", "garbage\0\xff line\n[Other]\nkeep=me\nno equals here\n[Options\n"s);
    EXPECT_EQ(GetSetting("quorvel", "Other", "keep", "?"), "me");
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "0");
    EXPECT_EQ(GetSetting("quorvel", "Other", "keep", "?"), "me");
    EXPECT_EQ(GetSetting("quorvel", "Options", "Show Tips at Startup", "1"), "0");
}

TEST_F(SettingsStore, AWriteThatFailsLeavesTheOldFile) {
    dir.Write("quorvel/settings.ini", "[Other]\nkeep=me\n");
    // The new file's data only fails when it is flushed: a full disk.
    const auto temp = dir.path() / "quorvel/settings.ini.tmp";
    std::filesystem::create_symlink("/dev/full", temp);
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "0");
    ASSERT_FALSE(std::filesystem::is_symlink(dir.path() / "quorvel/settings.ini"));
    EXPECT_EQ(dir.Read("quorvel/settings.ini"), "[Other]\nkeep=me\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(temp)));
}

// Files written by hand or by other tools: what is read is what a change then writes.
TEST_F(SettingsStore, LineEndsMarkDuplicatesAndCommentsAsWrittenByOtherTools) {
    const std::string key = "Show Tips at Startup";
    struct Case {
        const char* what;
        std::string file;
        const char* value;
    };
    const Case cases[] = {
        {"CR line ends", "[Options]\rShow Tips at Startup=0\r", "0"},
        {"CR LF line ends", "[Options]\r\nShow Tips at Startup=0\r\n", "0"},
        {"byte-order mark", "\xEF\xBB\xBF[Options]\nShow Tips at Startup=0\n", "0"},
        {"the section twice: the last value wins",
         "[Options]\nShow Tips at Startup=1\n[Other]\nx=1\n[Options]\nShow Tips at Startup=0\n", "0"},
        {"the key twice", "[Options]\nShow Tips at Startup=0\nShow Tips at Startup=1\n", "1"},
    };
    for (const Case& c : cases) {
        dir.Write("quorvel/settings.ini", c.file);
        EXPECT_EQ(GetSetting("quorvel", "Options", key, "?"), c.value) << c.what;
        // Switching it either way takes effect.
        for (const char* value : {"1", "0", "1"}) {
            SaveSetting("quorvel", "Options", key, value);
            EXPECT_EQ(GetSetting("quorvel", "Options", key, "?"), value) << c.what;
        }
    }
}

TEST_F(SettingsStore, CommentsAndOtherLinesSurviveAWrite) {
    dir.Write("quorvel/settings.ini",
              "; my notes\n[Options]\n# why I turned tips off\nShow Tips at Startup=0\n\n"
              "[Other]\nkeep=me\n");
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "1");
    EXPECT_EQ(dir.Read("quorvel/settings.ini"),
              "; my notes\n[Options]\n# why I turned tips off\n"
              "Show Tips at Startup=1\n\n[Other]\nkeep=me\n");
}

// The file is written only when a value changes, never when the player made it
// read-only (its value is still used), and never replaces what is not a regular file.
TEST_F(SettingsStore, UnchangedReadOnlyOrSpecialFilesAreLeftAlone) {
    const auto file = dir.path() / "quorvel/settings.ini";
    dir.Write("quorvel/settings.ini", "[Options]\r\nShow Tips at Startup=0\r\n");
    const auto written = std::filesystem::last_write_time(file);
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "0");
    EXPECT_EQ(dir.Read("quorvel/settings.ini"), "[Options]\r\nShow Tips at Startup=0\r\n");
    EXPECT_EQ(std::filesystem::last_write_time(file), written);

    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    if (access(file.c_str(), W_OK) != 0) {  // root writes anyway
        SaveSetting("quorvel", "Options", "Show Tips at Startup", "1");
        EXPECT_EQ(GetSetting("quorvel", "Options", "Show Tips at Startup", "1"), "0");
        EXPECT_EQ(dir.Read("quorvel/settings.ini"), "[Options]\r\nShow Tips at Startup=0\r\n");
    }
    std::filesystem::remove(file);

    // A FIFO reads as no file at all and is not replaced: nothing blocks.
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(GetSetting("quorvel", "Options", "Show Tips at Startup", "1"), "1");
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "0");
    EXPECT_TRUE(std::filesystem::is_fifo(file));
}

// Writes killed midway left "settings.ini.tmp<pid>" files behind; the next write clears them.
TEST_F(SettingsStore, TemporaryFilesOfKilledWritesAreCleanedUp) {
    dir.Write("quorvel/settings.ini.tmp1234", "[Options]\nShow");
    dir.Write("quorvel/settings.ini.tmp", "[Opt");
    SaveSetting("quorvel", "Options", "Show Tips at Startup", "0");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "quorvel"))
        EXPECT_EQ(entry.path().filename(), "settings.ini");
}

}  // namespace
}  // namespace quorvel::sys
