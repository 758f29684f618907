// The shape each kind of entity draws by itself, in the coordinates its
// points are kept in (the world, or its block's coordinates). Block
// references and dimensions draw through their blocks (see placement.h).
//
// Texts have no font outlines here: a text draws the box it fills, from its
// height, width factor, rotation and number of characters (see text_box.h).
#pragma once

#include <vector>

#include "db/record.h"
#include "geometry/shape.h"

namespace host {

// The shape of one record. A POLYLINE draws through `vertices` (its VERTEX
// records in order); a kind with no geometry known here draws its first
// point, if it has one.
Shape entityShape(const Record& r, const std::vector<const Record*>& vertices = {});

// The arc of a polyline segment with a bulge, from `a` to `b` in the plane
// of the polyline's object coordinates (the bulge is the tangent of a
// quarter of the included angle; positive turns counterclockwise). A bulge
// of zero gives a segment.
Curve bulgeSegment(const Point3& a, const Point3& b, double bulge);

// Points along a B-spline (degree, knots, control points, optional weights).
std::vector<Point3> splinePoints(int degree, const std::vector<double>& knots, const std::vector<Point3>& control,
                                 const std::vector<double>& weights, int perSpan = 8);

}  // namespace host
