// The drawing's layouts: model space and each paper-space layout with the
// entities on it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "geometry/shape.h"

namespace zan::render {

struct Layout {
    std::string name;  // "Model" for model space
    bool model = false;
    std::vector<host::RecordId> entities;  // its entities in drawing order (not vertices, attributes, SEQENDs)
};

// Model space first, then the paper-space layouts in their tab order (as the
// drawing's LAYOUT objects name them; one "Layout1" for a drawing with paper
// space entities and no LAYOUT objects).
std::vector<Layout> drawingLayouts(const host::Database& db);
// The layout of that name (case-insensitive), or null.
const Layout* findLayout(const std::vector<Layout>& layouts, std::string_view name);
// What the drawing shows now: model space on the Model tab (TILEMODE 1),
// otherwise the active paper layout.
std::string currentLayoutName(const host::Database& db);

// What a layout holds: model space's extents, or a layout's paper-space
// entities (viewport frames among them, the paper sheet's viewport not).
host::Box layoutExtents(const host::Database& db, const Layout& layout);

// Whether a viewport is the paper sheet's own (number 1), which shows the
// layout itself rather than a window on model space.
bool isPaperSheetViewport(const host::Record& viewport);

}  // namespace zan::render
