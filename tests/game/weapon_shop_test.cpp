// The weapon shop as the frame loop runs it, one call a frame: what each item costs
// and gives, the click timer's cadence, Escape, and the bigger energy stores that the
// next frame fills.

#include <gtest/gtest.h>

#include "assets/assets.h"
#include "combat/combat.h"
#include "common/engine_objects.h"
#include "game/clip_log.h"
#include "game/game.h"
#include "game/menu_screens.h"
#include "platform/engine/input_feed.h"
#include "platform/engine/scancodes.h"
#include "platform/system/paths.h"

namespace quorvel {
namespace {

using test::MenuFrame;
using test::PointAtPicture;
using test::PointAtRow;

template <int W, int H>
class ShopAt : public test::MenuScreenTestAt<W, H> {
  protected:
    void SetUp() override {
        test::MenuScreenTestAt<W, H>::SetUp();
        if (this->IsSkipped()) return;
        this->MakeMenuRun();
        LoadGameSounds();
        const std::string tex = sys::ProgramFolder() + "\\tex\\";
        Draw2DObj->LoadImage(tex + "weapmenu.jpg", "buymenu", 0);
        Draw2DObj->SetImageVisible(false);
        Draw2DObj->LoadImage(tex + "msicon1.jpg", "mouse", 1);
        TextureObj->LoadTexture("ms1", tex + "msicon1.jpg");
        TextureObj->LoadTexture("ms2", tex + "msicon2.jpg");
        Screens.ShopRequested = true;
    }
    // One shop frame with the timer past 3, so this frame reads the input.
    void ReadyFrame() {
        InGameMenu.MenuClickTimer = 3.5f;
        MenuFrame(RunWeaponShop);
    }
    void Key(int scanCode, bool down) { engine::FeedKey(scanCode, down); }
    test::ClipLog clips;
};
using Shop = ShopAt<1280, 1024>;
using SmallShop = ShopAt<640, 480>;

struct Possessions {
    bool ion = false, mion = false, eplas = false, disperse = false, gamma = false, beam = false;
    int capacity = 1;
};

void Give(const Possessions& p) {
    Campaign.OwnsIon = p.ion;
    Campaign.OwnsMion = p.mion;
    Campaign.OwnsEplas = p.eplas;
    Campaign.OwnsDisperse = p.disperse;
    Campaign.OwnsGamma = p.gamma;
    Campaign.OwnsGravBeam = p.beam;
    Arsenal.CapacityLevel = p.capacity;
}

TEST_F(Shop, EachItemSellsAboveItsPriceOnlyWhatIsNotOwned) {
    struct Case {
        int item;
        double money;
        Possessions have;
        bool sold;
        int weapon;    // CurrentWeapon afterwards
        int capacity;  // CapacityLevel afterwards
    };
    const Case cases[] = {
        {1, 600000.5, {}, true, 3, 1},
        {1, 600000, {}, false, 2, 1},  // equal to the price is not enough
        {1, 5e6, {.ion = true}, false, 2, 1},
        {2, 2400001, {}, true, 4, 1},
        {2, 2400000, {}, false, 2, 1},
        {3, 4800001, {}, true, 5, 1},
        {4, 8000001, {}, true, 6, 1},
        {4, 8000000, {}, false, 2, 1},
        {5, 16000001, {}, true, 7, 1},
        {6, 20000001, {}, true, 8, 1},
        {6, 20000000, {}, false, 2, 1},
        {6, 9e7, {.beam = true}, false, 2, 1},
        {7, 4000001, {}, true, 2, 2},
        {7, 4000000, {}, false, 2, 1},
        {7, 9e7, {.capacity = 2}, false, 2, 2},
        {8, 8000001, {.capacity = 2}, true, 2, 3},
        {9, 12000001, {}, true, 2, 4},  // levels may be skipped
        {9, 12000000, {}, false, 2, 1},
        {8, 9e7, {.capacity = 4}, false, 2, 4},
    };
    const double prices[] = {0,        600000,   2400000, 4800000, 8000000,
                             16000000, 20000000, 4000000, 8000000, 12000000};
    for (const Case& c : cases) {
        SCOPED_TRACE("item " + std::to_string(c.item) + ", money " + std::to_string(c.money));
        Give(c.have);
        Campaign.Money = c.money;
        Campaign.CurrentWeapon = 2;
        Arsenal.CapacityApplied = true;
        Screens.RewardSoundPlayed = true;
        Screens.ShopRequested = true;
        clips.Clear();
        const int wchange = SoundsPlayed("wchange.wav");

        PointAtRow(2, c.item - 1);
        Key(key::Return, true);
        ReadyFrame();
        Key(key::Return, false);

        EXPECT_EQ(InGameMenu.ShopChoice, c.item);
        EXPECT_EQ(Screens.ShopRequested, !c.sold) << "a purchase closes the shop";
        EXPECT_DOUBLE_EQ(Campaign.Money, c.sold ? c.money - prices[c.item] : c.money);
        EXPECT_EQ(Campaign.CurrentWeapon, c.weapon);
        EXPECT_EQ(Arsenal.CapacityLevel, c.capacity);
        EXPECT_EQ(Arsenal.CapacityApplied, !(c.sold && c.item >= 7));
        EXPECT_EQ(Screens.RewardSoundPlayed, !c.sold);
        EXPECT_EQ(clips.Count("menuselect.wav"), 1u);
        EXPECT_EQ(clips.Count("noavail.wav"), c.sold ? 0u : 1u);
        EXPECT_EQ(SoundsPlayed("wchange.wav") - wchange, c.sold && c.item <= 6 ? 1 : 0);
        EXPECT_EQ(h.ImageVisible("mouse"), !c.sold);
    }
}

TEST_F(Shop, BiggerStoresAreFilledByTheNextFrame) {
    Give({});
    SetWeaponEnergy(0, 0);
    Arsenal.WeaponEnergy[1].Energy = 10;  // spent
    Arsenal.CapacityApplied = true;
    Campaign.Money = 9e6;
    PointAtRow(2, 7);  // level 3
    engine::FeedMouseButton(0, true);
    ReadyFrame();
    engine::FeedMouseButton(0, false);
    ASSERT_EQ(Arsenal.CapacityLevel, 3);
    ASSERT_FALSE(Arsenal.CapacityApplied);

    // What the frame loop does while the flag is clear.
    MenuFrame([] {
        if (!Arsenal.CapacityApplied) {
            SetWeaponEnergy(0, 0);
            Arsenal.CapacityApplied = true;
        }
    });
    const float base[] = {0, 80, 75, 70, 65, 60, 55, 60};
    for (int w = 1; w <= 7; ++w) {
        EXPECT_FLOAT_EQ(Arsenal.WeaponEnergy[std::size_t(w)].MaxEnergy, base[w] * 3) << w;
        EXPECT_FLOAT_EQ(Arsenal.WeaponEnergy[std::size_t(w)].Energy, base[w] * 3) << w;
    }
}

TEST_F(Shop, InputIsReadEveryThirdFrameAndEscapeLeaves) {
    // Holding the button on a weapon too dear: "noavail" each time the timer passes 3.
    Give({});
    Campaign.Money = 100;
    InGameMenu.MenuClickTimer = 0;
    PointAtRow(2, 4);
    engine::FeedMouseButton(0, true);
    std::vector<int> refused;
    for (int frame = 1; frame <= 12; ++frame) {
        const std::size_t before = clips.Count("noavail.wav");
        MenuFrame(RunWeaponShop);
        if (clips.Count("noavail.wav") > before) refused.push_back(frame);
        EXPECT_EQ(Screens.EscTimer, 0);
    }
    engine::FeedMouseButton(0, false);
    EXPECT_EQ(refused, (std::vector<int>{4, 7, 10}));
    EXPECT_TRUE(Screens.ShopRequested);
    EXPECT_TRUE(h.ImageVisible("buymenu"));
    EXPECT_EQ(h.ImageTexture("mouse"), "ms2");

    // Escape is read on the same beat (from 0: the fourth frame); it closes the shop
    // without buying.
    InGameMenu.MenuClickTimer = 0;
    Key(key::Escape, true);
    int frames = 0;
    while (Screens.ShopRequested && frames < 10) {
        MenuFrame(RunWeaponShop);
        ++frames;
    }
    Key(key::Escape, false);
    EXPECT_EQ(frames, 4);
    EXPECT_FALSE(Screens.ShopRequested);
    EXPECT_FALSE(h.ImageVisible("mouse"));
    EXPECT_EQ(Campaign.Money, 100);
    ASSERT_FALSE(clips.All().empty());
    EXPECT_TRUE(clips.All().back().path.ends_with("/menuselect.wav")) << clips.All().back().path;
}

TEST_F(SmallShop, ClickOffTheItemsBuysTheLastItemPointedAt) {
    Give({});
    Campaign.Money = 5e6;
    // Before the pointer has touched an item the choice is item 1.
    InGameMenu.ShopChoice = 1;
    PointAtPicture(480, 10);
    engine::FeedMouseButton(0, true);
    ReadyFrame();
    engine::FeedMouseButton(0, false);
    EXPECT_TRUE(Campaign.OwnsIon);
    EXPECT_EQ(h.ImageTexture("mouse"), "ms1");

    // On the small screen the rows are found by the same picture rows: over item 7 (the
    // wide gap lies above it), then off every item.
    Screens.ShopRequested = true;
    PointAtRow(2, 6);
    MenuFrame(RunWeaponShop);
    EXPECT_EQ(InGameMenu.ShopChoice, 7);
    PointAtPicture(250, 340);  // in the gap between items 6 and 7
    MenuFrame(RunWeaponShop);
    EXPECT_EQ(InGameMenu.ShopChoice, 7);
    Key(key::NumpadEnter, true);
    ReadyFrame();
    Key(key::NumpadEnter, false);
    EXPECT_EQ(Arsenal.CapacityLevel, 2);
    EXPECT_DOUBLE_EQ(Campaign.Money, 5e6 - 600000 - 4000000);
}

}  // namespace
}  // namespace quorvel
