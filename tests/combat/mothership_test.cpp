// The mothership boss and the giant asteroid.

#include <gtest/gtest.h>

#include <string>

#include "enemy_fixture.h"

namespace quorvel {
namespace {

class MothershipFight : public test::EnemyTest {
  protected:
    void SetUp() override {
        EnemyTest::SetUp();
        Level.MothershipId = Node("mothership");
        MeshObj->SetPosition(3500, 2500, 0);
        Node("mshell");
        Node("energy");
        Node("shock2");
        Node("shock");
        for (int i = 1; i <= 5; ++i) {
            Node("masproj" + std::to_string(i));
            Node("masphold" + std::to_string(i));
            MeshObj->SetPosition(0, 0, 100000);
            Node("mship" + std::to_string(i));
        }
        for (const char* key :
             {"enginemas1b", "enginemas2b", "mastipb1", "mastipb2", "mastipb3", "mastipb4"}) {
            ParticleObj->CreateSystem(key);
            ParticleObj->SetEmitting(false);
        }
        for (std::size_t e = 5; e <= 8; ++e) {
            Effects.SmokeFx[e].SystemId = ParticleObj->CreateSystem("flame" + std::to_string(e));
            ParticleObj->SetEmitting(false);
        }
        Campaign.CurrentLevel = 5;
        Mothership.MothershipLevel = true;
        Mothership.MothershipArmed = Mothership.MothershipInRange = Mothership.MothershipBreakingUp =
            Mothership.MothershipKillHold = false;
        Mothership.MothershipCharging = Mothership.MothershipFireReady = false;
        Mothership.MothershipChargeTime = 0;
        Mothership.MothershipChargeInterval = 1;
        Mothership.MothershipChargeStep = 1;
        Mothership.MothershipShotSlot = 1;
        Ship.CamBasis.CamPos = {0, 0, 0};
        Level.StationPos = {600, 100, -3100};
    }
    // Arrival and glide-in as the frame loop runs them; the frames it took.
    int Arrive() {
        ResetMothership();
        StartMothershipHyperspaceIn();
        int frames = 0;
        while (!Mothership.MothershipInRange && frames < 1000) {
            MothershipApproach();
            Effects.MothershipShockWave->Poll(Campaign.FrameFactor);
            Tick();
            ++frames;
        }
        return frames;
    }
};

TEST_F(MothershipFight, EnergyByLevelAndDifficulty) {
    struct Case {
        int level, difficulty;
        float energy;
    };
    for (const Case c : {Case{5, 2, 20000}, Case{50, 5, 260000}, Case{15, 1, 25000}, Case{45, 3, 145000}}) {
        Campaign.CurrentLevel = c.level;
        Campaign.DifficultyLevel = c.difficulty;
        ResetMothership();
        EXPECT_FLOAT_EQ(Mothership.MothershipEnergy, c.energy) << c.level;
        EXPECT_FLOAT_EQ(Mothership.MothershipEnergyMax, c.energy);
    }
    EXPECT_TRUE(Mothership.MothershipArmed);
    EXPECT_TRUE(Level.ShipCollisionsOff);
    EXPECT_TRUE(Visible("masproj3"));
}

TEST_F(MothershipFight, HyperspaceArrivalAndGlideIn) {
    ResetMothership();
    StartMothershipHyperspaceIn();
    EXPECT_EQ(Plays("mashyper").size(), 1u);
    test::ExpectNear(Pos(Level.MothershipId), {3500, 2500, 14000});
    int frames = 0;
    while (!Mothership.MothershipArriving && frames < 100) {
        MothershipApproach();
        Effects.MothershipShockWave->Poll(Campaign.FrameFactor);
        ++frames;
        if (!Mothership.MothershipArriving) {
            EXPECT_FALSE(Visible(Level.MothershipId));  // hidden in hyperspace
        }
    }
    EXPECT_EQ(frames, 33);  // the wave steps once a frame and passes 32
    test::ExpectNear(CameraObj->GetCameraPosition(), {-1000, 500, -3000});
    int glide = 0;
    while (!Mothership.MothershipInRange && glide < 1000) {
        MothershipApproach();
        ++glide;
        EXPECT_TRUE(Level.ShipCollisionsOff);
    }
    EXPECT_NEAR(glide, 146, 2);
    const Vector end = Pos(Level.MothershipId);
    EXPECT_LT(end.z, 100);
    EXPECT_TRUE(Visible(Level.MothershipId));
    EXPECT_TRUE(Visible("mshell"));
    EXPECT_NEAR(Pos("mshell").z, end.z, 1e-2);
    EXPECT_NEAR(Pos("energy").z, end.z - 680, 40);  // at the bow, toward the player
    EXPECT_FALSE(Visible("energy"));
    EXPECT_TRUE(Plays("maseng").back());  // looping
    UpdateMothership();
    EXPECT_FALSE(Level.ShipCollisionsOff);
    EXPECT_TRUE(Hud.HudPointers[18].PointerOn);
}

TEST_F(MothershipFight, ChargeFireAndShotFlight) {
    Arrive();
    Campaign.FrameStartTime = 2000;
    UpdateMothership();  // the first attack frame starts a charge at once
    EXPECT_TRUE(Mothership.MothershipCharging);
    EXPECT_GE(Mothership.MothershipChargeInterval, 0.8f);
    EXPECT_LT(Mothership.MothershipChargeInterval, 2.8f);
    int frames = 0;
    while (Plays("masshoot").empty() && frames < 30) {
        Tick();
        UpdateMothership();
        ++frames;
        if (Plays("masshoot").empty()) {
            EXPECT_TRUE(Visible("energy")) << frames;
        }
    }
    EXPECT_EQ(frames, 12);  // steps 1 to 11 shown, the twelfth fires
    EXPECT_EQ(Plays("masener").size(), 1u);
    EXPECT_FALSE(Visible("energy"));
    EXPECT_EQ(Mothership.MothershipShotSlot, 2);
    EXPECT_FALSE(Mothership.MothershipCharging);

    // Shot speed: 0.8 per level + 140 a frame, toward where the camera was.
    const Vector before = Pos("masphold1");
    Tick();
    UpdateMothership();
    EXPECT_NEAR(Distance(before, Pos("masphold1")), 144, 1e-2);
    test::ExpectNear(Pos("masproj1"), Pos("masphold1"));

    // A shot near the station goes back to the bow, hidden for that frame.
    MeshObj->SelectMesh("masphold2");
    MeshObj->SetPosition(Level.StationPos.x, Level.StationPos.y, Level.StationPos.z + 200);
    Tick();
    UpdateMothership();
    EXPECT_FALSE(Visible("masproj2"));
    test::ExpectNear(Pos("masphold2"), Pos("energy"), 1);

    // A shot within 35 of the camera hits the player.
    Level.PlayerHitPending = false;
    MeshObj->SelectMesh("masphold3");
    MeshObj->SetPosition(0, 0, -130);
    MeshObj->LookAt(0, 0, 1000);
    Tick();
    UpdateMothership();
    EXPECT_TRUE(Level.PlayerHitPending);
}

TEST_F(MothershipFight, DamageFlamesByEnergyLeft) {
    struct Case {
        float ratio;
        int burning;  // entries 5 to 4 + burning
    };
    for (const Case c : {Case{1, 0}, Case{0.75f, 0}, Case{0.74f, 1}, Case{0.6f, 1}, Case{0.5f, 2},
                         Case{0.3f, 3}, Case{0.2f, 4}, Case{0.9f, 0}}) {
        Mothership.MothershipEnergyMax = 20000;
        Mothership.MothershipEnergy = c.ratio * 20000;
        UpdateMothershipDamage({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
        for (int e = 5; e <= 8; ++e) {
            EXPECT_EQ(Effects.SmokeFx[std::size_t(e)].Active, e < 5 + c.burning) << c.ratio << " " << e;
            EXPECT_EQ(Emitting(Effects.SmokeFx[std::size_t(e)].SystemId), e < 5 + c.burning)
                << c.ratio << " " << e;
        }
    }
}

TEST_F(MothershipFight, HitsKillAndKillMoney) {
    Arrive();
    UpdateMothership();
    Mothership.MothershipEnergy = Mothership.MothershipEnergyMax = 20000;
    Level.AsteroidsLeft = 0;
    MothershipHit(Node("other"), 5000, {});  // not the boss
    EXPECT_FLOAT_EQ(Mothership.MothershipEnergy, 20000);
    MothershipHit(Level.MothershipId, 19999, {});
    EXPECT_FLOAT_EQ(Mothership.MothershipEnergy, 1);  // exactly 1 left: alive
    EXPECT_FALSE(Mothership.MothershipBreakingUp);
    const Vector hull = Pos(Level.MothershipId);
    MothershipHit(Level.MothershipId, 1, {1, 2, 3});
    EXPECT_TRUE(Mothership.MothershipBreakingUp);
    EXPECT_EQ(Campaign.Money, 2500000);
    EXPECT_EQ(Plays("hit").size(), 2u);
    EXPECT_FALSE(Mothership.MothershipLevel || Mothership.MothershipArmed || Mothership.MothershipInRange ||
                 Mothership.MothershipInbound);
    EXPECT_FLOAT_EQ(Mothership.MothershipEnergy, 20000);
    EXPECT_FALSE(Visible(Level.MothershipId));
    EXPECT_FALSE(Visible("mshell"));
    EXPECT_FALSE(Visible("masproj1"));
    EXPECT_FALSE(Hud.HudPointers[18].PointerOn);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(Visible("mship" + std::to_string(i)));
        test::ExpectNear(Pos("mship" + std::to_string(i)), hull);
    }
    for (std::size_t e = 5; e <= 8; ++e)
        EXPECT_FALSE(Effects.SmokeFx[e].Active);
    EXPECT_FALSE(Emitting("enginemas1b"));
    // No asteroid left: the level is held at one until the frame loop lets it go.
    EXPECT_TRUE(Mothership.MothershipKillHold);
    EXPECT_EQ(Level.AsteroidsLeft, 1);
    EXPECT_TRUE(Level.ExplosionActive);
}

TEST_F(MothershipFight, AKillOutsideAFightHoldsNothing) {
    // The in-game load ends a level with a kill call while no boss flies.
    Level.AsteroidsLeft = 0;
    MothershipHit(Level.MothershipId, 1000000, {});
    EXPECT_FALSE(Mothership.MothershipKillHold);
    EXPECT_EQ(Level.AsteroidsLeft, 0);
}

TEST_F(MothershipFight, BreakUpTimeline) {
    struct Case {
        int level;
        int asteroidsLeft;
        int endsOnCall;  // 0: never
    };
    for (const Case c : {Case{15, 5, 301}, Case{15, 0, 1}, Case{25, 5, 301}, Case{50, 0, 0}}) {
        SCOPED_TRACE(c.level);
        Campaign.CurrentLevel = c.level;
        Mothership.MothershipArmed = true;
        Level.GoldCutsceneArmed = false;
        Battleship.BattleshipActive = false;
        Node("masbattle");
        Node("masbattlesm");
        Node("lightanim");
        Campaign.FrameStartTime = 5000;
        Level.AsteroidsLeft = c.asteroidsLeft;
        MothershipHit(Level.MothershipId, 1e9f, {});
        const bool hold = Mothership.MothershipKillHold;
        Mothership.MothershipKillHold = false;
        Level.AsteroidsLeft = c.asteroidsLeft;  // the hold is the frame loop's to release
        const Vector start = Pos("mship1");
        int calls = 0;
        while (Mothership.MothershipBreakingUp && calls < 400) {
            Tick();
            RunMothershipBreakup();
            ++calls;
        }
        EXPECT_EQ(calls, c.endsOnCall == 0 ? 400 : c.endsOnCall);
        if (c.endsOnCall == 0) {
            test::ExpectNear(Pos("mship1"), {start.x - 6400, start.y + 6400, start.z}, 1);
            EXPECT_TRUE(Visible("mship1"));
            EXPECT_TRUE(Battleship.BattleshipActive);  // level 50: the battleship comes at the kill
            EXPECT_DOUBLE_EQ(Battleship.BattleshipTimer, 5000);
            EXPECT_TRUE(Battleship.BattleshipPending);
        } else {
            EXPECT_FALSE(Visible("mship1"));
        }
        EXPECT_EQ(Level.GoldCutsceneArmed, c.level == 25);
        EXPECT_EQ(hold, c.asteroidsLeft == 0);
        Mothership.MothershipBreakingUp = false;
    }
}

class GiantAsteroidFight : public test::EnemyTest {
  protected:
    void SetUp() override {
        EnemyTest::SetUp();
        Node("ga");
        Node("gahold");
        Node("shock");
        Campaign.CurrentLevel = 10;
        Campaign.DifficultyFactor = 1;
        GiantAsteroid.GiantAsteroidPending = true;
        GiantAsteroid.GiantAsteroidFlying = GiantAsteroid.GiantAsteroidActive = false;
        GiantAsteroid.GiantAsteroidId = -1;
    }
};

TEST_F(GiantAsteroidFight, HitPointsByLevelAndDifficulty) {
    struct Case {
        int level;
        float factor;
        float hp;
    };
    for (const Case c :
         {Case{10, 1, 20000}, Case{20, 0.75f, 18750}, Case{30, 1, 30000}, Case{40, 1.25f, 50000}}) {
        Campaign.CurrentLevel = c.level;
        Campaign.DifficultyFactor = c.factor;
        StartGiantAsteroid();
        EXPECT_FLOAT_EQ(GiantAsteroid.GiantAsteroidHP, c.hp) << c.level;
        EXPECT_FLOAT_EQ(GiantAsteroid.GiantAsteroidHPMax, c.hp);
    }
    GiantAsteroid.GiantAsteroidHP = 1234;
    Campaign.CurrentLevel = 11;  // no table value: the last stays
    StartGiantAsteroid();
    EXPECT_FLOAT_EQ(GiantAsteroid.GiantAsteroidHP, 1234);
}

TEST_F(GiantAsteroidFight, FlyByRunRestartAndKill) {
    // The ship has flown off its start; the fly-by ends with the ship and the view
    // back at the start pose, where the run is fought.
    const int hold = Node("hold");
    MeshObj->SelectMeshById(hold);
    MeshObj->SetPosition({500, 0, -900});
    CameraObj->SetCameraPosition({500, 0, -899});
    StartGiantAsteroid();
    EXPECT_TRUE(GiantAsteroid.GiantAsteroidFlying);
    const Vector start = GiantAsteroid.GiantAsteroidStart;
    EXPECT_FLOAT_EQ(start.z, 20000);
    EXPECT_GE(start.y, 0);
    EXPECT_LT(start.y, 400);
    EXPECT_TRUE(Visible("ga"));
    // Nothing hits it during the fly-by.
    GiantAsteroidHit(GiantAsteroid.GiantAsteroidId, 1e9f, {});
    EXPECT_EQ(Campaign.Money, 0);
    int frames = 0;
    while (GiantAsteroid.GiantAsteroidFlying && frames < 1000) {
        UpdateGiantAsteroidHold();
        ++frames;
    }
    EXPECT_TRUE(GiantAsteroid.GiantAsteroidActive);
    EXPECT_GT(Pos("gahold").z, 25000);
    test::ExpectNear(Pos(hold), {0, 0, 0});
    CameraObj->SelectCameraById(0);
    test::ExpectNear(CameraObj->GetCameraPosition(), {0, 0, 1});
    test::ExpectNear(Pos("ga"), start);

    // The run: 15 a frame toward the station; through it the ship is lost and the run restarts.
    GiantAsteroidHit(GiantAsteroid.GiantAsteroidId, 5000, {});
    EXPECT_FLOAT_EQ(GiantAsteroid.GiantAsteroidHP, 15000);
    UpdateGiantAsteroid();
    EXPECT_NEAR(Distance(Pos("ga"), start), 15, 1e-2);
    frames = 0;
    while (!Level.ShipDestroyed && frames < 3000) {
        UpdateGiantAsteroid();
        ++frames;
    }
    EXPECT_TRUE(Level.ShipDestroyed);
    test::ExpectNear(Pos("ga"), start);
    EXPECT_FLOAT_EQ(GiantAsteroid.GiantAsteroidHP, 20000);
    EXPECT_TRUE(GiantAsteroid.GiantAsteroidActive);

    // Another entity's id changes nothing; the kill pays once and clears the id.
    GiantAsteroidHit(Node("rock"), 1e9f, {});
    EXPECT_FLOAT_EQ(GiantAsteroid.GiantAsteroidHP, 20000);
    const int id = GiantAsteroid.GiantAsteroidId;
    GiantAsteroidHit(id, 20000, {5, 5, 5});
    EXPECT_EQ(Campaign.Money, 2500000);
    EXPECT_FALSE(GiantAsteroid.GiantAsteroidPending || GiantAsteroid.GiantAsteroidActive ||
                 GiantAsteroid.GiantAsteroidFlying);
    EXPECT_FALSE(Visible("ga"));
    EXPECT_EQ(GiantAsteroid.GiantAsteroidId, -1);
    EXPECT_FLOAT_EQ(GiantAsteroid.GiantAsteroidHP, 25000);
    EXPECT_EQ(Plays("hit").size(), 2u);
    GiantAsteroidHit(id, 1e9f, {});  // a late shot or a load's kill call
    EXPECT_EQ(Campaign.Money, 2500000);
}

}  // namespace
}  // namespace quorvel
