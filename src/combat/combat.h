#pragma once
// Services of combat, enemies and hazards: what the other folders may call here
// (the weapons and their energy, the aliens, the asteroid field, the bosses, the
// scout, the flaming asteroid, the shield, the force field and the gravity beam).
// The game-run issues fill it; nothing is offered yet.
