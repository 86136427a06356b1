// Keyboard, mouse and game controllers from SDL into the engine's input state.

#include <SDL.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/engine/input_feed.h"
#include "platform/engine/scancodes.h"
#include "platform/sdl/internal.h"

namespace quorvel::sdl::detail {
namespace {

// SDL's scan codes name the key's place on the keyboard, as the engine's codes do.
constexpr std::pair<SDL_Scancode, int> kKeyTable[] = {
    {SDL_SCANCODE_ESCAPE, key::Escape},
    {SDL_SCANCODE_1, key::D1},
    {SDL_SCANCODE_2, key::D2},
    {SDL_SCANCODE_3, key::D3},
    {SDL_SCANCODE_4, key::D4},
    {SDL_SCANCODE_5, key::D5},
    {SDL_SCANCODE_6, key::D6},
    {SDL_SCANCODE_7, key::D7},
    {SDL_SCANCODE_8, key::D8},
    {SDL_SCANCODE_9, key::D9},
    {SDL_SCANCODE_0, key::D0},
    {SDL_SCANCODE_MINUS, key::Minus},
    {SDL_SCANCODE_EQUALS, key::Equals},
    {SDL_SCANCODE_BACKSPACE, key::Back},
    {SDL_SCANCODE_TAB, key::Tab},
    {SDL_SCANCODE_Q, key::Q},
    {SDL_SCANCODE_W, key::W},
    {SDL_SCANCODE_E, key::E},
    {SDL_SCANCODE_R, key::R},
    {SDL_SCANCODE_T, key::T},
    {SDL_SCANCODE_Y, key::Y},
    {SDL_SCANCODE_U, key::U},
    {SDL_SCANCODE_I, key::I},
    {SDL_SCANCODE_O, key::O},
    {SDL_SCANCODE_P, key::P},
    {SDL_SCANCODE_LEFTBRACKET, key::LBracket},
    {SDL_SCANCODE_RIGHTBRACKET, key::RBracket},
    {SDL_SCANCODE_RETURN, key::Return},
    {SDL_SCANCODE_LCTRL, key::LControl},
    {SDL_SCANCODE_A, key::A},
    {SDL_SCANCODE_S, key::S},
    {SDL_SCANCODE_D, key::D},
    {SDL_SCANCODE_F, key::F},
    {SDL_SCANCODE_G, key::G},
    {SDL_SCANCODE_H, key::H},
    {SDL_SCANCODE_J, key::J},
    {SDL_SCANCODE_K, key::K},
    {SDL_SCANCODE_L, key::L},
    {SDL_SCANCODE_SEMICOLON, key::Semicolon},
    {SDL_SCANCODE_APOSTROPHE, key::Apostrophe},
    {SDL_SCANCODE_GRAVE, key::Grave},
    {SDL_SCANCODE_LSHIFT, key::LShift},
    {SDL_SCANCODE_BACKSLASH, key::Backslash},
    // Keyboards with a key beside Enter report it as the non-US hash key.
    {SDL_SCANCODE_NONUSHASH, key::Backslash},
    {SDL_SCANCODE_Z, key::Z},
    {SDL_SCANCODE_X, key::X},
    {SDL_SCANCODE_C, key::C},
    {SDL_SCANCODE_V, key::V},
    {SDL_SCANCODE_B, key::B},
    {SDL_SCANCODE_N, key::N},
    {SDL_SCANCODE_M, key::M},
    {SDL_SCANCODE_COMMA, key::Comma},
    {SDL_SCANCODE_PERIOD, key::Period},
    {SDL_SCANCODE_SLASH, key::Slash},
    {SDL_SCANCODE_RSHIFT, key::RShift},
    {SDL_SCANCODE_KP_MULTIPLY, key::Multiply},
    {SDL_SCANCODE_LALT, key::LMenu},
    {SDL_SCANCODE_SPACE, key::Space},
    {SDL_SCANCODE_CAPSLOCK, key::Capital},
    {SDL_SCANCODE_F1, key::F1},
    {SDL_SCANCODE_F2, key::F2},
    {SDL_SCANCODE_F3, key::F3},
    {SDL_SCANCODE_F4, key::F4},
    {SDL_SCANCODE_F5, key::F5},
    {SDL_SCANCODE_F6, key::F6},
    {SDL_SCANCODE_F7, key::F7},
    {SDL_SCANCODE_F8, key::F8},
    {SDL_SCANCODE_F9, key::F9},
    {SDL_SCANCODE_F10, key::F10},
    {SDL_SCANCODE_NUMLOCKCLEAR, key::NumLock},
    {SDL_SCANCODE_SCROLLLOCK, key::Scroll},
    {SDL_SCANCODE_KP_7, key::Numpad7},
    {SDL_SCANCODE_KP_8, key::Numpad8},
    {SDL_SCANCODE_KP_9, key::Numpad9},
    {SDL_SCANCODE_KP_MINUS, key::Subtract},
    {SDL_SCANCODE_KP_4, key::Numpad4},
    {SDL_SCANCODE_KP_5, key::Numpad5},
    {SDL_SCANCODE_KP_6, key::Numpad6},
    {SDL_SCANCODE_KP_PLUS, key::Add},
    {SDL_SCANCODE_KP_1, key::Numpad1},
    {SDL_SCANCODE_KP_2, key::Numpad2},
    {SDL_SCANCODE_KP_3, key::Numpad3},
    {SDL_SCANCODE_KP_0, key::Numpad0},
    {SDL_SCANCODE_KP_PERIOD, key::Decimal},
    {SDL_SCANCODE_NONUSBACKSLASH, key::OEM102},
    {SDL_SCANCODE_F11, key::F11},
    {SDL_SCANCODE_F12, key::F12},
    {SDL_SCANCODE_KP_ENTER, key::NumpadEnter},
    {SDL_SCANCODE_RCTRL, key::RControl},
    {SDL_SCANCODE_KP_DIVIDE, key::Divide},
    {SDL_SCANCODE_PRINTSCREEN, key::SysRq},
    {SDL_SCANCODE_RALT, key::RMenu},
    {SDL_SCANCODE_PAUSE, key::Pause},
    {SDL_SCANCODE_HOME, key::Home},
    {SDL_SCANCODE_UP, key::Up},
    {SDL_SCANCODE_PAGEUP, key::Prior},
    {SDL_SCANCODE_LEFT, key::Left},
    {SDL_SCANCODE_RIGHT, key::Right},
    {SDL_SCANCODE_END, key::End},
    {SDL_SCANCODE_DOWN, key::Down},
    {SDL_SCANCODE_PAGEDOWN, key::Next},
    {SDL_SCANCODE_INSERT, key::Insert},
    {SDL_SCANCODE_DELETE, key::Delete},
    {SDL_SCANCODE_LGUI, key::LWin},
    {SDL_SCANCODE_RGUI, key::RWin},
    {SDL_SCANCODE_APPLICATION, key::Apps},
};

constexpr std::array<int, SDL_NUM_SCANCODES> MakeKeyMap() {
    std::array<int, SDL_NUM_SCANCODES> map{};
    for (int& k : map)
        k = -1;
    for (const auto& [sdl, code] : kKeyTable)
        map[std::size_t(sdl)] = code;
    return map;
}
constexpr std::array<int, SDL_NUM_SCANCODES> kKeyMap = MakeKeyMap();

// ---- Game controllers ----------------------------------------------------------
//
// A controller fills the pad record the way the classic two-stick pads did: X and Y
// the left stick, Z and rotation Z the right stick (the game yaws with Z and pitches
// with rotation Z), the direction pad as the first point-of-view hat in hundredths of
// a degree clockwise from up, and the buttons in this order (the triggers count as
// buttons 6 and 7 once pressed half way):
constexpr SDL_GameControllerButton kButtons[] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_INVALID,  // left trigger
    SDL_CONTROLLER_BUTTON_INVALID,  // right trigger
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_GUIDE,
};
constexpr int kButtonCount = int(std::size(kButtons));
constexpr int kAxisCount = 4;

struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID instance = -1;
};
std::array<Pad, 8> pads;

