#include "common/textfile.h"

#include <unistd.h>

#include <string>

#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/safe_file.h"

namespace quorvel {

void WriteTextFile(const std::string& text, const std::string& path) {
    // Written beside the file and renamed over it, so a full disk leaves the old value
    // whole instead of an empty or cut-off file.
    const std::string real = sys::ResolvePath(path);
    // A file that cannot be written to stays as it is, as it would without the rename.
    if (access(real.c_str(), F_OK) == 0 && access(real.c_str(), W_OK) != 0) return;
    sys::ReplaceFile(real, text + "\r\n");
}

std::string ReadTextFile(const std::string& path, std::string* reason) {
    const auto bytes = sys::ReadRegularFile(sys::ResolvePath(path), MaxTextFileBytes, reason);
    if (!bytes) return "file missing or corrupt - " + path;
    sys::PumpMessages();

    std::string data = *bytes;
    // A line end at the very end does not start another, empty line.
    if (!data.empty() && data.back() == '\n') data.pop_back();
    if (!data.empty() && data.back() == '\r') data.pop_back();
    if (data.empty()) return "";
    // Lines end in CR LF, a lone LF or a lone CR; the kept line is what follows the last one.
    const size_t lastEnd = data.find_last_of("\r\n");
    return lastEnd == std::string::npos ? data : data.substr(lastEnd + 1);
}

}  // namespace quorvel
