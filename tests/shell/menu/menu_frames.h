#pragma once
// Runs the main menu on whatever renderer is installed and acts after given frames:
// the renderer is wrapped so that each frame shown can be looked at (and the program
// ended) from the frame loop itself.

#include <functional>
#include <map>
#include <memory>

#include "platform/engine/backends.h"
#include "platform/system/clock.h"

namespace quorvel::test {

class MenuFrames : public engine::Renderer {
  public:
    // advance: seconds the virtual clock moves after each frame shown (0: leave it).
    MenuFrames(std::shared_ptr<engine::Renderer> inner, double advance)
        : inner_(std::move(inner)), advance_(advance) {}

    // Runs after frame `frame` (counted from 1) has been shown.
    void After(int frame, std::function<void()> action) { actions_.emplace(frame, std::move(action)); }
    // Runs as every frame begins.
    void OnBegin(std::function<void(int frame)> action) { onBegin_ = std::move(action); }

    void BeginFrame(const engine::Scene& scene) override {
        if (onBegin_) onBegin_(shown_ + 1);
        inner_->BeginFrame(scene);
    }
    void RenderScene(const engine::Scene& scene) override { inner_->RenderScene(scene); }
    void EndFrame(const engine::Scene& scene) override {
        inner_->EndFrame(scene);
        ++shown_;
        if (advance_ > 0) sys::AdvanceVirtualClock(advance_);
        auto [first, last] = actions_.equal_range(shown_);
        for (auto it = first; it != last; ++it)
            it->second();
    }
    void DrawHidden(const engine::Scene& scene) override { inner_->DrawHidden(scene); }
    bool SaveScreenshot(const engine::Scene& scene, const std::string& path) override {
        return inner_->SaveScreenshot(scene, path);
    }

    int Shown() const { return shown_; }

  private:
    std::shared_ptr<engine::Renderer> inner_;
    double advance_;
    int shown_ = 0;
    std::multimap<int, std::function<void()>> actions_;
    std::function<void(int)> onBegin_;
};

}  // namespace quorvel::test
