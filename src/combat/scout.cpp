// The scout: one fast pass through the play field, with the level-2 sequence that
// shows the battleship in the distance.

#include <cstdint>
#include <string>

#include "assets/assets.h"
#include "audio/audio.h"
#include "audio/audio.h"
#include "combat/combat.h"
#include "common/common.h"
#include "game/game.h"
#include "game/state.h"
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
    return PositionalSounds[1].get();
}

std::int32_t Whole(float v) {
    return std::int32_t(sys::RoundHalfEven(double(v)));
}

void PlaceEngineSound(const Vector& p) {
    if (EngineSound()) EngineSound()->SetPosition(Whole(p.x), Whole(p.y), Whole(p.z));
}

// On level 50 element 1 is the battleship's engine: only the level-2 sequence owns it here.
void StopEngineSound() {
    if (CurrentLevel == 2 && EngineSound()) EngineSound()->StopSound();
}

}  // namespace

void AnimateLightning() {
    if (FrameStartTime - LightningFrameTime > 0.1) {
        LightningFrame = LightningFrame >= 4 ? 1 : LightningFrame + 1;
        MeshObj->SelectMesh("lightanim");
        MeshObj->SetTexture(0, "lightanim" + std::to_string(LightningFrame));
        LightningFrameTime = FrameStartTime;
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
    if (CurrentLevel == 2) {
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
    ScoutNextLevel = ScoutLevelAfter(CurrentLevel, RandomRange());
    ScoutState = 1;
    ScoutActive = true;
    ScoutShotTime = FrameStartTime;
}

void UpdateScout() {
    MeshObj->SelectMesh("scout");
    MeshObj->MoveForward(80 * FrameFactor);
    const float z = MeshObj->GetPosition().z;
    const bool story = CurrentLevel == 2;
    if (ScoutState == 1 && z < 300) ScoutState = 2;
    if (ScoutState == 2 && z > 2200) ScoutState = 3;
    if (ScoutState == 3 && z < 2000) ScoutState = 4;
    if (ScoutState == 4 && z < 1000) {
        ScoutState = 5;
        if (story && EngineSound()) EngineSound()->PlaySound();  // once, not every frame
    }
    if (ScoutState == 5 && z < -5000) {
        ScoutState = 6;
        if (story) ResetCamera();
    }

    MeshObj->SelectMesh("scout");
    if (ScoutState == 2) MeshObj->TurnYaw(1.5f * FrameFactor);
    if (ScoutState == 3) MeshObj->TurnYaw(-1 * FrameFactor);
    if (ScoutState == 4 && story) {
        CameraObj->CameraLookAt(-5000, 0, 12000);
        ShipCollisionsOff = true;
    }
    if (ScoutState == 5 && story) {
        if (!LightningSoundPlayed) {
            Foreground("maslight.wav");
            LightningSoundPlayed = true;
        }
        Show("lightanim", true);
        AnimateLightning();
        MeshObj->SelectMesh("lightanim");
        MeshObj->MoveForward(75 * FrameFactor);
        MeshObj->SelectMesh("masbattle");
        MeshObj->SetVisible(true);
        MeshObj->MoveForward(75 * FrameFactor);
        PlaceEngineSound(MeshObj->GetPosition());
        CameraObj->CameraLookAt(-5000, 0, 12000);
        ShipCollisionsOff = true;
    }
    if (ScoutState == 6 && story) {
        MeshObj->SelectMesh("masbattle");
        MeshObj->SetVisible(true);
        MeshObj->MoveForward(150 * FrameFactor);
        const Vector b = MeshObj->GetPosition();
        MeshObj->SelectMesh("lightanim");
        MeshObj->SetVisible(true);
        if (MeshObj->GetPosition().z < 1000) MeshObj->SetVisible(false);
        AnimateLightning();
        MeshObj->SelectMesh("lightanim");
        MeshObj->MoveForward(150 * FrameFactor);
        PlaceEngineSound(b);
        ShipCollisionsOff = false;
    }

    MeshObj->SelectMesh("scout");
    const Vector s = MeshObj->GetPosition();
    const float a = RandomRange() * 10 - 5, b = RandomRange() * 10 - 5, c = RandomRange() * 10 - 5;
    const Vector cam = CamBasis.CamPos;
    if (InRange(s, cam, 5000) && FrameStartTime - ScoutShotTime > 0.08) {
        ScoutShotTime = FrameStartTime;
        ScoutShotSlot = ScoutShotSlot >= ScoutShots ? 1 : ScoutShotSlot + 1;
        MeshObj->SelectMesh("scouthold" + std::to_string(ScoutShotSlot));
        MeshObj->SetPosition(s);
        MeshObj->SetVisible(true);
        MeshObj->LookAt(cam);
        MeshObj->TurnPitch(a);
        MeshObj->TurnYaw(b);
        MeshObj->TurnRoll(c);
        MeshObj->SelectMesh("scoutproj" + std::to_string(ScoutShotSlot));
        MeshObj->SetPosition(s);
        MeshObj->SetVisible(true);
        SoundObj->SelectSound("alienshoot");
        SoundObj->PlaySound(0, false);
    }

    for (int n = 1; n <= ScoutShots; ++n) {
        if (!MeshObj->SelectMesh("scouthold" + std::to_string(n))) continue;
        MeshObj->MoveForward(100 * FrameFactor);
        const Vector p = MeshObj->GetPosition();
        MeshObj->SelectMesh("scoutproj" + std::to_string(n));
        MeshObj->SetPosition(p);
        if (InRange(p, cam, 10)) {
            MeshObj->SetVisible(false);
            PlayerHitPending = true;
        }
    }

    MeshObj->SelectMesh("scout");
    if (MeshObj->GetPosition().z < -20000) {
        MeshObj->SetVisible(false);
        if (story) {
            Show("masbattle", false);
            Show("lightanim", false);
        }
        ScoutActive = false;
        if (story) {
            Foreground("sctleaving.wma");
            ShipCollisionsOff = false;
        }
        StopEngineSound();
        HideShotSprites();
    }
}

void ScoutHit(int id, float damage, const Vector& point) {
    if (id < 0 || id != ScoutId) return;
    ScoutHP -= damage;
    if (ScoutHP <= 0) {
        StartExplosionAt(point);
        if (ShockWave) ShockWave->MakeShockWave(point, 30, 5, 3, 2);
        ExplosionMode = 2;
        ExplosionActive = true;
        PlayExplosionSound();
        Money += 250000;
        ScoutHP = 2000;
        // A kill in the middle of the level-2 sequence gives the player the ship and
        // the view back, as the end of the pass would.
        if (CurrentLevel == 2 && ScoutActive && ScoutState >= 4) {
            ShipCollisionsOff = false;
            ResetCamera();
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
    if (CurrentLevel == 2) {
        Show("masbattle", false);
        Show("lightanim", false);
    }
    ScoutActive = false;
    StopEngineSound();
    ScoutHP = 2000;
}

}  // namespace quorvel
