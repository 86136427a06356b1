#pragma once
// Hit lists for menus drawn in 3D: numbered screen rectangles with a strict
// point-in-rectangle test. Coordinates are whatever space the caller tests in.

#include <vector>

namespace quorvel {

struct MenuItem {
    int ItemId = 0;
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

class clsMenu {
  public:
    // Room for the entries 0 to count; existing rectangles are kept and refilling
    // starts again at entry 0.
    void Init(int count);
    // Fills the next entry. Once every entry is filled, further items are ignored.
    void AddMenuItem(int x1, int y1, int x2, int y2);
    // Lowest index whose rectangle strictly contains the point; -1 when none does.
    int MenuSelected(int x, int y) const;
    bool OverMenu(int x, int y) const;
    // X1 of entry 0 (0 on a list that was never given Init).
    int test() const;

    const std::vector<MenuItem>& MenuItems() const { return items_; }
    int NextItem() const { return next_; }

  private:
    std::vector<MenuItem> items_;
    int next_ = 0;
};

}  // namespace quorvel
