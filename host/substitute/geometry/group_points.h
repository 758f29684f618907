// Reading and writing coordinates kept in a record's group list: a point's
// x is at its code, its y and z follow at code + 10 and code + 20 (2D points
// have no z).
#pragma once

#include <cstddef>
#include <optional>

#include "db/record.h"
#include "geometry/matrix.h"

namespace host {

// The point whose x group is at `index`; `hasZ` tells whether a z followed.
Point3 pointAt(const GroupList& groups, std::size_t index, bool* hasZ = nullptr);
// Writes a point whose x group is at `index`; a z is written only where the
// point has one, or added when it becomes non-zero. Values that do not
// change keep their text.
void setPointAt(GroupList& groups, std::size_t index, const Point3& p);
// The first point with this x code.
std::optional<Point3> pointOf(const Record& r, int code);
// Sets the first point with this x code, or appends one.
void setPointOf(Record& r, int code, const Point3& p);
// The extrusion direction (group 210), world Z when absent.
Point3 normalOf(const Record& r);
// Sets a real group unless it already holds this value; absent groups are
// added only when the value differs from `absentValue`.
void setRealKeep(Record& r, int code, double value, double absentValue);
// The same at a group's index.
void setRealAt(GroupList& groups, std::size_t index, double value);

}  // namespace host
