#include "platform/system/msgbox.h"

#include <cstdio>

namespace quorvel::sys {
namespace {
std::function<void(const std::string&, const std::string&)> hook;
}

void MessageBox(const std::string& text, const std::string& caption) {
    if (hook) {
        hook(text, caption);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void SetMessageBoxHook(std::function<void(const std::string&, const std::string&)> h) {
    hook = std::move(h);
}

}  // namespace quorvel::sys
