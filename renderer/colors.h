// Colours: the 256 indexed colours, true colours, by layer and by block.
#pragma once

#include <QColor>

#include <cstdint>
#include <optional>
#include <string_view>

#include "db/database.h"

namespace zan::render {

constexpr int kByBlock = 0;
constexpr int kByLayer = 256;

// The colour of an index (1 to 255; 7 as white).
QColor indexedColor(int index);

// A colour as a record gives it: an index (group 62, by layer when absent)
// and a true colour (group 420) that overrides it.
struct EntityColor {
    int index = kByLayer;
    std::optional<std::uint32_t> trueColor;
    bool byLayer() const { return !trueColor && index == kByLayer; }
    bool byBlock() const { return !trueColor && index == kByBlock; }
};

EntityColor entityColor(const host::Record& r);
// A layer's colour (index 7 for a layer the drawing does not have).
EntityColor layerColor(const host::Database& db, std::string_view layer);

// How colours show on a background: index 7 is drawn in the colour that
// stands out on it (black on white paper, white on a dark screen).
struct ColorScheme {
    QColor background = Qt::white;
    QColor foreground = Qt::black;
    QColor resolve(int index, std::optional<std::uint32_t> trueColor) const;
    QColor resolve(const EntityColor& c) const { return resolve(c.index, c.trueColor); }
};

}  // namespace zan::render
