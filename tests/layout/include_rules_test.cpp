// The direction of the code: game code -> platform -> back ends. Only the back ends
// (src/platform/sdl, al, ff) and the program's start-up include the libraries they
// wrap; <GL/...>, <AL/...> and <libav...> are on the system include path, so the
// compiler alone would let a stray include through. And the game folders meet only
// through their service headers and the shared state, each calling only the folders
// below it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

// From the bottom up: each folder may include only the folders before it.
const char* const GameFolders[] = {"common", "audio", "assets", "combat", "game", "shell"};
const char* const PlatformFolders[] = {"platform/engine", "platform/sound", "platform/media",
                                       "platform/forms", "platform/system"};

// SDL, OpenGL (and epoxy), OpenAL, ffmpeg, fluidsynth, Dear ImGui, and our own back ends.
bool IncludesABackEnd(const std::string& line) {
    static const std::regex include(
        R"re(^\s*#\s*include\s*[<"]\s*(SDL|GL/|epoxy/|AL/|libav|libsw|fluidsynth|imgui|backends/imgui|platform/(sdl|al|ff)/))re");
    return std::regex_search(line, include);
}

// A game folder's header that a file of the game folder `from` may not include: one
// of another game folder's own headers other than its service header ("combat/combat.h")
// and the shared state (the engine handles, the game texts, the records in world.h).
bool ReachesPastAServiceHeader(const std::string& from, const std::string& line) {
    static const std::regex include(R"re(^\s*#\s*include\s*"(\w+)/(\w+)\.h")re");
    std::smatch m;
    if (!std::regex_search(line, m, include) || m[1] == from) return false;
    const std::string folder = m[1], header = m[2];
    if (std::find(std::begin(GameFolders), std::end(GameFolders), folder) == std::end(GameFolders))
        return false;
    const std::string path = folder + "/" + header + ".h";
    return header != folder && path != "common/engine_objects.h" && path != "common/texts.h" &&
           path != "common/world.h";
}

// The game folder an include line of the folder `from` reaches above itself, or "".
std::string FolderAbove(const std::string& from, const std::string& line) {
    static const std::regex include(R"re(^\s*#\s*include\s*"(\w+)/)re");
    std::smatch m;
    if (!std::regex_search(line, m, include)) return "";
    const auto rank = [](const std::string& folder) {
        return std::find(std::begin(GameFolders), std::end(GameFolders), folder) - std::begin(GameFolders);
    };
    const auto to = rank(m[1]);
    return to < std::ssize(GameFolders) && to > rank(from) ? std::string(m[1]) : "";
}

// Calls `check` with every line of every file under src/<folder>; fails for a folder
// that is missing or empty, which would otherwise pass unseen.
void EachLine(const std::string& folder,
              const std::function<void(const std::string& where, const std::string& line)>& check) {
    const fs::path root = fs::path(QUORVEL_SOURCE_DIR) / "src";
    SCOPED_TRACE(folder);
    ASSERT_TRUE(fs::is_directory(root / folder));
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            if (line.find("include") != std::string::npos)
                check("src/" + fs::relative(entry.path(), root).string() + ":" + std::to_string(number),
                      line);
    }
    EXPECT_GT(files, 0);
}

TEST(IncludeRules, TheChecksKnowWhatTheyLookFor) {
    const struct {
        const char* line;
        bool backEnd;
    } backEnds[] = {
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
    for (const auto& c : backEnds)
        EXPECT_EQ(IncludesABackEnd(c.line), c.backEnd) << c.line;

    const struct {
        const char* from;
        const char* line;
        bool past;
    } services[] = {
        {"game", "#include \"shell/loading_screen.h\"", true},
        {"combat", "#include \"assets/explosions.h\"", true},
        {"shell", "#include \"common/textfile.h\"", true},
        {"game", "#include \"shell/shell.h\"", false},
        {"combat", "#include \"common/common.h\"", false},
        {"assets", "#include \"common/engine_objects.h\"", false},
        {"combat", "#include \"common/world.h\"", false},
        {"combat", "#include \"game/state.h\"", true},
        {"shell", "#include \"shell/main_menu.h\"", false},
        {"game", "#include \"platform/engine/engine.h\"", false},
    };
    for (const auto& c : services)
        EXPECT_EQ(ReachesPastAServiceHeader(c.from, c.line), c.past) << c.from << ": " << c.line;

    const struct {
        const char* from;
        const char* line;
        const char* above;
    } directions[] = {
        {"combat", "#include \"game/game.h\"", "game"},
        {"assets", "#include \"combat/combat.h\"", "combat"},
        {"common", "#include \"shell/shell.h\"", "shell"},
        {"game", "#include \"combat/combat.h\"", ""},
        {"shell", "#include \"game/game.h\"", ""},
        {"combat", "#include \"combat/combat.h\"", ""},
        {"assets", "#include \"platform/engine/engine.h\"", ""},
        {"combat", "#include <string>", ""},
    };
    for (const auto& c : directions)
        EXPECT_EQ(FolderAbove(c.from, c.line), c.above) << c.from << ": " << c.line;
}

TEST(IncludeRules, NoBackEndIncludeAboveTheBackEnds) {
    std::vector<const char*> folders(std::begin(PlatformFolders), std::end(PlatformFolders));
    folders.insert(folders.end(), std::begin(GameFolders), std::end(GameFolders));
    for (const char* folder : folders) {
        EachLine(folder, [](const std::string& where, const std::string& line) {
            if (IncludesABackEnd(line)) ADD_FAILURE() << where << ": " << line;
        });
    }
}

TEST(IncludeRules, GameFoldersMeetThroughTheirServiceHeaders) {
    for (const std::string folder : GameFolders) {
        EachLine(folder, [&](const std::string& where, const std::string& line) {
            if (ReachesPastAServiceHeader(folder, line)) ADD_FAILURE() << where << ": " << line;
        });
    }
}

TEST(IncludeRules, GameFoldersIncludeOnlyTheFoldersBelowThem) {
    for (const std::string folder : GameFolders) {
        EachLine(folder, [&](const std::string& where, const std::string& line) {
            if (!FolderAbove(folder, line).empty()) ADD_FAILURE() << where << ": " << line;
        });
    }
}

}  // namespace
}  // namespace quorvel
