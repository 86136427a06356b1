#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/system/safe_file.h"
#include "support/temp_folder.h"

namespace quorvel::sys {
namespace {

namespace fs = std::filesystem;

TEST(SafeFile, ReadsRegularFilesWithinTheCapOnly) {
    test::TempFolder dir;
    dir.Write("small", "12345");
    dir.Write("empty", "");
    ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.path() / "zero");
    fs::create_symlink(dir.path() / "small", dir.path() / "link");
    fs::create_directories(dir.path() / "folder");

    EXPECT_EQ(ReadRegularFile((dir.path() / "small").string(), 5), "12345");
    EXPECT_EQ(ReadRegularFile((dir.path() / "link").string(), 5), "12345");  // a link to a file is fine
    EXPECT_EQ(ReadRegularFile((dir.path() / "empty").string(), 0), "");
    struct Case {
        const char* name;
        std::size_t cap;
        const char* reason;
    };
    for (const Case c : {Case{"small", 4, "too large"}, Case{"fifo", 100, "not a regular file"},
                         Case{"zero", 100, "not a regular file"}, Case{"folder", 100, "not a regular file"},
                         Case{"missing", 100, "missing"}}) {
        std::string reason;
        EXPECT_FALSE(ReadRegularFile((dir.path() / c.name).string(), c.cap, &reason)) << c.name;
        EXPECT_EQ(reason, c.reason) << c.name;
    }
}

// Whatever was left at the temporary name (a FIFO, a link, an old half-written file)
// never blocks the write or leaks through it, and nothing stays behind.
TEST(SafeFile, ReplaceGoesThroughOneTemporaryNameAndLeavesNothing) {
    test::TempFolder dir;
    const std::string file = (dir.path() / "f.vlx").string();
    dir.Write("target", "keep");
    ASSERT_TRUE(ReplaceFile(file, "1"));
    EXPECT_EQ(dir.Read("f.vlx"), "1");

    dir.Write("f.vlx.tmp", "half a write from a killed run");
    ASSERT_TRUE(ReplaceFile(file, "2"));
    EXPECT_EQ(dir.Read("f.vlx"), "2");

    ASSERT_EQ(mkfifo((dir.path() / "f.vlx.tmp").c_str(), 0600), 0);
    EXPECT_FALSE(ReplaceFile(file, "3"));
    fs::create_symlink(dir.path() / "target", dir.path() / "f.vlx.tmp");
    EXPECT_FALSE(ReplaceFile(file, "4"));
    EXPECT_EQ(dir.Read("target"), "keep");
    EXPECT_EQ(dir.Read("f.vlx"), "2");
    EXPECT_TRUE(ReplaceFile(file, "5"));  // the failed attempts cleared the way
    EXPECT_EQ(dir.Read("f.vlx"), "5");
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().filename() == "f.vlx" || entry.path().filename() == "target")
            << entry.path();
}

}  // namespace
}  // namespace quorvel::sys
