// The mothership boss and the giant asteroid.

#include <gtest/gtest.h>

#include <string>

#include "enemy_fixture.h"

namespace quorvel {
namespace {

class Mothership : public test::EnemyTest {
  protected:
    void SetUp() override {
        EnemyTest::SetUp();
        MothershipId = Node("mothership");
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
            SmokeFx[e].SystemId = ParticleObj->CreateSystem("flame" + std::to_string(e));
            ParticleObj->SetEmitting(false);
        }
        CurrentLevel = 5;
        MothershipLevel = true;
        MothershipArmed = MothershipInRange = MothershipBreakingUp = MothershipKillHold = false;
        MothershipCharging = MothershipFireReady = false;
        MothershipChargeTime = 0;
        MothershipChargeInterval = 1;
        MothershipChargeStep = 1;
        MothershipShotSlot = 1;
        CamBasis.CamPos = {0, 0, 0};
        StationPos = {600, 100, -3100};
    }
    // Arrival and glide-in as the frame loop runs them; the frames it took.
    int Arrive() {
        ResetMothership();
        StartMothershipHyperspaceIn();
        int frames = 0;
        while (!MothershipInRange && frames < 1000) {
            MothershipApproach();
            MothershipShockWave->Poll(FrameFactor);
            Tick();
            ++frames;
        }
        return frames;
    }
};

TEST_F(Mothership, EnergyByLevelAndDifficulty) {
    struct Case {
        int level, difficulty;
        float energy;
    };
    for (const Case c : {Case{5, 2, 20000}, Case{50, 5, 260000}, Case{15, 1, 25000}, Case{45, 3, 145000}}) {
        CurrentLevel = c.level;
        DifficultyLevel = c.difficulty;
        ResetMothership();
        EXPECT_FLOAT_EQ(MothershipEnergy, c.energy) << c.level;
        EXPECT_FLOAT_EQ(MothershipEnergyMax, c.energy);
    }
    EXPECT_TRUE(MothershipArmed);
    EXPECT_TRUE(ShipCollisionsOff);
    EXPECT_TRUE(Visible("masproj3"));
}

TEST_F(Mothership, HyperspaceArrivalAndGlideIn) {
    ResetMothership();
    StartMothershipHyperspaceIn();
    EXPECT_EQ(Plays("mashyper").size(), 1u);
    test::ExpectNear(Pos(MothershipId), {3500, 2500, 14000});
    int frames = 0;
    while (!MothershipArriving && frames < 100) {
        MothershipApproach();
        MothershipShockWave->Poll(FrameFactor);
        ++frames;
        if (!MothershipArriving) {
            EXPECT_FALSE(Visible(MothershipId));  // hidden in hyperspace
        }
    }
    EXPECT_EQ(frames, 33);  // the wave steps once a frame and passes 32
    test::ExpectNear(CameraObj->GetCameraPosition(), {-1000, 500, -3000});
    int glide = 0;
    while (!MothershipInRange && glide < 1000) {
        MothershipApproach();
        ++glide;
        EXPECT_TRUE(ShipCollisionsOff);
    }
    EXPECT_NEAR(glide, 146, 2);
    const Vector end = Pos(MothershipId);
    EXPECT_LT(end.z, 100);
    EXPECT_TRUE(Visible(MothershipId));
    EXPECT_TRUE(Visible("mshell"));
    EXPECT_NEAR(Pos("mshell").z, end.z, 1e-2);
    EXPECT_NEAR(Pos("energy").z, end.z - 680, 40);  // at the bow, toward the player
    EXPECT_FALSE(Visible("energy"));
    EXPECT_TRUE(Plays("maseng").back());  // looping
    UpdateMothership();
    EXPECT_FALSE(ShipCollisionsOff);
    EXPECT_TRUE(HudPointers[18].PointerOn);
}

TEST_F(Mothership, ChargeFireAndShotFlight) {
    Arrive();
    FrameStartTime = 2000;
    UpdateMothership();  // the first attack frame starts a charge at once
    EXPECT_TRUE(MothershipCharging);
    EXPECT_GE(MothershipChargeInterval, 0.8f);
    EXPECT_LT(MothershipChargeInterval, 2.8f);
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
    EXPECT_EQ(MothershipShotSlot, 2);
    EXPECT_FALSE(MothershipCharging);

    // Shot speed: 0.8 per level + 140 a frame, toward where the camera was.
    const Vector before = Pos("masphold1");
    Tick();
    UpdateMothership();
    EXPECT_NEAR(Distance(before, Pos("masphold1")), 144, 1e-2);
    test::ExpectNear(Pos("masproj1"), Pos("masphold1"));

    // A shot near the station goes back to the bow, hidden for that frame.
    MeshObj->SelectMesh("masphold2");
    MeshObj->SetPosition(StationPos.x, StationPos.y, StationPos.z + 200);
    Tick();
    UpdateMothership();
    EXPECT_FALSE(Visible("masproj2"));
    test::ExpectNear(Pos("masphold2"), Pos("energy"), 1);

    // A shot within 35 of the camera hits the player.
    PlayerHitPending = false;
    MeshObj->SelectMesh("masphold3");
    MeshObj->SetPosition(0, 0, -130);
    MeshObj->LookAt(0, 0, 1000);
    Tick();
    UpdateMothership();
    EXPECT_TRUE(PlayerHitPending);
}

TEST_F(Mothership, DamageFlamesByEnergyLeft) {
    struct Case {
        float ratio;
        int burning;  // entries 5 to 4 + burning
    };
    for (const Case c : {Case{1, 0}, Case{0.75f, 0}, Case{0.74f, 1}, Case{0.6f, 1}, Case{0.5f, 2},
                         Case{0.3f, 3}, Case{0.2f, 4}, Case{0.9f, 0}}) {
        MothershipEnergyMax = 20000;
        MothershipEnergy = c.ratio * 20000;
        UpdateMothershipDamage({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
        for (int e = 5; e <= 8; ++e) {
            EXPECT_EQ(SmokeFx[std::size_t(e)].Active, e < 5 + c.burning) << c.ratio << " " << e;
            EXPECT_EQ(Emitting(SmokeFx[std::size_t(e)].SystemId), e < 5 + c.burning) << c.ratio << " " << e;
        }
    }
}

TEST_F(Mothership, HitsKillAndKillMoney) {
    Arrive();
    UpdateMothership();
    MothershipEnergy = MothershipEnergyMax = 20000;
    AsteroidsLeft = 0;
    MothershipHit(Node("other"), 5000, {});  // not the boss
    EXPECT_FLOAT_EQ(MothershipEnergy, 20000);
    MothershipHit(MothershipId, 19999, {});
    EXPECT_FLOAT_EQ(MothershipEnergy, 1);  // exactly 1 left: alive
    EXPECT_FALSE(MothershipBreakingUp);
    const Vector hull = Pos(MothershipId);
    MothershipHit(MothershipId, 1, {1, 2, 3});
    EXPECT_TRUE(MothershipBreakingUp);
    EXPECT_EQ(Money, 2500000);
    EXPECT_EQ(Plays("hit").size(), 2u);
    EXPECT_FALSE(MothershipLevel || MothershipArmed || MothershipInRange || MothershipInbound);
    EXPECT_FLOAT_EQ(MothershipEnergy, 20000);
    EXPECT_FALSE(Visible(MothershipId));
    EXPECT_FALSE(Visible("mshell"));
    EXPECT_FALSE(Visible("masproj1"));
    EXPECT_FALSE(HudPointers[18].PointerOn);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(Visible("mship" + std::to_string(i)));
        test::ExpectNear(Pos("mship" + std::to_string(i)), hull);
    }
    for (std::size_t e = 5; e <= 8; ++e)
        EXPECT_FALSE(SmokeFx[e].Active);
    EXPECT_FALSE(Emitting("enginemas1b"));
    // No asteroid left: the level is held at one until the frame loop lets it go.
    EXPECT_TRUE(MothershipKillHold);
    EXPECT_EQ(AsteroidsLeft, 1);
    EXPECT_TRUE(ExplosionActive);
}

TEST_F(Mothership, AKillOutsideAFightHoldsNothing) {
    // The in-game load ends a level with a kill call while no boss flies.
    AsteroidsLeft = 0;
    MothershipHit(MothershipId, 1000000, {});
    EXPECT_FALSE(MothershipKillHold);
    EXPECT_EQ(AsteroidsLeft, 0);
}

TEST_F(Mothership, BreakUpTimeline) {
    struct Case {
        int level;
        int asteroidsLeft;
        int endsOnCall;  // 0: never
    };
    for (const Case c : {Case{15, 5, 301}, Case{15, 0, 1}, Case{25, 5, 301}, Case{50, 0, 0}}) {
        SCOPED_TRACE(c.level);
        CurrentLevel = c.level;
        MothershipArmed = true;
        GoldCutsceneArmed = false;
        BattleshipActive = false;
        Node("masbattle");
        Node("masbattlesm");
        Node("lightanim");
        FrameStartTime = 5000;
        AsteroidsLeft = c.asteroidsLeft;
        MothershipHit(MothershipId, 1e9f, {});
        const bool hold = MothershipKillHold;
        MothershipKillHold = false;
        AsteroidsLeft = c.asteroidsLeft;  // the hold is the frame loop's to release
        const Vector start = Pos("mship1");
        int calls = 0;
        while (MothershipBreakingUp && calls < 400) {
            Tick();
            RunMothershipBreakup();
            ++calls;
        }
        EXPECT_EQ(calls, c.endsOnCall == 0 ? 400 : c.endsOnCall);
        if (c.endsOnCall == 0) {
            test::ExpectNear(Pos("mship1"), {start.x - 6400, start.y + 6400, start.z}, 1);
            EXPECT_TRUE(Visible("mship1"));
            EXPECT_TRUE(BattleshipActive);  // level 50: the battleship comes at the kill
            EXPECT_DOUBLE_EQ(BattleshipTimer, 5000);
            EXPECT_TRUE(BattleshipPending);
        } else {
            EXPECT_FALSE(Visible("mship1"));
        }
        EXPECT_EQ(GoldCutsceneArmed, c.level == 25);
        EXPECT_EQ(hold, c.asteroidsLeft == 0);
        MothershipBreakingUp = false;
    }
}

class GiantAsteroid : public test::EnemyTest {
  protected:
    void SetUp() override {
        EnemyTest::SetUp();
        Node("ga");
        Node("gahold");
        Node("shock");
        CurrentLevel = 10;
        DifficultyFactor = 1;
        GiantAsteroidPending = true;
        GiantAsteroidFlying = GiantAsteroidActive = false;
        GiantAsteroidId = -1;
    }
};

TEST_F(GiantAsteroid, HitPointsByLevelAndDifficulty) {
    struct Case {
        int level;
        float factor;
        float hp;
    };
    for (const Case c :
         {Case{10, 1, 20000}, Case{20, 0.75f, 18750}, Case{30, 1, 30000}, Case{40, 1.25f, 50000}}) {
        CurrentLevel = c.level;
        DifficultyFactor = c.factor;
        StartGiantAsteroid();
        EXPECT_FLOAT_EQ(GiantAsteroidHP, c.hp) << c.level;
        EXPECT_FLOAT_EQ(GiantAsteroidHPMax, c.hp);
    }
    GiantAsteroidHP = 1234;
    CurrentLevel = 11;  // no table value: the last stays
    StartGiantAsteroid();
    EXPECT_FLOAT_EQ(GiantAsteroidHP, 1234);
}

TEST_F(GiantAsteroid, FlyByRunRestartAndKill) {
    // The ship has flown off its start; the fly-by ends with the ship and the view
    // back at the start pose, where the run is fought.
    const int hold = Node("hold");
    MeshObj->SelectMeshById(hold);
    MeshObj->SetPosition({500, 0, -900});
    CameraObj->SetCameraPosition({500, 0, -899});
    StartGiantAsteroid();
    EXPECT_TRUE(GiantAsteroidFlying);
    const Vector start = GiantAsteroidStart;
    EXPECT_FLOAT_EQ(start.z, 20000);
    EXPECT_GE(start.y, 0);
    EXPECT_LT(start.y, 400);
    EXPECT_TRUE(Visible("ga"));
    // Nothing hits it during the fly-by.
    GiantAsteroidHit(GiantAsteroidId, 1e9f, {});
    EXPECT_EQ(Money, 0);
    int frames = 0;
    while (GiantAsteroidFlying && frames < 1000) {
        UpdateGiantAsteroidHold();
        ++frames;
    }
    EXPECT_TRUE(GiantAsteroidActive);
    EXPECT_GT(Pos("gahold").z, 25000);
    test::ExpectNear(Pos(hold), {0, 0, 0});
    CameraObj->SelectCameraById(0);
    test::ExpectNear(CameraObj->GetCameraPosition(), {0, 0, 1});
    test::ExpectNear(Pos("ga"), start);

    // The run: 15 a frame toward the station; through it the ship is lost and the run restarts.
    GiantAsteroidHit(GiantAsteroidId, 5000, {});
    EXPECT_FLOAT_EQ(GiantAsteroidHP, 15000);
    UpdateGiantAsteroid();
    EXPECT_NEAR(Distance(Pos("ga"), start), 15, 1e-2);
    frames = 0;
    while (!ShipDestroyed && frames < 3000) {
        UpdateGiantAsteroid();
        ++frames;
    }
    EXPECT_TRUE(ShipDestroyed);
    test::ExpectNear(Pos("ga"), start);
    EXPECT_FLOAT_EQ(GiantAsteroidHP, 20000);
    EXPECT_TRUE(GiantAsteroidActive);

    // Another entity's id changes nothing; the kill pays once and clears the id.
    GiantAsteroidHit(Node("rock"), 1e9f, {});
    EXPECT_FLOAT_EQ(GiantAsteroidHP, 20000);
    const int id = GiantAsteroidId;
    GiantAsteroidHit(id, 20000, {5, 5, 5});
    EXPECT_EQ(Money, 2500000);
    EXPECT_FALSE(GiantAsteroidPending || GiantAsteroidActive || GiantAsteroidFlying);
    EXPECT_FALSE(Visible("ga"));
    EXPECT_EQ(GiantAsteroidId, -1);
    EXPECT_FLOAT_EQ(GiantAsteroidHP, 25000);
    EXPECT_EQ(Plays("hit").size(), 2u);
    GiantAsteroidHit(id, 1e9f, {});  // a late shot or a load's kill call
    EXPECT_EQ(Money, 2500000);
}

}  // namespace
}  // namespace quorvel
