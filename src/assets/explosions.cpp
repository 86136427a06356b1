// Explosion flip-book, hit sparks and explosion sounds: the effects every kill and
// hit shares.

#include <algorithm>
#include <string>

#include "assets/assets.h"
#include "game/state.h"
#include "platform/system/convert.h"
#include "platform/system/random.h"
#include "common/engine_objects.h"

namespace quorvel {

int ExplosionTexture = -1;
int PickedSet = 0;

namespace {

bool SelectSprite(int i) {
    return MeshObj->SelectMeshById(ExplosionSprites[std::size_t(i)]);
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
    const Vector at = Asteroids[std::size_t(index)].Pos;
    for (int i = 1; i <= 64; ++i)
        if (SelectSprite(i)) MeshObj->SetPosition(at);
    if (ShockWave) ShockWave->MakeShockWave(at, 30, 5, 3, 2);
    ExplosionMode = 1;
    ExplosionActive = true;
}

void StartExplosionAt(const Vector& point) {
    for (int i = 1; i <= 64; ++i) {
        if (!SelectSprite(i)) continue;
        MeshObj->SetPosition(point);
        MeshObj->LookAt(CamBasis.CamPos);
        MeshObj->MoveForward(10, true, true);
    }
}

void AnimateExplosionFlipbook() {
    FlipTimer = FlipTimer + FrameFactor * 20;
    if (!(FlipTimer > 10)) return;
    FlipTimer = 0;
    if (FlipFrame > 1 && SelectSprite(FlipFrame - 1)) MeshObj->SetVisible(false);
    if (FlipFrame <= 64 && SelectSprite(FlipFrame)) {
        MeshObj->SetVisible(true);
        MeshObj->LookAt(CamBasis.CamPos);
    }
    FlipFrame += 1;
    if (FlipFrame > 65) {
        ExplosionActive = false;
        FlipFrame = 1;
        FlipTimer = 0;
        ExplosionRepick = true;
        for (int i = 1; i <= 64; ++i)
            if (SelectSprite(i)) MeshObj->SetVisible(false);
    }
}

void PickExplosionSet() {
    ExplosionRepick = false;
    const int set = ExplosionSetFor(ExplosionMode, float(sys::Rnd()));
    if (set > 0) {
        PickedSet = set;
        ExplosionTexture = ExplosionTextures[std::size_t(PickedSet)];
    }
    ApplyExplosionTexture();
}

void ApplyExplosionTexture() {
    for (int i = 1; i <= 64; ++i)
        if (SelectSprite(i)) MeshObj->SetTextureById(0, ExplosionTexture);
}

void SpawnHitSparks(const std::string& textureKey, const Vector& point, int size, int& weapon) {
    const float s = float(size);
    for (int n = 1; n <= 20; ++n) {
        SparkRec& spark = Sparks[std::size_t(n)];
        spark.Active = true;
        spark.Pos = point;
        if (!MeshObj->SelectMeshById(spark.MeshId)) continue;
        MeshObj->SetTexture(0, textureKey);
        MeshObj->SetPosition(point);
        MeshObj->SetRotation(RandomDirection());
        MeshObj->SetScale(s, s, s);
        MeshObj->SetVisible(true);
    }
    SparksActive = true;  // the running timer goes on: a second burst ends with the first
    if (weapon == -1) weapon = CurrentWeapon;
    if (weapon >= 1 && weapon <= 7 && WeaponShockWaves[std::size_t(weapon)])
        WeaponShockWaves[std::size_t(weapon)]->MakeShockWave(Sparks[1].Pos, 25, 20, 300, 0.05f);
}

void UpdateHitSparks() {
    for (int n = 1; n <= 20; ++n)
        if (MeshObj->SelectMeshById(Sparks[std::size_t(n)].MeshId))
            MeshObj->MoveForward(FrameFactor * 5, true, true);
    SparkTimer = SparkTimer + FrameFactor * 1.5f;
    if (SparkTimer > 10) {
        SparkTimer = 0;
        SparksActive = false;
        for (int n = 1; n <= 20; ++n)
            if (MeshObj->SelectMeshById(Sparks[std::size_t(n)].MeshId)) MeshObj->SetVisible(false);
    }
}

void PlayExplosionSound() {
    const int n = ExplosionSoundFor(float(sys::Rnd()));
    SoundObj->SelectSound("explode" + std::to_string(n));
    SoundObj->PlaySound(0, false);
}

}  // namespace quorvel
