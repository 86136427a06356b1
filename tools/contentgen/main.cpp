// Writes the game's content set into a program folder:
//   quorvel_contentgen <program folder> [--only <path>[,<path>...]]
// --only writes just the named inventory entries (paths as the game names them).

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "generate.h"
#include "inventory.h"

namespace fs = std::filesystem;
using namespace quorvel::content;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: quorvel_contentgen <program folder> [--only <path>[,<path>...]]\n");
    return 2;
}

// Whole files only: a run that stops half-way leaves no truncated file behind.
void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    const fs::path temp = file.string() + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + temp.string());
    }
    fs::rename(temp, file);
}

// The slow recipes start first so that the workers finish together.
int Cost(const ContentEntry& e) {
    if (e.recipe == "music" || e.recipe == "video") return 3;
    if (e.recipe == "explosion_atlas" || e.recipe == "shot_atlas8" || e.recipe == "sky") return 2;
    if (e.recipe == "voice") return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) return Usage();
    const fs::path root = argv[1];
    std::vector<const ContentEntry*> jobs;
    const auto& inventory = ContentInventory();
    if (argc == 4) {
        if (std::string(argv[2]) != "--only") return Usage();
        std::set<std::string> wanted;
        std::string list = argv[3];
        for (std::size_t start = 0; start <= list.size();) {
            const std::size_t comma = std::min(list.find(',', start), list.size());
            if (comma > start) wanted.insert(list.substr(start, comma - start));
            start = comma + 1;
        }
        for (const ContentEntry& e : inventory)
            if (wanted.erase(e.path)) jobs.push_back(&e);
        if (!wanted.empty()) {
            for (const std::string& w : wanted)
                std::fprintf(stderr, "quorvel_contentgen: not in the inventory: %s\n", w.c_str());
            return 2;
        }
    } else {
        for (const ContentEntry& e : inventory)
            jobs.push_back(&e);
    }
    std::stable_sort(jobs.begin(), jobs.end(),
                     [](const ContentEntry* a, const ContentEntry* b) { return Cost(*a) > Cost(*b); });

    const auto started = std::chrono::steady_clock::now();
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> bytes{0};
    std::mutex failuresLock;
    std::vector<std::string> failures;
    auto work = [&]() {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            const ContentEntry& e = *jobs[i];
            try {
                const std::string data = Generate(e);
                WriteFile(root / DiskPath(e.path), data);
                bytes += data.size();
            } catch (const std::exception& ex) {
                std::lock_guard<std::mutex> lock(failuresLock);
                failures.push_back(e.path + ": " + ex.what());
            }
        }
    };
    const unsigned workers = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < workers; ++t)
        threads.emplace_back(work);
    for (std::thread& t : threads)
        t.join();

    for (const std::string& f : failures)
        std::fprintf(stderr, "quorvel_contentgen: %s\n", f.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("quorvel_contentgen: %zu of %zu files, %.1f MB, %.1f s\n", jobs.size() - failures.size(),
                jobs.size(), double(bytes) / 1e6, seconds);
    return failures.empty() ? 0 : 1;
}
