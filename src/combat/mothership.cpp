// The mothership boss: arrival, glide-in, attack, hits, kill and break-up.

#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

const Vector ArrivalPoint{3500, 2500, 14000};

void Play(const char* key, bool loop) {
    SoundObj->SelectSound(key);
    SoundObj->PlaySound(0, loop);
}

void SelectHull() {
    MeshObj->SelectMeshById(Level.MothershipId);
}

// A point fixed to the hull: the node "virtual" placed on the hull and moved by the offsets.
Vector HullPoint(const Vector& at, const Vector& right, const Vector& up, const Vector& front, float r,
                 float u, float f) {
    MeshObj->SelectMesh("virtual");
    MeshObj->SetPosition(at);
    MeshObj->SetOrientation(right, up, front);
    MeshObj->MoveRight(r);
    MeshObj->MoveUp(u);
    MeshObj->MoveForward(f);
    return MeshObj->GetPosition();
}

void EmitAt(const Vector& q, const Vector& right, const Vector& up, const Vector& front) {
    ParticleObj->SetEmitting(true);
    ParticleObj->SetEmitterPosition(q);
    ParticleObj->SetEmitterVector1(q);
    ParticleObj->SetEmitterVector2(q);
    ParticleObj->SetEmitterAxes(right, up, front);
}

void StopSystem(const std::string& name) {
    if (ParticleObj->SelectSystem(name)) ParticleObj->SetEmitting(false);
}

std::string Music(const char* file) {
    return sys::ProgramFolder() + "\\sound\\" + file;
}

struct Plume {
    const char* name;
    float r, u, f;
};
constexpr Plume Plumes[] = {
    {"enginemas1b", -0.57f, 94.29f, 925.41f}, {"enginemas2b", -0.57f, -95.25f, 926.23f},
    {"mastipb1", -5.13f, 333.21f, -728.91f},  {"mastipb2", 359.98f, 8.77f, -755.76f},
    {"mastipb3", -5.13f, -333.4f, -728.91f},  {"mastipb4", -358.97f, 8.77f, -755.76f},
};

struct Flame {
    float below;
    int entry;
    float r, u, f;
};
constexpr Flame Flames[] = {
    {0.75f, 5, -70, -77, -153.12f},
    {0.6f, 6, 69, 125, -73},
    {0.4f, 7, 76, 25, 661},
    {0.25f, 8, -113, -91, 205},
};

}  // namespace

float MothershipEnergyFor(int level, int difficulty) {
    return float(level) * 1000.0f * float(difficulty) + 10000.0f;
}

void ResetMothership() {
    for (int i = 1; i <= 5; ++i)
        if (MeshObj->SelectMesh("masproj" + std::to_string(i))) MeshObj->SetVisible(true);
    Mothership.MothershipArmed = true;
    Level.ShipCollisionsOff = true;
    Mothership.MothershipEnergy = MothershipEnergyFor(Campaign.CurrentLevel, Campaign.DifficultyLevel);
    Mothership.MothershipEnergyMax = Mothership.MothershipEnergy;
}

void StartMothershipHyperspaceIn() {
    MeshObj->SelectMesh("mshell");
    MeshObj->SetPosition(ArrivalPoint);
    MeshObj->SetRotation(0, 0, 0);
    SelectHull();
    MeshObj->SetPosition(ArrivalPoint);
    MeshObj->SetRotation(0, 0, 0);
    MeshObj->SelectMesh("energy");
    MeshObj->SetPosition(3500, 2500, 13320);
    MeshObj->SetRotation(0, 0, 0);
    if (Effects.MothershipShockWave)
        Effects.MothershipShockWave->MakeShockWave({3500, 2500, 13000}, 40, 30, 2.0f, 10.0f);
    Mothership.MothershipArriving = false;
    Play("mashyper", false);
}

