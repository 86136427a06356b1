#pragma once
// The desktop shell: opening an address or a file, and starting a program.
// Neither waits for what it starts.

#include <string>
#include <vector>

namespace quorvel::sys {

// Opens a web address or a file with the user's preferred program (xdg-open).
bool OpenWithShell(const std::string& addressOrFile);

// Starts a program directly (no shell command line), with the given arguments,
// without waiting. False when it could not be started.
bool StartProgram(const std::string& program, const std::vector<std::string>& args = {});

}  // namespace quorvel::sys
