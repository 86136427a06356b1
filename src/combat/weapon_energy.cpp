// Weapon energy: a store per projectile weapon that regenerates, pays for shots and
// is refilled at the station; the HUD meter; hull repair in a force field.

#include <cmath>
#include <string>

#include "combat/combat.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {

const std::array<WeaponSpec, 8> WeaponTable = {{
    {0, 0, 0},
    {80, 1.75f, 2.2f},
    {75, 1.75f, 2.5f},
    {70, 2.0f, 3.0f},
    {65, 2.25f, 4.0f},
    {60, 2.5f, 5.0f},
    {55, 15.0f, 20.0f},
    {60, 3.0f, 25.0f},
}};

namespace {
bool IsStoreWeapon(int weapon) {
    return weapon >= 1 && weapon <= 7;
}
}  // namespace

void InitWeaponTable() {
    for (int w = 1; w <= 7; ++w) {
        WeaponEnergyRecord& e = Arsenal.WeaponEnergy[std::size_t(w)];
        e.RegenRate = WeaponTable[std::size_t(w)].RegenRate;
        e.ShotCost = WeaponTable[std::size_t(w)].ShotCost;
        e.RegenAccum = 0;
    }
    Arsenal.EnergyTableReady = true;
    Arsenal.RefillDone = false;
}

// A unit for every whole 10 the accumulator gathers; the remainder is kept, so the
// rate does not depend on the frame rate.
void RegenerateWeaponEnergy() {
    if (!Arsenal.EnergyTableReady) InitWeaponTable();
    for (int w = 1; w <= 7; ++w) {
        WeaponEnergyRecord& e = Arsenal.WeaponEnergy[std::size_t(w)];
        e.RegenAccum += Campaign.FrameFactor * e.RegenRate;
        if (e.RegenAccum > 10) {
            const float units = std::floor(e.RegenAccum / 10);
            e.RegenAccum -= units * 10;
            e.Energy += units;
            if (e.Energy >= e.MaxEnergy) e.Energy = e.MaxEnergy;
        }
    }
}

void AdjustWeaponRegenRate(bool raise) {
    if (Campaign.CurrentWeapon < 0 || Campaign.CurrentWeapon > 8) return;
    Arsenal.WeaponEnergy[std::size_t(Campaign.CurrentWeapon)].RegenRate +=
        float(Campaign.FrameFactor * (raise ? 0.01 : -0.01));
}

void AdjustWeaponShotCost(bool raise) {
    if (Campaign.CurrentWeapon < 0 || Campaign.CurrentWeapon > 8) return;
    Arsenal.WeaponEnergy[std::size_t(Campaign.CurrentWeapon)].ShotCost +=
        float(Campaign.FrameFactor * (raise ? 0.01 : -0.01));
}

// A refill acts when a shot has cost energy since the last one, and always when the
// capacity changed since (shop, loaded game). It leaves infinite energy running.
void SetWeaponEnergy(int, int) {
    if (Arsenal.CapacityLevel < 1 || Arsenal.CapacityLevel > 4) Arsenal.CapacityLevel = 1;
    const float factor = float(Arsenal.CapacityLevel);
    if (!Arsenal.RefillDone || factor != Arsenal.CapacityFactor) {
        Arsenal.CapacityFactor = factor;
        for (int w = 1; w <= 7; ++w) {
            WeaponEnergyRecord& e = Arsenal.WeaponEnergy[std::size_t(w)];
            e.MaxEnergy = WeaponTable[std::size_t(w)].BaseCapacity * Arsenal.CapacityFactor;
            e.Energy = e.MaxEnergy;
        }
        Arsenal.RepairTimer = 1000;  // the next repair step comes at once
    }
    Arsenal.RefillDone = true;
}

void UseWeaponEnergy(int weapon, float shots) {
    if (Arsenal.InfiniteEnergy || !IsStoreWeapon(weapon) || Campaign.CurrentWeapon < 0 ||
        Campaign.CurrentWeapon > 8)
        return;
    Arsenal.WeaponEnergy[std::size_t(weapon)].Energy -=
        shots * Arsenal.WeaponEnergy[std::size_t(Campaign.CurrentWeapon)].ShotCost;
    Arsenal.RefillDone = false;
}

bool HasWeaponEnergy(int weapon) {
    if (!IsStoreWeapon(weapon) || Campaign.CurrentWeapon < 0 || Campaign.CurrentWeapon > 8) return false;
    return Arsenal.WeaponEnergy[std::size_t(weapon)].Energy >
           Arsenal.WeaponEnergy[std::size_t(Campaign.CurrentWeapon)].ShotCost;
}

// Once per refused shot; a looping sound would never stop.
void PlayNoEnergySound() {
    SoundObj->SelectSound("noavail");
    SoundObj->PlaySound(0, false);
}

void DrawEnergyMeter() {
    if (IsStoreWeapon(Campaign.CurrentWeapon)) {
        const WeaponEnergyRecord& e = Arsenal.WeaponEnergy[std::size_t(Campaign.CurrentWeapon)];
        float ratio = e.MaxEnergy > 0 ? e.Energy / e.MaxEnergy : 0;
        if (ratio <= 0) ratio = 0.01f;
        Colour colour = MathObj->MakeColour(0, 0, 255, 255);
        if (ratio < 0.25f) colour = MathObj->MakeColour(254, 248, 0, 255);
        if (ratio < 0.15f) colour = MathObj->MakeColour(255, 26, 0, 255);
        Draw2DObj->SetDrawColour(colour);
        if (Arsenal.CapacityLevel >= 1 && Arsenal.CapacityLevel <= 4) {
            Draw2DObj->SelectImage("pwrmeter");
            Draw2DObj->SetImageTexture(0, "enermeter" + std::to_string(Arsenal.CapacityLevel));
            Draw2DObj->SetDrawMode(0);
            const float h = float(Display.ScreenHeight);
            Draw2DObj->DrawRectangle(
                MathObj->MakeVector2(763 * Display.ScaleX, h - 54 * Display.ScaleY),
                MathObj->MakeVector2((523 + 240 * ratio) * Display.ScaleX, h - 38 * Display.ScaleY), true);
        }
    }
    Draw2DObj->SetDrawMode(1);
}

void RepairHullTick() {
    Arsenal.RepairTimer += Campaign.FrameFactor;
    if (Ship.HullDamage > 1 && Arsenal.RepairTimer > 50) {
        Arsenal.RepairTimer = 0;
        Ship.HullDamage -= 1;
        if (Ship.HullDamage < 1) Ship.HullDamage = 1;
        Arsenal.Repairing = true;
        Callbacks.CheckShield();
    }
    Arsenal.Repairing = false;
}

}  // namespace quorvel
