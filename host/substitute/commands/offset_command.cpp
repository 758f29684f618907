// OFFSET: a copy of a LINE, ARC, CIRCLE, LWPOLYLINE or 2D POLYLINE parallel
// to it at a distance, on the side of a picked point (or through a point).
// The copy keeps the original's layer and properties; polyline segments
// meet at their joins (see geometry/offset.h). Objects are asked for again
// until Enter or eXit; Undo takes back the last copy.
#include <cmath>
#include <cstdio>

#include "commands/core_commands.h"
#include "commands/entity_records.h"
#include "commands/object_pick.h"
#include "core/host.h"
#include "geometry/offset.h"

namespace host {

namespace {

std::string distanceText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    return buffer;
}

// A polyline's vertices as a path, and where each came from.
struct PolylineShape {
    BulgePath path;
    std::vector<GroupList> vertexWidths;     // LWPOLYLINE: the 40/41 groups of each vertex
    std::vector<RecordId> vertexRecords;     // POLYLINE: the VERTEX record of each vertex
    bool mirrored = false;                   // extrusion along -Z: x is mirrored in the entity's coordinates
};

std::optional<PolylineShape> shapeOf(const Database& db, RecordId id) {
    const Record& e = db.at(id);
    PolylineShape shape;
    shape.path.closed = e.integer(70, 0) & 1;
    shape.mirrored = e.real(230).value_or(1) < 0;
    if (e.type == "LWPOLYLINE") {
        for (const Group& g : e.groups) {
            if (g.code == 10) {
                shape.path.vertices.push_back({g.real().value_or(0), 0, 0, static_cast<int>(shape.path.vertices.size())});
                shape.vertexWidths.emplace_back();
            } else if (shape.path.vertices.empty()) {
                continue;
            } else if (g.code == 20) {
                shape.path.vertices.back().y = g.real().value_or(0);
            } else if (g.code == 42) {
                shape.path.vertices.back().bulge = g.real().value_or(0);
            } else if (g.code == 40 || g.code == 41) {
                shape.vertexWidths.back().push_back(g);
            }
        }
        return shape;
    }
    if (e.type != "POLYLINE" || (e.integer(70, 0) & (8 | 16 | 64))) return std::nullopt;
    for (RecordId part : entityWithSubEntities(db, id)) {
        const Record& v = db.at(part);
        if (v.type != "VERTEX" || (v.integer(70, 0) & 16)) continue;  // spline frame points are not drawn
        Coord3 p = pointGroup(v, 10);
        shape.path.vertices.push_back({p[0], p[1], v.real(42).value_or(0), static_cast<int>(shape.path.vertices.size())});
        shape.vertexRecords.push_back(part);
    }
    return shape;
}

bool isVertexGroup(int code) { return code == 10 || code == 20 || code == 40 || code == 41 || code == 42 || code == 91; }

// The offset LWPOLYLINE: the original's groups with the new vertices.
Record offsetLwpolyline(const Record& source, const PolylineShape& shape, const BulgePath& result) {
    Record r = copyForNewEntity(source);
    GroupList head, tail;
    bool inVertices = false, afterVertices = false;
    for (const Group& g : r.groups) {
        if (isVertexGroup(g.code) && !afterVertices) {
            inVertices = true;
            continue;
        }
        if (inVertices) afterVertices = true;
        (afterVertices ? tail : head).push_back(g);
    }
    for (Group& g : head)
        if (g.code == 90) g.value = formatInt(static_cast<long long>(result.vertices.size()));
    r.groups = std::move(head);
    for (const BulgeVertex& v : result.vertices) {
        r.groups.emplace_back(10, formatReal(v.x));
        r.groups.emplace_back(20, formatReal(v.y));
        if (v.source >= 0 && static_cast<std::size_t>(v.source) < shape.vertexWidths.size())
            r.groups.insert(r.groups.end(), shape.vertexWidths[v.source].begin(), shape.vertexWidths[v.source].end());
        if (v.bulge != 0) r.groups.emplace_back(42, formatReal(v.bulge));
    }
    r.groups.insert(r.groups.end(), tail.begin(), tail.end());
    return r;
}

class Offsetter {
public:
    explicit Offsetter(CommandContext& c) : c_(c), db_(c.host().db()) {}

