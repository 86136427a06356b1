#include "common/textfile.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "platform/system/paths.h"
#include "platform/system/process.h"

namespace quorvel {

void WriteTextFile(const std::string& text, const std::string& path) {
    // Written beside the file and renamed over it, so a full disk leaves the old value
    // whole instead of an empty or cut-off file.
    const std::string real = sys::ResolvePath(path);
    // A file that cannot be written to stays as it is, as it would without the rename.
    if (access(real.c_str(), F_OK) == 0 && access(real.c_str(), W_OK) != 0) return;
    const std::string temp = real + ".tmp" + std::to_string(getpid());
    std::error_code ec;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return;
        out << text << "\r\n";
        out.close();
        if (!out) {
            std::filesystem::remove(temp, ec);
            return;
        }
    }
    std::filesystem::rename(temp, real, ec);
    if (ec) std::filesystem::remove(temp, ec);
}

std::string ReadTextFile(const std::string& path) {
    const std::string failed = "file missing or corrupt - " + path;
    const std::string real = sys::ResolvePath(path);
    std::error_code ec;
    if (std::filesystem::is_directory(real, ec)) return failed;  // opens on Linux, but cannot be read
    std::ifstream in(real, std::ios::binary);
    if (!in) return failed;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) return failed;
    in.close();
    sys::PumpMessages();

    std::string data = all.str();
    // A line end at the very end does not start another, empty line.
    if (!data.empty() && data.back() == '\n') data.pop_back();
    if (!data.empty() && data.back() == '\r') data.pop_back();
    if (data.empty()) return "";
    // Lines end in CR LF, a lone LF or a lone CR; the kept line is what follows the last one.
    const size_t lastEnd = data.find_last_of("\r\n");
    return lastEnd == std::string::npos ? data : data.substr(lastEnd + 1);
}

}  // namespace quorvel
