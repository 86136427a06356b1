// The flaming asteroid: from level 4 on it comes now and then from far out, announced,
// and flies at the space station trailing fire. Shots wear it down; reaching the
// station costs two impacts and money.

#include <cmath>

#include "assets/assets.h"
#include "audio/audio.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/clock.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

float R() {
    return RandomRange();
}

// A point of start zone 1 to 4, far out from the station.
Vector StartZonePoint(int zone) {
    // Drawn in the order x, y, z.
    const float x1 = R(), y = 4000 * R() - 2000, z1 = R();
    switch (zone) {
        case 2:
            return {-2000 * x1 - 2500, y, -(1000 * z1 + 16000)};
        case 3:
            return {1000 * x1 + 13000, y, 2000 * z1 - 3500};
        case 4:
            return {-(1000 * x1 + 13000), y, 2000 * z1 - 3500};
        default:
            return {-2000 * x1 - 2500, y, 1000 * z1 + 13000};
    }
}

constexpr int FireballSound = 8;  // element of PositionalSounds
constexpr Vector FireParking{100000, 100000, 100000};

clsDSWave8* Fireball() {
    return Campaign.PositionalSounds[FireballSound].get();
}

}  // namespace

void clsFlamingAsteroid::Init(int meshId, int targetMeshId, int level, int fireSystemId, int passes) {
    InitFirst_ = true;
    LevelNow = level;
    MeshIndex_ = meshId;
    TargetMesh = targetMeshId;
    FireSystem = fireSystemId;
    TimesPerLevel_ = passes;

    MeshObj->SelectMeshById(TargetMesh);
    TargetPoint = MeshObj->GetPosition();

    MeshObj->SelectMeshById(MeshIndex_);
    int zone = Nearest(4 * R());
    if (zone == 0) zone = 1;
    Position_ = StartZonePoint(zone);
    MeshObj->SetPosition(Position_);
    MeshObj->SetVisible(false);

    Initialized_ = true;
    LevelNotDone_ = false;
    Active_ = true;
    BlowUp_ = false;
    DamageSum = 0;

    // Due within the next three levels, never before level 4, never on level 50.
    if (NextLevel_ > level + 3) NextLevel_ = level + Nearest(R());
    if (NextLevel_ <= level) NextLevel_ = level + Nearest(R());
    if (NextLevel_ < 4) NextLevel_ = 4;
    if (NextLevel_ == 50) NextLevel_ = 51;

    Waiting = false;
    ParticleObj->SelectSystemById(FireSystem);
    ParticleObj->SetEmitterPosition(Position_);
    ParticleObj->SetEmitterVector1(Position_);
    ParticleObj->SetEmitterTarget(TargetPoint);
    ParticleObj->SetEmitting(false);
    TimesDone_ = 0;
}

void clsFlamingAsteroid::Poll(float frameTime, int level) {
    LevelNow = level;
    if (Active_) MoveAsteroid(frameTime);
}

void clsFlamingAsteroid::MoveAsteroid(float frameTime) {
    MeshObj->SelectMeshById(MeshIndex_);
    MeshObj->SetVisible(true);
    MeshObj->LookAt(TargetPoint);
    MeshObj->MoveForward(16 * frameTime, true, true);
    Position_ = MeshObj->GetPosition();
    ParticleObj->SelectSystemById(FireSystem);
    ParticleObj->SetEmitterPosition(Position_);
    ParticleObj->SetEmitterVector1(Position_);
    ParticleObj->SetEmitterTarget(TargetPoint);
    ParticleObj->SetEmitting(true);
}

float clsFlamingAsteroid::Hit(float damage) {
    float factor = 1.0f;
    if (NextLevel_ >= 2 && NextLevel_ <= 7)
        factor = 4.0f;
    else if (NextLevel_ >= 8 && NextLevel_ <= 14)
        factor = 1.5f;
    else if (NextLevel_ >= 21 && NextLevel_ <= 25)
        factor = 0.7f;
    else if (NextLevel_ >= 26)
        factor = 0.35f;
    const float scaled = damage * factor;
    DamageSum += scaled;
    if (DamageSum >= 25000) {
        BlowUp_ = true;
        GoOutOfPlay();
        TimesDone_ += 1;
        EndPass();
    }
    return scaled;
}

void clsFlamingAsteroid::GoOutOfPlay() {
    Active_ = false;
    DamageSum = 0;
    if (MeshIndex_ != -1) {
        MeshObj->SelectMeshById(MeshIndex_);
        MeshObj->SetVisible(false);
    }
    if (FireSystem != -1) {
        ParticleObj->SelectSystemById(FireSystem);
        ParticleObj->SetEmitterPosition(FireParking);
        ParticleObj->SetEmitterVector1(FireParking);
        ParticleObj->SetEmitting(false);
    }
}

// Init runs once per level, so a pass that leaves passes over makes the asteroid ready
// for the next one here; it flies once the next wait is over.
void clsFlamingAsteroid::EndPass() {
    if (TimesDone_ < TimesPerLevel_) {
        LevelNotDone_ = true;
        LevelNotDoneReset_ = true;
        Active_ = true;
    } else {
        PickNextLevel();
        LevelNotDone_ = false;
        Active_ = false;
        ResetPosition();
        TimesDone_ = 0;
    }
}

void clsFlamingAsteroid::PickNextLevel() {
    NextLevel_ = LevelNow + 1 + Nearest(R() + 1);
}

