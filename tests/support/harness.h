#pragma once
// The headless harness: runs the program without a window, a sound card or a user.
//
//   quorvel::test::Harness h;              // fresh engine, null back ends, virtual clock
//   h.KeyPress(3, key::Return);            // Enter held during frame 3
//   h.MouseMove(5, 10, 0).At(9, [] { ... });
//   h.EndAt(600);                          // the program "ends" at frame 600 at the latest
//   auto code = h.RunUntilEnded([] { MainMenu(...); });   // a screen that never returns
//
// A real screen runs its own frames; a test that should not count them scripts by
// condition instead:
//
//   h.When(test::InMainMenu, [&] { h.MouseMove(h.Frame(), 100, 0); })
//    .After(2, [&] { h.MouseClick(h.Frame()); })
//    .When([] { return Options.Visible(); }, [&] { ... });
//
// Frames are counted by EngineFrame::BeginFrame, from 1. Everything scripted for
// frame N happens as frame N begins (after BeginFrame's time stamp, before the game
// reads any input of that frame): first the steps due by frame number, then the
// next condition step if its condition holds. The virtual clock moves 1/60 s after
// every frame shown, so GetFrameFactor(1) is 1.0 from the second frame on; waits that
// spin on sys::IdleWait move it too.
//
// Every load the engine could not make (a misnamed or missing file) fails the test,
// at the end of RunUntilEnded and when the harness ends, unless the test declared it
// with ExpectFailedLoad.
//
// The engine is started in the given display mode on the null display. sys::EndProcess
// throws sys::ProcessEnded while the harness lives. Destroying the harness puts the
// real clock, the null back ends and a fresh engine back.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/engine/backends.h"
#include "platform/engine/failed_loads.h"
#include "platform/engine/scene.h"

namespace quorvel::test {

class Harness {
  public:
    explicit Harness(int width = 1280, int height = 1024);
    ~Harness();
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    // ---- Script (frame numbers from 1) ----
    Harness& KeyDown(int frame, int scanCode);
    Harness& KeyUp(int frame, int scanCode);
    // Down at `frame`, up again as frame + frames begins (held for `frames` frames).
    Harness& KeyPress(int frame, int scanCode, int frames = 1);
    // Relative motion (the pointer stays on the screen).
    Harness& MouseMove(int frame, int dx, int dy);
    // An absolute pointing device puts the pointer at (x, y) in screen pixels.
    Harness& MouseTo(int frame, int x, int y);
    // Button 0 left, 1 right.
    Harness& MouseButton(int frame, int button, bool down);
    // Down at `frame`, up as frame + frames begins.
    Harness& MouseClick(int frame, int button = 0, int frames = 1);
    Harness& MouseWheel(int frame, int clicks);
    // Any code, run as the frame begins (place things, check state, change settings).
    Harness& At(int frame, std::function<void()> action);
    // sys::EndProcess(exitCode) as the frame begins.
    Harness& EndAt(int frame, int exitCode = 0);
    // Runs `action` once, as the first frame begins at which `ready` holds. Condition
    // steps take their turns in the order they were added: a step's condition is
    // checked only after every earlier step has run, and at most one runs per frame.
    // An action that needs input for a few frames schedules it from h.Frame().
    Harness& When(std::function<bool()> ready, std::function<void()> action);
    // A condition step that runs `frames` (at least 1) frames after the step before
    // it ran (after frame 0 for the first): for what a screen measures in time.
    Harness& After(int frames, std::function<void()> action);
    // Whether every condition step has run.
    bool ConditionsDone() const { return conditions_.empty(); }

    // ---- Running ----
    // Frames begun so far.
    int Frame() const;
    // Frames shown (ended) so far.
    int FramesShown() const;
    // Shows n plain frames: BeginFrame, RenderScene, EndFrame.
    void RunFrames(int n);
    // For a test that drives frames itself (not from a step while a screen runs its
    // own frames: that is what When is for): shows plain frames until `ready` holds
    // (checked before each), at most maxFrames; whether it came to hold.
    bool RunUntil(const std::function<bool()>& ready, int maxFrames);
    // Runs code that may end the program; the exit code when it ended, nothing when
    // the code returned.
    std::optional<int> RunUntilEnded(const std::function<void()>& body);

    // ---- Failed loads ----
    // Declares failed loads the test means to cause: one whose description (pool,
    // key, path and reason, as engine::Describe writes it) contains `part`.
    Harness& ExpectFailedLoad(std::string part);
    // Failed loads so far that no ExpectFailedLoad covers.
    std::vector<engine::FailedLoad> UnexpectedFailedLoads() const;
    // A (non-fatal) test failure listing the unexpected failed loads not reported yet.
    // RunUntilEnded's end and the destructor call it.
    void CheckFailedLoads();

    // ---- What happened ----
    engine::NullAudioSink& Audio() const { return *audio_; }
    engine::NullDisplay& Display() const { return *display_; }
    const engine::Scene& Scene() const;
    // The texture key that a 2D image shows ("" for none), and whether it is visible.
    std::string ImageTexture(const std::string& image) const;
    bool ImageVisible(const std::string& image) const;
    // The 2D queue of the last frame shown.
    const std::vector<engine::Draw2DCall>& LastQueue() const;

  private:
    class StepRenderer;
    struct Condition {
        std::function<bool()> ready;  // empty: `frames` after the step before
        int frames = 0;
        std::function<void()> action;
    };
    void RunScript(int frame);
    void RunDue(int frame);
    bool Expected(const engine::FailedLoad& load) const;

    std::shared_ptr<StepRenderer> renderer_;
    std::shared_ptr<engine::NullDisplay> display_;
    std::shared_ptr<engine::NullAudioSink> audio_;
    std::multimap<int, std::function<void()>> script_;
    std::deque<Condition> conditions_;
    int lastConditionFrame_ = 0;
    std::vector<std::string> expectedLoads_;
    std::size_t loadsChecked_ = 0;
};

}  // namespace quorvel::test