void MothershipApproach() {
    CameraObj->SetCameraPosition(-1000, 500, -3000);
    CameraObj->CameraLookAt(3500, 2500, 5000);
    if (Effects.MothershipShockWave && Effects.MothershipShockWave->CurrFrame > 32)
        Mothership.MothershipArriving = true;
    if (!Mothership.MothershipArriving) return;
    SelectHull();
    MeshObj->SetVisible(true);
    const Vector p = MeshObj->GetPosition();
    float step = p.z / 30.0f;
    if (p.z < 100) {
        step = 0;
        Mothership.MothershipArriving = false;
        Mothership.MothershipInRange = true;
        Callbacks.ResetCamera();
        SelectHull();
    }
    MeshObj->MoveForward(-step * Campaign.FrameFactor);
    MeshObj->SelectMesh("energy");
    MeshObj->SetPosition(p);
    MeshObj->MoveForward(-680);
    MeshObj->SelectMesh("mshell");
    MeshObj->SetVisible(true);
    MeshObj->MoveForward(-step * Campaign.FrameFactor);
    Play("maseng", true);
}

void MothershipEnergyAttack() {
    MeshObj->SelectMesh("energy");
    MeshObj->SetTexture(0, "energy" + std::to_string(Mothership.MothershipChargeStep));
    MeshObj->SetVisible(true);
    if (Campaign.FrameStartTime - Mothership.MothershipChargeStepTime > 0.007) {
        if (Mothership.MothershipChargeStep == 1) Play("masener", false);
        Mothership.MothershipChargeStepTime = Campaign.FrameStartTime;
        Mothership.MothershipChargeStep += 1;
        if (Mothership.MothershipChargeStep > 12) {
            Mothership.MothershipFireReady = true;
            Mothership.MothershipChargeStep = 1;
            Mothership.MothershipCharging = false;
            MeshObj->SelectMesh("energy");
            MeshObj->SetVisible(false);
        }
    }
}

void UpdateMothershipDamage(const Vector& position, const Vector& right, const Vector& up,
                            const Vector& front) {
    const float ratio = Mothership.MothershipEnergyMax != 0
                            ? Mothership.MothershipEnergy / Mothership.MothershipEnergyMax
                            : 0;
    for (const Flame& row : Flames) {
        SmokeRec& smoke = Effects.SmokeFx[std::size_t(row.entry)];
        if (ratio < row.below) {
            const Vector q = HullPoint(position, right, up, front, row.r, row.u, row.f);
            smoke.Active = true;
            ParticleObj->SelectSystemById(smoke.SystemId);
            EmitAt(q, right, up, front);
            if (row.entry == 5) ParticleObj->SetSystemParamA(135.0f, 1);
            if (row.entry == 8) ParticleObj->SetSystemParamB(135.0f, 1);
        } else {
            smoke.Active = false;
            ParticleObj->SelectSystemById(smoke.SystemId);
            ParticleObj->SetEmitting(false);
        }
    }
}

