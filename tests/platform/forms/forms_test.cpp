#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/null_host.h"
#include "platform/system/clock.h"
#include "platform/system/process.h"
#include "platform/forms/shell_recorder.h"

namespace quorvel::forms {
namespace {

// A small dialog that records what happens to it.
class Dialog : public Form {
  public:
    explicit Dialog(std::string name = "Dialog") : Form(std::move(name)) {
        Ok.SetCaption("OK");
        Ok.SetDefault(true);
        Close.SetCaption("Close");
        Close.SetCancel(true);
        Note.SetCaption("note");
        Ok.Click = [this] { log.push_back("Ok"); };
        Close.Click = [this] {
            log.push_back("Close");
            Hide();
        };
        Entry.KeyPress = [this](int& ascii) { log.push_back("Entry key " + std::to_string(ascii)); };
    }
    std::vector<std::string> log;
    int loads = 0, activations = 0;
    bool unloadInLoad = false, refuseUnload = false;

    Label Note{*this, "Note"};
    TextBox Entry{*this, "Entry"};
    Button Ok{*this, "Ok"};
    Button Close{*this, "Close"};

  protected:
    void Form_Load() override {
        ++loads;
        if (unloadInLoad) Unload();
    }
    void Form_Activate() override { ++activations; }
    void Form_Unload(int& cancel) override { cancel = refuseUnload ? 1 : 0; }
};

class Forms : public ::testing::Test {
  protected:
    void SetUp() override {
        sys::UseVirtualClock(0.0);
        sys::SetEndThrows(true);
    }
    NullHost host;
};

TEST_F(Forms, ModalShowWaitsInItsOwnLoopAndBlocksTheOwner) {
    Dialog owner("Owner"), dialog;
    owner.Show();
    EXPECT_EQ(owner.activations, 1);

    bool ownerReachable = true;
    host.When([&] { return dialog.Visible(); },
              [&] {
                  ownerReachable = host.Click(owner.Ok);
                  EXPECT_TRUE(dialog.Active());
                  EXPECT_TRUE(dialog.Modal());
              });
    host.Then([&] { host.Type("hi"); });
    host.Then([&] { EXPECT_TRUE(host.PressKey(keys::Escape)); });
    const double before = sys::MonotonicSeconds();
    EXPECT_TRUE(dialog.Show(ShowMode::Modal, &owner));

    EXPECT_FALSE(ownerReachable);
    EXPECT_TRUE(owner.log.empty());
    EXPECT_EQ(dialog.Entry.Text(), "hi");
    EXPECT_EQ(dialog.log.back(), "Close");
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(host.ScriptDone());
    // The loop waited by the clock rather than spinning, and the owner is active again.
    EXPECT_GT(sys::MonotonicSeconds(), before);
    EXPECT_TRUE(owner.Active());
    EXPECT_EQ(owner.activations, 2);
    EXPECT_TRUE(ModalForms().empty());
    EXPECT_TRUE(host.Click(owner.Ok));
}

TEST_F(Forms, ModalFormThatNothingClosesStopsTheTestInsteadOfHanging) {
    Dialog dialog;
    host.SetStallLimit(50);
    EXPECT_THROW(dialog.Show(ShowMode::Modal), ModalStall);
    EXPECT_TRUE(ModalForms().empty());
}

TEST_F(Forms, LoadUnloadAndShowingAgain) {
    Dialog dialog;
    dialog.unloadInLoad = true;
    EXPECT_FALSE(dialog.Show());  // unloaded itself while loading
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.Loaded());

    dialog.unloadInLoad = false;
    EXPECT_TRUE(dialog.Show());
    dialog.Entry.SetText("kept");
    dialog.Hide();
    EXPECT_TRUE(dialog.Show());
    EXPECT_EQ(dialog.loads, 2);  // hiding does not unload

    dialog.refuseUnload = true;
    EXPECT_FALSE(dialog.Unload());
    EXPECT_TRUE(dialog.Visible());
    dialog.refuseUnload = false;
    EXPECT_TRUE(dialog.Unload());
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(dialog.Load());
    EXPECT_EQ(dialog.loads, 3);
    EXPECT_EQ(dialog.Entry.Text(), "kept");

