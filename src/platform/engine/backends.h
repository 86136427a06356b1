#pragma once
// The engine's three back ends and how to plug them in.
//
// The engine itself draws nothing, opens no window and plays nothing: it hands the
// scene to a Renderer, asks a Display for adapters and modes, and plays sounds
// through an AudioSink. Null implementations (below) stand in until real ones are
// installed; tests use them as they are.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/records.h"
#include "platform/engine/scene.h"

namespace quorvel::engine {

// Draws the scene. All calls come from the engine's one thread.
class Renderer {
  public:
    virtual ~Renderer() = default;
    // EngineFrame::BeginFrame: a new frame starts (clear to frame.sceneColourA).
    virtual void BeginFrame(const Scene& scene) = 0;
    // EngineFrame::RenderScene: draw the 3D scene: the sky, then for every active
    // camera in id order (camera 0 fills the screen unless it has a viewport) the
    // visible meshes, sprites, models and particles, then the lens flare.
    virtual void RenderScene(const Scene& scene) = 0;
    // EngineFrame::EndFrame: draw the 2D layer over the scene (every visible image
    // that is not a font, in id order, then scene.queue in order) and show the frame.
    virtual void EndFrame(const Scene& scene) = 0;
    // EngineFrame::DrawHiddenFrame: the whole scene as the next frame would draw it,
    // every item as if in view, into a picture that is never shown, so the shaders and
    // pictures the next frames need are ready. Nothing by default.
    virtual void DrawHidden(const Scene&) {}
    // Writes the last frame shown as a JPEG file at a real file-system path; false
    // when it cannot (folder missing and the like). Never creates folders.
    virtual bool SaveScreenshot(const Scene& scene, const std::string& path) = 0;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int depth = 0;  // bits per pixel
};

struct DisplayAdapter {
    std::string name;
    std::vector<DisplayMode> modes;
};

// The screen: adapters and their modes, the window the engine draws into, and
// starting and stopping the display.
class Display {
  public:
    virtual ~Display() = default;
    // The adapters and their modes, in the order the launch pad lists them.
    virtual std::vector<DisplayAdapter> Adapters() = 0;
    // The window to draw into (an opaque handle the window layer gave out).
    virtual void AttachWindow(std::uintptr_t window) = 0;
    // Starts the display in that mode; a negative status is a failure. The engine
    // then reports the mode's size as the screen size.
    virtual int Start(int adapter, const DisplayMode& mode) = 0;
    virtual void Stop() = 0;
};

// Plays the effect sounds. A handle is the engine's sound id; each handle holds one
// loaded sound until it is released.
class AudioSink {
  public:
    virtual ~AudioSink() = default;
    // Loads the file (a real path) under the handle; false when it cannot be read,
    // with the reason in `reason` when given.
    virtual bool Load(int handle, const std::string& path, std::string* reason) = 0;
    // Starts the sound from its beginning, once or in a loop; a sound that is
    // playing is restarted. (The engine does not call this for a looping sound that
    // is already looping.)
    virtual void Play(int handle, bool loop) = 0;
    // Stops it and rewinds it; nothing happens when it is not playing.
    virtual void Stop(int handle) = 0;
    // Stops it and frees it; the handle is not used again.
    virtual void Release(int handle) = 0;
};

// Plugs back ends in; a null pointer keeps the one installed. Takes effect at once.
void InstallBackEnds(std::shared_ptr<Renderer> renderer, std::shared_ptr<Display> display,
                     std::shared_ptr<AudioSink> audio);
// Puts the null back ends back.
void InstallNullBackEnds();

std::shared_ptr<Renderer> InstalledRenderer();
std::shared_ptr<Display> InstalledDisplay();
std::shared_ptr<AudioSink> InstalledAudioSink();

// ---- Null back ends --------------------------------------------------------

// Draws nothing; counts frames and writes a small valid JPEG for screenshots.
class NullRenderer : public Renderer {
  public:
    void BeginFrame(const Scene& scene) override;
    void RenderScene(const Scene& scene) override;
    void EndFrame(const Scene& scene) override;
    bool SaveScreenshot(const Scene& scene, const std::string& path) override;

    int FramesShown() const { return framesShown_; }
    // The 2D queue of the last frame shown, as it was handed over.
    const std::vector<Draw2DCall>& LastQueue() const { return lastQueue_; }

  private:
    int framesShown_ = 0;
    std::vector<Draw2DCall> lastQueue_;
};

// One adapter with a few modes, 640x480, 1024x768 and 1280x1024 among them.
class NullDisplay : public Display {
  public:
    std::vector<DisplayAdapter> Adapters() override;
    void AttachWindow(std::uintptr_t window) override { window_ = window; }
    int Start(int adapter, const DisplayMode& mode) override;
    void Stop() override { started_ = false; }

    bool Started() const { return started_; }
    std::uintptr_t Window() const { return window_; }

  private:
    bool started_ = false;
    std::uintptr_t window_ = 0;
};

// Plays nothing; records every call so tests can see what was played.
class NullAudioSink : public AudioSink {
  public:
    struct Event {
        enum class Kind { Load, Play, Stop, Release } kind;
        int handle;
        std::string path;  // Load only
        bool loop;         // Play only
    };
    bool Load(int handle, const std::string& path, std::string* reason) override;
    void Play(int handle, bool loop) override;
    void Stop(int handle) override;
    void Release(int handle) override;

    const std::vector<Event>& Events() const { return events_; }
    void ClearEvents() { events_.clear(); }
    // Paths of the sounds started (Play), in order.
    std::vector<std::string> Played() const;

  private:
    std::vector<Event> events_;
    std::vector<std::pair<int, std::string>> loaded_;
};

}  // namespace quorvel::engine
