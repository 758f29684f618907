// Extents of entities, blocks and the drawing.
//
// Boxes are kept per entity and made again only when the entity or a record
// it depends on changed (by their revisions): a polyline's vertices, a
// reference's attributes, and for references and dimensions any block
// definition. Extents cover every entity of a space, whatever its layer.
#pragma once

#include <cstddef>
#include <string_view>

#include "db/database.h"
#include "geometry/shape.h"

namespace host {

// The box of what an entity draws where it stands (invalid when it draws
// nothing, or reaches to infinity like a construction line).
Box entityExtents(const Database& db, RecordId entity);
// The box of a block's entities in the block's coordinates.
Box blockExtents(const Database& db, std::string_view block);
// The box of the entities of model space or of paper space (viewport
// frames included, the paper sheet's viewport not).
Box drawingExtents(const Database& db, bool paperSpace);
// Sets EXTMIN/EXTMAX (model space) and PEXTMIN/PEXTMAX (paper space) to the
// current extents; a space with nothing in it gets the values of an empty
// drawing (1e20 and -1e20).
void updateDrawingExtents(Database& db);

// Widens EXTMIN/EXTMAX (or PEXTMIN/PEXTMAX) to take in one entity of model
// or paper space that was made or moved: cheap enough for every entity an application makes.
void growDrawingExtents(Database& db, RecordId entity);

// Takes into EXTMIN/EXTMAX and PEXTMIN/PEXTMAX the records stored since the
// extents were last right, when records were only added since (no record
// then stored changed): `firstRecord` is the first record id and
// `firstEntity` the first position in the drawing's entity list not yet
// taken in. Returns false, leaving the extents as they were, when an
// addition may change what older entities draw (a block that an older
// reference draws was made or grew; a vertex or attribute went to an older
// entity): the extents must then be measured again.
bool growDrawingExtentsByAdditions(Database& db, RecordId firstRecord, std::size_t firstEntity);

// The shape of a block's entities in its coordinates, references within it
// expanded (kept until the drawing changes).
const Shape& blockShape(const Database& db, std::string_view block);

}  // namespace host
