// Losing the ship: the destruction sequence, the play-field bounds and the enforcer's
// fly-by, on a real level, with the functions called in the frame loop's order.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/fireball_view.h"
#include "game/level_in_play.h"
#include "platform/engine/scene.h"
#include "platform/system/clock.h"

namespace quorvel {
namespace {

using test::PutCamera;

class ShipLoss : public test::LevelInPlay {
  protected:
    void SetUp() override {
        LevelInPlay::SetUp();
        if (IsSkipped()) return;
        Ship.CamAxes = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        Frame();
    }
    void Frame() {
        h.RunFrames(1);
        Campaign.FrameStartTime = sys::WallClock();
    }
    static Vector Camera() {
        CameraObj->SelectCameraById(0);
        return CameraObj->GetCameraPosition();
    }
    static Vector Where(const std::string& key) {
        MeshObj->SelectMesh(key);
        return MeshObj->GetPosition();
    }
    static bool Shown(const std::string& key) { return MeshObj->SelectMesh(key) && MeshObj->GetVisible(); }
    // Starts of the sounds loaded from `file`.
    int Plays(const std::string& file) {
        std::set<int> handles;
        int n = 0;
        for (const auto& e : h.Audio().Events()) {
            if (e.kind == engine::NullAudioSink::Event::Kind::Load && e.path.find(file) != std::string::npos)
                handles.insert(e.handle);
            if (e.kind == engine::NullAudioSink::Event::Kind::Play && handles.count(e.handle)) ++n;
        }
        return n;
    }
    // Whether a sound loaded from `file` is looping now.
    bool Looping(const std::string& file) {
        std::set<int> handles, looping;
        for (const auto& e : h.Audio().Events()) {
            using Kind = engine::NullAudioSink::Event::Kind;
            if (e.kind == Kind::Load && e.path.find(file) != std::string::npos) handles.insert(e.handle);
            if (!handles.count(e.handle)) continue;
            if (e.kind == Kind::Play && e.loop) looping.insert(e.handle);
            if (e.kind == Kind::Stop || e.kind == Kind::Release || (e.kind == Kind::Play && !e.loop))
                looping.erase(e.handle);
        }
        return !looping.empty();
    }
};

TEST_F(ShipLoss, TheCameraPullsBackThenTheShipExplodesThenDeathIsDone) {
    const Vector at{300, 400, 500};
    PutCamera(at);
    Level.ShipDestroyed = true;
    ExplodeShip();
    ASSERT_TRUE(Shown("goldship"));
    EXPECT_LT(Distance(Where("goldship"), at), 0.01f);
    EXPECT_TRUE(Shown("shipchk1"));  // inside the model from the moment of loss
    EXPECT_FALSE(Shown("redexp1"));

    bool done = false;
    int pullBack = 0, exploding = 0;
    while (!done && pullBack + exploding < 600) {
        Frame();
        const bool close = Distance(Camera(), LevelEnd.ShipPos) < 175;
        RunShipDeath(done);
        if (close) {
            ++pullBack;
            EXPECT_FALSE(Hazards.DeathSeqFlag);
            EXPECT_LT(Distance(Where("shipchk1"), at), 0.01f) << "chunks wait for the blast";
        } else {
            ++exploding;
            EXPECT_TRUE(Hazards.DeathSeqFlag);
            EXPECT_FALSE(Shown("goldship"));
        }
    }
    ASSERT_TRUE(done);
    // 175 units at about 8.2 a frame, then the 65 steps of the flip-book.
    EXPECT_GE(pullBack, 21);
    EXPECT_LE(pullBack, 23);
    EXPECT_GE(exploding, 64);
    EXPECT_LE(exploding, 67);
    EXPECT_TRUE(Shown("redexp1"));
    EXPECT_GT(Distance(Where("redexp1"), at), 100);
    EXPECT_GT(Distance(Where("shipchk7"), at), 100);

    // The game-over menu keeps calling it: done again, nothing moves.
    const Vector camera = Camera(), part = Where("redexp2");
    for (int i = 0; i < 5; ++i) {
        Frame();
        done = false;
        RunShipDeath(done);
        EXPECT_TRUE(done);
    }
    EXPECT_FALSE(Level.ExplosionActive);
    EXPECT_LT(Distance(Camera(), camera), 0.01f);
    EXPECT_LT(Distance(Where("redexp2"), part), 0.01f);
}

// The ship's fireball, also when a kill's explosion was running at the loss (its
// flip-book used to stand in for the ship's and end the sequence without it): at the
// ship, ahead of the pulled-back camera and facing it, a kill's size and at least as
// big on the screen as a kill 500 ahead, in the ship-fire family, and shown in every
// frame until the sequence is done.
TEST_F(ShipLoss, TheShipsFireballShowsInFrontOfTheCamera) {
    const float screenW = 1280, screenH = 1024;
    struct Row {
        const char* what;
        bool killRunning;
    };
    const Row rows[] = {{"a loss alone", false}, {"a loss while a kill explodes", true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ClearBoundsAndFlyby();
        Level.ShipDestroyed = false;
        Level.ExplosionActive = false;
        const Vector at{300, 400, 500};
        PutCamera(at);

        // A kill's fireball, far off: its size is the measure.
        Level.Asteroids[1].Pos = at + Vector{0, 3000, 0};
        Effects.ExplosionMode = 1;
        PickExplosionSet();
        StartExplosionAtAsteroid(1);
        for (int i = 0; i < (r.killRunning ? 20 : 65); ++i)
            AnimateExplosionFlipbook();
        const float killWidth = 4 * ExplosionSpriteScale;
        ASSERT_EQ(Level.ExplosionActive, r.killRunning);
        if (r.killRunning) {
            ASSERT_TRUE(test::ViewOfFireball(h).shown);
            EXPECT_NEAR(test::ViewOfFireball(h).width, killWidth, 0.01f);
        }
        CameraObj->SelectCameraById(0);
        const Matrix4 m = CameraObj->GetCameraMatrix();
        const float killOnScreen = test::ScreenWidthOf(at + Vector{m.m[8], m.m[9], m.m[10]} * 500, killWidth);

        Level.ShipDestroyed = true;
        ExplodeShip();
        bool done = false;
        int frames = 0, shownFrames = 0;
        bool checkedStart = false;
        while (!done && frames < 300) {
            Frame();
            RunShipDeath(done);
            ++frames;
            if (!Hazards.DeathSeqFlag || done) continue;
            const test::FireballView v = test::ViewOfFireball(h);
            EXPECT_TRUE(v.shown) << "frame " << frames;
            if (!v.shown) continue;
            ++shownFrames;
            EXPECT_TRUE(v.OnScreen(screenW, screenH))
                << "frame " << frames << ": " << v.centre.x << "," << v.centre.y << " depth " << v.depth;
            EXPECT_GT(v.facing, 0.99f) << "frame " << frames;
            if (checkedStart) continue;
            checkedStart = true;
            EXPECT_LT(Distance(v.at, LevelEnd.ShipPos), 10.5f);
            EXPECT_GE(v.depth, 150);
            EXPECT_NEAR(v.width, killWidth, 0.01f);
            EXPECT_GE(v.screenWidth, killOnScreen);
            EXPECT_TRUE(v.texture == Effects.ExplosionTextures[4] ||
                        v.texture == Effects.ExplosionTextures[5] ||
                        v.texture == Effects.ExplosionTextures[6])
                << "texture " << v.texture;
            EXPECT_FALSE(Shown("goldship"));
        }
        EXPECT_TRUE(done);
        EXPECT_TRUE(checkedStart);
        EXPECT_GE(shownFrames, 60);
    }
}

TEST_F(ShipLoss, ALossReportedWithoutTheWreckStillShowsTheShip) {
    PutCamera({-50, 60, 70});
    Level.ShipDestroyed = true;  // as a loss that only sets the flag
    bool done = false;
    RunShipDeath(done);
    EXPECT_FALSE(done);
    EXPECT_TRUE(Hazards.ShipWreckPlaced);
    EXPECT_LT(Distance(LevelEnd.ShipPos, {-50, 60, 70}), 0.01f);
    EXPECT_TRUE(Shown("goldship"));
}

TEST_F(ShipLoss, TheBoundsWarnBeyond12000AndSendTheEnforcerBeyond18000) {
    struct Row {
        Vector at;
        bool warned, enforced;
    };
    const Row rows[] = {
        {{12000, 0, 0}, false, false}, {{0, -12000, 12000}, false, false},    {{12000.5f, 0, 0}, true, false},
        {{0, 0, -12001}, true, false}, {{18000, 18000, -18000}, true, false}, {{18000.5f, 0, 0}, true, true},
        {{0, -18001, 0}, true, true},  {{-18001, 0, 18001}, true, true},
    };
    for (const Row& r : rows) {
        ClearBoundsAndFlyby();
        MeshObj->SelectMesh("goldship");
        MeshObj->SetVisible(false);
        // A sequence left over from before is not carried into the new one.
        Hazards.FlybyActive = Hazards.FlybyShipHit = Hazards.FlybyExplosionOver = true;
        PutCamera(r.at);
        CheckPlayfieldBounds();
        const Vector where = r.at;
        EXPECT_EQ(Hazards.PastWarnBound, r.warned) << where.x << "," << where.y << "," << where.z;
        EXPECT_EQ(Hazards.TooFarSounded, r.warned) << where.x;
        if (r.warned) {
            EXPECT_GE(Plays("toofar.wav"), 1);
        }
        EXPECT_EQ(Hazards.OutOfBounds, r.enforced) << where.x << "," << where.y << "," << where.z;
        EXPECT_EQ(Shown("goldship"), r.enforced) << where.x;
        if (!r.enforced) continue;
        EXPECT_FALSE(Hazards.FlybyActive || Hazards.FlybyShipHit || Hazards.FlybyExplosionOver);
        EXPECT_LT(Distance(Where("goldship"), r.at), 0.01f);
        EXPECT_TRUE(Shown("alien2"));
        EXPECT_NEAR(Distance(Where("alien2"), r.at), 1500, 0.5f);
        EXPECT_TRUE(Shown("alienproj"));
        EXPECT_LT(Distance(Where("alienproj"), Where("alien2")), 0.01f);
        // Once the sequence runs, neither test acts again.
        PutCamera({0, 0, 0});
        const Vector alien = Where("alien2");
        CheckPlayfieldBounds();
        EXPECT_TRUE(Hazards.PastWarnBound);
        EXPECT_TRUE(Hazards.OutOfBounds);
        EXPECT_LT(Distance(Where("alien2"), alien), 0.01f);
    }
}

TEST_F(ShipLoss, TheTooFarWarningStartsOncePerCrossing) {
    // The warning loops on while the ship is beyond; coming back inside stops it and
    // re-arms it.
    struct Step {
        Vector at;
        bool sounded;
    };
    const Step steps[] = {
        {{13000, 13000, 0}, true}, {{14000, 0, 0}, true},      {{0, 0, 0}, false},
        {{0, 0, -12500}, true},    {{0, 12001, -12500}, true}, {{0, 12000, 0}, false},
    };
    for (const Step& s : steps) {
        PutCamera(s.at);
        CheckPlayfieldBounds();
        EXPECT_EQ(Hazards.TooFarSounded, s.sounded) << s.at.x << "," << s.at.y << "," << s.at.z;
        EXPECT_EQ(Looping("toofar.wav"), s.sounded) << s.at.x << "," << s.at.y << "," << s.at.z;
    }
    EXPECT_EQ(Plays("toofar.wav"), 2);
    PutCamera({0, 0, -12500});
    CheckPlayfieldBounds();
    // While the enforcer's sequence runs the warning stays as it is.
    Hazards.OutOfBounds = true;
    PutCamera({0, 0, 0});
    CheckPlayfieldBounds();
    EXPECT_TRUE(Hazards.TooFarSounded);
    EXPECT_TRUE(Hazards.PastWarnBound);
    EXPECT_TRUE(Looping("toofar.wav"));
}

TEST_F(ShipLoss, TheFlybyRunsOnlyWhileOutOfBoundsAndARestartRearmsIt) {
    struct Timeline {
        int drawAway = -1, hit = -1, lost = -1;
        double blast = 0, lostAt = 0;
    };
    // One excursion, the frame loop's calls in its order, until the death is done.
    auto excursion = [&](const Vector& crossing) {
        Timeline t;
        PutCamera(crossing);
        bool done = false;
        for (int frame = 0; frame < 60 * 20 && !done; ++frame) {
            Frame();
            if (!Level.ShipDestroyed && !Hazards.OutOfBounds) CheckPlayfieldBounds();
            if (Level.ShipDestroyed) RunShipDeath(done);
            if (Hazards.OutOfBounds) AlienApproachWarning();
            if (Hazards.FlybyActive) AlienFlybyAttack();
            if (Hazards.FlybyActive && t.drawAway < 0) t.drawAway = frame;
            if (Hazards.FlybyShipHit && t.hit < 0) {
                t.hit = frame;
                EXPECT_LT(Distance(Where("alien2"), LevelEnd.ShipPos), 100);
            }
            if (Hazards.FlybyShipHit && t.blast == 0) t.blast = Hazards.FlybyExplosionTime;
            if (Level.ShipDestroyed && t.lost < 0) {
                t.lost = frame;
                t.lostAt = Campaign.FrameStartTime;
                EXPECT_FALSE(Hazards.OutOfBounds);
            }
        }
        EXPECT_TRUE(done);
        return t;
    };

    const int warnings = Plays("warning.wav");
    const Timeline first = excursion({18001, 0, 0});
    EXPECT_EQ(Plays("warning.wav") - warnings, 1);
    // The view draws 400 away at about 13 a frame; the alien closes 1400 at 10 a frame.
    EXPECT_GE(first.drawAway, 30);
    EXPECT_LE(first.drawAway, 34);
    EXPECT_GE(first.hit - first.drawAway, 138);
    EXPECT_LE(first.hit - first.drawAway, 142);
    EXPECT_GT(first.lostAt - first.blast, 8.5);
    EXPECT_LT(first.lostAt - first.blast, 8.6);
    EXPECT_GE(Plays("asproj.wav"), 1);

    // The ship is lost: the fly-by no longer moves anything.
    EXPECT_FALSE(Hazards.OutOfBounds);
    const Vector alien = Where("alien2");
    AlienFlybyAttack();
    EXPECT_LT(Distance(Where("alien2"), alien), 0.01f);

    // A restart clears the sequence; a second excursion gets a whole fly-by of its own.
    ClearBoundsAndFlyby();
    Level.ShipDestroyed = false;
    EXPECT_FALSE(Hazards.OutOfBounds || Hazards.FlybyActive || Hazards.FlybyShipHit ||
                 Hazards.FlybyExplosionOver || Hazards.WarningSounded);
    const Timeline second = excursion({0, 0, -18001});
    EXPECT_GE(second.hit - second.drawAway, 138);
    EXPECT_GT(second.lostAt - second.blast, 8.5);
}

}  // namespace
}  // namespace quorvel
