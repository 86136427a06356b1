// The main menu and the load-game screen, played through as a player would: the
// headless harness gives the frames, the clock and the input, the null forms host
// the dialogs.

#include "shell/main_menu.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/play_level.h"
#include "platform/engine/engine.h"
#include "platform/engine/scancodes.h"
#include "platform/forms/forms.h"
#include "platform/forms/null_host.h"
#include "platform/system/clock.h"
#include "platform/system/convert.h"
#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"
#include "shell/difficulty.h"
#include "common/engine_objects.h"
#include "game/save_file.h"
#include "game/state.h"
#include "shell/launch_pad.h"
#include "shell/load_game.h"
#include "shell/maker.h"
#include "shell/menu/menu_content.h"
#include "common/options.h"
#include "common/texts.h"
#include "shell/tip.h"
#include "support/harness.h"
#include "support/scenarios.h"

namespace quorvel {
namespace {

class MainMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteMenuContent(folder);
        test::UseAsProgramFolder(folder);
        setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);
        MakerSite = "http://127.0.0.1:9";  // nothing listens there: the version check fails at once
        sys::SeedRandom(7);
    }

    // A harness step for the game run's start: what it took over is recorded and the
    // program ends there. The menu's content holds no level, so the level's own files
    // are declared missing.
    std::function<void()> TakeRun() {
        return [this] {
            played = PlayLevelArgs{Campaign.StartingLevel, Campaign.OwnsIon,      Campaign.OwnsMion,
                                   Campaign.OwnsEplas,     Campaign.OwnsDisperse, Campaign.OwnsGamma,
                                   Campaign.Money,         Campaign.OwnsGravBeam, Arsenal.CapacityLevel};
            h.ExpectFailedLoad(folder.str());
            sys::EndProcess(0);
        };
    }

    // The pointer moves to (x, y) in screen pixels as the frame begins.
    void MoveTo(int frame, int x, int y) {
        h.MouseMove(frame, x - px, y - py);
        px = x;
        py = y;
    }
    void Click(int frame) { h.MouseClick(frame, 0, 1); }
    // The same from a harness step, as the current frame begins.
    std::function<void()> MoveNow(int x, int y) {
        return [this, x, y] { MoveTo(h.Frame(), x, y); };
    }
    void ClickNow() { Click(h.Frame()); }

    // Screen y of a main-menu item's middle on a 1280 x 1024 screen (menu picture
    // space is the screen shifted by (384, 256)).
    static int ItemY(int item) {
        constexpr int middles[] = {287, 322, 360, 397, 435, 473};
        return middles[item - 1] + 256;
    }
    static constexpr int ItemX = 584;

    int ClicksPlayed() {
        int n = 0;
        for (const std::string& path : h.Audio().Played())
            n += path.ends_with("menuselect.wav");
        return n;
    }
    Vector MeshPosition(const char* key) const {
        const auto* m = h.Scene().meshes.Find(key);
        return m ? m->place.position : Vector{};
    }
    bool ListOnScreen() const {
        for (const std::string& text : LastTexts())
            if (text.starts_with("Press number")) return true;
        return false;
    }
    std::vector<std::string> LastTexts() const {
        std::vector<std::string> texts;
        for (const auto& call : h.LastQueue())
            if (call.kind == engine::Draw2DCall::Kind::Text) texts.push_back(call.text);
        return texts;
    }

    test::TempFolder folder;
    test::TempFolder config;
    forms::NullHost host;
    test::Harness h{1280, 1024};
    std::optional<PlayLevelArgs> played;
    int px = 640, py = 512;  // the engine starts the pointer in the screen's middle
};

double Moved(const Vector& a, const Vector& b) {
    return Distance(a, b);
}

