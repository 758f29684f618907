#include "geometry/entity_shape.h"

#include <algorithm>
#include <cmath>

#include "geometry/group_points.h"
#include "geometry/text_box.h"

namespace host {

namespace {

std::vector<Point3> pointsWithCode(const Record& r, int code) {
    std::vector<Point3> out;
    for (std::size_t i = 0; i < r.groups.size(); ++i)
        if (r.groups[i].code == code) out.push_back(pointAt(r.groups, i));
    return out;
}

std::vector<double> realsWithCode(const Record& r, int code) {
    std::vector<double> out;
    for (const Group& g : r.groups)
        if (g.code == code) out.push_back(g.real().value_or(0));
    return out;
}

Shape fromOcs(Shape s, const Point3& normal) {
    Ocs ocs(normal);
    if (!ocs.isWorld()) s.transform(ocs.toWorldMatrix());
    return s;
}

// A polyline vertex in its plane: position, bulge to the next, widths.
struct PlaneVertex {
    Point3 p;
    double bulge = 0, startWidth = 0, endWidth = 0;
};

// The band a wide straight segment fills.
std::vector<Point3> band(const Point3& a, const Point3& b, double w0, double w1) {
    Point3 d = normalized(Point3{b.x - a.x, b.y - a.y, 0});
    Point3 n{-d.y, d.x, 0};
    return {a + n * (w0 / 2), b + n * (w1 / 2), b - n * (w1 / 2), a - n * (w0 / 2)};
}

// The band a wide arc segment fills, as a polygon along the arc.
std::vector<Point3> arcBand(const Curve& c, double w0, double w1, bool reversed) {
    constexpr int steps = 16;
    double r = length(c.u);
    std::vector<Point3> outer, inner;
    for (int i = 0; i <= steps; ++i) {
        double f = static_cast<double>(i) / steps;
        double t = c.t0 + (c.t1 - c.t0) * f;
        double w = reversed ? w1 + (w0 - w1) * f : w0 + (w1 - w0) * f;
        Point3 dir = normalized(c.u) * std::cos(t) + normalized(c.v) * std::sin(t);
        outer.push_back(c.a + dir * (r + w / 2));
        inner.push_back(c.a + dir * std::max(0.0, r - w / 2));
    }
    std::reverse(inner.begin(), inner.end());
    outer.insert(outer.end(), inner.begin(), inner.end());
    return outer;
}

Shape polylineInPlane(const std::vector<PlaneVertex>& vs, bool closed) {
    Shape s;
    if (vs.size() == 1) s.curves.push_back(Curve::point(vs[0].p));
    std::size_t count = closed ? vs.size() : vs.size() - 1;
    for (std::size_t i = 0; vs.size() > 1 && i < count; ++i) {
        const PlaneVertex& a = vs[i];
        const PlaneVertex& b = vs[(i + 1) % vs.size()];
        Curve c = bulgeSegment(a.p, b.p, a.bulge);
        s.curves.push_back(c);
        if (a.startWidth > 0 || a.endWidth > 0) {
            if (c.kind == Curve::Kind::Segment)
                s.areas.push_back(band(a.p, b.p, a.startWidth, a.endWidth));
            else
                s.areas.push_back(arcBand(c, a.startWidth, a.endWidth, a.bulge < 0));
        }
    }
    return s;
}

Shape lwpolyline(const Record& r) {
    std::vector<PlaneVertex> vs;
    double elevation = r.real(38).value_or(0);
    double constant = r.real(43).value_or(0);
    for (const Group& g : r.groups) {
        double v = g.real().value_or(0);
        switch (g.code) {
            case 10:
                vs.push_back({{v, 0, elevation}, 0, constant, constant});
                break;
            case 20:
                if (!vs.empty()) vs.back().p.y = v;
                break;
            case 40:
                if (!vs.empty()) vs.back().startWidth = v;
                break;
            case 41:
                if (!vs.empty()) vs.back().endWidth = v;
                break;
            case 42:
                if (!vs.empty()) vs.back().bulge = v;
                break;
            default: break;
        }
    }
    if (vs.empty()) return {};
    return fromOcs(polylineInPlane(vs, r.integer(70) & 1), normalOf(r));
}

Shape polyline(const Record& r, const std::vector<const Record*>& vertices) {
    long long flags = r.integer(70);
    bool closed = flags & 1;
    Shape s;
    if (flags & 64) {  // polyface mesh: vertices, then faces naming them by number
        std::vector<Point3> points;
        for (const Record* v : vertices)
            if ((v->integer(70) & 128) && (v->integer(70) & 64)) points.push_back(pointOf(*v, 10).value_or(Point3{}));
        for (const Record* v : vertices) {
            if ((v->integer(70) & 192) != 128) continue;
            std::vector<long long> ids;
            for (int code : {71, 72, 73, 74})
                if (long long k = v->integer(code); k != 0) ids.push_back(k);
            for (std::size_t i = 0; i < ids.size(); ++i) {
                long long a = ids[i], b = ids[(i + 1) % ids.size()];
                if (a < 0) continue;  // an invisible edge
                std::size_t ia = static_cast<std::size_t>(std::llabs(a)), ib = static_cast<std::size_t>(std::llabs(b));
                if (ia >= 1 && ib >= 1 && ia <= points.size() && ib <= points.size())
                    s.curves.push_back(Curve::segment(points[ia - 1], points[ib - 1]));
            }
        }
        return s;
    }
    if (flags & 16) {  // polygon mesh: an M x N grid of vertices
        long long m = std::max(1LL, r.integer(71)), n = std::max(1LL, r.integer(72));
        std::vector<Point3> points;
        for (const Record* v : vertices) points.push_back(pointOf(*v, 10).value_or(Point3{}));
        auto at = [&](long long i, long long j) { return points[static_cast<std::size_t>(i * n + j)]; };
        if (static_cast<long long>(points.size()) < m * n) return s;
        for (long long i = 0; i < m; ++i)
            for (long long j = 0; j < n; ++j) {
                if (j + 1 < n || (flags & 32)) s.curves.push_back(Curve::segment(at(i, j), at(i, (j + 1) % n)));
                if (i + 1 < m || closed) s.curves.push_back(Curve::segment(at(i, j), at((i + 1) % m, j)));
            }
        return s;
    }
    std::vector<PlaneVertex> vs;
    double defaultStart = r.real(40).value_or(0), defaultEnd = r.real(41).value_or(0);
    for (const Record* v : vertices) {
        if (v->type != "VERTEX" || (v->integer(70) & 16)) continue;  // spline frame points are not drawn
        vs.push_back({pointOf(*v, 10).value_or(Point3{}), v->real(42).value_or(0),
                      v->real(40).value_or(defaultStart), v->real(41).value_or(defaultEnd)});
    }
    if (vs.empty()) return s;
    if (flags & 8) {  // 3D: world points, straight
        for (PlaneVertex& v : vs) v.bulge = v.startWidth = v.endWidth = 0;
        return polylineInPlane(vs, closed);
    }
    double elevation = pointOf(r, 10).value_or(Point3{}).z;
    for (PlaneVertex& v : vs) v.p.z = elevation;
    return fromOcs(polylineInPlane(vs, closed), normalOf(r));
}

Shape box(const std::array<Point3, 4>& corners) {
    Shape s;
    s.areas.push_back({corners.begin(), corners.end()});
    return s;
}

Shape arcShape(const Record& r, bool full) {
    Point3 c = pointOf(r, 10).value_or(Point3{});
    double radius = r.real(40).value_or(0);
    double t0 = 0, t1 = 2 * kPi;
    if (!full) {
        t0 = normalizeAngle(radians(r.real(50).value_or(0)));
        t1 = normalizeAngle(radians(r.real(51).value_or(360)));
        if (t1 <= t0) t1 += 2 * kPi;
    }
    Shape s;
    s.curves.push_back(Curve::arc(c, {radius, 0, 0}, {0, radius, 0}, t0, t1));
    return fromOcs(s, normalOf(r));
}

Shape ellipseShape(const Record& r) {
    Point3 c = pointOf(r, 10).value_or(Point3{}), major = pointOf(r, 11).value_or(Point3{1, 0, 0});
    Point3 minor = cross(normalized(normalOf(r)), major) * r.real(40).value_or(1);
    double t0 = r.real(41).value_or(0), t1 = r.real(42).value_or(2 * kPi);
    if (std::abs(t1 - t0 - 2 * kPi) > 1e-12) {
        t0 = normalizeAngle(t0);
        t1 = normalizeAngle(t1);
        if (t1 <= t0) t1 += 2 * kPi;
    }
    Shape s;
    s.curves.push_back(Curve::arc(c, major, minor, t0, t1));
    return s;
}

Shape corners(const Record& r, std::initializer_list<int> order, bool filled, bool inPlane) {
    std::vector<Point3> pts;
    for (int code : order)
        if (auto p = pointOf(r, code)) pts.push_back(*p);
    // A triangle repeats its third point as the fourth.
    if (pts.size() == 4 && pts[3] == pts[2]) pts.pop_back();
    Shape s;
    for (std::size_t i = 0; i < pts.size(); ++i)
        if (pts.size() > 1) s.curves.push_back(Curve::segment(pts[i], pts[(i + 1) % pts.size()]));
    if (filled && pts.size() >= 3) s.areas.push_back(pts);
    return inPlane ? fromOcs(s, normalOf(r)) : s;
}

// The boundary paths of a hatch, read in order (see the DXF reference's
// boundary path data): polyline paths and edges (lines, arcs, elliptic
// arcs, splines by their control points).
Shape hatchShape(const Record& r) {
    Shape s;
    const GroupList& g = r.groups;
    std::size_t i = 0;
    auto real = [&](std::size_t k) { return k < g.size() ? g[k].real().value_or(0) : 0.0; };
    auto integer = [&](std::size_t k) { return k < g.size() ? g[k].integer().value_or(0) : 0LL; };
    // Reads a group with `code` at i (skipping nothing); false when another is there.
    auto take = [&](int code, double* value) {
        if (i >= g.size() || g[i].code != code) return false;
        if (value) *value = real(i);
        ++i;
        return true;
    };
    double elevation = 0;
    while (i < g.size() && g[i].code != 91) {
        if (g[i].code == 30) elevation = real(i);
        ++i;
    }
    if (i >= g.size()) return s;
    long long paths = integer(i++);
    for (long long path = 0; path < paths && i < g.size(); ++path) {
        while (i < g.size() && g[i].code != 92) ++i;
        if (i >= g.size()) break;
        long long flags = integer(i++);
        if (flags & 2) {
            double hasBulge = 0, closed = 0, count = 0;
            take(72, &hasBulge);
            take(73, &closed);
            take(93, &count);
            std::vector<PlaneVertex> vs;
            for (long long k = 0; k < static_cast<long long>(count); ++k) {
                PlaneVertex v;
                v.p.z = elevation;
                if (!take(10, &v.p.x) || !take(20, &v.p.y)) break;
                take(42, &v.bulge);
                vs.push_back(v);
            }
            // A boundary is closed whether or not its flag says so.
            if (!vs.empty()) s.add(polylineInPlane(vs, true));
        } else {
            double edges = 0;
            take(93, &edges);
            for (long long e = 0; e < static_cast<long long>(edges) && i < g.size(); ++e) {
                double type = 0;
                if (!take(72, &type)) break;
                Point3 a{0, 0, elevation}, b{0, 0, elevation};
                double radius = 0, start = 0, end = 0, ccw = 1;
                switch (static_cast<int>(type)) {
                    case 1:
                        take(10, &a.x), take(20, &a.y), take(11, &b.x), take(21, &b.y);
                        s.curves.push_back(Curve::segment(a, b));
                        break;
                    case 2:
                    case 3: {
                        take(10, &a.x), take(20, &a.y);
                        Point3 major{radius, 0, 0};
                        double ratio = 1;
                        if (type == 3) {
                            take(11, &major.x), take(21, &major.y), take(40, &ratio);
                        } else {
                            take(40, &radius);
                            major = {radius, 0, 0};
                        }
                        take(50, &start), take(51, &end), take(73, &ccw);
                        Point3 minor = Point3{-major.y, major.x, 0} * ratio;
                        // Clockwise edges keep their angles negated.
                        double t0 = radians(ccw != 0 ? start : -end), t1 = radians(ccw != 0 ? end : -start);
                        if (std::abs(end - start) >= 360) {
                            t0 = 0;
                            t1 = 2 * kPi;
                        } else {
                            t0 = normalizeAngle(t0);
                            t1 = normalizeAngle(t1);
                            if (t1 <= t0) t1 += 2 * kPi;
                        }
                        s.curves.push_back(Curve::arc(a, major, minor, t0, t1));
                        break;
                    }
                    case 4: {
                        double degree = 0, rational = 0, periodic = 0, knots = 0, controls = 0;
                        take(94, &degree), take(73, &rational), take(74, &periodic);
                        take(95, &knots), take(96, &controls);
                        std::vector<double> knotValues;
                        for (long long k = 0; k < static_cast<long long>(knots); ++k) {
                            double v = 0;
                            if (!take(40, &v)) break;
                            knotValues.push_back(v);
                        }
                        std::vector<Point3> control;
                        std::vector<double> weights;
                        for (long long k = 0; k < static_cast<long long>(controls); ++k) {
                            Point3 p{0, 0, elevation};
                            if (!take(10, &p.x) || !take(20, &p.y)) break;
                            double w = 1;
                            if (take(42, &w)) weights.push_back(w);
                            control.push_back(p);
                        }
                        std::vector<Point3> pts = splinePoints(static_cast<int>(degree), knotValues, control, weights);
                        for (std::size_t k = 1; k < pts.size(); ++k) s.curves.push_back(Curve::segment(pts[k - 1], pts[k]));
                        double fits = 0;
                        if (take(97, &fits))
                            for (long long k = 0; k < static_cast<long long>(fits); ++k)
                                if (!take(11, nullptr) || !take(21, nullptr)) break;
                        take(12, nullptr), take(22, nullptr), take(13, nullptr), take(23, nullptr);
                        break;
                    }
                    default: break;
                }
            }
        }
    }
    return fromOcs(s, normalOf(r));
}

Shape splineShape(const Record& r) {
    std::vector<Point3> control = pointsWithCode(r, 10), fit = pointsWithCode(r, 11);
    std::vector<Point3> pts = splinePoints(static_cast<int>(r.integer(71, 3)), realsWithCode(r, 40), control,
                                           realsWithCode(r, 41));
    if (pts.size() < 2) pts = fit.size() >= 2 ? fit : control;
    Shape s;
    for (std::size_t i = 1; i < pts.size(); ++i) s.curves.push_back(Curve::segment(pts[i - 1], pts[i]));
    if (pts.size() == 1) s.curves.push_back(Curve::point(pts[0]));
    return s;
}

Shape polylineOfPoints(const std::vector<Point3>& pts) {
    Shape s;
    for (std::size_t i = 1; i < pts.size(); ++i) s.curves.push_back(Curve::segment(pts[i - 1], pts[i]));
    if (pts.size() == 1) s.curves.push_back(Curve::point(pts[0]));
    return s;
}

// Construction lines reach far past any drawing in both directions.
Shape infiniteLine(const Record& r, bool bothWays) {
    Point3 base = pointOf(r, 10).value_or(Point3{});
    Point3 d = normalized(pointOf(r, 11).value_or(Point3{1, 0, 0}));
    constexpr double reach = 1e12;
    Shape s;
    s.curves.push_back(Curve::segment(bothWays ? base - d * reach : base, base + d * reach));
    s.unbounded = true;
    return s;
}

}  // namespace

Curve bulgeSegment(const Point3& a, const Point3& b, double bulge) {
    if (bulge == 0 || (a.x == b.x && a.y == b.y)) return Curve::segment(a, b);
    double dx = b.x - a.x, dy = b.y - a.y;
    // Centre: the chord's midpoint moved along its left normal by
    // (1 - bulge^2) / (4 bulge) of the chord.
    double f = (1 - bulge * bulge) / (4 * bulge);
    Point3 centre{(a.x + b.x) / 2 - dy * f, (a.y + b.y) / 2 + dx * f, a.z};
    double r = std::hypot(a.x - centre.x, a.y - centre.y);
    double sa = std::atan2(a.y - centre.y, a.x - centre.x), sb = std::atan2(b.y - centre.y, b.x - centre.x);
    // Counterclockwise from a to b for a positive bulge, from b to a otherwise.
    double t0 = bulge > 0 ? sa : sb, t1 = bulge > 0 ? sb : sa;
    t0 = normalizeAngle(t0);
    t1 = normalizeAngle(t1);
    if (t1 <= t0) t1 += 2 * kPi;
    return Curve::arc(centre, {r, 0, 0}, {0, r, 0}, t0, t1);
}

std::vector<Point3> splinePoints(int p, const std::vector<double>& knots, const std::vector<Point3>& control,
                                 const std::vector<double>& weights, int perSpan) {
    std::size_t n = control.size();
    if (p < 1 || n < static_cast<std::size_t>(p) + 1 || knots.size() != n + static_cast<std::size_t>(p) + 1) return {};
    bool rational = weights.size() == n;
    // de Boor's algorithm in homogeneous coordinates.
    auto eval = [&](double u) {
        std::size_t k = static_cast<std::size_t>(p);
        while (k + 1 < n && knots[k + 1] <= u) ++k;
        std::vector<Point3> d(static_cast<std::size_t>(p) + 1);
        std::vector<double> w(static_cast<std::size_t>(p) + 1);
        for (int j = 0; j <= p; ++j) {
            std::size_t idx = k - static_cast<std::size_t>(p) + static_cast<std::size_t>(j);
            w[j] = rational ? weights[idx] : 1;
            d[j] = control[idx] * w[j];
        }
        for (int r = 1; r <= p; ++r)
            for (int j = p; j >= r; --j) {
                std::size_t i = k - static_cast<std::size_t>(p) + static_cast<std::size_t>(j);
                double denom = knots[i + static_cast<std::size_t>(p) + 1 - static_cast<std::size_t>(r)] - knots[i];
                double alpha = denom == 0 ? 0 : (u - knots[i]) / denom;
                d[j] = d[j - 1] * (1 - alpha) + d[j] * alpha;
                w[j] = w[j - 1] * (1 - alpha) + w[j] * alpha;
            }
        return w[p] == 0 ? d[p] : d[p] * (1 / w[p]);
    };
    double u0 = knots[static_cast<std::size_t>(p)], u1 = knots[n];
    if (!(u1 > u0)) return {};
    std::vector<Point3> out;
    std::size_t steps = (n - static_cast<std::size_t>(p)) * static_cast<std::size_t>(perSpan);
    for (std::size_t i = 0; i <= steps; ++i) {
        double u = u0 + (u1 - u0) * static_cast<double>(i) / static_cast<double>(steps);
        out.push_back(eval(std::min(u, u1 - 1e-12 * (u1 - u0))));
    }
    out.back() = eval(u1 - 1e-12 * (u1 - u0));
    return out;
}

Shape entityShape(const Record& r, const std::vector<const Record*>& vertices) {
    const std::string& t = r.type;
    Shape s;
    if (t == "LINE") {
        s.curves.push_back(Curve::segment(pointOf(r, 10).value_or(Point3{}), pointOf(r, 11).value_or(Point3{})));
    } else if (t == "POINT") {
        s.curves.push_back(Curve::point(pointOf(r, 10).value_or(Point3{})));
    } else if (t == "CIRCLE" || t == "ARC") {
        s = arcShape(r, t == "CIRCLE");
    } else if (t == "ELLIPSE") {
        s = ellipseShape(r);
    } else if (t == "LWPOLYLINE") {
        s = lwpolyline(r);
    } else if (t == "POLYLINE") {
        s = polyline(r, vertices);
    } else if (t == "SOLID" || t == "TRACE") {
        s = corners(r, {10, 11, 13, 12}, true, true);
    } else if (t == "3DFACE") {
        s = corners(r, {10, 11, 12, 13}, false, false);
    } else if (t == "TEXT" || t == "ATTRIB" || t == "ATTDEF") {
        std::array<Point3, 4> c;
        if (textBox(r, c)) s = box(c);
        else s.curves.push_back(Curve::point(Ocs(normalOf(r)).toWorld(pointOf(r, 10).value_or(Point3{}))));
    } else if (t == "MTEXT") {
        std::array<Point3, 4> c;
        if (mtextBox(r, c)) s = box(c);
        else s.curves.push_back(Curve::point(pointOf(r, 10).value_or(Point3{})));
    } else if (t == "HATCH") {
        s = hatchShape(r);
    } else if (t == "SPLINE") {
        s = splineShape(r);
    } else if (t == "LEADER") {
        s = polylineOfPoints(pointsWithCode(r, 10));
    } else if (t == "XLINE" || t == "RAY") {
        s = infiniteLine(r, t == "XLINE");
    } else if (t == "VIEWPORT") {
        Point3 c = pointOf(r, 10).value_or(Point3{});
        double w = r.real(40).value_or(0) / 2, h = r.real(41).value_or(0) / 2;
        Point3 p0{c.x - w, c.y - h, c.z}, p1{c.x + w, c.y - h, c.z}, p2{c.x + w, c.y + h, c.z},
            p3{c.x - w, c.y + h, c.z};
        s.curves = {Curve::segment(p0, p1), Curve::segment(p1, p2), Curve::segment(p2, p3), Curve::segment(p3, p0)};
    } else if (t == "VERTEX" || t == "SEQEND" || t == "INSERT" || t == "DIMENSION") {
        // Drawn as part of their polyline, or through their block.
    } else if (auto p = pointOf(r, 10)) {
        s.curves.push_back(Curve::point(*p));
    }
    return s;
}

}  // namespace host
