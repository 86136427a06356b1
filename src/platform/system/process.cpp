#include "platform/system/process.h"

#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// Programs started through the shell are never waited for; reap them here so
// they do not linger as zombies.
void ReapChildren() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

// "EndGame" from "void quorvel::{anonymous}::EndGame()", "Form::Exit_Click" from
// "void quorvel::Form::Exit_Click()": the caller's name without return type,
// parameters and the program's own namespaces.
std::string ShortFunctionName(std::string name) {
    const auto open = name.find('(');
    if (open != std::string::npos) name.erase(open);
    const auto space = name.rfind(' ');
    if (space != std::string::npos) name.erase(0, space + 1);
    for (const std::string prefix : {"quorvel::", "{anonymous}::", "(anonymous namespace)::"}) {
        for (auto at = name.find(prefix); at != std::string::npos; at = name.find(prefix))
            name.erase(at, prefix.size());
    }
    return name;
}

// The source file from the project's own folders on, wherever the build ran.
std::string_view ShortFileName(std::string_view file) {
    const auto src = file.rfind("src/");
    return src == std::string_view::npos ? file : file.substr(src);
}

void SayWhyTheProcessEnds(int exitCode, std::string_view why, const std::source_location& where) {
    std::string line =
        std::string(program_invocation_short_name) + ": ends with status " + std::to_string(exitCode);
    if (!why.empty()) line += std::string(": ") + std::string(why);
    line += std::string(" (") + ShortFunctionName(where.function_name()) + ", " +
            std::string(ShortFileName(where.file_name())) + ":" + std::to_string(where.line()) + ")\n";
    std::fputs(line.c_str(), stderr);
}

}  // namespace

void PumpMessages() {
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

void EndProcess(int exitCode, std::string_view why, std::source_location where) {
    SayWhyTheProcessEnds(exitCode, why, where);
    auto hooks = std::move(endHooks);
    endHooks.clear();
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
        (*it)();
    if (endThrows) throw ProcessEnded(exitCode);
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void AtProcessEnd(std::function<void()> hook) {
    endHooks.push_back(std::move(hook));
}

void SetEndThrows(bool throws) {
    endThrows = throws;
}

}  // namespace quorvel::sys
