#include <gtest/gtest.h>

#include <cstdlib>

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

}  // namespace
}  // namespace quorvel::sys
