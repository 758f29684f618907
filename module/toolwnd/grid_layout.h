// The geometry of a button grid: where each button goes and how large the
// client area is, for a number of items, rows, a cell size and an optional
// option strip along the top.
#pragma once

#include <vector>

#include "tk/geometry.h"

namespace zan {

struct GridGeometry {
    int itemCount = 0;
    int rows = 1;  // taken as 1 when less
    int cellWidth = 0;
    int cellHeight = 0;
    // Option strip: none when stripCount is 0.
    int stripCount = 0;
    int stripButtonWidth = 0;
    int stripHeight = 0;
};

struct GridLayout {
    int columns = 0;
    std::vector<tk::Rect> cells;  // in grid order, client coordinates
    tk::Size client;
};

// Rows are filled left to right, top to bottom, `columns` buttons to a row.
GridLayout computeGridLayout(const GridGeometry& geometry);

// Where strip button i stands, in client coordinates.
tk::Rect stripButtonRect(int index, int buttonWidth, int stripHeight);

}  // namespace zan
