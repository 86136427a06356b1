#pragma once
// Combat rules on the headless engine: the run's engine objects, a 1280 x 1024
// screen, and the few effect sounds the rules play, from a folder of their own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_run.h"
#include "platform/engine/fixtures.h"
#include "platform/engine/scene.h"
#include "support/temp_folder.h"

namespace quorvel::test {

class CombatTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UseAsProgramFolder(folder);
        MakeRunObjects();
        Display.ScreenWidth = 1280;
        Display.ScreenHeight = 1024;
        Display.ScaleX = 1;
        Display.ScaleY = 1;
        for (const char* key : {"noavail", "shcharge", "camcollide"}) {
            folder.Write(std::string(key) + ".wav", SoundBytes());
            SoundObj->LoadSound(key, sys::ProgramFolder() + "\\" + key + ".wav", 0, 0);
        }
    }

    // The 2D calls that `draw` queues in one frame.
    template <class F>
    std::vector<engine::Draw2DCall> Drawn(F draw) {
        FrameObj->BeginFrame();
        draw();
        FrameObj->EndFrame();
        return h.LastQueue();
    }

    // Plays of the sound `key` so far, with their loop flags.
    std::vector<bool> Plays(const std::string& key) {
        std::vector<bool> loops;
        for (const auto& e : h.Audio().Events())
            if (e.kind == engine::NullAudioSink::Event::Kind::Play && Handle(key) == e.handle)
                loops.push_back(e.loop);
        return loops;
    }
    int Stops(const std::string& key) {
        int n = 0;
        for (const auto& e : h.Audio().Events())
            n += e.kind == engine::NullAudioSink::Event::Kind::Stop && Handle(key) == e.handle ? 1 : 0;
        return n;
    }
    int Handle(const std::string& key) {
        for (const auto& e : h.Audio().Events())
            if (e.kind == engine::NullAudioSink::Event::Kind::Load &&
                e.path.find(key + ".wav") != std::string::npos)
                return e.handle;
        return -2;
    }

    TempFolder folder;
    Harness h;
};

}  // namespace quorvel::test
