#pragma once
// One-line text files: the settings files and the game texts.

#include <string>

namespace quorvel {

// Writes the text and a CR LF, replacing the file. Failures are ignored and leave
// the old file as it was.
void WriteTextFile(const std::string& text, const std::string& path);

// The last line of the file, without its line end; "" for an empty file; for a
// missing or unreadable file "file missing or corrupt - " followed by the path.
std::string ReadTextFile(const std::string& path);

}  // namespace quorvel