// SDL's -32768..32767 onto the pad record's 0..65535, resting at 32767.
std::int32_t PadAxis(Sint16 v) {
    return v < 0 ? 32767 + (std::int32_t(v) * 32767) / 32768 : 32767 + (std::int32_t(v) * 32768) / 32767;
}

GamePadState ReadPad(SDL_GameController* c) {
    GamePadState s;
    s.X = PadAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX));
    s.Y = PadAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
    s.Z = PadAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTX));
    s.RotationZ = PadAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTY));
    const bool up = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP);
    const bool down = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    const bool left = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    const bool right = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    const int dx = (right ? 1 : 0) - (left ? 1 : 0);
    const int dy = (down ? 1 : 0) - (up ? 1 : 0);
    static constexpr int kHat[3][3] = {{31500, 0, 4500}, {27000, -1, 9000}, {22500, 18000, 13500}};
    s.Pov[0] = kHat[dy + 1][dx + 1];
    for (int b = 0; b < kButtonCount; ++b) {
        bool held = false;
        if (b == 6)
            held = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT) > 16383;
        else if (b == 7)
            held = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > 16383;
        else
            held = SDL_GameControllerGetButton(c, kButtons[b]) != 0;
        s.Buttons[std::size_t(b)] = held ? 128 : 0;
    }
    return s;
}

