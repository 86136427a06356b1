// Input state as the game reads it, effect sounds, and the harness's own script.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/fixtures.h"
#include "platform/engine/input_feed.h"
#include "platform/engine/scancodes.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "support/harness.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

// An absolute device reports where it points; the pointer goes there, scaled from the
// window to the screen, and placing the pointer tells the back end, so steering that
// places it and reads the movement since still works.
TEST(EngineMouse, AbsolutePositionsPutThePointerWherePointedAndPlacingIsPassedOn) {
    test::Harness h(640, 480);
    EngineInput input;
    std::vector<std::pair<int, int>> placed;
    engine::SetPointerPlacer([&](int x, int y) { placed.emplace_back(x, y); });
    const struct {
        int x, y, areaW, areaH, wantX, wantY;
    } cases[] = {
        {300, 200, 640, 480, 300, 200},   // window at the screen's size
        {300, 200, 1280, 960, 150, 100},  // window shown at twice the size
        {300, 200, 0, 0, 300, 200},       // no window size known: screen pixels
        {-40, 900, 640, 480, 0, 479},     // kept on the screen
    };
    for (const auto& c : cases) {
        engine::FeedMousePosition(c.x, c.y, c.areaW, c.areaH);
        const MouseState m = input.GetMouseState(0);
        EXPECT_EQ(m.X, c.wantX) << c.x << "," << c.y << " in " << c.areaW << "x" << c.areaH;
        EXPECT_EQ(m.Y, c.wantY) << c.x << "," << c.y << " in " << c.areaW << "x" << c.areaH;
    }
    input.SetMousePosition(100, 100, 0);
    engine::FeedMousePosition(110, 95, 640, 480);
    const MouseState m = input.GetMouseState(0);
    EXPECT_EQ(m.X - 100, 10);
    EXPECT_EQ(m.Y - 100, -5);
    input.SetMousePosition(9999, 5, 0);
    EXPECT_EQ(placed, (std::vector<std::pair<int, int>>{{100, 100}, {639, 5}}));
    engine::SetPointerPlacer(nullptr);
}

TEST(EngineMouse, MovementIsReadAgainstTheLastPlacedPositionAndStaysOnScreen) {
    test::Harness h(640, 480);
    EngineInput input;
    input.SetMousePosition(100, 100, 0);
    engine::FeedMouseMotion(7, -3);
    MouseState m = input.GetMouseState(0);
    EXPECT_EQ(m.X - 100, 7);
    EXPECT_EQ(m.Y - 100, -3);

    engine::FeedMouseMotion(-5000, 5000);
    m = input.GetMouseState(0);
    EXPECT_EQ(m.X, 0);
    EXPECT_EQ(m.Y, 479);
    input.SetMousePosition(9999, -5, 0);
    m = input.GetMouseState(0);
    EXPECT_EQ(m.X, 639);
    EXPECT_EQ(m.Y, 0);

    // Wheel clicks add up until read; buttons hold until released.
    engine::FeedMouseWheel(1);
    engine::FeedMouseWheel(1);
    engine::FeedMouseButton(0, true);
    m = input.GetMouseState(0);
    EXPECT_EQ(m.Wheel, 2);
    EXPECT_TRUE(m.Button0);
    EXPECT_FALSE(m.Button1);
    m = input.GetMouseState(0);
    EXPECT_EQ(m.Wheel, 0);
    EXPECT_TRUE(m.Button0);
}

TEST(EngineKeys, KeysAreHeldBetweenDownAndUpAndOutOfRangeCodesAreUp) {
    test::Harness h;
    EngineInput input;
    engine::FeedKey(key::NumpadEnter, true);
    EXPECT_TRUE(input.IsKeyDown(156));
    EXPECT_FALSE(input.IsKeyDown(key::Return));
    engine::FeedKey(key::NumpadEnter, false);
    EXPECT_FALSE(input.IsKeyDown(156));
    EXPECT_FALSE(input.IsKeyDown(-1));
    EXPECT_FALSE(input.IsKeyDown(256));
    EXPECT_EQ(key::Escape, 1);
    EXPECT_EQ(key::D1, 2);
    EXPECT_EQ(key::D0, 11);
    EXPECT_EQ(key::P, 25);
}

