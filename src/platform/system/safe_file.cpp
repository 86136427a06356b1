#include "platform/system/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace quorvel::sys {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes,
                                           std::string* reason) {
    // Non-blocking, so opening a FIFO with no writer returns at once instead of waiting.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(reason, errno == ENOENT ? "missing" : "cannot be opened");
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};

    struct stat st {};
    if (fstat(fd, &st) != 0) {
        Fail(reason, "cannot be examined");
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(reason, "not a regular file");
        return std::nullopt;
    }
    if (st.st_size < 0 || std::size_t(st.st_size) > maxBytes) {
        Fail(reason, "too large");
        return std::nullopt;
    }
    // Back to blocking reads: a regular file never waits, and some file systems
    // answer EAGAIN to non-blocking reads.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    std::string bytes(std::size_t(st.st_size), '\0');
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Fail(reason, "read error");
            return std::nullopt;
        }
        if (n == 0) break;  // shrank while being read: keep what is there
        have += std::size_t(n);
    }
    bytes.resize(have);
    // A file that grew while being read must still respect the cap: one byte more tells.
    char extra;
    ssize_t more;
    do {
        more = read(fd, &extra, 1);
    } while (more < 0 && errno == EINTR);
    if (more > 0) {
        Fail(reason, "changed while being read");
        return std::nullopt;
    }
    return bytes;
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".tmp";
    // No following a link and no waiting on a FIFO someone left at the temporary name.
    const int fd =
        open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        // Whatever stands there blocks every later write too: clear it for the next one.
        unlink(temp.c_str());
        return false;
    }
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += std::size_t(n);
    }
    if (close(fd) != 0) ok = false;
    if (ok && rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

void RemoveReplaceLeftovers(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path file(path);
    const std::string prefix = file.filename().string() + ".tmp";
    std::error_code ec;
    for (fs::directory_iterator it(file.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(prefix) && it->symlink_status(ec).type() == fs::file_type::regular)
            fs::remove(it->path(), ec);
    }
}

std::vector<std::string> SplitLines(const std::string& data) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

}  // namespace quorvel::sys