void UpdateMothership() {
    Level.ShipCollisionsOff = false;
    MeshObj->SelectMesh("mshell");
    MeshObj->SetVisible(true);
    MeshObj->MoveForward(-8 * Campaign.FrameFactor);
    MeshObj->TurnYaw(0.12f * Campaign.FrameFactor, 2);
    SelectHull();
    MeshObj->SetVisible(true);
    MeshObj->MoveForward(-8 * Campaign.FrameFactor);
    MeshObj->TurnYaw(0.12f * Campaign.FrameFactor, 2);
    const Vector pm = MeshObj->GetPosition();
    MeshObj->SelectMesh("energy");
    MeshObj->SetPosition(pm);
    MeshObj->TurnYaw(0.12f * Campaign.FrameFactor, 2);
    MeshObj->MoveForward(-685);
    Hud.HudPointers[18].PointerOn = true;
    Hud.HudPointers[18].PointerTarget = pm;

    MeshObj->SelectMesh("mshell");
    const AxisSet axes = MeshObj->GetOrientation();
    const Vector ps = MeshObj->GetPosition();
    for (const Plume& p : Plumes) {
        const Vector q = HullPoint(ps, axes.AxisRight, axes.AxisUp, axes.AxisFront, p.r, p.u, p.f);
        if (ParticleObj->SelectSystem(p.name)) EmitAt(q, axes.AxisRight, axes.AxisUp, axes.AxisFront);
    }
    UpdateMothershipDamage(ps, axes.AxisRight, axes.AxisUp, axes.AxisFront);

    const float speed = float(Campaign.CurrentLevel) * 0.8f + 140.0f;
    for (int i = 1; i <= 5; ++i) {
        const std::string hold = "masphold" + std::to_string(i);
        const std::string proj = "masproj" + std::to_string(i);
        MeshObj->SelectMesh(hold);
        Vector h = MeshObj->GetPosition();
        if (InRange(h, Level.StationPos, 250)) {
            MeshObj->SelectMesh("energy");
            const Vector e = MeshObj->GetPosition();
            MeshObj->SelectMesh(hold);
            MeshObj->SetPosition(e);
            MeshObj->SelectMesh(proj);
            MeshObj->SetPosition(e);
            MeshObj->SetVisible(false);
        } else {
            MeshObj->SelectMesh(hold);
            MeshObj->MoveForward(speed * Campaign.FrameFactor);
            h = MeshObj->GetPosition();
            MeshObj->SelectMesh(proj);
            MeshObj->SetPosition(h);
            MeshObj->SetVisible(true);
            if (InRange(h, Ship.CamBasis.CamPos, 35)) Level.PlayerHitPending = true;
        }
        if (Mothership.MothershipCharging) {
            MothershipEnergyAttack();
        } else {
            MeshObj->SelectMesh("energy");
            MeshObj->SetVisible(false);
        }
    }

    if (Campaign.FrameStartTime - Mothership.MothershipChargeTime >
        double(Mothership.MothershipChargeInterval)) {
        Mothership.MothershipChargeInterval = 2.0f * RandomRange() + 0.8f;
        Mothership.MothershipChargeTime = Campaign.FrameStartTime;
        Mothership.MothershipCharging = true;
    }

    if (Mothership.MothershipFireReady) {
        Mothership.MothershipFireReady = false;
        MeshObj->SelectMesh("energy");
        const Vector e = MeshObj->GetPosition();
        const AxisSet ea = MeshObj->GetOrientation();
        MeshObj->SelectMesh("masphold" + std::to_string(Mothership.MothershipShotSlot));
        MeshObj->SetPosition(e);
        MeshObj->SetOrientation(ea);
        MeshObj->MoveForward(-680);
        MeshObj->LookAt(Ship.CamBasis.CamPos);
        Play("masshoot", false);
        Mothership.MothershipShotSlot =
            Mothership.MothershipShotSlot >= 5 ? 1 : Mothership.MothershipShotSlot + 1;
    }

    Play("maseng", true);

    if (Campaign.CurrentLevel < 50 && DXAudioObj) {
        if (!Mothership.MothershipMusicOn) {
            DXAudioObj->PlayBackground(Music("ms_begin.wma"));
            Mothership.MothershipMusicOn = true;
            Campaign.MusicPollDue = false;
        }
        if (Mothership.MothershipMusicOn && DXAudioObj->BackgroundIsStopped())
            DXAudioObj->PlayBackground(Music("ms_song.wma"));
    }
}

void DestroyMothership() {
    SelectHull();
    const AxisSet axes = MeshObj->GetOrientation();
    const Vector p = MeshObj->GetPosition();
    for (int i = 1; i <= 5; ++i) {
        if (!MeshObj->SelectMesh("mship" + std::to_string(i))) continue;
        MeshObj->SetPosition(p);
        MeshObj->SetOrientation(axes);
        MeshObj->SetMeshFlags(0);
        MeshObj->SetVisible(true);
    }
    Mothership.MothershipBreakupStart = Campaign.FrameStartTime;
    Mothership.MothershipBreakingUp = true;
    StopSystem("enginemas1b");
    StopSystem("enginemas2b");
}

