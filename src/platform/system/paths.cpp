#include "platform/system/paths.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quorvel::sys {
namespace fs = std::filesystem;
namespace {

std::string programFolderOverride;

std::string ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec).string();
    return exe.parent_path().string();
}

// The entry of `folder` whose name equals `name` without regard to case; an exact
// match wins. Empty when there is none.
std::string MatchComponent(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / name, ec)) return name;
    std::string found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (strcasecmp(candidate.c_str(), name.c_str()) == 0) {
            // Several case variants: take the first in name order, so the choice is stable.
            if (found.empty() || candidate < found) found = candidate;
        }
    }
    return found;
}

}  // namespace

std::string ProgramFolder() {
    if (!programFolderOverride.empty()) return programFolderOverride;
    static const std::string folder = ExecutableFolder();
    return folder;
}

void SetProgramFolder(const std::string& folder) {
    programFolderOverride = folder;
    while (programFolderOverride.size() > 1 && programFolderOverride.back() == '/')
        programFolderOverride.pop_back();
}

std::string ResolvePath(const std::string& windowsPath) {
    std::string p = windowsPath;
    std::replace(p.begin(), p.end(), '\\', '/');

    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find('/', start);
        if (end == std::string::npos) end = p.size();
        if (end > start) parts.push_back(p.substr(start, end - start));
        start = end + 1;
    }
    const bool absolute = !p.empty() && p.front() == '/';

    fs::path resolved = absolute ? fs::path("/") : fs::path();
    bool matching = true;  // once a component is missing, the rest cannot exist either
    for (const std::string& part : parts) {
        if (part == "." || part == "..") {
            resolved /= part;
            continue;
        }
        std::string name = part;
        if (matching) {
            const std::string match = MatchComponent(resolved.empty() ? fs::path(".") : resolved, part);
            if (match.empty())
                matching = false;
            else
                name = match;
        }
        resolved /= name;
    }
    return resolved.string();
}

bool FileExists(const std::string& windowsPath) {
    std::error_code ec;
    return fs::is_regular_file(ResolvePath(windowsPath), ec);
}

bool FolderExists(const std::string& windowsPath) {
    std::error_code ec;
    return fs::is_directory(ResolvePath(windowsPath), ec);
}

bool MakeFolder(const std::string& windowsPath) {
    std::error_code ec;
    const std::string path = ResolvePath(windowsPath);
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
}

std::vector<std::string> ListFiles(const std::string& windowsFolder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(ResolvePath(windowsFolder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace quorvel::sys
