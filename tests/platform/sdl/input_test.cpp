// SDL's keyboard, mouse, controller and window events as the engine's input reads them.

#include <SDL.h>

#include <string>
#include <utility>

#include "platform/engine/engine.h"
#include "platform/engine/scancodes.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/window.h"
#include "platform/system/process.h"
#include "sdl_fixture.h"

namespace quorvel::test {
namespace {

class InputTest : public SdlTest {
  protected:
    void SetUp() override {
        SdlTest::SetUp();
        Start(640, 480);
        sys::PumpMessages();  // what the start itself queued
    }
    static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
    static void Key(SDL_Scancode code, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = code;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        Push(e);
    }
};

TEST_F(InputTest, KeysArriveAsTheirScanCodes) {
    const std::pair<SDL_Scancode, int> keys[] = {
        {SDL_SCANCODE_ESCAPE, key::Escape},
        {SDL_SCANCODE_1, key::D1},
        {SDL_SCANCODE_0, key::D0},
        {SDL_SCANCODE_RETURN, key::Return},
        {SDL_SCANCODE_KP_ENTER, key::NumpadEnter},
        {SDL_SCANCODE_P, key::P},
        {SDL_SCANCODE_BACKSLASH, key::Backslash},
        {SDL_SCANCODE_UP, key::Up},
        {SDL_SCANCODE_PAGEDOWN, key::Next},
        {SDL_SCANCODE_RCTRL, key::RControl},
        {SDL_SCANCODE_F3, key::F3},
        {SDL_SCANCODE_SPACE, key::Space},
        {SDL_SCANCODE_KP_DIVIDE, key::Divide},
    };
    EngineInput input;
    for (auto [sdlCode, scanCode] : keys) {
        SCOPED_TRACE(SDL_GetScancodeName(sdlCode));
        Key(sdlCode, true);
        sys::PumpMessages();
        EXPECT_TRUE(input.IsKeyDown(scanCode));
        Key(sdlCode, false);
        sys::PumpMessages();
        EXPECT_FALSE(input.IsKeyDown(scanCode));
    }
}

TEST_F(InputTest, LosingTheFocusLetsGoOfHeldKeysAndButtons) {
    Key(SDL_SCANCODE_W, true);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    Push(click);
    sys::PumpMessages();
    EngineInput input;
    ASSERT_TRUE(input.IsKeyDown(key::W));
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    focus.window.windowID = SDL_GetWindowID(sdl::Window());
    Push(focus);
    sys::PumpMessages();
    EXPECT_FALSE(input.IsKeyDown(key::W));
    EXPECT_FALSE(input.GetMouseState(0).Button0);
}

// The window reports where the system pointer is, so absolute devices (tablets,
// virtual machines, remote desktops) move the pointer as a mouse does.
TEST_F(InputTest, MouseMovesThePointerWithinTheScreenAndReportsButtonsAndWheel) {
    EngineInput input;
    input.SetMousePosition(100, 100, 0);
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(sdl::Window());
    e.motion.x = 105;
    e.motion.y = 93;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = 2;
    Push(e);
    sys::PumpMessages();
    MouseState m = input.GetMouseState(0);
    EXPECT_EQ(m.X - 100, 5);
    EXPECT_EQ(m.Y - 100, -7);
    EXPECT_FALSE(m.Button0);
    EXPECT_TRUE(m.Button1);
    EXPECT_EQ(m.Wheel, 2);
    EXPECT_EQ(input.GetMouseState(0).Wheel, 0);  // the wheel counts since the last read

    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 5000;
    e.motion.y = -5000;
    Push(e);
    sys::PumpMessages();
    m = input.GetMouseState(0);
    EXPECT_EQ(m.X, 639);
    EXPECT_EQ(m.Y, 0);
}

TEST_F(InputTest, ControllerFillsTheGamePadRecord) {
    // SDL ignores controllers while no window has the focus, and an off-screen window never gets it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr);
    // SDL's virtual controller: axes left x, left y, right x, right y, triggers;
    // buttons a, b, x, y, back, guide, start, sticks, shoulders, then the direction pad.
    SDL_JoystickSetVirtualAxis(joystick, 4, -32768);
    SDL_JoystickSetVirtualAxis(joystick, 5, -32768);
    sys::PumpMessages();

    EngineInput input;
    ASSERT_TRUE(input.OpenGamePad(0));
    EXPECT_FALSE(input.GetGamePadText(0).empty());
    EXPECT_EQ(input.SetupGamePadAxes(0), 4);
    EXPECT_EQ(input.SetupGamePadButtons(0), 13);
    input.EnableGamePad(true);
    GamePadState rest = input.GetGamePadState();
    EXPECT_EQ(rest.X, 32767);
    EXPECT_EQ(rest.RotationZ, 32767);
    EXPECT_EQ(rest.Pov[0], -1);
    EXPECT_EQ(rest.Buttons[0], 0);

    SDL_JoystickSetVirtualAxis(joystick, 0, 32767);   // left stick right
    SDL_JoystickSetVirtualAxis(joystick, 1, -32768);  // left stick up
    SDL_JoystickSetVirtualAxis(joystick, 2, -32768);  // right stick left
    SDL_JoystickSetVirtualAxis(joystick, 3, 32767);   // right stick down
    SDL_JoystickSetVirtualAxis(joystick, 5, 32767);   // right trigger
    SDL_JoystickSetVirtualButton(joystick, 0, 1);     // a
    SDL_JoystickSetVirtualButton(joystick, 10, 1);    // right shoulder
    SDL_JoystickSetVirtualButton(joystick, 14, 1);    // pad right
    sys::PumpMessages();
    const GamePadState s = input.GetGamePadState();
    EXPECT_EQ(s.X, 65535);
    EXPECT_EQ(s.Y, 0);
    EXPECT_EQ(s.Z, 0);
    EXPECT_EQ(s.RotationZ, 65535);
    EXPECT_EQ(s.Pov[0], 9000);
    EXPECT_NE(s.Buttons[0], 0);
    EXPECT_NE(s.Buttons[5], 0);
    EXPECT_NE(s.Buttons[7], 0);
    EXPECT_EQ(s.Buttons[1], 0);
    EXPECT_EQ(s.Buttons[6], 0);

    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(device);
    sys::PumpMessages();
    EXPECT_TRUE(input.GetGamePadText(0).empty());
    EXPECT_FALSE(input.OpenGamePad(0));
}

TEST_F(InputTest, EventHookSeesEventsFirstAndMayTakeThem) {
    int seen = 0;
    sdl::SetEventHook([&](const SDL_Event& e) {
        if (e.type != SDL_KEYDOWN) return false;
        ++seen;
        return e.key.keysym.scancode == SDL_SCANCODE_A;  // A belongs to the hook
    });
    int tails = 0, overlays = 0;
    sdl::SetPumpTail([&] { ++tails; });
    sdl::SetOverlayHook([&] { ++overlays; });
    Key(SDL_SCANCODE_A, true);
    Key(SDL_SCANCODE_B, true);
    sys::PumpMessages();
    EngineInput input;
    EXPECT_EQ(seen, 2);
    EXPECT_FALSE(input.IsKeyDown(key::A));
    EXPECT_TRUE(input.IsKeyDown(key::B));
    EXPECT_EQ(tails, 1);
    Frame();  // EndFrame presents (overlay) and pumps (tail)
    EXPECT_EQ(overlays, 1);
    EXPECT_EQ(tails, 2);
    sdl::SetEventHook(nullptr);
    sdl::SetPumpTail(nullptr);
    sdl::SetOverlayHook(nullptr);
}

// The window system's quit and the window's close: each ends the program (the end
// hooks shut the video system down, so one case per test) and says which it was.
struct CloseCase {
    Uint32 type;
    const char* said;
};

// One pump, with the status it ended the program with (-1: it went on) and what it printed.
std::pair<int, std::string> PumpCapturingStderr() {
    ::testing::internal::CaptureStderr();
    int code = -1;
    try {
        sys::PumpMessages();
    } catch (const sys::ProcessEnded& e) {
        code = e.code;
    }
    return {code, ::testing::internal::GetCapturedStderr()};
}

class WindowClosedTest : public InputTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(WindowClosedTest, EndsTheProgramEvenWhenTheHookTakesItAndSaysWhy) {
    sdl::SetEventHook([](const SDL_Event&) { return true; });
    SDL_Event event{};
    event.type = GetParam().type;
    if (event.type == SDL_WINDOWEVENT) {
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        event.window.windowID = SDL_GetWindowID(sdl::Window());
    }
    Push(event);
    const auto [code, printed] = PumpCapturingStderr();
    EXPECT_EQ(code, 0);
    EXPECT_NE(printed.find(GetParam().said), std::string::npos) << printed;
    sdl::SetEventHook(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Input, WindowClosedTest,
    ::testing::Values(CloseCase{SDL_QUIT, "the window system asked the program to quit; ends with status 0"},
                      CloseCase{SDL_WINDOWEVENT,
                                "the window system closed the game window; ends with status 0"}));

// An X error is noted by the program's own handler (which may not call back into Xlib)
// and ends the program at the next pump, saying which error; only the first counts.
struct WindowErrorCase {
    const char* name;
    int code, request, minor;
    unsigned long resource;
    const char* said;
};

class WindowSystemErrorTest : public InputTest, public ::testing::WithParamInterface<WindowErrorCase> {};

TEST_P(WindowSystemErrorTest, EndsTheProgramAtTheNextPumpAndSaysWhich) {
    const WindowErrorCase& c = GetParam();
    sys::PumpMessages();  // nothing noted: the program goes on
    sdl::detail::NoteWindowSystemError(c.code, c.request, c.minor, c.resource);
    sdl::detail::NoteWindowSystemError(3, 2, 0, 0x400006);  // a later error is not the cause
    const auto [code, printed] = PumpCapturingStderr();
    EXPECT_EQ(code, 1);
    EXPECT_NE(printed.find(std::string("ends with status 1: ") + c.said), std::string::npos) << printed;
    EXPECT_NO_THROW(sys::PumpMessages()) << "the error ended the program once";
}

INSTANTIATE_TEST_SUITE_P(
    Input, WindowSystemErrorTest,
    ::testing::Values(
        WindowErrorCase{
            "CoreError", 9, 130, 3, 0x400005,
            "the window system reported an error (X error BadDrawable on request 130.3 for 0x400005)"},
        WindowErrorCase{"ExtensionError", 170, 152, 11, 0x1e00002,
                        "the window system reported an error (X error 170 on request 152.11 for 0x1e00002)"}),
    [](const ::testing::TestParamInfo<WindowErrorCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quorvel::test
