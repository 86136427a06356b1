// Alien waves, steering, shots and hits.

#include <gtest/gtest.h>

#include <string>

#include "enemy_fixture.h"

namespace quorvel {
namespace {

class Aliens_ : public test::EnemyTest {
  protected:
    void SetUp() override {
        EnemyTest::SetUp();
        Fresh();
    }
    // Ten still ships far out, none active, and no wave yet.
    void Fresh() {
        Ship.CamBasis.CamPos = {};
        Level.StationPos = {0, 0, -50000};
        Level.AsteroidCount = 0;
        Level.AsteroidsLeft = 10;
        Level.Asteroids[1] = AsteroidRec{};
        Level.ShipDestroyed = false;
        Campaign.Money = 0;
        Campaign.CurrentLevel = 3;
        for (int j = 1; j <= 10; ++j)
            Make(j, 1, {-1000.0f - 300.0f * float(j), 0, 30000}, {0, 0, 0});
        for (AlienShip& a : AlienFleet.Aliens)
            a.Active = false;
        AlienFleet.FirstWaveShipType = 1;
        AlienFleet.SecondWaveShipType = 2;
        AlienFleet.Wave1Timer = AlienFleet.Wave2Timer = 0;
        AlienFleet.Wave1Started = AlienFleet.Wave2Started = AlienFleet.Wave2Pending = false;
        AlienFleet.AlienShotSpeed = 20;
    }
    // A ship that stands still (no speed) at `at` with its nose at `look`.
    void Make(int j, int kind, const Vector& at, const Vector& look) {
        AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        a = AlienShip{};
        const std::string n = std::to_string(j);
        a.BodyMesh = Node("body" + n, true);
        MeshObj->SetPosition(at);
        MeshObj->LookAt(look);
        a.Position = at;
        a.HoldMesh = Node("hold" + n);
        a.FlareMesh = Node("flare" + n, true);
        a.FlareMesh2 = Node("flare2_" + n, true);
        for (std::size_t k = 1; k <= 5; ++k) {
            a.ShotHold[k] = Node("shothold" + n + "_" + std::to_string(k));
            a.ShotSprite[k] = Node("shot" + n + "_" + std::to_string(k));
        }
        a.ShipType = kind;
        a.Accel = 0.2f;
        a.MaxSpeed = 0;
        a.ShipHitPoints = 1000;
        a.ShotDamage = 10;
        a.Extending = true;
        a.Active = true;
    }
    int Warnings() { return int(Plays("warning").size()); }
};

TEST_F(Aliens_, WavesComeOnTheirTimers) {
    struct Case {
        int secondType;
        int asteroidsLeft;
        int wave2After;  // updates after the first wave is gone; 0: no second wave
    };
    for (const Case c : {Case{2, 10, 201}, Case{2, 0, 51}, Case{1, 10, 0}}) {
        SCOPED_TRACE(c.wave2After);
        Fresh();
        const int w0 = Warnings();
        AlienFleet.SecondWaveShipType = c.secondType;
        Level.AsteroidsLeft = c.asteroidsLeft;
        for (int u = 1; u <= 800; ++u)
            UpdateAliens();
        EXPECT_FALSE(AnyAlienActive());
        EXPECT_FALSE(AlienBattlePending());  // the level may end before the first wave
        UpdateAliens();
        EXPECT_TRUE(AlienFleet.Wave1Started);
        EXPECT_EQ(Warnings() - w0, 1);
        for (int j = 1; j <= 10; ++j)
            EXPECT_EQ(AlienFleet.Aliens[std::size_t(j)].Active, j <= 5) << j;
        EXPECT_TRUE(AlienBattlePending());

        for (int j = 1; j <= 5; ++j)
            AlienFleet.Aliens[std::size_t(j)].Active = false;  // the first wave is wiped out
        EXPECT_FALSE(AlienBattlePending());                    // until the next update
        int updates = 0;
        while (!AlienFleet.Wave2Started && updates < 1000) {
            UpdateAliens();
            ++updates;
            if (!AlienFleet.Wave2Started) {
                EXPECT_TRUE(AlienBattlePending());
            }
        }
        if (c.wave2After == 0) {
            EXPECT_EQ(updates, 1);
            EXPECT_FALSE(AlienBattlePending());
            EXPECT_EQ(Warnings() - w0, 1);
            EXPECT_FALSE(AnyAlienActive());
        } else {
            EXPECT_EQ(updates, c.wave2After);
            EXPECT_EQ(Warnings() - w0, 2);
            for (int j = 1; j <= 10; ++j)
                EXPECT_EQ(AlienFleet.Aliens[std::size_t(j)].Active, j > 5) << j;
            for (int j = 6; j <= 10; ++j)
                AlienFleet.Aliens[std::size_t(j)].Active = false;
            UpdateAliens();
            EXPECT_FALSE(AlienBattlePending());
        }
    }
}

TEST_F(Aliens_, AlienFreeLevelsHaveNoBattle) {
    for (int level : {1, 5, 10, 25, 45}) {
        Campaign.CurrentLevel = level;
        AlienFleet.Aliens[1].Active = true;
        AlienFleet.Wave2Pending = true;  // left over from a level left in the wait
        AlienFleet.Wave1Started = false;
        AlienFleet.Wave1Timer = 0;
        for (int u = 0; u < 900; ++u)
            UpdateAliens();
        EXPECT_FALSE(AnyAlienActive()) << level;
        EXPECT_FALSE(AlienFleet.Wave1Started) << level;
        EXPECT_FALSE(AlienBattlePending()) << level;
    }
    for (int level : {2, 11, 49, 50}) {
        Campaign.CurrentLevel = level;
        AlienFleet.Wave2Pending = true;
        EXPECT_TRUE(AlienBattlePending()) << level;
    }
}

TEST_F(Aliens_, HideAllAliensHidesShipsAndSkipsMissingOnes) {
    AlienFleet.Aliens[2].Active = true;
    AlienFleet.Aliens[4] = AlienShip{};  // a record that names no meshes
    AlienFleet.Aliens[4].Active = true;
    AlienFleet.Aliens[2].ShotActive[1] = true;
    MeshObj->SelectMeshById(AlienFleet.Aliens[2].ShotSprite[1]);
    MeshObj->SetVisible(true);
    const int bystander = Node("bystander", true);
    HideAllAliens();
    EXPECT_FALSE(AnyAlienActive());
    EXPECT_FALSE(Visible(AlienFleet.Aliens[2].BodyMesh));
    EXPECT_FALSE(Visible(AlienFleet.Aliens[2].FlareMesh2));
    EXPECT_FALSE(Visible(AlienFleet.Aliens[2].ShotSprite[1]));
    EXPECT_TRUE(AlienFleet.Aliens[2].ShotActive[1]);  // shots fly on, hidden
    EXPECT_TRUE(Visible(bystander));
}

TEST_F(Aliens_, ApproachAndExtendTurnRates) {
    struct Case {
        float distance;
        int kind;
        bool extending;
        float turnRate;  // NaN: no fixed rate
        bool extendingAfter;
    };
    const Case cases[] = {
        {3000, 1, false, 0.6f, false},                                // far: a constant slow turn
        {3000, 4, false, 0.72f, false}, {400, 1, false, 0.0f, true},  // close: switches to extend, no turn
        {1200, 1, true, 0.625f, true},                                // extend, near: slow
        {600, 1, true, 1.5f, true},                                   // extend, very near
        {2100, 1, true, 0.0f, false},                                 // extend beyond 2000: back to approach
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        Fresh();
        AlienFleet.Wave1Started = AlienFleet.Wave2Started = true;
        Make(1, c.kind, {0, 0, c.distance}, {1000, 0, c.distance});  // side-on to the player
        AlienFleet.Aliens[1].Extending = c.extending;
        AlienFleet.TurnRate = 0;
        MeshObj->SelectMeshById(AlienFleet.Aliens[1].BodyMesh);
        const Vector before = MeshObj->GetOrientation().AxisFront;
        UpdateAliens();
        EXPECT_EQ(AlienFleet.Aliens[1].Extending, c.extendingAfter);
        if (c.turnRate > 0) {
            EXPECT_NEAR(AlienFleet.TurnRate, c.turnRate, 1e-5);
        }
        if (c.distance == 400) {
            MeshObj->SelectMeshById(AlienFleet.Aliens[1].BodyMesh);
            const Vector after = MeshObj->GetOrientation().AxisFront;
            EXPECT_NEAR(after.x, before.x, 1e-5);
            EXPECT_NEAR(after.z, before.z, 1e-5);
        }
    }
}

TEST_F(Aliens_, ApproachTurnsTheNoseInAndExtendTurnsItAway) {
    AlienFleet.Wave1Started = AlienFleet.Wave2Started = true;
    Make(1, 1, {0, 0, 1000}, {1000, 0, 1000});
    AlienFleet.Aliens[1].Extending = false;
    const float start = test::NoseTowards(AlienFleet.Aliens[1].BodyMesh, {});
    for (int f = 0; f < 30; ++f)
        UpdateAliens();
    EXPECT_GT(test::NoseTowards(AlienFleet.Aliens[1].BodyMesh, {}), start + 0.2f);
    EXPECT_FALSE(AlienFleet.FacingTarget);  // its measure is never above 0

    Make(1, 1, {0, 0, 1000}, {0, 0, 0});
    AlienFleet.Aliens[1].Extending = true;
    for (int f = 0; f < 30; ++f)
        UpdateAliens();
    EXPECT_LT(test::NoseTowards(AlienFleet.Aliens[1].BodyMesh, {}), 0.99f);
}

TEST_F(Aliens_, LingeringNearThePlayerStartsABreakOff) {
    struct Case {
        float distance;
        int framesToBreakOff;
        bool longBreakOff;
    };
    for (const Case c : {Case{350, 91, false}, Case{1200, 151, true}}) {
        SCOPED_TRACE(c.distance);
        Fresh();
        AlienFleet.Wave1Started = AlienFleet.Wave2Started = true;
        Make(1, 1, {0, 0, c.distance}, {0, 0, 5000});  // nose away: extending
        int frames = 0;
        // The timers grow in the extend state; the toggle comes on the next update (a
        // short break-off beyond 400 would end in that same update).
        while (!AlienFleet.Aliens[1].BreakOff && frames < 400) {
            UpdateAliens();
            ++frames;
            MeshObj->SelectMeshById(AlienFleet.Aliens[1].BodyMesh);
            MeshObj->SetPosition(0, 0, c.distance);  // held at the distance
        }
        EXPECT_EQ(frames, c.framesToBreakOff + 1);
        EXPECT_EQ(AlienFleet.Aliens[1].BreakOffReset, c.longBreakOff);
    }
}

TEST_F(Aliens_, BreakOffPatternsAndTheirEnd) {
    struct Case {
        float r;
        int dir;
    };
    for (const Case c :
         {Case{0, 1}, Case{0.0714285f, 1}, Case{0.0714287f, 2}, Case{0.5f, 4}, Case{0.9999f, 8}})
        EXPECT_EQ(BreakOffDirFor(c.r), c.dir) << c.r;

    struct End {
        bool longOne;
        float distance;
        bool ends;
    };
    for (const End e :
         {End{false, 401, true}, End{false, 399, false}, End{true, 1901, true}, End{true, 1000, false}}) {
        Make(1, 1, {0, 0, 0}, {0, 0, 1});
        AlienShip& a = AlienFleet.Aliens[1];
        a.BreakOff = true;
        a.BreakOffReset = e.longOne;
        a.CloseTimer1 = 10;
        AlienFleet.RearDistance = e.distance;
        AlienBreakOff(1);
        EXPECT_EQ(a.BreakOff, !e.ends) << e.distance;
        if (!e.ends) {
            EXPECT_TRUE(a.BreakOffDirSet);
        }
        if (!e.ends) {
            EXPECT_FLOAT_EQ(a.CloseTimer1, 11);
        }
    }
    // The pattern is drawn again after more than 70 time units.
    AlienFleet.Aliens[1].CloseTimer1 = 70;
    AlienFleet.Aliens[1].BreakOffDirSet = true;
    AlienFleet.Aliens[1].BreakOffReset = false;
    AlienFleet.Aliens[1].BreakOff = true;
    AlienFleet.RearDistance = 100;
    AlienBreakOff(1);
    EXPECT_FLOAT_EQ(AlienFleet.Aliens[1].CloseTimer1, 0);
    EXPECT_TRUE(AlienFleet.Aliens[1].BreakOffDirSet);
}

TEST_F(Aliens_, ObstaclesStartAvoidingOrBoosting) {
    struct Case {
        const char* what;
        Vector obstacle;
        bool active;  // other ship or asteroid
        bool avoid, boost, mayShoot;
        float radius;
    };
    const Case cases[] = {
        {"ship", {100, 0, 0}, true, true, false, false, 200},
        {"ship", {100, 0, 0}, false, false, false, true, 0},  // a destroyed ship is no obstacle
        {"ship", {40, 0, 0}, true, false, true, false, 75},
        {"asteroid", {400, 0, 0}, true, true, false, false, 500},
        {"asteroid", {400, 0, 0}, false, false, false, true, 0},
        {"asteroid", {40, 0, 0}, true, false, true, false, 75},
        {"flaming", {400, 0, 0}, true, true, false, false, 500},
        {"flaming", {40, 0, 0}, true, false, true, false, 75},
        {"station", {1050, 0, 0}, true, true, false, false, 1150},
        {"station", {900, 0, 0}, true, false, true, false, 1050},
        {"player", {40, 0, 0}, true, false, true, true, 75},
        {"player", {60, 0, 0}, true, false, false, true, 0},
    };
    const Vector at{5000, 0, 5000};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.obstacle.x) + (c.active ? " active" : ""));
        Fresh();
        const Vector o{at.x + c.obstacle.x, at.y, at.z};
        Make(1, 1, at, {0, 0, 0});
        const std::string what = c.what;
        if (what == "ship") {
            Make(2, 1, o, {0, 0, 0});
            AlienFleet.Aliens[2].Active = c.active;
        } else if (what == "asteroid") {
            Level.AsteroidCount = 1;
            Level.Asteroids[1].Active = c.active;
            Level.Asteroids[1].Pos = o;
        } else if (what == "flaming") {
            Level.FlamingAsteroid->Active_ = true;
            Level.FlamingAsteroid->Position_ = o;
        } else if (what == "station") {
            Level.StationPos = o;
        } else {
            Ship.CamBasis.CamPos = o;
        }
        CheckAlienObstacles(1);
        const AlienShip& a = AlienFleet.Aliens[1];
        EXPECT_EQ(a.AvoidState, c.avoid);
        EXPECT_EQ(a.Boosting, c.boost);
        EXPECT_EQ(a.MayShoot, c.mayShoot);
        if (c.avoid || c.boost) {
            EXPECT_FLOAT_EQ(a.AvoidRadius, c.radius);
        }
        Level.FlamingAsteroid->Active_ = false;
    }
}

