#include "geometry/offset.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

constexpr double kEps = 1e-9;
constexpr double kTwoPi = 6.28318530717958647692;

struct V {
    double x, y;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y}; }
V operator*(V a, double s) { return {a.x * s, a.y * s}; }
double dot(V a, V b) { return a.x * b.x + a.y * b.y; }
double cross(V a, V b) { return a.x * b.y - a.y * b.x; }
double length(V a) { return std::hypot(a.x, a.y); }
V leftNormal(V d) {
    double l = length(d);
    return {-d.y / l, d.x / l};
}

// One segment: a line, or an arc with its centre, radius and signed sweep.
struct Segment {
    V a, b;
    bool arc = false;
    V centre{};
    double radius = 0;
    double sweep = 0;  // radians, positive counter-clockwise
    int source = -1;
};

Segment segmentOf(const BulgeVertex& from, const BulgeVertex& to, int source) {
    Segment s;
    s.a = {from.x, from.y};
    s.b = {to.x, to.y};
    s.source = source;
    if (std::fabs(from.bulge) > kEps) {
        V chord = s.b - s.a;
        double l = length(chord);
        s.arc = true;
        s.sweep = 4 * std::atan(from.bulge);
        // The centre lies off the chord's midpoint by half the chord times
        // cot(sweep / 2), to the left for a counter-clockwise arc under a half circle.
        double cot = (1 - from.bulge * from.bulge) / (2 * from.bulge);
        s.centre = (s.a + s.b) * 0.5 + leftNormal(chord) * (l / 2 * cot);
        s.radius = length(s.a - s.centre);
    }
    return s;
}

// The path's segments, skipping those of zero length.
std::vector<Segment> segmentsOf(const BulgePath& path) {
    std::vector<Segment> out;
    const auto& v = path.vertices;
    std::size_t n = v.size();
    std::size_t count = path.closed ? n : (n == 0 ? 0 : n - 1);
    for (std::size_t i = 0; i < count; ++i) {
        const BulgeVertex& to = v[(i + 1) % n];
        if (std::hypot(to.x - v[i].x, to.y - v[i].y) < kEps) continue;
        out.push_back(segmentOf(v[i], to, static_cast<int>(i)));
    }
    return out;
}

double angleOf(V centre, V p) { return std::atan2(p.y - centre.y, p.x - centre.x); }

// Whether the angle of p around an arc's centre lies within its sweep.
bool withinSweep(const Segment& s, V p) {
    double start = angleOf(s.centre, s.a);
    double t = angleOf(s.centre, p) - start;
    if (s.sweep > 0) {
        t = std::fmod(t + 2 * kTwoPi, kTwoPi);
        return t <= s.sweep + kEps;
    }
    t = std::fmod(-t + 2 * kTwoPi, kTwoPi);
    return t <= -s.sweep + kEps;
}

double distanceToSegment(const Segment& s, V p) {
    if (s.arc) {
        if (withinSweep(s, p)) return std::fabs(length(p - s.centre) - s.radius);
        return std::min(length(p - s.a), length(p - s.b));
    }
    V d = s.b - s.a;
    double t = std::clamp(dot(p - s.a, d) / dot(d, d), 0.0, 1.0);
    return length(s.a + d * t - p);
}

// +1 left of the segment, -1 right, 0 on it.
int sideOfSegment(const Segment& s, V p) {
    double value;
    if (s.arc) {
        // Inside the circle is left of a counter-clockwise arc.
        double inside = s.radius - length(p - s.centre);
        value = s.sweep > 0 ? inside : -inside;
    } else {
        V d = s.b - s.a;
        value = cross(d, p - s.a) / length(d);
    }
    if (std::fabs(value) < kEps) return 0;
    return value > 0 ? 1 : -1;
}

const Segment* nearestSegment(const std::vector<Segment>& segments, V p) {
    const Segment* best = nullptr;
    double bestDistance = INFINITY;
    for (const Segment& s : segments) {
        double d = distanceToSegment(s, p);
        if (d < bestDistance - kEps) {
            bestDistance = d;
            best = &s;
        }
    }
    return best;
}