    // Makes the copy of `id` on the side of `side` (at the through
    // distance when `distance` is not given). False when it cannot.
    bool offset(RecordId id, Coord3 side, std::optional<double> distance) {
        const Record& e = db_.at(id);
        bool paper = db_.isPaperSpaceEntity(id);
        if (e.type == "LINE") {
            BulgePath path{{{pointGroup(e, 10)[0], pointGroup(e, 10)[1], 0, 0}, {pointGroup(e, 11)[0], pointGroup(e, 11)[1], 0, 1}}, false};
            auto result = offsetAlong(path, side, distance);
            if (!result) return false;
            Record copy = copyForNewEntity(e);
            Coord3 a = pointGroup(e, 10), b = pointGroup(e, 11);
            setPointGroup(copy, 10, {result->vertices[0].x, result->vertices[0].y, a[2]});
            setPointGroup(copy, 11, {result->vertices[1].x, result->vertices[1].y, b[2]});
            created_.push_back(addEntityToSpace(db_, std::move(copy), paper));
            return true;
        }
        if (e.type == "CIRCLE" || e.type == "ARC") {
            if (e.real(230).value_or(1) < 0) side[0] = -side[0];
            Coord3 c = pointGroup(e, 10);
            double r = e.real(40).value_or(0);
            double away = std::hypot(side[0] - c[0], side[1] - c[1]) - r;
            if (std::fabs(away) < 1e-12) return false;
            double d = distance ? *distance : std::fabs(away);
            double radius = away > 0 ? r + d : r - d;
            if (radius <= 0) return false;
            Record copy = copyForNewEntity(e);
            copy.setReal(40, radius);
            created_.push_back(addEntityToSpace(db_, std::move(copy), paper));
            return true;
        }
        auto shape = shapeOf(db_, id);
        if (!shape) return false;
        if (shape->mirrored) side[0] = -side[0];
        auto result = offsetAlong(shape->path, side, distance);
        if (!result) return false;
        if (e.type == "LWPOLYLINE") {
            created_.push_back(addEntityToSpace(db_, offsetLwpolyline(e, *shape, *result), paper));
            return true;
        }
        // A 2D POLYLINE: the header, a VERTEX per vertex (copied from the
        // vertex it comes from), the SEQEND.
        std::vector<RecordId> parts = entityWithSubEntities(db_, id);
        created_.push_back(addEntityToSpace(db_, copyForNewEntity(e), paper));
        for (const BulgeVertex& v : result->vertices) {
            std::size_t from = v.source >= 0 ? static_cast<std::size_t>(v.source) : 0;
            Record vertex = copyForNewEntity(db_.at(shape->vertexRecords[std::min(from, shape->vertexRecords.size() - 1)]));
            Coord3 old = pointGroup(vertex, 10);
            setPointGroup(vertex, 10, {v.x, v.y, old[2]});
            if (v.bulge != 0 || vertex.has(42)) vertex.setReal(42, v.bulge);
            addEntityToSpace(db_, std::move(vertex), paper);
        }
        if (db_.at(parts.back()).type == "SEQEND") addEntityToSpace(db_, copyForNewEntity(db_.at(parts.back())), paper);
        return true;
    }

    void undo() {
        if (created_.empty()) {
            c_.print("Nothing to undo.\n");
            return;
        }
        for (RecordId part : entityWithSubEntities(db_, created_.back())) db_.erase(part);
        created_.pop_back();
    }

private:
    std::optional<BulgePath> offsetAlong(const BulgePath& path, Coord3 side, std::optional<double> distance) {
        int s = sideOfPath(path, side[0], side[1]);
        if (s == 0) return std::nullopt;
        double d = distance ? *distance : throughDistance(path, side[0], side[1]);
        return offsetPath(path, s * d);
    }

    CommandContext& c_;
    Database& db_;
    std::vector<RecordId> created_;
};

// The distance, or nothing for Through.
std::optional<double> askDistance(CommandContext& c) {
    SystemVariables& vars = c.host().db().variables();
    double current = vars.real("OFFSETDIST", 1.0);
    std::string shown = current < 0 ? "Through" : distanceText(current);
    while (true) {
        CommandInput raw = c.input("Specify offset distance or [Through] <" + shown + ">: ");
        std::optional<double> value;
        if (raw.kind == CommandInput::Kind::Text) {
            if (raw.text.empty()) return current < 0 ? std::nullopt : std::optional<double>(current);
            if (!matchKeyword(raw.text, {"Through"}).empty()) {
                vars.setReal("OFFSETDIST", -1);
                return std::nullopt;
            }
            value = parseReal(raw.text);
        }
        if (!value) {
            // A point: the distance is measured to a second point.
            std::optional<Coord3> first;
            if (raw.kind == CommandInput::Kind::Point) first = raw.point;
            else first = parsePointText(raw.text);
            if (!first) {
                c.error("Requires numeric distance, two points, or option keyword.\n");
                continue;
            }
            auto second = c.point("Specify second point: ");
            if (!second) continue;
            value = std::hypot((*second)[0] - (*first)[0], (*second)[1] - (*first)[1]);
        }
        if (*value <= 0) {
            c.error("Value must be positive and nonzero.\n");
            continue;
        }
        vars.setReal("OFFSETDIST", *value);
        return value;
    }
}

void offsetCommand(CommandContext& c) {
    c.print("Current settings: Erase source=No  Layer=Source  OFFSETGAPTYPE=0\n");
    std::optional<double> distance = askDistance(c);
    Offsetter offsetter(c);
    while (true) {
        ObjectPick pick = pickObject(c, "Select object to offset or [Exit/Undo] <Exit>: ", {"Exit", "Undo"});
        if (pick.enter || pick.keyword == "Exit") return;
        if (pick.keyword == "Undo") {
            offsetter.undo();
            continue;
        }
        const std::string& type = c.host().db().at(pick.entity).type;
        if (type != "LINE" && type != "ARC" && type != "CIRCLE" && type != "LWPOLYLINE" && type != "POLYLINE") {
            c.error("Cannot offset that object.\n");
            continue;
        }
        PointOrKeyword side = pointOrKeyword(c, distance ? "Specify point on side to offset or [Exit] <Exit>: "
                                                         : "Specify through point or [Exit] <Exit>: ",
                                             {"Exit"});
        if (!side.point) return;
        if (!offsetter.offset(pick.entity, *side.point, distance)) c.error("Cannot offset that object.\n");
    }
}

}  // namespace

void registerOffsetCommand(Host& host) { host.commands().define("OFFSET", offsetCommand); }

}  // namespace host
