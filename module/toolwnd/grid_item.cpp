#include "toolwnd/grid_item.h"

namespace zan {

void GridItem::setLabel(std::string_view text) {
    label_.assign(text);
    for (char& c : label_)
        if (c == '"' || c == '\\') c = ' ';
}

}  // namespace zan
