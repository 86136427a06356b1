// Power-ups: destroyed asteroids now and then leave one behind; touching it starts a
// timed effect (infinite energy, extreme speed, invincibility, rapid fire).

#include "combat/combat.h"
#include "common/common.h"
#include "game/state.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {

std::array<double, 5> DropTime{};
int KillCount = 0;
int DropThreshold = 0;
int DropKind = 0;
int LastDropKind = 0;
bool BobUp = false;
double BobTime = 0;

namespace {

float R() {
    return RandomRange();
}

// Drop slots 1 to 4 stand for these kinds.
constexpr int SlotKind[5] = {0, 1, 4, 2, 3};

// The seven projectile weapons with their normal reload rate and shot speed.
struct WeaponBase {
    ShotRec& state;
    float reloadRate;
    float shotSpeed;
};
std::array<WeaponBase, 7> Weapons() {
    return {{{PlasmaShots[0], 15, 32},
             {LaserShots[0], 15, 37},
             {IonShots[0], 20, 37},
             {MionShots[0], 22, 39},
             {EplasShots[0], 22, 37},
             {DisperseShots[0], 25, 32},
             {GammaShots[0], 4, 32}}};
}

// Shot speeds always start from the normal ones, so one effect ending never takes
// back what another still gives.
void DeriveShotSpeeds() {
    for (WeaponBase& w : Weapons())
        w.state.ShotSpeed =
            w.shotSpeed * (PowerUpOn[4] ? 2.0f : 1.0f) + (PowerUpOn[2] ? ShipMaxSpeed - 25 : 0.0f);
}

void SetReloadRates(float factor) {
    for (WeaponBase& w : Weapons())
        w.state.ReloadRate = w.reloadRate * factor;
}

void SetShipHandling(bool extreme) {
    ShipAccel = extreme ? 1.0f : 0.1f;
    ShipDrag = extreme ? 1.0f : 0.1f;
    BoostAccel = extreme ? 1.0f : 0.25f;
    MaxTurnRate = extreme ? 30.0f : 20.0f;
    ShipMaxSpeed = extreme ? 37.5f : 25.0f;
}

void ShowPowerUp(int kind, const Vector& where) {
    DropTime[std::size_t(kind)] = FrameStartTime;
    MeshObj->SelectMeshById(PowerUpMeshes[std::size_t(kind)]);
    MeshObj->SetPosition(where);
    MeshObj->SetVisible(true);
}

}  // namespace

void MaybeDropPowerUp(int index) {
    KillCount += 1;
    if (KillCount <= DropThreshold) return;
    KillCount = 0;

    const int level = CurrentLevel;
    if (level >= 25)
        DropThreshold = 18 + Nearest(7 * R());
    else if (level == 2)
        DropThreshold = 7 + Nearest(5 * R());
    else
        DropThreshold = 12 + Nearest(5 * R());

    DropKind = Nearest((19 * R() + 1) / 5);  // 0 drops nothing
    if (LastDropKind > 0 && DropKind == LastDropKind) DropKind = DropKind + 1 > 4 ? 1 : DropKind + 1;
    int extra = Nearest(2 * R()) + 1;
    if (level < 18) extra = Nearest(R()) + 1;
    if (level < 11) {
        if (DropKind > 3) DropKind = Nearest(R() + 1);
        extra = 1;
    }
    if (level < 6) {
        if (DropKind > 2) DropKind = Nearest(R() + 1);
        extra = 1;
    }

    LastDropKind = DropKind;
    const Vector where =
        index >= 1 && index <= AsteroidRecords + 1 ? Asteroids[std::size_t(index)].Pos : Vector{};
    if (DropKind >= 1 && DropKind <= 4) ShowPowerUp(SlotKind[DropKind], where);
    if (extra == 3) {
        int second = DropKind + Nearest(2 * RandomRange()) + 1;
        if (second > 4) second = DropKind - 1;
        if (second >= 1 && second <= 4) {
            ShowPowerUp(SlotKind[second], where);
            MeshObj->MoveForward(200, true, true);
        }
    }
}

bool CheckPowerUpPickup(int id) {
    if (id == -1) return false;
    for (int k = 1; k <= 4; ++k) {
        if (PowerUpMeshes[std::size_t(k)] != id) continue;
        PowerUpOn[std::size_t(k)] = true;
        PowerUpStart[std::size_t(k)] = FrameStartTime;
        if (k == 3) Invincible = true;
        static const char* const sounds[5] = {"", "pushield", "puspeed", "puinvinc", "pufire"};
        SoundObj->SelectSound(sounds[k]);
        SoundObj->PlaySound(0, false);
        if (k == 1) InfiniteEnergy = true;
        if (k == 2) {
            SetShipHandling(true);
            DeriveShotSpeeds();
        }
        if (k == 4) {
            SetReloadRates(2);
            DeriveShotSpeeds();
        }
        MeshObj->SelectMeshById(id);
        MeshObj->SetVisible(false);
        return true;
    }
    return false;
}

void UpdatePowerUps() {
    if (FrameStartTime - BobTime > 1) {
        BobTime = FrameStartTime;
        BobUp = !BobUp;
    }
    for (int k = 1; k <= 4; ++k) {
        MeshObj->SelectMeshById(PowerUpMeshes[std::size_t(k)]);
        MeshObj->MoveUp(BobUp ? 10 * FrameFactor : -10 * FrameFactor, true, true);
    }
    for (int k = 1; k <= 4; ++k)
        if (FrameStartTime - DropTime[std::size_t(k)] > 45) {
            MeshObj->SelectMeshById(PowerUpMeshes[std::size_t(k)]);
            MeshObj->SetVisible(false);
        }

    // Only a running effect can run out, so an effect that ended long ago is not
    // undone again while another one runs.
    auto expired = [](int k) {
        return PowerUpOn[std::size_t(k)] &&
               FrameStartTime - PowerUpStart[std::size_t(k)] > PowerUpDuration[std::size_t(k)];
    };
    if (expired(1)) {
        PowerUpOn[1] = false;
        InfiniteEnergy = false;
    }
    if (expired(2)) {
        PowerUpOn[2] = false;
        SetShipHandling(false);
        DeriveShotSpeeds();
    }
    if (expired(3)) {
        PowerUpOn[3] = false;
        Invincible = false;
    }
    if (expired(4)) {
        PowerUpOn[4] = false;
        SetReloadRates(1);
        DeriveShotSpeeds();
    }
    if (PowerUpOn[2]) DeriveShotSpeeds();  // the top speed may change while it runs
}

}  // namespace quorvel
