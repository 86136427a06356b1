// The frame log: its lines, and when each milestone is stamped.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/frame_log.h"
#include "support/temp_folder.h"

namespace quorvel::sys {
namespace {

struct Line {
    std::string kind, name;  // name: an event's; a frame's number as text
    double a = -1, b = -1;   // frame: wall ms, cpu ms; event: seconds
};

// Every line of the log, read the way a player's report is read back; a line of any
// other shape fails the test.
std::vector<Line> ReadLog(const test::TempFolder& folder) {
    std::istringstream in(folder.Read("frames.log"));
    std::vector<Line> lines;
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        Line line;
        fields >> line.kind >> line.name >> line.a;
        if (line.kind == "frame") fields >> line.b;
        std::string rest;
        EXPECT_TRUE(!fields.fail() && !(fields >> rest) && (line.kind == "frame" || line.kind == "event"))
            << "\"" << text << "\"";
        lines.push_back(line);
    }
    return lines;
}

TEST(FrameLog, WritesAFrameLinePerFrameShownAndEachMilestoneWhereItIsReached) {
    test::TempFolder folder;
    ASSERT_TRUE(OpenFrameLog((folder.path() / "frames.log").string()));
    FrameBegun();
    FrameShown();
    FrameLogEvent("logo-waits-done");
    FrameLogEventOnNextFrame("menu-first-frame");
    FrameBegun();  // only the first frame counts from its beginning
    FrameShown();
    FrameLogPress();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the log counts microseconds
    FrameLogEvent("between");
    FrameLogEventAtLastPress("load-key");
    OpenFrameLog("");

    const std::vector<Line> lines = ReadLog(folder);
    ASSERT_EQ(lines.size(), 6u);
    const struct {
        const char* kind;
        const char* name;
    } expected[] = {{"frame", "1"},       {"event", "logo-waits-done"},
                    {"frame", "2"},       {"event", "menu-first-frame"},
                    {"event", "between"}, {"event", "load-key"}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].kind, expected[i].kind) << i;
        EXPECT_EQ(lines[i].name, expected[i].name) << i;
        if (lines[i].kind == "frame") {
            EXPECT_TRUE(lines[i].a >= 0 && lines[i].b >= 0) << i;
        }
    }
    EXPECT_LT(lines[1].a, lines[3].a) << "stamped when the next frame was shown, not when asked for";
    EXPECT_LT(lines[5].a, lines[4].a) << "the press came before the line that names it";
}

// Each test runs in a process of its own, so this is the log's first call.
TEST(FrameLog, TheEnvironmentNamesTheFileAndAFileThatCannotBeWrittenIsSaid) {
    test::TempFolder folder;
    setenv("QUORVEL_FRAME_LOG", (folder.path() / "frames.log").string().c_str(), 1);
    FrameBegun();
    FrameShown();
    OpenFrameLog("");
    ASSERT_EQ(ReadLog(folder).size(), 1u);
    EXPECT_EQ(ReadLog(folder)[0].kind, "frame");

    EXPECT_FALSE(OpenFrameLog((folder.path() / "no such folder" / "frames.log").string()));
}

}  // namespace
}  // namespace quorvel::sys
