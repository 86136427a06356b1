// The direction of the code: game code -> platform -> back ends. Only the back ends
// (src/platform/sdl, al, ff) and the program's start-up include the libraries they
// wrap; <GL/...>, <AL/...> and <libav...> are on the system include path, so the
// compiler alone would let a stray include through.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// Folders that run on the null back ends: the platform's own layer and every game folder.
const char* const CheckedFolders[] = {
    "src/platform/engine", "src/platform/sound",  "src/platform/media",
    "src/platform/forms",  "src/platform/system", "src/common",
    "src/audio",           "src/shell",           "src/game",
    "src/assets",          "src/combat",
};

// SDL, OpenGL (and epoxy), OpenAL, ffmpeg, fluidsynth, Dear ImGui, and our own back ends.
bool IncludesABackEnd(const std::string& line) {
    static const std::regex include(
        R"re(^\s*#\s*include\s*[<"]\s*(SDL|GL/|epoxy/|AL/|libav|libsw|fluidsynth|imgui|backends/imgui|platform/(sdl|al|ff)/))re");
    return std::regex_search(line, include);
}

TEST(IncludeRules, TheCheckKnowsEveryBackEndHeader) {
    const struct {
        const char* line;
        bool backEnd;
    } cases[] = {
        {"#include <SDL.h>", true},
        {"#include <SDL2/SDL_video.h>", true},
        {"#include <GL/gl.h>", true},
        {"#include <epoxy/gl.h>", true},
        {"#include <AL/alc.h>", true},
        {"#include <libavformat/avformat.h>", true},
        {"#include <libswresample/swresample.h>", true},
        {"#include <fluidsynth.h>", true},
        {"#include <imgui.h>", true},
        {"#include \"imgui_internal.h\"", true},
        {"#include <backends/imgui_impl_opengl3.h>", true},
        {"#include \"platform/sdl/window.h\"", true},
        {"  #  include <GL/glext.h>", true},
        {"#include \"platform/engine/engine.h\"", false},
        {"#include <algorithm>", false},
        {"// #include <SDL.h> stays out of here", false},
        {"const char* name = \"SDL\";", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IncludesABackEnd(c.line), c.backEnd) << c.line;
}

TEST(IncludeRules, NoBackEndIncludeAboveTheBackEnds) {
    const fs::path root = QUORVEL_SOURCE_DIR;
    std::vector<std::string> found;
    for (const char* folder : CheckedFolders) {
        SCOPED_TRACE(folder);
        // A folder that moved would otherwise pass unseen.
        ASSERT_TRUE(fs::is_directory(root / folder));
        int files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (!entry.is_regular_file()) continue;
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                if (IncludesABackEnd(line))
                    found.push_back(fs::relative(entry.path(), root).string() + ":" + std::to_string(number) +
                                    ": " + line);
            }
        }
        EXPECT_GT(files, 0);
    }
    for (const std::string& f : found)
        ADD_FAILURE() << f;
}

}  // namespace
}  // namespace quorvel