void AddPad(int deviceIndex) {
    SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
    if (!c) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
    for (const Pad& p : pads)
        if (p.controller && p.instance == id) {
            SDL_GameControllerClose(c);  // already known (added at start and by its event)
            return;
        }
    for (std::size_t slot = 0; slot < pads.size(); ++slot) {
        if (pads[slot].controller) continue;
        pads[slot] = {c, id};
        const char* name = SDL_GameControllerName(c);
        engine::ConnectGamePad(int(slot), name ? name : "Game controller", kAxisCount, kButtonCount);
        engine::FeedGamePad(int(slot), ReadPad(c));
        return;
    }
    SDL_GameControllerClose(c);  // every slot taken
}

void RemovePad(SDL_JoystickID id) {
    for (std::size_t slot = 0; slot < pads.size(); ++slot) {
        if (!pads[slot].controller || pads[slot].instance != id) continue;
        SDL_GameControllerClose(pads[slot].controller);
        pads[slot] = Pad{};
        engine::DisconnectGamePad(int(slot));
    }
}

}  // namespace

int KeyFromScancode(SDL_Scancode code) {
    return code >= 0 && code < SDL_NUM_SCANCODES ? kKeyMap[std::size_t(code)] : -1;
}

void HandleInputEvent(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (const int code = KeyFromScancode(e.key.keysym.scancode); code >= 0)
                engine::FeedKey(code, e.type == SDL_KEYDOWN);
            break;
        case SDL_MOUSEMOTION:
            // The window never asks for relative mode, so every pointing device, an
            // absolute one included, reports where the system pointer is.
            if (SDL_Window* win = SDL_GetWindowFromID(e.motion.windowID)) {
                int w = 0;
                int h = 0;
                SDL_GetWindowSize(win, &w, &h);
                engine::FeedMousePosition(e.motion.x, e.motion.y, w, h);
            } else {
                engine::FeedMousePosition(e.motion.x, e.motion.y, 0, 0);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT) engine::FeedMouseButton(0, e.type == SDL_MOUSEBUTTONDOWN);
            if (e.button.button == SDL_BUTTON_RIGHT)
                engine::FeedMouseButton(1, e.type == SDL_MOUSEBUTTONDOWN);
            break;
        case SDL_MOUSEWHEEL: {
            const int clicks = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (clicks != 0) engine::FeedMouseWheel(clicks);
            break;
        }
        case SDL_CONTROLLERDEVICEADDED:
            AddPad(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            RemovePad(e.cdevice.which);
            break;
        default:
            break;
    }
}

void RefreshGamePads() {
    for (std::size_t slot = 0; slot < pads.size(); ++slot)
        if (pads[slot].controller) engine::FeedGamePad(int(slot), ReadPad(pads[slot].controller));
}

void CloseGamePads() {
    for (std::size_t slot = 0; slot < pads.size(); ++slot) {
        if (!pads[slot].controller) continue;
        SDL_GameControllerClose(pads[slot].controller);
        pads[slot] = Pad{};
        engine::DisconnectGamePad(int(slot));
    }
}

}  // namespace quorvel::sdl::detail
