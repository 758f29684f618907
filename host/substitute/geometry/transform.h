// Moving, rotating, scaling and mirroring entities by a 4 x 4 matrix.
//
// Coordinates kept in an entity's object coordinate system (circles, arcs,
// light-weight and 2D polylines, texts, inserts, solids, hatches) are taken to
// the world, transformed and brought into the object coordinate system of the
// transformed extrusion direction. A mirroring transform keeps a 2D entity
// in its plane and reverses its sense: arcs swap their end angles, bulges
// change sign, block references get a negative X scale, texts are written
// backward.
#pragma once

#include <vector>

#include "db/database.h"
#include "geometry/matrix.h"

namespace host {

// Transforms one record by itself (a VERTEX as one of a 2D polyline in the
// world XY plane). False, with the record unchanged, when its kind cannot
// take the transform: a kind without geometry (SEQEND excepted, which takes
// any), a circle, arc or bulged polyline scaled unevenly, a block reference
// sheared, a viewport turned or mirrored.
bool transformRecord(Record& record, const Matrix& m);

// Transforms a VERTEX of a polyline whose extrusion direction is `normal`
// (2D vertices are in that polyline's object coordinates).
bool transformVertex(Record& vertex, const Matrix& m, const Point3& normal);

// Transforms a stored entity with its sub-entities (a polyline's vertices, a
// block reference's attributes, a dimension's own block) through
// Database::modify. False, with nothing changed, when any part cannot take
// the transform.
bool transformEntity(Database& db, RecordId entity, const Matrix& m);

// The list that holds an entity: the drawing's entities, or those of the
// block definition that owns it. Null for a record that is in neither.
const std::vector<RecordId>* listHolding(const Database& db, RecordId entity);

// The sub-entities that follow a complex entity in its list: a POLYLINE's
// VERTEX records and its SEQEND, an INSERT's ATTRIB records and SEQEND (when
// its group 66 is 1). Empty for other entities.
std::vector<RecordId> subEntities(const Database& db, RecordId entity);

}  // namespace host
