#pragma once
// Message pump, idle waits and process end.
//
// The back end (or a test harness) installs the hooks; game code only calls
// PumpMessages(), IdleWait() and EndProcess().

#include <functional>
#include <stdexcept>
#include <string_view>

namespace quorvel::sys {

// Thrown by EndProcess() while ending is set to throw (tests), so a test can run
// a screen that never returns and catch its end.
struct ProcessEnded : std::runtime_error {
    explicit ProcessEnded(int exitCode) : std::runtime_error("process ended"), code(exitCode) {}
    int code;
};

// Polls window events, feeds input, lets modal forms and timers run. A request to
// close the window ends the program (the hook calls EndProcess()), as does an end
// requested by a signal.
void PumpMessages();
void SetPumpHook(std::function<void()> hook);

// One pass of a timed wait: pumps messages, then gives the processor away briefly
// (or, under the virtual clock, moves time on) so a wait never spins a core.
void IdleWait();
void SetIdleHook(std::function<void()> hook);

// Ends the program at once. Hooks registered with AtProcessEnd run first (they
// restore the display and the like); no other clean-up runs. One line on stderr says
// why and the status, so no end of the program goes unexplained: a normal end (status 0
// with a reason) in plain words, any other end with the place it was asked for.
// Where a call came from: made as a default argument, the builtins name the caller's
// place (std::source_location is missing from the fuzz build's compiler).
struct CallSite {
    constexpr CallSite(const char* fileName = __builtin_FILE(), unsigned lineNumber = __builtin_LINE(),
                       const char* functionName = __builtin_FUNCTION())
        : file(fileName), line(lineNumber), function(functionName) {}
    const char* file;
    unsigned line;
    const char* function;
};

[[noreturn]] void EndProcess(int exitCode = 0, std::string_view why = {}, CallSite where = {});
// The same line, then the end at once, without the end hooks and without throwing: for
// an end where the hooks cannot run (the display's connection is gone).
[[noreturn]] void EndProcessWithoutHooks(int exitCode, std::string_view why, CallSite where = {});
void AtProcessEnd(std::function<void()> hook);
void SetEndThrows(bool throws);

// An end asked for from outside (SIGINT, SIGTERM, SIGHUP), noted from a signal handler
// (this only stores two numbers). The next PumpMessages() says so, runs the end hooks
// and ends the program by that signal.
void RequestEndBySignal(int sig, int sender);

}  // namespace quorvel::sys
