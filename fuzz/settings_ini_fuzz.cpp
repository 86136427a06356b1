// The per-user settings store: any settings.ini, then the change the game makes.
// Whatever the file held, the value written is the value read back.
#include <sys/stat.h>

#include <cstdlib>

#include "fuzz_support.h"
#include "platform/system/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    static const bool once = [] {
        setenv("XDG_CONFIG_HOME", fuzz::ScratchFolder().c_str(), 1);
        return mkdir((fuzz::ScratchFolder() + "/quorvel").c_str(), 0700) == 0;
    }();
    (void)once;
    fuzz::WriteFile(sys::SettingsFilePath("quorvel"), {data, size});

    const std::string key = "Show Tips at Startup";
    const std::string before = sys::GetSetting("quorvel", "Options", key, "default");
    fuzz::Require(before.find_first_of("\r\n") == std::string::npos, "one line a value");
    const std::string other = sys::GetSetting("quorvel", "Other", "keep", "default");
    for (const char* value : {"0", "1"}) {
        sys::SaveSetting("quorvel", "Options", key, value);
        fuzz::Require(sys::GetSetting("quorvel", "Options", key, "default") == value, "a change reads back");
    }
    fuzz::Require(sys::GetSetting("quorvel", "Other", "keep", "default") == other, "other keys survive");
    return 0;
}
