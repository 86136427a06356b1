#include "platform/system/frame_log.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quorvel::sys {
namespace {

double Seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct FrameLog {
    std::FILE* file = nullptr;
    bool configured = false;
    long long frames = 0;
    bool haveLast = false;  // a frame was shown or begun since the log opened
    double lastWall = 0;
    double lastCpu = 0;
    double lastPress = -1;
    std::vector<std::string> onNextFrame;

    ~FrameLog() { Close(); }
    void Close() {
        if (file) std::fclose(file);
        file = nullptr;
    }
};

FrameLog& Log() {
    static FrameLog log;
    return log;
}

FrameLog& Configured() {
    FrameLog& log = Log();
    if (!log.configured) {
        log.configured = true;
        if (const char* path = std::getenv("QUORVEL_FRAME_LOG"); path && *path) OpenFrameLog(path);
    }
    return log;
}

}  // namespace

bool OpenFrameLog(const std::string& path) {
    FrameLog& log = Log();
    log.configured = true;
    log.Close();
    log.haveLast = false;
    log.lastPress = -1;
    log.onNextFrame.clear();
    if (path.empty()) return true;
    log.file = std::fopen(path.c_str(), "w");
    if (!log.file) {
        std::fprintf(stderr, "quorvel: cannot write the frame log %s\n", path.c_str());
        return false;
    }
    // Whole lines reach the file as they are written: a program that ends at once (or
    // hangs) leaves every frame it showed in the log.
    std::setvbuf(log.file, nullptr, _IOLBF, 0);
    return true;
}

void FrameBegun() {
    FrameLog& log = Configured();
    if (!log.file || log.haveLast) return;
    log.haveLast = true;
    log.lastWall = Seconds(CLOCK_MONOTONIC);
    log.lastCpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
}

void FrameShown() {
    FrameLog& log = Configured();
    ++log.frames;
    if (!log.file) return;
    const double wall = Seconds(CLOCK_MONOTONIC);
    const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    if (!log.haveLast) {
        log.lastWall = wall;
        log.lastCpu = cpu;
    }
    std::fprintf(log.file, "frame %lld %.3f %.3f\n", log.frames, 1000 * (wall - log.lastWall),
                 1000 * (cpu - log.lastCpu));
    log.haveLast = true;
    log.lastWall = wall;
    log.lastCpu = cpu;
    for (const std::string& name : log.onNextFrame)
        std::fprintf(log.file, "event %s %.6f\n", name.c_str(), wall);
    log.onNextFrame.clear();
}

void FrameLogEvent(const std::string& name) {
    FrameLog& log = Configured();
    if (log.file) std::fprintf(log.file, "event %s %.6f\n", name.c_str(), Seconds(CLOCK_MONOTONIC));
}

void FrameLogPress() {
    FrameLog& log = Configured();
    if (log.file) log.lastPress = Seconds(CLOCK_MONOTONIC);
}

void FrameLogEventAtLastPress(const std::string& name) {
    FrameLog& log = Configured();
    if (log.file)
        std::fprintf(log.file, "event %s %.6f\n", name.c_str(),
                     log.lastPress >= 0 ? log.lastPress : Seconds(CLOCK_MONOTONIC));
}

void FrameLogEventOnNextFrame(const std::string& name) {
    FrameLog& log = Configured();
    if (log.file) log.onNextFrame.push_back(name);
}

}  // namespace quorvel::sys
