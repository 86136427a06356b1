// Shots in flight: how long each weapon's shots live in empty space, and where a hit
// goes: every target kind takes its damage from the shot that reached it, a mesh on
// the skip list lets the shot fly on.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "assets/assets.h"
#include "combat/weapons_fixture.h"
#include "platform/engine/fixtures.h"
#include "platform/engine/engine_state.h"

namespace quorvel {
namespace {

using Update = void (*)(float&);

struct Weapon {
    const char* name;
    Update update;
    std::span<ShotRec> shots;
};

Weapon Plasma() {
    return {"plasma", UpdatePlasmaShots, Arsenal.PlasmaShots};
}
Weapon Laser() {
    return {"laser", UpdateLaserShots, Arsenal.LaserShots};
}
Weapon Ion() {
    return {"ion", UpdateIonShots, Arsenal.IonShots};
}
Weapon Mion() {
    return {"mion", UpdateMionShots, Arsenal.MionShots};
}
Weapon Eplas() {
    return {"eplas", UpdateEplasShots, Arsenal.EplasShots};
}
Weapon Gamma() {
    return {"gamma", UpdateGammaShots, Arsenal.GammaShots};
}
Weapon Disperse() {
    return {"disperse", UpdateDisperseShots, Arsenal.DisperseShots};
}

class FlightTest : public test::WeaponsTest {
  protected:
    void SetUp() override {
        test::WeaponsTest::SetUp();
        SetWeaponStartValues();
        folder.Write("mesh/box.3ds", test::Box3ds(-5, -5, -5, 5, 5, 5));
        Effects.SkipList.assign(1, SkipEntry{});
        Effects.SkipCount = 0;
        Level.ShotsHit = 0;
        Ship.ShotHitMargin = 15;
        Level.FlamingAsteroid = std::make_unique<clsFlamingAsteroid>();
        GiantAsteroid.GiantAsteroidId = -1;
        GiantAsteroid.GiantAsteroidActive = false;
        Level.BattleshipId = -1;
        Level.MothershipId = -1;
        // The flip-book meshes wait hidden, as loaded.
        Arsenal.MionAnimMeshes.fill(-1);
        Arsenal.EPlasmaMeshes.fill(-1);
        for (int k = 1; k <= 64; ++k) {
            Hidden("plasanim" + std::to_string(k));
            Hidden("ianim" + std::to_string(k));
            Hidden("ganim" + std::to_string(k));
            Arsenal.MionAnimMeshes[std::size_t(k)] = Hidden("mionanim" + std::to_string(k));
            Arsenal.EPlasmaMeshes[std::size_t(k)] = Hidden("tepls" + std::to_string(k));
        }
        for (std::span<ShotRec> shots :
             {std::span<ShotRec>(Arsenal.PlasmaShots), std::span<ShotRec>(Arsenal.LaserShots),
              std::span<ShotRec>(Arsenal.IonShots), std::span<ShotRec>(Arsenal.MionShots),
              std::span<ShotRec>(Arsenal.EplasShots), std::span<ShotRec>(Arsenal.GammaShots),
              std::span<ShotRec>(Arsenal.DisperseShots)})
            for (std::size_t s = 1; s < shots.size(); ++s) {
                shots[s] = ShotRec{};
                shots[s].Index = int(s);
                shots[s].AnimFrame = 1;
                shots[s].AnimForward = true;
            }
    }

    int Hidden(const std::string& key) {
        const int id = Node(key);
        MeshObj->SetVisible(false);
        return id;
    }

    // A solid box target 10 units across, centred on the point.
    int Box(const std::string& key, const Vector& at) {
        const int id = LoadLevelMesh(key, "", "box", "", at, 1, false, false, {}, 0, false, false, false);
        MeshObj->SetVisible(true);
        return id;
    }

    // Shot s of the weapon leaves the origin along -z, as fired with the ship looking
    // along +z.
    ShotRec& Launch(const Weapon& w, int s) {
        ShotRec& shot = w.shots[std::size_t(s)];
        shot.MeshId = Node(std::string(w.name) + "shot" + std::to_string(s));
        shot.Active = true;
        shot.OrientRight = {1, 0, 0};
        shot.OrientUp = {0, 1, 0};
        shot.OrientFront = {0, 0, 1};
        MeshObj->SetOrientation(shot.OrientRight, shot.OrientUp, shot.OrientFront);
        shot.AimRay = RayRec{{}, {0, 0, -1}};
        shot.LaunchPos = {};
        return shot;
    }

