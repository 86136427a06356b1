// One-line text files: the last line of any bytes.
#include "common/textfile.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const std::string path = fuzz::ScratchFolder() + "/text.txt";
    fuzz::WriteFile(path, {data, size});
    std::string reason;
    const std::string text = ReadTextFile(path, &reason);
    if (!reason.empty()) {
        fuzz::Require(size > MaxTextFileBytes, "only an oversized file fails");
        return 0;
    }
    fuzz::Require(text.size() <= size, "no more than the file");
    fuzz::Require(text.find_first_of("\r\n") == std::string::npos, "one line");
    return 0;
}
