#include <gtest/gtest.h>

#include "common/menu.h"

namespace quorvel {
namespace {

TEST(clsMenu, StrictRectangleTest) {
    clsMenu menu;
    menu.Init(0);
    menu.AddMenuItem(45, 270, 450, 303);
    struct Case {
        int x, y;
        int selected;
    };
    const Case cases[] = {
        {45, 280, -1},  {100, 303, -1}, {46, 271, 0},  {449, 302, 0},
        {450, 280, -1}, {100, 270, -1}, {45, 270, -1}, {0, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(menu.MenuSelected(c.x, c.y), c.selected) << c.x << "," << c.y;
        EXPECT_EQ(menu.OverMenu(c.x, c.y), c.selected >= 0) << c.x << "," << c.y;
    }
    EXPECT_EQ(menu.test(), 45);
}

TEST(clsMenu, LowestIndexWinsWhereItemsOverlap) {
    clsMenu menu;
    menu.Init(2);
    menu.AddMenuItem(0, 0, 10, 10);
    menu.AddMenuItem(5, 5, 100, 100);
    menu.AddMenuItem(0, 0, 200, 200);
    EXPECT_EQ(menu.MenuSelected(7, 7), 0);
    EXPECT_EQ(menu.MenuSelected(50, 50), 1);
    EXPECT_EQ(menu.MenuSelected(150, 150), 2);
    EXPECT_EQ(menu.MenuSelected(300, 300), -1);
}

TEST(clsMenu, UnfilledEntriesAndTooManyItems) {
    clsMenu never;
    EXPECT_EQ(never.MenuSelected(1, 1), -1);
    EXPECT_FALSE(never.OverMenu(1, 1));
    EXPECT_EQ(never.test(), 0);

    clsMenu menu;
    menu.Init(1);
    menu.AddMenuItem(0, 0, 10, 10);
    EXPECT_EQ(menu.MenuSelected(-1, -1), -1) << "entry 1 is unfilled, all corners 0";
    menu.AddMenuItem(20, 20, 30, 30);
    menu.AddMenuItem(40, 40, 50, 50);  // beyond the room Init made: ignored
    menu.AddMenuItem(60, 60, 70, 70);
    ASSERT_EQ(menu.MenuItems().size(), 2u);
    EXPECT_EQ(menu.MenuSelected(45, 45), -1);
    EXPECT_EQ(menu.MenuSelected(25, 25), 1);

    // Init again keeps the old rectangles and refills from entry 0.
    menu.Init(1);
    EXPECT_EQ(menu.NextItem(), 0);
    EXPECT_EQ(menu.MenuSelected(25, 25), 1);
    menu.AddMenuItem(100, 100, 110, 110);
    EXPECT_EQ(menu.MenuSelected(5, 5), -1);
    EXPECT_EQ(menu.MenuSelected(105, 105), 0);
}

}  // namespace
}  // namespace quorvel