void clsFlamingAsteroid::InitWait(float seconds) {
    WaitStart = sys::WallClock();
    WaitSeconds = seconds;
    Waiting = true;
}

bool clsFlamingAsteroid::DoneWaiting() const {
    return Waiting && sys::WallClock() - WaitStart > WaitSeconds;
}

void clsFlamingAsteroid::ResetPosition() {
    MeshObj->SelectMeshById(MeshIndex_);
    int zone = Nearest(5 * R());
    if (zone < 1 || zone > 4) zone = 1;
    Position_ = StartZonePoint(zone);
    MeshObj->SetPosition(Position_);
}

// Leaving a level is no pass: what the asteroid owes (a level it has not come on yet,
// passes not flown) it owes the next level.
void clsFlamingAsteroid::LevelStartReset() {
    GoOutOfPlay();
    ResetPosition();
    TimesDone_ = 0;
    LevelNotDone_ = false;
    LevelNotDoneReset_ = false;
    Waiting = false;
    Initialized_ = false;
    BlowUp_ = false;
}

void SpawnFlamingAsteroid() {
    clsFlamingAsteroid& fa = *Level.FlamingAsteroid;
    if (fa.Initialized_) {
        if (fa.NextLevel_ < 4 && Campaign.CurrentLevel < 4) fa.NextLevel_ = 4;
    } else {
        int passes = 1;
        if (Campaign.CurrentLevel >= 15 && Campaign.CurrentLevel <= 23) passes = Nearest(R()) + 1;
        if (Campaign.CurrentLevel >= 24) passes = Nearest(2 * R()) + 1;
        fa.Init(Level.LavaroidId, Level.StationId, Campaign.CurrentLevel, Level.FlamingAsteroidParticleId,
                passes);
        Level.FlamingWarned = false;
        Level.FlamingWaitStarted = false;
    }
    if (fa.LevelNotDoneReset_) {
        Level.FlamingWarned = false;
        Level.FlamingWaitStarted = false;
        fa.setResetfalse();
    }
    PointerSlot& pointer = Hud.HudPointers[17];
    if (fa.NextLevel_ == Campaign.CurrentLevel) {
        if (!Level.FlamingWaitStarted) {
            fa.InitWait(20 * R() + 15);
            Level.FlamingWaitStarted = true;
        }
        if (fa.DoneWaiting()) {
            if (!Level.FlamingWarned) {
                Level.FlamingWarned = true;
                if (DXAudioObj)
                    DXAudioObj->PlayForeground2(Level.FlamingFirstWarned ? "lavaastwarn.wav"
                                                                         : "lavaastinit.wav");
                Level.FlamingFirstWarned = true;
                pointer.PointerOn = true;
                fa.ResetPosition();
                Level.FlamingStationHit = false;
            }
            if (!fa.Active_ || Mothership.MothershipArriving) {
                if (Fireball()) Fireball()->StopSound();
            } else {
                fa.Poll(Campaign.FrameFactor, Campaign.CurrentLevel);
                if (Fireball()) {
                    Fireball()->PlaySound();
                    Fireball()->SetPosition(Nearest(fa.Position_.x), Nearest(fa.Position_.y),
                                            Nearest(fa.Position_.z));
                }
            }
        }
    }
    if (fa.Active_)
        pointer.PointerTarget = fa.Position_;
    else
        pointer.PointerOn = false;
}

void FlamingAsteroidHit(int id, int damage, const Vector& point) {
    if (!Level.FlamingAsteroid) return;  // every shot's hit asks, also before the run made one
    clsFlamingAsteroid& fa = *Level.FlamingAsteroid;
    if (id == -1 || id != fa.MeshIndex_) return;
    // Where it was struck: Hit sends it back to a start zone when its last pass ends.
    const Vector struck = fa.Position_;
    fa.Hit(float(damage));
    if (fa.BlowUp_) {
        fa.BlowUp_ = false;
        StartExplosionAt(point);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(point, 20, 3, 5, 30);
        Effects.ExplosionMode = 1;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        Campaign.Money += 250000;
        Hud.HudPointers[17].PointerOn = false;
        const int spare = Level.AsteroidCount + 1;
        if (spare >= 1 && spare <= AsteroidRecords + 1) {
            Level.Asteroids[std::size_t(spare)].Pos = struck;
            StartAsteroidBreakup(spare);
        }
    }
    SoundObj->SelectSound("hit");
    SoundObj->PlaySound(0, false);
    SpawnHitSparks("ast1txt", point, 1, -1);
}

bool CheckFlamingAsteroidImpact() {
    clsFlamingAsteroid& fa = *Level.FlamingAsteroid;
    if (Level.FlamingStationHit || !InRange(fa.Position_, Level.StationPos, 300)) return false;
    Level.FlamingStationHit = true;
    Level.StationDamageLevel += 2;
    StartExplosionAt(fa.Position_);
    if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(fa.Position_, 20, 3, 5, 30);
    Effects.ExplosionMode = 1;
    Level.ExplosionActive = true;
    PlayExplosionSound();
    Campaign.Money -= 150000;
    Hud.HudPointers[17].PointerOn = false;
    fa.ResetPosition();
    fa.Hit(99999);
    fa.ResetPosition();
    fa.BlowUp_ = false;
    return true;
}

}  // namespace quorvel
