#pragma once
// Puts a stand-in "xdg-open" first on PATH that writes down what it is asked to
// open, so tests can check what would open in the user's browser without opening it.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace quorvel::test {

class ShellRecorder {
  public:
    ShellRecorder() : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        const auto script = folder_.path() / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << Log() << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        setenv("PATH", (folder_.str() + ":" + oldPath_).c_str(), 1);
    }
    ~ShellRecorder() { setenv("PATH", oldPath_.c_str(), 1); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    // What was opened so far, waiting up to five seconds for at least `count` entries.
    std::vector<std::string> Opened(size_t count = 0) const {
        std::vector<std::string> lines;
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            lines.clear();
            std::ifstream in(Log());
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            if (lines.size() >= count || std::chrono::steady_clock::now() > give_up) return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

  private:
    std::string Log() const { return (folder_.path() / "opened.log").string(); }
    TempFolder folder_;
    std::string oldPath_;
};

}  // namespace quorvel::test
