#include "shell/load_game.h"

#include <array>
#include <string>

#include "common/common.h"
#include "game/game.h"
#include "platform/engine/scancodes.h"
#include "platform/system/process.h"
#include "shell/main_menu.h"
#include "shell/menu_scene.h"
#include "shell/waits.h"

namespace quorvel {
namespace {

constexpr int LoadingText = 27;  // "loading" among the game texts

const Colour Blue{0, 0, 255, 255};
const Colour Yellow{255, 255, 0, 255};

using SlotList = std::array<SaveSlotContents, SaveSlotCount>;

bool CanLoad(const SaveSlotContents& slot) {
    return slot.state == SaveSlotState::Good;
}

int DigitKey(int k) {
    return k == 0 ? key::D0 : k + 1;
}

// The slot list over the running menu scene. True when a slot was chosen (into
// `slot`), false when the player left with Escape.
bool RunSlotList(int& slot, const SlotList& slots) {
    const float cx = float(MenuCentreX), cy = float(MenuCentreY);
    const float sx = MenuScaleX, sy = MenuScaleY;
    FrameObj->EndFrame();
    bool chosen = false;
    bool cancelled = false;
    while (!chosen && !cancelled) {
        FrameObj->BeginFrame();
        FrameObj->RenderScene();
        MenuMouse = InputObj->GetMouseState(0);
        int loadRow = -1;
        Draw2DObj->SelectImage("mouse");
        Draw2DObj->SetImagePosition(Vector2{MenuMouse.X - 11 * sx, MenuMouse.Y - 13 * sy});
        Draw2DObj->SetImageVisible(true);
        MenuMouseX = MenuMouse.X;
        MenuMouseY = MenuMouse.Y;
        if (Menus[1].OverMenu(MenuMouseX, MenuMouseY)) {
            Draw2DObj->SetImageTexture(0, "ms2");
            if (MenuMouse.Button0) {
                loadRow = Menus[1].MenuSelected(MenuMouseX, MenuMouseY);
                // An empty row cannot be chosen, so it gives no click either.
                if (loadRow >= 0 && loadRow < SaveSlotCount && CanLoad(slots[std::size_t(loadRow)]))
                    PlayClick();
            }
            if (!HoverSounded) PlayClick();
            HoverSounded = true;
        } else {
            Draw2DObj->SetImageTexture(0, "ms1");
            HoverSounded = false;
        }

        // Yellow text with a blue shadow one and two reference units to its right.
        const struct {
            Colour colour;
            float dx;
        } passes[] = {{Blue, -75}, {Blue, -74}, {Yellow, -76}};
        for (const auto& pass : passes) {
            Draw2DObj->SetDrawColour(pass.colour);
            const float x = cx + pass.dx * sx;
            Draw2DObj->DrawText(Vector2{x, cy - 240 * sy}, "Press number to load game:");
            for (int k = 0; k < SaveSlotCount; ++k)
                Draw2DObj->DrawText(Vector2{x, cy - (220 - 20.0f * k) * sy},
                                    SlotRowText(k, slots[std::size_t(k)]));
        }

        // Digits 0 to 9, then Escape: the last test that holds wins.
        for (int k = 0; k < SaveSlotCount; ++k) {
            if ((InputObj->IsKeyDown(DigitKey(k)) || loadRow == k) && CanLoad(slots[std::size_t(k)])) {
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

void ShowMenuImages(bool visible) {
    for (const char* image : {"menu", "mouse"}) {
        Draw2DObj->SelectImage(image);
        Draw2DObj->SetImageVisible(visible);
    }
}

}  // namespace

std::string SlotRowText(int slot, const SaveSlotContents& contents) {
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

void MainMenuLoadGame(int& Slot) {
    UpdateMenuScreenMetrics();

    SaveGameValues values;
    if (Slot == NewGameSlot) {
        values.level = 1;  // nothing owned, no money, capacity 0 (taken as level 1)
    } else {
        SlotList slots;
        for (int k = 0; k < SaveSlotCount; ++k)
            slots[std::size_t(k)] = ReadSaveSlot(k);
        ShowMenuImages(false);
        bool chosen = Slot > 0 ? RunSlotList(Slot, slots)
                               : Slot >= 0 && Slot < SaveSlotCount && CanLoad(slots[std::size_t(Slot)]);
        ShowMenuImages(true);
        if (!chosen) return;
        values = slots[std::size_t(Slot)].values;
    }

    // The loading text stays on screen while the scene is torn down.
    Draw2DObj->DrawText(Vector2{MenuCentreX - 80.0f, MenuCentreY - MenuCentreY / 2.0f},
                        GameTexts[LoadingText]);
    FrameObj->EndFrame();
    TearDownMenuScene(MenuSceneEnd::GameStart);
    sys::PumpMessages();
    // PlayLevel makes these anew.
    MeshObj.reset();
    MaterialObj.reset();
    TextureObj.reset();
    Draw2DObj.reset();
    SkyObj.reset();
    WaitPast(WallClockSecond(), 1.0);

    PlayLevel(values.level, values.ownsIon, values.ownsMion, values.ownsEplas, values.ownsDisperse,
              values.ownsGamma, values.money, values.ownsGravBeam, values.capacityLevel);
}

}  // namespace quorvel
