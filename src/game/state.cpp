#include "game/state.h"

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "game/game.h"

namespace quorvel {

CampaignRecord Campaign;
DisplayRecord Display;
LevelRecord Level;
ShipRecord Ship;
ArsenalRecord Arsenal;
MothershipRecord Mothership;
GiantAsteroidRecord GiantAsteroid;
ScoutRecord Scout;
BattleshipRecord Battleship;
AlienFleetRecord AlienFleet;
PowerUpRecord PowerUps;
FlightRecord Flight;
ScreensRecord Screens;
InGameMenuRecord InGameMenu;
LevelEndRecord LevelEnd;
TutorialRecord Tutorial;
HazardsRecord Hazards;

const CallbackRecord Callbacks{&CheckLevelComplete, &ExplodeShip,    &ExplodeStation,        &ResetCamera,
                               &CheckShield,        &LoadAlienShips, &LoadForceFieldAndRadar};

}  // namespace quorvel
