// Effects that combat already starts and the effects work fills in (sparks,
// explosions, break-up, shock waves). Empty until then.

#include "assets/assets.h"

namespace quorvel {

void SpawnHitSparks(const std::string&, const Vector&, int, int) {}
void PlayExplosionSound() {}
void StartExplosionAtAsteroid(int) {}
void StartExplosionAt(const Vector&) {}
void StartAsteroidBreakup(int) {}
void clsSWave::MakeShockWave(const Vector&, float, float, float, float) {}

}  // namespace quorvel
