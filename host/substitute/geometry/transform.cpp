#include "geometry/transform.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "geometry/group_points.h"

namespace host {

namespace {

constexpr double kTolerance = 1e-9;

// How a transform acts on the plane of a 2D entity: from the object
// coordinates of its extrusion direction to those of the transformed one.
struct PlaneMap {
    const Matrix& m;
    Ocs from, to;
    bool linearIdentity;  // a pure translation: angles and sizes stay as they are
    bool reversed;        // the transform mirrors the entity within its plane
    double scale = 1;     // the in-plane scale factor, when `similar`
    bool similar = false;  // the plane is scaled alike in every direction

    PlaneMap(const Matrix& matrix, const Point3& normal)
        : m(matrix), from(normal), to(matrix.applyNormal(normal)) {
        Matrix linear = m;
        linear(0, 3) = linear(1, 3) = linear(2, 3) = 0;
        linearIdentity = linear.isIdentity(0);
        Point3 x = vector({1, 0, 0}), y = vector({0, 1, 0});
        reversed = cross(x, y).z < 0;
        double lx = length(x), ly = length(y);
        similar = std::abs(lx - ly) <= kTolerance * std::max(lx, ly) && std::abs(dot(x, y)) <= kTolerance * lx * ly;
        scale = linearIdentity ? 1 : lx;
    }
    Point3 point(const Point3& ocs) const {
        if (linearIdentity && from.isWorld()) return m.apply(ocs);
        return to.fromWorld(m.apply(from.toWorld(ocs)));
    }
    Point3 vector(const Point3& ocs) const { return to.fromWorld(m.applyVector(from.toWorld(ocs))); }
    Point3 direction(double angle) const { return vector({std::cos(angle), std::sin(angle), 0}); }
    // An angle in the plane, in radians, after the transform.
    double angle(double a) const {
        if (linearIdentity) return a;
        Point3 d = direction(a);
        return normalizeAngle(std::atan2(d.y, d.x));
    }
    double angleDegrees(double a) const {
        if (linearIdentity) return a;
        return degrees(angle(radians(a)));
    }
    // How far the transform moves the plane along its new normal per unit
    // of the old normal (scales thicknesses and Z scale factors).
    double normalScale() const { return linearIdentity ? 1 : dot(m.applyVector(from.normal), to.normal); }
};

// The extrusion direction after the transform, written only where the
// record had one or the new one is not world Z.
void setNormal(Record& r, const PlaneMap& pm) {
    if (pm.linearIdentity) return;
    Point3 n = pm.to.normal;
    if (r.has(210) || !(n.x == 0 && n.y == 0 && n.z > 0)) setPointOf(r, 210, n);
}

void scaleThickness(Record& r, const PlaneMap& pm) {
    if (auto t = r.real(39); t && *t != 0) setRealKeep(r, 39, *t * pm.normalScale(), 0);
}

template <class Fn>
void forEachGroup(Record& r, int code, Fn&& fn) {
    for (std::size_t i = 0; i < r.groups.size(); ++i)
        if (r.groups[i].code == code) fn(i);
}

void worldPoints(Record& r, const Matrix& m, std::initializer_list<int> codes) {
    for (int code : codes)
        forEachGroup(r, code, [&](std::size_t i) { setPointAt(r.groups, i, m.apply(pointAt(r.groups, i))); });
}

void worldVectors(Record& r, const Matrix& m, std::initializer_list<int> codes, bool unit = false) {
    for (int code : codes)
        forEachGroup(r, code, [&](std::size_t i) {
            Point3 v = m.applyVector(pointAt(r.groups, i));
            setPointAt(r.groups, i, unit ? normalized(v) : v);
        });
}

void planePoints(Record& r, const PlaneMap& pm, std::initializer_list<int> codes) {
    for (int code : codes)
        forEachGroup(r, code, [&](std::size_t i) { setPointAt(r.groups, i, pm.point(pointAt(r.groups, i))); });
}

void scaleReal(Record& r, int code, double factor) {
    if (factor == 1) return;
    forEachGroup(r, code, [&](std::size_t i) {
        if (auto v = r.groups[i].real()) setRealAt(r.groups, i, *v * factor);
    });
}

// Entities given by world points, with an optional thickness along their
// extrusion direction (LINE, POINT, 3DFACE).
bool transformWorld(Record& r, const Matrix& m, std::initializer_list<int> codes) {
    PlaneMap pm(m, normalOf(r));
    worldPoints(r, m, codes);
    scaleThickness(r, pm);
    setNormal(r, pm);
    return true;
}

bool transformEllipse(Record& r, const Matrix& m);

// The same circle or arc as an ELLIPSE record (in world coordinates, its
// major axis along the object X axis), for transforms that stretch it.
Record asEllipse(const Record& r) {
    Point3 normal = normalOf(r);
    Ocs ocs(normal);
    double radius = r.real(40).value_or(0);
    Record e;
    e.type = "ELLIPSE";
    e.handle = r.handle;
    e.owner = r.owner;
    e.revision = r.revision;
    e.xdata = r.xdata;
    // The groups common to all entities come before the circle's subclass.
    for (const Group& g : r.groups) {
        if (g.code == 100 && g.value == "AcDbCircle") break;
        e.groups.push_back(g);
    }
    e.groups.emplace_back(100, "AcDbEllipse");
    Point3 centre = ocs.toWorld(pointOf(r, 10).value_or(Point3{}));
    Point3 major = ocs.xAxis * radius;
    for (auto [code, p] : {std::pair{10, centre}, std::pair{11, major}, std::pair{210, normal}}) {
        e.groups.emplace_back(code, formatReal(p.x));
        e.groups.emplace_back(code + 10, formatReal(p.y));
        e.groups.emplace_back(code + 20, formatReal(p.z));
    }
    double start = 0, end = 2 * kPi;
    if (r.type == "ARC") {
        start = normalizeAngle(radians(r.real(50).value_or(0)));
        end = normalizeAngle(radians(r.real(51).value_or(360)));
        if (end <= start) end += 2 * kPi;
    }
    e.groups.emplace_back(40, "1.0");
    e.groups.emplace_back(41, formatReal(start));
    e.groups.emplace_back(42, formatReal(end));
    return e;
}

bool transformCircle(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    if (!pm.similar) {
        // Stretched unevenly, a circle becomes an ellipse.
        Record e = asEllipse(r);
        if (!transformEllipse(e, m)) return false;
        r = std::move(e);
        return true;
    }
    planePoints(r, pm, {10});
    scaleReal(r, 40, pm.scale);
    if (r.type == "ARC") {
        double start = pm.angleDegrees(r.real(50).value_or(0));
        double end = pm.angleDegrees(r.real(51).value_or(360));
        if (pm.reversed) std::swap(start, end);
        setRealKeep(r, 50, start, 0);
        setRealKeep(r, 51, end, 360);
    }
    scaleThickness(r, pm);
    setNormal(r, pm);
    return true;
}

// An ellipse keeps its centre and a pair of conjugate semi-diameters under
// any affine map; its new axes are the extreme diameters of the image.
bool transformEllipse(Record& r, const Matrix& m) {
    Point3 normal = normalOf(r);
    auto center = pointOf(r, 10);
    auto major = pointOf(r, 11);
    if (!center || !major) return false;
    double ratio = r.real(40).value_or(1);
    double start = r.real(41).value_or(0), end = r.real(42).value_or(2 * kPi);
    Point3 minor = cross(normalized(normal), *major) * ratio;
    Point3 u = m.applyVector(*major), v = m.applyVector(minor);
    Point3 newNormal = m.applyNormal(normal);
    double t0 = 0.5 * std::atan2(2 * dot(u, v), dot(u, u) - dot(v, v));
    Point3 a = u * std::cos(t0) + v * std::sin(t0);
    Point3 b = u * -std::sin(t0) + v * std::cos(t0);
    double shift = t0;
    if (length(b) > length(a)) {
        Point3 was = a;
        a = b;
        b = -was;
        shift += kPi / 2;
    }
    bool reversed = dot(cross(a, b), newNormal) < 0;
    if (length(a) == 0) return false;
    auto param = [&](double t) { return reversed ? -(t - shift) : t - shift; };
    bool full = std::abs(end - start - 2 * kPi) < 1e-12 || (start == 0 && end == 2 * kPi);
    double newStart = full ? start : normalizeAngle(param(reversed ? end : start));
    double newEnd = full ? end : normalizeAngle(param(reversed ? start : end));
    if (!full && newEnd <= newStart) newEnd += 2 * kPi;
    if (t0 == 0 && !reversed && shift == 0) {  // axes kept: the parameters stay as written
        newStart = start;
        newEnd = end;
    }
    setPointOf(r, 10, m.apply(*center));
    setPointOf(r, 11, a);
    setRealKeep(r, 40, std::min(1.0, length(b) / length(a)), 1);
    setRealKeep(r, 41, newStart, 0);
    setRealKeep(r, 42, newEnd, 2 * kPi);
    if (r.has(210) || !(newNormal.x == 0 && newNormal.y == 0 && newNormal.z > 0)) setPointOf(r, 210, newNormal);
    return true;
}

bool hasNonZero(const Record& r, std::initializer_list<int> codes) {
    for (const Group& g : r.groups)
        for (int code : codes)
            if (g.code == code && g.real().value_or(0) != 0) return true;
    return false;
}

bool transformLwPolyline(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    if (!pm.similar && hasNonZero(r, {40, 41, 42, 43})) return false;
    double elevation = r.real(38).value_or(0);
    forEachGroup(r, 10, [&](std::size_t i) {
        Point3 p = pointAt(r.groups, i);
        p.z = elevation;
        Point3 q = pm.point(p);
        setRealAt(r.groups, i, q.x);
        if (i + 1 < r.groups.size() && r.groups[i + 1].code == 20) setRealAt(r.groups, i + 1, q.y);
    });
    setRealKeep(r, 38, pm.point({0, 0, elevation}).z, 0);
    for (int code : {40, 41, 43}) scaleReal(r, code, pm.scale);
    if (pm.reversed)
        forEachGroup(r, 42, [&](std::size_t i) {
            if (auto b = r.groups[i].real(); b && *b != 0) setRealAt(r.groups, i, -*b);
        });
    scaleThickness(r, pm);
    setNormal(r, pm);
    return true;
}

bool is3dPolyline(long long flags) { return (flags & (8 | 16 | 64)) != 0; }

bool transformPolyline(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    if (!is3dPolyline(r.integer(70))) {
        if (!pm.similar && hasNonZero(r, {40, 41})) return false;
        double elevation = pointOf(r, 10).value_or(Point3{}).z;
        setPointOf(r, 10, {0, 0, pm.point({0, 0, elevation}).z});
        for (int code : {40, 41}) scaleReal(r, code, pm.scale);
        scaleThickness(r, pm);
    }
    setNormal(r, pm);
    return true;
}

bool transformPlanar(Record& r, const Matrix& m, std::initializer_list<int> codes) {
    PlaneMap pm(m, normalOf(r));
    planePoints(r, pm, codes);
    scaleThickness(r, pm);
    setNormal(r, pm);
    return true;
}

// The sizes a transform gives the axes of a rotated frame (a text's baseline
// and height, a block reference's X and Y): false when it shears them.
bool frameAxes(const PlaneMap& pm, double rotation, Point3& dx, Point3& dy) {
    dx = pm.direction(rotation);
    dy = pm.direction(rotation + kPi / 2);
    if (pm.linearIdentity) return true;
    return std::abs(dot(dx, dy)) <= kTolerance * length(dx) * length(dy);
}

bool transformText(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    double rotation = radians(r.real(50).value_or(0));
    Point3 dx, dy;
    if (!frameAxes(pm, rotation, dx, dy)) return false;
    planePoints(r, pm, {10, 11});
    if (!pm.linearIdentity) {
        double along = length(dx), up = length(dy);
        scaleReal(r, 40, up);
        if (along != up) setRealKeep(r, 41, r.real(41).value_or(1) * along / up, 1);
        Point3 baseline = pm.reversed ? -dx : dx;
        setRealKeep(r, 50, degrees(normalizeAngle(std::atan2(baseline.y, baseline.x))), 0);
        if (pm.reversed) {
            r.setInt(71, r.integer(71) ^ 2);
            if (auto oblique = r.real(51); oblique && *oblique != 0) setRealKeep(r, 51, -*oblique, 0);
        }
    }
    scaleThickness(r, pm);
    setNormal(r, pm);
    return true;
}

bool transformMText(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    worldPoints(r, m, {10});
    if (!pm.linearIdentity) {
        Point3 dx, dy;
        if (auto direction = pointOf(r, 11)) {
            Point3 local = pm.from.fromWorld(*direction);
            double rotation = std::atan2(local.y, local.x);
            if (!frameAxes(pm, rotation, dx, dy)) return false;
            setPointOf(r, 11, m.applyVector(*direction));
        } else {
            double rotation = radians(r.real(50).value_or(0));
            if (!frameAxes(pm, rotation, dx, dy)) return false;
            if (r.has(50) || !pm.linearIdentity)
                setRealKeep(r, 50, degrees(normalizeAngle(std::atan2(dx.y, dx.x))), 0);
        }
        scaleReal(r, 40, length(dy));
        scaleReal(r, 46, length(dy));
        scaleReal(r, 41, length(dx));
    }
    setNormal(r, pm);
    return true;
}

bool transformInsert(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    double rotation = radians(r.real(50).value_or(0));
    Point3 dx, dy;
    if (!frameAxes(pm, rotation, dx, dy)) return false;
    planePoints(r, pm, {10});
    if (!pm.linearIdentity) {
        double sx = r.real(41).value_or(1), sy = r.real(42).value_or(1), sz = r.real(43).value_or(1);
        double lx = length(dx), ly = length(dy);
        double sign = pm.reversed ? -1 : 1;
        Point3 xAxis = dx * sign;
        setRealKeep(r, 41, sign * sx * lx, 1);
        setRealKeep(r, 42, sy * ly, 1);
        setRealKeep(r, 43, sz * pm.normalScale(), 1);
        setRealKeep(r, 50, degrees(normalizeAngle(std::atan2(xAxis.y, xAxis.x))), 0);
        if (auto spacing = r.real(44); spacing && *spacing != 0) setRealKeep(r, 44, sign * *spacing * lx, 0);
        if (auto spacing = r.real(45); spacing && *spacing != 0) setRealKeep(r, 45, *spacing * ly, 0);
    }
    setNormal(r, pm);
    return true;
}

bool transformDimension(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    worldPoints(r, m, {10, 13, 14, 15});
    planePoints(r, pm, {11, 12, 16});
    if (!pm.linearIdentity) {
        for (int code : {50, 51, 53})
            if (auto a = r.real(code)) setRealKeep(r, code, pm.angleDegrees(*a), 0);
        long long kind = r.integer(70) & 7;
        bool angular = kind == 2 || kind == 5;
        double s = 1;
        if (!angular && m.isUniform(&s)) scaleReal(r, 42, s);
    }
    setNormal(r, pm);
    return true;
}

// A hatch's boundary data and pattern are read in order: what a 10, 11, 40,
// 42, 50 or 51 group means depends on the path and edge kind before it.
bool transformHatch(Record& r, const Matrix& m) {
    PlaneMap pm(m, normalOf(r));
    if (!pm.similar) return false;
    bool pathsBegun = false, polylinePath = false, pattern = false;
    long long edge = 0;
    double elevation = 0;
    for (std::size_t i = 0; i < r.groups.size(); ++i) {
        Group& g = r.groups[i];
        switch (g.code) {
            case 10:
                if (!pathsBegun) {
                    elevation = pointAt(r.groups, i).z;
                    setPointAt(r.groups, i, {0, 0, pm.point({0, 0, elevation}).z});
                } else {
                    Point3 p = pointAt(r.groups, i);
                    Point3 q = pm.point({p.x, p.y, elevation});
                    setRealAt(r.groups, i, q.x);
                    if (i + 1 < r.groups.size() && r.groups[i + 1].code == 20) setRealAt(r.groups, i + 1, q.y);
                }
                break;
            case 11:
            case 12:
            case 13:
            case 45: {
                if (!pathsBegun || i + 1 >= r.groups.size() || r.groups[i + 1].code != g.code + 10) break;
                Point3 p{g.real().value_or(0), r.groups[i + 1].real().value_or(0), 0};
                bool isVector = g.code == 45 || (g.code == 11 && edge == 3) || g.code == 12 || g.code == 13;
                if (g.code == 12 || g.code == 13) isVector = edge == 4;
                Point3 q = isVector ? pm.vector(p) : pm.point({p.x, p.y, elevation});
                setRealAt(r.groups, i, q.x);
                setRealAt(r.groups, i + 1, q.y);
                break;
            }
            case 43: {  // a pattern line's base point
                if (i + 1 >= r.groups.size() || r.groups[i + 1].code != 44) break;
                Point3 q = pm.point({g.real().value_or(0), r.groups[i + 1].real().value_or(0), elevation});
                setRealAt(r.groups, i, q.x);
                setRealAt(r.groups, i + 1, q.y);
                break;
            }
            case 91: pathsBegun = true; break;
            case 92: polylinePath = (g.integer().value_or(0) & 2) != 0; edge = 0; break;
            case 72:
                if (!polylinePath) edge = g.integer().value_or(0);
                break;
            case 40:
                if (pathsBegun && !polylinePath && edge == 2) setRealAt(r.groups, i, g.real().value_or(0) * pm.scale);
                break;
            case 75:  // the paths end; the pattern follows
                edge = 0;
                polylinePath = false;
                pattern = true;
                break;
            case 41:
            case 49:
                if (pattern) setRealAt(r.groups, i, g.real().value_or(0) * pm.scale);
                break;
            case 42:
                if (polylinePath && pm.reversed) setRealAt(r.groups, i, -g.real().value_or(0));
                break;
            case 50:
            case 51:
                // An arc edge's angles; a clockwise arc keeps them negated.
                if (pathsBegun && !polylinePath && edge == 2 && !pm.linearIdentity) {
                    std::size_t flag = i;
                    while (flag < r.groups.size() && r.groups[flag].code != 73) ++flag;
                    bool ccw = flag < r.groups.size() ? r.groups[flag].integer().value_or(1) != 0 : true;
                    double actual = ccw ? g.real().value_or(0) : -g.real().value_or(0);
                    double mapped = pm.angleDegrees(actual);
                    bool newCcw = ccw != pm.reversed;
                    setRealAt(r.groups, i, newCcw ? mapped : 360 - mapped);
                }
                break;
            case 73:
                // Mirrored arc edges run the other way; swap their angles back
                // into start-to-end order by flipping the direction flag.
                if (pathsBegun && !polylinePath && (edge == 2 || edge == 3) && pm.reversed)
                    g.value = formatInt(g.integer().value_or(1) != 0 ? 0 : 1);
                break;
            case 52:
            case 53:
                if (pathsBegun && !pm.linearIdentity) setRealAt(r.groups, i, pm.angleDegrees(g.real().value_or(0)));
                break;
            case 47:
                setRealAt(r.groups, i, g.real().value_or(0) * pm.scale);
                break;
            default: break;
        }
    }
    setNormal(r, pm);
    return true;
}

// A viewport's frame stays upright: it can be moved and scaled evenly.
bool transformViewport(Record& r, const Matrix& m) {
    double s = 1;
    if (!m.isUniform(&s)) return false;
    Point3 x = m.applyVector({1, 0, 0});
    if (std::abs(x.y) > kTolerance * s || std::abs(x.z) > kTolerance * s || x.x <= 0) return false;
    if (m.applyVector({0, 1, 0}).y <= 0) return false;
    worldPoints(r, m, {10});
    for (int code : {40, 41, 45}) scaleReal(r, code, s);
    return true;
}

bool transformInPlace(Record& r, const Matrix& m) {
    const std::string& t = r.type;
    if (t == "LINE") return transformWorld(r, m, {10, 11});
    if (t == "POINT") return transformWorld(r, m, {10});
    if (t == "3DFACE") return transformWorld(r, m, {10, 11, 12, 13});
    if (t == "CIRCLE" || t == "ARC") return transformCircle(r, m);
    if (t == "ELLIPSE") return transformEllipse(r, m);
    if (t == "LWPOLYLINE") return transformLwPolyline(r, m);
    if (t == "POLYLINE") return transformPolyline(r, m);
    if (t == "VERTEX") return transformVertex(r, m, {0, 0, 1});
    if (t == "SOLID" || t == "TRACE") return transformPlanar(r, m, {10, 11, 12, 13});
    if (t == "TEXT" || t == "ATTRIB" || t == "ATTDEF") return transformText(r, m);
    if (t == "MTEXT") return transformMText(r, m);
    if (t == "INSERT") return transformInsert(r, m);
    if (t == "DIMENSION") return transformDimension(r, m);
    if (t == "HATCH") return transformHatch(r, m);
    if (t == "VIEWPORT") return transformViewport(r, m);
    if (t == "SPLINE" || t == "LEADER") {
        worldPoints(r, m, {10, 11});
        worldVectors(r, m, {12, 13, 211, 212, 213});
        if (r.has(210)) setPointOf(r, 210, m.applyNormal(normalOf(r)));
        return true;
    }
    if (t == "RAY" || t == "XLINE") {
        worldPoints(r, m, {10});
        worldVectors(r, m, {11}, true);
        return true;
    }
    if (t == "IMAGE" || t == "WIPEOUT") {
        // The insertion point and the pixel's U and V vectors; the clip boundary is in pixels and stays.
        worldPoints(r, m, {10});
        worldVectors(r, m, {11, 12});
        return true;
    }
    if (t == "SEQEND") return true;
    return false;
}

}  // namespace

bool transformVertex(Record& r, const Matrix& m, const Point3& normal) {
    if (!m.isAffine()) return false;
    Record copy = r;
    long long flags = copy.integer(70);
    if (flags & (32 | 64 | 128)) {
        worldPoints(copy, m, {10});
    } else {
        PlaneMap pm(m, normal);
        if (!pm.similar && hasNonZero(copy, {40, 41, 42})) return false;
        planePoints(copy, pm, {10});
        for (int code : {40, 41}) scaleReal(copy, code, pm.scale);
        if (pm.reversed)
            forEachGroup(copy, 42, [&](std::size_t i) {
                if (auto b = copy.groups[i].real(); b && *b != 0) setRealAt(copy.groups, i, -*b);
            });
        if (auto tangent = copy.real(50); tangent && (flags & 2)) setRealKeep(copy, 50, pm.angleDegrees(*tangent), 0);
    }
    r = std::move(copy);
    return true;
}

bool transformRecord(Record& record, const Matrix& m) {
    if (!m.isAffine() || std::abs(m.determinant()) < 1e-300) return false;
    Record copy = record;
    if (!transformInPlace(copy, m)) return false;
    record = std::move(copy);
    return true;
}

namespace {

// Where each entity stands in the drawing's entity list, so that finding a
// polyline's vertices does not search the whole drawing. The index is made
// again when the list is found to have changed.
std::optional<std::size_t> drawingPosition(const Database& db, RecordId id) {
    static std::uint64_t serial = 0;
    static std::vector<std::uint32_t> positions;  // by record: position + 1, 0 for none
    const std::vector<RecordId>& list = db.entities();
    auto lookup = [&]() -> std::optional<std::size_t> {
        if (serial != db.serial() || id >= positions.size() || positions[id] == 0) return std::nullopt;
        std::size_t i = positions[id] - 1;
        if (i < list.size() && list[i] == id) return i;
        return std::nullopt;
    };
    if (auto i = lookup()) return i;
    serial = db.serial();
    positions.assign(db.recordCount(), 0);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] < positions.size()) positions[list[i]] = static_cast<std::uint32_t>(i + 1);
    return lookup();
}

}  // namespace

