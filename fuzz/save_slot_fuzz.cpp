// The save slots: any bytes as a slot file, read as the load list reads them, and the
// money it holds shown as the status line shows it.
#include <cmath>

#include "fuzz_support.h"
#include "game/run_loop.h"
#include "game/save_file.h"
#include "platform/system/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    static const bool once = [] {
        sys::SetProgramFolder(fuzz::ScratchFolder());
        return true;
    }();
    (void)once;
    fuzz::WriteFile(fuzz::ScratchFolder() + "/VeltorSave0.vlx", {data, size});
    const SaveSlotContents slot = ReadSaveSlot(0);
    if (slot.state == SaveSlotState::Empty) fuzz::Require(size == 0, "only a file of nothing is empty");
    if (slot.state != SaveSlotState::Good) return 0;

    const SaveGameValues& v = slot.values;
    fuzz::Require(v.level >= 1 && v.level <= 50, "a playable level");
    fuzz::Require(std::isfinite(v.money), "finite money");
    // The load list's row and the status line show the money it holds.
    fuzz::Require(!MoneyText(v.money).empty(), "money shown");
    fuzz::Require(v.capacityLevel >= 1 && v.capacityLevel <= 4, "a capacity level from 1 to 4");
    // What was read saves and reads back the same.
    fuzz::Require(WriteSaveSlot(1, v), "the values write");
    const SaveSlotContents again = ReadSaveSlot(1);
    const SaveGameValues& w = again.values;
    fuzz::Require(again.state == SaveSlotState::Good && w.level == v.level && w.ownsIon == v.ownsIon &&
                      w.ownsMion == v.ownsMion && w.ownsEplas == v.ownsEplas &&
                      w.ownsDisperse == v.ownsDisperse && w.ownsGamma == v.ownsGamma && w.money == v.money &&
                      w.ownsGravBeam == v.ownsGravBeam && w.capacityLevel == v.capacityLevel,
                  "the same values read back");
    return 0;
}