void MothershipHit(int id, float damage, const Vector& point) {
    if (id < 0 || id != Level.MothershipId) return;
    Mothership.MothershipEnergy -= damage;
    if (Mothership.MothershipEnergy < 1.0f) {
        // Only a running fight holds the level: a kill outside one (the in-game load
        // ending a level) must not hold back or complete the next level by itself.
        const bool fighting = Mothership.MothershipArmed || Mothership.MothershipInRange;
        DestroyMothership();
        Mothership.MothershipBreakingUp = true;
        Mothership.MothershipEnergy = MothershipEnergyFor(Campaign.CurrentLevel, Campaign.DifficultyLevel);
        Mothership.MothershipEnergyMax = Mothership.MothershipEnergy;
        SelectHull();
        MeshObj->SetVisible(false);
        for (const char* key : {"mshell", "energy"})
            if (MeshObj->SelectMesh(key)) MeshObj->SetVisible(false);
        for (int i = 1; i <= 5; ++i)
            if (MeshObj->SelectMesh("masproj" + std::to_string(i))) MeshObj->SetVisible(false);
        if (fighting && Level.AsteroidsLeft < 1) {
            Mothership.MothershipKillHold = true;
            Mothership.MothershipKillTime = Campaign.FrameStartTime;
            Level.AsteroidsLeft = 1;
        }
        Mothership.MothershipInRange = Mothership.MothershipInbound = Mothership.MothershipLevel =
            Mothership.MothershipArmed = false;
        SoundObj->SelectSound("maseng");
        SoundObj->StopSound();
        StartExplosionAt(point);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(point, 30, 5, 3.0f, 4.0f);
        Effects.ExplosionMode = 2;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        Campaign.Money += 2500000;
        Hud.HudPointers[18].PointerOn = false;
        Mothership.MothershipMusicOn = false;
        if (Campaign.CurrentLevel < 50) {
            if (DXAudioObj) DXAudioObj->StartBackground();
            Campaign.MusicPollDue = true;
        }
        StopSystem("enginemas1b");
        StopSystem("enginemas2b");
        for (int k = 1; k <= 4; ++k)
            StopSystem("mastipb" + std::to_string(k));
        for (std::size_t e = 5; e <= 8; ++e) {
            Effects.SmokeFx[e].Active = false;
            if (ParticleObj->SelectSystemById(Effects.SmokeFx[e].SystemId)) ParticleObj->SetEmitting(false);
        }
        if (Campaign.CurrentLevel == 50) {
            Battleship.BattleshipTimer = Campaign.FrameStartTime;
            StartBattleship();
            Battleship.BattleshipPending = true;
        }
    }
    Play("hit", false);
    int weapon = -1;
    SpawnHitSparks("mas2txt", point, 1, weapon);
}

void RunMothershipBreakup() {
    const float d = 16 * Campaign.FrameFactor;
    const float right[6] = {0, -d, d, -d, d, d};
    const float up[6] = {0, d, d, -d, -d, d};
    for (int i = 1; i <= 5; ++i) {
        if (!MeshObj->SelectMesh("mship" + std::to_string(i))) continue;
        MeshObj->MoveRight(right[i]);
        MeshObj->MoveUp(up[i]);
    }
    if (Campaign.CurrentLevel < 50 &&
        (Campaign.FrameStartTime - Mothership.MothershipBreakupStart > 5.0 || Level.AsteroidsLeft < 1)) {
        for (int i = 1; i <= 5; ++i)
            if (MeshObj->SelectMesh("mship" + std::to_string(i))) MeshObj->SetVisible(false);
        Mothership.MothershipBreakingUp = false;
    }
    if (!Mothership.MothershipBreakingUp) {
        if (Campaign.CurrentLevel != 25)
            Callbacks.CheckLevelComplete();
        else
            Level.GoldCutsceneArmed = true;
    }
}

}  // namespace quorvel