const std::vector<RecordId>* listHolding(const Database& db, RecordId entity) {
    if (!db.valid(entity)) return nullptr;
    RecordId owner = db.at(entity).owner;
    // Model and paper space keep their entities in the drawing's list, other
    // blocks in their own; a record owned by something else (a table entry) is
    // in neither.
    for (const BlockDefinition& b : db.blocks())
        if (b.begin == owner && owner != kNoRecord) {
            if (std::find(b.entities.begin(), b.entities.end(), entity) != b.entities.end()) return &b.entities;
            return drawingPosition(db, entity) ? &db.entities() : nullptr;
        }
    // A drawing without space blocks yet keeps its entities ownerless.
    return owner == kNoRecord && drawingPosition(db, entity) ? &db.entities() : nullptr;
}

std::vector<RecordId> subEntities(const Database& db, RecordId entity) {
    std::vector<RecordId> subs;
    if (!db.valid(entity)) return subs;
    const Record& head = db.at(entity);
    const char* member = nullptr;
    if (head.type == "POLYLINE")
        member = "VERTEX";
    else if (head.type == "INSERT" && head.integer(66) == 1)
        member = "ATTRIB";
    if (!member) return subs;
    const std::vector<RecordId>* list = listHolding(db, entity);
    if (!list) return subs;
    std::size_t start = list == &db.entities() ? *drawingPosition(db, entity)
                                               : static_cast<std::size_t>(
                                                     std::find(list->begin(), list->end(), entity) - list->begin());
    for (std::size_t i = start + 1; i < list->size(); ++i) {
        const Record& r = db.at((*list)[i]);
        if (r.type == member) {
            subs.push_back((*list)[i]);
        } else {
            if (r.type == "SEQEND") subs.push_back((*list)[i]);
            break;
        }
    }
    return subs;
}

