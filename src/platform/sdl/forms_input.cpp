// The forms host's input: SDL's mouse and key events turned into the controls'
// User... calls, run after the frame, on the form that has the focus.

#include "platform/sdl/forms_host_impl.h"

namespace quorvel::sdl {

using namespace forms_ui;

namespace {

// Windows virtual-key codes for SDL's key codes; 0 for keys the forms never see.
int VirtualKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return 112 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 97 + (k - SDLK_KP_1);
    switch (k) {
        case SDLK_BACKSPACE:
            return forms::keys::Back;
        case SDLK_TAB:
            return forms::keys::Tab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return forms::keys::Return;
        case SDLK_ESCAPE:
            return forms::keys::Escape;
        case SDLK_SPACE:
            return forms::keys::Space;
        case SDLK_PAGEUP:
            return forms::keys::PageUp;
        case SDLK_PAGEDOWN:
            return forms::keys::PageDown;
        case SDLK_END:
            return forms::keys::End;
        case SDLK_HOME:
            return forms::keys::Home;
        case SDLK_LEFT:
            return forms::keys::Left;
        case SDLK_UP:
            return forms::keys::Up;
        case SDLK_RIGHT:
            return forms::keys::Right;
        case SDLK_DOWN:
            return forms::keys::Down;
        case SDLK_INSERT:
            return 45;
        case SDLK_DELETE:
            return 46;
        case SDLK_KP_0:
            return 96;
        case SDLK_KP_MULTIPLY:
            return 106;
        case SDLK_KP_PLUS:
            return 107;
        case SDLK_KP_MINUS:
            return 109;
        case SDLK_KP_PERIOD:
            return 110;
        case SDLK_KP_DIVIDE:
            return 111;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return 16;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return 17;
        case SDLK_LALT:
        case SDLK_RALT:
            return 18;
        case SDLK_SEMICOLON:
            return 186;
        case SDLK_EQUALS:
            return 187;
        case SDLK_COMMA:
            return 188;
        case SDLK_MINUS:
            return 189;
        case SDLK_PERIOD:
            return 190;
        case SDLK_SLASH:
            return 191;
        case SDLK_BACKQUOTE:
            return 192;
        case SDLK_LEFTBRACKET:
            return 219;
        case SDLK_BACKSLASH:
            return 220;
        case SDLK_RIGHTBRACKET:
            return 221;
        case SDLK_QUOTE:
            return 222;
        default:
            return 0;
    }
}

// Shift 1, Ctrl 2, Alt 4, as the key events report them on Windows.
int ShiftState(Uint16 mod) {
    return ((mod & KMOD_SHIFT) ? forms::keys::ShiftMask : 0) | ((mod & KMOD_CTRL) ? 2 : 0) |
           ((mod & KMOD_ALT) ? 4 : 0);
}

// Keys that type a character SDL sends no text for.
int KeyCharacter(int vk) {
    switch (vk) {
        case forms::keys::Return:
        case forms::keys::Escape:
        case forms::keys::Back:
            return vk;
        default:
            return 0;
    }
}

// The characters of SDL's UTF-8 text that fit one byte (the forms keep bytes).
std::vector<int> TextCharacters(const char* text) {
    std::vector<int> out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned code = *p;
        int extra = code < 0x80 ? 0 : (code & 0xE0) == 0xC0 ? 1 : (code & 0xF0) == 0xE0 ? 2 : 3;
        if (extra > 0) code &= 0x3Fu >> extra;
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p)
            code = (code << 6) | (*p & 0x3Fu);
        if (code >= 32 && code <= 255 && code != 127) out.push_back(int(code));
    }
    return out;
}

}  // namespace

Form* ImGuiFormsHost::Impl::FormAt(ImVec2 p) {
    const auto shown = DrawnForms();
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        const auto r = formRects.find(*it);
        if (r != formRects.end() && p.x >= r->second.x && p.y >= r->second.y &&
            p.x < r->second.x + r->second.w && p.y < r->second.y + r->second.h)
            return *it;
    }
    return nullptr;
}

bool ImGuiFormsHost::Impl::OnEvent(const SDL_Event& e) {
    // A click takes ImGui two frames and a list opens on the one after; a window
    // uncovered or shown again needs its picture back.
    if ((e.type >= SDL_KEYDOWN && e.type <= SDL_TEXTINPUT) ||
        (e.type >= SDL_MOUSEMOTION && e.type <= SDL_MOUSEWHEEL) || e.type == SDL_WINDOWEVENT)
        busyFrames = 4;
    switch (e.type) {
        case SDL_MOUSEMOTION:
            mouse = {float(e.motion.x), float(e.motion.y)};
            return FormsTakeInput();
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            mouse = {float(e.button.x), float(e.button.y)};
            const int b = e.button.button == SDL_BUTTON_LEFT    ? 0
                          : e.button.button == SDL_BUTTON_RIGHT ? 1
                                                                : 2;
            const bool isDown = e.type == SDL_MOUSEBUTTONDOWN;
            down[b] = isDown;
            if (isDown) pressed[b] = true;
            if (!FormsTakeInput()) return false;
            // A press on a window makes its form the active one, unless a modal form stands over it.
            if (isDown)
                if (Form* f = FormAt(mouse))
                    actions.push_back([f] {
                        if (Alive(f) && forms::AcceptsInput(*f)) forms::Activate(*f);
                    });
            return true;
        }
        case SDL_MOUSEWHEEL:
            wheel += float(e.wheel.y);
            return FormsTakeInput();
        case SDL_KEYDOWN: {
            if (!FormsTakeInput()) return false;
            const int vk = VirtualKey(e.key.keysym.sym);
            const int shift = ShiftState(e.key.keysym.mod);
            if (vk != 0) actions.push_back([this, vk, shift] { Key(vk, shift, KeyCharacter(vk)); });
            return true;
        }
        case SDL_KEYUP:
            return FormsTakeInput();
        case SDL_TEXTINPUT: {
            if (!FormsTakeInput()) return false;
            for (int c : TextCharacters(e.text.text))
                actions.push_back([this, c] { Key(0, 0, c); });
            return true;
        }
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_LEAVE) mouse = {-FLT_MAX, -FLT_MAX};
            // A button let go in another window never comes back as released here.
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                std::fill(std::begin(down), std::end(down), false);
            return false;
        default:
            return false;
    }
}

void ImGuiFormsHost::Impl::Key(int vk, int shift, int character) {
    Form* f = forms::ActiveForm();
    if (!f || !forms::AcceptsInput(*f)) return;
    const auto shown = DrawnForms();
    if (std::find(shown.begin(), shown.end(), f) == shown.end()) return;
    f->UserKey(vk, shift, character);
}

void ImGuiFormsHost::Impl::Act(const Control* control, std::function<void(Control&)> act) {
    actions.push_back([control, act = std::move(act)] {
        if (!Alive(control)) return;
        auto& c = const_cast<Control&>(*control);
        if (!forms::AcceptsInput(c)) return;
        forms::Activate(c.Parent());
        if (forms::AcceptsInput(c)) act(c);
    });
}

void ImGuiFormsHost::Impl::RunActions() {
    // One at a time: an action may pump (a modal form) and the nested pump goes on with the rest.
    while (!actions.empty()) {
        auto action = std::move(actions.front());
        actions.pop_front();
        action();
    }
}

}  // namespace quorvel::sdl
