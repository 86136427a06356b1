// The ImGui forms host on the off-screen SDL driver: SDL events pushed at the places
// where the host drew the controls must reach them as the player's input.

#include "platform/sdl/forms_host.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <thread>

#include "platform/engine/engine.h"
#include "platform/forms/controls.h"
#include "platform/sdl/backend.h"
#include "platform/sdl/window.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "common/settings_files.h"
#include "shell/difficulty.h"
#include "shell/launch_pad.h"
#include "shell/maker.h"
#include "common/options.h"
#include "support/golden.h"
#include "support/temp_folder.h"

// Mesa keeps some allocations until the process ends, by design.
extern "C" __attribute__((used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace quorvel::test {
namespace {

using forms::RGB;
using Clock = std::chrono::steady_clock;

class TestForm : public forms::Form {
  public:
    TestForm() : Form("TestForm") {
        SetCaption("Test Form");
        SetBorder(forms::BorderStyle::FixedDialog);
        SetStartPosition(forms::StartUpPosition::CenterScreen);
        Move(0, 0, 6000, 4200);
        Go.SetCaption("Go");
        Go.Move(240, 240, 1215, 375);
        Go.SetDefault(true);
        Go.Click = [this] { ++goClicks; };
        Stop.SetCaption("Stop");
        Stop.Move(1680, 240, 1215, 375);
        Stop.SetCancel(true);
        Stop.Click = [this] { ++stopClicks; };
        Check.SetCaption("Check");
        Check.Move(240, 840, 1800, 300);
        for (int i = 0; i < 2; ++i) {
            Option.Add(i).SetCaption(i == 0 ? "First" : "Second");
            Option(i).Move(240, 1320 + 420 * i, 1800, 300);
        }
        Option(0).SetValue(true);
        Level.SetRange(1, 5);
        Level.SetValue(2);
        Level.Move(240, 2400, 3000, 375);
        Choice.AddItem("one");
        Choice.AddItem("two");
        Choice.AddItem("three");
        Choice.Move(3240, 840, 2000, 315);
        Words.Move(3240, 1440, 2000, 315);
        Tools.Move(3240, 2040, 2000, 420);
        Tools.AddButton({"Back", "Go back", "", true});
        Tools.AddButton({"Home", "Go home", "", true});
        Tools.AddButton({"Stop", "Stop loading", "", false});
        Tools.ButtonClick = [this](const forms::ToolbarButton& b) { pressedTools += b.Key + " "; };
        FileMenu.SetCaption("&File");
        OpenItem.SetCaption("&Open");
        OpenItem.SetContainer(FileMenu);
        OpenItem.Click = [this] { ++opened; };
    }
    forms::Button Go{*this, "Go"};
    forms::Button Stop{*this, "Stop"};
    forms::CheckBox Check{*this, "Check"};
    forms::ControlArray<forms::OptionButton> Option{*this, "Option"};
    forms::Slider Level{*this, "Level"};
    forms::ComboBox Choice{*this, "Choice"};
    forms::TextBox Words{*this, "Words"};
    forms::Toolbar Tools{*this, "Tools"};
    forms::MenuItem FileMenu{*this, "FileMenu"};
    forms::MenuItem OpenItem{*this, "OpenItem"};
    int goClicks = 0, stopClicks = 0, opened = 0;
    std::string pressedTools;
};

class Dialog : public forms::Form {
  public:
    Dialog() : Form("Dialog") {
        SetCaption("Dialog");
        SetBorder(forms::BorderStyle::FixedDialog);
        SetStartPosition(forms::StartUpPosition::CenterOwner);
        Move(0, 0, 3000, 1500);
        Ok.SetCaption("OK");
        Ok.SetDefault(true);
        Ok.Move(840, 600, 1215, 375);
        Ok.Click = [this] { Hide(); };
    }
    forms::Button Ok{*this, "Ok"};
};

class FormsHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sys::SetEndThrows(true);
        ASSERT_TRUE(sdl::InstallSdlBackEnd());
        host = std::make_unique<sdl::ImGuiFormsHost>();
        ASSERT_TRUE(host->Ready());
    }
    void TearDown() override {
        sys::SetIdleHook(nullptr);
        host.reset();
    }

    // Pumps until the host has drawn n more frames.
    void Frames(int n) {
        const int goal = host->Frames() + n;
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (host->Frames() < goal && Clock::now() < end)
            sys::IdleWait();
        ASSERT_GE(host->Frames(), goal) << "the host drew no frames";
    }

    static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
    static Uint32 WindowId() { return SDL_GetWindowID(sdl::Window()); }

    static void Mouse(Uint32 type, int x, int y) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.windowID = WindowId();
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button.windowID = WindowId();
            e.button.button = SDL_BUTTON_LEFT;
            e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.button.clicks = 1;
            e.button.x = x;
            e.button.y = y;
        }
        Push(e);
    }

    // A press and release at a point, both before the next frame.
    void ClickAt(int x, int y) {
        Mouse(SDL_MOUSEMOTION, x, y);
        Mouse(SDL_MOUSEBUTTONDOWN, x, y);
        Mouse(SDL_MOUSEBUTTONUP, x, y);
    }
    void Click(const forms::Control& c, int part = -1) {
        const auto r = host->WhereDrawn(c, part);
        ASSERT_TRUE(r) << c.Name() << " part " << part << " was not drawn";
        ClickAt(r->CentreX(), r->CentreY());
        Frames(3);
    }

    static void Key(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = WindowId();
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        Push(e);
        e.type = SDL_KEYUP;
        e.key.state = SDL_RELEASED;
        Push(e);
    }
    static void Type(const char* text) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = WindowId();
        SDL_strlcpy(e.text.text, text, sizeof(e.text.text));
        Push(e);
    }

    void ShowMain(forms::Form& form) {
        host->SetMainForm(&form);
        ASSERT_TRUE(form.Show());
        Frames(2);
    }

    std::unique_ptr<sdl::ImGuiFormsHost> host;
};

