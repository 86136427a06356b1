#include "platform/system/shell.h"

#include <spawn.h>
#include <unistd.h>

#include "platform/system/paths.h"

extern char** environ;

namespace quorvel::sys {

bool StartProgram(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argvStore;
    argvStore.push_back(program);
    argvStore.insert(argvStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argvStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    // posix_spawnp searches PATH only for names without a '/'; a full path starts that file.
    const int rc = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    return rc == 0;
}

bool OpenWithShell(const std::string& addressOrFile) {
    const bool isAddress = addressOrFile.find("://") != std::string::npos;
    return StartProgram("xdg-open", {isAddress ? addressOrFile : ResolvePath(addressOrFile)});
}

}  // namespace quorvel::sys
