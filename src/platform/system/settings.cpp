#include "platform/system/settings.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace quorvel::sys {
namespace fs = std::filesystem;
namespace {

using Section = std::vector<std::pair<std::string, std::string>>;
using Store = std::vector<std::pair<std::string, Section>>;

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

Store ReadStore(const std::string& path) {
    Store store;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            store.emplace_back(Trim(line.substr(1, line.size() - 2)), Section{});
            current = &store.back().second;
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || current == nullptr) continue;  // damaged line: skip it
        current->emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    return store;
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
    const Store store = ReadStore(SettingsFilePath(application));
    for (const auto& [name, entries] : store) {
        if (name != section) continue;
        for (const auto& [k, v] : entries)
            if (k == key) return v;
    }
    return defaultValue;
}

void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& value) {
    const std::string path = SettingsFilePath(application);
    Store store = ReadStore(path);
    Section* target = nullptr;
    for (auto& [name, entries] : store)
        if (name == section) target = &entries;
    if (!target) {
        store.emplace_back(section, Section{});
        target = &store.back().second;
    }
    bool replaced = false;
    for (auto& [k, v] : *target)
        if (k == key) v = value, replaced = true;
    if (!replaced) target->emplace_back(key, value);

    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const auto& [name, entries] : store) {
            out << '[' << name << "]\n";
            for (const auto& [k, v] : entries)
                out << k << '=' << v << '\n';
        }
        // Most of the data reaches the disk on close: a file not written whole never replaces the old one.
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return;
        }
    }
    fs::rename(temp, path, ec);
    if (ec) fs::remove(temp, ec);
}

}  // namespace quorvel::sys
