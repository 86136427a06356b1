#include "platform/system/exit_report.h"

#include <cxxabi.h>
#include <execinfo.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <typeinfo>

#include "platform/system/process.h"

namespace quorvel::sys {
namespace {

// Signals whose default action ends the process. SIGKILL and SIGSTOP cannot be caught;
// a kill by SIGKILL (the kernel's out-of-memory killer) stays silent.
constexpr int FatalSignals[] = {SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,  SIGFPE,    SIGUSR1,
                                SIGSEGV, SIGUSR2, SIGALRM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
                                SIGIO,   SIGPWR,  SIGSYS,  SIGINT,  SIGTERM, SIGHUP};
// Of those, the ones that ask the program to end (Ctrl+C, kill, the terminal closing):
// the first ends it through the pump, so the display is put back; a second one, when
// the pump does not come round, is fatal like the rest.
constexpr int EndRequests[] = {SIGINT, SIGTERM, SIGHUP};

// A line built without allocating, for the signal handler.
struct Line {
    char text[512];
    std::size_t used = 0;
    Line& operator<<(const char* s) {
        while (s && *s && used < sizeof text)
            text[used++] = *s++;
        return *this;
    }
    Line& Number(unsigned long long n, unsigned base = 10) {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[n % base];
            n /= base;
        } while (n && count < 24);
        if (base == 16) *this << "0x";
        while (count > 0 && used < sizeof text)
            text[used++] = digits[--count];
        return *this;
    }
    void Write() const {
        std::size_t done = 0;
        while (done < used) {
            const ssize_t n = write(STDERR_FILENO, text + done, used - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            done += std::size_t(n);
        }
    }
};

void WriteBacktrace() {
    void* frames[64];
    const int count = backtrace(frames, 64);
    backtrace_symbols_fd(frames, count, STDERR_FILENO);
}

bool FaultSignal(int sig) {
    return sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL || sig == SIGTRAP;
}

void OnFatalSignal(int sig, siginfo_t* info, void*) {
    const int savedErrno = errno;
    Line line;
    line << program_invocation_short_name << ": ends on signal ";
    line.Number(unsigned(sig)) << " (SIG";
    const char* abbrev = sigabbrev_np(sig);
    line << (abbrev ? abbrev : "?") << ", " << (sigdescr_np(sig) ? sigdescr_np(sig) : "unknown") << ")";
    if (info && info->si_code <= 0) {
        // Sent by a process (kill, raise, abort) rather than raised by a fault.
        line << " sent by process ";
        line.Number(unsigned(info->si_pid));
        if (info->si_pid == getpid()) line << " (itself)";
    } else if (info && FaultSignal(sig)) {
        line << " at address ";
        line.Number(reinterpret_cast<unsigned long long>(info->si_addr), 16);
    }
    line << "; backtrace:\n";
    line.Write();
    WriteBacktrace();
    // SA_RESETHAND put the default action back: the signal, pending until this handler
    // returns, ends the program with its usual status (and core dump).
    raise(sig);
    errno = savedErrno;
}

void InstallFatal(int sig) {
    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
}

void OnEndRequest(int sig, siginfo_t* info, void*) {
    const int savedErrno = errno;
    RequestEndBySignal(sig, info ? int(info->si_pid) : 0);
    InstallFatal(sig);
    errno = savedErrno;
}

std::string Demangled(const char* name) {
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && readable ? readable : name;
    std::free(readable);
    return result;
}

[[noreturn]] void OnTerminate() {
    std::string what = "std::terminate() with no exception";
    if (std::exception_ptr current = std::current_exception()) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        what = "an uncaught exception " + (type ? Demangled(type->name()) : std::string("of unknown type"));
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            what += std::string(": ") + e.what();
        } catch (...) {
        }
    }
    std::fprintf(stderr, "%s: ends on %s; backtrace:\n", program_invocation_short_name, what.c_str());
    std::fflush(stderr);
    WriteBacktrace();
    // The abort that follows is this end, already told: no second report.
    signal(SIGABRT, SIG_DFL);
    std::abort();
}

void OnExit(int status, void*) {
    std::fprintf(stderr,
                 "%s: ends with status %d through exit(), not the program's own end (a return from main "
                 "or a library that calls exit); backtrace:\n",
                 program_invocation_short_name, status);
    std::fflush(stderr);
    WriteBacktrace();
}

}  // namespace

void ReportEveryEnd() {
    static bool installed = false;
    if (installed) return;
    installed = true;

    // backtrace() loads the unwinder on its first call, which is not safe in a signal
    // handler: make that first call here.
    void* frame[1];
    backtrace(frame, 1);

    // A stack overflow must still be able to run the handler.
    stack_t current{};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        static char altStack[64 * 1024];
        stack_t ours{};
        ours.ss_sp = altStack;
        ours.ss_size = sizeof altStack;
        sigaltstack(&ours, nullptr);
    }

    for (int sig : FatalSignals) {
        struct sigaction old {};
        if (sigaction(sig, nullptr, &old) != 0) continue;
        const bool hasDefault = !(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_DFL;
        if (!hasDefault) continue;
        InstallFatal(sig);
    }
    for (int sig : EndRequests) {
        struct sigaction old {};
        if (sigaction(sig, nullptr, &old) != 0 || old.sa_sigaction != OnFatalSignal) continue;
        struct sigaction action {};
        action.sa_sigaction = OnEndRequest;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(sig, &action, nullptr);
    }
    // A write to a closed pipe or socket (a log reader gone, the display's connection
    // lost) fails with EPIPE, where the caller reports it, instead of ending the game
    // without a word.
    struct sigaction pipeAction {};
    if (sigaction(SIGPIPE, nullptr, &pipeAction) == 0 && !(pipeAction.sa_flags & SA_SIGINFO) &&
        pipeAction.sa_handler == SIG_DFL)
        signal(SIGPIPE, SIG_IGN);

    std::set_terminate(OnTerminate);
    on_exit(OnExit, nullptr);
}

}  // namespace quorvel::sys