TEST_F(MainMenuTest, PlayerGoesFromTheLaunchPadThroughTheMenuIntoASavedGame) {
    ASSERT_TRUE(WriteSaveSlot(5, {.level = 12,
                                  .ownsIon = true,
                                  .ownsEplas = true,
                                  .ownsGamma = true,
                                  .money = 123456.75,
                                  .ownsGravBeam = true,
                                  .capacityLevel = 3}));
    folder.Write("VeltorSave2.vlx", "");  // never saved
    ASSERT_TRUE(WriteSaveSlot(7, {.level = 77,
                                  .ownsIon = true,
                                  .ownsMion = true,
                                  .ownsEplas = true,
                                  .ownsDisperse = true,
                                  .ownsGamma = true,
                                  .money = 5,
                                  .ownsGravBeam = true,
                                  .capacityLevel = 2}));  // damaged: no such level
    folder.Write("screenshot/Snap1.jpg", "older picture");

    // Frames after an accepted click before the menu takes the next one (it waits
    // 100 units at 2 a frame), with room to spare.
    constexpr int Rested = 70;
    auto click = [this] { ClickNow(); };

    // ---- Logos: the engine's logo, then the maker's, with their waits.
    std::string firstLogo, secondLogo;
    double logoShown = 0, menuStart = 0;
    double f1 = 0;
    h.When([this] { return h.Scene().images.Find("logo") != nullptr; },
           [&] { firstLogo = h.ImageTexture("logo"); })  // its own picture: no texture
        .After(1,
               [&] {
                   secondLogo = h.ImageTexture("logo");
                   logoShown = sys::WallClock();
               })
        .When(test::InMainMenu, [&] {
            menuStart = sys::WallClock();
            f1 = EngineTimer().GetFrameFactor(1);
        });

    // ---- The scene on its timeline. T counts from the loop's start, to the second.
    auto setT = [&](double t) {
        return [&, t] { sys::AdvanceVirtualClock(sys::RoundHalfEven(menuStart) + t - sys::WallClock()); };
    };
    struct Snapshot {
        Vector back1, mshell, camera;
        bool mshellVisible = true;
    };
    std::vector<Snapshot> snaps;
    auto snap = [&] {
        EngineCameras cams;
        cams.SelectCameraById(0);
        const auto* ms = h.Scene().meshes.Find("mshell");
        snaps.push_back(
            {MeshPosition("back1"), MeshPosition("mshell"), cams.GetCameraPosition(), ms && ms->visible});
    };
    // Pairs of snapshots 60 frames apart (at f = 1): early, T in 47..48, in 60..61,
    // and past 250.
    h.After(10, snap).After(60, snap);
    for (double t : {47.0, 60.0, 251.0})
        h.After(10, setT(t)).After(10, snap).After(60, snap);

    // ---- Hover and click every item.
    std::vector<int> clicks;
    std::vector<std::string> pointer;
    auto note = [&] {
        clicks.push_back(ClicksPlayed());
        pointer.push_back(h.ImageTexture("mouse"));
    };
    h.After(10, MoveNow(ItemX, ItemY(1)))
        .After(2, note)                       // 0: over New Game
        .After(2, MoveNow(ItemX, 256 + 305))  // between items 1 and 2
        .After(2, note)                       // 1
        .After(2, MoveNow(ItemX, ItemY(2)))
        .After(1, MoveNow(ItemX, 256 + 340))  // between items 2 and 3
        .After(1, MoveNow(ItemX, ItemY(3)))
        .After(1, note);  // 2: two more hover sounds

    // Options: the dialog over the 3D view, modal.
    bool optionsSeen = false, pointerShownInDialog = false, sliderShownInDialog = true;
    bool pointerHiddenAfter = false;
    h.After(1,
            [&] {
                ClickNow();
                host.When([] { return Options.Visible(); },
                          [&] {
                              optionsSeen = true;
                              pointerShownInDialog = forms::CursorVisible();
                              sliderShownInDialog = Options.Graphics.Visible();
                              host.Click(Options.Command1);
                          });
            })
        .When([&] { return optionsSeen && !Options.Visible(); },
              [&] { pointerHiddenAfter = !forms::CursorVisible(); });

    // The two overlays, by item and by a click outside every item.
    std::vector<std::string> picture;
    auto notePicture = [&] { picture.push_back(h.ImageTexture("menu")); };
    h.After(Rested, MoveNow(ItemX, ItemY(4)))
        .After(2, click)
        .After(2, notePicture)               // 0: keyboard overlay
        .After(2, MoveNow(ItemX, ItemY(5)))  // under the overlay: selected once it closes
        .After(Rested, click)
        .After(2, notePicture)  // 1
        .After(Rested, click)
        .After(2, notePicture)  // 2: second overlay
        .After(Rested, click)
        .After(2, notePicture)        // 3
        .After(2, MoveNow(200, 900))  // outside every item: a click opens the keyboard overlay
        .After(Rested, click)
        .After(10, click)       // too soon after the last one: ignored
        .After(2, notePicture)  // 4
        .After(Rested, click)
        .After(2, notePicture);  // 5

    // ---- Screenshots: P held for three frames.
    h.After(8, [&] { h.KeyPress(h.Frame(), key::P, 3); });

    // ---- Load Game: the slot list with a valid, an empty, a damaged and a missing slot.
    std::vector<std::string> listTexts;
    bool stillListing = false;
    auto press = [&](int scanCode) { return [&, scanCode] { h.KeyPress(h.Frame(), scanCode, 2); }; };
    h.After(10, MoveNow(ItemX, ItemY(2)))
        .After(2, click)
        .When([&] { return ListOnScreen(); },
              [&] {
                  listTexts = LastTexts();
                  press(key::D3)();  // missing file
              })
        .After(4, press(key::D2))                    // empty file
        .After(4, press(key::D7))                    // damaged
        .After(4, MoveNow(640, 512 - 220 + 40 + 9))  // row 2
        .After(2, click)                             // an empty row cannot be chosen either
        .After(4, [&] { stillListing = !played && h.ImageTexture("mouse") == "ms2"; })
        .After(2, press(key::D5))
        .When(test::GameRunStarted, TakeRun());
    h.EndAt(5000, 99);  // a run that gets stuck ends, and fails below

    const std::optional<int> ended = test::RunFromLaunchPad(h, host);
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(h.ConditionsDone());

    // Logos: the maker's logo came 3 to 4 seconds after the engine's.
    EXPECT_EQ(firstLogo, "");
    EXPECT_EQ(secondLogo, "narvo");
    EXPECT_GE(logoShown - 12 * 3600.0, 3.0);
    EXPECT_LE(logoShown - 12 * 3600.0, 4.0);
    EXPECT_GE(menuStart - logoShown, 2.3);

    // Timeline and orbit.
    ASSERT_EQ(snaps.size(), 8u);
    EXPECT_NEAR(Moved(snaps[0].back1, snaps[1].back1), 6 * 60, 0.05);
    EXPECT_NEAR(Moved(snaps[0].mshell, snaps[1].mshell), 2.7 * 60, 0.05);
    EXPECT_NEAR(Moved(snaps[2].back1, snaps[3].back1), 30 * 60, 0.2);
    EXPECT_NEAR(Moved(snaps[2].mshell, snaps[3].mshell), 2.7 * 60, 0.05);
    EXPECT_NEAR(Moved(snaps[4].back1, snaps[5].back1), 10 * 60, 0.2);
    EXPECT_NEAR(Moved(snaps[4].mshell, snaps[5].mshell), 120 * 60, 1);
    EXPECT_NEAR(Moved(snaps[6].back1, snaps[7].back1), 0, 1e-3);
    EXPECT_FALSE(snaps[7].mshellVisible);
    // The camera after the first 69 loop frames: f1 for the first (it measures the
    // logo wait), 1 for each of the others.
    const float a = float(std::fmod(0.4 * (f1 + 69), 360.0)) * 0.01745f;
    EXPECT_NEAR(snaps[1].camera.x, 250 * std::cos(a), 0.01);
    EXPECT_NEAR(snaps[1].camera.y, 50 * std::sin(a), 0.01);
    EXPECT_NEAR(snaps[1].camera.z, 40 * std::sin(a), 0.01);

    // Hover: one click sound on entering each item, the pointer lit over items.
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[1], clicks[0]);
    EXPECT_EQ(clicks[2], clicks[0] + 2);
    EXPECT_EQ(pointer, (std::vector<std::string>{"ms2", "ms1", "ms2"}));

    EXPECT_TRUE(pointerShownInDialog);
    EXPECT_FALSE(sliderShownInDialog);
    EXPECT_TRUE(pointerHiddenAfter);
    EXPECT_EQ(picture, (std::vector<std::string>{"menu4", "menu1", "menu5", "menu1", "menu4", "menu1"}));

    // Three new pictures around the older one, which stays as it was.
    for (const char* name : {"screenshot/Snap0.jpg", "screenshot/Snap2.jpg", "screenshot/Snap3.jpg"})
        EXPECT_FALSE(folder.Read(name).empty()) << name;
    EXPECT_EQ(folder.Read("screenshot/Snap1.jpg"), "older picture");
    EXPECT_TRUE(folder.Read("screenshot/Snap4.jpg").empty());

    // The list showed every slot, a damaged one apart from the empty ones.
    ASSERT_GE(listTexts.size(), 11u);
    EXPECT_EQ(listTexts[0], "Press number to load game:");
    EXPECT_EQ(listTexts[1], "0--Quick Save - empty");
    EXPECT_EQ(listTexts[3], "2--Save - empty");
    EXPECT_EQ(listTexts[6], "5--Save - Level:  12");
    EXPECT_EQ(listTexts[8], "7--Save - damaged");
    EXPECT_TRUE(stillListing);

    // The game run got slot 5's values, money before the gravity beam.
    ASSERT_TRUE(played.has_value());
    EXPECT_EQ(played->level, 12);
    EXPECT_TRUE(played->ownsIon);
    EXPECT_FALSE(played->ownsMion);
    EXPECT_TRUE(played->ownsEplas);
    EXPECT_FALSE(played->ownsDisperse);
    EXPECT_TRUE(played->ownsGamma);
    EXPECT_DOUBLE_EQ(played->money, 123456.75);
    EXPECT_TRUE(played->ownsGravBeam);
    EXPECT_EQ(played->capacityLevel, 3);

    // Listing and reading changed no file.
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "VeltorSave0.vlx"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "VeltorSave3.vlx"));
    EXPECT_EQ(folder.Read("VeltorSave2.vlx"), "");
}

