// The pointer and hover of the in-game menus.

#include "game/in_game_menu.h"

#include "game/game.h"

namespace quorvel {

void PlaceMenuPointer(const MouseState& mouse, int& pictureX, int& pictureY) {
    if (Draw2DObj->SelectImage("mouse")) {
        Draw2DObj->SetImagePosition(Vector2{mouse.X - 11 * Display.ScaleX, mouse.Y - 13 * Display.ScaleY});
        Draw2DObj->SetImageVisible(true);
    }
    pictureX = Nearest((mouse.X - Display.ScreenCentreX) / Display.ScaleX + 256);
    pictureY = Nearest((mouse.Y - Display.ScreenCentreY) / Display.ScaleY + 256);
}

int HoverMenuRow(const clsMenu& list, int pictureX, int pictureY) {
    const bool over = list.OverMenu(pictureX, pictureY);
    if (Draw2DObj->SelectImage("mouse")) Draw2DObj->SetImageTexture(0, over ? "ms2" : "ms1");
    if (!over) {
        InGameMenu.InGameHoverSounded = false;
        return -1;
    }
    if (!InGameMenu.InGameHoverSounded) PlayClick();
    InGameMenu.InGameHoverSounded = true;
    return list.MenuSelected(pictureX, pictureY);
}

void CloseMenuPointer() {
    if (Draw2DObj->SelectImage("mouse")) Draw2DObj->SetImageVisible(false);
    CentreSteeringPointer();
}

}  // namespace quorvel