    // A form on screen cannot turn modal.
    dialog.Show();
    EXPECT_FALSE(dialog.Show(ShowMode::Modal));
}

TEST_F(Forms, KeyboardMovesFocusAndPressesDefaultAndCancelButtons) {
    Dialog dialog;
    dialog.Show();
    ASSERT_TRUE(dialog.Entry.HasFocus());  // the label takes no focus

    host.PressKey(keys::Return);  // Enter in a text box presses the default button
    EXPECT_EQ(dialog.log, std::vector<std::string>{"Ok"});

    host.PressKey(keys::Tab);
    host.PressKey(keys::Tab);
    EXPECT_TRUE(dialog.Close.HasFocus());
    host.PressKey(keys::Return);  // Enter on a button presses that button
    EXPECT_EQ(dialog.log.back(), "Close");
    EXPECT_FALSE(dialog.Visible());

    dialog.Show();
    dialog.Ok.SetVisible(false);  // hidden controls are skipped and cannot be pressed
    dialog.Entry.SetFocus();
    host.PressKey(keys::Tab);
    EXPECT_TRUE(dialog.Close.HasFocus());
    host.PressKey(keys::Tab, keys::ShiftMask);
    EXPECT_TRUE(dialog.Entry.HasFocus());
    dialog.log.clear();
    host.PressKey(keys::Return);
    EXPECT_EQ(dialog.log, std::vector<std::string>{"Entry key 13"});
    EXPECT_FALSE(host.Click(dialog.Ok));

    // Without a cancel button, Escape reaches the focused control.
    dialog.Close.SetCancel(false);
    host.PressKey(keys::Escape);
    EXPECT_EQ(dialog.log.back(), "Entry key 27");
    EXPECT_TRUE(dialog.Visible());
}

// A form without controls that take the focus gets the keys itself.
class Splash : public Form {
  public:
    Splash() : Form("Splash") {}
    Label Text{*this, "Text"};
    std::vector<int> keys;