    // Frames the shot lives (the frame that ends it counted); at most `limit`.
    int Fly(const Weapon& w, const ShotRec& shot, float speed, int limit = 500) {
        int frames = 0;
        while (shot.Active && frames < limit) {
            w.update(speed);
            ++frames;
        }
        return frames;
    }
};

TEST_F(FlightTest, EachWeaponsShotsEndAtTheirRangeInEmptySpace) {
    struct Case {
        Weapon weapon;
        int frames;       // the first frame that starts beyond the range ends the shot
        float speed = 0;  // 0: the weapon's own speed as a run starts
    };
    const Case cases[] = {
        {Plasma(), 64},                     // 63 x 32 = 2016 > 2000
        {Laser(), 56},                      // 55 x 37 = 2035
        {Ion(), 56},        {Mion(), 53},   // 52 x 39 = 2028
        {Eplas(), 56},      {Gamma(), 95},  // 94 x 32 = 3008 > 3000
        {Disperse(), 48},                   // 47 x 32 = 1504 > 1500
        {Plasma(), 33, 64},                 // rapid fire: 32 x 64 = 2048
        {Plasma(), 52, 40},                 // exactly 2000 at the start of frame 51 flies on
    };
    for (const Case& c : cases) {
        const float speed = c.speed != 0 ? c.speed : c.weapon.shots[0].ShotSpeed;
        const int s = c.weapon.shots.size() > 15 ? 70 : 14;
        ShotRec& shot = Launch(c.weapon, s);
        EXPECT_EQ(Fly(c.weapon, shot, speed), c.frames) << c.weapon.name << " " << speed;
        EXPECT_FALSE(Visible(shot.MeshId)) << c.weapon.name;
        test::ExpectNear(PositionOf(shot.MeshId), {0, 0, -speed * float(c.frames)});
        EXPECT_EQ(Level.ShotsHit, 0);
    }
    // No flip-book mesh is left showing once every shot has ended.
    for (int k = 1; k <= 64; ++k) {
        for (const std::string key : {"plasanim", "ianim", "ganim"})
            EXPECT_FALSE(engine::GetScene().meshes.Find(key + std::to_string(k))->visible) << key << k;
        EXPECT_FALSE(Visible(Arsenal.MionAnimMeshes[std::size_t(k)])) << k;
        EXPECT_FALSE(Visible(Arsenal.EPlasmaMeshes[std::size_t(k)])) << k;
    }
}

bool KeyVisibleAt(const std::string& key, const Vector& at) {
    if (!MeshObj->SelectMesh(key) || !MeshObj->GetVisible()) return false;
    return Distance(MeshObj->GetPosition(), at) < 1e-3f;
}

// The flip-book mesh of the shot's frame shows where the shot is; the weapons that do
// not read the position after the move show it one step behind.
TEST_F(FlightTest, TheFlipBookFrameShowsAtTheShot) {
    struct Case {
        Weapon weapon;
        int startFrame;
        int frames;
        int animFrame;
        float shownZ;
    };
    const Case cases[] = {
        {Plasma(), 1, 4, 3, -128},  // a step every second frame
        {Plasma(), 32, 2, 1, -64},  // 32 frames, then round again
        {Ion(), 1, 4, 3, -148},    {Eplas(), 1, 4, 3, -148},
        {Mion(), 1, 4, 5, -117},  // a step every frame, shown at the start of the frame's move
        {Gamma(), 64, 1, 1, 0},
    };
    for (const Case& c : cases) {
        ShotRec& shot = Launch(c.weapon, 3);
        shot.AnimFrame = c.startFrame;
        float speed = c.weapon.shots[0].ShotSpeed;
        for (int f = 0; f < c.frames; ++f)
            c.weapon.update(speed);
        EXPECT_EQ(shot.AnimFrame, c.animFrame) << c.weapon.name;
        test::ExpectNear(PositionOf(shot.MeshId), {0, 0, -speed * float(c.frames)});
        const std::string name = c.weapon.name;
        int shown = -1, before = -1;
        if (name == "mion") {
            shown = Arsenal.MionAnimMeshes[std::size_t(c.animFrame)];
            before = Arsenal.MionAnimMeshes[std::size_t(c.animFrame - 1)];
        } else if (name == "eplas") {
            shown = Arsenal.EPlasmaMeshes[std::size_t(c.animFrame)];
            before = Arsenal.EPlasmaMeshes[std::size_t(c.animFrame - 1)];
        } else {
            const std::string prefix = name == "plasma" ? "plasanim" : name == "ion" ? "ianim" : "ganim";
            const int last = c.animFrame == 1 ? c.startFrame : c.animFrame - 1;
            MeshObj->SelectMesh(prefix + std::to_string(c.animFrame));
            shown = MeshObj->GetCurrentId();
            MeshObj->SelectMesh(prefix + std::to_string(last));
            before = MeshObj->GetCurrentId();
        }
        EXPECT_TRUE(Visible(shown)) << name;
        test::ExpectNear(PositionOf(shown), {0, 0, c.shownZ});
        EXPECT_FALSE(Visible(before)) << name << ": the last frame's mesh is put away";
        shot.Active = false;
        MeshObj->SelectMeshById(shown);
        MeshObj->SetVisible(false);
    }
}

TEST_F(FlightTest, TwoPlasmaShotsOnTheSameFrameShareItsMesh) {
    ShotRec& first = Launch(Plasma(), 1);
    ShotRec& second = Launch(Plasma(), 2);
    MeshObj->SelectMeshById(second.MeshId);
    MeshObj->SetPosition({100, 0, 0});
    second.LaunchPos = {100, 0, 0};
    float speed = 32;
    UpdatePlasmaShots(speed);
    EXPECT_EQ(first.AnimFrame, second.AnimFrame);
    EXPECT_TRUE(KeyVisibleAt("plasanim1", {100, 0, -32})) << "the later record places it last";
}

TEST_F(FlightTest, DisperseShotsSwingBetweenTwoTextureFrames) {
    ShotRec& shot = Launch(Disperse(), 9);
    float speed = 32;
    for (int expected : {2, 2, 1, 1, 2, 2}) {
        UpdateDisperseShots(speed);
        EXPECT_EQ(shot.AnimFrame, expected);
    }
}

TEST_F(FlightTest, EplasPutsAwayTheMeshesOfIdleRecordsEveryFrame) {
    ShotRec& idle = Arsenal.EplasShots[4];
    idle.MeshId = Node("eplasidle");
    idle.AnimFrame = 7;
    MeshObj->SelectMeshById(Arsenal.EPlasmaMeshes[7]);
    MeshObj->SetVisible(true);
    float speed = 37;
    UpdateEplasShots(speed);
    EXPECT_FALSE(Visible(idle.MeshId));
    EXPECT_FALSE(Visible(Arsenal.EPlasmaMeshes[7]));

    // A hit ends the shot, yet its frame shows for that frame (the last record: no idle
    // record on the same frame puts it away after it); the next pass hides it.
    Field(1);
    const int rock = Box("eplasrock", {0, 0, -20});
    Level.Asteroids[1].MeshId = rock;
    Level.Asteroids[1].HitPoints = 1000000;
    ShotRec& shot = Launch(Eplas(), 14);
    UpdateEplasShots(speed);
    EXPECT_FALSE(shot.Active);
    EXPECT_EQ(Level.Asteroids[1].Damage, 300);
    EXPECT_TRUE(Visible(Arsenal.EPlasmaMeshes[1]));
    UpdateEplasShots(speed);
    EXPECT_FALSE(Visible(Arsenal.EPlasmaMeshes[1]));
    EXPECT_FALSE(Visible(shot.MeshId));
}

// Every target routine hears of every hit and acts on its own meshes only; the
// boss-sized targets take a fifth of a disperse shot.
TEST_F(FlightTest, AHitReachesItsTargetsRoutineWithTheWeaponsDamage) {
    enum Target { Giant, Flaming, TheBattleship, Alien, TheScout, TheMothership, Station, Asteroid };
    struct Case {
        Weapon weapon;
        Target target;
        double damage;
    };
    const Case cases[] = {
        {Plasma(), Giant, 110},          {Plasma(), Flaming, 110},        {Plasma(), TheBattleship, 110},
        {Plasma(), Alien, 110},          {Plasma(), TheScout, 110},       {Plasma(), TheMothership, 110},
        {Plasma(), Station, 1},          {Plasma(), Asteroid, 110},       {Laser(), Alien, 125},
        {Ion(), TheScout, 160},          {Mion(), Asteroid, 225},         {Eplas(), TheBattleship, 300},
        {Gamma(), TheMothership, 2500},  {Disperse(), TheBattleship, 45}, {Disperse(), Giant, 45},
        {Disperse(), TheMothership, 45}, {Disperse(), Flaming, 225},      {Disperse(), Alien, 225},
        {Disperse(), TheScout, 225},     {Disperse(), Asteroid, 225},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        const int box = Box("target" + std::to_string(n), {0, 0, -100});
        Field(1);
        Level.Asteroids[1].HitPoints = 1000000;
        std::function<double()> taken;
        switch (c.target) {
            case Giant:
                GiantAsteroid.GiantAsteroidId = box;
                GiantAsteroid.GiantAsteroidActive = true;
                GiantAsteroid.GiantAsteroidHP = 100000;
                taken = [] { return 100000.0 - GiantAsteroid.GiantAsteroidHP; };
                break;
            case Flaming:
                // 24900 of its 25000 already taken (factor 1 on level 16): a hit of 100
                // or more destroys it and pays.
                Level.FlamingAsteroid = std::make_unique<clsFlamingAsteroid>();
                Level.FlamingAsteroid->MeshIndex_ = box;
                Level.FlamingAsteroid->NextLevel_ = 16;
                Level.FlamingAsteroid->TimesPerLevel_ = 2;
                Level.FlamingAsteroid->Hit(24900);
                taken = [] { return Campaign.Money == 250000 ? 225.0 : 0.0; };
                break;
            case TheBattleship:
                Level.BattleshipId = box;
                Battleship.BattleshipHP = 1000000;
                taken = [] { return 1000000.0 - Battleship.BattleshipHP; };
                break;
            case Alien:
                AlienFleet.Aliens[1].Active = true;
                AlienFleet.Aliens[1].BodyMesh = box;
                AlienFleet.Aliens[1].ShipHitPoints = 1000000;
                AlienFleet.Aliens[1].DamageTaken = 0;
                taken = [] { return double(AlienFleet.Aliens[1].DamageTaken); };
                break;
            case TheScout:
                Level.ScoutId = box;
                Scout.ScoutHP = 100000;
                taken = [] { return 100000.0 - Scout.ScoutHP; };
                break;
            case TheMothership:
                Level.MothershipId = box;
                Mothership.MothershipEnergy = 100000;
                taken = [] { return 100000.0 - Mothership.MothershipEnergy; };
                break;
            case Station:
                Level.StationId = box;
                Level.StationHitPoints = 100;
                sys::QueueRandom({0.5, 0.9});  // voice 3, a roll of 18: no voice, a full hit
                taken = [] { return 100.0 - Level.StationHitPoints; };
                break;
            case Asteroid:
                MeshObj->SelectMeshById(Level.Asteroids[1].MeshId);
                MeshObj->SetVisible(false);
                Level.Asteroids[1].MeshId = box;
                taken = [] { return double(Level.Asteroids[1].Damage); };
                break;
        }
        Campaign.Money = 0;
        Level.ShotsHit = 0;
        const std::size_t sounds = Plays("hit").size();
        ShotRec& shot = Launch(c.weapon, 1);
        float speed = c.weapon.shots[0].ShotSpeed;
        const int frames = Fly(c.weapon, shot, speed);
        const double expected = c.target == Flaming ? (c.damage >= 100 ? 225 : 0) : c.damage;
        EXPECT_DOUBLE_EQ(taken(), expected) << c.weapon.name << " target " << c.target;
        EXPECT_EQ(Level.ShotsHit, 1) << c.weapon.name << " target " << c.target;
        EXPECT_LT(frames, 5) << "the hit ends the shot: " << c.weapon.name << " target " << c.target;
        EXPECT_FALSE(Visible(shot.MeshId)) << c.weapon.name << " target " << c.target;
        EXPECT_EQ(Plays("hit").size() - sounds, 1u) << c.weapon.name << " target " << c.target;
        // Out of the way of the next case.
        MeshObj->SelectMeshById(box);
        MeshObj->SetVisible(false);
        GiantAsteroid.GiantAsteroidId = Level.BattleshipId = Level.MothershipId = Level.ScoutId =
            Level.StationId = -1;
        GiantAsteroid.GiantAsteroidActive = false;
        Level.FlamingAsteroid->MeshIndex_ = -1;
        AlienFleet.Aliens[1] = AlienShip{};
        MeshObj->SelectMeshById(Level.Asteroids[1].MeshId);
        MeshObj->SetVisible(false);
    }
}

TEST_F(FlightTest, AShotFliesThroughAMeshOnTheSkipListToTheTargetBehindIt) {
    for (const Weapon& w : {Plasma(), Laser(), Disperse()}) {
        const int sprite = Box(std::string("flare") + w.name, {0, 0, -100});
        AddSkipEntity(sprite);
        const int hidden = Box(std::string("idle") + w.name, {0, 0, -200});
        MeshObj->SetVisible(false);
        AddSkipEntity(hidden);
        Field(1);
        const int rock = Box(std::string("rock") + w.name, {0, 0, -400});
        MeshObj->SelectMeshById(Level.Asteroids[1].MeshId);
        MeshObj->SetVisible(false);
        Level.Asteroids[1].MeshId = rock;
        Level.Asteroids[1].HitPoints = 1000000;
        Level.ShotsHit = 0;
        ShotRec& shot = Launch(w, 1);
        float speed = w.shots[0].ShotSpeed;
        Fly(w, shot, speed);
        EXPECT_EQ(Level.Asteroids[1].Damage, w.shots[0].DamagePerHit) << w.name;
        EXPECT_EQ(Level.ShotsHit, 1) << w.name << ": the listed mesh neither counts nor ends the shot";
        EXPECT_TRUE(Visible(sprite)) << w.name << ": shown again after every test";
        EXPECT_FALSE(Visible(hidden)) << w.name << ": an idle sprite stays hidden";
        for (int id : {sprite, rock}) {
            MeshObj->SelectMeshById(id);
            MeshObj->SetVisible(false);
        }
    }
}

}  // namespace
}  // namespace quorvel
