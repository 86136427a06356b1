// The weapon shop: one frame per call from the frame loop while ShopRequested is set.
// Input counts only when the click timer has passed 3, and every such look restarts it.

#include <array>

#include "audio/audio.h"
#include "combat/combat.h"
#include "common/engine_objects.h"
#include "game/game.h"
#include "game/in_game_menu.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"

namespace quorvel {

namespace {

struct ShopGoods {
    double price;
    bool* owned;   // a weapon's owned flag, or null for an energy capacity
    int weapon;    // the weapon it becomes, 3 to 8
    int capacity;  // the capacity level bought, 2 to 4
};

// Item 1 to 9 is entry 0 to 8.
const std::array<ShopGoods, 9> Goods{{
    {600000, &Campaign.OwnsIon, 3, 0},
    {2400000, &Campaign.OwnsMion, 4, 0},
    {4800000, &Campaign.OwnsEplas, 5, 0},
    {8000000, &Campaign.OwnsDisperse, 6, 0},
    {16000000, &Campaign.OwnsGamma, 7, 0},
    {20000000, &Campaign.OwnsGravBeam, 8, 0},
    {4000000, nullptr, 0, 2},
    {8000000, nullptr, 0, 3},
    {12000000, nullptr, 0, 4},
}};

void PlayClip(const char* name) {
    if (DXAudioObj) DXAudioObj->PlayForeground(name);
}

// Buys the item when the money is above its price (equal is not enough) and it is
// not owned yet; what it bought, or null.
const ShopGoods* Buy(int item) {
    if (item < 1 || item > int(Goods.size())) return nullptr;
    const ShopGoods& g = Goods[std::size_t(item - 1)];
    const bool available = g.owned ? !*g.owned : Arsenal.CapacityLevel < g.capacity;
    if (!(Campaign.Money > g.price) || !available) return nullptr;
    Campaign.Money -= g.price;
    if (g.owned) {
        *g.owned = true;
        Campaign.CurrentWeapon = g.weapon;
    } else {
        Arsenal.CapacityLevel = g.capacity;
        Arsenal.CapacityApplied = false;  // the frame loop refills the stores to the new size
    }
    Screens.RewardSoundPlayed = false;
    return &g;
}

}  // namespace

void RunWeaponShop() {
    const MouseState mouse = InputObj->GetMouseState(0);
    int x = 0, y = 0;
    PlaceMenuPointer(mouse, x, y);
    const int row = HoverMenuRow(InGameMenu.InGameMenus[2], x, y);
    if (row >= 0) InGameMenu.ShopChoice = row + 1;

    // The Escape that closes the shop must not open the pause menu too.
    Screens.EscTimer = 0;

    if (InGameMenu.MenuClickTimer > 3.0f) {
        InGameMenu.MenuClickTimer = 0;
        if (InputObj->IsKeyDown(key::Escape)) {
            PlayClip("menuselect.wav");
            Screens.ShopRequested = false;
            CloseMenuPointer();
            return;
        }
        if (mouse.Button0 || InputObj->IsKeyDown(key::Return) || InputObj->IsKeyDown(key::NumpadEnter)) {
            PlayClip("menuselect.wav");
            if (const ShopGoods* bought = Buy(InGameMenu.ShopChoice)) {
                Screens.ShopRequested = false;
                CloseMenuPointer();
                if (bought->owned && SoundObj->SelectSound("wchange")) SoundObj->PlaySound(0, false);
                return;
            }
            PlayClip("noavail.wav");
        }
        if (Draw2DObj->SelectImage("buymenu")) Draw2DObj->SetImageVisible(true);
    }
    InGameMenu.MenuClickTimer += Campaign.FrameFactor * 1.5f;
}

}  // namespace quorvel
