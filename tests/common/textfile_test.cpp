#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "common/textfile.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

TEST(TextFile, WriteIsTextPlusCrLfReplacingTheFile) {
    test::TempFolder dir;
    const std::string path = dir.str() + "\\startmode.vlx";
    dir.Write("startmode.vlx", "a much longer old content\r\nwith two lines\r\n");
    WriteTextFile("13", path);
    EXPECT_EQ(dir.Read("startmode.vlx"), "13\r\n");
    WriteTextFile("", path);
    EXPECT_EQ(dir.Read("startmode.vlx"), "\r\n");
}

// A write that runs out of room (disk full, here a file-size limit of 3 bytes) must
// leave the old file as it was, not empty or cut to a different number.
TEST(TextFile, FailedWriteKeepsTheOldFile) {
    test::TempFolder dir;
    const std::string path = dir.str() + "\\mousesens.vlx";
    dir.Write("mousesens.vlx", "13\r\n");

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of killing us
    rlimit small = old;
    small.rlim_cur = 3;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    WriteTextFile("20000", path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(dir.Read("mousesens.vlx"), "13\r\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "mousesens.vlx");  // no half-written leftovers
}

TEST(TextFile, ReadGivesTheLastLine) {
    test::TempFolder dir;
    struct Case {
        const char* bytes;
        const char* text;
    };
    const Case cases[] = {
        {"1\r\n2\r\n3\r\n", "3"},  // several lines: only the last
        {"1\r\n2\r\n3", "3"},      // last line without line end
        {"hello world\r\n", "hello world"},
        {"", ""},            // empty file
        {"\r\n", ""},        // one empty line
        {"10\n20\n", "20"},  // bare line feeds
        {"x\r\n\r\n", ""},   // a last line that is empty
    };
    for (const Case& c : cases) {
        dir.Write("f.txt", c.bytes);
        EXPECT_EQ(ReadTextFile(dir.str() + "\\f.txt"), c.text) << '"' << c.bytes << '"';
    }
}

TEST(TextFile, RoundTripIsExact) {
    test::TempFolder dir;
    const std::string path = dir.str() + "\\x.txt";
    for (const std::string text : {"3.03", "Level", "  spaced  ", "-1", "\xe9t\xe9"}) {
        WriteTextFile(text, path);
        EXPECT_EQ(ReadTextFile(path), text);
    }
}

TEST(TextFile, MissingOrUnreadableFileGivesTheMessageWithThePathAsPassed) {
    test::TempFolder dir;
    const std::string missing = dir.str() + "\\nope\\gone.vlx";
    EXPECT_EQ(ReadTextFile(missing), "file missing or corrupt - " + missing);
    // A folder cannot be read as a file.
    dir.Write("folder/inner.txt", "x");
    const std::string folder = dir.str() + "\\folder";
    EXPECT_EQ(ReadTextFile(folder), "file missing or corrupt - " + folder);
}

// A FIFO, an endless device or a huge file would hang the game or fill its memory:
// each reads as a missing file, at once.
TEST(TextFile, SpecialAndOversizedFilesReadAsMissing) {
    test::TempFolder dir;
    ASSERT_EQ(mkfifo((dir.path() / "fifo.vlx").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.vlx");
    dir.Write("huge.vlx", "");
    std::filesystem::resize_file(dir.path() / "huge.vlx", std::uintmax_t(1) << 30);
    dir.Write("just.vlx", std::string(MaxTextFileBytes - 2, '1') + "\r\n");
    for (const char* name : {"fifo.vlx", "zero.vlx", "huge.vlx"}) {
        const std::string path = dir.str() + "\\" + name;
        std::string reason;
        EXPECT_EQ(ReadTextFile(path, &reason), "file missing or corrupt - " + path);
        EXPECT_FALSE(reason.empty()) << name;
    }
    EXPECT_EQ(ReadTextFile(dir.str() + "\\just.vlx").size(), MaxTextFileBytes - 2);
}

TEST(TextFile, WriteIntoMissingFolderIsIgnored) {
    test::TempFolder dir;
    WriteTextFile("1", dir.str() + "\\no\\such\\folder.vlx");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no"));
}

}  // namespace
}  // namespace quorvel
