// Entry points of the game run that are not built yet: each is empty here until its
// own file takes it over.

#include "game/game.h"
#include "game/state.h"

namespace quorvel {


// In-game screens

}  // namespace quorvel
