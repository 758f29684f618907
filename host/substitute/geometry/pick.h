// Pointing at entities: the nearest visible entity to a pick point, nested
// picks into block references, window and crossing selection.
//
// The pick aperture. A pick point selects what is drawn within half the
// pick box of it; the pick box is PICKBOX pixels high, and a pixel is the
// current view's height in drawing units (VIEWSIZE in model space, the
// paper sheet viewport's view height in paper space) divided by the height
// of the drawing area in pixels (the second value of SCREENSIZE). Through a
// model space viewport (MSPACE) a paper unit of the viewport's height shows
// view-height / viewport-height model units, and the aperture scales with
// it. Among the entities within the aperture the nearest is picked; of
// those equally near, the one drawn last (on top).
//
// What can be picked: the entities of the current space (paper space, or
// model space on the Model tab and through the active viewport in MSPACE),
// not erased, not invisible, on a layer that is neither frozen nor off, and
// in MSPACE not frozen in the active viewport. Inside a block reference an
// entity on layer 0 counts as on the reference's layer.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "db/database.h"
#include "geometry/shape.h"

namespace host {

struct PickView {
    bool paperSpace = false;
    RecordId viewport = kNoRecord;  // MSPACE: the viewport picks go through
    double aperture = 0;            // half the pick box, in drawing units of the space
    std::unordered_set<std::string> hiddenLayers;  // upper-case names

    bool layerVisible(std::string_view layer) const;
};

// What picks see now, from TILEMODE, CVPORT, PICKBOX, VIEWSIZE and SCREENSIZE.
PickView currentPickView(const Database& db);

// Further conditions a caller puts on the entities (a selection filter).
using EntityFilter = std::function<bool(const Record&)>;

// The entities of a space that can be picked there (sub-entities, erased
// entities and the paper sheet's viewport left out), in drawing order.
std::vector<RecordId> pickableEntities(const Database& db, bool paperSpace);

// The nearest visible entity within the aperture of the point, or none.
RecordId pickNearest(const Database& db, const PickView& view, double x, double y,
                     const EntityFilter& filter = {});

// A pick into references: the innermost entity drawn there, the matrix from
// its coordinates to the space's, and the references holding it, innermost
// first (empty for an entity standing in the space, or an attribute).
struct NestedPick {
    RecordId entity = kNoRecord;
    RecordId top = kNoRecord;  // the entity of the space the pick found
    Matrix toWorld;
    std::vector<RecordId> containers;
};
std::optional<NestedPick> pickNested(const Database& db, const PickView& view, double x, double y);

// Visible entities wholly inside the box (window), or inside or crossing it
// (crossing).
std::vector<RecordId> selectInBox(const Database& db, const PickView& view, const Box& box, bool crossing,
                                  const EntityFilter& filter = {});

// Which of an entity's polyline vertices a nested pick reports: the VERTEX
// that starts the segment nearest the point (as picks of old-style
// polylines return it); the polyline itself when it has none.
RecordId nearestVertex(const Database& db, RecordId polyline, const Matrix& toWorld, double x, double y);

}  // namespace host
