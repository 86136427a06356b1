// The game texts: the input is split at zero bytes into the files under "\txt\"
// (missing ones stay missing), then every text is read as the game does at start.
#include <sys/stat.h>

#include "fuzz_support.h"
#include "platform/system/paths.h"
#include "common/texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    static const std::string folder = [] {
        sys::SetProgramFolder(fuzz::ScratchFolder());
        mkdir((fuzz::ScratchFolder() + "/txt").c_str(), 0700);
        return fuzz::ScratchFolder() + "/txt/";
    }();
    std::size_t at = 0;
    for (int i = 0; i < GameTextCount; ++i) {
        const std::string path = folder + GameTextFiles[std::size_t(i)];
        if (at > size) {
            unlink(path.c_str());
            continue;
        }
        std::size_t end = at;
        while (end < size && data[end] != 0)
            ++end;
        fuzz::WriteFile(path, {data + at, end - at});
        at = end + 1;
    }
    LoadGameTexts();
    for (const std::string& text : GameTexts)
        fuzz::Require(text.find_first_of("\r\n") == std::string::npos, "one line a text");
    return 0;
}