TEST(EngineGamePad, OpeningAMissingPadFailsAndReadsKeepTheLastState) {
    test::Harness h;
    EngineInput input;
    EXPECT_FALSE(input.OpenGamePad(0));
    EXPECT_EQ(input.SetupGamePadAxes(0), 0);
    EXPECT_EQ(input.GetGamePadState().X, 32767) << "a pad never seen rests in the middle";

    engine::ConnectGamePad(1, "Pad Two", 6, 10);
    GamePadState state;
    state.RotationZ = 50000;
    state.Buttons[5] = 0x80;
    engine::FeedGamePad(1, state);
    EXPECT_TRUE(input.OpenGamePad(1));
    EXPECT_EQ(input.GetGamePadText(1), "Pad Two");
    EXPECT_EQ(input.SetupGamePadAxes(1), 6);
    EXPECT_EQ(input.SetupGamePadButtons(1), 10);
    EXPECT_EQ(input.GetGamePadState().RotationZ, 32767) << "not enabled yet";
    input.EnableGamePad(true);
    EXPECT_EQ(input.GetGamePadState().RotationZ, 50000);
    EXPECT_EQ(input.GetGamePadState().Buttons[5], 0x80);

    // Byte offsets as the game reads the record.
    const GamePadState s = input.GetGamePadState();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&s);
    EXPECT_EQ(bytes[52 + 5], 0x80);
    EXPECT_EQ(bytes[24] | (bytes[25] << 8), 50000);

    engine::DisconnectGamePad(1);
    EXPECT_EQ(input.GetGamePadState().RotationZ, 50000) << "the record keeps its last contents";
}

class EngineSoundPlay : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(folder_);
        folder_.Write("sound/engine.wav", test::SoundBytes());
        folder_.Write("sound/hit.wav", test::SoundBytes());
    }
    int PlayCount() const {
        int n = 0;
        for (const auto& e : harness_.Audio().Events())
            n += e.kind == engine::NullAudioSink::Event::Kind::Play;
        return n;
    }
    test::TempFolder folder_;
    test::Harness harness_;
    EngineSounds sounds_;
};

TEST_F(EngineSoundPlay, OneShotsRestartAndALoopThatRunsGoesOn) {
    sounds_.LoadSound("hit", sys::ProgramFolder() + "\\sound\\hit.wav", 0, 0);
    sounds_.LoadSound("engine", sys::ProgramFolder() + "\\SOUND\\Engine.WAV", 0, 0);
    ASSERT_EQ(harness_.Scene().sounds.Size(), 2) << "paths are matched without regard to case";

    sounds_.SelectSound("hit");
    sounds_.PlaySound(0, false);
    sounds_.PlaySound(0, false);
    EXPECT_EQ(PlayCount(), 2) << "each one-shot play starts the sound again";

    sounds_.SelectSound("engine");
    sounds_.PlaySound(0, true);
    sounds_.PlaySound(0, true);
    sounds_.PlaySound(0, true);
    EXPECT_EQ(PlayCount(), 3) << "a looping sound that loops goes on";
    sounds_.StopSound();
    sounds_.PlaySound(0, true);
    EXPECT_EQ(PlayCount(), 4) << "after a stop it starts again";

    const auto played = harness_.Audio().Played();
    EXPECT_NE(played.back().find("ngine"), std::string::npos);

    sounds_.ClearSounds();
    EXPECT_EQ(sounds_.GetSoundCount(), 0);
    int released = 0;
    for (const auto& e : harness_.Audio().Events())
        released += e.kind == engine::NullAudioSink::Event::Kind::Release;
    EXPECT_EQ(released, 2);
    sounds_.PlaySound(0, false);  // nothing current: nothing plays
    EXPECT_EQ(PlayCount(), 4);
}

TEST(EngineHarness, ScriptedInputArrivesAsItsFrameBeginsAndEndAtEndsTheProgram) {
    test::Harness h;
    EngineInput input;
    EngineFrame frame;
    std::vector<bool> enterSeen;
    h.KeyPress(3, key::Return, 2).MouseMove(2, 5, 0).EndAt(6, 3);
    const auto code = h.RunUntilEnded([&] {
        input.SetMousePosition(100, 100, 0);
        for (;;) {
            frame.BeginFrame();
            enterSeen.push_back(input.IsKeyDown(key::Return));
            frame.RenderScene();
            frame.EndFrame();
        }
    });
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 3);
    EXPECT_EQ(enterSeen, (std::vector<bool>{false, false, true, true, false}));
    EXPECT_EQ(h.FramesShown(), 5);
    EXPECT_EQ(input.GetMouseState().X, 105);
    EXPECT_NEAR(sys::WallClock() - 12 * 3600.0, 5.0 / 60.0, 1e-9) << "1/60 s per frame shown";
}

}  // namespace
}  // namespace quorvel
