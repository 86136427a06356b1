// The campaign's difficulty rules: money for a destroyed asteroid and the alien
// fighters' strength.

#include "combat/combat.h"
#include "common/world.h"

namespace quorvel {

void AddKillMoney(float value) {
    // The harder the setting, the less per hit point (the asteroids have more).
    constexpr double perDifficulty[6] = {0, 40, 35, 30, 25, 20};
    if (Campaign.DifficultyLevel >= 1 && Campaign.DifficultyLevel <= 5)
        Campaign.Money += double(value) * perDifficulty[Campaign.DifficultyLevel];
}

void ApplyAlienDifficulty() {
    if (Campaign.DifficultyLevel < 1 || Campaign.DifficultyLevel > 5) return;
    struct Strength {
        float hitPoints, shotDamage, maxSpeed;
    };
    // [difficulty][ship type]
    static const Strength table[6][6] = {
        {},
        {{}, {350, 1, 16}, {500, 2, 18}, {750, 3, 20}, {1000, 4, 22}, {1500, 5, 23}},
        {{}, {500, 2, 17}, {750, 3, 19}, {1000, 4, 21}, {1200, 5, 23}, {1800, 6, 24}},
        {{}, {750, 4, 18}, {1000, 5, 20}, {1500, 6, 22}, {2000, 7, 24}, {2500, 8, 25}},
        {{}, {1000, 5, 19}, {1300, 6, 21}, {2000, 7, 23}, {2500, 8, 25}, {3000, 9, 27}},
        {{}, {1200, 6, 21}, {1600, 7, 23}, {2500, 8, 25}, {3000, 9, 27}, {3700, 10, 29}},
    };
    static const int shotSpeed[6] = {0, 28, 31, 35, 41, 41};
    static const float factor[6] = {0, 0.75f, 0.875f, 1.0f, 1.125f, 1.25f};
    AlienFleet.AlienShotSpeed = shotSpeed[Campaign.DifficultyLevel];
    Campaign.DifficultyFactor = factor[Campaign.DifficultyLevel];
    for (int j = 1; j <= 10; ++j) {
        AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        if (a.ShipType < 1 || a.ShipType > 5) continue;
        const Strength& s = table[Campaign.DifficultyLevel][a.ShipType];
        a.ShipHitPoints = s.hitPoints;
        a.ShotDamage = s.shotDamage;
        a.MaxSpeed = s.maxSpeed;
    }
}

}  // namespace quorvel
