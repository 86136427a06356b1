// The list of the ten save slots, as the save menu, the in-game load menu and the main
// menu's load screen show it over their running scene.

#include <string>

#include "common/common.h"
#include "game/game.h"
#include "platform/engine/scancodes.h"

namespace quorvel {
namespace {

int DigitKey(int k) {
    return k == 0 ? key::D0 : k + 1;
}

}  // namespace

void SetUpLoadList(SlotListScreen& screen, const SaveSlotList& slots) {
    const Colour blue{0, 0, 255, 255};
    const Colour yellow{255, 255, 0, 255};
    screen.title = "Press number to load game:";
    // The shadow one and two reference units to the right of the text.
    screen.passes = {{blue, -75}, {blue, -74}, {yellow, -76}};
    for (int k = 0; k < SaveSlotCount; ++k)
        screen.choosable[std::size_t(k)] = slots[std::size_t(k)].state == SaveSlotState::Good;
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

bool RunSaveSlotList(const SlotListScreen& screen, const SaveSlotList& slots, int& slot) {
    const float cx = screen.centreX, cy = screen.centreY;
    const float sx = screen.scaleX, sy = screen.scaleY;
    auto choosable = [&](int k) { return k >= 0 && k < SaveSlotCount && screen.choosable[std::size_t(k)]; };
    FrameObj->EndFrame();
    bool chosen = false;
    bool cancelled = false;
    while (!chosen && !cancelled) {
        FrameObj->BeginFrame();
        FrameObj->RenderScene();
        screen.mouse = InputObj->GetMouseState(0);
        int clickedRow = -1;
        Draw2DObj->SelectImage("mouse");
        Draw2DObj->SetImagePosition(Vector2{screen.mouse.X - 11 * sx, screen.mouse.Y - 13 * sy});
        Draw2DObj->SetImageVisible(true);
        screen.pointerX = screen.mouse.X;
        screen.pointerY = screen.mouse.Y;
        if (screen.rows.OverMenu(screen.pointerX, screen.pointerY)) {
            Draw2DObj->SetImageTexture(0, "ms2");
            if (screen.mouse.Button0) {
                clickedRow = screen.rows.MenuSelected(screen.pointerX, screen.pointerY);
                // A row that cannot be chosen gives no click either.
                if (choosable(clickedRow)) PlayClick();
            }
            if (!screen.hoverSounded) PlayClick();
            screen.hoverSounded = true;
        } else {
            Draw2DObj->SetImageTexture(0, "ms1");
            screen.hoverSounded = false;
        }

        for (const SlotListPass& pass : screen.passes) {
            Draw2DObj->SetDrawColour(pass.colour);
            const float x = cx + pass.dx * sx;
            const float titleX = screen.titleDx ? cx + *screen.titleDx * sx : x;
            Draw2DObj->DrawText(Vector2{titleX, cy - 240 * sy}, screen.title);
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