TEST_F(FormsHostTest, TheWindowFramesTheMainFormWithItsCaption) {
    TestForm form;
    ShowMain(form);
    const auto at = host->WhereDrawn(form);
    ASSERT_TRUE(at);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl::Window(), &w, &h);
    EXPECT_EQ(w, 6000 / 15);
    EXPECT_GT(h, 4200 / 15);  // the caption bar on top of the client area
    EXPECT_EQ(at->x, 0);
    EXPECT_EQ(at->y, 0);
    EXPECT_EQ(at->h, h);
    EXPECT_STREQ(SDL_GetWindowTitle(sdl::Window()), "Test Form");
    EXPECT_TRUE(SDL_GetWindowFlags(sdl::Window()) & SDL_WINDOW_SHOWN);
    const auto go = host->WhereDrawn(form.Go);
    ASSERT_TRUE(go);
    EXPECT_EQ(go->x, 240 / 15);
    EXPECT_EQ(go->y, h - 4200 / 15 + 240 / 15);

    // Hidden forms leave the window.
    form.Hide();
    sys::PumpMessages();
    EXPECT_FALSE(SDL_GetWindowFlags(sdl::Window()) & SDL_WINDOW_SHOWN);
}

TEST_F(FormsHostTest, MouseReachesEveryKindOfControl) {
    TestForm form;
    ShowMain(form);

    Click(form.Go);
    EXPECT_EQ(form.goClicks, 1);

    Click(form.Check);
    EXPECT_EQ(form.Check.Value(), 1);
    EXPECT_TRUE(form.Check.HasFocus());

    Click(form.Option(1));
    EXPECT_TRUE(form.Option(1).Value());
    EXPECT_FALSE(form.Option(0).Value());

    // The list opens on a click, then an entry is picked.
    Click(form.Choice);
    EXPECT_TRUE(form.Choice.HasFocus());
    Click(form.Choice, 2);
    EXPECT_EQ(form.Choice.ListIndex(), 2);
    EXPECT_EQ(form.Choice.Text(), "three");
    // Opened again, the chosen entry reads white on the navy bar.
    Click(form.Choice);
    {
        const auto row = host->WhereDrawn(form.Choice, 2);
        ASSERT_TRUE(row);
        std::vector<unsigned char> rgba;
        int w = 0, h = 0;
        ASSERT_TRUE(host->Capture(rgba, w, h));
        int navy = 0, white = 0;
        for (int y = row->y; y < row->y + row->h; ++y)
            for (int x = row->x; x < row->x + row->w; ++x) {
                const unsigned char* p = &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
                navy += p[0] < 40 && p[1] < 40 && p[2] > 100;
                white += p[0] > 200 && p[1] > 200 && p[2] > 200;
            }
        EXPECT_GT(navy, row->w * row->h / 2);
        EXPECT_GT(white, 10);
    }
    Click(form.Choice, 2);

    // A press beside the thumb moves a large step (kept in range); the thumb, dragged
    // from the right end to the left one, gives the smallest value.
    const auto slider = host->WhereDrawn(form.Level);
    ASSERT_TRUE(slider);
    const int right = slider->x + slider->w - 8, left = slider->x + 2, y = slider->y + 8;
    // A plain click on the thumb (at 2 of 1 to 5) focuses the slider: the arrow keys
    // then move it.
    ClickAt(slider->x + 8 + (slider->w - 16) / 4, y);
    Frames(3);
    EXPECT_TRUE(form.Level.HasFocus());
    EXPECT_EQ(form.Level.Value(), 2);
    Key(SDLK_RIGHT);
    Frames(3);
    EXPECT_EQ(form.Level.Value(), 3);
    ClickAt(right, y);
    Frames(3);
    EXPECT_EQ(form.Level.Value(), 5);
    Mouse(SDL_MOUSEMOTION, right, y);
    Mouse(SDL_MOUSEBUTTONDOWN, right, y);
    Frames(2);
    Mouse(SDL_MOUSEMOTION, (left + right) / 2, y);
    Frames(2);
    Mouse(SDL_MOUSEMOTION, left, y);
    Frames(2);
    Mouse(SDL_MOUSEBUTTONUP, left, y);
    Frames(2);
    EXPECT_EQ(form.Level.Value(), 1);

    Click(form.Words);
    EXPECT_TRUE(form.Words.HasFocus());
    Type("ab");
    Type("c");
    Key(SDLK_BACKSPACE);
    Frames(2);
    EXPECT_EQ(form.Words.Text(), "ab");

    // Toolbar buttons by their place; a disabled one does nothing.
    Click(form.Tools, 1);
    Click(form.Tools, 2);
    Click(form.Tools, 0);
    EXPECT_EQ(form.pressedTools, "Home Back ");

    // The menu opens from its title in the menu bar, then an item is chosen.
    Click(form.FileMenu);
    Click(form.FileMenu, 0);
    EXPECT_EQ(form.opened, 1);
    EXPECT_EQ(form.goClicks, 1);
}

