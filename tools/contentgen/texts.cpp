// The game texts and the tips. The game joins several texts into one line
// ("Level" ": " 5 "   " "Money" ": $" ... and "Level" " " 5 " " "complete! Time left"
// ": " 45 " " "secs  Accuracy" ": " 80 "%  Bonus $" 250000), so their wording is
// chosen to read well joined. Each file holds one CR LF line; the game shows its last.

#include <map>

#include "generate.h"

namespace quorvel::content {

namespace {

const std::map<std::string, std::string>& Texts() {
    static const std::map<std::string, std::string> texts = {
        {"level", "Level"},
        {"welcome", "Welcome aboard, pilot!"},
        {"mousesensitive", "Mouse sensitivity"},
        {"gpadon", "Game pad on:"},
        {"gpadoff", "Game pad off:"},
        {"money", "Money"},
        {"time", "Time"},
        {"complete", "complete! Time left"},
        {"secsaccur", "secs  Accuracy"},
        {"pctbonus", "%  Bonus $"},
        {"protect", "Protect the station!"},
        {"look", "Move the mouse to look around"},
        {"left", "Left mouse button fires"},
        {"firing", "Firing drains weapon energy"},
        {"pressw", "Press W to fly forward"},
        {"pressw2", "Fly into a station force field"},
        {"pressa", "Press A and D to strafe"},
        {"pressq", "Press Q and E to roll"},
        {"presss", "Press S to brake"},
        {"pressb", "Press B for the weapon shop"},
        {"usegrav", "Hold fire to grab an asteroid"},
        {"throwast", "Release, then fire to throw it"},
        {"eschelp", "Press Esc for the menu and help"},
        {"infinity", "Infinite energy"},
        {"xtremespd", "Extreme speed"},
        {"invincible", "Invincible"},
        {"rapidfire", "Rapid fire"},
        {"loading", "Loading..."},
        {"nextweap", "New weapon available - press B"},
    };
    return texts;
}

const char* const kTips[] = {
    "Asteroids that reach the station damage it. Seven hits and the station is lost.",
    "Fly into one of the four force fields below the station to refill your weapons and recharge your "
    "shield.",
    "Each weapon has its own energy store. Switch weapons when one runs dry.",
    "Press B during a level to open the weapon shop.",
    "Bigger energy stores are sold in the weapon shop too.",
    "The gravity beam grabs asteroids and aliens. Release the fire button, then fire again to throw.",
    "A thrown alien is crushed on impact - and takes its target with it.",
    "The right mouse button fires the afterburner.",
    "Press Q and E to roll, A and D to strafe.",
    "Press Space to cut the engines and drift.",
    "F1 and F2 open the rear view, F3 closes it.",
    "F5 saves your game in a hurry, F6 loads it again.",
    "Watch the map in the bottom right: green asteroids are above you, red ones below.",
    "The arrows at the edge of the screen point to targets you cannot see.",
    "A mothership attacks on levels 5, 15, 25, 35, 45 and 50.",
    "The mothership's energy weapon charges at its bow. Keep moving!",
    "The battleship leaves after a while. Destroy it first for a huge reward.",
    "Finish a level quickly and shoot accurately for a bigger bonus.",
    "Power-ups give you infinite energy, extreme speed, invincibility or rapid fire for a while.",
    "Mouse sensitivity can be changed in a level with the - and = keys.",
    "Press the backslash key during a level to open the options.",
    "Screenshots taken in the main menu with P are saved in the screenshot folder.",
};

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

}  // namespace

std::string MakeText(const ContentEntry& e) {
    if (e.recipe == "tips") return Lines(std::vector<std::string>(std::begin(kTips), std::end(kTips)));
    const auto it = Texts().find(BaseName(e.path));
    if (it == Texts().end()) throw RecipeError("no text for " + e.path);
    return Lines({it->second});
}

}  // namespace quorvel::content
