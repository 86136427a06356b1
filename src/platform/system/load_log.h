#pragma once
// The debug log of files that failed to load (or loaded despite damage): one line per
// load appended to the file that the environment variable QUORVEL_LOAD_LOG names, or
// to stderr when it says "stderr". Nothing is written when it is unset.

#include <string>

namespace quorvel::sys {

// Appends `line` and a line end to the log, when there is one.
void AppendToLoadLog(const std::string& line);

}  // namespace quorvel::sys