TEST_F(FormsHostTest, PicturesComeFromTheirFiles) {
    TempFolder folder;
    UseAsProgramFolder(folder);
    // Solid 4x4 pictures in the three formats the decoder reads.
    const auto write = [&](const char* name, unsigned char r, unsigned char g, unsigned char b) {
        std::vector<unsigned char> pixels;
        for (int i = 0; i < 16; ++i)
            pixels.insert(pixels.end(), {r, g, b});
        const std::string path = folder.str() + "/" + name;
        const std::string ext = path.substr(path.size() - 3);
        if (ext == "png") stbi_write_png(path.c_str(), 4, 4, 3, pixels.data(), 12);
        if (ext == "bmp") stbi_write_bmp(path.c_str(), 4, 4, 3, pixels.data());
        if (ext == "jpg") stbi_write_jpg(path.c_str(), 4, 4, 3, pixels.data(), 95);
        return sys::ProgramFolder() + "\\" + name;
    };
    forms::Form form("Pictures");
    form.SetBorder(forms::BorderStyle::None);
    form.SetBackColor(RGB(0, 0, 0));
    form.Move(0, 0, 4500, 1500);
    forms::Image image(form, "Image");
    image.SetStretch(true);
    image.SetPicture(write("red.png", 255, 0, 0));
    image.Move(0, 0, 1500, 1500);
    forms::PictureBox box(form, "Box");
    box.SetPicture(write("green.bmp", 0, 255, 0));
    box.Move(1500, 0, 1500, 1500);
    forms::Button button(form, "Button");
    button.SetGraphical(true);
    button.SetPicture(write("blue.jpg", 0, 0, 255));
    button.Move(3000, 0, 1500, 1500);
    forms::Image missing(form, "Missing");
    missing.SetStretch(true);
    missing.SetPicture(sys::ProgramFolder() + "\\none.png");
    missing.Move(0, 0, 4500, 300);  // over the others' top rows: draws nothing
    ShowMain(form);

    std::vector<unsigned char> rgba;
    int w = 0, h = 0;
    ASSERT_TRUE(host->Capture(rgba, w, h));
    ASSERT_EQ(w, 300);
    const auto at = [&](int x, int y) {
        const unsigned char* p = &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    // The stretched picture fills its control; a picture box shows its picture at its
    // own size from the top left; a picture button shows its picture as its face.
    EXPECT_EQ(at(50, 50), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(at(50, 5), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(at(102, 2), (std::array<int, 3>{0, 255, 0}));
    EXPECT_NE(at(150, 50), (std::array<int, 3>{0, 255, 0}));
    const auto face = at(250, 50);
    EXPECT_LT(face[0], 30);
    EXPECT_GT(face[2], 220);
}

// A hint shows once the pointer rests, under the control it is about and never over
// that control's row, where the words naming it stand (the difficulty dialog's level
// names beside their buttons).
TEST_F(FormsHostTest, HintStandsClearOfTheControlItIsAbout) {
    TestForm form;
    form.Option(0).SetToolTipText("The first of two choices");
    ShowMain(form);
    const auto r = host->WhereDrawn(form.Option(0));
    ASSERT_TRUE(r);
    Mouse(SDL_MOUSEMOTION, r->x + 6, r->CentreY());
    const auto until = Clock::now() + std::chrono::milliseconds(900);
    while (Clock::now() < until)
        Frames(1);
    Frames(3);

    std::vector<unsigned char> rgba;
    int w = 0, h = 0;
    ASSERT_TRUE(host->Capture(rgba, w, h));
    int top = h, inRow = 0;  // the hint's pale yellow: its first row, and pixels beside the control
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
            if (p[0] != 255 || p[1] != 255 || p[2] != 224) continue;
            top = std::min(top, y);
            inRow += y >= r->y && y < r->y + r->h;
        }
    ASSERT_LT(top, h) << "no hint shown";
    EXPECT_EQ(inRow, 0);
    EXPECT_GE(top, r->y + r->h);
    EXPECT_LE(top, r->CentreY() + 24) << "the hint stands far from the pointer";
}

// Graphical option buttons (the difficulty dialog's small blue ones): the chosen one
// is marked plainly in its middle, not by a bevel alone; the others keep their face.
TEST_F(FormsHostTest, ChosenGraphicalOptionIsPlain) {
    TestForm form;
    for (int i = 0; i < 2; ++i) {
        form.Option(i).SetCaption("");
        form.Option(i).SetGraphical(true);
        form.Option(i).SetBackColor(RGB(0, 0, 255));
        form.Option(i).Move(240, 1320 + 420 * i, 375, 255);
    }
    ShowMain(form);
    std::vector<unsigned char> rgba;
    int w = 0, h = 0;
    ASSERT_TRUE(host->Capture(rgba, w, h));
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const auto r = host->WhereDrawn(form.Option(i));
        ASSERT_TRUE(r);
        const unsigned char* mid = &rgba[(size_t(r->CentreY()) * size_t(w) + size_t(r->CentreX())) * 4];
        if (form.Option(i).Value())
            EXPECT_GT(mid[0] + mid[1] + mid[2], 3 * 200) << "no mark on the chosen button";
        else
            EXPECT_TRUE(mid[0] < 40 && mid[1] < 40 && mid[2] > 200) << "the plain face is not blue";
    }
}

TEST_F(FormsHostTest, KeysWorkAsOnWindows) {
    struct Case {
        const char* what;
        std::function<void(TestForm&)> focus;
        SDL_Keycode key;
        Uint16 mod;
        std::function<void(TestForm&)> check;
    };
    const Case cases[] = {
        {"Enter presses the default button", [](TestForm& f) { f.Check.SetFocus(); }, SDLK_RETURN, KMOD_NONE,
         [](TestForm& f) { EXPECT_EQ(f.goClicks, 1); }},
        {"Enter presses the focused button", [](TestForm& f) { f.Stop.SetFocus(); }, SDLK_KP_ENTER, KMOD_NONE,
         [](TestForm& f) {
             EXPECT_EQ(f.stopClicks, 1);
             EXPECT_EQ(f.goClicks, 0);
         }},
        {"Escape presses the cancel button", [](TestForm& f) { f.Go.SetFocus(); }, SDLK_ESCAPE, KMOD_NONE,
         [](TestForm& f) {
             EXPECT_EQ(f.stopClicks, 1);
             EXPECT_EQ(f.goClicks, 0);
         }},
        {"Tab moves on", [](TestForm& f) { f.Go.SetFocus(); }, SDLK_TAB, KMOD_NONE,
         [](TestForm& f) { EXPECT_TRUE(f.Stop.HasFocus()); }},
        {"Shift+Tab moves back", [](TestForm& f) { f.Stop.SetFocus(); }, SDLK_TAB, KMOD_LSHIFT,
         [](TestForm& f) { EXPECT_TRUE(f.Go.HasFocus()); }},
        {"arrows step a slider", [](TestForm& f) { f.Level.SetFocus(); }, SDLK_RIGHT, KMOD_NONE,
         [](TestForm& f) { EXPECT_EQ(f.Level.Value(), 3); }},
        {"Page Down steps a slider far", [](TestForm& f) { f.Level.SetFocus(); }, SDLK_PAGEDOWN, KMOD_NONE,
         [](TestForm& f) { EXPECT_EQ(f.Level.Value(), 5); }},
        {"Space ticks a check box", [](TestForm& f) { f.Check.SetFocus(); }, SDLK_SPACE, KMOD_NONE,
         [](TestForm& f) {
             EXPECT_EQ(f.Check.Value(), 1);
             EXPECT_EQ(f.goClicks, 0);
         }},
        {"Down picks the next entry", [](TestForm& f) { f.Choice.SetFocus(); }, SDLK_DOWN, KMOD_NONE,
         [](TestForm& f) { EXPECT_EQ(f.Choice.ListIndex(), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestForm form;
        ShowMain(form);
        c.focus(form);
        Key(c.key, c.mod);
        Frames(2);
        c.check(form);
    }
}

TEST_F(FormsHostTest, ModalFormTakesInputFromTheOthers) {
    TestForm form;
    Dialog dialog;
    ShowMain(form);
    form.Go.Click = [&] {
        ++form.goClicks;
        dialog.Show(forms::ShowMode::Modal, &form);
    };
    // Inside the dialog's own loop: a click on the form under it and a key meant for it
    // must not reach it; then the dialog's own button closes it.
    int step = 0, waited = 0;
    int goWhileOpen = -1, stopWhileOpen = -1;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    sys::SetIdleHook([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (Clock::now() > deadline) throw std::runtime_error("the dialog script stalled");
        if (step == 0 && host->WhereDrawn(dialog.Ok)) {
            const auto under = host->WhereDrawn(form.Stop);
            ClickAt(under->CentreX(), under->CentreY());
            Key(SDLK_ESCAPE);
            step = 1, waited = host->Frames();
        } else if (step == 1 && host->Frames() >= waited + 4) {
            goWhileOpen = form.goClicks, stopWhileOpen = form.stopClicks;
            EXPECT_TRUE(dialog.Visible());
            const auto ok = host->WhereDrawn(dialog.Ok);
            ClickAt(ok->CentreX(), ok->CentreY());
            step = 2;
        }
    });
    Click(form.Go);
    sys::SetIdleHook(nullptr);
    EXPECT_EQ(step, 2);
    EXPECT_EQ(goWhileOpen, 1);
    EXPECT_EQ(stopWhileOpen, 0);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(form.Active());
}

TEST_F(FormsHostTest, LaunchPadLooksLikeOne) {
    TempFolder folder, config;
    UseAsProgramFolder(folder);
    setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
    MakerSite = "http://127.0.0.1:9";  // nothing listens there: the check fails at once
    // The tip would stand beside the launch pad, past the offscreen surface's width.
    SaveTipsAtStartup(0);
    ShowMain(VeltorInitial);

    std::vector<unsigned char> rgba;
    int w = 0, h = 0;
    ASSERT_TRUE(host->Capture(rgba, w, h));
    EXPECT_EQ(w, 514);
    EXPECT_GT(h, 385);
    EXPECT_STREQ(SDL_GetWindowTitle(sdl::Window()), "Veltor - Launch Pad");
    std::set<std::uint32_t> colours;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        colours.insert(std::uint32_t(rgba[i]) | std::uint32_t(rgba[i + 1]) << 8 |
                       std::uint32_t(rgba[i + 2]) << 16);
    EXPECT_GT(colours.size(), 4u) << "the launch pad drew next to nothing";
    // The caption bar of the active launch pad is dark blue; its client area black.
    const auto at = [&](int x, int y) { return &rgba[(size_t(y) * size_t(w) + size_t(x)) * 4]; };
    EXPECT_LT(at(w - 10, 4)[0], 40);
    EXPECT_GT(at(w - 10, 4)[2], 100);
    EXPECT_LT(at(w / 2, h / 4)[0] + at(w / 2, h / 4)[1] + at(w / 2, h / 4)[2], 30);
}

// A dialog that a main form shows while it loads (the tip of the day) is drawn whole on
// its own, never over an empty window of the main form's size; once the main form is
// up, both are on screen.
TEST_F(FormsHostTest, DialogShownWhileTheMainFormLoadsIsNotDrawnOverAnEmptyWindow) {
    struct Starter : forms::Form {
        Starter() : Form("Starter") {
            SetCaption("Starter");
            SetBorder(forms::BorderStyle::FixedDialog);
            SetStartPosition(forms::StartUpPosition::CenterScreen);
            Move(0, 0, 7710, 5775);
        }
        void Form_Load() override { loading(); }
        std::function<void()> loading;
    } starter;
    Dialog dialog;
    // Pixels of the colour shown where no form is.
    const auto bare = [](const std::vector<unsigned char>& rgba) {
        int n = 0;
        for (size_t i = 0; i + 3 < rgba.size(); i += 4)
            n += rgba[i] == 58 && rgba[i + 1] == 110 && rgba[i + 2] == 165;
        return n;
    };
    std::vector<unsigned char> rgba;
    int w = 0, h = 0, bareWhileLoading = -1;
    starter.loading = [&] {
        dialog.Show();
        ASSERT_TRUE(host->Capture(rgba, w, h));
        bareWhileLoading = bare(rgba);
    };
    ShowMain(starter);
    EXPECT_EQ(bareWhileLoading, 0);
    ASSERT_TRUE(host->Capture(rgba, w, h));
    EXPECT_EQ(w, 514);
    EXPECT_EQ(bare(rgba), 0);
    EXPECT_TRUE(host->WhereDrawn(dialog));
    EXPECT_TRUE(host->WhereDrawn(starter));
}

// The launch pad's dialogs, each whole in the window whatever its size, compared with
// a golden picture at the size its form gives.
TEST_F(FormsHostTest, DialogsShowWholeAndReadable) {
    TempFolder folder, config;
    UseAsProgramFolder(folder);
    setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
    MakerSite = "http://127.0.0.1:9";  // nothing listens there: the check fails at once
    // The tip would stand beside the launch pad, past the offscreen surface's width.
    SaveTipsAtStartup(0);
    ShowMain(VeltorInitial);
    const struct {
        const char* golden;
        forms::Form& form;
        int width, height;
        bool detailHidden;  // as the 3D menu shows the options: the note under the slider shows
    } dialogs[] = {
        {"options_dialog", Options, 512, 384, false},
        {"options_dialog_in_game", Options, 512, 384, true},
        {"difficulty_dialog", InitialLevel, 264, 406, false},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.golden);
        Options.Graphics.SetVisible(!d.detailHidden);
        ASSERT_TRUE(d.form.Show());
        Frames(3);
        std::vector<unsigned char> rgba;
        int w = 0, h = 0;
        ASSERT_TRUE(host->Capture(rgba, w, h));
        const auto r = host->WhereDrawn(d.form);
        ASSERT_TRUE(r);
        EXPECT_GE(r->w, d.width);
        EXPECT_GE(r->h, d.height);
        ASSERT_GE(r->x, 0);
        ASSERT_GE(r->y, 0);
        ASSERT_LE(r->x + r->w, w) << "cut off on the right";
        ASSERT_LE(r->y + r->h, h) << "cut off at the bottom";
        std::vector<unsigned char> part(std::size_t(r->w) * std::size_t(r->h) * 4);
        for (int y = 0; y < r->h; ++y)
            std::copy_n(&rgba[(std::size_t(r->y + y) * std::size_t(w) + std::size_t(r->x)) * 4],
                        std::size_t(r->w) * 4, &part[std::size_t(y) * std::size_t(r->w) * 4]);
        ExpectGolden(
            std::string(QUORVEL_SOURCE_DIR) + "/tests/platform/sdl/forms/golden/" + d.golden + ".png", r->w,
            r->h, part);
        d.form.Hide();
        Frames(2);
    }
}

TEST_F(FormsHostTest, DialogOverTheEngineShowsThePointerWhileOpen) {
    TestForm pad;
    ShowMain(pad);
    forms::Form renderForm("Render");
    renderForm.SetCaption("Render");
    EngineDisplayModes modes;
    modes.Enumerate();
    int mode = -1;
    for (int i = 0; i < modes.GetModeCount(0); ++i) {
        int w = 0, h = 0, d = 0;
        modes.GetMode(0, i, w, h, d);
        if (w == 640 && h == 480 && d == 32) mode = i;
    }
    ASSERT_GE(mode, 0);
    EngineCore core;
    core.SelectDisplayMode(0, mode);
    core.AttachWindow(std::uintptr_t(renderForm.Handle()));
    ASSERT_GE(core.StartEngine(0), 0);
    forms::ShowCursor(false);
    sys::PumpMessages();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_STREQ(SDL_GetWindowTitle(sdl::Window()), "Render");

    Dialog dialog;
    dialog.SetTopmost(true);
    bool drawn = false, padDrawn = true;
    int pointer = -1, width = 0, height = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    sys::SetIdleHook([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (Clock::now() > deadline) throw std::runtime_error("the dialog script stalled");
        if (!drawn && host->WhereDrawn(dialog.Ok)) {
            drawn = true;
            padDrawn = host->WhereDrawn(pad).has_value();
            pointer = SDL_ShowCursor(SDL_QUERY);
            SDL_GetWindowSize(sdl::Window(), &width, &height);
            Key(SDLK_RETURN);
        }
    });
    dialog.Show(forms::ShowMode::Modal);
    sys::SetIdleHook(nullptr);
    EXPECT_TRUE(drawn);
    EXPECT_FALSE(padDrawn) << "a form under the render window showed over the 3D view";
    EXPECT_EQ(pointer, SDL_ENABLE);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_FALSE(dialog.Visible());
    sys::PumpMessages();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

}  // namespace
}  // namespace quorvel::test
