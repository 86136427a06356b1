#pragma once
// The per-user settings store: $XDG_CONFIG_HOME/<application>/settings.ini
// (~/.config when XDG_CONFIG_HOME is unset), with [sections] and key=value lines.
// A damaged file reads as whatever lines still make sense; lines end in CR LF, LF or
// CR, and a leading UTF-8 byte-order mark is skipped. A section named twice counts as
// one, and the last value of a key wins. Writing keeps comments and every other line,
// happens only when a value changes, never touches a read-only file or one that is not
// a regular file, and replaces the file in one rename, so a crash never leaves half a file.

#include <string>

namespace quorvel::sys {

std::string GetSetting(const std::string& application, const std::string& section, const std::string& key,
                       const std::string& defaultValue);
void SaveSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& value);

// Where the store of an application lies.
std::string SettingsFilePath(const std::string& application);

}  // namespace quorvel::sys
