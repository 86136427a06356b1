#include "common/menu.h"

#include <cstddef>

namespace quorvel {

void clsMenu::Init(int count) {
    items_.resize(count < 0 ? 0 : static_cast<std::size_t>(count) + 1);
    for (std::size_t i = 0; i < items_.size(); ++i)
        items_[i].ItemId = static_cast<int>(i);
    next_ = 0;
}

void clsMenu::AddMenuItem(int x1, int y1, int x2, int y2) {
    if (next_ < 0 || static_cast<std::size_t>(next_) >= items_.size()) return;
    MenuItem& item = items_[next_];
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    ++next_;
}

int clsMenu::MenuSelected(int x, int y) const {
    for (const MenuItem& item : items_) {
        if (item.X1 < x && x < item.X2 && item.Y1 < y && y < item.Y2) return item.ItemId;
    }
    return -1;
}

bool clsMenu::OverMenu(int x, int y) const {
    return MenuSelected(x, y) >= 0;
}

int clsMenu::test() const {
    return items_.empty() ? 0 : items_[0].X1;
}

}  // namespace quorvel
