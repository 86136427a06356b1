// The hit lists of the menus a game run shows over its 3D view.

#include "common/common.h"
#include "game/game.h"
#include "game/state.h"

namespace quorvel {
namespace {

struct Rect {
    int x1, y1, x2, y2;
};

// Lists 0 to 2 are in the 512 x 512 space of their menu pictures.
constexpr Rect PauseRows[] = {{90, 225, 410, 263}, {90, 267, 410, 313}, {90, 317, 410, 363},
                              {90, 367, 410, 403}, {90, 407, 410, 448}, {90, 452, 410, 490}};
constexpr Rect GameOverRows[] = {{100, 290, 400, 323},
                                 {100, 327, 400, 368},
                                 {100, 372, 400, 405},
                                 {100, 409, 400, 443},
                                 {100, 447, 400, 485}};
// Note the wider gap between the shop's rows 5 and 6.
constexpr Rect ShopRows[] = {{30, 43, 460, 67},   {30, 80, 460, 116},  {30, 125, 460, 165},
                             {30, 175, 460, 215}, {30, 220, 460, 256}, {30, 265, 460, 305},
                             {30, 375, 460, 400}, {30, 420, 460, 445}, {30, 460, 460, 485}};

template <std::size_t N>
clsMenu MakeList(const Rect (&rows)[N]) {
    clsMenu list;
    list.Init(int(N) - 1);
    for (const Rect& r : rows)
        list.AddMenuItem(r.x1, r.y1, r.x2, r.y2);
    return list;
}

// The slot rows in screen pixels: 162 x 18 reference units at a pitch of 20, each row's
// top level with the top of its text line.
clsMenu MakeSlotList() {
    clsMenu list;
    list.Init(SaveSlotCount - 1);
    const float cx = float(Display.ScreenCentreX), cy = float(Display.ScreenCentreY);
    for (int k = 0; k < SaveSlotCount; ++k) {
        const float top = 220.0f - 20.0f * float(k);
        list.AddMenuItem(Nearest(cx - 82 * Display.ScaleX), Nearest(cy - top * Display.ScaleY),
                         Nearest(cx + 80 * Display.ScaleX), Nearest(cy - (top - 18) * Display.ScaleY));
    }
    return list;
}

}  // namespace

void CreateInGameMenus() {
    InGameMenu.InGameMenus[0] = MakeList(PauseRows);
    InGameMenu.InGameMenus[1] = MakeList(GameOverRows);
    InGameMenu.InGameMenus[2] = MakeList(ShopRows);
    InGameMenu.InGameMenus[3] = MakeSlotList();
}

}  // namespace quorvel
