// Saving and loading during a game run: the hit lists of the in-game menus, the save
// list and the quick save with the bytes they write, a failed save, the in-game load
// list and what it refuses, and a save loaded back into a run in the middle of a
// mothership fight.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/run_objects.h"
#include "platform/engine/scancodes.h"
#include "platform/system/clock.h"
#include "platform/system/paths.h"
#include "platform/system/random.h"
#include "support/harness.h"
#include "support/temp_folder.h"

namespace quorvel {
namespace {

struct Rect {
    int x1, y1, x2, y2;
};

Rect RowOf(const clsMenu& list, int row) {
    const MenuItem& m = list.MenuItems()[std::size_t(row)];
    return {m.X1, m.Y1, m.X2, m.Y2};
}

bool operator==(const Rect& a, const Rect& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

// The game run's screen metrics for a display mode, as the level loader sets them.
void UseScreen(int width, int height) {
    Display.ScreenWidth = width;
    Display.ScreenHeight = height;
    Display.ScreenCentreX = width / 2;
    Display.ScreenCentreY = height / 2;
    Display.ScaleX = float(width) / 1280.0f;
    Display.ScaleY = float(height) / 1024.0f;
}

std::string SlotFile(int slot) {
    return "VeltorSave" + std::to_string(slot) + ".vlx";
}

int Int16At(const std::string& bytes, std::size_t at) {
    return std::int16_t(std::uint16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8));
}

std::uint64_t Bits64At(const std::string& bytes, std::size_t at) {
    std::uint64_t bits = 0;
    for (std::size_t i = 8; i-- > 0;)
        bits = bits << 8 | std::uint8_t(bytes[at + i]);
    return bits;
}

std::vector<engine::Draw2DCall> Texts(const test::Harness& h) {
    std::vector<engine::Draw2DCall> texts;
    for (const auto& call : h.LastQueue())
        if (call.kind == engine::Draw2DCall::Kind::Text) texts.push_back(call);
    return texts;
}

bool ListOnScreen(const test::Harness& h) {
    for (const auto& call : Texts(h))
        if (call.text.starts_with("Press number")) return true;
    return false;
}

// Runs a screen that is entered inside a begun frame and ends that frame after it.
void InFrame(const std::function<void()>& screen) {
    FrameObj->BeginFrame();
    screen();
    FrameObj->RenderScene();
    FrameObj->EndFrame();
}

// The campaign values of the running game.
void SetPossessions(int level, bool all, double money, int capacity) {
    Campaign.CurrentLevel = level;
    Campaign.OwnsIon = true;
    Campaign.OwnsMion = Campaign.OwnsEplas = Campaign.OwnsDisperse = Campaign.OwnsGamma =
        Campaign.OwnsGravBeam = all;
    Campaign.Money = money;
    Arsenal.CapacityLevel = capacity;
}

TEST(InGameMenus, PictureListsAndSlotRowsFollowTheScreen) {
    const struct {
        int width, height;
        Rect slot0, slot9;
        int between;  // a y between slot rows 0 and 1
    } screens[] = {
        {1280, 1024, {558, 292, 720, 310}, {558, 472, 720, 490}, 311},
        {640, 480, {279, 137, 360, 145}, {279, 221, 360, 230}, 146},
    };
    for (const auto& s : screens) {
        SCOPED_TRACE(s.width);
        UseScreen(s.width, s.height);
        CreateInGameMenus();
        const clsMenu& slots = InGameMenu.InGameMenus[3];
        ASSERT_EQ(slots.MenuItems().size(), 10u);
        EXPECT_TRUE(RowOf(slots, 0) == s.slot0);
        EXPECT_TRUE(RowOf(slots, 9) == s.slot9);
        const int x = (s.slot0.x1 + s.slot0.x2) / 2;
        EXPECT_EQ(slots.MenuSelected(x, (s.slot0.y1 + s.slot0.y2) / 2), 0);
        EXPECT_EQ(slots.MenuSelected(x, s.slot0.y1), -1);  // on the border
        EXPECT_EQ(slots.MenuSelected(s.slot0.x1, s.slot0.y1 + 2), -1);
        EXPECT_EQ(slots.MenuSelected(x, s.between), -1);
        EXPECT_EQ(slots.MenuSelected(x, (s.slot9.y1 + s.slot9.y2) / 2), 9);

        // The picture lists do not depend on the screen.
        const struct {
            int list;
            std::size_t rows;
            int row;
            Rect rect;
        } pictures[] = {
            {0, 6, 0, {90, 225, 410, 263}}, {0, 6, 5, {90, 452, 410, 490}}, {1, 5, 4, {100, 447, 400, 485}},
            {2, 9, 5, {30, 265, 460, 305}}, {2, 9, 6, {30, 375, 460, 400}},
        };
        for (const auto& p : pictures) {
            const clsMenu& list = InGameMenu.InGameMenus[std::size_t(p.list)];
            EXPECT_EQ(list.MenuItems().size(), p.rows) << p.list;
            EXPECT_TRUE(RowOf(list, p.row) == p.rect) << p.list << " row " << p.row;
        }
    }
}

// The save and load lists without a level: an empty program folder, the run's engine
// objects and the screen metrics of the display mode.
class SlotMenus {
  public:
    SlotMenus(int width, int height) : h(width, height) {
        h.ExpectFailedLoad(folder.str());  // a load sets up a level from an empty folder
        test::UseAsProgramFolder(folder);
        sys::SeedRandom(5);
        test::MakeRunObjects();
        Campaign.FrameStartTime = 1000;
        UseScreen(width, height);
        CreateInGameMenus();
    }
    // Points at the middle of slot row k and clicks it once the list is on screen.
    void ClickRowWhenListed(int k) {
        const Rect r = RowOf(InGameMenu.InGameMenus[3], k);
        h.When([this] { return ListOnScreen(h); },
               [this, r] { h.MouseTo(h.Frame(), (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2); })
            .After(2, [this] { h.MouseClick(h.Frame()); });
    }
    void PressWhenListed(int scanCode) {
        h.When([this] { return ListOnScreen(h); }, [this, scanCode] { h.KeyPress(h.Frame(), scanCode, 2); });
    }
    void PressAfter(int frames, int scanCode) {
        h.After(frames, [this, scanCode] { h.KeyPress(h.Frame(), scanCode, 2); });
    }

    test::TempFolder folder;
    test::Harness h;
};

TEST(SaveGameMenu, ListRowsLineUpWithTheirTextsAndAClickSavesIntoThatSlot) {
    const struct { int width, height, row; } screens[] = {{1280, 1024, 4}, {640, 480, 7}};
    for (const auto& s : screens) {
        SCOPED_TRACE(s.width);
        SlotMenus m(s.width, s.height);
        ASSERT_TRUE(WriteSaveSlot(2, {.level = 9, .capacityLevel = 1}));
        SetPossessions(23, true, 4321.25, 2);
        std::vector<engine::Draw2DCall> listed;
        m.h.When([&] { return ListOnScreen(m.h); }, [&] { listed = Texts(m.h); });
        m.ClickRowWhenListed(s.row);
        int slot = 1;
        InFrame([&] { SaveGameMenu(slot); });
        EXPECT_TRUE(m.h.ConditionsDone());

        EXPECT_EQ(slot, s.row);
        const SaveSlotContents saved = ReadSaveSlot(s.row);
        ASSERT_EQ(saved.state, SaveSlotState::Good);
        EXPECT_EQ(saved.values.level, 23);
        EXPECT_EQ(saved.values.money, 4321.25);

        // The title and the ten rows, one green pass; every row's text starts just
        // inside its hit row.
        ASSERT_EQ(listed.size(), 11u);
        EXPECT_EQ(listed[0].text, "Press number to save your game over current level saved:");
        // The long title starts further left than the rows, so that it sits over them.
        EXPECT_FLOAT_EQ(listed[0].a.x, float(Display.ScreenCentreX) - 170 * Display.ScaleX);
        EXPECT_EQ(listed[1].text, "0--Quick Save - empty");
        EXPECT_EQ(listed[3].text, "2--Save - Level:  9");
        for (int k = 0; k < 10; ++k) {
            const auto& text = listed[std::size_t(k) + 1];
            EXPECT_FLOAT_EQ(text.a.x, float(Display.ScreenCentreX) - 75 * Display.ScaleX);
            EXPECT_FLOAT_EQ(text.a.y,
                            float(Display.ScreenCentreY) - (220 - 20.0f * float(k)) * Display.ScaleY);
            EXPECT_EQ(text.colour.g, 254);
            EXPECT_EQ(InGameMenu.InGameMenus[3].MenuSelected(int(text.a.x), int(text.a.y) + 3), k) << k;
        }
    }
}

TEST(SaveGameMenu, QuickSaveWritesTheSlotBytesAndShowsGameSaved) {
    SlotMenus m(1280, 1024);
    SetPossessions(12, false, 1234567.5, 3);
    Screens.QuickSaveLatch = true;
    int slot = 0;
    FrameObj->BeginFrame();
    const int shownBefore = m.h.FramesShown();
    const double start = sys::WallClock();
    SaveGameMenu(slot);
    const double waited = sys::WallClock() - start;
    // The message's frame was shown, and a new frame is open for the caller.
    EXPECT_EQ(m.h.FramesShown(), shownBefore + 1);
    EXPECT_EQ(m.h.Frame(), m.h.FramesShown() + 1);
    const auto texts = Texts(m.h);
    FrameObj->EndFrame();

    const std::string bytes = m.folder.Read(SlotFile(0));
    ASSERT_EQ(bytes.size(), 1026u);
    EXPECT_EQ(Int16At(bytes, 0), 12);
    EXPECT_EQ(Int16At(bytes, 128), -1);  // ion
    for (std::size_t record = 3; record <= 7; ++record)
        EXPECT_EQ(Int16At(bytes, (record - 1) * 128), 0) << record;
    EXPECT_EQ(Bits64At(bytes, 896), std::bit_cast<std::uint64_t>(1234567.5));
    EXPECT_EQ(Int16At(bytes, 1024), 3);

    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Game Saved");
    EXPECT_FLOAT_EQ(texts[0].a.x, 640 - 75);
    EXPECT_FLOAT_EQ(texts[0].a.y, 512 - 350);
    EXPECT_GE(waited, 1.5);
    EXPECT_LE(waited, 2.5);
    EXPECT_FALSE(Screens.QuickSaveLatch);
    // Only the slot saved into exists: listing made no file.
    EXPECT_FALSE(std::filesystem::exists(m.folder.path() / SlotFile(1)));
}

TEST(SaveGameMenu, AFailedSaveSaysSoAndKeepsTheOldSlot) {
    const struct {
        const char* name;
        bool oldSave;       // slot 0 holds a save of level 7 before
        bool slotIsFolder;  // the slot's name is taken by a folder
    } cases[] = {{"the file beside the slot cannot be made", true, false},
                 {"the slot's name is a folder", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SlotMenus m(1280, 1024);
        const std::string slotPath = (m.folder.path() / SlotFile(0)).string();
        std::string before;
        if (c.oldSave) {
            ASSERT_TRUE(WriteSaveSlot(0, {.level = 7, .money = 70, .capacityLevel = 2}));
            before = m.folder.Read(SlotFile(0));
            // The writer's file beside the slot: a folder there makes it fail.
            std::filesystem::create_directory(slotPath + ".tmp");
        }
        if (c.slotIsFolder) std::filesystem::create_directories(slotPath + "/inside");
        SetPossessions(30, true, 5, 4);
        Screens.QuickSaveLatch = true;
        int slot = 0;
        FrameObj->BeginFrame();
        SaveGameMenu(slot);
        const auto texts = Texts(m.h);
        FrameObj->EndFrame();

        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "Save failed - the slot was not changed");
        EXPECT_FALSE(Screens.QuickSaveLatch);  // no retry every frame
        if (c.oldSave) {
            EXPECT_EQ(m.folder.Read(SlotFile(0)), before);
            EXPECT_EQ(ReadSaveSlot(0).values.level, 7);
        }
        if (c.slotIsFolder) {
            EXPECT_TRUE(std::filesystem::is_directory(slotPath + "/inside"));
        }
    }
}

TEST(SaveGameMenu, EscapeWritesNothing) {
    SlotMenus m(1280, 1024);
    SetPossessions(23, true, 1, 1);
    Screens.QuickSaveLatch = true;
    // A digit held with Escape: Escape wins.
    m.h.When([&] { return ListOnScreen(m.h); },
             [&] {
                 m.h.KeyPress(m.h.Frame(), key::D3, 2);
                 m.h.KeyPress(m.h.Frame(), key::Escape, 2);
             });
    int slot = 1;
    InFrame([&] { SaveGameMenu(slot); });
    EXPECT_TRUE(m.h.ConditionsDone());
    EXPECT_TRUE(std::filesystem::is_empty(m.folder.path()));
    EXPECT_TRUE(Screens.QuickSaveLatch);  // untouched by a cancelled list
}

TEST(LoadGameMenu, OnlyAGoodSlotCanBeChosenAndTheChosenOneIsLoaded) {
    SlotMenus m(640, 480);
    Campaign.StartingLevel = 4;
    InitLevelTable();
    m.folder.Write(SlotFile(2), "");                        // never saved
    m.folder.Write(SlotFile(3), std::string(900, '\x05'));  // cut short
    ASSERT_TRUE(WriteSaveSlot(5, {.level = 12,
                                  .ownsIon = true,
                                  .ownsGamma = true,
                                  .money = 1234567.5,
                                  .ownsGravBeam = true,
                                  .capacityLevel = 3}));
    SetPossessions(4, true, 99, 1);
    Arsenal.CapacityApplied = true;

    // F6 with an empty quick-save slot changes nothing and shows no frame.
    FrameObj->BeginFrame();
    const int shown = m.h.FramesShown();
    LoadGameMenu(0, true);
    EXPECT_EQ(m.h.FramesShown(), shown);
    FrameObj->EndFrame();
    EXPECT_EQ(Campaign.CurrentLevel, 4);
    EXPECT_FALSE(Arsenal.CapacityApplied);  // the stores are refilled at the next frame anyway

    // The list: the empty and the damaged slots by key and by click, then slot 5.
    std::vector<engine::Draw2DCall> listed;
    int levelWhileListed = 0;
    m.h.When([&] { return ListOnScreen(m.h); }, [&] { listed = Texts(m.h); });
    m.PressWhenListed(key::D2);
    m.PressAfter(4, key::D3);
    m.h.After(4, [&] {
        const Rect r = RowOf(InGameMenu.InGameMenus[3], 3);
        m.h.MouseTo(m.h.Frame(), (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
    });
    m.h.After(2, [&] { m.h.MouseClick(m.h.Frame()); });
    m.h.After(4, [&] { levelWhileListed = ListOnScreen(m.h) ? Campaign.CurrentLevel : -1; });
    m.PressAfter(1, key::D5);
    InFrame([&] { LoadGameMenu(1, true); });
    EXPECT_TRUE(m.h.ConditionsDone());
    EXPECT_EQ(levelWhileListed, 4);

    ASSERT_EQ(listed.size(), 33u);  // three passes of the title and ten rows
    EXPECT_EQ(listed[22].text, "Press number to load game:");
    EXPECT_EQ(listed[22].colour.r, 255);  // yellow last, over the blue shadow
    EXPECT_EQ(listed[23].text, "0--Quick Save - empty");
    EXPECT_EQ(listed[25].text, "2--Save - empty");
    EXPECT_EQ(listed[26].text, "3--Save - damaged");
    EXPECT_EQ(listed[28].text, "5--Save - Level:  12");
    EXPECT_FALSE(std::filesystem::exists(m.folder.path() / SlotFile(0)));

    EXPECT_EQ(Campaign.CurrentLevel, 12);
    EXPECT_EQ(Campaign.Money, 1234567.5);
    EXPECT_TRUE(Campaign.OwnsIon && Campaign.OwnsGamma && Campaign.OwnsGravBeam);
    EXPECT_FALSE(Campaign.OwnsMion || Campaign.OwnsEplas || Campaign.OwnsDisperse);
    EXPECT_EQ(Arsenal.CapacityLevel, 3);
}

// A run's level from the generated content in a folder of its own, so saves can be
// written beside it.
class LoadIntoRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::ContentSetBuilt()) GTEST_SKIP() << "the build generates no content set";
        for (const auto& entry : std::filesystem::directory_iterator(QUORVEL_GAME_DIR))
            if (entry.is_directory())
                std::filesystem::create_directory_symlink(entry.path(),
                                                          folder.path() / entry.path().filename());
        test::UseAsProgramFolder(folder);
        sys::SeedRandom(11);
    }
    test::TempFolder folder;
    test::Harness h;
};

TEST_F(LoadIntoRunTest, AQuickSaveLoadedDuringAMothershipFightGivesBackExactlyTheSave) {
    test::LoadRunAt(5);
    ASSERT_EQ(Campaign.CurrentLevel, 5);
    UseScreen(1280, 1024);
    CreateInGameMenus();

    // Saved as if on level 12 with the ion cannon, odd money and capacity 3.
    SetPossessions(12, false, 1234567.5, 3);
    int slot = 0;
    InFrame([&] { SaveGameMenu(slot); });

    // Back on level 5 in the thick of the fight, lost ship and all.
    SetPossessions(5, true, 777, 1);
    Level.AsteroidsLeft = 0;
    ResetMothership();
    StartMothershipHyperspaceIn();
    Mothership.MothershipInRange = true;
    Mothership.MothershipKillHold = true;
    // The other bosses at once, so each ends without its kill's effects.
    Battleship.BattleshipActive = true;
    GiantAsteroid.GiantAsteroidFlying = true;
    Level.ShipDestroyed = true;
    Level.ExplosionActive = true;
    Screens.MenuRequested = true;
    LevelEnd.LevelEnding = true;

    FrameObj->BeginFrame();
    LoadGameMenu(0, true);
    EXPECT_EQ(h.Frame(), h.FramesShown() + 1);  // a frame is open for the caller
    FrameObj->RenderScene();
    FrameObj->EndFrame();

    EXPECT_EQ(Campaign.CurrentLevel, 12);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(Campaign.Money),
              std::bit_cast<std::uint64_t>(1234567.5));  // no kill money
    EXPECT_TRUE(Campaign.OwnsIon);
    EXPECT_FALSE(Campaign.OwnsMion || Campaign.OwnsEplas || Campaign.OwnsDisperse || Campaign.OwnsGamma ||
                 Campaign.OwnsGravBeam);
    EXPECT_EQ(Arsenal.CapacityLevel, 3);
    EXPECT_FLOAT_EQ(Arsenal.WeaponEnergy[1].MaxEnergy, WeaponTable[1].BaseCapacity * 3);
    EXPECT_FALSE(Arsenal.CapacityApplied);
    // The fight is over without a trace, and the level starts from its beginning.
    EXPECT_FALSE(Mothership.MothershipLevel || Mothership.MothershipArmed || Mothership.MothershipInRange ||
                 Mothership.MothershipBreakingUp);
    EXPECT_FALSE(Mothership.MothershipKillHold);
    EXPECT_FALSE(Battleship.BattleshipActive || GiantAsteroid.GiantAsteroidFlying ||
                 GiantAsteroid.GiantAsteroidActive);
    EXPECT_FALSE(LevelEnd.LevelEnding);
    EXPECT_FALSE(Level.ShipDestroyed || Level.ExplosionActive || Screens.MenuRequested);
    EXPECT_EQ(Level.AsteroidsLeft, Level.AsteroidCount);
    EXPECT_EQ(Level.AsteroidCount, Campaign.LevelTable[12].AsteroidCount);
    EXPECT_FLOAT_EQ(Ship.HullDamage, 1.0f);
    // The menu picture and the pointer are not left over the loaded level.
    for (const char* image : {"menu", "mouse"}) {
        const auto* shown = h.Scene().images.Find(image);
        ASSERT_NE(shown, nullptr) << image;
        EXPECT_FALSE(shown->visible) << image;
    }
}

// A game loaded in flight starts its level at rest: the speed, turn and bounce the ship
// had before would carry it off the start pose at once.
TEST_F(LoadIntoRunTest, ALoadedLevelStartsWithTheShipAtRest) {
    test::LoadRunAt(3);
    UseScreen(1280, 1024);
    CreateInGameMenus();
    ASSERT_TRUE(WriteSaveSlot(0, {3, false, false, false, false, false, 100, false, 1}));
    Ship.ShipSpeed = 20;
    Flight.YawRate = 3;
    Flight.YawDriven = true;
    Flight.CollisionFlash = Flight.BumpActive = true;

    FrameObj->BeginFrame();
    LoadGameMenu(0, true);
    FrameObj->RenderScene();
    FrameObj->EndFrame();

    EXPECT_EQ(Ship.ShipSpeed, 0);
    EXPECT_EQ(Flight.YawRate, 0);
    EXPECT_FALSE(Flight.YawDriven || Flight.CollisionFlash || Flight.BumpActive);
}

}  // namespace
}  // namespace quorvel