// The failed-load check on a real run: with the menu's picture under another name
// the run fails, naming the file.
TEST_F(MainMenuTest, AMisnamedFileFailsTheRun) {
    std::filesystem::rename(folder.path() / "tex" / "mainmenu.jpg", folder.path() / "tex" / "main_menu.jpg");
    h.EndAt(5);
    EXPECT_NONFATAL_FAILURE(
        EXPECT_EQ(h.RunUntilEnded([] { MainMenu(1, false, false); }), 0),
        "2D images \"menu\" " + sys::ProgramFolder() + "\\tex\\mainmenu.jpg: no such file");
}

TEST_F(MainMenuTest, AMisnamedFileThatIsExpectedPasses) {
    std::filesystem::rename(folder.path() / "tex" / "mainmenu.jpg", folder.path() / "tex" / "main_menu.jpg");
    h.ExpectFailedLoad("mainmenu.jpg").EndAt(5);
    EXPECT_EQ(h.RunUntilEnded([] { MainMenu(1, false, false); }), 0);
}

// A click on New Game starts a new game straight from the menu's frame.
TEST_F(MainMenuTest, ClickOnNewGameStartsLevelOneWithNothingOwned) {
    LoadGameTexts();
    Campaign.IntroSeen = true;  // the intro has played once in this program run: no second time
    int framesAtHandOver = 0;
    double enterPressed = 0, handedOver = 0;
    struct Pools {
        int meshes, sky;
        bool menuPicture, menuTexture, meshObject, coreObject;
    } pools{};
    // The run's first frame (its loading screen's) shows what the menu left.
    h.When([] { return Campaign.GameRunning; },
           [&] {
               handedOver = sys::WallClock();
               framesAtHandOver = h.Frame();
               const auto& scene = h.Scene();
               pools = {scene.meshes.Count(),
                        scene.sky.Count(),
                        scene.images.Find("menu") != nullptr,
                        scene.textures.Find("narvo") != nullptr,
                        MeshObj != nullptr,
                        CoreObj != nullptr};
           })
        .When(test::GameRunStarted, TakeRun());
    MoveTo(10, ItemX, ItemY(1));
    Click(12);
    h.At(12, [&] { enterPressed = sys::WallClock(); });
    h.EndAt(4000, 99);

    EXPECT_EQ(h.RunUntilEnded([] { MainMenu(1, false, true); }), 0);
    ASSERT_TRUE(played.has_value());
    EXPECT_EQ(framesAtHandOver, 13);  // no slot list came between
    EXPECT_EQ(played->level, 1);
    EXPECT_FALSE(played->ownsIon || played->ownsMion || played->ownsEplas || played->ownsDisperse ||
                 played->ownsGamma || played->ownsGravBeam);
    EXPECT_EQ(played->money, 0);  // as handed over (the training level gives its own later)
    EXPECT_EQ(played->capacityLevel, 0);
    // The scene was torn down over two one-second waits (each from a whole second, so
    // at least half a second long); the shared core stays, the run has its own
    // mesh handle.
    EXPECT_GE(handedOver - enterPressed, 1.0);
    EXPECT_EQ(pools.meshes + pools.sky, 0);
    EXPECT_FALSE(pools.menuPicture || pools.menuTexture);
    EXPECT_TRUE(pools.meshObject);
    EXPECT_TRUE(pools.coreObject);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("VeltorSave")) << entry.path();
}

