#include "common/settings_files.h"

#include "common/common.h"
#include "platform/system/convert.h"
#include "platform/system/paths.h"
#include "platform/system/settings.h"

namespace quorvel {

std::string SettingPath(const std::string& file) {
    return sys::ProgramFolder() + "\\" + file;
}

void WriteSettingFile(const std::string& file, int value) {
    WriteTextFile(sys::IntText(value), SettingPath(file));
}

void RestoreSetting(const std::string& file, const std::function<bool(int)>& assign) {
    const std::string text = ReadTextFile(SettingPath(file));
    if (text.empty()) return;
    if (const auto value = sys::ToInt16(text)) assign(*value);
}

bool TipsAtStartup() {
    const auto value = sys::ToInt32(sys::GetSetting(TipsApplication, TipsSection, TipsKey, "1"));
    // Only an explicit 0 switches the tips off; a damaged value keeps the default.
    return !value || *value != 0;
}

void SaveTipsAtStartup(int checkValue) {
    sys::SaveSetting(TipsApplication, TipsSection, TipsKey, sys::IntText(checkValue));
}

}  // namespace quorvel
