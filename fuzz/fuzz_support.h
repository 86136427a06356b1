#pragma once
// Shared bits of the fuzz targets: a scratch folder for readers that take a path, and
// a check that stops the run when a reader hands out something it must not.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

namespace quorvel::fuzz {

// A folder of this process's own, made once and kept for the run.
inline const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvel-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        static std::string made;
        made = pattern;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return pattern;
    }();
    return folder;
}

inline void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
}

// A broken promise of a reader is a finding like a crash.
inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "reader broke its promise: %s\n", what);
        std::abort();
    }
}

}  // namespace quorvel::fuzz
