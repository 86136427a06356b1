#pragma once
// One game run: it takes the starting level and the player's possessions, builds the
// run's scene and runs the frame loop; it never returns.

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

// The weapons owned, taken from a run's start values or a loaded save.
void TakeOwnedWeapons(const PlayLevelArgs& values);

[[noreturn]] void PlayLevel(int level, bool ownsIon, bool ownsMion, bool ownsEplas, bool ownsDisperse,
                            bool ownsGamma, double money, bool ownsGravBeam, int capacityLevel);

// Everything a run sets up before its first frame (PlayLevel without the loop).
void StartGameRun(const PlayLevelArgs& start);

}  // namespace quorvel
