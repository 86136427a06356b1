#pragma once
// The engine's renderer on OpenGL 3.3 core: draws the scene the engine holds into the
// window's off-screen frame (3D for every active camera, sky, particles, lens flare,
// then the 2D layer) and presents it. What the engine's mode and option numbers mean
// is in the tables of platform/engine/engine.h.

#include <memory>

#include "platform/engine/backends.h"

namespace quorvel::sdl {

class GlRenderer : public engine::Renderer {
  public:
    GlRenderer();
    ~GlRenderer() override;
    void BeginFrame(const engine::Scene& scene) override;
    void RenderScene(const engine::Scene& scene) override;
    void EndFrame(const engine::Scene& scene) override;
    bool SaveScreenshot(const engine::Scene& scene, const std::string& path) override;
    void DrawHidden(const engine::Scene& scene) override;
    // Work the first frames would otherwise do, done while the game waits (logo
    // screens, loading pauses): builds the common surface programs and uploads the
    // pictures the scene holds, for about `budgetMs` at most per call.
    void Prepare(const engine::Scene& scene, double budgetMs);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel::sdl
