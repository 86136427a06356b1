#include "assets/assets.h"

namespace quorvel {

EffectsRecord Effects;
HudRecord Hud;

}  // namespace quorvel
