#include "shell/load_game.h"

#include "common/common.h"
#include "game/game.h"
#include "platform/system/frame_log.h"
#include "platform/system/process.h"
#include "shell/main_menu.h"
#include "shell/menu_scene.h"

namespace quorvel {
namespace {

bool CanLoad(const SaveSlotContents& slot) {
    return slot.state == SaveSlotState::Good;
}

// The slot list over the running menu scene.
bool RunSlotList(int& slot, const SaveSlotList& slots) {
    const SlotListPlace place{
        MainMenuScreen.Menus[1],           MainMenuScreen.MenuMouse,    MainMenuScreen.MenuMouseX,
        MainMenuScreen.MenuMouseY,         MainMenuScreen.HoverSounded, float(MainMenuScreen.MenuCentreX),
        float(MainMenuScreen.MenuCentreY), MainMenuScreen.MenuScaleX,   MainMenuScreen.MenuScaleY};
    return RunSaveSlotList(place, SlotListUse::Load, slots, slot);
}

void ShowMenuImages(bool visible) {
    for (const char* image : {"menu", "mouse"}) {
        Draw2DObj->SelectImage(image);
        Draw2DObj->SetImageVisible(visible);
    }
}

}  // namespace

void MainMenuLoadGame(int& Slot) {
    UpdateMenuScreenMetrics();

    SaveGameValues values;
    if (Slot == NewGameSlot) {
        sys::FrameLogEventAtLastPress("load-key");
        values.level = 1;  // nothing owned, no money, capacity 0 (taken as level 1)
    } else {
        const SaveSlotList slots = ReadSaveSlots();
        ShowMenuImages(false);
        bool chosen = Slot > 0 ? RunSlotList(Slot, slots)
                               : Slot >= 0 && Slot < SaveSlotCount && CanLoad(slots[std::size_t(Slot)]);
        ShowMenuImages(true);
        if (!chosen) return;
        sys::FrameLogEventAtLastPress("load-key");
        values = slots[std::size_t(Slot)].values;
    }

    // The loading text stays on screen while the scene is torn down.
    Draw2DObj->DrawText(Vector2{MainMenuScreen.MenuCentreX - 80.0f,
                                MainMenuScreen.MenuCentreY - MainMenuScreen.MenuCentreY / 2.0f},
                        GameText("loading"));
    FrameObj->EndFrame();
    // The pictures and models of the run's scene are read while the screen rests.
    PrefetchLevelFiles();
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
