// Linetypes: the dash patterns of the LTYPE table and how a line is cut
// into its dashes.
#pragma once

#include <QPointF>

#include <string_view>
#include <vector>

#include "db/database.h"

namespace zan::render {

// A pattern as the LTYPE table keeps it (group 49, in drawing units): a
// positive length is a dash, a negative one a gap, zero a dot. Empty: solid.
using DashPattern = std::vector<double>;

// The pattern of a linetype by name; solid for CONTINUOUS, for a name the
// drawing does not have and for a pattern that draws nothing.
DashPattern linetypePattern(const host::Database& db, std::string_view name);

// Cuts a polyline into its dashes, the pattern's lengths multiplied by
// `scale`, starting with the pattern's first element. A dot takes no room in
// the pattern and is drawn as a piece `dotLength` long. At most `maxPieces` pieces are made; a line that would
// need more is returned whole (too dense to show its dashes).
std::vector<std::vector<QPointF>> dashPolyline(const std::vector<QPointF>& points, const DashPattern& pattern,
                                               double scale, double dotLength, std::size_t maxPieces = 20000);

}  // namespace zan::render
