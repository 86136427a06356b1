// The alien battleship: arrival out of a lightning flash, cruise, gun bursts,
// damage smoke, departure or kill.

#include <array>
#include <cstdint>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

constexpr int BattleShots = 20;
// A shot that reached the player stays down until its slot fires again.
std::array<bool, BattleShots + 1> ShotDown{};

struct Offset {
    const char* name;
    float r, u, f;
};
constexpr Offset Engines[] = {
    {"battle1", -244, 165, -1586},
    {"battle2", 243, 167, -1586},
    {"battle3", 243, -151, -1586},
    {"battle4", -244, -151, -1586},
};
struct Stage {
    double below;
    int entry;
    float r, u, f;
};
constexpr Stage Stages[] = {
    {0.75, 9, 104.63f, 9.88f, 1130.71f},
    {0.6, 10, 368.55f, 218.23f, 250.3f},
    {0.4, 11, 368.55f, 218.23f, 548.76f},
    {0.25, 12, 301.03f, 310.79f, 1092.08f},
};

void Show(const std::string& key, bool on) {
    if (MeshObj->SelectMesh(key)) MeshObj->SetVisible(on);
}

std::int32_t Whole(float v) {
    return std::int32_t(sys::RoundHalfEven(double(v)));
}

Vector Pivot(const Vector& at, const AxisSet& axes, float r, float u, float f) {
    MeshObj->SelectMesh("virtual");
    MeshObj->SetPosition(at);
    MeshObj->SetOrientation(axes);
    MeshObj->MoveRight(r);
    MeshObj->MoveUp(u);
    MeshObj->MoveForward(f);
    return MeshObj->GetPosition();
}

void Emit(const Vector& p, const AxisSet& axes) {
    ParticleObj->SetEmitting(true);
    ParticleObj->SetEmitterPosition(p);
    ParticleObj->SetEmitterVector1(p);
    ParticleObj->SetEmitterVector2(p);
    ParticleObj->SetEmitterAxes(axes.AxisRight, axes.AxisUp, axes.AxisFront);
}

void StopEngines() {
    for (const Offset& e : Engines)
        if (ParticleObj->SelectSystem(e.name)) ParticleObj->SetEmitting(false);
}

// Smoke and the lightning go with the ship, whether it is destroyed or leaves.
void ClearLeftovers() {
    for (std::size_t k = 9; k <= 12; ++k) {
        Effects.SmokeFx[k].Active = false;
        if (ParticleObj->SelectSystemById(Effects.SmokeFx[k].SystemId)) ParticleObj->SetEmitting(false);
    }
    Show("lightanim", false);
}

void StopEngineSound() {
    if (Campaign.PositionalSounds[1]) Campaign.PositionalSounds[1]->StopSound();
}

}  // namespace

int BattleshipLevelAfter(int level, float r) {
    int next = level + int(sys::RoundHalfEven(2.0 * double(r) + 2.0));
    if (next < 4) next = 4;
    if (next > 46) next = 50;
    return next;
}

void StartBattleship() {
    const float x = RandomRange() * 3000 + 3000;
    const float y = RandomRange() * 500 - 3000;
    for (const char* key : {"masbattle", "masbattlesm", "lightanim"}) {
        MeshObj->SelectMesh(key);
        MeshObj->SetPosition(x, y, -3000);
        MeshObj->SetRotation(0, 0, 0);
        MeshObj->SetVisible(true);
    }
    Battleship.BattleshipNextLevel = BattleshipLevelAfter(Campaign.CurrentLevel, RandomRange());
    Battleship.BattleshipActive = true;
    Battleship.BattleshipShotTime = Battleship.BattleshipBurstTime = Campaign.FrameStartTime;
    Battleship.BattleshipHP = Campaign.DifficultyLevel * 175000.0;
    Battleship.BattleshipHPMax = Battleship.BattleshipHP;
    if (DXAudioObj) DXAudioObj->PlayForeground("maslight.wav");
    if (Campaign.PositionalSounds[1]) Campaign.PositionalSounds[1]->PlaySound();
    Battleship.BattleshipLeaveSoundPlayed = false;
}