// Return and keypad Enter are the keyboard's way in: they open the slot list over any
// item, New Game included, and an Enter still held when the list comes back starts
// no new game.
TEST_F(MainMenuTest, EnterOpensTheSlotListWhateverIsSelected) {
    LoadGameTexts();
    const struct {
        const char* what;
        int key, x, y;
    } cases[] = {
        {"Return over New Game", key::Return, ItemX, ItemY(1)},
        {"keypad Enter over Load Game", key::NumpadEnter, ItemX, ItemY(2)},
        {"keypad Enter outside the items", key::NumpadEnter, 100, 100},
    };
    std::vector<int> listed(std::size(cases), 0);
    auto listOnScreen = [this] {
        for (const std::string& text : LastTexts())
            if (text.starts_with("Press number")) return true;
        return false;
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const int start = 60 + 60 * int(i);
        MoveTo(start - 10, c.x, c.y);
        // Held across the Escape that leaves the list, then let go: the list opens
        // again in the frame after it came back, and Escape leaves it once more.
        h.KeyDown(start, c.key);
        h.At(start + 4, [&, i] { listed[i] += listOnScreen(); });
        h.KeyPress(start + 10, key::Escape, 1);
        h.At(start + 14, [&, i] { listed[i] += listOnScreen(); });
        h.KeyUp(start + 20, c.key);
        h.KeyPress(start + 30, key::Escape, 1);
        h.At(start + 36, [&, i] { listed[i] += !listOnScreen(); });
    }
    h.EndAt(260);
    EXPECT_EQ(h.RunUntilEnded([] { MainMenu(1, false, true); }), 0);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(listed[i], 3) << cases[i].what;
    EXPECT_FALSE(Campaign.GameRunning);  // no new game started
}

