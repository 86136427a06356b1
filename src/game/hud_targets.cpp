// What the HUD's off-screen pointers follow: the five nearest asteroids (slots 1 to 5)
// and every active alien fighter (slots 6 to 15).

#include <array>

#include "common/engine_objects.h"
#include "assets/assets.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {

void SelectHudTargets() {
    constexpr float Far = 99999.0f;
    std::array<float, AsteroidRecords + 2> d{};
    bool anyNear = false;
    const int count = Level.AsteroidCount < AsteroidRecords ? Level.AsteroidCount : AsteroidRecords;
    for (int i = 1; i <= count; ++i) {
        const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        d[std::size_t(i)] = a.Active ? MathObj->Distance(a.Pos, Ship.CamBasis.CamPos) : -1.0f;
        if (a.Active && d[std::size_t(i)] < Far) anyNear = true;
    }

    // With nothing near, the asteroid pointers keep what they showed.
    if (anyNear) {
        std::array<int, 6> chosen{};
        for (int k = 1; k <= 5; ++k) {
            int best = 0;
            for (int i = 1; i <= count; ++i) {
                const float di = d[std::size_t(i)];
                if (di < 0 || di >= Far) continue;
                bool taken = false;
                for (int j = 1; j < k; ++j)
                    taken = taken || chosen[std::size_t(j)] == i;
                if (taken) continue;
                if (best == 0 || di < d[std::size_t(best)]) best = i;
            }
            chosen[std::size_t(k)] = best;
        }
        for (int k = 1; k <= 5; ++k) {
            PointerSlot& slot = Hud.HudPointers[std::size_t(k)];
            const int i = chosen[std::size_t(k)];
            slot.PointerOn = i != 0;
            if (i != 0) slot.PointerTarget = Level.Asteroids[std::size_t(i)].Pos;
        }
    }

    for (int j = 1; j <= 10; ++j) {
        const AlienShip& alien = AlienFleet.Aliens[std::size_t(j)];
        PointerSlot& slot = Hud.HudPointers[std::size_t(j + 5)];
        slot.PointerOn = alien.Active;
        if (alien.Active) slot.PointerTarget = alien.Position;
    }
}

}  // namespace quorvel
