#pragma once
// Every way out of the program says why on stderr. EndProcess() prints its own line;
// this covers the ends that bypass it.

namespace quorvel::sys {

// Installs, once, early in main (before the video system, which would otherwise take
// SIGINT and SIGTERM for a quit event that cannot say where it came from):
// - a fatal signal prints one line (which signal, the faulting address or the sending
//   process) and a backtrace, then ends the program by that signal as before; signals
//   that already have a handler (a sanitizer's) or are ignored are left alone;
// - SIGINT, SIGTERM and SIGHUP end the program at the next pump, through the end hooks
//   (the display is put back), with a line naming the signal and its sender; a second
//   one before that pump is fatal as above;
// - SIGPIPE is ignored: a write to a closed pipe fails instead of ending the program;
// - an uncaught exception prints its type and message and a backtrace, then aborts;
// - an exit() that bypasses EndProcess (a return from main, a library calling exit)
//   prints its status and a backtrace.
void ReportEveryEnd();

}  // namespace quorvel::sys
