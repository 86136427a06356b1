// Reading files ahead: a load finds the file read ahead, and gives what reading it
// then would have given, damaged and missing files included.

#include "platform/engine/prefetch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/engine/fixtures.h"
#include "platform/engine/image.h"
#include "platform/engine/import_3ds.h"
#include "platform/engine/resources.h"
#include "platform/system/paths.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

TEST(Prefetch, LoadsGiveWhatReadingTheFileWouldHaveGiven) {
    test::TempFolder folder;
    folder.Write("tex/red.bmp", test::SolidBmp(4, 2, 200, 10, 10));
    folder.Write("tex/Blue.bmp", test::SolidBmp(2, 2, 0, 0, 90));
    folder.Write("tex/cut.bmp", test::SolidBmp(4, 4, 1, 2, 3).substr(0, 70));
    folder.Write("tex/notes.txt", "not a picture");
    folder.Write("mesh/box.3ds", test::Box3ds(-1, -1, -1, 1, 2, 3));
    folder.Write("mesh/cut.3ds", test::Box3ds(0, 0, 0, 1, 1, 1).substr(0, 40));
    const std::string root = folder.str();
    engine::PrefetchFiles({root + "\\tex\\red.bmp", root + "\\tex\\blue.BMP", root + "\\tex\\cut.bmp",
                           root + "\\tex\\notes.txt", root + "\\tex\\missing.bmp", root + "\\mesh\\box.3ds",
                           root + "\\mesh\\cut.3ds"});
    engine::FinishPrefetching();

    // Loaded under each flag, the way the engine's pools load them, against the
    // file decoded here and now.
    const struct {
        const char* path;
        int flag;
    } pictures[] = {{"\\tex\\red.bmp", 1},
                    {"\\tex\\blue.BMP", 0},
                    {"\\tex\\cut.bmp", 0},
                    {"\\tex\\missing.bmp", 0},
                    {"\\tex\\notes.txt", 0}};
    std::vector<std::shared_ptr<const engine::Picture>> held;
    for (const auto& c : pictures) {
        SCOPED_TRACE(c.path);
        std::string reason, directReason;
        auto picture = engine::LoadPicture(root + c.path, c.flag, &reason);
        const std::optional<ImageData> direct = LoadImageFile(root + c.path, &directReason);
        ASSERT_EQ(picture != nullptr, direct.has_value());
        EXPECT_EQ(reason, directReason);
        if (!picture) continue;
        EXPECT_EQ(picture->width, direct->width);
        EXPECT_EQ(picture->height, direct->height);
        ASSERT_EQ(picture->rgba.size(), direct->rgba.size());
        EXPECT_EQ(picture->rgba[0], direct->rgba[0]);
        // Flag 1: an opaque picture takes its alpha from its brightness.
        EXPECT_EQ(picture->rgba[3], c.flag == 1 ? direct->rgba[0] : 255);
        held.push_back(picture);
    }
    for (const char* path : {"\\mesh\\box.3ds", "\\mesh\\cut.3ds"}) {
        SCOPED_TRACE(path);
        std::string reason, directReason;
        auto model = engine::LoadModelFile(root + path, &reason);
        const std::optional<MeshData> direct = Load3ds(root + path, &directReason);
        ASSERT_EQ(model != nullptr, direct.has_value());
        EXPECT_EQ(reason, directReason);
        if (model) {
            ASSERT_EQ(model->positions.size(), direct->positions.size());
            EXPECT_EQ(model->boundsMax.y, direct->boundsMax.y);
        }
    }

    // What was read ahead is what a load gets; once let go, the file is read again.
    folder.Write("tex/red.bmp", test::SolidBmp(4, 2, 0, 250, 0));
    engine::PrefetchFiles({root + "\\tex\\red.bmp"});
    engine::FinishPrefetching();
    folder.Write("tex/red.bmp", test::SolidBmp(4, 2, 0, 0, 250));
    auto early = engine::LoadPicture(root + "\\tex\\red.bmp", 0);
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(early->rgba[1], 250) << "the green read ahead";
    early.reset();
    engine::PrefetchFiles({root + "\\tex\\red.bmp"});
    engine::DropPrefetched();
    auto late = engine::LoadPicture(root + "\\tex\\red.bmp", 0);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->rgba[2], 250) << "the blue on disk";
}

// Loads that overtake the reading: each gets its file, read ahead or read itself.
TEST(Prefetch, LoadsRightAfterTheRequestGetEveryFile) {
    test::TempFolder folder;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        folder.Write("tex/p" + std::to_string(i) + ".bmp", test::SolidBmp(64, 64, std::uint8_t(i), 0, 0));
        paths.push_back(folder.str() + "\\tex\\p" + std::to_string(i) + ".bmp");
    }
    engine::PrefetchFiles(paths);
    for (int i = 39; i >= 0; --i) {
        auto picture = engine::LoadPicture(paths[std::size_t(i)], 0);
        ASSERT_NE(picture, nullptr) << i;
        EXPECT_EQ(picture->rgba[0], i);
    }
    engine::DropPrefetched();
}

}  // namespace
}  // namespace quorvel