  protected:
    void Form_KeyPress(int& ascii) override { keys.push_back(ascii); }
};

TEST_F(Forms, FormWithoutFocusableControlsGetsKeyPress) {
    Splash splash;
    splash.Show();
    host.PressKey('Q');
    host.PressKey('Q', keys::ShiftMask);
    host.PressKey(keys::Left);  // no character
    EXPECT_EQ(splash.keys, (std::vector<int>{'q', 'Q'}));
}

TEST_F(Forms, ValuesSetInCodeFireTheirEventsOnChangeAndRejectWhatTheControlCannotHold) {
    Dialog form;
    Slider slider{form, "Slider"};
    CheckBox check{form, "Check"};
    ComboBox combo{form, "Combo"};
    std::vector<std::string> events;
    slider.SetRange(3, 23);
    slider.SetValue(13);
    slider.Change = [&] { events.push_back("slider " + std::to_string(slider.Value())); };
    check.Click = [&] { events.push_back("check " + std::to_string(check.Value())); };
    combo.Click = [&] { events.push_back("combo " + std::to_string(combo.ListIndex())); };
    combo.AddItem("a");
    combo.AddItem("b");

    EXPECT_FALSE(slider.SetValue(2));
    EXPECT_FALSE(slider.SetValue(24));
    EXPECT_TRUE(slider.SetValue(13));  // same value: no event
    EXPECT_TRUE(slider.SetValue(23));
    EXPECT_FALSE(check.SetValue(3));
    EXPECT_FALSE(check.SetValue(-1));
    EXPECT_TRUE(check.SetValue(1));
    EXPECT_TRUE(check.SetValue(1));
    EXPECT_FALSE(combo.SetListIndex(2));
    EXPECT_FALSE(combo.SetListIndex(-2));
    EXPECT_TRUE(combo.SetListIndex(1));
    EXPECT_EQ(combo.Text(), "b");
    combo.Clear();
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(combo.Text(), "");

    EXPECT_EQ(events, (std::vector<std::string>{"slider 23", "check 1", "combo 1"}));
    EXPECT_EQ(slider.Value(), 23);
}

TEST_F(Forms, PlayerMovesSliderBySmallAndLargeStepsWithinItsRange) {
    Dialog form;
    Slider slider{form, "Slider"};
    slider.SetRange(1, 20);
    slider.SetSteps(1, 5);
    slider.SetValue(10);
    int scrolls = 0;
    slider.Scroll = [&] { ++scrolls; };
    form.Show();
    slider.SetFocus();

    struct Case {
        int key;
        int expected;
    };
    const Case cases[] = {{keys::Right, 11},    {keys::Left, 10},     {keys::PageDown, 15},
                          {keys::PageDown, 20}, {keys::PageDown, 20}, {keys::PageUp, 15},
                          {keys::Home, 1},      {keys::Left, 1},      {keys::End, 20}};
    for (const Case& c : cases) {
        host.PressKey(c.key);
        EXPECT_EQ(slider.Value(), c.expected) << "key " << c.key;
    }
    EXPECT_TRUE(host.Slide(slider, 99));
    EXPECT_EQ(slider.Value(), 20);
    EXPECT_TRUE(host.Slide(slider, 4));
    EXPECT_EQ(scrolls, 8);  // one per actual move
}

TEST_F(Forms, OptionButtonsOfAGroupAreExclusive) {
    Dialog form;
    PictureBox panel{form, "Panel"};
    OptionButton a{form, "A"}, b{form, "B"}, other{form, "Other"};
    other.SetContainer(panel);
    int clicks = 0;
    b.Click = [&] { ++clicks; };
    a.SetValue(true);
    other.SetValue(true);
    b.SetValue(true);
    EXPECT_FALSE(a.Value());
    EXPECT_TRUE(b.Value());
    EXPECT_TRUE(other.Value());  // another container is another group
    form.Show();
    EXPECT_TRUE(host.Click(a));
    EXPECT_TRUE(a.Value());
    EXPECT_FALSE(b.Value());
    EXPECT_EQ(clicks, 1);
    panel.SetVisible(false);
    EXPECT_FALSE(host.Click(other));  // inside a hidden panel
}

TEST_F(Forms, TimersFireFromThePumpByTheClock) {
    Dialog form;
    Timer timer{form, "Timer"};
    timer.SetInterval(50);
    int ticks = 0;
    timer.Tick = [&] { ++ticks; };

    sys::AdvanceVirtualClock(1.0);
    sys::PumpMessages();
    EXPECT_EQ(ticks, 0);  // the form is not loaded

    form.Load();
    sys::AdvanceVirtualClock(0.049);
    sys::PumpMessages();
    EXPECT_EQ(ticks, 0);
    sys::AdvanceVirtualClock(0.001);
    sys::PumpMessages();
    EXPECT_EQ(ticks, 1);
    sys::AdvanceVirtualClock(10.0);  // a late pump gives one tick, not a burst
    sys::PumpMessages();
    sys::PumpMessages();
    EXPECT_EQ(ticks, 2);

    // A tick that opens a modal form is not fired again by that form's loop.
    Dialog modal("Modal");
    int nested = 0;
    timer.Tick = [&] {
        ++nested;
        host.When([&] { return sys::MonotonicSeconds() > 12.0; }, [&] { modal.Hide(); });
        modal.Show(ShowMode::Modal);
    };
    sys::AdvanceVirtualClock(0.05);
    sys::PumpMessages();
    EXPECT_EQ(nested, 1);

    timer.SetEnabled(false);
    sys::AdvanceVirtualClock(1.0);
    sys::PumpMessages();
    form.Unload();
    timer.SetEnabled(true);
    sys::AdvanceVirtualClock(1.0);
    sys::PumpMessages();
    EXPECT_EQ(nested, 1);
}

TEST_F(Forms, WebBrowserKeepsHistoryAndOpensEachAddressInTheUsersBrowser) {
    test::ShellRecorder shell;
    Dialog form;
    WebBrowser browser{form, "Browser"};
    std::vector<std::string> reached;
    int downloads = 0;
    browser.NavigateComplete2 = [&](const std::string& a) { reached.push_back(a); };
    browser.DownloadComplete = [&] { ++downloads; };

    browser.Navigate("http://a.invalid/");
    EXPECT_TRUE(browser.Busy());
    EXPECT_TRUE(reached.empty());  // completion comes from the message pump
    sys::PumpMessages();
    EXPECT_FALSE(browser.Busy());
    ASSERT_EQ(shell.Opened(1).size(), 1u);
    browser.Navigate("http://b.invalid/");
    shell.Opened(2);
    browser.Navigate("http://c.invalid/");
    shell.Opened(3);
    browser.GoBack();
    shell.Opened(4);
    browser.GoBack();
    shell.Opened(5);
    browser.GoBack();  // nothing further back
    EXPECT_EQ(browser.LocationURL(), "http://a.invalid/");
    browser.GoForward();
    shell.Opened(6);
    browser.Navigate("http://d.invalid/");  // drops what lay ahead
    EXPECT_EQ(browser.History(),
              (std::vector<std::string>{"http://a.invalid/", "http://b.invalid/", "http://d.invalid/"}));
    browser.GoForward();
    EXPECT_EQ(browser.LocationName(), "http://d.invalid/");
    sys::PumpMessages();

    EXPECT_EQ(shell.Opened(7),
              (std::vector<std::string>{"http://a.invalid/", "http://b.invalid/", "http://c.invalid/",
                                        "http://b.invalid/", "http://a.invalid/", "http://b.invalid/",
                                        "http://d.invalid/"}));
    // Only the latest navigation of a burst completes; Stop cancels one in flight.
    EXPECT_EQ(reached, (std::vector<std::string>{"http://a.invalid/", "http://d.invalid/"}));
    browser.Navigate("http://e.invalid/");
    browser.Stop();
    sys::PumpMessages();
    EXPECT_FALSE(browser.Busy());
    EXPECT_EQ(downloads, 2);
}

TEST_F(Forms, ScreenCentringAndCursorCount) {
    host.SetScreen(1024, 768);
    Dialog form, owned("Owned");
    form.SetStartPosition(StartUpPosition::CenterScreen);
    form.Move(0, 0, 7680, 5760);
    form.Show();
    EXPECT_EQ(form.Left(), (15360 - 7680) / 2);
    EXPECT_EQ(form.Top(), (11520 - 5760) / 2);
    owned.SetStartPosition(StartUpPosition::CenterOwner);
    owned.Move(0, 0, 3960, 6090);
    owned.Show(ShowMode::Modeless, &form);
    EXPECT_EQ(owned.Left(), form.Left() + (7680 - 3960) / 2);

    EXPECT_TRUE(CursorVisible());
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_FALSE(CursorVisible());
    EXPECT_EQ(ShowCursor(true), 0);
    EXPECT_TRUE(CursorVisible());
}

}  // namespace
}  // namespace quorvel::forms
