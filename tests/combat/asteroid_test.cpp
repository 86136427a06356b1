// Asteroids: hits by each weapon until the kill and its money, the field's budget of
// flying asteroids, its re-placement, thrown objects, the target tests and the
// close-pass voice.

#include <gtest/gtest.h>

#include <cmath>

#include "combat/weapons_fixture.h"

namespace quorvel {
namespace {

using HitRoutine = void (*)(int);

class AsteroidTest : public test::WeaponsTest {
  protected:
    void SetUp() override {
        test::WeaponsTest::SetUp();
        SetWeaponStartValues();
        // Shot records and flip-book ids left by earlier cases name meshes of another
        // scene: every case starts from fresh records.
        for (auto* shots : {&Arsenal.PlasmaShots, &Arsenal.LaserShots, &Arsenal.IonShots, &Arsenal.MionShots,
                            &Arsenal.EplasShots, &Arsenal.GammaShots})
            for (std::size_t s = 1; s < shots->size(); ++s)
                (*shots)[s] = ShotRec{};
        for (std::size_t s = 1; s < Arsenal.DisperseShots.size(); ++s)
            Arsenal.DisperseShots[s] = ShotRec{};
        Arsenal.MionAnimMeshes.fill(-1);
        Arsenal.EPlasmaMeshes.fill(-1);
    }
    // Shot s of the array strikes mesh `id`.
    void Strike(ShotRec& shot, int id, const std::string& key) {
        if (shot.MeshId == -1) shot.MeshId = Node(key);
        MeshObj->SelectMeshById(shot.MeshId);
        MeshObj->SetVisible(true);
        shot.Active = true;
        shot.LastHit = {true, id};
        shot.CurrentPos = {1, 2, 3};
    }
};

TEST_F(AsteroidTest, EachWeaponKillsAfterItsNumberOfHitsAndPaysByDifficultyAndKind) {
    struct Case {
        const char* weapon;
        HitRoutine hit;
        ShotRec* shots;  // the weapon's array
        int s;
        int difficulty, kind;
        int hits;
        double money;
    };
    const Case cases[] = {
        {"plasma", PlasmaHitAsteroid, Arsenal.PlasmaShots.data(), 3, 2, 3, 6, 20650},  // 590 hit points x 35
        {"laser", LaserHitAsteroid, Arsenal.LaserShots.data(), 1, 1, 1, 3, 275 * 40},
        {"ion", IonHitAsteroid, Arsenal.IonShots.data(), 2, 3, 9, 10, 1550 * 30},
        {"mion", MionHitAsteroid, Arsenal.MionShots.data(), 4, 4, 5, 8, 1775 * 25},
        {"eplas", EplasHitAsteroid, Arsenal.EplasShots.data(), 5, 5, 9, 9, 2600 * 20},
        {"disperse", DisperseHitAsteroid, Arsenal.DisperseShots.data(), 70, 2, 1, 3, 530 * 35},
        {"gamma", GammaHitAsteroid, Arsenal.GammaShots.data(), 14, 5, 9, 2, 2600 * 20},
    };
    for (const Case& c : cases) {
        Campaign.DifficultyLevel = c.difficulty;
        Campaign.Money = 0;
        Field(3, c.kind);
        ShotRec& shot = c.shots[c.s];
        AsteroidRec& rock = Level.Asteroids[2];
        const std::size_t soundsBefore = Plays("hit").size();
        int hits = 0;
        while (rock.Active && hits < 50) {
            Strike(shot, rock.MeshId, std::string(c.weapon) + "shot");
            c.hit(c.s);
            ++hits;
            EXPECT_FALSE(shot.Active);
            EXPECT_FALSE(Visible(shot.MeshId)) << "every hit ends the shot";
        }
        EXPECT_EQ(hits, c.hits) << c.weapon;
        EXPECT_EQ(Plays("hit").size() - soundsBefore, std::size_t(c.hits)) << c.weapon;
        EXPECT_DOUBLE_EQ(Campaign.Money, c.money) << c.weapon;
        EXPECT_EQ(Level.AsteroidsLeft, 2) << c.weapon;
        EXPECT_FALSE(rock.Parked);
        EXPECT_FALSE(Visible(rock.MeshId));
        EXPECT_TRUE(Level.Asteroids[1].Active && Level.Asteroids[3].Active) << "only the asteroid struck";
    }
}

// The effects a hit and a kill start, on the engine's meshes and the sound events.
class AsteroidEffectsTest : public AsteroidTest {
  protected:
    void SetUp() override {
        AsteroidTest::SetUp();
        for (int n = 1; n <= 3; ++n) {
            const std::string key = "explode" + std::to_string(n);
            folder.Write(key + ".wav", test::SoundBytes());
            SoundObj->LoadSound(key, sys::ProgramFolder() + "\\" + key + ".wav", 0, 0);
        }
        for (int kind = 1; kind <= 10; ++kind)
            for (int k = 1; k <= 4; ++k)
                Hidden("ast" + std::to_string(kind) + "exp" + std::to_string(k));
        for (int n = 1; n <= 40; ++n)
            Hidden("expsm" + std::to_string(n));
        for (int i = 1; i <= 64; ++i)
            Effects.ExplosionSprites[std::size_t(i)] = Hidden("explosion" + std::to_string(i));
        for (int n = 1; n <= 20; ++n)
            Effects.Sparks[std::size_t(n)] = SparkRec{Hidden("spark" + std::to_string(n)), false, {}};
        Hidden("shock");
        Hidden("shock2");
        for (int w = 1; w <= 7; ++w)
            Hidden("wepshock" + std::to_string(w));
        MakeShockWaves();
        Effects.BreakupRunning = false;
        Effects.BreakupKind = 0;
        Effects.PrevBreakupKind = 0;
        Effects.SparksActive = false;
        Level.ExplosionActive = false;
        Effects.ExplosionMode = 0;
    }
    int Hidden(const std::string& key) {
        const int id = Node(key);
        MeshObj->SetVisible(false);
        return id;
    }
    bool VisibleAt(const std::string& key, const Vector& at) {
        if (!MeshObj->SelectMesh(key) || !MeshObj->GetVisible()) return false;
        const Vector p = MeshObj->GetPosition();
        return Distance(p, at) < 1e-3f;
    }
    std::size_t ExplosionSounds() {
        return Plays("explode1").size() + Plays("explode2").size() + Plays("explode3").size();
    }
};

TEST_F(AsteroidEffectsTest, AHitThrowsSparksAndAKillBreaksTheAsteroidUpInAnExplosion) {
    struct Case {
        const char* weapon;
        HitRoutine hit;
        ShotRec* shots;
        int number;
        int kind;
    };
    const Case cases[] = {
        {"plasma", PlasmaHitAsteroid, Arsenal.PlasmaShots.data(), 1, 3},
        {"laser", LaserHitAsteroid, Arsenal.LaserShots.data(), 2, 1},
        {"ion", IonHitAsteroid, Arsenal.IonShots.data(), 3, 9},
        {"mion", MionHitAsteroid, Arsenal.MionShots.data(), 4, 5},
        {"eplas", EplasHitAsteroid, Arsenal.EplasShots.data(), 5, 7},
        {"disperse", DisperseHitAsteroid, Arsenal.DisperseShots.data(), 6, 2},
        {"gamma", GammaHitAsteroid, Arsenal.GammaShots.data(), 7, 10},
    };
    const Vector impact{1, 2, 3};
    for (const Case& c : cases) {
        Field(2, c.kind);
        AsteroidRec& rock = Level.Asteroids[2];
        rock.HitPoints = 2 * c.shots[0].DamagePerHit;  // the second hit kills
        for (int w = 1; w <= 7; ++w)
            if (MeshObj->SelectMesh("wepshock" + std::to_string(w))) MeshObj->SetVisible(false);
        Effects.BreakupRunning = false;
        const std::size_t booms = ExplosionSounds();

        Strike(c.shots[1], rock.MeshId, std::string(c.weapon) + "shot");
        c.hit(1);
        for (int n = 1; n <= 20; ++n) {
            EXPECT_TRUE(Effects.Sparks[std::size_t(n)].Active) << c.weapon << " spark " << n;
            EXPECT_TRUE(VisibleAt("spark" + std::to_string(n), impact)) << c.weapon << " spark " << n;
        }
        EXPECT_TRUE(Effects.SparksActive) << c.weapon;
        EXPECT_TRUE(Effects.WeaponShockWaves[std::size_t(c.number)]->Active) << c.weapon;
        EXPECT_TRUE(VisibleAt("wepshock" + std::to_string(c.number), impact))
            << c.weapon << ": the weapon's own ring";
        EXPECT_FALSE(Effects.BreakupRunning) << c.weapon << ": a hit alone breaks nothing up";
        EXPECT_EQ(ExplosionSounds(), booms) << c.weapon;

        Level.ExplosionActive = false;
        Effects.ShockWave->Active = false;
        Strike(c.shots[1], rock.MeshId, std::string(c.weapon) + "shot");
        c.hit(1);
        ASSERT_FALSE(rock.Active) << c.weapon;
        EXPECT_TRUE(Effects.BreakupRunning) << c.weapon;
        EXPECT_EQ(Effects.BreakupKind, c.kind) << c.weapon;
        for (int k = 1; k <= 4; ++k)
            EXPECT_TRUE(VisibleAt("ast" + std::to_string(c.kind) + "exp" + std::to_string(k), rock.Pos))
                << c.weapon << ": fragment " << k << " of the asteroid's own kind";
        for (int n = 1; n <= 40; ++n)
            EXPECT_TRUE(VisibleAt("expsm" + std::to_string(n), rock.Pos)) << c.weapon << " piece " << n;
        EXPECT_TRUE(Level.ExplosionActive) << c.weapon;
        EXPECT_EQ(Effects.ExplosionMode, 1) << c.weapon;
        for (int i = 1; i <= 64; ++i)
            test::ExpectNear(PositionOf(Effects.ExplosionSprites[std::size_t(i)]), rock.Pos);
        EXPECT_TRUE(Effects.ShockWave->Active) << c.weapon;
        EXPECT_TRUE(VisibleAt("shock", rock.Pos)) << c.weapon << ": the shock wave rings the asteroid";
        EXPECT_EQ(ExplosionSounds(), booms + 1) << c.weapon << ": one explosion sound per kill";
    }
}

TEST_F(AsteroidTest, DamageAddsUpToTheHitPointsAndEveryHitSounds) {
    Field(2);
    struct Case {
        int hitPoints;
        int hits;
        int damage;
    };
    for (const Case c : {Case{110, 1, 110}, Case{111, 2, 220}}) {
        Field(2);
        Level.Asteroids[1].HitPoints = c.hitPoints;
        const std::size_t before = Plays("hit").size();
        int hits = 0;
        while (Level.Asteroids[1].Active) {
            Strike(Arsenal.PlasmaShots[1], Level.Asteroids[1].MeshId, "pro1");
            PlasmaHitAsteroid(1);
            ++hits;
        }
        EXPECT_EQ(hits, c.hits);
        EXPECT_EQ(Level.Asteroids[1].Damage, c.damage);
        EXPECT_EQ(Plays("hit").size() - before, std::size_t(c.hits));
    }
}

TEST_F(AsteroidTest, AShotEndsWhateverItStruckButOnlyAnAsteroidTakesDamage) {
    Field(2);
    const int station = Node("station");
    Strike(Arsenal.IonShots[1], station, "ion1");
    Arsenal.IonShots[1].AnimFrame = 5;
    const int flip = Node("ianim5");
    IonHitAsteroid(1);
    EXPECT_FALSE(Arsenal.IonShots[1].Active);
    EXPECT_FALSE(Visible(Arsenal.IonShots[1].MeshId));
    EXPECT_FALSE(Visible(flip)) << "the shot's flip-book frame goes with it";
    EXPECT_TRUE(Plays("hit").empty());
    EXPECT_EQ(Level.Asteroids[1].Damage + Level.Asteroids[2].Damage, 0);

    // An inactive record does nothing at all.
    Strike(Arsenal.IonShots[1], Level.Asteroids[1].MeshId, "ion1");
    Arsenal.IonShots[1].Active = false;
    IonHitAsteroid(1);
    EXPECT_TRUE(Visible(Arsenal.IonShots[1].MeshId));
    EXPECT_EQ(Level.Asteroids[1].Damage, 0);

    // Eplas and mion frames are found by id, and frame 0 names none of them.
    Arsenal.EPlasmaMeshes[3] = Node("tepls3");
    Strike(Arsenal.EplasShots[1], -1, "eplas1");
    Arsenal.EplasShots[1].AnimFrame = 3;
    EplasHitAsteroid(1);
    EXPECT_FALSE(Visible(Arsenal.EPlasmaMeshes[3]));
    const int bystander = Node("bystander");
    Arsenal.EPlasmaMeshes[0] = bystander;
    Strike(Arsenal.EplasShots[1], -1, "eplas1");
    Arsenal.EplasShots[1].AnimFrame = 0;
    EplasHitAsteroid(1);
    EXPECT_TRUE(Visible(bystander));
}

TEST_F(AsteroidTest, TheFirstKillOfTheRunDropsAPowerUpWhereTheAsteroidWas) {
    Field(2);
    for (int k = 1; k <= 4; ++k)
        PowerUps.PowerUpMeshes[std::size_t(k)] = Node("powerup" + std::to_string(k));
    Level.Asteroids[1].HitPoints = 100;
    Strike(Arsenal.GammaShots[1], Level.Asteroids[1].MeshId, "gamma1");
    // Kill money draws nothing; the drop draws: threshold, slot (0.3 -> 19 x 0.3 + 1 = 6.7 / 5 -> 1),
    // extra twice.
    sys::QueueRandom({0.5, 0.3, 0.1, 0.1});
    GammaHitAsteroid(1);
    EXPECT_TRUE(Visible(PowerUps.PowerUpMeshes[1]));
    test::ExpectNear(PositionOf(PowerUps.PowerUpMeshes[1]), Level.Asteroids[1].Pos);
}

TEST_F(AsteroidTest, TheBudgetOfFlyingAsteroidsGrowsWithTheLevel) {
    struct Case {
        int level;
        int budget;
    };
    for (const Case c :
         {Case{1, 10}, Case{4, 10}, Case{5, 11}, Case{11, 11}, Case{12, 12}, Case{20, 12}, Case{21, 13},
          Case{36, 14}, Case{37, 15}, Case{44, 16}, Case{49, 16}, Case{50, 12}}) {
        Campaign.CurrentLevel = c.level;
        Field(30);
        SetActiveAsteroidCount();
        EXPECT_EQ(Level.ActiveAsteroidTarget, c.budget) << c.level;
        EXPECT_EQ(Count(&AsteroidRec::Active), c.budget) << c.level;
        EXPECT_EQ(Count(&AsteroidRec::Parked), 30 - c.budget) << c.level;
        for (int i = 1; i <= 30; ++i)
            EXPECT_EQ(Visible(Level.Asteroids[std::size_t(i)].MeshId),
                      Level.Asteroids[std::size_t(i)].Active);
    }
    // A field no larger than the budget parks nothing.
    Campaign.CurrentLevel = 12;
    Field(12);
    SetActiveAsteroidCount();
    EXPECT_EQ(Count(&AsteroidRec::Parked), 0);
}

TEST_F(AsteroidTest, AKillIsReplacedFromTheReserveOnTheNextFrame) {
    Campaign.CurrentLevel = 2;
    Field(18);
    SetActiveAsteroidCount();
    EXPECT_EQ(Count(&AsteroidRec::Active), 10);
    EXPECT_EQ(Count(&AsteroidRec::Parked), 8);
    int flying = 1;
    while (!Level.Asteroids[std::size_t(flying)].Active)
        ++flying;
    DestroyAsteroid(flying);
    EXPECT_EQ(Level.AsteroidsLeft, 17) << "the reserve counts too";
    EXPECT_DOUBLE_EQ(Campaign.Money, 530 * 35) << "the same money as a shot";
    EXPECT_EQ(Count(&AsteroidRec::Active), 9);
    SetActiveAsteroidCount();
    EXPECT_EQ(Count(&AsteroidRec::Active), 10);
    EXPECT_EQ(Count(&AsteroidRec::Parked), 7);
}

TEST_F(AsteroidTest, ReplacingTheFieldKeepsTheReserveAndRestoresHitPoints) {
    struct Case {
        int level;
        int zones;
    };
    auto zoneOf = [](const Vector& p, int level) {
        const float far = 50.0f * float(level);
        if (p.z >= 3000 + far && p.z <= 4500 + far && std::abs(p.x) <= 1500) return 1;
        if (p.x >= 6100 + far && p.x <= 7600 + far) return 2;
        if (p.x <= -6100 - far && p.x >= -7600 - far) return 3;
        if (p.z <= -9100 - far && p.z >= -10600 - far) return 4;
        return 0;
    };
    for (const Case c : {Case{3, 1}, Case{10, 2}, Case{20, 3}, Case{30, 4}}) {
        Campaign.CurrentLevel = c.level;
        Campaign.DifficultyLevel = 3;
        Field(20, 4);
        SetActiveAsteroidCount();
        Level.Asteroids[1].Damage = 300;
        Level.Asteroids[2].HitPoints = 1;
        PlaceAsteroids();
        for (int i = 1; i <= 20; ++i) {
            const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
            EXPECT_EQ(zoneOf(a.Pos, c.level), (i - 1) % c.zones + 1) << c.level << " " << i;
            test::ExpectNear(PositionOf(a.MeshId), a.Pos);
            EXPECT_EQ(a.Damage, 0);
            EXPECT_EQ(a.HitPoints, 50 * 4 + 1100);
        }
        // The reserve is still there, so the level can still be cleared.
        EXPECT_EQ(Count(&AsteroidRec::Active), Level.ActiveAsteroidTarget);
        EXPECT_EQ(Count(&AsteroidRec::Parked), 20 - Level.ActiveAsteroidTarget);
        for (int i = 1; i <= 20; ++i)
            EXPECT_EQ(Visible(Level.Asteroids[std::size_t(i)].MeshId),
                      Level.Asteroids[std::size_t(i)].Active);
    }
    for (int level : {1, 50}) {
        Campaign.CurrentLevel = level;
        Field(12);
        PlaceAsteroids();
        for (int i = 1; i <= 12; ++i)
            for (float v : {Level.Asteroids[std::size_t(i)].Pos.x, Level.Asteroids[std::size_t(i)].Pos.y,
                            Level.Asteroids[std::size_t(i)].Pos.z})
                EXPECT_LE(std::abs(v), 1000) << level;
    }
}

TEST_F(AsteroidTest, AThrownObjectDestroysAFlyingAsteroidOnceOnly) {
    Arsenal.GravityBeam = std::make_unique<clsZeroPoint>();
    Campaign.DifficultyLevel = 5;
    Field(3, 9);
    GravityBeamHitAsteroid(Level.Asteroids[2].MeshId);
    EXPECT_FALSE(Level.Asteroids[2].Active) << "10000 exceeds every asteroid's hit points";
    EXPECT_EQ(Level.AsteroidsLeft, 2);
    EXPECT_DOUBLE_EQ(Campaign.Money, 2600 * 20);
    EXPECT_EQ(Plays("hit").size(), 1u);
    // The beam may still hold the destroyed one and throw it.
    GravityBeamHitAsteroid(Level.Asteroids[2].MeshId);
    EXPECT_EQ(Level.AsteroidsLeft, 2);
    EXPECT_DOUBLE_EQ(Campaign.Money, 2600 * 20);
    EXPECT_EQ(Level.Asteroids[2].Damage, 10000);
    GravityBeamHitAsteroid(-1);
    EXPECT_EQ(Level.AsteroidsLeft, 2);
}

TEST_F(AsteroidTest, TargetAndAlienTests) {
    Field(3);
    Level.Asteroids[2].Active = false;  // destroyed: still a target
    AlienFleet.Aliens[1].Active = true;
    AlienFleet.Aliens[1].BodyMesh = Node("alien1");
    AlienFleet.Aliens[2].Active = false;
    AlienFleet.Aliens[2].BodyMesh = Node("alien2");
    Level.ScoutId = Node("scout");
    struct Case {
        int level;
        int id;
        bool target, alien;
    };
    const Case cases[] = {
        {2, Level.Asteroids[2].MeshId, true, false},
        {2, AlienFleet.Aliens[1].BodyMesh, true, true},
        {2, AlienFleet.Aliens[2].BodyMesh, false, false},
        {2, Level.ScoutId, false, true},
        {5, AlienFleet.Aliens[1].BodyMesh, true, false},  // an alien-free level: only the scout counts
        {5, Level.ScoutId, false, true},
        {2, -1, false, false},
    };
    for (const Case& c : cases) {
        Campaign.CurrentLevel = c.level;
        EXPECT_EQ(IsTargetMesh(c.id), c.target) << c.level << " " << c.id;
        EXPECT_EQ(IsAlienMesh(c.id), c.alien) << c.level << " " << c.id;
    }
    // No scout loaded: -1 is nobody, not a match for a missed ray.
    Level.ScoutId = -1;
    EXPECT_FALSE(IsAlienMesh(-1));
}

TEST_F(AsteroidTest, TheCloseVoiceNeverRepeatsTheLastClip) {
    struct Case {
        double draw;
        int clip;
    };
    // 2R nearest + 1: 0.1 -> 1, 0.5 -> 2, 0.9 -> 3; a repeat moves on by one, 3 to 1.
    const Case cases[] = {{0.9, 3}, {0.9, 1}, {0.1, 2}, {0.5, 3}, {0.5, 2}, {0.1, 1}, {0.1, 2}};
    for (const Case& c : cases) {
        sys::QueueRandom({c.draw});
        PlayAsteroidCloseVoice();
        EXPECT_EQ(Level.LastCloseVoice, c.clip) << c.draw;
    }
}

}  // namespace
}  // namespace quorvel
