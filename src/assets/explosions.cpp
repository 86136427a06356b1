// Explosion flip-book, hit sparks and explosion sounds: the effects every kill and
// hit shares.

#include <algorithm>
#include <string>

#include "assets/assets.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "platform/system/random.h"
#include "common/engine_objects.h"

namespace quorvel {

namespace {

bool SelectSprite(int i) {
    return MeshObj->SelectMeshById(Effects.ExplosionSprites[std::size_t(i)]);
}

// Every start sets the size: a loss's enlarged fireball must not carry over to the
// next kill.
void SizeSprite(float size) {
    const float s = ExplosionSpriteScale * size;
    MeshObj->SetScale(s, s, s);
}

}  // namespace

int ExplosionSetFor(int mode, float r) {
    if (mode == 1) return int(sys::RoundHalfEven(r * 2.0f + 1.0f));
    if (mode == 2) return int(sys::RoundHalfEven(r * 2.0f + 4.0f));
    return 0;
}

int ExplosionSoundFor(float r) {
    return std::clamp(int(sys::RoundHalfEven(r * 5.0f / 2.0f)) + 1, 1, 3);
}

void StartExplosionAtAsteroid(int index) {
    const Vector at = Level.Asteroids[std::size_t(index)].Pos;
    for (int i = 1; i <= 64; ++i) {
        if (!SelectSprite(i)) continue;
        MeshObj->SetPosition(at);
        SizeSprite(1);
    }
    if (Effects.ShockWave) Effects.ShockWave->MakeShockWave(at, 30, 5, 3, 2);
    Effects.ExplosionMode = 1;
    Level.ExplosionActive = true;
}

void StartExplosionAt(const Vector& point, float size, float lift) {
    for (int i = 1; i <= 64; ++i) {
        if (!SelectSprite(i)) continue;
        SizeSprite(size);
        MeshObj->SetPosition(point);
        MeshObj->LookAt(Ship.CamBasis.CamPos);
        MeshObj->MoveForward(lift, true, true);
    }
}

void StartLossExplosion(const Vector& point, float size, float lift) {
    // A kill's flip-book still running gives way: left to run out, it would end the
    // loss's sequence before the loss's own fireball had shown.
    for (int i = 1; i <= 64; ++i)
        if (SelectSprite(i)) MeshObj->SetVisible(false);
    StartExplosionAt(point, size, lift);
    Effects.FlipFrame = 1;
    Effects.FlipTimer = 99;  // the first frame shows in the frame that starts it
    // The play that picks the texture family for a new explosion is held while a loss
    // runs: the ship-fire family is picked here.
    Effects.ExplosionMode = 2;
    PickExplosionSet();
    Level.ExplosionActive = true;
}

void AnimateExplosionFlipbook() {
    Effects.FlipTimer = Effects.FlipTimer + Campaign.FrameFactor * 20;
    if (!(Effects.FlipTimer > 10)) return;
    Effects.FlipTimer = 0;
    if (Effects.FlipFrame > 1 && SelectSprite(Effects.FlipFrame - 1)) MeshObj->SetVisible(false);
    if (Effects.FlipFrame <= 64 && SelectSprite(Effects.FlipFrame)) {
        MeshObj->SetVisible(true);
        MeshObj->LookAt(Ship.CamBasis.CamPos);
    }
    Effects.FlipFrame += 1;
    if (Effects.FlipFrame > 65) {
        Level.ExplosionActive = false;
        Effects.FlipFrame = 1;
        Effects.FlipTimer = 0;
        Effects.ExplosionRepick = true;
        for (int i = 1; i <= 64; ++i)
            if (SelectSprite(i)) MeshObj->SetVisible(false);
    }
}

void PickExplosionSet() {
    Effects.ExplosionRepick = false;
    const int set = ExplosionSetFor(Effects.ExplosionMode, float(sys::Rnd()));
    if (set > 0) {
        Effects.PickedSet = set;
        Effects.ExplosionTexture = Effects.ExplosionTextures[std::size_t(Effects.PickedSet)];
    }
    ApplyExplosionTexture();
}

void ApplyExplosionTexture() {
    for (int i = 1; i <= 64; ++i)
        if (SelectSprite(i)) MeshObj->SetTextureById(0, Effects.ExplosionTexture);
}

void SpawnHitSparks(const std::string& textureKey, const Vector& point, int size, int& weapon) {
    const float s = float(size);
    for (int n = 1; n <= 20; ++n) {
        SparkRec& spark = Effects.Sparks[std::size_t(n)];
        spark.Active = true;
        spark.Pos = point;
        if (!MeshObj->SelectMeshById(spark.MeshId)) continue;
        MeshObj->SetTexture(0, textureKey);
        MeshObj->SetPosition(point);
        MeshObj->SetRotation(RandomDirection());
        MeshObj->SetScale(s, s, s);
        MeshObj->SetVisible(true);
    }
    Effects.SparksActive = true;  // the running timer goes on: a second burst ends with the first
    if (weapon == -1) weapon = Campaign.CurrentWeapon;
    if (weapon >= 1 && weapon <= 7 && Effects.WeaponShockWaves[std::size_t(weapon)])
        Effects.WeaponShockWaves[std::size_t(weapon)]->MakeShockWave(Effects.Sparks[1].Pos, 25, 20, 300,
                                                                     0.05f);
}

void UpdateHitSparks() {
    for (int n = 1; n <= 20; ++n)
        if (MeshObj->SelectMeshById(Effects.Sparks[std::size_t(n)].MeshId))
            MeshObj->MoveForward(Campaign.FrameFactor * 5, true, true);
    Effects.SparkTimer = Effects.SparkTimer + Campaign.FrameFactor * 1.5f;
    if (Effects.SparkTimer > 10) {
        Effects.SparkTimer = 0;
        Effects.SparksActive = false;
        for (int n = 1; n <= 20; ++n)
            if (MeshObj->SelectMeshById(Effects.Sparks[std::size_t(n)].MeshId)) MeshObj->SetVisible(false);
    }
}

void PlayExplosionSound() {
    const int n = ExplosionSoundFor(float(sys::Rnd()));
    SoundObj->SelectSound("explode" + std::to_string(n));
    SoundObj->PlaySound(0, false);
}

}  // namespace quorvel
