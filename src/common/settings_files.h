#pragma once
// The game's settings between runs: one-line files in the program folder, plus the
// tip-of-the-day option in the per-user settings store.

#include <functional>
#include <string>

namespace quorvel {

inline constexpr const char* StartModeFile = "startmode.vlx";
inline constexpr const char* ParticlesFile = "particles.vlx";
inline constexpr const char* GamePadFile = "gamepad.vlx";
inline constexpr const char* GraphicsFile = "graphics.vlx";
inline constexpr const char* MouseSensFile = "mousesens.vlx";
inline constexpr const char* DifficultyFile = "difficulty.vlx";

// Program folder + "\" + file name.
std::string SettingPath(const std::string& file);

// Writes the value as plain decimal text (and a line end), replacing the file.
void WriteSettingFile(const std::string& file, int value);

// Hands the file's number to `assign` (a control's setter, which may reject it).
// An empty file, a missing one or text that is not a 16-bit number changes nothing.
void RestoreSetting(const std::string& file, const std::function<bool(int)>& assign);

// The tip option: shown unless the store says "0" (a missing key means shown).
inline constexpr const char* TipsApplication = "quorvel";
inline constexpr const char* TipsSection = "Options";
inline constexpr const char* TipsKey = "Show Tips at Startup";
bool TipsAtStartup();
void SaveTipsAtStartup(int checkValue);

}  // namespace quorvel
