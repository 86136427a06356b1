#include <cstdio>

#include "platform/system/random.h"
#include "shell/texts.h"

int main() {
    quorvel::sys::Randomize();
    quorvel::LoadGameTexts();
    std::puts("quorvel: the launch pad is not built yet.");
    return 0;
}
