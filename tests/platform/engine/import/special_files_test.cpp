#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/engine/image.h"
#include "platform/engine/import_3ds.h"
#include "platform/engine/md2.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// A FIFO with no writer, an endless device, a folder, or a file far larger than any
// model or picture: every reader refuses at once, without blocking or reading it.
TEST(SpecialFiles, EveryModelAndPictureReaderRefusesThem) {
    test::TempFolder dir;
    fs::create_directories(dir.path() / "in");
    ASSERT_EQ(mkfifo((dir.path() / "in/fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir.path() / "in/zero");
    fs::create_directories(dir.path() / "in/folder");
    {
        // Sparse: no disk space is used, yet its size is past every cap.
        dir.Write("in/huge", "");
        fs::resize_file(dir.path() / "in/huge", std::uintmax_t(1) << 32);
    }
    const std::pair<const char*, std::function<bool(const std::string&, std::string*)>> readers[] = {
        {"picture", [](const std::string& p, std::string* r) { return bool(LoadImageFile(p, r)); }},
        {"3ds", [](const std::string& p, std::string* r) { return bool(Load3ds(p, r)); }},
        {"md2", [](const std::string& p, std::string* r) { return bool(LoadMd2(p, r)); }},
    };
    for (const auto& [what, read] : readers)
        for (const char* name : {"fifo", "zero", "folder", "huge"}) {
            std::string reason;
            EXPECT_FALSE(read(dir.str() + "\\in\\" + name, &reason)) << what << " " << name;
            EXPECT_FALSE(reason.empty()) << what << " " << name;
        }
}

}  // namespace
}  // namespace quorvel
