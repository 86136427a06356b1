// Shock waves: one mesh each, grown a step at a time and faded through the numbered
// fade materials.

#include <algorithm>
#include <memory>
#include <string>

#include "assets/assets.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "common/engine_objects.h"

namespace quorvel {

void clsSWave::Init(const std::string& TextureName) {
    meshName_ = TextureName;
    Active = false;
}

void clsSWave::MakeShockWave(const Vector& rPosition, float sNumFrames, float sFadeFrame, float sSpeed,
                             float sScaleSize) {
    MeshObj->SelectMesh(meshName_);
    MeshObj->SetVisible(true);
    MeshObj->SetPosition(rPosition);
    MeshObj->SetScale(1, 1, 1);
    MeshObj->SetMaterial("fade100");
    position_ = rPosition;
    numFrames_ = sNumFrames;
    fadeFrame_ = sFadeFrame;
    speed_ = sSpeed;
    CurrFrame = 1;
    Active = true;
    scaleSize_ = sScaleSize;
    fadeRange_ = sNumFrames - sFadeFrame;
    // The step timer runs on from the last wave on purpose.
}

void clsSWave::Poll(float SpeedFactor) {
    if (!Active) return;
    stepTimer_ = 10 * speed_ * SpeedFactor + stepTimer_;
    if (!(stepTimer_ > 10)) return;
    stepTimer_ = 0;  // reset, not reduced: at most one step a frame
    if (CurrFrame <= numFrames_) {
        CurrFrame += 1;
        MeshObj->SelectMesh(meshName_);
        const float s = CurrFrame * scaleSize_;
        MeshObj->SetScale(s, s, s);
        if (CurrFrame > fadeFrame_) {
            // A wave that fades from its last size has no range to spread the fade
            // over: it shows the faintest material rather than dividing by zero.
            int n = 1;
            if (fadeRange_ > 0) {
                const float share = (numFrames_ - CurrFrame) / fadeRange_ * 100;
                n = std::clamp(int(sys::RoundHalfEven(share)), 1, 100);
            }
            MeshObj->SetMaterial("fade" + std::to_string(n));
        }
    } else {
        CurrFrame = 1;
        MeshObj->SelectMesh(meshName_);
        MeshObj->SetVisible(false);
        Active = false;
    }
}

void MakeShockWaves() {
    Effects.ShockWave = std::make_unique<clsSWave>();
    Effects.ShockWave->Init("shock");
    Effects.MothershipShockWave = std::make_unique<clsSWave>();
    Effects.MothershipShockWave->Init("shock2");
    Effects.WeaponShockWaves[0].reset();
    for (int weapon = 1; weapon <= 7; ++weapon) {
        auto& wave = Effects.WeaponShockWaves[std::size_t(weapon)];
        wave = std::make_unique<clsSWave>();
        wave->Init("wepshock" + std::to_string(weapon));
    }
}

}  // namespace quorvel
