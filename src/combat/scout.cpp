// The scout: one fast pass through the play field, with the level-2 sequence that
// shows the battleship in the distance.

#include <cstdint>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

constexpr int ScoutShots = 20;

void Show(const std::string& key, bool on) {
    if (MeshObj->SelectMesh(key)) MeshObj->SetVisible(on);
}

void HideShotSprites() {
    for (int n = 1; n <= ScoutShots; ++n)
        Show("scoutproj" + std::to_string(n), false);
}

void Foreground(const char* clip) {
    if (DXAudioObj) DXAudioObj->PlayForeground(clip);
}

clsDSWave8* EngineSound() {
    return Campaign.PositionalSounds[1].get();
}

std::int32_t Whole(float v) {
    return std::int32_t(sys::RoundHalfEven(double(v)));
}

void PlaceEngineSound(const Vector& p) {
    if (EngineSound()) EngineSound()->SetPosition(Whole(p.x), Whole(p.y), Whole(p.z));
}

// On level 50 element 1 is the battleship's engine: only the level-2 sequence owns it here.
void StopEngineSound() {
    if (Campaign.CurrentLevel == 2 && EngineSound()) EngineSound()->StopSound();
}

}  // namespace

void AnimateLightning() {
    if (Campaign.FrameStartTime - Scout.LightningFrameTime > 0.1) {
        Scout.LightningFrame = Scout.LightningFrame >= 4 ? 1 : Scout.LightningFrame + 1;
        MeshObj->SelectMesh("lightanim");
        MeshObj->SetTexture(0, "lightanim" + std::to_string(Scout.LightningFrame));
        Scout.LightningFrameTime = Campaign.FrameStartTime;
    }
}

int ScoutLevelAfter(int level, float r) {
    int next = level + int(sys::RoundHalfEven(2.0 * double(r) + 2.0));
    if (next < 50 && next % 5 == 0) next += 1;
    if (next > 46) next = 50;
    return next;
}

void StartScoutInbound() {
    const float bx = RandomRange() * 3000 - 10000;
    const float by = RandomRange() * 400;
    if (Campaign.CurrentLevel == 2) {
        Foreground("sctinbound.wma");
        for (const char* key : {"masbattle", "lightanim"}) {
            MeshObj->SelectMesh(key);
            MeshObj->SetPosition(bx, by, 15000);
            MeshObj->LookAt(-600, -100, -3100);
        }
    }
    HideShotSprites();  // shots of the last pass must not hang in the field
    MeshObj->SelectMesh("scout");
    MeshObj->SetRotation(0, 0, 0);
    const float x = RandomRange() * 3000 + 3000;
    const float y = RandomRange() * 500;
    MeshObj->SetPosition(x, y, 40000);
    MeshObj->LookAt(0, -100, -3100);
    MeshObj->SetVisible(true);
    Scout.ScoutNextLevel = ScoutLevelAfter(Campaign.CurrentLevel, RandomRange());
    Scout.ScoutState = 1;
    Scout.ScoutActive = true;
    Scout.ScoutShotTime = Campaign.FrameStartTime;
}

