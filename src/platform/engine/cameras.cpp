// Cameras: the main camera (id 0) always exists; others are made by selecting a name.

#include <algorithm>
#include <cmath>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/math3d.h"

namespace quorvel {

using engine::CameraItem;
using engine::State;

namespace {

engine::Pool<CameraItem>& Cameras() {
    return State().scene.cameras;
}
CameraItem* Current() {
    return Cameras().Current();
}

bool IsMainName(const std::string& name) {
    return name == "main" || name == "camera";
}

}  // namespace

namespace engine {

// The camera pool of a fresh engine or after ClearCameras: the main camera alone,
// at the origin looking along +Z, nothing current.
void ResetCameraPool() {
    auto& cams = State().scene.cameras;
    cams.ClearAndRenumber();
    cams.Create("main");
    cams.Fail();
}

Vector2 Project(const CameraItem& cam, const Scene& scene, const Vector& point) {
    const Vector rel = point - cam.place.position;
    const float xc = Dot(rel, cam.place.right);
    const float yc = Dot(rel, cam.place.up);
    const float zc = Dot(rel, cam.place.front);
    // A point behind the camera lands where its mirror image in front would.
    const float depth = std::max(std::fabs(zc), 0.001f);
    float left = 0, top = 0, w = float(scene.screenWidth), h = float(scene.screenHeight);
    if (cam.hasViewport) {
        left = cam.viewTopLeft.x;
        top = cam.viewTopLeft.y;
        w = cam.viewBottomRight.x - cam.viewTopLeft.x;
        h = cam.viewBottomRight.y - cam.viewTopLeft.y;
    }
    const float fov =
        std::clamp(std::isfinite(cam.lens.FieldOfView) ? cam.lens.FieldOfView : 70.0f, 1.0f, 179.0f);
    const float t = std::tan(fov * kDegrees / 2);
    const float fy = (h / 2) / t;
    const float fx = cam.lens.Aspect > 0 ? (w / 2) / (cam.lens.Aspect * t) : fy;
    Vector2 out{left + w / 2 + xc * fx / depth, top + h / 2 - yc * fy / depth};
    if (!std::isfinite(out.x)) out.x = 0;
    if (!std::isfinite(out.y)) out.y = 0;
    return out;
}

}  // namespace engine

void EngineCameras::ClearCameras() {
    engine::ResetCameraPool();
}

void EngineCameras::ResetCameras() {
    Cameras().Fail();
}

bool EngineCameras::SelectCamera(const std::string& name) {
    if (name.empty()) {
        Cameras().Fail();
        return false;
    }
    if (IsMainName(name)) return Cameras().SelectId(0);
    if (Cameras().Select(name)) return true;
    Cameras().Create(name);
    return true;
}

bool EngineCameras::SelectCameraById(int id) {
    return Cameras().SelectId(id);
}

void EngineCameras::SetCameraPosition(const Vector& position) {
    if (CameraItem* c = Current(); c && engine::Finite(position)) c->place.position = position;
}

Vector EngineCameras::GetCameraPosition() const {
    const CameraItem* c = Current();
    return c ? c->place.position : Vector{};
}

void EngineCameras::CameraLookAt(const Vector& point) {
    if (CameraItem* c = Current()) engine::LookAt(c->place, point);
}

void EngineCameras::SetLens(const LensRec& lens) {
    if (CameraItem* c = Current()) c->lens = lens;
}

void EngineCameras::SetViewport(const Vector2& topLeft, const Vector2& bottomRight) {
    CameraItem* c = Current();
    if (!c || !std::isfinite(topLeft.x) || !std::isfinite(topLeft.y) || !std::isfinite(bottomRight.x) ||
        !std::isfinite(bottomRight.y) || bottomRight.x <= topLeft.x || bottomRight.y <= topLeft.y)
        return;
    c->hasViewport = true;
    c->viewTopLeft = topLeft;
    c->viewBottomRight = bottomRight;
}

void EngineCameras::SetCameraActive(bool active) {
    if (CameraItem* c = Current()) c->active = active;
}

Matrix4 EngineCameras::GetCameraMatrix() const {
    const CameraItem* c = Current();
    if (!c) {
        Matrix4 zero;
        zero.m.fill(0);
        return zero;
    }
    return engine::ToMatrix(c->place);
}

void EngineCameras::MoveCameraForward(float distance, bool, bool) {
    if (CameraItem* c = Current()) engine::MoveAlong(c->place, c->place.front, distance);
}

void EngineCameras::MoveCameraRight(float distance, bool, bool) {
    if (CameraItem* c = Current()) engine::MoveAlong(c->place, c->place.right, distance);
}

void EngineCameras::MoveCameraUp(float distance, bool, bool) {
    if (CameraItem* c = Current()) engine::MoveAlong(c->place, c->place.up, distance);
}

void EngineCameras::TurnCameraPitch(float degrees, int mode) {
    if (CameraItem* c = Current()) engine::TurnPitch(c->place, degrees, mode == 1);
}

void EngineCameras::TurnCameraYaw(float degrees, int mode) {
    if (CameraItem* c = Current()) engine::TurnYaw(c->place, degrees, mode == 1);
}

void EngineCameras::TurnCameraRoll(float degrees, int mode) {
    if (CameraItem* c = Current()) engine::TurnRoll(c->place, degrees, mode == 1);
}

Vector2 EngineCameras::ProjectToScreen(const Vector& point) const {
    const CameraItem* c = Current();
    if (!c || !engine::Finite(point)) return Vector2{};
    return engine::Project(*c, State().scene, point);
}

}  // namespace quorvel
