#pragma once
// The texts the game shows on the 3D screen, read from small files under "\txt\"
// so the wording can change without touching the program.

#include <array>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr int GameTextCount = 29;

// File names under "\txt\", by index.
extern const std::array<const char*, GameTextCount> GameTextFiles;

extern std::string TextPath;
extern std::array<std::string, GameTextCount> GameTexts;

// Reads every text again; a missing file leaves its slot holding the read error text.
void LoadGameTexts();

// The text read from "<name>.txt" ("loading" for "loading.txt"). A name that is no game
// text gives an empty string: showing nothing beats showing another text.
const std::string& GameText(std::string_view name);
// Its slot in GameTexts, or -1 for a name that is no game text.
int GameTextIndex(std::string_view name);

}  // namespace quorvel