void UpdateScout() {
    MeshObj->SelectMesh("scout");
    MeshObj->MoveForward(80 * Campaign.FrameFactor);
    const float z = MeshObj->GetPosition().z;
    const bool story = Campaign.CurrentLevel == 2;
    if (Scout.ScoutState == 1 && z < 300) Scout.ScoutState = 2;
    if (Scout.ScoutState == 2 && z > 2200) Scout.ScoutState = 3;
    if (Scout.ScoutState == 3 && z < 2000) Scout.ScoutState = 4;
    if (Scout.ScoutState == 4 && z < 1000) {
        Scout.ScoutState = 5;
        if (story && EngineSound()) EngineSound()->PlaySound();  // once, not every frame
    }
    if (Scout.ScoutState == 5 && z < -5000) {
        Scout.ScoutState = 6;
        if (story) Callbacks.ResetCamera();
    }

    MeshObj->SelectMesh("scout");
    if (Scout.ScoutState == 2) MeshObj->TurnYaw(1.5f * Campaign.FrameFactor);
    if (Scout.ScoutState == 3) MeshObj->TurnYaw(-1 * Campaign.FrameFactor);
    if (Scout.ScoutState == 4 && story) {
        CameraObj->CameraLookAt(-5000, 0, 12000);
        Level.ShipCollisionsOff = true;
    }
    if (Scout.ScoutState == 5 && story) {
        if (!Scout.LightningSoundPlayed) {
            Foreground("maslight.wav");
            Scout.LightningSoundPlayed = true;
        }
        Show("lightanim", true);
        AnimateLightning();
        MeshObj->SelectMesh("lightanim");
        MeshObj->MoveForward(75 * Campaign.FrameFactor);
        MeshObj->SelectMesh("masbattle");
        MeshObj->SetVisible(true);
        MeshObj->MoveForward(75 * Campaign.FrameFactor);
        PlaceEngineSound(MeshObj->GetPosition());
        CameraObj->CameraLookAt(-5000, 0, 12000);
        Level.ShipCollisionsOff = true;
    }
    if (Scout.ScoutState == 6 && story) {
        MeshObj->SelectMesh("masbattle");
        MeshObj->SetVisible(true);
        MeshObj->MoveForward(150 * Campaign.FrameFactor);
        const Vector b = MeshObj->GetPosition();
        MeshObj->SelectMesh("lightanim");
        MeshObj->SetVisible(true);
        if (MeshObj->GetPosition().z < 1000) MeshObj->SetVisible(false);
        AnimateLightning();
        MeshObj->SelectMesh("lightanim");
        MeshObj->MoveForward(150 * Campaign.FrameFactor);
        PlaceEngineSound(b);
        Level.ShipCollisionsOff = false;
    }

    MeshObj->SelectMesh("scout");
    const Vector s = MeshObj->GetPosition();
    const float a = RandomRange() * 10 - 5, b = RandomRange() * 10 - 5, c = RandomRange() * 10 - 5;
    const Vector cam = Ship.CamBasis.CamPos;
    if (InRange(s, cam, 5000) && Campaign.FrameStartTime - Scout.ScoutShotTime > 0.08) {
        Scout.ScoutShotTime = Campaign.FrameStartTime;
        Scout.ScoutShotSlot = Scout.ScoutShotSlot >= ScoutShots ? 1 : Scout.ScoutShotSlot + 1;
        MeshObj->SelectMesh("scouthold" + std::to_string(Scout.ScoutShotSlot));
        MeshObj->SetPosition(s);
        MeshObj->SetVisible(true);
        MeshObj->LookAt(cam);
        MeshObj->TurnPitch(a);
        MeshObj->TurnYaw(b);
        MeshObj->TurnRoll(c);
        MeshObj->SelectMesh("scoutproj" + std::to_string(Scout.ScoutShotSlot));
        MeshObj->SetPosition(s);
        MeshObj->SetVisible(true);
        SoundObj->SelectSound("alienshoot");
        SoundObj->PlaySound(0, false);
    }

    for (int n = 1; n <= ScoutShots; ++n) {
        if (!MeshObj->SelectMesh("scouthold" + std::to_string(n))) continue;
        MeshObj->MoveForward(100 * Campaign.FrameFactor);
        const Vector p = MeshObj->GetPosition();
        MeshObj->SelectMesh("scoutproj" + std::to_string(n));
        MeshObj->SetPosition(p);
        if (InRange(p, cam, 10)) {
            MeshObj->SetVisible(false);
            Level.PlayerHitPending = true;
        }
    }

    MeshObj->SelectMesh("scout");
    if (MeshObj->GetPosition().z < -20000) {
        MeshObj->SetVisible(false);
        if (story) {
            Show("masbattle", false);
            Show("lightanim", false);
        }
        Scout.ScoutActive = false;
        if (story) {
            Foreground("sctleaving.wma");
            Level.ShipCollisionsOff = false;
        }
        StopEngineSound();
        HideShotSprites();
    }
}

void ScoutHit(int id, float damage, const Vector& point) {
    if (id < 0 || id != Level.ScoutId) return;
    Scout.ScoutHP -= damage;
    if (Scout.ScoutHP <= 0) {
        StartExplosionAt(point);
        if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(point, 30, 5, 3, 2);
        Effects.ExplosionMode = 2;
        Level.ExplosionActive = true;
        PlayExplosionSound();
        Campaign.Money += 250000;
        Scout.ScoutHP = 2000;
        // A kill in the middle of the level-2 sequence gives the player the ship and
        // the view back, as the end of the pass would.
        if (Campaign.CurrentLevel == 2 && Scout.ScoutActive && Scout.ScoutState >= 4) {
            Level.ShipCollisionsOff = false;
            Callbacks.ResetCamera();
        }
        ResetScout();
    }
    SoundObj->SelectSound("hit");
    SoundObj->PlaySound(0, false);
    int weapon = -1;
    SpawnHitSparks("alstxt", point, 1, weapon);
}

void ResetScout() {
    for (int n = 1; n <= ScoutShots; ++n) {
        Show("scouthold" + std::to_string(n), false);
        Show("scoutproj" + std::to_string(n), false);
    }
    Show("scout", false);
    if (Campaign.CurrentLevel == 2) {
        Show("masbattle", false);
        Show("lightanim", false);
    }
    Scout.ScoutActive = false;
    StopEngineSound();
    Scout.ScoutHP = 2000;
}

}  // namespace quorvel
