// Offsets of plane curves made of line and arc segments (a polyline with
// bulges; a single line is a path of two vertices): the curve parallel to
// a path at a given distance on one side, with the segments trimmed or
// extended to meet at each join, as drafters expect of an offset outline.
#pragma once

#include <optional>
#include <vector>

namespace host {

// A vertex of a path: its position and the bulge of the segment that starts
// there (the tangent of a quarter of the arc's included angle, positive
// counter-clockwise; 0 for a straight segment).
struct BulgeVertex {
    double x = 0, y = 0;
    double bulge = 0;
    int source = -1;  // in an offset: the vertex of the original path this one comes from (-1: added at a gap)
};

struct BulgePath {
    std::vector<BulgeVertex> vertices;
    bool closed = false;
};

// The path offset by `distance` to its left (seen along its direction; a
// negative distance goes right). Consecutive offset segments are extended
// or trimmed to their intersection nearest the original vertex; where they
// do not meet, a straight segment bridges the gap. Nothing when an arc
// segment would shrink to a radius of zero or less, or the path has no
// segment.
std::optional<BulgePath> offsetPath(const BulgePath& path, double distance);

// The side of the path a point lies on, decided by the nearest segment:
// +1 left, -1 right, 0 on the path.
int sideOfPath(const BulgePath& path, double x, double y);

// The distance from a point to the nearest segment's carrier (the whole
// line, or the whole circle of an arc): the offset distance that passes
// through the point.
double throughDistance(const BulgePath& path, double x, double y);

}  // namespace host
