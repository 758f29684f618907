// EXPLODE: a block reference becomes copies of its block's entities, placed
// by the reference's insertion point, scale, rotation and extrusion (entities
// on layer "0" stay on "0"; attribute definitions come back, the
// reference's attributes go); a polyline becomes LINE and ARC entities, one
// per segment. The reference or polyline is erased. Anything else, and a
// reference the transform cannot carry (a bulged polyline scaled unevenly,
// an array of references), is reported as not exploded.
#include <cmath>

#include "commands/block_defs.h"
#include "commands/core_commands.h"
#include "commands/entity_records.h"
#include "core/host.h"
#include "geometry/group_points.h"
#include "geometry/transform.h"

namespace host {

namespace {

bool isCommonCode(int code) {
    switch (code) {
    case 6: case 8: case 48: case 60: case 62: case 284: case 347: case 370: case 390: case 420: case 430: case 440:
        return true;
    default:
        return false;
    }
}

// The block-to-world matrix of a reference.
Matrix referenceMatrix(const Record& ref, const Coord3& base) {
    Coord3 p = pointGroup(ref, 10);
    Ocs ocs(normalOf(ref));
    return ocs.toWorldMatrix() * Matrix::translation(p[0], p[1], p[2]) *
           Matrix::rotationZ(radians(ref.real(50).value_or(0))) *
           Matrix::scaling(ref.real(41).value_or(1), ref.real(42).value_or(1), ref.real(43).value_or(1)) *
           Matrix::translation(-base[0], -base[1], -base[2]);
}

// Adds records to a space, then transforms each complex entity with its
// parts; erases them all and returns false when one refuses.
bool placeTransformed(Database& db, std::vector<Record> records, bool paper, const Matrix& m) {
    std::vector<RecordId> made, heads;
    for (Record& r : records) {
        bool sub = r.type == "VERTEX" || r.type == "ATTRIB" || r.type == "SEQEND";
        giveOwnDimensionBlock(db, r);
        RecordId id = addEntityToSpace(db, std::move(r), paper);
        made.push_back(id);
        if (!sub) heads.push_back(id);
    }
    for (RecordId id : heads)
        if (!transformEntity(db, id, m)) {
            for (RecordId undo : made) db.erase(undo);
            return false;
        }
    return true;
}

bool explodeReference(Database& db, RecordId id) {
    const Record& ref = db.at(id);
    if (ref.integer(70, 1) > 1 || ref.integer(71, 1) > 1) return false;  // an array of references
    const BlockDefinition* block = db.block(ref.text(2));
    if (!block || block->begin == kNoRecord) return false;
    Matrix m = referenceMatrix(ref, pointGroup(db.at(block->begin), 10));
    if (!placeTransformed(db, copiesOfBlockEntities(db, *block), db.isPaperSpaceEntity(id), m)) return false;
    for (RecordId part : entityWithSubEntities(db, id)) db.erase(part);
    return true;
}

struct PolyVertex {
    Coord3 p;
    double bulge = 0;
    bool wide = false;
};

// A segment of a polyline as a LINE or an ARC, in world coordinates.
Record segmentRecord(const GroupList& common, const PolyVertex& a, const PolyVertex& b, const Ocs& ocs, bool is3d) {
    Record r;
    r.groups = common;
    auto world = [&](const Coord3& p) { return is3d ? Point3{p[0], p[1], p[2]} : ocs.toWorld({p[0], p[1], p[2]}); };
    if (a.bulge == 0 || is3d) {
        r.type = "LINE";
        Point3 s = world(a.p), e = world(b.p);
        r.groups.insert(r.groups.end(), {{10, formatReal(s.x)}, {20, formatReal(s.y)}, {30, formatReal(s.z)},
                                         {11, formatReal(e.x)}, {21, formatReal(e.y)}, {31, formatReal(e.z)}});
        return r;
    }
    // The arc through the segment, counter-clockwise in the object's plane.
    double dx = b.p[0] - a.p[0], dy = b.p[1] - a.p[1];
    double chord = std::hypot(dx, dy);
    double sweep = 4 * std::atan(a.bulge);
    double radius = chord / (2 * std::fabs(std::sin(sweep / 2)));
    double cot = (1 - a.bulge * a.bulge) / (2 * a.bulge);
    double cx = (a.p[0] + b.p[0]) / 2 - dy / chord * (chord / 2 * cot);
    double cy = (a.p[1] + b.p[1]) / 2 + dx / chord * (chord / 2 * cot);
    double start = std::atan2(a.p[1] - cy, a.p[0] - cx), end = std::atan2(b.p[1] - cy, b.p[0] - cx);
    if (sweep < 0) std::swap(start, end);
    r.type = "ARC";
    r.groups.insert(r.groups.end(), {{10, formatReal(cx)}, {20, formatReal(cy)}, {30, formatReal(a.p[2])},
                                     {40, formatReal(radius)}, {50, formatReal(degrees(normalizeAngle(start)))},
                                     {51, formatReal(degrees(normalizeAngle(end)))}});
    if (!ocs.isWorld())
        r.groups.insert(r.groups.end(), {{210, formatReal(ocs.normal.x)}, {220, formatReal(ocs.normal.y)},
                                         {230, formatReal(ocs.normal.z)}});
    return r;
}

// False when the polyline cannot be exploded (a mesh); `wide` tells whether
// widths were lost.
bool explodePolyline(Database& db, RecordId id, bool* wide) {
    const Record& e = db.at(id);
    long long flags = e.integer(70, 0);
    if (e.type == "POLYLINE" && (flags & (16 | 64))) return false;
    bool is3d = e.type == "POLYLINE" && (flags & 8);
    GroupList common;
    for (const Group& g : e.groups)
        if (isCommonCode(g.code)) common.push_back(g);
    std::vector<PolyVertex> vertices;
    if (e.type == "LWPOLYLINE") {
        double elevation = e.real(38).value_or(0);
        bool constantWidth = e.real(43).value_or(0) != 0;
        for (const Group& g : e.groups) {
            if (g.code == 10) vertices.push_back({{g.real().value_or(0), 0, elevation}, 0, constantWidth});
            else if (vertices.empty()) continue;
            else if (g.code == 20) vertices.back().p[1] = g.real().value_or(0);
            else if (g.code == 42) vertices.back().bulge = g.real().value_or(0);
            else if ((g.code == 40 || g.code == 41) && g.real().value_or(0) != 0) vertices.back().wide = true;
        }
    } else {
        bool headerWide = e.real(40).value_or(0) != 0 || e.real(41).value_or(0) != 0;
        double elevation = pointGroup(e, 10)[2];
        for (RecordId part : entityWithSubEntities(db, id)) {
            const Record& v = db.at(part);
            if (v.type != "VERTEX" || (v.integer(70, 0) & 16)) continue;
            Coord3 p = pointGroup(v, 10);
            if (!is3d) p[2] = elevation;
            vertices.push_back({p, v.real(42).value_or(0),
                                headerWide || v.real(40).value_or(0) != 0 || v.real(41).value_or(0) != 0});
        }
    }
    Ocs ocs(normalOf(e));
    bool paper = db.isPaperSpaceEntity(id);
    std::size_t n = vertices.size();
    std::size_t segments = (flags & 1) ? n : (n ? n - 1 : 0);
    for (std::size_t i = 0; i < segments; ++i) {
        const PolyVertex& a = vertices[i];
        const PolyVertex& b = vertices[(i + 1) % n];
        *wide = *wide || a.wide;
        if (std::hypot(b.p[0] - a.p[0], b.p[1] - a.p[1]) == 0 && (!is3d || b.p[2] == a.p[2])) continue;
        addEntityToSpace(db, segmentRecord(common, a, b, ocs, is3d), paper);
    }
    for (RecordId part : entityWithSubEntities(db, id)) db.erase(part);
    return true;
}

void explode(CommandContext& c) {
    Database& db = c.host().db();
    std::size_t refused = 0;
    bool wide = false;
    // An application that hands EXPLODE an entity explodes that one object,
    // as in the real host; the user selects as many as they like.
    std::vector<RecordId> chosen;
    if (c.nextIsApplicationEntity()) {
        CommandInput in = c.input("Select objects: ");
        chosen.push_back(in.entity);
    } else {
        chosen = c.selection();
    }
    for (RecordId id : topLevelEntities(db, chosen)) {
        const std::string& type = db.at(id).type;
        bool done = false;
        if (type == "INSERT") done = explodeReference(db, id);
        else if (type == "LWPOLYLINE" || type == "POLYLINE") done = explodePolyline(db, id, &wide);
        if (!done) ++refused;
    }
    if (wide) c.print("Exploding this polyline has lost width information.\n");
    if (refused == 1) c.error("1 was not able to be exploded.\n");
    else if (refused > 1) c.print(std::to_string(refused) + " were not able to be exploded.\n");
}

}  // namespace

void registerExplodeCommand(Host& host) { host.commands().define("EXPLODE", explode); }

}  // namespace host
