#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quorvel::sys
