#pragma once
// The explosion flip-book as the main camera sees it: which frame shows, where, how big
// in the world and on the screen, and whether it faces the camera.

#include <cstddef>
#include <cmath>

#include "assets/assets.h"
#include "common/engine_objects.h"
#include "platform/engine/scene.h"
#include "support/harness.h"

namespace quorvel::test {

struct FireballView {
    bool shown = false;     // a frame of the flip-book is visible
    Vector at;              // its centre
    float width = 0;        // its quad's width in the world
    float depth = 0;        // its distance ahead of the main camera, along the view
    Vector2 centre;         // its centre on the screen, pixels
    float screenWidth = 0;  // its width on the screen, pixels
    float facing = 0;       // 1 when the quad faces the camera square on
    int texture = -1;       // texture id of its first stage

    bool OnScreen(float w, float h) const {
        return depth > 0 && centre.x > 0 && centre.x < w && centre.y > 0 && centre.y < h;
    }
};

// The width that a quad `width` wide at `at` spans on the main camera's screen.
inline float ScreenWidthOf(const Vector& at, float width) {
    CameraObj->SelectCameraById(0);
    const Matrix4 m = CameraObj->GetCameraMatrix();
    const Vector right{m.m[0], m.m[1], m.m[2]};
    const Vector2 a = CameraObj->ProjectToScreen(at - right * (width / 2));
    const Vector2 b = CameraObj->ProjectToScreen(at + right * (width / 2));
    return std::fabs(b.x - a.x);
}

inline FireballView ViewOfFireball(const Harness& h) {
    FireballView v;
    const engine::MeshItem* shown = nullptr;
    for (std::size_t i = 1; i <= 64 && !shown; ++i) {
        const engine::MeshItem* m = h.Scene().meshes.Find(Effects.ExplosionSprites[i]);
        if (m && m->visible) shown = m;
    }
    if (!shown || !shown->geometry) return v;
    v.shown = true;
    v.at = shown->place.position;
    v.width = (shown->geometry->boundsMax.x - shown->geometry->boundsMin.x) * shown->scale.x;
    v.texture = shown->stages[0].textureId;
    CameraObj->SelectCameraById(0);
    const Vector eye = CameraObj->GetCameraPosition();
    const Matrix4 m = CameraObj->GetCameraMatrix();
    v.depth = Dot(v.at - eye, Vector{m.m[8], m.m[9], m.m[10]});
    v.centre = CameraObj->ProjectToScreen(v.at);
    v.screenWidth = ScreenWidthOf(v.at, v.width);
    v.facing = std::fabs(Dot(shown->place.front, Normalise(eye - v.at)));
    return v;
}

}  // namespace quorvel::test
