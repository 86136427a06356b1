#pragma once
// Whole-file reads and writes on files that a player could have swapped for something else.
//
// Only a regular file is read: a FIFO, a device, a socket or a folder (also behind a
// symbolic link) is refused without blocking, and so is a file larger than the cap
// the caller gives, before anything is allocated for it.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::sys {

// The bytes of the regular file at the real path `path`, at most `maxBytes` of them;
// empty on any failure, with a short reason in `reason` when one is passed.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes,
                                           std::string* reason = nullptr);

// Replaces the file at the real path `path` with `bytes` through a temporary file
// beside it ("<path>.tmp", one name, so a write that is killed leaves no more than one
// behind, and the next write reuses it), renamed over the file once written whole.
// False, leaving the old file as it was, when anything fails.
bool ReplaceFile(const std::string& path, const std::string& bytes);

// Removes the temporary files that writes of the file at `path` killed midway left
// beside it: "<name>.tmp" followed by anything, regular files only.
void RemoveReplaceLeftovers(const std::string& path);

// Sets `*reason` when there is one to set; always false, so a reader can return it.
inline bool Fail(std::string* reason, const char* why) {
    if (reason) *reason = why;
    return false;
}

// The lines of a text: they end in CR LF, LF or a lone CR, and a line end at the very
// end starts no further line.
std::vector<std::string> SplitLines(const std::string& data);

}  // namespace quorvel::sys
