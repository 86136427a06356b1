// The list of the ten save slots, as the save menu, the in-game load menu and the main
// menu's load screen show it over their running scene.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/common.h"
#include "game/game.h"
#include "game/state.h"
#include "platform/engine/scancodes.h"

namespace quorvel {
namespace {

int DigitKey(int k) {
    return k == 0 ? key::D0 : k + 1;
}

// One drawing of the title and the rows: its colour and its x offset from the centre in
// reference units.
struct SlotListPass {
    Colour colour;
    float dx = 0;
};

// What a list shows and which of its slots can be chosen.
struct SlotListLook {
    std::string title;
    // Where the title starts, in reference units from the centre, when it does not start
    // where its pass's rows do.
    std::optional<float> titleDx;
    std::vector<SlotListPass> passes;
    std::array<bool, SaveSlotCount> choosable{};
};

SlotListLook LookFor(SlotListUse use, const SaveSlotList& slots) {
    SlotListLook look;
    if (use == SlotListUse::Save) {
        look.title = "Press number to save your game over current level saved:";
        look.titleDx = -170;  // the long title starts further left than the rows
        look.passes = {{SaveListGreen, -75}};
        look.choosable.fill(true);
        return look;
    }
    const Colour blue{0, 0, 255, 255};
    const Colour yellow{255, 255, 0, 255};
    look.title = "Press number to load game:";
    // The shadow one and two reference units to the right of the text.
    look.passes = {{blue, -75}, {blue, -74}, {yellow, -76}};
    for (int k = 0; k < SaveSlotCount; ++k)
        look.choosable[std::size_t(k)] = slots[std::size_t(k)].state == SaveSlotState::Good;
    return look;
}

}  // namespace

SlotListPlace InGameSlotListPlace() {
    return {InGameMenu.InGameMenus[3],
            InGameMenu.GameMouse,
            InGameMenu.GameMenuX,
            InGameMenu.GameMenuY,
            InGameMenu.InGameHoverSounded,
            float(Display.ScreenCentreX),
            float(Display.ScreenCentreY),
            Display.ScaleX,
            Display.ScaleY};
}

SaveSlotList ReadSaveSlots() {
    SaveSlotList slots;
    for (int k = 0; k < SaveSlotCount; ++k)
        slots[std::size_t(k)] = ReadSaveSlot(k);
    return slots;
}

std::string SaveSlotRowText(int slot, const SaveSlotContents& contents) {
    const std::string text = slot == 0 ? "0--Quick Save - " : std::to_string(slot) + "--Save - ";
    switch (contents.state) {
        case SaveSlotState::Good:
            return text + "Level:  " + std::to_string(contents.values.level);
        case SaveSlotState::Damaged:
            return text + "damaged";
        case SaveSlotState::Empty:
            break;
    }
    return text + "empty";
}

bool RunSaveSlotList(const SlotListPlace& place, SlotListUse use, const SaveSlotList& slots, int& slot) {
    const SlotListLook look = LookFor(use, slots);
    const float cx = place.centreX, cy = place.centreY;
    const float sx = place.scaleX, sy = place.scaleY;
    auto choosable = [&](int k) { return k >= 0 && k < SaveSlotCount && look.choosable[std::size_t(k)]; };
    FrameObj->EndFrame();
    bool chosen = false;
    bool cancelled = false;
    while (!chosen && !cancelled) {
        FrameObj->BeginFrame();
        FrameObj->RenderScene();
        place.mouse = InputObj->GetMouseState(0);
        int clickedRow = -1;
        Draw2DObj->SelectImage("mouse");
        Draw2DObj->SetImagePosition(Vector2{place.mouse.X - 11 * sx, place.mouse.Y - 13 * sy});
        Draw2DObj->SetImageVisible(true);
        place.pointerX = place.mouse.X;
        place.pointerY = place.mouse.Y;
        if (place.rows.OverMenu(place.pointerX, place.pointerY)) {
            Draw2DObj->SetImageTexture(0, "ms2");
            if (place.mouse.Button0) {
                clickedRow = place.rows.MenuSelected(place.pointerX, place.pointerY);
                // A row that cannot be chosen gives no click either.
                if (choosable(clickedRow)) PlayClick();
            }
            if (!place.hoverSounded) PlayClick();
            place.hoverSounded = true;
        } else {
            Draw2DObj->SetImageTexture(0, "ms1");
            place.hoverSounded = false;
        }

        for (const SlotListPass& pass : look.passes) {
            Draw2DObj->SetDrawColour(pass.colour);
            const float x = cx + pass.dx * sx;
            const float titleX = look.titleDx ? cx + *look.titleDx * sx : x;
            Draw2DObj->DrawText(Vector2{titleX, cy - 240 * sy}, look.title);
            for (int k = 0; k < SaveSlotCount; ++k)
                Draw2DObj->DrawText(Vector2{x, cy - (220 - 20.0f * float(k)) * sy},
                                    SaveSlotRowText(k, slots[std::size_t(k)]));
        }

        // Digits 0 to 9, then Escape: the last test that holds wins.
        for (int k = 0; k < SaveSlotCount; ++k) {
            if ((InputObj->IsKeyDown(DigitKey(k)) || clickedRow == k) && choosable(k)) {
                slot = k;
                chosen = true;
            }
        }
        if (InputObj->IsKeyDown(key::Escape)) {
            chosen = false;
            cancelled = true;
        }
        FrameObj->EndFrame();
    }
    FrameObj->BeginFrame();
    FrameObj->RenderScene();
    return chosen;
}

}  // namespace quorvel
