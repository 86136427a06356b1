// The engine instance and its back ends.

#include "platform/engine/engine_state.h"

#include <algorithm>
#include <memory>

#include "platform/engine/math3d.h"

namespace quorvel::engine {
namespace {

std::shared_ptr<Renderer>& InstalledRendererSlot() {
    static std::shared_ptr<Renderer> r = std::make_shared<NullRenderer>();
    return r;
}
std::shared_ptr<Display>& InstalledDisplaySlot() {
    static std::shared_ptr<Display> d = std::make_shared<NullDisplay>();
    return d;
}
std::shared_ptr<AudioSink>& InstalledAudioSlot() {
    static std::shared_ptr<AudioSink> a = std::make_shared<NullAudioSink>();
    return a;
}

std::unique_ptr<EngineState>& Instance() {
    static std::unique_ptr<EngineState> state;
    return state;
}

void Attach(EngineState& s) {
    s.renderer = InstalledRendererSlot();
    s.display = InstalledDisplaySlot();
    s.audio = InstalledAudioSlot();
}

}  // namespace

EngineState& State() {
    auto& state = Instance();
    if (!state) {
        state = std::make_unique<EngineState>();
        Attach(*state);
        ResetCameraPool();
    }
    return *state;
}

const Scene& GetScene() {
    return State().scene;
}

void ResetEngine() {
    Instance() = std::make_unique<EngineState>();
    Attach(*Instance());
    ResetCameraPool();
}

void InstallBackEnds(std::shared_ptr<Renderer> renderer, std::shared_ptr<Display> display,
                     std::shared_ptr<AudioSink> audio) {
    if (renderer) InstalledRendererSlot() = std::move(renderer);
    if (display) InstalledDisplaySlot() = std::move(display);
    if (audio) InstalledAudioSlot() = std::move(audio);
    if (Instance()) Attach(*Instance());
}

void InstallNullBackEnds() {
    InstallBackEnds(std::make_shared<NullRenderer>(), std::make_shared<NullDisplay>(),
                    std::make_shared<NullAudioSink>());
}

void UpdateParticles(ParticleItem& p, float seconds);  // particles.cpp

void UpdateScene(double seconds) {
    Scene& scene = State().scene;
    if (seconds > 0) {
        // Spins are given in degrees per 1/60 s.
        const float frames = float(seconds * 60.0);
        for (MeshItem& m : scene.meshes.Items())
            if (m.spinRate != 0) {
                Spin(m.place, m.spinAxis, m.spinRate * frames, m.spinSpace == 1);
                MeshChanged(m.id);
            }
        for (ModelItem& m : scene.models.Items())
            if (m.spinRate != 0) Spin(m.place, m.spinAxis, m.spinRate * frames, m.spinSpace == 1);
    }
    for (ParticleItem& p : scene.particles.Items())
        UpdateParticles(p, float(std::max(seconds, 0.0)));
}

std::shared_ptr<Renderer> InstalledRenderer() {
    return InstalledRendererSlot();
}
std::shared_ptr<Display> InstalledDisplay() {
    return InstalledDisplaySlot();
}
std::shared_ptr<AudioSink> InstalledAudioSink() {
    return InstalledAudioSlot();
}

}  // namespace quorvel::engine
