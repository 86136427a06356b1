// The shield: a damage gauge from 0 (full) to ShieldMax (gone), its recharge and its
// HUD bar.

#include "combat/combat.h"
#include "game/state.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {
bool chargeSounding = false;  // the fast-recharge loop is playing
}

void ResetShield() {
    ShieldDamage = 0;
    ShieldMax = 100;
    FastRecharge = false;
}

// The fast-recharge loop ends with the fast recharge.
void UpdateShield() {
    if (FastRecharge) {
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
    ShieldDamage -= FrameFactor * 0.025f;
    if (ShieldDamage <= 0) ShieldDamage = 0;
}

void ShieldFastRecharge() {
    ShieldDamage -= FrameFactor * 0.8f;
    if (ShieldDamage <= 0) ShieldDamage = 0;
    SoundObj->SelectSound("shcharge");
    SoundObj->PlaySound(0, true);
    chargeSounding = true;
}

void AddShieldDamage(float amount) {
    ShieldDamage += amount;
    if (amount < 18) {
        SoundObj->SelectSound("camcollide");
        SoundObj->PlaySound(0, false);
    }
}

void DrawShieldMeter() {
    // A shield without a maximum is spent.
    float ratio = ShieldMax > 0 ? ShieldDamage / ShieldMax : 1;
    if (ratio <= 0) ratio = 0.01f;
    if (ratio >= 1) ratio = 1;
    if (TutorialSteps[TutorialShieldWaiting] && ShieldDamage < 20) {
        TutorialSteps[TutorialShieldWaiting] = false;
        TutorialSteps[TutorialShieldDone] = true;
    }
    Draw2DObj->SetDrawColour(MathObj->MakeColour(0, 100, 255, 255));
    Draw2DObj->SetDrawMode(1);
    if (ratio > 0.75f) Draw2DObj->SetDrawColour(MathObj->MakeColour(254, 248, 0, 255));
    if (ratio > 0.85f) Draw2DObj->SetDrawColour(MathObj->MakeColour(255, 26, 0, 255));
    Draw2DObj->DrawRectangle(MathObj->MakeVector2(20 * ScaleX, (145 * ratio + 872) * ScaleY),
                             MathObj->MakeVector2(56 * ScaleX, 1017 * ScaleY), true);
}

}  // namespace quorvel
