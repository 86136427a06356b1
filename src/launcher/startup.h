#pragma once
// The launcher: starts the game from its own folder, waits one second while
// pumping messages, and ends. It shows no window.

namespace quorvel::Startup {

// Does all of the launcher's work and ends the process.
[[noreturn]] void Form_Load();

}  // namespace quorvel::Startup
