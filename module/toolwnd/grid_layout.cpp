#include "toolwnd/grid_layout.h"

#include <algorithm>

namespace zan {

GridLayout computeGridLayout(const GridGeometry& g) {
    GridLayout out;
    const int rows = std::max(1, g.rows);
    const int count = std::max(0, g.itemCount);
    out.columns = (count + rows - 1) / rows;
    const bool strip = g.stripCount > 0;
    const int top = strip ? g.stripHeight + 4 : 0;
    out.cells.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int column = k % out.columns, row = k / out.columns;
        out.cells.push_back(
            tk::Rect::fromSize(1 + column * g.cellWidth, 1 + top + row * g.cellHeight, g.cellWidth, g.cellHeight));
    }
    out.client.width = out.columns * g.cellWidth + 2;
    out.client.height = rows * g.cellHeight + 2;
    if (strip) {
        out.client.height = rows * g.cellHeight + g.stripHeight + 6;
        out.client.width = std::max(out.client.width, g.stripCount * g.stripButtonWidth + 4);
    }
    return out;
}

tk::Rect stripButtonRect(int index, int buttonWidth, int stripHeight) {
    return tk::Rect::fromSize(2 + index * buttonWidth, 2, buttonWidth, stripHeight);
}

}  // namespace zan
