// What an entity draws, as the pieces picks, windows and extents measure:
// points, straight segments, elliptical arcs (circles and circular arcs are
// the even case) and filled areas. Everything is seen from above: picks and
// windows measure in the world XY plane.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/matrix.h"

namespace host {

// An axis-aligned box in the XY plane.
struct Box {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool valid = false;

    void add(double x, double y);
    void add(const Point3& p) { add(p.x, p.y); }
    void add(const Box& b);
    bool contains(const Box& b) const;
    bool contains(double x, double y) const { return valid && x >= minX && x <= maxX && y >= minY && y <= maxY; }
    bool intersects(const Box& b) const;
    // Distance from a point to the box (0 inside).
    double distance(double x, double y) const;
    // The box through two corners in any order.
    static Box of(const Point3& a, const Point3& b);
};

struct Curve {
    enum class Kind : std::uint8_t { Point, Segment, Arc };
    Kind kind = Kind::Point;
    Point3 a, b;   // Point: a; Segment: from a to b; Arc: its centre a
    Point3 u, v;   // Arc: the points a + u cos t + v sin t
    double t0 = 0, t1 = 0;  // Arc: the parameter range, t0 <= t1 <= t0 + 2 pi

    static Curve point(const Point3& p);
    static Curve segment(const Point3& a, const Point3& b);
    static Curve arc(const Point3& centre, const Point3& u, const Point3& v, double t0, double t1);
    Point3 at(double t) const { return a + u * std::cos(t) + v * std::sin(t); }
};

struct Shape {
    std::vector<Curve> curves;
    std::vector<std::vector<Point3>> areas;  // filled polygons: a pick inside one touches the entity
    bool unbounded = false;  // a construction line or ray: no extents, never inside a window

    bool empty() const { return curves.empty() && areas.empty(); }
    void add(const Shape& other);
    void transform(const Matrix& m);
    Box extents() const;
    // Distance in the XY plane from a point to the nearest drawn part.
    double distance(double x, double y) const;
    // Whether some drawn part lies in or crosses the box.
    bool touches(const Box& box) const;
    // Whether every drawn part lies inside the box.
    bool inside(const Box& box) const;
};

// The extents of one curve.
Box curveExtents(const Curve& c);
double curveDistance(const Curve& c, double x, double y);
bool curveTouches(const Curve& c, const Box& box);

}  // namespace host