void UpdateBattleshipDamage(const Vector& position, Vector& attach, const Vector& right, const Vector& up,
                            const Vector& front) {
    const AxisSet axes{right, up, front};
    const double ratio =
        Battleship.BattleshipHPMax != 0 ? Battleship.BattleshipHP / Battleship.BattleshipHPMax : 0;
    for (const Stage& s : Stages) {
        SmokeRec& smoke = Effects.SmokeFx[std::size_t(s.entry)];
        if (ratio < s.below) {
            attach = Pivot(position, axes, s.r, s.u, s.f);
            smoke.Active = true;
            ParticleObj->SelectSystemById(smoke.SystemId);
            Emit(attach, axes);
        } else {
            smoke.Active = false;
            ParticleObj->SelectSystemById(smoke.SystemId);
            ParticleObj->SetEmitting(false);
        }
    }
}

void UpdateBattleship() {
    Vector ship;
    for (const char* key : {"masbattle", "masbattlesm", "lightanim"}) {
        MeshObj->SelectMesh(key);
        if (std::string(key) != "lightanim") MeshObj->SetVisible(true);
        MeshObj->MoveForward(15 * Campaign.FrameFactor);
        MeshObj->TurnYaw(0.2f * Campaign.FrameFactor);
        if (std::string(key) == "masbattle") ship = MeshObj->GetPosition();
    }
    Hud.HudPointers[19].PointerOn = true;
    Hud.HudPointers[19].PointerTarget = ship;
    MeshObj->SelectMesh("masbattle");
    const AxisSet axes = MeshObj->GetOrientation();
    ship = MeshObj->GetPosition();
    for (const Offset& e : Engines) {
        const Vector p = Pivot(ship, axes, e.r, e.u, e.f);
        if (ParticleObj->SelectSystem(e.name)) Emit(p, axes);
    }
    Vector attach;
    UpdateBattleshipDamage(ship, attach, axes.AxisRight, axes.AxisUp, axes.AxisFront);

    const float a = RandomRange() * 5 - 2.5f, b = RandomRange() * 5 - 2.5f, c = RandomRange() * 5 - 2.5f;
    MeshObj->SelectMesh("masbattle");
    const Vector now = MeshObj->GetPosition();
    if (Campaign.PositionalSounds[1])
        Campaign.PositionalSounds[1]->SetPosition(Whole(now.x), Whole(now.y), Whole(now.z));

    const Vector cam = Ship.CamBasis.CamPos;
    if (InRange(ship, cam, 8000) && Campaign.FrameStartTime - Battleship.BattleshipBurstTime > 3.0) {
        if (Campaign.FrameStartTime - Battleship.BattleshipBurstTime > 5.0)
            Battleship.BattleshipBurstTime = Campaign.FrameStartTime;
        if (Campaign.FrameStartTime - Battleship.BattleshipShotTime > 0.08) {
            Battleship.BattleshipShotTime = Campaign.FrameStartTime;
            Battleship.BattleshipShotSlot =
                Battleship.BattleshipShotSlot >= BattleShots ? 1 : Battleship.BattleshipShotSlot + 1;
            const std::string n = std::to_string(Battleship.BattleshipShotSlot);
            MeshObj->SelectMesh("battlehold" + n);
            MeshObj->SetPosition(ship);
            MeshObj->SetOrientation(axes);
            MeshObj->MoveForward(1400);
            MeshObj->MoveUp(-72);
            Battleship.BattleshipGunSide = Battleship.BattleshipGunSide ? 0 : 1;
            MeshObj->MoveRight(Battleship.BattleshipGunSide ? 245.0f : -245.0f);
            const Vector q = MeshObj->GetPosition();
            MeshObj->SetVisible(true);
            MeshObj->LookAt(cam);
            MeshObj->TurnPitch(a);
            MeshObj->TurnYaw(b);
            MeshObj->TurnRoll(c);
            MeshObj->SelectMesh("battleproj" + n);
            MeshObj->SetPosition(q);
            MeshObj->SetVisible(true);
            ShotDown[std::size_t(Battleship.BattleshipShotSlot)] = false;
            SoundObj->SelectSound("alienshoot");
            SoundObj->PlaySound(0, false);
        }
    }

    for (int n = 1; n <= BattleShots; ++n) {
        const std::string k = std::to_string(n);
        if (!MeshObj->SelectMesh("battlehold" + k)) continue;
        MeshObj->SetVisible(true);
        MeshObj->MoveForward(100 * Campaign.FrameFactor);
        const Vector p = MeshObj->GetPosition();
        MeshObj->SelectMesh("battleproj" + k);
        MeshObj->SetVisible(!ShotDown[std::size_t(n)]);
        MeshObj->SetPosition(p);
        if (InRange(p, cam, 10)) {
            MeshObj->SetVisible(false);
            ShotDown[std::size_t(n)] = true;
            Level.PlayerHitPending = true;
        }
    }

    const double t = Campaign.FrameStartTime - Battleship.BattleshipTimer;
    if (Campaign.CurrentLevel < 50) {
        bool departed = false;
        if (t > 45) {
            Hud.HudPointers[19].PointerOn = false;
            Show("masbattle", false);
            Show("masbattlesm", false);
            StopEngines();
            ClearLeftovers();
            Battleship.BattleshipActive = false;
            Battleship.BattleshipTimer = Campaign.FrameStartTime + 9999;
            StopEngineSound();
            for (int n = 1; n <= BattleShots; ++n)
                Show("battleproj" + std::to_string(n), false);
            departed = true;
        }
        if (t > 35) {
            for (const char* key : {"masbattle", "masbattlesm", "lightanim"}) {
                MeshObj->SelectMesh(key);
                MeshObj->MoveForward(200 * Campaign.FrameFactor);
            }
            if (!Battleship.BattleshipLeaveSoundPlayed) {
                if (DXAudioObj) DXAudioObj->PlayForeground("bshs.wav");
                Battleship.BattleshipLeaveSoundPlayed = true;
            }
        }
        if (t > 15) Show("lightanim", false);
        if (t < 15 && !departed) {
            Show("lightanim", true);
            AnimateLightning();
        }
    } else {
        if (!Battleship.BattleMusicStarted) {
            Battleship.BattleMusicStarted = true;
            if (DXAudioObj)
                DXAudioObj->PlayBackground(sys::ProgramFolder() + "\\sound\\alienbattlebegin.wma");
        } else if (DXAudioObj && DXAudioObj->BackgroundIsStopped()) {
            DXAudioObj->PlayBackground(sys::ProgramFolder() + "\\sound\\alienbattleloop.wma");
        }
        if (t > 3) Show("lightanim", false);
        if (t < 3) {
            Show("lightanim", true);
            AnimateLightning();
        }
    }
}

