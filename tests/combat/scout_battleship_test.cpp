// The scout, the battleship, and the enemy timelines across a level start and the pause.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "enemy_fixture.h"

namespace quorvel {
namespace {

class ScoutAndBattleship : public test::EnemyTest {
  protected:
    void SetUp() override {
        EnemyTest::SetUp();
        Level.ScoutId = Node("scout");
        Node("masbattle");
        Level.BattleshipId = Node("masbattlesm");
        Node("lightanim");
        Node("shock");
        for (int n = 1; n <= 20; ++n) {
            const std::string k = std::to_string(n);
            for (const char* key : {"scouthold", "battlehold"}) {
                Node(key + k);
                MeshObj->SetPosition(10000, 10000, 10000);
            }
            Node("scoutproj" + k);
            Node("battleproj" + k);
        }
        for (const char* key : {"battle1", "battle2", "battle3", "battle4"})
            ParticleObj->CreateSystem(key);
        for (std::size_t e = 9; e <= 12; ++e) {
            Effects.SmokeFx[e].SystemId = ParticleObj->CreateSystem("smoke" + std::to_string(e));
            ParticleObj->SetEmitting(false);
        }
        Scout.ScoutActive = false;
        Scout.ScoutHP = 2000;
        Scout.ScoutShotSlot = 1;
        Battleship.BattleshipActive = Battleship.BattleshipPending = false;
        Level.ShipCollisionsOff = false;
        Level.PlayerHitPending = false;
    }
    int SpritesShown(const char* key) {
        int n = 0;
        for (int i = 1; i <= 20; ++i)
            n += Visible(key + std::to_string(i)) ? 1 : 0;
        return n;
    }
};

TEST_F(ScoutAndBattleship, NextLevelRules) {
    struct Case {
        int level;
        float r;
        int scout, battleship;
    };
    const Case cases[] = {
        {2, 0.0f, 4, 4},     // 2 + 2
        {3, 0.0f, 6, 5},     // scout: 5 is a boss or giant level, raised by one
        {2, 0.25f, 4, 4},    // 2.5 to the even 2
        {2, 0.75f, 6, 6},    // 3.5 to the even 4
        {8, 0.99f, 12, 12},  // 4: 12
        {43, 0.9f, 50, 50},  // above 46: 50
        {1, 0.0f, 3, 4},     // the battleship never before level 4
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScoutLevelAfter(c.level, c.r), c.scout) << c.level << " " << c.r;
        EXPECT_EQ(BattleshipLevelAfter(c.level, c.r), c.battleship) << c.level << " " << c.r;
    }
}

TEST_F(ScoutAndBattleship, ScoutPassFromArrivalToDeparture) {
    Campaign.CurrentLevel = 3;
    MeshObj->SelectMesh("scoutproj7");
    MeshObj->SetVisible(true);  // left from an earlier pass
    StartScoutInbound();
    EXPECT_TRUE(Scout.ScoutActive);
    EXPECT_EQ(SpritesShown("scoutproj"), 0);
    EXPECT_GE(Scout.ScoutNextLevel, 6);
    EXPECT_LE(Scout.ScoutNextLevel, 7);
    EXPECT_FLOAT_EQ(Pos("scout").z, 40000);
    std::vector<int> stages{Scout.ScoutState};
    int frames = 0;
    int mostShown = 0;
    while (Scout.ScoutActive && frames < 5000) {
        Tick();
        UpdateScout();
        if (stages.back() != Scout.ScoutState) stages.push_back(Scout.ScoutState);
        mostShown = std::max(mostShown, SpritesShown("scoutproj"));
        ++frames;
    }
    EXPECT_EQ(stages, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_LT(Pos("scout").z, -20000);
    EXPECT_FALSE(Visible("scout"));
    EXPECT_GT(Plays("alienshoot").size(), 10u);
    EXPECT_GT(mostShown, 0);
    EXPECT_EQ(SpritesShown("scoutproj"), 0);  // none left hanging at the end
    EXPECT_FALSE(Level.ShipCollisionsOff);    // only level 2 turns it off
}

TEST_F(ScoutAndBattleship, ScoutShotHitsThePlayerAndStaysDown) {
    Campaign.CurrentLevel = 3;
    StartScoutInbound();
    MeshObj->SelectMesh("scouthold4");
    MeshObj->SetPosition(0, 0, 105);
    MeshObj->LookAt(0, 0, -1000);
    MeshObj->SelectMesh("scoutproj4");
    MeshObj->SetVisible(true);
    UpdateScout();
    EXPECT_TRUE(Level.PlayerHitPending);
    EXPECT_FALSE(Visible("scoutproj4"));
    UpdateScout();
    EXPECT_FALSE(Visible("scoutproj4"));
    test::ExpectNear(Pos("scoutproj4"), {0, 0, -95});  // the slot keeps moving
}

TEST_F(ScoutAndBattleship, ScoutKillDuringTheLevelTwoSequence) {
    Campaign.CurrentLevel = 2;
    StartScoutInbound();
    int frames = 0;
    while (Scout.ScoutState < 5 && frames < 5000) {
        Tick();
        UpdateScout();
        ++frames;
    }
    ASSERT_EQ(Scout.ScoutState, 5);
    Tick();
    UpdateScout();
    EXPECT_TRUE(Level.ShipCollisionsOff);
    EXPECT_TRUE(Visible("masbattle"));
    EXPECT_TRUE(Scout.LightningSoundPlayed);
    ScoutHit(Node("rock"), 25000, {});
    EXPECT_TRUE(Scout.ScoutActive);
    ScoutHit(Level.ScoutId, 1999, {});
    EXPECT_TRUE(Scout.ScoutActive);
    ScoutHit(Level.ScoutId, 1, {1, 1, 1});  // a thrown object always destroys it
    EXPECT_FALSE(Scout.ScoutActive);
    EXPECT_EQ(Campaign.Money, 250000);
    EXPECT_FLOAT_EQ(Scout.ScoutHP, 2000);
    EXPECT_FALSE(Level.ShipCollisionsOff);  // the player's ship is back in play
    EXPECT_FALSE(Visible("masbattle"));
    EXPECT_FALSE(Visible("lightanim"));
    EXPECT_FALSE(Visible("scout"));
    EXPECT_EQ(Plays("hit").size(), 2u);
}

TEST_F(ScoutAndBattleship, BattleshipStrengthTimelineAndDeparture) {
    for (int d : {1, 3, 5}) {
        Campaign.DifficultyLevel = d;
        StartBattleship();
        EXPECT_DOUBLE_EQ(Battleship.BattleshipHP, d * 175000.0);
        EXPECT_DOUBLE_EQ(Battleship.BattleshipHPMax, d * 175000.0);
    }
    Campaign.CurrentLevel = 4;
    Ship.CamBasis.CamPos = {50000, 0, 0};  // far away: never fired upon
    Battleship.BattleshipTimer = 1000;     // the level start
    Campaign.FrameStartTime = 1010;
    StartBattleship();
    Battleship.BattleshipHP = Battleship.BattleshipHPMax * 0.5;  // two smoke stages burn
    EXPECT_TRUE(Battleship.BattleshipActive);
    EXPECT_TRUE(Visible("masbattle") && Visible("lightanim"));
    bool lightningAt14 = false, lightningAt16 = true, smokeBurnt = false;
    while (Battleship.BattleshipActive && Campaign.FrameStartTime < 1100) {
        Tick(0.05);
        UpdateBattleship();
        const double t = Campaign.FrameStartTime - 1000;
        if (t > 13.9 && t < 14.0) lightningAt14 = Visible("lightanim");
        if (t > 16 && t < 16.1) lightningAt16 = Visible("lightanim");
        smokeBurnt = smokeBurnt || Effects.SmokeFx[10].Active;
    }
    EXPECT_TRUE(lightningAt14);
    EXPECT_FALSE(lightningAt16);
    EXPECT_TRUE(smokeBurnt);
    EXPECT_NEAR(Campaign.FrameStartTime - 1000, 45, 0.06);
    EXPECT_FALSE(Battleship.BattleshipActive);
    EXPECT_TRUE(Battleship.BattleshipLeaveSoundPlayed);
    EXPECT_FALSE(Visible("masbattle") || Visible("masbattlesm") || Visible("lightanim"));
    EXPECT_EQ(SpritesShown("battleproj"), 0);
    EXPECT_DOUBLE_EQ(Battleship.BattleshipTimer, Campaign.FrameStartTime + 9999);
    EXPECT_TRUE(Plays("alienshoot").empty());
    for (std::size_t e = 9; e <= 12; ++e) {
        EXPECT_FALSE(Effects.SmokeFx[e].Active) << e;  // the smoke goes with the ship
        EXPECT_FALSE(Emitting(Effects.SmokeFx[e].SystemId)) << e;
    }
}

TEST_F(ScoutAndBattleship, BattleshipFiresTwoSecondsInFiveWithinRange) {
    Campaign.CurrentLevel = 50;  // no departure
    Campaign.FrameStartTime = 1000;
    Battleship.BattleshipTimer = 1000;
    StartBattleship();
    MeshObj->SelectMesh("masbattle");
    Ship.CamBasis.CamPos = MeshObj->GetPosition();
    Ship.CamBasis.CamPos.z += 3000;
    std::vector<double> firing;
    for (int f = 1; f <= 12 * 20; ++f) {  // twelve seconds at 20 frames a second
        const std::size_t before = Plays("alienshoot").size();
        Tick(0.05);
        UpdateBattleship();
        if (Plays("alienshoot").size() > before) firing.push_back(Campaign.FrameStartTime - 1000);
    }
    // Bursts from 3 to 5 s after the arrival, then again 3 s after the cycle's restart.
    ASSERT_FALSE(firing.empty());
    EXPECT_NEAR(firing.front(), 3.05, 1e-6);
    EXPECT_NEAR(firing.back(), 10.1, 1e-6);
    for (double t : firing)
        EXPECT_TRUE((t > 3 && t < 5.06) || (t > 8.05 && t < 10.11)) << t;
    EXPECT_GT(firing.size(), 35u);  // a shot every 0.1 s at 20 frames a second
    EXPECT_TRUE(Battleship.BattleMusicStarted);
}

TEST_F(ScoutAndBattleship, BattleshipShotThatHitStaysDown) {
    Campaign.CurrentLevel = 4;
    Battleship.BattleshipTimer = Campaign.FrameStartTime - 20;
    StartBattleship();
    Ship.CamBasis.CamPos = {0, 0, 0};
    MeshObj->SelectMesh("battlehold2");
    MeshObj->SetPosition(0, 0, 105);
    MeshObj->LookAt(0, 0, -1000);
    UpdateBattleship();
    EXPECT_TRUE(Level.PlayerHitPending);
    EXPECT_FALSE(Visible("battleproj2"));
    UpdateBattleship();
    EXPECT_FALSE(Visible("battleproj2"));
    EXPECT_TRUE(Visible("battleproj3"));  // unfired slots are shown and moved
}

TEST_F(ScoutAndBattleship, BattleshipDamageStagesAndKill) {
    struct Case {
        double ratio;
        int burning;
    };
    Battleship.BattleshipHPMax = 350000;
    for (const Case c : {Case{1, 0}, Case{0.75, 0}, Case{0.7, 1}, Case{0.6, 1}, Case{0.5, 2}, Case{0.39, 3},
                         Case{0.25, 3}, Case{0.1, 4}}) {
        Battleship.BattleshipHP = c.ratio * 350000;
        Vector attach;
        UpdateBattleshipDamage({0, 0, 0}, attach, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
        for (int e = 9; e <= 12; ++e)
            EXPECT_EQ(Effects.SmokeFx[std::size_t(e)].Active, e < 9 + c.burning) << c.ratio << " " << e;
    }

    Campaign.CurrentLevel = 4;
    Campaign.DifficultyLevel = 1;
    StartBattleship();
    BattleshipHit(Level.BattleshipId, 10000, {});  // a thrown object
    EXPECT_TRUE(Battleship.BattleshipActive);
    BattleshipHit(Level.ScoutId, 1e9, {});
    EXPECT_TRUE(Battleship.BattleshipActive);
    Battleship.BattleshipHP = 0.1 * Battleship.BattleshipHPMax;
    Vector attach;
    UpdateBattleshipDamage({0, 0, 0}, attach, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
    BattleshipHit(Level.BattleshipId, 1e9, {2, 2, 2});
    EXPECT_FALSE(Battleship.BattleshipActive || Battleship.BattleshipPending);
    EXPECT_TRUE(Battleship.BattleshipDestroyed);
    EXPECT_EQ(Campaign.Money, 2500000);
    EXPECT_DOUBLE_EQ(Battleship.BattleshipHP, 175000);
    EXPECT_FALSE(Visible("masbattle") || Visible("masbattlesm") || Visible("lightanim"));
    for (std::size_t e = 9; e <= 12; ++e)
        EXPECT_FALSE(Effects.SmokeFx[e].Active) << e;
    EXPECT_FALSE(Hud.HudPointers[19].PointerOn);
    EXPECT_EQ(Plays("hit").size(), 2u);
}

TEST_F(ScoutAndBattleship, LevelStartDrawsPassedEnemyLevelsAgain) {
    struct Case {
        int level, scoutBefore, battleshipBefore;
        bool scoutKept, battleshipKept;
    };
    for (const Case c : {Case{3, 2, 4, false, true}, Case{10, 12, 13, true, true},
                         Case{12, 5, 9, false, false}, Case{3, 3, 3, true, true}}) {
        Campaign.CurrentLevel = c.level;
        Scout.ScoutNextLevel = c.scoutBefore;
        Battleship.BattleshipNextLevel = c.battleshipBefore;
        GiantAsteroid.GiantAsteroidId = 7;
        PrepareLevelEnemies();
        EXPECT_EQ(GiantAsteroid.GiantAsteroidId, -1);
        EXPECT_GE(Scout.ScoutNextLevel, c.level) << c.level;
        EXPECT_LE(Scout.ScoutNextLevel, std::max(c.level + 2, c.scoutBefore));
        EXPECT_GE(Battleship.BattleshipNextLevel, c.level);
        if (c.scoutKept) {
            EXPECT_EQ(Scout.ScoutNextLevel, c.scoutBefore);
        }
        if (c.battleshipKept) {
            EXPECT_EQ(Battleship.BattleshipNextLevel, c.battleshipBefore);
        }
    }
}

TEST_F(ScoutAndBattleship, ThePauseShiftsEveryEnemyTimer) {
    Mothership.MothershipStartTime = 100;
    Mothership.MothershipChargeTime = 101;
    Mothership.MothershipChargeStepTime = 102;
    Mothership.MothershipBreakupStart = 103;
    Mothership.MothershipKillTime = 104;
    Scout.ScoutShotTime = 105;
    Scout.ScoutL50Timer = 106;
    Scout.LightningFrameTime = 107;
    Battleship.BattleshipTimer = 108;
    Battleship.BattleshipShotTime = 109;
    Battleship.BattleshipBurstTime = 110;
    ShiftEnemyTimers(30);
    EXPECT_DOUBLE_EQ(Mothership.MothershipStartTime, 130);
    EXPECT_DOUBLE_EQ(Mothership.MothershipChargeTime, 131);
    EXPECT_DOUBLE_EQ(Mothership.MothershipChargeStepTime, 132);
    EXPECT_DOUBLE_EQ(Mothership.MothershipBreakupStart, 133);
    EXPECT_DOUBLE_EQ(Mothership.MothershipKillTime, 134);
    EXPECT_DOUBLE_EQ(Scout.ScoutShotTime, 135);
    EXPECT_DOUBLE_EQ(Scout.ScoutL50Timer, 136);
    EXPECT_DOUBLE_EQ(Scout.LightningFrameTime, 137);
    EXPECT_DOUBLE_EQ(Battleship.BattleshipTimer, 138);
    EXPECT_DOUBLE_EQ(Battleship.BattleshipShotTime, 139);
    EXPECT_DOUBLE_EQ(Battleship.BattleshipBurstTime, 140);
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// A real mono wave file of `samples` 16-bit samples at 22050 Hz (silence).
std::string MonoWave(std::uint32_t samples) {
    std::string w;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w.push_back(char((v >> (8 * i)) & 0xff));
    };
    auto u16 = [&](std::uint16_t v) {
        w.push_back(char(v & 0xff));
        w.push_back(char(v >> 8));
    };
    w += "RIFF";
    u32(36 + samples * 2);
    w += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    w += "data";
    u32(samples * 2);
    w.append(samples * 2, '\0');
    return w;
}

// Positional element 1 is the level-2 battleship's engine in the scout's sequence and
// the battleship's own engine on level 50.
class ScoutEngineSound : public ScoutAndBattleship {
  protected:
    void SetUp() override {
        ScoutAndBattleship::SetUp();
        folder.Write("maseng_pos.wav", MonoWave(22050));
        Campaign.PositionalSounds[1]->Looping(true);
        Campaign.PositionalSounds[1]->LoadSound(*Campaign.SoundDevice,
                                                sys::ProgramFolder() + "\\maseng_pos.wav", 5000, 100);
    }
    bool EnginePlaying() {
        return Campaign.PositionalSounds[1]->DSBObj() && Campaign.PositionalSounds[1]->DSBObj()->Playing();
    }
};

TEST_F(ScoutEngineSound, PlaysOnceOnEnteringTheSequenceAndOnlyLevelTwoStopsIt) {
    Campaign.CurrentLevel = 2;
    StartScoutInbound();
    int frames = 0;
    while (Scout.ScoutState < 5 && frames < 5000) {
        EXPECT_FALSE(EnginePlaying());
        Tick();
        UpdateScout();
        ++frames;
    }
    EXPECT_TRUE(EnginePlaying());
    Campaign.PositionalSounds[1]->StopSound();
    Tick();
    UpdateScout();
    EXPECT_FALSE(EnginePlaying());  // not started again every frame
    Campaign.PositionalSounds[1]->PlaySound();
    ResetScout();
    EXPECT_FALSE(EnginePlaying());

    Campaign.CurrentLevel = 50;  // the battleship's engine runs: the scout leaves it alone
    Campaign.PositionalSounds[1]->PlaySound();
    StartScoutInbound();
    ResetScout();
    EXPECT_TRUE(EnginePlaying());
}

}  // namespace
}  // namespace quorvel
