#include "geometry/shape.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace host {

void Box::add(double x, double y) {
    if (!valid) {
        minX = maxX = x;
        minY = maxY = y;
        valid = true;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

void Box::add(const Box& b) {
    if (!b.valid) return;
    add(b.minX, b.minY);
    add(b.maxX, b.maxY);
}

bool Box::contains(const Box& b) const {
    return valid && b.valid && b.minX >= minX && b.maxX <= maxX && b.minY >= minY && b.maxY <= maxY;
}

bool Box::intersects(const Box& b) const {
    return valid && b.valid && !(b.maxX < minX || b.minX > maxX || b.maxY < minY || b.minY > maxY);
}

double Box::distance(double x, double y) const {
    if (!valid) return std::numeric_limits<double>::infinity();
    double dx = std::max({minX - x, 0.0, x - maxX});
    double dy = std::max({minY - y, 0.0, y - maxY});
    return std::hypot(dx, dy);
}

Box Box::of(const Point3& a, const Point3& b) {
    Box box;
    box.add(a);
    box.add(b);
    return box;
}

Curve Curve::point(const Point3& p) {
    Curve c;
    c.kind = Kind::Point;
    c.a = p;
    return c;
}

Curve Curve::segment(const Point3& a, const Point3& b) {
    Curve c;
    c.kind = Kind::Segment;
    c.a = a;
    c.b = b;
    return c;
}

Curve Curve::arc(const Point3& centre, const Point3& u, const Point3& v, double t0, double t1) {
    Curve c;
    c.kind = Kind::Arc;
    c.a = centre;
    c.u = u;
    c.v = v;
    c.t0 = t0;
    c.t1 = t1;
    return c;
}

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool inRange(const Curve& c, double t) {
    double span = c.t1 - c.t0;
    if (span >= 2 * kPi - 1e-12) return true;
    double d = normalizeAngle(t - c.t0);
    return d <= span + 1e-12;
}

double segmentDistance(double x, double y, const Point3& a, const Point3& b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.x + t * dx - x, a.y + t * dy - y);
}

// Liang-Barsky: whether the segment meets the box.
bool segmentTouches(const Point3& a, const Point3& b, const Box& box) {
    double t0 = 0, t1 = 1, dx = b.x - a.x, dy = b.y - a.y;
    auto clip = [&](double p, double q) {
        if (p == 0) return q >= 0;
        double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    return clip(-dx, a.x - box.minX) && clip(dx, box.maxX - a.x) && clip(-dy, a.y - box.minY) &&
           clip(dy, box.maxY - a.y);
}

bool insidePolygon(const std::vector<Point3>& poly, double x, double y) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point3& p = poly[i];
        const Point3& q = poly[j];
        if ((p.y > y) != (q.y > y) && x < (q.x - p.x) * (y - p.y) / (q.y - p.y) + p.x) in = !in;
    }
    return in;
}

// The arc's projection into XY is a circle: its distance has a closed form.
bool circularInPlane(const Curve& c, double* radius) {
    double uu = c.u.x * c.u.x + c.u.y * c.u.y, vv = c.v.x * c.v.x + c.v.y * c.v.y;
    double uv = c.u.x * c.v.x + c.u.y * c.v.y;
    if (std::abs(uu - vv) > 1e-9 * std::max(uu, vv) || std::abs(uv) > 1e-9 * std::max(uu, vv)) return false;
    *radius = std::sqrt(uu);
    return true;
}

double arcDistance(const Curve& c, double x, double y) {
    double ends = std::min(std::hypot(c.at(c.t0).x - x, c.at(c.t0).y - y), std::hypot(c.at(c.t1).x - x, c.at(c.t1).y - y));
    double r = 0;
    if (circularInPlane(c, &r)) {
        if (r == 0) return std::hypot(c.a.x - x, c.a.y - y);
        double dx = x - c.a.x, dy = y - c.a.y;
        double t = std::atan2(dx * c.v.x + dy * c.v.y, dx * c.u.x + dy * c.u.y);
        if (inRange(c, t)) return std::abs(std::hypot(dx, dy) - r);
        return ends;
    }
    // An ellipse seen at a slant: the nearest of many samples, refined.
    auto dist = [&](double t) {
        Point3 p = c.at(t);
        return std::hypot(p.x - x, p.y - y);
    };
    constexpr int samples = 96;
    double step = (c.t1 - c.t0) / samples, bestT = c.t0, best = kInfinity;
    for (int i = 0; i <= samples; ++i) {
        double t = c.t0 + step * i;
        if (double d = dist(t); d < best) {
            best = d;
            bestT = t;
        }
    }
    double lo = std::max(c.t0, bestT - step), hi = std::min(c.t1, bestT + step);
    for (int i = 0; i < 60; ++i) {
        double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        if (dist(m1) < dist(m2))
            hi = m2;
        else
            lo = m1;
    }
    return std::min(best, dist(0.5 * (lo + hi)));
}

