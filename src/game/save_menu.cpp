// Saving the campaign: the quick save and the save list opened from the pause menu.

#include <string>

#include "common/common.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

// Said instead of "Game Saved" when the slot could not be written; the slot still holds
// what it held before.
constexpr const char* SaveFailedText = "Save failed - the slot was not changed";

void ShowImage(const char* key, bool visible) {
    if (Draw2DObj->SelectImage(key)) Draw2DObj->SetImageVisible(visible);
}

SaveGameValues CurrentValues() {
    SaveGameValues v;
    v.level = Campaign.CurrentLevel;
    v.ownsIon = Campaign.OwnsIon;
    v.ownsMion = Campaign.OwnsMion;
    v.ownsEplas = Campaign.OwnsEplas;
    v.ownsDisperse = Campaign.OwnsDisperse;
    v.ownsGamma = Campaign.OwnsGamma;
    v.money = Campaign.Money;
    v.ownsGravBeam = Campaign.OwnsGravBeam;
    v.capacityLevel = Arsenal.CapacityLevel;
    return v;
}

}  // namespace

void SaveGameMenu(int& slot) {
    const SaveSlotList slots = ReadSaveSlots();
    ShowImage("menu", false);
    ShowImage("mouse", false);

    if (slot > 0) {
        const bool chosen = RunSaveSlotList(InGameSlotListPlace(), SlotListUse::Save, slots, slot);
        // Back to the pause menu that opened the list.
        ShowImage("menu", true);
        ShowImage("mouse", true);
        if (!chosen) return;
    } else if (slot < 0) {
        return;  // no such slot
    }

    const bool saved = WriteSaveSlot(slot, CurrentValues());
    Draw2DObj->SetDrawColour(SaveListGreen);
    Draw2DObj->DrawText(
        Vector2{Display.ScreenCentreX - 75 * Display.ScaleX, Display.ScreenCentreY - 350 * Display.ScaleY},
        saved ? "Game Saved" : SaveFailedText);
    FrameObj->EndFrame();
    WaitPast(WallClockSecond(), 2.0);
    FrameObj->BeginFrame();
    FrameObj->RenderScene();
    // Cleared after a failure too: the save key asks once per press.
    Screens.QuickSaveLatch = false;
}

}  // namespace quorvel
