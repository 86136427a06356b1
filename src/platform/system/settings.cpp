#include "platform/system/settings.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/system/safe_file.h"

namespace quorvel::sys {
namespace fs = std::filesystem;
namespace {

// A settings file holds a few lines; anything much larger is not one.
constexpr std::size_t kMaxStoreBytes = 1024 * 1024;

// One line of a section: a key and its value, or any other line kept as it was
// (comments, blank lines, lines that make no sense), so a rewrite loses nothing.
struct Line {
    bool isPair = false;
    std::string key, value;
    std::string raw;
};

struct Section {
    std::string name;  // "" for the lines before the first section
    std::vector<Line> lines;
};

struct Store {
    std::vector<Section> sections;  // one per name

    Section* Find(const std::string& name) {
        for (Section& s : sections)
            if (s.name == name) return &s;
        return nullptr;
    }
};

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// A section named twice becomes one (its later lines join the first), and a key set
// twice keeps its last value, so what is read is what the next write changes.
Store ParseStore(std::string data) {
    if (data.starts_with("\xEF\xBB\xBF")) data.erase(0, 3);
    Store store;
    store.sections.push_back({});
    Section* current = &store.sections.back();
    for (const std::string& rawLine : SplitLines(data)) {
        const std::string line = Trim(rawLine);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string name = Trim(line.substr(1, line.size() - 2));
            current = store.Find(name);
            if (!current) {
                store.sections.push_back({name, {}});
                current = &store.sections.back();
            }
            continue;
        }
        const size_t eq = line.find('=');
        const bool comment = line.empty() || line[0] == ';' || line[0] == '#';
        if (comment || eq == std::string::npos || current->name.empty()) {
            current->lines.push_back({false, {}, {}, rawLine});
            continue;
        }
        Line pair{true, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), {}};
        bool replaced = false;
        for (Line& l : current->lines)
            if (l.isPair && l.key == pair.key) l.value = pair.value, replaced = true;
        if (!replaced) current->lines.push_back(std::move(pair));
    }
    return store;
}

// The store in the file; empty for a missing file; nothing for a file that is there
// but cannot be read as a store (a FIFO, a device, a huge file), which is never replaced.
std::optional<Store> ReadStore(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return Store{};
    const auto bytes = ReadRegularFile(path, kMaxStoreBytes);
    if (!bytes) return std::nullopt;
    return ParseStore(*bytes);
}

std::string Format(const Store& store) {
    std::string out;
    for (const Section& s : store.sections) {
        if (!s.name.empty()) out += '[' + s.name + "]\n";
        for (const Line& l : s.lines)
            out += (l.isPair ? l.key + '=' + l.value : l.raw) + '\n';
    }
    return out;
}

}  // namespace

std::string SettingsFilePath(const std::string& application) {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        base = ".config";
    }
    return base + "/" + application + "/settings.ini";
}

std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    std::optional<Store> store = ReadStore(SettingsFilePath(application));
    if (!store) return defaultValue;
    if (const Section* s = store->Find(section); s && !section.empty())
        for (const Line& l : s->lines)
            if (l.isPair && l.key == key) return l.value;
    return defaultValue;
}

void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& value) {
    const std::string path = SettingsFilePath(application);
    // A file the player made read-only keeps its values; they are still read.
    if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) return;
    std::optional<Store> store = ReadStore(path);
    if (!store || section.empty()) return;

    Section* target = store->Find(section);
    if (!target) {
        store->sections.push_back({section, {}});
        target = &store->sections.back();
    }
    Line* entry = nullptr;
    for (Line& l : target->lines)
        if (l.isPair && l.key == key) entry = &l;
    if (entry && entry->value == value) return;  // unchanged: the file stays as it is
    if (entry) {
        entry->value = value;
    } else {
        target->lines.push_back({true, key, value, {}});
    }

    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    RemoveReplaceLeftovers(path);
    ReplaceFile(path, Format(*store));
}

}  // namespace quorvel::sys
