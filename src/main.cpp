#include "platform/forms/forms.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/launch_pad.h"

// The launch pad is the start-up object: showing it loads it, and from then on the
// program lives in its event handlers until one of them ends the process.
int main() {
    quorvel::sys::Randomize();
    quorvel::sys::SetPumpHook([] { quorvel::forms::DoEvents(); });
    quorvel::VeltorInitial.Show();
    for (;;)
        quorvel::sys::IdleWait();
}
