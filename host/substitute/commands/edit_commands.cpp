// ERASE, MOVE and COPY of selected objects. Complex entities go with their
// vertices or attributes. MOVE and COPY take a base point and a second
// point, or a displacement (Enter at the base point, or Enter at the second
// point to use the base point as the displacement). COPY repeats the second
// point until Enter.
#include <cstdio>

#include "commands/block_defs.h"
#include "commands/core_commands.h"
#include "commands/entity_records.h"
#include "commands/object_pick.h"
#include "core/host.h"
#include "geometry/transform.h"

namespace host {

namespace {

std::string pointText(const Coord3& p) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.4f, %.4f, %.4f", p[0], p[1], p[2]);
    return buffer;
}

void erase(CommandContext& c) {
    Database& db = c.host().db();
    for (RecordId id : topLevelEntities(db, c.selection()))
        for (RecordId part : entityWithSubEntities(db, id)) db.erase(part);
}

// Asks for the displacement: a base point and a second point (`base` set),
// or a displacement typed at once (`base` left empty).
std::optional<Coord3> displacement(CommandContext& c, const std::string& secondPrompt, std::optional<Coord3>* base) {
    PointOrKeyword first = pointOrKeyword(c, "Specify base point or [Displacement] <Displacement>: ", {"Displacement"});
    if (first.point) {
        PointOrKeyword second = pointOrKeyword(c, secondPrompt, {});
        if (!second.point) return *first.point;  // the base point is the displacement
        *base = *first.point;
        return Coord3{(*second.point)[0] - (*first.point)[0], (*second.point)[1] - (*first.point)[1],
                      (*second.point)[2] - (*first.point)[2]};
    }
    Coord3 last{0, 0, 0};
    while (true) {
        CommandInput in = c.input("Specify displacement <" + pointText(last) + ">: ");
        if (in.kind == CommandInput::Kind::Point) return in.point;
        if (in.kind == CommandInput::Kind::Text && in.text.empty()) return last;
        if (in.kind == CommandInput::Kind::Text)
            if (auto p = parsePointText(in.text)) return p;
        c.error("Invalid point.\n");
    }
}

Matrix translation(const Coord3& d) { return Matrix::translation(d[0], d[1], d[2]); }

void move(CommandContext& c) {
    Database& db = c.host().db();
    std::vector<RecordId> chosen = topLevelEntities(db, c.selection());
    if (chosen.empty()) return;
    std::optional<Coord3> base;
    auto d = displacement(c, "Specify second point or <use first point as displacement>: ", &base);
    if (!d) return;
    std::size_t refused = 0;
    for (RecordId id : chosen)
        if (!transformEntity(db, id, translation(*d))) ++refused;
    if (refused) c.print(std::to_string(refused) + " could not be moved.\n");
}

// A copy of an entity with its sub-entities, placed after the drawing's
// last entity; a dimension gets its own copy of its block.
RecordId copyEntity(Database& db, RecordId id) {
    bool paper = db.isPaperSpaceEntity(id);
    std::vector<RecordId> parts = entityWithSubEntities(db, id);
    Record head = copyForNewEntity(db.at(id));
    giveOwnDimensionBlock(db, head);
    RecordId copy = addEntityToSpace(db, std::move(head), paper);
    for (std::size_t i = 1; i < parts.size(); ++i) addEntityToSpace(db, copyForNewEntity(db.at(parts[i])), paper);
    return copy;
}

void copy(CommandContext& c) {
    Database& db = c.host().db();
    std::vector<RecordId> chosen = topLevelEntities(db, c.selection());
    if (chosen.empty()) return;
    c.print("Current settings:  Copy mode = Multiple\n");
    auto place = [&](const Coord3& d) {
        std::size_t refused = 0;
        for (RecordId id : chosen) {
            RecordId made = copyEntity(db, id);
            if (!transformEntity(db, made, translation(d))) {
                for (RecordId part : entityWithSubEntities(db, made)) db.erase(part);
                ++refused;
            }
        }
        if (refused) c.print(std::to_string(refused) + " could not be copied.\n");
    };
    std::optional<Coord3> base;
    auto d = displacement(c, "Specify second point or <use first point as displacement>: ", &base);
    if (!d) return;
    place(*d);
    // From a base point, further copies until Enter.
    while (base) {
        PointOrKeyword next = pointOrKeyword(c, "Specify second point or [Exit] <Exit>: ", {"Exit"});
        if (!next.point) return;
        place({(*next.point)[0] - (*base)[0], (*next.point)[1] - (*base)[1], (*next.point)[2] - (*base)[2]});
    }
}

}  // namespace

void registerEditCommands(Host& host) {
    CommandProcessor& commands = host.commands();
    commands.define("ERASE", erase);
    commands.define("MOVE", move);
    commands.define("COPY", copy);
}

}  // namespace host
