// The one-number settings files in the program folder (startmode.vlx and the others).
#include "fuzz_support.h"
#include "platform/system/paths.h"
#include "common/settings_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    static const bool once = [] {
        sys::SetProgramFolder(fuzz::ScratchFolder());
        return true;
    }();
    (void)once;
    fuzz::WriteFile(fuzz::ScratchFolder() + "/" + MouseSensFile, {data, size});
    int calls = 0;
    RestoreSetting(MouseSensFile, [&](int value) {
        ++calls;
        fuzz::Require(value >= -32768 && value <= 32767, "a 16-bit number");
        return true;
    });
    fuzz::Require(calls <= 1, "at most one value");
    return 0;
}