// Intersections of the carriers of two segments (whole lines, whole circles).
std::vector<V> carrierIntersections(const Segment& s, const Segment& t) {
    std::vector<V> out;
    if (!s.arc && !t.arc) {
        V d = s.b - s.a, e = t.b - t.a;
        double den = cross(d, e);
        if (std::fabs(den) < kEps * length(d) * length(e)) return out;
        double u = cross(t.a - s.a, e) / den;
        out.push_back(s.a + d * u);
        return out;
    }
    if (s.arc != t.arc) {
        const Segment& line = s.arc ? t : s;
        const Segment& circle = s.arc ? s : t;
        V d = line.b - line.a;
        double l = length(d);
        V u = d * (1 / l);
        double along = dot(circle.centre - line.a, u);
        V foot = line.a + u * along;
        double off = length(circle.centre - foot);
        double h2 = circle.radius * circle.radius - off * off;
        if (h2 < -kEps) return out;
        double h = std::sqrt(std::max(0.0, h2));
        out.push_back(foot + u * h);
        if (h > kEps) out.push_back(foot - u * h);
        return out;
    }
    V d = t.centre - s.centre;
    double l = length(d);
    if (l < kEps) return out;
    double a = (s.radius * s.radius - t.radius * t.radius + l * l) / (2 * l);
    double h2 = s.radius * s.radius - a * a;
    if (h2 < -kEps) return out;
    double h = std::sqrt(std::max(0.0, h2));
    V m = s.centre + d * (a / l);
    V n = {-d.y / l, d.x / l};
    out.push_back(m + n * h);
    if (h > kEps) out.push_back(m - n * h);
    return out;
}

Segment offsetSegment(const Segment& s, double distance, bool& ok) {
    Segment o = s;
    if (!s.arc) {
        V n = leftNormal(s.b - s.a) * distance;
        o.a = s.a + n;
        o.b = s.b + n;
        return o;
    }
    // Left of a counter-clockwise arc is towards its centre.
    o.radius = s.radius - (s.sweep > 0 ? distance : -distance);
    if (o.radius <= kEps) {
        ok = false;
        return o;
    }
    double k = o.radius / s.radius;
    o.a = s.centre + (s.a - s.centre) * k;
    o.b = s.centre + (s.b - s.centre) * k;
    return o;
}

// An arc's sweep from its (moved) end points, in its original direction.
double sweepBetween(const Segment& s) {
    double t = angleOf(s.centre, s.b) - angleOf(s.centre, s.a);
    if (s.sweep > 0) {
        t = std::fmod(t + 2 * kTwoPi, kTwoPi);
        if (t < kEps) t = kTwoPi;
    } else {
        t = -std::fmod(-t + 2 * kTwoPi, kTwoPi);
        if (t > -kEps) t = -kTwoPi;
    }
    return t;
}

}  // namespace

std::optional<BulgePath> offsetPath(const BulgePath& path, double distance) {
    std::vector<Segment> original = segmentsOf(path);
    if (original.empty()) return std::nullopt;
    std::vector<Segment> moved;
    bool ok = true;
    for (const Segment& s : original) moved.push_back(offsetSegment(s, distance, ok));
    if (!ok) return std::nullopt;

    std::size_t n = moved.size();
    std::size_t joins = path.closed ? n : n - 1;
    std::vector<bool> gapAfter(n, false);
    for (std::size_t j = 0; j < joins; ++j) {
        Segment& s = moved[j];
        Segment& t = moved[(j + 1) % n];
        if (length(s.b - t.a) < kEps) continue;  // tangent continuation: already meets
        V vertex = original[j].b;
        std::vector<V> cuts = carrierIntersections(s, t);
        if (cuts.empty()) {
            gapAfter[j] = true;
            continue;
        }
        V best = *std::min_element(cuts.begin(), cuts.end(),
                                   [&](V p, V q) { return length(p - vertex) < length(q - vertex); });
        s.b = best;
        t.a = best;
    }

    BulgePath out;
    out.closed = path.closed;
    for (std::size_t i = 0; i < n; ++i) {
        const Segment& s = moved[i];
        double bulge = s.arc ? std::tan(sweepBetween(s) / 4) : 0;
        out.vertices.push_back({s.a.x, s.a.y, bulge, s.source});
        bool last = i + 1 == n;
        if (gapAfter[i] || (last && !path.closed)) out.vertices.push_back({s.b.x, s.b.y, 0, last && !path.closed ? static_cast<int>(path.vertices.size()) - 1 : -1});
    }
    return out;
}

int sideOfPath(const BulgePath& path, double x, double y) {
    std::vector<Segment> segments = segmentsOf(path);
    const Segment* s = nearestSegment(segments, {x, y});
    return s ? sideOfSegment(*s, {x, y}) : 0;
}

double throughDistance(const BulgePath& path, double x, double y) {
    std::vector<Segment> segments = segmentsOf(path);
    V p{x, y};
    const Segment* s = nearestSegment(segments, p);
    if (!s) return 0;
    if (s->arc) return std::fabs(length(p - s->centre) - s->radius);
    V d = s->b - s->a;
    return std::fabs(cross(d, p - s->a)) / length(d);
}

}  // namespace host