void BattleshipHit(int id, double damage, const Vector& point) {
    if (id < 0 || id != Level.BattleshipId) return;
    Battleship.BattleshipHP -= damage;
    if (Battleship.BattleshipHP <= 0) {
        Show("masbattle", false);
        Show("masbattlesm", false);
        StopEngines();
        ClearLeftovers();
        Battleship.BattleshipActive = false;
        Battleship.BattleshipPending = false;
        Battleship.BattleshipTimer = Campaign.FrameStartTime + 9999;
        StopEngineSound();
        StartExplosionAt(point);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(point, 30, 5, 3, 20);
        Effects.ExplosionMode = 2;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        Campaign.Money += 2500000;
        Hud.HudPointers[19].PointerOn = false;
        Battleship.BattleshipHP = Campaign.DifficultyLevel * 175000.0;
        for (int n = 1; n <= BattleShots; ++n) {
            Show("battlehold" + std::to_string(n), false);
            Show("battleproj" + std::to_string(n), false);
        }
        Campaign.MusicPollDue = true;
        Battleship.BattleshipDestroyed = true;
    }
    SoundObj->SelectSound("hit");
    SoundObj->PlaySound(0, false);
    int weapon = -1;
    SpawnHitSparks("mas2txt", point, 1, weapon);
}

}  // namespace quorvel
