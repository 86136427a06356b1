#include "launcher/startup.h"

#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/shell.h"

namespace quorvel::Startup {

void Form_Load() {
    // The game is started directly, with no arguments; whether it started is not looked at.
    sys::StartProgram(sys::ResolvePath(sys::ProgramFolder() + "\\quorvel"));

    // The clock is monotonic, so the wait is one second even across midnight.
    const double t0 = sys::WallClock();
    while (sys::WallClock() - t0 < 1.0)
        sys::IdleWait();
    sys::PumpMessages();
    sys::EndProcess(0, "the launcher's work is done");
}

}  // namespace quorvel::Startup
