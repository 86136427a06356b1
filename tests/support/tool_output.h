#pragma once
// What an outside program (djpeg, ImageMagick, sox, ffmpeg) writes to its standard
// output: the tests compare the readers with the tools that wrote their files.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace quorvel::test {

// The file kept in the corpus of other programs' files (fuzz/corpus/).
inline std::filesystem::path CorpusFile(const std::string& relative) {
    return std::filesystem::path(QUORVEL_SOURCE_DIR) / "fuzz" / "corpus" / relative;
}

// The standard output of a shell command; empty when it could not run or failed.
inline std::optional<std::string> ToolOutput(const std::string& command) {
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return out;
}

}  // namespace quorvel::test
