// The shield: a damage gauge from 0 (full) to ShieldMax (gone), its recharge and its
// HUD bar.

#include "combat/combat.h"
#include "common/world.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {
bool chargeSounding = false;  // the fast-recharge loop is playing
}

void ResetShield() {
    Ship.ShieldDamage = 0;
    Ship.ShieldMax = 100;
    Arsenal.FastRecharge = false;
}

// The fast-recharge loop ends with the fast recharge.
void UpdateShield() {
    if (Arsenal.FastRecharge) {
        ShieldFastRecharge();
    } else {
        if (chargeSounding) {
            SoundObj->SelectSound("shcharge");
            SoundObj->StopSound();
            chargeSounding = false;
        }
        ShieldSlowRecharge();
    }
}

void ShieldSlowRecharge() {
    Ship.ShieldDamage -= Campaign.FrameFactor * 0.025f;
    if (Ship.ShieldDamage <= 0) Ship.ShieldDamage = 0;
}

void ShieldFastRecharge() {
    Ship.ShieldDamage -= Campaign.FrameFactor * 0.8f;
    if (Ship.ShieldDamage <= 0) Ship.ShieldDamage = 0;
    SoundObj->SelectSound("shcharge");
    SoundObj->PlaySound(0, true);
    chargeSounding = true;
}

void AddShieldDamage(float amount) {
    Ship.ShieldDamage += amount;
    if (amount < 18) {
        SoundObj->SelectSound("camcollide");
        SoundObj->PlaySound(0, false);
    }
}

void DrawShieldMeter() {
    // A shield without a maximum is spent.
    float ratio = Ship.ShieldMax > 0 ? Ship.ShieldDamage / Ship.ShieldMax : 1;
    if (ratio <= 0) ratio = 0.01f;
    if (ratio >= 1) ratio = 1;
    if (Level.TutorialSteps[TutorialShieldWaiting] && Ship.ShieldDamage < 20) {
        Level.TutorialSteps[TutorialShieldWaiting] = false;
        Level.TutorialSteps[TutorialShieldDone] = true;
    }
    Draw2DObj->SetDrawColour(MathObj->MakeColour(0, 100, 255, 255));
    Draw2DObj->SetDrawMode(1);
    if (ratio > 0.75f) Draw2DObj->SetDrawColour(MathObj->MakeColour(254, 248, 0, 255));
    if (ratio > 0.85f) Draw2DObj->SetDrawColour(MathObj->MakeColour(255, 26, 0, 255));
    Draw2DObj->DrawRectangle(MathObj->MakeVector2(20 * Display.ScaleX, (145 * ratio + 872) * Display.ScaleY),
                             MathObj->MakeVector2(56 * Display.ScaleX, 1017 * Display.ScaleY), true);
}

}  // namespace quorvel
