#pragma once
// The one engine instance behind the handles. Engine code and tests include this;
// game code uses engine.h only.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/backends.h"
#include "platform/engine/failed_loads.h"
#include "platform/engine/mesh_data.h"
#include "platform/engine/ray_index.h"
#include "platform/engine/records.h"
#include "platform/engine/scene.h"

namespace quorvel::engine {

struct GamePad {
    bool connected = false;
    std::string name;
    int axes = 0;
    int buttons = 0;
    GamePadState state{};
};

struct InputState {
    std::array<bool, 256> keys{};
    int mouseX = 0;
    int mouseY = 0;
    int wheel = 0;
    bool button0 = false;
    bool button1 = false;
    std::array<GamePad, 8> pads{};
    int openPad = -1;
    bool padEnabled = false;
    GamePadState lastPadState{};  // what GetGamePadState gives while no pad is open
};

struct EngineState {
    Scene scene;
    InputState input;

    // Display.
    int adapter = 0;
    int mode = 0;
    bool started = false;
    std::vector<DisplayAdapter> adapters;  // filled by Enumerate

    // Frames.
    bool frameOpen = false;
    double lastBeginTime = -1;
    double previousBeginTime = -1;
    double lastUpdateTime = -1;            // time the scene was last advanced (spins, particles)
    std::vector<Draw2DCall> pendingQueue;  // 2D calls made while no frame is open

    // 2D drawing state.
    Colour drawColour{255, 255, 255, 255};
    int drawMode = 1;

    // Importer: the open model file.
    std::shared_ptr<const MeshData> openModel;

    // The ray tests' cache of mesh bounds (made by the first ray test).
    std::shared_ptr<RayIndex> rayIndex;

    // Last texture id handed out by LoadTexture.
    int lastTextureId = -1;

    // Loads that failed (failed_loads.h); the importer's latest failure, until a mesh
    // build names it.
    std::vector<FailedLoad> failedLoads;
    int importerFailure = -1;

    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<Display> display;
    std::shared_ptr<AudioSink> audio;
};

// The instance (made on first use, with the null back ends).
EngineState& State();
const Scene& GetScene();

// Throws the engine away and starts a fresh one (tests; the back ends installed
// stay installed).
void ResetEngine();

// The camera pool with the main camera (id 0) alone, nothing current.
void ResetCameraPool();

// Screen pixels of a world point through a camera (see ProjectToScreen).
Vector2 Project(const CameraItem& camera, const Scene& scene, const Vector& point);

// Advances spins, model and particle simulation by the time since the last update.
// RenderScene calls it; benchmarks call it directly.
void UpdateScene(double seconds);

}  // namespace quorvel::engine
