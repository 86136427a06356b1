// The station's defence: impacts counted until the seventh loses the ship, the asteroids'
// flight at the station, the shield check, the probe rays and the sideways collision test.

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <string>

#include "game/fireball_view.h"
#include "game/level_in_play.h"
#include "platform/system/random.h"

namespace quorvel {
namespace {

Vector StationNow() {
    MeshObj->SelectMeshById(Level.StationId);
    return MeshObj->GetPosition();
}

bool Shown(const std::string& key) {
    return MeshObj->SelectMesh(key) && MeshObj->GetVisible();
}

using test::PutCamera;

class StationDefence : public test::LevelInPlay {
  protected:
    void SetUp() override {
        LevelInPlay::SetUp();
        if (IsSkipped()) return;
        PutCamera({0, 0, 0});  // out of the station's zone
        // The field far above the station, so only the asteroids a case places count.
        const Vector s = StationNow();
        for (int i = 1; i <= Level.AsteroidCount; ++i) {
            MeshObj->SelectMeshById(Level.Asteroids[std::size_t(i)].MeshId);
            MeshObj->SetPosition(s + Vector{0, 30000 + 300.0f * float(i), 0});
        }
    }
    // The next active asteroid, placed `gap` from the station along +X.
    int AsteroidAt(float gap) {
        while (++used <= Level.AsteroidCount && !Level.Asteroids[std::size_t(used)].Active) {
        }
        EXPECT_LE(used, Level.AsteroidCount) << "no active asteroid left";
        const Vector at = StationNow() + Vector{gap, 0, 0};
        MeshObj->SelectMeshById(Level.Asteroids[std::size_t(used)].MeshId);
        MeshObj->SetPosition(at);
        return used;
    }
    int used = 0;
};

TEST_F(StationDefence, TheSeventhImpactLosesTheShip) {
    struct Row {
        const char* what;
        int before;
        bool flaming;
        int after;
        bool lost;
    };
    const Row rows[] = {
        {"a first asteroid", 0, false, 1, false},
        {"the sixth asteroid", 5, false, 6, false},
        {"the seventh asteroid", 6, false, 0, true},
        {"the flaming asteroid", 0, true, 2, false},
        {"the flaming asteroid to six", 4, true, 6, false},
        {"the flaming asteroid past six", 5, true, 0, true},
    };
    const Vector camera{40, -30, 20};
    for (const Row& r : rows) {
        ClearBoundsAndFlyby();
        Level.ShipDestroyed = false;
        MeshObj->SelectMesh("goldship");
        MeshObj->SetVisible(false);
        PutCamera(camera);
        Level.StationDamageLevel = r.before;
        Level.FlamingStationHit = false;
        Level.FlamingAsteroid->Position_ = r.flaming ? Level.StationPos : Vector{0, 20000, 0};
        Level.FlamingAsteroid->Initialized_ = true;
        int rock = 0;
        if (!r.flaming) rock = AsteroidAt(200);
        const double money = Campaign.Money = 1000000;

        CheckShipCollisions();

        EXPECT_EQ(Level.StationDamageLevel, r.after) << r.what;
        EXPECT_EQ(Level.ShipDestroyed, r.lost) << r.what;
        if (r.flaming) {
            EXPECT_DOUBLE_EQ(Campaign.Money, money - 150000) << r.what;
            EXPECT_TRUE(Level.FlamingStationHit) << r.what;
            EXPECT_TRUE(Level.FlamingAsteroid->Initialized_) << r.what;
        } else {
            EXPECT_FALSE(Level.Asteroids[std::size_t(rock)].Active) << r.what;
        }
        // The loss is the station's: it is shown, not the ship's wreck.
        EXPECT_EQ(Hazards.StationLost, r.lost) << r.what;
        ASSERT_TRUE(MeshObj->SelectMesh("goldship"));
        EXPECT_FALSE(MeshObj->GetVisible()) << r.what;
    }
}

// A station lost to hits goes up where it stands, also when the hit's own explosion is
// still running: the view is placed out from the station on the player's side, a
// fireball wider than the station covers it ahead of the camera, a shock wave spreads
// from it, and the sequence ends for the game-over menu, after which nothing moves.
TEST_F(StationDefence, ALostStationGoesUpInAFireballInView) {
    const float screenW = 1280, screenH = 1024;
    struct Row {
        const char* what;
        bool flaming;
    };
    const Row rows[] = {{"the seventh asteroid", false}, {"the flaming asteroid past six", true}};
    const engine::MeshItem* stationItem = h.Scene().meshes.Find(Level.StationId);
    ASSERT_TRUE(stationItem && stationItem->geometry);
    const float stationWidth = 2 * stationItem->geometry->radius * stationItem->scale.x;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ClearBoundsAndFlyby();
        Level.ShipDestroyed = false;
        Level.ExplosionActive = false;
        const Vector player{40, -30, 20};
        PutCamera(player);
        Level.StationDamageLevel = r.flaming ? 5 : 6;
        Level.FlamingStationHit = false;
        Level.FlamingAsteroid->Position_ = r.flaming ? Level.StationPos : Vector{0, 20000, 0};
        Level.FlamingAsteroid->Initialized_ = true;
        if (!r.flaming) AsteroidAt(200);
        CheckShipCollisions();
        ASSERT_TRUE(Level.ShipDestroyed);
        ASSERT_TRUE(Hazards.StationLost);

        const Vector station = StationNow();
        bool done = false;
        h.RunFrames(1);
        RunShipDeath(done);
        CameraObj->SelectCameraById(0);
        const Vector eye = CameraObj->GetCameraPosition();
        EXPECT_NEAR(Distance(eye, station), 2000, 1);
        EXPECT_GT(Dot(Normalise(eye - station), Normalise(player - station)), 0.999f)
            << "out on the side the player saw it from";
        const Vector2 stationOnScreen = CameraObj->ProjectToScreen(station);
        EXPECT_NEAR(stationOnScreen.x, screenW / 2, 1);
        EXPECT_NEAR(stationOnScreen.y, screenH / 2, 1);

        const test::FireballView v = test::ViewOfFireball(h);
        ASSERT_TRUE(v.shown);
        EXPECT_NEAR(Distance(v.at, station), 500, 1) << "drawn in front of the station's near side";
        EXPECT_TRUE(v.OnScreen(screenW, screenH));
        EXPECT_GT(v.facing, 0.99f);
        EXPECT_GE(v.width, stationWidth);
        EXPECT_GE(v.width, 5 * 4 * ExplosionSpriteScale) << "several times a kill's";
        EXPECT_GT(v.screenWidth, test::ScreenWidthOf(station, stationWidth));
        EXPECT_TRUE(v.texture == Effects.ExplosionTextures[4] || v.texture == Effects.ExplosionTextures[5] ||
                    v.texture == Effects.ExplosionTextures[6])
            << "texture " << v.texture;
        ASSERT_TRUE(MeshObj->SelectMesh("shock"));
        EXPECT_TRUE(MeshObj->GetVisible());
        EXPECT_LT(Distance(MeshObj->GetPosition(), station), 0.01f);
        const float shockStart = h.Scene().meshes.Find("shock")->scale.x;

        int shownFrames = 1;
        for (int frame = 0; frame < 300 && !done; ++frame) {
            h.RunFrames(1);
            RunShipDeath(done);
            if (done) break;
            const test::FireballView now = test::ViewOfFireball(h);
            EXPECT_TRUE(now.shown && now.OnScreen(screenW, screenH)) << "frame " << frame;
            shownFrames += now.shown;
        }
        EXPECT_TRUE(done);
        EXPECT_GE(shownFrames, 60);
        EXPECT_GT(h.Scene().meshes.Find("shock")->scale.x, 10 * shockStart) << "the shock wave spread";
        EXPECT_FALSE(Shown("goldship"));

        // The game-over menu keeps calling it: done again, nothing moves.
        const Vector after = CameraObj->GetCameraPosition();
        for (int i = 0; i < 3; ++i) {
            done = false;
            h.RunFrames(1);
            RunShipDeath(done);
            EXPECT_TRUE(done);
        }
        CameraObj->SelectCameraById(0);
        EXPECT_LT(Distance(CameraObj->GetCameraPosition(), after), 0.01f);
    }
}

// An impact at the station ends one pass, as a shoot-down does: the passes drawn for the
// level stay, and the next one comes on the same level.
TEST_F(StationDefence, AFlamingImpactKeepsTheLevelsPassesLeft) {
    Campaign.CurrentLevel = 30;
    Level.FlamingAsteroid->NextLevel_ = 30;
    sys::QueueRandom({0.9});  // passes: nearest(2 x 0.9) + 1 = 3
    SpawnFlamingAsteroid();
    ASSERT_EQ(Level.FlamingAsteroid->TimesPerLevel_, 3);
    Level.FlamingAsteroid->NextLevel_ = 30;  // due on this level, whatever the first draw said
    Level.FlamingAsteroid->Position_ = Level.StationPos;
    Level.FlamingStationHit = false;
    CheckShipCollisions();
    ASSERT_TRUE(Level.FlamingStationHit);
    SpawnFlamingAsteroid();
    EXPECT_EQ(Level.FlamingAsteroid->TimesPerLevel_, 3);
    EXPECT_EQ(Level.FlamingAsteroid->TimesDone_, 1);
    EXPECT_EQ(Level.FlamingAsteroid->NextLevel_, 30);
    EXPECT_TRUE(Level.FlamingAsteroid->Active_);
}

TEST_F(StationDefence, AsteroidsFlyAtTheStationButTheHeldOneNeverStrikesNorWarns) {
    struct Row {
        const char* what;
        int level;
        bool held;
        float gap;
        bool moves, strikes;
        bool voiceDue, warns;  // the close-asteroid voice and the station pointer
    };
    const Row rows[] = {
        {"far out", 3, false, 2000, true, false, false, false},
        {"close in", 3, false, 200, true, true, false, false},
        {"held by the beam", 3, true, 200, true, false, false, false},
        {"on the last level", 50, false, 2000, false, false, false, false},
        {"near with the voice due", 3, false, 1500, true, false, true, true},
        {"held with the voice due", 3, true, 1500, true, false, true, false},
        {"beyond 2000 with the voice due", 3, false, 2100, true, false, true, false},
    };
    const float step = AsteroidSpeed();
    ASSERT_GT(step, 0);
    for (const Row& r : rows) {
        Campaign.CurrentLevel = r.level;
        Level.StationDamageLevel = 0;
        Hud.HudPointers[0].PointerOn = false;
        Hazards.CloseVoiceTimer = r.voiceDue ? 800 : 0;
        const int i = AsteroidAt(r.gap);
        const AsteroidRec& a = Level.Asteroids[std::size_t(i)];
        if (r.held) Arsenal.GravityBeam->Grab(a.MeshId);

        CheckShipCollisions();

        const float expected = r.moves ? r.gap - step : r.gap;
        EXPECT_NEAR(Distance(a.Pos, StationNow()), expected, 0.5f) << r.what;
        EXPECT_EQ(Level.StationDamageLevel, r.strikes ? 1 : 0) << r.what;
        EXPECT_EQ(a.Active, !r.strikes) << r.what;
        EXPECT_EQ(Hud.HudPointers[0].PointerOn, r.warns) << r.what;
        if (r.warns) {
            EXPECT_LT(Hazards.CloseVoiceTimer, 800) << r.what;
        }
        EXPECT_FALSE(Level.ShipDestroyed) << r.what;
        Arsenal.GravityBeam->Init();
        if (a.Active) {  // out of the next row's way
            const Vector away = StationNow() + Vector{0, 9000, 0};
            MeshObj->SelectMeshById(a.MeshId);
            MeshObj->SetPosition(away);
        }
    }
}

TEST_F(StationDefence, SideProbesFollowTheShipsRightAxisAndTheSlide) {
    // How far the station's hull lies along +X from a point well off its side.
    const Vector from = StationNow() - Vector{5000, 0, 0};
    const RayRec ray{from, {1, 0, 0}};
    float lo = 0, hi = 5000;
    ASSERT_TRUE(MeshObj->RayHit(ray, 3, hi, 0, 0, true).HitFlag);
    while (hi - lo > 0.1f) {
        const float mid = (lo + hi) / 2;
        (MeshObj->RayHit(ray, 3, mid, 0, 0, true).HitFlag ? hi : lo) = mid;
    }
    // The hull 40 ahead along +X.
    PutCamera(from + Vector{hi - 40, 0, 0});

    struct Row {
        float right;  // the ship's right axis along +X or -X
        float slide;
        bool blocked;
    };
    const Row rows[] = {
        {1, 25, true},    // 25 + 20 reaches the hull
        {1, 15, false},   // 15 + 20 stops short
        {1, -25, false},  // sliding left probes away from the hull
        {-1, -25, true},  // right axis turned round: left is +X
        {-1, 25, false}, {-1, -15, false},
    };
    for (const Row& r : rows) {
        Ship.CamAxes.AxisRight = {r.right, 0, 0};
        Ship.CamAxes.AxisUp = {0, 1, 0};
        Ship.CamAxes.AxisFront = {0, 0, r.right};
        float d = r.slide;
        CheckForwardCollision(d);
        EXPECT_EQ(d, r.blocked ? 0 : r.slide) << r.right << " " << r.slide;
        EXPECT_EQ(Hazards.ProbeHits[0].HitFlag, r.blocked) << r.right << " " << r.slide;
    }
}

// The shield check and the probe rays need no scene.
class ShieldCheck : public test::LevelRecordsTest {};

TEST_F(ShieldCheck, AFullGaugeLosesTheShipAndANearlyFullOneWarns) {
    struct Row {
        float damage;
        bool repairing;
        bool lost, warned;
    };
    const Row rows[] = {
        {80, false, false, false},   {80.01f, false, false, true}, {80.01f, true, false, false},
        {99.9f, false, false, true}, {100, false, true, false},    {130, true, true, false},
        {0, false, false, false},
    };
    for (const Row& r : rows) {
        ClearBoundsAndFlyby();
        Level.ShipDestroyed = false;
        Hud.HudPointers[0].PointerOn = false;
        Ship.ShieldMax = 100;
        Ship.ShieldDamage = r.damage;
        Arsenal.Repairing = r.repairing;
        CheckShield();
        EXPECT_EQ(Level.ShipDestroyed, r.lost) << r.damage;
        EXPECT_EQ(Hazards.ShipWreckPlaced, r.lost) << r.damage;
        EXPECT_EQ(Hud.HudPointers[0].PointerOn, r.warned) << r.damage << " " << r.repairing;
    }
    Arsenal.Repairing = false;
}

TEST_F(ShieldCheck, OneLossPlacesOneWreck) {
    Ship.ShieldMax = 100;
    Ship.ShieldDamage = 100;
    PutCamera({10, 20, 30});
    CheckShield();
    PutCamera({500, 20, 30});
    CheckShield();  // the same loss reported again: the ship stays where it was lost
    ExplodeShip();
    EXPECT_LT(Distance(LevelEnd.ShipPos, {10, 20, 30}), 0.01f);
    // The next life's loss is its own.
    ClearBoundsAndFlyby();
    CheckShield();
    EXPECT_LT(Distance(LevelEnd.ShipPos, {500, 20, 30}), 0.01f);
}

TEST_F(ShieldCheck, ProbeRaysFanOutBehindTheShipsFront) {
    const float o = 0.05f;
    const Vector offsets[9] = {{0, 0, 0},  {o, o, 0},  {-o, -o, 0}, {o, 0, 0}, {0, o, 0},
                               {-o, 0, 0}, {0, -o, 0}, {o, -o, 0},  {-o, o, 0}};
    for (const Vector front : {Vector{0, 0, 1}, Vector{0.6f, 0, 0.8f}, Vector{0, -1, 0}}) {
        Ship.CamAxes.AxisFront = front;
        Ship.CamBasis.CamPos = {7, -8, 9};
        BuildProbeRays();
        for (std::size_t k = 0; k < 9; ++k) {
            const RayRec& ray = Flight.ProbeRays[k];
            EXPECT_LT(Distance(ray.Origin, {7, -8, 9}), 1e-6f) << k;
            const Vector want = -(front + offsets[k]);
            EXPECT_LT(Distance(ray.Dir, want), 1e-6f) << k << " front " << front.x << "," << front.y;
        }
    }
}

}  // namespace
}  // namespace quorvel