TEST_F(Aliens_, AvoidTurnsAwayAndBoostEnds) {
    AlienFleet.Wave1Started = AlienFleet.Wave2Started = true;
    Make(1, 1, {5000, 0, 5000}, {5000, 0, 6000});
    Make(2, 1, {5000, 0, 5120}, {5000, 0, 9000});  // just ahead: both avoid
    const Vector obstacle{5000, 0, 5120};
    const float start = test::NoseTowards(AlienFleet.Aliens[1].BodyMesh, obstacle);
    CheckAlienObstacles(1);
    ASSERT_TRUE(AlienFleet.Aliens[1].AvoidState);
    for (int f = 0; f < 20; ++f)
        SteerAlienAvoid(1);
    EXPECT_LT(test::NoseTowards(AlienFleet.Aliens[1].BodyMesh, obstacle), start - 0.2f);
    // Outside the radius the avoiding ends.
    AlienFleet.Aliens[1].AvoidPoint = {5000, 0, 9000};
    SteerAlienAvoid(1);
    EXPECT_FALSE(AlienFleet.Aliens[1].AvoidState);

    // A boost runs at full speed for more than 20 units, then drops to two thirds.
    Make(3, 1, {0, 0, 0}, {0, 0, 1});
    AlienShip& b = AlienFleet.Aliens[3];
    b.MaxSpeed = 30;
    b.Boosting = true;
    b.BoostTimer = 0;
    b.AvoidPoint = {0, 0, 0};
    b.AvoidRadius = 100000;
    for (int f = 0; f < 20; ++f) {
        UpdateAlienBoost(3);
        EXPECT_TRUE(b.Boosting) << f;
    }
    UpdateAlienBoost(3);
    EXPECT_FALSE(b.Boosting);
    EXPECT_FLOAT_EQ(b.Speed, 20);
}

