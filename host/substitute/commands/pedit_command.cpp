// PEDIT: edits a polyline (LWPOLYLINE or 2D POLYLINE). A LINE or an ARC is
// offered to be turned into a polyline first, which replaces it by a new
// LWPOLYLINE (the drawing's last entity) with the same common properties.
// Options: Close or Open, Width for all segments, eXit (or Enter).
#include <cmath>

#include "commands/core_commands.h"
#include "commands/entity_records.h"
#include "commands/object_pick.h"
#include "core/host.h"

namespace host {

namespace {

constexpr double kPiValue = 3.14159265358979323846;

bool isCommonCode(int code) {
    switch (code) {
    case 6: case 8: case 48: case 60: case 62: case 284: case 347: case 370: case 390: case 420: case 430: case 440:
        return true;
    default:
        return false;
    }
}

// The LWPOLYLINE that replaces a LINE or an ARC.
Record polylineFrom(const Record& source) {
    Record r;
    r.type = "LWPOLYLINE";
    r.xdata = source.xdata;
    for (const Group& g : source.groups)
        if (isCommonCode(g.code)) r.groups.push_back(g);
    Coord3 a, b;
    double bulge = 0;
    if (source.type == "LINE") {
        a = pointGroup(source, 10);
        b = pointGroup(source, 11);
    } else {
        Coord3 c = pointGroup(source, 10);
        double radius = source.real(40).value_or(0);
        double a0 = source.real(50).value_or(0), a1 = source.real(51).value_or(0);
        double sweep = std::fmod(a1 - a0, 360.0);
        if (sweep <= 0) sweep += 360.0;
        a = {c[0] + radius * std::cos(a0 * kPiValue / 180), c[1] + radius * std::sin(a0 * kPiValue / 180), c[2]};
        b = {c[0] + radius * std::cos(a1 * kPiValue / 180), c[1] + radius * std::sin(a1 * kPiValue / 180), c[2]};
        bulge = std::tan(sweep * kPiValue / 180 / 4);
    }
    r.groups.insert(r.groups.end(), {{90, "2"}, {70, "0"}, {43, "0.0"}});
    if (a[2] != 0) r.groups.emplace_back(38, formatReal(a[2]));
    r.groups.insert(r.groups.end(), {{10, formatReal(a[0])}, {20, formatReal(a[1])}});
    if (bulge != 0) r.groups.emplace_back(42, formatReal(bulge));
    r.groups.insert(r.groups.end(), {{10, formatReal(b[0])}, {20, formatReal(b[1])}});
    for (int code : {210, 220, 230})
        if (const Group* g = source.find(code)) r.groups.push_back(*g);
    return r;
}

// Width of every segment: a constant width on an LWPOLYLINE (per-vertex
// widths dropped); the default and every vertex's widths on a POLYLINE.
void setWidth(Database& db, RecordId id, double width) {
    std::string w = formatReal(width);
    if (db.at(id).type == "LWPOLYLINE") {
        db.modify(id, [&](Record& r) {
            GroupList kept;
            for (const Group& g : r.groups)
                if (g.code != 40 && g.code != 41) kept.push_back(g);
            r.groups = std::move(kept);
            r.set(43, w);
        });
        return;
    }
    for (RecordId part : entityWithSubEntities(db, id)) {
        const std::string& type = db.at(part).type;
        if (type != "POLYLINE" && type != "VERTEX") continue;
        db.modify(part, [&](Record& r) {
            r.set(40, w);
            r.set(41, w);
        });
    }
}

void pedit(CommandContext& c) {
    Host& h = c.host();
    Database& db = h.db();
    RecordId target = kNoRecord;
    while (target == kNoRecord) {
        ObjectPick pick = pickObject(c, "Select polyline: ");
        if (pick.enter) return;
        const Record& e = db.at(pick.entity);
        if (e.type == "LWPOLYLINE" || (e.type == "POLYLINE" && (e.integer(70, 0) & (8 | 16 | 64)) == 0)) {
            target = pick.entity;
        } else if (e.type == "LINE" || e.type == "ARC") {
            c.error("Object selected is not a polyline\n");
            std::string answer = c.keyword("Do you want to turn it into one? <Y> ", {"Yes", "No"});
            if (answer == "No") return;
            Record polyline = polylineFrom(e);
            bool paper = db.isPaperSpaceEntity(pick.entity);
            db.erase(pick.entity);
            target = addEntityToSpace(db, std::move(polyline), paper);
        } else {
            c.error("Cannot edit that object.\n");
        }
    }
    while (true) {
        bool closed = db.at(target).integer(70, 0) & 1;
        std::string option =
            c.keyword(closed ? "Enter an option [Open/Width/eXit] <X>: " : "Enter an option [Close/Width/eXit] <X>: ",
                      {closed ? "Open" : "Close", "Width", "eXit"});
        if (option.empty() || option == "eXit") return;
        if (option == "Close" || option == "Open") {
            db.modify(target, [&](Record& r) { r.setInt(70, (r.integer(70, 0) & ~1LL) | (option == "Close" ? 1 : 0)); });
        } else {
            std::optional<double> width;
            while (!width) {
                width = c.real("Specify new width for all segments: ");
                if (width && *width < 0) {
                    c.error("Value must be positive.\n");
                    width.reset();
                } else if (!width) {
                    c.error("Requires numeric value.\n");  // Enter gives no width here
                }
            }
            setWidth(db, target, *width);
        }
    }
}

}  // namespace

void registerPeditCommand(Host& host) { host.commands().define("PEDIT", pedit); }

}  // namespace host