// A tablet, a virtual machine's pointer or a remote desktop places the pointer where
// it points: every item lights up under it, the gaps between them do not.
TEST_F(MainMenuTest, AbsolutePointerLightsEachItem) {
    std::vector<std::string> lit, gaps;
    for (int item = 1; item <= 6; ++item) {
        const int frame = 20 + 10 * item;
        h.MouseTo(frame, ItemX, ItemY(item));
        h.At(frame + 2, [&] { lit.push_back(h.ImageTexture("mouse")); });
        h.MouseTo(frame + 5, 1000, 20);
        h.At(frame + 7, [&] { gaps.push_back(h.ImageTexture("mouse")); });
    }
    h.EndAt(100);
    EXPECT_EQ(h.RunUntilEnded([] { MainMenu(1, false, true); }), 0);
    EXPECT_EQ(lit, std::vector<std::string>(6, "ms2"));
    EXPECT_EQ(gaps, std::vector<std::string>(6, "ms1"));
}

TEST_F(MainMenuTest, EscapeLeavesTheListAndExitEndsTheProgramWithThePoolsEmptied) {
    LoadGameTexts();
    std::vector<std::string> picture;
    bool listAfterEnter = false, listShown = false, backInMenu = false;
    auto listOnScreen = [this] {
        for (const std::string& text : LastTexts())
            if (text.starts_with("Press number")) return true;
        return false;
    };
    // Pointer over no item: Enter works the keyboard overlay, as a click would, and
    // opens the slot list as well.
    h.KeyPress(60, key::Return, 1);
    h.At(62, [&] { listAfterEnter = listOnScreen(); });
    h.KeyPress(70, key::Escape, 1);
    h.At(76, [&] { picture.push_back(h.ImageTexture("menu")); });
    h.KeyPress(140, key::NumpadEnter, 1);
    h.KeyPress(146, key::Escape, 1);
    h.At(150, [&] { picture.push_back(h.ImageTexture("menu")); });

    MoveTo(160, ItemX, ItemY(2));
    Click(180);
    h.At(184, [&] { listShown = listOnScreen() && !h.ImageVisible("menu"); });
    h.KeyPress(186, key::Escape, 1);
    h.At(192, [&] { backInMenu = !listOnScreen() && h.ImageVisible("menu") && h.ImageVisible("mouse"); });

    MoveTo(250, ItemX, ItemY(6));
    Click(300);
    h.EndAt(1000);

    EXPECT_EQ(h.RunUntilEnded([] { MainMenu(1, false, true); }), 0);
    EXPECT_EQ(picture, (std::vector<std::string>{"menu4", "menu1"}));
    EXPECT_TRUE(listAfterEnter);
    EXPECT_TRUE(listShown);
    EXPECT_TRUE(backInMenu);
    EXPECT_FALSE(Campaign.GameRunning);

    // The Exit frame was finished, then everything the menu made went.
    EXPECT_EQ(h.FramesShown(), h.Frame());
    EXPECT_EQ(h.Frame(), 300);
    const auto& scene = h.Scene();
    EXPECT_EQ(scene.meshes.Count() + scene.textures.Count() + scene.images.Count() + scene.sky.Count() +
                  scene.sounds.Count(),
              0);
    ASSERT_EQ(scene.particles.Size(), 6);
    for (const auto& system : scene.particles.Items())
        EXPECT_FALSE(system.emitting) << system.key;
    EXPECT_FALSE(CoreObj || InputObj || FrameObj || MeshObj || CameraObj || TextureObj || MathObj ||
                 Draw2DObj || TimerObj || LightObj || ImporterObj || SkyObj || SoundObj);
    EXPECT_TRUE(MaterialObj && ParticleObj);
}

