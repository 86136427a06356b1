#include "common/texts.h"

#include "common/textfile.h"
#include "platform/system/paths.h"

namespace quorvel {

const std::array<const char*, GameTextCount> GameTextFiles = {
    "level.txt",     "welcome.txt",    "mousesensitive.txt", "gpadon.txt",   "gpadoff.txt",  "money.txt",
    "time.txt",      "complete.txt",   "secsaccur.txt",      "pctbonus.txt", "protect.txt",  "look.txt",
    "left.txt",      "firing.txt",     "pressw.txt",         "pressw2.txt",  "pressa.txt",   "pressq.txt",
    "presss.txt",    "pressb.txt",     "usegrav.txt",        "throwast.txt", "eschelp.txt",  "infinity.txt",
    "xtremespd.txt", "invincible.txt", "rapidfire.txt",      "loading.txt",  "nextweap.txt",
};

std::string TextPath;
std::array<std::string, GameTextCount> GameTexts;

void LoadGameTexts() {
    TextPath = sys::ProgramFolder() + "\\txt\\";
    for (int i = 0; i < GameTextCount; ++i)
        GameTexts[i] = ReadTextFile(TextPath + GameTextFiles[i]);
}

}  // namespace quorvel
