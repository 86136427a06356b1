#include "platform/system/process.h"

#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/clock.h"

namespace quorvel::sys {
namespace {

std::function<void()> pumpHook;
std::function<void()> idleHook;
std::vector<std::function<void()>> endHooks;
bool endThrows = false;

// Set by a signal handler: an end asked for from outside, and by whom.
volatile sig_atomic_t requestedSignal = 0;
volatile sig_atomic_t requestingProcess = 0;

// Programs started through the shell are never waited for; reap them here so
// they do not linger as zombies.
void ReapChildren() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

// The source file from the project's root on: the build maps the root away, and a
// compiler cache may still hand relative paths.
std::string_view ShortFileName(std::string_view file) {
    while (file.starts_with("../"))
        file.remove_prefix(3);
    return file;
}

void Say(const std::string& what) {
    std::fputs((std::string(program_invocation_short_name) + ": " + what + "\n").c_str(), stderr);
}

void SayWhyTheProcessEnds(int exitCode, std::string_view why, const CallSite& where) {
    // An end the player chose reads as what it is; the caller's place is kept for the
    // ends nobody chose, which someone will want to trace.
    if (exitCode == 0 && !why.empty()) {
        Say(std::string(why) + "; ends with status 0");
        return;
    }
    std::string line = "ends with status " + std::to_string(exitCode);
    if (!why.empty()) line += std::string(": ") + std::string(why);
    line += std::string(" (") + where.function + ", " + std::string(ShortFileName(where.file)) + ":" +
            std::to_string(where.line) + ")";
    Say(line);
}

void RunEndHooks() {
    auto hooks = std::move(endHooks);
    endHooks.clear();
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
        (*it)();
}

// The end asked for by a signal: the end hooks put the display back as any end does,
// then the signal ends the program, so whoever sent it sees it did.
[[noreturn]] void EndOnRequestedSignal(int sig, int sender) {
    const char* name = sigabbrev_np(sig);
    const char* description = sigdescr_np(sig);
    Say("ends on signal " + std::to_string(sig) + " (SIG" + (name ? name : "?") + ", " +
        (description ? description : "unknown") + ") sent by process " + std::to_string(sender));
    RunEndHooks();
    if (endThrows) throw ProcessEnded(128 + sig);
    std::fflush(nullptr);
    signal(sig, SIG_DFL);
    raise(sig);
    std::_Exit(128 + sig);
}

}  // namespace

void PumpMessages() {
    if (const int sig = requestedSignal) {
        requestedSignal = 0;
        EndOnRequestedSignal(sig, requestingProcess);
    }
    ReapChildren();
    if (pumpHook) pumpHook();
}

void SetPumpHook(std::function<void()> hook) {
    pumpHook = std::move(hook);
}

void IdleWait() {
    PumpMessages();
    if (idleHook) {
        idleHook();
    } else if (VirtualClockActive()) {
        AdvanceVirtualClock(1.0 / 60.0);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void SetIdleHook(std::function<void()> hook) {
    idleHook = std::move(hook);
}

void EndProcess(int exitCode, std::string_view why, CallSite where) {
    SayWhyTheProcessEnds(exitCode, why, where);
    RunEndHooks();
    if (endThrows) throw ProcessEnded(exitCode);
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void EndProcessWithoutHooks(int exitCode, std::string_view why, CallSite where) {
    SayWhyTheProcessEnds(exitCode, why, where);
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void AtProcessEnd(std::function<void()> hook) {
    endHooks.push_back(std::move(hook));
}

void SetEndThrows(bool throws) {
    endThrows = throws;
}

void RequestEndBySignal(int sig, int sender) {
    requestingProcess = sender;
    requestedSignal = sig;
}

}  // namespace quorvel::sys
