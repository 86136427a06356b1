// The null back ends: no window, no drawing, no sound; what tests and headless runs use.

#include <stb_image_write.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "platform/engine/backends.h"
#include "platform/engine/engine_state.h"

namespace quorvel::engine {

void NullRenderer::BeginFrame(const Scene&) {}

void NullRenderer::RenderScene(const Scene&) {}

void NullRenderer::EndFrame(const Scene& scene) {
    ++framesShown_;
    lastQueue_ = scene.queue;
}

bool NullRenderer::SaveScreenshot(const Scene& scene, const std::string& path) {
    // A small grey picture in the screen's shape: enough for a valid JPEG file.
    const int w = std::clamp(scene.screenWidth / 16, 1, 160);
    const int h = std::clamp(scene.screenHeight / 16, 1, 128);
    std::vector<unsigned char> pixels(std::size_t(w) * std::size_t(h) * 3, 64);
    {
        // stb writes through a plain fopen; check the folder first so a missing one fails cleanly.
        std::ofstream probe(path, std::ios::binary | std::ios::app);
        if (!probe) return false;
    }
    return stbi_write_jpg(path.c_str(), w, h, 3, pixels.data(), 80) != 0;
}

std::vector<DisplayAdapter> NullDisplay::Adapters() {
    DisplayAdapter adapter;
    adapter.name = "Null display adapter";
    for (auto [w, h] : std::array<std::pair<int, int>, 5>{
             {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}}}) {
        adapter.modes.push_back({w, h, 16});
        adapter.modes.push_back({w, h, 32});
    }
    return {adapter};
}

int NullDisplay::Start(int, const DisplayMode& mode) {
    if (mode.width <= 0 || mode.height <= 0) return -1;
    started_ = true;
    return 0;
}

bool NullAudioSink::Load(int handle, const std::string& path, std::string* reason) {
    // Only looked at, never opened: opening a FIFO would wait for a writer.
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (type != std::filesystem::file_type::regular) {
        if (reason)
            *reason = type == std::filesystem::file_type::not_found ? "missing" : "not a regular file";
        return false;
    }
    loaded_.emplace_back(handle, path);
    events_.push_back({Event::Kind::Load, handle, path, false});
    return true;
}

void NullAudioSink::Play(int handle, bool loop) {
    events_.push_back({Event::Kind::Play, handle, {}, loop});
}

void NullAudioSink::Stop(int handle) {
    events_.push_back({Event::Kind::Stop, handle, {}, false});
}

void NullAudioSink::Release(int handle) {
    events_.push_back({Event::Kind::Release, handle, {}, false});
    std::erase_if(loaded_, [handle](const auto& e) { return e.first == handle; });
}

std::vector<std::string> NullAudioSink::Played() const {
    std::vector<std::string> played;
    for (const Event& e : events_) {
        if (e.kind != Event::Kind::Play) continue;
        // The path the handle was loaded with (the latest load of that handle).
        std::string path;
        for (const Event& l : events_)
            if (l.kind == Event::Kind::Load && l.handle == e.handle) path = l.path;
        played.push_back(path);
    }
    return played;
}

}  // namespace quorvel::engine