// Low detail on a 1024 x 768 screen, without logos or particles: the small sky,
// no extra texture stages, and the load list laid out in screen pixels.
TEST(MainMenuScene, FollowsTheDetailLevelAndTheScreen) {
    test::TempFolder folder;
    test::WriteMenuContent(folder);
    test::UseAsProgramFolder(folder);
    test::Harness h(1024, 768);
    Options.Load();
    ASSERT_TRUE(Options.Graphics.SetValue(1));
    h.EndAt(3);
    EXPECT_EQ(h.RunUntilEnded([] { MainMenu(1, false, false); }), 0);

    const auto& scene = h.Scene();
    EXPECT_TRUE(scene.frame.switchA);
    EXPECT_EQ(scene.frame.switchD, 2);
    EXPECT_EQ(scene.frame.switchE, 3);
    EXPECT_EQ(scene.frame.switchF, 1);

    const auto* sky = scene.sky.Find("MySkyCube");
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(sky->size, 25000.0f);
    const char* faceFiles[] = {"space002_low.jpg", "space004_low.jpg", "space003_low.jpg",
                               "space001_low.jpg", "sbbottom_low.jpg", "sbtop_low.jpg"};
    for (int face = 0; face < 6; ++face) {
        const auto* t = scene.textures.Find(sky->faceTexture[std::size_t(face)]);
        ASSERT_NE(t, nullptr) << face;
        EXPECT_TRUE(t->path.ends_with(faceFiles[face])) << t->path;
    }

    for (const char* key : {"back1", "back4", "mshell"}) {
        const auto* m = scene.meshes.Find(key);
        ASSERT_NE(m, nullptr) << key;
        EXPECT_EQ(m->stages[1].textureId, -1) << key;
        EXPECT_EQ(m->stages[1].mode, 0) << key;
    }
    const auto stageKey = [&](const char* mesh) {
        return scene.textures.Find(scene.meshes.Find(mesh)->stages[0].textureId)->key;
    };
    EXPECT_EQ(stageKey("asteroid4"), "ast1txt");
    EXPECT_EQ(stageKey("asteroid5"), "ast2txt");
    EXPECT_EQ(scene.particles.Count(), 0);

    const auto& rows = MainMenuScreen.Menus[1].MenuItems();
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ((std::array{rows[0].X1, rows[0].Y1, rows[0].X2, rows[0].Y2}), (std::array{446, 219, 576, 232}));
    EXPECT_EQ((std::array{rows[9].X1, rows[9].Y1, rows[9].X2, rows[9].Y2}), (std::array{446, 354, 576, 368}));

    const auto* camera = scene.cameras.Find(0);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->lens.FieldOfView, 65.0f);
    EXPECT_EQ(camera->lens.FarPlane, 500000.0f);
}

}  // namespace
}  // namespace quorvel