namespace {

// Whether another dimension draws through the same block.
bool blockShared(const Database& db, RecordId dimension, std::string_view block) {
    for (RecordId id : db.entities())
        if (id != dimension && db.at(id).type == "DIMENSION" && !db.at(id).erased &&
            namesEqual(db.at(id).text(2), block))
            return true;
    return false;
}

}  // namespace

namespace {

// The transformed records of an entity and its sub-entities; false when a
// part refuses the transform.
bool transformedParts(const Database& db, RecordId entity, const Matrix& m,
                      std::vector<std::pair<RecordId, Record>>& changed) {
    if (!db.valid(entity)) return false;
    const Record& head = db.at(entity);
    Record r = head;
    if (!transformRecord(r, m)) return false;
    Point3 normal = normalOf(head);
    changed.emplace_back(entity, std::move(r));
    for (RecordId sub : subEntities(db, entity)) {
        Record s = db.at(sub);
        bool ok = s.type == "VERTEX" ? transformVertex(s, m, normal) : transformRecord(s, m);
        if (!ok) return false;
        changed.emplace_back(sub, std::move(s));
    }
    return true;
}

}  // namespace

bool canTransformEntity(const Database& db, RecordId entity, const Matrix& m) {
    std::vector<std::pair<RecordId, Record>> changed;
    return transformedParts(db, entity, m, changed);
}

bool transformEntity(Database& db, RecordId entity, const Matrix& m) {
    // Everything is transformed on copies first, so that a part that
    // refuses the transform leaves the whole entity as it was.
    std::vector<std::pair<RecordId, Record>> changed;
    if (!transformedParts(db, entity, m, changed)) return false;
    const Record& head = db.at(entity);
    for (auto& part : changed) {
        Record& record = part.second;  // a named variable: lambdas cannot capture structured bindings in clang 14
        db.modify(part.first, [&](Record& stored) {
            stored.type = std::move(record.type);  // a stretched circle is an ellipse now
            stored.groups = std::move(record.groups);
        });
    }
    // A dimension is drawn by its own anonymous block, in world coordinates.
    if (head.type == "DIMENSION") {
        std::string name(db.at(entity).text(2));
        const BlockDefinition* block = db.block(name);
        if (block && !name.empty() && name[0] == '*' && !blockShared(db, entity, name)) {
            std::vector<RecordId> members = block->entities;
            for (RecordId id : members) {
                if (db.at(id).type == "VERTEX" || db.at(id).type == "SEQEND" || db.at(id).type == "ATTRIB") continue;
                transformEntity(db, id, m);
            }
        }
    }
    return true;
}

}  // namespace host
