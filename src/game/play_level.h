#pragma once
// One game run: it takes the starting level and the player's possessions and runs
// until the program ends; it never returns.
//
// Until the game run itself is in place this is a stand-in: it shows the loading
// text and ends the program, after telling an observer (tests) what it was given.

#include <functional>

namespace quorvel {

// The nine values, in the order PlayLevel takes them (the save file's order, with
// the money before the gravity beam).
struct PlayLevelArgs {
    int level = 0;
    bool ownsIon = false;
    bool ownsMion = false;
    bool ownsEplas = false;
    bool ownsDisperse = false;
    bool ownsGamma = false;
    double money = 0;
    bool ownsGravBeam = false;
    int capacityLevel = 0;
};

[[noreturn]] void PlayLevel(int level, bool ownsIon, bool ownsMion, bool ownsEplas, bool ownsDisperse,
                            bool ownsGamma, double money, bool ownsGravBeam, int capacityLevel);

// Called with the values of every PlayLevel call before it does anything else.
void SetPlayLevelObserver(std::function<void(const PlayLevelArgs&)> observer);

}  // namespace quorvel