TEST_F(Aliens_, FlaresSitMirrorWise) {
    for (int kind : {1, 4}) {
        Make(1, kind, {100, 200, 300}, {100, 200, 1000});
        AlienFleet.Aliens[1].AttachOffset = {10, 2, -50};
        PlaceAlienAttachments(1);
        const Vector a = Pos(AlienFleet.Aliens[1].FlareMesh), b = Pos(AlienFleet.Aliens[1].FlareMesh2);
        test::ExpectNear(a, {110, 202, 250});
        test::ExpectNear(b, {90, 202, 250});
        test::ExpectNear(Pos(AlienFleet.Aliens[1].BodyMesh), {100, 200, 300});
        EXPECT_EQ(Visible(AlienFleet.Aliens[1].FlareMesh2), kind != 4);
    }
}

TEST_F(Aliens_, ShotCadenceFlightAndDamage) {
    Make(1, 1, {0, 0, 1000}, {0, 0, 0});
    AlienFleet.Aliens[1].MayShoot = true;
    for (int f = 1; f <= 8; ++f)
        AlienShoot(1);
    EXPECT_FALSE(AlienFleet.Aliens[1].ShotActive[1]);
    AlienShoot(1);  // the timer passes 8
    EXPECT_TRUE(AlienFleet.Aliens[1].ShotActive[1]);
    EXPECT_TRUE(Visible(AlienFleet.Aliens[1].ShotSprite[1]));
    EXPECT_EQ(AlienFleet.Aliens[1].ShotSlot, 1);

    // A blocked ship's timer keeps growing: it fires in the first clear frame.
    AlienFleet.Aliens[1].MayShoot = false;
    for (int f = 0; f < 20; ++f)
        AlienShoot(1);
    EXPECT_EQ(AlienFleet.Aliens[1].ShotSlot, 1);
    AlienFleet.Aliens[1].MayShoot = true;
    AlienShoot(1);
    EXPECT_EQ(AlienFleet.Aliens[1].ShotSlot, 2);
    EXPECT_TRUE(AlienFleet.Aliens[1].ShotActive[2]);

    // Out of 1500 the slot is used up without a shot.
    Make(2, 1, {0, 0, 1600}, {0, 0, 0});
    AlienFleet.Aliens[2].MayShoot = true;
    AlienFleet.Aliens[2].FireTimer = 8.5f;
    AlienShoot(2);
    EXPECT_EQ(AlienFleet.Aliens[2].ShotSlot, 1);
    EXPECT_FALSE(AlienFleet.Aliens[2].ShotActive[1]);

    // Flight: AlienShotSpeed a frame along the ship's heading; a hit within 50.
    Ship.ShieldDamage = 0;
    AlienFleet.Aliens[1].ShotActive[2] = false;
    UpdateAlienShots(1);
    test::ExpectNear(AlienFleet.Aliens[1].ShotPosition[1], {0, 0, 980});
    int frames = 1;
    while (AlienFleet.Aliens[1].ShotActive[1] && frames < 100) {
        UpdateAlienShots(1);
        ++frames;
    }
    EXPECT_EQ(frames, 48);  // 1000 - 48 x 20 = 40: within 50
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 10);
    EXPECT_FALSE(Visible(AlienFleet.Aliens[1].ShotSprite[1]));

    // A shot that misses expires beyond 2000 from its start.
    Make(3, 1, {0, 500, 1000}, {0, 500, 0});
    AlienFleet.Aliens[3].MayShoot = true;
    AlienFleet.Aliens[3].FireTimer = 9;
    AlienShoot(3);
    ASSERT_TRUE(AlienFleet.Aliens[3].ShotActive[1]);
    frames = 0;
    while (AlienFleet.Aliens[3].ShotActive[1] && frames < 200) {
        UpdateAlienShots(3);
        ++frames;
    }
    EXPECT_EQ(frames, 100);
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 10);
}

