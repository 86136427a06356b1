// Asteroid break-up: four fragments of the asteroid's kind drift apart and fade while
// forty small pieces fly off; one break-up at a time.

#include <algorithm>
#include <string>

#include "assets/assets.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "platform/system/random.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

std::string FragmentKey(int kind, int fragment) {
    return "ast" + std::to_string(kind) + "exp" + std::to_string(fragment);
}
std::string DebrisKey(int n) {
    return "expsm" + std::to_string(n);
}

// Seconds since the break-up started on the game's clock; a start that lies ahead
// of the frame (a clock set back) counts as just started.
double BreakupAge() {
    return std::max(0.0, Campaign.FrameStartTime - Effects.BreakupStartTime);
}

}  // namespace

Vector RandomDirection() {
    const float x = float(sys::Rnd()) * 359;
    const float y = float(sys::Rnd()) * 359;
    const float z = float(sys::Rnd()) * 359;
    return {x, y, z};
}

void StartAsteroidBreakup(int index) {
    const AsteroidRec& rock = Level.Asteroids[std::size_t(index)];
    Effects.BreakupRunning = true;
    Effects.BreakupKind = rock.Kind;
    if (Effects.PrevBreakupKind > 0)
        for (int k = 1; k <= 4; ++k) {
            MeshObj->SelectMesh(FragmentKey(Effects.PrevBreakupKind, k));
            MeshObj->SetVisible(false);
        }
    Effects.PrevBreakupKind = Effects.BreakupKind;
    Effects.BreakupFade = 100;
    MeshObj->SelectMesh(rock.MeshKey);
    const AxisSet axes = MeshObj->GetOrientation();
    for (int k = 1; k <= 4; ++k) {
        MeshObj->SelectMesh(FragmentKey(Effects.BreakupKind, k));
        MeshObj->SetPosition(rock.Pos);
        MeshObj->SetOrientation(axes);
        MeshObj->SetMeshFlags(0);
        MeshObj->SetMaterial("fade100");
        MeshObj->SetVisible(true);
    }
    for (int n = 1; n <= 40; ++n) {
        MeshObj->SelectMesh(DebrisKey(n));
        MeshObj->SetPosition(rock.Pos);
        MeshObj->SetTexture(0, rock.TextureKey);
        MeshObj->SetRotation(RandomDirection());
        MeshObj->SetVisible(true);
    }
    Effects.BreakupStartTime = Campaign.FrameStartTime;
}

void UpdateAsteroidBreakup() {
    const double t = BreakupAge();
    Effects.BreakupFading = t > 0.6;
    if (t > 1.6)
        for (int k = 1; k <= 4; ++k) {
            MeshObj->SelectMesh(FragmentKey(Effects.BreakupKind, k));
            MeshObj->SetMeshFlags(4);
        }
    const float d = Campaign.FrameFactor * 8;
    static constexpr float kRight[5] = {0, -1, 1, -1, 1};
    static constexpr float kUp[5] = {0, 1, 1, -1, -1};
    for (int k = 1; k <= 4; ++k) {
        MeshObj->SelectMesh(FragmentKey(Effects.BreakupKind, k));
        MeshObj->MoveRight(kRight[k] * d, true, true);
        MeshObj->MoveUp(kUp[k] * d, true, true);
    }
    const float e = Campaign.FrameFactor * 11;
    for (int n = 1; n <= 40; ++n) {
        MeshObj->SelectMesh(DebrisKey(n));
        MeshObj->MoveForward(-e, true, true);
    }
    if (Effects.BreakupFading) UpdateAsteroidBreakup2();
}

void UpdateAsteroidBreakup2() {
    const std::string fade = "fade" + std::to_string(int(sys::RoundHalfEven(Effects.BreakupFade)));
    for (int k = 1; k <= 4; ++k) {
        MeshObj->SelectMesh(FragmentKey(Effects.BreakupKind, k));
        MeshObj->SetMaterial(fade);
    }
    Effects.BreakupFade = Effects.BreakupFade - 2 * Campaign.FrameFactor;
    if (Effects.BreakupFade < 1) {
        Effects.BreakupRunning = false;
        Effects.BreakupFading = false;
        Effects.BreakupFade = 100;
        for (int k = 1; k <= 4; ++k) {
            MeshObj->SelectMesh(FragmentKey(Effects.BreakupKind, k));
            MeshObj->SetMaterial("fade100");
            MeshObj->SetVisible(false);
        }
        for (int n = 1; n <= 40; ++n) {
            MeshObj->SelectMesh(DebrisKey(n));
            MeshObj->SetVisible(false);
        }
    }
}

}  // namespace quorvel
