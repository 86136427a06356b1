#include "platform/system/process.h"

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

void EndProcess(int exitCode) {
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