TEST_F(Aliens_, AShotAtADestroyedShipDoesNoDamageAndStopsTheSlots) {
    Make(1, 1, {0, 0, 0}, {0, 0, 1});
    for (std::size_t k : {std::size_t(1), std::size_t(2)}) {
        AlienFleet.Aliens[1].ShotActive[k] = true;
        MeshObj->SelectMeshById(AlienFleet.Aliens[1].ShotHold[k]);
        MeshObj->SetPosition(0, 0, 10);
        MeshObj->LookAt(0, 0, 1000);
    }
    Level.ShipDestroyed = true;
    Ship.ShieldDamage = 0;
    UpdateAlienShots(1);
    EXPECT_FLOAT_EQ(Ship.ShieldDamage, 0);
    EXPECT_FALSE(AlienFleet.Aliens[1].ShotActive[1]);
    EXPECT_TRUE(AlienFleet.Aliens[1].ShotActive[2]);
    test::ExpectNear(Pos(AlienFleet.Aliens[1].ShotHold[2]), {0, 0, 10});  // not moved
}

TEST_F(Aliens_, HitsDamageAndDestroyActiveShipsOnly) {
    Make(1, 1, {0, 0, 500}, {0, 0, 0});
    const int body = AlienFleet.Aliens[1].BodyMesh;
    AlienHit(body, 600, {0, 0, 500});
    AlienHit(body, 400, {0, 0, 500});  // exactly its hit points: survives
    EXPECT_TRUE(AlienFleet.Aliens[1].Active);
    EXPECT_EQ(Campaign.Money, 0);
    AlienHit(body, 0.5f, {0, 0, 500});
    EXPECT_FALSE(AlienFleet.Aliens[1].Active);
    EXPECT_FALSE(Visible(body));
    EXPECT_FALSE(Visible(AlienFleet.Aliens[1].FlareMesh));
    EXPECT_EQ(Campaign.Money, 50000);
    EXPECT_EQ(Plays("hit").size(), 3u);  // the killing hit plays it too
    EXPECT_TRUE(Level.ExplosionActive);

    // The destroyed ship takes no further hit; other ids and none change nothing.
    AlienHit(body, 5000, {0, 0, 500});
    AlienHit(AlienFleet.Aliens[2].HoldMesh, 5000, {});
    AlienFleet.Aliens[4] = AlienShip{};
    AlienHit(-1, 5000, {});
    EXPECT_EQ(Campaign.Money, 50000);
    EXPECT_EQ(Plays("hit").size(), 3u);
}

TEST_F(Aliens_, TheUpdateStopsWhenThePlayerShipIsLost) {
    AlienFleet.Wave1Started = AlienFleet.Wave2Started = true;
    for (int j = 1; j <= 10; ++j)
        AlienFleet.Aliens[std::size_t(j)].Active = false;
    for (int j : {1, 2}) {
        AlienFleet.Aliens[std::size_t(j)].ShotActive[1] = true;
        MeshObj->SelectMeshById(AlienFleet.Aliens[std::size_t(j)].ShotHold[1]);
        MeshObj->SetPosition(0, 0, j == 1 ? 10 : 3000);
        MeshObj->LookAt(0, 0, 5000);
        AlienFleet.Aliens[std::size_t(j)].ShotStart[1] = {0, 0, 0};
    }
    // Ship 1's shot ends within 50 but the ship is lost this frame: ship 2's shot waits.
    Level.ShipDestroyed = true;
    UpdateAliens();
    test::ExpectNear(Pos(AlienFleet.Aliens[2].ShotHold[1]), {0, 0, 3000});
}

}  // namespace
}  // namespace quorvel
