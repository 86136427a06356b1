#pragma once
// One-line text files: the settings files and the game texts.

#include <cstddef>
#include <string>

namespace quorvel {

// Writes the text and a CR LF, replacing the file. Failures are ignored and leave
// the old file as it was.
void WriteTextFile(const std::string& text, const std::string& path);

// A text file larger than this is damaged: these files hold a line or a few.
inline constexpr std::size_t MaxTextFileBytes = 64 * 1024;

// The last line of the file, without its line end; "" for an empty file; for a
// missing, unreadable or oversized file, or anything but a regular file, "file
// missing or corrupt - " followed by the path (and the reason in `reason` when given).
std::string ReadTextFile(const std::string& path, std::string* reason = nullptr);

}  // namespace quorvel
