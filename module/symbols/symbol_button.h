// A symbol of a symbol bar: a grid item that stands for one block to insert,
// with the root layer name it goes on and whether the inserted block is a
// copy whose entities lie on the current level's layers.
#pragma once

#include <string>

#include "toolwnd/grid_item.h"

namespace zan {

class SymbolButton : public GridItem {
public:
    SymbolButton() = default;

    // Reads one symbol line (image file, label, block, layer, flag). False
    // when the file ends before the five tokens were read or inside a quoted
    // text: the line is then not used.
    bool readFrom(std::FILE* file) override;
    // "image" "label" "block" "layer" flag and a line end.
    void writeTo(std::string& out) const override;

    std::string blockName;   // without ".dwg"
    std::string layerName;   // empty: the bar's default layer applies
    int searchSubEntities = 0;
};

}  // namespace zan
