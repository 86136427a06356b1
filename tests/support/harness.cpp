#include "support/harness.h"

#include "support/engine_start.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/input_feed.h"
#include "platform/system/clock.h"
#include "platform/system/process.h"

namespace quorvel::test {

// The null renderer plus the harness's beat: the script runs as each frame begins
// and the clock moves on after each frame shown.
class Harness::StepRenderer : public engine::NullRenderer {
  public:
    explicit StepRenderer(Harness& h) : harness_(h) {}
    void BeginFrame(const engine::Scene& scene) override {
        engine::NullRenderer::BeginFrame(scene);
        harness_.RunScript(scene.frameNumber);
    }
    void EndFrame(const engine::Scene& scene) override {
        engine::NullRenderer::EndFrame(scene);
        sys::AdvanceVirtualClock(1.0 / 60.0);
    }

  private:
    Harness& harness_;
};

Harness::Harness(int width, int height)
    : renderer_(std::make_shared<StepRenderer>(*this)),
      display_(std::make_shared<engine::NullDisplay>()),
      audio_(std::make_shared<engine::NullAudioSink>()) {
    sys::UseVirtualClock(12 * 3600.0);
    sys::SetEndThrows(true);
    engine::InstallBackEnds(renderer_, display_, audio_);
    engine::ResetEngine();

    // Start the engine in the mode asked for, as the launch pad would; a size the
    // display does not list still gives the engine that screen size.
    if (StartEngineInMode(width, height) == -100) {
        auto& scene = engine::State().scene;
        scene.screenWidth = width;
        scene.screenHeight = height;
        scene.screenDepth = 32;
    }
}

Harness::~Harness() {
    CheckFailedLoads();
    engine::InstallNullBackEnds();
    engine::ResetEngine();
    sys::SetEndThrows(false);
    sys::UseRealClock();
}

Harness& Harness::KeyDown(int frame, int scanCode) {
    return At(frame, [scanCode] { engine::FeedKey(scanCode, true); });
}

Harness& Harness::KeyUp(int frame, int scanCode) {
    return At(frame, [scanCode] { engine::FeedKey(scanCode, false); });
}

Harness& Harness::KeyPress(int frame, int scanCode, int frames) {
    KeyDown(frame, scanCode);
    return KeyUp(frame + std::max(frames, 1), scanCode);
}

Harness& Harness::MouseMove(int frame, int dx, int dy) {
    return At(frame, [dx, dy] { engine::FeedMouseMotion(dx, dy); });
}

Harness& Harness::MouseTo(int frame, int x, int y) {
    return At(frame, [x, y] { engine::FeedMousePosition(x, y, 0, 0); });
}

Harness& Harness::MouseButton(int frame, int button, bool down) {
    return At(frame, [button, down] { engine::FeedMouseButton(button, down); });
}

Harness& Harness::MouseClick(int frame, int button, int frames) {
    MouseButton(frame, button, true);
    return MouseButton(frame + std::max(frames, 1), button, false);
}

Harness& Harness::MouseWheel(int frame, int clicks) {
    return At(frame, [clicks] { engine::FeedMouseWheel(clicks); });
}

Harness& Harness::At(int frame, std::function<void()> action) {
    script_.emplace(frame, std::move(action));
    return *this;
}

Harness& Harness::EndAt(int frame, int exitCode) {
    return At(frame, [exitCode] { sys::EndProcess(exitCode); });
}

Harness& Harness::When(std::function<bool()> ready, std::function<void()> action) {
    conditions_.push_back({std::move(ready), 0, std::move(action)});
    return *this;
}

Harness& Harness::After(int frames, std::function<void()> action) {
    conditions_.push_back({nullptr, std::max(frames, 1), std::move(action)});
    return *this;
}

void Harness::RunDue(int frame) {
    // Entries for earlier frames that were scripted late run now, in frame order.
    while (!script_.empty() && script_.begin()->first <= frame) {
        auto action = std::move(script_.begin()->second);
        script_.erase(script_.begin());
        action();
    }
}

void Harness::RunScript(int frame) {
    RunDue(frame);
    if (conditions_.empty() || frame <= lastConditionFrame_) return;
    const Condition& next = conditions_.front();
    if (next.ready ? !next.ready() : frame < lastConditionFrame_ + next.frames) return;
    auto action = std::move(conditions_.front().action);
    conditions_.pop_front();
    lastConditionFrame_ = frame;
    action();
    // What the step scheduled for this frame happens in it.
    RunDue(frame);
}

int Harness::Frame() const {
    return engine::GetScene().frameNumber;
}

int Harness::FramesShown() const {
    return renderer_->FramesShown();
}

void Harness::RunFrames(int n) {
    EngineFrame frame;
    for (int i = 0; i < n; ++i) {
        frame.BeginFrame();
        frame.RenderScene();
        frame.EndFrame();
    }
}

bool Harness::RunUntil(const std::function<bool()>& ready, int maxFrames) {
    for (int i = 0; i < maxFrames; ++i) {
        if (ready()) return true;
        RunFrames(1);
    }
    return ready();
}

std::optional<int> Harness::RunUntilEnded(const std::function<void()>& body) {
    std::optional<int> code;
    try {
        body();
    } catch (const sys::ProcessEnded& ended) {
        code = ended.code;
    }
    CheckFailedLoads();
    return code;
}

Harness& Harness::ExpectFailedLoad(std::string part) {
    expectedLoads_.push_back(std::move(part));
    return *this;
}

bool Harness::Expected(const engine::FailedLoad& load) const {
    const std::string line = engine::Describe(load);
    return std::ranges::any_of(expectedLoads_,
                               [&](const std::string& part) { return line.find(part) != std::string::npos; });
}

std::vector<engine::FailedLoad> Harness::UnexpectedFailedLoads() const {
    std::vector<engine::FailedLoad> out;
    for (const engine::FailedLoad& load : engine::FailedLoads())
        if (!Expected(load)) out.push_back(load);
    return out;
}

void Harness::CheckFailedLoads() {
    const auto& loads = engine::FailedLoads();
    std::string list;
    for (std::size_t i = loadsChecked_; i < loads.size(); ++i)
        if (!Expected(loads[i])) list += "\n  " + engine::Describe(loads[i]);
    loadsChecked_ = loads.size();
    if (!list.empty()) ADD_FAILURE() << "failed loads the test did not expect:" << list;
}

const engine::Scene& Harness::Scene() const {
    return engine::GetScene();
}

std::string Harness::ImageTexture(const std::string& image) const {
    const auto* i = Scene().images.Find(image);
    if (!i || i->textureId < 0) return "";
    const auto* t = Scene().textures.Find(i->textureId);
    return t ? t->key : "";
}

bool Harness::ImageVisible(const std::string& image) const {
    const auto* i = Scene().images.Find(image);
    return i && i->visible;
}

const std::vector<engine::Draw2DCall>& Harness::LastQueue() const {
    return renderer_->LastQueue();
}

}  // namespace quorvel::test
