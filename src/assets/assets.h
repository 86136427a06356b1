#pragma once
// Services of the level assets, effects and HUD: what the other folders may call
// here (the game textures, particle systems and effect objects of a level, the
// explosions, shock waves, sparks and starscape, the HUD pointers and bars). The
// game-run issues fill it; nothing is offered yet.
