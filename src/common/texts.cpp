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

int GameTextIndex(std::string_view name) {
    for (int i = 0; i < GameTextCount; ++i) {
        const std::string_view file = GameTextFiles[std::size_t(i)];
        if (file.size() == name.size() + 4 && file.starts_with(name) && file.ends_with(".txt")) return i;
    }
    return -1;
}

const std::string& GameText(std::string_view name) {
    static const std::string none;
    const int i = GameTextIndex(name);
    return i < 0 ? none : GameTexts[std::size_t(i)];
}

}  // namespace quorvel
