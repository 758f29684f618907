// Where the buttons of a grid go and how large the client area is.
#include <gtest/gtest.h>

#include "toolwnd/grid_layout.h"

namespace zan {
namespace {

GridLayout layoutOf(int items, int rows, int strip = 0) {
    GridGeometry g;
    g.itemCount = items;
    g.rows = rows;
    g.cellWidth = 26;
    g.cellHeight = 26;
    if (strip > 0) {
        g.stripCount = strip;
        g.stripButtonWidth = 27;  // 20-pixel images
        g.stripHeight = 26;
    }
    return computeGridLayout(g);
}

TEST(GridLayout, RowsAreFilledBeforeTheNextBeginsAndEmptyRowsStillCount) {
    EXPECT_EQ(layoutOf(5, 1).columns, 5);
    GridLayout twoRows = layoutOf(5, 2);
    EXPECT_EQ(twoRows.columns, 3);
    EXPECT_EQ(twoRows.cells[4].top, 27);
    EXPECT_EQ(twoRows.cells[4].left, 27);
    GridLayout tall = layoutOf(2, 5);
    EXPECT_EQ(tall.columns, 1);
    EXPECT_EQ(tall.client, (tk::Size{28, 5 * 26 + 2}));
}

TEST(GridLayout, NoItemsGiveTheBareFrameOrTheStripWidth) {
    GridLayout none = layoutOf(0, 1);
    EXPECT_EQ(none.columns, 0);
    EXPECT_EQ(none.client, (tk::Size{2, 28}));
    GridLayout strip = layoutOf(0, 1, 3);
    EXPECT_EQ(strip.client, (tk::Size{3 * 27 + 4, 26 + 26 + 6}));
}

TEST(GridLayout, AStripPushesTheButtonsDownAndWidensOnlyWhenWider) {
    GridLayout l = layoutOf(7, 2, 2);
    EXPECT_EQ(l.cells[0], tk::Rect::fromSize(1, 1 + 26 + 4, 26, 26));
    EXPECT_EQ(l.client, (tk::Size{106, 2 * 26 + 26 + 6}));
}

TEST(GridLayout, RowsBelowOneAreTakenAsOne) {
    GridLayout l = layoutOf(3, 0);
    EXPECT_EQ(l.columns, 3);
    EXPECT_EQ(l.client.height, 28);
    EXPECT_EQ(layoutOf(3, -4).columns, 3);
}

}  // namespace
}  // namespace zan
