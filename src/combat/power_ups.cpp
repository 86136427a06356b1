// Power-ups: destroyed asteroids now and then leave one behind; touching it starts a
// timed effect (infinite energy, extreme speed, invincibility, rapid fire).

#include "combat/combat.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {

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
    return {{{Arsenal.PlasmaShots[0], 15, 32},
             {Arsenal.LaserShots[0], 15, 37},
             {Arsenal.IonShots[0], 20, 37},
             {Arsenal.MionShots[0], 22, 39},
             {Arsenal.EplasShots[0], 22, 37},
             {Arsenal.DisperseShots[0], 25, 32},
             {Arsenal.GammaShots[0], 4, 32}}};
}

// Shot speeds always start from the normal ones, so one effect ending never takes
// back what another still gives.
void DeriveShotSpeeds() {
    for (WeaponBase& w : Weapons())
        w.state.ShotSpeed = w.shotSpeed * (PowerUps.PowerUpOn[4] ? 2.0f : 1.0f) +
                            (PowerUps.PowerUpOn[2] ? Ship.ShipMaxSpeed - 25 : 0.0f);
}

void SetReloadRates(float factor) {
    for (WeaponBase& w : Weapons())
        w.state.ReloadRate = w.reloadRate * factor;
}

void SetShipHandling(bool extreme) {
    Ship.ShipAccel = extreme ? 1.0f : 0.1f;
    Ship.ShipDrag = extreme ? 1.0f : 0.1f;
    Ship.BoostAccel = extreme ? 1.0f : 0.25f;
    Ship.MaxTurnRate = extreme ? 30.0f : 20.0f;
    Ship.ShipMaxSpeed = extreme ? 37.5f : 25.0f;
}

void ShowPowerUp(int kind, const Vector& where) {
    PowerUps.DropTime[std::size_t(kind)] = Campaign.FrameStartTime;
    MeshObj->SelectMeshById(PowerUps.PowerUpMeshes[std::size_t(kind)]);
    MeshObj->SetPosition(where);
    MeshObj->SetVisible(true);
}

}  // namespace

void MaybeDropPowerUp(int index) {
    PowerUps.KillCount += 1;
    if (PowerUps.KillCount <= PowerUps.DropThreshold) return;
    PowerUps.KillCount = 0;

    const int level = Campaign.CurrentLevel;
    if (level >= 25)
        PowerUps.DropThreshold = 18 + Nearest(7 * R());
    else if (level == 2)
        PowerUps.DropThreshold = 7 + Nearest(5 * R());
    else
        PowerUps.DropThreshold = 12 + Nearest(5 * R());

    PowerUps.DropKind = Nearest((19 * R() + 1) / 5);  // 0 drops nothing
    if (PowerUps.LastDropKind > 0 && PowerUps.DropKind == PowerUps.LastDropKind)
        PowerUps.DropKind = PowerUps.DropKind + 1 > 4 ? 1 : PowerUps.DropKind + 1;
    int extra = Nearest(2 * R()) + 1;
    if (level < 18) extra = Nearest(R()) + 1;
    if (level < 11) {
        if (PowerUps.DropKind > 3) PowerUps.DropKind = Nearest(R() + 1);
        extra = 1;
    }
    if (level < 6) {
        if (PowerUps.DropKind > 2) PowerUps.DropKind = Nearest(R() + 1);
        extra = 1;
    }

    PowerUps.LastDropKind = PowerUps.DropKind;
    const Vector where =
        index >= 1 && index <= AsteroidRecords + 1 ? Level.Asteroids[std::size_t(index)].Pos : Vector{};
    if (PowerUps.DropKind >= 1 && PowerUps.DropKind <= 4) ShowPowerUp(SlotKind[PowerUps.DropKind], where);
    if (extra == 3) {
        int second = PowerUps.DropKind + Nearest(2 * RandomRange()) + 1;
        if (second > 4) second = PowerUps.DropKind - 1;
        if (second >= 1 && second <= 4) {
            ShowPowerUp(SlotKind[second], where);
            MeshObj->MoveForward(200, true, true);
        }
    }
}

bool CheckPowerUpPickup(int id) {
    if (id == -1) return false;
    for (int k = 1; k <= 4; ++k) {
        if (PowerUps.PowerUpMeshes[std::size_t(k)] != id) continue;
        PowerUps.PowerUpOn[std::size_t(k)] = true;
        PowerUps.PowerUpStart[std::size_t(k)] = Campaign.FrameStartTime;
        if (k == 3) Ship.Invincible = true;
        static const char* const sounds[5] = {"", "pushield", "puspeed", "puinvinc", "pufire"};
        SoundObj->SelectSound(sounds[k]);
        SoundObj->PlaySound(0, false);
        if (k == 1) Arsenal.InfiniteEnergy = true;
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
    if (Campaign.FrameStartTime - PowerUps.BobTime > 1) {
        PowerUps.BobTime = Campaign.FrameStartTime;
        PowerUps.BobUp = !PowerUps.BobUp;
    }
    for (int k = 1; k <= 4; ++k) {
        MeshObj->SelectMeshById(PowerUps.PowerUpMeshes[std::size_t(k)]);
        MeshObj->MoveUp(PowerUps.BobUp ? 10 * Campaign.FrameFactor : -10 * Campaign.FrameFactor, true, true);
    }
    for (int k = 1; k <= 4; ++k)
        if (Campaign.FrameStartTime - PowerUps.DropTime[std::size_t(k)] > 45) {
            MeshObj->SelectMeshById(PowerUps.PowerUpMeshes[std::size_t(k)]);
            MeshObj->SetVisible(false);
        }

    // Only a running effect can run out, so an effect that ended long ago is not
    // undone again while another one runs.
    auto expired = [](int k) {
        return PowerUps.PowerUpOn[std::size_t(k)] &&
               Campaign.FrameStartTime - PowerUps.PowerUpStart[std::size_t(k)] >
                   PowerUpDuration[std::size_t(k)];
    };
    if (expired(1)) {
        PowerUps.PowerUpOn[1] = false;
        Arsenal.InfiniteEnergy = false;
    }
    if (expired(2)) {
        PowerUps.PowerUpOn[2] = false;
        SetShipHandling(false);
        DeriveShotSpeeds();
    }
    if (expired(3)) {
        PowerUps.PowerUpOn[3] = false;
        Ship.Invincible = false;
    }
    if (expired(4)) {
        PowerUps.PowerUpOn[4] = false;
        SetReloadRates(1);
        DeriveShotSpeeds();
    }
    if (PowerUps.PowerUpOn[2]) DeriveShotSpeeds();  // the top speed may change while it runs
}

}  // namespace quorvel