// Parameters where one coordinate of the arc takes a value.
template <class Fn>
void crossings(double centre, double cu, double cv, double value, Fn&& fn) {
    double r = std::hypot(cu, cv);
    if (r == 0) return;
    double k = (value - centre) / r;
    if (k < -1 || k > 1) return;
    double phi = std::atan2(cv, cu), delta = std::acos(k);
    fn(phi + delta);
    fn(phi - delta);
}

bool arcTouches(const Curve& c, const Box& box) {
    if (box.contains(c.at(c.t0).x, c.at(c.t0).y) || box.contains(c.at(c.t1).x, c.at(c.t1).y)) return true;
    bool hit = false;
    for (double x : {box.minX, box.maxX})
        crossings(c.a.x, c.u.x, c.v.x, x, [&](double t) {
            double y = c.at(t).y;
            if (inRange(c, t) && y >= box.minY && y <= box.maxY) hit = true;
        });
    for (double y : {box.minY, box.maxY})
        crossings(c.a.y, c.u.y, c.v.y, y, [&](double t) {
            double x = c.at(t).x;
            if (inRange(c, t) && x >= box.minX && x <= box.maxX) hit = true;
        });
    return hit;
}

}  // namespace

Box curveExtents(const Curve& c) {
    Box box;
    switch (c.kind) {
        case Curve::Kind::Point: box.add(c.a); break;
        case Curve::Kind::Segment:
            box.add(c.a);
            box.add(c.b);
            break;
        case Curve::Kind::Arc: {
            box.add(c.at(c.t0));
            box.add(c.at(c.t1));
            for (double phi : {std::atan2(c.v.x, c.u.x), std::atan2(c.v.y, c.u.y)})
                for (double t : {phi, phi + kPi})
                    if (inRange(c, t)) box.add(c.at(t));
            break;
        }
    }
    return box;
}

double curveDistance(const Curve& c, double x, double y) {
    switch (c.kind) {
        case Curve::Kind::Point: return std::hypot(c.a.x - x, c.a.y - y);
        case Curve::Kind::Segment: return segmentDistance(x, y, c.a, c.b);
        case Curve::Kind::Arc: return arcDistance(c, x, y);
    }
    return kInfinity;
}

bool curveTouches(const Curve& c, const Box& box) {
    switch (c.kind) {
        case Curve::Kind::Point: return box.contains(c.a.x, c.a.y);
        case Curve::Kind::Segment: return segmentTouches(c.a, c.b, box);
        case Curve::Kind::Arc: return arcTouches(c, box);
    }
    return false;
}

void Shape::add(const Shape& other) {
    curves.insert(curves.end(), other.curves.begin(), other.curves.end());
    areas.insert(areas.end(), other.areas.begin(), other.areas.end());
    unbounded = unbounded || other.unbounded;
}

void Shape::transform(const Matrix& m) {
    for (Curve& c : curves) {
        c.a = m.apply(c.a);
        if (c.kind == Curve::Kind::Segment) c.b = m.apply(c.b);
        if (c.kind == Curve::Kind::Arc) {
            c.u = m.applyVector(c.u);
            c.v = m.applyVector(c.v);
        }
    }
    for (auto& area : areas)
        for (Point3& p : area) p = m.apply(p);
}

Box Shape::extents() const {
    Box box;
    if (unbounded) return box;
    for (const Curve& c : curves) box.add(curveExtents(c));
    for (const auto& area : areas)
        for (const Point3& p : area) box.add(p);
    return box;
}

double Shape::distance(double x, double y) const {
    double best = kInfinity;
    for (const Curve& c : curves) best = std::min(best, curveDistance(c, x, y));
    for (const auto& area : areas) {
        if (area.size() >= 3 && insidePolygon(area, x, y)) return 0;
        for (std::size_t i = 0; i < area.size(); ++i)
            best = std::min(best, segmentDistance(x, y, area[i], area[(i + 1) % area.size()]));
    }
    return best;
}

bool Shape::touches(const Box& box) const {
    if (!box.valid) return false;
    for (const Curve& c : curves)
        if (curveTouches(c, box)) return true;
    for (const auto& area : areas) {
        for (std::size_t i = 0; i < area.size(); ++i)
            if (segmentTouches(area[i], area[(i + 1) % area.size()], box)) return true;
        if (area.size() >= 3 && insidePolygon(area, box.minX, box.minY)) return true;
    }
    return false;
}

bool Shape::inside(const Box& box) const {
    if (unbounded || empty()) return false;
    return box.contains(extents());
}

}  // namespace host
