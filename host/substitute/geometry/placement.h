// Block references and dimensions: where they put the entities of their
// blocks, walked down to the entities that draw (nested to any depth).
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "geometry/shape.h"

namespace host {

// The matrix from a block's coordinates to those of the space a reference
// is in, for one cell of its column and row array: the block's base point
// moves to the insertion point, then the scale factors, the rotation and
// the reference's object coordinate system apply.
Matrix referenceMatrix(const Record& insert, const Point3& basePoint, int column = 0, int row = 0);
// Every cell's matrix (one for a reference without an array); none when
// the block does not exist.
std::vector<Matrix> referenceMatrices(const Database& db, const Record& insert);
// A dimension's block is drawn where the dimension is (its group 12 is the
// block's offset, its extrusion its plane).
Matrix dimensionMatrix(const Record& dimension);

// One entity that draws, reached through the references holding it.
struct Leaf {
    RecordId entity;
    const Matrix& toSpace;            // its coordinates to those of the space walked
    const std::vector<RecordId>& chain;  // the references holding it, outermost first
    std::string_view layer;           // its layer, "0" taking its reference's layer
};
// Return false to end the walk.
using LeafVisitor = std::function<bool(const Leaf&)>;

// Walks what an entity draws: the entity itself, or for a reference or a
// dimension the entities of its block with their matrices, and a
// reference's attributes (which stand in the reference's own space). A
// block that is already being walked is not entered again: a reference
// cycle draws nothing past it.
void walkLeaves(const Database& db, RecordId entity, const Matrix& toSpace, const LeafVisitor& visit);

// The VERTEX records of a POLYLINE.
std::vector<const Record*> vertexRecords(const Database& db, RecordId polyline);

// The shape an entity draws where it stands (a reference's whole contents).
Shape shapeOf(const Database& db, RecordId entity);
// The shape of a leaf record alone, in its own coordinates.
Shape leafShape(const Database& db, RecordId entity);

// Entities that are drawn as part of another: vertices, attributes and the
// SEQEND that closes them.
bool isSubEntity(const Record& r);

}  // namespace host
