#include "platform/system/load_log.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace quorvel::sys {

void AppendToLoadLog(const std::string& line) {
    const char* target = std::getenv("QUORVEL_LOAD_LOG");
    if (!target || !*target) return;
    const std::string text = line + "\n";
    if (std::string_view(target) == "stderr") {
        std::fputs(text.c_str(), stderr);
    } else if (std::FILE* f = std::fopen(target, "a")) {
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
}

}  // namespace quorvel::sys
